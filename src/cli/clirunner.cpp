#include "cli/clirunner.h"

#include "cli/cliio.h"
#include "cli/featuretable.h"
#include "cli/palabras.h"
#include "cli/evolucionar.h"
#include "cli/rulerun.h"
#include "common/blanks.h"
#include "common/linereader.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "dictionary/dictionarytools.h"
#include "generator/combinacion.h"
#include "generator/generationengine.h"
#include "generator/wordfilters.h"
#include "notation/sca2import.h"
#include "roots/languagegenerator.h"
#include "roots/languageseparator.h"
#include "roots/rootfile.h"
#include "transformer/rulefile.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QIODevice>

#include <functional>
#include <optional>

namespace vordane {

namespace {

const QString kProgram = QStringLiteral("vordane-cli");

// A subcommand: its arguments, options and what it runs.
struct Command {
    QString name;
    QString summary;
    QStringList arguments; // names of the positional arguments, "..." for a repeated last one
    std::function<void(QCommandLineParser &)> addOptions;
    std::function<int(const QCommandLineParser &, const QStringList &, Io &)> run;
};

QCommandLineOption option(const QString &name, const QString &description, const QString &value = QString(),
                          const QString &defaultValue = QString())
{
    return value.isEmpty() ? QCommandLineOption(name, description)
                           : QCommandLineOption(name, description, value, defaultValue);
}

const QString kCaseValues = QStringLiteral("mayusculas|minusculas|igual");

// A case option's value; an unknown value is a usage error (thrown).
CaseOption caseOption(const QCommandLineParser &parser, const QString &name)
{
    const QString value = parser.value(name);
    if (value == QLatin1String("mayusculas"))
        return CaseOption::Upper;
    if (value == QLatin1String("minusculas"))
        return CaseOption::Lower;
    if (value == QLatin1String("igual"))
        return CaseOption::Unchanged;
    throw UsageError{QStringLiteral("--%1 admite %2, no «%3».").arg(name, kCaseValues, value)};
}

// The filters of --sin-repetir, --excluir and --rechazar; a bad pattern is a usage error (thrown).
Outcome readWordFilters(const QCommandLineParser &parser, const GenerationSettings &settings, WordFilters &filters)
{
    if (parser.isSet(QStringLiteral("sin-repetir")))
        filters.refuseRepeats(qsizetype(std::min(wordsOfRun(settings), 1e9)));
    for (const QString &pattern : parser.values(QStringLiteral("rechazar"))) {
        QString error;
        qsizetype position = 0;
        if (!filters.refuseMatches(pattern, error, position)) {
            throw UsageError{QStringLiteral("El patrón «%1» de --rechazar no es válido en la posición %2: %3.")
                                 .arg(pattern)
                                 .arg(position)
                                 .arg(error)};
        }
    }
    for (const QString &path : parser.values(QStringLiteral("excluir"))) {
        if (const FileStatus status = filters.refuseWordsOf(path); !status.ok())
            return status;
    }
    return Outcome();
}

int runGenerar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    Combinacion definition;
    if (const FileStatus read = readLngFile(args.at(0), definition); !read.ok())
        return io.fail(read.message());
    const GenerationSettings settings{
        readNumber(parser.value(QStringLiteral("filas"))), readNumber(parser.value(QStringLiteral("por-fila"))),
        readNumber(parser.value(QStringLiteral("minimas"))), readNumber(parser.value(QStringLiteral("maximas")))};
    std::unique_ptr<LineReader> dictionary;
    std::int64_t dictionaryLines = kNoPairing;
    if (parser.isSet(QStringLiteral("diccionario"))) {
        const QString path = parser.value(QStringLiteral("diccionario"));
        if (const FileStatus status = countDictionaryLines(path, settings, dictionaryLines); !status.ok())
            return io.fail(status.message());
        dictionary = std::make_unique<LineReader>(path);
        if (const FileStatus status = dictionary->open(); !status.ok())
            return io.fail(status.message());
    }
    // The counts are checked as for any run before a filter prepares for them.
    if (const Outcome check = checkGeneration(definition, settings, dictionaryLines); !check.ok())
        return io.fail(check.message());
    WordFilters filters;
    if (const Outcome read = readWordFilters(parser, settings, filters); !read.ok())
        return io.fail(read.message());

