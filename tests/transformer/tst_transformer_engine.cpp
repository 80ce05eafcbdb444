#include "common/linereader.h"
#include "common/linesource.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "testfiles.h"
#include "transformer/rulefile.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

namespace {

QString transformedWord(QString word, const QStringList &rules)
{
    if (!TransformarPalabra(word, RuleSet(rules)))
        return QStringLiteral("(too long)");
    return word;
}

QString transformedText(const QString &source, const QStringList &rules, LineSource *dictionary = nullptr)
{
    StringSink out(kMaxResultLength);
    const Outcome outcome = TransformarTexto(source, RuleSet(rules), dictionary, out);
    return outcome.ok() ? out.take() : outcome.message();
}

// The rules as first written: each replacement made in place in the word,
// the search resuming after the inserted replacement (one more character
// for an empty pattern, which matches every word, the empty one too). Quadratic, but plainly right: the reference for
// the one-pass engine.
QString referenceWord(QString word, const QStringList &rules)
{
    for (const QString &text : rules) {
        const qsizetype divider = text.indexOf(u'>');
        if (divider < 0)
            continue;
        QString pattern = text.left(divider);
        QString replacement = text.mid(divider + 1);
        if (text.contains(u'#')) {
            if (pattern.startsWith(u'#')) {
                pattern.remove(0, 1);
                replacement.remove(0, 1);
                if (word.size() >= pattern.size() && QStringView(word).left(pattern.size()) == pattern)
                    word.replace(0, pattern.size(), replacement);
            }
            if (pattern.endsWith(u'#')) {
                pattern.chop(1);
                replacement.chop(1);
                if (word.size() >= pattern.size() && QStringView(word).right(pattern.size()) == pattern)
                    word.replace(word.size() - pattern.size(), pattern.size(), replacement);
            }
            continue;
        }
        if (pattern.isEmpty() && replacement.isEmpty())
            continue;
        qsizetype from = 0;
        for (;;) {
            const qsizetype m = pattern.isEmpty() ? (from <= word.size() ? from : -1) : word.indexOf(pattern, from);
            if (m < 0)
                break;
            word.replace(m, pattern.size(), replacement);
            from = m + replacement.size() + (pattern.isEmpty() ? 1 : 0);
        }
    }
    return word;
}

} // namespace

class tst_TransformerEngine : public QObject {
    Q_OBJECT
private slots:
    void word_data();
    void word();
    void word_longAndHostileRulesEnd();
    void text_data();
    void text();
    void text_dictionaryPairing_data();
    void text_dictionaryPairing();
    void text_dictionaryFromFile();
    void ruleTable_firstHundredOnly();
    void ruleFile_bytes();
    void ruleFile_failures();
    void wordsAsSource();

    void onePass_matchesTheInPlaceReference();
    void onePass_longWordsThroughInsertionChains();
    void runaway_growthStopsWithAMessage();
    void wordList_streamsWhatTheTextWouldGive();
    void observer_seesEveryChangeOnce();
};

