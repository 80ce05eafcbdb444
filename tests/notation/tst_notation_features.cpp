#include "cli/clirunner.h"
#include "common/featuremessages.h"
#include "common/messages.h"
#include "notation/compiledrules.h"
#include "notation/features.h"
#include "notation/parser.h"
#include "notation/syllables.h"
#include "transformer/extendedrules.h"
#include "transformer/rulereport.h"

#include <QtTest>

using namespace vordane;
using namespace vordane::notation;
namespace nmsg = messages::notation;

namespace {

const QStringList kSystem{
    "@ampliada",
    "@rasgo lugar: labial, *dental, velar",
    "@rasgo altura: alta, baja",
    "@rasgo sonora",
    "@rasgo aspirada",
    "@rasgo labializada",
    "@símbolo p: labial",
    "@símbolo b: labial +sonora",
    "@simbolo t: -sonora", // lugar by default: dental
    "@símbolo d: +sonora",
    "@símbolo k: velar",
    "@símbolo i: alta +sonora",
    "@símbolo ch: velar +aspirada",
    "@diacrítico ʰ: +aspirada",
    "@diacritico ʷ: +labializada",
};

FeatureTable table(const QStringList &lines, QList<RuleError> *errors = nullptr)
{
    QList<RuleError> found;
    FeatureTable out = readFeatures(lines, found);
    if (errors)
        *errors = found;
    else if (!found.isEmpty())
        qWarning().noquote() << found.constFirst().message();
    return out;
}

const FeatureTable &ipa()
{
    static const FeatureTable t = table({"@ampliada", "@rasgos ipa"});
    return t;
}

QString valueOf(const FeatureTable &t, const QString &segment, const QString &feature)
{
    const std::optional<ValueSet> values = t.featuresOf(segment);
    if (!values)
        return QStringLiteral("(sin rasgos)");
    const ValueId v = t.valueOf(*values, t.feature(feature));
    return v < 0 ? QString() : t.values()[std::size_t(v)].name;
}

// "p" with these values set, as the segment a change would write.
QString changed(const FeatureTable &t, const QString &segment, const QStringList &set)
{
    const std::optional<ValueSet> values = t.featuresOf(segment);
    if (!values)
        return QStringLiteral("(sin rasgos)");
    std::vector<ValueId> ids;
    for (const QString &name : set)
        ids.push_back(t.value(name));
    return t.segmentWith(t.withValues(*values, ids)).value_or(QStringLiteral("(ninguno)"));
}

// Syllables over C (consonants) and V (vowels), brackets of letters and
// letters; the words' letters are single segments.
const QString kConsonants = QStringLiteral("ptkbdgmnsrlfvzjwhx");
const QString kVowels = QStringLiteral("aeiou");

struct Classes {
    QStringList sets;
    int resolve(const QString &written, QString &reason)
    {
        QString members;
        if (written == QLatin1String("C"))
            members = kConsonants;
        else if (written == QLatin1String("V"))
            members = kVowels;
        else if (written.startsWith(u'['))
            members = written.mid(1, written.size() - 2).remove(u',');
        else if (written.size() == 1 && !written.at(0).isUpper())
            members = written;
        if (members.isEmpty()) {
            reason = QStringLiteral("«%1» no es una categoría").arg(written);
            return -1;
        }
        sets.append(members);
        return int(sets.size()) - 1;
    }
};

// The word cut by the patterns, "pa.ta", or "×" when it cannot be cut.
QString syllables(const QString &patterns, const QString &word)
{
    Classes classes;
    SyllableSpec cutting;
    const QString line = QStringLiteral("@sílabas ") + patterns;
    if (const auto error = readSyllables(
            1, line, [&](const QString &w, QString &reason) { return classes.resolve(w, reason); }, cutting))
        return error->message();
    Segmenter segmenter;
    std::vector<SegmentId> ids;
    LocalSegments local;
    segmenter.cutWord(word, ids, local);
    const std::vector<ClassMask> masks = classify(ids, cutting, [&](int id, SegmentId s) {
        return s < 0x10000 && classes.sets.at(id).contains(QChar(char16_t(s)));
    });
    std::vector<int> starts;
    if (!syllabify(cutting, masks, starts))
        return QStringLiteral("×");
    return withBoundaries(segmenter, ids, local, starts);
}

// A small system of features for rules: stops and nasals at three places,
// two vowels, and length.
const QStringList kRulesHead{
    "@ampliada",
    "@rasgo lugar: labial, dental, velar",
    "@rasgo modo: oclusiva, nasal, fricativa",
    "@rasgo sonora",
    "@rasgo nasal",
    "@rasgo silábica",
    "@rasgo larga",
    "@símbolo p: labial oclusiva",
    "@símbolo b: labial oclusiva +sonora",
    "@símbolo t: dental oclusiva",
    "@símbolo d: dental oclusiva +sonora",
    "@símbolo k: velar oclusiva",
    "@símbolo g: velar oclusiva +sonora",
    "@símbolo m: labial nasal +nasal +sonora",
    "@símbolo n: dental nasal +nasal +sonora",
    "@símbolo ŋ: velar nasal +nasal +sonora",
    "@símbolo a: +silábica +sonora",
    "@símbolo i: +silábica +sonora",
    "@diacrítico ː: +larga",
    "V=a,i",
    "C=p,t,k,b,d,g,m,n,ŋ,s,r,l",
    "P=p,t,k",
};

// The words through the list, separated by spaces in `words` and in the
// result; the list's first fault when it has one. With `marks`, the words
// are written with their syllables.
QString through(const QStringList &list, const QString &words, bool marks = false,
                RuleReport *report = nullptr)
{
    const ExtendedRules rules(list);
    if (!rules.errors().isEmpty())
        return rules.errors().constFirst().message();
    QStringList out;
    for (const QString &word : words.split(u' ')) {
        QString changed = word;
        rules.apply(changed, report, nullptr, 100000);
        out.append(marks ? rules.syllabified(changed) : changed);
    }
    return out.join(u' ');
}

} // namespace