    // A run that filters words may give up part way: then nothing at all is written.
    CommandOutput output(io, parser, filters.active());
    if (const FileStatus status = output.open(); !status.ok())
        return io.fail(status.message());
    RandomSource random = randomSource(parser);
    const GenerationResult result = generateWords(definition, settings, random, dictionary.get(), output.writer(),
                                                  filters.active() ? &filters : nullptr, {}, dictionaryLines);
    if (!result.outcome.ok())
        return io.fail(result.outcome.message());
    if (dictionary && !dictionary->status().ok())
        return io.fail(dictionary->status().message());
    if (dictionary)
        dictionary->close(); // the output may replace it: no platform renames over an open file
    return io.report(output.commit(), messages::kReady);
}

int runTransformar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const bool words = parser.isSet(QStringLiteral("palabras"));
    if (words == parser.isSet(QStringLiteral("texto")))
        throw UsageError{QStringLiteral("Indique --palabras o --texto, uno de los dos.")};
    QStringList rules;
    if (const FileStatus status = readRuleFile(args.at(0), rules); !status.ok())
        return io.fail(status.message());
    RuleSet ruleSet(ruleTable(rules));
    ruleSet.setSyllableMarks(parser.isSet(QStringLiteral("silabas")));
    // A malformed extended list refuses the whole run before anything is opened or written.
    if (const Outcome valid = ruleSet.validity(); !valid.ok())
        return io.fail(valid.message());

    LineReader source(parser.value(QStringLiteral("palabras")));
    if (words) {
        if (const FileStatus status = source.open(); !status.ok())
            return io.fail(status.message());
    }
    // Unlike the window's empty box, a dictionary named here must be readable.
    std::unique_ptr<LineReader> dictionary;
    if (parser.isSet(QStringLiteral("diccionario"))) {
        dictionary = std::make_unique<LineReader>(parser.value(QStringLiteral("diccionario")));
        if (const FileStatus status = dictionary->open(); !status.ok())
            return io.fail(status.message());
    }

    CommandOutput output(io, parser);
    if (const FileStatus status = output.open(); !status.ok())
        return io.fail(status.message());
    RunReport report(parser, rules, ruleSet);
    ObserverGroup observers;
    report.addTo(observers);
    // Words of the list are traced as the run changes them (sporadic rules included).
    const QStringList traced = parser.values(QStringLiteral("trazar"));
    WordTracer tracer(rules, traced);
    if (!traced.isEmpty())
        observers.add(&tracer);
    RuleObserver *observer = observers.isEmpty() ? nullptr : &observers;
    RandomSource random = randomSource(parser);
    const Outcome run = words ? transformWordList(source, ruleSet, dictionary.get(), output.writer(), observer, &random)
                              // The blanks typed around a word of the list are not part of it.
                              : TransformarTexto(trimmedCommaList(parser.value(QStringLiteral("texto"))), ruleSet,
                                                 dictionary.get(), output.writer(), observer, &random);
    if (!run.ok())
        return io.fail(run.message());
    if (dictionary && !dictionary->status().ok())
        return io.fail(dictionary->status().message());
    // The output may replace an input: no platform renames over an open file.
    source.close();
    if (dictionary)
        dictionary->close();
    const Outcome committed = output.commit();
    for (const QString &word : traced) {
        // A word the run did not meet goes through the rules on its own, from the run's seed.
        RandomSource alone = randomSource(parser);
        io.message((tracer.traced(word) ? tracer.trace(word) : traceWord(word, rules, &alone)).chopped(1));
    }
    report.tell(io);
    return io.report(committed, messages::kReady);
}

int runExportar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const CaseOption origin = caseOption(parser, QStringLiteral("origen"));
    const CaseOption translation = caseOption(parser, QStringLiteral("traduccion"));
    return io.report(exportDictionary(args.at(0), args.at(1), args.at(2), origin, translation,
                                      parser.isSet(QStringLiteral("omitir"))),
                     messages::kExportDone);
}

