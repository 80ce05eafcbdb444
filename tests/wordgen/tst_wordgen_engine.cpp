#include "common/randomsource.h"
#include "common/textsink.h"
#include "generator/combinacion.h"
#include "generator/generationengine.h"
#include "generator/wordfilters.h"
#include "clirun.h"
#include "testfiles.h"
#include "wordgen/lngconversion.h"
#include "wordgen/worddefinition.h"
#include "wordgen/wordgenerator.h"
#include "wordgen/wordrun.h"
#include "wordgen/wordstatistics.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <map>

using namespace vordane;

namespace {

QString examplePath(const char *name)
{
    return QDir(QStringLiteral(VORDANE_EXAMPLES_DIR)).filePath(QLatin1String(name));
}

WordDefinition parsed(const QString &text)
{
    const ParsedWordDefinition result = parseWordDefinitionText(text);
    if (!result.ok())
        qWarning("%s", qPrintable(result.message()));
    return result.definition;
}

// How far an observed share may stray from p over n independent draws
// before the generator is wrong: five standard deviations (a false alarm
// about once in two million checks), never below one draw.
double tolerance(double p, double n)
{
    return 5 * std::sqrt(p * (1 - p) / n) + 1 / n;
}

// Counts of every word of a run.
std::map<QString, double> wordCounts(const WordDefinition &definition, int words, double seed)
{
    WordGenerator generator(definition);
    RandomSource random;
    random.seed(seed);
    std::map<QString, double> counts;
    for (int i = 0; i < words; ++i) {
        if (!generator.next(random))
            break;
        ++counts[generator.word().toString()];
    }
    return counts;
}

test::CliRun cli(const QStringList &args)
{
    return test::runCliHere(args);
}

} // namespace

class tst_WordgenEngine : public QObject {
    Q_OBJECT
private slots:
    void parse_errorsNameLineAndPosition_data();
    void parse_errorsNameLineAndPosition();
    void parse_weightsOfEachLaw_data();
    void parse_weightsOfEachLaw();

    void generate_memberFrequenciesFollowWeights_data();
    void generate_memberFrequenciesFollowWeights();
    void generate_shapesByPositionAndLengths();
    void generate_optionalPartsAndAlternatives();
    void generate_examplesKeepFiltersAndApplyChanges();
    void generate_seededRunsRepeat();
    void generate_givesUpWhenFiltersRefuseEverything();

    void statistics_expectedAgainstObserved();
    void conversion_drawsAsTheCombination();

    void cli_wordsStatisticsAndFailures();
};

