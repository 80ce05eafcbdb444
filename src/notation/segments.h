#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Words as the rule notation sees them: segments, not characters.
namespace vordane::notation {

// A segment of one code point is that code point; any other (a declared
// symbol, or a character with the combining marks that follow it) has an id
// from kFirstCompound on.
using SegmentId = std::int32_t;
inline constexpr SegmentId kFirstCompound = 0x110000;
inline constexpr SegmentId kSpace = 0x20;

// Whether a character is a combining mark, which belongs to the segment
// before it.
bool isCombiningMark(char32_t c);

// The canonical composition (NFC) of a text: canonically equivalent
// spellings become one. Texts of characters below U+0300 are returned as
// they are, without the cost of normalising.
QString canonical(const QString &text);

// Compound segments by their text, looked up without copying it.
struct SegmentTextHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view text) const noexcept { return std::hash<std::u16string_view>{}(text); }
};
using SegmentIds = std::unordered_map<std::u16string, SegmentId, SegmentTextHash, std::equal_to<>>;
inline std::u16string_view textKey(QStringView text)
{
    return {text.utf16(), std::size_t(text.size())};
}

// Compound segments met in the words of a run, numbered after the rules'
// own; kept by the thread that runs the rules, emptied from word to word.
struct LocalSegments {
    SegmentIds ids;
    std::vector<QString> texts;
    void clear()
    {
        // (Emptying a map costs its buckets: a big one is dropped instead.)
        if (ids.bucket_count() > 64)
            ids = SegmentIds();
        else
            ids.clear();
        texts.clear();
    }
};

// Cuts texts into segments: declared symbols first, the longest at each
// place, otherwise one character; the combining marks that follow join the
// segment. The rules' compound segments are numbered while they are read.
class Segmenter {
public:
    // A symbol of several characters that is one segment (in NFC).
    void declare(const QString &symbol);
    bool hasSymbols() const { return !symbols_.isEmpty(); }
    // A character that, after a segment, belongs to it as a combining mark
    // does (a declared diacritic such as "ʰ" or "ː").
    void declareDiacritic(char32_t c);
    // How many compounds the rules' own texts have numbered: ids from
    // kFirstCompound on below this count are the rules', stable for a run.
    std::size_t compoundCount() const { return compounds_.size(); }

    // The segments of a rule's NFC text, numbering new compounds.
    std::vector<SegmentId> cutRuleText(QStringView text);
    // The segments of a word's NFC text; compounds the rules do not know are
    // numbered in `local`. `ends`, when given, receives where each ends.
    void cutWord(QStringView text, std::vector<SegmentId> &ids, LocalSegments &local,
                 std::vector<qsizetype> *ends = nullptr) const;

    // Appends a segment's text.
    void append(SegmentId id, const LocalSegments &local, QString &to) const;
    QString text(SegmentId id) const;

private:
    // The length (in UTF-16 units) of the segment that begins at `at`.
    qsizetype segmentLength(QStringView text, qsizetype at) const;
    SegmentId known(QStringView segment) const;

    // Declared symbols by first character, each list the longest first.
    QHash<char32_t, std::vector<QString>> symbols_;
    SegmentIds ids_;
    std::vector<QString> compounds_;
    QHash<char32_t, bool> diacritics_;
    // Per character below kQuick: whether it begins a declared symbol, and
    // whether it is a declared diacritic.
    static constexpr char16_t kQuick = 0x400;
    static constexpr std::uint8_t kStartsSymbol = 1;
    static constexpr std::uint8_t kJoins = 2;
    static constexpr std::uint8_t kSecondOfSymbol = 4; // the second unit of a declared symbol
    // Whether a symbol of several units may begin at `at`, by the unit after it.
    bool mayBeginSymbol(QStringView text, qsizetype at) const
    {
        if (at + 1 >= text.size())
            return false;
        const char16_t next = text.at(at + 1).unicode();
        return next >= kQuick || (quick_[next] & kSecondOfSymbol);
    }
    std::array<std::uint8_t, kQuick> quick_{};
};

} // namespace vordane::notation
