#pragma once

#include "common/outcome.h"
#include "transformer/extendedrules.h"
#include "transformer/ruleobserver.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <vector>

namespace vordane {

class LineReader;
class LineSource;
class RandomSource;
class TextSink;

// A run applies at most this many rules: the first ones of the list.
inline constexpr qsizetype kMaxRulesPerRun = 100;
// A word that grows past this many characters stops the run (rules such as
// a>aa, repeated, double a word at every rule).
inline constexpr qsizetype kMaxWordLength = 64 * 1024 * 1024;
// The most a transformer window's result box may hold.
inline constexpr qsizetype kMaxResultLength = 400'000'000;

// The rules a run applies: the first kMaxRulesPerRun items of the list; an
// extended list whole, and so a list with a misplaced marker (refused whole).
QStringList ruleTable(const QStringList &items);

// Sound-change rules parsed once for a run.
//
// A list whose first item is "@ampliada" is in the extended notation
// (categories, environments, exceptions, sporadic rules: ExtendedRules);
// "@ampliada" on any other line is a fault of the list, in either notation.
// Any other list is in the plain notation: a rule is pattern ">"
// replacement, divided at the first ">"; a text without ">" is no rule.
// A rule holding "#" anywhere is an edge rule: a "#" first in the pattern
// makes it word-initial, a "#" last word-final, and removing the mark also
// removes the first (last) character of the replacement. Any other rule
// replaces every occurrence of its pattern, scanning from the left and
// resuming after the inserted replacement; an empty pattern inserts the
// replacement before every character and at the end. Every rule builds its
// result in one pass, so a rule costs time in proportion to the word. A
// character outside the 16-bit range counts as one character throughout.
class RuleSet {
public:
    explicit RuleSet(const QStringList &rules);

    bool isExtended() const { return extended_ != nullptr; }
    // The malformed lines: of an extended list, or the misplaced markers of a plain one.
    const QList<RuleError> &errors() const;
    bool ok() const { return errors().isEmpty(); }
    // Success, or the failure that refuses every run of a malformed list.
    Outcome validity() const;
    bool hasSporadicRules() const { return extended_ && extended_->hasSporadicRules(); }
    bool hasRepeatedRules() const { return extended_ && extended_->hasRepeatedRules(); }
    // Whether the list uses the elements added to the extended notation
    // (whose rules can give up on a word, see RuleObserver::ruleTooCostly).
    bool usesGeneralRules() const { return extended_ && extended_->usesGeneralRules(); }
    // The "@etapa" lines of an extended list (none in the plain notation).
    const std::vector<notation::Stage> &stages() const;

    // Applies every rule in order, each to the word as the ones before left
    // it. False when the word would grow past kMaxWordLength (the word is
    // then left as the rules before that one made it). Sporadic rules draw
    // from `random`; without one, from a source of the default seed made for
    // this word alone. A malformed list changes nothing.
    bool apply(QString &word, RuleObserver *observer = nullptr, RandomSource *random = nullptr) const;

    // Whether apply() writes the words' syllable boundaries as "." (by the
    // last "@sílabas" line of an extended list; lists without one, and
    // explicit syllables, are written as they are).
    void setSyllableMarks(bool on) { syllableMarks_ = on; }

private:
    struct Rule {
        enum class Kind { Plain, Edge } kind = Kind::Plain;
        qsizetype number = 0;
        std::uint64_t needs = 0; // characterMask() of the pattern
        QString pattern;
        QString replacement;
        // Edge rules: the word-initial and word-final steps.
        bool initial = false;
        QString initialPattern;
        QString initialReplacement;
        bool final = false;
        QString finalPattern;
        QString finalReplacement;
    };

    // A rule applied to the word; when it changes the word and `before` is
    // given, *before receives the word as the rule found it.
    static RuleEffect applyPlain(const Rule &rule, QString &word, QString *before);
    static RuleEffect applyEdge(const Rule &rule, QString &word, QString *before);
    bool applyExtended(QString &word, RuleObserver *observer, RandomSource *random) const;

    std::vector<Rule> rules_;
    std::shared_ptr<const ExtendedRules> extended_;
    QList<RuleError> plainErrors_;
    bool syllableMarks_ = false;
};

// One word through the rules, in order: false when it grows too long.
bool TransformarPalabra(QString &word, const RuleSet &rules, RuleObserver *observer = nullptr,
                        RandomSource *random = nullptr);

// The whole source text: words separated by "," (a final comma adds no
// word), each transformed and written on a line ending with CR LF. With a
// dictionary, each line is the dictionary's next line, " = " and the word,
// and the result ends as soon as the dictionary has no line left. Sporadic
// rules draw from `random`, word after word; without one, from a source of
// the default seed made for the run. Fails when the list is malformed
// (before anything is written), when a word grows too long, or when memory
// runs out.
Outcome TransformarTexto(QStringView source, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                         RuleObserver *observer = nullptr, RandomSource *random = nullptr);

// The same over the source text a word list gives (every line followed by
// ","), read as it goes instead of held whole; a read failure of the file
// fails the run.
Outcome transformWordList(LineReader &words, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                          RuleObserver *observer = nullptr, RandomSource *random = nullptr);
Outcome transformWordList(LineSource &words, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                          RuleObserver *observer = nullptr, RandomSource *random = nullptr);

} // namespace vordane
