#pragma once

#include "common/filestatus.h"
#include "common/textcase.h"

namespace vordane {

// Splits a language file into two parallel word lists: field 2 of each line
// (the origin word) and field 3 (the form), each after its case option. A
// line without those fields gives empty lines, so both lists keep the
// language file's line count. Nothing is trimmed. Both outputs are replaced
// only when the whole file was read.
FileStatus separateLanguage(const QString &languagePath, const QString &wordsPath, const QString &dictionaryPath,
                            CaseOption wordsCase, CaseOption dictionaryCase);

} // namespace vordane
