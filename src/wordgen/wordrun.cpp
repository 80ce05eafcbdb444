#include "wordgen/wordrun.h"

#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "generator/generationengine.h"
#include "generator/wordfilters.h"
#include "wordgen/wordgenerator.h"
#include "wordgen/wordgenmessages.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace vordane {

AlphabetOrder::AlphabetOrder(const QStringList &alphabet)
    : letters_(alphabet)
{
    for (const QString &letter : letters_)
        longest_ = std::max(longest_, letter.size());
}

std::u32string AlphabetOrder::key(QStringView word) const
{
    std::u32string key;
    key.reserve(std::size_t(word.size()));
    const auto after = char32_t(letters_.size() + 1);
    for (qsizetype at = 0; at < word.size();) {
        qsizetype found = -1;
        qsizetype size = 0;
        for (qsizetype length = std::min(longest_, word.size() - at); length > 0 && found < 0; --length) {
            found = letters_.indexOf(word.sliced(at, length));
            size = length;
        }
        if (found >= 0) {
            key.push_back(char32_t(found + 1));
            at += size;
            continue;
        }
        const bool pair = word.at(at).isHighSurrogate() && at + 1 < word.size() && word.at(at + 1).isLowSurrogate();
        key.push_back(after + (pair ? QChar::surrogateToUcs4(word.at(at), word.at(at + 1)) : word.at(at).unicode()));
        at += pair ? 2 : 1;
    }
    return key;
}

Outcome prepareWordRunFilters(const WordRunOptions &options, WordFilters &filters)
{
    return guardMemory([&]() -> Outcome {
        if (options.unique)
            filters.refuseRepeats(qsizetype(std::min<std::int64_t>(options.count, 100'000'000)));
        for (const QString &path : options.excluded) {
            if (const FileStatus status = filters.refuseWordsOf(path); !status.ok())
                return status;
        }
        return Outcome();
    });
}

WordRunResult runWordGeneration(const WordDefinition &definition, const WordRunOptions &options, RandomSource &random,
                                WordFilters &filters, TextSink &out, WordStatistics *statistics,
                                const std::function<bool(std::int64_t)> &progress)
{
    WordRunResult result;
    result.outcome = guardMemory([&]() -> Outcome {
        WordGenerator generator(definition);
        WordFilter *filter = filters.active() ? &filters : nullptr;
        const QString lineEnd = QStringLiteral("\r\n");
        constexpr std::int64_t kProgressEvery = 4096;
        std::vector<QString> held; // sorted runs: the words as written
        std::vector<std::u32string> keys;
        const AlphabetOrder order(definition.alphabet);
        for (std::int64_t n = 0; n < options.count; ++n) {
            if (!generator.next(random, filter))
                return Outcome::failure(messages::notEnoughNewWords(result.words, kMaxRefusedDraws));
            if (statistics)
                statistics->add(generator.word(), generator.syllables());
            if (options.sorted) {
                keys.push_back(order.key(generator.word()));
                held.push_back(options.syllables ? generator.syllabified() : generator.word().toString());
            } else if (options.syllables) {
                out.append(generator.syllabified());
                out.append(lineEnd);
            } else {
                out.append(generator.word());
                out.append(lineEnd);
            }
            ++result.words;
            if (progress && result.words % kProgressEvery == 0 && !progress(result.words)) {
                result.cancelled = true;
                return Outcome::failure(messages::wordgen::kCancelled);
            }
        }
        if (options.sorted) {
            std::vector<std::size_t> index(held.size());
            std::iota(index.begin(), index.end(), std::size_t(0));
            std::stable_sort(index.begin(), index.end(),
                             [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
            for (std::size_t i : index) {
                out.append(held[i]);
                out.append(lineEnd);
            }
        }
        return Outcome();
    });
    return result;
}

WordSample drawWordSample(const WordDefinition &definition, std::int64_t words, double seed,
                          std::int64_t statisticsWords, bool syllables, const std::atomic<bool> *cancel)
{
    WordSample sample;
    sample.outcome = guardMemory([&]() -> Outcome {
        WordGenerator generator(definition);
        WordStatistics statistics(definition);
        RandomSource random;
        random.seed(seed);
        const std::int64_t total = std::max(words, statisticsWords);
        for (std::int64_t n = 0; n < total; ++n) {
            if (cancel && n % 256 == 0 && cancel->load(std::memory_order_relaxed)) {
                sample.cancelled = true;
                return Outcome::failure(messages::wordgen::kCancelled);
            }
            if (!generator.next(random))
                return Outcome::failure(messages::notEnoughNewWords(n, kMaxRefusedDraws));
            if (n < words)
                sample.words.append(syllables ? generator.syllabified() : generator.word().toString());
            if (n < statisticsWords)
                statistics.add(generator.word(), generator.syllables());
        }
        sample.statistics = statistics.report();
        return Outcome();
    });
    return sample;
}

} // namespace vordane
