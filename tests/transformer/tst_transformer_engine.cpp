#include "common/linereader.h"
#include "common/linesource.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "testfiles.h"
#include "transformer/rulefile.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"
#include "transformer/workshoprun.h"

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

const QStringList kLatinCategories{"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g"};

// One word through an extended list: the categories above, then `rules`.
QString extendedWord(const QString &word, const QStringList &rules, const QStringList &head = kLatinCategories)
{
    const RuleSet set(head + rules);
    if (!set.ok())
        return set.validity().message();
    return transformedWord(word, head + rules);
}

// The extended notation done the slow, obvious way: at every place, every
// choice of members in order of preference, every way of fitting the
// environment and the exception. Categories are single letters with the
// members given; other characters are themselves.
class BruteForce {
public:
    explicit BruteForce(QHash<QChar, QStringList> categories)
        : categories_(std::move(categories))
    {
    }

    // The rule's parts as written ("" when absent), the target's and the
    // replacement's edge marks included.
    QString apply(const QString &word, const QString &target, const QString &replacement, const QString &environment,
                  const QString &exception) const
    {
        QString core = target;
        const bool atStart = core.startsWith(u'#');
        if (atStart)
            core.remove(0, 1);
        const bool atEnd = core.endsWith(u'#');
        if (atEnd)
            core.chop(1);
        QString bare = replacement;
        if (atStart)
            bare.remove(0, 1);
        if (atEnd)
            bare.chop(1);
        QString result;
        qsizetype copied = 0;
        for (qsizetype p = 0; p <= word.size();) {
            qsizetype end = -1;
            QString replacementText;
            for (const QList<int> &choice : choices(core)) {
                const QString text = expand(core, choice);
                const qsizetype q = p + text.size();
                if (!QStringView(word).sliced(p).startsWith(text) || (atStart && p != 0) || (atEnd && q != word.size()))
                    continue;
                if (!environment.isEmpty() && !fits(word, environment, p, q))
                    continue;
                if (!exception.isEmpty() && fits(word, exception, p, q))
                    continue;
                end = q;
                replacementText = expand(bare, choice);
                break;
            }
            if (end < 0) {
                ++p;
                continue;
            }
            result += word.mid(copied, p - copied) + replacementText;
            copied = end;
            p = end > p ? end : p + 1;
        }
        return result + word.mid(copied);
    }

private:
    // Every choice of members for the categories of a text, in order of
    // preference: the first category's longest member first, and so on.
    QList<QList<int>> choices(const QString &text) const
    {
        QList<QList<int>> all{{}};
        for (const QChar c : text) {
            if (!categories_.contains(c))
                continue;
            const QStringList &members = categories_.value(c);
            QList<int> order;
            for (int i = 0; i < members.size(); ++i)
                order.append(i);
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return members.at(a).size() > members.at(b).size(); });
            QList<QList<int>> longer;
            for (const QList<int> &prefix : all) {
                for (const int member : order)
                    longer.append(prefix + QList<int>{member});
            }
            all = longer;
        }
        return all;
    }

    // The k-th category of the text takes member choice[k].
    QString expand(const QString &text, const QList<int> &choice) const
    {
        QString out;
        qsizetype k = 0;
        for (const QChar c : text)
            out += categories_.contains(c) ? categories_.value(c).at(choice.at(k++)) : QString(c);
        return out;
    }

    bool fits(const QString &word, const QString &context, qsizetype p, qsizetype q) const
    {
        const qsizetype place = context.indexOf(u'_');
        QString left = context.left(place);
        QString right = context.mid(place + 1);
        const bool leftEdge = left.startsWith(u'#');
        const bool rightEdge = right.endsWith(u'#');
        if (leftEdge)
            left.remove(0, 1);
        if (rightEdge)
            right.chop(1);
        bool leftFits = false;
        for (const QList<int> &choice : choices(left)) {
            const QString text = expand(left, choice);
            leftFits = leftFits || (QStringView(word).first(p).endsWith(text) && (!leftEdge || text.size() == p));
        }
        if (!leftFits)
            return false;
        for (const QList<int> &choice : choices(right)) {
            const QString text = expand(right, choice);
            if (QStringView(word).sliced(q).startsWith(text) && (!rightEdge || q + text.size() == word.size()))
                return true;
        }
        return false;
    }

    QHash<QChar, QStringList> categories_;
};

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

    void extended_data();
    void extended();
    void extended_errors_data();
    void extended_errors();
    void misplacedMarker_refusesEitherNotation_data();
    void misplacedMarker_refusesEitherNotation();
    void extended_matchesTheBruteForceReference();
    void extended_sporadicRulesAreSeeded();
    void extended_reportAndTraceNameLines();
    void extended_longWordsAndHostileCategories();
    void surrogatePairs_areOneCharacter();
    void example_latinToCastilian();
    void workshop_runIsTheCommandLines();
    void workshop_tracesFollowTheDrawsAndRunsCanBeAbandoned();
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

