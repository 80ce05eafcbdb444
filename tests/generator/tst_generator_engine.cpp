#include "common/linesource.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "generator/combinacion.h"
#include "generator/generationengine.h"
#include "generator/wordfilters.h"
#include "testfiles.h"

#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

Q_DECLARE_METATYPE(vordane::GenerationSettings)

namespace {

Combinacion consonantsAndVowels()
{
    Combinacion d = Combinacion::initial();
    d.panels[0] = {"K", QString::fromUtf8("Consonantes"), {"p", "t", "k"}};
    d.panels[1] = {"V", QString::fromUtf8("Vocales"), {"a", "i", "u"}};
    d.patterns = {"KV", "KVK"};
    return d;
}

GenerationSettings settings(double rows, double perRow, double minimum, double maximum)
{
    return {rows, perRow, minimum, maximum};
}

} // namespace

class tst_GeneratorEngine : public QObject {
    Q_OBJECT
private slots:
    void letterList_data();
    void letterList();

    void lngFile_exampleByteForByte();
    void lngFile_noPatternsIsExactly24Lines();
    void lngFile_roundTripKeepsEverything();
    void lngFile_refusesShortOrMissingFiles();

    void run_rowsAndLineEnds();
    void run_wordsInARowAreJoined();
    void run_drawOrderFollowsTheRules();
    void run_seededRunIsPinned();
    void run_patternRules_data();
    void run_patternRules();
    void run_emptyDefinitionsStillDraw();
    void run_syllableCounts();
    void run_numbersAsTyped_data();
    void run_numbersAsTyped();
    void run_dictionaryPairing();
    void run_refusesRunsTooLarge_data();
    void run_refusesRunsTooLarge();
    void run_reportsProgress();

    void filters_keepTheOrderOfAPlainRun_data();
    void filters_keepTheOrderOfAPlainRun();
    void filters_giveUpBoundedAndSayHowFar();
    void filters_refuseWordsOfFilesAndPatterns();
};

void tst_GeneratorEngine::letterList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("letters");
    QTest::addColumn<QString>("writtenBack");
    QTest::newRow("three letters") << "a,e,i" << QStringList{"a", "e", "i"} << "a,e,i";
    QTest::newRow("empty middle") << "a,,b" << QStringList{"a", "", "b"} << "a,,b";
    QTest::newRow("trailing comma") << "a,b," << QStringList{"a", "b", ""} << "a,b,";
    QTest::newRow("leading comma") << ",a" << QStringList{"", "a"} << ",a";
    QTest::newRow("digraphs") << "ts,ch" << QStringList{"ts", "ch"} << "ts,ch";
    QTest::newRow("single letter") << "a" << QStringList{"a"} << "a";
    QTest::newRow("empty text") << "" << QStringList{} << "";
    QTest::newRow("only a comma") << "," << QStringList{"", ""} << ",";
    QTest::newRow("blanks are letters") << " a, b" << QStringList{" a", " b"} << " a, b";
}

void tst_GeneratorEngine::letterList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, letters);
    QFETCH(QString, writtenBack);
    QCOMPARE(parseLetterList(text), letters);
    QCOMPARE(letterListText(letters), writtenBack);
    // A lone empty letter is written as the empty text, which reads back as no letters.
    QCOMPARE(letterListText(QStringList{QString()}), QString());
}

void tst_GeneratorEngine::lngFile_exampleByteForByte()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ejemplo.lng");
    QVERIFY(writeLngFile(path, consonantsAndVowels()).ok());
    const QByteArray expected = "Consonantes\r\nVocales\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                                "K\r\nV\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\n"
                                "p,t,k\r\na,i,u\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
                                "KV\r\nKVK\r\n";
    QCOMPARE(readBytes(path), expected);
    QCOMPARE(expected.count("\r\n"), 26);

    Combinacion read = Combinacion::initial();
    QVERIFY(readLngFile(path, read).ok());
    QCOMPARE(read, consonantsAndVowels());
}

