#pragma once

#include "common/filestatus.h"
#include "common/outcome.h"
#include "common/randomsource.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace vordane {

// Lets another thread abandon a run and follow its progress.
struct RunControl {
    std::atomic<bool> abandoned{false};
    std::atomic<std::int64_t> done{0}; // characters of the source read so far
};

// One run of a rule list over a source text, as the sound-change workshop
// shows it: every word before and after, what every rule did, and the trace
// of any word. The words are those `vordane-cli transformar --palabras` takes
// from a file of the same text (each line, cut at its commas), except that
// the blanks around a word that a comma separates are not part of it (as in
// `--texto`); they go through the same engine, report and trace, so that the
// results are the command line's byte for byte.
class WorkshopResult {
public:
    qsizetype size() const { return qsizetype(afterEnds_.size()); }
    QString before(qsizetype word) const;
    QString after(qsizetype word) const;
    bool changed(qsizetype word) const { return changed_[std::size_t(word)] != 0; }
    qsizetype changedCount() const { return changedCount_; }

    const RuleReport &report() const { return *report_; }
    // How the run ended: a word that grew too long, or memory that ran out,
    // stops it (the words before are kept).
    const Outcome &outcome() const { return outcome_; }
    bool abandoned() const { return abandoned_; }

    // The steps of one word through the rules, as the run made them
    // (sporadic rules with the draws the run gave that word).
    QString trace(qsizetype word) const;

    // Writes the new words as the transformer's result files hold them: one
    // per line, each ending with CR LF, and one more CR LF.
    FileStatus save(const QString &path) const;

private:
    friend std::shared_ptr<WorkshopResult> runWorkshop(const QStringList &, const QString &, double, RunControl *);
    class Collector;

    QStringList rules_;
    std::shared_ptr<const RuleSet> ruleSet_;
    std::unique_ptr<RuleReport> report_;
    QString before_; // the words, one after the other
    QString after_;
    std::vector<qsizetype> beforeEnds_; // where each word ends in before_ and after_
    std::vector<qsizetype> afterEnds_;
    std::vector<std::uint8_t> changed_;
    qsizetype changedCount_ = 0;
    // The random source before every kSnapshotEvery-th word, when sporadic
    // rules draw from it: a trace starts from the nearest one.
    static constexpr qsizetype kSnapshotEvery = 4096;
    std::vector<RandomSource> snapshots_;
    Outcome outcome_;
    bool abandoned_ = false;
};

// Runs `rules` (both notations, as a rule file holds them) over the words
// of `source`; sporadic rules draw from a source seeded with `seed` as
// "transformar --semilla" does. A malformed list is not run: the result has
// no words and the list's failure. `control` (optional) can abandon the run
// part way and follows its progress.
std::shared_ptr<WorkshopResult> runWorkshop(const QStringList &rules, const QString &source, double seed,
                                            RunControl *control = nullptr);

} // namespace vordane
