#include "common/linesource.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "generator/combinacion.h"
#include "generator/generationengine.h"
#include "clirun.h"
#include "testfiles.h"
#include "transformer/rulefile.h"
#include "transformer/transformationengine.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

using Run = test::CliRun;

class tst_Cli : public QObject {
    Q_OBJECT
private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void help_listsEverything();
    void usageErrors_data();
    void usageErrors();
    void generar_matchesTheEngine();
    void transformar_matchesTheEngine();
    void fileTools_writeWhatTheWindowsWrite();
    void roots_lenguaSepararRaiz();
    void failures_exitOneAndTouchNothing();
    void executable_runsAndReportsStatus();
    void executable_standardOutputFailures();
    void executable_namesTheSystemCannotRepresent();
    void executable_spanishUsageErrorsAndVersion();
    void executable_outputsThatAreNotFiles();
    void executable_closedPipeEndsQuietly();
    void executable_interruptedRunsLeaveNothing();
    void refusals_exitOneAndChangeNothing();
    void runaway_endsWithAMessage();
    void beyondTheWindows_generationFilters();
    void beyondTheWindows_reportAndTrace();
    void beyondTheWindows_extendedNotation();

private:
    Run run(const QStringList &args);
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> dir_;
};

Run tst_Cli::run(const QStringList &args)
{
    return test::runCliHere(args);
}

void tst_Cli::help_listsEverything()
{
    const Run general = run({"--help"});
    QCOMPARE(general.status, kExitOk);
    for (const char *name : {"generar", "transformar", "exportar", "combinar", "separar", "mayusculas", "minusculas",
                             "lengua", "separar-lengua", "raiz"})
        QVERIFY2(general.out.contains(name), name);
    const Run generar = run({"generar", "--help"});
    QCOMPARE(generar.status, kExitOk);
    for (const char *option :
         {"--filas", "--por-fila", "--minimas", "--maximas", "--semilla", "--diccionario", "--salida"})
        QVERIFY2(generar.out.contains(option), option);
    const QString separar = run({"separar-lengua", "--help"}).out;
    QVERIFY(separar.contains("--diccionario-caso"));
    QVERIFY2(separar.contains("Caso del diccionario:"), qPrintable(separar));
    // Argument names stay whole, however long.
    const QString combinar = run({"combinar", "--help"}).out;
    QVERIFY2(combinar.contains("\nArgumentos:\n  DESTINO\n  FUENTE=PORCENTAJE...\n\n"), qPrintable(combinar));
    QCOMPARE(combinar.count(QStringLiteral("FUENTE=PORCENT")), 2); // the usage line and the list, nothing cut
}

void tst_Cli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"inventar"};
    QTest::newRow("missing argument") << QStringList{"exportar", "a", "b"};
    QTest::newRow("extra argument") << QStringList{"mayusculas", "a", "b", "c"};
    QTest::newRow("unknown option") << QStringList{"separar", "a", "b", "--nada"};
    QTest::newRow("bad case") << QStringList{"exportar", "a", "b", "c", "--origen", "grande"};
    QTest::newRow("words and text") << QStringList{"transformar", "r.sc", "--texto", "a", "--palabras", "w"};
    QTest::newRow("neither words nor text") << QStringList{"transformar", "r.sc"};
    QTest::newRow("source without percentage") << QStringList{"combinar", "d.txt", "fuente"};
    QTest::newRow("eleven sources") << (QStringList{"combinar", "d"} + QStringList(11, QStringLiteral("f=10")));
}

