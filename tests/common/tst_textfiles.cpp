#include "common/atomicfile.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/textcodec.h"
#include "dictionary/wordfile.h"
#include "failingdevice.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

class tst_TextFiles : public QObject {
    Q_OBJECT
private slots:
    void init();

    void reading_data();
    void reading();
    void reading_crLfAcrossChunks();
    void reading_longLineAndNulBytes();
    void reading_failures_data();
    void reading_failures();

    void allBytesRoundTrip();
    void utf8Detection_data();
    void utf8Detection();
    void utf8Scanner_rejectsMalformed_data();
    void utf8Scanner_rejectsMalformed();

    void writing_bytes();
    void writing_switchesToUtf8WhenNeeded();
    void writing_largeOutputSwitchesLate();
    void writing_failuresLeaveTargetUntouched();
    void writing_uncommittedWriterChangesNothing();
    void writing_toADeviceReportsEveryFailure();
    void writing_surrogatePairSplitAcrossPieces();

    void atomicFile_writesOnceBesideTheTarget();
    void atomicFile_followsLinksAndKeepsPermissions();
    void atomicFile_failedCommitLeavesTargetAndNothingBehind();
    void commitAll_replacesNothingUntilEveryFileIsComplete();

private:
    QString path(const QString &name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_TextFiles::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void tst_TextFiles::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("only CR LF") << QByteArray("\r\n") << QStringList{QString()};
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("final CR LF adds nothing") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("empty entry between") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("two final line ends") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
    QTest::newRow("blanks kept") << QByteArray("  a \t\r\n") << QStringList{"  a \t"};
    QTest::newRow("windows-1252 accents") << QByteArray("\xf1"
                                                        "and\xfa\r\n\xc1rbol")
                                          << QStringList{QString::fromUtf8("ñandú"), QString::fromUtf8("Árbol")};
    QTest::newRow("euro and quotes") << QByteArray("\x80\x93x\x94") << QStringList{QString::fromUtf8("€“x”")};
    QTest::newRow("utf-8 with eng") << QByteArray("\xc5\x8b"
                                                  "a\r\nb")
                                    << QStringList{QString::fromUtf8("ŋa"), "b"};
    QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf"
                                             "abc\r\n")
                               << QStringList{"abc"};
    QTest::newRow("bom only") << QByteArray("\xef\xbb\xbf") << QStringList();
    QTest::newRow("bom before a windows-1252 byte is windows-1252") << QByteArray("\xef\xbb\xbf"
                                                                                  "caf\xe9\r\n")
                                                                    << QStringList{QString::fromUtf8("ï»¿café")};
    QTest::newRow("dictionary line read whole") << QByteArray("agua = ulmi\r\n") << QStringList{"agua = ulmi"};
}

void tst_TextFiles::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QVERIFY(writeBytes(path("in.txt"), bytes));
    WordList read{QStringLiteral("stale")};
    QVERIFY(readWordList(path("in.txt"), read).ok());
    QCOMPARE(read, entries);
}

void tst_TextFiles::reading_crLfAcrossChunks()
{
    // Lines that put a CR at every possible position of the reader's chunk boundary.
    QByteArray bytes;
    QStringList expected;
    for (int i = 0; bytes.size() < 3 * 256 * 1024; ++i) {
        const QByteArray line(i % 97 + 1, char('a' + i % 26)); // never empty: "\r" + "" + "\n" would be one line end
        bytes += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\r" : "\n");
        expected.append(QString::fromLatin1(line));
    }
    QVERIFY(writeBytes(path("big.txt"), bytes));
    WordList read;
    QVERIFY(readWordList(path("big.txt"), read).ok());
    QCOMPARE(read.size(), expected.size());
    QCOMPARE(read, expected);

    QByteArray atBoundary(256 * 1024 - 1, 'x');
    atBoundary += "\r\nnext";
    QVERIFY(writeBytes(path("edge.txt"), atBoundary));
    QVERIFY(readWordList(path("edge.txt"), read).ok());
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.at(1), QStringLiteral("next"));
}