class TestNotationFeatures : public QObject {
    Q_OBJECT

private slots:
    void declarations_faultsHaveLineAndPosition_data();
    void declarations_faultsHaveLineAndPosition();
    void matrix_testsValuesOfSegments_data();
    void matrix_testsValuesOfSegments();
    void change_findsTheDeclaredSegment_data();
    void change_findsTheDeclaredSegment();
    void diacritics_joinTheirSegment();
    void ipa_pulmonicConsonantsByTheChart_data();
    void ipa_pulmonicConsonantsByTheChart();
    void ipa_otherLettersByTheChart_data();
    void ipa_otherLettersByTheChart();
    void ipa_diacriticsAndChanges_data();
    void ipa_diacriticsAndChanges();
    void ipa_listDeclarationsComeFirst();
    void declarations_printedReadBackTheSame();
    void segmentFeatures_knowsWordsCompounds();
    void syllables_cutWords_data();
    void syllables_cutWords();
    void syllables_lineFaults_data();
    void syllables_lineFaults();
    void syllables_explicitBoundaries();
    void cli_printsTheTableOrAListsOwn();
    void rules_featuresAndSyllables_data();
    void rules_featuresAndSyllables();
    void rules_faults_data();
    void rules_faults();
    void rules_missingSegmentsAndUncutWordsAreReported();
    void cli_writesSyllablesAndWarns();
    void example_grimmAndVerner();
};

void TestNotationFeatures::declarations_faultsHaveLineAndPosition_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    const auto message = [](int line, const QString &text, int position, const QString &reason) {
        return RuleError{line - 1, position, reason, text}.message();
    };
    QTest::newRow("feature without name") << QStringList{"@rasgo"} << message(2, "@rasgo", 7, nmsg::kBadFeature);
    QTest::newRow("two names") << QStringList{"@rasgo a b: x"} << message(2, "@rasgo a b: x", 10, nmsg::kBadFeature);
    QTest::newRow("no values after colon") << QStringList{"@rasgo a:"} << message(2, "@rasgo a:", 10, nmsg::kNoValues);
    QTest::newRow("bad value name") << QStringList{"@rasgo a: x+y"} << message(2, "@rasgo a: x+y", 11, nmsg::badName("x+y"));
    QTest::newRow("value twice in one feature")
        << QStringList{"@rasgo a: x, x"} << message(2, "@rasgo a: x, x", 14, nmsg::valueTaken("x", "a"));
    QTest::newRow("value of another feature") << QStringList{"@rasgo a: x, y", "@rasgo b: z, y"}
                                              << message(3, "@rasgo b: z, y", 14, nmsg::valueTaken("y", "a"));
    QTest::newRow("binary then valued") << QStringList{"@rasgo a", "@rasgo a: x"}
                                        << message(3, "@rasgo a: x", 8, nmsg::featureKindDiffers("a", false));
    QTest::newRow("two defaults") << QStringList{"@rasgo a: *x, *y"}
                                  << message(2, "@rasgo a: *x, *y", 15, nmsg::twoDefaults("a"));
    QTest::newRow("unknown value in symbol") << QStringList{"@rasgo a: x", "@símbolo p: x w"}
                                             << message(3, "@símbolo p: x w", 15, nmsg::unknownValue("w"));
    QTest::newRow("unknown binary in symbol") << QStringList{"@rasgo a", "@símbolo p: +b"}
                                              << message(3, "@símbolo p: +b", 13, nmsg::unknownValue("+b"));
    QTest::newRow("two values of one feature") << QStringList{"@rasgo a: x, y", "@símbolo p: x y"}
                                               << message(3, "@símbolo p: x y", 15, nmsg::sameFeature("x", "y", "a"));
    QTest::newRow("symbol without colon") << QStringList{"@rasgo a: x", "@símbolo p x"}
                                          << message(3, "@símbolo p x", 10, nmsg::kBadSymbolFeatures);
    QTest::newRow("symbol twice") << QStringList{"@rasgo a: x", "@símbolo p: x", "@símbolo p: x"}
                                  << message(4, "@símbolo p: x", 10, nmsg::declaredTwice("p", 2));
    QTest::newRow("diacritic of two characters") << QStringList{"@rasgo a", "@diacrítico ab: +a"}
                                                 << message(3, "@diacrítico ab: +a", 13, nmsg::kDiacriticAlone);
    QTest::newRow("diacritic without values") << QStringList{"@rasgo a", "@diacrítico ʰ:"}
                                              << message(3, "@diacrítico ʰ:", 15, nmsg::kNoValues);
    QTest::newRow("unknown table") << QStringList{"@rasgos latín"} << message(2, "@rasgos latín", 9, nmsg::kBadTable);
    // Positions count characters: the surrogate pair is one.
    QTest::newRow("position after a surrogate pair")
        << QStringList{"@rasgo a: x", "@símbolo 𝼊: x q"} << message(3, "@símbolo 𝼊: x q", 15, nmsg::unknownValue("q"));
}

void TestNotationFeatures::declarations_faultsHaveLineAndPosition()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    QList<RuleError> errors;
    table(QStringList{"@ampliada"} + lines, &errors);
    QVERIFY(!errors.isEmpty());
    QCOMPARE(errors.constFirst().message(), message);
}

void TestNotationFeatures::matrix_testsValuesOfSegments_data()
{
    QTest::addColumn<QString>("segment");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("matches");
    QTest::newRow("value") << "p" << QStringList{"labial"} << true;
    QTest::newRow("binary default minus") << "p" << QStringList{"-sonora"} << true;
    QTest::newRow("binary plus") << "b" << QStringList{"+sonora", "labial"} << true;
    QTest::newRow("one item fails") << "p" << QStringList{"+sonora", "labial"} << false;
    QTest::newRow("valued default") << "t" << QStringList{"dental"} << true;
    QTest::newRow("not a value") << "p" << QStringList{"!labial"} << false;
    QTest::newRow("not a value, another") << "k" << QStringList{"!labial"} << true;
    QTest::newRow("not a value, none of the feature") << "p" << QStringList{"!alta"} << true;
    QTest::newRow("no value of the feature") << "p" << QStringList{"baja"} << false;
    QTest::newRow("accents optional") << "i" << QStringList{"ALTA"} << true;
    QTest::newRow("compound symbol") << "ch" << QStringList{"velar", "+aspirada"} << true;
    QTest::newRow("base and diacritic") << "pʰ" << QStringList{"labial", "+aspirada"} << true;
    QTest::newRow("diacritics in any order") << "kʷʰ" << QStringList{"+aspirada", "+labializada", "velar"} << true;
    QTest::newRow("undeclared segment, negated") << "x" << QStringList{"!labial"} << false;
    QTest::newRow("undeclared diacritic") << "p\u0303" << QStringList{"labial"} << false;
}