void tst_Cli::usageErrors()
{
    QFETCH(QStringList, args);
    const Run result = run(args);
    QCOMPARE(result.status, kExitUsage);
    QVERIFY2(result.err.contains(QStringLiteral("uso: vordane-cli")), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
}

void tst_Cli::generar_matchesTheEngine()
{
    Combinacion d = Combinacion::initial();
    d.panels[0] = {"K", "Consonantes", {"p", "t", QString::fromUtf8("ñ")}};
    d.panels[1] = {"V", "Vocales", {"a", "i"}};
    d.patterns = {"KV", "VK"};
    QVERIFY(writeLngFile(file("d.lng"), d).ok());

    // Without a seed: the start state; defaults 100 rows, 1 word, 1 to 4 syllables.
    RandomSource fresh;
    const QString plain = generateText(d, {100, 1, 1, 4}, fresh).text;
    Run result = run({"generar", file("d.lng")});
    QCOMPARE(result.status, kExitOk);
    QCOMPARE(result.out, plain.toUtf8());
    QVERIFY(result.err.isEmpty());

    RandomSource seeded;
    seeded.seed(42);
    QVERIFY(writeBytes(file("dic.txt"), "agua\r\nfuego\r\n"));
    StringListSource dictionary({"agua", "fuego"});
    const QString paired = generateText(d, {5, 2, 2, 3}, seeded, &dictionary).text;
    result = run({"generar", file("d.lng"), "--filas", "5", "--por-fila", "2", "--minimas", "2", "--maximas", "3",
                  "--semilla", "42", "--diccionario", file("dic.txt"), "--salida", file("out.txt"), "--verbose"});
    QCOMPARE(result.status, kExitOk);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(result.err, QStringLiteral("Listo.\n"));
    QVERIFY(saveTextBox(file("window.txt"), paired).ok()); // what "Guardar" writes
    QCOMPARE(readBytes(file("out.txt")), readBytes(file("window.txt")));

    QCOMPARE(run({"generar", file("d.lng"), "--filas", "20000000"}).status, kExitFailed);
}

void tst_Cli::transformar_matchesTheEngine()
{
    QVERIFY(writeBytes(file("r.sc"), "#k>#g\r\no#>u#\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "kasa\r\nkoko\r\n"));
    Run result = run({"transformar", file("r.sc"), "--palabras", file("w.lex")});
    QCOMPARE(result.status, kExitOk);
    QCOMPARE(result.out, QByteArray("gasa\r\ngoku\r\n"));

    QVERIFY(writeBytes(file("d.txt"), "uno\r\ndos"));
    result = run({"transformar", file("r.sc"), "--texto", "koko,kasa,x", "--diccionario", file("d.txt"), "--salida",
                  file("o.txt")});
    QCOMPARE(result.status, kExitOk);
    QCOMPARE(readBytes(file("o.txt")), QByteArray("uno = goku\r\ndos = gasa\r\n\r\n"));

    // The blanks around the words of a list given here are not part of them; a file's lines stay as they are.
    QCOMPARE(run({"transformar", file("r.sc"), "--texto", "koko , kasa"}).out, QByteArray("goku\r\ngasa\r\n"));
    QVERIFY(writeBytes(file("c.lex"), "kasa, koko\r\n"));
    QCOMPARE(run({"transformar", file("r.sc"), "--palabras", file("c.lex")}).out, QByteArray("gasa\r\n koku\r\n"));
}

void tst_Cli::fileTools_writeWhatTheWindowsWrite()
{
    QVERIFY(writeBytes(file("o.txt"), "agua\r\nagua\r\nfuego\r\n"));
    QVERIFY(writeBytes(file("t.txt"), "ulmi\r\nx\r\ntarno\r\n"));
    QCOMPARE(run({"exportar", file("o.txt"), file("t.txt"), file("d.dic")}).status, kExitOk);
    QCOMPARE(readBytes(file("d.dic")), QByteArray("AGUA = ULMI\r\nAGUA = X\r\nFUEGO = TARNO\r\n"));
    QCOMPARE(run({"exportar", file("o.txt"), file("t.txt"), file("d.dic"), "--origen", "igual", "--traduccion",
                  "minusculas", "--omitir"})
                 .status,
             kExitOk);
    QCOMPARE(readBytes(file("d.dic")), QByteArray("agua = ulmi\r\nfuego = tarno\r\n"));

    QVERIFY(writeBytes(file("l.txt"), "1\r\n2\r\n3\r\n4\r\ncasa : house\r\n"));
    QCOMPARE(run({"separar", file("l.txt"), file("s.txt"), "--separador", ":"}).status, kExitOk);
    QCOMPARE(readBytes(file("s.txt")), QByteArray("house\r\ncasa : house\r\ncasa : house\r\n"));
    QCOMPARE(run({"separar", file("l.txt"), file("s.txt")}).status, kExitOk); // "=" by default
    QCOMPARE(readBytes(file("s.txt")), QByteArray("casa : house\r\ncasa : house\r\ncasa : house\r\n"));

    QVERIFY(writeBytes(file("c.txt"), "\xe1rbol\r\n"));
    QCOMPARE(run({"mayusculas", file("c.txt"), file("u.txt")}).status, kExitOk);
    QCOMPARE(readBytes(file("u.txt")), QByteArray("\xc1RBOL\r\n"));
    const Run lower = run({"minusculas", file("u.txt"), file("u.txt"), "--verbose"});
    QCOMPARE(readBytes(file("u.txt")), QByteArray("\xe1rbol\r\n"));
    QCOMPARE(lower.err, QString::fromUtf8("Pasaje a minúsculas finalizado.\n"));

    QVERIFY(writeBytes(file("a.txt"), "a1\r\na2\r\na3\r\na4\r\n"));
    QVERIFY(writeBytes(file("b.txt"), "b1\r\nb2\r\nb3\r\nb4\r\n"));
    QCOMPARE(run({"combinar", file("m.txt"), file("a.txt") + "=50", file("b.txt") + "=50", "--semilla", "7"}).status,
             kExitOk);
    RandomSource reference;
    reference.seed(7);
    QByteArray expected;
    for (int i = 1; i <= 4; ++i)
        expected += (std::floor(reference.nextUnit() * 100) + 1 <= 50 ? "a" : "b") + QByteArray::number(i) + "\r\n";
    QCOMPARE(readBytes(file("m.txt")), expected);
}

void tst_Cli::roots_lenguaSepararRaiz()
{
    const QString rad = file("r.rad");
    QCOMPARE(run({"raiz", rad, "Ag1", "Agua", "*", "1"}).status, kExitOk);
    QCOMPARE(run({"raiz", rad, "fu1", "fuego", "*", "1"}).status, kExitOk);
    QCOMPARE(run({"raiz", rad, "ag2", "lago", "#ag1+in", "2"}).status, kExitOk);
    QCOMPARE(run({"raiz", rad, "AG2", "lago", "in+#ag1", "2"}).status, kExitOk);
    QCOMPARE(readBytes(rad), QByteArray("ag1:agua:*:1\r\nfu1:fuego:*:1\r\nag2:lago:in+#ag1:2\r\n"));
    QCOMPARE(readBytes(rad + ".tmp"), QByteArray("ag1:agua:*:1\r\nfu1:fuego:*:1\r\nag2:lago:#ag1+in:2\r\n"));

    QVERIFY(writeBytes(file("w.lex"), "sul\r\npra\r\n"));
    QCOMPARE(run({"lengua", file("w.lex"), rad, file("o.lan"), "--orden", "MA"}).status, kExitOk);
    QCOMPARE(readBytes(file("o.lan")), QByteArray("ag1:agua:sul\r\nfu1:fuego:pra\r\nag2:lago:sulin\r\n"));
    QCOMPARE(run({"separar-lengua", file("o.lan"), file("p.lex"), file("d.dic"), "--palabras", "igual"}).status,
             kExitOk);
    QCOMPARE(readBytes(file("p.lex")), QByteArray("agua\r\nfuego\r\nlago\r\n"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("SUL\r\nPRA\r\nSULIN\r\n"));

    QVERIFY(writeBytes(file("w.lex"), "sul\r\n"));
    const Run exhausted = run({"lengua", file("w.lex"), rad, file("o.lan")});
    QCOMPARE(exhausted.status, kExitFailed);
    QVERIFY(exhausted.err.contains(QStringLiteral("«fu1»")));
}

void tst_Cli::failures_exitOneAndTouchNothing()
{
    QVERIFY(writeBytes(file("keep.txt"), "kept"));
    const QList<QStringList> cases{
        {"exportar", file("none.txt"), file("none.txt"), file("keep.txt")},
        {"mayusculas", file("none.txt"), file("keep.txt")},
        {"separar", file("none.txt"), file("keep.txt")},
        {"combinar", file("keep.txt"), file("none.txt") + "=100"},
        {"lengua", file("none.lex"), file("none.rad"), file("keep.txt")},
        {"separar-lengua", file("none.lan"), file("keep.txt"), file("keep.txt")},
        {"generar", file("none.lng"), "--salida", file("keep.txt")},
        {"transformar", file("none.sc"), "--texto", "a", "--salida", file("keep.txt")},
        {"raiz", file("no/dir/r.rad"), "a", "b", "c", "1"},
    };
    for (const QStringList &args : cases) {
        const Run result = run(args);
        QCOMPARE(result.status, kExitFailed);
        QVERIFY2(!result.err.isEmpty(), qPrintable(args.join(QLatin1Char(' '))));
        QCOMPARE(readBytes(file("keep.txt")), QByteArray("kept"));
    }
    QVERIFY(run({"generar", file("none.lng")}).err.contains(QStringLiteral("no existe")));

    // An empty output name is refused alike everywhere; nothing goes to standard output.
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"a"};
    d.patterns = {"A"};
    QVERIFY(writeLngFile(file("d.lng"), d).ok());
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\n"));
    for (const QStringList &args : {QStringList{"generar", file("d.lng"), "--salida", ""},
                                    QStringList{"transformar", file("r.sc"), "--texto", "a", "--salida", ""},
                                    QStringList{"mayusculas", file("keep.txt"), ""}}) {
        const Run result = run(args);
        QCOMPARE(result.status, kExitFailed);
        QCOMPARE(result.err, QStringLiteral("No se ha indicado ningún nombre de archivo.\n"));
        QVERIFY(result.out.isEmpty());
    }
}

void tst_Cli::executable_runsAndReportsStatus()
{
    QVERIFY(writeBytes(file("c.txt"), "abc\r\n"));
    QProcess process;
    process.start(QStringLiteral(VORDANE_CLI_PATH), {"mayusculas", file("c.txt"), file("u.txt"), "--verbose"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(readBytes(file("u.txt")), QByteArray("ABC\r\n"));
    QVERIFY(process.readAllStandardError().contains("Pasaje a may"));

    process.start(QStringLiteral(VORDANE_CLI_PATH), {"mayusculas"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
}

namespace {

// Runs the real executable through the shell, for what only a process shows
// (closed or full standard output, raw bytes in arguments).
struct ShellRun {
    int status;
    QByteArray out;
    QString err;
};

ShellRun shell(const QString &script, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CLI"), QStringLiteral(VORDANE_CLI_PATH));
    for (const QString &variable : environment)
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

void tst_Cli::executable_standardOutputFailures()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs a Unix shell");
#endif
    QVERIFY(writeBytes(file("c.txt"), "abc\r\n"));
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "casa\r\n"));
    const QString words = QStringLiteral("\"$CLI\" transformar '%1' --palabras '%2'").arg(file("r.sc"), file("w.lex"));
    ShellRun run = shell(words);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("cese\r\n"));

    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        run = shell(words + QStringLiteral(" >/dev/full"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("salida estándar")), qPrintable(run.err));
        run = shell(QStringLiteral("\"$CLI\" --help >/dev/full"));
        QCOMPARE(run.status, 1);
    }
    // Closed standard output: a failure too, and no file receives the text.
    run = shell(words + QStringLiteral(" >&-"));
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("salida estándar")), qPrintable(run.err));
    QCOMPARE(readBytes(file("w.lex")), QByteArray("casa\r\n"));
    QCOMPARE(readBytes(file("r.sc")), QByteArray("a>e\r\n"));
    // Writing to a file needs no standard output.
    run = shell(words + QStringLiteral(" --salida '%1' >&-").arg(file("o.txt")));
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(file("o.txt")), QByteArray("cese\r\n\r\n"));

    // Outputs are written beside their files: an unusable temporary folder does not matter...
    const QStringList noTemp{QStringLiteral("TMPDIR=") + file("c.txt")}; // a file, not a folder
    run = shell(QStringLiteral("\"$CLI\" mayusculas '%1' '%2'").arg(file("c.txt"), file("u.txt")), noTemp);
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(file("u.txt")), QByteArray("ABC\r\n"));
    // ...except where standard output is held back, and then the message names it.
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"a", "b"};
    d.patterns = {"A"};
    QVERIFY(writeLngFile(file("d.lng"), d).ok());
    run = shell(QStringLiteral("\"$CLI\" generar '%1' --filas 2 --sin-repetir").arg(file("d.lng")), noTemp);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QDir::toNativeSeparators(file("c.txt"))), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void tst_Cli::executable_namesTheSystemCannotRepresent()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs a Unix shell and byte file names");