void tst_TransformerEngine::extended_data()
{
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QStringList &rules, const char *word, const char *expected) {
        QTest::newRow(name) << rules << QString::fromUtf8(word) << QString::fromUtf8(expected);
    };
    // Voicing between vowels: every match is found on the word before the rule.
    const QStringList voicing{"P>B/V_V"};
    row("voicing lupa", voicing, "lupa", "luba");
    row("voicing vita", voicing, "vita", "vida");
    row("voicing pataka", voicing, "pataka", "padaga");
    row("voicing apta", voicing, "apta", "apta");
    row("final m lupum", {"m>/_#"}, "lupum", "lupu");
    row("final m amor", {"m>/_#"}, "amor", "amor");
    const QStringList prothesis{">e/#_sP"};
    row("prothesis spata", prothesis, "spata", "espata");
    row("prothesis stare", prothesis, "stare", "estare");
    row("prothesis sal", prothesis, "sal", "sal");
    row("prothesis sena", prothesis, "sena", "sena");
    row("exception lupu", {"u>o/_#//l_"}, "lupu", "lupo");
    row("exception malu", {"u>o/_#//l_"}, "malu", "malu");
    row("?100 is the rule", {"C=P,B,s,m,n,l,r", "e>ie/C_C ?100"}, "terra", "tierra");
    row("diphthong", {"C=P,B,s,m,n,l,r", "e>ie/C_C"}, "pede", "piede");
    // Today's edge rules.
    row("initial k", {"#k>#g"}, "kasa", "gasa");
    row("final o", {"o#>u#"}, "koko", "koku");
    row("initial deletion", {"#ka>"}, "kasa", "sa");
    row("initial insertion", {"#>#es"}, "perro", "esperro");
    row("whole word", {"#a#>#e#"}, "a", "e");
    row("whole word, longer word", {"#a#>#e#"}, "casa", "casa");
    // Categories.
    row("longest member first", {"C=c,ch", "C>x"}, "chico", "xixo");
    row("shorter member where the longer fails", {"C=t,ts", "C>x//_a"}, "tsa", "xsa");
    row("members paired by index", {"S=ch,sh,k", "T=c,s,kk", "S>T"}, "chashk", "caskk");
    row("category of categories", {"C=P,B", "C>x"}, "pbtg", "xxxx");
    row("redefinition", {"W=a", "W>o", "W=e", "W>i"}, "ae", "oi");
    row("undefined capital is a letter", {"X>y"}, "aXb", "ayb");
    row("category in the environment only", {"s>z/V_V"}, "asas", "azas");
    row("second category not carried over", {"PV>pe"}, "ta", "pe");
    // Simultaneous application.
    row("one pass over the old word", {"a>b/_a"}, "aaa", "bba");
    row("no overlaps", {"aa>b"}, "aaaaa", "bba");
    row("insertion between vowels", {">j/V_V"}, "aia", "ajija");
    row("insertion everywhere", {">x/_"}, "ab", "xaxbx");
    row("deletion", {"h>"}, "haha", "aa");
    row("exception only", {"s>z//_#"}, "sases", "zazes");
    row("edges on both sides", {"a>o/#_#"}, "a", "o");
    row("rules in order", {"P>B/V_V", "B>/V_V"}, "pataka", "paaa");
    // Notation.
    row("spaces do not count", {"P > B / V _ V"}, "pata", "pada");
    row("comments and blank lines", {"; un comentario", "", "   ", "  ;otro", "a>e"}, "pata", "pete");
    row("no categories needed", {"ct>it"}, "nocte", "noite");
}

