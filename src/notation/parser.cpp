#include "notation/parser.h"

#include "notation/linetext.h"

#include "common/featuremessages.h"
#include "common/messages.h"
#include "history/historymessages.h"
#include "notation/program.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <set>

namespace vordane::notation {

namespace msg = messages::rules;
namespace nmsg = messages::notation;
namespace hmsg = messages::history;

namespace {

// Groups and brackets inside one another: deeper is refused, so that no
// pattern makes the parser or the matcher recurse without bound.
constexpr int kMaxDepth = 32;
// A part of a rule may hold this many categories in its index mapping.
constexpr int kMaxSlots = 256;
// An extended list holds at most this many rules.
constexpr qsizetype kMaxRules = 10'000;

constexpr char32_t kEllipsis = 0x2026;

bool isCategoryName(char32_t c)
{
    return c >= U'A' && c <= U'Z';
}

// Characters with a meaning in rule lines; written with "\" they are
// themselves.
bool isSpecial(char32_t c)
{
    switch (c) {
    case U'[': case U']': case U'(': case U')': case U'*': case U'+': case U'!': case U'.': case U'$':
    case U'{': case U'}': case U'&': case U'|': case U'\\': case kEllipsis: case U'#': case U'_': case U'>':
    case U'/': case U'?': case U'=': case U',':
        return true;
    default:
        return false;
    }
}

QString fromCodePoint(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

QStringView trimmedStart(QStringView line, qsizetype *at)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == u' ')
        ++i;
    *at = i;
    return line.sliced(i);
}

bool isComment(const QString &line)
{
    qsizetype at = 0;
    const QStringView rest = trimmedStart(line, &at);
    return rest.isEmpty() || rest.front() == u';';
}

bool isDirective(const QString &line)
{
    qsizetype at = 0;
    const QStringView rest = trimmedStart(line, &at);
    return !rest.isEmpty() && rest.front() == u'@';
}

bool isDefinition(const QString &line)
{
    qsizetype at = 0;
    const QStringView rest = trimmedStart(line, &at);
    if (rest.isEmpty() || !isCategoryName(rest.front().unicode()))
        return false;
    qsizetype after = 0;
    const QStringView value = trimmedStart(rest.sliced(1), &after);
    return !value.isEmpty() && value.front() == u'=';
}

// "@símbolos" and the rest of its line.
QString directiveName(const QString &line, QString *rest)
{
    qsizetype at = 0;
    const QStringView text = trimmedStart(line, &at);
    qsizetype end = 0;
    while (end < text.size() && text.at(end) != u' ')
        ++end;
    if (rest)
        *rest = text.sliced(end).toString();
    return text.first(end).toString();
}

bool isSymbolsDirective(const QString &name)
{
    return plainName(name) == QStringLiteral("@simbolos");
}

bool isStageDirective(const QString &name)
{
    return plainName(name) == QStringLiteral("@etapa");
}

// One character of a line as the parser sees it.
struct Sym {
    char32_t c = 0;
    bool escaped = false;
    qsizetype unit = 0; // where it stands in the line
    bool is(char32_t special) const { return !escaped && c == special; }
};

class LineParser {
public:
    LineParser(ParsedList &out, const std::array<int, 26> &named)
        : out_(out)
        , named_(named)
    {
    }

    // Reads a line's characters; false (and the fault recorded) when a "\"
    // ends it.
    bool read(qsizetype index, const QString &text)
    {
        index_ = index;
        text_ = &text;
        failed_ = false;
        syms_.clear();
        for (qsizetype i = 0; i < text.size();) {
            Sym sym;
            sym.unit = i;
            if (text.at(i) == u'\\') {
                sym.escaped = true;
                if (++i == text.size()) {
                    fail(sym.unit, nmsg::kEscapeAtEnd);
                    return false;
                }
            }
            const QChar c = text.at(i);
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                sym.c = QChar::surrogateToUcs4(c, text.at(i + 1));
                i += 2;
            } else {
                sym.c = c.unicode();
                ++i;
            }
            if (sym.c == U' ' && !sym.escaped)
                continue;
            // "..." is the ellipsis too.
            if (sym.is(U'.') && syms_.size() >= 2 && syms_.back().is(U'.') && syms_[syms_.size() - 2].is(U'.')
                && syms_.back().unit == sym.unit - 1 && syms_[syms_.size() - 2].unit == sym.unit - 2) {
                syms_.pop_back();
                syms_.back().c = kEllipsis;
                continue;
            }
            syms_.push_back(sym);
        }
        return true;
    }

    void definition()
    {
        const char32_t name = syms_[0].c;
        const auto end = qsizetype(syms_.size());
        Category category;
        category.name = fromCodePoint(name);
        if (end == 2) {
            fail(unitAt(1), msg::noMembers(QChar(name)));
            return;
        }
        for (qsizetype from = 2; from <= end;) {
            qsizetype to = from;
            while (to < end && !syms_[std::size_t(to)].is(U','))
                ++to;
            if (to == from) {
                fail(unitAt(from), msg::emptyMember(QChar(name)));
                return;
            }
            QString member;
            for (qsizetype i = from; i < to; ++i) {
                const Sym &sym = syms_[std::size_t(i)];
                if (!sym.escaped && isSpecial(sym.c)) {
                    fail(sym.unit, msg::reservedInMember(QChar(sym.c)));
                    return;
                }
                member += fromCodePoint(sym.c);
            }
            const int earlier = to - from == 1 && !syms_[std::size_t(from)].escaped ? named(syms_[std::size_t(from)].c) : -1;
            if (earlier >= 0) {
                const std::vector<Member> &members = out_.categories[std::size_t(earlier)].members;
                category.members.insert(category.members.end(), members.begin(), members.end());
            } else {
                category.members.push_back({out_.segmenter.cutRuleText(canonical(member)), false});
            }
            from = to + 1;
        }
        finishCategory(category);
        definedName_ = name;
        definedIndex_ = int(out_.categories.size());
        out_.categories.push_back(std::move(category));
    }

    // The category a definition line made, for the caller's table of names.
    char32_t definedName() const { return definedName_; }
    int definedIndex() const { return definedIndex_; }

