#pragma once

#include "wordgen/worddefinition.h"

#include <QHash>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <map>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vordane {

// What a set of generated words looks like.
struct WordStatisticsReport {
    struct Sound {
        QString sound;
        double expected = 0; // share of all sounds the weights give, before filters and changes
        double observed = 0; // share of all sounds in the words
        std::int64_t count = 0;
    };
    struct Cluster {
        QString cluster;
        std::int64_t count = 0;
    };
    struct Bar {
        int value = 0; // syllables, or characters
        std::int64_t count = 0;
        double expected = 0; // syllables: the share "@longitud" gives; characters: 0
    };

    std::int64_t words = 0;
    std::int64_t sounds = 0;
    std::vector<Sound> soundShares; // in the order of the alphabet, then of first appearance
    std::vector<Cluster> clusters; // the most frequent first (equal counts: in alphabetical order)
    std::vector<Bar> syllables; // every count "@longitud" allows or a word had, ascending
    std::vector<Bar> lengths; // every length a word had, ascending
};

// Counts sounds, clusters, syllables and lengths of words as they are made.
//
// Sounds: each word is cut into the longest pieces of the inventory (the
// alphabet and every member of the categories) from left to right; a
// character in none of them is a sound of its own. Clusters: runs of two or
// more sounds that are not vowels (the members of category V, or where the
// definition has none, sounds that begin with a vowel letter), across
// syllables. Expected shares follow from the weights of the lengths, shapes,
// optional parts and members, as the generator draws them.
class WordStatistics {
public:
    explicit WordStatistics(const WordDefinition &definition);

    void add(QStringView word, int syllables);
    std::int64_t words() const { return words_; }
    WordStatisticsReport report(int topClusters = 20) const;

private:
    struct Entry {
        QString text;
        std::int64_t count = 0;
        double expected = 0;
        bool vowel = false;
    };

    // The sound at `at`: its index in entries_ (added when new) and its size.
    std::size_t soundAt(QStringView word, qsizetype at, qsizetype &size);
    std::size_t entryOf(QStringView text);
    void expect(const std::vector<WordDefinition::Node> &nodes, double share, std::vector<double> &counts);
    void expectText(const QString &text, double share, std::vector<double> &counts);

    std::vector<WordDefinition::Length> expectedLengths_;
    std::vector<std::vector<WordDefinition::Member>> categoryMembers_;
    std::vector<Entry> entries_;
    std::unordered_map<std::u16string_view, std::size_t> index_; // views of the entries' texts
    qsizetype longest_ = 1;
    bool vowelCategory_ = false;
    std::int64_t words_ = 0;
    std::int64_t sounds_ = 0;
    QHash<QString, std::int64_t> clusters_;
    std::map<int, std::int64_t> syllables_;
    std::map<int, std::int64_t> lengths_;
    std::vector<std::size_t> scratch_;
};

// The report as text, for "--estadisticas".
QString statisticsText(const WordStatisticsReport &report);

} // namespace vordane
