#pragma once

#include "common/filestatus.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// Titles, status texts and messages that the windows and the command line
// show, kept together so that the wording stays consistent.
namespace vordane::messages {

// "1 línea", "3 líneas": a count with its noun in the right number.
inline QString counted(std::int64_t count, const QString &singular, const QString &plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? singular : plural);
}
inline QString lines(std::int64_t count)
{
    return counted(count, QStringLiteral("línea"), QStringLiteral("líneas"));
}

// Status texts of the generation and transformer windows.
inline const QString kReady = QStringLiteral("Listo.");
inline const QString kGenerating = QStringLiteral("Generando.");
inline const QString kTransforming = QStringLiteral("Transformando.");
inline const QString kOpening = QStringLiteral("Abriendo.");
inline const QString kSaving = QStringLiteral("Guardando.");

// Titles of dialogs and message boxes.
inline const QString kOpenDefinitionTitle = QStringLiteral("Abrir combinación");
inline const QString kSaveDefinitionTitle = QStringLiteral("Guardar combinación");
inline const QString kGenerationTitle = QStringLiteral("Generación");
inline const QString kSaveTextTitle = QStringLiteral("Guardar texto");
inline const QString kOpenDictionaryTitle = QStringLiteral("Abrir diccionario");
inline const QString kOpenRulesTitle = QStringLiteral("Abrir sílabas");
inline const QString kSaveRulesTitle = QStringLiteral("Guardar sílabas");
inline const QString kOpenFileTitle = QStringLiteral("Abrir archivo");
inline const QString kSaveFileTitle = QStringLiteral("Guardar archivo");
inline const QString kTransformationTitle = QStringLiteral("Transformación");
inline const QString kRootCreatorTitle = QStringLiteral("Creador de raíces");
inline const QString kRootsTitle = QStringLiteral("Raíces");
inline const QString kWordListTitle = QStringLiteral("Lista de Palabras");
inline const QString kOutputFileTitle = QStringLiteral("Archivo de Salida");
inline const QString kLanguageOriginTitle = QStringLiteral("Archivo de Origen");
inline const QString kOriginWordsTitle = QStringLiteral("Archivo de Palabras de Origen");
inline const QString kDictionaryFileTitle = QStringLiteral("Archivo de Diccionario");
inline const QString kSeparationTitle = QStringLiteral("Separación");
inline const QString kPassageTitle = QStringLiteral("Pasaje");
inline const QString kCombinationTitle = QStringLiteral("Combinación");
inline const QString kExportTitle = QStringLiteral("Exportación");
inline const QString kCreatorOriginTitle = QStringLiteral("Abrir archivo de origen");
inline const QString kCreatorDestinationTitle = QStringLiteral("Seleccionar archivo de destino");
inline const QString kCombinerSourceTitle = QStringLiteral("Selección de diccionario de origen");
inline const QString kCombinerDestinationTitle = QStringLiteral("Selección de diccionario de destino");
inline const QString kDeleteTitle = QStringLiteral("Eliminación");
inline const QString kRenameTitle = QStringLiteral("Cambio de nombre");
inline const QString kDriveTitle = QStringLiteral("Unidad");

// Completion messages.
inline const QString kGenerationDone = QStringLiteral("Generación finalizada.");
inline const QString kSeparationDone = QStringLiteral("Separación finalizada.");
inline const QString kUpperDone = QStringLiteral("Pasaje a mayúsculas finalizado.");
inline const QString kLowerDone = QStringLiteral("Pasaje a minúsculas finalizado.");
inline const QString kCombinationDone = QStringLiteral("Combinación finalizada");
inline const QString kExportDone = QStringLiteral("Exportación finalizada");
inline const QString kRootSaved = QStringLiteral("Raíz guardada.");

// Any operation.
inline const QString kOutOfMemory =
    QStringLiteral("Memoria insuficiente: la operación se ha abandonado y no se ha modificado ningún archivo.");
inline const QString kTooLong = QStringLiteral("La operación se ha abandonado y no se ha modificado ningún archivo.");

// Word generation.
inline const QString kTooManyWords = QStringLiteral("No se pueden generar más de 10.000.000 de palabras de una vez. "
                                                    "Reduzca la cantidad de filas o de palabras por fila.");
