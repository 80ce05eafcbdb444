#pragma once

#include "notation/ruleerror.h"
#include "notation/segments.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <deque>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Phonological features of segments: features and their values, symbols
// that have them, diacritics that change them, and the built-in IPA table.
namespace vordane::notation {

using FeatureId = int;
using ValueId = int;

// Values of all features together: at most this many.
inline constexpr int kMaxValues = 256;

// A set of feature values, one bit per value: the features of a segment, or
// the values a matrix asks for.
class ValueSet {
public:
    void insert(ValueId v) { words_[std::size_t(v) / 64] |= std::uint64_t(1) << (unsigned(v) % 64); }
    bool contains(ValueId v) const { return (words_[std::size_t(v) / 64] >> (unsigned(v) % 64)) & 1U; }
    bool containsAll(const ValueSet &other) const
    {
        for (std::size_t i = 0; i < kWords; ++i) {
            if ((words_[i] & other.words_[i]) != other.words_[i])
                return false;
        }
        return true;
    }
    bool intersects(const ValueSet &other) const
    {
        for (std::size_t i = 0; i < kWords; ++i) {
            if (words_[i] & other.words_[i])
                return true;
        }
        return false;
    }
    bool isEmpty() const { return *this == ValueSet(); }
    // This set without the values of `mask`, then with those of `add`.
    void replace(const ValueSet &mask, const ValueSet &add)
    {
        for (std::size_t i = 0; i < kWords; ++i)
            words_[i] = (words_[i] & ~mask.words_[i]) | add.words_[i];
    }
    void unite(const ValueSet &other)
    {
        for (std::size_t i = 0; i < kWords; ++i)
            words_[i] |= other.words_[i];
    }
    std::vector<ValueId> values() const;
    bool operator==(const ValueSet &) const = default;
    friend std::size_t qHash(const ValueSet &set, std::size_t seed = 0) noexcept
    {
        return qHashRange(set.words_.begin(), set.words_.end(), seed);
    }

private:
    static constexpr std::size_t kWords = kMaxValues / 64;
    std::array<std::uint64_t, kWords> words_{};
};

struct Feature {
    QString name; // "lugar", "sonora"
    bool binary = false; // written "+sonora" / "-sonora"
    std::vector<ValueId> values; // binary: {+, -}
    ValueId defaultValue = -1; // "*v"; binary: "-"
    ValueSet mask; // all its values
};

struct FeatureValue {
    QString name; // "labial", "+sonora", "-sonora"
    FeatureId feature = -1;
};

// A test of one segment by its features: "[+sonora,labial]", "[!labial]".
// The matcher asks it after (and together with) any category of the same
// bracket.
struct Matrix {
    ValueSet required; // values the segment must have
    ValueSet forbidden; // values it must not have ("!v")
    // Whether a segment with these features passes; one without any
    // (nullptr: neither declared nor in a loaded table) passes no matrix.
    bool matches(const ValueSet *features) const
    {
        return features && features->containsAll(required) && !features->intersects(forbidden);
    }
};

// Features, diacritics and symbols of one rule list: the user's own
// declarations first, then (with "@rasgos ipa") the built-in table.
class FeatureTable {
public:
    struct Symbol {
        QString text; // in NFC
        ValueSet values;
        bool fromTable = false; // the built-in table's, not the list's own
    };
    struct Diacritic {
        char32_t character = 0;
        ValueSet values; // the values it sets
        ValueSet clears; // every value of the features it sets
        bool fromTable = false;
    };

    bool isEmpty() const { return features_.empty(); }
    bool hasTable() const { return hasTable_; }

    const std::vector<Feature> &features() const { return features_; }
    const std::vector<FeatureValue> &values() const { return values_; }
    // Symbols in the order in which a new segment is looked for: the list's
    // own in their order, then the table's.
    const std::vector<Symbol> &symbols() const { return symbols_; }
    const std::vector<Diacritic> &diacritics() const { return diacritics_; }

    // A feature by its name, a value by its name ("labial", "+sonora",
    // "-sonora"): the accents and case may differ where that names only
    // one. -1 when there is none.
    FeatureId feature(const QString &name) const;
    ValueId value(const QString &name) const;
    // The value a set holds of a feature, -1 for none.
    ValueId valueOf(const ValueSet &set, FeatureId feature) const;
    // A bracket's items as a matrix ("+sonora", "labial", "!labial"); false,
    // with the item and why, when an item is not a declared value.
    bool matrix(const QStringList &items, Matrix &out, QString *reason = nullptr) const;

