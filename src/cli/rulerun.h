#pragma once

#include "common/randomsource.h"
#include "transformer/rulereport.h"

#include <QStringList>

#include <optional>

class QCommandLineParser;

namespace vordane {

class Io;
class RuleSet;

// Without --semilla, the random source as right after the program starts.
RandomSource randomSource(const QCommandLineParser &parser);

// The rule report of a run of the command line: kept with --informe, and
// also for lists whose rules may leave words still changing or give them
// up, which are told even without it.
class RunReport {
public:
    RunReport(const QCommandLineParser &parser, const QStringList &rules, const RuleSet &ruleSet);

    // Adds the report, when kept, to the run's observers.
    void addTo(ObserverGroup &observers);
    // After the run, on standard error: the report with --informe; without
    // it, the rules that left words still changing or gave them up.
    void tell(Io &io) const;

private:
    bool asked_;
    std::optional<RuleReport> report_;
};

} // namespace vordane