    void rule()
    {
        RuleSyntax rule;
        rule.line = index_;
        qsizetype from = 0;
        auto end = qsizetype(syms_.size());
        if (end > 0 && syms_[0].is(U'&')) {
            rule.joinsAbove = true;
            rule.basic = false;
            from = 1;
        }

        // Options and "?N" after the rule.
        qsizetype tail = from;
        while (tail < end && !syms_[std::size_t(tail)].is(U'{') && !syms_[std::size_t(tail)].is(U'?'))
            ++tail;
        if (tail < end) {
            if (!options(tail, end, rule))
                return;
            if (rule.joinsAbove && (rule.percent != 100 || optionsGiven_)) {
                fail(unitAt(tail), nmsg::kOptionsInBlock);
                return;
            }
            end = tail;
        }

        qsizetype arrow = -1;
        for (qsizetype i = from; i < end; ++i) {
            if (!syms_[std::size_t(i)].is(U'>'))
                continue;
            if (arrow >= 0) {
                fail(unitAt(i), msg::kSecondArrow);
                return;
            }
            arrow = i;
        }
        if (arrow < 0) {
            fail(text_->size(), msg::kMissingArrow);
            return;
        }

        // SUSTITUTO/E1/E2//X1/X2: the parts between the slashes.
        std::vector<std::pair<qsizetype, qsizetype>> parts;
        qsizetype partFrom = arrow + 1;
        for (qsizetype i = arrow + 1; i <= end; ++i) {
            if (i == end || syms_[std::size_t(i)].is(U'/')) {
                parts.emplace_back(partFrom, i);
                partFrom = i + 1;
            }
        }
        // The first empty part after the replacement separates environments and exceptions.
        std::size_t divider = parts.size();
        for (std::size_t k = 1; k < parts.size(); ++k) {
            if (parts[k].first == parts[k].second) {
                divider = k;
                break;
            }
        }
        if (divider + 1 == parts.size() && divider == 1 && parts.size() == 2) {
            // "a>e/": a slash that introduces nothing.
            fail(unitAt(parts.back().first - 1), msg::kEnvironmentWithoutPlace);
            return;
        }

        // OBJETIVO, "#" first or last tying it to the word's edge.
        qsizetype targetFrom = from;
        qsizetype targetTo = arrow;
        if (targetFrom < targetTo && syms_[std::size_t(targetFrom)].is(U'#')) {
            rule.atStart = true;
            ++targetFrom;
        }
        if (targetFrom < targetTo && syms_[std::size_t(targetTo - 1)].is(U'#')) {
            rule.atEnd = true;
            --targetTo;
        }
        for (qsizetype i = targetFrom; i < targetTo; ++i) {
            if (syms_[std::size_t(i)].is(U'#')) {
                fail(unitAt(i), msg::kMarkInTarget);
                return;
            }
        }
        Part target(Part::Target);
        if (!pattern(targetFrom, targetTo, target, 0, rule.target))
            return;
        rule.slotCount = assignSlots(rule.target);
        if (rule.slotCount > kMaxSlots) {
            fail(unitAt(targetFrom), msg::kTooManyCategories);
            return;
        }

        // SUSTITUTO, with the target's marks.
        qsizetype replacementFrom = parts[0].first;
        qsizetype replacementTo = parts[0].second;
        if (rule.atStart && replacementFrom < replacementTo) {
            if (!syms_[std::size_t(replacementFrom)].is(U'#')) {
                fail(unitAt(replacementFrom), msg::kInitialMarkMissing);
                return;
            }
            ++replacementFrom;
        }
        if (rule.atEnd && replacementFrom < replacementTo) {
            if (!syms_[std::size_t(replacementTo - 1)].is(U'#')) {
                fail(unitAt(replacementTo - 1), msg::kFinalMarkMissing);
                return;
            }
            --replacementTo;
        }
        for (qsizetype i = replacementFrom; i < replacementTo; ++i) {
            if (!syms_[std::size_t(i)].is(U'#'))
                continue;
            fail(unitAt(i), i == replacementFrom     ? msg::kInitialMarkUnpaired
                            : i == replacementTo - 1 ? msg::kFinalMarkUnpaired
                                                     : msg::kMarkInReplacement);
            return;
        }
        if (!replacement(replacementFrom, replacementTo, rule))
            return;

        // Environments and exceptions.
        for (std::size_t k = 1; k < parts.size(); ++k) {
            if (k == divider)
                continue; // the empty part of "//"
            const bool exception = k > divider;
            const auto [partBegin, partEnd] = parts[k];
            if (partBegin == partEnd) {
                fail(unitAt(partBegin - 1), exception ? msg::kExceptionWithoutPlace : msg::kEnvironmentWithoutPlace);
                return;
            }
            Context context;
            if (!contextPart(partBegin, partEnd, exception, context))
                return;
            (exception ? rule.exceptions : rule.environments).push_back(std::move(context));
        }
        if (rule.environments.size() > 1 || rule.exceptions.size() > 1)
            rule.basic = false;
        if (rule.target.empty() && !rule.atStart && !rule.atEnd && rule.environments.empty()) {
            fail(unitAt(arrow), msg::kInsertionWithoutContext);
            return;
        }
        if (!checkCaptures(rule) || !checkVariables(rule))
            return;
        rule.variables = int(variables_.size());
        rule.syllables = syllables_;
        rule.usesBoundaries = usesBoundaries_;
        rule.boundaryFirst = !rule.target.empty() && rule.target.front().kind == Node::Kind::Boundary;
        rule.boundaryLast = !rule.target.empty() && rule.target.back().kind == Node::Kind::Boundary;
        for (const Context &environment : rule.environments) {
            if (!environment.left.empty() && environment.left.back().kind == Node::Kind::Boundary)
                rule.boundaryLeftOfPlace = true;
        }
        if (qsizetype(out_.rules.size()) >= kMaxRules) {
            fail(0, msg::tooManyRules(kMaxRules));
            return;
        }
        out_.rules.push_back(std::move(rule));
    }

    bool failed() const { return failed_; }

private:
    struct Part {
        enum Kind { Target, Context } kind;
        explicit Part(Kind k)
            : kind(k)
        {
        }
    };

    void fail(qsizetype unit, const QString &reason)
    {
        if (failed_)
            return;
        failed_ = true;
        if (quiet_) {
            quietReason_ = reason;
            return;
        }
        // Positions count characters: a surrogate pair is one.
        out_.errors.append({index_, characterPosition(*text_, unit), reason, *text_});
    }
    qsizetype unitAt(qsizetype at) const
    {
        return at < qsizetype(syms_.size()) ? syms_[std::size_t(at)].unit : text_->size();
    }
    int named(char32_t c) const { return isCategoryName(c) ? named_[std::size_t(c - U'A')] : -1; }

    // The capture number (1-9) that the symbol at `at` writes after "$", or 0.
    int captureNumber(qsizetype at, qsizetype to) const
    {
        if (at >= to || syms_[std::size_t(at)].escaped)
            return 0;
        const char32_t c = syms_[std::size_t(at)].c;
        return c >= U'1' && c <= U'9' ? int(c - U'0') : 0;
    }

