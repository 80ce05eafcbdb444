#pragma once

#include "notation/features.h"
#include "notation/segments.h"
#include "notation/syntax.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

// Patterns compiled to small programs, and the machine that runs them: a
// backtracking search that remembers the places it has failed from, so that
// no pattern costs more than (program size x word length) steps per search
// (patterns that compare captures remember the captures too).
namespace vordane::notation {

// The segments of a word as the matcher reads them: `head` then `tail`,
// `tail` stored back to front when `tailReversed` (the part a right-to-left
// scan has already written).
struct WordView {
    const SegmentId *head = nullptr;
    qsizetype headSize = 0;
    const SegmentId *tail = nullptr;
    qsizetype tailSize = 0;
    bool tailReversed = false;
    // Per segment, whether a syllable boundary stands before it (none
    // inside the word when null).
    const std::uint8_t *headBounds = nullptr;
    const std::uint8_t *tailBounds = nullptr;

    qsizetype size() const { return headSize + tailSize; }
    SegmentId at(qsizetype i) const
    {
        if (i < headSize) [[likely]]
            return head[i];
        const qsizetype k = i - headSize;
        return tailReversed ? tail[tailSize - 1 - k] : tail[k];
    }
    // Whether a word starts (ends) at `i`: the text does, or a space is
    // before (after) it.
    bool startsAt(qsizetype i) const { return i <= 0 || at(i - 1) == kSpace; }
    bool endsAt(qsizetype i) const { return i >= size() || at(i) == kSpace; }
    // Whether a syllable boundary stands at `i`: the word's edges, or a
    // boundary before segment i.
    bool boundaryAt(qsizetype i) const
    {
        if (startsAt(i) || endsAt(i))
            return true;
        if (i < headSize)
            return headBounds && headBounds[i];
        const qsizetype k = i - headSize;
        return tailBounds && tailBounds[tailReversed ? tailSize - 1 - k : k];
    }
};

// Which member of a category of single segments a segment is (-1: none).
struct SegmentSet {
    std::array<int, 256> low{};
    QHash<SegmentId, int> high;
    int memberOf(SegmentId id) const
    {
        if (id >= 0 && id < 256) [[likely]]
            return low[std::size_t(id)];
        return high.value(id, -1);
    }
};

// A matrix compiled: the feature test, the set of its category (-1 for
// none) and the variables it binds or reads: (feature, variable).
struct MatrixTest {
    Matrix test;
    int set = -1;
    std::vector<std::pair<FeatureId, int>> variables;
};

// What matrices need at run time: the rules' matrices and the features of
// the segments (looked up once per segment by the thread's cache).
struct FeatureContext {
    const std::vector<MatrixTest> *matrices = nullptr;
    const FeatureTable *table = nullptr;
    SegmentFeatures *features = nullptr;
    const LocalSegments *local = nullptr;
    const ValueSet *of(SegmentId id) const { return features->of(id, *local); }
    // Whether a segment passes a matrix's values and category (a category
    // also admits a segment built on a member with diacritics: "aː" is in
    // "[V,+larga]" where V holds "a").
    bool passes(const MatrixTest &matrix, SegmentId id, const std::vector<SegmentSet> &sets) const
    {
        if (!matrix.test.matches(of(id)))
            return false;
        if (matrix.set < 0)
            return true;
        const SegmentSet &set = sets[std::size_t(matrix.set)];
        if (set.memberOf(id) >= 0)
            return true;
        const SegmentId base = features->baseId(id, *local);
        return base >= 0 && base != id && set.memberOf(base) >= 0;
    }
};

enum class Op : std::uint8_t {
    Segment, // a: the segment
    InSet, // a: the set; b: the slot that records the member (-1: none)
    Any, // any segment but a space
    NotInSet, // a: the set; any segment but a space outside it
    Split, // go on at a; on failure, at b
    Jump, // a
    Edge, // a: 0 where a word starts, 1 where one ends
    Save, // a: the register that takes the place
    Bind, // a: the capture; binds it to the text from its mark to here, or checks that text when bound
    SetSlot, // a: the slot; b: the member
    Backref, // a: the capture
    Matrix, // a: the matrix; b: 1 when negated
    Boundary, // a: 1 for "!.": where no syllable boundary is
    Match,
};

struct Instruction {
    Op op;
    std::int32_t a = 0;
    std::int32_t b = 0;
};

// A pattern compiled for one direction: forward (from the place on) or
// backward (ending at the place, read right to left).
struct Program {
    std::vector<Instruction> code;
    bool backward = false;
    bool readsCaptures = false; // it compares captured texts
    std::vector<std::int32_t> memoIndex; // per instruction: its row in the memo, -1 for none
    std::int32_t memoRows = 0;
    // Per memo row: the captures whose text is being read there (bit n),
    // whose marks the search from that row depends on.
    std::vector<std::uint16_t> liveMarks;
};

// What the compiler needs of a rule list.
struct CompileContext {
    const std::vector<Category> &categories;
    std::vector<SegmentSet> &sets;
    std::vector<int> &setOfCategory; // per category: its set, -1 when it has longer members
    // Per capture (1-9): the slot that records which member a captured
    // category matched, -1 when none.
    std::array<int, 10> *captureSlots = nullptr;
    int *nextSlot = nullptr;
    // Per capture: the element whose member its slot records (the first
    // captured category compiled; another binding of the capture, say in
    // an environment, must not overwrite what the target matched).
    std::array<const Node *, 10> *slotOwners = nullptr;
    // Per matrix: whether it binds or reads variables.
    const std::vector<bool> *matrixVariables = nullptr;
};

// Compiles a pattern for a direction; its match ends at a Match instruction.
Program compile(const Pattern &pattern, bool backward, CompileContext &context, bool atStart = false,
                bool atEnd = false);

// The set of a category of single segments, made once (-1 when it has
// longer members). `partial`: the set of its one-segment members, whatever
// the others.
int setOf(int category, CompileContext &context, bool partial = false);

// Registers: 2n the start and 2n+1 the end of capture n (-1 when unbound),
// 20 + n where the text of capture n began to be read.
// 30 + k: where target element k of a replacement matrix matched (its
// segment's index).
inline constexpr int kHiddenPlaces = 16;
inline constexpr int kCaptureRegisters = 30 + kHiddenPlaces;
inline constexpr int hiddenRegister(int place)
{
    return 30 + place;
}
// "$rasgo" variables of a rule: at most this many.
inline constexpr int kMaxVariables = 8;
inline constexpr int markRegister(int capture)
{
    return 20 + capture;
}

// Where the search stands: the captures and the members the categories took.
struct MatchState {
    std::array<std::int32_t, kCaptureRegisters> captures{};
    std::vector<int> members; // per slot: the member its category took
    std::array<std::int32_t, kMaxVariables> variables{}; // the value each variable took, -1 unbound
    void clearCaptures()
    {
        captures.fill(-1);
        variables.fill(-1);
    }
};

// Failed places of a program's searches. Remembered across searches of one
// word while nothing the program reads has changed (reset() otherwise).
class Memo {
public:
    void prepare(const Program &program, qsizetype wordSize);
    void reset();
    // What a search that failed leaves behind holds for the next search on
    // the same word whose success depends on the same `context`: then the
    // memo is kept, and reset otherwise.
    void startSearch(bool shareable, std::uint64_t context)
    {
        if (!shareable || !kept_ || context != context_)
            reset();
        kept_ = false;
        context_ = context;
    }
    void searchFailed(bool shareable) { kept_ = shareable; }
    // True when (pc, pos) was already tried; marks it tried otherwise.
    bool visit(std::int32_t row, qsizetype pos, const MatchState &state, bool withCaptures,
               std::uint16_t liveMarks);

private:
    qsizetype columns_ = 0;
    std::int32_t rows_ = 0;
    std::vector<std::uint32_t> stamps_;
    std::uint32_t generation_ = 1;
    // Tried states that are more than a place, as a set of keys kept in
    // one buffer: emptied in constant time, nothing allocated a visit once
    // the buffers have grown.
    class KeySet {
    public:
        void clear();
        // False when `key` was in the set already.
        bool insert(const std::vector<std::uint32_t> &key);

