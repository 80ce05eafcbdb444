#include "cli/clirunner.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "dictionary/dictionarytools.h"
#include "generator/combinacion.h"
#include "generator/generationengine.h"
#include "roots/languagegenerator.h"
#include "roots/languageseparator.h"
#include "roots/rootfile.h"
#include "transformer/rulefile.h"
#include "transformer/transformationengine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>

#include <functional>
#include <optional>

namespace vordane {

namespace {

const QString kProgram = QStringLiteral("vordane-cli");

struct Io {
    QIODevice &out;
    QIODevice &err;
    bool verbose = false;

    void print(QIODevice &device, const QString &text) { device.write(text.toUtf8()); }
    int fail(const QString &message)
    {
        print(err, message + QLatin1Char('\n'));
        return kExitFailed;
    }
    int done(const QString &message)
    {
        if (verbose)
            print(err, message + QLatin1Char('\n'));
        return kExitOk;
    }
};

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

std::optional<CaseOption> parseCase(const QString &text)
{
    if (text == QLatin1String("mayusculas"))
        return CaseOption::Upper;
    if (text == QLatin1String("minusculas"))
        return CaseOption::Lower;
    if (text == QLatin1String("igual"))
        return CaseOption::Unchanged;
    return std::nullopt;
}

const QString kCaseValues = QStringLiteral("mayusculas|minusculas|igual");

// A case option's value, or nothing after a usage error was reported.
struct UsageError {
    QString message;
};

CaseOption caseOption(const QCommandLineParser &parser, const QString &name)
{
    const std::optional<CaseOption> value = parseCase(parser.value(name));
    if (!value)
        throw UsageError{QStringLiteral("--%1 admite %2, no «%3».").arg(name, kCaseValues, parser.value(name))};
    return *value;
}

int reportTool(Io &io, const ToolResult &result, const QString &done)
{
    return result.ok() ? io.done(done) : io.fail(toolResultMessage(result));
}

// The text a window would save: as it stands, then CR LF.
int writeResult(Io &io, const QCommandLineParser &parser, const QString &text, const QString &title)
{
    if (!parser.isSet(QStringLiteral("salida"))) {
        io.print(io.out, text);
        return io.done(QStringLiteral("Listo."));
    }
    const FileStatus status = writeText(parser.value(QStringLiteral("salida")), text + QStringLiteral("\r\n"));
    if (!status.ok())
        return io.fail(title + QStringLiteral(": ") + fileErrorMessage(status));
    return io.done(QStringLiteral("Listo."));
}

int runGenerar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    Combinacion definition;
    const FileStatus read = readLngFile(args.at(0), definition);
    if (!read.ok())
        return io.fail(fileErrorMessage(read));
    const GenerationSettings settings{readNumber(parser.value(QStringLiteral("filas"))),
                                      readNumber(parser.value(QStringLiteral("por-fila"))),
                                      readNumber(parser.value(QStringLiteral("minimas"))),
                                      readNumber(parser.value(QStringLiteral("maximas")))};
    switch (checkGeneration(definition, settings)) {
    case GenerationCheck::Ok:
        break;
    case GenerationCheck::TooManyWords:
        return io.fail(messages::kTooManyWords);
    case GenerationCheck::TooLarge:
        return io.fail(messages::kGenerationTooLarge);
    }
    std::unique_ptr<LineReader> dictionary;
    if (parser.isSet(QStringLiteral("diccionario"))) {
        dictionary = std::make_unique<LineReader>(parser.value(QStringLiteral("diccionario")));
        const FileStatus status = dictionary->open();
        if (!status.ok())
            return io.fail(fileErrorMessage(status));
    }
    // Without a seed, the random source as right after the program starts.
    RandomSource random;
    if (parser.isSet(QStringLiteral("semilla")))
        random.seed(readNumber(parser.value(QStringLiteral("semilla"))));
    const GenerationResult result = generateWords(definition, settings, random, dictionary.get());
    if (dictionary && !dictionary->status().ok())
        return io.fail(fileErrorMessage(dictionary->status()));
    return writeResult(io, parser, result.text, messages::kSaveTextTitle);
}

int runTransformar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const bool words = parser.isSet(QStringLiteral("palabras"));
    if (words == parser.isSet(QStringLiteral("texto")))
        throw UsageError{QStringLiteral("Indique --palabras o --texto, uno de los dos.")};
    QStringList rules;
    FileStatus status = readRuleFile(args.at(0), rules);
    if (!status.ok())
        return io.fail(fileErrorMessage(status));
    QString source = parser.value(QStringLiteral("texto"));
    if (words) {
        status = readWordsAsSource(parser.value(QStringLiteral("palabras")), source);
        if (!status.ok())
            return io.fail(fileErrorMessage(status));
    }
    // As in the window, a dictionary that cannot be opened has no lines.
    std::unique_ptr<LineSource> dictionary;
    if (parser.isSet(QStringLiteral("diccionario"))) {
        auto reader = std::make_unique<LineReader>(parser.value(QStringLiteral("diccionario")));
        if (reader->open().ok())
            dictionary = std::move(reader);
        else
            dictionary = std::make_unique<StringListSource>(QStringList());
    }
    const QString result = TransformarTexto(source, ruleTable(rules), dictionary.get());
    return writeResult(io, parser, result, messages::kSaveFileTitle);
}

