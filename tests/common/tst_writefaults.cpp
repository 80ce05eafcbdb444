// Every writer of the program against a disk that fills up part way: the
// operation reports the failure, the files it would replace keep every byte,
// and no new file is left beside them. The full disk is real: the process's
// file-size limit makes every write past it fail, as a full disk does.

#include "cli/clirunner.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "dictionary/dictionarytools.h"
#include "generator/combinacion.h"
#include "roots/languagegenerator.h"
#include "roots/languageseparator.h"
#include "roots/rootfile.h"
#include "testfiles.h"
#include "transformer/rulefile.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <csignal>
#include <sys/resource.h>
#endif

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

namespace {

constexpr qint64 kRoom = 64 * 1024; // what the "disk" takes of any one file

// While it lives, no file of the process can grow past kRoom bytes.
class FullDisk {
public:
    FullDisk()
    {
#if defined(Q_OS_UNIX)
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = kRoom;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
#endif
    }
    ~FullDisk()
    {
#if defined(Q_OS_UNIX)
        if (active_)
            setrlimit(RLIMIT_FSIZE, &saved_);
#endif
    }
    bool active() const
    {
        return active_;
    }

private:
    bool active_ = false;
#if defined(Q_OS_UNIX)
    rlimit saved_{};
#endif
};

QByteArray manyLines(const QByteArray &line, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += line + QByteArray::number(i) + "\r\n";
    return bytes;
}

} // namespace

class tst_WriteFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void definitionRulesAndTextBoxes();
    void dictionaryTools();
    void languageGeneratorAndSeparator();
    void rootCreator();
    void rootCreatorAtTheEdge();
    void commandLineOutputs();
    void lateSwitchToUtf8();
    void systemReasons_inSpanish_data();
    void systemReasons_inSpanish();

private:
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    // Writes the files that a failed operation must leave exactly as they are.
    void keep(std::initializer_list<const char *> names);
    // Every kept file unchanged, and no other file in the folder but `inputs`.
    void checkUnchanged(const Outcome &outcome, std::initializer_list<const char *> inputs);

    std::unique_ptr<QTemporaryDir> dir_;
    QMap<QString, QByteArray> kept_;
};

void tst_WriteFaults::init()
{
#if !defined(Q_OS_UNIX)
    QSKIP("the full disk is made with a Unix file-size limit");
#endif
    dir_ = std::make_unique<QTemporaryDir>();
    kept_.clear();
}

void tst_WriteFaults::cleanup()
{
    dir_.reset();
}

void tst_WriteFaults::keep(std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const QByteArray bytes = "kept " + QByteArray(name) + "\r\n";
        QVERIFY(writeBytes(file(name), bytes));
        kept_.insert(QLatin1String(name), bytes);
    }
}

void tst_WriteFaults::checkUnchanged(const Outcome &outcome, std::initializer_list<const char *> inputs)
{
    QVERIFY2(!outcome.ok(), "the operation reported success on a full disk");
    QVERIFY2(outcome.message().contains(QStringLiteral("«")), qPrintable(outcome.message())); // names its file
    QStringList expected = kept_.keys();
    for (const char *input : inputs)
        expected.append(QLatin1String(input));
    expected.sort();
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    for (auto it = kept_.cbegin(); it != kept_.cend(); ++it)
        QCOMPARE(readBytes(file(it.key().toLatin1().constData())), it.value());
}

void tst_WriteFaults::definitionRulesAndTextBoxes()
{
    keep({"d.lng", "r.sc", "t.txt"});
    Combinacion definition = Combinacion::initial();
    definition.patterns = QStringList(20000, QStringLiteral("KVK"));
    const QStringList rules(20000, QStringLiteral("a>e"));
    const QString text(100000, QLatin1Char('w'));
    FullDisk full;
    QVERIFY(full.active());
    checkUnchanged(writeLngFile(file("d.lng"), definition), {});
    checkUnchanged(writeRuleFile(file("r.sc"), rules), {});
    checkUnchanged(saveTextBox(file("t.txt"), text), {});
}

