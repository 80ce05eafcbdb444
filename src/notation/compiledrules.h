#pragma once

#include "notation/parser.h"
#include "notation/program.h"
#include "notation/features.h"
#include "notation/segments.h"
#include "notation/syllables.h"
#include "notation/syntax.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace vordane {
class RandomSource;
class RuleObserver;
enum class RuleEffect;
} // namespace vordane

namespace vordane::notation {

// The rules of a list in the extended notation compiled for a run: every
// element of the notation, over segments, in every way a rule can apply.
class CompiledRules {
public:
    explicit CompiledRules(ParsedList parsed);
    ~CompiledRules();
    CompiledRules(const CompiledRules &) = delete;
    CompiledRules &operator=(const CompiledRules &) = delete;

    // Rules (a block of "&" lines is one).
    qsizetype size() const;
    // The index in the list of the (first) line of rule `rule`.
    qsizetype lineOf(qsizetype rule) const;
    bool hasSporadicRules() const { return sporadic_; }

    // Applies every rule in order; false when the word would grow past
    // `maxLength` (it is then left as the rules before that one made it).
    bool apply(QString &word, RuleObserver *observer, RandomSource *random, qsizetype maxLength) const;

    // One rule; when it changes the word and `before` is given, *before
    // receives the word as the rule found it.
    RuleEffect applyRule(qsizetype rule, QString &word, QString *before, RandomSource *random, qsizetype maxLength,
                         RuleObserver *observer = nullptr) const;
    // Whether any rule is applied until the word stops changing.
    bool hasRepeatedRules() const { return repeated_; }

    // Whether the list has a "@sílabas" line.
    bool hasSyllables() const { return !syllables_.empty(); }
    // A word (as the rules leave it) with its syllables marked by "." as
    // the last "@sílabas" line of the list cuts it: in explicit mode the
    // word as it is; unchanged when it cannot be cut (the observer is told,
    // as of that "@sílabas" line) or there are none.
    QString syllabified(const QString &word, RuleObserver *observer = nullptr) const;
    // The same by the "@sílabas" line in force for the rule of that line of
    // the list (a word as that rule left it, in a trace).
    QString syllabifiedAfter(const QString &word, qsizetype line) const;
    // The features of a list's segment, written as its values
    // ("consonante bilabial oclusiva"); empty for one without features.
    QString featuresOf(const QString &segment) const;
    const FeatureTable &features() const { return features_; }

    // A "{repetida}" rule stops after this many passes.
    static constexpr int kMaxPasses = 100;
    // The machine steps a rule may take on one word: this many a segment,
    // and this many at least (see Machine::setBudget).
    static constexpr std::int64_t kStepsPerSegment = 200;
    static constexpr std::int64_t kMinimumSteps = 1'000'000;
    static constexpr std::int64_t kStepsPerWrittenSegment = 4; // by a repeated rule's later passes
    // From this many segments, contexts without captures are read for the
    // whole word at once. Tests set it lower to compare both ways.
    static constexpr qsizetype kSweepFrom = 64;
    static void setSweepFrom(qsizetype segments);

    struct Side;
    struct Line;
    struct Rule;
    struct Edit;
    struct Scratch;

private:
    bool findAt(const Line &line, const WordView &word, qsizetype place, bool inverse, MatchState &state,
                qsizetype &other, Scratch &scratch) const;
    bool contextFits(const Line &line, const WordView &word, qsizetype start, qsizetype end, bool inverse,
                     std::uint64_t anchorMask, MatchState &state, Scratch &scratch) const;
    bool runSide(const Program &program, int id, const WordView &word, qsizetype place, MatchState &state,
                 Scratch &scratch) const;
    template <typename Then>
    bool runSide(const Program &program, int id, const WordView &word, qsizetype place, MatchState &state,
                 Scratch &scratch, bool alone, const Then &then) const;
    template <typename Then>
    bool sideFits(const Side &side, const WordView &word, qsizetype start, qsizetype end, bool inverse,
                  MatchState &state, Scratch &scratch, const Then &then) const;
    std::uint64_t anchorMask(const Line &line, const WordView &word, qsizetype place, bool inverse,
                             MatchState &state, Scratch &scratch) const;
    void write(const Line &line, const MatchState &state, const WordView &word, std::vector<SegmentId> &out,
               Scratch &scratch) const;
    // One pass of a rule over segments: the edits it makes, in the order of
    // the input, and whether any match was found.
    bool pass(const Rule &rule, const std::vector<SegmentId> &input, RandomSource *random, Scratch &scratch,
              std::vector<Edit> &edits, std::vector<SegmentId> &written) const;
    void passWhole(const Rule &rule, const std::vector<SegmentId> &input, RandomSource *random, Scratch &scratch,
                   std::vector<SegmentId> &output) const;
    void prepareFeatures(Scratch &scratch) const;
    // By the "@sílabas" line syllables_[index] (none below 0).
    QString syllabifiedBy(int index, const QString &word, RuleObserver *observer) const;
    // Takes the explicit syllable boundaries out of a word.
    void dropDots(QString &word, Scratch &scratch) const;
    // The boundaries of a word's segments by the "@sílabas" line `cutting` (an index of syllables_), into
    // scratch.bounds; false when a word of the line cannot be cut.
    bool cutSyllables(int cutting, const std::vector<SegmentId> &segments, Scratch &scratch) const;
    bool inClass(int id, SegmentId segment, Scratch &scratch) const;
    // Whether a rule with "{solo X}" sees a segment (every rule without).
    bool inOnly(const Rule &rule, SegmentId segment, Scratch &scratch) const;

    // Tells these rules' cut of a word from that of rules compiled before.
    std::uint64_t identity_;
    Segmenter segmenter_;
    std::vector<Category> categories_;
    std::vector<SegmentSet> sets_;
    std::vector<Rule> rules_;
    FeatureTable features_;
    SonorityScale sonority_;
    std::vector<MatrixTest> matrices_;
    std::vector<std::vector<ValueId>> matrixValues_; // per matrix: the values a replacement sets
    std::vector<std::uint64_t> matrixBits_; // per matrix: the folded bits of the segments it matches
    SegmentId localFrom_ = kFirstCompound; // the first id of the compounds met only in words
    std::vector<SyllableSpec> syllables_;
    std::vector<Node> syllableClasses_;
    std::vector<int> classSets_; // per syllable class: its set, -1 for none
    int finalSyllables_ = -1;
    bool explicitSyllables_ = false; // some "@sílabas explícitas"
    bool clearsDotsAtEnd_ = false; // the last "@sílabas" line is "ninguna", below "explícitas"
    int programs_ = 0;
    int slots_ = 0;
    bool sporadic_ = false;
    bool repeated_ = false;
};

} // namespace vordane::notation
