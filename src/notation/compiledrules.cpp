#include "notation/compiledrules.h"

#include "common/featuremessages.h"
#include "common/randomsource.h"
#include "transformer/extendedrules.h"
#include "transformer/ruleobserver.h"
#include "transformer/ruleorder.h"

#include <algorithm>
#include <atomic>

namespace vordane::notation {

namespace nmsg = messages::notation;

// One side of an environment or exception: its left part, read backward
// from the target's start, and its right part, read forward from its end.
struct CompiledRules::Side {
    Program left;
    Program right;
    int leftId = -1; // memo of each program
    int rightId = -1;
    bool hasLeft = false;
    bool hasRight = false;
};

// The segments a program's match can begin with (end with, read backward):
// a place whose segment is none of them is passed over without a search.
struct FirstSegments {
    bool any = false; // the match may be empty, or begin with any segment
    std::vector<SegmentId> ids;
    std::vector<int> sets;
    std::vector<int> matrices; // a segment these match may begin it too
    std::array<std::uint64_t, 4> low{}; // segments below 256, as bits
    // Whether a segment below 256 cannot begin a match (known from `low`).
    bool rulesOut(SegmentId id) const
    {
        return !any && id >= 0 && id < 256 && !((low[std::size_t(id) / 64] >> (std::size_t(id) % 64)) & 1);
    }
    template <typename Matches>
    bool mayBegin(SegmentId id, const std::vector<SegmentSet> &all, const Matches &matches) const
    {
        if (any)
            return true;
        if (id >= 0 && id < 256)
            return (low[std::size_t(id) / 64] >> (std::size_t(id) % 64)) & 1;
        if (std::find(ids.begin(), ids.end(), id) != ids.end())
            return true;
        return std::any_of(sets.begin(), sets.end(), [&](int set) { return all[std::size_t(set)].memberOf(id) >= 0; })
            || std::any_of(matrices.begin(), matrices.end(), [&](int matrix) { return matches(matrix, id); });
    }
    void setLow(SegmentId id)
    {
        if (id >= 0 && id < 256)
            low[std::size_t(id) / 64] |= std::uint64_t(1) << (std::size_t(id) % 64);
    }
};

FirstSegments firstSegments(const Program &program, const std::vector<SegmentSet> &sets)
{
    FirstSegments first;
    std::vector<bool> seen(program.code.size(), false);
    std::vector<std::int32_t> pending{0};
    while (!pending.empty() && !first.any) {
        const std::int32_t pc = pending.back();
        pending.pop_back();
        if (pc < 0 || std::size_t(pc) >= program.code.size() || seen[std::size_t(pc)])
            continue;
        seen[std::size_t(pc)] = true;
        const Instruction &in = program.code[std::size_t(pc)];
        switch (in.op) {
        case Op::Segment:
            first.ids.push_back(in.a);
            break;
        case Op::InSet:
            first.sets.push_back(in.a);
            break;
        case Op::Matrix:
            // (The segments of a matrix are known once features are: see
            // the rules' constructor.)
            if (in.b)
                first.any = true;
            else
                first.matrices.push_back(in.a);
            break;
        case Op::Split:
            pending.push_back(in.a);
            pending.push_back(in.b);
            break;
        case Op::Jump:
            pending.push_back(in.a);
            break;
        case Op::Edge:
        case Op::Boundary:
        case Op::Save:
        case Op::SetSlot:
        case Op::Bind:
            pending.push_back(pc + 1);
            break;
        case Op::Any:
        case Op::NotInSet:
        case Op::Backref:
        case Op::Match:
            first.any = true;
            break;
        }
    }
    for (const SegmentId id : first.ids)
        first.setLow(id);
    for (const int set : first.sets) {
        for (SegmentId id = 0; id < 256; ++id) {
            if (sets[std::size_t(set)].memberOf(id) >= 0)
                first.setLow(id);
        }
    }
    return first;
}

namespace {

// A word's segments folded onto 64 bits: a rule whose target can begin only
// with segments none of whose bits the word has cannot apply to it. Code
// points from U+3000 on and the compounds met only in words (numbered from
// `localFrom`, afresh for each word) share the last bit.
constexpr SegmentId kFoldedBelow = 0x3000;
constexpr std::uint64_t kSharedBit = std::uint64_t(1) << 63;

std::uint64_t segmentBit(SegmentId id, SegmentId localFrom)
{
    if (id < kFoldedBelow || (id >= kFirstCompound && id < localFrom))
        return std::uint64_t(1) << (std::uint32_t(id) % 64);
    return kSharedBit;
}

std::uint64_t segmentBits(const std::vector<SegmentId> &segments, SegmentId localFrom)
{
    std::uint64_t bits = 0;
    for (const SegmentId id : segments)
        bits |= segmentBit(id, localFrom);
    return bits;
}

std::uint64_t beginningBits(const FirstSegments &first, const std::vector<SegmentSet> &sets,
                            const std::vector<std::uint64_t> &matrixBits, SegmentId localFrom)
{
    if (first.any)
        return ~std::uint64_t(0);
    std::uint64_t bits = 0;
    for (const SegmentId id : first.ids)
        bits |= segmentBit(id, localFrom);
    for (const int set : first.sets) {
        const SegmentSet &members = sets[std::size_t(set)];
        for (std::size_t id = 0; id < members.low.size(); ++id) {
            if (members.low[id] >= 0)
                bits |= segmentBit(SegmentId(id), localFrom);
        }
        for (auto it = members.high.cbegin(); it != members.high.cend(); ++it)
            bits |= segmentBit(it.key(), localFrom);
    }
    for (const int matrix : first.matrices)
        bits |= matrixBits[std::size_t(matrix)];
    return bits;
}

// The bits of the segments every match of a pattern holds.
std::uint64_t requiredBits(const Pattern &pattern, SegmentId localFrom)
{
    std::uint64_t bits = 0;
    for (const Node &node : pattern) {
        if (node.kind == Node::Kind::Segment)
            bits |= segmentBit(node.segment, localFrom);
        else if (node.kind == Node::Kind::Repeat && node.minimum > 0)
            bits |= requiredBits(node.children, localFrom);
    }
    return bits;
}

} // namespace

struct CompiledRules::Line {
    qsizetype line = 0;
    FirstSegments forwardFirst;
    FirstSegments backwardFirst;
    Program forward; // the target read from its start
    Program backward; // the target read from its end, for right-to-left scans
    int forwardId = -1;
    int backwardId = -1;
    bool emptyTarget = false;
    std::vector<Side> environments;
    std::vector<Side> exceptions;
    std::vector<Output> replacement;
    std::array<int, 10> captureSlots{};
    // Syllable boundaries a match replaces, and where one goes beside an insertion.
    bool boundaryFirst = false;
    bool boundaryLast = false;
    bool boundaryLeftOfPlace = false;
    // Whether the context is checked on the place alone (no captures read):
    // then the anchor side is checked before the target, and the target's
    // failed places hold for every place with the same anchor results.
    bool pureContext = true;
};

struct CompiledRules::Rule {
    qsizetype line = 0;
    std::vector<Line> lines; // one, or the lines of a block
    Scan scan = Scan::Simultaneous;
    bool repeated = false;
    bool once = false;
    int onlySet = -1; // "{solo X}": a set, or a matrix
    int onlyMatrix = -1;
    int percent = 100;
    double chance = 1;
    std::uint64_t firstBits = 0; // of the segments any of its lines' targets can begin with
    std::uint64_t requiredBits = 0; // of the segments a word must hold for the rule to apply
    int syllables = -1; // the "@sílabas" line in force
    bool usesBoundaries = false;
    bool clearsDots = false; // "@sílabas ninguna" below "@sílabas explícitas": the dots go
};

// A change a pass makes: input segments [from, to) become written[replacementFrom, replacementTo).
struct CompiledRules::Edit {
    qsizetype from = 0;
    qsizetype to = 0;
    qsizetype replacementFrom = 0;
    qsizetype replacementTo = 0;
    const Line *line = nullptr;
};

// Buffers of the thread that runs the rules, reused from word to word.
struct CompiledRules::Scratch {
    Machine target;
    Machine side;
    std::vector<Memo> memos;
    std::vector<std::uint64_t> memoStamps; // the word each memo was last sized for
    // Per program, where it fits on the word of `sweepStamps`, when the
    // pass allows sweeps (the word does not change while it runs).
    std::vector<std::vector<std::uint8_t>> sweepTables;
    std::vector<std::uint64_t> sweepStamps;
    bool sweeps = false;
    std::uint64_t wordStamp = 0;
    qsizetype wordSize = 0;
    MatchState state;
    MatchState best;
    MatchState beforeContext;
    LocalSegments local;
    std::vector<SegmentId> segments;
    std::vector<SegmentId> next;
    std::vector<SegmentId> written;
    std::vector<SegmentId> out;
    std::vector<Edit> edits;
    std::vector<SegmentId> projected;
    std::vector<qsizetype> visible;
    // The word `segments` were cut from, by which rules, and their bits.
    QString cut;
    std::uint64_t cutBy = 0;
    std::uint64_t bits = 0;
    // Syllable boundaries: per segment of `segments` (`next`), whether one
    // stands before it; empty when the rule reads none.
    std::vector<std::uint8_t> bounds;
    std::vector<std::uint8_t> nextBounds;
    std::vector<std::uint8_t> outBounds; // of `out` during a sequential or inverse scan
    std::vector<std::uint8_t> inputBounds; // of the pass's input ({solo X}: projected)
    bool tracking = false; // whether the rule keeps syllable boundaries: `bounds` is per segment
    std::vector<std::uint8_t> flags;
    std::vector<ClassMask> masks;
    std::vector<std::uint8_t> sonority;
    std::vector<int> starts;
    // Features of segments, for the rules `featuresFor`.
    std::unique_ptr<SegmentFeatures> features;
    std::uint64_t featuresFor = 0;
    FeatureContext featureContext;
    // Segments a replacement matrix could not make: (segment, values asked).
    std::vector<std::pair<QString, QString>> misses;
    std::vector<SegmentId> cutBuffer;
    // Syllable classes and sonority of the segments below kSmallClassed
    // by the "@sílabas" line `classesFor` of the rules `classesOf`.
    std::vector<ClassMask> smallMasks;
    std::vector<std::uint8_t> smallSonority; // 0xFF: not looked up yet
    std::uint64_t classesOf = 0;
    int classesFor = -1;
    // The last word cut into syllables, by which line of which rules: most
    // rules leave most words as they were.
    std::vector<SegmentId> lastCut;
    std::vector<std::uint8_t> lastBounds;
    std::uint64_t lastCutOf = 0;
    int lastCutFor = -1;
    bool lastCutFits = false;
};

namespace {
constexpr SegmentId kSmallClassed = 0x3000;
}

namespace {

std::atomic<std::uint64_t> lastIdentity{0};
std::atomic<qsizetype> sweepFrom{CompiledRules::kSweepFrom};

CompiledRules::Scratch &scratch()
{
    thread_local CompiledRules::Scratch buffers;
    return buffers;
}

// Sizes the memo of every program of a rule for a word of `size` segments,
// forgetting what it held.
void prepareMemos(const CompiledRules::Rule &rule, qsizetype size, CompiledRules::Scratch &scratch);
Memo &memoOf(const Program &program, int id, CompiledRules::Scratch &scratch);

bool readsCaptures(const Pattern &pattern)
{
    return std::any_of(pattern.begin(), pattern.end(), [](const Node &node) {
        return node.kind == Node::Kind::Backref || readsCaptures(node.children);
    });
}

bool bindsCaptures(const Pattern &pattern)
{
    return std::any_of(pattern.begin(), pattern.end(),
                       [](const Node &node) { return node.capture > 0 || bindsCaptures(node.children); });
}

} // namespace

CompiledRules::CompiledRules(ParsedList parsed)
    : identity_(++lastIdentity)
    , segmenter_(std::move(parsed.segmenter))
    , categories_(std::move(parsed.categories))
    , features_(std::move(parsed.features))
    , sonority_(features_)
    , syllables_(std::move(parsed.syllables))
    , syllableClasses_(std::move(parsed.syllableClasses))
    , finalSyllables_(parsed.finalSyllables)
{
    std::vector<int> setOfCategory(categories_.size(), -2);
    std::array<int, 10> captureSlots{};
    std::array<const Node *, 10> slotOwners{};
    int nextSlot = 0;
    CompileContext context{categories_, sets_, setOfCategory, &captureSlots, &nextSlot, &slotOwners};
    std::vector<bool> matrixVariables;
    for (const MatrixSyntax &written : parsed.matrices) {
        MatrixTest matrix;
        for (const int value : written.values)
            matrix.test.required.insert(value);
        for (const int value : written.forbidden)
            matrix.test.forbidden.insert(value);
        matrix.set = written.category >= 0 ? setOf(written.category, context, true) : -1;
        matrix.variables = written.variables;
        matrices_.push_back(std::move(matrix));
        matrixValues_.push_back(written.values);
        matrixVariables.push_back(!written.variables.empty());
    }
    context.matrixVariables = &matrixVariables;
    // The segments each matrix can begin a match with: the code points below
    // kFoldedBelow and the rules' compounds that have its values, and any
    // compound met only in a word.
    localFrom_ = kFirstCompound + SegmentId(segmenter_.compoundCount());
    std::vector<std::array<std::uint64_t, 4>> matrixLow(matrices_.size());
    matrixBits_.assign(matrices_.size(), kSharedBit);
    const auto noteMatrices = [&](SegmentId id) {
        const std::optional<ValueSet> values = features_.featuresOf(segmenter_.text(id));
        if (!values)
            return;
        for (std::size_t m = 0; m < matrices_.size(); ++m) {
            const MatrixTest &matrix = matrices_[m];
            // (The category is left out: its members with diacritics pass
            // too, and a wider first set is still right.)
            if (!matrix.test.matches(&*values))
                continue;
            matrixBits_[m] |= segmentBit(id, localFrom_);
            if (id < 256)
                matrixLow[m][std::size_t(id) / 64] |= std::uint64_t(1) << (std::size_t(id) % 64);
        }
    };
    if (!matrices_.empty()) {
        for (SegmentId id = 0; id < kFoldedBelow; ++id)
            noteMatrices(id);
        for (SegmentId id = kFirstCompound; id < localFrom_; ++id)
            noteMatrices(id);
    }
    const auto withMatrices = [&](FirstSegments first) {
        for (const int matrix : first.matrices) {
            for (std::size_t k = 0; k < first.low.size(); ++k)
                first.low[k] |= matrixLow[std::size_t(matrix)][k];
        }
        return first;
    };
    for (const Node &node : syllableClasses_)
        classSets_.push_back(node.kind == Node::Kind::Category ? setOf(node.category, context, true) : -1);
    std::vector<bool> explicitAbove(syllables_.size(), false);
    for (std::size_t k = 0; k < syllables_.size(); ++k) {
        explicitAbove[k] = k > 0 && (explicitAbove[k - 1] || syllables_[k - 1].mode == SyllableSpec::Mode::Explicit);
        explicitSyllables_ = explicitSyllables_ || syllables_[k].mode == SyllableSpec::Mode::Explicit;
    }
    clearsDotsAtEnd_ = finalSyllables_ >= 0
        && syllables_[std::size_t(finalSyllables_)].mode == SyllableSpec::Mode::None
        && explicitAbove[std::size_t(finalSyllables_)];

    for (RuleSyntax &syntax : parsed.rules) {
        if (syntax.joinsAbove && !rules_.empty()) {
            // A block's options are its first line's.
            const Rule &head = rules_.back();
            syntax.scan = head.scan;
        } else {
            Rule rule;
            rule.line = syntax.line;
            rule.scan = syntax.scan;
            rule.repeated = syntax.repeated;
            rule.once = syntax.once;
            rule.onlySet = syntax.only >= 0 ? setOf(syntax.only, context, true) : -1;
            rule.onlyMatrix = syntax.onlyMatrix;
            rule.percent = syntax.percent;
            rule.chance = syntax.percent / 100.0;
            rule.syllables = syntax.syllables;
            rule.clearsDots = syntax.syllables >= 0
                && syllables_[std::size_t(syntax.syllables)].mode == SyllableSpec::Mode::None
                && explicitAbove[std::size_t(syntax.syllables)];
            sporadic_ = sporadic_ || syntax.percent < 100;
            repeated_ = repeated_ || syntax.repeated;
            rules_.push_back(std::move(rule));
        }
        Line line;
        line.line = syntax.line;
        line.boundaryFirst = syntax.boundaryFirst;
        line.boundaryLast = syntax.boundaryLast;
        line.boundaryLeftOfPlace = syntax.boundaryLeftOfPlace;
        rules_.back().usesBoundaries = rules_.back().usesBoundaries || syntax.usesBoundaries;
        captureSlots.fill(-1);
        slotOwners.fill(nullptr);
        nextSlot = syntax.slotCount;
        line.forward = compile(syntax.target, false, context, syntax.atStart, syntax.atEnd);
        line.backward = compile(syntax.target, true, context, syntax.atStart, syntax.atEnd);
        line.forwardId = programs_++;
        line.backwardId = programs_++;
        line.forwardFirst = withMatrices(firstSegments(line.forward, sets_));
        line.backwardFirst = withMatrices(firstSegments(line.backward, sets_));
        line.emptyTarget = syntax.target.empty();
        bool contextReads = false;
        const auto side = [&](const Context &written) {
            Side compiled;
            compiled.hasLeft = !written.left.empty();
            compiled.hasRight = !written.right.empty();
            compiled.left = compile(written.left, true, context);
            compiled.right = compile(written.right, false, context);
            compiled.leftId = programs_++;
            compiled.rightId = programs_++;
            // (Matrices with variables read and bind as captures do.)
            contextReads = contextReads || readsCaptures(written.left) || readsCaptures(written.right)
                || bindsCaptures(written.left) || bindsCaptures(written.right) || compiled.left.readsCaptures
                || compiled.right.readsCaptures;
            return compiled;
        };
        for (const Context &environment : syntax.environments)
            line.environments.push_back(side(environment));
        for (const Context &exception : syntax.exceptions)
            line.exceptions.push_back(side(exception));
        line.pureContext = !contextReads && line.environments.size() + line.exceptions.size() <= 64;
        // A target whose context compares captures fails or not by them too.
        if (!line.pureContext) {
            line.forward.readsCaptures = true;
            line.backward.readsCaptures = true;
        }
        line.replacement = std::move(syntax.replacement);
        line.captureSlots = captureSlots;
        slots_ = std::max(slots_, nextSlot);
        // The target's segments, and a lone environment's, must be in the word.
        if (rules_.back().lines.empty()) {
            std::uint64_t &required = rules_.back().requiredBits;
            required = requiredBits(syntax.target, localFrom_);
            if (syntax.environments.size() == 1)
                required |= requiredBits(syntax.environments.front().left, localFrom_)
                    | requiredBits(syntax.environments.front().right, localFrom_);
        } else {
            rules_.back().requiredBits = 0;
        }
        rules_.back().firstBits |= line.emptyTarget ? ~std::uint64_t(0) : beginningBits(line.forwardFirst, sets_, matrixBits_, localFrom_);
        rules_.back().lines.push_back(std::move(line));
    }
}

CompiledRules::~CompiledRules() = default;

void CompiledRules::setSweepFrom(qsizetype segments)
{
    sweepFrom = segments;
}

qsizetype CompiledRules::size() const
{
    return qsizetype(rules_.size());
}

qsizetype CompiledRules::lineOf(qsizetype rule) const
{
    return rules_[std::size_t(rule)].line;
}

namespace {

void prepareMemos(const CompiledRules::Rule &, qsizetype size, CompiledRules::Scratch &scratch)
{
    // Each memo is sized when its program first runs on this word.
    scratch.wordSize = size;
    ++scratch.wordStamp;
}

Memo &memoOf(const Program &program, int id, CompiledRules::Scratch &scratch)
{
    Memo &memo = scratch.memos[std::size_t(id)];
    std::uint64_t &stamp = scratch.memoStamps[std::size_t(id)];
    if (stamp != scratch.wordStamp) {
        memo.prepare(program, scratch.wordSize);
        stamp = scratch.wordStamp;
    }
    return memo;
}

} // namespace

// One side of a context read from a place, trying every way it fits until
// `then()` holds. The places a search of a side that reads no captures, with
// nothing after it, failed from stay failed for the next search on the same
// word.
template <typename Then>
bool CompiledRules::runSide(const Program &program, int id, const WordView &word, qsizetype place,
                            MatchState &state, Scratch &scratch, bool alone, const Then &then) const
{
    Memo &memo = memoOf(program, id, scratch);
    const bool shareable = alone && !program.readsCaptures;
    memo.startSearch(shareable, 0);
    const bool found = scratch.side.run(program, sets_, word, place, state, memo, [&](qsizetype) { return then(); });
    memo.searchFailed(shareable && !found);
    return found;
}

bool CompiledRules::runSide(const Program &program, int id, const WordView &word, qsizetype place,
                            MatchState &state, Scratch &scratch) const
{
    // On a long word that stays as it is for the whole pass, where a side
    // fits is read for every place in one sweep: a far side that reaches
    // far ("…") would otherwise be read again from each place.
    if (scratch.sweeps && word.size() >= sweepFrom.load(std::memory_order_relaxed)) {
        std::uint64_t &stamp = scratch.sweepStamps[std::size_t(id)];
        std::vector<std::uint8_t> &fits = scratch.sweepTables[std::size_t(id)];
        if (stamp != scratch.wordStamp && placesThatFit(program, sets_, word, fits, &scratch.featureContext))
            stamp = scratch.wordStamp;
        if (stamp == scratch.wordStamp)
            return fits[std::size_t(place)] != 0;
    }
    return runSide(program, id, word, place, state, scratch, true, [] { return true; });
}

// Whether both parts of a side fit around the target at [start, end) in a
// way after which `then()` holds: the far part first, then, for each way it
// fits, the anchor part.
template <typename Then>
bool CompiledRules::sideFits(const Side &side, const WordView &word, qsizetype start, qsizetype end, bool inverse,
                             MatchState &state, Scratch &scratch, const Then &then) const
{
    const auto anchorThen = [&]() {
        const bool left = !inverse;
        if (!(left ? side.hasLeft : side.hasRight))
            return then();
        return runSide(left ? side.left : side.right, left ? side.leftId : side.rightId, word, left ? start : end,
                       state, scratch, false, then);
    };
    const bool left = inverse;
    if (!(left ? side.hasLeft : side.hasRight))
        return anchorThen();
    return runSide(left ? side.left : side.right, left ? side.leftId : side.rightId, word, left ? start : end, state,
                   scratch, false, anchorThen);
}

// The anchor side of each environment and exception (the left side for a
// scan from the left, the right one for a scan from the right) checked at
// the place: bit k for context k (environments first), set when it fits or
// is empty.
std::uint64_t CompiledRules::anchorMask(const Line &line, const WordView &word, qsizetype place, bool inverse,
                                        MatchState &state, Scratch &scratch) const
{
    std::uint64_t mask = 0;
    std::size_t k = 0;
    const auto check = [&](const Side &side) {
        const bool has = inverse ? side.hasRight : side.hasLeft;
        const Program &program = inverse ? side.right : side.left;
        if (!has || runSide(program, inverse ? side.rightId : side.leftId, word, place, state, scratch))
            mask |= std::uint64_t(1) << k;
        ++k;
    };
    for (const Side &side : line.environments)
        check(side);
    for (const Side &side : line.exceptions)
        check(side);
    return mask;
}

// Whether a target at [start, end) has an environment that fits and no
// exception that does. With a pure context the anchor sides are known from
// `anchorMask`, and no side binds or reads a capture. Otherwise the
// environments' captures are bound as they fit, and the exceptions are
// judged on each way an environment fits, until one leaves none fitting;
// the state then holds the environment's captures.
bool CompiledRules::contextFits(const Line &line, const WordView &word, qsizetype start, qsizetype end,
                                bool inverse, std::uint64_t anchor, MatchState &state, Scratch &scratch) const
{
    if (line.pureContext) {
        const auto fits = [&](const Side &side, std::size_t k) {
            if (!((anchor >> k) & 1))
                return false;
            const bool far = inverse ? side.hasLeft : side.hasRight;
            return !far
                || runSide(inverse ? side.left : side.right, inverse ? side.leftId : side.rightId, word,
                           inverse ? start : end, state, scratch);
        };
        bool environment = line.environments.empty();
        for (std::size_t k = 0; k < line.environments.size() && !environment; ++k)
            environment = fits(line.environments[k], k);
        if (!environment)
            return false;
        for (std::size_t j = 0; j < line.exceptions.size(); ++j) {
            if (fits(line.exceptions[j], line.environments.size() + j))
                return false;
        }
        return true;
    }
    const auto noException = [&]() {
        for (const Side &exception : line.exceptions) {
            const MatchState before = state;
            const bool excepted = sideFits(exception, word, start, end, inverse, state, scratch, [] { return true; });
            state = before;
            if (excepted)
                return false;
        }
        return true;
    };
    if (line.environments.empty())
        return noException();
    return std::any_of(line.environments.begin(), line.environments.end(), [&](const Side &environment) {
        return sideFits(environment, word, start, end, inverse, state, scratch, noException);
    });
}

// Whether the line matches with its target starting (ending, when `inverse`)
// at `place`; then `other` is where it ends (starts).
bool CompiledRules::findAt(const Line &line, const WordView &word, qsizetype place, bool inverse, MatchState &state,
                           qsizetype &other, Scratch &scratch) const
{
    // Most places cannot begin the target: passed over at once.
    const FirstSegments &first = inverse ? line.backwardFirst : line.forwardFirst;
    if (!first.any) {
        const bool inside = inverse ? place > 0 : place < word.size();
        const auto matches = [&](int matrix, SegmentId id) {
            return scratch.featureContext.passes(matrices_[std::size_t(matrix)], id, sets_);
        };
        if (!inside || !first.mayBegin(word.at(inverse ? place - 1 : place), sets_, matches))
            return false;
    }
    std::uint64_t anchor = 0;
    if (line.pureContext) {
        anchor = anchorMask(line, word, place, inverse, state, scratch);
        const std::uint64_t environments = line.environments.empty()
            ? 1
            : (line.environments.size() >= 64 ? ~std::uint64_t(0)
                                              : (std::uint64_t(1) << line.environments.size()) - 1);
        if (!line.environments.empty() && (anchor & environments) == 0)
            return false;
    }
    const Program &target = inverse ? line.backward : line.forward;
    Memo &memo = memoOf(target, inverse ? line.backwardId : line.forwardId, scratch);
    // Failed places of the target hold for the next place when its context
    // is read the same way there.
    const bool shareable = line.pureContext && !target.readsCaptures;
    memo.startSearch(shareable, anchor);
    state.clearCaptures();
    if (!inverse) {
        const bool found = scratch.target.run(target, sets_, word, place, state, memo, [&](qsizetype end) {
            if (!contextFits(line, word, place, end, false, anchor, state, scratch))
                return false;
            other = end;
            return true;
        });
        memo.searchFailed(shareable && !found);
        return found;
    }
    // From the right, the longest match ending here is taken (the first
    // found among equals): every way is read, the best kept.
    qsizetype best = -1;
    MatchState &kept = scratch.best;
    MatchState &before = scratch.beforeContext;
    bool found = scratch.target.run(target, sets_, word, place, state, memo, [&](qsizetype start) {
        if (best >= 0 && start >= best)
            return false;
        if (!line.pureContext)
            before = state;
        if (!contextFits(line, word, start, place, true, anchor, state, scratch))
            return false;
        best = start;
        if (start == 0)
            return true;
        kept = state;
        if (!line.pureContext)
            state = before;
        return false;
    });
    if (!found && best >= 0) {
        state = kept;
        found = true;
    }
    memo.searchFailed(shareable && !found);
    if (found)
        other = best;
    return found;
}

namespace {

// Written where a replacement writes ".": becomes a boundary before the
// segment that follows.
constexpr SegmentId kBoundaryMark = -2;

} // namespace

void CompiledRules::write(const Line &line, const MatchState &state, const WordView &word,
                          std::vector<SegmentId> &out, Scratch &scratch) const
{
    // A segment with a matrix's values set: the symbol that has them, or the
    // segment itself (and the miss noted) when none does.
    const auto change = [&](SegmentId id, const Output &output) {
        const ValueSet *features = scratch.featureContext.of(id);
        std::vector<ValueId> values = matrixValues_[std::size_t(output.matrix)];
        for (const auto &[feature, variable] : matrices_[std::size_t(output.matrix)].variables) {
            if (state.variables[std::size_t(variable)] >= 0)
                values.push_back(state.variables[std::size_t(variable)]);
        }
        const std::optional<QString> *made = nullptr;
        if (features)
            made = &scratch.features->segmentWith(features_.withValues(*features, values),
                                                  scratch.features->baseOf(id, scratch.local));
        if (!made || !*made) {
            ValueSet asked;
            for (const ValueId v : values)
                asked.insert(v);
            QString text;
            segmenter_.append(id, scratch.local, text);
            scratch.misses.emplace_back(text, features_.describe(asked, true));
            out.push_back(id);
            return;
        }
        std::vector<SegmentId> &ids = scratch.cutBuffer;
        segmenter_.cutWord(canonical(**made), ids, scratch.local);
        out.insert(out.end(), ids.begin(), ids.end());
    };
    for (const Output &output : line.replacement) {
        switch (output.kind) {
        case Output::Kind::Boundary:
            out.push_back(kBoundaryMark);
            break;
        case Output::Kind::Changed:
            if (output.hidden >= 0) {
                const qsizetype at = state.captures[std::size_t(hiddenRegister(output.hidden))];
                if (at >= 0 && at < word.size())
                    change(word.at(at), output);
            } else {
                const qsizetype from = state.captures[std::size_t(2 * output.capture)];
                const qsizetype to = state.captures[std::size_t(2 * output.capture + 1)];
                for (qsizetype i = from; from >= 0 && i < to; ++i)
                    change(word.at(i), output);
            }
            break;
        case Output::Kind::Segments:
            out.insert(out.end(), output.segments.begin(), output.segments.end());
            break;
        case Output::Kind::Mapped: {
            const int member = state.members[std::size_t(output.slot)];
            const std::vector<SegmentId> &segments
                = categories_[std::size_t(output.category)].members[std::size_t(member)].segments;
            out.insert(out.end(), segments.begin(), segments.end());
            break;
        }
        case Output::Kind::Captured: {
            const qsizetype from = state.captures[std::size_t(2 * output.capture)];
            const qsizetype to = state.captures[std::size_t(2 * output.capture + 1)];
            for (qsizetype i = from; from >= 0 && i < to; ++i)
                out.push_back(word.at(i));
            break;
        }
        case Output::Kind::Indexed: {
            const int slot = line.captureSlots[std::size_t(output.capture)];
            const int member = slot >= 0 ? state.members[std::size_t(slot)] : -1;
            if (member < 0)
                break;
            const Category &category = categories_[std::size_t(output.category)];
            if (std::size_t(member) < category.members.size())
                out.insert(out.end(), category.members[std::size_t(member)].segments.begin(),
                           category.members[std::size_t(member)].segments.end());
            break;
        }
        }
    }
}

bool CompiledRules::pass(const Rule &rule, const std::vector<SegmentId> &input, RandomSource *random,
                         Scratch &scratch, std::vector<Edit> &edits, std::vector<SegmentId> &written) const
{
    edits.clear();
    written.clear();
    MatchState &state = scratch.state;
    state.members.assign(std::size_t(std::max(slots_, 1)), -1);
    const auto n = qsizetype(input.size());
    prepareMemos(rule, n, scratch);
    bool found = false;
    const auto draw = [&]() { return rule.percent >= 100 || random->nextUnit() < rule.chance; };
    // With "{solo X}", what the rule writes is seen by its later matches
    // only where X matches it.
    const auto seen = [&](SegmentId id) { return id == kSpace || inOnly(rule, id, scratch); };

    scratch.sweeps = rule.scan == Scan::Simultaneous;
    const std::uint8_t *bounds = scratch.inputBounds.empty() ? nullptr : scratch.inputBounds.data();
    if (rule.scan == Scan::Simultaneous) {
        const WordView word{input.data(), n, nullptr, 0, false, bounds, nullptr};
        if (rule.lines.size() == 1) {
            const Line &line = rule.lines.front();
            for (qsizetype at = 0; at <= n;) {
                // (Most places are passed over here, without a call.)
                if (at < n && line.forwardFirst.rulesOut(input[std::size_t(at)])) {
                    ++at;
                    continue;
                }
                qsizetype end = at;
                if (!findAt(line, word, at, false, state, end, scratch)) {
                    ++at;
                    continue;
                }
                found = true;
                if (draw()) {
                    const auto from = qsizetype(written.size());
                    write(line, state, word, written, scratch);
                    edits.push_back({at, end, from, qsizetype(written.size()), &line});
                }
                if (rule.once)
                    break;
                at = end > at ? end : at + 1;
            }
            return found;
        }
        // A block: every line's matches on the word as it is; where two
        // overlap, the earlier line's wins.
        struct Found {
            qsizetype from, to, replacementFrom, replacementTo;
            const Line *line;
        };
        std::vector<Found> accepted;
        const auto overlaps = [&](qsizetype from, qsizetype to) {
            return std::any_of(accepted.begin(), accepted.end(), [&](const Found &f) {
                if (from == to && f.from == f.to)
                    return from == f.from;
                if (from == to)
                    return f.from < from && from < f.to;
                if (f.from == f.to)
                    return from < f.from && f.from < to;
                return from < f.to && f.from < to;
            });
        };
        for (const Line &line : rule.lines) {
            for (qsizetype at = 0; at <= n;) {
                qsizetype end = at;
                if (!findAt(line, word, at, false, state, end, scratch)) {
                    ++at;
                    continue;
                }
                if (!overlaps(at, end)) {
                    const auto from = qsizetype(written.size());
                    write(line, state, word, written, scratch);
                    accepted.push_back({at, end, from, qsizetype(written.size()), &line});
                }
                at = end > at ? end : at + 1;
            }
        }
        std::stable_sort(accepted.begin(), accepted.end(), [](const Found &a, const Found &b) {
            return a.from < b.from || (a.from == b.from && a.to < b.to);
        });
        for (const Found &f : accepted) {
            found = true;
            if (draw())
                edits.push_back({f.from, f.to, f.replacementFrom, f.replacementTo, f.line});
            if (rule.once)
                break;
        }
        return found;
    }

    if (rule.scan == Scan::Sequential) {
        // The word is what has been written so far, then the input from `inAt` on.
        std::vector<SegmentId> &out = scratch.out;
        std::vector<std::uint8_t> &outBounds = scratch.outBounds;
        out.clear();
        outBounds.clear();
        qsizetype inAt = 0;
        for (qsizetype at = 0;;) {
            const WordView word{out.data(), qsizetype(out.size()), input.data() + inAt, n - inAt, false,
                                bounds ? outBounds.data() : nullptr, bounds ? bounds + inAt : nullptr};
            if (at > word.size())
                break;
            const Line *matched = nullptr;
            qsizetype end = at;
            for (const Line &line : rule.lines) {
                if (findAt(line, word, at, false, state, end, scratch)) {
                    matched = &line;
                    break;
                }
            }
            if (!matched) {
                ++at;
                continue;
            }
            found = true;
            const auto head = qsizetype(out.size());
            if (draw()) {
                const auto from = qsizetype(written.size());
                write(*matched, state, word, written, scratch);
                const qsizetype inFrom = inAt + (at - head);
                const qsizetype inTo = inAt + (end - head);
                edits.push_back({inFrom, inTo, from, qsizetype(written.size()), matched});
                out.insert(out.end(), input.begin() + inAt, input.begin() + inFrom);
                if (bounds)
                    outBounds.insert(outBounds.end(), bounds + inAt, bounds + inFrom);
                // (Boundaries the rule writes are seen by its later matches
                // only once the pass is over.)
                for (auto k = std::size_t(from); k < written.size(); ++k) {
                    if (written[k] != kBoundaryMark && seen(written[k])) {
                        out.push_back(written[k]);
                        if (bounds)
                            outBounds.push_back(0);
                    }
                }
                inAt = inTo;
                prepareMemos(rule, qsizetype(out.size()) + n - inAt, scratch);
                at = qsizetype(out.size()) + (end == at ? 1 : 0);
            } else {
                at = end > at ? end : at + 1;
            }
            if (rule.once)
                break;
        }
        return found;
    }

    // Right to left: the word is the input up to `inTo`, then what has been
    // written, stored back to front.
    std::vector<SegmentId> &out = scratch.out;
    std::vector<std::uint8_t> &outBounds = scratch.outBounds;
    out.clear();
    outBounds.clear();
    qsizetype inTo = n;
    for (qsizetype at = n;;) {
        if (at < 0)
            break;
        const WordView word{input.data(), inTo, out.data(), qsizetype(out.size()), true, bounds,
                            bounds ? outBounds.data() : nullptr};
        const Line *matched = nullptr;
        qsizetype start = at;
        for (const Line &line : rule.lines) {
            if (findAt(line, word, at, true, state, start, scratch)) {
                matched = &line;
                break;
            }
        }
        if (!matched) {
            --at;
            continue;
        }
        found = true;
        if (draw()) {
            const auto from = qsizetype(written.size());
            write(*matched, state, word, written, scratch);
            edits.push_back({start, at, from, qsizetype(written.size()), matched});
            for (qsizetype i = inTo - 1; i >= at; --i) {
                out.push_back(input[std::size_t(i)]);
                if (bounds)
                    outBounds.push_back(bounds[i]);
            }
            for (auto i = qsizetype(written.size()) - 1; i >= from; --i) {
                if (written[std::size_t(i)] != kBoundaryMark && seen(written[std::size_t(i)])) {
                    out.push_back(written[std::size_t(i)]);
                    if (bounds)
                        outBounds.push_back(0);
                }
            }
            inTo = start;
            prepareMemos(rule, inTo + qsizetype(out.size()), scratch);
            at = start - (start == at ? 1 : 0);
        } else {
            at = start < at ? start : at - 1;
        }
        if (rule.once)
            break;
    }
    std::reverse(edits.begin(), edits.end());
    return found;
}

// One pass of a rule over the word's segments into `output`; with
// "{solo X}", over the segments X matches, the others staying in place.
void CompiledRules::passWhole(const Rule &rule, const std::vector<SegmentId> &input, RandomSource *random,
                              Scratch &scratch, std::vector<SegmentId> &output) const
{
    output.clear();
    std::vector<Edit> &edits = scratch.edits;
    std::vector<SegmentId> &written = scratch.written;
    // Boundaries go with the segments they stand before; see assemble below.
    const bool tracking = scratch.tracking;
    std::vector<std::uint8_t> &outputBounds = scratch.nextBounds;
    outputBounds.clear();
    if (rule.onlySet < 0 && rule.onlyMatrix < 0) {
        if (tracking)
            scratch.inputBounds = scratch.bounds;
        else
            scratch.inputBounds.clear();
        pass(rule, input, random, scratch, edits, written);
        if (!tracking) {
            qsizetype at = 0;
            for (const Edit &edit : edits) {
                output.insert(output.end(), input.begin() + at, input.begin() + edit.from);
                for (qsizetype k = edit.replacementFrom; k < edit.replacementTo; ++k) {
                    if (written[std::size_t(k)] != kBoundaryMark)
                        output.push_back(written[std::size_t(k)]);
                }
                at = edit.to;
            }
            output.insert(output.end(), input.begin() + at, input.end());
            return;
        }
        // A boundary a match read with "." at its start or end goes with
        // it; one inside the replaced text stays in its place when the rule
        // writes segment for segment, and goes otherwise; "." written makes
        // one before what follows.
        std::vector<std::uint8_t> &flags = scratch.flags;
        flags = scratch.bounds;
        const auto n = qsizetype(input.size());
        for (const Edit &edit : edits) {
            qsizetype segments = 0;
            for (qsizetype k = edit.replacementFrom; k < edit.replacementTo; ++k)
                segments += written[std::size_t(k)] != kBoundaryMark ? 1 : 0;
            if (edit.line->boundaryFirst && edit.from < n)
                flags[std::size_t(edit.from)] = 0;
            if (edit.line->boundaryLast && edit.to < n)
                flags[std::size_t(edit.to)] = 0;
            if (segments != edit.to - edit.from) {
                for (qsizetype k = edit.from + 1; k < edit.to; ++k)
                    flags[std::size_t(k)] = 0;
            }
        }
        std::uint8_t carry = 0;
        const auto push = [&](SegmentId id, std::uint8_t flag) {
            output.push_back(id);
            outputBounds.push_back(flag | carry);
            carry = 0;
        };
        qsizetype at = 0;
        for (const Edit &edit : edits) {
            for (qsizetype i = at; i < edit.from; ++i)
                push(input[std::size_t(i)], flags[std::size_t(i)]);
            qsizetype segments = 0;
            for (qsizetype k = edit.replacementFrom; k < edit.replacementTo; ++k)
                segments += written[std::size_t(k)] != kBoundaryMark ? 1 : 0;
            const bool inPlace = segments == edit.to - edit.from;
            if (edit.from == edit.to) {
                // An insertion: after a boundary the environment read on the
                // left of the place, else before the one there.
                if (edit.line->boundaryLeftOfPlace && edit.from < n && flags[std::size_t(edit.from)]) {
                    carry = 1;
                    flags[std::size_t(edit.from)] = 0;
                }
            } else if (segments == 0) {
                carry |= flags[std::size_t(edit.from)];
            }
            qsizetype j = 0;
            for (qsizetype k = edit.replacementFrom; k < edit.replacementTo; ++k) {
                const SegmentId id = written[std::size_t(k)];
                if (id == kBoundaryMark) {
                    carry = 1;
                    continue;
                }
                std::uint8_t flag = 0;
                if (edit.from < edit.to && (inPlace || j == 0))
                    flag = flags[std::size_t(edit.from + j)];
                push(id, flag);
                ++j;
            }
            at = edit.to;
        }
        for (qsizetype i = at; i < n; ++i)
            push(input[std::size_t(i)], flags[std::size_t(i)]);
        return;
    }

    std::vector<SegmentId> &projected = scratch.projected;
    std::vector<qsizetype> &visible = scratch.visible;
    projected.clear();
    visible.clear();
    scratch.inputBounds.clear();
    std::uint8_t hidden = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] == kSpace || inOnly(rule, input[i], scratch)) {
            projected.push_back(input[i]);
            visible.push_back(qsizetype(i));
            if (tracking)
                scratch.inputBounds.push_back(std::uint8_t(hidden | scratch.bounds[i]));
            hidden = 0;
        } else if (tracking) {
            hidden |= scratch.bounds[i];
        }
    }
    pass(rule, projected, random, scratch, edits, written);
    // Per input segment: kept, replaced by a piece of `written`, or dropped;
    // and what is inserted before it. Boundaries stay with the segments
    // kept or replaced in place.
    const auto n = qsizetype(input.size());
    std::vector<std::pair<qsizetype, qsizetype>> replacedBy(std::size_t(n), {-1, -1});
    std::vector<bool> dropped(std::size_t(n), false);
    std::vector<std::vector<std::pair<qsizetype, qsizetype>>> before(std::size_t(n) + 1);
    for (const Edit &edit : edits) {
        const qsizetype length = edit.replacementTo - edit.replacementFrom;
        if (edit.from == edit.to) {
            const qsizetype place = edit.from == 0 ? 0 : visible[std::size_t(edit.from - 1)] + 1;
            before[std::size_t(place)].emplace_back(edit.replacementFrom, edit.replacementTo);
            continue;
        }
        if (length == edit.to - edit.from) {
            // Segment for segment, each in its place.
            for (qsizetype k = 0; k < length; ++k)
                replacedBy[std::size_t(visible[std::size_t(edit.from + k)])]
                    = {edit.replacementFrom + k, edit.replacementFrom + k + 1};
            continue;
        }
        replacedBy[std::size_t(visible[std::size_t(edit.from)])] = {edit.replacementFrom, edit.replacementTo};
        for (qsizetype k = edit.from + 1; k < edit.to; ++k)
            dropped[std::size_t(visible[std::size_t(k)])] = true;
    }
    const auto insert = [&](qsizetype from, qsizetype to, std::uint8_t flag) {
        for (qsizetype k = from; k < to; ++k) {
            if (written[std::size_t(k)] == kBoundaryMark)
                continue;
            output.push_back(written[std::size_t(k)]);
            if (tracking)
                outputBounds.push_back(k == from ? flag : 0);
        }
    };
    for (qsizetype i = 0; i <= n; ++i) {
        for (const auto &[from, to] : before[std::size_t(i)])
            insert(from, to, 0);
        if (i == n)
            break;
        const auto [from, to] = replacedBy[std::size_t(i)];
        const std::uint8_t flag = tracking ? scratch.bounds[std::size_t(i)] : 0;
        if (from >= 0) {
            insert(from, to, flag);
        } else if (!dropped[std::size_t(i)]) {
            output.push_back(input[std::size_t(i)]);
            if (tracking)
                outputBounds.push_back(flag);
        }
    }
}