    static void finishCategory(Category &category)
    {
        const auto count = int(category.members.size());
        for (int i = 0; i < count; ++i) {
            category.tryOrder.push_back(i);
            if (category.members[std::size_t(i)].segments.size() != 1 || category.members[std::size_t(i)].edge)
                category.singleSegments = false;
        }
        std::stable_sort(category.tryOrder.begin(), category.tryOrder.end(), [&](int a, int b) {
            return category.members[std::size_t(a)].segments.size() > category.members[std::size_t(b)].segments.size();
        });
    }

    int addCategory(Category category)
    {
        finishCategory(category);
        out_.categories.push_back(std::move(category));
        return int(out_.categories.size()) - 1;
    }

    // The symbol that closes the bracket or group opened at `open`, or -1.
    qsizetype closing(qsizetype open, qsizetype to, char32_t opener, char32_t closer) const
    {
        int depth = 0;
        for (qsizetype i = open; i < to; ++i) {
            if (syms_[std::size_t(i)].is(opener))
                ++depth;
            else if (syms_[std::size_t(i)].is(closer) && --depth == 0)
                return i;
        }
        return -1;
    }

    // "[...]": a new inline category, or -2 for "[]" (any segment), -1 after a fault.
    int inlineCategory(qsizetype open, qsizetype close, bool context)
    {
        if (close == open + 1)
            return -2;
        Category category;
        category.name = text_->mid(unitAt(open), unitAt(close) - unitAt(open) + 1);
        bool commas = false;
        for (qsizetype i = open + 1; i < close; ++i)
            commas = commas || syms_[std::size_t(i)].is(U',');
        const auto add = [&](qsizetype from, qsizetype to) {
            if (to == from) {
                fail(unitAt(from), msg::emptyMember(QChar(u'[')));
                return false;
            }
            const Sym &first = syms_[std::size_t(from)];
            if (to - from == 1 && first.is(U'#')) {
                if (!context) {
                    fail(first.unit, nmsg::kEdgeInMember);
                    return false;
                }
                category.members.push_back({{}, true});
                return true;
            }
            if (to - from == 1 && !first.escaped && named(first.c) >= 0) {
                const std::vector<Member> &members = out_.categories[std::size_t(named(first.c))].members;
                category.members.insert(category.members.end(), members.begin(), members.end());
                return true;
            }
            QString member;
            for (qsizetype i = from; i < to; ++i) {
                const Sym &sym = syms_[std::size_t(i)];
                if (!sym.escaped && isSpecial(sym.c)) {
                    fail(sym.unit, sym.is(U'[') ? nmsg::kTooDeep : nmsg::reserved(fromCodePoint(sym.c)));
                    return false;
                }
                member += fromCodePoint(sym.c);
            }
            category.members.push_back({out_.segmenter.cutRuleText(canonical(member)), false});
            return true;
        };
        if (commas) {
            for (qsizetype from = open + 1; from <= close;) {
                qsizetype to = from;
                while (to < close && !syms_[std::size_t(to)].is(U','))
                    ++to;
                if (!add(from, to))
                    return -1;
                from = to + 1;
            }
        } else {
            // "[ptk]": every segment, or category, a member.
            QString run;
            const auto flush = [&]() {
                for (const SegmentId id : out_.segmenter.cutRuleText(canonical(run)))
                    category.members.push_back({{id}, false});
                run.clear();
            };
            for (qsizetype i = open + 1; i < close; ++i) {
                const Sym &sym = syms_[std::size_t(i)];
                if (sym.is(U'#') || (!sym.escaped && named(sym.c) >= 0)) {
                    flush();
                    if (!add(i, i + 1))
                        return -1;
                    continue;
                }
                if (!sym.escaped && isSpecial(sym.c)) {
                    fail(sym.unit, nmsg::reserved(fromCodePoint(sym.c)));
                    return -1;
                }
                run += fromCodePoint(sym.c);
            }
            flush();
        }
        return addCategory(std::move(category));
    }


    // The items of the bracket opened at `open`: [from, to) between commas.
    std::vector<std::pair<qsizetype, qsizetype>> bracketItems(qsizetype open, qsizetype close) const
    {
        std::vector<std::pair<qsizetype, qsizetype>> items;
        for (qsizetype from = open + 1; from <= close;) {
            qsizetype to = from;
            while (to < close && !syms_[std::size_t(to)].is(U','))
                ++to;
            items.emplace_back(from, to);
            from = to + 1;
        }
        return items;
    }

    QString itemText(qsizetype from, qsizetype to) const
    {
        QString text;
        for (qsizetype i = from; i < to; ++i)
            text += fromCodePoint(syms_[std::size_t(i)].c);
        return text;
    }

    static bool isMatrixPrefix(const Sym &sym)
    {
        return !sym.escaped && (sym.c == U'+' || sym.c == U'-' || sym.c == U'!' || sym.c == U'$');
    }

