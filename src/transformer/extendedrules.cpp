#include "transformer/extendedrules.h"

#include "common/messages.h"
#include "common/randomsource.h"
#include "notation/compiledrules.h"
#include "notation/parser.h"
#include "transformer/ruleorder.h"
#include "transformer/wordtext.h"

#include <algorithm>
#include <array>
#include <unordered_set>
#include <utility>

namespace vordane {

using wordtext::characterMask;
using wordtext::characters;
using wordtext::nextCharacter;
using wordtext::textAt;

namespace {

// A part of a rule may hold this many categories (each one is a level of the
// search that matches it).
constexpr int kMaxCategoriesPerPart = 256;

bool isCategoryName(char16_t c)
{
    return c >= u'A' && c <= u'Z';
}

bool isBlank(QStringView line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' '; });
}

// The first character that is not a space, or 0.
char16_t firstNonSpace(QStringView line, qsizetype *at = nullptr)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) != u' ') {
            if (at)
                *at = i;
            return line.at(i).unicode();
        }
    }
    return 0;
}

bool isComment(const QString &line)
{
    return isBlank(line) || firstNonSpace(line) == u';';
}

// "X=..." (spaces do not count).
bool isDefinition(const QString &line)
{
    qsizetype at = 0;
    if (!isCategoryName(firstNonSpace(line, &at)))
        return false;
    return firstNonSpace(QStringView(line).sliced(at + 1)) == u'=';
}

// Failed places of a search, forgotten at the start of the next one: a place
// that failed once fails again, which keeps a search over categories whose
// members have different lengths polynomial.
class Memo {
public:
    void start(qsizetype origin, std::size_t levels, qsizetype span)
    {
        origin_ = origin;
        span_ = span + 1;
        const auto cells = std::size_t(span_) * (levels + 1);
        large_ = cells > (std::size_t(1) << 16);
        if (large_) {
            failedLarge_.clear();
            return;
        }
        if (stamps_.size() < cells)
            stamps_.assign(cells, 0);
        if (++generation_ == 0) {
            std::fill(stamps_.begin(), stamps_.end(), 0);
            generation_ = 1;
        }
    }
    bool failed(std::size_t level, qsizetype position) const
    {
        const std::size_t key = cell(level, position);
        return large_ ? failedLarge_.count(key) != 0 : stamps_[key] == generation_;
    }
    void fail(std::size_t level, qsizetype position)
    {
        const std::size_t key = cell(level, position);
        if (large_)
            failedLarge_.insert(key);
        else
            stamps_[key] = generation_;
    }

private:
    std::size_t cell(std::size_t level, qsizetype position) const
    {
        const qsizetype offset = position >= origin_ ? position - origin_ : origin_ - position;
        return level * std::size_t(span_) + std::size_t(offset);
    }

    qsizetype origin_ = 0;
    qsizetype span_ = 1;
    bool large_ = false;
    std::vector<std::uint32_t> stamps_;
    std::uint32_t generation_ = 0;
    std::unordered_set<std::size_t> failedLarge_;
};

// Buffers reused from word to word by the thread that runs the rules.
struct Scratch {
    std::array<Memo, 3> memos; // target, left side, right side
};

Scratch &scratch()
{
    thread_local Scratch buffers;
    return buffers;
}

} // namespace

struct ExtendedRules::Category {
    std::vector<QString> members; // as written: their indices pair categories
    std::vector<int> longestFirst; // member indices, the longest first, the first written among equals
    std::uint64_t firstMask = 0; // characterMask() of the members' first characters
    qsizetype shortest = 0;
    qsizetype longest = 0;
    // When every member is one character: the index of the first member that
    // is a character, -1 for none (below 256 by table, above by search).
    bool single = false;
    std::array<int, 256> low{};
    std::vector<std::pair<char16_t, int>> high; // sorted by character

    int memberOf(char16_t c) const
    {
        if (c < 256) [[likely]]
            return low[c];
        return highMemberOf(c);
    }
    int highMemberOf(char16_t c) const;

    // The members that begin (end) with a character, the longest first: for
    // a character below 256 a range of a table, for any other every member
    // that begins (ends) with such a character.
    struct Bucket {
        const int *begin;
        const int *end;
    };
    struct Buckets {
        std::vector<int> members;
        std::array<int, 257> start{};
        std::vector<int> high;
        Bucket at(char16_t c) const
        {
            if (c < 256) [[likely]]
                return {members.data() + start[c], members.data() + start[c + 1]};
            return {high.data(), high.data() + high.size()};
        }
    };
    Buckets byFirst;
    Buckets byLast;
};

int ExtendedRules::Category::highMemberOf(char16_t c) const
{
    const auto found = std::lower_bound(high.begin(), high.end(), std::pair<char16_t, int>(c, -1));
    return found != high.end() && found->first == c ? found->second : -1;
}

struct ExtendedRules::Piece {
    int category = -1; // index into categories_, or -1: the literal text
    int slot = -1; // the category's place among the categories of its part
    QString literal;
};

// One step of a stepped sequence: a literal character, or a category.
struct ExtendedRules::Step {
    const Category *category = nullptr; // or the literal character
    char16_t character = 0;
    int slot = -1;

