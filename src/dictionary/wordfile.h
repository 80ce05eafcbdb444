#pragma once

#include "common/filestatus.h"

#include <QString>
#include <QStringList>

namespace vordane {

// The entries of one word file, in file order; an empty line is an empty entry.
using WordList = QStringList;

// A dictionary line: left part, " = ", right part, neither trimmed.
struct DictionaryEntry {
    QString left;
    QString right;

    QString toLine() const;
    bool operator==(const DictionaryEntry &) const = default;
};

inline constexpr QLatin1StringView kDictionarySeparator{" = "};

// File-dialog filters for word files.
inline const QString kWordFileFilter = QStringLiteral(
    "Archivos de vocabulario (*.lex)|*.lex|Diccionarios (*.dct, *.dic)|*.dct;*.dic|"
    "Archivos de texto (*.txt)|*.txt|Todos los archivos|*.*");
inline const QString kCombinerSourceFilter = QStringLiteral(
    "Archivos de vocabularios (*.lex)|*.lex|Diccionarios (*.dct, *.dic)|*.dct;*.dic|"
    "Archivos de texto (*.txt)|*.txt|Archivos soportados|*.lex;*.dct;*.dic;*.txt|Todos los archivos|*.*");
inline const QString kCombinerDestinationFilter = QStringLiteral(
    "Vocabularios (*.lex)|*.lex|Diccionarios (*.dct, *.dic)|*.dct;*.dic|"
    "Archivos de texto (*.txt)|*.txt|Archivos soportados|*.lex;*.dct;*.dic;*.txt|Todos los archivos|*.*");

// Reads every entry of a word file into entries (left as it was on failure).
FileStatus readWordList(const QString &path, WordList &entries);
// Writes every entry followed by CR LF, replacing the file.
FileStatus writeWordList(const QString &path, const WordList &entries);

} // namespace vordane