inline const QString kGenerationTooLarge =
    QStringLiteral("El texto pedido es demasiado grande para generarlo de una vez. "
                   "Reduzca las filas, las palabras por fila o la cantidad de sílabas.");
inline QString notEnoughNewWords(std::int64_t found, std::int64_t draws)
{
    return QStringLiteral("La definición no da bastantes palabras nuevas: tras %1 intentos seguidos sin "
                          "ninguna palabra aceptable se han encontrado %2. No se ha escrito nada.")
        .arg(draws)
        .arg(counted(found, QStringLiteral("palabra distinta"), QStringLiteral("palabras distintas")));
}

// Transformation.
inline QString replaceOrAppendRules(const QString &file, qsizetype listed)
{
    return QStringLiteral("La lista ya tiene %1. ¿Sustituirla por las reglas de «%2» o añadir estas al final?")
        .arg(lines(listed), file);
}
inline QString wordTooLong(qsizetype limit)
{
    return QStringLiteral("Una palabra ha crecido más allá de %1 caracteres al aplicarle las reglas. ").arg(limit)
        + kTooLong;
}
inline QString resultTooLong(qsizetype limit)
{
    return QStringLiteral("El resultado pasa de %1 caracteres, más de lo que cabe en el cuadro de texto. ").arg(limit)
        + kTooLong;
}

// The extended rule notation: what is wrong with a line.
namespace rules {
inline const QString kMissingArrow = QStringLiteral("falta «>» entre el objetivo y el sustituto");
inline const QString kSecondArrow = QStringLiteral("la regla tiene más de un «>»");
inline const QString kExtraSlash =
    QStringLiteral("«/» de más: el entorno va tras «/» y la excepción tras «//», una vez cada uno");
inline const QString kBadChance = QStringLiteral("«?N» va al final de la regla, con N entero del 1 al 100");
inline const QString kMarkInTarget = QStringLiteral("«#» solo puede ir al principio o al final del objetivo");
inline const QString kMarkInReplacement = QStringLiteral("«#» solo puede ir al principio o al final del sustituto");
inline const QString kMarkInContext = QStringLiteral("«#» solo puede ir al principio o al final de un entorno");
inline const QString kPlaceOutsideContext = QStringLiteral("«_» solo puede ir en un entorno o una excepción");
inline const QString kInitialMarkMissing =
    QStringLiteral("el objetivo empieza por «#»: el sustituto también (#k>#g), o vacío para borrar");
inline const QString kFinalMarkMissing =
    QStringLiteral("el objetivo termina en «#»: el sustituto también (o#>u#), o vacío para borrar");
inline const QString kInitialMarkUnpaired = QStringLiteral("el sustituto empieza por «#», pero el objetivo no");
inline const QString kFinalMarkUnpaired = QStringLiteral("el sustituto termina en «#», pero el objetivo no");
inline const QString kInsertionWithoutContext =
    QStringLiteral("un objetivo vacío inserta el sustituto y necesita un entorno (por ejemplo >e/#_s)");
inline const QString kEnvironmentWithoutPlace = QStringLiteral("el entorno no tiene «_» (el lugar del objetivo)");
inline const QString kExceptionWithoutPlace = QStringLiteral("la excepción no tiene «_» (el lugar del objetivo)");
inline const QString kSecondPlace = QStringLiteral("hay más de un «_»: el objetivo tiene un solo lugar");
inline const QString kMisplacedMarker =
    QStringLiteral("la marca «@ampliada» tiene que ser la primera línea de la lista");
inline const QString kTooManyCategories = QStringLiteral("demasiadas categorías en una parte de la regla (más de 256)");
inline QString tooManyRules(qsizetype limit)
{
    return QStringLiteral("una lista ampliada admite como mucho %1 reglas").arg(limit);
}
inline QString unpairedCategory(QChar name)
{
    return QStringLiteral("la categoría %1 del sustituto no tiene pareja en el objetivo").arg(name);
}
inline QString categorySizes(QChar name, qsizetype size, QChar partner, qsizetype partnerSize)
{
    return QStringLiteral("la categoría %1 tiene %2 y su pareja del objetivo, %3, tiene %4")
        .arg(QString(name), counted(size, QStringLiteral("miembro"), QStringLiteral("miembros")), QString(partner),
             counted(partnerSize, QStringLiteral("miembro"), QStringLiteral("miembros")));
}
inline QString noMembers(QChar name)
{
    return QStringLiteral("la categoría %1 no tiene miembros").arg(name);
}
inline QString emptyMember(QChar name)
{
    return QStringLiteral("la categoría %1 tiene un miembro vacío").arg(name);
}
inline QString reservedInMember(QChar character)
{
    return QStringLiteral("un miembro de una categoría no puede contener «%1»").arg(character);
}
// The whole list refused: every fault, one per line.
inline QString invalidRules(const QStringList &faults)
{
    return QStringLiteral("La lista de reglas tiene errores; no se ha transformado nada.\n") + faults.join(u'\n');
}
} // namespace rules