void TestNotationFeatures::matrix_testsValuesOfSegments()
{
    QFETCH(QString, segment);
    QFETCH(QStringList, items);
    QFETCH(bool, matches);
    const FeatureTable t = table(kSystem);
    Matrix matrix;
    QVERIFY(t.matrix(items, matrix));
    const std::optional<ValueSet> values = t.featuresOf(segment);
    QCOMPARE(matrix.matches(values ? &*values : nullptr), matches);
}

void TestNotationFeatures::change_findsTheDeclaredSegment_data()
{
    QTest::addColumn<QString>("segment");
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QString>("result");
    QTest::newRow("voicing") << "p" << QStringList{"+sonora"} << "b";
    QTest::newRow("devoicing") << "d" << QStringList{"-sonora"} << "t";
    QTest::newRow("place") << "t" << QStringList{"velar"} << "k";
    QTest::newRow("declared compound first") << "k" << QStringList{"+aspirada"} << "ch";
    QTest::newRow("base with diacritic") << "p" << QStringList{"+aspirada"} << "pʰ";
    QTest::newRow("diacritics in declared order") << "kʷʰ" << QStringList{"labial"} << "pʰʷ";
    QTest::newRow("diacritic removed") << "pʰ" << QStringList{"-aspirada"} << "p";
    QTest::newRow("no such segment") << "k" << QStringList{"+sonora"} << "(ninguno)";
    QTest::newRow("unchanged") << "p" << QStringList{"labial"} << "p";
}

void TestNotationFeatures::change_findsTheDeclaredSegment()
{
    QFETCH(QString, segment);
    QFETCH(QStringList, set);
    QFETCH(QString, result);
    QCOMPARE(changed(table(kSystem), segment, set), result);
}

void TestNotationFeatures::diacritics_joinTheirSegment()
{
    const FeatureTable t = table(kSystem);
    Segmenter segmenter;
    t.teach(segmenter);
    std::vector<SegmentId> ids;
    LocalSegments local;
    segmenter.cutWord(u"chapʰʷaʰ", ids, local);
    QStringList texts;
    for (const SegmentId id : ids) {
        QString text;
        segmenter.append(id, local, text);
        texts.append(text);
    }
    // A diacritic with no segment before it stands alone.
    segmenter.cutWord(u"ʰa", ids, local);
    QCOMPARE(texts, (QStringList{"ch", "a", "pʰʷ", "aʰ"}));
    QCOMPARE(ids.size(), std::size_t(2));
}

void TestNotationFeatures::ipa_pulmonicConsonantsByTheChart_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("manner");
    QTest::addColumn<bool>("voiced");
    struct Cell {
        const char16_t *voiceless;
        const char16_t *voiced;
        const char *place;
        const char *manner;
    };
    // Every cell of the chart's pulmonic table, row by row.
    const Cell cells[] = {
        {u"p", u"b", "bilabial", "oclusiva"}, {u"t", u"d", "alveolar", "oclusiva"},
        {u"ʈ", u"ɖ", "retrofleja", "oclusiva"}, {u"c", u"ɟ", "palatal", "oclusiva"},
        {u"k", u"ɡ", "velar", "oclusiva"}, {u"q", u"ɢ", "uvular", "oclusiva"}, {u"ʔ", nullptr, "glotal", "oclusiva"},
        {nullptr, u"m", "bilabial", "nasal"}, {nullptr, u"ɱ", "labiodental", "nasal"},
        {nullptr, u"n", "alveolar", "nasal"}, {nullptr, u"ɳ", "retrofleja", "nasal"},
        {nullptr, u"ɲ", "palatal", "nasal"}, {nullptr, u"ŋ", "velar", "nasal"}, {nullptr, u"ɴ", "uvular", "nasal"},
        {nullptr, u"ʙ", "bilabial", "vibrante"}, {nullptr, u"r", "alveolar", "vibrante"},
        {nullptr, u"ʀ", "uvular", "vibrante"}, {nullptr, u"ⱱ", "labiodental", "percusiva"},
        {nullptr, u"ɾ", "alveolar", "percusiva"}, {nullptr, u"ɽ", "retrofleja", "percusiva"},
        {u"ɸ", u"β", "bilabial", "fricativa"}, {u"f", u"v", "labiodental", "fricativa"},
        {u"θ", u"ð", "dental", "fricativa"}, {u"s", u"z", "alveolar", "fricativa"},
        {u"ʃ", u"ʒ", "postalveolar", "fricativa"}, {u"ʂ", u"ʐ", "retrofleja", "fricativa"},
        {u"ç", u"ʝ", "palatal", "fricativa"}, {u"x", u"ɣ", "velar", "fricativa"},
        {u"χ", u"ʁ", "uvular", "fricativa"}, {u"ħ", u"ʕ", "faríngea", "fricativa"},
        {u"h", u"ɦ", "glotal", "fricativa"}, {u"ɬ", u"ɮ", "alveolar", "fricativa"},
        {nullptr, u"ʋ", "labiodental", "aproximante"}, {nullptr, u"ɹ", "alveolar", "aproximante"},
        {nullptr, u"ɻ", "retrofleja", "aproximante"}, {nullptr, u"j", "palatal", "aproximante"},
        {nullptr, u"ɰ", "velar", "aproximante"}, {nullptr, u"l", "alveolar", "aproximante"},
        {nullptr, u"ɭ", "retrofleja", "aproximante"}, {nullptr, u"ʎ", "palatal", "aproximante"},
        {nullptr, u"ʟ", "velar", "aproximante"},
    };
    for (const Cell &cell : cells) {
        for (const char16_t *symbol : {cell.voiceless, cell.voiced}) {
            if (!symbol)
                continue;
            const QString text = QString::fromUtf16(symbol);
            QTest::newRow(text.toUtf8().constData())
                << text << QString::fromUtf8(cell.place) << QString::fromUtf8(cell.manner) << (symbol == cell.voiced);
        }
    }
}