void tst_GeneratorEngine::lngFile_noPatternsIsExactly24Lines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vacio.lng");
    Combinacion d = consonantsAndVowels();
    d.patterns.clear();
    QVERIFY(writeLngFile(path, d).ok());
    QCOMPARE(readBytes(path).count("\r\n"), 24);
    Combinacion read = consonantsAndVowels();
    QVERIFY(readLngFile(path, read).ok());
    QVERIFY(read.patterns.isEmpty());

    // An empty pattern line is an empty pattern; a last line without line end still counts.
    QVERIFY(writeBytes(path, readBytes(path) + "\r\nKV"));
    QVERIFY(readLngFile(path, read).ok());
    QCOMPARE(read.patterns, (QStringList{"", "KV"}));
}

void tst_GeneratorEngine::lngFile_roundTripKeepsEverything()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("raro.lng");
    Combinacion d = Combinacion::initial();
    d.panels[0] = {"x", QString::fromUtf8("Consonantes nasales: ñ"), {QString::fromUtf8("ŋ"), "m", ""}};
    d.panels[3] = {"AB", QString::fromUtf8("Vocales acentuadas"), {QString::fromUtf8("á"), QString::fromUtf8("é")}};
    d.panels[7] = {"", "", {}};
    d.patterns = {"x'aAB", "", "xx"};
    QVERIFY(writeLngFile(path, d).ok());
    QVERIFY(readBytes(path).startsWith("\xef\xbb\xbf")); // ŋ has no Windows-1252 byte
    Combinacion read;
    QVERIFY(readLngFile(path, read).ok());
    QCOMPARE(read, d);

    // A panel whose only letter is empty comes back without letters.
    d.panels[1].letters = {QString()};
    QVERIFY(writeLngFile(path, d).ok());
    QVERIFY(readLngFile(path, read).ok());
    QVERIFY(read.panels[1].letters.isEmpty());
}

void tst_GeneratorEngine::lngFile_refusesShortOrMissingFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("corto.lng");
    QVERIFY(writeBytes(path, QByteArray("a\r\n").repeated(23)));
    Combinacion kept = consonantsAndVowels();
    QCOMPARE(readLngFile(path, kept).error, FileError::TooShort);
    QCOMPARE(kept, consonantsAndVowels());
    QVERIFY(FileStatus::failure(FileError::TooShort, path).message().contains(QDir::toNativeSeparators(path)));

    QCOMPARE(readLngFile(dir.filePath("falta.lng"), kept).error, FileError::NotFound);
    QCOMPARE(readLngFile(dir.path(), kept).error, FileError::IsDirectory);
    QCOMPARE(kept, consonantsAndVowels());
    QCOMPARE(writeLngFile(dir.filePath("no/hay/carpeta.lng"), kept).error, FileError::CreateFailed);
}

void tst_GeneratorEngine::run_rowsAndLineEnds()
{
    RandomSource random;
    const GeneratedText result = generateText(consonantsAndVowels(), settings(100, 1, 1, 4), random);
    QVERIFY(result.outcome.ok());
    QCOMPARE(result.words, 100);
    QCOMPARE(result.text.count(QStringLiteral("\r\n")), 100);
    QVERIFY(result.text.endsWith(QStringLiteral("\r\n")));
    const QStringList rows = result.text.split(QStringLiteral("\r\n"));
    QCOMPARE(rows.size(), 101);
    for (qsizetype i = 0; i < 100; ++i) {
        // two to four syllables of two or three letters
        QVERIFY2(rows.at(i).size() >= 4 && rows.at(i).size() <= 12, qPrintable(rows.at(i)));
        QVERIFY(!rows.at(i).contains(QLatin1Char(' ')));
    }
}

void tst_GeneratorEngine::run_wordsInARowAreJoined()
{
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"x"};
    d.patterns = {"A"};
    RandomSource random;
    // minimum 1 and maximum 1: e is 1, so every word has two syllables.
    const GeneratedText result = generateText(d, settings(2, 3, 1, 1), random);
    QCOMPARE(result.text, QStringLiteral("xxxxxx\r\nxxxxxx\r\n"));
    QCOMPARE(result.words, 6);
}

