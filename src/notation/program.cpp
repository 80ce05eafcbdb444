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
        if (in.op == Op::Save && in.a >= markRegister(0))
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
    key_.push_back(char32_t(row));
    key_.push_back(char32_t(pos));
    if (withCaptures) {
        // The bound captures, and the marks of those being read.
        for (int n = 1; n < 10; ++n) {
            const std::int32_t start = state.captures[std::size_t(2 * n)];
            const bool live = (liveMarks >> n) & 1;
            if (start < 0 && !live)
                continue;
            key_.push_back(char32_t(n));
            key_.push_back(char32_t(start));
            key_.push_back(char32_t(state.captures[std::size_t(2 * n + 1)]));
            if (live)
                key_.push_back(char32_t(state.captures[std::size_t(markRegister(n))]));
        }
    }
    return !keyed_.insert(key_).second;
}

} // namespace vordane::notation
