#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textcodec.h"
#include "dictionary/dictionarytools.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

namespace {
// The same text as a UTF-8 file: it takes the tools' Unicode path, where a
// Windows-1252 file takes the byte path; both must write the same bytes.
QByteArray asUtf8(const QByteArray &windows1252)
{
    return "\xef\xbb\xbf" + decodeWindows1252(windows1252.constData(), windows1252.size()).toUtf8();
}

const QByteArray kHeading = "DICCIONARIO\r\n\r\npagina 1\r\n----\r\n";

// A listing line with each (word, counterpart) at the start of its 40-character column.
QByteArray listingLine(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QByteArray line;
    for (const auto &[word, counterpart] : entries) {
        QByteArray column = word.leftJustified(17, ' ') + "= " + counterpart;
        line += column.leftJustified(40, ' ');
    }
    return line;
}
} // namespace

class tst_DictionaryEngine : public QObject {
    Q_OBJECT
private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void separate_columns();
    void separate_edgeCases_data();
    void separate_edgeCases();
    void separate_failures();
    void separate_charactersBeyondU10000();
    void caseCopies();
    void combine_bandsFollowTheDraws();
    void combine_percentagesNotSummingTo100();
    void combine_failures();
    void exportLines_data();
    void exportLines();
    void export_failuresAndSameFile();

private:
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_DictionaryEngine::separate_columns()
{
    const QByteArray line = listingLine({{"casa", "house"}, {"perro", "dog"}, {"gato", "cat"}});
    QCOMPARE(line.indexOf('='), 17); // position 18
    QVERIFY(writeBytes(file("l.txt"), kHeading + line + "\r\n"));
    QVERIFY(separateListing(file("l.txt"), file("o.txt"), QStringLiteral("=")).ok());
    QCOMPARE(readBytes(file("o.txt")), QByteArray("house\r\ndog\r\ncat\r\n"));
}

void tst_DictionaryEngine::separate_edgeCases_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QByteArray>("output");
    const QByteArray thirty = "casa     = house" + QByteArray(14, ' ');
    QTest::newRow("30 characters, one separator")
        << thirty << "=" << QByteArray("house\r\ncasa     = house\r\ncasa     = house\r\n");
    QTest::newRow("separator at position 40")
        << (QByteArray(39, 'x') + "=abc") << "="
        << QByteArray("\r\nx" + QByteArray(38, 'x') + "=abc\r\n" + QByteArray(39, 'x') + "=abc\r\n");
    QTest::newRow("multi-character separator keeps its rest")
        << QByteArray("casa = house").leftJustified(40, ' ') << " = "
        << QByteArray("= house\r\ncasa = house\r\ncasa = house\r\n");
    // Column 1 finds the separator only inside column 2: an empty line; column 2 takes "b".
    QTest::newRow("separator only beyond its column")
        << (QByteArray(50, 'a') + "=b") << "=" << QByteArray("\r\nb\r\n" + QByteArray(50, 'a') + "=b\r\n");
    QTest::newRow("empty line") << QByteArray() << "=" << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("beyond 120 ignored") << (QByteArray(120, ' ') + "=zzz") << "=" << QByteArray("\r\n\r\n\r\n");
    QTest::newRow("accents") << QByteArray("a=\xf1"
                                           "and\xfa")
                             << "="
                             << QByteArray("\xf1"
                                           "and\xfa\r\na=\xf1"
                                           "and\xfa\r\na=\xf1"
                                           "and\xfa\r\n");
}

void tst_DictionaryEngine::separate_edgeCases()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, separator);
    QFETCH(QByteArray, output);
    QVERIFY(writeBytes(file("l.txt"), kHeading + line + "\r\n"));
    QVERIFY(separateListing(file("l.txt"), file("o.txt"), separator).ok());
    QCOMPARE(readBytes(file("o.txt")), output);
    QVERIFY(writeBytes(file("u.txt"), asUtf8(kHeading + line + "\r\n")));
    QVERIFY(separateListing(file("u.txt"), file("o.txt"), separator).ok());
    QCOMPARE(readBytes(file("o.txt")), output);
}

