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

QString trimTrailingBlanks(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.left(end);
}

} // namespace vordane
