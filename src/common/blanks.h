#pragma once

#include <QString>

namespace vordane {

// Blank removal strips the space character (code 32) only; tabs and other
// white space are part of the text.
QString trimBlanks(const QString &text);
QString trimLeadingBlanks(const QString &text);
QString trimTrailingBlanks(const QString &text);
// The same without copying, for comparisons.
QStringView trimmedBlanksView(QStringView text);

} // namespace vordane
