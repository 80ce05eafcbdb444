#pragma once

#include "common/filestatus.h"
#include "common/outcome.h"
#include "common/randomsource.h"
#include "history/lexicon.h"
#include "history/mergers.h"
#include "history/stagetable.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace vordane {

class ListSegments;
class StagedRules;
class WorkshopResult;

// Lets another thread abandon a run and follow its progress.
struct RunControl {
    std::atomic<bool> abandoned{false};
    std::atomic<std::int64_t> done{0}; // characters of the source read so far
};

// What a workshop run goes over besides its rules and words.
struct WorkshopInput {
    // The source is a lexicon of this kind: each line is an entry, as
    // `vordane-cli evolucionar` reads it. Without one it is a list of words
    // (each line cut at its commas).
    std::optional<LexiconKind> lexicon;
    // The run shown before, whose results this run's are compared with.
    std::shared_ptr<const WorkshopResult> previous;
    // Whether the words the rules make are shown, traced and saved with
    // their syllable boundaries marked by "." (as "vordane-cli transformar
    // --silabas" writes them). The forms the run keeps stay unmarked: what
    // changed, merged or differs, and the derived lexicon, are as without.
    bool syllableMarks = false;
};

// One run of a rule list over a source text, as the sound-change workshop
// shows it: every word before and after, and after each stage of the list,
// what every rule did, the mergers, the trace of any word, and how each
// result differs from the run before. The words are those `vordane-cli
// transformar --palabras` takes from a file of the same text (each line, cut
// at its commas), except that the blanks around a word that a comma
// separates are not part of it (as in `--texto`); a lexicon's entries are
// those of `vordane-cli evolucionar`. They go through the same engines,
// report and trace, so that the results are the command line's byte for
// byte.
class WorkshopResult {
public:
    WorkshopResult();
    ~WorkshopResult();
    WorkshopResult(const WorkshopResult &) = delete;
    WorkshopResult &operator=(const WorkshopResult &) = delete;

    qsizetype size() const { return qsizetype(after_.ends.size()); }
    QString before(qsizetype word) const;
    QString after(qsizetype word) const;
    bool changed(qsizetype word) const { return (flags_[std::size_t(word)] & kChanged) != 0; }
    qsizetype changedCount() const { return changedCount_; }

    // What the words are: a word list unless a lexicon was run.
    LexiconKind kind() const { return kind_; }
    bool isLexicon() const { return lexicon_; }
    // The entry of a lexicon's line (a word's own entry in a list).
    LexiconEntry entry(qsizetype word) const;
    // False for a lexicon line without its kind's shape: kept as it stands.
    bool shaped(qsizetype word) const { return (flags_[std::size_t(word)] & kUnshaped) == 0; }

    // The stages of the list, and a word after each of them.
    qsizetype stageCount() const;
    QString stageTitle(qsizetype stage) const;
    // Whether the list is divided into stages (more than one, or a named one).
    bool hasStages() const;
    QString stageForm(qsizetype word, qsizetype stage) const;

    const RuleReport &report() const { return *report_; }
    // Entries of different forms and meanings that ended in one form.
    const std::vector<MergerFinder::Merger> &mergers() const { return mergers_; }
    // How the run ended: a word that grew too long, or memory that ran out,
    // stops it (the words before are kept).
    const Outcome &outcome() const { return outcome_; }
    bool abandoned() const { return abandoned_; }

    // Whether the run was compared with a run before it.
    bool compared() const { return compared_; }
    // Whether the word's result differs from the result the run before gave the same word.
    bool differs(qsizetype word) const { return (flags_[std::size_t(word)] & kDiffers) != 0; }
    // That earlier result (the empty text when it does not differ).
    QString previousAfter(qsizetype word) const;
    qsizetype differentCount() const { return differentCount_; }
    // Words the run before did not have.
    qsizetype newCount() const { return newCount_; }

    // Whether the words the rules make are shown with their syllables marked.
    bool marksSyllables() const { return syllableMarks_; }
    // A form the rules made as the result shows it: with its syllable
    // boundaries marked when it marks them.
    QString shown(const QString &form) const;

    // The steps of one word through the rules, as the run made them
    // (sporadic rules with the draws the run gave that word), with the
    // names of the stages between them.
    // With syllable marks, every form after a rule is shown marked.
    QString trace(qsizetype word) const;
    // What a tip over `position` (in UTF-16 units) of a word's trace shows:
    // the segment of a word there and its features ("«p»: consonante
    // bilabial oclusiva"); the empty text where the trace shows no word (the
    // rules' texts, stage names) or the list gives that segment no features.
    QString segmentTip(const QString &trace, qsizetype position) const;

    // Writes the new words as the transformer's result files hold them: one
    // per line, each ending with CR LF, and one more CR LF; marked as shown.
    FileStatus save(const QString &path) const;
    // Writes the derived lexicon as `vordane-cli evolucionar` does: each
    // line of the lexicon with its new form (a word list: each new word).
    FileStatus saveLexicon(const QString &path) const;
    // Writes the table of forms after each stage as `vordane-cli
    // evolucionar --etapas` does (UTF-8 with a byte-order mark).
    FileStatus saveStages(const QString &path, TableFormat format) const;

private:
    friend std::shared_ptr<WorkshopResult> runWorkshop(const QStringList &, const QString &, double, RunControl *,
                                                       const WorkshopInput &);

    enum Flag : std::uint8_t { kChanged = 1, kUnshaped = 2, kDiffers = 4 };

    // A run of texts, one after the other, each found by where it ends.
    struct Texts {
        QString text;
        std::vector<qsizetype> ends;
        void append(QStringView item)
        {
            text.append(item);
            ends.push_back(text.size());
        }
        QString at(qsizetype i) const
        {
            const qsizetype start = i == 0 ? 0 : ends[std::size_t(i - 1)];
            return text.sliced(start, ends[std::size_t(i)] - start);
        }
    };

    void findMergers();
    void compareWith(const WorkshopResult &previous);
    // What makes a word the same word in two runs: its entry's line, or the word.
    QString identity(qsizetype word) const;
    // Calls `each(entry, forms, count)` for every word, as a lexicon's evolution tells its observers.
    template <typename Each> void forEachEntry(Each each) const;

    QStringList rules_;
    std::shared_ptr<const StagedRules> staged_;
    std::shared_ptr<const ListSegments> segments_;
    bool syllableMarks_ = false;
    std::unique_ptr<RuleReport> report_;
    LexiconKind kind_ = LexiconKind::List;
    bool lexicon_ = false;
    QString source_; // the text the words were read from
    Texts before_;
    Texts after_;
    Texts lines_; // a lexicon's lines
    std::vector<Texts> stages_; // the words after each stage but the last
    std::vector<std::uint8_t> flags_;
    qsizetype changedCount_ = 0;
    std::vector<MergerFinder::Merger> mergers_;
    // Earlier results of the words whose result differs, in the order of the words.
    bool compared_ = false;
    std::vector<std::int32_t> differentWords_;
    Texts previousAfters_;
    qsizetype differentCount_ = 0;
    qsizetype newCount_ = 0;
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
                                            RunControl *control = nullptr, const WorkshopInput &input = {});

} // namespace vordane