    // "[...]" as a matrix: one of its items starts with "+", "-", "!" or
    // "$", or every item is a declared value. Its index in the list's
    // matrices; -1 when the bracket is no matrix, -2 after a fault. In a
    // replacement its values are set: no category and no "!".
    int bracketMatrix(qsizetype open, qsizetype close, bool replacement)
    {
        if (close == open + 1)
            return -1;
        const auto items = bracketItems(open, close);
        bool prefixed = false;
        bool allValues = !out_.features.isEmpty();
        for (const auto &[from, to] : items) {
            if (to == from)
                return -1;
            prefixed = prefixed || isMatrixPrefix(syms_[std::size_t(from)]);
            allValues = allValues && out_.features.value(itemText(from, to)) >= 0;
        }
        if (!prefixed && !allValues)
            return -1;
        MatrixSyntax matrix;
        matrix.text = text_->mid(unitAt(open), unitAt(close) - unitAt(open) + 1);
        matrix.unit = unitAt(open);
        std::vector<std::pair<ValueId, QString>> given;
        for (const auto &[from, to] : items) {
            const Sym &first = syms_[std::size_t(from)];
            const qsizetype unit = first.unit;
            if (to - from == 1 && !first.escaped && named(first.c) >= 0) {
                if (replacement || matrix.category >= 0) {
                    fail(unit, replacement ? nmsg::kCategoryInReplacementMatrix : nmsg::kTwoCategoriesInMatrix);
                    return -2;
                }
                matrix.category = named(first.c);
                continue;
            }
            if (first.is(U'$')) {
                const QString name = itemText(from + 1, to);
                const FeatureId feature = out_.features.feature(name);
                if (feature < 0) {
                    fail(unit, nmsg::unknownFeature(name));
                    return -2;
                }
                auto known = std::find(variables_.begin(), variables_.end(), feature);
                if (known == variables_.end()) {
                    if (int(variables_.size()) == kMaxVariables) {
                        fail(unit, nmsg::kTooManyVariables);
                        return -2;
                    }
                    variables_.push_back(feature);
                    known = variables_.end() - 1;
                }
                matrix.variables.emplace_back(feature, int(known - variables_.begin()));
                continue;
            }
            const bool negated = first.is(U'!');
            if (negated && replacement) {
                fail(unit, nmsg::kNegatedInReplacement);
                return -2;
            }
            const QString name = itemText(negated ? from + 1 : from, to);
            const ValueId value = out_.features.value(name);
            if (value < 0) {
                fail(unit, nmsg::unknownValue(name));
                return -2;
            }
            if (!negated) {
                const FeatureId feature = out_.features.values()[std::size_t(value)].feature;
                for (const auto &[other, otherName] : given) {
                    if (out_.features.values()[std::size_t(other)].feature == feature) {
                        fail(unit, nmsg::sameFeature(otherName, name,
                                                     out_.features.features()[std::size_t(feature)].name));
                        return -2;
                    }
                }
                given.emplace_back(value, name);
            }
            (negated ? matrix.forbidden : matrix.values).push_back(value);
        }
        basic_ = false;
        out_.matrices.push_back(std::move(matrix));
        return int(out_.matrices.size()) - 1;
    }

public:
    // A class written in a syllable pattern: a node of the list's syllable
    // classes; -1 with the reason when it names nothing.
    int syllableClass(qsizetype index, const QString &written, QString &reason)
    {
        Node node;
        if (written.size() == 1 && named(written.at(0).unicode()) >= 0) {
            node.kind = Node::Kind::Category;
            node.category = named(written.at(0).unicode());
        } else if (written.startsWith(u'[')) {
            const std::vector<Sym> syms = syms_;
            const QString *text = text_;
            const qsizetype lineIndex = index_;
            quiet_ = true;
            quietReason_.clear();
            failed_ = false;
            if (read(index, written)) {
                const auto end = qsizetype(syms_.size());
                const qsizetype close = closing(0, end, U'[', U']');
                const int matrix = close == end - 1 ? bracketMatrix(0, close, false) : -2;
                if (matrix >= 0 && !out_.matrices[std::size_t(matrix)].variables.empty()) {
                    fail(0, nmsg::kVariableInSyllable);
                } else if (matrix >= 0) {
                    node.kind = Node::Kind::Matrix;
                    node.matrix = matrix;
                } else if (matrix == -1) {
                    node.kind = Node::Kind::Category;
                    node.category = inlineCategory(0, close, false);
                    if (node.category == -2)
                        fail(0, nmsg::kNotInSyllable);
                } else if (!failed_) {
                    fail(0, nmsg::kUnclosedBracket);
                }
            }
            const bool failed = failed_;
            reason = quietReason_;
            quiet_ = false;
            syms_ = syms;
            text_ = text;
            index_ = lineIndex;
            failed_ = false;
            variables_.clear();
            if (failed)
                return -1;
        } else {
            const std::vector<SegmentId> ids = out_.segmenter.cutRuleText(canonical(written));
            if (ids.size() != 1) {
                reason = nmsg::kNotInSyllable;
                return -1;
            }
            node.segment = ids.front();
        }
        out_.syllableClasses.push_back(node);
        return int(out_.syllableClasses.size()) - 1;
    }
    void setSyllables(int index, SyllableSpec::Mode mode)
    {
        syllables_ = index;
        syllableMode_ = mode;
    }

private:
    // Elements of symbols [from, to) into `out`; false after a fault.
    bool pattern(qsizetype from, qsizetype to, const Part &part, int depth, Pattern &out)
    {
        if (depth > kMaxDepth) {
            fail(unitAt(from), nmsg::kTooDeep);
            return false;
        }
        bool bindable = false; // the last element may take "$n" or a repetition
        for (qsizetype i = from; i < to;) {
            const Sym &sym = syms_[std::size_t(i)];
            if (sym.escaped || (!isSpecial(sym.c) && named(sym.c) < 0)) {
                // A run of literal characters: its segments.
                QString run;
                while (i < to) {
                    const Sym &s = syms_[std::size_t(i)];
                    if (!s.escaped && (isSpecial(s.c) || named(s.c) >= 0))
                        break;
                    run += fromCodePoint(s.c);
                    ++i;
                }
                for (const SegmentId id : out_.segmenter.cutRuleText(canonical(run))) {
                    Node node;
                    node.segment = id;
                    out.push_back(node);
                }
                bindable = true;
                continue;
            }
            if (named(sym.c) >= 0) {
                Node node;
                node.kind = Node::Kind::Category;
                node.category = named(sym.c);
                out.push_back(node);
                bindable = true;
                ++i;
                continue;
            }
            switch (sym.c) {
            case U'[': {
                const qsizetype close = closing(i, to, U'[', U']');
                if (close < 0) {
                    fail(sym.unit, nmsg::kUnclosedBracket);
                    return false;
                }
                const int matrix = bracketMatrix(i, close, false);
                if (matrix == -2)
                    return false;
                if (matrix >= 0) {
                    Node node;
                    node.kind = Node::Kind::Matrix;
                    node.matrix = matrix;
                    out.push_back(node);
                    bindable = true;
                    i = close + 1;
                    continue;
                }
                const int category = inlineCategory(i, close, part.kind == Part::Context);
                if (category == -1)
                    return false;
                Node node;
                node.kind = category == -2 ? Node::Kind::Any : Node::Kind::Category;
                node.category = category;
                out.push_back(node);
                basic_ = false;
                bindable = true;
                i = close + 1;
                continue;
            }
            case U'!': {
                Node node;
                node.kind = Node::Kind::Not;
                qsizetype next = i + 1;
                if (next < to && syms_[std::size_t(next)].is(U'.')) {
                    if (!boundary(syms_[std::size_t(next)].unit))
                        return false;
                    node.kind = Node::Kind::Boundary;
                    node.negated = true;
                    out.push_back(node);
                    bindable = false;
                    i = next + 1;
                    continue;
                }
                if (next < to && syms_[std::size_t(next)].is(U'[')) {
                    const qsizetype close = closing(next, to, U'[', U']');
                    if (close < 0) {
                        fail(syms_[std::size_t(next)].unit, nmsg::kUnclosedBracket);
                        return false;
                    }
                    const int matrix = bracketMatrix(next, close, false);
                    if (matrix == -2)
                        return false;
                    if (matrix >= 0) {
                        if (!out_.matrices[std::size_t(matrix)].variables.empty()) {
                            fail(sym.unit, nmsg::kNegatedVariable);
                            return false;
                        }
                        node.kind = Node::Kind::Matrix;
                        node.matrix = matrix;
                        node.negated = true;
                        out.push_back(node);
                        basic_ = false;
                        bindable = true;
                        i = close + 1;
                        continue;
                    }
                    const int category = inlineCategory(next, close, part.kind == Part::Context);
                    if (category == -1)
                        return false;
                    if (category == -2) {
                        fail(sym.unit, nmsg::kNothingToNegate);
                        return false;
                    }
                    node.category = category;
                    i = close + 1;
                } else if (next < to && (syms_[std::size_t(next)].escaped || !isSpecial(syms_[std::size_t(next)].c))) {
                    const Sym &what = syms_[std::size_t(next)];
                    if (!what.escaped && named(what.c) >= 0) {
                        node.category = named(what.c);
                    } else {
                        Category single;
                        single.name = fromCodePoint(what.c);
                        single.members.push_back({out_.segmenter.cutRuleText(canonical(single.name)), false});
                        node.category = addCategory(std::move(single));
                    }
                    i = next + 1;
                } else {
                    fail(sym.unit, nmsg::kNothingToNegate);
                    return false;
                }
                out.push_back(node);
                basic_ = false;
                bindable = true;
                continue;
            }
            case U'(': {
                const qsizetype close = closing(i, to, U'(', U')');
                if (close < 0) {
                    fail(sym.unit, nmsg::kUnclosedGroup);
                    return false;
                }
                if (close == i + 1) {
                    fail(sym.unit, nmsg::kEmptyGroup);
                    return false;
                }
                Node node;
                node.kind = Node::Kind::Optional;
                if (!pattern(i + 1, close, part, depth + 1, node.children))
                    return false;
                i = close + 1;
                if (i < to && (syms_[std::size_t(i)].is(U'*') || syms_[std::size_t(i)].is(U'+'))) {
                    node.kind = Node::Kind::Repeat;
                    node.minimum = syms_[std::size_t(i)].is(U'+') ? 1 : 0;
                    ++i;
                }
                out.push_back(std::move(node));
                basic_ = false;
                bindable = true;
                continue;
            }
            case U'*':
            case U'+': {
                if (!bindable || out.empty() || out.back().capture > 0 || out.back().kind == Node::Kind::Repeat
                    || out.back().kind == Node::Kind::Edge || out.back().kind == Node::Kind::Ellipsis
                    || out.back().kind == Node::Kind::Backref || out.back().kind == Node::Kind::Boundary) {
                    fail(sym.unit, nmsg::kNothingToRepeat);
                    return false;
                }
                Node node;
                node.kind = Node::Kind::Repeat;
                node.minimum = sym.c == U'+' ? 1 : 0;
                node.children.push_back(std::move(out.back()));
                out.back() = std::move(node);
                basic_ = false;
                ++i;
                continue;
            }
            case U'$': {
                const int capture = captureNumber(i + 1, to);
                if (capture == 0) {
                    fail(sym.unit, nmsg::kBadCapture);
                    return false;
                }
                basic_ = false;
                i += 2;
                if (bindable && !out.empty() && out.back().capture == 0 && out.back().kind != Node::Kind::Edge
                    && out.back().kind != Node::Kind::Ellipsis && out.back().kind != Node::Kind::Backref) {
                    out.back().capture = capture;
                    bindable = false;
                    continue;
                }
                Node node;
                node.kind = Node::Kind::Backref;
                node.backref = capture;
                out.push_back(node);
                usedAt_.emplace_back(capture, sym.unit);
                bindable = false;
                continue;
            }
            case kEllipsis:
                if (part.kind != Part::Context) {
                    fail(sym.unit, nmsg::kEllipsisInTarget);
                    return false;
                }
                out.push_back(Node{Node::Kind::Ellipsis, 0, -1, -1, 0, {}, 0, 0});
                basic_ = false;
                bindable = false;
                ++i;
                continue;
            case U'#':
                if (part.kind != Part::Context) {
                    fail(sym.unit, msg::kMarkInTarget);
                    return false;
                }
                out.push_back(Node{Node::Kind::Edge, 0, -1, -1, 0, {}, 0, 0});
                bindable = false;
                ++i;
                continue;
            case U'_':
                fail(sym.unit, msg::kPlaceOutsideContext);
                return false;
            case U'.': {
                if (!boundary(sym.unit))
                    return false;
                Node node;
                node.kind = Node::Kind::Boundary;
                out.push_back(node);
                bindable = false;
                ++i;
                continue;
            }
            case U']':
                fail(sym.unit, nmsg::kUnopenedBracket);
                return false;
            case U')':
                fail(sym.unit, nmsg::kUnopenedGroup);
                return false;
            default:
                fail(sym.unit, nmsg::reserved(fromCodePoint(sym.c)));
                return false;
            }
        }
        return true;
    }