void tst_WordgenEngine::parse_errorsNameLineAndPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown line") << "V=a\nhola" << 2 << 1 << "se esperaba una categoría";
    QTest::newRow("unknown directive") << "@foo 3" << 1 << 1 << "directiva desconocida «@foo»";
    QTest::newRow("empty member") << "V=a,,e" << 1 << 5 << "miembro vacío";
    QTest::newRow("zero weight") << "V=a:0,e" << 1 << 5 << "positivo";
    QTest::newRow("weight not a number") << "V = a:x" << 1 << 7 << "positivo";
    QTest::newRow("member of an undefined category") << "C=X,p" << 1 << 3 << "la categoría X no está definida";
    QTest::newRow("category twice") << "V=a\nV=e" << 2 << 1 << "ya está definida en la línea 1";
    QTest::newRow("escape at the end") << "V=a\\" << 1 << 4 << "«\\»";
    QTest::newRow("shape of an undefined category") << "V=a\n@formas CX" << 2 << 9 << "la categoría C no está definida";
    QTest::newRow("unclosed optional") << "V=a\n@formas (V" << 2 << 9 << "«(» sin su «)»";
    QTest::newRow("unclosed alternatives") << "V=a\n@formas {V|a" << 2 << 9 << "«{» sin su «}»";
    QTest::newRow("stray parenthesis") << "V=a\n@formas V)" << 2 << 10 << "«)» fuera de su sitio";
    QTest::newRow("comma inside a group") << "V=a\n@formas {V,a}" << 2 << 11 << "«|»";
    QTest::newRow("chance over 100") << "V=a\n@formas (V)?120" << 2 << 12 << "porcentaje";
    QTest::newRow("empty shape") << "V=a\n@formas V,,V" << 2 << 11 << "forma vacía";
    QTest::newRow("shape weight") << "V=a\n@formas V:-1" << 2 << 11 << "positivo";
    QTest::newRow("falloff") << "@caída 100\nV=a" << 1 << 8 << "@caída lleva";
    QTest::newRow("optional") << "@opcional mucho" << 1 << 11 << "@opcional lleva";
    QTest::newRow("length range reversed") << "V=a\n@formas V\n@longitud 3-2" << 3 << 11 << "@longitud lleva";
    QTest::newRow("length twice in the list") << "V=a\n@formas V\n@longitud 1, 1" << 3 << 14 << "ya está en la lista";
    QTest::newRow("too many syllables") << "V=a\n@formas V\n@longitud 101" << 3 << 11 << "de 0 a 100";
    QTest::newRow("directive twice") << "V=a\n@formas V\n@formas V" << 3 << 1 << "«@formas» ya está en la línea 2";
    QTest::newRow("bad expression") << "V=a\n@formas V\n@rechazar a(b" << 3 << 13 << "no es válida";
    QTest::newRow("expression of an undefined category")
        << "V=a\n@formas V\n@rechazar x{Q}" << 3 << 13 << "la categoría Q no está definida";
    QTest::newRow("no shapes for one syllable")
        << "V=a\n@inicial V\n@final V\n@longitud 1-2" << 4 << 1 << "faltan las formas de las palabras de una sílaba";
    QTest::newRow("no shapes for the middle")
        << "V=a\n@inicial V\n@final V\n@única V\n@longitud 1-3" << 5 << 1 << "@media";
    // The changes' own messages, on the line of the file that holds the fault.
    QTest::newRow("malformed change") << "V=a\n@formas V\n@cambios\n; comentario\na>b>c" << 5 << 4 << "";
    QTest::newRow("change with a category of the definition")
        << "V=a,e,i\nP=p,t\n@formas PV\n@cambios\nP>V" << 5 << 3 << "la categoría V tiene 3 miembros";
    QTest::newRow("changes file missing")
        << "V=a\n@formas V\n@cambios no-existe.sc" << 3 << 10 << "no se pueden leer los cambios";
}

void tst_WordgenEngine::parse_errorsNameLineAndPosition()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(int, position);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    const ParsedWordDefinition result = parseWordDefinitionText(text, folder.path());
    QVERIFY(!result.ok());
    const RuleError &error = result.errors.constFirst();
    QVERIFY2(error.reason.contains(reason), qPrintable(error.reason));
    QCOMPARE(error.line + 1, line);
    QCOMPARE(error.position, position);
    QCOMPARE(error.text, text.split(u'\n').at(line - 1));
    QVERIFY(result.message().startsWith(QStringLiteral("Línea %1 («").arg(line)));
}

void tst_WordgenEngine::parse_weightsOfEachLaw_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("weights");
    const double ln6 = std::log(6.0);
    QTest::newRow("equal by default") << "V=a,e,i,o,u" << QList<double>{1, 1, 1, 1, 1};
    QTest::newRow("percent") << "@caída 50\nV=a,e,i,o,u" << QList<double>{1, 0.5, 0.25, 0.125, 0.0625};
    QTest::newRow("zipf") << "@caída zipf\nV=a,e,i,o,u" << QList<double>{1, 1 / 2.0, 1 / 3.0, 1 / 4.0, 1 / 5.0};
    QTest::newRow("gusein-zade") << "@caída gusein-zade\nV=a,e,i,o,u"
                                 << QList<double>{ln6, ln6 - std::log(2.0), ln6 - std::log(3.0), ln6 - std::log(4.0),
                                                  ln6 - std::log(5.0)};
    QTest::newRow("explicit weights ignore the law")
        << "@caída zipf\nV=a:5,e:4,i,o:2,u:0.5" << QList<double>{5, 4, 1, 2, 0.5};
    QTest::newRow("law back to equal below") << "@caída zipf\n@caída 0\nV=a,e,i,o,u" << QList<double>{1, 1, 1, 1, 1};
    QTest::newRow("repeated member adds") << "V=a,e,a,i,o" << QList<double>{2, 1, 1, 1};
    QTest::newRow("earlier category expands in place")
        << "@caída zipf\nA=a,e\nV=A,i,o,u" << QList<double>{1, 1 / 2.0, 1 / 3.0, 1 / 4.0, 1 / 5.0};
}