int runCombinar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const QStringList sources = args.mid(1);
    if (sources.isEmpty() || sources.size() > kCombinerRows)
        throw UsageError{QStringLiteral("Indique de una a diez fuentes ARCHIVO=PORCENTAJE.")};
    std::array<CombinerRow, kCombinerRows> rows{};
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const qsizetype equals = sources.at(i).lastIndexOf(u'=');
        if (equals < 0)
            throw UsageError{QStringLiteral("«%1» no tiene la forma ARCHIVO=PORCENTAJE.").arg(sources.at(i))};
        rows[std::size_t(i)] = {true, sources.at(i).left(equals), readNumber(sources.at(i).mid(equals + 1))};
    }
    RandomSource random = randomSource(parser);
    return io.report(combineSources(rows, args.at(0), random), messages::kCombinationDone);
}

int runSeparar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    return io.report(separateListing(args.at(0), args.at(1), parser.value(QStringLiteral("separador"))),
                     messages::kSeparationDone);
}

int runCase(const QStringList &args, Io &io, CaseOption option)
{
    return io.report(copyWithCase(args.at(0), args.at(1), option),
                     option == CaseOption::Upper ? messages::kUpperDone : messages::kLowerDone);
}

int runLengua(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    return io.report(
        generateLanguage(args.at(0), args.at(1), args.at(2), parser.value(QStringLiteral("orden"))).outcome,
        messages::kGenerationDone);
}

int runSepararLengua(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const CaseOption words = caseOption(parser, QStringLiteral("palabras"));
    const CaseOption dictionary = caseOption(parser, QStringLiteral("diccionario-caso"));
    return io.report(separateLanguage(args.at(0), args.at(1), args.at(2), words, dictionary),
                     messages::kSeparationDone);
}

int runRaiz(const QStringList &args, Io &io)
{
    // The window creates the file when its name is given; then saves the root.
    const RootRecord root{args.at(1), args.at(2), args.at(3), args.at(4)};
    Outcome outcome = ensureRootFile(args.at(0));
    if (outcome.ok())
        outcome = saveRoot(args.at(0), root);
    return io.report(outcome, messages::kRootSaved);
}

// An SCA² rule file written as an extended list; the lines it cannot carry
// over are told, and a file with no rule at all writes nothing.
int runImportarSca2(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    QStringList source;
    if (const FileStatus status = readRuleFile(args.at(0), source); !status.ok())
        return io.fail(status.message());
    const Sca2Import imported = importSca2(source, parser.isSet(QStringLiteral("reescribir-salida")));
    for (const QString &problem : imported.problems)
        io.message(problem);
    if (imported.rules == 0)
        return io.fail(messages::sca2::nothingImported(QDir::toNativeSeparators(args.at(0))));
    return io.report(writeRuleFile(args.at(1), imported.lines), messages::sca2::importDone(imported.rules));
}