void tst_TextFiles::reading_longLineAndNulBytes()
{
    QByteArray bytes(10 * 1024 * 1024, 'w');
    bytes[5] = '\0';
    QVERIFY(writeBytes(path("long.txt"), bytes));
    WordList read;
    QVERIFY(readWordList(path("long.txt"), read).ok());
    QCOMPARE(read.size(), 1);
    QCOMPARE(read.at(0).size(), bytes.size());
    QCOMPARE(read.at(0).at(5), QChar(0));
}

void tst_TextFiles::reading_failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty name") << "" << int(FileError::EmptyName)
                                << QString::fromUtf8("No se ha indicado ningún nombre de archivo.");
    QTest::newRow("missing") << "missing.txt" << int(FileError::NotFound) << QString::fromUtf8("no existe");
    QTest::newRow("directory") << "." << int(FileError::IsDirectory) << QString::fromUtf8("es una carpeta");
}

void tst_TextFiles::reading_failures()
{
    QFETCH(QString, name);
    QFETCH(int, error);
    QFETCH(QString, message);
    const QString file = name.isEmpty() ? name : name == QLatin1String(".") ? dir_->path() : path(name);
    WordList read{QStringLiteral("kept")};
    const FileStatus status = readWordList(file, read);
    QCOMPARE(int(status.error), error);
    QCOMPARE(read, QStringList{QStringLiteral("kept")});
    QVERIFY2(status.message().contains(message), qPrintable(status.message()));
    if (!name.isEmpty())
        QVERIFY(status.message().contains(QDir::toNativeSeparators(file)));
}

void tst_TextFiles::allBytesRoundTrip()
{
    // Every byte but the line ends, read as Windows-1252 and written back.
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
    }
    bytes += "\r\n";
    QVERIFY(writeBytes(path("all.txt"), bytes));
    LineReader reader(path("all.txt"));
    QVERIFY(reader.open().ok());
    QCOMPARE(reader.encoding(), TextEncoding::Windows1252);
    const QString line = reader.readLine();
    QVERIFY(reader.atEnd());
    QCOMPARE(line.size(), 254);
    QByteArray encoded;
    QVERIFY(appendWindows1252(line, encoded));
    QVERIFY(writeLines(path("out.txt"), {line}).ok());
    QCOMPARE(readBytes(path("out.txt")), bytes);

    // A byte-order mark before bytes that are not UTF-8 is three more such bytes.
    QVERIFY(writeBytes(path("marked.txt"), "\xef\xbb\xbf" + bytes));
    WordList read;
    QVERIFY(readWordList(path("marked.txt"), read).ok());
    QVERIFY(writeLines(path("marked-out.txt"), read).ok());
    QCOMPARE(readBytes(path("marked-out.txt")), "\xef\xbb\xbf" + bytes);
}

void tst_TextFiles::utf8Detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("plain ascii") << QByteArray("abc") << false;
    QTest::newRow("valid multi-byte") << QByteArray("\xc3\xb1") << true;
    QTest::newRow("windows-1252 ñ") << QByteArray("\xf1") << false;
    QTest::newRow("bom with ascii") << QByteArray("\xef\xbb\xbf"
                                                  "a")
                                    << true;
    QTest::newRow("bom then invalid") << QByteArray("\xef\xbb\xbf"
                                                    "caf\xe9\r\n")
                                      << false;
    QTest::newRow("invalid far beyond the first chunk") << (QByteArray(600000, 'a') + "\xc3\xb1\xe9") << false;
    QTest::newRow("multi-byte only beyond the first chunk") << (QByteArray(600000, 'a') + "\xc3\xb1") << true;
    QTest::newRow("valid then invalid") << QByteArray("\xc3\xb1\xff") << false;
    QTest::newRow("windows-1252 pair that is valid utf-8") << QByteArray("\xc3\xa1") << true;
}

