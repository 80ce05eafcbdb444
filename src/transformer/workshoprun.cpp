#include "transformer/workshoprun.h"

#include "common/blanks.h"
#include "common/linesource.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "history/evolution.h"
#include "history/stagedrules.h"
#include "transformer/listsegments.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace vordane {

namespace {

// The lines of the source, until the run is abandoned; tells the control
// how far the run has read from time to time.
class ControlledLines {
public:
    ControlledLines(QStringView text, RunControl *control)
        : lines_(text)
        , control_(control)
    {
    }

    bool atEnd()
    {
        if (control_ && control_->abandoned.load(std::memory_order_relaxed)) {
            abandoned_ = true;
            return true;
        }
        return lines_.atEnd();
    }
    QString readLine()
    {
        QString line = lines_.readLine();
        if (control_ && (++count_ & 255) == 0)
            control_->done.store(lines_.position(), std::memory_order_relaxed);
        return line;
    }
    bool abandoned() const { return abandoned_; }

private:
    TextLineSource lines_;
    RunControl *control_;
    qsizetype count_ = 0;
    bool abandoned_ = false;
};

// Tells a word's tracer each form with its syllables marked, by the
// "@sílabas" line in force for the rule that made it.
class MarkingObserver final : public RuleObserver {
public:
    MarkingObserver(RuleObserver &tracer, const ListSegments &segments)
        : tracer_(tracer)
        , segments_(segments)
    {
    }
    void ruleChanged(qsizetype rule, const QString &before, const QString &after) override
    {
        tracer_.ruleChanged(rule, before, segments_.syllabifiedAfter(after, rule));
    }
    void wordDone(const QString &before, const QString &after) override { tracer_.wordDone(before, after); }

private:
    RuleObserver &tracer_;
    const ListSegments &segments_;
};

const QString kTraceStart = QStringLiteral("Traza de «");

} // namespace

WorkshopResult::WorkshopResult() = default;
WorkshopResult::~WorkshopResult() = default;

QString WorkshopResult::before(qsizetype word) const
{
    return before_.at(word);
}

QString WorkshopResult::after(qsizetype word) const
{
    return after_.at(word);
}

LexiconEntry WorkshopResult::entry(qsizetype word) const
{
    if (!lexicon_) {
        LexiconEntry entry;
        entry.form = before(word);
        return entry;
    }
    return readLexiconEntry(lines_.at(word), kind_);
}

qsizetype WorkshopResult::stageCount() const
{
    return staged_ ? staged_->stageCount() : 0;
}

QString WorkshopResult::stageTitle(qsizetype stage) const
{
    return staged_->stageTitle(stage);
}

bool WorkshopResult::hasStages() const
{
    return staged_ && (staged_->stageCount() > 1 || !staged_->stageName(0).isEmpty());
}

QString WorkshopResult::stageForm(qsizetype word, qsizetype stage) const
{
    return std::size_t(stage) < stages_.size() ? stages_[std::size_t(stage)].at(word) : after(word);
}

QString WorkshopResult::previousAfter(qsizetype word) const
{
    const auto found = std::lower_bound(differentWords_.begin(), differentWords_.end(), word);
    if (found == differentWords_.end() || *found != word)
        return QString();
    return previousAfters_.at(qsizetype(found - differentWords_.begin()));
}

QString WorkshopResult::identity(qsizetype word) const
{
    return lexicon_ ? lines_.at(word) : before(word);
}