void TestNotationFeatures::ipa_pulmonicConsonantsByTheChart()
{
    QFETCH(QString, symbol);
    QFETCH(QString, place);
    QFETCH(QString, manner);
    QFETCH(bool, voiced);
    const FeatureTable &t = ipa();
    QCOMPARE(valueOf(t, symbol, "lugar"), place);
    QCOMPARE(valueOf(t, symbol, "modo"), manner);
    QCOMPARE(valueOf(t, symbol, "sonora"), voiced ? "+sonora" : "-sonora");
    QCOMPARE(valueOf(t, symbol, "clase"), "consonante");
    QCOMPARE(valueOf(t, symbol, "corriente"), "pulmonar");
    const bool lateral = QStringList{"ɬ", "ɮ", "l", "ɭ", "ʎ", "ʟ"}.contains(symbol);
    QCOMPARE(valueOf(t, symbol, "lateral"), lateral ? "+lateral" : "-lateral");
    QCOMPARE(valueOf(t, symbol, "nasal"), manner == "nasal" ? "+nasal" : "-nasal");
}

void TestNotationFeatures::ipa_otherLettersByTheChart_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("feature");
    QTest::addColumn<QString>("value");
    // Vowels: height, backness, rounding.
    const char *vowels[][4] = {
        {"i", "cerrada", "anterior", "-"}, {"y", "cerrada", "anterior", "+"}, {"ɨ", "cerrada", "central", "-"},
        {"ʉ", "cerrada", "central", "+"}, {"ɯ", "cerrada", "posterior", "-"}, {"u", "cerrada", "posterior", "+"},
        {"ɪ", "casicerrada", "anterior", "-"}, {"ʏ", "casicerrada", "anterior", "+"},
        {"ʊ", "casicerrada", "posterior", "+"}, {"e", "semicerrada", "anterior", "-"},
        {"ø", "semicerrada", "anterior", "+"}, {"ɘ", "semicerrada", "central", "-"},
        {"ɵ", "semicerrada", "central", "+"}, {"ɤ", "semicerrada", "posterior", "-"},
        {"o", "semicerrada", "posterior", "+"}, {"ə", "media", "central", "-"},
        {"ɛ", "semiabierta", "anterior", "-"}, {"œ", "semiabierta", "anterior", "+"},
        {"ɜ", "semiabierta", "central", "-"}, {"ɞ", "semiabierta", "central", "+"},
        {"ʌ", "semiabierta", "posterior", "-"}, {"ɔ", "semiabierta", "posterior", "+"},
        {"æ", "casiabierta", "anterior", "-"}, {"ɐ", "casiabierta", "central", "-"},
        {"a", "abierta", "anterior", "-"}, {"ɶ", "abierta", "anterior", "+"}, {"ɑ", "abierta", "posterior", "-"},
        {"ɒ", "abierta", "posterior", "+"},
    };
    for (const auto &v : vowels) {
        const QString s = QString::fromUtf8(v[0]);
        QTest::newRow(qPrintable(s + " altura")) << s << "altura" << QString::fromUtf8(v[1]);
        QTest::newRow(qPrintable(s + " posición")) << s << "posición" << QString::fromUtf8(v[2]);
        QTest::newRow(qPrintable(s + " redondeada")) << s << "redondeada" << QString::fromUtf8(v[3]) + "redondeada";
        QTest::newRow(qPrintable(s + " silábica")) << s << "silábica" << "+silábica";
    }
    // Other symbols, clicks, implosives, affricates.
    const char *others[][3] = {
        {"ʍ", "lugar", "labiovelar"}, {"ʍ", "sonora", "-sonora"}, {"w", "modo", "aproximante"},
        {"ɥ", "lugar", "labiopalatal"}, {"ʜ", "lugar", "epiglótica"}, {"ʢ", "sonora", "+sonora"},
        {"ʡ", "modo", "oclusiva"}, {"ɕ", "lugar", "alveolopalatal"}, {"ʑ", "sonora", "+sonora"},
        {"ɺ", "lateral", "+lateral"}, {"ɺ", "modo", "percusiva"}, {"ʘ", "corriente", "clic"},
        {"ǀ", "lugar", "dental"}, {"ǁ", "lateral", "+lateral"}, {"ɓ", "corriente", "implosiva"},
        {"ʛ", "lugar", "uvular"}, {"ɗ", "sonora", "+sonora"}, {"t͡ʃ", "modo", "africada"},
        {"d͡ʒ", "lugar", "postalveolar"}, {"ʦ", "lugar", "alveolar"}, {"k͡p", "lugar", "labiovelar"},
        {"ɡ", "sonora", "+sonora"}, {"g", "lugar", "velar"}, {"p", "altura", ""}, {"a", "lugar", ""},
    };
    for (const auto &o : others) {
        const QString s = QString::fromUtf8(o[0]);
        QTest::newRow(qPrintable(s + ' ' + QString::fromUtf8(o[1]))) << s << QString::fromUtf8(o[1])
                                                                  << QString::fromUtf8(o[2]);
    }
}

void TestNotationFeatures::ipa_otherLettersByTheChart()
{
    QFETCH(QString, symbol);
    QFETCH(QString, feature);
    QFETCH(QString, value);
    QCOMPARE(valueOf(ipa(), symbol, feature), value);
}

void TestNotationFeatures::ipa_diacriticsAndChanges_data()
{
    QTest::addColumn<QString>("segment");
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QString>("result");
    QTest::newRow("voicing") << "p" << QStringList{"+sonora"} << "b";
    QTest::newRow("voiced velar written g") << "k" << QStringList{"+sonora"} << "g";
    QTest::newRow("aspiration") << "k" << QStringList{"+aspirada"} << "kʰ";
    QTest::newRow("aspirated voiced") << "bʰ" << QStringList{"-sonora"} << "pʰ";
    QTest::newRow("nasal place") << "n" << QStringList{"velar"} << "ŋ";
    QTest::newRow("nasal place, labial") << "ŋ" << QStringList{"bilabial"} << "m";
    QTest::newRow("nasal vowel composed") << "a" << QStringList{"+nasal"} << "ã";
    QTest::newRow("nasal vowel back") << "ã" << QStringList{"-nasal"} << "a";
    QTest::newRow("length") << "e" << QStringList{"+larga"} << "eː";
    QTest::newRow("ejective") << "k" << QStringList{"eyectiva"} << "kʼ";
    QTest::newRow("voiceless sonorant") << "n" << QStringList{"-sonora"} << "n̥";
    QTest::newRow("syllabic") << "l" << QStringList{"+silábica"} << "l̩";
    QTest::newRow("two diacritics in order") << "t" << QStringList{"+aspirada", "+labializada"} << "tʰʷ";
    QTest::newRow("affricate") << "t͡s" << QStringList{"postalveolar"} << "t͡ʃ";
    QTest::newRow("fricative to stop") << "x" << QStringList{"oclusiva"} << "k";
    QTest::newRow("vowel height") << "e" << QStringList{"cerrada"} << "i";
    QTest::newRow("fronting") << "u" << QStringList{"anterior"} << "y";
    QTest::newRow("no voiced glottal stop") << "ʔ" << QStringList{"+sonora"} << "ʔ̬";
    QTest::newRow("no place for a vowel") << "a" << QStringList{"velar"} << "(ninguno)";
}

