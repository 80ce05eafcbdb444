#include "roots/languagegenerator.h"

#include "common/blanks.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/numbers.h"
#include "roots/termino.h"

#include <QHash>

#include <array>
#include <cmath>
#include <vector>

namespace vordane {

namespace {

const QString kColon = QStringLiteral(":");

// The level a root is generated at, or 0 when it is not a whole number from 1 to 20.
int rootLevel(const QString &levelText)
{
    const double value = readNumber(levelText);
    if (value < 1 || value > kMaxRootLevel || std::floor(value) != value)
        return 0;
    return int(value);
}

// Entries written so far, as a reader of the output would see them: the form
// of a line is its third field, up to any ":" inside the form.
class WrittenEntries {
public:
    void addFirst(const LanguageEntry &entry)
    {
        const QString form = trimBlanks(Termino(entry.form, kColon, 1));
        if (!byCode_.contains(entry.code))
            byCode_.insert(entry.code, form);
        if (!byWord_.contains(entry.word))
            byWord_.insert(entry.word, form);
        lines_.append(entry.toLine());
    }
    QString formOfCode(const QString &code) const { return byCode_.value(code); }
    QString formOfWord(const QString &word) const { return byWord_.value(word); }
    const QStringList &lines() const { return lines_; }

private:
    QHash<QString, QString> byCode_;
    QHash<QString, QString> byWord_;
    QStringList lines_;
};

} // namespace

LanguageGenerationResult generateLanguage(const QString &wordListPath, const QString &rootPath,
                                          const QString &outputPath, const QString &order)
{
    LanguageGenerationResult result;

    // Inputs first: the root file, then the word list, then the output name.
    std::array<std::vector<RootRecord>, kMaxRootLevel + 1> byLevel;
    {
        LineReader roots(rootPath);
        result.status = roots.open();
        if (!result.status.ok())
            return result;
        while (!roots.atEnd()) {
            RootRecord root = RootRecord::parse(roots.readLine());
            if (const int level = rootLevel(root.level))
                byLevel[std::size_t(level)].push_back(std::move(root));
        }
        result.status = roots.status();
        if (!result.status.ok())
            return result;
    }
    LineReader words(wordListPath);
    result.status = words.open();
    if (!result.status.ok())
        return result;
    LineWriter output(outputPath);
    result.status = output.open();
    if (!result.status.ok())
        return result;

    const bool append = order == QLatin1String("AM");
    WrittenEntries written;
    qsizetype linesAtLastReference = -1;

    const auto write = [&](const RootRecord &root, const QString &form) {
        const LanguageEntry entry{root.code, root.word, form};
        written.addFirst(entry);
        output.writeLine(entry.toLine());
        ++result.entries;
    };
    const auto exhausted = [&](const RootRecord &root) {
        result.wordListExhausted = true;
        result.rootNeedingWord = root.code;
    };

    for (const RootRecord &root : byLevel[1]) {
        if (root.value == QLatin1String("*")) {
            if (words.atEnd()) {
                exhausted(root);
                break;
            }
            write(root, trimLeadingBlanks(words.readLine()));
        } else {
            write(root, trimLeadingBlanks(root.value));
        }
    }

    for (int level = 2; level <= kMaxRootLevel && !result.wordListExhausted; ++level) {
        for (const RootRecord &root : byLevel[std::size_t(level)]) {
            QString form;
            const QStringList parts = root.value.split(QLatin1Char('+'));
            for (const QString &part : parts) {
                QString contribution;
                const QChar first = part.isEmpty() ? QChar() : part.at(0);
                if (first == QLatin1Char('*')) {
                    if (words.atEnd()) {
                        exhausted(root);
                        break;
                    }
                    contribution = trimBlanks(words.readLine());
                } else if (first == QLatin1Char('$') || first == QLatin1Char('#')) {
                    const QString rest = part.mid(1);
                    contribution = first == QLatin1Char('$') ? written.formOfWord(rest) : written.formOfCode(rest);
                    linesAtLastReference = written.lines().size();
                } else {
                    contribution = trimBlanks(part);
                }
                form = trimBlanks(append ? form + contribution : contribution + form);
            }
            if (result.wordListExhausted)
                break;
            write(root, form);
        }
    }

    if (!words.status().ok()) {
        result.status = words.status();
        return result;
    }

    result.status = output.commit();
    if (!result.status.ok() || linesAtLastReference < 0)
        return result;

    // The copy a reader of the output would have made at the last reference.
    LineWriter copy(temporaryCopyName(outputPath));
    result.status = copy.open();
    if (!result.status.ok())
        return result;
    if (output.isUtf8())
        copy.forceUtf8();
    for (qsizetype i = 0; i < linesAtLastReference; ++i)
        copy.writeLine(written.lines().at(i));
    result.status = copy.commit();
    result.temporaryCopyWritten = result.status.ok();
    return result;
}

} // namespace vordane