#endif
    // A file whose name is "café.lex" in Windows-1252 bytes.
    const QByteArray rawName = QFile::encodeName(dir_->path()) + "/caf\xe9.lex";
    {
        QFile raw;
        QVERIFY(raw.open(::fopen(rawName.constData(), "wb"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        raw.write("abc\r\n");
    }
    const QString script = QStringLiteral("cd '%1' && \"$CLI\" mayusculas \"$(printf 'caf\\351.lex')\" o.lex; "
                                          "echo \" $?\"; \"$CLI\" raiz \"$(printf 'r\\351.rad')\" a b c 1")
                               .arg(dir_->path());
    const ShellRun run = shell(script);
    QVERIFY2(run.out.startsWith(" 1"), run.out.constData());
    QCOMPARE(run.status, 1);
    QVERIFY2(!run.err.contains(QStringLiteral("no existe")), qPrintable(run.err));
    QVERIFY(run.err.contains(QStringLiteral("codificación")));
    // Nothing was created under an altered name: the folder holds the one file
    // (listed by the shell, which sees raw names; then removed the same way).
    const ShellRun listing = shell(QStringLiteral("cd '%1' && ls | wc -l && rm -f ./*").arg(dir_->path()));
    QCOMPARE(listing.out.trimmed(), QByteArray("1"));
}

void tst_Cli::executable_spanishUsageErrorsAndVersion()
{
    QProcess process;
    process.start(QStringLiteral(VORDANE_CLI_PATH), {"separar", "a", "b", "--nada"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), kExitUsage);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(!err.contains(QStringLiteral("Unknown option")), qPrintable(err));
    QVERIFY(err.contains(QStringLiteral("«nada»")) || err.contains(QStringLiteral("'nada'")));

    process.start(QStringLiteral(VORDANE_CLI_PATH), {"--version"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), kExitOk);
    const QString version = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(version.startsWith(QStringLiteral("vordane-cli " VORDANE_VERSION "\n")), qPrintable(version));
    QVERIFY2(version.contains(QStringLiteral("GPL-3.0-or-later")), qPrintable(version));

    // "--" ends the options: a file name that starts with "-".
    QVERIFY(writeBytes(file("-a.lex"), "x\r\n"));
    process.setWorkingDirectory(dir_->path());
    process.start(QStringLiteral(VORDANE_CLI_PATH), {"mayusculas", "--", "-a.lex", "-b.lex"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), kExitOk);
    QCOMPARE(readBytes(file("-b.lex")), QByteArray("X\r\n"));
    QVERIFY(run({"--help"}).out.contains("«--»"));
    QVERIFY(run({"mayusculas", "--help"}).out.contains("«--»"));
}

namespace {

// A definition with room for millions of distinct words.
void writeLargeDefinition(const QString &path)
{
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = QStringList{"p", "t", "k", "b", "d", "g", "m", "n", "s", "l", "r", "f", "z", "ch", "ll"};
    d.panels[1].letters = QStringList{"a", "e", "i", "o", "u"};
    d.patterns = {"AB", "ABA"};
    QVERIFY(writeLngFile(path, d).ok());
}

} // namespace

void tst_Cli::executable_outputsThatAreNotFiles()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs a Unix shell, /dev/stdout and named pipes");
#else
    QVERIFY(writeBytes(file("c.txt"), "abc\r\n"));
    const QString upper = QStringLiteral("\"$CLI\" mayusculas '%1' /dev/stdout").arg(file("c.txt"));
    ShellRun run = shell(upper + QStringLiteral(" | cat"));
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("ABC\r\n"));
    // Standard output sent to a file by the shell: ">" fills it, ">>" adds to it.
    run = shell(upper + QStringLiteral(" > '%1' && ").arg(file("o.txt")) + upper
                + QStringLiteral(" >> '%1'").arg(file("o.txt")));
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(file("o.txt")), QByteArray("ABC\r\nABC\r\n"));

    // A named pipe feeding another program stays a pipe.
    const QByteArray fifo = QFile::encodeName(file("fifo"));
    QVERIFY(::mkfifo(fifo.constData(), 0644) == 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\n"));
    QProcess process;
    process.start(QStringLiteral(VORDANE_CLI_PATH),
                  {"transformar", file("r.sc"), "--texto", "casa", "--salida", file("fifo")});
    QVERIFY(process.waitForFinished(30000));
    QByteArray got(100, '\0');
    got.truncate(qMax<qsizetype>(0, ::read(reader, got.data(), std::size_t(got.size()))));
    ::close(reader);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(got, QByteArray("cese\r\n\r\n"));
    QVERIFY(QFileInfo(file("fifo")).exists() && !QFileInfo(file("fifo")).isFile());
#endif
}