void TestNotationFeatures::ipa_diacriticsAndChanges()
{
    QFETCH(QString, segment);
    QFETCH(QStringList, set);
    QFETCH(QString, result);
    QCOMPARE(changed(ipa(), segment, set), result);
}

void TestNotationFeatures::ipa_listDeclarationsComeFirst()
{
    QList<RuleError> errors;
    const FeatureTable t = table({"@ampliada", "@símbolo y: consonante palatal aproximante +sonora", "@rasgos IPA",
                                  "@rasgo tono: alto, bajo", "@diacrítico ´: alto", "@símbolo ñ: consonante palatal nasal +sonora +nasal"},
                                 &errors);
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0).message()));
    QVERIFY(t.hasTable());
    QCOMPARE(valueOf(t, "y", "clase"), "consonante");
    QCOMPARE(changed(t, "ʎ", {"-lateral"}), "y");
    QCOMPARE(changed(t, "n", {"palatal"}), "ñ");
    QCOMPARE(valueOf(t, "a´", "tono"), "alto");
    QCOMPARE(valueOf(t, "ñ", "nasal"), "+nasal");
}

void TestNotationFeatures::declarations_printedReadBackTheSame()
{
    // What "vordane-cli rasgos" prints is declarations that read back as the
    // same table.
    for (const bool fromTable : {true, false}) {
        const FeatureTable &original = fromTable ? ipa() : table(kSystem);
        const FeatureTable copy = table(QStringList{"@ampliada"} + original.declarations(fromTable));
        QCOMPARE(copy.symbols().size(), original.symbols().size());
        QCOMPARE(copy.diacritics().size(), original.diacritics().size());
        for (std::size_t i = 0; i < original.symbols().size(); ++i) {
            const auto &symbol = original.symbols()[i];
            QCOMPARE(copy.symbols()[i].text, symbol.text);
            QCOMPARE(copy.describe(copy.symbols()[i].values), original.describe(symbol.values));
        }
        for (std::size_t i = 0; i < original.diacritics().size(); ++i)
            QCOMPARE(copy.diacritics()[i].character, original.diacritics()[i].character);
    }
}

void TestNotationFeatures::segmentFeatures_knowsWordsCompounds()
{
    const FeatureTable t = table(kSystem);
    Segmenter segmenter;
    t.teach(segmenter);
    const std::vector<SegmentId> rule = segmenter.cutRuleText(u"pʰ");
    SegmentFeatures features(t, segmenter);
    std::vector<SegmentId> ids;
    LocalSegments local;
    Matrix aspirated;
    QVERIFY(t.matrix({"+aspirada"}, aspirated));
    // The same local id is another segment in the next word.
    segmenter.cutWord(u"kʰi", ids, local);
    QVERIFY(aspirated.matches(features.of(ids[0], local)));
    QVERIFY(!aspirated.matches(features.of(ids[1], local)));
    local.clear();
    segmenter.cutWord(u"kʷ", ids, local);
    QVERIFY(!aspirated.matches(features.of(ids[0], local)));
    QVERIFY(features.of(ids[0], local));
    QVERIFY(aspirated.matches(features.of(rule[0], local)));
    QVERIFY(!features.of(SegmentId(U'x'), local));
    const ValueSet *k = features.of(SegmentId(U'k'), local);
    QVERIFY(k);
    const ValueId labial = t.value("labial");
    QCOMPARE(features.segmentWith(t.withValues(*k, std::span(&labial, 1))).value_or(QString()), QString("p"));
}

void TestNotationFeatures::syllables_cutWords_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("cut");
    const QString two = "(C)(C)|V|(C)(C)";
    QTest::newRow("pata") << two << "pata" << "pa.ta";
    QTest::newRow("patra") << two << "patra" << "pa.tra";
    // Classes alone cannot tell "tr" from "rt": a second onset class does.
    QTest::newRow("parta, classes alone") << two << "parta" << "pa.rta";
    const QString liquids = "(C)([r,l])|V|(C)(C), s[p,t,k]|V|(C)(C)";
    QTest::newRow("parta") << liquids << "parta" << "par.ta";
    QTest::newRow("patra, second class") << liquids << "patra" << "pa.tra";
    QTest::newRow("spaspanspantspasp, second class") << liquids << "spaspanspantspasp" << "spa.span.spant.spasp";
    QTest::newRow("spaspanspantspasp") << two << "spaspanspantspasp" << "spa.span.spant.spasp";
    QTest::newRow("three between nuclei") << two << "astra" << "as.tra";
    QTest::newRow("vowels in hiatus") << two << "aea" << "a.e.a";
    QTest::newRow("no nucleus") << two << "pst" << "×";
    QTest::newRow("onset too long") << two << "stra" << "×";
    QTest::newRow("coda too long") << two << "arst" << "×";
    QTest::newRow("cluster too long") << two << "arstlpa" << "×";
    QTest::newRow("empty word") << two << "" << "";
    QTest::newRow("paikaoinik") << "(C)|V(V)|(C)" << "paikaoinik" << "pai.kao.i.nik";
    QTest::newRow("nucleus alone") << "V" << "aei" << "a.e.i";
    QTest::newRow("onset and nucleus") << "C|V" << "papa" << "pa.pa";
    QTest::newRow("onset and nucleus, coda refused") << "C|V" << "pap" << "×";
    QTest::newRow("repeated onset") << "C*|V+|" << "strauiskra" << "straui.skra";
    QTest::newRow("group repeated") << "(s[ptk])+|V|" << "spaspsta" << "spa.spsta";
    QTest::newRow("letter and bracket") << "(s)[ptk]|V|(n)" << "spansta" << "span.sta";
    // Each syllable takes its parts from one pattern: "ap" needs the
    // second, so the longest onset ("a.pap") would leave "pap" uncut.
    QTest::newRow("one pattern per syllable") << "(C)|V|, |V|C" << "apap" << "ap.ap";
    QTest::newRow("one pattern per syllable, the first fits") << "(C)|V|, |V|C" << "apa" << "a.pa";
    QTest::newRow("two patterns, longest nucleus") << "C|V|, C|VV|" << "paapa" << "paa.pa";
    QTest::newRow("unbounded nucleus that fails") << "|V|, |V[sn]*i|" << "asnsnsnsnsna" << "×";
    QTest::newRow("unbounded nucleus that fits") << "|V|, |V[sn]*i|" << "asnsnia" << "asnsni.a";
}

