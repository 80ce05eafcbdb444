#pragma once

#include "common/filestatus.h"

#include <QString>
#include <QStringList>

#include <array>

namespace vordane {

// One letter class of a word-generator definition.
struct Panel {
    QString identifier; // the character standing for the class in patterns
    QString description; // free note, shown as the panel's caption
    QStringList letters; // the alternatives; a letter may be empty, never holds ","

    bool operator==(const Panel &) const = default;
};

// A word-generator definition: eight letter classes and the syllable patterns.
struct Combinacion {
    static constexpr int kPanels = 8;
    std::array<Panel, kPanels> panels;
    QStringList patterns;

    // Identifiers "A" to "H", everything else empty.
    static Combinacion initial();
    bool operator==(const Combinacion &) const = default;
};

// The letter-list text form: letters joined by "," (a lone empty letter and
// no letters both give the empty text).
QString letterListText(const QStringList &letters);
// Letters parsed from their text form: cut at every ",", empty pieces kept;
// the empty text gives no letters.
QStringList parseLetterList(const QString &text);

// Descriptions, identifiers and letter lines of the eight panels.
inline constexpr int kLngFixedLines = 3 * Combinacion::kPanels;

// Reads a .lng file into definition; on failure definition is unchanged.
// A file with fewer than 24 lines is refused (FileError::TooShort).
FileStatus readLngFile(const QString &path, Combinacion &definition);
FileStatus writeLngFile(const QString &path, const Combinacion &definition);

} // namespace vordane
