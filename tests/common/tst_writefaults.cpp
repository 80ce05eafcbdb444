// Every writer of the program against a disk that fills up part way: the
// operation reports the failure, the files it would replace keep every byte,
// and no new file is left beside them. The full disk is real: the process's
// file-size limit makes every write past it fail, as a full disk does.
//
// Then the writer against targets that are not its to replace (devices,
// pipes, read-only files of other users, loops of links), the attributes of
// what it replaces, the names it can write, and runs killed part way.

#include "cli/clirunner.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "common/temporaryfile.h"
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

#if defined(Q_OS_UNIX)
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
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

#if defined(Q_OS_UNIX)
// The kind of file a name denotes, links not followed (0: nothing there).
unsigned kindOf(const QString &path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

struct stat statusOf(const QString &path)
{
    struct stat info { };
    ::stat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Runs `body` in a child process; returns how the child ended (as waitpid
// tells it) and what it wrote to the descriptor it was given.
template <typename Body> std::pair<int, QByteArray> inChild(Body body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {-1, {}};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        ::_exit(body(channel[1]));
    }
    ::close(channel[1]);
    QByteArray output;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, got);
    ::close(channel[0]);
    int status = -1;
    ::waitpid(child, &status, 0);
    return {status, output};
}

const QString kWrittenLines[] = {QStringLiteral("uno"), QString::fromUtf8("ñ")};
const QByteArray kWrittenBytes("uno\r\n\xf1\r\n");
#endif

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

    void targetsNotRegular_writtenInPlace_data();
    void targetsNotRegular_writtenInPlace();
    void replacedFiles_keepModeAndOwner_data();
    void replacedFiles_keepModeAndOwner();
    void readOnlyFileOfAnotherUser_isRefused();
    void namesAndLinks();
    void interruptedWriters_leaveNoTemporary_data();
    void interruptedWriters_leaveNoTemporary();
    void systemReasons_inSpanish_data();
    void systemReasons_inSpanish();

private:
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    // Writes the files that a failed operation must leave exactly as they are.
    void keep(std::initializer_list<const char *> names);
    // Every kept file unchanged, and no other file in the folder but `inputs`.
    void checkUnchanged(const Outcome &outcome, std::initializer_list<const char *> inputs);
    void checkFolder(std::initializer_list<const char *> inputs);

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
    checkFolder(inputs);
}

void tst_WriteFaults::checkFolder(std::initializer_list<const char *> inputs)
{
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

// The cases below are Unix's own (devices, modes, owners, signals); init()
// skips every case elsewhere.
#if defined(Q_OS_UNIX)

void tst_WriteFaults::targetsNotRegular_writtenInPlace_data()
{
    QTest::addColumn<unsigned>("kind");
    QTest::newRow("pipe") << unsigned(S_IFIFO);
    QTest::newRow("character device") << unsigned(S_IFCHR);
    QTest::newRow("socket") << unsigned(S_IFSOCK);
    QTest::newRow("file reached through /proc") << unsigned(S_IFREG);
}

void tst_WriteFaults::targetsNotRegular_writtenInPlace()
{
    // Never replaced by a regular file: written into, at the commit, or refused.
    QFETCH(unsigned, kind);
    const QString target = file("target");
    const QByteArray name = QFile::encodeName(target);
    const QStringList lines(std::begin(kWrittenLines), std::end(kWrittenLines));
    if (kind == S_IFIFO) {
        QVERIFY(::mkfifo(name.constData(), 0644) == 0);
        // Opened for reading first, so that the writer's opening does not wait.
        const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        const FileStatus status = writeLines(target, lines);
        QByteArray got(4096, '\0');
        const ssize_t size = ::read(reader, got.data(), std::size_t(got.size()));
        ::close(reader);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(got.left(qMax<qsizetype>(size, 0)), kWrittenBytes);
    } else if (kind == S_IFCHR) {
        if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) // a second null device
            QSKIP("cannot create a device here (needs root, and a file system that allows devices)");
        const FileStatus status = writeLines(target, lines);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(statusOf(target).st_rdev, makedev(1, 3));
    } else if (kind == S_IFSOCK) {
        const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (std::size_t(name.size()) >= sizeof address.sun_path)
            QSKIP("the temporary folder's name is too long for a socket");
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        QVERIFY(::bind(server, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0);
        const FileStatus status = writeLines(target, lines);
        ::close(server);
        QCOMPARE(status.message(),
                 QStringLiteral("No se ha podido escribir el archivo «%1»: No existe el dispositivo o "
                                "la dirección.")
                     .arg(target));
    } else {
#if !defined(Q_OS_LINUX)
        QSKIP("/proc names open files on Linux only");
#endif
        // As "--salida /dev/stdout >> log" does: added to the file as the shell opened it.
        QVERIFY(writeBytes(target, "old\r\n"));
        QFile log(target);
        QVERIFY(log.open(QIODevice::Append));
        const ino_t inode = statusOf(target).st_ino;
        const FileStatus status = writeLines(QStringLiteral("/proc/self/fd/%1").arg(log.handle()), lines);
        log.close();
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(readBytes(target), "old\r\n" + kWrittenBytes);
        QCOMPARE(statusOf(target).st_ino, inode);
    }
    QCOMPARE(kindOf(target), kind);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"target"});
}