void TestNotationFeatures::syllables_cutWords()
{
    QFETCH(QString, patterns);
    QFETCH(QString, word);
    QFETCH(QString, cut);
    QCOMPARE(syllables(patterns, word), cut);
}

void TestNotationFeatures::syllables_lineFaults_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("reason");
    // Positions are in the line "@sílabas " + patterns: the first at 10.
    QTest::newRow("nothing") << "" << 9 << nmsg::kBadSyllables;
    QTest::newRow("unclosed group") << "(C|V" << 10 << nmsg::kUnclosedGroup;
    QTest::newRow("unopened group") << "C)|V" << 11 << nmsg::kUnopenedGroup;
    QTest::newRow("four parts") << "C|V|C|C" << 15 << nmsg::kTooManyParts;
    QTest::newRow("empty nucleus") << "C||C" << 12 << nmsg::kEmptyNucleus;
    QTest::newRow("optional nucleus") << "C|(V)|C" << 12 << nmsg::kEmptyNucleus;
    QTest::newRow("empty pattern") << "C|V|C, ,V" << 17 << nmsg::kEmptyPattern;
    QTest::newRow("unknown category") << "Q|V" << 10 << QString("«Q» no es una categoría");
    QTest::newRow("not in a pattern") << "C|V!|" << 13 << nmsg::kNotInSyllable;
    QTest::newRow("nothing to repeat") << "*C|V" << 10 << nmsg::kNothingToRepeat;
    QTest::newRow("unclosed bracket") << "[p,t|V" << 10 << nmsg::kUnclosedBracket;
    QTest::newRow("empty group") << "()C|V" << 10 << nmsg::kEmptyGroup;
    QTest::newRow("too long a part") << QString("C").repeated(64) + "|V" << 10 << nmsg::kSyllablePartTooLong;
}

void TestNotationFeatures::syllables_lineFaults()
{
    QFETCH(QString, patterns);
    QFETCH(int, position);
    QFETCH(QString, reason);
    Classes classes;
    SyllableSpec cutting;
    const auto error = readSyllables(3, "@sílabas " + patterns,
                                     [&](const QString &w, QString &why) { return classes.resolve(w, why); }, cutting);
    QVERIFY(error);
    QCOMPARE(error->reason, reason);
    QCOMPARE(error->position, qsizetype(position));
    QCOMPARE(error->line, qsizetype(3));
}

void TestNotationFeatures::syllables_explicitBoundaries()
{
    SyllableSpec cutting;
    QVERIFY(!readSyllables(0, "@sílabas explícitas", nullptr, cutting));
    QCOMPARE(cutting.mode, SyllableSpec::Mode::Explicit);
    QVERIFY(!readSyllables(0, "@silabas  NINGUNA ", nullptr, cutting));
    QCOMPARE(cutting.mode, SyllableSpec::Mode::None);

    Segmenter segmenter;
    LocalSegments local;
    std::vector<SegmentId> ids;
    std::vector<int> starts;
    segmenter.cutWord(u".ba..na.na.", ids, local);
    explicitSyllables(ids, starts);
    QCOMPARE(starts, (std::vector<int>{2, 4}));
    QCOMPARE(withBoundaries(segmenter, ids, local, starts), "ba.na.na");

    // A word a rule left, marked by the "@sílabas" line in force for it (a
    // trace's steps); the last line marks the words the list writes.
    const CompiledRules rules(parseList({"@ampliada", "C=p,t,k", "V=a,e", "@sílabas (C)|V|", "a>e/_#",
                                         "@sílabas (C)|V|(C)", "t>k", "@sílabas ninguna", "k>p/_#"}));
    QCOMPARE(rules.syllabifiedAfter("pate", 4), "pa.te");
    QCOMPARE(rules.syllabifiedAfter("pakep", 6), "pa.kep");
    QCOMPARE(rules.syllabifiedAfter("pakep", 4), "pakep"); // no coda there: not cut
    QCOMPARE(rules.syllabifiedAfter("pape", 8), "pape");
    QCOMPARE(rules.syllabified("pape"), "pape");
}

void TestNotationFeatures::cli_printsTheTableOrAListsOwn()
{
    const auto run = [](const QStringList &args, QString *err = nullptr) {
        QBuffer out;
        QBuffer error;
        out.open(QIODevice::WriteOnly);
        error.open(QIODevice::WriteOnly);
        const int status = runCli(QStringList{"vordane-cli", "rasgos"} + args, out, error);
        if (err)
            *err = QString::fromUtf8(error.data());
        return std::make_pair(status, QString::fromUtf8(out.data()));
    };
    const auto [status, table] = run({});
    QCOMPARE(status, 0);
    QVERIFY(table.contains("\n@símbolo ɓ: consonante bilabial oclusiva implosiva +sonora\n"));
    QVERIFY(table.contains("\n@diacrítico ◌̃: +nasal\n"));

    QTemporaryDir dir;
    const QString list = dir.filePath("l.sc");
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("@ampliada\r\n@rasgos ipa\r\n@rasgo tono: alto, *bajo\r\n@s\xc3\xadmbolo ch: postalveolar africada\r\n");
    file.close();
    const auto [listStatus, own] = run({list});
    QCOMPARE(listStatus, 0);
    QCOMPARE(own, "; La lista carga la tabla ipa («vordane-cli rasgos» la muestra).\n@rasgo tono: alto, *bajo\n"
                  "@símbolo ch: postalveolar africada\n");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("@ampliada\r\n@rasgo tono: alto\r\n@diacr\xc3\xadtico ': tono\r\n");
    file.close();
    QString err;
    const auto [badStatus, nothing] = run({list}, &err);
    QCOMPARE(badStatus, 1);
    QVERIFY(nothing.isEmpty());
    QVERIFY2(err.startsWith("Línea 3 («@diacrítico ': tono»), posición 16: «tono» no es un valor declarado"), qPrintable(err));
}

