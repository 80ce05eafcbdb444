#include "common/textcodec.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace vordane {

namespace {

// Characters of bytes 0x80 to 0x9F; the undefined bytes map to the control
// character of the same number so that every byte value survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character, or -1 when it has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(kHighControls.size()); ++i) {
        if (kHighControls[std::size_t(i)] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

bool fitsWindows1252(QChar c)
{
    return windows1252Byte(c.unicode()) >= 0;
}

QString decodeWindows1252(const char *data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out[i] = (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

bool toWindows1252(QStringView text, char *out)
{
    const char16_t *in = text.utf16();
    // Most text is ASCII or Latin-1 outside 0x80-0x9F, one byte a character:
    // a loop without early exit, which the compiler turns into vector code.
    char16_t outside = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i];
        out[i] = char(c);
        outside |= char16_t((c >> 8) | (char16_t(c - 0x80) < 0x20 ? 1 : 0));
    }
    if (outside == 0)
        return true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i];
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out[i] = char(c);
            continue;
        }
        const int byte = windows1252Byte(c);
        if (byte < 0)
            return false;
        out[i] = char(byte);
    }
    return true;
}

bool appendWindows1252(QStringView text, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    if (toWindows1252(text, out.data() + start))
        return true;
    out.resize(start);
    return false;
}

void Utf8Scanner::feed(const char *data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size && valid_) {
        if (pending_ == 0) {
            // Most text is ASCII: skip it eight bytes at a time.
            while (i + 8 <= size) {
                std::uint64_t word;
                std::memcpy(&word, data + i, 8);
                if (word & 0x8080808080808080ULL)
                    break;
                i += 8;
            }
            if (i == size)
                break;
        }
        const auto byte = static_cast<unsigned char>(data[i++]);
        if (pending_ > 0) {
            if ((byte & 0xC0) != 0x80) {
                valid_ = false;
                return;
            }
            codePoint_ = (codePoint_ << 6) | (byte & 0x3F);
            if (--pending_ == 0) {
                const bool surrogate = codePoint_ >= 0xD800 && codePoint_ <= 0xDFFF;
                if (codePoint_ < minimum_ || codePoint_ > 0x10FFFF || surrogate)
                    valid_ = false;
            }
            continue;
        }
        if (byte < 0x80)
            continue;
        multiByte_ = true;
        if ((byte & 0xE0) == 0xC0) {
            pending_ = 1;
            codePoint_ = byte & 0x1F;
            minimum_ = 0x80;
        } else if ((byte & 0xF0) == 0xE0) {
            pending_ = 2;
            codePoint_ = byte & 0x0F;
            minimum_ = 0x800;
        } else if ((byte & 0xF8) == 0xF0) {
            pending_ = 3;
            codePoint_ = byte & 0x07;
            minimum_ = 0x10000;
        } else {
            valid_ = false;
        }
    }
}

void Utf8Scanner::finish()
{
    if (pending_ != 0)
        valid_ = false;
}

} // namespace vordane