void tst_WriteFaults::dictionaryTools()
{
    QVERIFY(writeBytes(file("a.lex"), manyLines("palabra", 20000)));
    QVERIFY(writeBytes(file("b.lex"), manyLines("otra", 20000)));
    QVERIFY(writeBytes(file("u.lex"),
                       "\xef\xbb\xbf"
                           + manyLines("\xc3\xb1"
                                       "and\xc3\xba",
                                       20000)));
    QVERIFY(writeBytes(file("l.txt"), "1\r\n2\r\n3\r\n4\r\n" + manyLines("casa = house", 20000)));
    keep({"out.lex"});
    std::array<CombinerRow, kCombinerRows> rows{};
    rows[0] = {true, file("a.lex"), 50};
    rows[1] = {true, file("b.lex"), 50};
    RandomSource random;
    FullDisk full;
    QVERIFY(full.active());
    const std::initializer_list<const char *> inputs{"a.lex", "b.lex", "l.txt", "u.lex"};
    checkUnchanged(copyWithCase(file("a.lex"), file("out.lex"), CaseOption::Upper), inputs);
    checkUnchanged(copyWithCase(file("u.lex"), file("out.lex"), CaseOption::Upper), inputs);
    checkUnchanged(separateListing(file("l.txt"), file("out.lex"), QStringLiteral("=")), inputs);
    checkUnchanged(
        exportDictionary(file("a.lex"), file("b.lex"), file("out.lex"), CaseOption::Upper, CaseOption::Lower, false),
        inputs);
    checkUnchanged(combineSources(rows, file("out.lex"), random), inputs);
}