void tst_Cli::executable_closedPipeEndsQuietly()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs a Unix shell and its pipes");
#endif
    // As standard tools end: by the signal of the closed pipe (141 in the
    // shell), no message, no temporary file left (TMPDIR is watched).
    writeLargeDefinition(file("d.lng"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("tmp")));
    for (const QString &options : {QStringLiteral("--filas 1000000"), QStringLiteral("--filas 300000 --sin-repetir")}) {
        const ShellRun run = shell(QStringLiteral("{ \"$CLI\" generar '%1' %2; echo $? > '%3'; } | head -c5")
                                       .arg(file("d.lng"), options, file("status")),
                                   {QStringLiteral("TMPDIR=") + file("tmp")});
        QCOMPARE(run.out.size(), 5);
        QCOMPARE(run.err, QString());
        QCOMPARE(readBytes(file("status")), QByteArray("141\n"));
        QCOMPARE(QDir(file("tmp")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
}

void tst_Cli::executable_interruptedRunsLeaveNothing()
{
#if !defined(Q_OS_UNIX)
    QSKIP("needs Unix signals");
#else
    writeLargeDefinition(file("d.lng"));
    QVERIFY(writeBytes(file("t.lex"), "kept"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("tmp")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), file("tmp"));
    const QStringList toFile{"generar",   file("d.lng"), "--filas",  "10000000",
                             "--maximas", "1",           "--salida", file("t.lex")};
    const QStringList heldBack{"generar", file("d.lng"), "--filas", "5000000", "--sin-repetir"};
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
        for (const QStringList &args : {toFile, heldBack}) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.setStandardOutputFile(QProcess::nullDevice());
            process.start(QStringLiteral(VORDANE_CLI_PATH), args);
            QVERIFY(process.waitForStarted());
            QThread::msleep(500); // well into the run
            ::kill(pid_t(process.processId()), signal);
            QVERIFY(process.waitForFinished(30000));
            QVERIFY2(process.exitStatus() == QProcess::CrashExit, "the run ended before the signal came");
            QCOMPARE(process.exitCode(), signal);
            QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     (QStringList{"d.lng", "t.lex", "tmp"}));
            QCOMPARE(readBytes(file("t.lex")), QByteArray("kept"));
            QCOMPARE(QDir(file("tmp")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList());
        }
    }
#endif
}