QList<Command> commands()
{
    const auto caseOpt = [](const QString &name, const QString &what) {
        return option(name, QStringLiteral("Caso %1: %2 (por omisión: mayusculas).").arg(what, kCaseValues),
                      QStringLiteral("caso"), QStringLiteral("mayusculas"));
    };
    const auto file = QStringLiteral("ARCHIVO");
    return {
        {QStringLiteral("generar"),
         QStringLiteral("Genera palabras a partir de una combinación (.lng)."),
         {QStringLiteral("DEFINICION.lng")},
         [file](QCommandLineParser &p) {
             const QString n = QStringLiteral("N");
             p.addOption(
                 option(QStringLiteral("filas"), QStringLiteral("Cantidad de filas (100)."), n, QStringLiteral("100")));
             p.addOption(
                 option(QStringLiteral("por-fila"), QStringLiteral("Palabras por fila (1)."), n, QStringLiteral("1")));
             p.addOption(
                 option(QStringLiteral("minimas"), QStringLiteral("Sílabas mínimas (1)."), n, QStringLiteral("1")));
             p.addOption(
                 option(QStringLiteral("maximas"), QStringLiteral("Sílabas máximas (4)."), n, QStringLiteral("4")));
             p.addOption(
                 option(QStringLiteral("semilla"), QStringLiteral("Semilla de generación."), QStringLiteral("S")));
             p.addOption(option(QStringLiteral("diccionario"),
                                QStringLiteral("Adosa cada palabra a una línea de este archivo."), file));
             p.addOption(option(QStringLiteral("salida"), QStringLiteral("Guarda el texto en este archivo."), file));
             p.addOption(option(QStringLiteral("sin-repetir"),
                                QStringLiteral("Ninguna palabra sale dos veces (se compara la palabra entera, "
                                               "distinguiendo mayúsculas).")));
             p.addOption(option(QStringLiteral("excluir"),
                                QStringLiteral("No genera ninguna palabra que sea una línea de este archivo; de una "
                                               "línea «palabra = significado», la parte anterior a « = ». Puede "
                                               "repetirse."),
                                file));
             p.addOption(option(QStringLiteral("rechazar"),
                                QStringLiteral("Vuelve a sacar toda palabra que contenga una coincidencia de esta "
                                               "expresión regular. Puede repetirse."),
                                QStringLiteral("PATRON")));
         },
         runGenerar},
        {QStringLiteral("transformar"),
         QStringLiteral("Aplica las reglas de un archivo de sílabas (.sc, .lns)."),
         {QStringLiteral("REGLAS")},
         [file](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("palabras"), QStringLiteral("Lista de palabras de origen."), file));
             p.addOption(option(QStringLiteral("texto"),
                                QStringLiteral("Texto de origen, palabras separadas por comas."),
                                QStringLiteral("TEXTO")));
             p.addOption(option(QStringLiteral("diccionario"),
                                QStringLiteral("Adosa cada palabra a una línea de este archivo."), file));
             p.addOption(
                 option(QStringLiteral("salida"), QStringLiteral("Guarda el resultado en este archivo."), file));
             p.addOption(option(QStringLiteral("informe"),
                                QStringLiteral("Al terminar, cuenta en la salida de errores cuántas palabras cambió "
                                               "cada regla, con ejemplos.")));
             p.addOption(option(QStringLiteral("trazar"),
                                QStringLiteral("Muestra en la salida de errores los pasos de esta palabra por las "
                                               "reglas. Puede repetirse."),
                                QStringLiteral("PALABRA")));
             p.addOption(option(QStringLiteral("semilla"),
                                QStringLiteral("Semilla de las reglas esporádicas (?N) de una lista @ampliada."),
                                QStringLiteral("S")));
             p.addOption(option(QStringLiteral("silabas"),
                                QStringLiteral("Escribe las palabras con sus sílabas separadas por «.», según la "
                                               "última línea @sílabas de la lista.")));
         },
         runTransformar},
        {QStringLiteral("exportar"),
         QStringLiteral("Une dos listas paralelas en un diccionario «origen = traducción»."),
         {QStringLiteral("ORIGEN"), QStringLiteral("TRADUCCION"), QStringLiteral("DESTINO")},
         [caseOpt](QCommandLineParser &p) {
             p.addOption(caseOpt(QStringLiteral("origen"), QStringLiteral("de la lista de origen")));
             p.addOption(caseOpt(QStringLiteral("traduccion"), QStringLiteral("de la traducción")));
             p.addOption(option(QStringLiteral("omitir"), QStringLiteral("Omite repeticiones y nulos.")));
         },
         runExportar},
        {QStringLiteral("combinar"),
         QStringLiteral("Mezcla hasta diez listas paralelas por porcentajes."),
         {QStringLiteral("DESTINO"), QStringLiteral("FUENTE=PORCENTAJE...")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("semilla"), QStringLiteral("Semilla de la generación al azar."),
                                QStringLiteral("S")));
         },
         runCombinar},
        {QStringLiteral("separar"),
         QStringLiteral("Extrae las contrapartes de un listado de tres columnas."),
         {QStringLiteral("ORIGEN"), QStringLiteral("DESTINO")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("separador"), QStringLiteral("Separador (=)."), QStringLiteral("TEXTO"),
                                QStringLiteral("=")));
         },
         runSeparar},
        {QStringLiteral("mayusculas"),
         QStringLiteral("Copia un archivo pasándolo a mayúsculas."),
         {QStringLiteral("ORIGEN"), QStringLiteral("DESTINO")},
         [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runCase(a, io, CaseOption::Upper); }},
        {QStringLiteral("minusculas"),
         QStringLiteral("Copia un archivo pasándolo a minúsculas."),
         {QStringLiteral("ORIGEN"), QStringLiteral("DESTINO")},
         [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runCase(a, io, CaseOption::Lower); }},
        {QStringLiteral("lengua"),
         QStringLiteral("Genera un archivo de lengua (.lan) a partir de raíces y palabras."),
         {QStringLiteral("PALABRAS"), QStringLiteral("RAICES"), QStringLiteral("SALIDA")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("orden"), QStringLiteral("Orden de los elementos (AM)."),
                                QStringLiteral("TEXTO"), QStringLiteral("AM")));
         },
         runLengua},
        {QStringLiteral("separar-lengua"),
         QStringLiteral("Separa un archivo de lengua en dos listas paralelas."),
         {QStringLiteral("LENGUA"), QStringLiteral("PALABRAS"), QStringLiteral("DICCIONARIO")},
         [caseOpt](QCommandLineParser &p) {
             p.addOption(caseOpt(QStringLiteral("palabras"), QStringLiteral("de las palabras de origen")));
             p.addOption(caseOpt(QStringLiteral("diccionario-caso"), QStringLiteral("del diccionario")));
         },
         runSepararLengua},
        {QStringLiteral("raiz"),
         QStringLiteral("Guarda una raíz en un archivo de raíces (.rad)."),
         {file, QStringLiteral("CODIGO"), QStringLiteral("PALABRA"), QStringLiteral("VALOR"), QStringLiteral("NIVEL")},
         [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runRaiz(a, io); }},
        {QStringLiteral("importar-sca2"),
         QStringLiteral("Convierte un archivo de reglas de SCA² en una lista @ampliada."),
         {QStringLiteral("ENTRADA"), QStringLiteral("SALIDA")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("reescribir-salida"),
                                QStringLiteral("Añade al final las reescrituras (de|a) de vuelta, de «a» a «de», "
                                               "como el original cuando se le pide reescribir la salida.")));
         },
         runImportarSca2},
        {QStringLiteral("rasgos"),
         QStringLiteral("Muestra la tabla de rasgos ipa, o los rasgos que declara una lista @ampliada."),
         {QStringLiteral("[REGLAS]")},
         [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runRasgos(a, io); }},
        {QStringLiteral("palabras"),
         QStringLiteral("Genera palabras a partir de una definición con pesos (.gen)."),
         {QStringLiteral("DEFINICION.gen"), QStringLiteral("[ARCHIVO-ESTADISTICAS]")},
         addPalabrasOptions,
         runPalabras},
        {QStringLiteral("evolucionar"),
         QStringLiteral("Lleva un léxico (.lan, diccionario o lista) por las etapas de una lista de reglas."),
         {QStringLiteral("REGLAS"), QStringLiteral("LEXICO"), QStringLiteral("SALIDA")},
         addEvolucionarOptions,
         runEvolucionar},
    };
}