void tst_TransformerEngine::word_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("expected");
    QTest::newRow("initial k") << "kasa" << QStringList{"#k>#g"} << "gasa";
    QTest::newRow("initial k, second word") << "koko" << QStringList{"#k>#g"} << "goko";
    QTest::newRow("final o, no match") << "kasa" << QStringList{"o#>u#"} << "kasa";
    QTest::newRow("final o") << "koko" << QStringList{"o#>u#"} << "koku";
    QTest::newRow("empty initial pattern") << "perro" << QStringList{"#>#es"} << "esperro";
    QTest::newRow("replacement loses first char") << "kasa" << QStringList{"#ka>ga"} << "asa";
    QTest::newRow("edge rule, empty replacement") << "kasa" << QStringList{"#ka>"} << "sa";
    QTest::newRow("final, replacement loses last char") << "casa" << QStringList{"a#>e"} << "cas";
    QTest::newRow("both marks") << "casa" << QStringList{"#a#>#e#"} << "case";
    QTest::newRow("case-sensitive") << "Casa" << QStringList{"c>k"} << "Casa";
    QTest::newRow("space before >") << "ab" << QStringList{"a >b"} << "ab";
    QTest::newRow("no > is no rule") << "ab" << QStringList{"ab", "a>x"} << "xb";
    QTest::newRow("first > divides") << "a>b" << QStringList{"a>b>c"} << "b>c>b";
    QTest::newRow("rules feed each other") << "pata" << QStringList{"t>d", "d>z"} << "paza";
    QTest::newRow("other order") << "pata" << QStringList{"d>z", "t>d"} << "pada";
    QTest::newRow("every occurrence") << "banana" << QStringList{"a>o"} << "bonono";
    QTest::newRow("replacement holds pattern") << "ana" << QStringList{"n>nn"} << "anna";
    QTest::newRow("doubling every n") << "nana" << QStringList{"n>nn"} << "nnanna";
    QTest::newRow("non-overlapping from the left") << "aaa" << QStringList{"aa>b"} << "ba";
    QTest::newRow("output not re-read") << "ab" << QStringList{"a>ba"} << "bab";
    QTest::newRow("empty pattern inserts everywhere") << "ab" << QStringList{">x"} << "xaxbx";
    QTest::newRow("empty pattern in empty word") << "" << QStringList{">x"} << "x";
    QTest::newRow("empty pattern and replacement") << "ab" << QStringList{">"} << "ab";
    QTest::newRow("deletion") << "banana" << QStringList{"an>"} << "ba";
    QTest::newRow("mark inside pattern only") << "a#b" << QStringList{"a#b>x"} << "a#b";
    QTest::newRow("mark in replacement only") << "ab" << QStringList{"a>#"} << "ab";
    QTest::newRow("initial, word shorter than pattern") << "k" << QStringList{"#ka>#ga"} << "k";
    QTest::newRow("final, empty pattern appends") << "sol" << QStringList{"#>#", "#>"} << "sol";
    QTest::newRow("final, empty pattern") << "sol" << QStringList{"#>#es"} << "essol";
    QTest::newRow("only a mark, replacement cut at its start") << "sol" << QStringList{"#>es#"} << "s#sol";
    QTest::newRow("lone mark both ends") << "ala" << QStringList{"##>xy"} << "ala";
    QTest::newRow("initial then final on the new word") << "ata" << QStringList{"#a#>#o#"} << "ato";
    QTest::newRow("empty rule text") << "x" << QStringList{""} << "x";
    QTest::newRow("only >") << "x" << QStringList{">"} << "x";
    QTest::newRow("accented letters") << QString::fromUtf8("ñandú") << QStringList{QString::fromUtf8("ú#>u#")}
                                      << QString::fromUtf8("ñandu");
    QTest::newRow("spaces kept") << " a b " << QStringList{" >_"} << "_a_b_";
}

void tst_TransformerEngine::word()
{
    QFETCH(QString, word);
    QFETCH(QStringList, rules);
    QFETCH(QString, expected);
    QCOMPARE(transformedWord(word, rules), expected);
}

void tst_TransformerEngine::word_longAndHostileRulesEnd()
{
    const QString longWord(100000, QLatin1Char('a'));
    QCOMPARE(transformedWord(longWord, {"a>aa"}).size(), 200000);
    QCOMPARE(transformedWord(longWord, {">"}), longWord);
    // Empty pattern, replacement of 4999 ">": inserted before each of three characters and at the end.
    QCOMPARE(transformedWord(QStringLiteral("abc"), {QString(5000, QLatin1Char('>'))}).size(), 3 + 4 * 4999);
    // "#>>#" prefixes "#" (the replacement ">#" loses its first character); "###>###" then finds no "##" start.
    QCOMPARE(transformedWord(QStringLiteral("abc"), {QStringLiteral("#>>#"), QStringLiteral("###>###")}),
             QStringLiteral("#abc"));
    QCOMPARE(transformedWord(longWord, {QString(200000, QLatin1Char('a')) + QStringLiteral(">b")}), longWord);
}