    // Whether a member (the character) can begin with c.
    bool mayBegin(char16_t c) const
    {
        if (!category)
            return c == character;
        if (category->single)
            return category->memberOf(c) >= 0;
        const Category::Bucket bucket = category->byFirst.at(c);
        return bucket.begin != bucket.end;
    }
};

struct ExtendedRules::Sequence {
    std::vector<Piece> pieces;
    qsizetype shortest = 0; // the shortest and longest text it matches
    qsizetype longest = 0;
    int categories = 0;
    // Literal characters and categories, at most one of them with a member
    // longer than one character: matched step by step, trying the members
    // of that one category in turn, without a search. The steps of a
    // sequence with no such category stand one per character.
    bool stepped = false;
    qsizetype multi = -1; // the step of the category with longer members
    std::vector<Step> steps;
    const Step *stepData = nullptr; // steps.data() and steps.size(), at hand
    qsizetype stepCount = 0;
};

struct ExtendedRules::Context {
    bool present = false;
    bool leftEdge = false;
    bool rightEdge = false;
    Sequence left;
    Sequence right;
};

struct ExtendedRules::Rule {
    qsizetype line = 0;
    Sequence target;
    bool atStart = false;
    bool atEnd = false;
    Sequence replacement; // a category piece takes the member of the target's category of the same slot
    Context environment;
    Context exception;
    int percent = 100;
    double chance = 1; // percent / 100
};

// What a word must hold for a rule to match it: every character of `needs`
// (by characterMask()) and, for each of the first categories it needs, one
// of their first characters.
struct ExtendedRules::Prefilter {
    std::uint64_t needs = 0;
    std::array<std::uint64_t, 3> oneOf{}; // 0: a slot no category uses (a category's is never 0)
    int count = 0;

    bool passes(std::uint64_t present) const
    {
        const auto has = [present](std::uint64_t firsts) { return firsts == 0 || (firsts & present) != 0; };
        return (needs & ~present) == 0 && has(oneOf[0]) && has(oneOf[1]) && has(oneOf[2]);
    }
};

namespace {

// Builds the new word of a rule as its matches are found.
class Rewriter {
public:
    Rewriter(const std::vector<ExtendedRules::Category> &categories, const QString &word, qsizetype maxLength)
        : categories_(categories)
        , word_(word)
        , maxLength_(maxLength)
    {
    }

    // The match [start, end) becomes the replacement, its categories taking
    // the members the target's took; false when the word grows too long.
    bool replace(const ExtendedRules::Sequence &replacement, qsizetype start, qsizetype end, const int *members)
    {
        if (!changed_) {
            result_.reserve(word_.size() + 16);
            changed_ = true;
        }
        result_.append(QStringView(word_).sliced(copied_, start - copied_));
        for (const ExtendedRules::Piece &piece : replacement.pieces) {
            if (piece.category < 0)
                result_.append(piece.literal);
            else
                result_.append(categories_[std::size_t(piece.category)].members[std::size_t(members[piece.slot])]);
        }
        copied_ = end;
        return result_.size() + (word_.size() - copied_) <= maxLength_;
    }

    bool changed() const { return changed_; }
    QString finish()
    {
        result_.append(QStringView(word_).sliced(copied_));
        return std::move(result_);
    }

private:
    const std::vector<ExtendedRules::Category> &categories_;
    const QString &word_;
    qsizetype maxLength_;
    QString result_;
    qsizetype copied_ = 0;
    bool changed_ = false;
};

} // namespace

// Reads the lines of a list into categories and rules, recording the first
// fault of every malformed line.
class ExtendedRules::Parser {
public:
    explicit Parser(ExtendedRules &rules)
        : out_(rules)
    {
        named_.fill(-1);
    }

    void line(qsizetype index, const QString &text)
    {
        if (isComment(text))
            return;
        index_ = index;
        text_ = &text;
        failed_ = false;
        if (text == kExtendedMarker) {
            fail(0, messages::rules::kMisplacedMarker);
            return;
        }
        symbols_.clear();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) != u' ')
                symbols_.push_back({text.at(i).unicode(), i});
        }
        if (isDefinition(text))
            definition();
        else
            rule();
    }

