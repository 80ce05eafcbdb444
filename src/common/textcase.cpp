#include "common/textcase.h"

#include "common/textcodec.h"

namespace vordane {

namespace {

template <typename Ascii, typename Convert>
QString convertCase(const QString &text, Ascii ascii, Convert convert)
{
    QString result = text;
    QChar *data = result.data();
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar c = data[i];
        if (c.unicode() < 0x80) { // most text: no table look-up needed
            data[i] = QChar(ascii(c.unicode()));
            continue;
        }
        if (c.isSurrogate())
            continue; // characters beyond the basic plane keep their form
        const QChar converted = convert(c);
        if (converted == c)
            continue;
        if (fitsWindows1252(c) && !fitsWindows1252(converted))
            continue;
        data[i] = converted;
    }
    return result;
}

} // namespace

QString toUpperText(const QString &text)
{
    return convertCase(
        text, [](char16_t c) -> char16_t { return c >= u'a' && c <= u'z' ? c - 32 : c; },
        [](QChar c) { return c.toUpper(); });
}

QString toLowerText(const QString &text)
{
    return convertCase(
        text, [](char16_t c) -> char16_t { return c >= u'A' && c <= u'Z' ? c + 32 : c; },
        [](QChar c) { return c.toLower(); });
}

QString applyCase(const QString &text, CaseOption option)
{
    switch (option) {
    case CaseOption::Upper:
        return toUpperText(text);
    case CaseOption::Lower:
        return toLowerText(text);
    case CaseOption::Unchanged:
        break;
    }
    return text;
}

} // namespace vordane