void tst_DictionaryEngine::separate_charactersBeyondU10000()
{
    // Two UTF-16 units, one character: columns count it once and never cut it.
    const QString emoji = QStringLiteral("\U0001F600");
    const QString line = QString(39, u'a') + emoji + QStringLiteral(" resto");
    QVERIFY(writeBytes(file("u.txt"), "\xef\xbb\xbf" + (QString::fromLatin1(kHeading) + line + "\r\n").toUtf8()));
    QVERIFY(separateListing(file("u.txt"), file("o.txt"), QStringLiteral("=")).ok());
    QCOMPARE(readBytes(file("o.txt")),
             "\xef\xbb\xbf" + (QString(39, u'a') + emoji + "\r\n" + line + "\r\n" + line + "\r\n").toUtf8());
    // A separator beyond U+FFFF: the piece starts after the whole character.
    QVERIFY(
        writeBytes(file("u.txt"), "\xef\xbb\xbf" + (QString::fromLatin1(kHeading) + "ab" + emoji + "cd\r\n").toUtf8()));
    QVERIFY(separateListing(file("u.txt"), file("o.txt"), emoji).ok());
    QCOMPARE(readBytes(file("o.txt")), "\xef\xbb\xbf" + ("cd\r\nab" + emoji + "cd\r\nab" + emoji + "cd\r\n").toUtf8());
}

void tst_DictionaryEngine::separate_failures()
{
    QVERIFY(writeBytes(file("o.txt"), "kept"));
    QVERIFY(writeBytes(file("four.txt"), kHeading));
    QVERIFY(separateListing(file("four.txt"), file("o.txt"), QStringLiteral("=")).ok());
    QCOMPARE(readBytes(file("o.txt")), QByteArray());

    QVERIFY(writeBytes(file("o.txt"), "kept"));
    QVERIFY(writeBytes(file("three.txt"), "a\r\nb\r\nc\r\n"));
    QCOMPARE(separateListing(file("three.txt"), file("o.txt"), QStringLiteral("=")).message(),
             messages::listingTooShort(QDir::toNativeSeparators(file("three.txt")), 3));
    QVERIFY(writeBytes(file("one.txt"), "a\r\n"));
    QCOMPARE(separateListing(file("one.txt"), file("o.txt"), QStringLiteral("=")).message(),
             QStringLiteral("El archivo «%1» tiene 1 línea: el encabezado ocupa cuatro.")
                 .arg(QDir::toNativeSeparators(file("one.txt"))));
    QCOMPARE(separateListing(file("four.txt"), file("o.txt"), QString()).message(), messages::kEmptySeparator);
    QCOMPARE(separateListing(file("none.txt"), file("o.txt"), QStringLiteral("=")).message(),
             FileStatus::failure(FileError::NotFound, file("none.txt")).message());
    QCOMPARE(readBytes(file("o.txt")), QByteArray("kept"));
}

void tst_DictionaryEngine::caseCopies()
{
    QVERIFY(writeBytes(file("w.txt"), "\xe1rbol\r\n\r\nNi\xf1o"));
    QVERIFY(copyWithCase(file("w.txt"), file("u.txt"), CaseOption::Upper).ok());
    QCOMPARE(readBytes(file("u.txt")), QByteArray("\xc1RBOL\r\n\r\nNI\xd1O\r\n"));
    QVERIFY(copyWithCase(file("u.txt"), file("u.txt"), CaseOption::Lower).ok()); // in place
    QCOMPARE(readBytes(file("u.txt")), QByteArray("\xe1rbol\r\n\r\nni\xf1o\r\n"));
    QVERIFY(!copyWithCase(file("w.txt"), file("x/u.txt"), CaseOption::Upper).ok());

    // Every byte of the code page, through the byte path and the Unicode path alike.
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            all.append(char(b));
    }
    QVERIFY(writeBytes(file("all.txt"), all + "\r\n"));
    QVERIFY(writeBytes(file("all8.txt"), asUtf8(all + "\r\n")));
    for (const CaseOption option : {CaseOption::Upper, CaseOption::Lower}) {
        QVERIFY(copyWithCase(file("all.txt"), file("b.txt"), option).ok());
        QVERIFY(copyWithCase(file("all8.txt"), file("c.txt"), option).ok());
        QCOMPARE(readBytes(file("b.txt")), readBytes(file("c.txt")));
        // The program's rules: ß and µ unchanged, ÿ and Ÿ, š, œ and ž pair up.
        const QByteArray converted = readBytes(file("b.txt"));
        QCOMPARE(converted.at(0xDF - 2), '\xdf');
        QCOMPARE(converted.at(0xB5 - 2), '\xb5');
        QCOMPARE(converted.at(0xFF - 2), option == CaseOption::Upper ? '\x9f' : '\xff');
        QCOMPARE(converted.at(0x9F - 2), option == CaseOption::Upper ? '\x9f' : '\xff');
        QCOMPARE(converted.at(0x9A - 2), option == CaseOption::Upper ? '\x8a' : '\x9a');
        QCOMPARE(converted.at(0x8C - 2), option == CaseOption::Upper ? '\x8c' : '\x9c');
        QCOMPARE(converted.at(0x9E - 2), option == CaseOption::Upper ? '\x8e' : '\x9e');
    }

    // A byte-order mark before a Windows-1252 byte: the file is Windows-1252 and keeps every byte.
    QVERIFY(writeBytes(file("b.lex"),
                       "\xef\xbb\xbf"
                       "caf\xe9\r\n"));
    QVERIFY(copyWithCase(file("b.lex"), file("b.lex"), CaseOption::Lower).ok());
    QCOMPARE(readBytes(file("b.lex")),
             QByteArray("\xef\xbb\xbf"
                        "caf\xe9\r\n"));
}

