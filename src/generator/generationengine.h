#pragma once

#include "generator/combinacion.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace vordane {

class LineSource;
class RandomSource;

// The numbers of the generation window, as read from its boxes.
struct GenerationSettings {
    double rows = 100;
    double wordsPerRow = 1;
    double minimum = 1; // syllables
    double maximum = 4;
};

// Runs that would not fit a text box are refused before they start.
inline constexpr double kMaxGeneratedWords = 10'000'000;
inline constexpr double kMaxGeneratedCharacters = 400'000'000;
inline constexpr double kMaxGeneratedSyllables = 200'000'000;

enum class GenerationCheck { Ok, TooManyWords, TooLarge };

// Whether a run of these settings over this definition can be carried out:
// at most kMaxGeneratedWords words and kMaxGeneratedSyllables syllables, and
// an output (without dictionary lines) of at most kMaxGeneratedCharacters
// characters, however the draws fall.
GenerationCheck checkGeneration(const Combinacion &definition, const GenerationSettings &settings);

struct GenerationResult {
    GenerationCheck check = GenerationCheck::Ok; // not Ok: nothing was drawn or made
    QString text;
    std::int64_t words = 0;
};

// One generation run. Rows of words, each word made of `minimum` syllables
// and then e = floor(r * (maximum - minimum)) + 1 more; every row ends with
// CR LF. With a dictionary, each word is preceded by the dictionary's next
// line and " = ", and the run ends when the dictionary runs out. Syllables
// follow a pattern drawn at random; each identifier character of the pattern
// draws a letter of every panel it matches (the last one counts), "'" makes
// the next character literal, and any other character repeats the previous
// piece of the syllable. `progress` is told the number of words made so far
// from time to time. A run that checkGeneration() refuses does nothing.
GenerationResult generateWords(const Combinacion &definition, const GenerationSettings &settings,
                               RandomSource &random, LineSource *dictionary = nullptr,
                               const std::function<void(std::int64_t)> &progress = {});

} // namespace vordane
