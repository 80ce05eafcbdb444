// Sound changes as linguists and conlangers commonly write them with
// features, diacritics and syllables, each in this notation, with the words
// such a change is expected to give; and facts of the IPA chart that the
// built-in table must keep.
#include "notation/features.h"
#include "transformer/extendedrules.h"
#include "transformer/rulereport.h"

#include <QtTest>

using namespace vordane;
using namespace vordane::notation;

namespace {

// A five-vowel space in binary features (consonants left undeclared).
const QStringList kVowelSpace{
    "@ampliada",
    "@rasgo baja",
    "@rasgo alta",
    "@rasgo delantera",
    "@rasgo trasera",
    "@símbolo a: +baja",
    "@símbolo e: +delantera",
    "@símbolo i: +alta +delantera",
    "@símbolo o: +trasera",
    "@símbolo u: +alta +trasera",
};

// Consonants by voice, place and manner; every segment is voiceless unless
// it says otherwise.
const QStringList kConsonants{
    "@ampliada",
    "@rasgo voz: *sorda, sonora",
    "@rasgo lugar: labial, dental, alveolar, velar, glotal",
    "@rasgo modo: oclusiva, fricativa, nasal, aproximante",
    "@rasgo clase: consonante",
    "@símbolo p: labial oclusiva consonante",
    "@símbolo b: sonora labial oclusiva consonante",
    "@símbolo t: alveolar oclusiva consonante",
    "@símbolo d: sonora alveolar oclusiva consonante",
    "@símbolo k: velar oclusiva consonante",
    "@símbolo ɡ: sonora velar oclusiva consonante",
    "@símbolo f: labial fricativa consonante",
    "@símbolo v: sonora labial fricativa consonante",
    "@símbolo ð: sonora dental fricativa consonante",
    "@símbolo s: alveolar fricativa consonante",
    "@símbolo z: sonora alveolar fricativa consonante",
    "@símbolo x: velar fricativa consonante",
    "@símbolo ɣ: sonora velar fricativa consonante",
    "@símbolo h: glotal fricativa consonante",
    "@símbolo m: sonora labial nasal consonante",
    "@símbolo n: sonora alveolar nasal consonante",
    "@símbolo ŋ: sonora velar nasal consonante",
    "@símbolo l: sonora alveolar aproximante consonante",
    "V=a,e,i,o,u",
};

// Onsets and codas of plain consonants around one vowel.
const QStringList kSyllableHead{
    "@ampliada",
    "C=p,t,k,s,m,n,l",
    "V=a,e,i,o,u",
};

QStringList with(const QStringList &head, const QStringList &lines)
{
    return head + lines;
}

QStringList ipa(const QStringList &lines)
{
    return QStringList{"@ampliada", "@rasgos ipa", "V=a,e,i,o,u"} + lines;
}

struct RunResult {
    QString words;
    std::int64_t withoutSegment = 0;
    std::int64_t unsyllabified = 0;
};

// The words (separated by spaces) through the list, with their syllables
// marked when `marks`; the list's first fault when it has one.
RunResult through(const QStringList &list, const QString &words, bool marks)
{
    const ExtendedRules rules(list);
    if (!rules.errors().isEmpty())
        return {rules.errors().constFirst().message()};
    RuleReport report(list);
    QStringList out;
    for (const QString &word : words.split(u' ')) {
        QString changed = word;
        rules.apply(changed, &report, nullptr, 100000);
        out.append(marks ? rules.syllabified(changed) : changed);
    }
    RunResult outcome{out.join(u' ')};
    for (const RuleReport::Entry &entry : report.entries()) {
        outcome.withoutSegment += entry.withoutSegment;
        outcome.unsyllabified += entry.unsyllabified;
    }
    return outcome;
}

const FeatureTable &ipaTable()
{
    static const FeatureTable table = [] {
        QList<RuleError> errors;
        FeatureTable t = readFeatures({"@ampliada", "@rasgos ipa"}, errors);
        if (!errors.isEmpty())
            qWarning().noquote() << errors.constFirst().message();
        return t;
    }();
    return table;
}

} // namespace

