#pragma once

#include "common/filestatus.h"
#include "common/stringtable.h"
#include "generator/generationengine.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <vector>

namespace vordane {

// The word filters of the command line's generation: no word twice, none of
// the words of some files, none holding a match of some patterns. Words are
// compared whole and case-sensitively.
class WordFilters final : public WordFilter {
public:
    // Refuses a word already written by this run, making room for the
    // `expected` words of the run at once.
    void refuseRepeats(qsizetype expected = 0)
    {
        unique_ = true;
        seen_.reserve(std::clamp<qsizetype>(expected, 0, kReservedWords));
    }
    // Refuses every line of a word file; of a dictionary line
    // "palabra = significado", the part before " = ".
    FileStatus refuseWordsOf(const QString &path);
    // Refuses words holding a match of a regular expression; false, with
    // the pattern's error and the position (from 1) where it was found,
    // when the pattern is not valid.
    bool refuseMatches(const QString &pattern, QString &error, qsizetype &position);

    bool active() const { return unique_ || excluded_.size() > 0 || !patterns_.empty(); }
    bool accepts(QStringView word) override;

private:
    static constexpr qsizetype kReservedWords = 10'000'000;
    bool unique_ = false;
    StringTable seen_;
    StringTable excluded_;
    std::vector<QRegularExpression> patterns_;
};

} // namespace vordane
