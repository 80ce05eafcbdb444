#pragma once

#include "common/outcome.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace vordane {

class LineReader;
class LineSource;
class TextSink;

// A run applies at most this many rules: the first ones of the list.
inline constexpr qsizetype kMaxRulesPerRun = 100;
// A word that grows past this many characters stops the run (rules such as
// a>aa, repeated, double a word at every rule).
inline constexpr qsizetype kMaxWordLength = 64 * 1024 * 1024;
// The most a transformer window's result box may hold.
inline constexpr qsizetype kMaxResultLength = 400'000'000;

// The rules a run applies: the first kMaxRulesPerRun items of the list.
QStringList ruleTable(const QStringList &items);

// Told what each rule did to each word, for reports and traces.
class RuleObserver {
public:
    virtual ~RuleObserver() = default;
    // Rule number `rule` (its position in the list the rule set was made
    // from) changed a word from `before` to `after`.
    virtual void ruleChanged(qsizetype rule, const QString &before, const QString &after) = 0;
    // A word of the run went through every rule.
    virtual void wordDone(const QString &before, const QString &after) = 0;
};

// Sound-change rules parsed once for a run. A rule is pattern ">"
// replacement, divided at the first ">"; a text without ">" is no rule.
// A rule holding "#" anywhere is an edge rule: a "#" first in the pattern
// makes it word-initial, a "#" last word-final, and removing the mark also
// removes the first (last) character of the replacement. Any other rule
// replaces every occurrence of its pattern, scanning from the left and
// resuming after the inserted replacement; an empty pattern inserts the
// replacement before every character and at the end. Every rule builds its
// result in one pass, so a rule costs time in proportion to the word.
class RuleSet {
public:
    explicit RuleSet(const QStringList &rules);

    // Applies every rule in order, each to the word as the ones before left
    // it. False when the word would grow past kMaxWordLength (the word is
    // then left as the rules before that one made it).
    bool apply(QString &word, RuleObserver *observer = nullptr) const;

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
    enum class Effect { Unchanged, Changed, TooLong };

    // A rule applied to the word; when it changes the word and `before` is
    // given, *before receives the word as the rule found it.
    static Effect applyPlain(const Rule &rule, QString &word, QString *before);
    static Effect applyEdge(const Rule &rule, QString &word, QString *before);

    std::vector<Rule> rules_;
};

// One word through the rules, in order: false when it grows too long.
bool TransformarPalabra(QString &word, const RuleSet &rules, RuleObserver *observer = nullptr);

// The whole source text: words separated by "," (a final comma adds no
// word), each transformed and written on a line ending with CR LF. With a
// dictionary, each line is the dictionary's next line, " = " and the word,
// and the result ends as soon as the dictionary has no line left. Fails only
// when a word grows too long (or memory runs out).
Outcome TransformarTexto(QStringView source, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                         RuleObserver *observer = nullptr);

// The same over the source text a word list gives (every line followed by
// ","), read as it goes instead of held whole.
Outcome transformWordList(LineReader &words, const RuleSet &rules, LineSource *dictionary, TextSink &out,
                          RuleObserver *observer = nullptr);

} // namespace vordane