void CompiledRules::prepareFeatures(Scratch &scratch) const
{
    if (scratch.featuresFor != identity_) {
        scratch.features = std::make_unique<SegmentFeatures>(features_, segmenter_);
        scratch.featuresFor = identity_;
    }
    scratch.featureContext = {&matrices_, &features_, scratch.features.get(), &scratch.local};
    scratch.target.setFeatures(&scratch.featureContext);
    scratch.side.setFeatures(&scratch.featureContext);
}

bool CompiledRules::inOnly(const Rule &rule, SegmentId segment, Scratch &scratch) const
{
    if (rule.onlySet >= 0)
        return sets_[std::size_t(rule.onlySet)].memberOf(segment) >= 0;
    if (rule.onlyMatrix < 0)
        return true;
    return scratch.featureContext.passes(matrices_[std::size_t(rule.onlyMatrix)], segment, sets_);
}

bool CompiledRules::inClass(int id, SegmentId segment, Scratch &scratch) const
{
    const Node &node = syllableClasses_[std::size_t(id)];
    switch (node.kind) {
    case Node::Kind::Segment:
        return segment == node.segment;
    case Node::Kind::Category:
        return classSets_[std::size_t(id)] >= 0 && sets_[std::size_t(classSets_[std::size_t(id)])].memberOf(segment) >= 0;
    case Node::Kind::Matrix:
        return scratch.featureContext.passes(matrices_[std::size_t(node.matrix)], segment, sets_);
    default:
        return false;
    }
}

