#pragma once

#include <QString>

#include <array>

namespace vordane {

// Whole-text case conversion, one character for one character (a character
// beyond U+FFFF, two UTF-16 units, being one), so lengths never change:
// accented letters change case (ñandú <-> ÑANDÚ), ß stays ß,
// and a character of the Windows-1252 set whose counterpart lies outside that
// set (µ) keeps its form, so that a file stays writable in its code page.
QString toUpperText(const QString &text);
QString toLowerText(const QString &text);

// The case options of the dictionary and language tools.
enum class CaseOption { Upper, Lower, Unchanged };
QString applyCase(const QString &text, CaseOption option);

// The same conversions on Windows-1252 bytes, one byte for one byte, for
// tools that copy such files without decoding them: byte b becomes table[b].
// The tables are derived from the functions above, so both paths agree.
using ByteTable = std::array<unsigned char, 256>;
const ByteTable &windows1252CaseTable(CaseOption option);
// Applies the table to bytes in place.
inline void mapBytes(const ByteTable &table, char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(table[static_cast<unsigned char>(data[i])]);
}

} // namespace vordane
