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
        if (c.isSurrogate()) {
            // A character beyond U+FFFF is one character in two units: it
            // changes as a whole, into another such character (always so in
            // Unicode's one-to-one mappings), or not at all. A lone half stays.
            if (!c.isHighSurrogate() || i + 1 == result.size() || !data[i + 1].isLowSurrogate())
                continue;
            const char32_t converted = convert(QChar::surrogateToUcs4(c, data[i + 1]));
            if (QChar::requiresSurrogates(converted)) {
                data[i] = QChar(QChar::highSurrogate(converted));
                data[i + 1] = QChar(QChar::lowSurrogate(converted));
            }
            ++i;
            continue;
        }
        const char32_t mapped = convert(char32_t(c.unicode()));
        if (QChar::requiresSurrogates(mapped))
            continue; // lengths never change
        const QChar converted{char16_t(mapped)};
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
        [](char32_t c) { return QChar::toUpper(c); });
}

QString toLowerText(const QString &text)
{
    return convertCase(
        text, [](char16_t c) -> char16_t { return c >= u'A' && c <= u'Z' ? c + 32 : c; },
        [](char32_t c) { return QChar::toLower(c); });
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
