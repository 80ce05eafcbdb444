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

// File manager.
inline const QString kDeleteTitle = QStringLiteral("Eliminación");
inline const QString kRenameTitle = QStringLiteral("Cambio de nombre");
inline const QString kNoFileSelected = QStringLiteral("No hay ningún archivo seleccionado.");
inline const QString kEmptyNewName = QStringLiteral("No se ha indicado el nombre nuevo.");
inline const QString kDriveTitle = QStringLiteral("Unidad");
inline QString driveNotReady(const QString &drive)
{
    return QStringLiteral("La unidad «%1» no está disponible.").arg(drive);
}
inline QString fileMissing(const QString &file)
{
    return QStringLiteral("El archivo «%1» ya no existe.").arg(file);
}
inline QString cannotDelete(const QString &file)
{
    return QStringLiteral("No se ha podido eliminar el archivo «%1».").arg(file);
}
inline QString nameTaken(const QString &file)
{
    return QStringLiteral("Ya existe «%1»: el archivo no se ha renombrado.").arg(file);
}
inline QString cannotRename(const QString &from, const QString &to)
{
    return QStringLiteral("No se ha podido renombrar «%1» como «%2».").arg(from, to);
}

// Dictionary tools.
inline const QString kPassageTitle = QStringLiteral("Pasaje");
inline const QString kCombinationTitle = QStringLiteral("Combinación");
inline const QString kExportTitle = QStringLiteral("Exportación");
inline const QString kUpperDone = QStringLiteral("Pasaje a mayúsculas finalizado.");
inline const QString kLowerDone = QStringLiteral("Pasaje a minúsculas finalizado.");
inline const QString kCombinationDone = QStringLiteral("Combinación finalizada");
inline const QString kExportDone = QStringLiteral("Exportación finalizada");
inline const QString kEmptySeparator = QStringLiteral("No se ha indicado ningún separador.");
inline const QString kFirstRowNotInUse =
    QStringLiteral("La primera fila no está en uso: la combinación toma de ella la cantidad de líneas.");
inline QString listingTooShort(const QString &file, qint64 lines)
{
    return QStringLiteral("El archivo «%1» tiene %2 líneas: el encabezado ocupa cuatro.").arg(file).arg(lines);
}
inline QString translationTooShort(const QString &file, qint64 lines)
{
    return QStringLiteral("El archivo de traducción «%1» tiene solo %2 líneas, menos que el archivo de origen.")
        .arg(file)
        .arg(lines);
}
inline QString rowWithoutFile(int row)
{
    return QStringLiteral("La fila %1 está en uso pero no tiene ningún archivo.").arg(row + 1);
}
inline QString sourceTooShort(const QString &file, int row)
{
    return QStringLiteral("El archivo «%1» de la fila %2 tiene menos líneas que el de la primera fila.")
        .arg(file)
        .arg(row + 1);
}

// Generation.
inline const QString kTooManyWords = QStringLiteral(
    "No se pueden generar más de 10.000.000 de palabras de una vez. "
    "Reduzca la cantidad de filas o de palabras por fila.");
inline const QString kGenerationTooLarge = QStringLiteral(
    "El texto pedido es demasiado grande para generarlo de una vez. "
    "Reduzca las filas, las palabras por fila o la cantidad de sílabas.");

} // namespace vordane::messages
