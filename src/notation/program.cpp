#include "notation/program.h"

#include <algorithm>

namespace vordane::notation {

namespace {

// Beyond this many memo cells a search remembers its failed places in a
// hash set instead of a table.
constexpr qsizetype kMaxDenseMemo = qsizetype(1) << 25;

class Compiler {
public:
    Compiler(Program &program, CompileContext &context)
        : program_(program)
        , context_(context)
    {
    }

    void sequence(const Pattern &pattern)
    {
        if (program_.backward) {
            for (auto node = pattern.rbegin(); node != pattern.rend(); ++node)
                captured(*node);
        } else {
            for (const Node &node : pattern)
                captured(node);
        }
    }

    void add(Op op, std::int32_t a = 0, std::int32_t b = 0) { program_.code.push_back({op, a, b}); }
    std::int32_t here() const { return std::int32_t(program_.code.size()); }

private:
    void captured(const Node &node)
    {
        if (node.place >= 0) {
            // The place of a segment a replacement matrix changes: its
            // index, whichever the direction.
            if (!program_.backward)
                add(Op::Save, hiddenRegister(node.place));
            bound(node);
            if (program_.backward)
                add(Op::Save, hiddenRegister(node.place));
            return;
        }
        bound(node);
    }

    void bound(const Node &node)
    {
        if (node.capture == 0) {
            element(node);
            return;
        }
        add(Op::Save, markRegister(node.capture));
        element(node);
        add(Op::Bind, node.capture);
        // A capture bound twice compares texts: the search depends on it.
        program_.readsCaptures = true;
    }

    // The slot that records the member a category matched.
    int slotOf(const Node &node)
    {
        if (node.capture == 0 || !context_.captureSlots || !context_.nextSlot || !context_.slotOwners)
            return node.slot;
        // A captured category records its member for "Y$n".
        int &slot = (*context_.captureSlots)[std::size_t(node.capture)];
        const Node *&owner = (*context_.slotOwners)[std::size_t(node.capture)];
        if (slot < 0) {
            slot = node.slot >= 0 ? node.slot : (*context_.nextSlot)++;
            owner = &node;
        }
        if (node.slot >= 0)
            return node.slot;
        return owner == &node ? slot : -1;
    }

    void segments(const std::vector<SegmentId> &ids)
    {
        if (program_.backward) {
            for (auto id = ids.rbegin(); id != ids.rend(); ++id)
                add(Op::Segment, *id);
        } else {
            for (const SegmentId id : ids)
                add(Op::Segment, id);
        }
    }

    void element(const Node &node)
    {
        switch (node.kind) {
        case Node::Kind::Segment:
            add(Op::Segment, node.segment);
            return;
        case Node::Kind::Category: {
            const int slot = slotOf(node);
            const int set = setOf(node.category, context_);
            if (set >= 0) {
                add(Op::InSet, set, slot);
                return;
            }
            // Members in turn, the longest first.
            const Category &category = context_.categories[std::size_t(node.category)];
            std::vector<std::int32_t> jumps;
            const auto count = category.tryOrder.size();
            for (std::size_t k = 0; k < count; ++k) {
                const int member = category.tryOrder[k];
                std::int32_t split = -1;
                if (k + 1 < count) {
                    split = here();
                    add(Op::Split, here() + 1, 0);
                }
                if (slot >= 0)
                    add(Op::SetSlot, slot, member);
                const Member &written = category.members[std::size_t(member)];
                if (written.edge)
                    add(Op::Edge, edgeHere());
                else
                    segments(written.segments);
                if (k + 1 < count) {
                    jumps.push_back(here());
                    add(Op::Jump);
                    program_.code[std::size_t(split)].b = here();
                }
            }
            for (const std::int32_t jump : jumps)
                program_.code[std::size_t(jump)].a = here();
            return;
        }
        case Node::Kind::Any:
            add(Op::Any);
            return;
        case Node::Kind::Not:
            add(Op::NotInSet, setOf(node.category, context_, true));
            return;
        case Node::Kind::Optional: {
            const std::int32_t split = here();
            add(Op::Split, here() + 1, 0);
            sequence(node.children);
            program_.code[std::size_t(split)].b = here();
            return;
        }
        case Node::Kind::Repeat: {
            if (node.minimum > 0)
                sequence(node.children);
            const std::int32_t loop = here();
            add(Op::Split, here() + 1, 0);
            sequence(node.children);
            add(Op::Jump, loop);
            program_.code[std::size_t(loop)].b = here();
            return;
        }
        case Node::Kind::Ellipsis: {
            // The shortest run first.
            const std::int32_t loop = here();
            add(Op::Split, 0, here() + 1);
            add(Op::Any);
            add(Op::Jump, loop);
            program_.code[std::size_t(loop)].a = here();
            return;
        }
        case Node::Kind::Edge:
            add(Op::Edge, edgeHere());
            return;
        case Node::Kind::Backref:
            add(Op::Backref, node.backref);
            program_.readsCaptures = true;
            return;
        case Node::Kind::Matrix:
            add(Op::Matrix, node.matrix, node.negated ? 1 : 0);
            // Variables bind values as captures bind texts.
            if (context_.matrixVariables && (*context_.matrixVariables)[std::size_t(node.matrix)])
                program_.readsCaptures = true;
            return;
        case Node::Kind::Boundary:
            add(Op::Boundary, node.negated ? 1 : 0);
            return;
        }
    }