private:
    struct Symbol {
        char16_t c;
        qsizetype unit; // its place in the line
    };

    // Records the line's fault at a unit of the line; the first fault counts.
    void fail(qsizetype unit, const QString &reason)
    {
        if (failed_)
            return;
        failed_ = true;
        // Positions count characters: a surrogate pair is one.
        qsizetype position = 1;
        const QString &text = *text_;
        for (qsizetype i = 0; i < unit && i < text.size(); i = nextCharacter(characters(text), text.size(), i))
            ++position;
        out_.errors_.append({index_, position, reason, text});
    }
    // The unit of the symbol at `at`, or the end of the line past the last one.
    qsizetype unitAt(qsizetype at) const
    {
        return at < qsizetype(symbols_.size()) ? symbols_[std::size_t(at)].unit : text_->size();
    }
    char16_t symbol(qsizetype at) const { return symbols_[std::size_t(at)].c; }
    qsizetype find(char16_t c, qsizetype from, qsizetype to) const
    {
        for (qsizetype i = from; i < to; ++i) {
            if (symbol(i) == c)
                return i;
        }
        return -1;
    }

    int named(char16_t c) const { return isCategoryName(c) ? named_[std::size_t(c - u'A')] : -1; }

    void definition()
    {
        const char16_t name = symbol(0);
        const auto end = qsizetype(symbols_.size());
        Category category;
        if (end == 2) {
            fail(unitAt(1), messages::rules::noMembers(QChar(name)));
            return;
        }
        for (qsizetype from = 2; from <= end;) {
            qsizetype to = find(u',', from, end);
            if (to < 0)
                to = end;
            if (to == from) {
                fail(unitAt(from), messages::rules::emptyMember(QChar(name)));
                return;
            }
            QString member;
            for (qsizetype i = from; i < to; ++i) {
                const char16_t c = symbol(i);
                if (c == u'>' || c == u'/' || c == u'_' || c == u'#' || c == u'?' || c == u'=') {
                    fail(unitAt(i), messages::rules::reservedInMember(QChar(c)));
                    return;
                }
                member += QChar(c);
            }
            const int earlier = to - from == 1 ? named(symbol(from)) : -1;
            if (earlier >= 0) {
                const std::vector<QString> &members = out_.categories_[std::size_t(earlier)].members;
                category.members.insert(category.members.end(), members.begin(), members.end());
            } else {
                category.members.push_back(std::move(member));
            }
            from = to + 1;
        }
        const auto count = int(category.members.size());
        category.shortest = category.members.front().size();
        for (int i = 0; i < count; ++i) {
            const QString &member = category.members[std::size_t(i)];
            category.longestFirst.push_back(i);
            category.firstMask |= characterMask(QStringView(member).first(1));
            category.shortest = std::min(category.shortest, member.size());
            category.longest = std::max(category.longest, member.size());
        }
        std::stable_sort(category.longestFirst.begin(), category.longestFirst.end(), [&](int a, int b) {
            return category.members[std::size_t(a)].size() > category.members[std::size_t(b)].size();
        });
        bucket(category, category.byFirst, [](const QString &member) { return member.front(); });
        bucket(category, category.byLast, [](const QString &member) { return member.back(); });
        category.single = category.longest == 1;
        if (category.single) {
            category.low.fill(-1);
            for (int i = count - 1; i >= 0; --i) { // the first written wins
                const char16_t c = category.members[std::size_t(i)].at(0).unicode();
                if (c < 256)
                    category.low[c] = i;
                else
                    category.high.emplace_back(c, i);
            }
            std::stable_sort(category.high.begin(), category.high.end(),
                             [](const auto &a, const auto &b) { return a.first < b.first; });
            category.high.erase(std::unique(category.high.begin(), category.high.end(),
                                            [](const auto &a, const auto &b) { return a.first == b.first; }),
                                category.high.end());
        }
        named_[std::size_t(name - u'A')] = int(out_.categories_.size());
        out_.categories_.push_back(std::move(category));
    }

    // Groups the members by a character of theirs, each group longest first.
    template <typename Key> static void bucket(Category &category, Category::Buckets &buckets, Key key)
    {
        std::array<int, 257> counts{};
        for (const int member : category.longestFirst) {
            const char16_t c = key(category.members[std::size_t(member)]).unicode();
            if (c < 256)
                ++counts[c + 1];
            else
                buckets.high.push_back(member);
        }
        for (std::size_t c = 1; c < counts.size(); ++c)
            counts[c] += counts[c - 1];
        buckets.start = counts;
        buckets.members.resize(std::size_t(counts[256]));
        for (const int member : category.longestFirst) {
            const char16_t c = key(category.members[std::size_t(member)]).unicode();
            if (c < 256)
                buckets.members[std::size_t(counts[c]++)] = member;
        }
    }

    // Literals and categories of symbols [from, to); false after a fault.
    bool sequence(qsizetype from, qsizetype to, Sequence &out)
    {
        for (qsizetype i = from; i < to; ++i) {
            const char16_t c = symbol(i);
            if (c == u'_') {
                fail(unitAt(i), messages::rules::kPlaceOutsideContext);
                return false;
            }
            if (const int category = named(c); category >= 0) {
                if (out.categories == kMaxCategoriesPerPart) {
                    fail(unitAt(i), messages::rules::kTooManyCategories);
                    return false;
                }
                const Category &members = out_.categories_[std::size_t(category)];
                out.pieces.push_back({category, out.categories++, QString()});
                out.shortest += members.shortest;
                out.longest += members.longest;
                continue;
            }
            if (out.pieces.empty() || out.pieces.back().category >= 0)
                out.pieces.push_back({});
            out.pieces.back().literal += QChar(c);
            ++out.shortest;
            ++out.longest;
        }
        return true;
    }

    // "left_right", "#" first or last for the word's edge.
    bool context(qsizetype from, qsizetype to, qsizetype introducer, Context &out, const QString &withoutPlace)
    {
        out.present = true;
        const qsizetype place = find(u'_', from, to);
        if (place < 0) {
            fail(unitAt(introducer), withoutPlace);
            return false;
        }
        if (const qsizetype second = find(u'_', place + 1, to); second >= 0) {
            fail(unitAt(second), messages::rules::kSecondPlace);
            return false;
        }
        qsizetype leftFrom = from;
        qsizetype rightTo = to;
        if (leftFrom < place && symbol(leftFrom) == u'#') {
            out.leftEdge = true;
            ++leftFrom;
        }
        if (place + 1 < rightTo && symbol(rightTo - 1) == u'#') {
            out.rightEdge = true;
            --rightTo;
        }
        for (qsizetype i = leftFrom; i < rightTo; ++i) {
            if (symbol(i) == u'#') {
                fail(unitAt(i), messages::rules::kMarkInContext);
                return false;
            }
        }
        return sequence(leftFrom, place, out.left) && sequence(place + 1, rightTo, out.right);
    }

    void rule()
    {
        Rule rule;
        rule.line = index_;
        auto end = qsizetype(symbols_.size());

        // "?N" at the end.
        if (const qsizetype chance = find(u'?', 0, end); chance >= 0) {
            int percent = 0;
            bool digits = chance + 1 < end && end - chance - 1 <= 3;
            for (qsizetype i = chance + 1; digits && i < end; ++i) {
                digits = symbol(i) >= u'0' && symbol(i) <= u'9';
                percent = percent * 10 + (symbol(i) - u'0');
            }
            if (!digits || percent < 1 || percent > 100) {
                fail(unitAt(chance), messages::rules::kBadChance);
                return;
            }
            rule.percent = percent;
            rule.chance = percent / 100.0;
            end = chance;
        }

        const qsizetype arrow = find(u'>', 0, end);
        if (arrow < 0) {
            fail(text_->size(), messages::rules::kMissingArrow);
            return;
        }
        if (const qsizetype second = find(u'>', arrow + 1, end); second >= 0) {
            fail(unitAt(second), messages::rules::kSecondArrow);
            return;
        }

        // SUSTITUTO[/ENTORNO][//EXCEPCION]
        qsizetype replacementTo = end;
        qsizetype environmentFrom = -1;
        qsizetype environmentTo = -1;
        qsizetype exceptionFrom = -1;
        const qsizetype slash = find(u'/', arrow + 1, end);
        const auto doubleSlash = [&](qsizetype from) {
            for (qsizetype i = from; i + 1 < end; ++i) {
                if (symbol(i) == u'/' && symbol(i + 1) == u'/')
                    return i;
            }
            return qsizetype(-1);
        };
        if (slash >= 0) {
            replacementTo = slash;
            if (slash + 1 < end && symbol(slash + 1) == u'/') {
                exceptionFrom = slash + 2;
            } else {
                environmentFrom = slash + 1;
                const qsizetype exception = doubleSlash(environmentFrom);
                environmentTo = exception < 0 ? end : exception;
                if (exception >= 0)
                    exceptionFrom = exception + 2;
            }
            const qsizetype extra = std::max(environmentFrom >= 0 ? find(u'/', environmentFrom, environmentTo) : -1,
                                             exceptionFrom >= 0 ? find(u'/', exceptionFrom, end) : -1);
            if (extra >= 0) {
                fail(unitAt(extra), messages::rules::kExtraSlash);
                return;
            }
        }

        // OBJETIVO, "#" first or last tying it to the word's edge.
        qsizetype targetFrom = 0;
        qsizetype targetTo = arrow;
        if (targetFrom < targetTo && symbol(targetFrom) == u'#') {
            rule.atStart = true;
            ++targetFrom;
        }
        if (targetFrom < targetTo && symbol(targetTo - 1) == u'#') {
            rule.atEnd = true;
            --targetTo;
        }
        if (const qsizetype mark = find(u'#', targetFrom, targetTo); mark >= 0) {
            fail(unitAt(mark), messages::rules::kMarkInTarget);
            return;
        }
        if (!sequence(targetFrom, targetTo, rule.target))
            return;

        // SUSTITUTO, with the target's marks ("#" alone is either).
        qsizetype replacementFrom = arrow + 1;
        if (rule.atStart && replacementFrom < replacementTo) {
            if (symbol(replacementFrom) != u'#') {
                fail(unitAt(replacementFrom), messages::rules::kInitialMarkMissing);
                return;
            }
            ++replacementFrom;
        }
        if (rule.atEnd && replacementFrom < replacementTo) {
            if (symbol(replacementTo - 1) != u'#') {
                fail(unitAt(replacementTo - 1), messages::rules::kFinalMarkMissing);
                return;
            }
            --replacementTo;
        }
        if (const qsizetype mark = find(u'#', replacementFrom, replacementTo); mark >= 0) {
            fail(unitAt(mark),
                 mark == replacementFrom         ? messages::rules::kInitialMarkUnpaired
                     : mark == replacementTo - 1 ? messages::rules::kFinalMarkUnpaired
                                                 : messages::rules::kMarkInReplacement);
            return;
        }
        if (!sequence(replacementFrom, replacementTo, rule.replacement) || !pairCategories(rule, replacementFrom))
            return;

        if (environmentFrom >= 0
            && !context(environmentFrom, environmentTo, environmentFrom - 1, rule.environment,
                        messages::rules::kEnvironmentWithoutPlace))
            return;
        if (exceptionFrom >= 0
            && !context(exceptionFrom, end, exceptionFrom - 2, rule.exception, messages::rules::kExceptionWithoutPlace))
            return;
        if (rule.target.pieces.empty() && !rule.atStart && !rule.atEnd && !rule.environment.present) {
            fail(unitAt(arrow), messages::rules::kInsertionWithoutContext);
            return;
        }

        if (out_.rules_.size() >= std::size_t(kMaxExtendedRules)) {
            if (!tooMany_)
                fail(0, messages::rules::tooManyRules(kMaxExtendedRules));
            tooMany_ = true;
            return;
        }
        out_.prefilters_.push_back(requirements(rule));
        out_.sporadic_ = out_.sporadic_ || rule.percent < 100;
        out_.rules_.push_back(std::move(rule));
    }

    // The k-th category of the replacement and the k-th of the target.
    bool pairCategories(const Rule &rule, qsizetype replacementFrom)
    {
        std::vector<const Piece *> targets;
        for (const Piece &piece : rule.target.pieces) {
            if (piece.category >= 0)
                targets.push_back(&piece);
        }
        // Symbols and pieces of the replacement run in step: find each category's symbol for its position.
        qsizetype at = replacementFrom;
        for (const Piece &piece : rule.replacement.pieces) {
            if (piece.category < 0) {
                at += piece.literal.size();
                continue;
            }
            const QChar name(symbol(at));
            if (std::size_t(piece.slot) >= targets.size()) {
                fail(unitAt(at), messages::rules::unpairedCategory(name));
                return false;
            }
            const Piece &partner = *targets[std::size_t(piece.slot)];
            const std::size_t size = out_.categories_[std::size_t(piece.category)].members.size();
            const std::size_t partnerSize = out_.categories_[std::size_t(partner.category)].members.size();
            if (size != partnerSize) {
                fail(unitAt(at),
                     messages::rules::categorySizes(name, qsizetype(size), partnerName(rule, partner),
                                                    qsizetype(partnerSize)));
                return false;
            }
            ++at;
        }
        return true;
    }

    // The letter that named a category piece of the target.
    QChar partnerName(const Rule &rule, const Piece &partner) const
    {
        qsizetype at = rule.atStart ? 1 : 0;
        for (const Piece &piece : rule.target.pieces) {
            if (&piece == &partner)
                return QChar(symbol(at));
            at += piece.category >= 0 ? 1 : piece.literal.size();
        }
        return QChar(u'?');
    }

    Prefilter requirements(const Rule &rule) const
    {
        Prefilter filter;
        const auto add = [&](const Sequence &sequence) {
            for (const Piece &piece : sequence.pieces) {
                if (piece.category < 0)
                    filter.needs |= characterMask(piece.literal);
                else if (filter.count < int(filter.oneOf.size()))
                    filter.oneOf[std::size_t(filter.count++)] = out_.categories_[std::size_t(piece.category)].firstMask;
            }
        };
        add(rule.target);
        add(rule.environment.left);
        add(rule.environment.right);
        return filter;
    }

    ExtendedRules &out_;
    std::array<int, 26> named_{};
    qsizetype index_ = 0;
    const QString *text_ = nullptr;
    bool failed_ = false;
    bool tooMany_ = false;
    std::vector<Symbol> symbols_;
};

