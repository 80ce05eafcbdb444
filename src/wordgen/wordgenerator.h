#pragma once

#include "wordgen/worddefinition.h"

#include "wordgen/fastexpression.h"

#include <QRegularExpression>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace vordane {

class RandomSource;
class WordFilter;

// A weighted choice among n options made with one draw of the random
// source (Vose's alias method): x = r * n, i = floor(x); option i when
// x - i < probability[i], else alias[i]. A choice of one option draws nothing.
class WeightedChoice {
public:
    WeightedChoice() = default;
    explicit WeightedChoice(const std::vector<double> &weights);

    std::uint32_t pick(RandomSource &random) const;
    std::size_t size() const { return probability_.size(); }

private:
    std::vector<double> probability_;
    std::vector<std::uint32_t> alias_;
};

// Words drawn from a definition that parsed without errors, compiled once.
//
// A word: its number of syllables n (one draw, from "@longitud"), then each
// syllable's shape (one draw, from the list of its position) and what the
// shape asks, left to right: a member of each category (one draw), a draw
// for each optional part, one for each set of alternatives. The word is then
// checked against "@rechazar", passed through the changes (whose sporadic
// rules draw from the same source), checked again, and offered to the
// caller's filter; a word refused anywhere is dropped and the next one drawn
// in its place. The same source in the same state gives the same words.
//
// Not shared between threads: each thread makes its own generator (a parsed
// definition may be shared; its rules keep their scratch space per thread).
class WordGenerator {
public:
    explicit WordGenerator(const WordDefinition &definition);
    ~WordGenerator();
    WordGenerator(const WordGenerator &) = delete;
    WordGenerator &operator=(const WordGenerator &) = delete;

    // Draws the next word that every filter takes; false when kMaxRefusedDraws
    // draws in a row were refused (the definition cannot make enough words).
    bool next(RandomSource &random, WordFilter *filter = nullptr);

    // The word of the last next() that returned true.
    QStringView word() const { return word_; }
    int syllables() const { return syllables_; }
    // Where each syllable after the first starts in word(); after changes, as
    // the word before and after them aligns (a syllable the changes emptied
    // has no mark).
    const std::vector<qsizetype> &boundaries();
    // The word with "." between its syllables.
    QString syllabified();

    const WordDefinition &definition() const { return definition_; }

private:
    struct Op;
    struct Table;

    void compile(const std::vector<WordDefinition::Node> &nodes);
    void draw(RandomSource &random);
    bool rejected(QStringView word) const;

    WordDefinition definition_;
    std::u16string pieces_; // the text of every member and literal
    std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> members_; // per category: offset, size
    std::vector<WeightedChoice> memberChoices_;
    std::vector<Op> ops_;
    std::vector<std::uint32_t> targets_; // of the alternatives
    std::vector<Table> tables_; // per position
    WeightedChoice lengthChoice_;
    std::vector<int> lengths_;
    std::vector<FastExpression> rejections_;

    std::vector<char16_t> buffer_;
    std::size_t size_ = 0;
    std::vector<qsizetype> drawnBoundaries_;
    QString drawn_; // the word as drawn, when changes apply
    QString changed_;
    QStringView word_;
    int syllables_ = 0;
    bool wasChanged_ = false;
    std::vector<qsizetype> boundaries_;
    bool boundariesReady_ = false;
};

} // namespace vordane
