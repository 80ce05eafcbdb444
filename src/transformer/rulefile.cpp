#include "transformer/rulefile.h"

#include "common/linereader.h"
#include "common/linesource.h"
#include "common/linewriter.h"
#include "dictionary/wordfile.h"

namespace vordane {

FileStatus readRuleFile(const QString &path, QStringList &rules)
{
    return readWordList(path, rules);
}

FileStatus writeRuleFile(const QString &path, const QStringList &rules)
{
    return writeLines(path, rules);
}

FileStatus readWordsAsSource(const QString &path, QString &source)
{
    LineReader reader(path);
    FileStatus status = reader.open();
    if (!status.ok())
        return status;
    QString text;
    while (!reader.atEnd()) {
        text += reader.readLine();
        text += QLatin1Char(',');
    }
    if (!reader.status().ok())
        return reader.status();
    source = std::move(text);
    return status;
}

std::unique_ptr<LineSource> openPairingDictionary(const QString &path)
{
    auto reader = std::make_unique<LineReader>(path);
    if (reader->open().ok())
        return reader;
    return std::make_unique<StringListSource>(QStringList());
}

} // namespace vordane
