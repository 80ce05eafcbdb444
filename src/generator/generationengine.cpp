#include "generator/generationengine.h"

#include "common/linesource.h"
#include "common/randomsource.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vordane {

namespace {

// How many times a loop "for k from 1 while k <= limit" runs.
double loopCount(double limit)
{
    return limit >= 1 ? std::floor(limit) : 0;
}

// The growing result: pieces are mostly one or two characters, so they are
// copied in place rather than through QString::append.
class Output {
public:
    explicit Output(qsizetype expected) { text_.resize(std::max<qsizetype>(expected, 64)); }

    void append(const QString &piece)
    {
        const qsizetype n = piece.size();
        if (size_ + n > text_.size())
            text_.resize(std::max(2 * text_.size(), size_ + n));
        QChar *out = text_.data() + size_;
        const QChar *in = piece.constData();
        for (qsizetype i = 0; i < n; ++i)
            out[i] = in[i];
        size_ += n;
    }

    QString take()
    {
        text_.resize(size_);
        text_.squeeze();
        return std::move(text_);
    }

private:
    QString text_;
    qsizetype size_ = 0;
};

// A pattern compiled once per run: each step either sets the piece to a
// literal, draws from the panels the character matches, or keeps the piece.
struct Step {
    enum class Kind { Literal, Draw, Repeat } kind;
    QString literal;
    std::vector<int> panels;
};

class Tables {
public:
    explicit Tables(const Combinacion &definition)
    {
        for (int i = 0; i < Combinacion::kPanels; ++i) {
            const Panel &panel = definition.panels[std::size_t(i)];
            letters_[std::size_t(i)] = panel.letters;
            // Only a one-character identifier can match a pattern character.
            identifiers_[std::size_t(i)] = panel.identifier.size() == 1 ? panel.identifier.at(0) : QChar();
            hasIdentifier_[std::size_t(i)] = panel.identifier.size() == 1;
        }
        patterns_.reserve(std::size_t(definition.patterns.size()));
        for (const QString &pattern : definition.patterns)
            patterns_.push_back(compile(pattern));
    }

    // unasilaba: one syllable, appended to out.
    void appendSyllable(RandomSource &random, Output &out) const
    {
        const std::uint64_t index = random.nextIndex(patterns_.size());
        if (patterns_.empty())
            return;
        const QString *piece = nullptr;
        for (const Step &step : patterns_[index]) {
            switch (step.kind) {
            case Step::Kind::Literal:
                piece = &step.literal;
                break;
            case Step::Kind::Draw:
                for (int panel : step.panels) {
                    const QStringList &letters = letters_[std::size_t(panel)];
                    const std::uint64_t letter = random.nextIndex(std::uint64_t(letters.size()));
                    piece = letters.isEmpty() ? &kEmpty : &letters.at(qsizetype(letter));
                }
                break;
            case Step::Kind::Repeat:
                break;
            }
            if (piece)
                out.append(*piece);
        }
    }

    // The longest text one syllable can give.
    qsizetype longestSyllable() const
    {
        qsizetype longestLetter = 0;
        for (const QStringList &letters : letters_) {
            for (const QString &letter : letters)
                longestLetter = std::max(longestLetter, letter.size());
        }
        qsizetype longest = 0;
        for (const std::vector<Step> &steps : patterns_) {
            // A literal is one character; drawn and repeated pieces are letters at most.
            const qsizetype size = qsizetype(steps.size()) * std::max<qsizetype>(1, longestLetter);
            longest = std::max(longest, size);
        }
        return longest;
    }

private:
    std::vector<Step> compile(const QString &pattern) const
    {
        std::vector<Step> steps;
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            const QChar c = pattern.at(k);
            if (c == QLatin1Char('\'')) {
                ++k;
                steps.push_back({Step::Kind::Literal, k < pattern.size() ? QString(pattern.at(k)) : QString(), {}});
                continue;
            }
            std::vector<int> matching;
            for (int i = 0; i < Combinacion::kPanels; ++i) {
                if (hasIdentifier_[std::size_t(i)] && identifiers_[std::size_t(i)] == c)
                    matching.push_back(i);
            }
            if (matching.empty())
                steps.push_back({Step::Kind::Repeat, QString(), {}});
            else
                steps.push_back({Step::Kind::Draw, QString(), std::move(matching)});
        }
        return steps;
    }

    static inline const QString kEmpty;
    std::array<QStringList, Combinacion::kPanels> letters_;
    std::array<QChar, Combinacion::kPanels> identifiers_;
    std::array<bool, Combinacion::kPanels> hasIdentifier_{};
    std::vector<std::vector<Step>> patterns_;
};

// The most syllables one word can get: minimum, then e at most ceil(max - min) (1 when not positive).
double mostSyllables(const GenerationSettings &settings)
{
    const double spread = settings.maximum - settings.minimum;
    const double extra = spread > 0 ? std::ceil(spread) : 1;
    return loopCount(settings.minimum) + extra;
}

} // namespace

GenerationCheck checkGeneration(const Combinacion &definition, const GenerationSettings &settings)
{
    const double words = loopCount(settings.rows) * loopCount(settings.wordsPerRow);
    if (!(words <= kMaxGeneratedWords))
        return GenerationCheck::TooManyWords;
    const double rowEnds = 2 * loopCount(settings.rows);
    double characters = rowEnds;
    if (words > 0) {
        const double syllables = words * mostSyllables(settings);
        if (!(syllables <= kMaxGeneratedSyllables))
            return GenerationCheck::TooLarge;
        characters += syllables * double(Tables(definition).longestSyllable());
    }
    if (!(characters <= kMaxGeneratedCharacters))
        return GenerationCheck::TooLarge;
    return GenerationCheck::Ok;
}

GenerationResult generateWords(const Combinacion &definition, const GenerationSettings &settings,
                               RandomSource &random, LineSource *dictionary,
                               const std::function<void(std::int64_t)> &progress)
{
    GenerationResult result;
    result.check = checkGeneration(definition, settings);
    if (result.check != GenerationCheck::Ok)
        return result;

    const Tables tables(definition);
    const double rows = loopCount(settings.rows);
    const double wordsPerRow = loopCount(settings.wordsPerRow);
    const double minimum = loopCount(settings.minimum);
    const double spread = settings.maximum - settings.minimum;

    // Room for the usual case (a few short syllables a word), so the text is
    // seldom moved while it grows.
    Output text(qsizetype(std::min(rows * wordsPerRow * 12 + rows * 2, 64.0 * 1024 * 1024)));
    constexpr std::int64_t kProgressEvery = 4096;
    const QString separator = QStringLiteral(" = ");
    const QString rowEnd = QStringLiteral("\r\n");

    for (double row = 1; row <= rows; ++row) {
        for (double word = 1; word <= wordsPerRow; ++word) {
            if (dictionary) {
                if (dictionary->atEnd()) {
                    result.text = text.take();
                    return result;
                }
                text.append(dictionary->readLine());
                text.append(separator);
            }
            for (double s = 1; s <= minimum; ++s)
                tables.appendSyllable(random, text);
            const double e = std::floor(random.nextUnit() * spread) + 1;
            for (double s = 1; s <= e; ++s)
                tables.appendSyllable(random, text);
            ++result.words;
            if (progress && result.words % kProgressEvery == 0)
                progress(result.words);
        }
        text.append(rowEnd);
    }
    result.text = text.take();
    return result;
}

} // namespace vordane
