#pragma once

#include <QString>
#include <QStringList>

namespace vordane {

// Turns a "label|pattern|label|pattern" filter (patterns joined by ";") into
// Qt name filters "label (pattern pattern)". Shown with
// QFileDialog::HideNameFilterDetails, each label reads exactly as written,
// while Qt filters by the patterns in the last parentheses. "*.*" becomes "*"
// so that files without an extension are listed too.
QStringList toQtNameFilters(const QString &filter);

} // namespace vordane