void tst_DictionaryEngine::combine_bandsFollowTheDraws()
{
    QByteArray a;
    QByteArray b;
    for (int i = 0; i < 500; ++i) {
        a += "a" + QByteArray::number(i) + "\r\n";
        b += "b" + QByteArray::number(i) + "\r\n";
    }
    QVERIFY(writeBytes(file("a.txt"), a));
    QVERIFY(writeBytes(file("b.txt"), b + "extra\r\n"));
    QVERIFY(writeBytes(file("b8.txt"), asUtf8(b + "extra\r\n")));
    std::array<CombinerRow, kCombinerRows> rows{};
    rows[0] = {true, file("a.txt"), 30};
    rows[1] = {true, file("b.txt"), 70};

    RandomSource random;
    random.seed(9);
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());

    // The draws, made again: 1 to 30 take row 0, 31 to 100 row 1.
    RandomSource reference;
    reference.seed(9);
    QByteArray expected;
    for (int i = 0; i < 500; ++i) {
        const int r = int(std::floor(reference.nextUnit() * 100)) + 1;
        expected += (r <= 30 ? "a" : "b") + QByteArray::number(i) + "\r\n";
    }
    QCOMPARE(readBytes(file("o.txt")), expected);
    QCOMPARE(random.nextUnit(), reference.nextUnit()); // one draw per pass, no more

    // A UTF-8 source takes the Unicode path: the same lines.
    rows[1].path = file("b8.txt");
    random.seed(9);
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());
    QCOMPARE(readBytes(file("o.txt")), expected);

    // Only row 0 at 100: a copy.
    rows[1].inUse = false;
    rows[1].percentage = 0;
    rows[0].percentage = 100;
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());
    QCOMPARE(readBytes(file("o.txt")), a);

    // A row out of use with a positive percentage writes empty lines.
    rows[0].percentage = 0;
    rows[4] = {false, QString(), 100};
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());
    QCOMPARE(readBytes(file("o.txt")), QByteArray("\r\n").repeated(500));

    QVERIFY(writeBytes(file("e.txt"), ""));
    rows[0] = {true, file("e.txt"), 100};
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());
    QCOMPARE(readBytes(file("o.txt")), QByteArray());
}

void tst_DictionaryEngine::combine_percentagesNotSummingTo100()
{
    QVERIFY(writeBytes(file("a.txt"), QByteArray("a\r\n").repeated(2000)));
    QVERIFY(writeBytes(file("b.txt"), QByteArray("b\r\n").repeated(2000)));
    std::array<CombinerRow, kCombinerRows> rows{};
    rows[0] = {true, file("a.txt"), 45};
    rows[1] = {true, file("b.txt"), 45};
    RandomSource random;
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());
    const QByteArray out = readBytes(file("o.txt"));
    const qsizetype lines = out.count("\r\n");
    QVERIFY2(lines > 1700 && lines < 1900, QByteArray::number(lines).constData()); // about one in ten missing

    // A negative percentage moves later bands down, so one pass may write two lines.
    rows[0] = {true, file("a.txt"), 50};
    rows[1] = {true, file("b.txt"), -20};
    rows[2] = {true, file("b.txt"), 70};
    QVERIFY(combineSources(rows, file("o.txt"), random).ok());
    QVERIFY(readBytes(file("o.txt")).count("\r\n") > 2000);
}