    // A "." where a rule may read syllables: a "@sílabas" line above.
    bool boundary(qsizetype unit)
    {
        if (syllableMode_ == SyllableSpec::Mode::None) {
            fail(unit, nmsg::kSyllableBoundary);
            return false;
        }
        usesBoundaries_ = true;
        basic_ = false;
        return true;
    }

    // Index mapping: the categories of the target outside groups and
    // repetitions, in order. Captured categories get a slot too, after
    // those, for "Y$n".
    int assignSlots(Pattern &target)
    {
        int count = 0;
        for (Node &node : target) {
            if (node.kind == Node::Kind::Category)
                node.slot = count++;
        }
        return count;
    }

    bool replacement(qsizetype from, qsizetype to, RuleSyntax &rule)
    {
        int mapped = 0;
        int elements = 0; // written so far, as the target counts them
        std::vector<std::pair<std::size_t, qsizetype>> changed; // outputs of bare matrices, and where
        const auto finish = [&]() {
            for (const auto &[index, unit] : changed) {
                Output &output = rule.replacement[index];
                if (elements != qsizetype(rule.target.size())) {
                    fail(unit, nmsg::matrixWithoutPartner(qsizetype(rule.target.size()), elements));
                    return false;
                }
                Node &partner = rule.target[std::size_t(output.element)];
                const bool single = partner.kind == Node::Kind::Segment || partner.kind == Node::Kind::Any
                    || partner.kind == Node::Kind::Not || (partner.kind == Node::Kind::Matrix && !partner.negated)
                    || (partner.kind == Node::Kind::Matrix && partner.negated)
                    || (partner.kind == Node::Kind::Category
                        && out_.categories[std::size_t(partner.category)].singleSegments);
                if (!single) {
                    fail(unit, nmsg::matrixPartnerNotOne(output.element + 1));
                    return false;
                }
                if (partner.place < 0) {
                    if (rule.hiddenPlaces == kHiddenPlaces) {
                        fail(unit, nmsg::kTooManyReplacementMatrices);
                        return false;
                    }
                    partner.place = rule.hiddenPlaces++;
                }
                output.hidden = partner.place;
            }
            return true;
        };
        for (qsizetype i = from; i < to;) {
            const Sym &sym = syms_[std::size_t(i)];
            const bool category = !sym.escaped && (named(sym.c) >= 0 || sym.c == U'[');
            if (sym.escaped || (!isSpecial(sym.c) && !category)) {
                QString run;
                while (i < to) {
                    const Sym &s = syms_[std::size_t(i)];
                    if (!s.escaped && (isSpecial(s.c) || named(s.c) >= 0))
                        break;
                    run += fromCodePoint(s.c);
                    ++i;
                }
                Output output;
                output.segments = out_.segmenter.cutRuleText(canonical(run));
                elements += int(output.segments.size());
                rule.replacement.push_back(std::move(output));
                continue;
            }
            if (category) {
                Output output;
                qsizetype next = i + 1;
                ++elements;
                if (sym.c == U'[') {
                    const qsizetype close = closing(i, to, U'[', U']');
                    if (close < 0) {
                        fail(sym.unit, nmsg::kUnclosedBracket);
                        return false;
                    }
                    const int matrix = bracketMatrix(i, close, true);
                    if (matrix == -2)
                        return false;
                    if (matrix >= 0) {
                        // Element k of the target, with these values.
                        output.kind = Output::Kind::Changed;
                        output.matrix = matrix;
                        output.element = elements - 1;
                        changed.emplace_back(rule.replacement.size(), sym.unit);
                        rule.replacement.push_back(std::move(output));
                        rule.basic = false;
                        i = close + 1;
                        continue;
                    }
                    output.category = inlineCategory(i, close, false);
                    if (output.category == -1)
                        return false;
                    if (output.category == -2) {
                        fail(sym.unit, nmsg::kNotInReplacement);
                        return false;
                    }
                    rule.basic = false;
                    next = close + 1;
                } else {
                    output.category = named(sym.c);
                }
                const Category &written = out_.categories[std::size_t(output.category)];
                if (next < to && syms_[std::size_t(next)].is(U'$')) {
                    const int capture = captureNumber(next + 1, to);
                    if (capture == 0) {
                        fail(syms_[std::size_t(next)].unit, nmsg::kBadCapture);
                        return false;
                    }
                    output.kind = Output::Kind::Indexed;
                    output.capture = capture;
                    indexedAt_.emplace_back(capture, sym.unit, written.name, qsizetype(written.members.size()));
                    rule.basic = false;
                    next += 2;
                } else {
                    output.kind = Output::Kind::Mapped;
                    output.slot = mapped++;
                    if (!pairCategory(rule, output, sym.unit, written))
                        return false;
                }
                rule.replacement.push_back(std::move(output));
                i = next;
                continue;
            }
            if (sym.c == U'$') {
                const int capture = captureNumber(i + 1, to);
                if (capture == 0) {
                    fail(sym.unit, nmsg::kBadCapture);
                    return false;
                }
                Output output;
                output.kind = Output::Kind::Captured;
                output.capture = capture;
                usedAt_.emplace_back(capture, sym.unit);
                rule.basic = false;
                ++elements;
                i += 2;
                if (i < to && syms_[std::size_t(i)].is(U'[')) {
                    // "$n[+larga]": the captured segments with these values.
                    const qsizetype close = closing(i, to, U'[', U']');
                    if (close < 0) {
                        fail(syms_[std::size_t(i)].unit, nmsg::kUnclosedBracket);
                        return false;
                    }
                    const int matrix = bracketMatrix(i, close, true);
                    if (matrix == -2)
                        return false;
                    if (matrix >= 0) {
                        output.kind = Output::Kind::Changed;
                        output.matrix = matrix;
                        i = close + 1;
                    }
                }
                rule.replacement.push_back(std::move(output));
                continue;
            }
            if (sym.c == U'_') {
                fail(sym.unit, msg::kPlaceOutsideContext);
                return false;
            }
            if (sym.c == U'.') {
                if (!boundary(sym.unit))
                    return false;
                Output output;
                output.kind = Output::Kind::Boundary;
                rule.replacement.push_back(std::move(output));
                ++elements;
                ++i;
                continue;
            }
            if (sym.c == U'(' || sym.c == U'*' || sym.c == U'+' || sym.c == U'!' || sym.c == kEllipsis) {
                fail(sym.unit, nmsg::kNotInReplacement);
                return false;
            }
            fail(sym.unit, nmsg::reserved(fromCodePoint(sym.c)));
            return false;
        }
        return finish();
    }

