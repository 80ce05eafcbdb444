#pragma once

#include "common/filestatus.h"
#include "roots/records.h"

#include <QString>

namespace vordane {

// The highest level a root may have; roots of other levels give no entry.
inline constexpr int kMaxRootLevel = 20;

struct LanguageGenerationResult {
    FileStatus status;          // a file that could not be read or written
    bool wordListExhausted = false;
    QString rootNeedingWord;    // with wordListExhausted: the code of the root that needed a word
    qsizetype entries = 0;      // entries written to the language file
    bool temporaryCopyWritten = false;

    bool ok() const { return status.ok() && !wordListExhausted; }
};

// Derives a language file from a root file and a word list. Level-1 roots
// come first in root-file order, taking the word list's next line (leading
// blanks removed) for the value "*" or their value as a literal form; then
// the roots of levels 2 to 20, each level in root-file order, whose values
// are formulas of "+"-separated parts: "*" takes a word (blanks removed),
// "$word" and "#code" the form of an entry already written, anything else
// itself (blanks removed). With `order` "AM" each contribution is appended,
// with any other order put in front.
//
// Every input is checked before the output is touched. When the word list
// runs out the run stops there and the output keeps the entries written so
// far. Beside the output, path + ".tmp" receives the output as it stood at
// the run's last reference ("$" or "#" part); without references it is not
// written.
LanguageGenerationResult generateLanguage(const QString &wordListPath, const QString &rootPath,
                                          const QString &outputPath, const QString &order);

} // namespace vordane
