#include "generator/wordfilters.h"

#include "common/linereader.h"

namespace vordane {

FileStatus WordFilters::refuseWordsOf(const QString &path)
{
    LineReader reader(path);
    if (const FileStatus status = reader.open(); !status.ok())
        return status;
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        const qsizetype separator = line.indexOf(QLatin1String(" = "));
        excluded_.insert(separator < 0 ? QStringView(line) : QStringView(line).left(separator));
    }
    return reader.status();
}

bool WordFilters::refuseMatches(const QString &pattern, QString &error, qsizetype &position)
{
    QRegularExpression expression(pattern);
    if (!expression.isValid()) {
        error = expression.errorString();
        position = expression.patternErrorOffset() + 1;
        return false;
    }
    expression.optimize();
    patterns_.push_back(std::move(expression));
    return true;
}

bool WordFilters::accepts(QStringView word)
{
    if (excluded_.contains(word))
        return false;
    for (const QRegularExpression &expression : patterns_) {
        if (expression.match(word).hasMatch())
            return false;
    }
    return !unique_ || seen_.insert(word).second;
}

} // namespace vordane