QString usageLine(const Command &command)
{
    return QStringLiteral("uso: %1 %2 [opciones] %3")
        .arg(kProgram, command.name, command.arguments.join(QLatin1Char(' ')));
}

QString generalHelp(const QList<Command> &all)
{
    QString text = QStringLiteral("uso: %1 ORDEN [opciones] ARGUMENTOS\n\n"
                                  "Trabajo por lotes con los motores de Vordane.\n\nÓrdenes:\n")
                       .arg(kProgram);
    for (const Command &command : all) {
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(command.name, -15)
                    .arg(command.arguments.join(QLatin1Char(' ')), command.summary);
    }
    text +=
        QStringLiteral("\nOpciones comunes: --verbose (informa del final en la salida de errores), --help, --version.\n"
                       "«--» termina las opciones: lo que sigue son argumentos aunque empiecen por «-» "
                       "(nombres de archivo como «-a.lex»).\n"
                       "«%1 ORDEN --help» describe las opciones de cada orden.\n"
                       "Estado de salida: 0 si todo fue bien, 1 si la operación falló (no se modifica ningún archivo), "
                       "2 si la orden está mal escrita. Una tubería cerrada (como tras «| head») termina la orden en "
                       "silencio, por la señal SIGPIPE, como a las herramientas del sistema.\n")
            .arg(kProgram);
    return text;
}