void TestNotationFeatures::rules_featuresAndSyllables_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("marks");
    const auto rule = [](const QStringList &lines) { return kRulesHead + lines; };
    QTest::newRow("voicing between vowels") << rule({"[-sonora,oclusiva]>[+sonora]/V_V"}) << "pataka apta"
                                            << "padaga apta" << false;
    QTest::newRow("nasal assimilation") << rule({"[+nasal]>[$lugar]/_[$lugar,-silábica]"})
                                        << "anpa inka anta ana" << "ampa iŋka anta ana" << false;
    QTest::newRow("variable agreeing across the place") << rule({"a>i/[$lugar]_[$lugar]"}) << "pab pad tan"
                                                        << "pib pad tin" << false;
    QTest::newRow("a declared value alone") << rule({"[labial]>x"}) << "mapa taka" << "xaxa taka" << false;
    QTest::newRow("without a value, none included") << rule({"[!labial]>h/_#"}) << "pat pap pa"
                                                    << "pah pap ph" << false;
    QTest::newRow("not a matrix") << rule({"![+sonora]>x/a_"}) << "apab" << "axab" << false;
    QTest::newRow("category and values") << rule({"[C,+sonora]>x"}) << "pabna" << "paxxa" << false;
    QTest::newRow("capture with values") << rule({"P$1>$1[+sonora]/V_V"}) << "apa aka" << "aba aga" << false;
    QTest::newRow("length by a diacritic") << rule({"V>[+larga]/_#"}) << "pata" << "pataː" << false;
    QTest::newRow("matrix at its place of several") << rule({"a[oclusiva]a>a[+sonora]i"}) << "apa" << "abi"
                                                    << false;
    QTest::newRow("no index mapping for matrices") << rule({"[oclusiva]P>[+sonora]P"}) << "tk apt" << "dk abt"
                                                   << false;
    QTest::newRow("no segment has the values") << rule({"[nasal]>[-sonora]"}) << "ama" << "ama" << false;
    QTest::newRow("only the segments of a matrix") << rule({"a>i/i_ {solo [+silábica]}"}) << "pimata pimat"
                                                   << "pimita pimit" << false;
    QTest::newRow("ipa voicing") << QStringList{"@ampliada", "@rasgos ipa", "V=a,e,i,o,u",
                                                "[-sonora,oclusiva]>[+sonora]/V_V"}
                                 << "pataka" << "padaga" << false;
    QTest::newRow("ipa nasal assimilation")
        << QStringList{"@ampliada", "@rasgos ipa", "[+nasal]>[$lugar]/_[$lugar,-silábica]"} << "anpa anka anta"
        << "ampa aŋka anta" << false;
    QTest::newRow("ipa aspiration and length")
        << QStringList{"@ampliada", "@rasgos ipa", "[-sonora,oclusiva]>[+aspirada]/#_", "[vocal]>[+larga]/_#"}
        << "pata" << "pʰataː" << false;

    const QStringList two{"@ampliada", "C=p,t,k,b,d,g,m,n,s,r,l", "V=a,e,i,o,u", "@sílabas (C)(C)|V|(C)(C)"};
    QTest::newRow("pata") << two << "pata" << "pa.ta" << true;
    QTest::newRow("patra") << two << "patra" << "pa.tra" << true;
    QTest::newRow("parta, by sonority") << two << "parta" << "par.ta" << true;
    QTest::newRow("spaspanspantspasp") << two << "spaspanspantspasp" << "spa.span.spant.spasp" << true;
    QTest::newRow("sonority: nasal before stop") << two << "anta" << "an.ta" << true;
    QTest::newRow("sonority: stop before liquid") << two << "apla atla" << "a.pla a.tla" << true;
    QTest::newRow("sonority: sibilant before stop") << two << "asta astra" << "a.sta as.tra" << true;
    QTest::newRow("sonority: liquid before nasal") << two << "alma" << "al.ma" << true;
    QTest::newRow("sonority: equal, not rising") << two << "apta atta amna" << "ap.ta at.ta am.na" << true;
    QTest::newRow("paikaoinik") << QStringList{"@ampliada", "C=p,k,n", "V=a,e,i,o,u", "@sílabas (C)|V(V)|(C)"}
                                << "paikaoinik" << "pai.kao.i.nik" << true;
    QTest::newRow("cut again after a rule") << two + QStringList{"r>/C_"} << "patran" << "pa.tan" << true;
    QTest::newRow("boundary after a coda") << two + QStringList{"C>h/_."} << "parta pata" << "pahta pata" << false;
    QTest::newRow("boundary in the target") << two + QStringList{"a.t>e"} << "pata atta" << "pea atta" << false;
    QTest::newRow("no boundary") << two + QStringList{"t>d/a_!."} << "pat pata" << "pat pada" << false;
    QTest::newRow("a later line replaces the patterns")
        << QStringList{"@ampliada", "C=p,t,k", "V=a", "@sílabas (C)|V|", "t>d/_.", "@sílabas (C)|V|(C)", "t>d/_."}
        << "patka pata" << "padka pata" << false;
    QTest::newRow("ipa syllables by features")
        << QStringList{"@ampliada", "@rasgos ipa", "@sílabas ([consonante])([consonante])|[vocal]|([consonante])"}
        << "parta patra" << "par.ta pa.tra" << true;

    const QStringList dots{"@ampliada", "@sílabas explícitas"};
    QTest::newRow("explicit: before a boundary") << dots + QStringList{"a>i/_."} << "ba.na.na" << "bi.ni.ni"
                                                 << false;
    QTest::newRow("explicit: dots skipped") << dots + QStringList{"an>en"} << "ba.na" << "be.na" << false;
    QTest::newRow("explicit: across a dot") << dots + QStringList{"ana>ene"} << "ba.na" << "be.ne" << false;
    QTest::newRow("explicit: joined, the dot goes")
        << QStringList{"@ampliada", "@símbolos oː", "@sílabas explícitas", "oo>oː"} << "to.o.nat" << "toː.nat"
        << false;
    QTest::newRow("explicit: written") << dots + QStringList{"n>.n/a_a"} << "bana" << "ba.na" << false;
    QTest::newRow("explicit: written into an empty word") << dots + QStringList{">z.b/_V*"} << "" << "z.b" << false;
    QTest::newRow("explicit: deleted") << dots + QStringList{".>/a_n"} << "ba.na.na" << "banana" << false;
    QTest::newRow("explicit: never in a capture") << dots + QStringList{"[]$1[]$2>$2$1"} << "a.b" << "b.a"
                                                  << false;
    QTest::newRow("explicit then none") << dots + QStringList{"a>e", "@sílabas ninguna", "n>m"} << "ba.na"
                                        << "beme" << false;
    QTest::newRow("explicit then none, no rule below") << dots + QStringList{"a>e", "@sílabas ninguna"} << "ba.na"
                                                       << "bene" << false;
}