bool CompiledRules::cutSyllables(int specIndex, const std::vector<SegmentId> &segments, Scratch &scratch) const
{
    const SyllableSpec &cutting = syllables_[std::size_t(specIndex)];
    if (scratch.classesOf != identity_ || scratch.classesFor != specIndex) {
        scratch.smallMasks.assign(std::size_t(kSmallClassed), 0);
        scratch.smallSonority.assign(std::size_t(kSmallClassed), 0xFF);
        scratch.classesOf = identity_;
        scratch.classesFor = specIndex;
    }
    // (Compounds met in words are numbered afresh for each word: a word
    // with any is cut again.)
    const SegmentId local = localFrom_;
    const bool comparable
        = std::none_of(segments.begin(), segments.end(), [local](SegmentId id) { return id >= local; });
    if (comparable && scratch.lastCutOf == identity_ && scratch.lastCutFor == specIndex
        && scratch.lastCut == segments) {
        scratch.bounds = scratch.lastBounds;
        return scratch.lastCutFits;
    }
    scratch.lastCutOf = comparable ? identity_ : 0;
    scratch.lastCutFor = specIndex;
    scratch.lastCut = segments;
    scratch.lastCutFits = false;
    const auto n = qsizetype(segments.size());
    scratch.bounds.assign(std::size_t(n), 0);
    std::vector<ClassMask> &masks = scratch.masks;
    std::vector<std::uint8_t> &sonority = scratch.sonority;
    masks.resize(std::size_t(n));
    sonority.resize(std::size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const SegmentId id = segments[std::size_t(i)];
        const bool small = id >= 0 && id < kSmallClassed;
        if (small && scratch.smallSonority[std::size_t(id)] != 0xFF) {
            masks[std::size_t(i)] = scratch.smallMasks[std::size_t(id)];
            sonority[std::size_t(i)] = scratch.smallSonority[std::size_t(id)];
            continue;
        }
        ClassMask mask = 0;
        for (std::size_t c = 0; c < cutting.classIds.size(); ++c) {
            if (inClass(cutting.classIds[c], id, scratch))
                mask |= ClassMask(1) << c;
        }
        masks[std::size_t(i)] = mask;
        QString text;
        segmenter_.append(id, scratch.local, text);
        sonority[std::size_t(i)] = sonority_.of(text, scratch.featureContext.of(id));
        if (small) {
            scratch.smallMasks[std::size_t(id)] = mask;
            scratch.smallSonority[std::size_t(id)] = sonority[std::size_t(i)];
        }
    }
    // Each word of the line on its own.
    for (qsizetype from = 0; from < n;) {
        qsizetype to = from;
        while (to < n && segments[std::size_t(to)] != kSpace)
            ++to;
        if (to > from) {
            const auto length = std::size_t(to - from);
            if (!syllabify(cutting, std::span<const ClassMask>(masks.data() + from, length), scratch.starts,
                           std::span<const std::uint8_t>(sonority.data() + from, length)))
                return false;
            for (const int start : scratch.starts)
                scratch.bounds[std::size_t(from + start)] = 1;
        }
        from = to + 1;
    }
    scratch.lastBounds = scratch.bounds;
    scratch.lastCutFits = true;
    return true;
}