void tst_TransformerEngine::extended()
{
    QFETCH(QStringList, rules);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(extendedWord(word, rules), expected);
}

void tst_TransformerEngine::extended_errors_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *line, int position, const char *reason) {
        QTest::newRow(line) << QString::fromUtf8(line) << position << QString::fromUtf8(reason);
    };
    row("P>BB/V_V", 4, "la categoría B del sustituto no tiene pareja en el objetivo");
    row("P>V", 3, "la categoría V tiene 5 miembros y su pareja del objetivo, P, tiene 3 miembros");
    row("a>b/V_V_", 8, "hay más de un «_»");
    row("a>b/VV", 4, "el entorno no tiene «_»");
    row("a>b//VV", 4, "la excepción no tiene «_»");
    row(">a", 1, "un objetivo vacío inserta el sustituto y necesita un entorno");
    row(">a//_a", 1, "un objetivo vacío inserta el sustituto y necesita un entorno");
    row("a>b ?0", 5, "«?N» va al final de la regla");
    row("a>b ?101", 5, "«?N» va al final de la regla");
    row("a>b ?x", 5, "«?N» va al final de la regla");
    row("a>b ?", 5, "«?N» va al final de la regla");
    row("a?5>b", 2, "«?N» va al final de la regla");
    row("ab", 3, "falta «>»");
    row("a>b>c", 4, "la regla tiene más de un «>»");
    row("#k>g", 4, "el objetivo empieza por «#»");
    row("k#>g", 4, "el objetivo termina en «#»");
    row("k>#g", 3, "el sustituto empieza por «#», pero el objetivo no");
    row("k>g#", 4, "el sustituto termina en «#», pero el objetivo no");
    row("a#b>c", 2, "«#» solo puede ir al principio o al final del objetivo");
    row("a>b/a#_", 6, "«#» solo puede ir al principio o al final de un entorno");
    row("a_>b", 2, "«_» solo puede ir en un entorno o una excepción");
    row("a>b/_/c", 6, "«/» de más");
    row("Z=", 2, "la categoría Z no tiene miembros");
    row("Z=a,,e", 5, "la categoría Z tiene un miembro vacío");
    row("Z=a,e,", 7, "la categoría Z tiene un miembro vacío");
    row("Z=a,#", 5, "un miembro de una categoría no puede contener «#»");
    row("@ampliada", 1, "la marca «@ampliada» tiene que ser la primera línea de la lista");
}

void tst_TransformerEngine::extended_errors()
{
    QFETCH(QString, line);
    QFETCH(int, position);
    QFETCH(QString, reason);
    const QStringList rules = kLatinCategories + QStringList{"a>e", line, "o>u"};
    const RuleSet set(rules);
    QCOMPARE(set.errors().size(), 1);
    const RuleError &error = set.errors().constFirst();
    QCOMPARE(error.line, 5);
    QCOMPARE(error.position, position);
    QVERIFY2(error.reason.startsWith(reason), qPrintable(error.reason));
    QCOMPARE(error.message(),
             QStringLiteral("Línea 6 («%1»), posición %2: %3.").arg(line, QString::number(position), error.reason));

    // The whole run is refused: nothing is written, not even the words before the fault.
    StringSink out(kMaxResultLength);
    const Outcome outcome = TransformarTexto(QStringLiteral("pata,lobo"), set, nullptr, out);
    QVERIFY(!outcome.ok());
    QVERIFY(outcome.message().contains(error.message()));
    QVERIFY(out.text().isEmpty());
    QString word = QStringLiteral("pata");
    QVERIFY(set.apply(word));
    QCOMPARE(word, QStringLiteral("pata"));
}

