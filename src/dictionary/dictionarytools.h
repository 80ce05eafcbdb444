#pragma once

#include "common/outcome.h"
#include "common/textcase.h"

#include <QString>

#include <array>

namespace vordane {

class RandomSource;

// The dictionary tools stream through their files: memory does not grow with
// them. The destination is replaced only when the whole operation succeeded,
// so origin and destination may name the same file. Files that are
// Windows-1252 throughout are processed byte by byte; the result is the same
// as through the Unicode path, only faster.

// "Separar": after four heading lines, each line gives three lines, one per
// 40-character column: the text after the first occurrence of the separator
// at or after the column's start, up to the column's end (the line's start
// when there is none), without leading or trailing blanks.
Outcome separateListing(const QString &origin, const QString &destination, const QString &separator);

// Upper- or lower-case copy of a word file, line for line.
Outcome copyWithCase(const QString &origin, const QString &destination, CaseOption option);

// One row of the combiner.
struct CombinerRow {
    bool inUse = false;
    QString path;
    double percentage = 0;
};
inline constexpr int kCombinerRows = 10;

// Mixes the sources line by line: every pass, while source 0 has lines, draws
// r = floor(u * 100) + 1 and reads one line of each source in use; each row
// whose band (acc, acc + percentage] holds r writes its line, rows out of use
// an empty one. A source in use shorter than source 0 is a failure.
Outcome combineSources(const std::array<CombinerRow, kCombinerRows> &rows, const QString &destination,
                       RandomSource &random);

// Joins two parallel lists into "origin = translation" lines, each list after
// its case option. With `omit`, a line is left out when its translation is
// blank or its origin (trimmed) repeats the origin line before it. A
// translation shorter than the origin is a failure.
Outcome exportDictionary(const QString &origin, const QString &translation, const QString &destination,
                         CaseOption originCase, CaseOption translationCase, bool omit);

} // namespace vordane