int runExportar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const CaseOption origin = caseOption(parser, QStringLiteral("origen"));
    const CaseOption translation = caseOption(parser, QStringLiteral("traduccion"));
    return reportTool(io,
                      exportDictionary(args.at(0), args.at(1), args.at(2), origin, translation,
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
        const qsizetype equals = sources.at(i).lastIndexOf(QLatin1Char('='));
        if (equals < 0)
            throw UsageError{QStringLiteral("«%1» no tiene la forma ARCHIVO=PORCENTAJE.").arg(sources.at(i))};
        rows[std::size_t(i)] = {true, sources.at(i).left(equals), readNumber(sources.at(i).mid(equals + 1))};
    }
    RandomSource random;
    if (parser.isSet(QStringLiteral("semilla")))
        random.seed(readNumber(parser.value(QStringLiteral("semilla"))));
    return reportTool(io, combineSources(rows, args.at(0), random), messages::kCombinationDone);
}

int runSeparar(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    return reportTool(io, separateListing(args.at(0), args.at(1), parser.value(QStringLiteral("separador"))),
                      messages::kSeparationDone);
}

int runCase(const QStringList &args, Io &io, CaseOption option)
{
    return reportTool(io, copyWithCase(args.at(0), args.at(1), option),
                      option == CaseOption::Upper ? messages::kUpperDone : messages::kLowerDone);
}

int runLengua(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const LanguageGenerationResult result =
        generateLanguage(args.at(0), args.at(1), args.at(2), parser.value(QStringLiteral("orden")));
    if (!result.status.ok())
        return io.fail(fileErrorMessage(result.status));
    if (result.wordListExhausted)
        return io.fail(messages::wordListExhausted(QDir::toNativeSeparators(args.at(0)), result.rootNeedingWord));
    return io.done(messages::kGenerationDone);
}

int runSepararLengua(const QCommandLineParser &parser, const QStringList &args, Io &io)
{
    const CaseOption words = caseOption(parser, QStringLiteral("palabras"));
    const CaseOption dictionary = caseOption(parser, QStringLiteral("diccionario-caso"));
    const FileStatus status = separateLanguage(args.at(0), args.at(1), args.at(2), words, dictionary);
    return status.ok() ? io.done(messages::kSeparationDone) : io.fail(fileErrorMessage(status));
}

int runRaiz(const QStringList &args, Io &io)
{
    // The window creates the file when its name is given; then saves the root.
    FileStatus status = ensureRootFile(args.at(0));
    if (status.ok())
        status = saveRoot(args.at(0), {args.at(1), args.at(2), args.at(3), args.at(4)});
    return status.ok() ? io.done(QStringLiteral("Raíz guardada.")) : io.fail(fileErrorMessage(status));
}

