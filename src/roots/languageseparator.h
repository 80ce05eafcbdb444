#pragma once

#include "common/outcome.h"
#include "common/textcase.h"

namespace vordane {

// Splits a language file into two parallel word lists: field 2 of each line
// (the origin word) and field 3 (the form), each after its case option. A
// line without those fields gives empty lines, so both lists keep the
// language file's line count. Nothing is trimmed. Two outputs that are one
// file are refused before anything is written; both are written in full
// before either replaces its file.
Outcome separateLanguage(const QString &languagePath, const QString &wordsPath, const QString &dictionaryPath,
                         CaseOption wordsCase, CaseOption dictionaryCase);

} // namespace vordane