// The grown extended notation: what is wrong with a line.
namespace notation {
inline QString reserved(const QString &character)
{
    return QStringLiteral("«%1» tiene un sentido en la notación: para el carácter mismo escriba «\\%1»").arg(character);
}
inline const QString kEscapeAtEnd = QStringLiteral("«\\» al final de la línea no escapa ningún carácter");
inline const QString kSyllableBoundary =
    QStringLiteral("«.» queda reservado para los límites de sílaba; para el punto mismo escriba «\\.»");
inline const QString kUnclosedBracket = QStringLiteral("«[» sin su «]»");
inline const QString kUnopenedBracket = QStringLiteral("«]» sin su «[»");
inline const QString kUnclosedGroup = QStringLiteral("«(» sin su «)»");
inline const QString kUnopenedGroup = QStringLiteral("«)» sin su «(»");
inline const QString kEmptyGroup = QStringLiteral("«()» no contiene nada");
inline const QString kTooDeep = QStringLiteral("demasiados paréntesis o corchetes anidados (más de 32)");
inline const QString kNothingToRepeat = QStringLiteral("«*» y «+» repiten el elemento que tienen delante, y aquí no hay ninguno");
inline const QString kNothingToNegate =
    QStringLiteral("«!» va delante de una letra, una categoría o una categoría entre corchetes");
inline const QString kBadCapture = QStringLiteral("«$» va seguido de un número del 1 al 9");
inline QString unboundCapture(int capture)
{
    return QStringLiteral("la captura $%1 no se liga en ninguna parte de la regla (se liga con E$%1)").arg(capture);
}
inline QString captureNotCategory(int capture, const QString &category, qsizetype size)
{
    return QStringLiteral("%1$%2 pide que la captura $%2 se ligue a una categoría de %3")
        .arg(category, QString::number(capture), counted(size, QStringLiteral("miembro"), QStringLiteral("miembros")));
}
inline const QString kEllipsisInTarget = QStringLiteral("«…» solo puede ir en un entorno o una excepción");
inline const QString kEdgeInMember = QStringLiteral("«#» como miembro solo puede ir en un entorno o una excepción");
inline const QString kNotInReplacement = QStringLiteral(
    "el sustituto solo lleva letras, categorías, capturas ($n, Y$n) y las marcas «#»; no «(», «*», «+», «!», «…» ni «[]»");
inline const QString kMappedInGroup =
    QStringLiteral("esa categoría del objetivo está dentro de «( )», «*» o «+» y no puede dar su miembro al sustituto");
inline const QString kEmptyContext = QStringLiteral("un entorno o una excepción vacíos: quite la «/» de más");
inline const QString kBadOption = QStringLiteral(
    "opción desconocida: las opciones son {simultánea}, {secuencial}, {inversa}, {repetida}, {una} y {solo X}");
inline const QString kUnclosedOption = QStringLiteral("«{» sin su «}»");
inline const QString kOnlyWhat
    = QStringLiteral("{solo X} pide una categoría, una categoría entre corchetes o una matriz de rasgos");
inline const QString kBlockWithoutRule = QStringLiteral("una línea que empieza por «&» se une a la regla de encima, y no hay ninguna");
inline const QString kOptionsInBlock =
    QStringLiteral("las opciones y «?N» de un bloque van en su primera línea, no en las que empiezan por «&»");
inline const QString kBadSymbols = QStringLiteral("@símbolos va seguido de los símbolos separados por comas");
// Words a rule gave up on, for reports and warnings.
inline QString tooCostly(std::int64_t count, const QStringList &examples)
{
    return QStringLiteral("%1 sin cambiar: la regla costaría mucho más que recorrerla (%2)")
        .arg(counted(count, QStringLiteral("palabra se deja"), QStringLiteral("palabras se dejan")),
             examples.join(QStringLiteral(", ")));
}
// "{repetida}" rules that did not settle, for reports and warnings.
inline QString unsettledWords(std::int64_t count, const QStringList &examples)
{
    return QStringLiteral("%1 tras %2 pasadas, se deja%3 como quedó la última (%4)")
        .arg(counted(count, QStringLiteral("palabra sigue cambiando"), QStringLiteral("palabras siguen cambiando")))
        .arg(100)
        .arg(count == 1 ? QString() : QStringLiteral("n"))
        .arg(examples.join(QStringLiteral(", ")));
}
inline QString unknownDirective(const QString &directive)
{
    return QStringLiteral("directiva desconocida «%1»").arg(directive);
}
} // namespace notation
// Importing SCA² rule files: why a line was not carried over.
namespace sca2 {
inline const QString kNotALine =
    QStringLiteral("no es una categoría (V=aeiou), una reescritura (lh|ñ) ni una regla (objetivo/sustituto/entorno); "
                   "el original también la pasa por alto");
inline const QString kEmptyCategory = QStringLiteral("la categoría no tiene miembros");
inline const QString kBadRewrite = QStringLiteral("una reescritura lleva un solo «|» con el texto que cambia delante");
inline const QString kMissingEnvironment = QStringLiteral("falta el entorno: objetivo/sustituto/entorno");
inline const QString kTooManyParts = QStringLiteral("la regla tiene más de cuatro partes separadas por «/»");
inline const QString kNothingToDo = QStringLiteral("el objetivo y el sustituto están vacíos");
inline const QString kEnvironmentWithoutPlace = QStringLiteral("el entorno no tiene «_» (el lugar del objetivo)");
inline const QString kExceptionWithoutPlace = QStringLiteral("la excepción no tiene «_» (el lugar del objetivo)");
inline const QString kSecondPlace = QStringLiteral("hay más de un «_» en el entorno o en la excepción");
inline const QString kPlaceInTarget = QStringLiteral("«_» solo puede ir en el entorno o en la excepción");
inline const QString kPlaceInGroup = QStringLiteral("«_» no puede ir entre paréntesis");
inline const QString kEdgeInTarget = QStringLiteral("«#» solo puede ir en el entorno o en la excepción");
inline const QString kEdgeInside = QStringLiteral("«#» solo puede ir al principio o al final del entorno");
inline const QString kGroupInTarget = QStringLiteral("«( )» solo puede ir en el entorno o en la excepción");
inline const QString kEllipsisInTarget = QStringLiteral("«…» solo puede ir en el entorno o en la excepción");
inline const QString kUnclosedBracket = QStringLiteral("falta el «]» que cierra la categoría");
inline const QString kStrayBracket = QStringLiteral("«]» sin su «[»");
inline const QString kEmptyBracket = QStringLiteral("«[]» no tiene miembros");
inline const QString kBadMember = QStringLiteral("una categoría entre corchetes no puede contener «[», «²» ni «_»");
inline const QString kUnclosedGroup = QStringLiteral("falta el «)» que cierra el paréntesis");
inline const QString kStrayGroup = QStringLiteral("«)» sin su «(»");
inline const QString kEmptyGroup = QStringLiteral("«()» no tiene nada dentro");
inline const QString kNothingToRepeat =
    QStringLiteral("«²» no sigue a un carácter, una categoría ni al «_» del objetivo que pueda repetir");
inline const QString kReversalWithOthers =
    QStringLiteral("«\\\\» solo puede ser el sustituto entero (el objetivo al revés)");
inline const QString kReversalOfNothing = QStringLiteral("«\\\\» invierte el objetivo, y el objetivo está vacío");
inline const QString kInsertionWithoutEnvironment =
    QStringLiteral("un objetivo vacío inserta el sustituto y necesita un entorno además de «_»");
inline const QString kUnpairedCategory =
    QStringLiteral("el sustituto tiene una categoría, pero el objetivo no empieza por una categoría");
inline const QString kTooManyCategories = QStringLiteral("el sustituto tiene más de 256 categorías");
inline const QString kTooManyCaptures = QStringLiteral("la regla necesitaría más de 9 capturas ($1 a $9)");
inline QString tooLongRewritten(qsizetype limit)
{
    return QStringLiteral("las reescrituras alargan la línea a más de %1 caracteres").arg(limit);
}
inline QString backRewriteInsertion(const QString &text)
{
    return QStringLiteral("la reescritura de vuelta insertaría «%1» en cualquier lugar: solo se reescribe la "
                          "entrada")
        .arg(text);
}
// One line of the original that was not carried over (numbered from 1).
inline QString problem(qsizetype line, const QString &text, const QString &reason)
{
    return QStringLiteral("Línea %1 («%2»): %3.").arg(line).arg(text, reason);
}
inline QString nothingImported(const QString &file)
{
    return QStringLiteral("«%1» no tiene ninguna regla que se pueda importar; no se ha escrito nada.").arg(file);
}
inline QString importDone(qsizetype rules)
{
    return QStringLiteral("Importación finalizada: %1.")
        .arg(counted(rules, QStringLiteral("regla importada"), QStringLiteral("reglas importadas")));
}
} // namespace sca2