void tst_TextFiles::utf8Detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QVERIFY(writeBytes(path("enc.txt"), bytes));
    LineReader reader(path("enc.txt"));
    QVERIFY(reader.open().ok());
    QCOMPARE(reader.encoding() == TextEncoding::Utf8, utf8);
}

void tst_TextFiles::utf8Scanner_rejectsMalformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lone continuation") << QByteArray("\x80");
    QTest::newRow("truncated at end") << QByteArray("a\xe2\x82");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf");
    QTest::newRow("overlong three bytes") << QByteArray("\xe0\x80\xaf");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("five-byte lead") << QByteArray("\xf8\x88\x80\x80\x80");
}

void tst_TextFiles::utf8Scanner_rejectsMalformed()
{
    QFETCH(QByteArray, bytes);
    Utf8Scanner scanner;
    // Byte by byte, so sequences straddle every possible chunk boundary.
    for (char b : bytes)
        scanner.feed(&b, 1);
    scanner.finish();
    QVERIFY(!scanner.isValid());
    // Such a file is Windows-1252: one character a byte.
    QVERIFY(writeBytes(path("bad.txt"), bytes));
    WordList read;
    QVERIFY(readWordList(path("bad.txt"), read).ok());
    QCOMPARE(read.join(QString()).size(), bytes.size());
}

void tst_TextFiles::writing_bytes()
{
    QVERIFY(writeLines(path("w.txt"), {"uno", "", "tres"}).ok());
    QCOMPARE(readBytes(path("w.txt")), QByteArray("uno\r\n\r\ntres\r\n"));

    QVERIFY(writeLines(path("empty.txt"), {}).ok());
    QVERIFY(QFile::exists(path("empty.txt")));
    QCOMPARE(readBytes(path("empty.txt")), QByteArray());

    QVERIFY(writeLines(path("acc.txt"), {QString::fromUtf8("ñandú €")}).ok());
    QCOMPARE(readBytes(path("acc.txt")),
             QByteArray("\xf1"
                        "and\xfa \x80\r\n"));

    // Writing replaces, never appends.
    QVERIFY(writeLines(path("w.txt"), {"x"}).ok());
    QCOMPARE(readBytes(path("w.txt")), QByteArray("x\r\n"));

    // A text box is saved as it stands, then one CR LF.
    QVERIFY(saveTextBox(path("t.txt"), QStringLiteral("a\r\nb\rc")).ok());
    QCOMPARE(readBytes(path("t.txt")), QByteArray("a\r\nb\rc\r\n"));
}

void tst_TextFiles::writing_switchesToUtf8WhenNeeded()
{
    QVERIFY(writeLines(path("u.txt"), {QString::fromUtf8("año"), QString::fromUtf8("ŋa")}).ok());
    QCOMPARE(readBytes(path("u.txt")),
             QByteArray("\xef\xbb\xbf"
                        "a\xc3\xb1o\r\n\xc5\x8b"
                        "a\r\n"));
    WordList read;
    QVERIFY(readWordList(path("u.txt"), read).ok());
    QCOMPARE(read, (QStringList{QString::fromUtf8("año"), QString::fromUtf8("ŋa")}));
}

void tst_TextFiles::writing_largeOutputSwitchesLate()
{
    // The switch re-encodes more than the writer buffers in memory.
    QStringList lines;
    for (int i = 0; i < 200000; ++i)
        lines.append(QString::fromUtf8("línea %1").arg(i));
    lines.append(QString::fromUtf8("ŋ"));
    QVERIFY(writeLines(path("late.txt"), lines).ok());
    const QByteArray bytes = readBytes(path("late.txt"));
    QVERIFY(bytes.startsWith("\xef\xbb\xbf"
                             "l\xc3\xadnea 0\r\n"));
    QVERIFY(bytes.endsWith("\xc5\x8b\r\n"));
    WordList read;
    QVERIFY(readWordList(path("late.txt"), read).ok());
    QCOMPARE(read, lines);
}