void WorkshopResult::compareWith(const WorkshopResult &previous)
{
    compared_ = true;
    const auto differ = [&](qsizetype word, const QString &earlier) {
        flags_[std::size_t(word)] |= kDiffers;
        differentWords_.push_back(std::int32_t(word));
        previousAfters_.append(earlier);
        ++differentCount_;
    };
    if (previous.kind_ != kind_ || previous.lexicon_ != lexicon_) {
        newCount_ = size();
        return;
    }
    if (previous.source_ == source_ && previous.size() == size()) {
        // The same words (only the rules or the seed changed): word by word.
        for (qsizetype i = 0; i < size(); ++i) {
            if (!shaped(i))
                continue;
            const QString earlier = previous.after(i);
            if (earlier != after(i))
                differ(i, earlier);
        }
        return;
    }
    // Words edited: each word is matched with the same word of the run
    // before (the n-th of a repeated word with the n-th), wherever it stands.
    QHash<QString, std::int32_t> first; // the first word of each identity not yet matched
    first.reserve(previous.size());
    std::vector<std::int32_t> next(static_cast<std::size_t>(previous.size()), -1); // the next word of the same identity
    for (qsizetype i = previous.size() - 1; i >= 0; --i) {
        if (!previous.shaped(i))
            continue;
        const QString key = previous.identity(i);
        if (const auto found = first.constFind(key); found != first.cend())
            next[std::size_t(i)] = *found;
        first.insert(key, std::int32_t(i));
    }
    for (qsizetype i = 0; i < size(); ++i) {
        if (!shaped(i))
            continue;
        const auto found = first.find(identity(i));
        if (found == first.end() || *found < 0) {
            ++newCount_;
            continue;
        }
        const std::int32_t match = *found;
        *found = next[std::size_t(match)];
        const QString earlier = previous.after(match);
        if (earlier != after(i))
            differ(i, earlier);
    }
}

void WorkshopResult::findMergers()
{
    // The words whose final form another word shares, found over the
    // finished run's forms without copying them; only those go to the
    // merger finder, which holds an entry for every form it is told.
    const QStringView forms(after_.text);
    const auto form = [&](qsizetype i) {
        const qsizetype start = i == 0 ? 0 : after_.ends[std::size_t(i - 1)];
        return forms.sliced(start, after_.ends[std::size_t(i)] - start);
    };
    QHash<QStringView, std::int32_t> first;
    first.reserve(size());
    std::vector<std::uint8_t> shared(static_cast<std::size_t>(size()), 0);
    for (qsizetype i = 0; i < size(); ++i) {
        if (!shaped(i))
            continue;
        const QStringView final = form(i);
        const auto found = first.constFind(final);
        if (found == first.cend()) {
            first.insert(final, std::int32_t(i));
        } else {
            shared[std::size_t(*found)] = 1;
            shared[std::size_t(i)] = 1;
        }
    }
    MergerFinder finder(kind_);
    for (qsizetype i = 0; i < size(); ++i) {
        if (shared[std::size_t(i)])
            finder.add(entry(i), after(i));
    }
    mergers_ = finder.mergers();
}

template <typename Each> void WorkshopResult::forEachEntry(Each each) const
{
    const qsizetype count = std::max(qsizetype(1), stageCount());
    std::vector<QString> forms(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < size(); ++i) {
        for (qsizetype k = 0; k < count; ++k)
            forms[std::size_t(k)] = shaped(i) ? stageForm(i, k) : before(i);
        each(entry(i), forms.data(), count);
    }
}

QString WorkshopResult::shown(const QString &form) const
{
    return syllableMarks_ && segments_ ? segments_->syllabified(form) : form;
}

QString WorkshopResult::trace(qsizetype word) const
{
    if (!shaped(word))
        return QStringLiteral("«%1» no es una entrada del léxico: se copia tal cual.\n").arg(before(word));
    const qsizetype last = staged_->stageCount() - 1;
    std::optional<RandomSource> random;
    if (!snapshots_.empty()) {
        // The draws of the words before this one, replayed from the nearest snapshot.
        random = snapshots_[std::size_t(word / kSnapshotEvery)];
        for (qsizetype i = word / kSnapshotEvery * kSnapshotEvery; i < word; ++i) {
            if (!shaped(i))
                continue;
            QString replayed = before(i);
            staged_->rules().apply(replayed, nullptr, &*random);
        }
    }
    const QString source = before(word);
    if (!syllableMarks_ || !segments_)
        return traceThroughStages(source, *staged_, last, random ? &*random : nullptr);

    // As traceThroughStages, each form marked; the word's first form too.
    WordTracer tracer(staged_->lines(), {source});
    tracer.setHeadings(stageHeadings(*staged_, last));
    MarkingObserver marking(tracer, *segments_);
    std::vector<QString> forms(static_cast<std::size_t>(staged_->stageCount()));
    QString traced = source;
    const bool done = staged_->apply(traced, last, forms.data(), &marking, random ? &*random : nullptr);
    tracer.wordDone(source, traced);
    QString text = tracer.trace(source);
    const QString start = kTraceStart + source + QStringLiteral("»:\n  ") + source + QLatin1Char('\n');
    if (text.startsWith(start))
        text.replace(start.size() - source.size() - 1, source.size(), segments_->syllabified(source));
    if (!done)
        text += QStringLiteral("  ") + messages::wordTooLong(kMaxWordLength) + QLatin1Char('\n');
    return text;
}

