#include "generator/generationengine.h"

#include "common/linereader.h"
#include "common/linesource.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textsink.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <list>
#include <vector>

namespace vordane {

namespace {

// How many times a loop "for k from 1 while k <= limit" runs.
double loopCount(double limit)
{
    return limit >= 1 ? std::floor(limit) : 0;
}

// A letter or a literal: characters owned by the tables' strings.
struct Piece {
    const char16_t *data = nullptr;
    qsizetype size = 0;
};

// The units of the character at `at`: two for a character beyond U+FFFF,
// one otherwise (a lone surrogate included), none at the end.
qsizetype characterSize(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return 0;
    return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

Piece pieceOf(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.constData()), text.size()};
}

// The word being built: pieces are mostly one or two characters, so they are
// copied in place rather than through QString::append.
class WordBuffer {
public:
    void clear() { size_ = 0; }
    void append(Piece piece)
    {
        if (size_ + piece.size > qsizetype(text_.size()))
            text_.resize(std::max(2 * text_.size(), std::size_t(size_ + piece.size)));
        char16_t *out = text_.data() + size_;
        for (qsizetype i = 0; i < piece.size; ++i) // a call to memcpy would cost more than the copy
            out[i] = piece.data[i];
        size_ += piece.size;
    }
    QStringView view() const { return QStringView(text_.data(), size_); }

private:
    std::vector<char16_t> text_ = std::vector<char16_t>(64);
    qsizetype size_ = 0;
};

// A pattern compiled once per run: each step either sets the piece to a
// literal, draws from the panels the character matches (at most all eight),
// or keeps the piece. The steps of all patterns lie in one array.
struct Step {
    enum class Kind : std::uint8_t { Literal, Draw, Repeat } kind = Kind::Repeat;
    std::uint8_t panelCount = 0;
    std::array<std::uint8_t, Combinacion::kPanels> panels{};
    Piece literal;
};
struct Pattern {
    std::size_t first; // its first step
    std::size_t count;
};

class Tables {
public:
    explicit Tables(const Combinacion &definition)
    {
        for (int i = 0; i < Combinacion::kPanels; ++i) {
            const Panel &panel = definition.panels[std::size_t(i)];
            strings_[std::size_t(i)] = panel.letters;
            for (const QString &letter : strings_[std::size_t(i)])
                letters_[std::size_t(i)].push_back(pieceOf(letter));
            // Only a one-character identifier can match a pattern character
            // (a character beyond U+FFFF being one character in two units).
            const qsizetype size = characterSize(panel.identifier, 0);
            hasIdentifier_[std::size_t(i)] = size > 0 && size == panel.identifier.size();
            identifiers_[std::size_t(i)] = hasIdentifier_[std::size_t(i)] ? panel.identifier.left(size) : QString();
        }
        patterns_.reserve(std::size_t(definition.patterns.size()));
        for (const QString &pattern : definition.patterns) {
            const std::size_t first = steps_.size();
            compile(pattern);
            patterns_.push_back({first, steps_.size() - first});
        }
    }

    // unasilaba: one syllable, appended to the word.
    void appendSyllable(RandomSource &random, WordBuffer &word) const
    {
        const std::uint64_t index = random.nextIndex(patterns_.size());
        if (patterns_.empty())
            return;
        Piece piece;
        bool any = false;
        const Pattern &pattern = patterns_[index];
        for (const Step *step = steps_.data() + pattern.first, *end = step + pattern.count; step != end; ++step) {
            switch (step->kind) {
            case Step::Kind::Literal:
                piece = step->literal;
                any = true;
                break;
            case Step::Kind::Draw:
                for (std::uint8_t k = 0; k < step->panelCount; ++k) {
                    const std::vector<Piece> &letters = letters_[step->panels[k]];
                    const std::uint64_t letter = random.nextIndex(letters.size());
                    piece = letters.empty() ? Piece() : letters[letter];
                }
                any = true;
                break;
            case Step::Kind::Repeat:
                break;
            }
            if (any)
                word.append(piece);
        }
    }

    // The longest text one syllable can give.
    qsizetype longestSyllable() const
    {
        // Every step gives one piece, a letter or a literal (one character, two units at most).
        qsizetype longestPiece = 2;
        for (const std::vector<Piece> &letters : letters_) {
            for (const Piece &letter : letters)
                longestPiece = std::max(longestPiece, letter.size);
        }
        qsizetype longest = 0;
        for (const Pattern &pattern : patterns_)
            longest = std::max(longest, qsizetype(pattern.count) * longestPiece);
        return longest;
    }

private:
    // One step for each character of the pattern, a character beyond U+FFFF included.
    void compile(const QString &pattern)
    {
        for (qsizetype k = 0; k < pattern.size();) {
            const bool quote = pattern.at(k) == u'\'';
            const QStringView c = QStringView(pattern).sliced(k, characterSize(pattern, k));
            k += c.size();
            Step step;
            if (quote) {
                const qsizetype size = characterSize(pattern, k);
                literals_.push_back(pattern.mid(k, size));
                k += size;
                step.kind = Step::Kind::Literal;
                step.literal = pieceOf(literals_.back());
                steps_.push_back(step);
                continue;
            }
            for (int i = 0; i < Combinacion::kPanels; ++i) {
                if (hasIdentifier_[std::size_t(i)] && identifiers_[std::size_t(i)] == c)
                    step.panels[step.panelCount++] = std::uint8_t(i);
            }
            if (step.panelCount > 0)
                step.kind = Step::Kind::Draw;
            steps_.push_back(step);
        }
    }

