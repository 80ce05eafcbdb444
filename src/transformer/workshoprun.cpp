#include "transformer/workshoprun.h"

#include "common/blanks.h"
#include "common/linesource.h"
#include "common/linewriter.h"
#include "common/textsink.h"

namespace vordane {

namespace {

// The lines of the source, until the run is abandoned, without the blanks
// around the words of a line that commas cut; tells the control how far the
// run has read from time to time.
class ControlledLines final : public LineSource {
public:
    ControlledLines(QStringView text, RunControl *control)
        : lines_(text)
        , control_(control)
    {
    }

    bool atEnd() override
    {
        if (control_ && control_->abandoned.load(std::memory_order_relaxed)) {
            abandoned_ = true;
            return true;
        }
        return lines_.atEnd();
    }
    QString readLine() override
    {
        QString line = lines_.readLine();
        if (control_ && (++count_ & 255) == 0)
            control_->done.store(lines_.position(), std::memory_order_relaxed);
        return trimmedCommaList(line);
    }
    bool abandoned() const { return abandoned_; }

private:
    TextLineSource lines_;
    RunControl *control_;
    qsizetype count_ = 0;
    bool abandoned_ = false;
};

// The run's text is not wanted: the words are kept one by one instead.
class DiscardSink final : public TextSink {
public:
    void append(QStringView) override { }
};

} // namespace

// Keeps every word as it was and as the rules left it.
class WorkshopResult::Collector final : public RuleObserver {
public:
    Collector(WorkshopResult &result, const RandomSource *random)
        : result_(result)
        , random_(random)
    {
    }

    void ruleChanged(qsizetype, const QString &, const QString &) override { }
    void wordDone(const QString &before, const QString &after) override
    {
        WorkshopResult &r = result_;
        r.before_.append(before);
        r.beforeEnds_.push_back(r.before_.size());
        r.after_.append(after);
        r.afterEnds_.push_back(r.after_.size());
        const bool changed = before != after;
        r.changed_.push_back(changed ? 1 : 0);
        r.changedCount_ += changed ? 1 : 0;
        if (random_ && r.size() % kSnapshotEvery == 0)
            r.snapshots_.push_back(*random_);
    }

private:
    WorkshopResult &result_;
    const RandomSource *random_;
};

QString WorkshopResult::before(qsizetype word) const
{
    const qsizetype start = word == 0 ? 0 : beforeEnds_[std::size_t(word - 1)];
    return before_.sliced(start, beforeEnds_[std::size_t(word)] - start);
}

QString WorkshopResult::after(qsizetype word) const
{
    const qsizetype start = word == 0 ? 0 : afterEnds_[std::size_t(word - 1)];
    return after_.sliced(start, afterEnds_[std::size_t(word)] - start);
}

QString WorkshopResult::trace(qsizetype word) const
{
    if (snapshots_.empty())
        return traceWord(before(word), rules_);
    // The draws of the words before this one, replayed from the nearest snapshot.
    RandomSource random = snapshots_[std::size_t(word / kSnapshotEvery)];
    for (qsizetype i = word / kSnapshotEvery * kSnapshotEvery; i < word; ++i) {
        QString replayed = before(i);
        ruleSet_->apply(replayed, nullptr, &random);
    }
    return traceWord(before(word), rules_, &random);
}

FileStatus WorkshopResult::save(const QString &path) const
{
    LineWriter writer(path);
    if (const FileStatus status = writer.open(); !status.ok())
        return status;
    qsizetype start = 0;
    for (const qsizetype end : afterEnds_) {
        writer.writeLine(QStringView(after_).sliced(start, end - start));
        start = end;
    }
    writer.writeLine(QStringView()); // as the transformer's "Guardar" ends its text
    return writer.commit();
}

std::shared_ptr<WorkshopResult> runWorkshop(const QStringList &rules, const QString &source, double seed,
                                            RunControl *control)
{
    auto result = std::make_shared<WorkshopResult>();
    result->rules_ = rules;
    result->ruleSet_ = std::make_shared<const RuleSet>(ruleTable(rules));
    result->report_ = std::make_unique<RuleReport>(rules);
    result->report_->keepChangedWords();
    const RuleSet &ruleSet = *result->ruleSet_;
    if (!ruleSet.ok()) {
        result->outcome_ = ruleSet.validity();
        return result;
    }
    RandomSource random;
    random.seed(seed);
    const bool sporadic = ruleSet.hasSporadicRules();
    if (sporadic)
        result->snapshots_.push_back(random);
    WorkshopResult::Collector collector(*result, sporadic ? &random : nullptr);
    ObserverGroup observers;
    observers.add(result->report_.get());
    observers.add(&collector);
    ControlledLines lines(source, control);
    DiscardSink text;
    result->outcome_ = transformWordList(lines, ruleSet, nullptr, text, &observers, &random);
    result->abandoned_ = lines.abandoned();
    if (control)
        control->done.store(source.size(), std::memory_order_relaxed);
    return result;
}

} // namespace vordane