// A trace's lines: "Traza de «W»:", "  W", then "  N. RULE: W" for each
// step of rule N (the list's line N), and stage headings between them.
QString WorkshopResult::segmentTip(const QString &trace, qsizetype position) const
{
    if (!segments_ || !segments_->hasFeatures() || position < 0 || position >= trace.size()
        || trace.at(position) == u'\n')
        return QString();
    const qsizetype lineStart = position == 0 ? 0 : trace.lastIndexOf(u'\n', position - 1) + 1;
    qsizetype lineEnd = trace.indexOf(u'\n', position);
    if (lineEnd < 0)
        lineEnd = trace.size();
    const QStringView line = QStringView(trace).sliced(lineStart, lineEnd - lineStart);
    qsizetype start = -1; // of the word in the line
    qsizetype end = line.size();
    if (lineStart == 0) {
        if (line.startsWith(kTraceStart) && line.endsWith(QStringLiteral("»:"))) {
            start = kTraceStart.size();
            end = line.size() - 2;
        }
    } else if (lineStart == trace.indexOf(u'\n') + 1) {
        if (line.startsWith(QStringLiteral("  ")))
            start = 2;
    } else if (line.size() > 2 && line.startsWith(QStringLiteral("  "))) {
        qsizetype digits = 2;
        while (digits < line.size() && line.at(digits).isDigit())
            ++digits;
        bool ok = false;
        const qsizetype rule = line.sliced(2, digits - 2).toLongLong(&ok) - 1;
        const QStringList &lines = staged_->lines();
        if (ok && rule >= 0 && rule < lines.size()) {
            const QString step = QStringLiteral(". ") + lines.at(rule) + QStringLiteral(": ");
            if (line.sliced(digits).startsWith(step))
                start = digits + step.size();
        }
    }
    const qsizetype at = position - lineStart - start;
    if (start < 0 || at < 0 || start + at >= end)
        return QString();
    const QStringView word = line.sliced(start, end - start);
    const ListSegments::Span span = segments_->segmentAt(word, at);
    if (span.length == 0)
        return QString();
    const QString segment = word.sliced(span.start, span.length).toString();
    const QString features = segments_->featuresOf(segment);
    return features.isEmpty() ? QString() : QStringLiteral("«%1»: %2").arg(segment, features);
}

FileStatus WorkshopResult::save(const QString &path) const
{
    LineWriter writer(path);
    if (const FileStatus status = writer.open(); !status.ok())
        return status;
    for (qsizetype i = 0; i < size(); ++i)
        writer.writeLine(shown(after(i)));
    writer.writeLine(QStringView()); // as the transformer's "Guardar" ends its text
    return writer.commit();
}

FileStatus WorkshopResult::saveLexicon(const QString &path) const
{
    LineWriter writer(path);
    if (const FileStatus status = writer.open(); !status.ok())
        return status;
    for (qsizetype i = 0; i < size(); ++i)
        writeLexiconEntry(writer, entry(i), after(i), kind_);
    return writer.commit();
}