void tst_TransformerEngine::misplacedMarker_refusesEitherNotation_data()
{
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QList<qsizetype>>("faultyLines");
    QTest::addColumn<QString>("result"); // of "ala,lobo", when the list runs
    const QStringList extendedFile{"@ampliada", "V=a,e", "l>c/V_"};
    QStringList longPlain;
    for (int i = 0; i < 140; ++i)
        longPlain.append(QStringLiteral("x%1>y").arg(i));
    QTest::newRow("extended file after a plain rule")
        << QStringList{"a>e"} + extendedFile << QList<qsizetype>{1} << QString();
    QTest::newRow("extended file twice") << extendedFile + extendedFile << QList<qsizetype>{3} << QString();
    QTest::newRow("marker past the hundred rules a plain run applies")
        << longPlain + extendedFile << QList<qsizetype>{140} << QString();
    QTest::newRow("two markers below a plain rule")
        << QStringList{"a>e", "@ampliada", "@ampliada"} << QList<qsizetype>{1, 2} << QString();
    // Only the marker itself: other lines without ">" are no plain rules and change nothing.
    QTest::newRow("marker with a space") << QStringList{"a>e", "@ampliada ", "o>u"} << QList<qsizetype>{}
                                         << QStringLiteral("ele\r\nlubu\r\n");
    QTest::newRow("marker in capitals") << QStringList{"a>e", "@AMPLIADA"} << QList<qsizetype>{}
                                        << QStringLiteral("ele\r\nlobo\r\n");
}

void tst_TransformerEngine::misplacedMarker_refusesEitherNotation()
{
    QFETCH(QStringList, rules);
    QFETCH(QList<qsizetype>, faultyLines);
    QFETCH(QString, result);
    const RuleSet set(ruleTable(rules));
    QList<qsizetype> lines;
    for (const RuleError &error : set.errors()) {
        lines.append(error.line);
        QCOMPARE(error.message(),
                 QStringLiteral("Línea %1 («@ampliada»), posición 1: la marca «@ampliada» tiene que "
                                "ser la primera línea de la lista.")
                     .arg(error.line + 1));
    }
    QCOMPARE(lines, faultyLines);

    // A refused list writes nothing.
    StringSink out(kMaxResultLength);
    const Outcome outcome = TransformarTexto(QStringLiteral("ala,lobo"), set, nullptr, out);
    QCOMPARE(outcome.ok(), faultyLines.isEmpty());
    QCOMPARE(out.text(), result);
}

void tst_TransformerEngine::extended_matchesTheBruteForceReference()
{
    // Random rules over categories whose members overlap and differ in
    // length, with environments, exceptions and edges, against the slow
    // reference: every result must be the same.
    const QHash<QChar, QStringList> categories{
        {u'V', {"a", "b"}}, {u'W', {"ab", "c"}}, {u'Z', {"b", "ca", "a"}}, {u'Y', {"c", "ab", "b"}}};
    const QStringList head{"@ampliada", "V=a,b", "W=ab,c", "Z=b,ca,a", "Y=c,ab,b"};
    const BruteForce reference(categories);
    RandomSource random;
    random.seed(21);
    const auto pick = [&](const QString &from) {
        return from.at(qsizetype(random.nextIndex(std::uint64_t(from.size()))));
    };
    const auto text = [&](int longest, const QString &from) {
        QString out;
        for (std::uint64_t n = random.nextIndex(std::uint64_t(longest) + 1); n > 0; --n)
            out += pick(from);
        return out;
    };
    const auto context = [&]() {
        QString out = text(2, QStringLiteral("abcVWZ")) + QLatin1Char('_') + text(2, QStringLiteral("abcVWZ"));
        if (random.nextIndex(4) == 0)
            out.prepend(u'#');
        if (random.nextIndex(4) == 0)
            out.append(u'#');
        return out;
    };
    int changed = 0;
    for (int round = 0; round < 3000; ++round) {
        QString target = text(3, QStringLiteral("abcVWZY"));
        // The k-th category of the replacement has the size of the target's k-th.
        QString replacement = text(2, QStringLiteral("abc"));
        for (const QChar c : std::as_const(target)) {
            if (!categories.contains(c))
                continue;
            if (random.nextIndex(3) == 0)
                break;
            replacement += pick(categories.value(c).size() == 2 ? QStringLiteral("VW") : QStringLiteral("ZY"));
            replacement += text(1, QStringLiteral("abc"));
        }
        replacement += text(1, QStringLiteral("abc"));
        const QString environment = target.isEmpty() || random.nextIndex(2) == 0 ? context() : QString();
        const QString exception = random.nextIndex(3) == 0 ? context() : QString();
        if (!target.isEmpty() && random.nextIndex(6) == 0) {
            target.prepend(u'#');
            replacement.prepend(u'#');
        }
        if (!target.isEmpty() && random.nextIndex(6) == 0) {
            target.append(u'#');
            replacement.append(u'#');
        }
        QString rule = target + QLatin1Char('>') + replacement;
        if (!environment.isEmpty())
            rule += QLatin1Char('/') + environment;
        if (!exception.isEmpty())
            rule += QStringLiteral("//") + exception;
        const QString word = text(10, QStringLiteral("abc"));
        const QString expected = reference.apply(word, target, replacement, environment, exception);
        const QString got = extendedWord(word, {rule}, head);
        QVERIFY2(got == expected,
                 qPrintable(QStringLiteral("«%1» through «%2»: «%3», expected «%4»").arg(word, rule, got, expected)));
        changed += got != word;
    }
    QVERIFY2(changed > 500, qPrintable(QString::number(changed))); // the rules really did something
}

