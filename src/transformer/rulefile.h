#pragma once

#include "common/filestatus.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace vordane {

class LineSource;

// Every line of a rule file is one rule, empty lines included.
FileStatus readRuleFile(const QString &path, QStringList &rules);
// One rule per line, each ending with CR LF; no rules give an empty file.
FileStatus writeRuleFile(const QString &path, const QStringList &rules);

// A word list as the transformer's source text: every line followed by ",".
FileStatus readWordsAsSource(const QString &path, QString &source);

// The dictionary of the transformer's pairing: a file that cannot be opened
// counts as a dictionary without lines (the run then pairs no word).
std::unique_ptr<LineSource> openPairingDictionary(const QString &path);

} // namespace vordane
