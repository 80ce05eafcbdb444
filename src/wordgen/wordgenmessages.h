#pragma once

#include <QString>

// The texts of the word generator with weights ("palabras", "Taller de palabras").
namespace vordane::messages::wordgen {

inline const QString kUnknownLine =
    QStringLiteral("se esperaba una categoría (X=...), una directiva (@...) o un comentario (;)");
inline QString unknownDirective(const QString &name)
{
    return QStringLiteral("directiva desconocida «%1»").arg(name);
}
inline QString repeatedDirective(const QString &name, qsizetype line)
{
    return QStringLiteral("«%1» ya está en la línea %2").arg(name).arg(line + 1);
}
inline QString repeatedCategory(QChar name, qsizetype line)
{
    return QStringLiteral("la categoría %1 ya está definida en la línea %2").arg(QString(name)).arg(line + 1);
}
inline QString undefinedCategory(QChar name)
{
    return QStringLiteral("la categoría %1 no está definida").arg(QString(name));
}
inline QString laterCategory(QChar name)
{
    return QStringLiteral("la categoría %1 se define más abajo: un miembro solo puede nombrar una categoría de "
                          "más arriba")
        .arg(QString(name));
}
inline const QString kEscapeAtEnd = QStringLiteral("«\\» al final de la línea no escapa nada");
inline const QString kEmptyMember = QStringLiteral("miembro vacío (el miembro sin sonido se escribe ∅)");
inline const QString kNoMembers = QStringLiteral("la categoría no tiene miembros");
inline const QString kBadWeight = QStringLiteral("el peso debe ser un número positivo (por ejemplo a:5 o a:0.5)");
inline const QString kEmptyShape = QStringLiteral("forma vacía (una sílaba sin sonidos se escribe ∅)");
inline const QString kNoShapes = QStringLiteral("la lista no tiene ninguna forma");
inline QString unclosed(QChar open, QChar close)
{
    return QStringLiteral("«%1» sin su «%2»").arg(QString(open), QString(close));
}
inline QString unexpected(QChar character)
{
    return QStringLiteral("«%1» fuera de su sitio (escriba \\%1 para el carácter)").arg(QString(character));
}
inline const QString kCommaInGroup = QStringLiteral("«,» dentro de «( )» o «{ }»: las alternativas se separan con «|»");
inline const QString kBadChance = QStringLiteral("tras «?» va un porcentaje de 0 a 100");
inline const QString kBadOptional = QStringLiteral("@opcional lleva un porcentaje de 0 a 100");
inline const QString kBadFalloff = QStringLiteral("@caída lleva 0, un porcentaje de 1 a 99, «zipf» o «gusein-zade»");
inline QString badLength(int most)
{
    return QStringLiteral("@longitud lleva números de sílabas de 0 a %1 con pesos (1:1, 2:4), o un intervalo (2-4)")
        .arg(most);
}
inline const QString kRepeatedLength = QStringLiteral("ese número de sílabas ya está en la lista");
inline const QString kEmptyRejection = QStringLiteral("@rechazar lleva una expresión regular");
inline QString badRejection(const QString &error)
{
    return QStringLiteral("la expresión regular no es válida: %1").arg(error);
}
inline const QString kEmptyAlphabet = QStringLiteral("@alfabeto lleva letras separadas por comas");
inline QString changesFileFailed(const QString &message)
{
    return QStringLiteral("no se pueden leer los cambios: %1").arg(message);
}
inline QString changesFileError(const QString &file, const QString &message)
{
    return QStringLiteral("en el archivo de cambios «%1»: %2").arg(file, message);
}
inline QString missingShapes(const QString &which)
{
    return QStringLiteral("faltan las formas de %1: escriba @formas o %2")
        .arg(which == QStringLiteral("@única")         ? QStringLiteral("las palabras de una sílaba")
                 : which == QStringLiteral("@media")   ? QStringLiteral("las sílabas del medio")
                 : which == QStringLiteral("@inicial") ? QStringLiteral("la primera sílaba")
                                                       : QStringLiteral("la última sílaba"),
             which);
}

inline QString cannotConvert(const QString &why)
{
    return QStringLiteral("No se puede convertir la combinación: %1.").arg(why);
}
inline const QString kTooManyCategories = QStringLiteral("necesita más de 26 categorías (letras de la A a la Z)");
inline QString tooManySyllables(int most)
{
    return QStringLiteral("las sílabas máximas pasan de %1").arg(most);
}
inline const QString kCancelled = QStringLiteral("Generación cancelada.");

} // namespace vordane::messages::wordgen
