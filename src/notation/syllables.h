#pragma once

#include "notation/features.h"
#include "notation/ruleerror.h"
#include "notation/segments.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// Syllables: the patterns of "@sílabas" and the cutting of words by them.
namespace vordane::notation {

// The classes of segments a segment belongs to: bit c for class c of a
// SyllableSpec (a category, a bracket or a letter written in its patterns).
using ClassMask = std::uint64_t;
inline constexpr int kMaxSyllableClasses = 64;

// One part of a pattern (onset, nucleus or coda) as a position automaton:
// each class written is a position, and a set of positions is a bit mask.
// Its words are lists of ClassMask.
class SyllablePart {
public:
    static constexpr int kMaxPositions = 63; // bit 63 is the start

    bool nullable() const { return nullable_; }
    bool bounded() const { return bounded_; } // no "*" or "+": a longest match
    int positions() const { return int(classes_.size()); }

    // Whether the part matches exactly segments [from, to).
    bool accepts(std::span<const ClassMask> word, qsizetype from, qsizetype to) const;
    // out[k]: whether it matches [from, from + k), k from 0 to to - from.
    void prefixes(std::span<const ClassMask> word, qsizetype from, qsizetype to, std::vector<char> &out) const;
    // out[k]: whether it matches [from + k, to), k from 0 to to - from.
    void suffixes(std::span<const ClassMask> word, qsizetype from, qsizetype to, std::vector<char> &out) const;

    // The automaton's steps, for the nucleus scan.
    static constexpr std::uint64_t kStart = std::uint64_t(1) << 63;
    std::uint64_t step(std::uint64_t state, ClassMask segment) const;
    bool accepting(std::uint64_t state) const { return (state & last_) || (state == kStart && nullable_); }

private:
    friend class SyllablePartBuilder;
    std::uint64_t matching(ClassMask segment) const;
    std::uint64_t reverseStep(std::uint64_t state, ClassMask segment) const;

    std::vector<int> classes_; // of each position
    std::vector<std::uint64_t> follow_;
    std::vector<std::uint64_t> precede_; // the reversed automaton's follow
    std::uint64_t first_ = 0;
    std::uint64_t last_ = 0;
    bool nullable_ = true;
    bool bounded_ = true;
};

struct SyllablePattern {
    SyllablePart onset;
    SyllablePart nucleus;
    SyllablePart coda;
};

// A "@sílabas" line read.
struct SyllableSpec {
    enum class Mode {
        Patterns, // words cut by `patterns`
        Explicit, // "@sílabas explícitas": a "." in a word is a boundary
        None, // "@sílabas ninguna": no syllables
    };
    Mode mode = Mode::None;
    qsizetype line = -1; // of the list
    std::vector<SyllablePattern> patterns;
    // Class c of the masks: as written ("C", "[+sonora]", "s") and the id the
    // resolver gave it.
    QStringList classes;
    std::vector<int> classIds;
    // The nuclei of all patterns in one automaton (positions of pattern q
    // after those of the patterns before it).
    SyllablePart nuclei;
};

// Turns a class written in a pattern (a category name "C", a bracket
// "[+sonora,labial]" or "[p,t]", a letter with its combining marks "s") into
// the caller's id for it; -1 with the reason when it names nothing.
using ClassResolver = std::function<int(const QString &written, QString &reason)>;

// Whether a directive is "@sílabas" (accents optional).
bool isSyllableDirective(const QString &name);

// Reads a "@sílabas" line (`index` its place in the list): patterns
// "ATAQUE|NÚCLEO|CODA" separated by commas (one part: a nucleus alone; two:
// onset and nucleus), "explícitas" or "ninguna". The fault, if any, with its
// position.
std::optional<RuleError> readSyllables(qsizetype index, const QString &line, const ClassResolver &resolve,
                                       SyllableSpec &out);

// The masks of a word's segments; `member(id, segment)` says whether a
// segment belongs to the class the resolver gave `id`.
std::vector<ClassMask> classify(std::span<const SegmentId> word, const SyllableSpec &cutting,
                                const std::function<bool(int, SegmentId)> &member);

// Cuts a word (no spaces) into syllables by the patterns: the nuclei first,
// left to right, each the longest a nucleus matches; then between two nuclei
// as many segments go to the onset of the second as an onset of some pattern
// takes while the cut can still be completed, the rest to the coda of the
// first; each syllable matches onset, nucleus and coda of one pattern.
// `starts` receives where each syllable after the first begins. False when
// the word cannot be cut (no nucleus, or segments no onset or coda takes).
// Time: linear in the word, times the patterns' sizes and the number of
// distinct states of their nuclei's automaton (failed states of the
// nucleus scan are remembered, so no segment is read twice from one state).
//
// With `sonority` (one per segment, from SonorityScale), the onset taken
// between two nuclei is the longest that also keeps to the sonority rule
// (see SonorityScale) where the patterns leave a choice: "parta" gives
// "par.ta", not "pa.rta".
bool syllabify(const SyllableSpec &cutting, std::span<const ClassMask> word, std::vector<int> &starts,
               std::span<const std::uint8_t> sonority = {});

// How sonorous a segment is, for the onsets of syllabify: an onset of two
// or more segments rises in sonority from one segment to the next, except
// a sibilant before a stop ("sp", "st", "tr", "pl" are onsets; "rt", "nt",
// and "pt", "tt" of equal sonority, are not). A segment with features is ranked by them (vowels and
// syllabic segments; approximants; laterals, trills and taps; nasals;
// fricatives; stops and affricates), by the value names of the IPA table
// whether the list loads it or declares them; any other by its letter:
// vowels > j w y > l r ɾ ʎ > m n ɲ ŋ > f v s z θ ð ʃ ʒ x h > the rest.
class SonorityScale {
public:
    enum : std::uint8_t { kSibilant = 0x10, kStop = 0x20, kLevel = 0x0F };
    explicit SonorityScale(const FeatureTable &table);
    std::uint8_t of(QStringView text, const ValueSet *features) const;
    // Whether a may stand right before b in an onset.
    static bool rises(std::uint8_t a, std::uint8_t b)
    {
        return (a & kLevel) < (b & kLevel) || ((a & kSibilant) && (b & kStop));
    }
    static std::uint8_t ofLetter(char32_t c);

private:
    ValueId vowel_ = -1, syllabic_ = -1, approximant_ = -1, lateral_ = -1, trill_ = -1, tap_ = -1, nasal_ = -1,
            fricative_ = -1, stop_ = -1, affricate_ = -1;
    std::vector<ValueId> sibilantPlaces_;
};

// Explicit syllables: removes the "." segments of a word and gives where
// each syllable after the first begins.
void explicitSyllables(std::vector<SegmentId> &word, std::vector<int> &starts);

// A word's text with "." between its syllables.
QString withBoundaries(const Segmenter &segmenter, std::span<const SegmentId> word, const LocalSegments &local,
                       std::span<const int> starts);

} // namespace vordane::notation
