#pragma once

#include <QString>

namespace vordane {

// Whole-text case conversion, one character for one character, so lengths
// never change: accented letters change case (ñandú <-> ÑANDÚ), ß stays ß,
// and a character of the Windows-1252 set whose counterpart lies outside that
// set (µ) keeps its form, so that a file stays writable in its code page.
QString toUpperText(const QString &text);
QString toLowerText(const QString &text);

// The case options of the dictionary and language tools.
enum class CaseOption { Upper, Lower, Unchanged };
QString applyCase(const QString &text, CaseOption option);

} // namespace vordane