void TestNotationFeatures::rules_featuresAndSyllables()
{
    QFETCH(QStringList, list);
    QFETCH(QString, words);
    QFETCH(QString, expected);
    QFETCH(bool, marks);
    QCOMPARE(through(list, words, marks), expected);
}

void TestNotationFeatures::rules_faults_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unknown value") << "[+dura]>x" << 2 << nmsg::unknownValue("+dura");
    QTest::newRow("unknown feature") << "a>[$tono]/_[$tono]" << 4 << nmsg::unknownFeature("tono");
    QTest::newRow("two values of a feature") << "[labial,dental]>x" << 9
                                              << nmsg::sameFeature("labial", "dental", "lugar");
    QTest::newRow("two categories") << "[V,C,+sonora]>x" << 4 << nmsg::kTwoCategoriesInMatrix;
    QTest::newRow("category in a replacement") << "a>[V,+larga]" << 4 << nmsg::kCategoryInReplacementMatrix;
    QTest::newRow("negated in a replacement") << "a>[!larga]" << 4 << nmsg::kNegatedInReplacement;
    QTest::newRow("negated variable") << "a>e/_![$lugar]" << 6 << nmsg::kNegatedVariable;
    QTest::newRow("elements differ") << "ab>[+larga]" << 4 << nmsg::matrixWithoutPartner(2, 1);
    QTest::newRow("element of several segments") << "(a)>[+larga]" << 5 << nmsg::matrixPartnerNotOne(1);
    QTest::newRow("unbound variable") << "a>[$lugar]" << 3 << nmsg::unboundVariable("lugar");
    QTest::newRow("boundary without syllables") << "a>e/_." << 6 << nmsg::kSyllableBoundary;
    QTest::newRow("variable in {solo X}") << "a>e {solo [$lugar]}" << 11 << nmsg::kOnlyVariable;
}

void TestNotationFeatures::rules_faults()
{
    QFETCH(QString, line);
    QFETCH(int, position);
    QFETCH(QString, reason);
    const ExtendedRules rules(kRulesHead + QStringList{line});
    QVERIFY(!rules.errors().isEmpty());
    const RuleError &error = rules.errors().constFirst();
    QCOMPARE(error.reason, reason);
    QCOMPARE(error.line, kRulesHead.size());
    QCOMPARE(error.position, qsizetype(position));
}

void TestNotationFeatures::rules_missingSegmentsAndUncutWordsAreReported()
{
    QStringList list = kRulesHead + QStringList{"[nasal]>[-sonora]", "@sílabas C|V|", "a>i/_."};
    RuleReport report(list);
    QCOMPARE(through(list, "ama pan ma", false, &report), "ama pan mi");
    const std::vector<RuleReport::Entry> entries = report.entries();
    QCOMPARE(entries.size(), std::size_t(2));
    QCOMPARE(entries[0].withoutSegment, 3);
    QCOMPARE(entries[0].withoutSegmentExamples.first(), "ama: " + nmsg::noSegmentWith("m", "-sonora"));
    QCOMPARE(entries[1].unsyllabified, 2);
    QCOMPARE(entries[1].unsyllabifiedExamples, (QStringList{"ama", "pan"}));
    QVERIFY(report.text().contains(nmsg::unsyllabifiedWords(2, {"ama", "pan"})));
}

void TestNotationFeatures::cli_writesSyllablesAndWarns()
{
    QTemporaryDir dir;
    const QString list = dir.filePath("s.sc");
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringList{"@ampliada", "@rasgos ipa", "@sílabas ([consonante])([consonante])|[vocal]|([consonante])",
                           "[+nasal]>[implosiva]/_#"}
                   .join("\r\n")
                   .toUtf8());
    file.close();
    const auto run = [&](const QStringList &extra, QString *err) {
        QBuffer out;
        QBuffer error;
        out.open(QIODevice::WriteOnly);
        error.open(QIODevice::WriteOnly);
        const int status
            = runCli(QStringList{"vordane-cli", "transformar", list, "--texto", "parta,patran,prst"} + extra, out,
                     error);
        *err = QString::fromUtf8(error.data());
        return std::make_pair(status, QString::fromUtf8(out.data()));
    };
    QString err;
    const auto [status, marked] = run({"--silabas"}, &err);
    QCOMPARE(status, 0);
    QCOMPARE(marked, "par.ta\r\npa.tran\r\nprst\r\n");
    // No symbol is an implosive nasal, and a word without a vowel has no
    // syllables: warnings, and the run goes on.
    QCOMPARE(err, "Aviso: línea 3 («@sílabas ([consonante])([consonante])|[vocal]|([consonante])»): 1 palabra se "
                  "escribe sin marcar las sílabas: no se puede cortar (prst).\n"
                  "Aviso: línea 4 («[+nasal]>[implosiva]/_#»): 1 segmento se deja sin cambiar (patran: "
                  "ningún símbolo declarado es «n» con implosiva).\n");
    const auto [plainStatus, plain] = run({}, &err);
    QCOMPARE(plainStatus, 0);
    QCOMPARE(plain, "parta\r\npatran\r\nprst\r\n");
}

void TestNotationFeatures::example_grimmAndVerner()
{
    // The installed IPA example gives the Proto-Germanic forms of the handbooks.
    QBuffer out;
    QBuffer error;
    out.open(QIODevice::WriteOnly);
    error.open(QIODevice::WriteOnly);
    const QString dir = QStringLiteral(VORDANE_EXAMPLES_DIR);
    const int status = runCli({"vordane-cli", "transformar", dir + "/pie-germanico.sc", "--palabras",
                               dir + "/pie-germanico.lex", "--silabas"},
                              out, error);
    QVERIFY2(status == 0, error.data().constData());
    QVERIFY2(!error.data().contains("Aviso"), error.data().constData());
    QCOMPARE(QString::fromUtf8(out.data()).split("\r\n", Qt::SkipEmptyParts),
             QString("foːts fa.ðeːr broː.θeːr xʷat te.xun a.kraz ga.stiz dux.teːr").split(u' '));
}

QTEST_GUILESS_MAIN(TestNotationFeatures)
#include "tst_notation_features.moc"
