#include "cli/palabras.h"

#include "cli/cliio.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "generator/wordfilters.h"
#include "wordgen/worddefinition.h"
#include "wordgen/wordgenmessages.h"
#include "wordgen/wordrun.h"
#include "wordgen/wordstatistics.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <optional>

namespace vordane {

namespace {

QCommandLineOption option(const QString &name, const QString &description, const QString &value = QString())
{
    return value.isEmpty() ? QCommandLineOption(name, description) : QCommandLineOption(name, description, value);
}

} // namespace

void addPalabrasOptions(QCommandLineParser &p)
{
    const QString file = QStringLiteral("ARCHIVO");
    p.addOption(
        option(QStringLiteral("cantidad"), QStringLiteral("Cantidad de palabras (obligatoria)."), QStringLiteral("N")));
    p.addOption(option(QStringLiteral("semilla"), QStringLiteral("Semilla de generación."), QStringLiteral("S")));
    p.addOption(option(QStringLiteral("sin-repetir"),
                       QStringLiteral("Ninguna palabra sale dos veces (se compara la palabra entera, distinguiendo "
                                      "mayúsculas).")));
    p.addOption(option(QStringLiteral("ordenar"),
                       QStringLiteral("Escribe las palabras en el orden de @alfabeto (las guarda hasta el final).")));
    p.addOption(option(QStringLiteral("excluir"),
                       QStringLiteral("No genera ninguna palabra que sea una línea de este archivo; de una línea "
                                      "«palabra = significado», la parte anterior a « = ». Puede repetirse."),
                       file));
    p.addOption(option(QStringLiteral("silabas"), QStringLiteral("Separa las sílabas con «.».")));
    p.addOption(option(QStringLiteral("estadisticas"),
                       QStringLiteral("Al terminar, escribe en la salida de errores la frecuencia esperada y "
                                      "observada de cada sonido, los grupos más frecuentes y la distribución de "
                                      "sílabas y de longitudes.")));
    p.addOption(option(QStringLiteral("estadisticas-archivo"),
                       QStringLiteral("Las mismas estadísticas, en este archivo."), file));
    p.addOption(option(QStringLiteral("salida"), QStringLiteral("Guarda las palabras en este archivo."), file));
}

int runPalabras(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    if (!parser.isSet(QStringLiteral("cantidad")))
        throw UsageError{QStringLiteral("Indique --cantidad N.")};
    const QString countText = parser.value(QStringLiteral("cantidad"));
    const double count = readNumber(countText);
    if (!(count >= 0 && count <= 9e15 && count == std::floor(count)))
        throw UsageError{
            QStringLiteral("--cantidad admite un número entero de 0 en adelante, no «%1».").arg(countText)};

    if (args.size() > 1 && !parser.isSet(QStringLiteral("estadisticas")))
        throw UsageError{QStringLiteral("Sobra «%1»: un archivo de estadísticas va tras --estadisticas.").arg(args.at(1))};
    if (args.size() > 1 && parser.isSet(QStringLiteral("estadisticas-archivo")))
        throw UsageError{QStringLiteral("Indique el archivo de estadísticas una sola vez.")};
    const QString path = args.at(0);
    QStringList lines;
    if (const FileStatus status = readWordDefinitionFile(path, lines); !status.ok())
        return io.fail(status.message());
    const ParsedWordDefinition parsed = parseWordDefinition(lines, QFileInfo(path).absolutePath());
    if (!parsed.ok())
        return io.fail(QStringLiteral("La definición «%1» tiene errores; no se ha generado nada.\n%2")
                           .arg(QDir::toNativeSeparators(path), parsed.message()));

    WordRunOptions options;
    options.count = std::int64_t(count);
    options.unique = parser.isSet(QStringLiteral("sin-repetir"));
    options.sorted = parser.isSet(QStringLiteral("ordenar"));
    options.syllables = parser.isSet(QStringLiteral("silabas"));
    options.excluded = parser.values(QStringLiteral("excluir"));
    WordFilters filters;
    if (const Outcome prepared = prepareWordRunFilters(options, filters); !prepared.ok())
        return io.fail(prepared.message());

    // Every output is opened before any word is drawn; a run that may give
    // up part way holds standard output back until it has succeeded.
    const bool mayGiveUp = filters.active() || !parsed.definition.rejections.empty();
    std::optional<LineWriter> file;
    std::optional<CommandOutput> standard;
    TextSink *out = nullptr;
    if (parser.isSet(QStringLiteral("salida"))) {
        file.emplace(parser.value(QStringLiteral("salida")));
        if (const FileStatus status = file->open(); !status.ok())
            return io.fail(status.message());
        out = &*file;
    } else {
        standard.emplace(io, parser, mayGiveUp);
        if (const FileStatus status = standard->open(); !status.ok())
            return io.fail(status.message());
        out = &standard->writer();
    }
    // "--estadisticas ARCHIVO": the file is the argument after the definition.
    const bool statisticsFile = parser.isSet(QStringLiteral("estadisticas-archivo")) || args.size() > 1;
    std::optional<LineWriter> statisticsWriter;
    if (statisticsFile) {
        statisticsWriter.emplace(args.size() > 1 ? args.at(1) : parser.value(QStringLiteral("estadisticas-archivo")));
        if (const FileStatus status = statisticsWriter->open(); !status.ok())
            return io.fail(status.message());
    }
    std::optional<WordStatistics> statistics;
    if (statisticsFile || parser.isSet(QStringLiteral("estadisticas")))
        statistics.emplace(parsed.definition);

    RandomSource random;
    if (parser.isSet(QStringLiteral("semilla")))
        random.seed(readNumber(parser.value(QStringLiteral("semilla"))));
    const WordRunResult result =
        runWordGeneration(parsed.definition, options, random, filters, *out, statistics ? &*statistics : nullptr);
    if (!result.outcome.ok())
        return io.fail(result.outcome.message());

    QString report;
    if (statistics)
        report = statisticsText(statistics->report());
    if (statisticsWriter) {
        statisticsWriter->write(QString(report).replace(QLatin1String("\n"), QLatin1String("\r\n")));
        if (const FileStatus status = file ? commitAll({&*file, &*statisticsWriter}) : statisticsWriter->commit();
            !status.ok())
            return io.fail(status.message());
    }
    Outcome committed;
    if (file && !statisticsWriter)
        committed = file->commit();
    else if (standard)
        committed = standard->commit();
    if (committed.ok() && parser.isSet(QStringLiteral("estadisticas")) && args.size() == 1)
        io.message(report.chopped(1));
    return io.report(committed, messages::kReady);
}

} // namespace vordane
