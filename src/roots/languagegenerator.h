#pragma once

#include "common/outcome.h"

#include <QString>

namespace vordane {

// The highest level a root may have; roots of other levels give no entry.
inline constexpr int kMaxRootLevel = 20;
// A form longer than this stops the run (formulas that repeat the form of
// the root before them several times grow exponentially).
inline constexpr qsizetype kMaxFormLength = 64 * 1024 * 1024;
// The most characters all the forms of one run may hold together.
inline constexpr qsizetype kMaxLanguageCharacters = 512 * 1024 * 1024;

struct LanguageGenerationResult {
    Outcome outcome;
    qsizetype entries = 0; // entries written to the language file
    bool temporaryCopyWritten = false;
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
// Beside the output, path + ".tmp" receives the output as it stood at the
// run's last reference ("$" or "#" part); without references it is not
// written. Every input is checked before anything is written, and the two
// files are replaced only when the whole run succeeded: a word list that
// runs out, a form that grows too long or a file that cannot be written
// leaves both as they were.
LanguageGenerationResult generateLanguage(const QString &wordListPath, const QString &rootPath,
                                          const QString &outputPath, const QString &order);

} // namespace vordane