// Finds where a rule matches one word.
class ExtendedRules::Matcher {
public:
    Matcher(const std::vector<Category> &categories, std::array<Memo, 3> &memos)
        : categories_(categories)
        , memos_(memos)
    {
    }

    void setWord(const QString &word)
    {
        word_ = characters(word);
        size_ = word.size();
    }

    // Whether the target can begin at `at` (its first character, at least).
    bool mayStartAt(const Rule &rule, qsizetype at) const
    {
        const Sequence &target = rule.target;
        if (target.pieces.empty())
            return true;
        if (at >= size_)
            return false;
        const Piece &first = target.pieces.front();
        if (first.category < 0)
            return word_[at] == first.literal.at(0).unicode();
        return (categories_[std::size_t(first.category)].firstMask >> (word_[at] & 63)) & 1;
    }

    // Whether the rule applies with its target at `at`; then `end` is where
    // the target ends and members[k] the member its k-th category took.
    Q_ALWAYS_INLINE bool matchTarget(const Rule &rule, qsizetype at, int *members, qsizetype &end)
    {
        const TargetEnd leaf{*this, rule, at, end};
        if (rule.target.stepped)
            return steppedForward(rule.target, at, members, leaf);
        return forward(rule.target, 0, at, members, memo(0, rule.target, at), leaf);
    }