    // The k-th category of the replacement and the k-th of the target.
    bool pairCategory(const RuleSyntax &rule, const Output &output, qsizetype unit, const Category &written)
    {
        const QString name = written.name;
        const Node *partner = nullptr;
        for (const Node &node : rule.target) {
            if (node.kind == Node::Kind::Category && node.slot == output.slot)
                partner = &node;
        }
        if (!partner) {
            fail(unit, name.size() == 1 ? msg::unpairedCategory(name.at(0))
                                        : QStringLiteral("la categoría %1 del sustituto no tiene pareja en el objetivo")
                                              .arg(name));
            return false;
        }
        const Category &target = out_.categories[std::size_t(partner->category)];
        if (target.members.size() != written.members.size()) {
            const QString sizes = QStringLiteral("la categoría %1 tiene %2 y su pareja del objetivo, %3, tiene %4")
                                      .arg(name,
                                           messages::counted(qsizetype(written.members.size()),
                                                             QStringLiteral("miembro"), QStringLiteral("miembros")),
                                           target.name,
                                           messages::counted(qsizetype(target.members.size()),
                                                             QStringLiteral("miembro"), QStringLiteral("miembros")));
            fail(unit, sizes);
            return false;
        }
        return true;
    }

    bool contextPart(qsizetype from, qsizetype to, bool exception, Context &out)
    {
        qsizetype place = -1;
        for (qsizetype i = from; i < to; ++i) {
            if (!syms_[std::size_t(i)].is(U'_'))
                continue;
            if (place >= 0) {
                fail(unitAt(i), msg::kSecondPlace);
                return false;
            }
            place = i;
        }
        if (place < 0) {
            fail(unitAt(from - 1), exception ? msg::kExceptionWithoutPlace : msg::kEnvironmentWithoutPlace);
            return false;
        }
        // "#" stands first on the left or last on the right (or as a member
        // of a category in brackets).
        int depth = 0;
        for (qsizetype i = from; i < to; ++i) {
            const Sym &sym = syms_[std::size_t(i)];
            depth += sym.is(U'[') ? 1 : sym.is(U']') ? -1 : 0;
            if (depth == 0 && sym.is(U'#') && i != from && i != to - 1) {
                fail(sym.unit, msg::kMarkInContext);
                return false;
            }
            if (depth == 0 && sym.is(U'#') && ((i == from && i > place) || (i == to - 1 && i < place))) {
                fail(sym.unit, msg::kMarkInContext);
                return false;
            }
        }
        const Part part(Part::Context);
        if (!pattern(from, place, part, 0, out.left) || !pattern(place + 1, to, part, 0, out.right))
            return false;
        return true;
    }

