#include "wordgen/wordgenerator.h"

#include "common/randomsource.h"
#include "generator/generationengine.h"
#include "transformer/transformationengine.h"

#include <algorithm>
#include <cstring>

namespace vordane {

WeightedChoice::WeightedChoice(const std::vector<double> &weights)
{
    const std::size_t n = weights.size();
    probability_.assign(n, 1);
    alias_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        alias_[i] = std::uint32_t(i);
    if (n <= 1)
        return;
    double total = 0;
    for (double w : weights)
        total += w;
    std::vector<double> scaled(n);
    std::vector<std::uint32_t> small;
    std::vector<std::uint32_t> large;
    for (std::size_t i = 0; i < n; ++i) {
        scaled[i] = weights[i] * double(n) / total;
        (scaled[i] < 1 ? small : large).push_back(std::uint32_t(i));
    }
    while (!small.empty() && !large.empty()) {
        const std::uint32_t s = small.back();
        small.pop_back();
        const std::uint32_t l = large.back();
        probability_[s] = scaled[s];
        alias_[s] = l;
        scaled[l] -= 1 - scaled[s];
        if (scaled[l] < 1) {
            large.pop_back();
            small.push_back(l);
        }
    }
    // What is left is 1 up to rounding.
    for (std::uint32_t i : small)
        probability_[i] = 1;
    for (std::uint32_t i : large)
        probability_[i] = 1;
}

std::uint32_t WeightedChoice::pick(RandomSource &random) const
{
    const std::size_t n = probability_.size();
    if (n <= 1)
        return 0;
    const double x = random.nextUnit() * double(n);
    const auto i = std::min(std::uint32_t(x), std::uint32_t(n - 1));
    return x - double(i) < probability_[i] ? i : alias_[i];
}

struct WordGenerator::Op {
    enum Kind : std::uint8_t { Emit, Draw, Optional, Choice, Jump, Return } kind = Return;
    std::uint32_t a = 0; // Emit: offset; Draw: category; Optional, Jump: target; Choice: first target
    std::uint32_t b = 0; // Emit: size; Choice: number of alternatives
    double p = 0; // Optional: chance
};

struct WordGenerator::Table {
    WeightedChoice choice;
    std::vector<std::uint32_t> entries; // the first op of each shape
};

WordGenerator::WordGenerator(const WordDefinition &definition)
    : definition_(definition)
{
    for (const WordDefinition::Category &category : definition_.categories) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> members;
        std::vector<double> weights;
        for (const WordDefinition::Member &member : category.members) {
            members.emplace_back(std::uint32_t(pieces_.size()), std::uint32_t(member.text.size()));
            pieces_.append(reinterpret_cast<const char16_t *>(member.text.constData()),
                           std::size_t(member.text.size()));
            weights.push_back(member.weight);
        }
        members_.push_back(std::move(members));
        memberChoices_.emplace_back(weights);
    }
    tables_.resize(WordDefinition::kPositions);
    for (int position = 0; position < WordDefinition::kPositions; ++position) {
        const WordDefinition::ShapeList &list = definition_.shapesAt(WordDefinition::Position(position));
        std::vector<double> weights;
        for (const WordDefinition::Shape &shape : list.shapes) {
            tables_[std::size_t(position)].entries.push_back(std::uint32_t(ops_.size()));
            compile(shape.nodes);
            ops_.push_back(Op{});
            weights.push_back(shape.weight);
        }
        tables_[std::size_t(position)].choice = WeightedChoice(weights);
    }
    std::vector<double> weights;
    for (const WordDefinition::Length &length : definition_.lengths) {
        lengths_.push_back(length.syllables);
        weights.push_back(length.weight);
    }
    lengthChoice_ = WeightedChoice(weights);
    // Filters are joined into as few expressions as their groups allow. A
    // pattern that refers to groups by number (or recursion) starts a new
    // expression, so that its numbers stay its own; one with named groups or
    // "\\Q" quoting stands alone.
    static const QRegularExpression numbered(QStringLiteral(R"(\\[1-9gk]|\(\?(?:P[=>]|[0-9R&+-]))"));
    static const QRegularExpression alone(QStringLiteral(R"(\\Q|\(\?(?:P?<[A-Za-z_]|'))"));
    QStringList joined;
    const auto flush = [&] {
        if (joined.isEmpty())
            return;
        FastExpression expression(joined.join(u'|'));
        Q_ASSERT(expression.isValid()); // each pattern was checked when the definition was read
        if (expression.isValid())
            rejections_.push_back(std::move(expression));
        joined.clear();
    };
    for (const WordDefinition::Rejection &rejection : definition_.rejections) {
        const bool single = alone.match(rejection.pattern).hasMatch();
        if (single || numbered.match(rejection.pattern).hasMatch())
            flush();
        joined.append(QStringLiteral("(?:%1)").arg(rejection.pattern));
        if (single)
            flush();
    }
    flush();
    buffer_.resize(64);
}