void tst_DictionaryEngine::combine_failures()
{
    QVERIFY(writeBytes(file("a.txt"), "1\r\n2\r\n3\r\n"));
    QVERIFY(writeBytes(file("short.txt"), "1\r\n"));
    QVERIFY(writeBytes(file("o.txt"), "kept"));
    std::array<CombinerRow, kCombinerRows> rows{};
    RandomSource random;
    QCOMPARE(combineSources(rows, file("o.txt"), random).message(), messages::kFirstRowNotInUse);

    rows[0] = {true, file("a.txt"), 50};
    rows[3] = {true, QString(), 50};
    QCOMPARE(combineSources(rows, file("o.txt"), random).message(), messages::rowWithoutFile(3));

    rows[3] = {true, file("short.txt"), 50};
    QCOMPARE(combineSources(rows, file("o.txt"), random).message(),
             messages::sourceTooShort(QDir::toNativeSeparators(file("short.txt")), 3));

    rows[3] = {true, file("none.txt"), 50};
    QCOMPARE(combineSources(rows, file("o.txt"), random).message(),
             FileStatus::failure(FileError::NotFound, file("none.txt")).message());
    rows[3] = {};
    QCOMPARE(combineSources(rows, QString(), random).message(),
             FileStatus::failure(FileError::EmptyName, QString()).message());
    QCOMPARE(readBytes(file("o.txt")), QByteArray("kept"));
}

void tst_DictionaryEngine::exportLines_data()
{
    QTest::addColumn<QByteArray>("origin");
    QTest::addColumn<QByteArray>("translation");
    QTest::addColumn<int>("originCase");
    QTest::addColumn<int>("translationCase");
    QTest::addColumn<bool>("omit");
    QTest::addColumn<QByteArray>("output");
    const int up = int(CaseOption::Upper);
    const int low = int(CaseOption::Lower);
    const int same = int(CaseOption::Unchanged);
    QTest::newRow("unchanged") << QByteArray("agua\r\nfuego\r\n") << QByteArray("ulmi\r\ntarno\r\n") << same << same
                               << false << QByteArray("agua = ulmi\r\nfuego = tarno\r\n");
    QTest::newRow("upper") << QByteArray("agua\r\nfuego\r\n") << QByteArray("ulmi\r\ntarno\r\n") << up << up << false
                           << QByteArray("AGUA = ULMI\r\nFUEGO = TARNO\r\n");
    QTest::newRow("repetition") << QByteArray("casa\r\ncasa\r\nperro\r\n") << QByteArray("house\r\nhome\r\ndog\r\n")
                                << same << same << true << QByteArray("casa = house\r\nperro = dog\r\n");
    QTest::newRow("null then repetition")
        << QByteArray("casa\r\ncasa\r\n") << QByteArray("\r\nhouse\r\n") << same << same << true << QByteArray();
    QTest::newRow("blank translation dropped")
        << QByteArray("a\r\n") << QByteArray("   \r\n") << same << same << true << QByteArray();
    QTest::newRow("blank translation kept")
        << QByteArray("a\r\n") << QByteArray("   \r\n") << same << same << false << QByteArray("a =    \r\n");
    QTest::newRow("case makes repetitions") << QByteArray("Casa\r\ncasa\r\n") << QByteArray("x\r\ny\r\n") << low << same
                                            << true << QByteArray("casa = x\r\n");
    QTest::newRow("unchanged case, two entries") << QByteArray("Casa\r\ncasa\r\n") << QByteArray("x\r\ny\r\n") << same
                                                 << same << true << QByteArray("Casa = x\r\ncasa = y\r\n");
    QTest::newRow("not adjacent is no repetition") << QByteArray("a\r\nb\r\na\r\n") << QByteArray("1\r\n2\r\n3\r\n")
                                                   << same << same << true << QByteArray("a = 1\r\nb = 2\r\na = 3\r\n");
    QTest::newRow("blanks kept, trimmed for the test") << QByteArray(" a \r\na\r\n") << QByteArray(" 1 \r\n2\r\n")
                                                       << same << same << true << QByteArray(" a  =  1 \r\n");
    // Blanks on the line compared with the one before: the test trims both.
    QTest::newRow("repetition with blanks of its own")
        << QByteArray("a\r\n  a \r\n") << QByteArray("1\r\n2\r\n") << same << same << true << QByteArray("a = 1\r\n");
    QTest::newRow("different blanks, same word") << QByteArray(" a\r\na  \r\nb\r\n") << QByteArray("1\r\n2\r\n3\r\n")
                                                 << same << same << true << QByteArray(" a = 1\r\nb = 3\r\n");
    QTest::newRow("blanks and tabs") << QByteArray("a\r\n a\t\r\n") << QByteArray("1\r\n2\r\n") << same << same << true
                                     << QByteArray("a = 1\r\n a\t = 2\r\n");
    QTest::newRow("empty first origin dropped")
        << QByteArray("\r\nb\r\n") << QByteArray("1\r\n2\r\n") << same << same << true << QByteArray("b = 2\r\n");
    QTest::newRow("empty origin") << QByteArray() << QByteArray("x\r\n") << up << up << false << QByteArray();
    QTest::newRow("longer translation") << QByteArray("a\r\n") << QByteArray("1\r\n2\r\n3\r\n") << same << same << false
                                        << QByteArray("a = 1\r\n");
    QTest::newRow("accents upper") << QByteArray("\xf1"
                                                 "and\xfa\r\n")
                                   << QByteArray("\xe1\r\n") << up << up << false
                                   << QByteArray("\xd1"
                                                 "AND\xda = \xc1\r\n");
}