void tst_GeneratorEngine::run_drawOrderFollowsTheRules()
{
    // An independent walk through the draws: pattern, one draw per letter,
    // e after the minimum syllables, then the e further syllables.
    const Combinacion d = consonantsAndVowels();
    RandomSource random;
    random.seed(7);
    const GeneratedText result = generateText(d, settings(20, 2, 1, 3), random);

    RandomSource ref;
    ref.seed(7);
    const QStringList k{"p", "t", "k"};
    const QStringList v{"a", "i", "u"};
    auto syllable = [&] {
        const bool closed = ref.nextIndex(2) == 1;
        QString s = k.at(qsizetype(ref.nextIndex(3)));
        s += v.at(qsizetype(ref.nextIndex(3)));
        if (closed)
            s += k.at(qsizetype(ref.nextIndex(3)));
        return s;
    };
    QString expected;
    for (int row = 0; row < 20; ++row) {
        for (int word = 0; word < 2; ++word) {
            expected += syllable();
            const int e = int(std::floor(ref.nextUnit() * 2)) + 1;
            for (int s = 0; s < e; ++s)
                expected += syllable();
        }
        expected += QStringLiteral("\r\n");
    }
    QCOMPARE(result.text, expected);
    QCOMPARE(random.nextUnit(), ref.nextUnit());
}

void tst_GeneratorEngine::run_seededRunIsPinned()
{
    RandomSource random;
    random.seed(42);
    const GeneratedText result = generateText(consonantsAndVowels(), settings(5, 1, 1, 4), random);
    QCOMPARE(result.text, QStringLiteral("tuptitakik\r\nkippip\r\npipupkak\r\ntaptitiki\r\npatutikki\r\n"));

    // The same seed gives the same words again.
    random.seed(42);
    QCOMPARE(generateText(consonantsAndVowels(), settings(5, 1, 1, 4), random).text, result.text);
}

void tst_GeneratorEngine::run_patternRules_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("syllable");
    // Panel A holds only "b", panel B only "c", so every draw is known.
    QTest::newRow("identifiers") << "AB"
                                 << "bc";
    QTest::newRow("literal") << "'sAB"
                             << "sbc";
    QTest::newRow("literal quote") << "A''"
                                   << "b'";
    QTest::newRow("quote at the end") << "A'"
                                      << "b";
    QTest::newRow("lower case does not match") << "aB"
                                               << "c";
    QTest::newRow("unknown repeats previous piece") << "A?B?"
                                                    << "bbcc";
    QTest::newRow("unknown repeats a literal") << "'x??"
                                               << "xxx";
    QTest::newRow("unknown first gives nothing") << "?A"
                                                 << "b";
    QTest::newRow("empty pattern") << ""
                                   << "";
    // Characters beyond U+FFFF (two UTF-16 units) are one character each;
    // panel C, identified by one of them, holds only another.
    QTest::newRow("identifier beyond U+FFFF") << QStringLiteral("A\U0001D51B") << QStringLiteral("b\U0001F600");
    QTest::newRow("literal beyond U+FFFF") << QStringLiteral("'\U0001F642A") << QStringLiteral("\U0001F642b");
    QTest::newRow("unknown beyond U+FFFF repeats once") << QStringLiteral("A\U0001F30D") << QStringLiteral("bb");
    QTest::newRow("letter beyond U+FFFF repeated whole")
        << QStringLiteral("\U0001D51B?") << QStringLiteral("\U0001F600\U0001F600");
}

void tst_GeneratorEngine::run_patternRules()
{
    QFETCH(QString, pattern);
    QFETCH(QString, syllable);
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"b"};
    d.panels[1].letters = {"c"};
    d.panels[2] = {QStringLiteral("\U0001D51B"), QString(), {QStringLiteral("\U0001F600")}};
    d.patterns = {pattern};
    RandomSource random;
    // minimum 0, maximum 1: e = 1, one syllable per word
    QCOMPARE(generateText(d, settings(1, 1, 0, 1), random).text, syllable + QStringLiteral("\r\n"));
}