    private:
        void grow();
        std::vector<std::uint32_t> keys_; // each key: its length, then its words
        std::vector<std::uint32_t> slots_; // per slot: where its key starts, + 1
        std::vector<std::uint32_t> slotStamps_; // a slot is in use when its stamp is the generation
        std::uint32_t generation_ = 1;
        std::size_t count_ = 0;
    };
    KeySet keyed_;
    std::vector<std::uint32_t> key_;
    bool dense_ = true;
    bool kept_ = false;
    std::uint64_t context_ = 0;
};

// For every place of `word`, whether `program` run from there reaches its
// Match: one sweep from the far end, linear in the word and the program.
// Only for programs that bind and read no captures (false otherwise, and
// `fits` is then left alone).
bool placesThatFit(const Program &program, const std::vector<SegmentSet> &sets, const WordView &word,
                   std::vector<std::uint8_t> &fits, const FeatureContext *features = nullptr);

// The backtracking machine. Its stack is kept between searches.
class Machine {
public:
    // The steps its searches may take from here on; a search that runs out
    // fails, and exhausted() says so (patterns that compare long captures
    // cost more than linear time: they are stopped instead of hanging).
    void setBudget(std::int64_t steps)
    {
        budget_ = steps;
        exhausted_ = false;
    }
    bool exhausted() const { return exhausted_; }
    // Work done outside its searches, taken from the same budget.
    void charge(std::int64_t steps)
    {
        budget_ -= steps;
        exhausted_ = exhausted_ || budget_ < 0;
    }
    // The features matrices read; needed by programs with matrices.
    void setFeatures(const FeatureContext *features) { features_ = features; }