    // Teaches a segmenter the symbols of several characters and the
    // diacritics, so that each is one segment.
    void teach(Segmenter &segmenter) const;

    // The features of a segment's text: a declared symbol, or one followed by
    // declared diacritics (also after canonical decomposition, so that "ã"
    // is "a" with "̃"). Nothing for any other segment.
    std::optional<ValueSet> featuresOf(QStringView segment) const;
    // The declared symbol (its index in symbols()) a segment is, or is
    // followed by diacritics; -1 for none.
    int baseOf(QStringView segment) const;
    // `features` with `values` set (each replacing the value its feature had).
    ValueSet withValues(ValueSet features, std::span<const ValueId> values) const;
    // The text of the segment that has exactly these features: the first
    // declared symbol, else a symbol with the fewest declared diacritics
    // (the first declared base among equals), its diacritics written in the
    // order declared; nothing when no symbol has them.
    // Among symbols with as few diacritics, `preferredBase` (the changed
    // segment's base) is taken first.
    std::optional<QString> segmentWith(const ValueSet &features, int preferredBase = -1) const;

    // A value set written as a symbol's values: the features' values in the
    // order of the features ("consonante bilabial oclusiva"), without the
    // default ones (binary "-" among them) unless `all`.
    QString describe(const ValueSet &set, bool all = false) const;
    // The declarations of the list's own (or the table's) features,
    // diacritics and symbols, one line each, as they would be written.
    QStringList declarations(bool table) const;

    // A segment's features and the declared symbol they start from.
    struct Reading {
        int base = -1;
        ValueSet values;
    };
    std::optional<Reading> read(QStringView segment) const;

private:
    friend class FeatureReader;

    bool hasTable_ = false;
    std::vector<Feature> features_;
    std::vector<FeatureValue> values_;
    std::vector<Symbol> symbols_;
    std::vector<Diacritic> diacritics_;
    QHash<QString, FeatureId> featureNames_;
    QHash<QString, ValueId> valueNames_;
    // Without accents and in lower case; -2 where two names meet.
    QHash<QString, FeatureId> plainFeatures_;
    QHash<QString, ValueId> plainValues_;
    QHash<QString, int> symbolIndex_;
    QHash<char32_t, int> diacriticIndex_;
    QHash<ValueSet, int> firstWithValues_;
    std::vector<bool> featureFromTable_;
    std::vector<bool> valueFromTable_;
};

// Whether a directive ("@rasgo", "@rasgos", "@símbolo", "@diacrítico",
// accents optional) declares features.
bool isFeatureDirective(const QString &name);

// Reads the feature declarations of an extended list (`lines[0]` its
// marker) wherever they stand: "@rasgos ipa" first, then every "@rasgo",
// then "@diacrítico" and "@símbolo" lines in their order. The faults go to
// `errors`, with line and position.
FeatureTable readFeatures(const QStringList &lines, QList<RuleError> &errors);

// Features of the segments of a run, looked up once each: for the rules'
// segments by id, for the compounds met in words by their text. Kept by the
// thread that runs the rules; `table` and `segmenter` must outlive it.
class SegmentFeatures {
public:
    SegmentFeatures(const FeatureTable &table, const Segmenter &segmenter);

    // The features of a segment, nullptr for one with none.
    const ValueSet *of(SegmentId id, const LocalSegments &local);
    // The declared symbol a segment is, or is with diacritics; -1 for none.
    int baseOf(SegmentId id, const LocalSegments &local);
    // That symbol's id, where the rules have one (-1 otherwise).
    SegmentId baseId(SegmentId id, const LocalSegments &local);
    // FeatureTable::segmentWith, remembered.
    const std::optional<QString> &segmentWith(const ValueSet &features, int preferredBase = -1);

private:
    int lookUp(QStringView text);

    const FeatureTable &table_;
    const Segmenter &segmenter_;
    int reading(SegmentId id, const LocalSegments &local); // an index of found_, -1 for none

    std::deque<FeatureTable::Reading> found_; // stable: callers keep pointers
    std::vector<SegmentId> baseIds_; // per entry of found_; -2 not yet looked up
    std::vector<int> small_; // by code point below kSmall: -2 not yet looked up, -1 none
    QHash<SegmentId, int> ids_;
    QHash<QString, int> texts_;
    QHash<std::pair<ValueSet, int>, std::optional<QString>> made_;
    static constexpr SegmentId kSmall = 0x3000;
};

} // namespace vordane::notation