void tst_TransformerEngine::text_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two words") << "kasa,koko" << QStringList{"#k>#g"} << "gasa\r\ngoko\r\n";
    QTest::newRow("empty word between commas") << "a,,b" << QStringList{"a>b"} << "b\r\n\r\nb\r\n";
    QTest::newRow("final comma adds nothing") << "a," << QStringList{} << "a\r\n";
    QTest::newRow("leading comma") << ",a" << QStringList{} << "\r\na\r\n";
    QTest::newRow("empty source") << "" << QStringList{"a>b"} << "";
    QTest::newRow("only a comma") << "," << QStringList{} << "\r\n";
    QTest::newRow("two final commas") << "a,," << QStringList{} << "a\r\n\r\n";
    QTest::newRow("nothing trimmed") << "casa, perro" << QStringList{} << "casa\r\n perro\r\n";
    QTest::newRow("lines are one word") << "ka\r\nka" << QStringList{"#k>#g", "a#>o#"} << "ga\r\nko\r\n";
    QTest::newRow("dictionary line is one word") << "agua = ulmi," << QStringList{"u>o"} << "agoa = olmi\r\n";
}

void tst_TransformerEngine::text()
{
    QFETCH(QString, source);
    QFETCH(QStringList, rules);
    QFETCH(QString, expected);
    QCOMPARE(transformedText(source, rules), expected);
}

void tst_TransformerEngine::text_dictionaryPairing_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("dictionary");
    QTest::addColumn<QString>("expected");
    QTest::newRow("as many lines as words")
        << "a,b,c" << QStringList{"uno", "dos", "tres"} << "uno = x\r\ndos = b\r\ntres = c\r\n";
    QTest::newRow("fewer lines") << "a,b,c" << QStringList{"uno", "dos"} << "uno = x\r\ndos = b\r\n";
    QTest::newRow("more lines") << "a,b" << QStringList{"uno", "dos", "tres"} << "uno = x\r\ndos = b\r\n";
    QTest::newRow("empty third line") << "a,b,c,d" << QStringList{"uno", "dos", ""} << "uno = x\r\ndos = b\r\n = c\r\n";
    QTest::newRow("empty dictionary") << "a,b" << QStringList{} << "";
}

void tst_TransformerEngine::text_dictionaryPairing()
{
    QFETCH(QString, source);
    QFETCH(QStringList, dictionary);
    QFETCH(QString, expected);
    StringListSource lines(dictionary);
    QCOMPARE(transformedText(source, {"a>x"}, &lines), expected);
}

void tst_TransformerEngine::text_dictionaryFromFile()
{
    QTemporaryDir dir;
    for (const QByteArray &bytes : {QByteArray("uno\r\ndos\r\ntres\r\n"), QByteArray("uno\r\ndos\r\ntres")}) {
        QVERIFY(writeBytes(dir.filePath("d.txt"), bytes));
        LineReader reader(dir.filePath("d.txt"));
        QVERIFY(reader.open().ok());
        QCOMPARE(transformedText(QStringLiteral("a,b,c,d"), {"a>x"}, &reader),
                 QStringLiteral("uno = x\r\ndos = b\r\ntres = c\r\n"));
    }
}

void tst_TransformerEngine::ruleTable_firstHundredOnly()
{
    QStringList rules;
    for (int i = 0; i < 100; ++i)
        rules.append(QStringLiteral("x%1>x%2").arg(i).arg(i + 1));
    QCOMPARE(transformedWord(QStringLiteral("x0"), ruleTable(rules)), QStringLiteral("x100"));
    rules.append(QStringLiteral("x100>fin"));
    QCOMPARE(ruleTable(rules).size(), 100);
    QCOMPARE(transformedWord(QStringLiteral("x0"), ruleTable(rules)), QStringLiteral("x100"));
    QCOMPARE(transformedWord(QStringLiteral("x0"), rules), QStringLiteral("fin"));
}