// Roots and languages.
inline QString wordListExhausted(const QString &wordList, const QString &rootCode)
{
    return QStringLiteral("La lista de palabras «%1» se ha terminado: no queda ninguna palabra para la raíz «%2». "
                          "No se ha modificado ningún archivo.")
        .arg(wordList, rootCode);
}
inline QString formTooLong(const QString &rootCode, qsizetype limit)
{
    return QStringLiteral("La forma de la raíz «%1» pasa de %2 caracteres. ").arg(rootCode).arg(limit) + kTooLong;
}
inline QString languageTooLarge(qsizetype limit)
{
    return QStringLiteral("Las formas generadas pasan en total de %1 caracteres. ").arg(limit) + kTooLong;
}
inline QString fieldWithLineBreak(const QString &field)
{
    return QStringLiteral("El campo «%1» contiene un salto de línea, que partiría la raíz en dos líneas del "
                          "archivo. La raíz no se ha guardado.")
        .arg(field);
}
inline QString sameOutputs(const QString &file)
{
    return QStringLiteral("Las dos salidas son el mismo archivo «%1»: una lista borraría a la otra. "
                          "No se ha modificado ningún archivo.")
        .arg(file);
}

// File manager.
inline const QString kNoFileSelected = QStringLiteral("No hay ningún archivo seleccionado.");
inline const QString kEmptyNewName = QStringLiteral("No se ha indicado el nombre nuevo.");
inline QString driveNotReady(const QString &drive)
{
    return QStringLiteral("La unidad «%1» no está disponible.").arg(drive);
}
inline QString fileMissing(const QString &file)
{
    return QStringLiteral("El archivo «%1» ya no existe.").arg(file);
}
// With the system's reason, as the file layer's messages give it.
inline QString cannotDelete(const QString &file, const QString &reason)
{
    return QStringLiteral("No se ha podido eliminar el archivo «%1»: %2.").arg(file, spanishReason(reason));
}
inline QString nameTaken(const QString &file)
{
    return QStringLiteral("Ya existe «%1»: el archivo no se ha renombrado.").arg(file);
}
inline QString cannotRename(const QString &from, const QString &to, const QString &reason)
{
    return QStringLiteral("No se ha podido renombrar «%1» como «%2»: %3.").arg(from, to, spanishReason(reason));
}

// Dictionary tools.
inline const QString kEmptySeparator = QStringLiteral("No se ha indicado ningún separador.");
inline const QString kFirstRowNotInUse =
    QStringLiteral("La primera fila no está en uso: la combinación toma de ella la cantidad de líneas.");
inline QString listingTooShort(const QString &file, std::int64_t count)
{
    return QStringLiteral("El archivo «%1» tiene %2: el encabezado ocupa cuatro.").arg(file, lines(count));
}
inline QString translationTooShort(const QString &file, std::int64_t count)
{
    return QStringLiteral("El archivo de traducción «%1» tiene solo %2, menos que el archivo de origen.")
        .arg(file, lines(count));
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

} // namespace vordane::messages