QList<Command> commands()
{
    const auto caseOpt = [](const QString &name, const QString &what) {
        return option(name, QStringLiteral("Caso de %1: %2 (por omisión: mayusculas).").arg(what, kCaseValues),
                      QStringLiteral("caso"), QStringLiteral("mayusculas"));
    };
    return {
        {QStringLiteral("generar"), QStringLiteral("Genera palabras a partir de una combinación (.lng)."),
         {QStringLiteral("DEFINICION.lng")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("filas"), QStringLiteral("Cantidad de filas (100)."), QStringLiteral("N"), QStringLiteral("100")));
             p.addOption(option(QStringLiteral("por-fila"), QStringLiteral("Palabras por fila (1)."), QStringLiteral("N"), QStringLiteral("1")));
             p.addOption(option(QStringLiteral("minimas"), QStringLiteral("Sílabas mínimas (1)."), QStringLiteral("N"), QStringLiteral("1")));
             p.addOption(option(QStringLiteral("maximas"), QStringLiteral("Sílabas máximas (4)."), QStringLiteral("N"), QStringLiteral("4")));
             p.addOption(option(QStringLiteral("semilla"), QStringLiteral("Semilla de generación."), QStringLiteral("S")));
             p.addOption(option(QStringLiteral("diccionario"), QStringLiteral("Adosa cada palabra a una línea de este archivo."),
                                QStringLiteral("ARCHIVO")));
             p.addOption(option(QStringLiteral("salida"), QStringLiteral("Guarda el texto en este archivo."), QStringLiteral("ARCHIVO")));
         },
         runGenerar},
        {QStringLiteral("transformar"), QStringLiteral("Aplica las reglas de un archivo de sílabas (.sc, .lns)."),
         {QStringLiteral("REGLAS")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("palabras"), QStringLiteral("Lista de palabras de origen."), QStringLiteral("ARCHIVO")));
             p.addOption(option(QStringLiteral("texto"), QStringLiteral("Texto de origen, palabras separadas por comas."),
                                QStringLiteral("TEXTO")));
             p.addOption(option(QStringLiteral("diccionario"), QStringLiteral("Adosa cada palabra a una línea de este archivo."),
                                QStringLiteral("ARCHIVO")));
             p.addOption(option(QStringLiteral("salida"), QStringLiteral("Guarda el resultado en este archivo."), QStringLiteral("ARCHIVO")));
         },
         runTransformar},
        {QStringLiteral("exportar"), QStringLiteral("Une dos listas paralelas en un diccionario «origen = traducción»."),
         {QStringLiteral("ORIGEN"), QStringLiteral("TRADUCCION"), QStringLiteral("DESTINO")},
         [caseOpt](QCommandLineParser &p) {
             p.addOption(caseOpt(QStringLiteral("origen"), QStringLiteral("la lista de origen")));
             p.addOption(caseOpt(QStringLiteral("traduccion"), QStringLiteral("la traducción")));
             p.addOption(option(QStringLiteral("omitir"), QStringLiteral("Omite repeticiones y nulos.")));
         },
         runExportar},
        {QStringLiteral("combinar"), QStringLiteral("Mezcla hasta diez listas paralelas por porcentajes."),
         {QStringLiteral("DESTINO"), QStringLiteral("FUENTE=PORCENTAJE...")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("semilla"), QStringLiteral("Semilla de la generación al azar."), QStringLiteral("S")));
         },
         runCombinar},
        {QStringLiteral("separar"), QStringLiteral("Extrae las contrapartes de un listado de tres columnas."),
         {QStringLiteral("ORIGEN"), QStringLiteral("DESTINO")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("separador"), QStringLiteral("Separador (=)."), QStringLiteral("TEXTO"),
                                QStringLiteral("=")));
         },
         runSeparar},
        {QStringLiteral("mayusculas"), QStringLiteral("Copia un archivo pasándolo a mayúsculas."),
         {QStringLiteral("ORIGEN"), QStringLiteral("DESTINO")}, [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runCase(a, io, CaseOption::Upper); }},
        {QStringLiteral("minusculas"), QStringLiteral("Copia un archivo pasándolo a minúsculas."),
         {QStringLiteral("ORIGEN"), QStringLiteral("DESTINO")}, [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runCase(a, io, CaseOption::Lower); }},
        {QStringLiteral("lengua"), QStringLiteral("Genera un archivo de lengua (.lan) a partir de raíces y palabras."),
         {QStringLiteral("PALABRAS"), QStringLiteral("RAICES"), QStringLiteral("SALIDA")},
         [](QCommandLineParser &p) {
             p.addOption(option(QStringLiteral("orden"), QStringLiteral("Orden de los elementos (AM)."),
                                QStringLiteral("TEXTO"), QStringLiteral("AM")));
         },
         runLengua},
        {QStringLiteral("separar-lengua"), QStringLiteral("Separa un archivo de lengua en dos listas paralelas."),
         {QStringLiteral("LENGUA"), QStringLiteral("PALABRAS"), QStringLiteral("DICCIONARIO")},
         [caseOpt](QCommandLineParser &p) {
             p.addOption(caseOpt(QStringLiteral("palabras"), QStringLiteral("las palabras de origen")));
             p.addOption(caseOpt(QStringLiteral("diccionario-caso"), QStringLiteral("el diccionario")));
         },
         runSepararLengua},
        {QStringLiteral("raiz"), QStringLiteral("Guarda una raíz en un archivo de raíces (.rad)."),
         {QStringLiteral("ARCHIVO"), QStringLiteral("CODIGO"), QStringLiteral("PALABRA"), QStringLiteral("VALOR"),
          QStringLiteral("NIVEL")},
         [](QCommandLineParser &) {},
         [](const QCommandLineParser &, const QStringList &a, Io &io) { return runRaiz(a, io); }},
    };
}

