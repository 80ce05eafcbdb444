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

QString trimmedCommaList(QStringView list)
{
    if (!list.contains(u','))
        return list.toString();
    QString trimmed;
    trimmed.reserve(list.size());
    for (qsizetype start = 0;;) {
        const qsizetype comma = list.indexOf(u',', start);
        trimmed += trimmedBlanks(list.sliced(start, (comma < 0 ? list.size() : comma) - start));
        if (comma < 0)
            return trimmed;
        trimmed += u',';
        start = comma + 1;
    }
}

} // namespace vordane