void tst_GeneratorEngine::run_emptyDefinitionsStillDraw()
{
    // No patterns: empty words, but the draws are consumed all the same.
    Combinacion d = Combinacion::initial();
    RandomSource random;
    QCOMPARE(generateText(d, settings(3, 1, 2, 2), random).text, QStringLiteral("\r\n\r\n\r\n"));
    RandomSource ref;
    for (int i = 0; i < 3 * (1 + 2 + 1); ++i)
        ref.nextUnit();
    QCOMPARE(random.nextUnit(), ref.nextUnit());

    // An identifier whose panel has no letters contributes nothing, but draws.
    d.patterns = {"AB"};
    d.panels[1].letters = {"o"};
    RandomSource r2;
    QCOMPARE(generateText(d, settings(1, 1, 0, 1), r2).text, QStringLiteral("o\r\n"));

    // Two panels with one identifier: each draws, the last one counts.
    d.panels[0] = {"Z", "", {"x", "y"}};
    d.panels[1] = {"Z", "", {"o"}};
    d.patterns = {"Z"};
    RandomSource r3;
    QCOMPARE(generateText(d, settings(1, 1, 0, 1), r3).text, QStringLiteral("o\r\n"));
    RandomSource ref3;
    for (int i = 0; i < 1 + 3; ++i) // e, pattern, two letter draws
        ref3.nextUnit();
    QCOMPARE(r3.nextUnit(), ref3.nextUnit());
}

void tst_GeneratorEngine::run_syllableCounts()
{
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"x"};
    d.patterns = {"A"};
    RandomSource random;
    QSet<qsizetype> lengths;
    const QStringList rows = generateText(d, settings(2000, 1, 1, 4), random).text.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i + 1 < rows.size(); ++i)
        lengths.insert(rows.at(i).size());
    QCOMPARE(lengths, (QSet<qsizetype>{2, 3, 4}));

    // Maximum below minimum: e is 1 at most, and may be 0 or less.
    lengths.clear();
    const QStringList low = generateText(d, settings(500, 1, 3, 1), random).text.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i + 1 < low.size(); ++i)
        lengths.insert(low.at(i).size());
    QCOMPARE(lengths, (QSet<qsizetype>{3}));
}

void tst_GeneratorEngine::run_numbersAsTyped_data()
{
    QTest::addColumn<double>("rows");
    QTest::addColumn<double>("perRow");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("words");
    QTest::newRow("zero rows") << 0.0 << 1.0 << 0 << 0;
    QTest::newRow("negative rows") << -5.0 << 1.0 << 0 << 0;
    QTest::newRow("fractional rows") << 2.7 << 1.0 << 2 << 2;
    QTest::newRow("no words per row") << 3.0 << 0.0 << 3 << 0;
    QTest::newRow("fractional words") << 2.0 << 1.5 << 2 << 2;
}

void tst_GeneratorEngine::run_numbersAsTyped()
{
    QFETCH(double, rows);
    QFETCH(double, perRow);
    QFETCH(int, lines);
    QFETCH(int, words);
    RandomSource random;
    const GeneratedText result = generateText(consonantsAndVowels(), settings(rows, perRow, 1, 4), random);
    QCOMPARE(result.text.count(QStringLiteral("\r\n")), lines);
    QCOMPARE(result.words, words);
}

void tst_GeneratorEngine::run_dictionaryPairing()
{
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"o"};
    d.patterns = {"A"};
    RandomSource random;

    StringListSource three({"agua", "", "fuego"});
    GeneratedText result = generateText(d, settings(5, 1, 0, 1), random, &three);
    QCOMPARE(result.text, QStringLiteral("agua = o\r\n = o\r\nfuego = o\r\n"));
    QCOMPARE(result.words, 3);

    // Two words per row: the run stops after the last pair, without a row end.
    StringListSource again({"a", "b", "c"});
    result = generateText(d, settings(5, 2, 0, 1), random, &again);
    QCOMPARE(result.text, QStringLiteral("a = ob = o\r\nc = o"));

    StringListSource empty({});
    result = generateText(d, settings(5, 1, 0, 1), random, &empty);
    QCOMPARE(result.text, QString());
    QCOMPARE(result.words, 0);

    StringListSource longer({"x", "y", "z"});
    result = generateText(d, settings(2, 1, 0, 1), random, &longer);
    QCOMPARE(result.text, QStringLiteral("x = o\r\ny = o\r\n"));
}