    std::array<QStringList, Combinacion::kPanels> strings_; // own the letters' characters
    std::list<QString> literals_; // own the literals' (stable addresses)
    std::array<std::vector<Piece>, Combinacion::kPanels> letters_;
    std::array<QString, Combinacion::kPanels> identifiers_;
    std::array<bool, Combinacion::kPanels> hasIdentifier_{};
    std::vector<Step> steps_;
    std::vector<Pattern> patterns_;
};

// The most syllables one word can get: minimum, then e at most ceil(max - min) (1 when not positive).
double mostSyllables(const GenerationSettings &settings)
{
    const double spread = settings.maximum - settings.minimum;
    const double extra = spread > 0 ? std::ceil(spread) : 1;
    return loopCount(settings.minimum) + extra;
}

} // namespace

double wordsOfRun(const GenerationSettings &settings)
{
    return loopCount(settings.rows) * loopCount(settings.wordsPerRow);
}

FileStatus countDictionaryLines(const QString &path, const GenerationSettings &settings, std::int64_t &lines)
{
    const double words = wordsOfRun(settings);
    const std::int64_t needed = words < 9e18 ? std::int64_t(words) : std::numeric_limits<std::int64_t>::max();
    LineReader reader(path);
    if (const FileStatus status = reader.open(); !status.ok())
        return status;
    lines = 0;
    while (lines < needed && !reader.atEnd()) {
        reader.skipLine();
        ++lines;
    }
    return reader.status();
}

Outcome checkGeneration(const Combinacion &definition, const GenerationSettings &settings, std::int64_t dictionaryLines)
{
    const double rows = loopCount(settings.rows);
    const double wordsPerRow = loopCount(settings.wordsPerRow);
    double words = wordsOfRun(settings);
    double rowsMade = rows;
    if (dictionaryLines != kNoPairing && double(dictionaryLines) < words) {
        // The run ends with the dictionary's last line, part way through a row.
        words = double(dictionaryLines);
        rowsMade = std::min(rows, std::ceil(words / wordsPerRow));
    }
    if (!(words <= kMaxGeneratedWords))
        return Outcome::failure(messages::kTooManyWords);
    double characters = 2 * rowsMade; // the row ends
    if (words > 0) {
        const double syllables = words * mostSyllables(settings);
        if (!(syllables <= kMaxGeneratedSyllables))
            return Outcome::failure(messages::kGenerationTooLarge);
        characters += syllables * double(Tables(definition).longestSyllable());
    }
    if (!(characters <= kMaxGeneratedCharacters))
        return Outcome::failure(messages::kGenerationTooLarge);
    return Outcome();
}

GenerationResult generateWords(const Combinacion &definition, const GenerationSettings &settings, RandomSource &random,
                               LineSource *dictionary, TextSink &out, WordFilter *filter,
                               const std::function<void(std::int64_t)> &progress, std::int64_t dictionaryLines)
{
    GenerationResult result;
    result.outcome = checkGeneration(definition, settings, dictionary ? dictionaryLines : kNoPairing);
    if (!result.outcome.ok())
        return result;

    result.outcome = guardMemory([&]() -> Outcome {
        const Tables tables(definition);
        const double rows = loopCount(settings.rows);
        const double wordsPerRow = loopCount(settings.wordsPerRow);
        const double minimum = loopCount(settings.minimum);
        const double spread = settings.maximum - settings.minimum;
        constexpr std::int64_t kProgressEvery = 4096;
        const QString separator = QStringLiteral(" = ");
        const QString rowEnd = QStringLiteral("\r\n");
        WordBuffer word;
        std::int64_t distinct = 0; // words the filter took

        const auto draw = [&] {
            word.clear();
            for (double s = 1; s <= minimum; ++s)
                tables.appendSyllable(random, word);
            const double e = std::floor(random.nextUnit() * spread) + 1;
            for (double s = 1; s <= e; ++s)
                tables.appendSyllable(random, word);
        };

        for (double row = 1; row <= rows; ++row) {
            for (double n = 1; n <= wordsPerRow; ++n) {
                if (dictionary) {
                    if (dictionary->atEnd())
                        return Outcome();
                    out.append(dictionary->readLine());
                    out.append(separator);
                }
                draw();
                for (std::int64_t refused = 0; filter && !filter->accepts(word.view()); draw()) {
                    if (++refused >= kMaxRefusedDraws)
                        return Outcome::failure(messages::notEnoughNewWords(distinct, refused));
                }
                ++distinct;
                out.append(word.view());
                ++result.words;
                if (progress && result.words % kProgressEvery == 0)
                    progress(result.words);
            }
            out.append(rowEnd);
        }
        return Outcome();
    });
    return result;
}

GeneratedText generateText(const Combinacion &definition, const GenerationSettings &settings, RandomSource &random,
                           LineSource *dictionary, const std::function<void(std::int64_t)> &progress,
                           std::int64_t dictionaryLines)
{
    GeneratedText generated;
    generated.outcome = checkGeneration(definition, settings, dictionary ? dictionaryLines : kNoPairing);
    if (!generated.outcome.ok())
        return generated;
    // The check bounds the text except for dictionary lines, which the sink bounds.
    StringSink text{qsizetype(kMaxGeneratedCharacters)};
    // Room for the usual case (a few short syllables a word), so the text is seldom moved.
    const double rows = loopCount(settings.rows);
    text.reserve(qsizetype(std::min(rows * loopCount(settings.wordsPerRow) * 12 + rows * 2, 64.0 * 1024 * 1024)));
    const GenerationResult result =
        generateWords(definition, settings, random, dictionary, text, nullptr, progress, dictionaryLines);
    generated.outcome = result.outcome;
    generated.words = result.words;
    if (generated.outcome.ok() && text.overflowed())
        generated.outcome = Outcome::failure(messages::resultTooLong(qsizetype(kMaxGeneratedCharacters)));
    if (generated.outcome.ok())
        generated.text = text.take();
    return generated;
}

} // namespace vordane