    // Whether a target of single characters stands at `at`, its first
    // character already known to fit; then members[k] is the member its k-th
    // category took.
    Q_ALWAYS_INLINE bool restOfStepsAt(const Sequence &target, qsizetype at, int *members) const
    {
        const qsizetype count = target.stepCount;
        return count <= size_ - at && stepsAt(target.stepData + 1, count - 1, at + 1, members);
    }

    // Whether the place [start, end) of a match suits the rule: the word's
    // end where the target asks for it, the environment, not the exception.
    Q_ALWAYS_INLINE bool placeFits(const Rule &rule, qsizetype start, qsizetype end)
    {
        if (rule.atEnd && end != size_)
            return false;
        if (rule.environment.present && !fits(rule.environment, start, end))
            return false;
        return !rule.exception.present || !fits(rule.exception, start, end);
    }

private:
    // Where a target may end: where the place suits the rule (then kept in `end`).
    struct TargetEnd {
        Matcher &matcher;
        const Rule &rule;
        qsizetype start;
        qsizetype &end;
        Q_ALWAYS_INLINE bool operator()(qsizetype to) const
        {
            if (!matcher.placeFits(rule, start, to))
                return false;
            end = to;
            return true;
        }
    };
    // Where the right side of a context may end: anywhere, or at the word's end.
    struct RightEnd {
        bool edge;
        qsizetype size;
        Q_ALWAYS_INLINE bool operator()(qsizetype to) const { return !edge || to == size; }
    };