void tst_WordgenEngine::parse_weightsOfEachLaw()
{
    QFETCH(QString, text);
    QFETCH(QList<double>, weights);
    const ParsedWordDefinition result = parseWordDefinitionText(text + QStringLiteral("\n@formas V"));
    QVERIFY2(result.ok(), qPrintable(result.message()));
    const WordDefinition::Category *v = result.definition.category(u'V');
    QVERIFY(v);
    QCOMPARE(qsizetype(v->members.size()), weights.size());
    for (qsizetype i = 0; i < weights.size(); ++i)
        QVERIFY2(std::abs(v->members[std::size_t(i)].weight - weights.at(i)) < 1e-12,
                 qPrintable(v->members[std::size_t(i)].text));
}

void tst_WordgenEngine::generate_memberFrequenciesFollowWeights_data()
{
    QTest::addColumn<QString>("category");
    QTest::newRow("weights") << "V=a:5,e:4,i:3,o:2,u:1";
    QTest::newRow("fractional weights, digraphs, empty member") << "V=a:0.5,ch:2.25,∅:1,i:0.01";
    QTest::newRow("equal") << "V=a,e,i,o,u,y,w";
    QTest::newRow("percent") << "@caída 30\nV=a,e,i,o,u,y,w";
    QTest::newRow("zipf") << "@caída zipf\nV=p,t,k,s,m,n,l,r,h,j,w";
    QTest::newRow("gusein-zade") << "@caída gusein-zade\nV=p,t,k,s,m,n,l,r,h,j,w";
}

void tst_WordgenEngine::generate_memberFrequenciesFollowWeights()
{
    QFETCH(QString, category);
    const WordDefinition definition = parsed(category + QStringLiteral("\n@formas V\n@longitud 1"));
    const std::vector<WordDefinition::Member> &members = definition.category(u'V')->members;
    double total = 0;
    for (const WordDefinition::Member &member : members)
        total += member.weight;
    constexpr int kWords = 200'000;
    std::map<QString, double> counts = wordCounts(definition, kWords, 42);
    for (const WordDefinition::Member &member : members) {
        const double p = member.weight / total;
        const double observed = counts[member.text] / kWords;
        QVERIFY2(std::abs(observed - p) <= tolerance(p, kWords),
                 qPrintable(QStringLiteral("%1: %2 against %3").arg(member.text).arg(observed).arg(p)));
        counts.erase(member.text);
    }
    QVERIFY(counts.empty());
}

void tst_WordgenEngine::generate_shapesByPositionAndLengths()
{
    // Each position has a shape of its own, so every word shows which ones it took.
    const WordDefinition definition = parsed(QStringLiteral("C=p,t,k\nV=a,i,u\n@formas V\n@inicial C\n@final Cn\n"
                                                            "@única Vs\n@longitud 1:1, 2:2, 3:3, 5:4"));
    WordGenerator generator(definition);
    RandomSource random;
    constexpr int kWords = 100'000;
    std::map<int, double> lengths;
    for (int i = 0; i < kWords; ++i) {
        QVERIFY(generator.next(random));
        const QString word = generator.word().toString();
        const int n = generator.syllables();
        ++lengths[n];
        const QString expected =
            n == 1 ? QStringLiteral("^[aiu]s$") : QStringLiteral("^[ptk][aiu]{%1}[ptk]n$").arg(n - 2);
        QVERIFY2(QRegularExpression(expected).match(word).hasMatch(), qPrintable(word));
        // Syllable marks: one between each two syllables.
        QCOMPARE(generator.syllabified().count(u'.'), n - 1);
        QCOMPARE(generator.syllabified().remove(u'.'), word);
    }
    QCOMPARE(lengths.size(), std::size_t(4));
    for (const auto &[n, weight] : std::map<int, double>{{1, 0.1}, {2, 0.2}, {3, 0.3}, {5, 0.4}})
        QVERIFY2(std::abs(lengths[n] / kWords - weight) <= tolerance(weight, kWords), qPrintable(QString::number(n)));
}