class TestNotationExamples : public QObject {
    Q_OBJECT

private slots:
    void changes_giveTheExpectedWords_data();
    void changes_giveTheExpectedWords();
    void ipa_chartFacts_data();
    void ipa_chartFacts();
    void ipa_diacriticsSetTheirValues_data();
    void ipa_diacriticsSetTheirValues();
};

void TestNotationExamples::changes_giveTheExpectedWords_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("marks");
    QTest::addColumn<int>("withoutSegment");
    QTest::addColumn<int>("unsyllabified");
    const auto row = [](const char *name, const QStringList &list, const QString &words, const QString &expected,
                        bool marks = false, int withoutSegment = 0, int unsyllabified = 0) {
        QTest::newRow(name) << list << words << expected << marks << withoutSegment << unsyllabified;
    };

    // Raising of final mid vowels: only the feature named changes.
    row("final mid vowels raise", with(kVowelSpace, {"[-baja,-alta]>[+alta]/_#"}), "kike boubo", "kiki boubu");
    // Loss of final consonants, which have no features: every declared symbol
    // is -consonántica, and a segment without features is outside every matrix.
    row("final featureless segments go", with(kVowelSpace, {"@rasgo consonántica", "![-consonántica]>/_#"}),
        "kiki bouba kikin boubat", "kiki bouba kiki bouba");
    // Nasal vowels lower, then final oral mid vowels raise.
    row("nasal vowels lower", with(kVowelSpace, {"@rasgo nasalizada", "@símbolo ĩ: +alta +delantera +nasalizada",
                                                 "@símbolo ẽ: +delantera +nasalizada",
                                                 "@símbolo ũ: +alta +trasera +nasalizada",
                                                 "@símbolo õ: +trasera +nasalizada", "[+alta,+nasalizada]>[-alta]",
                                                 "[-baja,-alta,-nasalizada]>[+alta]/_#"}),
        "kikĩ bũbo", "kikẽ bõbu");
    // Intervocalic lenition in one block: stops voice, voiced stops spirantise,
    // h is lost and voiceless fricatives debuccalise.
    row("intervocalic lenition", with(kConsonants, {"[sorda,oclusiva]>[sonora]/V_V", "&[sonora,oclusiva]>[fricativa]/V_V",
                                                    "&h>/V_V", "&[sorda,fricativa]>h/V_V"}),
        "kiki bouba sasahi", "kiɡi bouva sahai");
    // Nasal place assimilation through a variable.
    row("nasal place assimilation", with(kConsonants, {"[nasal]>[$lugar]/_[consonante,$lugar]"}), "amta anka aŋpa",
        "anta aŋka ampa");
    // A variable binds only a segment that has the feature: vowels have no place.
    row("variable needs a value", with(kConsonants, {"[nasal]>[$lugar]/_[$lugar]"}), "amta amata", "anta amata");
    // Intervocalic voicing of fricatives, with the glottal one left out.
    row("voicing, glottal excluded", with(kConsonants, {"[sorda,!glotal,fricativa]>[sonora]/V_V"}),
        "kifi bousa haha", "kivi bouza haha");
    // The same without the exclusion: h has no voiced partner and stays, counted.
    row("voicing, no voiced h", with(kConsonants, {"[sorda,fricativa]>[sonora]/V_V"}), "kifi haha", "kivi haha",
        false, 1);
    // Devoicing of a nasal after h, which is lost (a capture with values), then
    // word-initial nasals harden to the stop of the same voice.
    row("nasal devoicing and hardening",
        with(kConsonants, {"@diacrítico ◌̥: sorda", "h[nasal]$1>$1[sorda]", "[nasal]>[oclusiva]/#_"}),
        "niki hniki mouba hmouba", "diki tiki bouba pouba");
    // The diacritic is used only where no symbol has the values.
    row("voiceless nasal by diacritic", with(kConsonants, {"@diacrítico ◌̥: sorda", "h[nasal]$1>$1[sorda]"}),
        "hniki hmouba", "n̥iki m̥ouba");
    // Word-initial aspiration by a declared diacritic on declared stops.
    row("initial aspiration", with(kConsonants, {"@rasgo aspirada", "@diacrítico ʰ: +aspirada",
                                                 "[p,t,k]>[+aspirada]/#_"}),
        "kiki tapa", "kʰiki tʰapa");
    // Umlaut by features keeps the tone and length a vowel carries.
    row("umlaut keeps diacritics",
        QStringList{"@ampliada", "@rasgo vocal", "@rasgo alta", "@rasgo delantera", "@rasgo trasera",
                    "@rasgo redondeada", "@rasgo aguda", "@rasgo larga", "@símbolo a: +vocal",
                    "@símbolo i: +vocal +alta +delantera", "@símbolo o: +vocal +trasera +redondeada",
                    "@símbolo u: +vocal +alta +trasera +redondeada", "@símbolo ø: +vocal +delantera +redondeada",
                    "@símbolo y: +vocal +alta +delantera +redondeada", "@diacrítico ◌́: +aguda",
                    "@diacrítico ː: +larga", "C=p,k,s,b", "[+trasera]>[-trasera,+delantera]/_C*i"},
        "kuki búiba boːpski bopóːski", "kyki býiba bøːpski bopǿːski");
    // Two like vowels merge into one long vowel, tone and all (variables over
    // height and backness, a capture written with a value set).
    row("like vowels merge long",
        QStringList{"@ampliada", "@rasgo altura: baja, media, alta", "@rasgo posición: anterior, posterior",
                    "@rasgo larga", "@rasgo aguda", "@símbolo a: baja", "@símbolo e: media anterior",
                    "@símbolo i: alta anterior", "@símbolo o: media posterior", "@símbolo u: alta posterior",
                    "@diacrítico ◌́: +aguda", "@diacrítico ː: +larga",
                    "[$altura,$posición]$1[$altura,$posición]>$1[+larga]"},
        "kiiki búuba boubo", "kiːki búːba boubo");

    // Syllables written in the words.
    const QStringList dots{"@ampliada", "V=a,e,i,o,u", "C=p,t,k,b,d,ɡ,s,m,n,l", "@sílabas explícitas"};
    // Boundaries do not break adjacency.
    row("explicit: voicing across a boundary", with(dots, {"[p,t,k]>[b,d,ɡ]/V_V"}), "kiki papa ki.ki pa.pa",
        "kiɡi paba ki.ɡi pa.ba");
    // Once cleared, no boundary is written.
    row("explicit, then cleared", with(dots, {"[p,t,k]>[b,d,ɡ]/V_V", "@sílabas ninguna"}), "ki.ki pa.pa",
        "kiɡi paba");
    // A stress mark written at a syllable's start, after a boundary, is not
    // joined to the segment before the boundary.
    row("explicit: a mark after a boundary",
        with(dots, {"@rasgo tónica", "@diacrítico ˈ: +tónica", "ˈ>X", "[+tónica]>Y"}), "ˈke.ko ke.ˈko",
        "Xke.ko ke.Xko");
    // A final vowel lost leaves its boundary where it was...
    row("explicit: apocope keeps the boundary", with(dots, {"V>/_#"}), "ki.ki.ki bou.ba.ba", "ki.ki.k bou.ba.b");
    // ...until a rule removes the boundary before the stranded consonants.
    row("explicit: boundary removed", with(dots, {"V>/_#", ".>/_C+#"}), "ki.ki.ki bou.ba.ba", "ki.kik bou.bab");
    // Prothesis of e before s + stop, and a boundary written after it.
    row("explicit: prothesis with a new boundary", with(dots, {">e/#_s[p,t,k]", ">./#es_[p,t,k]"}),
        "spa.ɲol skwe.la", "es.pa.ɲol es.kwe.la");
    // Vowels nasalise before a nasal in the coda.
    row("explicit: nasalisation before a coda nasal",
        with(dots, {"@rasgo nasal", "@rasgo abierta", "@símbolo a: +abierta", "@símbolo o: -abierta",
                    "@diacrítico ◌̃: +nasal",
                    "[-nasal]>[+nasal]/_[m,n]."}),
        "ban.ta ton ba.na.na", "bãn.ta tõn ba.na.na");
    // High vowels glide before a vowel of the same syllable.
    row("explicit: gliding inside a syllable", with(dots, {"[i,u]>[j,w]/_!.V"}), "ki.kia ki.ki.a", "ki.kja ki.ki.a");
    // Stressed mid vowels raise (stress marked on the vowel).
    row("explicit: stressed mid vowels raise",
        with(dots, {"@rasgo tónica", "@rasgo media", "@rasgo trasera", "@símbolo e: +media",
                    "@símbolo o: +media +trasera", "@símbolo i: -media", "@símbolo u: +trasera",
                    "@diacrítico ˈ: +tónica", "[+media,+tónica]>[-media]"}),
        "keˈ.ko ke.koˈ", "kiˈ.ko ke.kuˈ");

    // Syllables cut by patterns (the words are written with their boundaries).
    row("patterns: CV", with(kSyllableHead, {"@sílabas C|V"}), "kiki papa", "ki.ki pa.pa", true);
    row("patterns: CVC", with(kSyllableHead, {"@sílabas C|V|C"}), "kiskin pampat", "kis.kin pam.pat", true);
    // A word the patterns cannot cut is written without boundaries, and a rule
    // that looks at boundaries reports it.
    row("patterns: compulsory onset and coda", with(kSyllableHead, {"@sílabas C|V|C", "V>e/_."}), "kiski apat",
        "kiski apat", true, 0, 2);
    // Optional onset and coda: the onset is as long as it can be.
    row("patterns: optional onset and coda", with(kSyllableHead, {"@sílabas (C)|V|(C)"}), "kiski apat",
        "kis.ki a.pat", true);
    // s + consonant onsets, j w in the nucleus, mp nt as codas.
    row("patterns: clusters by pattern",
        with(kSyllableHead, {"@sílabas (C)|V([j,w])|(C), s[p,t,k,m,n,l]|V([j,w])|(C), (C)|V([j,w])|mp, "
                             "(C)|V([j,w])|nt, s[p,t,k,m,n,l]|V([j,w])|mp, s[p,t,k,m,n,l]|V([j,w])|nt"}),
        "skiki ajpant ssiki ajpast", "ski.ki aj.pant ssiki ajpast", true);
    // Words are cut again after every rule.
    row("patterns: cut again after a loss", with(kSyllableHead, {"@sílabas (C)|V|(C)", "[p,t,k]>/[m,n]_"}),
        "kiskin pampat", "kis.kin pa.mat", true);
    // Syncope of the second vowel, then patterns that allow codas.
    row("patterns: syncope, then codas",
        with(kSyllableHead, {"@sílabas (C)|V", "V>/#(C)VC_C", "@sílabas (C)|V|(C)"}), "kiseki pamopa",
        "kis.ki pam.pa", true);
    row("patterns: syncope, then none", with(kSyllableHead, {"@sílabas (C)|V", "V>/#(C)VC_C", "@sílabas ninguna"}),
        "kiseki pamopa", "kiski pampa", true);

    // On IPA words with the built-in table.
    // Grimm's law as a chain: voiceless stops become fricatives, voiced stops
    // voiceless, breathy-voiced stops plain voiced.
    row("ipa: Grimm's law",
        ipa({"[oclusiva,-sonora]>[fricativa]", "[oclusiva,+sonora,-aspirada]>[-sonora]",
             "[oclusiva,+aspirada]>[-aspirada]"}),
        "pekʷo ɡʷena bʱeroɡʰ", "ɸexʷo kʷena berog");
    // Debuccalisation of final voiceless stops and fricatives.
    row("ipa: debuccalisation", ipa({"[-sonora,consonante]>[glotal]/_#"}), "pat pak pas paf", "paʔ paʔ pah pah");
    // Compensatory lengthening: the vowel lengthens and the consonant goes.
    row("ipa: compensatory lengthening", ipa({"[vocal]>[+larga]/_[consonante]#", "[consonante]>/[vocal,+larga]_#"}),
        "pat sin", "paː siː");
    row("ipa: compensatory lengthening, one rule", ipa({"[vocal]$1[consonante]>$1[+larga]/_#"}), "pat sin",
        "paː siː");
    // Nasality spreads rightwards over vowels.
    row("ipa: nasal spreading", ipa({"[vocal]>[$nasal]/[$nasal]_ {secuencial}"}), "maia pãta", "mãĩã pata");
    // A nasal takes the dental place of the consonant after it.
    row("ipa: nasal assimilation to a dental", ipa({"[nasal]>[$lugar]/_[consonante,$lugar]"}), "anθa amta",
        "an̪θa anta");
    // Suffix vowel harmony in backness and rounding.
    row("ipa: suffix harmony",
        ipa({"[vocal,cerrada]>[$posición,$redondeada]/[vocal,$posición,$redondeada][consonante]*_([consonante])#"}),
        "kolin ɡøzin kɯzin evin", "kolun ɡøzyn kɯzɯn evin");
    // Backness harmony left to right, each vowel after the one already changed.
    row("ipa: harmony left to right", ipa({"[vocal]>[$posición]/[vocal,$posición][consonante]_ {secuencial}"}),
        "sinotehu", "sinøtehy");
    // Backness harmony from the right, all at once.
    row("ipa: harmony from the right", ipa({"[vocal]>[$posición]/_[consonante][vocal,$posición]"}), "sinotehu",
        "sɯnøtɤhu");
    // Intervocalic voicing, the matrix at its place among the target's.
    row("ipa: voicing at its place", ipa({"V[oclusiva,-sonora]V>V[+sonora]V"}), "apa pataka", "aba padaka");
    // Final long low vowels shorten (a category and a value: a category's
    // members are segments, so the long ones are listed).
    row("ipa: final long vowels shorten", ipa({"A=a,aː,ɑ,ɑː", "[A,+larga]>[-larga]/_#"}), "paː kiː kaːt",
        "pa kiː kaːt");
    // The same with the short vowels alone in the category: a member with
    // diacritics is in it too, within a matrix.
    row("ipa: a category's members with diacritics", ipa({"A=a,ɑ", "[A,+larga]>[-larga]/_#", "A>o/_t"}),
        "paː kiː kaːt", "pa kiː kaːt");
    // Stress moves to the first syllable (stress written on the vowel).
    row("ipa: stress moves to the first syllable",
        ipa({"@diacrítico ◌́: +tónica", "[+tónica]>[-tónica]", "[vocal]>[+tónica]/#[consonante]*_"}),
        "patéːr bʰraːtéːr", "páteːr bʰráːteːr");
    // Penultimate stress when the penult is heavy, else antepenultimate (the
    // mark after the vowel).
    row("ipa: penultimate stress",
        ipa({"@sílabas ([consonante])|[vocal]|([consonante])",
             "[vocal]>[+tónica]/#[consonante]*_[consonante]*#",
             "[vocal,+larga]>[+tónica]/_[consonante]*.[consonante]*[vocal][consonante]*#",
             "[vocal]>[+tónica]/_[consonante]+.[consonante]*[vocal][consonante]*#",
             "[vocal]>[+tónica]/_[consonante]*.[consonante]*[vocal,-tónica][consonante]*.[consonante]*[vocal][consonante]*#"}),
        "rem amiːkus puella dominus", "reˈm amiːˈkus pueˈlla doˈminus");
    // Aspiration of syllable-initial voiceless stops.
    row("ipa: aspiration at a syllable start",
        ipa({"@sílabas ([consonante])|[vocal]|([consonante])", "[oclusiva,-sonora]>[+aspirada]/._"}), "pata apta",
        "pʰatʰa aptʰa");
    // A stop and a following glottal stop fuse into an ejective.
    row("ipa: ejectives", ipa({"[oclusiva,-sonora]$1ʔ>$1[eyectiva]"}), "akʔa patʔ", "akʼa patʼ");
    // Palatalisation before front vowels, labialisation before rounded ones.
    row("ipa: palatalisation and labialisation",
        ipa({"[consonante,oclusiva]>[+palatalizada]/_[vocal,anterior]",
             "[velar,oclusiva]>[+labializada]/_[vocal,+redondeada]"}),
        "kite teme kuto", "kʲitʲe tʲeme kʷuto");
    // Sonorants devoice after a voiceless consonant; a final nasal becomes syllabic.
    row("ipa: voiceless and syllabic sonorants",
        ipa({"[consonante,+sonora,!oclusiva]>[-sonora]/[consonante,-sonora]_", "[nasal]>[+silábica]/[consonante]_#"}),
        "pla sma adn", "pl̥a sm̥a adn̩");
    // No voiced glottal stop in the table's letters: written with its diacritic.
    row("ipa: voicing by diacritic", ipa({"ʔ>[+sonora]/V_V"}), "aʔa", "aʔ̬a");

    // Romanised spelling with features of one's own.
    // Unstressed vowels reduce; the stress mark is a diacritic.
    row("spelling: unstressed vowels reduce",
        QStringList{"@ampliada", "@rasgo vocal", "@rasgo tónica", "@símbolo a: +vocal", "@símbolo e: +vocal",
                    "@símbolo o: +vocal", "@símbolo ə: +vocal", "@diacrítico ': +tónica", "[+vocal,-tónica]>ə"},
        "pa'ta to'mate", "pa'tə to'mətə");
    // A digraph symbol is the palatal partner of k.
    row("spelling: digraph by features",
        QStringList{"@ampliada", "@rasgo lugar: velar, palatal", "@símbolo k: velar", "@símbolo ch: palatal",
                    "[velar]>[palatal]/_i"},
        "kika chiko", "chika chiko");
}