void tst_TransformerEngine::extended_sporadicRulesAreSeeded()
{
    const QStringList rules{"@ampliada", "C=p,t,k,b,d,g,s,m,n,l,r", "e>ie/C_C ?1"};
    const RuleSet set(rules);
    QVERIFY(set.hasSporadicRules());
    const QString source = QStringLiteral("pet,").repeated(100'000);
    const auto run = [&](double seed) {
        RandomSource random;
        random.seed(seed);
        StringSink out(kMaxResultLength);
        const bool ok = TransformarTexto(source, set, nullptr, out, nullptr, &random).ok();
        return ok ? out.take() : QString();
    };
    const QString first = run(7);
    QCOMPARE(run(7), first); // the same seed changes the same matches
    QVERIFY(run(8) != first);
    const qsizetype changed = first.count(QStringLiteral("piet"));
    QVERIFY2(changed > 800 && changed < 1200, qPrintable(QString::number(changed))); // 1 % of 100,000

    // ?100 is the plain rule: it draws nothing, so a later sporadic rule is unaffected.
    const QString words = QStringLiteral("pet,tek,kep,").repeated(200);
    const auto through = [&](const QStringList &list) {
        StringSink out(kMaxResultLength);
        RandomSource random; // the default seed, as every run of the window
        const bool ok = TransformarTexto(words, RuleSet(list), nullptr, out, nullptr, &random).ok();
        return ok ? out.take() : QString();
    };
    const QString with100 = through({"@ampliada", "t>d ?100", "e>i ?50"});
    QVERIFY(with100.contains(QStringLiteral("pid")) && with100.contains(QStringLiteral("ped")));
    QCOMPARE(with100, through({"@ampliada", "t>d", "e>i ?50"}));
    // Without a source of its own a run starts from the default seed.
    StringSink out(kMaxResultLength);
    QVERIFY(TransformarTexto(words, RuleSet({"@ampliada", "t>d ?100", "e>i ?50"}), nullptr, out).ok());
    QCOMPARE(out.text(), with100);
}

void tst_TransformerEngine::extended_reportAndTraceNameLines()
{
    const QStringList rules{"@ampliada", "; voicing", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g",
                            "P>B/V_V",   "",          "x>y",         "#k>#g"};
    RuleReport report(rules);
    StringSink out(kMaxResultLength);
    QVERIFY(TransformarTexto(QStringLiteral("kapa,pata,lulu"), RuleSet(rules), nullptr, out, &report).ok());
    QCOMPARE(out.text(), QStringLiteral("gaba\r\npada\r\nlulu\r\n"));
    QCOMPARE(report.text(),
             QStringLiteral("Informe de las reglas\n"
                            "6. P>B/V_V: 2 palabras cambiadas (kapa → kaba; pata → pada)\n"
                            "8. x>y: 0 palabras cambiadas\n"
                            "9. #k>#g: 1 palabra cambiada (kaba → gaba)\n"
                            "Palabras cambiadas: 2. Sin cambios: 1.\n"));
    QCOMPARE(traceWord(QStringLiteral("kapa"), rules),
             QStringLiteral("Traza de «kapa»:\n  kapa\n  6. P>B/V_V: kaba\n  9. #k>#g: gaba\n"));

    // A tracer shows what the run did to a word, sporadic draws included.
    const QStringList sporadic{"@ampliada", "a>o ?50"};
    WordTracer tracer(sporadic, {"aaaa", "zz"});
    RandomSource random;
    random.seed(3);
    StringSink result(kMaxResultLength);
    QVERIFY(TransformarTexto(QStringLiteral("aaaa,aaaa"), RuleSet(sporadic), nullptr, result, &tracer, &random).ok());
    const QString firstResult = result.text().section(QStringLiteral("\r\n"), 0, 0);
    QVERIFY(tracer.traced(QStringLiteral("aaaa")));
    QVERIFY(!tracer.traced(QStringLiteral("zz")));
    QCOMPARE(tracer.trace(QStringLiteral("aaaa")),
             firstResult == QStringLiteral("aaaa")
                 ? QStringLiteral("Traza de «aaaa»:\n  aaaa\n")
                 : QStringLiteral("Traza de «aaaa»:\n  aaaa\n  2. a>o ?50: %1\n").arg(firstResult));
}

void tst_TransformerEngine::extended_longWordsAndHostileCategories()
{
    // A long word through environments, an insertion and a deletion: pata
    // pata... becomes pada bada..., then pahdahbahda..., then pahahaha...
    QString word = QStringLiteral("pata").repeated(50'000);
    QVERIFY(RuleSet(kLatinCategories + QStringList{"P>B/V_V", ">h/V_B", "B>/h_"}).apply(word));
    QCOMPARE(word, QStringLiteral("pa") + QStringLiteral("ha").repeated(2 * 50'000 - 1));

    // Categories whose members overlap in length, many in a row: the search
    // over their choices must not explode (2^40 ways without remembering).
    QStringList hostile{"@ampliada", "A=a,aa"};
    hostile.append(QString(40, QLatin1Char('A')) + QStringLiteral("b>x"));
    word = QString(80, QLatin1Char('a'));
    QVERIFY(RuleSet(hostile).apply(word));
    QCOMPARE(word, QString(80, QLatin1Char('a')));
    word += QLatin1Char('b');
    QVERIFY(RuleSet(hostile).apply(word));
    QCOMPARE(word, QStringLiteral("x"));

    // Runaway growth stops as with plain rules.
    word = QStringLiteral("a");
    const QString growth = QStringLiteral("a>") + QString(16, QLatin1Char('a')) + QStringLiteral("/_");
    QVERIFY(!RuleSet(QStringList{"@ampliada"} + QStringList(10, growth)).apply(word));
    QVERIFY(word.size() <= kMaxWordLength);
}

void tst_TransformerEngine::surrogatePairs_areOneCharacter()
{
    const QString smile = QString::fromUtf8("😀");
    // Insertion steps over the whole pair, in both notations.
    QCOMPARE(transformedWord(smile, {">x"}), QStringLiteral("x") + smile + QStringLiteral("x"));
    QCOMPARE(transformedWord(QStringLiteral("a") + smile, {"@ampliada", ">x/_"}),
             QStringLiteral("xax") + smile + QStringLiteral("x"));
    // An edge rule drops the replacement's first or last character whole.
    QCOMPARE(transformedWord(QStringLiteral("ka"), {QStringLiteral("#k>") + smile + QStringLiteral("g")}),
             QStringLiteral("ga"));
    QCOMPARE(transformedWord(QStringLiteral("ko"), {QStringLiteral("o#>u") + smile}), QStringLiteral("ku"));
    // A category member may be such a character.
    QCOMPARE(transformedWord(QStringLiteral("a") + smile,
                             {"@ampliada", QStringLiteral("E=") + smile + QStringLiteral(",b"), "E>c/a_"}),
             QStringLiteral("ac"));
}

void tst_TransformerEngine::example_latinToCastilian()
{
    // The example installed with the program does what its comments say.
    QStringList rules;
    QVERIFY(readRuleFile(QStringLiteral(VORDANE_EXAMPLES_DIR "/latin-castellano.sc"), rules).ok());
    const RuleSet set(rules);
    QVERIFY2(set.ok(), qPrintable(set.validity().message()));
    LineReader words(QStringLiteral(VORDANE_EXAMPLES_DIR "/latin.lex"));
    QVERIFY(words.open().ok());
    StringSink out(kMaxResultLength);
    QVERIFY(transformWordList(words, set, nullptr, out).ok());
    QCOMPARE(out.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
             QString::fromUtf8("lobo vida cabra fuego puerta tierra piedra noche ocho leche hecho hijo ojo llave "
                               "lleno llama estar escudo muerte bueno fuerte año caballo agua hierro pelo rueda "
                               "lago saber muro")
                 .split(u' '));
}

void tst_TransformerEngine::workshop_runIsTheCommandLines()
{
    // Lines cut at CR LF, CR or LF, and at commas; what the file pipeline gives, word for word.
    const QString source = QStringLiteral("pataka\r\nlupum,vita\rapta\n\r\n,kasa,\r\nfin\r\n");
    const QStringList rules =
        kLatinCategories + QStringList{"P>B/V_V", "m>/_#", "#k>#g", "x>y", "; nada", "e>ie/P_ ?50"};
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath("w.lex"), source.toLatin1()));
    LineReader reader(dir.filePath("w.lex"));
    QVERIFY(reader.open().ok());
    RandomSource random;
    random.seed(11);
    RuleReport fileReport(rules);
    StringSink expected(kMaxResultLength);
    QVERIFY(transformWordList(reader, RuleSet(rules), nullptr, expected, &fileReport, &random).ok());

    const auto result = runWorkshop(rules, source, 11);
    QVERIFY(result->outcome().ok());
    QCOMPARE(result->size(), 9);
    QString joined;
    for (qsizetype i = 0; i < result->size(); ++i)
        joined += result->after(i) + QStringLiteral("\r\n");
    QCOMPARE(joined, expected.text());
    QCOMPARE(result->before(1), QStringLiteral("lupum"));
    QCOMPARE(result->after(1), QStringLiteral("lubu"));
    QVERIFY(result->changed(1) && !result->changed(3) && !result->changed(4));
    QCOMPARE(result->changedCount(), 4);
    QCOMPARE(result->report().text(), fileReport.text());
    // Which words each rule changed, by their numbers in the run.
    QCOMPARE(result->report().changedWords(4), (std::vector<std::int32_t>{0, 1, 2}));
    QCOMPARE(result->report().changedWords(5), (std::vector<std::int32_t>{1}));
    QCOMPARE(result->report().changedWords(6), (std::vector<std::int32_t>{6}));
    QVERIFY(result->report().changedWords(7).empty());

    // Saved as the transformer saves its result box.
    QVERIFY(result->save(dir.filePath("out.lex")).ok());
    QCOMPARE(readBytes(dir.filePath("out.lex")), expected.text().toLatin1() + "\r\n");

    // A malformed list runs nothing.
    const auto refused = runWorkshop(kLatinCategories + QStringList{"P>V"}, source, 11);
    QVERIFY(!refused->outcome().ok());
    QCOMPARE(refused->size(), 0);
}

void tst_TransformerEngine::workshop_tracesFollowTheDrawsAndRunsCanBeAbandoned()
{
    // Sporadic rules: the trace of a word ends with the word the run made,
    // however far into the run it stands (past several snapshots).
    const QStringList rules{"@ampliada", "a>o ?50", "o>u/_# ?50", "k>g"};
    const QString source = QStringLiteral("kaaa\n").repeated(10'000);
    const auto result = runWorkshop(rules, source, 3);
    QCOMPARE(result->size(), 10'000);
    QVERIFY(result->changedCount() > 9000);
    for (const qsizetype word : {qsizetype(0), qsizetype(4095), qsizetype(4096), qsizetype(9999)}) {
        const QString trace = result->trace(word);
        QVERIFY2(trace.endsWith(QStringLiteral(": %1\n").arg(result->after(word))), qPrintable(trace));
    }

    // An abandoned run stops at once and says so.
    RunControl control;
    control.abandoned = true;
    const auto abandoned = runWorkshop(rules, source, 3, &control);
    QVERIFY(abandoned->abandoned());
    QCOMPARE(abandoned->size(), 0);
    RunControl progress;
    QVERIFY(!runWorkshop(rules, source, 3, &progress)->abandoned());
    QCOMPARE(progress.done.load(), source.size());
}

QTEST_APPLESS_MAIN(tst_TransformerEngine)
#include "tst_transformer_engine.moc"