void tst_WordgenEngine::generate_optionalPartsAndAlternatives()
{
    const WordDefinition definition =
        parsed(QStringLiteral("@opcional 80\n@formas a(b)?30(c){x|y|zz}(\\D)?0(e)?100\n@longitud 1"));
    std::map<QString, double> counts = wordCounts(definition, 100'000, 7);
    double b = 0;
    double c = 0;
    std::map<QChar, double> alternatives;
    for (const auto &[word, count] : counts) {
        QVERIFY2(QRegularExpression(QStringLiteral("^ab?c?(x|y|zz)e$")).match(word).hasMatch(), qPrintable(word));
        b += word.contains(u'b') ? count : 0;
        c += word.contains(u'c') ? count : 0;
        alternatives[word.at(word.size() - 2)] += count;
    }
    QVERIFY(std::abs(b / 1e5 - 0.3) <= tolerance(0.3, 1e5));
    QVERIFY(std::abs(c / 1e5 - 0.8) <= tolerance(0.8, 1e5));
    for (QChar x : {u'x', u'y', u'z'})
        QVERIFY(std::abs(alternatives[x] / 1e5 - 1 / 3.0) <= tolerance(1 / 3.0, 1e5));
}

void tst_WordgenEngine::generate_examplesKeepFiltersAndApplyChanges()
{
    // The weighted example: its filters hold for every word, its shapes by position too.
    QStringList lines;
    QVERIFY(readWordDefinitionFile(examplePath("palabras-pesos.gen"), lines).ok());
    ParsedWordDefinition weighted = parseWordDefinition(lines, QStringLiteral(VORDANE_EXAMPLES_DIR));
    QVERIFY2(weighted.ok(), qPrintable(weighted.message()));
    const QRegularExpression refused(QStringLiteral("n[pm]|(.)\\1"));
    const QString c = QStringLiteral("[tknsmplrh]");
    const QString v = QStringLiteral("[aiueo]");
    const QRegularExpression single(QStringLiteral("^%1%2n?s?r?$").arg(c, v));
    {
        WordGenerator generator(weighted.definition);
        RandomSource random;
        random.seed(1);
        for (int i = 0; i < 50'000; ++i) {
            QVERIFY(generator.next(random));
            const QString word = generator.word().toString();
            QVERIFY2(!refused.match(word).hasMatch(), qPrintable(word));
            if (generator.syllables() == 1)
                QVERIFY2(single.match(word).hasMatch(), qPrintable(word));
            else // the last syllable: C V, then at most one of n, s, r
                QVERIFY2(QRegularExpression(QStringLiteral("%1%2[nsr]?$").arg(c, v)).match(word).hasMatch(),
                         qPrintable(word));
        }
    }
    // The example with changes: no voiceless stop is left between vowels,
    // and no word holds three consonants even after the changes.
    QVERIFY(readWordDefinitionFile(examplePath("palabras-cambios.gen"), lines).ok());
    const ParsedWordDefinition changed = parseWordDefinition(lines, QStringLiteral(VORDANE_EXAMPLES_DIR));
    QVERIFY2(changed.ok(), qPrintable(changed.message()));
    WordGenerator generator(changed.definition);
    RandomSource random;
    int prothetic = 0;
    for (int i = 0; i < 50'000; ++i) {
        QVERIFY(generator.next(random));
        const QString word = generator.word().toString();
        QVERIFY2(!QRegularExpression(QStringLiteral("[aeiou][ptk][aeiou]")).match(word).hasMatch(), qPrintable(word));
        QVERIFY2(!QRegularExpression(QStringLiteral("[ptkbdgmnsrl]{3}")).match(word).hasMatch(), qPrintable(word));
        QVERIFY2(!QRegularExpression(QStringLiteral("[lr]e$")).match(word).hasMatch(), qPrintable(word));
        QVERIFY2(!word.startsWith(QLatin1String("sp")) && !word.startsWith(QLatin1String("st")), qPrintable(word));
        prothetic += word.startsWith(QLatin1String("es")) ? 1 : 0;
        QCOMPARE(generator.syllabified().remove(u'.'), word);
    }
    QVERIFY(prothetic > 0);
}

void tst_WordgenEngine::generate_seededRunsRepeat()
{
    const WordDefinition definition =
        parsed(QStringLiteral("C=p,t,k,s\nV=a:3,i,u\n@formas CV(C), V{C|s}V\n@longitud 1-4\n@rechazar ss\n"
                              "@cambios\nk>x/V_V ?50"));
    const auto run = [&](double seed) {
        WordRunOptions options;
        options.count = 2000;
        options.syllables = true;
        RandomSource random;
        random.seed(seed);
        WordFilters filters;
        StringSink out(1 << 24);
        const WordRunResult result = runWordGeneration(definition, options, random, filters, out);
        return result.outcome.ok() ? out.take() : QString();
    };
    const QString first = run(12345);
    QVERIFY(!first.isEmpty());
    QCOMPARE(run(12345), first);
    QVERIFY(run(12346) != first);
    QVERIFY(first.contains(u'x')); // the sporadic change applied to some words
    QVERIFY(QRegularExpression(QStringLiteral("[aiu]\\.?k[aiu]")).match(first).hasMatch()); // and not to others
    // The window's sample is the same run.
    const WordSample sample = drawWordSample(definition, 2000, 12345, 500, true);
    QVERIFY(sample.outcome.ok());
    QCOMPARE(sample.words.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), first);
    QCOMPARE(sample.statistics.words, 500);
}

