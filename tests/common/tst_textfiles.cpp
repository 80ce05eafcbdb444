#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/textcodec.h"
#include "dictionary/wordfile.h"
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

    void dictionaryEntry_format();
    void filters_areTheThreeStrings();

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
    QTest::newRow("windows-1252 accents") << QByteArray("\xf1" "and\xfa\r\n\xc1rbol")
                                          << QStringList{QString::fromUtf8("ñandú"), QString::fromUtf8("Árbol")};
    QTest::newRow("euro and quotes") << QByteArray("\x80\x93x\x94") << QStringList{QString::fromUtf8("€“x”")};
    QTest::newRow("utf-8 with eng") << QByteArray("\xc5\x8b" "a\r\nb") << QStringList{QString::fromUtf8("ŋa"), "b"};
    QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf" "abc\r\n") << QStringList{"abc"};
    QTest::newRow("bom only") << QByteArray("\xef\xbb\xbf") << QStringList();
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
    QTest::newRow("empty name") << "" << int(FileError::EmptyName) << QString::fromUtf8("No se ha indicado ningún nombre de archivo.");
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
    QVERIFY2(fileErrorMessage(status).contains(message), qPrintable(fileErrorMessage(status)));
    if (!name.isEmpty())
        QVERIFY(fileErrorMessage(status).contains(QDir::toNativeSeparators(file)));
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
    QVERIFY(fitsWindows1252(line));
    QVERIFY(writeWordList(path("out.txt"), {line}).ok());
    QCOMPARE(readBytes(path("out.txt")), bytes);
    QCOMPARE(encodeFileText(decodeFileText(bytes)), bytes);
}

void tst_TextFiles::utf8Detection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("plain ascii") << QByteArray("abc") << false;
    QTest::newRow("valid multi-byte") << QByteArray("\xc3\xb1") << true;
    QTest::newRow("windows-1252 ñ") << QByteArray("\xf1") << false;
    QTest::newRow("bom with ascii") << QByteArray("\xef\xbb\xbf" "a") << true;
    QTest::newRow("valid then invalid") << QByteArray("\xc3\xb1\xff") << false;
    QTest::newRow("windows-1252 pair that is valid utf-8") << QByteArray("\xc3\xa1") << true;
}

void tst_TextFiles::utf8Detection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    QCOMPARE(detectEncoding(bytes) == TextEncoding::Utf8, utf8);
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
    QCOMPARE(decodeFileText(bytes).size(), bytes.size());
}

void tst_TextFiles::writing_bytes()
{
    QVERIFY(writeWordList(path("w.txt"), {"uno", "", "tres"}).ok());
    QCOMPARE(readBytes(path("w.txt")), QByteArray("uno\r\n\r\ntres\r\n"));

    QVERIFY(writeWordList(path("empty.txt"), {}).ok());
    QVERIFY(QFile::exists(path("empty.txt")));
    QCOMPARE(readBytes(path("empty.txt")), QByteArray());

    QVERIFY(writeWordList(path("acc.txt"), {QString::fromUtf8("ñandú €")}).ok());
    QCOMPARE(readBytes(path("acc.txt")), QByteArray("\xf1" "and\xfa \x80\r\n"));

    // Writing replaces, never appends.
    QVERIFY(writeWordList(path("w.txt"), {"x"}).ok());
    QCOMPARE(readBytes(path("w.txt")), QByteArray("x\r\n"));

    QVERIFY(writeText(path("t.txt"), QStringLiteral("a\r\nb\rc")).ok());
    QCOMPARE(readBytes(path("t.txt")), QByteArray("a\r\nb\rc"));
}

void tst_TextFiles::writing_switchesToUtf8WhenNeeded()
{
    QVERIFY(writeWordList(path("u.txt"), {QString::fromUtf8("año"), QString::fromUtf8("ŋa")}).ok());
    QCOMPARE(readBytes(path("u.txt")), QByteArray("\xef\xbb\xbf" "a\xc3\xb1o\r\n\xc5\x8b" "a\r\n"));
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
    QVERIFY(writeWordList(path("late.txt"), lines).ok());
    const QByteArray bytes = readBytes(path("late.txt"));
    QVERIFY(bytes.startsWith("\xef\xbb\xbf" "l\xc3\xadnea 0\r\n"));
    QVERIFY(bytes.endsWith("\xc5\x8b\r\n"));
    WordList read;
    QVERIFY(readWordList(path("late.txt"), read).ok());
    QCOMPARE(read, lines);
}

void tst_TextFiles::writing_failuresLeaveTargetUntouched()
{
    QCOMPARE(writeWordList(QString(), {"a"}).error, FileError::EmptyName);
    QCOMPARE(writeWordList(dir_->path(), {"a"}).error, FileError::IsDirectory);
    const QString impossible = path("no/such/folder/out.txt");
    QCOMPARE(writeWordList(impossible, {"a"}).error, FileError::CreateFailed);
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

void tst_TextFiles::dictionaryEntry_format()
{
    QCOMPARE((DictionaryEntry{"agua", "ulmi"}.toLine()), QStringLiteral("agua = ulmi"));
    QCOMPARE((DictionaryEntry{"agua", ""}.toLine()), QStringLiteral("agua = "));
    QCOMPARE((DictionaryEntry{" a ", " b "}.toLine()), QStringLiteral(" a  =  b "));
}

void tst_TextFiles::filters_areTheThreeStrings()
{
    QCOMPARE(kWordFileFilter.count(QLatin1Char('|')), 7);
    QVERIFY(kCombinerSourceFilter.startsWith(QStringLiteral("Archivos de vocabularios (*.lex)|")));
    QVERIFY(kCombinerDestinationFilter.startsWith(QStringLiteral("Vocabularios (*.lex)|")));
    QCOMPARE(kCombinerSourceFilter.mid(kCombinerSourceFilter.indexOf(QLatin1Char('|'))),
             kCombinerDestinationFilter.mid(kCombinerDestinationFilter.indexOf(QLatin1Char('|'))));
}

QTEST_GUILESS_MAIN(tst_TextFiles)
#include "tst_textfiles.moc"