    // Whether `count` steps stand at `at` (known to fit in the word).
    Q_ALWAYS_INLINE bool stepsAt(const Step *steps, qsizetype count, qsizetype at, int *members) const
    {
        for (qsizetype k = 0; k < count; ++k) {
            const Step &step = steps[k];
            const char16_t c = word_[at + k];
            if (!step.category) {
                if (c != step.character)
                    return false;
                continue;
            }
            const int member = step.category->memberOf(c);
            if (member < 0)
                return false;
            if (members && step.slot >= 0)
                members[step.slot] = member;
        }
        return true;
    }

    Q_ALWAYS_INLINE Memo *memo(std::size_t which, const Sequence &sequence, qsizetype origin)
    {
        // Without two categories the search never branches twice: nothing to remember.
        if (sequence.categories < 2)
            return nullptr;
        memos_[which].start(origin, sequence.pieces.size(), sequence.longest);
        return &memos_[which];
    }

    Q_ALWAYS_INLINE bool fits(const Context &context, qsizetype start, qsizetype end)
    {
        const Sequence &left = context.left;
        if (left.stepped ? !steppedBackward(left, start, context.leftEdge)
                         : !backward(left, left.pieces.size(), start, context.leftEdge, memo(1, left, start)))
            return false;
        const Sequence &right = context.right;
        const RightEnd leaf{context.rightEdge, size_};
        if (right.stepped)
            return steppedForward(right, end, nullptr, leaf);
        return forward(right, 0, end, nullptr, memo(2, right, end), leaf);
    }

    // A stepped sequence from `at` on, then the leaf where it ends; with a
    // category of longer members, its members in turn, the longest first.
    template <typename Leaf>
    Q_ALWAYS_INLINE bool steppedForward(const Sequence &sequence, qsizetype at, int *members, const Leaf &leaf)
    {
        const Step *steps = sequence.stepData;
        const qsizetype count = sequence.stepCount;
        const qsizetype multi = sequence.multi;
        if (multi < 0)
            return count <= size_ - at && stepsAt(steps, count, at, members) && leaf(at + count);
        const qsizetype place = at + multi;
        if (place >= size_ || !stepsAt(steps, multi, at, members))
            return false;
        const Step &step = steps[multi];
        const qsizetype rest = count - multi - 1;
        const Category::Bucket candidates = step.category->byFirst.at(word_[place]);
        for (const int *member = candidates.begin; member != candidates.end; ++member) {
            const QString &text = step.category->members[std::size_t(*member)];
            const qsizetype after = place + text.size();
            if (!textAt(word_, size_, place, text) || rest > size_ - after
                || !stepsAt(steps + multi + 1, rest, after, members))
                continue;
            if (members && step.slot >= 0)
                members[step.slot] = *member;
            if (leaf(after + rest))
                return true;
        }
        return false;
    }

    // Whether a stepped sequence ends at `at`, beginning at the word's start
    // when `edge` is set.
    Q_ALWAYS_INLINE bool steppedBackward(const Sequence &sequence, qsizetype at, bool edge) const
    {
        const Step *steps = sequence.stepData;
        const qsizetype count = sequence.stepCount;
        const qsizetype multi = sequence.multi;
        if (multi < 0)
            return count <= at && (!edge || count == at) && stepsAt(steps, count, at - count, nullptr);
        const qsizetype rest = count - multi - 1;
        if (rest > at || !stepsAt(steps + multi + 1, rest, at - rest, nullptr))
            return false;
        const qsizetype end = at - rest; // where the member of the category ends
        if (end <= multi)
            return false;
        const Step &step = steps[multi];
        const Category::Bucket candidates = step.category->byLast.at(word_[end - 1]);
        for (const int *member = candidates.begin; member != candidates.end; ++member) {
            const QString &text = step.category->members[std::size_t(*member)];
            const qsizetype start = end - text.size();
            if (start >= multi && (!edge || start == multi) && textAt(word_, size_, start, text)
                && stepsAt(steps, multi, start - multi, nullptr))
                return true;
        }
        return false;
    }

    template <typename Leaf>
    bool forward(const Sequence &sequence, std::size_t level, qsizetype at, int *members, Memo *memo, const Leaf &leaf)
    {
        if (level == sequence.pieces.size())
            return leaf(at);
        if (memo && memo->failed(level, at))
            return false;
        const Piece &piece = sequence.pieces[level];
        if (piece.category < 0) {
            if (textAt(word_, size_, at, piece.literal)
                && forward(sequence, level + 1, at + piece.literal.size(), members, memo, leaf))
                return true;
        } else if (at < size_) {
            const Category &category = categories_[std::size_t(piece.category)];
            const Category::Bucket candidates = category.byFirst.at(word_[at]);
            for (const int *member = candidates.begin; member != candidates.end; ++member) {
                const QString &text = category.members[std::size_t(*member)];
                if (!textAt(word_, size_, at, text))
                    continue;
                if (members)
                    members[piece.slot] = *member;
                if (forward(sequence, level + 1, at + text.size(), members, memo, leaf))
                    return true;
            }
        }
        if (memo)
            memo->fail(level, at);
        return false;
    }