void TestNotationExamples::changes_giveTheExpectedWords()
{
    QFETCH(QStringList, list);
    QFETCH(QString, words);
    QFETCH(QString, expected);
    QFETCH(bool, marks);
    QFETCH(int, withoutSegment);
    QFETCH(int, unsyllabified);
    const RunResult outcome = through(list, words, marks);
    QCOMPARE(outcome.words, expected);
    QCOMPARE(outcome.withoutSegment, std::int64_t(withoutSegment));
    QCOMPARE(outcome.unsyllabified, std::int64_t(unsyllabified));
}

void TestNotationExamples::ipa_chartFacts_data()
{
    QTest::addColumn<QString>("segment");
    QTest::addColumn<QStringList>("values");
    // Letters of the chart, and letters with one of its diacritics: the
    // segment has every value listed (a binary feature by its sign).
    const struct {
        const char *segment;
        const char *values;
    } facts[] = {
        {"ɣ", "consonante velar fricativa +sonora"},
        {"ʏ", "vocal casicerrada anterior +redondeada +silábica"},
        {"ɐ", "vocal casiabierta central -redondeada"},
        {"ɚ", "vocal media central +rótica"},
        {"ⱱ", "labiodental percusiva +sonora"},
        {"ʙ", "bilabial vibrante +sonora"},
        {"ɺ", "alveolar percusiva +lateral +sonora"},
        {"ʡ", "epiglótica oclusiva -sonora"},
        {"ʜ", "epiglótica fricativa -sonora"},
        {"ʘ", "bilabial clic"},
        {"ǂ", "postalveolar clic"},
        {"ʄ", "palatal implosiva +sonora"},
        {"ʍ", "labiovelar fricativa -sonora"},
        {"ɥ", "labiopalatal aproximante +sonora +redondeada"},
        {"w", "labiovelar aproximante +sonora +redondeada"},
        {"ɧ", "fricativa -sonora +velarizada"},
        {"ɫ", "alveolar aproximante +lateral +velarizada +sonora"},
        {"t͜s", "alveolar africada -sonora"},
        {"k͜p", "labiovelar oclusiva"},
        {"bʱ", "bilabial oclusiva +sonora +aspirada"},
        {"n̥", "alveolar nasal -sonora"},
        {"ŋ̊", "velar nasal -sonora"},
        {"s̬", "alveolar fricativa +sonora"},
        {"ɔ̹", "+másredondeada"},
        {"ɔ̜", "+menosredondeada"},
        {"u̟", "+avanzada"},
        {"i̠", "+retraída"},
        {"ë", "anterior +centralizada"},
        {"e̽", "+mediocentralizada"},
        {"n̩", "nasal +silábica"},
        {"ɹ̍", "+silábica"},
        {"i̯", "vocal -silábica"},
        {"ə˞", "+rótica"},
        {"b̤", "+murmurada"},
        {"a̰", "+laringizada"},
        {"t̼", "linguolabial oclusiva"},
        {"tʷ", "+labializada"},
        {"tʲ", "+palatalizada"},
        {"tˠ", "+velarizada"},
        {"tˤ", "+faringalizada"},
        {"l̴", "+velarizada +lateral"},
        {"e̝", "+elevada"},
        {"e̞", "+descendida"},
        {"e̘", "+raízavanzada"},
        {"e̙", "+raízretraída"},
        {"t̪", "dental oclusiva"},
        {"t̺", "+apical"},
        {"t̻", "+laminal"},
        {"ẽ", "vocal +nasal"},
        {"dⁿ", "+explosiónnasal"},
        {"dˡ", "+explosiónlateral"},
        {"t̚", "+sinexplosión"},
        {"kʼ", "velar oclusiva eyectiva"},
        {"aː", "+larga"},
        {"aˑ", "+semilarga"},
        {"ă", "+extrabreve"},
        {"aˈ", "+tónica"},
        {"aˌ", "+secundaria"},
    };
    for (const auto &fact : facts)
        QTest::newRow(fact.segment) << QString::fromUtf8(fact.segment)
                                    << QString::fromUtf8(fact.values).split(u' ');
}