WordGenerator::~WordGenerator() = default;

void WordGenerator::compile(const std::vector<WordDefinition::Node> &nodes)
{
    using Kind = WordDefinition::Node::Kind;
    for (const WordDefinition::Node &node : nodes) {
        switch (node.kind) {
        case Kind::Literal:
            ops_.push_back(Op{Op::Emit, std::uint32_t(pieces_.size()), std::uint32_t(node.text.size()), 0});
            pieces_.append(reinterpret_cast<const char16_t *>(node.text.constData()), std::size_t(node.text.size()));
            break;
        case Kind::Category:
            ops_.push_back(Op{Op::Draw, std::uint32_t(node.category), 0, 0});
            break;
        case Kind::Optional: {
            const std::size_t at = ops_.size();
            ops_.push_back(Op{Op::Optional, 0, 0, node.probability});
            compile(node.branches.front());
            ops_[at].a = std::uint32_t(ops_.size());
            break;
        }
        case Kind::Choice: {
            const std::size_t first = targets_.size();
            ops_.push_back(Op{Op::Choice, std::uint32_t(first), std::uint32_t(node.branches.size()), 0});
            targets_.resize(first + node.branches.size());
            std::vector<std::size_t> jumps;
            for (std::size_t k = 0; k < node.branches.size(); ++k) {
                targets_[first + k] = std::uint32_t(ops_.size());
                compile(node.branches[k]);
                jumps.push_back(ops_.size());
                ops_.push_back(Op{Op::Jump, 0, 0, 0});
            }
            for (std::size_t jump : jumps)
                ops_[jump].a = std::uint32_t(ops_.size());
            break;
        }
        }
    }
}

void WordGenerator::draw(RandomSource &random)
{
    size_ = 0;
    drawnBoundaries_.clear();
    const auto append = [this](std::uint32_t offset, std::uint32_t size) {
        if (size_ + size > buffer_.size())
            buffer_.resize(std::max(2 * buffer_.size(), size_ + size));
        // Pieces are a character or two: a loop costs less than a call to memcpy.
        char16_t *to = buffer_.data() + size_;
        const char16_t *from = pieces_.data() + offset;
        for (std::uint32_t k = 0; k < size; ++k)
            to[k] = from[k];
        size_ += size;
    };
    syllables_ = lengths_[lengthChoice_.pick(random)];
    for (int s = 0; s < syllables_; ++s) {
        const int position = syllables_ == 1 ? WordDefinition::Single
            : s == 0                         ? WordDefinition::Initial
            : s == syllables_ - 1            ? WordDefinition::Final
                                             : WordDefinition::Middle;
        if (s > 0)
            drawnBoundaries_.push_back(qsizetype(size_));
        const Table &table = tables_[std::size_t(position)];
        if (table.entries.empty())
            continue; // not in a definition that parsed
        std::uint32_t pc = table.entries[table.choice.pick(random)];
        for (;;) {
            const Op &op = ops_[pc];
            switch (op.kind) {
            case Op::Emit:
                append(op.a, op.b);
                ++pc;
                continue;
            case Op::Draw: {
                const auto &member = members_[op.a][memberChoices_[op.a].pick(random)];
                append(member.first, member.second);
                ++pc;
                continue;
            }
            case Op::Optional:
                pc = random.nextUnit() < op.p ? pc + 1 : op.a;
                continue;
            case Op::Choice:
                pc = targets_[op.a + random.nextIndex(op.b)];
                continue;
            case Op::Jump:
                pc = op.a;
                continue;
            case Op::Return:
                break;
            }
            break;
        }
    }
}

