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
    // Words a "{repetida}" rule left still changing are said even without the report.
    for (const RuleReport::Entry &entry : report_->entries()) {
        if (entry.unsettled > 0)
            io.message(QStringLiteral("Aviso: línea %1 («%2»): %3.")
                           .arg(QString::number(entry.line + 1), entry.text,
                                messages::notation::unsettledWords(entry.unsettled, entry.unsettledExamples)));
        if (entry.tooCostly > 0)
            io.message(QStringLiteral("Aviso: línea %1 («%2»): %3.")
                           .arg(QString::number(entry.line + 1), entry.text,
                                messages::notation::tooCostly(entry.tooCostly, entry.tooCostlyExamples)));
        if (entry.withoutSegment > 0)
            io.message(QStringLiteral("Aviso: línea %1 («%2»): %3.")
                           .arg(QString::number(entry.line + 1), entry.text,
                                messages::notation::withoutSegment(entry.withoutSegment,
                                                                   entry.withoutSegmentExamples)));
        if (entry.unsyllabified > 0)
            io.message(QStringLiteral("Aviso: línea %1 («%2»): %3.")
                           .arg(QString::number(entry.line + 1), entry.text,
                                entry.isRule ? messages::notation::unsyllabifiedWords(entry.unsyllabified,
                                                                                      entry.unsyllabifiedExamples)
                                             : messages::notation::unmarkedWords(entry.unsyllabified,
                                                                                 entry.unsyllabifiedExamples)));
    }
}

} // namespace vordane