void TestNotationExamples::ipa_chartFacts()
{
    QFETCH(QString, segment);
    QFETCH(QStringList, values);
    const FeatureTable &t = ipaTable();
    const std::optional<ValueSet> features = t.featuresOf(segment);
    QVERIFY2(features, "sin rasgos");
    for (const QString &value : values) {
        Matrix matrix;
        QVERIFY2(t.matrix({value}, matrix), qPrintable(value));
        QVERIFY2(matrix.matches(&*features), qPrintable(value + " en " + t.describe(*features)));
    }
}

void TestNotationExamples::ipa_diacriticsSetTheirValues_data()
{
    QTest::addColumn<QString>("segment");
    QTest::addColumn<QStringList>("set");
    QTest::addColumn<QString>("result");
    // A letter of the chart where there is one, else the fewest diacritics.
    QTest::newRow("velarised l is its own letter") << "l" << QStringList{"+velarizada"} << "ɫ";
    QTest::newRow("rhotic schwa is its own letter") << "ə" << QStringList{"+rótica"} << "ɚ";
    QTest::newRow("aspiration written ʰ") << "b" << QStringList{"+aspirada"} << "bʰ";
    QTest::newRow("breathy-voiced aspirate devoiced") << "bʱ" << QStringList{"-sonora"} << "pʰ";
    QTest::newRow("aspiration removed") << "ɡʱ" << QStringList{"-aspirada"} << "g";
    QTest::newRow("tie below, changed, written above") << "t͜s" << QStringList{"postalveolar"} << "t͡ʃ";
    QTest::newRow("extra-short composed") << "e" << QStringList{"+extrabreve"} << "ĕ";
    QTest::newRow("dental by diacritic") << "t" << QStringList{"dental"} << "t̪";
    QTest::newRow("voiceless nasal") << "m" << QStringList{"-sonora"} << "m̥";
    QTest::newRow("non-syllabic vowel") << "i" << QStringList{"-silábica"} << "i̯";
    QTest::newRow("nasal and long, in order") << "a" << QStringList{"+larga", "+nasal"} << "ãː";
    QTest::newRow("creaky") << "a" << QStringList{"+laringizada"} << "a̰";
    QTest::newRow("ejective fricative") << "s" << QStringList{"eyectiva"} << "sʼ";
    QTest::newRow("fricative to glottal") << "f" << QStringList{"glotal"} << "h";
    QTest::newRow("implosive") << "d" << QStringList{"implosiva"} << "ɗ";
    QTest::newRow("linguolabial by diacritic") << "t" << QStringList{"linguolabial"} << "t̼";
    QTest::newRow("click") << "t" << QStringList{"clic"} << "ǃ";
}

void TestNotationExamples::ipa_diacriticsSetTheirValues()
{
    QFETCH(QString, segment);
    QFETCH(QStringList, set);
    QFETCH(QString, result);
    const FeatureTable &t = ipaTable();
    const std::optional<ValueSet> values = t.featuresOf(segment);
    QVERIFY2(values, "sin rasgos");
    std::vector<ValueId> ids;
    for (const QString &name : set)
        ids.push_back(t.value(name));
    QCOMPARE(t.segmentWith(t.withValues(*values, ids), t.baseOf(segment)).value_or(QStringLiteral("(ninguno)")),
             result);
}

QTEST_GUILESS_MAIN(TestNotationExamples)
#include "tst_notation_examples.moc"
