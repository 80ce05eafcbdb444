#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>

namespace vordane {

// How the bytes of a text file are turned into characters.
enum class TextEncoding {
    Windows1252, // the toolkit's own format; all 256 byte values round-trip
    Utf8, // files marked with a byte-order mark, or valid UTF-8 with multi-byte sequences
};

// True when the character has a byte of its own in Windows-1252. The five
// bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the control characters of the same number, so they fit too.
bool fitsWindows1252(QChar c);

// Decodes bytes known to be Windows-1252.
QString decodeWindows1252(const char *data, qsizetype size);
// Appends the Windows-1252 bytes of text to out; returns false, with out
// unchanged, when a character does not fit.
bool appendWindows1252(QStringView text, QByteArray &out);
// Writes the Windows-1252 bytes of text (one a character) from out on;
// false when a character does not fit.
bool toWindows1252(QStringView text, char *out);

// Incremental check of a byte stream: is it valid UTF-8, and does it hold a
// multi-byte sequence? Feed chunks in order, then call finish().
class Utf8Scanner {
public:
    void feed(const char *data, qsizetype size);
    void finish();
    bool isValid() const { return valid_; }
    bool sawMultiByte() const { return multiByte_; }

private:
    bool valid_ = true;
    bool multiByte_ = false;
    int pending_ = 0; // continuation bytes still expected
    char32_t codePoint_ = 0;
    char32_t minimum_ = 0; // smallest code point the sequence may encode
};

inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

} // namespace vordane