namespace {

// Takes the "." segments out of a word written with explicit syllables:
// each becomes a boundary before the segment that follows it.
void takeDots(std::vector<SegmentId> &segments, std::vector<std::uint8_t> &bounds)
{
    bounds.clear();
    std::size_t kept = 0;
    std::uint8_t pending = 0;
    for (const SegmentId id : segments) {
        if (id == SegmentId(U'.')) {
            pending = 1;
            continue;
        }
        segments[kept++] = id;
        bounds.push_back(id == kSpace ? 0 : pending);
        pending = 0;
    }
    segments.resize(kept);
}

} // namespace

void CompiledRules::dropDots(QString &word, Scratch &buffers) const
{
    buffers.local.clear();
    segmenter_.cutWord(word, buffers.segments, buffers.local);
    buffers.cutBy = 0;
    std::vector<std::uint8_t> dropped;
    takeDots(buffers.segments, dropped);
    QString result;
    for (const SegmentId id : buffers.segments)
        segmenter_.append(id, buffers.local, result);
    word = canonical(result);
}

RuleEffect CompiledRules::applyRule(qsizetype index, QString &word, QString *before, RandomSource *random,
                                    qsizetype maxLength, RuleObserver *observer) const
{
    const Rule &rule = rules_[std::size_t(index)];
    Scratch &buffers = scratch();
    if (buffers.memos.size() < std::size_t(programs_)) {
        buffers.memos.resize(std::size_t(programs_));
        buffers.memoStamps.resize(std::size_t(programs_), 0);
        buffers.sweepTables.resize(std::size_t(programs_));
        buffers.sweepStamps.resize(std::size_t(programs_), 0);
    }
    // The word as the last rule left it unchanged is cut already.
    if (buffers.cutBy != identity_ || !buffers.cut.isSharedWith(word)) {
        buffers.local.clear();
        segmenter_.cutWord(word, buffers.segments, buffers.local);
        buffers.cut = word;
        buffers.cutBy = identity_;
        buffers.bits = segmentBits(buffers.segments, localFrom_);
    }
    const SyllableSpec::Mode mode
        = rule.syllables >= 0 ? syllables_[std::size_t(rule.syllables)].mode : SyllableSpec::Mode::None;
    const bool explicitMode = mode == SyllableSpec::Mode::Explicit;
    if (rule.clearsDots && word.contains(u'.')) {
        // Below "@sílabas ninguna" the boundaries written before are gone.
        dropDots(word, buffers);
        buffers.local.clear();
        segmenter_.cutWord(word, buffers.segments, buffers.local);
        buffers.cut = word;
        buffers.cutBy = identity_;
        buffers.bits = segmentBits(buffers.segments, localFrom_);
    }
    if ((rule.firstBits != ~std::uint64_t(0) && (buffers.bits & rule.firstBits) == 0)
        || (buffers.bits & rule.requiredBits) != rule.requiredBits)
        return RuleEffect::Unchanged;
    // From here on the segments may change.
    buffers.cutBy = 0;
    prepareFeatures(buffers);
    buffers.misses.clear();
    buffers.bounds.clear();
    if (explicitMode) {
        takeDots(buffers.segments, buffers.bounds);
    } else if (mode == SyllableSpec::Mode::Patterns && rule.usesBoundaries) {
        if (!cutSyllables(rule.syllables, buffers.segments, buffers)) {
            if (observer)
                observer->wordNotSyllabified(rule.line, word);
            buffers.cutBy = identity_;
            return RuleEffect::Unchanged;
        }
    }
    const bool tracking = explicitMode || !buffers.bounds.empty();
    // (An empty word has boundaries to keep too, once a rule writes in it.)
    buffers.tracking = tracking;
    if (tracking && buffers.bounds.size() != buffers.segments.size())
        buffers.bounds.assign(buffers.segments.size(), 0);
    // Linear work takes a few dozen steps a segment for each line of the
    // rule (each reads the word); a rule that needs far more on this word is
    // given up for it.
    const std::int64_t budget
        = kStepsPerSegment * (std::int64_t(buffers.segments.size()) + 1) * std::int64_t(rule.lines.size())
        + kMinimumSteps;
    buffers.target.setBudget(budget);
    buffers.side.setBudget(budget);
    std::vector<SegmentId> &current = buffers.segments;
    std::vector<SegmentId> &next = buffers.next;
    const int passes = rule.repeated ? kMaxPasses : 1;
    bool changed = false;
    bool settled = !rule.repeated;
    for (int k = 0; k < passes; ++k) {
        passWhole(rule, current, random, buffers, next);
        if (next == current && (!tracking || buffers.nextBounds == buffers.bounds)) {
            settled = true;
            break;
        }
        changed = true;
        if (qsizetype(next.size()) > maxLength)
            return RuleEffect::TooLong;
        // Each pass after the first costs the word it writes: a rule that
        // keeps making the word longer (">d/_ {repetida}" doubles it) runs
        // out of steps instead of writing ever longer words.
        if (k > 0)
            buffers.target.charge(kStepsPerWrittenSegment * std::int64_t(next.size()));
        current.swap(next);
        buffers.bounds.swap(buffers.nextBounds);
    }
    if (buffers.target.exhausted() || buffers.side.exhausted()) {
        if (observer)
            observer->ruleTooCostly(rule.line, word);
        return RuleEffect::Unchanged;
    }
    if (observer) {
        for (const auto &[segment, values] : buffers.misses)
            observer->ruleWithoutSegment(rule.line, word, nmsg::noSegmentWith(segment, values));
    }
    if (!changed) {
        // (Explicit syllables took the dots out of the segments.)
        if (!explicitMode)
            buffers.cutBy = identity_;
        return RuleEffect::Unchanged;
    }
    QString result;
    result.reserve(word.size() + 8);
    for (std::size_t i = 0; i < current.size(); ++i) {
        // Explicit syllables are written back as dots.
        if (explicitMode && i > 0 && buffers.bounds[i] && current[i] != kSpace && current[i - 1] != kSpace)
            result += u'.';
        segmenter_.append(current[i], buffers.local, result);
    }
    result = canonical(result);
    if (result.size() > maxLength)
        return RuleEffect::TooLong;
    if (!settled && observer)
        observer->ruleUnsettled(rule.line, result);
    if (result == word)
        return RuleEffect::Unchanged;
    if (before)
        *before = std::move(word);
    word = std::move(result);
    return RuleEffect::Changed;
}