    // "#" on the left of the place (read backward) is where a word starts;
    // on the right, where one ends.
    std::int32_t edgeHere() const { return program_.backward ? 0 : 1; }

    Program &program_;
    CompileContext &context_;
};

void addMember(SegmentSet &set, SegmentId id, int member)
{
    if (id >= 0 && id < 256) {
        if (set.low[std::size_t(id)] < 0)
            set.low[std::size_t(id)] = member;
    } else if (!set.high.contains(id)) {
        set.high.insert(id, member);
    }
}

} // namespace

int setOf(int category, CompileContext &context, bool partial)
{
    if (category < 0)
        return -1;
    if (context.setOfCategory.size() <= std::size_t(category))
        context.setOfCategory.resize(context.categories.size(), -2);
    int &known = context.setOfCategory[std::size_t(category)];
    const Category &members = context.categories[std::size_t(category)];
    if (known >= 0)
        return known;
    if (known == -1 && !partial)
        return -1;
    if (!members.singleSegments && !partial) {
        known = -1;
        return -1;
    }
    SegmentSet set;
    set.low.fill(-1);
    for (std::size_t i = 0; i < members.members.size(); ++i) {
        const Member &member = members.members[i];
        if (!member.edge && member.segments.size() == 1)
            addMember(set, member.segments.front(), int(i));
    }
    context.sets.push_back(std::move(set));
    const int index = int(context.sets.size()) - 1;
    if (members.singleSegments)
        known = index;
    return index;
}

Program compile(const Pattern &pattern, bool backward, CompileContext &context, bool atStart, bool atEnd)
{
    Program program;
    program.backward = backward;
    Compiler compiler(program, context);
    if (backward ? atEnd : atStart)
        compiler.add(Op::Edge, backward ? 1 : 0);
    compiler.sequence(pattern);
    if (backward ? atStart : atEnd)
        compiler.add(Op::Edge, backward ? 0 : 1);
    compiler.add(Op::Match);

    // The places where paths meet are remembered: every split, and every
    // instruction a split or a jump leads to.
    program.memoIndex.assign(program.code.size(), -1);
    const auto mark = [&](std::int32_t pc) {
        if (pc >= 0 && std::size_t(pc) < program.code.size() && program.memoIndex[std::size_t(pc)] < 0)
            program.memoIndex[std::size_t(pc)] = program.memoRows++;
    };
    for (std::size_t pc = 0; pc < program.code.size(); ++pc) {
        const Instruction &in = program.code[pc];
        if (in.op == Op::Split) {
            mark(std::int32_t(pc));
            mark(in.a);
            mark(in.b);
        } else if (in.op == Op::Jump) {
            mark(in.a);
        }
    }
    // A captured element is compiled between its mark and its binding, and
    // its jumps stay inside: its mark is live exactly there.
    program.liveMarks.assign(std::size_t(program.memoRows), 0);
    std::array<std::int32_t, 10> markedAt;
    markedAt.fill(-1);
    for (std::size_t pc = 0; pc < program.code.size(); ++pc) {
        const Instruction &in = program.code[pc];
        if (in.op == Op::Save && in.a > markRegister(0) && in.a < markRegister(10))
            markedAt[std::size_t(in.a - markRegister(0))] = std::int32_t(pc);
        if (in.op != Op::Bind)
            continue;
        const std::int32_t from = markedAt[std::size_t(in.a)];
        for (std::int32_t k = from + 1; from >= 0 && k <= std::int32_t(pc); ++k) {
            const std::int32_t row = program.memoIndex[std::size_t(k)];
            if (row >= 0)
                program.liveMarks[std::size_t(row)] |= std::uint16_t(1u << in.a);
        }
    }
    return program;
}

void Memo::prepare(const Program &program, qsizetype wordSize)
{
    rows_ = program.memoRows;
    columns_ = wordSize + 1;
    const qsizetype cells = qsizetype(rows_) * columns_;
    dense_ = cells <= kMaxDenseMemo;
    if (dense_ && qsizetype(stamps_.size()) < cells)
        stamps_.resize(std::size_t(cells), 0);
    reset();
}

void Memo::reset()
{
    kept_ = false;
    if (++generation_ == 0) {
        std::fill(stamps_.begin(), stamps_.end(), 0);
        generation_ = 1;
    }
    keyed_.clear();
}

bool Memo::visit(std::int32_t row, qsizetype pos, const MatchState &state, bool withCaptures,
                 std::uint16_t liveMarks)
{
    if (dense_ && !withCaptures) {
        std::uint32_t &stamp = stamps_[std::size_t(qsizetype(row) * columns_ + pos)];
        if (stamp == generation_)
            return true;
        stamp = generation_;
        return false;
    }
    key_.clear();
    key_.push_back(std::uint32_t(row));
    key_.push_back(std::uint32_t(pos));
    if (withCaptures) {
        // The bound captures, and the marks of those being read.
        for (int n = 1; n < 10; ++n) {
            const std::int32_t start = state.captures[std::size_t(2 * n)];
            const bool live = (liveMarks >> n) & 1;
            if (start < 0 && !live)
                continue;
            key_.push_back(std::uint32_t(n));
            key_.push_back(std::uint32_t(start));
            key_.push_back(std::uint32_t(state.captures[std::size_t(2 * n + 1)]));
            if (live)
                key_.push_back(std::uint32_t(state.captures[std::size_t(markRegister(n))]));
        }
        for (const std::int32_t value : state.variables)
            key_.push_back(std::uint32_t(value));
    }
    return !keyed_.insert(key_);
}

namespace {

std::uint64_t hashOf(const std::uint32_t *words, std::size_t length)
{
    std::uint64_t h = 0x9e3779b97f4a7c15ull ^ length;
    for (std::size_t i = 0; i < length; ++i) {
        h ^= words[i];
        h *= 0xff51afd7ed558ccdull;
        h ^= h >> 32;
    }
    return h;
}

} // namespace

void Memo::KeySet::clear()
{
    keys_.clear();
    count_ = 0;
    if (++generation_ == 0) {
        std::fill(slotStamps_.begin(), slotStamps_.end(), 0);
        generation_ = 1;
    }
}

bool Memo::KeySet::insert(const std::vector<std::uint32_t> &key)
{
    if (2 * (count_ + 1) > slots_.size())
        grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hashOf(key.data(), key.size()) & mask;; at = (at + 1) & mask) {
        if (slotStamps_[at] != generation_) {
            slotStamps_[at] = generation_;
            slots_[at] = std::uint32_t(keys_.size() + 1);
            keys_.push_back(std::uint32_t(key.size()));
            keys_.insert(keys_.end(), key.begin(), key.end());
            ++count_;
            return true;
        }
        const std::uint32_t *stored = keys_.data() + slots_[at] - 1;
        if (stored[0] == key.size() && std::equal(key.begin(), key.end(), stored + 1))
            return false;
    }
}

