#include "common/blanks.h"

namespace vordane {

QString trimBlanks(const QString &text)
{
    const QStringView trimmed = trimmedBlanks(QStringView(text));
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

QString trimLeadingBlanks(const QString &text)
{
    const QStringView trimmed = leadingBlanksRemoved(QStringView(text));
    return trimmed.size() == text.size() ? text : trimmed.toString();
}

} // namespace vordane