void tst_WordgenEngine::generate_givesUpWhenFiltersRefuseEverything()
{
    // Three possible words: the fourth new one can never come.
    const WordDefinition definition = parsed(QStringLiteral("V=a,e,i\n@formas V\n@longitud 1"));
    WordRunOptions options;
    options.count = 4;
    options.unique = true;
    WordFilters filters;
    QVERIFY(prepareWordRunFilters(options, filters).ok());
    RandomSource random;
    StringSink out(1000);
    const WordRunResult result = runWordGeneration(definition, options, random, filters, out);
    QVERIFY(!result.outcome.ok());
    QVERIFY2(result.outcome.message().contains(QStringLiteral("se han encontrado 3 palabras distintas")),
             qPrintable(result.outcome.message()));
    // A filter that refuses every word ends too.
    WordGenerator refusing(parsed(QStringLiteral("V=a,e,i\n@formas V\n@rechazar .")));
    QVERIFY(!refusing.next(random));
    // Cancelled from the progress callback.
    options.count = 100'000;
    options.unique = false;
    WordFilters none;
    StringSink more(1 << 24);
    const WordRunResult cancelled = runWordGeneration(definition, options, random, none, more, nullptr,
                                                      [](std::int64_t made) { return made < 8192; });
    QVERIFY(cancelled.cancelled);
    QCOMPARE(cancelled.words, 8192);
}