void tst_GeneratorEngine::run_refusesRunsTooLarge_data()
{
    QTest::addColumn<GenerationSettings>("settings");
    QTest::addColumn<qint64>("dictionaryLines");
    QTest::addColumn<QString>("message");
    const qint64 none = kNoPairing;
    const QString ok;
    QTest::newRow("ten million words pass") << settings(10'000'000, 1, 1, 4) << none << ok;
    QTest::newRow("one more word") << settings(5'000'001, 2, 1, 4) << none << messages::kTooManyWords;
    QTest::newRow("huge rows") << settings(1e300, 1, 1, 4) << none << messages::kTooManyWords;
    QTest::newRow("infinite rows") << settings(qInf(), 1, 1, 4) << none << messages::kTooManyWords;
    QTest::newRow("huge syllable count") << settings(10, 1, 1e12, 1e12) << none << messages::kGenerationTooLarge;
    QTest::newRow("huge maximum") << settings(10, 1, 1, 1e15) << none << messages::kGenerationTooLarge;
    QTest::newRow("only row ends") << settings(1e12, 0, 1, 4) << none << messages::kGenerationTooLarge;
    QTest::newRow("no rows, huge maximum") << settings(0, 1, 1, qInf()) << none << ok;
    // With pairing, only the words the dictionary's lines allow count.
    QTest::newRow("short dictionary, many rows") << settings(20'000'000, 1, 1, 4) << qint64(3) << ok;
    QTest::newRow("short dictionary, huge rows") << settings(1e300, 7, 1, 4) << qint64(3) << ok;
    QTest::newRow("long dictionary") << settings(20'000'000, 1, 1, 4) << qint64(20'000'000) << messages::kTooManyWords;
    QTest::newRow("empty dictionary, no words per row")
        << settings(1e12, 0, 1, 4) << qint64(0) << messages::kGenerationTooLarge;
}

void tst_GeneratorEngine::run_refusesRunsTooLarge()
{
    QFETCH(GenerationSettings, settings);
    QFETCH(qint64, dictionaryLines);
    QFETCH(QString, message);
    QCOMPARE(checkGeneration(consonantsAndVowels(), settings, dictionaryLines).message(), message);
    if (!message.isEmpty()) {
        RandomSource random;
        const GeneratedText result = generateText(consonantsAndVowels(), settings, random);
        QCOMPARE(result.outcome.message(), message);
        QVERIFY(result.text.isEmpty());
        QCOMPARE(random.nextUnit(), RandomSource().nextUnit()); // nothing drawn
    }
}

void tst_GeneratorEngine::run_reportsProgress()
{
    RandomSource random;
    QList<std::int64_t> reports;
    const GeneratedText result = generateText(consonantsAndVowels(), settings(10000, 1, 1, 4), random, nullptr,
                                              [&](std::int64_t words) { reports.append(words); });
    QVERIFY(!reports.isEmpty());
    QVERIFY(std::is_sorted(reports.begin(), reports.end()));
    QVERIFY(reports.constLast() <= result.words);
}

namespace {

// The words of a seeded plain run, one a row.
QStringList plainWords(const Combinacion &definition, double rows, double seed)
{
    RandomSource random;
    random.seed(seed);
    QStringList words = generateText(definition, {rows, 1, 1, 3}, random).text.split(QStringLiteral("\r\n"));
    words.removeLast();
    return words;
}

QStringList filteredWords(const Combinacion &definition, double rows, double seed, WordFilter &filter,
                          Outcome *outcome = nullptr)
{
    RandomSource random;
    random.seed(seed);
    StringSink text(1 << 24);
    const GenerationResult result = generateWords(definition, {rows, 1, 1, 3}, random, nullptr, text, &filter);
    if (outcome)
        *outcome = result.outcome;
    QStringList words = text.take().split(QStringLiteral("\r\n"));
    words.removeLast();
    return words;
}

} // namespace