void tst_WriteFaults::replacedFiles_keepModeAndOwner_data()
{
    QTest::addColumn<unsigned>("mode");
    QTest::addColumn<bool>("otherOwner");
    QTest::newRow("read-only 0444") << 0444u << false;
    QTest::newRow("private 0600") << 0600u << false;
    QTest::newRow("set-user-ID 4755") << 04755u << false;
    QTest::newRow("set-group-ID 2775") << 02775u << false;
    QTest::newRow("another user's 0640") << 0640u << true;
}

void tst_WriteFaults::replacedFiles_keepModeAndOwner()
{
    QFETCH(unsigned, mode);
    QFETCH(bool, otherOwner);
    const bool root = ::geteuid() == 0;
    if (!root && !(mode & S_IWUSR))
        QSKIP("only root may write a file its owner cannot write");
    const passwd *nobody = ::getpwnam("nobody");
    if (otherOwner && (!root || !nobody))
        QSKIP("giving the file to another user (\"nobody\") needs root");
    const QString target = file("f.txt");
    QVERIFY(writeBytes(target, "old\r\n"));
    // A second name for the file: the replaced file is a new one, and the
    // other name keeps the old text, as with every atomic save.
    QVERIFY(::link(QFile::encodeName(target).constData(), QFile::encodeName(file("other.txt")).constData()) == 0);
    if (otherOwner)
        QVERIFY(::chown(QFile::encodeName(target).constData(), nobody->pw_uid, nobody->pw_gid) == 0);
    QVERIFY(::chmod(QFile::encodeName(target).constData(), mode) == 0);
    const struct stat before = statusOf(target);

    const FileStatus status = writeLines(target, QStringList(std::begin(kWrittenLines), std::end(kWrittenLines)));
    QVERIFY2(status.ok(), qPrintable(status.message()));
    const struct stat after = statusOf(target);
    QCOMPARE(after.st_mode & 07777, mode);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(readBytes(target), kWrittenBytes);
    QCOMPARE(readBytes(file("other.txt")), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"f.txt", "other.txt"}));
}

void tst_WriteFaults::readOnlyFileOfAnotherUser_isRefused()
{
    // A folder where anyone may write, and a read-only file in it: renaming
    // over the file would only need the folder, writing it needs the file.
    QVERIFY(::chmod(QFile::encodeName(dir_->path()).constData(), 0777) == 0);
    keep({"ro.txt"});
    QVERIFY(::chmod(QFile::encodeName(file("ro.txt")).constData(), 0444) == 0);
    const auto attempt = [this] {
        return writeLines(file("ro.txt"), QStringList(std::begin(kWrittenLines), std::end(kWrittenLines))).message();
    };
    QString message;
    if (::geteuid() == 0) {
        // Root may write any file: the attempt is made as "nobody".
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody)
            QSKIP("no user \"nobody\" to write as");
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        const auto [status, output] = inChild([&](int out) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                return 2;
            const QByteArray text = attempt().toUtf8();
            return ::write(out, text.constData(), std::size_t(text.size())) == text.size() ? 0 : 3;
        });
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        message = QString::fromUtf8(output);
    } else {
        message = attempt();
    }
    QCOMPARE(message,
             QStringLiteral("No se ha podido escribir el archivo «%1»: Permiso denegado.").arg(file("ro.txt")));
    checkFolder({});
    QCOMPARE(statusOf(file("ro.txt")).st_mode & 07777, 0444u);
}