    // Whether the first `level` pieces end at `at`, the first at the word's
    // start when `edge` is set.
    bool backward(const Sequence &sequence, std::size_t level, qsizetype at, bool edge, Memo *memo)
    {
        if (level == 0)
            return !edge || at == 0;
        if (memo && memo->failed(level, at))
            return false;
        const Piece &piece = sequence.pieces[level - 1];
        if (piece.category < 0) {
            const qsizetype from = at - piece.literal.size();
            if (textAt(word_, size_, from, piece.literal) && backward(sequence, level - 1, from, edge, memo))
                return true;
        } else if (at > 0) {
            const Category &category = categories_[std::size_t(piece.category)];
            const Category::Bucket candidates = category.byLast.at(word_[at - 1]);
            for (const int *member = candidates.begin; member != candidates.end; ++member) {
                const QString &text = category.members[std::size_t(*member)];
                const qsizetype from = at - text.size();
                if (textAt(word_, size_, from, text) && backward(sequence, level - 1, from, edge, memo))
                    return true;
            }
        }
        if (memo)
            memo->fail(level, at);
        return false;
    }

    const std::vector<Category> &categories_;
    std::array<Memo, 3> &memos_;
    const char16_t *word_ = nullptr;
    qsizetype size_ = 0;
};

bool isExtendedList(const QStringList &items)
{
    return !items.isEmpty() && items.constFirst() == kExtendedMarker;
}

namespace {

// Whether a list uses any element beyond the first extended notation: a
// directive, or a character that has a meaning only since.
bool usesGrownNotation(const QStringList &lines)
{
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        qsizetype first = 0;
        while (first < line.size() && line.at(first) == u' ')
            ++first;
        if (first == line.size() || line.at(first) == u';')
            continue;
        // Stages only divide the list: its rules run as they would without them.
        if (notation::isStageLine(line))
            continue;
        if (line.at(first) == u'@')
            return true;
        const bool definition = isDefinition(line);
        for (const QChar c : line) {
            switch (c.unicode()) {
            case u'[': case u']': case u'(': case u')': case u'*': case u'+': case u'!': case u'$': case u'{':
            case u'}': case u'&': case u'|': case u'\\': case u'\u2026': case u'.':
                return true;
            case u',': case u'=':
                if (!definition)
                    return true;
                break;
            default:
                break;
            }
        }
    }
    return false;
}

// Whether a word holds only characters below the combining marks and no
// space: there the first notation's tables and the general rules agree.
bool isPlainWord(const QString &word)
{
    return std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x300 && c != u' '; });
}

} // namespace

bool hasMisplacedMarker(const QStringList &items)
{
    return items.indexOf(kExtendedMarker, 1) > 0;
}

QList<RuleError> misplacedMarkers(const QStringList &items)
{
    QList<RuleError> errors;
    for (qsizetype i = items.indexOf(kExtendedMarker, 1); i > 0; i = items.indexOf(kExtendedMarker, i + 1))
        errors.append({i, 1, messages::rules::kMisplacedMarker, items.at(i)});
    return errors;
}

ExtendedRules::ExtendedRules(const QStringList &lines)
{
    // The general parser decides what a list says. A list within the first
    // notation is also read into the tables, which report its faults as
    // they always did.
    notation::ParsedList parsed = notation::parseList(lines);
    const bool grown = usesGrownNotation(lines);
    if (!grown) {
        Parser parser(*this);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (!notation::isStageLine(lines.at(i)))
                parser.line(i, lines.at(i));
        }
    }
    stages_ = parsed.stages;
    if (!parsed.errors.isEmpty()) {
        if (grown || errors_.isEmpty())
            errors_ = parsed.errors;
        return;
    }
    basic_ = !grown && parsed.basic && errors_.isEmpty();
    errors_.clear();
    general_ = std::make_unique<const notation::CompiledRules>(std::move(parsed));
    if (!basic_) {
        categories_.clear();
        rules_.clear();
        prefilters_.clear();
        return;
    }

    // With every category known, sequences with at most one category of
    // longer members become steps.
    const auto compile = [this](Sequence &sequence) {
        const auto longer = std::count_if(sequence.pieces.begin(), sequence.pieces.end(), [this](const Piece &piece) {
            return piece.category >= 0 && !categories_[std::size_t(piece.category)].single;
        });
        sequence.stepped = longer <= 1;
        if (!sequence.stepped)
            return;
        for (const Piece &piece : sequence.pieces) {
            if (piece.category >= 0) {
                const Category &category = categories_[std::size_t(piece.category)];
                if (!category.single)
                    sequence.multi = qsizetype(sequence.steps.size());
                sequence.steps.push_back({&category, 0, piece.slot});
                continue;
            }
            for (const QChar c : piece.literal)
                sequence.steps.push_back({nullptr, c.unicode(), -1});
        }
        sequence.stepData = sequence.steps.data();
        sequence.stepCount = qsizetype(sequence.steps.size());
    };
    for (Rule &rule : rules_) {
        compile(rule.target);
        for (Context *context : {&rule.environment, &rule.exception}) {
            compile(context->left);
            compile(context->right);
        }
    }
}

ExtendedRules::~ExtendedRules() = default;

qsizetype ExtendedRules::size() const
{
    if (basic_)
        return qsizetype(rules_.size());
    return general_ ? general_->size() : 0;
}