QString CompiledRules::syllabified(const QString &word, RuleObserver *observer) const
{
    return syllabifiedBy(finalSyllables_, word, observer);
}

QString CompiledRules::syllabifiedAfter(const QString &word, qsizetype line) const
{
    const auto rule = std::find_if(rules_.begin(), rules_.end(), [line](const Rule &r) { return r.line == line; });
    return rule == rules_.end() ? word : syllabifiedBy(rule->syllables, word, nullptr);
}

QString CompiledRules::syllabifiedBy(int index, const QString &word, RuleObserver *observer) const
{
    if (index < 0)
        return word;
    const SyllableSpec &cutting = syllables_[std::size_t(index)];
    if (cutting.mode != SyllableSpec::Mode::Patterns)
        return word;
    Scratch &buffers = scratch();
    prepareFeatures(buffers);
    buffers.cutBy = 0;
    buffers.local.clear();
    segmenter_.cutWord(canonical(word), buffers.segments, buffers.local);
    if (!cutSyllables(index, buffers.segments, buffers)) {
        if (observer)
            observer->wordNotSyllabified(cutting.line, word);
        return word;
    }
    QString out;
    for (std::size_t i = 0; i < buffers.segments.size(); ++i) {
        if (i > 0 && buffers.bounds[i])
            out += u'.';
        segmenter_.append(buffers.segments[i], buffers.local, out);
    }
    return out;
}

QString CompiledRules::featuresOf(const QString &segment) const
{
    const std::optional<ValueSet> values = features_.featuresOf(canonical(segment));
    return values ? features_.describe(*values, true) : QString();
}

bool CompiledRules::apply(QString &word, RuleObserver *observer, RandomSource *random, qsizetype maxLength) const
{
    // Canonically equivalent spellings are one word: the rules see, and
    // write, the composed one.
    word = canonical(word);
    const bool fits = applyInOrder(
        word, observer, rules_.size(), [](std::size_t, std::uint64_t) { return true; },
        [&](std::size_t i, QString &changed, QString *before) {
            return applyRule(qsizetype(i), changed, before, random, maxLength, observer);
        },
        [this](std::size_t i) { return rules_[i].line; });
    // A last "@sílabas ninguna" below explicit syllables leaves none written,
    // whether or not a rule follows it.
    if (clearsDotsAtEnd_ && word.contains(u'.'))
        dropDots(word, scratch());
    return fits;
}

} // namespace vordane::notation
