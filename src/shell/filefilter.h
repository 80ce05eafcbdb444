#pragma once

#include <QString>
#include <QStringList>

namespace vordane {

// The filters of the file dialogs, in the toolkit's "label|pattern|label|pattern"
// form (several patterns of one label joined by ";").
namespace filters {
inline const QString kDefinitions = QStringLiteral("Archivos de lenguajes (*.lng)|*.lng|Todos los archivos|*.*");
inline const QString kRules =
    QStringLiteral("Cambios de sonido (*.sc)|*.sc|Archivos de sílabas (*.lns)|*.lns|Todos los archivos|*.*");
inline const QString kWordFiles =
    QStringLiteral("Archivos de vocabulario (*.lex)|*.lex|Diccionarios (*.dct, *.dic)|*.dct;*.dic|"
                   "Archivos de texto (*.txt)|*.txt|Todos los archivos|*.*");
inline const QString kCombinerSources = QStringLiteral(
    "Archivos de vocabularios (*.lex)|*.lex|Diccionarios (*.dct, *.dic)|*.dct;*.dic|"
    "Archivos de texto (*.txt)|*.txt|Archivos soportados|*.lex;*.dct;*.dic;*.txt|Todos los archivos|*.*");
inline const QString kCombinerDestination = QStringLiteral(
    "Vocabularios (*.lex)|*.lex|Diccionarios (*.dct, *.dic)|*.dct;*.dic|"
    "Archivos de texto (*.txt)|*.txt|Archivos soportados|*.lex;*.dct;*.dic;*.txt|Todos los archivos|*.*");
inline const QString kRoots = QStringLiteral("Archivos de raíces (*.rad)|*.rad|Todos los archivos|*.*");
inline const QString kLanguages = QStringLiteral("Archivos de lenguas (*.lan)|*.lan|Todos los archivos|*.*");
} // namespace filters

// Turns a "label|pattern|label|pattern" filter (patterns joined by ";") into
// Qt name filters "label (pattern pattern)". Shown with
// QFileDialog::HideNameFilterDetails, each label reads exactly as written,
// while Qt filters by the patterns in the last parentheses. "*.*" becomes "*"
// so that files without an extension are listed too.
QStringList toQtNameFilters(const QString &filter);

// The extension that a Save dialog adds with the filter pair at `index`
// chosen: the pair's first pattern as ".ext" ("*.dct;*.dic" gives ".dct"),
// or the empty text when that pattern names no one extension ("*.*").
QString filterExtension(const QString &filter, int index);

// The path with `extension` added when the file name holds no "." at all; a
// name with an extension (or a final ".") is kept as typed.
QString withExtension(const QString &path, const QString &extension);

} // namespace vordane