bool WordGenerator::rejected(QStringView word) const
{
    return std::any_of(rejections_.begin(), rejections_.end(),
                       [&](const FastExpression &expression) { return expression.foundIn(word); });
}

bool WordGenerator::next(RandomSource &random, WordFilter *filter)
{
    const RuleSet *changes = definition_.changes.get();
    for (std::int64_t refused = 0;;) {
        draw(random);
        const QStringView drawn(buffer_.data(), qsizetype(size_));
        bool ok = !rejected(drawn);
        word_ = drawn;
        wasChanged_ = false;
        if (ok && changes) {
            drawn_.resize(qsizetype(size_));
            std::memcpy(static_cast<void *>(drawn_.data()), buffer_.data(), size_ * sizeof(char16_t));
            changed_.resize(qsizetype(size_));
            std::memcpy(static_cast<void *>(changed_.data()), buffer_.data(), size_ * sizeof(char16_t));
            // A word the changes make too long is refused as any other.
            ok = changes->apply(changed_, nullptr, &random) && !rejected(changed_);
            wasChanged_ = changed_ != drawn_;
            word_ = changed_;
        }
        if (ok && filter)
            ok = filter->accepts(word_);
        if (ok) {
            boundariesReady_ = false;
            return true;
        }
        if (++refused >= kMaxRefusedDraws)
            return false;
    }
}

const std::vector<qsizetype> &WordGenerator::boundaries()
{
    if (boundariesReady_)
        return boundaries_;
    boundariesReady_ = true;
    boundaries_.clear();
    std::vector<qsizetype> at = drawnBoundaries_;
    if (wasChanged_) {
        // Where each position of the drawn word lands in the changed one, by
        // the alignment of fewest edits (words are short: m * n steps).
        const QStringView a(drawn_);
        const QStringView b(changed_);
        const auto m = std::size_t(a.size());
        const auto n = std::size_t(b.size());
        std::vector<std::uint32_t> cost((m + 1) * (n + 1));
        const auto c = [&](std::size_t i, std::size_t j) -> std::uint32_t & { return cost[i * (n + 1) + j]; };
        for (std::size_t i = 0; i <= m; ++i)
            c(i, 0) = std::uint32_t(i);
        for (std::size_t j = 0; j <= n; ++j)
            c(0, j) = std::uint32_t(j);
        for (std::size_t i = 1; i <= m; ++i) {
            for (std::size_t j = 1; j <= n; ++j)
                c(i, j) =
                    std::min({c(i - 1, j) + 1, c(i, j - 1) + 1, c(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)});
        }
        std::vector<qsizetype> landing(m + 1, -1);
        std::size_t i = m;
        std::size_t j = n;
        while (true) {
            if (landing[i] < 0)
                landing[i] = qsizetype(j);
            if (i == 0 && j == 0)
                break;
            if (i > 0 && j > 0 && c(i, j) == c(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)) {
                --i;
                --j;
            } else if (i > 0 && c(i, j) == c(i - 1, j) + 1) {
                --i;
            } else {
                --j;
            }
        }
        for (qsizetype &boundary : at)
            boundary = landing[std::size_t(boundary)];
    }
    for (qsizetype boundary : at) {
        if (boundary > 0 && boundary < word_.size() && (boundaries_.empty() || boundary > boundaries_.back()))
            boundaries_.push_back(boundary);
    }
    return boundaries_;
}

QString WordGenerator::syllabified()
{
    QString text;
    text.reserve(word_.size() + qsizetype(boundaries().size()));
    qsizetype from = 0;
    for (qsizetype boundary : boundaries_) {
        text += word_.sliced(from, boundary - from);
        text += u'.';
        from = boundary;
    }
    text += word_.sliced(from);
    return text;
}

} // namespace vordane
