#include "history/evolution.h"

#include "common/linereader.h"
#include "common/linesource.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "history/historymessages.h"
#include "history/stagedrules.h"
#include "transformer/rulereport.h"

#include <optional>

namespace vordane {

Outcome evolveLexicon(LineSource &lexicon, LexiconKind kind, const StagedRules &rules, qsizetype lastStage,
                      TextSink *out, const std::vector<EvolutionObserver *> &observers, RuleObserver *ruleObserver,
                      RandomSource *random)
{
    if (const Outcome valid = rules.validity(); !valid.ok())
        return valid;
    return guardMemory([&]() -> Outcome {
        // One source for the whole run, so that every entry draws on from the one before.
        std::optional<RandomSource> own;
        if (!random && rules.hasSporadicRules())
            random = &own.emplace();
        const qsizetype count = std::min(lastStage, rules.stageCount() - 1) + 1;
        std::vector<QString> forms(static_cast<std::size_t>(count));
        while (!lexicon.atEnd()) {
            const LexiconEntry entry = readLexiconEntry(lexicon.readLine(), kind);
            QString word = entry.form;
            if (entry.shaped) {
                if (!rules.apply(word, count - 1, forms.data(), ruleObserver, random))
                    return Outcome::failure(messages::wordTooLong(kMaxWordLength));
                if (ruleObserver)
                    ruleObserver->wordDone(entry.form, word);
            } else {
                std::fill(forms.begin(), forms.end(), word);
            }
            if (out)
                writeLexiconEntry(*out, entry, word, kind);
            for (EvolutionObserver *observer : observers)
                observer->evolved(entry, forms.data(), count);
        }
        return Outcome();
    });
}

Outcome evolveLexicon(LineReader &lexicon, LexiconKind kind, const StagedRules &rules, qsizetype lastStage,
                      TextSink *out, const std::vector<EvolutionObserver *> &observers, RuleObserver *ruleObserver,
                      RandomSource *random)
{
    const Outcome run = evolveLexicon(static_cast<LineSource &>(lexicon), kind, rules, lastStage, out, observers,
                                      ruleObserver, random);
    if (!run.ok())
        return run;
    return lexicon.status();
}

std::vector<std::pair<qsizetype, QString>> stageHeadings(const StagedRules &rules, qsizetype lastStage)
{
    std::vector<std::pair<qsizetype, QString>> headings;
    if (rules.stageCount() == 1 && rules.stageName(0).isEmpty())
        return headings;
    for (qsizetype k = 0; k <= std::min(lastStage, rules.stageCount() - 1); ++k)
        headings.emplace_back(std::max(qsizetype(1), rules.stageLine(k)),
                              messages::history::traceStage(rules.stageTitle(k)));
    return headings;
}

QString traceThroughStages(const QString &word, const StagedRules &rules, qsizetype lastStage, RandomSource *random)
{
    WordTracer tracer(rules.lines(), {word});
    tracer.setHeadings(stageHeadings(rules, lastStage));
    std::vector<QString> forms(static_cast<std::size_t>(rules.stageCount()));
    QString traced = word;
    const bool done = rules.apply(traced, lastStage, forms.data(), &tracer, random);
    tracer.wordDone(word, traced);
    if (!done)
        return tracer.trace(word) + QStringLiteral("  ") + messages::wordTooLong(kMaxWordLength) + QLatin1Char('\n');
    return tracer.trace(word);
}

} // namespace vordane