    bool options(qsizetype from, qsizetype to, RuleSyntax &rule)
    {
        optionsGiven_ = false;
        for (qsizetype i = from; i < to;) {
            const Sym &sym = syms_[std::size_t(i)];
            if (sym.is(U'?')) {
                int percent = 0;
                qsizetype j = i + 1;
                while (j < to && j - i <= 3 && !syms_[std::size_t(j)].escaped && syms_[std::size_t(j)].c >= U'0'
                       && syms_[std::size_t(j)].c <= U'9') {
                    percent = percent * 10 + int(syms_[std::size_t(j)].c - U'0');
                    ++j;
                }
                const bool moreDigits = j < to && syms_[std::size_t(j)].c >= U'0' && syms_[std::size_t(j)].c <= U'9';
                if (j == i + 1 || moreDigits || percent < 1 || percent > 100
                    || (j < to && !syms_[std::size_t(j)].is(U'{'))) {
                    fail(sym.unit, msg::kBadChance);
                    return false;
                }
                rule.percent = percent;
                i = j;
                continue;
            }
            if (!sym.is(U'{')) {
                fail(sym.unit, msg::kBadChance);
                return false;
            }
            qsizetype close = i + 1;
            while (close < to && !syms_[std::size_t(close)].is(U'}'))
                ++close;
            if (close == to) {
                fail(sym.unit, nmsg::kUnclosedOption);
                return false;
            }
            optionsGiven_ = true;
            rule.basic = false;
            for (qsizetype itemFrom = i + 1; itemFrom <= close;) {
                // Options are separated by commas outside brackets ({solo [a,e], una}).
                qsizetype itemTo = itemFrom;
                int depth = 0;
                while (itemTo < close && (depth > 0 || !syms_[std::size_t(itemTo)].is(U','))) {
                    depth += syms_[std::size_t(itemTo)].is(U'[') ? 1 : syms_[std::size_t(itemTo)].is(U']') ? -1 : 0;
                    ++itemTo;
                }
                if (!option(itemFrom, itemTo, rule))
                    return false;
                itemFrom = itemTo + 1;
            }
            i = close + 1;
        }
        return true;
    }

    bool option(qsizetype from, qsizetype to, RuleSyntax &rule)
    {
        QString word;
        qsizetype i = from;
        while (i < to && !syms_[std::size_t(i)].escaped && QChar::isLetter(syms_[std::size_t(i)].c)) {
            word += fromCodePoint(syms_[std::size_t(i)].c);
            ++i;
        }
        const QString plain = plainName(word);
        const qsizetype at = unitAt(from);
        // "{soloV}": the spaces are gone, so the category's letter may follow the word.
        if (plain.startsWith(QStringLiteral("solo"))) {
            qsizetype what = from + 4;
            if (what >= to) {
                fail(at, nmsg::kOnlyWhat);
                return false;
            }
            const Sym &sym = syms_[std::size_t(what)];
            if (sym.is(U'[')) {
                const qsizetype close = closing(what, to, U'[', U']');
                if (close < 0 || close + 1 != to) {
                    fail(sym.unit, close < 0 ? nmsg::kUnclosedBracket : nmsg::kOnlyWhat);
                    return false;
                }
                // A matrix without variables: the segments with those values.
                const std::size_t variables = variables_.size();
                const int matrix = bracketMatrix(what, close, false);
                if (matrix == -2)
                    return false;
                if (matrix >= 0) {
                    if (variables_.size() != variables || !out_.matrices[std::size_t(matrix)].variables.empty()) {
                        fail(sym.unit, nmsg::kOnlyVariable);
                        return false;
                    }
                    rule.onlyMatrix = matrix;
                    return true;
                }
                rule.only = inlineCategory(what, close, false);
                if (rule.only == -1)
                    return false;
                if (rule.only == -2) {
                    fail(sym.unit, nmsg::kOnlyWhat);
                    return false;
                }
                return true;
            }
            if (what + 1 != to || sym.escaped || named(sym.c) < 0) {
                fail(sym.unit, nmsg::kOnlyWhat);
                return false;
            }
            rule.only = named(sym.c);
            return true;
        }
        if (i != to) {
            fail(at, nmsg::kBadOption);
            return false;
        }
        if (plain == QStringLiteral("simultanea"))
            rule.scan = Scan::Simultaneous;
        else if (plain == QStringLiteral("secuencial"))
            rule.scan = Scan::Sequential;
        else if (plain == QStringLiteral("inversa"))
            rule.scan = Scan::Inverse;
        else if (plain == QStringLiteral("repetida"))
            rule.repeated = true;
        else if (plain == QStringLiteral("una"))
            rule.once = true;
        else {
            fail(at, nmsg::kBadOption);
            return false;
        }
        return true;
    }

    // A variable that a replacement matrix writes is bound by the target or
    // an environment.
    bool checkVariables(const RuleSyntax &rule)
    {
        std::vector<bool> bound(variables_.size(), false);
        const auto walk = [&](const Pattern &pattern, auto &self) -> void {
            for (const Node &node : pattern) {
                if (node.kind == Node::Kind::Matrix) {
                    for (const auto &[feature, variable] : out_.matrices[std::size_t(node.matrix)].variables)
                        bound[std::size_t(variable)] = true;
                }
                self(node.children, self);
            }
        };
        walk(rule.target, walk);
        for (const Context &context : rule.environments) {
            walk(context.left, walk);
            walk(context.right, walk);
        }
        for (const Output &output : rule.replacement) {
            if (output.kind != Output::Kind::Changed)
                continue;
            for (const auto &[feature, variable] : out_.matrices[std::size_t(output.matrix)].variables) {
                if (!bound[std::size_t(variable)]) {
                    const QString name = out_.features.features()[std::size_t(feature)].name;
                    fail(out_.matrices[std::size_t(output.matrix)].unit, nmsg::unboundVariable(name));
                    return false;
                }
            }
        }
        return true;
    }