void tst_TextFiles::writing_failuresLeaveTargetUntouched()
{
    QCOMPARE(writeLines(QString(), {"a"}).error, FileError::EmptyName);
    QCOMPARE(writeLines(dir_->path(), {"a"}).error, FileError::IsDirectory);
    const QString impossible = path("no/such/folder/out.txt");
    const FileStatus status = writeLines(impossible, {"a"});
    QCOMPARE(status.error, FileError::CreateFailed);
    // The system's reason follows the sentence naming the file.
    QVERIFY2(status.message().startsWith(
                 QStringLiteral("No se ha podido crear el archivo «%1»: ").arg(QDir::toNativeSeparators(impossible))),
             qPrintable(status.message()));
    QVERIFY(!QFile::exists(impossible));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void tst_TextFiles::writing_uncommittedWriterChangesNothing()
{
    QVERIFY(writeBytes(path("keep.txt"), "old\r\n"));
    {
        LineWriter writer(path("keep.txt"));
        QVERIFY(writer.open().ok());
        writer.writeLine(QStringLiteral("new"));
    }
    QCOMPARE(readBytes(path("keep.txt")), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.txt"});
}

void tst_TextFiles::writing_toADeviceReportsEveryFailure()
{
    // A device takes UTF-8 as it comes; the failure shows at the write that
    // fails or, for what stays buffered, at finish().
    test::FailingDevice roomy(1 << 20);
    LineWriter fine(roomy, QStringLiteral("la salida estándar"));
    QVERIFY(fine.open().ok());
    fine.writeLine(QString::fromUtf8("año"));
    QVERIFY(fine.finish().ok());
    QCOMPARE(roomy.written, QByteArray("a\xc3\xb1o\r\n"));

    test::FailingDevice full(10);
    LineWriter writer(full, QStringLiteral("la salida estándar"));
    QVERIFY(writer.open().ok());
    for (int i = 0; i < 1'000'000; ++i) // well past the failure, and more than the writer buffers
        writer.writeLine(QStringLiteral("palabra"));
    QVERIFY(writer.failed());
    const FileStatus status = writer.finish();
    QCOMPARE(status.error, FileError::DeviceFailed);
    QCOMPARE(status.message(),
             QStringLiteral("No se ha podido escribir en la salida estándar: "
                            "No queda espacio en el dispositivo."));

    test::FailingDevice small(3);
    LineWriter buffered(small, QStringLiteral("x"));
    QVERIFY(buffered.open().ok());
    buffered.writeLine(QStringLiteral("abcdef"));
    QVERIFY(!buffered.finish().ok());

    QFile closed;
    LineWriter nowhere(closed, QStringLiteral("la salida estándar"));
    QCOMPARE(nowhere.open().error, FileError::DeviceFailed);
}

void tst_TextFiles::writing_surrogatePairSplitAcrossPieces()
{
    const QString clef = QString::fromUtf8("\xf0\x9d\x84\x9e"); // one character, two UTF-16 units
    LineWriter writer(path("pair.txt"));
    QVERIFY(writer.open().ok());
    writer.write(QStringView(clef).left(1));
    writer.write(QStringView(clef).mid(1));
    QVERIFY(writer.commit().ok());
    QCOMPARE(readBytes(path("pair.txt")), QByteArray("\xef\xbb\xbf\xf0\x9d\x84\x9e"));

    // Halves that a line end separates are no character: each is written as
    // U+FFFD, never half a character, never one moved across the line end.
    LineWriter halves(path("halves.txt"));
    QVERIFY(halves.open().ok());
    halves.writeLine(QStringLiteral("a") + clef.left(1));
    halves.writeLine(clef.mid(1) + QStringLiteral("b"));
    halves.write(clef.left(1));
    QVERIFY(halves.commit().ok());
    QCOMPARE(readBytes(path("halves.txt")),
             QByteArray("\xef\xbb\xbf"
                        "a\xef\xbf\xbd\r\n\xef\xbf\xbd"
                        "b\r\n\xef\xbf\xbd"));
}

void tst_TextFiles::atomicFile_writesOnceBesideTheTarget()
{
    QVERIFY(writeBytes(path("t.txt"), "old"));
    AtomicFile file(path("t.txt"));
    QVERIFY(file.open().ok());
    QCOMPARE(file.device().write("new"), 3);
#if defined(Q_OS_LINUX)
    // The new file lives in the target's folder, without a name until the commit moves it.
    const QString fresh = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(file.device().handle()));
    QCOMPARE(QFileInfo(fresh).absolutePath(), QFileInfo(path("t.txt")).canonicalPath());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.txt"});
#endif
    QCOMPARE(readBytes(path("t.txt")), QByteArray("old"));
    QVERIFY(file.commit().ok());
    QCOMPARE(readBytes(path("t.txt")), QByteArray("new"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.txt"});
}

void tst_TextFiles::atomicFile_followsLinksAndKeepsPermissions()
{
#if defined(Q_OS_UNIX)
    QVERIFY(writeBytes(path("real.txt"), "old"));
    QVERIFY(QFile::setPermissions(path("real.txt"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(path("real.txt"), path("link.txt")));
    QVERIFY(writeLines(path("link.txt"), {"new"}).ok());
    QVERIFY(QFileInfo(path("link.txt")).isSymLink());
    QCOMPARE(readBytes(path("real.txt")), QByteArray("new\r\n"));
    const QFile::Permissions others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(path("real.txt")) & others, QFile::Permissions(QFile::ReadGroup));
#else
    QSKIP("symbolic links and Unix permissions");
#endif
}

void tst_TextFiles::atomicFile_failedCommitLeavesTargetAndNothingBehind()
{
    // The target turns into a folder after the writer opened: the final move fails.
    LineWriter writer(path("gone.txt"));
    QVERIFY(writer.open().ok());
    writer.writeLine(QStringLiteral("text"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("gone.txt")));
    const FileStatus status = writer.commit();
    QCOMPARE(status.error, FileError::WriteFailed);
    QVERIFY(QFileInfo(path("gone.txt")).isDir());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void tst_TextFiles::commitAll_replacesNothingUntilEveryFileIsComplete()
{
    QVERIFY(writeBytes(path("a.txt"), "old a"));
    QVERIFY(writeBytes(path("b.txt"), "old b"));
    {
        LineWriter a(path("a.txt"));
        LineWriter b(path("b.txt"));
        QVERIFY(a.open().ok() && b.open().ok());
        a.writeLine(QStringLiteral("new a"));
        b.writeLine(QStringLiteral("new b"));
        QVERIFY(commitAll({&a, &b}).ok());
    }
    QCOMPARE(readBytes(path("a.txt")), QByteArray("new a\r\n"));
    QCOMPARE(readBytes(path("b.txt")), QByteArray("new b\r\n"));

    // b's file cannot be finished: a stays as it was too.
    LineWriter a(path("a.txt"));
    LineWriter b(path("b.txt"));
    QVERIFY(a.open().ok() && b.open().ok());
    a.writeLine(QStringLiteral("newer a"));
    b.writeLine(QStringLiteral("newer b"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("c")));
    LineWriter c(path("c"));
    QVERIFY(!c.open().ok());
    QVERIFY(!commitAll({&a, &b, &c}).ok());
    QCOMPARE(readBytes(path("a.txt")), QByteArray("new a\r\n"));
    QCOMPARE(readBytes(path("b.txt")), QByteArray("new b\r\n"));
}

QTEST_GUILESS_MAIN(tst_TextFiles)
#include "tst_textfiles.moc"