qsizetype ExtendedRules::lineOf(qsizetype rule) const
{
    return basic_ ? rules_[std::size_t(rule)].line : general_->lineOf(rule);
}

bool ExtendedRules::hasSporadicRules() const
{
    return basic_ ? sporadic_ : general_ && general_->hasSporadicRules();
}

bool ExtendedRules::hasRepeatedRules() const
{
    return general_ && general_->hasRepeatedRules();
}

bool ExtendedRules::isRuleLine(const QString &line)
{
    return notation::isRuleLine(line);
}

Q_ALWAYS_INLINE RuleEffect ExtendedRules::applyRule(const Rule &rule, Matcher &matcher, QString &word, QString *before,
                                                    RandomSource *random, qsizetype maxLength) const
{
    std::array<int, kMaxCategoriesPerPart> members;
    const char16_t *w = characters(word);
    const qsizetype n = word.size();
    // Every match, left to right and without overlaps, is found on the word
    // as it stands; the new word is built in the same pass. A sporadic rule
    // changes each match with its chance: one draw per match.
    Rewriter rewriter(categories_, word, maxLength);
    const double chance = rule.chance;
    const auto take = [&](qsizetype start, qsizetype end) {
        return (rule.percent < 100 && random->nextUnit() >= chance)
            || rewriter.replace(rule.replacement, start, end, members.data());
    };
    // The last place a match may begin: a target tied to the start begins there or nowhere.
    qsizetype last = std::min(n - rule.target.shortest, rule.atStart ? qsizetype(0) : n);
    qsizetype at = rule.atEnd && !rule.atStart && n > rule.target.longest ? n - rule.target.longest : 0;
    if (rule.target.stepped && rule.target.multi < 0 && rule.target.stepCount > 0) {
        // The most common case, kept tightest: a target of single characters.
        // It begins with a whole character, never inside a surrogate pair.
        const Step first = *rule.target.stepData;
        const qsizetype count = rule.target.stepCount;
        for (; at <= last; ++at) {
            const char16_t c = w[at];
            if (first.category) {
                const int member = first.category->memberOf(c);
                if (member < 0)
                    continue;
                if (first.slot >= 0)
                    members[std::size_t(first.slot)] = member;
            } else if (c != first.character) {
                continue;
            }
            if ((count > 1 && !matcher.restOfStepsAt(rule.target, at, members.data()))
                || !matcher.placeFits(rule, at, at + count))
                continue;
            if (!take(at, at + count))
                return RuleEffect::TooLong;
            at += count - 1;
        }
    } else if (rule.target.stepped && rule.target.stepCount > 0) {
        // A target with one category of longer members.
        const Step first = *rule.target.stepData;
        for (; at <= last; ++at) {
            if (!first.mayBegin(w[at]))
                continue;
            qsizetype end = at;
            if (!matcher.matchTarget(rule, at, members.data(), end))
                continue;
            if (!take(at, end))
                return RuleEffect::TooLong;
            at = end - 1;
        }
    } else {
        // An insertion stands between characters, never inside a surrogate
        // pair; one tied to an edge of the word by a fixed environment has
        // one place only.
        const bool insertion = rule.target.pieces.empty();
        if (insertion && rule.environment.present) {
            const Context &environment = rule.environment;
            if (environment.leftEdge && environment.left.stepped && environment.left.multi < 0)
                at = last = std::min(last, environment.left.stepCount);
            else if (environment.rightEdge && environment.right.stepped && environment.right.multi < 0)
                at = last = std::max(qsizetype(0), n - environment.right.stepCount);
        }
        while (at <= last) {
            qsizetype end = at;
            if (!matcher.mayStartAt(rule, at) || !matcher.matchTarget(rule, at, members.data(), end)) {
                at = insertion ? nextCharacter(w, n, at) : at + 1;
                continue;
            }
            if (!take(at, end))
                return RuleEffect::TooLong;
            at = end > at ? end : nextCharacter(w, n, at);
        }
    }
    if (!rewriter.changed())
        return RuleEffect::Unchanged;
    QString result = rewriter.finish();
    if (before)
        *before = std::move(word);
    word = std::move(result);
    return RuleEffect::Changed;
}

QString ExtendedRules::syllabified(const QString &word, RuleObserver *observer) const
{
    return general_ && errors_.isEmpty() ? general_->syllabified(word, observer) : word;
}

QString ExtendedRules::featuresOf(const QString &segment) const
{
    return general_ ? general_->featuresOf(segment) : QString();
}

bool ExtendedRules::apply(QString &word, RuleObserver *observer, RandomSource *random, qsizetype maxLength) const
{
    if (!errors_.isEmpty())
        return true;
    if (!basic_ || !isPlainWord(word))
        return general_->apply(word, observer, random, maxLength);
    Scratch &buffers = scratch();
    Matcher matcher(categories_, buffers.memos);
    return applyInOrder(
        word, observer, rules_.size(),
        [this](std::size_t i, std::uint64_t present) { return prefilters_[i].passes(present); },
        [&](std::size_t i, QString &changed, QString *before) {
            matcher.setWord(changed);
            return applyRule(rules_[i], matcher, changed, before, random, maxLength);
        },
        [this](std::size_t i) { return rules_[i].line; });
}

} // namespace vordane