    // Every capture used is bound somewhere in the rule; "Y$n" needs it bound
    // to a category of Y's size.
    bool checkCaptures(RuleSyntax &rule)
    {
        std::array<const Node *, 10> boundTo{};
        std::array<bool, 10> bound{};
        std::vector<std::pair<int, qsizetype>> uses;
        const auto walk = [&](const Pattern &pattern, auto &self) -> void {
            for (const Node &node : pattern) {
                if (node.capture > 0) {
                    bound[std::size_t(node.capture)] = true;
                    if (!boundTo[std::size_t(node.capture)] && node.kind == Node::Kind::Category)
                        boundTo[std::size_t(node.capture)] = &node;
                    rule.captures = std::max(rule.captures, node.capture);
                }
                if (node.kind == Node::Kind::Backref)
                    rule.captures = std::max(rule.captures, node.backref);
                self(node.children, self);
            }
        };
        walk(rule.target, walk);
        for (const std::vector<Context> *contexts : {&rule.environments, &rule.exceptions}) {
            for (const Context &context : *contexts) {
                walk(context.left, walk);
                walk(context.right, walk);
            }
        }
        for (const auto &[capture, unit] : usedAt_)
            uses.emplace_back(capture, unit);
        for (const auto &[capture, unit, name, size] : indexedAt_) {
            uses.emplace_back(capture, unit);
            const Node *node = boundTo[std::size_t(capture)];
            if (bound[std::size_t(capture)]
                && (!node || out_.categories[std::size_t(node->category)].members.size() != std::size_t(size))) {
                fail(unit, nmsg::captureNotCategory(capture, name, size));
                return false;
            }
        }
        for (const auto &[capture, unit] : uses) {
            rule.captures = std::max(rule.captures, capture);
            if (!bound[std::size_t(capture)]) {
                fail(unit, nmsg::unboundCapture(capture));
                return false;
            }
        }
        if (!basic_)
            rule.basic = false;
        return true;
    }

public:
    void resetRule()
    {
        usedAt_.clear();
        indexedAt_.clear();
        basic_ = true;
        optionsGiven_ = false;
        variables_.clear();
        usesBoundaries_ = false;
    }
    const std::vector<Sym> &syms() const { return syms_; }

private:
    ParsedList &out_;
    const std::array<int, 26> &named_;
    qsizetype index_ = 0;
    const QString *text_ = nullptr;
    bool failed_ = false;
    bool basic_ = true;
    bool optionsGiven_ = false;
    std::vector<Sym> syms_;
    std::vector<std::pair<int, qsizetype>> usedAt_;
    std::vector<std::tuple<int, qsizetype, QString, qsizetype>> indexedAt_;
    char32_t definedName_ = 0;
    int definedIndex_ = -1;
    std::vector<FeatureId> variables_; // of the rule being read, by number
    bool quiet_ = false; // faults go to quietReason_, not to the list
    QString quietReason_;
    int syllables_ = -1;
    SyllableSpec::Mode syllableMode_ = SyllableSpec::Mode::None;
    bool usesBoundaries_ = false;
};

} // namespace

bool isRuleLine(const QString &line)
{
    return !isComment(line) && !isDefinition(line) && !isDirective(line);
}

bool isStageLine(const QString &line, QString *name)
{
    if (!isDirective(line))
        return false;
    QString rest;
    if (!isStageDirective(directiveName(line, &rest)))
        return false;
    if (name)
        *name = rest.trimmed();
    return true;
}

namespace {

// Records an "@etapa" line; `after` is where its directive name ends.
void stage(ParsedList &out, qsizetype index, const QString &line, qsizetype after, const QString &rest)
{
    const QString name = rest.trimmed();
    if (name.isEmpty()) {
        out.errors.append({index, after + 1, hmsg::kStageWithoutName, line});
        return;
    }
    const auto same = std::find_if(out.stages.begin(), out.stages.end(), [&](const Stage &s) { return s.name == name; });
    if (same != out.stages.end()) {
        const qsizetype at = after + rest.indexOf(name.front());
        out.errors.append({index, at + 1, hmsg::duplicateStage(name, same->line), line});
        return;
    }
    out.stages.push_back({name, index, qsizetype(out.rules.size())});
}

} // namespace

ParsedList parseList(const QStringList &lines)
{
    ParsedList out;
    // Symbols count for every rule of the list, wherever they are declared.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (!isDirective(line))
            continue;
        QString rest;
        if (!isSymbolsDirective(directiveName(line, &rest)))
            continue;
        out.basic = false;
        QString symbol;
        for (qsizetype k = 0; k <= rest.size(); ++k) {
            if (k == rest.size() || rest.at(k) == u',') {
                out.segmenter.declare(symbol);
                symbol.clear();
            } else if (rest.at(k) == u'\\' && k + 1 < rest.size()) {
                symbol += rest.at(++k);
            } else if (rest.at(k) != u' ') {
                symbol += rest.at(k);
            }
        }
    }

    out.features = readFeatures(lines, out.errors);
    out.features.teach(out.segmenter);
    if (!out.features.isEmpty() || out.features.hasTable())
        out.basic = false;

    std::array<int, 26> named;
    named.fill(-1);
    LineParser parser(out, named);
    bool ruleAbove = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (isComment(line))
            continue;
        parser.resetRule();
        if (!parser.read(i, line))
            continue;
        if (isDirective(line)) {
            QString rest;
            const QString name = directiveName(line, &rest);
            if (isSymbolsDirective(name)) {
                if (rest.trimmed().isEmpty())
                    out.errors.append({i, 1, nmsg::kBadSymbols, line});
                continue;
            }
            if (isFeatureDirective(name))
                continue; // read above, faults included
            qsizetype at = 0;
            trimmedStart(line, &at);
            if (isSyllableDirective(name)) {
                SyllableSpec cutting;
                const ClassResolver resolve = [&](const QString &written, QString &reason) {
                    return parser.syllableClass(i, written, reason);
                };
                if (const std::optional<RuleError> fault = readSyllables(i, line, resolve, cutting)) {
                    out.errors.append(*fault);
                    continue;
                }
                out.basic = false;
                cutting.line = i;
                const SyllableSpec::Mode mode = cutting.mode;
                out.syllables.push_back(std::move(cutting));
                parser.setSyllables(int(out.syllables.size()) - 1, mode);
                out.finalSyllables = int(out.syllables.size()) - 1;
                continue;
            }
            if (isStageDirective(name)) {
                stage(out, i, line, at + name.size(), rest);
                // A block never reaches back into the stage before.
                ruleAbove = false;
                continue;
            }
            out.errors.append({i, at + 1, name == QStringLiteral("@ampliada") ? msg::kMisplacedMarker
                                                                              : nmsg::unknownDirective(name),
                               line});
            continue;
        }
        if (isDefinition(line)) {
            parser.definition();
            if (!parser.failed())
                named[std::size_t(parser.definedName() - U'A')] = parser.definedIndex();
            continue;
        }
        const bool joins = !parser.syms().empty() && parser.syms().front().is(U'&');
        if (joins && !ruleAbove) {
            out.errors.append({i, 1, nmsg::kBlockWithoutRule, line});
            continue;
        }
        parser.rule();
        // A block whose first line is malformed is refused with it.
        ruleAbove = !parser.failed() || joins;
    }
    for (const RuleSyntax &rule : out.rules)
        out.basic = out.basic && rule.basic;
    return out;
}

} // namespace vordane::notation