void tst_WordgenEngine::statistics_expectedAgainstObserved()
{
    // Two syllables: "ta" then "ch" or "a"; expected sounds per word: t 1, a 1 + 3/4, ch 1/4.
    const WordDefinition definition =
        parsed(QStringLiteral("C=t\nV=a\nD=ch:1,a:3\n@inicial CV\n@final D\n@longitud 2:3, 1:1\n@única (C)?0V\n"
                              "@alfabeto ch,a,t"));
    WordStatistics statistics(definition);
    WordGenerator generator(definition);
    RandomSource random;
    for (int i = 0; i < 40'000; ++i) {
        QVERIFY(generator.next(random));
        statistics.add(generator.word(), generator.syllables());
    }
    const WordStatisticsReport report = statistics.report();
    QCOMPARE(report.words, 40'000);
    // Per word: 3/4 (t + a + D) + 1/4 (a): t 0.75, a 0.25 + 0.75 * 1.75, ch 0.75 * 0.25.
    const double t = 0.75;
    const double a = 0.25 + 0.75 * 1.75;
    const double ch = 0.75 * 0.25;
    const double total = t + a + ch;
    QCOMPARE(qsizetype(report.soundShares.size()), 3);
    const std::map<QString, double> expected{{"t", t / total}, {"a", a / total}, {"ch", ch / total}};
    QCOMPARE(report.soundShares[0].sound, QStringLiteral("ch")); // in the alphabet's order
    for (const WordStatisticsReport::Sound &sound : report.soundShares) {
        QVERIFY2(std::abs(sound.expected - expected.at(sound.sound)) < 1e-12, qPrintable(sound.sound));
        QVERIFY2(std::abs(sound.observed - sound.expected) < 0.01, qPrintable(sound.sound));
    }
    QCOMPARE(qsizetype(report.clusters.size()), 0); // "ch" alone is no cluster, and no word has two consonants
    QCOMPARE(qsizetype(report.syllables.size()), 2);
    QCOMPARE(report.syllables[1].expected, 0.75);
    QVERIFY(std::abs(double(report.syllables[1].count) / 40'000 - 0.75) < tolerance(0.75, 40'000));
    // Lengths in characters: "a" (1), "taa" (3), "tach" (4).
    QCOMPARE(qsizetype(report.lengths.size()), 3);
    QCOMPARE(report.lengths[0].value, 1);
    QCOMPARE(report.lengths[2].value, 4);
    QVERIFY(statisticsText(report).contains(QStringLiteral("Sílabas por palabra")));

    // Clusters: runs of consonants across syllables, the most frequent first.
    WordStatistics clusters(parsed(QStringLiteral("V=a\n@formas ∅\n@longitud 1")));
    for (const char *word : {"astra", "astra", "ampa", "ta"})
        clusters.add(QString::fromLatin1(word), 2);
    const WordStatisticsReport counted = clusters.report();
    QCOMPARE(qsizetype(counted.clusters.size()), 2);
    QCOMPARE(counted.clusters[0].cluster, QStringLiteral("str"));
    QCOMPARE(counted.clusters[0].count, 2);
    QCOMPARE(counted.clusters[1].cluster, QStringLiteral("mp"));
}

void tst_WordgenEngine::conversion_drawsAsTheCombination()
{
    // Repeated letters and patterns, an empty letter, a quoted literal, a
    // character repeating the previous piece, a class with a lower-case
    // identifier and one with none, a fractional syllable range.
    Combinacion combination = Combinacion::initial();
    combination.panels[0] = {"C", "Consonantes", {"p", "t", "t", "k"}};
    combination.panels[1] = {"v", "Vocales", {"a", "e", "", "a"}};
    combination.panels[2] = {"", "", {"x"}};
    combination.patterns = {"Cv", "v-", "Cv", "'Cv", "vC"};
    const GenerationSettings settings{60'000, 1, 1, 2.5};
    const LngConversion conversion = convertCombinacion(combination, settings.minimum, settings.maximum);
    QVERIFY2(conversion.outcome.ok(), qPrintable(conversion.outcome.message()));
    const ParsedWordDefinition converted = parseWordDefinitionText(conversion.text);
    QVERIFY2(converted.ok(), qPrintable(converted.message() + QLatin1Char('\n') + conversion.text));

    RandomSource random;
    StringSink text(1 << 26);
    QVERIFY(generateWords(combination, settings, random, nullptr, text).outcome.ok());
    std::map<QString, double> old;
    QStringList lines = text.take().split(QStringLiteral("\r\n"));
    lines.removeLast(); // after the last line end
    QCOMPARE(lines.size(), 60'000);
    for (const QString &word : lines)
        ++old[word];
    const std::map<QString, double> ours = wordCounts(converted.definition, 60'000, 99);
    // Every word common enough to judge comes out as often in both, within
    // the spread of the difference of two samples.
    int judged = 0;
    for (const auto &[word, count] : old) {
        const double p = count / 60'000;
        if (p < 0.002)
            continue;
        ++judged;
        const double q = ours.count(word) ? ours.at(word) / 60'000 : 0;
        QVERIFY2(std::abs(p - q) <= std::sqrt(2.0) * tolerance(p, 60'000),
                 qPrintable(QStringLiteral("%1: %2 against %3\n%4").arg(word).arg(q).arg(p).arg(conversion.text)));
    }
    QVERIFY(judged > 20);
    for (const auto &[word, count] : ours)
        QVERIFY2(old.count(word) || count < 30, qPrintable(word));
}

void tst_WordgenEngine::cli_wordsStatisticsAndFailures()
{
    QTemporaryDir dir;
    const QString definition = dir.filePath(QStringLiteral("d.gen"));
    QVERIFY(
        test::writeBytes(definition, "V=a,e,i,o,u\nC=p,t,k\n@formas CV\n@longitud 1-2\n@alfabeto u,o,i,e,a,k,t,p\n"));
    const QString lexicon = dir.filePath(QStringLiteral("lexico.dic"));
    QVERIFY(test::writeBytes(lexicon, "pa = padre\r\nta\r\n"));

    // Unique, sorted in the alphabet's order, none of the lexicon, to a file with statistics.
    const QString output = dir.filePath(QStringLiteral("o.lex"));
    const QString statistics = dir.filePath(QStringLiteral("e.txt"));
    const test::CliRun done =
        cli({"palabras", definition, "--cantidad", "200", "--semilla", "5", "--sin-repetir", "--ordenar", "--excluir",
             lexicon, "--salida", output, "--estadisticas-archivo", statistics});
    QVERIFY2(done.status == kExitOk, qPrintable(done.err));
    const QStringList words = QString::fromLatin1(test::readBytes(output)).split(QStringLiteral("\r\n"));
    QCOMPARE(words.size(), 201);
    QVERIFY(words.constLast().isEmpty());
    const QStringList list = words.mid(0, 200);
    QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), 200);
    QVERIFY(!list.contains(QStringLiteral("pa")) && !list.contains(QStringLiteral("ta")));
    const AlphabetOrder order(QStringList{"u", "o", "i", "e", "a", "k", "t", "p"});
    for (qsizetype i = 1; i < list.size(); ++i)
        QVERIFY2(order.key(list.at(i - 1)) < order.key(list.at(i)), qPrintable(list.at(i)));
    QVERIFY(list.constFirst().startsWith(u'k'));
    QVERIFY(QString::fromUtf8(test::readBytes(statistics)).contains(QStringLiteral("Palabras: 200;")));

    // Standard output, syllables, statistics on standard error; the same seed gives the same words.
    const test::CliRun marked =
        cli({"palabras", definition, "--cantidad", "50", "--semilla", "5", "--silabas", "--estadisticas"});
    QCOMPARE(marked.status, kExitOk);
    QVERIFY(marked.out.contains('.'));
    QVERIFY(marked.err.contains(QStringLiteral("Sonidos: esperado, observado")));
    QCOMPARE(cli({"palabras", definition, "--cantidad", "50", "--semilla", "5", "--silabas"}).out, marked.out);
    // "--estadisticas ARCHIVO": the same text in the file, none on standard error.
    const QString named = dir.filePath(QStringLiteral("nombradas.txt"));
    const test::CliRun toFile =
        cli({"palabras", definition, "--cantidad", "50", "--semilla", "5", "--silabas", "--estadisticas", named});
    QCOMPARE(toFile.status, kExitOk);
    QCOMPARE(toFile.out, marked.out);
    QVERIFY(!toFile.err.contains(QStringLiteral("Sonidos")));
    QVERIFY(QString::fromUtf8(test::readBytes(named)).contains(QStringLiteral("Sonidos: esperado, observado")));
    QCOMPARE(cli({"palabras", definition, "sobra.txt", "--cantidad", "5"}).status, kExitUsage);

    // A bad definition: its errors, exit status 1, the output untouched.
    const QString bad = dir.filePath(QStringLiteral("mal.gen"));
    QVERIFY(test::writeBytes(bad, "V=a\n@formas VX\n"));
    QVERIFY(test::writeBytes(output, "antes\r\n"));
    const test::CliRun refused = cli({"palabras", bad, "--cantidad", "10", "--salida", output});
    QCOMPARE(refused.status, kExitFailed);
    QVERIFY2(refused.err.contains(QStringLiteral("Línea 2 («@formas VX»), posición 10")), qPrintable(refused.err));
    QCOMPARE(test::readBytes(output), QByteArray("antes\r\n"));
    // More new words than the definition has: nothing written, the count found said.
    const test::CliRun gaveUp = cli({"palabras", definition, "--cantidad", "300", "--sin-repetir"});
    QCOMPARE(gaveUp.status, kExitFailed);
    QVERIFY(gaveUp.out.isEmpty());
    QVERIFY2(gaveUp.err.contains(QStringLiteral("se han encontrado 240 palabras distintas")), qPrintable(gaveUp.err));
    QCOMPARE(cli({"palabras", definition}).status, kExitUsage);
    QCOMPARE(cli({"palabras", definition, "--cantidad", "2.5"}).status, kExitUsage);
}

QTEST_GUILESS_MAIN(tst_WordgenEngine)
#include "tst_wordgen_engine.moc"