// Doubles the slots and puts every key of this generation back.
void Memo::KeySet::grow()
{
    const std::size_t size = std::max<std::size_t>(64, 2 * slots_.size());
    slots_.assign(size, 0);
    slotStamps_.assign(size, 0);
    generation_ = 1;
    const std::size_t mask = size - 1;
    for (std::size_t offset = 0; offset < keys_.size(); offset += keys_[offset] + 1) {
        std::size_t at = hashOf(keys_.data() + offset + 1, keys_[offset]) & mask;
        while (slotStamps_[at] == generation_)
            at = (at + 1) & mask;
        slotStamps_[at] = generation_;
        slots_[at] = std::uint32_t(offset + 1);
    }
}

bool placesThatFit(const Program &program, const std::vector<SegmentSet> &sets, const WordView &word,
                   std::vector<std::uint8_t> &fits, const FeatureContext *features)
{
    if (program.readsCaptures)
        return false;
    const std::vector<Instruction> &code = program.code;
    const auto m = std::int32_t(code.size());
    // The moves that read nothing, backward: who reaches each instruction.
    std::vector<std::vector<std::int32_t>> reachedFrom(std::size_t(m) + 1);
    for (std::int32_t pc = 0; pc < m; ++pc) {
        const Instruction &in = code[std::size_t(pc)];
        switch (in.op) {
        case Op::Split:
            reachedFrom[std::size_t(in.a)].push_back(pc);
            reachedFrom[std::size_t(in.b)].push_back(pc);
            break;
        case Op::Jump:
            reachedFrom[std::size_t(in.a)].push_back(pc);
            break;
        case Op::Edge:
        case Op::Boundary:
            reachedFrom[std::size_t(pc) + 1].push_back(pc);
            break;
        case Op::Matrix:
            if (!features)
                return false;
            break;
        case Op::Save:
        case Op::SetSlot:
        case Op::Bind:
        case Op::Backref:
            return false;
        default:
            break;
        }
    }
    const bool back = program.backward;
    const qsizetype n = word.size();
    fits.assign(std::size_t(n) + 1, 0);
    // alive[pc]: from (pc, the place) a Match can be reached; `later` is the
    // same for the place read next.
    std::vector<std::uint8_t> alive(std::size_t(m) + 1, 0);
    std::vector<std::uint8_t> later(std::size_t(m) + 1, 0);
    std::vector<std::int32_t> pending;
    for (qsizetype step = 0; step <= n; ++step) {
        const qsizetype pos = back ? step : n - step;
        std::fill(alive.begin(), alive.end(), 0);
        pending.clear();
        const bool inside = back ? pos > 0 : pos < n;
        const SegmentId id = inside ? word.at(back ? pos - 1 : pos) : kSpace;
        for (std::int32_t pc = 0; pc < m; ++pc) {
            const Instruction &in = code[std::size_t(pc)];
            bool reads = false;
            switch (in.op) {
            case Op::Segment:
                reads = inside && id == in.a;
                break;
            case Op::InSet:
                reads = inside && sets[std::size_t(in.a)].memberOf(id) >= 0;
                break;
            case Op::Any:
                reads = inside && id != kSpace;
                break;
            case Op::NotInSet:
                reads = inside && id != kSpace && sets[std::size_t(in.a)].memberOf(id) < 0;
                break;
            case Op::Matrix:
                if (inside && id != kSpace) {
                    const MatrixTest &matrix = (*features->matrices)[std::size_t(in.a)];
                    reads = features->passes(matrix, id, sets);
                    reads = reads != (in.b != 0);
                }
                break;
            case Op::Match:
                alive[std::size_t(pc)] = 1;
                pending.push_back(pc);
                continue;
            default:
                continue;
            }
            if (reads && later[std::size_t(pc) + 1]) {
                alive[std::size_t(pc)] = 1;
                pending.push_back(pc);
            }
        }
        while (!pending.empty()) {
            const std::int32_t to = pending.back();
            pending.pop_back();
            for (const std::int32_t from : reachedFrom[std::size_t(to)]) {
                const Instruction &in = code[std::size_t(from)];
                if (alive[std::size_t(from)])
                    continue;
                if (in.op == Op::Edge && !(in.a == 0 ? word.startsAt(pos) : word.endsAt(pos)))
                    continue;
                if (in.op == Op::Boundary && word.boundaryAt(pos) == (in.a != 0))
                    continue;
                alive[std::size_t(from)] = 1;
                pending.push_back(from);
            }
        }
        fits[std::size_t(pos)] = alive[0];
        alive.swap(later);
    }
    return true;
}

} // namespace vordane::notation
