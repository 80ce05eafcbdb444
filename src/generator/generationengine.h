#pragma once

#include "common/outcome.h"
#include "generator/combinacion.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>

namespace vordane {

class LineSource;
class RandomSource;
class TextSink;

// The numbers of the generation window, as read from its boxes.
struct GenerationSettings {
    double rows = 100;
    double wordsPerRow = 1;
    double minimum = 1; // syllables
    double maximum = 4;
};

// How many words a run of these settings makes (before a dictionary runs
// out): whole rows times whole words a row, none for a count below 1.
double wordsOfRun(const GenerationSettings &settings);

// Runs that would not fit a text box are refused before they start.
inline constexpr double kMaxGeneratedWords = 10'000'000;
inline constexpr double kMaxGeneratedCharacters = 400'000'000;
inline constexpr double kMaxGeneratedSyllables = 200'000'000;

// With pairing, a run makes at most one word per dictionary line: the number
// of lines (counted up to what the run can use) goes to the check.
inline constexpr std::int64_t kNoPairing = -1;

// Whether a run of these settings over this definition can be carried out:
// at most kMaxGeneratedWords words and kMaxGeneratedSyllables syllables, and
// an output (without dictionary lines) of at most kMaxGeneratedCharacters
// characters, however the draws fall. Only the words the run will really
// make count: with pairing, no more than the dictionary has lines.
Outcome checkGeneration(const Combinacion &definition, const GenerationSettings &settings,
                        std::int64_t dictionaryLines = kNoPairing);

// The lines of a pairing dictionary, counted as far as a run of these
// settings can use them (the file is read, not held).
FileStatus countDictionaryLines(const QString &path, const GenerationSettings &settings, std::int64_t &lines);

// A word that a filter refuses is not written: the run draws another in its
// place, from the same random source, so the words it keeps come in the
// order a run without the filter would make them.
class WordFilter {
public:
    virtual ~WordFilter() = default;
    // Whether the word may be written (a filter may remember it).
    virtual bool accepts(QStringView word) = 0;
};

// How many draws in a row a filter may refuse before the run gives up. A
// small definition runs out of new words within this in well under a second.
inline constexpr std::int64_t kMaxRefusedDraws = 100'000;

struct GenerationResult {
    Outcome outcome; // not ok: refused before drawing, filter gave up, or out of memory
    std::int64_t words = 0;
};

// One generation run, written into `out` as it goes. Rows of words, each
// word made of `minimum` syllables and then e = floor(r * (maximum -
// minimum)) + 1 more; every row ends with CR LF. With a dictionary, each
// word is preceded by the dictionary's next line and " = ", and the run ends
// when the dictionary runs out. Syllables follow a pattern drawn at random;
// each identifier character of the pattern draws a letter of every panel it
// matches (the last one counts), "'" makes the next character literal, and
// any other character repeats the previous piece of the syllable.
// `progress` is told the number of words made so far from time to time. A
// run that checkGeneration() refuses draws and writes nothing.
GenerationResult generateWords(const Combinacion &definition, const GenerationSettings &settings, RandomSource &random,
                               LineSource *dictionary, TextSink &out, WordFilter *filter = nullptr,
                               const std::function<void(std::int64_t)> &progress = {},
                               std::int64_t dictionaryLines = kNoPairing);

// The same run into a text, as the generation window shows it.
struct GeneratedText {
    Outcome outcome;
    QString text;
    std::int64_t words = 0;
};
GeneratedText generateText(const Combinacion &definition, const GenerationSettings &settings, RandomSource &random,
                           LineSource *dictionary = nullptr, const std::function<void(std::int64_t)> &progress = {},
                           std::int64_t dictionaryLines = kNoPairing);

} // namespace vordane
