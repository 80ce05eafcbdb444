#include "roots/languagegenerator.h"

#include "common/blanks.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/stringtable.h"
#include "roots/records.h"

#include <QDir>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vordane {

namespace {

// The level a root is generated at, or 0 when it is not a whole number from 1 to 20.
int rootLevel(QStringView levelText)
{
    const double value = readNumber(levelText.toString());
    if (value < 1 || value > kMaxRootLevel || std::floor(value) != value)
        return 0;
    return int(value);
}

// The roots that are generated, in file order, their code, word and value
// kept side by side in one arena: a million roots take tens of megabytes.
class RootStore {
public:
    // Keeps the root of a line when its level is one of those generated.
    void add(QStringView line)
    {
        // Field n as Termino(line, ":", n) gives it: text after a fourth colon is ignored.
        std::array<QStringView, 4> fields;
        QStringView rest = line;
        bool exhausted = false;
        for (QStringView &field : fields) {
            if (exhausted)
                break;
            const qsizetype colon = rest.indexOf(u':');
            field = colon < 0 ? rest : rest.left(colon);
            exhausted = colon < 0;
            rest = colon < 0 ? QStringView() : rest.sliced(colon + 1);
        }
        const int level = rootLevel(fields[3]);
        if (level == 0)
            return;
        roots_.push_back({qsizetype(arena_.size()), fields[0].size(), fields[1].size(), fields[2].size(), level});
        for (int i = 0; i < 3; ++i)
            arena_.insert(arena_.end(), fields[std::size_t(i)].utf16(),
                          fields[std::size_t(i)].utf16() + fields[std::size_t(i)].size());
        byLevel_[std::size_t(level)].push_back(std::uint32_t(roots_.size() - 1));
    }

    QStringView code(std::uint32_t root) const { return view(roots_[root].start, roots_[root].code); }
    QStringView word(std::uint32_t root) const
    {
        return view(roots_[root].start + roots_[root].code, roots_[root].word);
    }
    QStringView value(std::uint32_t root) const
    {
        return view(roots_[root].start + roots_[root].code + roots_[root].word, roots_[root].value);
    }
    const std::vector<std::uint32_t> &level(int level) const { return byLevel_[std::size_t(level)]; }

private:
    struct Root {
        qsizetype start;
        qsizetype code, word, value; // lengths
        int level;
    };
    QStringView view(qsizetype start, qsizetype length) const { return QStringView(arena_.data() + start, length); }

    std::vector<char16_t> arena_;
    std::vector<Root> roots_;
    std::array<std::vector<std::uint32_t>, kMaxRootLevel + 1> byLevel_;
};

// The entries written so far, and where a reference finds its entry. Only
// the codes and words that some formula refers to are indexed.
class WrittenEntries {
public:
    explicit WrittenEntries(const RootStore &roots)
        : roots_(roots)
    {
    }

    // Notes the references of a formula; true when it has any. All
    // formulas are noted before the first entry is added.
    bool noteReferences(QStringView formula)
    {
        bool any = false;
        for (QStringView part : formula.split(u'+')) {
            if (part.startsWith(u'$'))
                words_.keys.insert(part.sliced(1));
            else if (part.startsWith(u'#'))
                codes_.keys.insert(part.sliced(1));
            else
                continue;
            any = true;
        }
        return any;
    }

    // False when all the forms together would pass the run's limit.
    bool add(std::uint32_t root, QStringView form)
    {
        if (qsizetype(forms_.size()) > kMaxLanguageCharacters - form.size())
            return false;
        const auto entry = qsizetype(entries_.size());
        entries_.push_back({root, qsizetype(forms_.size()), form.size()});
        forms_.insert(forms_.end(), form.utf16(), form.utf16() + form.size());
        codes_.remember(roots_.code(root), entry);
        words_.remember(roots_.word(root), entry);
        return true;
    }

    // The form a reference contributes: field 3 of the first entry with
    // that code or word as a reader of the output sees it (up to any ":"
    // inside the form), blanks removed; nothing when there is none.
    QStringView formOfCode(QStringView code) const { return referenced(codes_.firstEntry(code)); }
    QStringView formOfWord(QStringView word) const { return referenced(words_.firstEntry(word)); }

    qsizetype size() const { return qsizetype(entries_.size()); }
    QStringView code(qsizetype entry) const { return roots_.code(entries_[std::size_t(entry)].root); }
    QStringView word(qsizetype entry) const { return roots_.word(entries_[std::size_t(entry)].root); }
    QStringView form(qsizetype entry) const
    {
        const Entry &e = entries_[std::size_t(entry)];
        return QStringView(forms_.data() + e.formOffset, e.formLength);
    }

private:
    struct Entry {
        std::uint32_t root;
        qsizetype formOffset;
        qsizetype formLength;
    };
    struct Index {
        StringTable keys;
        std::vector<qsizetype> first;

        void remember(QStringView key, qsizetype entry)
        {
            const qsizetype number = keys.find(key);
            if (number < 0)
                return;
            if (first.empty())
                first.assign(std::size_t(keys.size()), -1);
            if (first[std::size_t(number)] < 0)
                first[std::size_t(number)] = entry;
        }
        qsizetype firstEntry(QStringView key) const
        {
            const qsizetype number = keys.find(key);
            return number < 0 || first.empty() ? -1 : first[std::size_t(number)];
        }
    };

    QStringView referenced(qsizetype entry) const
    {
        if (entry < 0)
            return QStringView();
        const QStringView whole = form(entry);
        const qsizetype colon = whole.indexOf(u':');
        return trimmedBlanks(colon < 0 ? whole : whole.left(colon));
    }

