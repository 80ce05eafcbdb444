#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace vordane {

class LineSource;

// A run applies at most this many rules: the first ones of the list.
inline constexpr qsizetype kMaxRulesPerRun = 100;

// The rules a run applies: the first kMaxRulesPerRun items of the list.
QStringList ruleTable(const QStringList &items);

// Sound-change rules parsed once for a run. A rule is pattern ">"
// replacement, divided at the first ">"; a text without ">" is no rule.
// A rule holding "#" anywhere is an edge rule: a "#" first in the pattern
// makes it word-initial, a "#" last word-final, and removing the mark also
// removes the first (last) character of the replacement. Any other rule
// replaces every occurrence of its pattern, scanning from the left and
// resuming after the inserted replacement; an empty pattern inserts the
// replacement before every character and at the end.
class RuleSet {
public:
    explicit RuleSet(const QStringList &rules);

    // Applies every rule in order, each to the word as the ones before left it.
    void apply(QString &word) const;

private:
    struct Rule {
        enum class Kind { Plain, Edge } kind = Kind::Plain;
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

    static void applyPlain(const Rule &rule, QString &word);
    static void applyEdge(const Rule &rule, QString &word);

    std::vector<Rule> rules_;
};

// One word through the rules, in order.
QString TransformarPalabra(const QString &word, const QStringList &rules);

// The whole source text: words separated by "," (a final comma adds no
// word), each transformed and written on a line ending with CR LF. With a
// dictionary, each line is the dictionary's next line, " = " and the word,
// and the result ends as soon as the dictionary has no line left.
QString TransformarTexto(const QString &source, const QStringList &rules, LineSource *dictionary = nullptr);

} // namespace vordane
