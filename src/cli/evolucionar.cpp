#include "cli/evolucionar.h"

#include "cli/cliio.h"
#include "cli/rulerun.h"
#include "common/atomicfile.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "history/comparison.h"
#include "history/evolution.h"
#include "history/historymessages.h"
#include "history/mergers.h"
#include "history/stagedrules.h"
#include "history/stagetable.h"
#include "transformer/rulefile.h"

#include <QCommandLineParser>
#include <QDir>

#include <memory>
#include <optional>

namespace vordane {

namespace msg = messages::history;

void addEvolucionarOptions(QCommandLineParser &p)
{
    const auto option = [&p](const QString &name, const QString &description, const QString &value = QString()) {
        p.addOption(value.isEmpty() ? QCommandLineOption(name, description)
                                    : QCommandLineOption(name, description, value));
    };
    option(QStringLiteral("formato"),
           QStringLiteral("Qué es el léxico: lan (líneas código:significado:forma), dic (líneas «izquierda = "
                          "derecha») o lista (una palabra por línea). Sin esta opción se deduce de sus líneas."),
           QStringLiteral("lan|dic|lista"));
    option(QStringLiteral("etapas"),
           QStringLiteral("Escribe además una tabla (.tsv o .csv, UTF-8) con la forma de cada entrada tras cada "
                          "etapa."),
           QStringLiteral("TABLA"));
    option(QStringLiteral("hasta"), QStringLiteral("Se detiene tras esta etapa (@etapa NOMBRE)."),
           QStringLiteral("ETAPA"));
    option(QStringLiteral("comparar"),
           QStringLiteral("Lista en la salida de errores las entradas cuyo resultado difiere del de esta salida "
                          "anterior, y cuántas son."),
           QStringLiteral("ANTERIOR"));
    option(QStringLiteral("informe"),
           QStringLiteral("Al terminar, cuenta en la salida de errores cuántas palabras cambió cada regla, con "
                          "ejemplos, y las fusiones (entradas distintas que acaban en la misma forma)."));
    option(QStringLiteral("trazar"),
           QStringLiteral("Muestra en la salida de errores los pasos de esta forma por las etapas y sus reglas. "
                          "Puede repetirse."),
           QStringLiteral("PALABRA"));
    option(QStringLiteral("semilla"), QStringLiteral("Semilla de las reglas esporádicas (?N) de una lista @ampliada."),
           QStringLiteral("S"));
}

int runEvolucionar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    std::optional<LexiconKind> forced;
    if (parser.isSet(QStringLiteral("formato"))) {
        forced = lexiconKindNamed(parser.value(QStringLiteral("formato")));
        if (!forced)
            throw UsageError{msg::unknownFormat(parser.value(QStringLiteral("formato")))};
    }
    const QString tablePath = parser.value(QStringLiteral("etapas"));
    std::optional<TableFormat> tableFormat;
    if (parser.isSet(QStringLiteral("etapas"))) {
        tableFormat = tableFormatFor(tablePath);
        if (!tableFormat)
            throw UsageError{msg::unknownTableKind(tablePath)};
    }

    QStringList rules;
    if (const FileStatus status = readRuleFile(args.at(0), rules); !status.ok())
        return io.fail(status.message());
    const StagedRules staged(rules);
    // A malformed list refuses the whole run before anything is opened or written.
    if (const Outcome valid = staged.validity(); !valid.ok())
        return io.fail(valid.message());
    qsizetype last = staged.stageCount() - 1;
    if (parser.isSet(QStringLiteral("hasta"))) {
        last = staged.findStage(parser.value(QStringLiteral("hasta")));
        if (last < 0)
            return io.fail(msg::unknownStage(parser.value(QStringLiteral("hasta")), staged.stageNames()));
    }

    LexiconKind kind = LexiconKind::List;
    if (forced) {
        kind = *forced;
    } else if (const FileStatus status = detectLexiconKind(args.at(1), kind); !status.ok()) {
        return io.fail(status.message());
    }
    LineReader lexicon(args.at(1));
    if (const FileStatus status = lexicon.open(); !status.ok())
        return io.fail(status.message());
    std::unique_ptr<LineReader> previous;
    if (parser.isSet(QStringLiteral("comparar"))) {
        previous = std::make_unique<LineReader>(parser.value(QStringLiteral("comparar")));
        if (const FileStatus status = previous->open(); !status.ok())
            return io.fail(status.message());
    }

    if (tableFormat && !tablePath.isEmpty() && sameFile(tablePath, args.at(2)))
        return io.fail(messages::sameOutputs(QDir::toNativeSeparators(tablePath)));
    LineWriter output(args.at(2));
    if (const FileStatus status = output.open(); !status.ok())
        return io.fail(status.message());
    std::unique_ptr<LineWriter> tableFile;
    std::optional<StageTable> table;
    std::vector<EvolutionObserver *> observers;
    if (tableFormat) {
        tableFile = std::make_unique<LineWriter>(tablePath);
        if (const FileStatus status = tableFile->open(); !status.ok())
            return io.fail(status.message());
        tableFile->forceUtf8(); // a spreadsheet program reads the mark, whatever the text
        QStringList titles;
        for (qsizetype k = 0; k <= last; ++k)
            titles.append(staged.stageTitle(k));
        observers.push_back(&table.emplace(*tableFile, *tableFormat, kind, titles));
    }
    std::optional<MergerFinder> mergers;
    if (parser.isSet(QStringLiteral("informe")))
        observers.push_back(&mergers.emplace(kind));
    QStringList differences;
    std::optional<PreviousRun> comparison;
    if (previous) {
        observers.push_back(
            &comparison.emplace(*previous, kind, [&](const QString &label, const QString &before, const QString &now) {
                differences.append(msg::changedSince(label, before, now));
            }));
    }

    RunReport report(parser, rules, staged.rules());
    ObserverGroup ruleObservers;
    report.addTo(ruleObservers);
    // Forms of the lexicon are traced as the run changes them (sporadic rules included).
    const QStringList traced = parser.values(QStringLiteral("trazar"));
    WordTracer tracer(rules, traced);
    tracer.setHeadings(stageHeadings(staged, last));
    if (!traced.isEmpty())
        ruleObservers.add(&tracer);
    RandomSource random = randomSource(parser);
    const Outcome run = evolveLexicon(lexicon, kind, staged, last, &output, observers,
                                      ruleObservers.isEmpty() ? nullptr : &ruleObservers, &random);
    if (!run.ok())
        return io.fail(run.message());
    if (previous && !previous->status().ok())
        return io.fail(previous->status().message());
    // An output may replace an input: no platform renames over an open file.
    lexicon.close();
    if (previous)
        previous->close();
    const FileStatus committed = tableFile ? commitAll({&output, tableFile.get()}) : output.commit();
    if (!committed.ok())
        return io.fail(committed.message());

    for (const QString &word : traced) {
        // A form the run did not meet goes through the stages on its own, from the run's seed.
        RandomSource alone = randomSource(parser);
        io.message((tracer.traced(word) ? tracer.trace(word) : traceThroughStages(word, staged, last, &alone))
                       .chopped(1));
    }
    report.tell(io);
    if (mergers)
        io.message(mergers->text().chopped(1));
    if (comparison) {
        for (const QString &difference : differences)
            io.message(difference);
        io.message(msg::changedCount(comparison->changed(), comparison->unmatched()));
    }
    return io.done(messages::kReady);
}

} // namespace vordane