void tst_Cli::refusals_exitOneAndChangeNothing()
{
    QVERIFY(writeBytes(file("l.lan"), "a:b:c\r\n"));
    QVERIFY(writeBytes(file("same.lex"), "kept"));
    Run result = run({"separar-lengua", file("l.lan"), file("same.lex"), dir_->path() + "/./same.lex"});
    QCOMPARE(result.status, kExitFailed);
    QVERIFY2(result.err.contains(QStringLiteral("mismo archivo")), qPrintable(result.err));
    QCOMPARE(readBytes(file("same.lex")), QByteArray("kept"));

    // A line break in a field would forge a second root.
    QVERIFY(writeBytes(file("r.rad"), "x1:a:*:1\r\n"));
    result = run({"raiz", file("r.rad"), "x2", "fuego\r\nzz9:falso", "*", "1"});
    QCOMPARE(result.status, kExitFailed);
    QVERIFY(result.err.contains(QStringLiteral("«Palabra»")));
    QCOMPARE(readBytes(file("r.rad")), QByteArray("x1:a:*:1\r\n"));

    // A dictionary named on the command line must exist.
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\n"));
    QVERIFY(writeBytes(file("out.txt"), "kept"));
    result = run({"transformar", file("r.sc"), "--texto", "a,b", "--diccionario", file("missing.dic"), "--salida",
                  file("out.txt")});
    QCOMPARE(result.status, kExitFailed);
    QVERIFY(result.err.contains(QStringLiteral("no existe")));
    QCOMPARE(readBytes(file("out.txt")), QByteArray("kept"));

    // The word list runs out: neither the language file nor its copy changes.
    QVERIFY(writeBytes(file("w.lex"), ""));
    QVERIFY(writeBytes(file("o.lan"), "old"));
    result = run({"lengua", file("w.lex"), file("r.rad"), file("o.lan")});
    QCOMPARE(result.status, kExitFailed);
    QVERIFY(result.err.contains(QStringLiteral("«x1»")));
    QCOMPARE(readBytes(file("o.lan")), QByteArray("old"));
}

