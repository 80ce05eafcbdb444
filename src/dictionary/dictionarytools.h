#pragma once

#include "common/filestatus.h"
#include "common/textcase.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vordane {

class RandomSource;

// How a dictionary tool ended. A file problem names its file in `status`;
// the other problems are the tools' own.
struct ToolResult {
    enum class Problem {
        None,
        File,                // status says which file and what failed
        EmptySeparator,      // "Separar" without a separator
        ListingTooShort,     // fewer than the four heading lines
        TranslationTooShort, // path: the translation file, count: its lines
        FirstRowNotInUse,    // the combiner needs row 0
        RowWithoutFile,      // row: a row in use with an empty file name
        SourceTooShort,      // path, row: a source with fewer lines than source 0
    };
    Problem problem = Problem::None;
    FileStatus status;
    QString path;
    int row = -1;
    std::int64_t count = 0;

    bool ok() const { return problem == Problem::None; }
    static ToolResult fileFailure(const FileStatus &status) { return {Problem::File, status, status.path, -1, 0}; }
};

// The Spanish text of a failed result.
QString toolResultMessage(const ToolResult &result);

// The destination is written only when the whole operation succeeded, so
// origin and destination may name the same file.

// "Separar": after four heading lines, each line gives three lines, one per
// 40-character column: the text after the first occurrence of the separator
// at or after the column's start, up to the column's end (the line's start
// when there is none), without leading or trailing blanks.
ToolResult separateListing(const QString &origin, const QString &destination, const QString &separator);

// Upper- or lower-case copy of a word file, line for line.
ToolResult copyWithCase(const QString &origin, const QString &destination, CaseOption option);

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
// an empty one.
ToolResult combineSources(const std::array<CombinerRow, kCombinerRows> &rows, const QString &destination,
                          RandomSource &random);

// Joins two parallel lists into "origin = translation" lines, each list after
// its case option. With `omit`, a line is left out when its translation is
// blank or its origin (trimmed) repeats the origin line before it.
ToolResult exportDictionary(const QString &origin, const QString &translation, const QString &destination,
                            CaseOption originCase, CaseOption translationCase, bool omit);

} // namespace vordane
