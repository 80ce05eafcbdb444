#include "notation/ipatable.h"

namespace vordane::notation {

namespace {

// Every letter of the IPA chart (2020): pulmonic consonants by place and
// manner, the other symbols, clicks and voiced implosives, affricates with
// the tie bar (and the old ligatures), double articulations and vowels; and
// the chart's diacritics, length and stress marks. Ejectives are letters
// with "ʼ". Where two letters share their values ("g" and "ɡ", "t͡s" and
// "ʦ"), the one listed first is what a change of features writes.
// Dental, alveolar and postalveolar share one column of the chart except
// among fricatives: the letters of that column are alveolar. "ɧ" (ʃ and x
// at once) is a velarised postalveolar fricative; "ɪ ʏ" count as front and
// "ʊ" as back vowels; "ə" is unrounded. "ʱ", not on the chart, is read as
// aspiration, as it is commonly written for "ʰ" after voiced stops.
const char16_t *const kLines[] = {
    u"@rasgo clase: consonante, vocal",
    u"@rasgo lugar: bilabial, labiodental, linguolabial, dental, alveolar, postalveolar, retrofleja, alveolopalatal, palatal, velar, uvular, faríngea, epiglótica, glotal, labiovelar, labiopalatal",
    u"@rasgo modo: oclusiva, nasal, vibrante, percusiva, fricativa, africada, aproximante",
    u"@rasgo corriente: *pulmonar, eyectiva, implosiva, clic",
    u"@rasgo altura: cerrada, casicerrada, semicerrada, media, semiabierta, casiabierta, abierta",
    u"@rasgo posición: anterior, central, posterior",
    u"@rasgo sonora",
    u"@rasgo nasal",
    u"@rasgo lateral",
    u"@rasgo silábica",
    u"@rasgo redondeada",
    u"@rasgo larga",
    u"@rasgo semilarga",
    u"@rasgo extrabreve",
    u"@rasgo aspirada",
    u"@rasgo labializada",
    u"@rasgo palatalizada",
    u"@rasgo velarizada",
    u"@rasgo faringalizada",
    u"@rasgo tónica",
    u"@rasgo secundaria",
    u"@rasgo avanzada",
    u"@rasgo retraída",
    u"@rasgo elevada",
    u"@rasgo descendida",
    u"@rasgo centralizada",
    u"@rasgo mediocentralizada",
    u"@rasgo másredondeada",
    u"@rasgo menosredondeada",
    u"@rasgo apical",
    u"@rasgo laminal",
    u"@rasgo murmurada",
    u"@rasgo laringizada",
    u"@rasgo sinexplosión",
    u"@rasgo explosiónnasal",
    u"@rasgo explosiónlateral",
    u"@rasgo rótica",
    u"@rasgo raízavanzada",
    u"@rasgo raízretraída",
    u"@diacrítico ◌̥: -sonora", // sorda
    u"@diacrítico ◌̊: -sonora", // sorda, sobre letras con trazo descendente
    u"@diacrítico ◌̬: +sonora", // sonora
    u"@diacrítico ʰ: +aspirada", // aspirada
    u"@diacrítico ʱ: +aspirada", // aspirada sonora (bʱ), as often written for bʰ
    u"@diacrítico ◌̹: +másredondeada", // más redondeada
    u"@diacrítico ◌̜: +menosredondeada", // menos redondeada
    u"@diacrítico ◌̟: +avanzada", // avanzada
    u"@diacrítico ◌̠: +retraída", // retraída
    u"@diacrítico ◌̈: +centralizada", // centralizada
    u"@diacrítico ◌̽: +mediocentralizada", // centralizada hacia el centro
    u"@diacrítico ◌̩: +silábica", // silábica
    u"@diacrítico ◌̍: +silábica", // silábica, sobre letras con trazo descendente
    u"@diacrítico ◌̯: -silábica", // no silábica
    u"@diacrítico ˞: +rótica", // rótica
    u"@diacrítico ◌̤: +murmurada", // voz murmurada
    u"@diacrítico ◌̰: +laringizada", // voz laringizada
    u"@diacrítico ◌̼: linguolabial", // linguolabial
    u"@diacrítico ʷ: +labializada", // labializada
    u"@diacrítico ʲ: +palatalizada", // palatalizada
    u"@diacrítico ˠ: +velarizada", // velarizada
    u"@diacrítico ˤ: +faringalizada", // faringalizada
    u"@diacrítico ◌̴: +velarizada", // velarizada o faringalizada
    u"@diacrítico ◌̝: +elevada", // elevada
    u"@diacrítico ◌̞: +descendida", // descendida
    u"@diacrítico ◌̘: +raízavanzada", // raíz de la lengua avanzada
    u"@diacrítico ◌̙: +raízretraída", // raíz de la lengua retraída
    u"@diacrítico ◌̪: dental", // dental
    u"@diacrítico ◌̺: +apical", // apical
    u"@diacrítico ◌̻: +laminal", // laminal
    u"@diacrítico ◌̃: +nasal", // nasalizada
    u"@diacrítico ⁿ: +explosiónnasal", // explosión nasal
    u"@diacrítico ˡ: +explosiónlateral", // explosión lateral
    u"@diacrítico ◌̚: +sinexplosión", // sin explosión audible
    u"@diacrítico ʼ: eyectiva", // eyectiva
    u"@diacrítico ː: +larga", // larga
    u"@diacrítico ˑ: +semilarga", // semilarga
    u"@diacrítico ◌̆: +extrabreve", // extrabreve
    u"@diacrítico ˈ: +tónica", // acento principal
    u"@diacrítico ˌ: +secundaria", // acento secundario
    u"@símbolo p: consonante bilabial oclusiva",
    u"@símbolo b: consonante bilabial oclusiva +sonora",
    u"@símbolo t: consonante alveolar oclusiva",
    u"@símbolo d: consonante alveolar oclusiva +sonora",
    u"@símbolo ʈ: consonante retrofleja oclusiva",
    u"@símbolo ɖ: consonante retrofleja oclusiva +sonora",
    u"@símbolo c: consonante palatal oclusiva",
    u"@símbolo ɟ: consonante palatal oclusiva +sonora",
    u"@símbolo k: consonante velar oclusiva",
    u"@símbolo g: consonante velar oclusiva +sonora",
    u"@símbolo ɡ: consonante velar oclusiva +sonora",
    u"@símbolo q: consonante uvular oclusiva",
    u"@símbolo ɢ: consonante uvular oclusiva +sonora",
    u"@símbolo ʔ: consonante glotal oclusiva",
    u"@símbolo m: consonante bilabial nasal +sonora +nasal",
    u"@símbolo ɱ: consonante labiodental nasal +sonora +nasal",
    u"@símbolo n: consonante alveolar nasal +sonora +nasal",
    u"@símbolo ɳ: consonante retrofleja nasal +sonora +nasal",
    u"@símbolo ɲ: consonante palatal nasal +sonora +nasal",
    u"@símbolo ŋ: consonante velar nasal +sonora +nasal",
    u"@símbolo ɴ: consonante uvular nasal +sonora +nasal",
    u"@símbolo ʙ: consonante bilabial vibrante +sonora",
    u"@símbolo r: consonante alveolar vibrante +sonora",
    u"@símbolo ʀ: consonante uvular vibrante +sonora",
    u"@símbolo ⱱ: consonante labiodental percusiva +sonora",
    u"@símbolo ɾ: consonante alveolar percusiva +sonora",
    u"@símbolo ɽ: consonante retrofleja percusiva +sonora",
    u"@símbolo ɸ: consonante bilabial fricativa",
    u"@símbolo β: consonante bilabial fricativa +sonora",
    u"@símbolo f: consonante labiodental fricativa",
    u"@símbolo v: consonante labiodental fricativa +sonora",
    u"@símbolo θ: consonante dental fricativa",
    u"@símbolo ð: consonante dental fricativa +sonora",
    u"@símbolo s: consonante alveolar fricativa",
    u"@símbolo z: consonante alveolar fricativa +sonora",
    u"@símbolo ʃ: consonante postalveolar fricativa",
    u"@símbolo ʒ: consonante postalveolar fricativa +sonora",
    u"@símbolo ʂ: consonante retrofleja fricativa",
    u"@símbolo ʐ: consonante retrofleja fricativa +sonora",
    u"@símbolo ç: consonante palatal fricativa",
    u"@símbolo ʝ: consonante palatal fricativa +sonora",
    u"@símbolo x: consonante velar fricativa",
    u"@símbolo ɣ: consonante velar fricativa +sonora",
    u"@símbolo χ: consonante uvular fricativa",
    u"@símbolo ʁ: consonante uvular fricativa +sonora",
    u"@símbolo ħ: consonante faríngea fricativa",
    u"@símbolo ʕ: consonante faríngea fricativa +sonora",
    u"@símbolo h: consonante glotal fricativa",
    u"@símbolo ɦ: consonante glotal fricativa +sonora",
    u"@símbolo ɬ: consonante alveolar fricativa +lateral",
    u"@símbolo ɮ: consonante alveolar fricativa +sonora +lateral",
    u"@símbolo ʋ: consonante labiodental aproximante +sonora",
    u"@símbolo ɹ: consonante alveolar aproximante +sonora",
    u"@símbolo ɻ: consonante retrofleja aproximante +sonora",
    u"@símbolo j: consonante palatal aproximante +sonora",
    u"@símbolo ɰ: consonante velar aproximante +sonora",
    u"@símbolo l: consonante alveolar aproximante +sonora +lateral",
    u"@símbolo ɭ: consonante retrofleja aproximante +sonora +lateral",
    u"@símbolo ʎ: consonante palatal aproximante +sonora +lateral",
    u"@símbolo ʟ: consonante velar aproximante +sonora +lateral",
    u"@símbolo ʍ: consonante labiovelar fricativa +redondeada",
    u"@símbolo w: consonante labiovelar aproximante +sonora +redondeada",
    u"@símbolo ɥ: consonante labiopalatal aproximante +sonora +redondeada",
    u"@símbolo ʜ: consonante epiglótica fricativa",
    u"@símbolo ʢ: consonante epiglótica fricativa +sonora",
    u"@símbolo ʡ: consonante epiglótica oclusiva",
    u"@símbolo ɕ: consonante alveolopalatal fricativa",
    u"@símbolo ʑ: consonante alveolopalatal fricativa +sonora",
    u"@símbolo ɺ: consonante alveolar percusiva +sonora +lateral",
    u"@símbolo ɧ: consonante postalveolar fricativa +velarizada",
    u"@símbolo ɫ: consonante alveolar aproximante +sonora +lateral +velarizada",
    u"@símbolo ʘ: consonante bilabial oclusiva clic",
    u"@símbolo ǀ: consonante dental oclusiva clic",
    u"@símbolo ǃ: consonante alveolar oclusiva clic",
    u"@símbolo ǂ: consonante postalveolar oclusiva clic",
    u"@símbolo ǁ: consonante alveolar oclusiva clic +lateral",
    u"@símbolo ɓ: consonante bilabial oclusiva implosiva +sonora",
    u"@símbolo ɗ: consonante alveolar oclusiva implosiva +sonora",
    u"@símbolo ʄ: consonante palatal oclusiva implosiva +sonora",
    u"@símbolo ɠ: consonante velar oclusiva implosiva +sonora",
    u"@símbolo ʛ: consonante uvular oclusiva implosiva +sonora",
    u"@símbolo t͡s: consonante alveolar africada",
    u"@símbolo d͡z: consonante alveolar africada +sonora",
    u"@símbolo t͡ʃ: consonante postalveolar africada",
    u"@símbolo d͡ʒ: consonante postalveolar africada +sonora",
    u"@símbolo t͡ɕ: consonante alveolopalatal africada",
    u"@símbolo d͡ʑ: consonante alveolopalatal africada +sonora",
    u"@símbolo ʈ͡ʂ: consonante retrofleja africada",
    u"@símbolo ɖ͡ʐ: consonante retrofleja africada +sonora",
    u"@símbolo p͡f: consonante labiodental africada",
    u"@símbolo b͡v: consonante labiodental africada +sonora",
    u"@símbolo p͡ɸ: consonante bilabial africada",
    u"@símbolo b͡β: consonante bilabial africada +sonora",
    u"@símbolo t͡θ: consonante dental africada",
    u"@símbolo d͡ð: consonante dental africada +sonora",
    u"@símbolo c͡ç: consonante palatal africada",
    u"@símbolo ɟ͡ʝ: consonante palatal africada +sonora",
    u"@símbolo k͡x: consonante velar africada",
    u"@símbolo ɡ͡ɣ: consonante velar africada +sonora",
    u"@símbolo q͡χ: consonante uvular africada",
    u"@símbolo ɢ͡ʁ: consonante uvular africada +sonora",
    u"@símbolo t͡ɬ: consonante alveolar africada +lateral",
    u"@símbolo d͡ɮ: consonante alveolar africada +sonora +lateral",
    u"@símbolo ʦ: consonante alveolar africada",
    u"@símbolo ʣ: consonante alveolar africada +sonora",
    u"@símbolo ʧ: consonante postalveolar africada",
    u"@símbolo ʤ: consonante postalveolar africada +sonora",
    u"@símbolo ʨ: consonante alveolopalatal africada",
    u"@símbolo ʥ: consonante alveolopalatal africada +sonora",
    u"@símbolo k͡p: consonante labiovelar oclusiva",
    u"@símbolo ɡ͡b: consonante labiovelar oclusiva +sonora",
    u"@símbolo ŋ͡m: consonante labiovelar nasal +sonora +nasal",
    u"@símbolo i: vocal cerrada anterior +sonora +silábica",
    u"@símbolo y: vocal cerrada anterior +sonora +silábica +redondeada",
    u"@símbolo ɨ: vocal cerrada central +sonora +silábica",
    u"@símbolo ʉ: vocal cerrada central +sonora +silábica +redondeada",
    u"@símbolo ɯ: vocal cerrada posterior +sonora +silábica",
    u"@símbolo u: vocal cerrada posterior +sonora +silábica +redondeada",
    u"@símbolo ɪ: vocal casicerrada anterior +sonora +silábica",
    u"@símbolo ʏ: vocal casicerrada anterior +sonora +silábica +redondeada",
    u"@símbolo ʊ: vocal casicerrada posterior +sonora +silábica +redondeada",
    u"@símbolo e: vocal semicerrada anterior +sonora +silábica",
    u"@símbolo ø: vocal semicerrada anterior +sonora +silábica +redondeada",
    u"@símbolo ɘ: vocal semicerrada central +sonora +silábica",
    u"@símbolo ɵ: vocal semicerrada central +sonora +silábica +redondeada",
    u"@símbolo ɤ: vocal semicerrada posterior +sonora +silábica",
    u"@símbolo o: vocal semicerrada posterior +sonora +silábica +redondeada",
    u"@símbolo ə: vocal media central +sonora +silábica",
    u"@símbolo ɛ: vocal semiabierta anterior +sonora +silábica",
    u"@símbolo œ: vocal semiabierta anterior +sonora +silábica +redondeada",
    u"@símbolo ɜ: vocal semiabierta central +sonora +silábica",
    u"@símbolo ɞ: vocal semiabierta central +sonora +silábica +redondeada",
    u"@símbolo ʌ: vocal semiabierta posterior +sonora +silábica",
    u"@símbolo ɔ: vocal semiabierta posterior +sonora +silábica +redondeada",
    u"@símbolo æ: vocal casiabierta anterior +sonora +silábica",
    u"@símbolo ɐ: vocal casiabierta central +sonora +silábica",
    u"@símbolo a: vocal abierta anterior +sonora +silábica",
    u"@símbolo ɶ: vocal abierta anterior +sonora +silábica +redondeada",
    u"@símbolo ɑ: vocal abierta posterior +sonora +silábica",
    u"@símbolo ɒ: vocal abierta posterior +sonora +silábica +redondeada",
    u"@símbolo ɚ: vocal media central +sonora +silábica +rótica",
    u"@símbolo ɝ: vocal semiabierta central +sonora +silábica +rótica",
};

constexpr QChar kTieAbove(0x0361);
constexpr QChar kTieBelow(0x035C);

} // namespace

const QStringList &ipaTableLines()
{
    static const QStringList lines = [] {
        QStringList out;
        for (const char16_t *line : kLines)
            out.append(QString::fromUtf16(line));
        // The chart ties an affricate above or below the letters ("t͡s",
        // "t͜s"): the one below reads the same, after every other symbol so
        // that a change writes the tie above.
        const qsizetype count = out.size();
        for (qsizetype i = 0; i < count; ++i) {
            if (out.at(i).contains(kTieAbove))
                out.append(QString(out.at(i)).replace(kTieAbove, kTieBelow));
        }
        return out;
    }();
    return lines;
}

} // namespace vordane::notation