void tst_Cli::runaway_endsWithAMessage()
{
    QVERIFY(writeBytes(file("r.sc"), QByteArray("a>aa\r\n").repeated(60)));
    QVERIFY(writeBytes(file("out.txt"), "kept"));
    Run result = run({"transformar", file("r.sc"), "--texto", "a", "--salida", file("out.txt")});
    QCOMPARE(result.status, kExitFailed);
    QVERIFY(result.err.contains(QStringLiteral("caracteres")));
    QCOMPARE(readBytes(file("out.txt")), QByteArray("kept"));
}

void tst_Cli::beyondTheWindows_generationFilters()
{
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"p", "t", "k", "s"};
    d.panels[1].letters = {"a", "i"};
    d.patterns = {"AB"};
    QVERIFY(writeLngFile(file("d.lng"), d).ok());

    // Without the new options a seeded run is what it always was.
    RandomSource seeded;
    seeded.seed(5);
    const QString plain = generateText(d, {40, 1, 1, 4}, seeded).text; // the default numbers
    Run result = run({"generar", file("d.lng"), "--filas", "40", "--semilla", "5"});
    QCOMPARE(result.out, plain.toUtf8());

    // --sin-repetir: the same words in the same order, each the first time it comes.
    result = run({"generar", file("d.lng"), "--filas", "20", "--semilla", "5", "--sin-repetir"});
    QCOMPARE(result.status, kExitOk);
    const QStringList unique = QString::fromUtf8(result.out).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(unique.size(), 20);
    QCOMPARE(QSet<QString>(unique.begin(), unique.end()).size(), 20);
    QStringList firsts;
    for (const QString &word : plain.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (!firsts.contains(word))
            firsts.append(word);
    }
    QCOMPARE(unique, firsts.mid(0, unique.size()));

    // --excluir (a dictionary: the part before " = ") and --rechazar.
    QVERIFY(writeBytes(file("lex.dic"), (unique.at(0) + " = algo\r\n" + unique.at(1) + "\r\n").toUtf8()));
    result = run({"generar", file("d.lng"), "--filas", "200", "--semilla", "5", "--excluir", file("lex.dic"),
                  "--rechazar", "^k", "--rechazar", "ss"});
    QCOMPARE(result.status, kExitOk);
    const QStringList kept = QString::fromUtf8(result.out).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(kept.size(), 200);
    for (const QString &word : kept) {
        QVERIFY(word != unique.at(0) && word != unique.at(1));
        QVERIFY(!word.startsWith(u'k') && !word.contains(QStringLiteral("ss")));
    }

    // Not enough new words: nothing written, standard output included, and a count.
    QVERIFY(writeBytes(file("keep.txt"), "kept"));
    for (const QStringList &output : {QStringList{"--salida", file("keep.txt")}, QStringList{}}) {
        result = run(QStringList{"generar", file("d.lng"), "--filas", "100000", "--minimas", "1", "--maximas", "1",
                                 "--sin-repetir"}
                     + output);
        QCOMPARE(result.status, kExitFailed);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains(QStringLiteral("64 palabras distintas")), qPrintable(result.err));
        QCOMPARE(readBytes(file("keep.txt")), QByteArray("kept"));
    }
    // Counts below one make no words, with the filters as without them.
    for (const QStringList &counts : {QStringList{"--filas", "-5"}, QStringList{"--filas", "3", "--por-fila", "-1"}}) {
        const Run without = run(QStringList{"generar", file("d.lng")} + counts);
        const Run with = run(QStringList{"generar", file("d.lng"), "--sin-repetir"} + counts);
        QCOMPARE(with.status, kExitOk);
        QCOMPARE(with.out, without.out);
    }
    // A bad pattern is a usage error that names it and where it goes wrong.
    result = run({"generar", file("d.lng"), "--rechazar", "a(b"});
    QCOMPARE(result.status, kExitUsage);
    QVERIFY2(result.err.contains(QStringLiteral("«a(b»")) && result.err.contains(QStringLiteral("posición 4")),
             qPrintable(result.err));
    QCOMPARE(run({"generar", file("d.lng"), "--excluir", file("none.lex")}).status, kExitFailed);
}