void tst_WriteFaults::languageGeneratorAndSeparator()
{
    QByteArray roots = "ref:ref:x:1\r\n";
    QByteArray language;
    for (int i = 0; i < 20000; ++i) {
        roots += "r" + QByteArray::number(i) + ":palabra" + QByteArray::number(i) + ":*:1\r\n";
        language += "r" + QByteArray::number(i) + ":palabra:forma\r\n";
    }
    roots += "last:last:#ref+x:2\r\n";
    QVERIFY(writeBytes(file("r.rad"), roots));
    QVERIFY(writeBytes(file("w.lex"), manyLines("sul", 20000)));
    QVERIFY(writeBytes(file("l.lan"), language));
    keep({"o.lan", "o.lan.tmp", "p.lex", "d.dic"});
    FullDisk full;
    QVERIFY(full.active());
    const std::initializer_list<const char *> inputs{"l.lan", "r.rad", "w.lex"};
    checkUnchanged(generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM")).outcome, inputs);
    checkUnchanged(
        separateLanguage(file("l.lan"), file("p.lex"), file("d.dic"), CaseOption::Upper, CaseOption::Unchanged),
        inputs);
}

void tst_WriteFaults::rootCreator()
{
    const QByteArray roots = manyLines("raiz:palabra:*:1\r\nx", 5000);
    QVERIFY(writeBytes(file("r.rad"), roots));
    kept_.insert(QStringLiteral("r.rad"), roots);
    keep({"r.rad.tmp"});
    FullDisk full;
    QVERIFY(full.active());
    // A new root added at the end, and a root replaced in place.
    checkUnchanged(saveRoot(file("r.rad"), {"nueva", "raiz", "*", "1"}), {});
    checkUnchanged(saveRoot(file("r.rad"), {"raiz", "otra", "*", "1"}), {});
}

void tst_WriteFaults::rootCreatorAtTheEdge()
{
    // Room for a few bytes of the new root only: added in place, half a
    // record would stay at the end of the file.
    QByteArray roots = "a:b:*:1\r\n";
    roots += QByteArray(kRoom - 8 - roots.size(), 'x') + "\r\n";
    QVERIFY(writeBytes(file("r.rad"), roots));
    kept_.insert(QStringLiteral("r.rad"), roots);
    FullDisk full;
    QVERIFY(full.active());
    checkUnchanged(saveRoot(file("r.rad"), {"nueva", "raiz", "*", "1"}), {});
}

void tst_WriteFaults::commandLineOutputs()
{
    QVERIFY(writeBytes(file("d.lng"),
                       "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nK\r\nV\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\n"
                       "p,t,k,b,d,g,m,n,s,l\r\na,e,i,o,u\r\n\r\n\r\n\r\n\r\n\r\n\r\nKV\r\n"));
    QVERIFY(writeBytes(file("r.sc"), "a>e\r\n"));
    QVERIFY(writeBytes(file("w.lex"), manyLines("casa", 20000)));
    keep({"out.txt"});
    FullDisk full;
    QVERIFY(full.active());
    const auto run = [](const QStringList &arguments) {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status = runCli(QStringList{QStringLiteral("vordane-cli")} + arguments, out, err);
        return std::make_pair(status, QString::fromUtf8(err.data()));
    };
    for (const QStringList &arguments :
         {QStringList{"generar", file("d.lng"), "--filas", "20000", "--salida", file("out.txt")},
          QStringList{"generar", file("d.lng"), "--filas", "20000", "--sin-repetir", "--salida", file("out.txt")},
          QStringList{"transformar", file("r.sc"), "--palabras", file("w.lex"), "--salida", file("out.txt")}}) {
        const auto [status, message] = run(arguments);
        QCOMPARE(status, kExitFailed);
        checkUnchanged(Outcome::failure(message), {"d.lng", "r.sc", "w.lex"});
    }
}

void tst_WriteFaults::lateSwitchToUtf8()
{
    // The switch to UTF-8 rewrites what was written so far, twice as long
    // here (ñ is one byte in Windows-1252, two in UTF-8): that can fail too.
    keep({"late.txt"});
    QStringList lines(6000, QString::fromUtf8("ñññññ"));
    lines.append(QString::fromUtf8("ŋ"));
    FullDisk full;
    QVERIFY(full.active());
    checkUnchanged(writeLines(file("late.txt"), lines), {});
}

void tst_WriteFaults::systemReasons_inSpanish_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("spanish");
    QTest::newRow("no such file") << ENOENT << QStringLiteral("No existe el archivo o la carpeta");
    QTest::newRow("permission denied") << EACCES << QStringLiteral("Permiso denegado");
    QTest::newRow("not permitted") << EPERM << QStringLiteral("Operación no permitida");
    QTest::newRow("read-only") << EROFS << QStringLiteral("El sistema de archivos es de solo lectura");
    QTest::newRow("no space") << ENOSPC << QStringLiteral("No queda espacio en el dispositivo");
    QTest::newRow("too large") << EFBIG << QStringLiteral("El archivo es demasiado grande");
    QTest::newRow("is a folder") << EISDIR << QStringLiteral("Es una carpeta");
    QTest::newRow("not a folder") << ENOTDIR << QStringLiteral("No es una carpeta");
    QTest::newRow("name too long") << ENAMETOOLONG << QStringLiteral("El nombre del archivo es demasiado largo");
    QTest::newRow("too many links") << EMLINK << QStringLiteral("Demasiados enlaces");
    QTest::newRow("link loop") << ELOOP << QStringLiteral("Demasiados niveles de enlaces simbólicos");
    QTest::newRow("exists") << EEXIST << QStringLiteral("El archivo ya existe");
    QTest::newRow("busy") << EBUSY << QStringLiteral("Dispositivo o recurso ocupado");
    QTest::newRow("input/output") << EIO << QStringLiteral("Error de entrada/salida");
}

void tst_WriteFaults::systemReasons_inSpanish()
{
    // Whatever Qt or the system said (in English where no translation is
    // installed), the message gives the program's Spanish.
    QFETCH(int, error);
    QFETCH(QString, spanish);
    const QString system = QString::fromLocal8Bit(std::strerror(error));
    QCOMPARE(FileStatus::failure(FileError::WriteFailed, QStringLiteral("x.txt"), system).message(),
             QStringLiteral("No se ha podido escribir el archivo «x.txt»: %1.").arg(spanish));
    QCOMPARE(FileStatus::systemFailure(FileError::WriteFailed, QStringLiteral("x.txt"), error).reason, spanish);
}

QTEST_GUILESS_MAIN(tst_WriteFaults)
#include "tst_writefaults.moc"