FileStatus WorkshopResult::saveStages(const QString &path, TableFormat format) const
{
    LineWriter writer(path);
    if (const FileStatus status = writer.open(); !status.ok())
        return status;
    writer.forceUtf8(); // a spreadsheet program reads the mark, whatever the text
    QStringList titles;
    for (qsizetype k = 0; k < stageCount(); ++k)
        titles.append(stageTitle(k));
    StageTable table(writer, format, kind_, titles);
    forEachEntry(
        [&](const LexiconEntry &entry, const QString *forms, qsizetype count) { table.evolved(entry, forms, count); });
    return writer.commit();
}

std::shared_ptr<WorkshopResult> runWorkshop(const QStringList &rules, const QString &source, double seed,
                                            RunControl *control, const WorkshopInput &input)
{
    auto result = std::make_shared<WorkshopResult>();
    WorkshopResult &r = *result;
    r.rules_ = rules;
    r.staged_ = std::make_shared<const StagedRules>(rules);
    r.syllableMarks_ = input.syllableMarks;
    r.report_ = std::make_unique<RuleReport>(rules);
    r.report_->keepChangedWords();
    r.lexicon_ = input.lexicon.has_value();
    r.kind_ = input.lexicon.value_or(LexiconKind::List);
    r.source_ = source;
    const StagedRules &staged = *r.staged_;
    if (!staged.validity().ok()) {
        r.outcome_ = staged.validity();
        return result;
    }
    // Compiled once more for the window to read segments with; the rules
    // keep their own compiled list to themselves.
    r.segments_ = std::make_shared<const ListSegments>(ruleTable(rules));
    const qsizetype stages = staged.stageCount();
    r.stages_.resize(std::size_t(stages - 1));
    RandomSource random;
    random.seed(seed);
    const bool sporadic = staged.hasSporadicRules();
    if (sporadic)
        r.snapshots_.push_back(random);
    std::vector<QString> forms(static_cast<std::size_t>(stages));

    // One word (or entry) through the stages.
    const auto evolve = [&](const LexiconEntry &entry) {
        QString word = entry.form;
        if (entry.shaped) {
            if (!staged.apply(word, stages - 1, forms.data(), r.report_.get(), &random)) {
                r.outcome_ = Outcome::failure(messages::wordTooLong(kMaxWordLength));
                return false;
            }
        }
        // Every line is a row of the report's numbering, shaped or not.
        r.report_->wordDone(entry.form, word);
        r.before_.append(entry.form);
        r.after_.append(word);
        for (qsizetype k = 0; k + 1 < stages; ++k)
            r.stages_[std::size_t(k)].append(entry.shaped ? forms[std::size_t(k)] : word);
        const bool changed = entry.form != word;
        r.flags_.push_back(
            std::uint8_t((changed ? WorkshopResult::kChanged : 0) | (entry.shaped ? 0 : WorkshopResult::kUnshaped)));
        r.changedCount_ += changed ? 1 : 0;
        if (sporadic && r.size() % WorkshopResult::kSnapshotEvery == 0)
            r.snapshots_.push_back(random);
        return true;
    };

    ControlledLines lines(source, control);
    r.outcome_ = guardMemory([&]() -> Outcome {
        while (!lines.atEnd()) {
            const QString line = lines.readLine();
            if (r.lexicon_) {
                r.lines_.append(line);
                if (!evolve(readLexiconEntry(line, r.kind_)))
                    break;
                continue;
            }
            // The words of a line: cut at each comma, without the blanks around them.
            const QString words = trimmedCommaList(line);
            LexiconEntry entry;
            qsizetype i = 0;
            for (;;) {
                const qsizetype comma = words.indexOf(u',', i);
                entry.form = words.sliced(i, (comma < 0 ? words.size() : comma) - i);
                if (!evolve(entry))
                    return r.outcome_;
                if (comma < 0)
                    break;
                i = comma + 1;
            }
            if (!r.outcome_.ok())
                break;
        }
        return r.outcome_;
    });
    r.abandoned_ = lines.abandoned();
    r.findMergers();
    if (input.previous && !r.abandoned_)
        r.compareWith(*input.previous);
    if (control)
        control->done.store(source.size(), std::memory_order_relaxed);
    return result;
}

} // namespace vordane
