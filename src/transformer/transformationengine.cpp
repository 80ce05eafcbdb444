#include "transformer/transformationengine.h"

#include "common/linereader.h"
#include "common/linesource.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "transformer/ruleorder.h"
#include "transformer/wordtext.h"

#include <algorithm>
#include <optional>

namespace vordane {

using wordtext::characterMask;
using wordtext::characters;
using wordtext::copyPiece;

namespace {

// Position of pattern in word at or after from (0-based), or -1. Words are
// short, so a plain scan beats the general search; it stays linear in the
// word for the short patterns rules have.
qsizetype findFrom(const QString &word, const QString &pattern, qsizetype from)
{
    const qsizetype n = pattern.size();
    const qsizetype last = word.size() - n;
    if (n == 0)
        return from <= word.size() ? from : -1;
    const QChar *w = word.constData();
    const QChar *p = pattern.constData();
    const QChar first = p[0];
    for (qsizetype i = from; i <= last; ++i) {
        if (w[i] != first)
            continue;
        qsizetype k = 1;
        while (k < n && w[i + k] == p[k])
            ++k;
        if (k == n)
            return i;
    }
    return -1;
}

// The word with `length` characters from `at` replaced.
QString replaced(const QString &word, qsizetype at, qsizetype length, const QString &replacement)
{
    QString result(word.size() - length + replacement.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(result.data());
    out = copyPiece(characters(word), at, out);
    out = copyPiece(characters(replacement), replacement.size(), out);
    copyPiece(characters(word) + at + length, word.size() - at - length, out);
    return result;
}

// Whether the pattern stands in the word at `at` (false when it does not fit).
bool matchesAt(const QString &word, const QString &pattern, qsizetype at)
{
    return wordtext::textAt(characters(word), word.size(), at, pattern);
}

// Passes the words of a run, in order, to one function; stops when it says so.
class WordRun {
public:
    WordRun(const RuleSet &rules, LineSource *dictionary, TextSink &out, RuleObserver *observer, RandomSource *random)
        : rules_(rules)
        , dictionary_(dictionary)
        , out_(out)
        , observer_(observer)
        , random_(random)
    {
        // One source for the whole run, so that every word draws on from the one before.
        if (!random_ && rules.hasSporadicRules())
            random_ = &ownRandom_.emplace();
    }

    // False when the run ends here (the dictionary ran out, or a failure).
    bool word(QStringView source)
    {
        // A word that the dictionary cannot pair is not output: stop before it.
        if (dictionary_ && dictionary_->atEnd())
            return false;
        word_ = source.toString();
        const QString before = word_; // shares the text until a rule changes the word
        if (!TransformarPalabra(word_, rules_, observer_, random_)) {
            outcome_ = Outcome::failure(messages::wordTooLong(kMaxWordLength));
            return false;
        }
        if (observer_)
            observer_->wordDone(before, word_);
        if (dictionary_) {
            out_.append(dictionary_->readLine());
            out_.append(kSeparator);
        }
        out_.append(word_);
        out_.append(kLineEnd);
        return true;
    }

    // Every word of a text: cut at each ","; a final comma adds no word.
    bool text(QStringView source)
    {
        qsizetype i = 0;
        while (i < source.size()) {
            const qsizetype comma = source.indexOf(u',', i);
            const qsizetype end = comma < 0 ? source.size() : comma;
            if (!word(source.sliced(i, end - i)))
                return false;
            i = end + 1;
        }
        return true;
    }

    // The words of one line of a word list: the line followed by ",".
    bool line(QStringView source)
    {
        qsizetype i = 0;
        for (;;) {
            const qsizetype comma = source.indexOf(u',', i);
            if (!word(source.sliced(i, (comma < 0 ? source.size() : comma) - i)))
                return false;
            if (comma < 0)
                return true;
            i = comma + 1;
        }
    }

    const Outcome &outcome() const { return outcome_; }

private:
    static inline const QString kSeparator = QStringLiteral(" = ");
    static inline const QString kLineEnd = QStringLiteral("\r\n");

    const RuleSet &rules_;
    LineSource *dictionary_;
    TextSink &out_;
    RuleObserver *observer_;
    RandomSource *random_;
    std::optional<RandomSource> ownRandom_;
    QString word_;
    Outcome outcome_;
};

} // namespace

QStringList ruleTable(const QStringList &items)
{
    // A misplaced marker is found wherever it stands, however long the list.
    return isExtendedList(items) || hasMisplacedMarker(items) ? items : items.mid(0, kMaxRulesPerRun);
}

RuleSet::RuleSet(const QStringList &rules)
{
    if (isExtendedList(rules)) {
        extended_ = std::make_shared<const ExtendedRules>(rules);
        return;
    }
    // The marker below the first line: the lines under it were written in
    // the extended notation, and read as plain rules they would garble every word.
    plainErrors_ = misplacedMarkers(rules);
    if (!plainErrors_.isEmpty())
        return;
    const QChar mark = u'#';
    for (qsizetype number = 0; number < rules.size(); ++number) {
        const QString &text = rules.at(number);
        const qsizetype divider = text.indexOf(u'>');
        if (divider < 0)
            continue;
        Rule rule;
        rule.number = number;
        rule.pattern = text.left(divider);
        rule.replacement = text.mid(divider + 1);
        rule.needs = characterMask(rule.pattern);
        if (!text.contains(mark)) {
            // A rule that replaces its pattern by itself changes nothing.
            if (rule.pattern != rule.replacement)
                rules_.push_back(std::move(rule));
            continue;
        }
        rule.kind = Rule::Kind::Edge;
        QString pattern = rule.pattern;
        QString replacement = rule.replacement;
        // The mark goes, and with it the replacement's first (last) character, whole.
        if (pattern.startsWith(mark)) {
            pattern.remove(0, 1);
            replacement.remove(0, wordtext::firstCharacterSize(replacement));
            rule.initial = true;
            rule.initialPattern = pattern;
            rule.initialReplacement = replacement;
        }
        // The word-final step sees the pattern and replacement as the initial step left them.
        if (pattern.endsWith(mark)) {
            pattern.chop(1);
            replacement.chop(wordtext::lastCharacterSize(replacement));
            rule.final = true;
            rule.finalPattern = pattern;
            rule.finalReplacement = replacement;
        }
        if (rule.initial || rule.final)
            rules_.push_back(std::move(rule));
    }
}

const QList<RuleError> &RuleSet::errors() const
{
    return extended_ ? extended_->errors() : plainErrors_;
}

const std::vector<notation::Stage> &RuleSet::stages() const
{
    static const std::vector<notation::Stage> none;
    return extended_ ? extended_->stages() : none;
}

Outcome RuleSet::validity() const
{
    if (ok())
        return Outcome();
    QStringList faults;
    for (const RuleError &error : errors())
        faults.append(error.message());
    return Outcome::failure(messages::rules::invalidRules(faults));
}

RuleEffect RuleSet::applyPlain(const Rule &rule, QString &word, QString *before)
{
    qsizetype m = findFrom(word, rule.pattern, 0);
    if (m < 0)
        return RuleEffect::Unchanged;
    // The search resumes right after each replacement, that is in the part of
    // the word no replacement has touched yet; so the occurrences are those
    // of the original word, and the result is built in one pass from the
    // pieces between them. An empty pattern steps over the character it was
    // inserted before (a surrogate pair whole), so that every rule ends.
    const qsizetype patternSize = rule.pattern.size();
    const auto next = [&](qsizetype at) {
        const qsizetype from =
            patternSize == 0 ? wordtext::nextCharacter(characters(word), word.size(), at) : at + patternSize;
        return from > word.size() ? -1 : findFrom(word, rule.pattern, from);
    };
    const qsizetype growth = rule.replacement.size() - patternSize;
    qsizetype size = word.size(); // enough for a rule that does not lengthen the word
    if (growth > 0) {
        // Count first: a word that would grow too long is refused before it is built.
        qsizetype count = 0;
        for (qsizetype at = m; at >= 0; at = next(at)) {
            if (++count > (kMaxWordLength - word.size()) / growth)
                return RuleEffect::TooLong;
        }
        size += count * growth;
    }

    QString result(size, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(result.data());
    const char16_t *in = characters(word);
    const char16_t *replacement = characters(rule.replacement);
    const qsizetype replacementSize = rule.replacement.size();
    qsizetype i = 0;
    for (qsizetype at = m; at >= 0; at = next(at)) {
        out = copyPiece(in + i, at - i, out);
        out = copyPiece(replacement, replacementSize, out);
        i = at + patternSize;
    }
    out = copyPiece(in + i, word.size() - i, out);
    result.truncate(out - reinterpret_cast<const char16_t *>(result.constData()));
    if (before)
        *before = std::move(word);
    word = std::move(result);
    return RuleEffect::Changed; // pattern and replacement differ, so any replacement changes the word
}

RuleEffect RuleSet::applyEdge(const Rule &rule, QString &word, QString *before)
{
    bool touched = false;
    const auto replace = [&](qsizetype at, const QString &pattern, const QString &replacement) {
        if (word.size() - pattern.size() > kMaxWordLength - replacement.size())
            return false;
        QString result = replaced(word, at, pattern.size(), replacement);
        if (before && !touched)
            *before = std::move(word); // the word as the rule found it
        word = std::move(result);
        touched = true;
        return true;
    };
    if (rule.initial && matchesAt(word, rule.initialPattern, 0)
        && !replace(0, rule.initialPattern, rule.initialReplacement))
        return RuleEffect::TooLong;
    if (rule.final && matchesAt(word, rule.finalPattern, word.size() - rule.finalPattern.size())
        && !replace(word.size() - rule.finalPattern.size(), rule.finalPattern, rule.finalReplacement))
        return RuleEffect::TooLong;
    return touched ? RuleEffect::Changed : RuleEffect::Unchanged;
}

bool RuleSet::apply(QString &word, RuleObserver *observer, RandomSource *random) const
{
    if (extended_) {
        const bool ok = applyExtended(word, observer, random);
        if (syllableMarks_)
            word = extended_->syllabified(word, observer);
        return ok;
    }
    // A plain rule whose pattern holds a character the word lacks cannot match.
    return applyInOrder(
        word, observer, rules_.size(),
        [this](std::size_t i, std::uint64_t present) {
            const Rule &rule = rules_[i];
            return rule.kind != Rule::Kind::Plain || (rule.needs & ~present) == 0;
        },
        [this](std::size_t i, QString &changed, QString *before) {
            const Rule &rule = rules_[i];
            return rule.kind == Rule::Kind::Plain ? applyPlain(rule, changed, before)
                                                  : applyEdge(rule, changed, before);
        },
        [this](std::size_t i) { return rules_[i].number; });
}

bool RuleSet::applyExtended(QString &word, RuleObserver *observer, RandomSource *random) const
{
    if (!ok())
        return true;
    if (random || !extended_->hasSporadicRules())
        return extended_->apply(word, observer, random, kMaxWordLength);
    RandomSource own;
    return extended_->apply(word, observer, &own, kMaxWordLength);
}

bool TransformarPalabra(QString &word, const RuleSet &rules, RuleObserver *observer, RandomSource *random)
{
    return rules.apply(word, observer, random);
}

Outcome TransformarTexto(QStringView source, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                         RuleObserver *observer, RandomSource *random)
{
    if (!rules.ok())
        return rules.validity();
    return guardMemory([&] {
        WordRun run(rules, dictionary, out, observer, random);
        run.text(source);
        return run.outcome();
    });
}

Outcome transformWordList(LineSource &words, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                          RuleObserver *observer, RandomSource *random)
{
    if (!rules.ok())
        return rules.validity();
    return guardMemory([&]() -> Outcome {
        WordRun run(rules, dictionary, out, observer, random);
        while (!words.atEnd()) {
            if (!run.line(words.readLine()))
                break;
        }
        return run.outcome();
    });
}

Outcome transformWordList(LineReader &words, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                          RuleObserver *observer, RandomSource *random)
{
    const Outcome run = transformWordList(static_cast<LineSource &>(words), rules, dictionary, out, observer, random);
    if (!run.ok())
        return run;
    return words.status();
}

} // namespace vordane
