#pragma once

#include "common/outcome.h"
#include "wordgen/worddefinition.h"
#include "wordgen/wordstatistics.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace vordane {

class RandomSource;
class TextSink;
class WordFilters;

// The sorting order of an alphabet: a word is cut into the longest letters
// of the alphabet from the left, and compared letter by letter in the
// alphabet's order; a character in no letter sorts after every letter, by
// its code; a word that begins another sorts first.
class AlphabetOrder {
public:
    explicit AlphabetOrder(const QStringList &alphabet);
    std::u32string key(QStringView word) const;

private:
    QStringList letters_;
    qsizetype longest_ = 1;
};

// What a run of the command (or the workshop's "Generar...") makes.
struct WordRunOptions {
    std::int64_t count = 100;
    bool unique = false; // no word twice
    bool sorted = false; // in the order of the alphabet (the words are held until the end)
    bool syllables = false; // "." between syllables
    QStringList excluded; // word files whose words are never made ("palabra = significado": the word)
};

struct WordRunResult {
    Outcome outcome; // not ok: the filters gave up, cancelled, or out of memory
    std::int64_t words = 0;
    bool cancelled = false;
};

// The filters of a run: no repeats, the excluded files read (before any output is opened).
Outcome prepareWordRunFilters(const WordRunOptions &options, WordFilters &filters);

// `count` words, each on a line ending with CR LF, written into `out` as they
// come (or at the end, sorted). A word refused by a filter is drawn again;
// kMaxRefusedDraws refusals in a row give the run up, saying how many words
// it found. `statistics` counts every word written; `progress` is told the
// number of words made every few thousand and cancels the run by answering
// false. Same definition, options and random state: the same text.
WordRunResult runWordGeneration(const WordDefinition &definition, const WordRunOptions &options, RandomSource &random,
                                WordFilters &filters, TextSink &out, WordStatistics *statistics = nullptr,
                                const std::function<bool(std::int64_t)> &progress = {});

// A sample for the workshop: the first `words` words of a run from `seed`
// (marked with syllables when asked), and statistics over its first
// `statisticsWords` words. Meant for a worker thread: `cancel` set from
// another thread stops it soon (the result then says cancelled).
struct WordSample {
    Outcome outcome;
    QStringList words;
    WordStatisticsReport statistics;
    bool cancelled = false;
};
WordSample drawWordSample(const WordDefinition &definition, std::int64_t words, double seed,
                          std::int64_t statisticsWords = 10'000, bool syllables = false,
                          const std::atomic<bool> *cancel = nullptr);

} // namespace vordane