void tst_Cli::beyondTheWindows_reportAndTrace()
{
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\nx>y\r\nsin flecha\r\n#k>#g\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "kasa\r\nmesa\r\nkoko\r\nlulu\r\n"));
    const Run plain = run({"transformar", file("r.sc"), "--palabras", file("w.lex")});
    const Run reported = run(
        {"transformar", file("r.sc"), "--palabras", file("w.lex"), "--informe", "--trazar", "kasa", "--trazar", "zzz"});
    QCOMPARE(reported.status, kExitOk);
    QCOMPARE(reported.out, plain.out); // the output stays as it was
    QCOMPARE(reported.out, QByteArray("gese\r\nmese\r\ngoko\r\nlulu\r\n"));
    const QString expected = QStringLiteral("Traza de «kasa»:\n  kasa\n  1. a>e: kese\n  4. #k>#g: gese\n"
                                            "Traza de «zzz»:\n  zzz\n"
                                            "Informe de las reglas\n"
                                            "1. a>e: 2 palabras cambiadas (kasa → kese; mesa → mese)\n"
                                            "2. x>y: 0 palabras cambiadas\n"
                                            "3. sin flecha: no es una regla (le falta «>»)\n"
                                            "4. #k>#g: 2 palabras cambiadas (kese → gese; koko → goko)\n"
                                            "Palabras cambiadas: 3. Sin cambios: 1.\n");
    QCOMPARE(reported.err, expected);
}