    const RootStore &roots_;
    std::vector<Entry> entries_;
    std::vector<char16_t> forms_;
    Index codes_;
    Index words_;
};

void writeEntry(LineWriter &writer, QStringView code, QStringView word, QStringView form)
{
    static const QString kColon = QStringLiteral(":");
    writer.write(code);
    writer.write(kColon);
    writer.write(word);
    writer.write(kColon);
    writer.writeLine(form);
}

class LanguageRun {
public:
    LanguageRun(const QString &wordListPath, const QString &rootPath, const QString &outputPath,
                const QString &order)
        : wordListPath_(wordListPath)
        , rootPath_(rootPath)
        , outputPath_(outputPath)
        , append_(order == QLatin1String("AM"))
        , words_(wordListPath)
        , output_(outputPath)
        , copy_(temporaryCopyName(outputPath))
        , written_(roots_)
    {
    }

    LanguageGenerationResult run()
    {
        LanguageGenerationResult result;
        result.outcome = generate();
        result.entries = written_.size();
        result.temporaryCopyWritten = result.outcome.ok() && hasReferences_;
        return result;
    }

private:
    Outcome generate()
    {
        // Inputs first: the root file, then the word list; then the outputs.
        if (const Outcome read = readRoots(); !read.ok())
            return read;
        if (const FileStatus status = words_.open(); !status.ok())
            return status;
        if (const FileStatus status = output_.open(); !status.ok())
            return status;
        if (hasReferences_) {
            if (const FileStatus status = copy_.open(); !status.ok())
                return status;
        }

        for (std::uint32_t root : roots_.level(1)) {
            QString form;
            if (roots_.value(root) == u"*") {
                if (words_.atEnd())
                    return exhausted(root);
                form = trimLeadingBlanks(words_.readLine());
            } else {
                form = leadingBlanksRemoved(roots_.value(root)).toString();
            }
            if (const Outcome outcome = write(root, form); !outcome.ok())
                return outcome;
        }
        for (int level = 2; level <= kMaxRootLevel; ++level) {
            for (std::uint32_t root : roots_.level(level)) {
                QString form;
                if (const Outcome outcome = compose(root, form); !outcome.ok())
                    return outcome;
                if (const Outcome outcome = write(root, form); !outcome.ok())
                    return outcome;
            }
        }
        if (!words_.status().ok())
            return words_.status();
        words_.close();

        // The copy a reader of the output would have made at the last reference.
        if (hasReferences_) {
            if (output_.isUtf8())
                copy_.forceUtf8();
            for (qsizetype entry = 0; entry < entriesAtLastReference_; ++entry)
                writeEntry(copy_, written_.code(entry), written_.word(entry), written_.form(entry));
            return commitAll({&output_, &copy_});
        }
        return output_.commit();
    }

    Outcome readRoots()
    {
        LineReader reader(rootPath_);
        if (const FileStatus status = reader.open(); !status.ok())
            return status;
        while (!reader.atEnd())
            roots_.add(reader.readLine());
        if (!reader.status().ok())
            return reader.status();
        for (int level = 2; level <= kMaxRootLevel; ++level) {
            for (std::uint32_t root : roots_.level(level))
                hasReferences_ = written_.noteReferences(roots_.value(root)) || hasReferences_;
        }
        return Outcome();
    }

    // The form of a root of level 2 or higher: the contributions of its
    // parts, joined in the order of the elements. Every contribution is
    // blank-free at both ends, so the joined form is too.
    Outcome compose(std::uint32_t root, QString &form)
    {
        std::vector<QString> contributions;
        qsizetype length = 0;
        for (QStringView part : roots_.value(root).split(u'+')) {
            QString contribution;
            const QChar first = part.isEmpty() ? QChar() : part.front();
            if (first == u'*') {
                if (words_.atEnd())
                    return exhausted(root);
                contribution = trimBlanks(words_.readLine());
            } else if (first == u'$' || first == u'#') {
                const QStringView rest = part.sliced(1);
                contribution = (first == u'$' ? written_.formOfWord(rest) : written_.formOfCode(rest)).toString();
                entriesAtLastReference_ = written_.size();
            } else {
                contribution = trimmedBlanks(part).toString();
            }
            length += contribution.size();
            if (length > kMaxFormLength)
                return Outcome::failure(messages::formTooLong(roots_.code(root).toString(), kMaxFormLength));
            contributions.push_back(std::move(contribution));
        }
        form.reserve(length);
        if (append_) {
            for (const QString &contribution : contributions)
                form += contribution;
        } else {
            for (auto it = contributions.rbegin(); it != contributions.rend(); ++it)
                form += *it;
        }
        return Outcome();
    }

    Outcome write(std::uint32_t root, QStringView form)
    {
        if (!written_.add(root, form))
            return Outcome::failure(messages::languageTooLarge(kMaxLanguageCharacters));
        writeEntry(output_, roots_.code(root), roots_.word(root), form);
        return Outcome();
    }

    Outcome exhausted(std::uint32_t root) const
    {
        return Outcome::failure(
            messages::wordListExhausted(QDir::toNativeSeparators(wordListPath_), roots_.code(root).toString()));
    }

    QString wordListPath_;
    QString rootPath_;
    QString outputPath_;
    bool append_;
    RootStore roots_;
    LineReader words_;
    LineWriter output_;
    LineWriter copy_;
    WrittenEntries written_;
    bool hasReferences_ = false;
    qsizetype entriesAtLastReference_ = 0;
};

} // namespace

LanguageGenerationResult generateLanguage(const QString &wordListPath, const QString &rootPath,
                                          const QString &outputPath, const QString &order)
{
    LanguageGenerationResult result;
    result.outcome = guardMemory([&] {
        LanguageRun run(wordListPath, rootPath, outputPath, order);
        result = run.run();
        return result.outcome;
    });
    return result;
}

} // namespace vordane
