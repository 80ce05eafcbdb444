#pragma once

#include "common/outcome.h"
#include "history/lexicon.h"

#include <QString>

#include <utility>
#include <vector>

namespace vordane {

class LineReader;
class LineSource;
class RandomSource;
class RuleObserver;
class StagedRules;
class TextSink;

// Told of every entry of a lexicon as it evolves.
class EvolutionObserver {
public:
    virtual ~EvolutionObserver() = default;
    // `forms`: the entry's form after each stage run, `count` of them (an
    // unshaped entry's line, unchanged, in each).
    virtual void evolved(const LexiconEntry &entry, const QString *forms, qsizetype count) = 0;
};

// A lexicon through the stages of a rule list, from the first through
// `lastStage`, one line at a time: each entry's form evolves and the derived
// line (its form after `lastStage`) goes to `out`, when given; the observers
// are told each entry's forms stage by stage, the rule observer what each
// rule did (wordDone: the original form and the final one). Sporadic rules
// draw from `random`, entry after entry; without one, from a source of the
// default seed made for the run. Fails when the list is malformed (before
// anything is written), when a form grows too long, when memory runs out,
// or when reading the lexicon fails.
Outcome evolveLexicon(LineSource &lexicon, LexiconKind kind, const StagedRules &rules, qsizetype lastStage,
                      TextSink *out, const std::vector<EvolutionObserver *> &observers = {},
                      RuleObserver *ruleObserver = nullptr, RandomSource *random = nullptr);
Outcome evolveLexicon(LineReader &lexicon, LexiconKind kind, const StagedRules &rules, qsizetype lastStage,
                      TextSink *out, const std::vector<EvolutionObserver *> &observers = {},
                      RuleObserver *ruleObserver = nullptr, RandomSource *random = nullptr);

// The headings a trace shows between its steps (WordTracer::setHeadings):
// "Etapa NOMBRE:" before each stage from the first through `lastStage`;
// none for a list that is one unnamed stage.
std::vector<std::pair<qsizetype, QString>> stageHeadings(const StagedRules &rules, qsizetype lastStage);

// The trace of a word through the stages from the first through
// `lastStage`, with their headings (traceWord's form otherwise).
QString traceThroughStages(const QString &word, const StagedRules &rules, qsizetype lastStage,
                           RandomSource *random = nullptr);

} // namespace vordane