void tst_TransformerEngine::ruleFile_bytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("reglas.sc");
    const QStringList rules{" a > b ", "", "#k>#g", QString::fromUtf8("ñ>ny")};
    QVERIFY(writeRuleFile(path, rules).ok());
    QCOMPARE(readBytes(path), QByteArray(" a > b \r\n\r\n#k>#g\r\n\xf1>ny\r\n"));
    QStringList read;
    QVERIFY(readRuleFile(path, read).ok());
    QCOMPARE(read, rules);

    QVERIFY(writeRuleFile(path, {}).ok());
    QCOMPARE(readBytes(path), QByteArray());
    QVERIFY(readRuleFile(path, read).ok());
    QVERIFY(read.isEmpty());

    QVERIFY(writeBytes(path, "a>b\r\n\r\nc>d"));
    QVERIFY(readRuleFile(path, read).ok());
    QCOMPARE(read, (QStringList{"a>b", "", "c>d"}));
}

void tst_TransformerEngine::ruleFile_failures()
{
    QTemporaryDir dir;
    QStringList kept{"a>b"};
    QCOMPARE(readRuleFile(dir.filePath("no.sc"), kept).error, FileError::NotFound);
    QCOMPARE(kept, QStringList{"a>b"});
    QCOMPARE(writeRuleFile(dir.filePath("x/y.sc"), kept).error, FileError::CreateFailed);
}

void tst_TransformerEngine::wordsAsSource()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("w.lex");
    QString source;
    for (const QByteArray &bytes : {QByteArray("casa\r\nperro\r\n"), QByteArray("casa\r\nperro")}) {
        QVERIFY(writeBytes(path, bytes));
        QVERIFY(readWordsAsSource(path, source).ok());
        QCOMPARE(source, QStringLiteral("casa,perro,"));
        QCOMPARE(transformedText(source, {}), QStringLiteral("casa\r\nperro\r\n"));
    }
    QVERIFY(writeBytes(path, "a\r\n\r\nb = c, d\r\n"));
    QVERIFY(readWordsAsSource(path, source).ok());
    QCOMPARE(source, QStringLiteral("a,,b = c, d,"));
    QVERIFY(writeBytes(path, ""));
    QVERIFY(readWordsAsSource(path, source).ok());
    QVERIFY(source.isEmpty());
    source = QStringLiteral("kept");
    QCOMPARE(readWordsAsSource(dir.path(), source).error, FileError::IsDirectory);
    QCOMPARE(source, QStringLiteral("kept"));
}

void tst_TransformerEngine::onePass_matchesTheInPlaceReference()
{
    // Random words and rules over a small alphabet, so that patterns overlap,
    // repeat, grow and shrink: every result must equal the reference.
    RandomSource random;
    random.seed(2026);
    const QString alphabet = QStringLiteral("ab#>");
    const auto text = [&](int longest, const QString &letters) {
        QString result;
        for (std::uint64_t n = random.nextIndex(std::uint64_t(longest) + 1); n > 0; --n)
            result += letters.at(qsizetype(random.nextIndex(std::uint64_t(letters.size()))));
        return result;
    };
    for (int round = 0; round < 3000; ++round) {
        QStringList rules;
        for (std::uint64_t n = random.nextIndex(5) + 1; n > 0; --n)
            rules.append(text(5, alphabet));
        const QString word = text(12, QStringLiteral("ab"));
        QVERIFY2(transformedWord(word, rules) == referenceWord(word, rules),
                 qPrintable(QStringLiteral("«%1» through «%2»").arg(word, rules.join(QStringLiteral("» «")))));
    }
}

void tst_TransformerEngine::onePass_longWordsThroughInsertionChains()
{
    // A chain of insertions and deletions over a long word, checked against
    // the reference on a shorter one and by the lengths it must reach.
    const QStringList rules{">x", "a>bb", "x>", "b>", "#>#y", "y#>zz#"};
    const QString shortWord = QString(2000, QLatin1Char('a')) + QStringLiteral("ba");
    QCOMPARE(transformedWord(shortWord, rules), referenceWord(shortWord, rules));
    const QString longWord(1'000'000, QLatin1Char('a'));
    QString result = longWord;
    QVERIFY(TransformarPalabra(result, RuleSet({">x"})));
    QCOMPARE(result.size(), 2'000'001);
    QVERIFY(TransformarPalabra(result, RuleSet({"a>bb", "x>"})));
    QCOMPARE(result, QString(2'000'000, QLatin1Char('b')));
}

