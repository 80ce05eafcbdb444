#pragma once

#include "common/filestatus.h"

#include <QString>
#include <QStringList>

namespace vordane {

// The entries of one word file, in file order; an empty line is an empty entry.
using WordList = QStringList;

// Reads every entry of a word file into entries (left as it was on failure).
FileStatus readWordList(const QString &path, WordList &entries);

} // namespace vordane