void tst_Cli::beyondTheWindows_extendedNotation()
{
    QVERIFY(writeBytes(file("r.sc"),
                       "@ampliada\r\n; sonorización\r\nV=a,e,i,o,u\r\nP=p,t,k\r\nB=b,d,g\r\nP>B/V_V\r\nm>/_#\r\n"
                       "e>ie/P_P ?50\r\n"));
    QVERIFY(writeBytes(file("w.lex"), QByteArray("pataka\r\nlupum\r\ntekt\r\n").repeated(200)));
    const QStringList args{"transformar", file("r.sc"), "--palabras", file("w.lex")};
    const Run plain = run(args);
    QCOMPARE(plain.status, kExitOk);
    QVERIFY(plain.out.startsWith("padaga\r\nlubu\r\nt"));
    // The seed decides the sporadic rule: the same seed, the same words.
    QCOMPARE(run(args + QStringList{"--semilla", "5489"}).out, plain.out); // the default seed
    const Run seeded = run(args + QStringList{"--semilla", "7"});
    QCOMPARE(run(args + QStringList{"--semilla", "7"}).out, seeded.out);
    QVERIFY(seeded.out != plain.out);
    QVERIFY(seeded.out.contains("tiekt") && seeded.out.contains("\r\ntekt"));

    // Report and trace name each rule by its line.
    const Run reported = run(args + QStringList{"--semilla", "7", "--informe", "--trazar", "pataka"});
    QCOMPARE(reported.out, seeded.out);
    QVERIFY2(reported.err.startsWith(QStringLiteral("Traza de «pataka»:\n  pataka\n  6. P>B/V_V: padaga\n"
                                                    "Informe de las reglas\n6. P>B/V_V: 400 palabras cambiadas "
                                                    "(pataka → padaga; lupum → lubum; pataka → padaga)\n"
                                                    "7. m>/_#: 200 palabras cambiadas")),
             qPrintable(reported.err));

    // A malformed line: exit 1, the line in the message, nothing written.
    QVERIFY(writeBytes(file("r.sc"), "@ampliada\r\nP=p,t,k\r\nB=b,d\r\nP>B\r\n"));
    QVERIFY(writeBytes(file("out.lex"), "previo"));
    const Run refused = run(args + QStringList{"--salida", file("out.lex")});
    QCOMPARE(refused.status, kExitFailed);
    QVERIFY2(refused.err.contains(QStringLiteral("Línea 4 («P>B»), posición 3: la categoría B tiene 2 miembros")),
             qPrintable(refused.err));
    QCOMPARE(readBytes(file("out.lex")), QByteArray("previo"));
    const Run toStandardOutput = run(args);
    QCOMPARE(toStandardOutput.status, kExitFailed);
    QVERIFY(toStandardOutput.out.isEmpty());

    // The marker below the first line, in a plain list: refused alike, not run in the plain notation.
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\n@ampliada\r\nV=a,e\r\nl>c/V_\r\n"));
    const Run misplaced = run(args + QStringList{"--salida", file("out.lex")});
    QCOMPARE(misplaced.status, kExitFailed);
    QVERIFY2(misplaced.err.contains(QStringLiteral("Línea 2 («@ampliada»), posición 1: la marca «@ampliada» tiene que "
                                                   "ser la primera línea de la lista.")),
             qPrintable(misplaced.err));
    QCOMPARE(readBytes(file("out.lex")), QByteArray("previo"));
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
