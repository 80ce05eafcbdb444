#pragma once

#include "common/messages.h"

#include <QString>
#include <QStringList>

#include <cstdint>

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

// Matrices, variables and boundaries in rules.
inline QString unknownFeature(const QString &name)
{
    return QStringLiteral("«%1» no es un rasgo declarado con @rasgo").arg(name);
}
inline const QString kTwoCategoriesInMatrix = QStringLiteral("una matriz lleva como mucho una categoría");
inline const QString kCategoryInReplacementMatrix =
    QStringLiteral("en el sustituto una matriz solo lleva valores y variables, no categorías");
inline const QString kNegatedInReplacement = QStringLiteral("en el sustituto una matriz no lleva «!»: pone valores");
inline const QString kNegatedVariable = QStringLiteral("«!» no va delante de una matriz con variables");
inline const QString kOnlyVariable = QStringLiteral("{solo X} no admite variables de rasgo");
inline const QString kTooManyVariables = QStringLiteral("una regla usa como mucho 8 variables de rasgo distintas");
inline const QString kVariableInSyllable = QStringLiteral("un patrón de sílaba no lleva variables de rasgo");
inline const QString kTooManyReplacementMatrices =
    QStringLiteral("un sustituto lleva como mucho 16 matrices que cambian segmentos del objetivo");
inline QString matrixWithoutPartner(qsizetype target, qsizetype written)
{
    return QStringLiteral("una matriz del sustituto cambia el elemento del objetivo que está en su lugar, así que "
                          "los dos lados tienen que tener tantos elementos uno como otro (el objetivo tiene %1 y el "
                          "sustituto %2)")
        .arg(target)
        .arg(written);
}
inline QString matrixPartnerNotOne(qsizetype element)
{
    return QStringLiteral("el elemento %1 del objetivo no encaja siempre en un solo segmento: una matriz del "
                          "sustituto no puede cambiarlo")
        .arg(element);
}
inline QString unboundVariable(const QString &name)
{
    return QStringLiteral("la variable $%1 del sustituto no se liga en el objetivo ni en un entorno").arg(name);
}

// What a run could not do, for the reports of the rules that hit it.
inline QString unsyllabifiable(const QString &word)
{
    return QStringLiteral("la palabra «%1» no se puede cortar en sílabas").arg(word);
}
inline QString noSegmentWith(const QString &segment, const QString &values)
{
    return QStringLiteral("ningún símbolo declarado es «%1» con %2").arg(segment, values);
}

inline QString withoutSegment(std::int64_t count, const QStringList &examples)
{
    return QStringLiteral("%1 sin cambiar (%2)")
        .arg(counted(count, QStringLiteral("segmento se deja"), QStringLiteral("segmentos se dejan")),
             examples.join(QStringLiteral("; ")));
}
inline QString unsyllabifiedWords(std::int64_t count, const QStringList &examples)
{
    return QStringLiteral("%1 sin cambiar: no se puede%2 cortar en sílabas (%3)")
        .arg(counted(count, QStringLiteral("palabra se deja"), QStringLiteral("palabras se dejan")),
             count == 1 ? QString() : QStringLiteral("n"), examples.join(QStringLiteral(", ")));
}

// Words written with "--silabas" (or the workshop's box) that the last
// "@sílabas" line could not cut.
inline QString unmarkedWords(std::int64_t count, const QStringList &examples)
{
    return QStringLiteral("%1 sin marcar las sílabas: no se puede%2 cortar (%3)")
        .arg(counted(count, QStringLiteral("palabra se escribe"), QStringLiteral("palabras se escriben")),
             count == 1 ? QString() : QStringLiteral("n"), examples.join(QStringLiteral(", ")));
}

} // namespace vordane::messages::notation
