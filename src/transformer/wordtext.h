#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <cstdint>

// Small helpers over the UTF-16 text of words, shared by the rule engines.
namespace vordane::wordtext {

inline const char16_t *characters(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.constData());
}

// Bit c % 64 set for every character c of the text: a rule that needs a
// character whose bit the word lacks cannot match it.
inline std::uint64_t characterMask(QStringView text)
{
    std::uint64_t mask = 0;
    for (const QChar c : text)
        mask |= std::uint64_t(1) << (c.unicode() & 63);
    return mask;
}

// Copies characters one by one: the pieces of words are short, and a call to
// memmove for each would cost more than the copy.
inline char16_t *copyPiece(const char16_t *from, qsizetype size, char16_t *to)
{
    for (qsizetype i = 0; i < size; ++i)
        to[i] = from[i];
    return to + size;
}

// Whether `text` stands in the word at `at` (false when it does not fit).
inline bool textAt(const char16_t *word, qsizetype size, qsizetype at, const QString &text)
{
    const qsizetype n = text.size();
    if (at < 0 || n > size - at)
        return false;
    const char16_t *t = characters(text);
    for (qsizetype i = 0; i < n; ++i) {
        if (word[at + i] != t[i])
            return false;
    }
    return true;
}

// The position after the character at `at`: a character outside the 16-bit
// range (a surrogate pair) is one character, never cut in two.
inline qsizetype nextCharacter(const char16_t *word, qsizetype size, qsizetype at)
{
    return at + 1 < size && QChar::isHighSurrogate(word[at]) && QChar::isLowSurrogate(word[at + 1]) ? at + 2 : at + 1;
}

// How many UTF-16 units the first (last) character of a text takes: 2 for a
// surrogate pair, 1 otherwise, 0 for the empty text.
inline qsizetype firstCharacterSize(QStringView text)
{
    if (text.isEmpty())
        return 0;
    return text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
}
inline qsizetype lastCharacterSize(QStringView text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return 0;
    return n > 1 && text.at(n - 1).isLowSurrogate() && text.at(n - 2).isHighSurrogate() ? 2 : 1;
}

} // namespace vordane::wordtext
