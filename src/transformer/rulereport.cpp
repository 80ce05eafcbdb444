#include "transformer/rulereport.h"

#include "common/featuremessages.h"
#include "common/messages.h"

namespace vordane {

namespace {

QString step(const QString &before, const QString &after)
{
    return QStringLiteral("%1 → %2").arg(before, after);
}

// A word shown as an example: a very long one is cut.
QString example(const QString &word)
{
    constexpr qsizetype kShown = 40;
    return word.size() > kShown ? word.left(kShown) + QStringLiteral("…") : word;
}

QString traceHeader(const QString &word)
{
    return QStringLiteral("Traza de «%1»:\n  %1\n").arg(word);
}

QString traceStep(qsizetype rule, const QStringList &rules, const QString &after)
{
    return QStringLiteral("  %1. %2: %3\n").arg(QString::number(rule + 1), rules.at(rule), after);
}

} // namespace

RuleReport::RuleReport(const QStringList &rules)
    : rules_(rules)
    , counts_(std::size_t(rules.size()), 0)
    , examples_(std::size_t(rules.size()))
    , unsettled_(std::size_t(rules.size()), 0)
    , unsettledExamples_(std::size_t(rules.size()))
    , tooCostly_(std::size_t(rules.size()), 0)
    , tooCostlyExamples_(std::size_t(rules.size()))
    , withoutSegment_(std::size_t(rules.size()), 0)
    , withoutSegmentExamples_(std::size_t(rules.size()))
    , unsyllabified_(std::size_t(rules.size()), 0)
    , unsyllabifiedExamples_(std::size_t(rules.size()))
{
}

void RuleReport::ruleChanged(qsizetype rule, const QString &before, const QString &after)
{
    ++counts_[std::size_t(rule)];
    if (!changedWords_.empty())
        changedWords_[std::size_t(rule)].push_back(std::int32_t(changed_ + unchanged_));
    QStringList &examples = examples_[std::size_t(rule)];
    if (examples.size() < kExamples)
        examples.append(step(before, after));
}

void RuleReport::wordDone(const QString &before, const QString &after)
{
    ++(before == after ? unchanged_ : changed_);
}

void RuleReport::ruleUnsettled(qsizetype rule, const QString &word)
{
    ++unsettled_[std::size_t(rule)];
    QStringList &examples = unsettledExamples_[std::size_t(rule)];
    if (examples.size() < kExamples)
        examples.append(example(word));
}

void RuleReport::ruleTooCostly(qsizetype rule, const QString &word)
{
    ++tooCostly_[std::size_t(rule)];
    QStringList &examples = tooCostlyExamples_[std::size_t(rule)];
    if (examples.size() < kExamples)
        examples.append(example(word));
}

void RuleReport::ruleWithoutSegment(qsizetype rule, const QString &word, const QString &what)
{
    ++withoutSegment_[std::size_t(rule)];
    QStringList &examples = withoutSegmentExamples_[std::size_t(rule)];
    if (examples.size() < kExamples)
        examples.append(QStringLiteral("%1: %2").arg(example(word), what));
}

void RuleReport::wordNotSyllabified(qsizetype rule, const QString &word)
{
    ++unsyllabified_[std::size_t(rule)];
    QStringList &examples = unsyllabifiedExamples_[std::size_t(rule)];
    if (examples.size() < kExamples)
        examples.append(example(word));
}

void RuleReport::keepChangedWords()
{
    changedWords_.resize(std::size_t(rules_.size()));
}

const std::vector<std::int32_t> &RuleReport::changedWords(qsizetype line) const
{
    static const std::vector<std::int32_t> kNone;
    return std::size_t(line) < changedWords_.size() ? changedWords_[std::size_t(line)] : kNone;
}

std::vector<RuleReport::Entry> RuleReport::entries() const
{
    std::vector<Entry> entries;
    const auto add = [&](qsizetype line, bool isRule) {
        entries.push_back({line, rules_.at(line), isRule, counts_[std::size_t(line)], examples_[std::size_t(line)],
                           unsettled_[std::size_t(line)], unsettledExamples_[std::size_t(line)],
                           tooCostly_[std::size_t(line)], tooCostlyExamples_[std::size_t(line)],
                           withoutSegment_[std::size_t(line)], withoutSegmentExamples_[std::size_t(line)],
                           unsyllabified_[std::size_t(line)], unsyllabifiedExamples_[std::size_t(line)]});
    };
    if (isExtendedList(rules_)) {
        for (qsizetype i = 1; i < rules_.size(); ++i) {
            // (An "@sílabas" line has words when they were to be written
            // with their syllables and it could not cut them.)
            if (ExtendedRules::isRuleLine(rules_.at(i)) || unsyllabified_[std::size_t(i)] > 0)
                add(i, ExtendedRules::isRuleLine(rules_.at(i)));
        }
    } else {
        const qsizetype applied = std::min(rules_.size(), kMaxRulesPerRun);
        for (qsizetype i = 0; i < applied; ++i)
            add(i, rules_.at(i).contains(u'>'));
    }
    return entries;
}

QStringList RuleReport::warningsOf(const Entry &entry)
{
    namespace nmsg = messages::notation;
    QStringList warnings;
    if (entry.unsettled > 0)
        warnings.append(nmsg::unsettledWords(entry.unsettled, entry.unsettledExamples));
    if (entry.tooCostly > 0)
        warnings.append(nmsg::tooCostly(entry.tooCostly, entry.tooCostlyExamples));
    if (entry.withoutSegment > 0)
        warnings.append(nmsg::withoutSegment(entry.withoutSegment, entry.withoutSegmentExamples));
    if (entry.unsyllabified > 0)
        warnings.append(entry.isRule ? nmsg::unsyllabifiedWords(entry.unsyllabified, entry.unsyllabifiedExamples)
                                     : nmsg::unmarkedWords(entry.unsyllabified, entry.unsyllabifiedExamples));
    return warnings;
}

QString RuleReport::text() const
{
    QString report = QStringLiteral("Informe de las reglas\n");
    for (const Entry &entry : entries()) {
        report += QStringLiteral("%1. %2: ").arg(QString::number(entry.line + 1), entry.text);
        const QStringList warnings = warningsOf(entry);
        if (!entry.isRule) {
            report += warnings.isEmpty() ? QStringLiteral("no es una regla (le falta «>»)") : warnings.join(u"; ");
            report += QLatin1Char('\n');
            continue;
        }
        report +=
            messages::counted(entry.changed, QStringLiteral("palabra cambiada"), QStringLiteral("palabras cambiadas"));
        if (entry.changed > 0)
            report += QStringLiteral(" (%1)").arg(entry.examples.join(QStringLiteral("; ")));
        for (const QString &warning : warnings)
            report += QStringLiteral("; ") + warning;
        report += QLatin1Char('\n');
    }
    if (!isExtendedList(rules_) && rules_.size() > kMaxRulesPerRun) {
        report += QStringLiteral("Las reglas %1 a %2 no se aplican: una pasada aplica solo las %3 primeras.\n")
                      .arg(kMaxRulesPerRun + 1)
                      .arg(rules_.size())
                      .arg(kMaxRulesPerRun);
    }
    report += QStringLiteral("Palabras cambiadas: %1. Sin cambios: %2.\n").arg(changed_).arg(unchanged_);
    return report;
}

void ObserverGroup::ruleChanged(qsizetype rule, const QString &before, const QString &after)
{
    for (RuleObserver *observer : observers_)
        observer->ruleChanged(rule, before, after);
}

void ObserverGroup::wordDone(const QString &before, const QString &after)
{
    for (RuleObserver *observer : observers_)
        observer->wordDone(before, after);
}

void ObserverGroup::ruleUnsettled(qsizetype rule, const QString &word)
{
    for (RuleObserver *observer : observers_)
        observer->ruleUnsettled(rule, word);
}

void ObserverGroup::ruleTooCostly(qsizetype rule, const QString &word)
{
    for (RuleObserver *observer : observers_)
        observer->ruleTooCostly(rule, word);
}

void ObserverGroup::ruleWithoutSegment(qsizetype rule, const QString &word, const QString &what)
{
    for (RuleObserver *observer : observers_)
        observer->ruleWithoutSegment(rule, word, what);
}

void ObserverGroup::wordNotSyllabified(qsizetype rule, const QString &word)
{
    for (RuleObserver *observer : observers_)
        observer->wordNotSyllabified(rule, word);
}

QString traceWord(const QString &word, const QStringList &rules, RandomSource *random)
{
    struct Trace final : RuleObserver {
        const QStringList &rules;
        QString text;
        explicit Trace(const QStringList &r)
            : rules(r)
        {
        }
        void ruleChanged(qsizetype rule, const QString &, const QString &after) override
        {
            text += traceStep(rule, rules, after);
        }
        void wordDone(const QString &, const QString &) override { }
    } trace(rules);

    trace.text = traceHeader(word);
    QString traced = word;
    if (!RuleSet(ruleTable(rules)).apply(traced, &trace, random))
        trace.text += QStringLiteral("  ") + messages::wordTooLong(kMaxWordLength) + QLatin1Char('\n');
    return trace.text;
}

WordTracer::WordTracer(const QStringList &rules, const QStringList &words)
    : rules_(rules)
    , pending_(words.begin(), words.end())
{
}

void WordTracer::ruleChanged(qsizetype rule, const QString &, const QString &after)
{
    if (!pending_.isEmpty())
        steps_.emplace_back(rule, after); // the word's text is shared, not copied
}

void WordTracer::wordDone(const QString &before, const QString &)
{
    if (pending_.remove(before)) {
        QString text = traceHeader(before);
        auto heading = headings_.cbegin();
        for (const auto &[rule, after] : steps_) {
            for (; heading != headings_.cend() && heading->first <= rule; ++heading)
                text += heading->second;
            text += traceStep(rule, rules_, after);
        }
        for (; heading != headings_.cend(); ++heading)
            text += heading->second;
        traces_.insert(before, text);
    }
    steps_.clear();
}

} // namespace vordane
