#include "common/textcase.h"

#include "common/textcodec.h"

namespace vordane {

namespace {

template <typename Ascii, typename Convert> QString convertCase(const QString &text, Ascii ascii, Convert convert)
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

namespace {

ByteTable buildTable(CaseOption option)
{
    ByteTable table{};
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        QByteArray converted;
        const bool fits = appendWindows1252(applyCase(decodeWindows1252(&byte, 1), option), converted);
        table[std::size_t(b)] =
            fits && converted.size() == 1 ? static_cast<unsigned char>(converted.at(0)) : static_cast<unsigned char>(b);
    }
    return table;
}

} // namespace

const ByteTable &windows1252CaseTable(CaseOption option)
{
    static const ByteTable upper = buildTable(CaseOption::Upper);
    static const ByteTable lower = buildTable(CaseOption::Lower);
    static const ByteTable same = buildTable(CaseOption::Unchanged);
    switch (option) {
    case CaseOption::Upper:
        return upper;
    case CaseOption::Lower:
        return lower;
    case CaseOption::Unchanged:
        break;
    }
    return same;
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
