#include "roots/languagegenerator.h"

#include "common/blanks.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/stringtable.h"
#include "roots/records.h"
#include "roots/termino.h"

#include "common/textarena.h"

#include <QDir>
#include <QVarLengthArray>

#include <array>
#include <cmath>
#include <cstdint>
#include <list>
#include <new>
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
        // The three fields side by side: line[field 1 start, field 3 end) holds
        // them, but with their colons; so they are copied next to each other.
        const qsizetype size = fields[0].size() + fields[1].size() + fields[2].size();
        if (size > 0xFFFFFFFFLL)
            throw std::bad_alloc();
        QVarLengthArray<char16_t, 256> joined;
        for (const QStringView field : {fields[0], fields[1], fields[2]})
            joined.append(field.utf16(), field.size());
        const QStringView stored = arena_.add(QStringView(joined.constData(), size));
        roots_.push_back({stored.utf16(), std::uint32_t(fields[0].size()), std::uint32_t(fields[1].size()),
                          std::uint32_t(fields[2].size())});
        byLevel_[std::size_t(level)].push_back(std::uint32_t(roots_.size() - 1));
    }

    // The list of roots is complete: no room is kept for more.
    void finish() { roots_.shrink_to_fit(); }
    qsizetype size() const { return qsizetype(roots_.size()); }

    QStringView code(std::uint32_t root) const { return QStringView(roots_[root].text, roots_[root].code); }
    QStringView word(std::uint32_t root) const
    {
        return QStringView(roots_[root].text + roots_[root].code, roots_[root].word);
    }
    QStringView value(std::uint32_t root) const
    {
        return QStringView(roots_[root].text + roots_[root].code + roots_[root].word, roots_[root].value);
    }
    const std::vector<std::uint32_t> &level(int level) const { return byLevel_[std::size_t(level)]; }

private:
    struct Root {
        const char16_t *text; // code, word and value, one after the other
        std::uint32_t code, word, value; // lengths
    };

    TextArena arena_;
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

    void reserve(qsizetype entries) { entries_.reserve(std::size_t(entries)); }

    // False when all the forms together would pass the run's limit.
    bool add(std::uint32_t root, QStringView form)
    {
        if (formCharacters_ > kMaxLanguageCharacters - form.size())
            return false;
        formCharacters_ += form.size();
        const auto entry = qsizetype(entries_.size());
        entries_.push_back({forms_.add(form).utf16(), root, std::uint32_t(form.size())});
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
        return QStringView(e.form, qsizetype(e.formLength));
    }

private:
    struct Entry {
        const char16_t *form;
        std::uint32_t root;
        std::uint32_t formLength; // a form is at most kMaxFormLength long
    };
    struct Index {
        StringTable keys; // asked for every code and word, holding only those referred to
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
    TextArena forms_;
    qsizetype formCharacters_ = 0;
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
    LanguageRun(const QString &wordListPath, const QString &rootPath, const QString &outputPath, const QString &order)
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
        roots_.finish();
        written_.reserve(roots_.size());
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
        // Views of the forms already written and of the value itself stay
        // valid; the fresh words are kept in freshWords_ meanwhile.
        contributions_.clear();
        contributions_.reserve(std::size_t(terq(roots_.value(root), u'+')));
        freshWords_.clear();
        qsizetype length = 0;
        for (QStringView part : roots_.value(root).split(u'+')) {
            QStringView contribution;
            const QChar first = part.isEmpty() ? QChar() : part.front();
            if (first == u'*') {
                if (words_.atEnd())
                    return exhausted(root);
                freshWords_.push_back(words_.readLine());
                contribution = trimmedBlanks(QStringView(freshWords_.back()));
            } else if (first == u'$' || first == u'#') {
                const QStringView rest = part.sliced(1);
                contribution = first == u'$' ? written_.formOfWord(rest) : written_.formOfCode(rest);
                entriesAtLastReference_ = written_.size();
            } else {
                contribution = trimmedBlanks(part);
            }
            length += contribution.size();
            if (length > kMaxFormLength)
                return Outcome::failure(messages::formTooLong(roots_.code(root).toString(), kMaxFormLength));
            contributions_.push_back(contribution);
        }
        form.clear();
        form.reserve(length);
        if (append_) {
            for (const QStringView contribution : contributions_)
                form += contribution;
        } else {
            for (auto it = contributions_.rbegin(); it != contributions_.rend(); ++it)
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
    std::vector<QStringView> contributions_;
    std::list<QString> freshWords_; // stable addresses: views of them are kept
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