QString usageLine(const Command &command)
{
    return QStringLiteral("uso: %1 %2 [opciones] %3").arg(kProgram, command.name, command.arguments.join(QLatin1Char(' ')));
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
    text += QStringLiteral("\nOpciones comunes: --verbose (informa del final en la salida de errores), --help.\n"
                           "«%1 ORDEN --help» describe las opciones de cada orden.\n"
                           "Estado de salida: 0 si todo fue bien, 1 si la operación falló, 2 si la orden está mal escrita.\n")
                .arg(kProgram);
    return text;
}

} // namespace

int runCli(const QStringList &arguments, QIODevice &out, QIODevice &err)
{
    Io io{out, err};
    const QList<Command> all = commands();
    const QString name = arguments.value(1);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("ayuda")) {
        io.print(out, generalHelp(all));
        return kExitOk;
    }
    const auto command = std::find_if(all.begin(), all.end(), [&](const Command &c) { return c.name == name; });
    if (command == all.end()) {
        io.print(err, name.isEmpty() ? QStringLiteral("Falta la orden.\n")
                                     : QStringLiteral("Orden desconocida: «%1».\n").arg(name));
        io.print(err, QStringLiteral("uso: %1 ORDEN [opciones] ARGUMENTOS (vea %1 --help)\n").arg(kProgram));
        return kExitUsage;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(command->summary);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Muestra esta ayuda."));
    const QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Informa del final en la salida de errores."));
    parser.addOption(help);
    parser.addOption(verbose);
    command->addOptions(parser);
    for (const QString &argument : command->arguments)
        parser.addPositionalArgument(argument, QString());

    const QStringList rest = QStringList{kProgram + QLatin1Char(' ') + command->name} + arguments.mid(2);
    if (!parser.parse(rest)) {
        io.print(err, parser.errorText() + QLatin1Char('\n') + usageLine(*command) + QLatin1Char('\n'));
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        io.print(out, usageLine(*command) + QStringLiteral("\n\n") + command->summary + QStringLiteral("\n\n")
                          + parser.helpText()
                                .section(QLatin1Char('\n'), 3)
                                .replace(QStringLiteral("Options:"), QStringLiteral("Opciones:"))
                                .replace(QStringLiteral("Arguments:"), QStringLiteral("Argumentos:")));
        return kExitOk;
    }
    io.verbose = parser.isSet(verbose);
    const QStringList positional = parser.positionalArguments();
    const bool repeated = command->arguments.constLast().endsWith(QLatin1String("..."));
    const qsizetype needed = command->arguments.size() - (repeated ? 1 : 0);
    if (positional.size() < needed || (!repeated && positional.size() > needed)) {
        io.print(err, QStringLiteral("Cantidad de argumentos incorrecta.\n") + usageLine(*command) + QLatin1Char('\n'));
        return kExitUsage;
    }
    try {
        return command->run(parser, positional, io);
    } catch (const UsageError &error) {
        io.print(err, error.message + QLatin1Char('\n') + usageLine(*command) + QLatin1Char('\n'));
        return kExitUsage;
    }
}

} // namespace vordane