void tst_GeneratorEngine::filters_keepTheOrderOfAPlainRun_data()
{
    QTest::addColumn<double>("seed");
    QTest::newRow("seed 0") << 0.0;
    QTest::newRow("seed 7") << 7.0;
    QTest::newRow("seed 2.5") << 2.5;
}

void tst_GeneratorEngine::filters_keepTheOrderOfAPlainRun()
{
    // The words without repeats are those of a plain run from the same
    // seed, each kept at its first appearance: same source, same order.
    QFETCH(double, seed);
    const Combinacion d = consonantsAndVowels();
    const QStringList plain = plainWords(d, 3000, seed);
    QStringList expected;
    QSet<QString> seen;
    for (const QString &word : plain) {
        if (!seen.contains(word)) {
            seen.insert(word);
            expected.append(word);
        }
    }
    QVERIFY(expected.size() > 300);
    QVERIFY(expected.size() < plain.size()); // the run did repeat words
    WordFilters unique;
    unique.refuseRepeats();
    QCOMPARE(filteredWords(d, double(expected.size()), seed, unique), expected);
}

void tst_GeneratorEngine::filters_giveUpBoundedAndSayHowFar()
{
    // Two letters, one pattern "A", two or three syllables: 4 + 8 words in all.
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"a", "b"};
    d.patterns = {"A"};
    WordFilters unique;
    unique.refuseRepeats();
    Outcome outcome;
    const QStringList words = filteredWords(d, 50, 3, unique, &outcome);
    QCOMPARE(outcome.message(), messages::notEnoughNewWords(12, kMaxRefusedDraws));
    QCOMPARE(words.size(), 12);
    QCOMPARE(QSet<QString>(words.begin(), words.end()).size(), 12);
}

void tst_GeneratorEngine::filters_refuseWordsOfFilesAndPatterns()
{
    const Combinacion d = consonantsAndVowels();
    const QStringList plain = plainWords(d, 400, 11);
    QTemporaryDir dir;
    // A word list, and a dictionary whose entries compare by the part before " = ".
    const QString words = dir.filePath(QStringLiteral("w.lex"));
    const QString dictionary = dir.filePath(QStringLiteral("d.dic"));
    QVERIFY(writeBytes(words, (plain.at(0) + QStringLiteral("\r\n") + plain.at(1)).toLatin1()));
    QVERIFY(writeBytes(dictionary, (plain.at(2) + QStringLiteral(" = significado\r\nno = ") + plain.at(3)).toLatin1()));
    WordFilters filters;
    QVERIFY(filters.refuseWordsOf(words).ok());
    QVERIFY(filters.refuseWordsOf(dictionary).ok());
    QString error;
    qsizetype position = 0;
    QVERIFY(filters.refuseMatches(QStringLiteral("^ka|ti"), error, position));
    QVERIFY(!filters.refuseMatches(QStringLiteral("ab(c"), error, position));
    QCOMPARE(position, 5);
    QVERIFY(!error.isEmpty());
    QCOMPARE(filters.refuseWordsOf(dir.filePath(QStringLiteral("none"))).error, FileError::NotFound);

    const QSet<QString> excluded{plain.at(0), plain.at(1), plain.at(2)};
    const QRegularExpression pattern(QStringLiteral("^ka|ti"));
    QStringList expected;
    for (const QString &word : plain) {
        if (!excluded.contains(word) && !pattern.match(word).hasMatch())
            expected.append(word);
    }
    QVERIFY(expected.contains(plain.at(3))); // only the part before " = " is excluded
    QCOMPARE(filteredWords(d, double(expected.size()), 11, filters), expected);
}

QTEST_APPLESS_MAIN(tst_GeneratorEngine)
#include "tst_generator_engine.moc"