    // Runs `program` from `start` on `word`: true when a Match is reached
    // whose `leaf(end)` holds, with `state` as that match left it. On
    // failure `state` is as it was.
    template <typename Leaf>
    bool run(const Program &program, const std::vector<SegmentSet> &sets, const WordView &word, qsizetype start,
             MatchState &state, Memo &memo, const Leaf &leaf);

private:
    struct Job {
        enum Kind : std::uint8_t { Try, RestoreCapture, RestoreSlot, TryBound, RestoreVariable } kind;
        std::int32_t pc;
        std::int32_t pos; // Try: the place; Restore: the old value (places fit captures' registers)
        std::int32_t index; // Restore: the register or slot; TryBound: the capture
        std::int32_t from = 0; // TryBound: the text the capture takes
        std::int32_t to = 0;
    };
    // A stack of jobs: `jobs_` grows and is kept; `depth_` are in use.
    // (Pushes are the machine's most frequent work, kept inline.)
    Q_ALWAYS_INLINE void push(const Job &job)
    {
        if (depth_ == jobs_.size()) [[unlikely]]
            jobs_.resize(std::max<std::size_t>(64, 2 * jobs_.size()));
        jobs_[depth_++] = job;
    }
    std::vector<Job> jobs_;
    std::size_t depth_ = 0;
    std::int64_t budget_ = std::numeric_limits<std::int64_t>::max();
    bool exhausted_ = false;
    const FeatureContext *features_ = nullptr;
};

template <typename Leaf>
bool Machine::run(const Program &program, const std::vector<SegmentSet> &sets, const WordView &word,
                  qsizetype start, MatchState &state, Memo &memo, const Leaf &leaf)
{
    const std::size_t base = depth_;
    const Instruction *code = program.code.data();
    const qsizetype n = word.size();
    const bool back = program.backward;
    const bool keyed = program.readsCaptures;
    push({Job::Try, 0, std::int32_t(start), 0});
    while (depth_ > base) {
        const Job job = jobs_[--depth_];
        if (job.kind == Job::RestoreCapture) {
            state.captures[std::size_t(job.index)] = std::int32_t(job.pos);
            continue;
        }
        if (job.kind == Job::RestoreSlot) {
            state.members[std::size_t(job.index)] = int(job.pos);
            continue;
        }
        if (job.kind == Job::RestoreVariable) {
            state.variables[std::size_t(job.index)] = job.pos;
            continue;
        }
        if (job.kind == Job::TryBound) {
            // A capture read before any binding takes this text here.
            const std::size_t start = std::size_t(2 * job.index);
            push({Job::RestoreCapture, 0, state.captures[start], std::int32_t(start)});
            push({Job::RestoreCapture, 0, state.captures[start + 1], std::int32_t(start + 1)});
            state.captures[start] = std::int32_t(job.from);
            state.captures[start + 1] = std::int32_t(job.to);
        }
        std::int32_t pc = job.pc;
        qsizetype pos = job.pos;
        for (;;) {
            if (--budget_ < 0) [[unlikely]] {
                exhausted_ = true;
                depth_ = base;
                return false;
            }
            const std::int32_t row = program.memoIndex[std::size_t(pc)];
            if (row >= 0 && memo.visit(row, pos, state, keyed, keyed ? program.liveMarks[std::size_t(row)] : 0))
                break;
            const Instruction &in = code[pc];
            bool ok = true;
            switch (in.op) {
            case Op::Segment:
                if (back ? (pos > 0 && word.at(pos - 1) == in.a) : (pos < n && word.at(pos) == in.a)) {
                    pos += back ? -1 : 1;
                    ++pc;
                } else {
                    ok = false;
                }
                break;
            case Op::InSet: {
                const int member = back ? (pos > 0 ? sets[std::size_t(in.a)].memberOf(word.at(pos - 1)) : -1)
                                        : (pos < n ? sets[std::size_t(in.a)].memberOf(word.at(pos)) : -1);
                if (member < 0) {
                    ok = false;
                    break;
                }
                if (in.b >= 0) {
                    push({Job::RestoreSlot, 0, std::int32_t(state.members[std::size_t(in.b)]), in.b});
                    state.members[std::size_t(in.b)] = member;
                }
                pos += back ? -1 : 1;
                ++pc;
                break;
            }
            case Op::Any:
            case Op::NotInSet: {
                const bool inside = back ? pos > 0 : pos < n;
                const SegmentId id = inside ? word.at(back ? pos - 1 : pos) : kSpace;
                if (id == kSpace || (in.op == Op::NotInSet && sets[std::size_t(in.a)].memberOf(id) >= 0)) {
                    ok = false;
                    break;
                }
                pos += back ? -1 : 1;
                ++pc;
                break;
            }
            case Op::Matrix: {
                const bool inside = back ? pos > 0 : pos < n;
                const SegmentId id = inside ? word.at(back ? pos - 1 : pos) : kSpace;
                if (id == kSpace) {
                    ok = false;
                    break;
                }
                const MatrixTest &matrix = (*features_->matrices)[std::size_t(in.a)];
                const ValueSet *values = features_->of(id);
                ok = features_->passes(matrix, id, sets);
                if (in.b) {
                    ok = !ok;
                } else {
                    for (const auto &[feature, variable] : matrix.variables) {
                        if (!ok)
                            break;
                        const ValueId value = features_->table->valueOf(*values, feature);
                        std::int32_t &bound = state.variables[std::size_t(variable)];
                        if (value < 0 || (bound >= 0 && bound != value)) {
                            ok = false;
                        } else if (bound < 0) {
                            push({Job::RestoreVariable, 0, -1, variable});
                            bound = value;
                        }
                    }
                }
                if (ok) {
                    pos += back ? -1 : 1;
                    ++pc;
                }
                break;
            }
            case Op::Boundary:
                if (word.boundaryAt(pos) != (in.a != 0))
                    ++pc;
                else
                    ok = false;
                break;
            case Op::Split:
                push({Job::Try, in.b, std::int32_t(pos), 0});
                pc = in.a;
                break;
            case Op::Jump:
                pc = in.a;
                break;
            case Op::Edge:
                if (in.a == 0 ? word.startsAt(pos) : word.endsAt(pos))
                    ++pc;
                else
                    ok = false;
                break;
            case Op::Save:
                push({Job::RestoreCapture, 0, state.captures[std::size_t(in.a)], in.a});
                state.captures[std::size_t(in.a)] = std::int32_t(pos);
                ++pc;
                break;
            case Op::SetSlot:
                push({Job::RestoreSlot, 0, std::int32_t(state.members[std::size_t(in.a)]), in.a});
                state.members[std::size_t(in.a)] = in.b;
                ++pc;
                break;
            case Op::Bind: {
                const qsizetype mark = state.captures[std::size_t(markRegister(in.a))];
                const qsizetype from = back ? pos : mark;
                const qsizetype to = back ? mark : pos;
                const std::size_t start = std::size_t(2 * in.a);
                if (state.captures[start] < 0) {
                    push({Job::RestoreCapture, 0, state.captures[start], std::int32_t(start)});
                    push({Job::RestoreCapture, 0, state.captures[start + 1], std::int32_t(start + 1)});
                    state.captures[start] = std::int32_t(from);
                    state.captures[start + 1] = std::int32_t(to);
                    ++pc;
                    break;
                }
                // Bound before: the same text again.
                const qsizetype boundFrom = state.captures[start];
                const qsizetype length = state.captures[start + 1] - boundFrom;
                ok = to - from == length;
                for (qsizetype k = 0; k < length && ok; ++k)
                    ok = word.at(from + k) == word.at(boundFrom + k);
                if (ok)
                    ++pc;
                break;
            }
            case Op::Backref: {
                const qsizetype from = state.captures[std::size_t(2 * in.a)];
                const qsizetype to = state.captures[std::size_t(2 * in.a + 1)];
                if (from < 0) {
                    // Read before its binding (a pattern read from the right,
                    // or a side read before the one that binds it): it stands
                    // for any run of segments within a word, the longest
                    // first, which the binding then checks.
                    qsizetype room = 0;
                    while (room < (back ? pos : n - pos) && word.at(back ? pos - room - 1 : pos + room) != kSpace)
                        ++room;
                    for (qsizetype length = 0; length <= room; ++length) {
                        const qsizetype next = back ? pos - length : pos + length;
                        push({Job::TryBound, pc + 1, std::int32_t(next), in.a, std::int32_t(back ? next : pos),
                                      std::int32_t(back ? pos : next)});
                    }
                    ok = false;
                    break;
                }
                if (to < from) {
                    ok = false;
                    break;
                }
                const qsizetype length = to - from;
                if (back ? length > pos : length > n - pos) {
                    ok = false;
                    break;
                }
                const qsizetype at = back ? pos - length : pos;
                for (qsizetype k = 0; k < length && ok; ++k)
                    ok = word.at(at + k) == word.at(from + k);
                if (ok) {
                    pos += back ? -length : length;
                    ++pc;
                }
                break;
            }
            case Op::Match:
                if (leaf(pos)) {
                    // The restore jobs left above `base` are dropped: the state stays as matched.
                    depth_ = base;
                    return true;
                }
                ok = false;
                break;
            }
            if (!ok)
                break;
        }
    }
    return false;
}

} // namespace vordane::notation
