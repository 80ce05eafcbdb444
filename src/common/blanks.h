#pragma once

#include <QString>
#include <QStringView>

namespace vordane {

// Blank removal strips the space character (code 32) only; tabs and other
// white space are part of the text.
QString trimBlanks(const QString &text);
QString trimLeadingBlanks(const QString &text);

// A list of words separated by commas, without the blanks around each word
// ("pata, vita" gives "pata,vita"); a text without a comma is one word and
// stays as it is.
QString trimmedCommaList(QStringView list);

// The same without copying, on a view of characters (QStringView) or of
// Windows-1252 bytes (QByteArrayView).
template <typename View> View trimmedBlanks(View text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

template <typename View> View leadingBlanksRemoved(View text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text[begin] == u' ')
        ++begin;
    return text.sliced(begin);
}

} // namespace vordane
