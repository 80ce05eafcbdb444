#include "common/blanks.h"

namespace vordane {

namespace {
constexpr QChar kBlank = QLatin1Char(' ');

qsizetype firstNonBlank(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == kBlank)
        ++i;
    return i;
}

qsizetype endAfterLastNonBlank(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == kBlank)
        --end;
    return end;
}
} // namespace

QString trimBlanks(const QString &text)
{
    const qsizetype begin = firstNonBlank(text);
    if (begin == text.size())
        return QString();
    return text.mid(begin, endAfterLastNonBlank(text) - begin);
}

QStringView trimmedBlanksView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == kBlank)
        ++begin;
    while (end > begin && text.at(end - 1) == kBlank)
        --end;
    return text.sliced(begin, end - begin);
}

QString trimLeadingBlanks(const QString &text)
{
    return text.mid(firstNonBlank(text));
}

QString trimTrailingBlanks(const QString &text)
{
    return text.left(endAfterLastNonBlank(text));
}

} // namespace vordane
