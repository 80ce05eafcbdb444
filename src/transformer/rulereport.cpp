#include "transformer/rulereport.h"

#include "common/messages.h"

namespace vordane {

namespace {

QString step(const QString &before, const QString &after)
{
    return QStringLiteral("%1 → %2").arg(before, after);
}

} // namespace

RuleReport::RuleReport(const QStringList &rules)
    : rules_(rules)
    , counts_(std::size_t(rules.size()), 0)
    , examples_(std::size_t(rules.size()))
{
}

void RuleReport::ruleChanged(qsizetype rule, const QString &before, const QString &after)
{
    ++counts_[std::size_t(rule)];
    QStringList &examples = examples_[std::size_t(rule)];
    if (examples.size() < kExamples)
        examples.append(step(before, after));
}

void RuleReport::wordDone(const QString &before, const QString &after)
{
    ++(before == after ? unchanged_ : changed_);
}

QString RuleReport::text() const
{
    QString report = QStringLiteral("Informe de las reglas\n");
    const qsizetype applied = std::min(rules_.size(), kMaxRulesPerRun);
    for (qsizetype i = 0; i < applied; ++i) {
        const QString &rule = rules_.at(i);
        report += QStringLiteral("%1. %2: ").arg(i + 1).arg(rule);
        if (!rule.contains(u'>')) {
            report += QStringLiteral("no es una regla (le falta «>»)\n");
            continue;
        }
        const std::int64_t count = counts_[std::size_t(i)];
        report += messages::counted(count, QStringLiteral("palabra cambiada"), QStringLiteral("palabras cambiadas"));
        if (count > 0)
            report += QStringLiteral(" (%1)").arg(examples_[std::size_t(i)].join(QStringLiteral("; ")));
        report += QLatin1Char('\n');
    }
    if (rules_.size() > kMaxRulesPerRun) {
        report += QStringLiteral("Las reglas %1 a %2 no se aplican: una pasada aplica solo las %3 primeras.\n")
                      .arg(kMaxRulesPerRun + 1)
                      .arg(rules_.size())
                      .arg(kMaxRulesPerRun);
    }
    report += QStringLiteral("Palabras cambiadas: %1. Sin cambios: %2.\n").arg(changed_).arg(unchanged_);
    return report;
}

QString traceWord(const QString &word, const QStringList &rules)
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
            text += QStringLiteral("  %1. %2: %3\n").arg(rule + 1).arg(rules.at(rule), after);
        }
        void wordDone(const QString &, const QString &) override { }
    } trace(rules);

    trace.text = QStringLiteral("Traza de «%1»:\n  %1\n").arg(word);
    QString traced = word;
    if (!RuleSet(ruleTable(rules)).apply(traced, &trace))
        trace.text += QStringLiteral("  ") + messages::wordTooLong(kMaxWordLength) + QLatin1Char('\n');
    return trace.text;
}

} // namespace vordane