void tst_DictionaryEngine::exportLines()
{
    QFETCH(QByteArray, origin);
    QFETCH(QByteArray, translation);
    QFETCH(int, originCase);
    QFETCH(int, translationCase);
    QFETCH(bool, omit);
    QFETCH(QByteArray, output);
    QVERIFY(writeBytes(file("o.txt"), origin));
    QVERIFY(writeBytes(file("t.txt"), translation));
    QVERIFY(exportDictionary(file("o.txt"), file("t.txt"), file("d.dic"), CaseOption(originCase),
                             CaseOption(translationCase), omit)
                .ok());
    QCOMPARE(readBytes(file("d.dic")), output);
    QVERIFY(writeBytes(file("o8.txt"), asUtf8(origin)));
    QVERIFY(exportDictionary(file("o8.txt"), file("t.txt"), file("d8.dic"), CaseOption(originCase),
                             CaseOption(translationCase), omit)
                .ok());
    QCOMPARE(readBytes(file("d8.dic")), output);
}

void tst_DictionaryEngine::export_failuresAndSameFile()
{
    QVERIFY(writeBytes(file("o.txt"), "a\r\nb\r\nc\r\n"));
    QVERIFY(writeBytes(file("t.txt"), "1\r\n"));
    QVERIFY(writeBytes(file("d.dic"), "kept"));
    QCOMPARE(exportDictionary(file("o.txt"), file("t.txt"), file("d.dic"), CaseOption::Upper, CaseOption::Upper, false)
                 .message(),
             QStringLiteral("El archivo de traducción «%1» tiene solo 1 línea, menos que el archivo de origen.")
                 .arg(QDir::toNativeSeparators(file("t.txt"))));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("kept"));
    QCOMPARE(exportDictionary(file("none"), file("t.txt"), file("d.dic"), CaseOption::Upper, CaseOption::Upper, false)
                 .message(),
             FileStatus::failure(FileError::NotFound, file("none")).message());

    // Origin and destination may be the same file.
    QVERIFY(writeBytes(file("t.txt"), "1\r\n2\r\n3\r\n"));
    QVERIFY(exportDictionary(file("o.txt"), file("t.txt"), file("o.txt"), CaseOption::Unchanged, CaseOption::Unchanged,
                             false)
                .ok());
    QCOMPARE(readBytes(file("o.txt")), QByteArray("a = 1\r\nb = 2\r\nc = 3\r\n"));
}

QTEST_APPLESS_MAIN(tst_DictionaryEngine)
#include "tst_dictionary_engine.moc"
