#pragma once

#include <QString>

namespace vordane {

// Told what each rule did to each word, for reports and traces.
class RuleObserver {
public:
    virtual ~RuleObserver() = default;
    // Rule number `rule` (its position in the list the rule set was made
    // from) changed a word from `before` to `after`.
    virtual void ruleChanged(qsizetype rule, const QString &before, const QString &after) = 0;
    // A word of the run went through every rule.
    virtual void wordDone(const QString &before, const QString &after) = 0;
    // A rule applied until the word stops changing was still changing it
    // after its last pass; `word` is as that pass left it.
    virtual void ruleUnsettled(qsizetype rule, const QString &word)
    {
        Q_UNUSED(rule);
        Q_UNUSED(word);
    }
    // A rule would have cost far more than linear time on the word (long
    // captures compared inside repetitions): it left the word unchanged.
    virtual void ruleTooCostly(qsizetype rule, const QString &word)
    {
        Q_UNUSED(rule);
        Q_UNUSED(word);
    }
    // A rule asked for a segment no symbol is (`what`: the segment and the
    // values asked, "p con +sonora"): it left that segment as it was in
    // `word` (the word as the rule found it).
    virtual void ruleWithoutSegment(qsizetype rule, const QString &word, const QString &what)
    {
        Q_UNUSED(rule);
        Q_UNUSED(word);
        Q_UNUSED(what);
    }
    // A rule that reads syllables met a word its syllable patterns cannot
    // cut: it left the word unchanged.
    virtual void wordNotSyllabified(qsizetype rule, const QString &word)
    {
        Q_UNUSED(rule);
        Q_UNUSED(word);
    }
};

} // namespace vordane
