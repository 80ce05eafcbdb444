#pragma once

#include "common/filestatus.h"

#include <QString>
#include <QStringList>

namespace vordane {

inline const QString kRuleFileFilter =
    QStringLiteral("Cambios de sonido (*.sc)|*.sc|Archivos de sílabas (*.lns)|*.lns|Todos los archivos|*.*");

// Every line of a rule file is one rule, empty lines included.
FileStatus readRuleFile(const QString &path, QStringList &rules);
// One rule per line, each ending with CR LF; no rules give an empty file.
FileStatus writeRuleFile(const QString &path, const QStringList &rules);

// A word list as the transformer's source text: every line followed by ",".
FileStatus readWordsAsSource(const QString &path, QString &source);

} // namespace vordane