void tst_WriteFaults::namesAndLinks()
{
    const QStringList lines(std::begin(kWrittenLines), std::end(kWrittenLines));
    // Any name the system accepts can be written, and replaced: 255 bytes,
    // also when they are 128 characters of UTF-8.
    for (const QString &name : {QString(255, QLatin1Char('n')), QString(127, QChar(0xf1)) + QLatin1Char('x')}) {
        QCOMPARE(QFile::encodeName(name).size(), 255);
        const QString path = dir_->filePath(name);
        for (int time = 0; time < 2; ++time) {
            const FileStatus status = writeLines(path, lines);
            QVERIFY2(status.ok(), qPrintable(status.message()));
        }
        QCOMPARE(readBytes(path), kWrittenBytes);
        QVERIFY(QFile::remove(path));
    }
    // One byte more is the system's refusal, in Spanish.
    const QString tooLong = dir_->filePath(QString(256, QLatin1Char('n')));
    QCOMPARE(writeLines(tooLong, lines).message(),
             QStringLiteral("No se ha podido crear el archivo «%1»: El nombre del archivo es demasiado largo.")
                 .arg(tooLong));

    // A loop of links is refused, the links untouched.
    QVERIFY(::symlink("lb", QFile::encodeName(file("la")).constData()) == 0);
    QVERIFY(::symlink("la", QFile::encodeName(file("lb")).constData()) == 0);
    QCOMPARE(writeLines(file("la"), lines).message(),
             QStringLiteral("No se ha podido escribir el archivo «%1»: Demasiados niveles de enlaces simbólicos.")
                 .arg(file("la")));
    QCOMPARE(QFile::symLinkTarget(file("la")), file("lb"));
    QCOMPARE(QFile::symLinkTarget(file("lb")), file("la"));

    // A chain of links leads to the file replaced, and a link to a file not
    // there yet to the file made; the links stay links.
    QVERIFY(writeBytes(file("real.txt"), "old\r\n"));
    QVERIFY(::symlink("real.txt", QFile::encodeName(file("c2")).constData()) == 0);
    QVERIFY(::symlink("c2", QFile::encodeName(file("c1")).constData()) == 0);
    QVERIFY(::symlink("made.txt", QFile::encodeName(file("dangling")).constData()) == 0);
    QVERIFY(writeLines(file("c1"), lines).ok());
    QVERIFY(writeLines(file("dangling"), lines).ok());
    QCOMPARE(readBytes(file("real.txt")), kWrittenBytes);
    QCOMPARE(readBytes(file("made.txt")), kWrittenBytes);
    for (const char *link : {"c1", "c2", "dangling"})
        QCOMPARE(kindOf(file(link)), unsigned(S_IFLNK));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"c1", "c2", "dangling", "la", "lb", "made.txt", "real.txt"}));
}

void tst_WriteFaults::interruptedWriters_leaveNoTemporary_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("unnamed");
    QTest::newRow("SIGTERM, named new files") << int(SIGTERM) << false;
    QTest::newRow("SIGINT, named new files") << int(SIGINT) << false;
    QTest::newRow("SIGHUP, named new files") << int(SIGHUP) << false;
    QTest::newRow("SIGPIPE, named new files") << int(SIGPIPE) << false;
    QTest::newRow("SIGKILL, new files without a name") << int(SIGKILL) << true;
    QTest::newRow("SIGTERM, new files without a name") << int(SIGTERM) << true;
}

void tst_WriteFaults::interruptedWriters_leaveNoTemporary()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, unnamed);
#if !defined(Q_OS_LINUX)
    if (unnamed)
        QSKIP("files without a name are made on Linux only");
#endif
    keep({"one.txt", "two.txt"});
    // A process with two outputs written and not committed, waiting for the signal.
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
            std::signal(signal, SIG_DFL);
        removeTemporariesOnSignals();
        TemporaryFile::allowUnnamedFiles(unnamed);
        LineWriter one(file("one.txt"));
        LineWriter two(file("two.txt"));
        if (!one.open().ok() || !two.open().ok())
            ::_exit(2);
        for (int i = 0; i < 100000; ++i) {
            one.writeLine(u"palabra");
            two.writeLine(QString::fromUtf8("ŋ"));
        }
        if (!one.finish().ok() || !two.finish().ok())
            ::_exit(3);
        if (::write(ready[1], "r", 1) != 1)
            ::_exit(4);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char byte = 0;
    const bool started = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    const QStringList meanwhile = QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden);
    ::kill(child, signalNumber);
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(started);
    // Named new files lie beside their targets until the signal removes them.
    QCOMPARE(meanwhile.size(), unnamed ? 2 : 4);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), signalNumber);
    checkFolder({});
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

#else

void tst_WriteFaults::targetsNotRegular_writtenInPlace_data() { }
void tst_WriteFaults::targetsNotRegular_writtenInPlace() { }
void tst_WriteFaults::replacedFiles_keepModeAndOwner_data() { }
void tst_WriteFaults::replacedFiles_keepModeAndOwner() { }
void tst_WriteFaults::readOnlyFileOfAnotherUser_isRefused() { }
void tst_WriteFaults::namesAndLinks() { }
void tst_WriteFaults::interruptedWriters_leaveNoTemporary_data() { }
void tst_WriteFaults::interruptedWriters_leaveNoTemporary() { }
void tst_WriteFaults::systemReasons_inSpanish_data() { }
void tst_WriteFaults::systemReasons_inSpanish() { }

#endif

QTEST_GUILESS_MAIN(tst_WriteFaults)
#include "tst_writefaults.moc"
