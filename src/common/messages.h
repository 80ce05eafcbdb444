#pragma once

#include <QString>

// Titles and texts of the messages the windows and the command line show,
// kept together so that the wording stays consistent.
namespace vordane::messages {

// Titles.
inline const QString kOpenDefinitionTitle = QStringLiteral("Abrir combinación");
inline const QString kSaveDefinitionTitle = QStringLiteral("Guardar combinación");
inline const QString kGenerationTitle = QStringLiteral("Generación");
inline const QString kSaveTextTitle = QStringLiteral("Guardar texto");
inline const QString kOpenRulesTitle = QStringLiteral("Abrir sílabas");
inline const QString kSaveRulesTitle = QStringLiteral("Guardar sílabas");
inline const QString kOpenFileTitle = QStringLiteral("Abrir archivo");
inline const QString kSaveFileTitle = QStringLiteral("Guardar archivo");

inline const QString kRootCreatorTitle = QStringLiteral("Creador de raíces");
inline const QString kSeparationTitle = QStringLiteral("Separación");

// Completion messages.
inline const QString kGenerationDone = QStringLiteral("Generación finalizada.");
inline const QString kSeparationDone = QStringLiteral("Separación finalizada.");

// Language generator.
inline QString wordListExhausted(const QString &wordList, const QString &rootCode)
{
    return QStringLiteral("La lista de palabras «%1» se ha terminado: no queda ninguna palabra para la raíz «%2». "
                          "El archivo de salida conserva las entradas generadas hasta esa raíz.")
        .arg(wordList, rootCode);
}

// Generation.
inline const QString kTooManyWords = QStringLiteral(
    "No se pueden generar más de 10.000.000 de palabras de una vez. "
    "Reduzca la cantidad de filas o de palabras por fila.");
inline const QString kGenerationTooLarge = QStringLiteral(
    "El texto pedido es demasiado grande para generarlo de una vez. "
    "Reduzca las filas, las palabras por fila o la cantidad de sílabas.");

} // namespace vordane::messages
