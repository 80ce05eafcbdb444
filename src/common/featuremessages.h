#pragma once

#include <QString>

// Features, diacritics and syllables of the extended notation: what is wrong
// with a line, and what a run could not do.
namespace vordane::messages::notation {

inline const QString kBadFeature = QStringLiteral(
    "@rasgo va seguido del nombre del rasgo y, si tiene valores con nombre, de «:» y los valores separados por comas");
inline const QString kBadTable = QStringLiteral("@rasgos va seguido del nombre de una tabla incorporada: «ipa»");
inline const QString kBadSymbolFeatures =
    QStringLiteral("@símbolo va seguido del símbolo, «:» y sus valores separados por espacios");
inline const QString kBadDiacritic =
    QStringLiteral("@diacrítico va seguido de un solo carácter, «:» y los valores que pone");
inline const QString kNoValues = QStringLiteral("faltan los valores tras «:»");
inline QString badName(const QString &name)
{
    return QStringLiteral("«%1» no sirve como nombre: sin espacios, comas, corchetes ni «+ - ! $ * : |»").arg(name);
}
inline QString valueTaken(const QString &value, const QString &feature)
{
    return QStringLiteral("el valor «%1» ya es del rasgo «%2»").arg(value, feature);
}
inline QString featureKindDiffers(const QString &feature, bool binary)
{
    return binary ? QStringLiteral("el rasgo «%1» ya está declarado con valores con nombre").arg(feature)
                  : QStringLiteral("el rasgo «%1» ya está declarado como binario (+%1/-%1)").arg(feature);
}
inline QString twoDefaults(const QString &feature)
{
    return QStringLiteral("el rasgo «%1» tiene más de un valor por omisión («*»)").arg(feature);
}
inline const QString kTooManyValues = QStringLiteral("demasiados valores de rasgos (más de 256)");
inline QString unknownValue(const QString &value)
{
    return QStringLiteral("«%1» no es un valor declarado con @rasgo").arg(value);
}
inline QString sameFeature(const QString &first, const QString &second, const QString &feature)
{
    return QStringLiteral("«%1» y «%2» son valores del mismo rasgo, «%3»").arg(first, second, feature);
}
inline QString declaredTwice(const QString &what, qsizetype line)
{
    return QStringLiteral("«%1» ya tiene rasgos, en la línea %2").arg(what).arg(line + 1);
}
inline const QString kDiacriticAlone = QStringLiteral("un diacrítico es un solo carácter (una marca combinante, una "
                                                      "letra modificadora o cualquier otro)");

// The syllable directive.
inline const QString kBadSyllables = QStringLiteral(
    "@sílabas va seguido de patrones ATAQUE|NÚCLEO|CODA separados por comas, o de «explícitas» o «ninguna»");
inline const QString kTooManyParts = QStringLiteral("un patrón de sílaba tiene como mucho tres partes separadas por «|»");
inline const QString kEmptyNucleus = QStringLiteral("el núcleo de un patrón de sílaba tiene que encajar en algún segmento");
inline const QString kEmptyPattern = QStringLiteral("un patrón de sílaba vacío: quite la «,» de más");
inline const QString kSyllablePartTooLong =
    QStringLiteral("demasiados elementos en una parte de los patrones de sílaba, o en sus núcleos juntos (más de 63)");
inline const QString kTooManySyllableClasses =
    QStringLiteral("demasiadas clases de segmentos distintas en los patrones de sílaba (más de 64)");
inline const QString kNotInSyllable =
    QStringLiteral("en un patrón de sílaba solo van letras, categorías, «[...]», «( )», «*» y «+»");

// What a run could not do, for the reports of the rules that hit it.
inline QString unsyllabifiable(const QString &word)
{
    return QStringLiteral("la palabra «%1» no se puede cortar en sílabas").arg(word);
}
inline QString noSegmentWith(const QString &segment, const QString &values)
{
    return QStringLiteral("ningún símbolo declarado es «%1» con %2").arg(segment, values);
}

} // namespace vordane::messages::notation