void tst_TransformerEngine::runaway_growthStopsWithAMessage()
{
    // Sixty doublings of "a" would need 2^60 characters.
    const QStringList rules(60, QStringLiteral("a>aa"));
    QString word = QStringLiteral("a");
    QVERIFY(!TransformarPalabra(word, RuleSet(rules)));
    QVERIFY(word.size() <= kMaxWordLength);
    QCOMPARE(transformedText(QStringLiteral("b,a"), rules), messages::wordTooLong(kMaxWordLength));
    // Edge rules too.
    QStringList edges;
    for (int i = 0; i < 40; ++i)
        edges.append(QStringLiteral("#>#") + QString(8, QLatin1Char('c')));
    QString edgeWord(kMaxWordLength - 100, QLatin1Char('x'));
    QVERIFY(!TransformarPalabra(edgeWord, RuleSet(edges)));
}

void tst_TransformerEngine::wordList_streamsWhatTheTextWouldGive()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.lex"));
    QVERIFY(writeBytes(path, "casa\r\n\r\na,b,\r\n,\r\nfin"));
    QString source;
    QVERIFY(readWordsAsSource(path, source).ok());
    const QStringList rules{"a>e", "#>#-"};
    StringListSource lines({"1", "2", "3", "4", "5", "6"});
    StringListSource sameLines({"1", "2", "3", "4", "5", "6"});
    LineReader reader(path);
    QVERIFY(reader.open().ok());
    StringSink streamed(kMaxResultLength);
    QVERIFY(transformWordList(reader, RuleSet(rules), &lines, streamed).ok());
    QCOMPARE(streamed.text(), transformedText(source, rules, &sameLines));
    QCOMPARE(streamed.text(), QStringLiteral("1 = -cese\r\n2 = -\r\n3 = -e\r\n4 = -b\r\n5 = -\r\n6 = -\r\n"));
}

void tst_TransformerEngine::observer_seesEveryChangeOnce()
{
    const QStringList rules{"a>e", "hola", "z>y", "#k>#g", "e#>e#", QStringLiteral("#a#>#a#")};
    RuleReport report(rules);
    StringSink out(kMaxResultLength);
    QVERIFY(TransformarTexto(QStringLiteral("kasa,koko,pata,mesa,u"), RuleSet(rules), nullptr, out, &report).ok());
    QCOMPARE(out.text(), QStringLiteral("gese\r\ngoko\r\npete\r\nmese\r\nu\r\n"));
    const QString text = report.text();
    QVERIFY(text.contains(QStringLiteral("5. e#>e#: 0 palabras cambiadas\n"))); // "e" replaced by "e"
    QVERIFY2(text.contains(QStringLiteral("1. a>e: 3 palabras cambiadas (kasa → kese; pata → pete; mesa → mese)")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("2. hola: no es una regla")));
    QVERIFY(text.contains(QStringLiteral("3. z>y: 0 palabras cambiadas\n")));
    QVERIFY(text.contains(QStringLiteral("4. #k>#g: 2 palabras cambiadas (kese → gese; koko → goko)")));
    QVERIFY(text.endsWith(QStringLiteral("Palabras cambiadas: 4. Sin cambios: 1.\n")));

    QCOMPARE(traceWord(QStringLiteral("kasa"), rules),
             QStringLiteral("Traza de «kasa»:\n  kasa\n  1. a>e: kese\n  4. #k>#g: gese\n"));
    QCOMPARE(traceWord(QStringLiteral("u"), rules), QStringLiteral("Traza de «u»:\n  u\n"));
}

QTEST_APPLESS_MAIN(tst_TransformerEngine)
#include "tst_transformer_engine.moc"
