#include "cli/rulerun.h"

#include "cli/cliio.h"
#include "common/featuremessages.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "transformer/transformationengine.h"

#include <QCommandLineParser>

namespace vordane {

RandomSource randomSource(const QCommandLineParser &parser)
{
    RandomSource random;
    if (parser.isSet(QStringLiteral("semilla")))
        random.seed(readNumber(parser.value(QStringLiteral("semilla"))));
    return random;
}

RunReport::RunReport(const QCommandLineParser &parser, const QStringList &rules, const RuleSet &ruleSet)
    : asked_(parser.isSet(QStringLiteral("informe")))
{
    if (asked_ || ruleSet.hasRepeatedRules() || ruleSet.usesGeneralRules())
        report_.emplace(rules);
}

void RunReport::addTo(ObserverGroup &observers)
{
    if (report_)
        observers.add(&*report_);
}

void RunReport::tell(Io &io) const
{
    if (!report_)
        return;
    if (asked_) {
        io.message(report_->text().chopped(1));
        return;
    }
    // What a rule could not do on some words is said even without the report.
    for (const RuleReport::Entry &entry : report_->entries()) {
        for (const QString &warning : RuleReport::warningsOf(entry))
            io.message(QStringLiteral("Aviso: línea %1 («%2»): %3.")
                           .arg(QString::number(entry.line + 1), entry.text, warning));
    }
}

} // namespace vordane