QString commandHelp(const Command &command, QCommandLineParser &parser)
{
    // The parser fits argument names into the options' column and would cut
    // a long one ("FUENTE=PORCENTAJE...") in two: the arguments are listed here.
    parser.clearPositionalArguments();
    QString arguments = QStringLiteral("\nArgumentos:\n");
    for (const QString &argument : command.arguments)
        arguments += QStringLiteral("  ") + argument + QLatin1Char('\n');
    return usageLine(command) + QStringLiteral("\n\n") + command.summary + QStringLiteral("\n\n")
        + parser.helpText()
              .section(QLatin1Char('\n'), 3)
              .replace(QStringLiteral("Options:"), QStringLiteral("Opciones:"))
        + arguments
        + QStringLiteral("\n«--» termina las opciones: lo que sigue son argumentos aunque empiecen por «-».\n");
}

} // namespace

int runCli(const QStringList &arguments, QIODevice &out, QIODevice &err)
{
    Io io(out, err);
    const QList<Command> all = commands();
    const QString name = arguments.value(1);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("ayuda"))
        return io.print(generalHelp(all));
    if (name == QLatin1String("--version") || name == QLatin1String("-v"))
        return io.print(QStringLiteral("%1 %2\n"
                                       "Licencia GPL-3.0 o posterior (GPL-3.0-or-later): es software libre; puede "
                                       "redistribuirlo y modificarlo.\nNo hay NINGUNA GARANTÍA, en la medida en que "
                                       "lo permita la ley.\n")
                            .arg(kProgram, QStringLiteral(VORDANE_VERSION)));
    const auto command = std::find_if(all.begin(), all.end(), [&](const Command &c) { return c.name == name; });
    if (command == all.end()) {
        io.message(name.isEmpty() ? QStringLiteral("Falta la orden.")
                                  : QStringLiteral("Orden desconocida: «%1».").arg(name));
        io.message(QStringLiteral("uso: %1 ORDEN [opciones] ARGUMENTOS (vea %1 --help)").arg(kProgram));
        return kExitUsage;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(command->summary);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Muestra esta ayuda."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Informa del final en la salida de errores."));
    parser.addOption(help);
    parser.addOption(verbose);
    command->addOptions(parser);
    for (const QString &argument : command->arguments)
        parser.addPositionalArgument(argument, QString());

    const QStringList rest = QStringList{kProgram + QLatin1Char(' ') + command->name} + arguments.mid(2);
    if (!parser.parse(rest)) {
        io.message(parser.errorText());
        io.message(usageLine(*command));
        return kExitUsage;
    }
    if (parser.isSet(help))
        return io.print(commandHelp(*command, parser));
    io.setVerbose(parser.isSet(verbose));
    const QStringList positional = parser.positionalArguments();
    const bool repeated = command->arguments.constLast().endsWith(QLatin1String("..."));
    const bool optional = command->arguments.constLast().startsWith(QLatin1Char('['));
    const qsizetype needed = command->arguments.size() - (repeated || optional ? 1 : 0);
    if (positional.size() < needed || (!repeated && positional.size() > needed + (optional ? 1 : 0))) {
        io.message(QStringLiteral("Cantidad de argumentos incorrecta."));
        io.message(usageLine(*command));
        return kExitUsage;
    }
    try {
        return command->run(parser, positional, io);
    } catch (const UsageError &error) {
        io.message(error.message);
        io.message(usageLine(*command));
        return kExitUsage;
    } catch (const std::bad_alloc &) {
        return io.fail(messages::kOutOfMemory);
    }
}

} // namespace vordane
