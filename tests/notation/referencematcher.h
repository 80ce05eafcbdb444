#pragma once

// A slow matcher for extended rule lists that tries every way a rule can
// match, written from the notation's description alone, so that the engine
// can be compared with it on random lists. Words are plain characters, one
// segment each; a space is a segment that only an escaped space matches.
// Where the description leaves the result open (see `undetermined`), the
// reference says so instead of guessing.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace reference {

struct Category {
    QString written; // "D", or "[a,bc]" as written in a rule
    QStringList members; // expanded; "#" is the word's edge
    // The order members are tried in: the longest first, the first written
    // among equals.
    std::vector<int> tryOrder() const
    {
        std::vector<int> order;
        for (int i = 0; i < members.size(); ++i)
            order.push_back(i);
        const auto length = [&](int i) { return members.at(i) == u"#" ? 0 : int(members.at(i).size()); };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return length(a) > length(b); });
        return order;
    }
};

struct Element {
    enum class Kind { Literal, Category, Any, Not, Optional, Star, Plus, Ellipsis, Edge, Backref };
    Kind kind = Kind::Literal;
    QChar literal; // Literal; Not when `category` is -1
    int category = -1; // Category; Not
    std::vector<Element> group; // Optional, Star, Plus
    int capture = 0; // binds this capture to the text matched
    int backref = 0;
    bool threeDots = false; // Ellipsis written "..."
};
using Pattern = std::vector<Element>;

struct Context {
    Pattern left;
    Pattern right;
};

struct Output {
    enum class Kind { Text, Mapped, Captured, Indexed };
    Kind kind = Kind::Text;
    QString text;
    int category = -1; // Mapped, Indexed
    int capture = 0; // Captured, Indexed
};

struct Rule {
    Pattern target;
    bool atStart = false;
    bool atEnd = false;
    std::vector<Output> replacement;
    std::vector<Context> environments;
    std::vector<Context> exceptions;
};

enum class Scan { Simultaneous, Sequential, Inverse };

// One rule line, or a block of lines joined with "&".
struct Block {
    std::vector<Rule> lines;
    Scan scan = Scan::Simultaneous;
    bool once = false;
    bool repeated = false;
    int only = -1; // the category of "{solo X}"
    QString options; // as written after the first line, e.g. " {una, inversa}"
};

struct RuleList {
    std::vector<Category> categories; // defined ones first, then inline ones
    QStringList definitions; // "D=a,bc" lines
    std::vector<Block> blocks;
};

// ---------------------------------------------------------------- writing

inline QString write(const RuleList &list, const Pattern &pattern);

inline QString write(const RuleList &list, const Element &e)
{
    QString out;
    switch (e.kind) {
    case Element::Kind::Literal:
        out = e.literal == u' ' ? QStringLiteral("\\ ") : QString(e.literal);
        break;
    case Element::Kind::Category:
        out = list.categories.at(std::size_t(e.category)).written;
        break;
    case Element::Kind::Any:
        out = QStringLiteral("[]");
        break;
    case Element::Kind::Not:
        out = u'!' + (e.category < 0 ? QString(e.literal) : list.categories.at(std::size_t(e.category)).written);
        break;
    case Element::Kind::Optional:
        out = u'(' + write(list, e.group) + u')';
        break;
    case Element::Kind::Star:
    case Element::Kind::Plus: {
        const QString inner = write(list, e.group);
        const bool single = e.group.size() == 1 && e.group.front().capture == 0 &&
                            e.group.front().kind != Element::Kind::Optional &&
                            e.group.front().kind != Element::Kind::Not;
        out = (single ? inner : u'(' + inner + u')') + (e.kind == Element::Kind::Star ? u'*' : u'+');
        break;
    }
    case Element::Kind::Ellipsis:
        out = e.threeDots ? QStringLiteral("...") : QStringLiteral("…");
        break;
    case Element::Kind::Edge:
        out = QStringLiteral("#");
        break;
    case Element::Kind::Backref:
        out = u'$' + QString::number(e.backref);
        break;
    }
    if (e.capture > 0)
        out += u'$' + QString::number(e.capture);
    return out;
}

inline QString write(const RuleList &list, const Pattern &pattern)
{
    QString out;
    for (const Element &e : pattern)
        out += write(list, e);
    return out;
}

inline QString write(const RuleList &list, const Rule &rule)
{
    QString out;
    if (rule.atStart)
        out += u'#';
    out += write(list, rule.target);
    if (rule.atEnd)
        out += u'#';
    out += u'>';
    if (!rule.replacement.empty() && rule.atStart)
        out += u'#';
    for (const Output &o : rule.replacement) {
        switch (o.kind) {
        case Output::Kind::Text:
            out += o.text;
            break;
        case Output::Kind::Mapped:
            out += list.categories.at(std::size_t(o.category)).written;
            break;
        case Output::Kind::Captured:
            out += u'$' + QString::number(o.capture);
            break;
        case Output::Kind::Indexed:
            out += list.categories.at(std::size_t(o.category)).written + u'$' + QString::number(o.capture);
            break;
        }
    }
    if (!rule.replacement.empty() && rule.atEnd)
        out += u'#';
    for (const Context &c : rule.environments)
        out += u'/' + write(list, c.left) + u'_' + write(list, c.right);
    if (!rule.exceptions.empty()) {
        out += u'/'; // "//X1/X2"
        for (const Context &c : rule.exceptions)
            out += u'/' + write(list, c.left) + u'_' + write(list, c.right);
    }
    return out;
}

// ---------------------------------------------------------------- matching

// "#" before the target is a word's start, "#" after it a word's end: the
// text's ends and the sides of each space.
inline bool isWordStart(const QString &w, int pos)
{
    return pos == 0 || w.at(pos - 1) == u' ';
}

inline bool isWordEnd(const QString &w, int pos)
{
    return pos == int(w.size()) || w.at(pos) == u' ';
}

// How far a match has got: where it stands, what its captures hold, and the
// members that the target's categories took, in the order of the index
// mapping.
struct State {
    int pos = 0;
    std::array<QString, 10> text;
    std::array<bool, 10> bound{};
    std::array<int, 10> member{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}; // bound by a category: its member
    std::vector<int> mapped;
    int lastMember = -1;
    bool beforeTarget = false; // in a context's left side: "#" is a word's start
    std::vector<int> lengths; // of the target's elements
};

// Every way a pattern matches a text, best first.
class Matcher {
public:
    using Next = std::function<bool(const State &)>; // true: found, stop

    Matcher(const RuleList &list, const QString &text) : list_(list), w_(text) {}

    // Calls `next` with every way pattern[i..] matches from `s`, best first;
    // `mapping`: the categories met take part in the index mapping.
    bool each(const Pattern &p, std::size_t i, const State &s, bool mapping, const Next &next) const
    {
        if (i == p.size())
            return next(s);
        for (State after : element(p[i], s, mapping)) {
            if (mapping)
                after.lengths.push_back(after.pos - s.pos);
            if (each(p, i + 1, after, mapping, next))
                return true;
        }
        return false;
    }

private:
    std::vector<State> element(const Element &e, const State &s, bool mapping) const
    {
        std::vector<State> out = plain(e, s, mapping);
        if (e.capture == 0)
            return out;
        std::vector<State> bound;
        for (State st : out) {
            const QString text = w_.mid(s.pos, st.pos - s.pos);
            const int n = e.capture;
            if (st.bound[std::size_t(n)]) {
                if (st.text[std::size_t(n)] != text)
                    continue; // bound twice: the same text both times
            } else {
                st.bound[std::size_t(n)] = true;
                st.text[std::size_t(n)] = text;
                st.member[std::size_t(n)] = e.kind == Element::Kind::Category ? st.lastMember : -1;
            }
            bound.push_back(st);
        }
        return bound;
    }

    bool isEdge(const State &s) const { return s.beforeTarget ? isWordStart(w_, s.pos) : isWordEnd(w_, s.pos); }

    bool isSegment(int pos) const { return pos < int(w_.size()) && w_.at(pos) != u' '; }

    std::vector<State> plain(const Element &e, const State &s, bool mapping) const
    {
        std::vector<State> out;
        const auto at = [&](int pos) {
            State st = s;
            st.pos = pos;
            return st;
        };
        switch (e.kind) {
        case Element::Kind::Literal:
            if (s.pos < int(w_.size()) && w_.at(s.pos) == e.literal)
                out.push_back(at(s.pos + 1));
            break;
        case Element::Kind::Category: {
            const Category &c = list_.categories.at(std::size_t(e.category));
            for (const int m : c.tryOrder()) {
                const QString &member = c.members.at(m);
                int end = -1;
                if (member == u"#")
                    end = isEdge(s) ? s.pos : -1;
                else if (QStringView(w_).mid(s.pos).startsWith(member))
                    end = s.pos + int(member.size());
                if (end < 0)
                    continue;
                State st = at(end);
                st.lastMember = m;
                if (mapping)
                    st.mapped.push_back(m);
                out.push_back(st);
            }
            break;
        }
        case Element::Kind::Any:
            if (isSegment(s.pos))
                out.push_back(at(s.pos + 1));
            break;
        case Element::Kind::Not:
            if (isSegment(s.pos) && !negated(e, w_.at(s.pos)))
                out.push_back(at(s.pos + 1));
            break;
        case Element::Kind::Optional:
            each(e.group, 0, s, false, [&](const State &st) {
                out.push_back(st);
                return false;
            });
            out.push_back(s);
            break;
        case Element::Kind::Star:
        case Element::Kind::Plus:
            repeat(e.group, s, e.kind == Element::Kind::Plus ? 1 : 0, out);
            // The longest first; among equals, as found.
            std::stable_sort(out.begin(), out.end(), [](const State &a, const State &b) { return a.pos > b.pos; });
            break;
        case Element::Kind::Ellipsis:
            // The shortest first.
            for (int pos = s.pos;; ++pos) {
                out.push_back(at(pos));
                if (!isSegment(pos))
                    break;
            }
            break;
        case Element::Kind::Edge:
            if (isEdge(s))
                out.push_back(s);
            break;
        case Element::Kind::Backref: {
            const std::size_t n = std::size_t(e.backref);
            if (s.bound[n] && QStringView(w_).mid(s.pos).startsWith(s.text[n]))
                out.push_back(at(s.pos + int(s.text[n].size())));
            break;
        }
        }
        return out;
    }

    // The one segment c is what E of "!E" matches.
    bool negated(const Element &e, QChar c) const
    {
        if (e.category < 0)
            return c == e.literal;
        for (const QString &m : list_.categories.at(std::size_t(e.category)).members) {
            if (m.size() == 1 && m.at(0) == c)
                return true;
        }
        return false;
    }

    // Every place a repetition can end, each reached once (the ways of
    // getting there differ only inside the group, which binds nothing).
    void repeat(const Pattern &group, const State &s, int minimum, std::vector<State> &out) const
    {
        const auto key = [](const State &st, int count) {
            QString k = QString::number(st.pos) + u'/' + QString::number(count);
            for (const QString &t : st.text)
                k += u'/' + t;
            return k;
        };
        QStringList seen;
        std::vector<std::pair<State, int>> pending{{s, 0}};
        while (!pending.empty()) {
            const auto [st, count] = pending.back();
            pending.pop_back();
            if (count >= minimum)
                out.push_back(st);
            std::vector<std::pair<State, int>> next;
            each(group, 0, st, false, [&](const State &round) {
                if (round.pos > st.pos || count < minimum) {
                    const int n = std::min(count + 1, std::max(minimum, 1));
                    if (!seen.contains(key(round, n))) {
                        seen += key(round, n);
                        next.emplace_back(round, n);
                    }
                }
                return false;
            });
            pending.insert(pending.end(), next.rbegin(), next.rend());
        }
    }

    const RuleList &list_;
    const QString &w_;
};

struct Match {
    int start = 0;
    int end = 0;
    QString out;
    std::vector<int> lengths; // of the target's elements
};

// One rule on one text.
class RuleMatcher {
public:
    RuleMatcher(const RuleList &list, const QString &text, QString &why)
        : list_(list), w_(text), matcher_(list, text), why_(why)
    {
    }

    // The acceptable matches that begin at `start`, one per way the target
    // matches there, best first: the target matches, some environment fits
    // (with the captures it shares with the target) and no exception does.
    std::vector<Match> at(const Rule &rule, int start, bool firstOnly) const
    {
        std::vector<Match> found;
        if (rule.atStart && !isWordStart(w_, start))
            return found;
        State begin;
        begin.pos = start;
        matcher_.each(rule.target, 0, begin, true, [&](const State &target) {
            if (rule.atEnd && !isWordEnd(w_, target.pos))
                return false;
            bool fits = false;
            State chosen;
            const auto accept = [&](const State &s) {
                if (exceptionFits(rule, start, target.pos, s))
                    return false;
                chosen = s;
                fits = true;
                return true;
            };
            if (rule.environments.empty())
                accept(target);
            for (const Context &env : rule.environments) {
                if (context(env, start, target.pos, target, accept))
                    break;
            }
            if (!fits)
                return false;
            found.push_back(Match{start, target.pos, output(rule, chosen), target.lengths});
            return firstOnly;
        });
        return found;
    }

private:
    // Calls `next` with every way a context fits around [start, end).
    bool context(const Context &c, int start, int end, const State &s, const Matcher::Next &next) const
    {
        for (int from = start; from >= 0; --from) {
            State left = s;
            left.pos = from;
            left.beforeTarget = true;
            const bool stop = matcher_.each(c.left, 0, left, false, [&](const State &afterLeft) {
                if (afterLeft.pos != start)
                    return false;
                State right = afterLeft;
                right.pos = end;
                right.beforeTarget = false;
                return matcher_.each(c.right, 0, right, false, next);
            });
            if (stop)
                return true;
        }
        return false;
    }

    bool exceptionFits(const Rule &rule, int start, int end, const State &s) const
    {
        for (const Context &x : rule.exceptions) {
            if (context(x, start, end, s, [](const State &) { return true; }))
                return true;
        }
        return false;
    }

    QString output(const Rule &rule, const State &s) const
    {
        QString out;
        std::size_t slot = 0;
        for (const Output &o : rule.replacement) {
            const Category *c = o.category >= 0 ? &list_.categories.at(std::size_t(o.category)) : nullptr;
            switch (o.kind) {
            case Output::Kind::Text:
                out += o.text;
                break;
            case Output::Kind::Mapped:
                if (slot >= s.mapped.size() || s.mapped[slot] >= c->members.size()) {
                    why_ = QStringLiteral("a replacement category without its pair");
                    return out;
                }
                out += c->members.at(s.mapped[slot++]);
                break;
            case Output::Kind::Captured:
                out += s.text[std::size_t(o.capture)];
                break;
            case Output::Kind::Indexed: {
                const int m = s.member[std::size_t(o.capture)];
                if (m < 0 || m >= c->members.size()) {
                    why_ = QStringLiteral("a capture not bound by a category of the same size");
                    return out;
                }
                out += c->members.at(m);
                break;
            }
            }
        }
        return out;
    }

    const RuleList &list_;
    const QString &w_;
    Matcher matcher_;
    QString &why_;
};

// The result of a list on a word, or why the description does not settle it.
struct Result {
    QString word;
    QString undetermined; // empty when `word` is the result
};

class Reference {
public:
    explicit Reference(const RuleList &list, int longest = 16) : list_(list), longest_(longest) {}

    Result apply(const QString &word) const
    {
        why_.clear();
        QString w = word;
        for (const Block &b : list_.blocks) {
            for (int pass = 0; pass < (b.repeated ? 100 : 1) && why_.isEmpty(); ++pass) {
                const QString next = once(b, w);
                if (next == w)
                    break;
                w = next;
                if (w.size() > longest_)
                    why_ = QStringLiteral("the word grows past %1").arg(longest_);
            }
            if (!why_.isEmpty())
                return {w, why_};
        }
        return {w, QString()};
    }

private:
    // What a block sees of a word: every segment, or those of "{solo X}".
    struct View {
        QString text;
        std::vector<int> at; // where each seen segment stands in the word
    };

    struct Edit {
        int from = 0;
        int to = 0;
        QString text;
    };

    bool seen(const Block &b, QChar c) const
    {
        if (b.only < 0)
            return true;
        for (const QString &m : list_.categories.at(std::size_t(b.only)).members) {
            if (m.size() == 1 && m.at(0) == c)
                return true;
        }
        return false;
    }

    View view(const Block &b, const QString &w) const
    {
        View v;
        for (int i = 0; i < w.size(); ++i) {
            if (seen(b, w.at(i))) {
                v.text += w.at(i);
                v.at.push_back(i);
            }
        }
        return v;
    }

    int seenCount(const Block &b, const QString &text) const
    {
        return int(std::count_if(text.begin(), text.end(), [&](QChar c) { return seen(b, c); }));
    }

    // A match on the view as changes of the word: the segments not seen
    // stay where they are; an insertion goes right after the seen segment
    // before it.
    std::vector<Edit> edits(const View &v, const QString &w, const Match &m) const
    {
        const int n = m.end - m.start;
        if (n == 0) {
            if (m.start > 0)
                return {{v.at[std::size_t(m.start - 1)] + 1, v.at[std::size_t(m.start - 1)] + 1, m.out}};
            if (!v.at.empty() ? v.at.front() > 0 : !w.isEmpty())
                why_ = QStringLiteral("an insertion before the first seen segment, after unseen ones");
            return {{0, 0, m.out}};
        }
        const int first = v.at[std::size_t(m.start)];
        const int last = v.at[std::size_t(m.end - 1)];
        if (last - first == n - 1)
            return {{first, last + 1, m.out}};
        std::vector<Edit> out;
        if (m.out.isEmpty() || m.out.size() == n) {
            for (int k = 0; k < n; ++k) {
                const int at = v.at[std::size_t(m.start + k)];
                out.push_back({at, at + 1, m.out.isEmpty() ? QString() : QString(m.out.at(k))});
            }
            return out;
        }
        why_ = QStringLiteral("a replacement of another length over unseen segments");
        return {};
    }

    static QString applied(const QString &w, std::vector<Edit> edits)
    {
        std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) { return a.from < b.from; });
        QString out;
        int at = 0;
        for (const Edit &e : edits) {
            out += w.mid(at, e.from - at);
            out += e.text;
            at = e.to;
        }
        return out + w.mid(at);
    }

    // One pass of a block over a word.
    QString once(const Block &b, const QString &w) const
    {
        switch (b.scan) {
        case Scan::Simultaneous:
            return simultaneous(b, w);
        case Scan::Sequential:
            return sequential(b, w);
        case Scan::Inverse:
            return inverse(b, w);
        }
        return w;
    }

    // Every line's matches on the word as it was, left to right without
    // overlapping; where lines' matches overlap, the earlier line wins.
    QString simultaneous(const Block &b, const QString &w) const
    {
        const View v = view(b, w);
        const RuleMatcher rm(list_, v.text, why_);
        std::vector<std::vector<Match>> byLine;
        for (const Rule &rule : b.lines) {
            std::vector<Match> found;
            for (int p = 0; p <= v.text.size();) {
                const std::vector<Match> here = rm.at(rule, p, true);
                if (here.empty()) {
                    ++p;
                    continue;
                }
                found.push_back(here.front());
                if (b.once)
                    break;
                p = here.front().end > p ? here.front().end : p + 1;
            }
            byLine.push_back(found);
        }
        if (b.lines.size() > 1 && b.once)
            why_ = QStringLiteral("{una} on a block applied at once");
        const auto overlap = [](const Match &a, const Match &c) {
            if (a.start == a.end || c.start == c.end)
                return a.start <= c.end && c.start <= a.end;
            return a.start < c.end && c.start < a.end;
        };
        std::vector<Match> kept;
        std::vector<Match> earlier;
        std::vector<Match> keptByAnyEarlier;
        for (const std::vector<Match> &line : byLine) {
            for (const Match &m : line) {
                const bool againstKept =
                    std::any_of(kept.begin(), kept.end(), [&](const Match &k) { return overlap(k, m); });
                const bool againstAny =
                    std::any_of(earlier.begin(), earlier.end(), [&](const Match &k) { return overlap(k, m); });
                if (b.lines.size() > 1 && m.start == m.end)
                    why_ = QStringLiteral("an insertion in a block");
                if (againstKept != againstAny)
                    why_ = QStringLiteral("a match overlapping only a match that lost");
                if (!againstKept)
                    kept.push_back(m);
            }
            earlier.insert(earlier.end(), line.begin(), line.end());
        }
        std::vector<Edit> all;
        for (const Match &m : kept) {
            const std::vector<Edit> e = edits(v, w, m);
            all.insert(all.end(), e.begin(), e.end());
        }
        return applied(w, all);
    }

    // Left to right, each match on the word as the earlier ones left it;
    // the block's lines tried in order at each place.
    QString sequential(const Block &b, const QString &word) const
    {
        QString w = word;
        int p = 0;
        while (why_.isEmpty() && w.size() <= longest_) {
            const View v = view(b, w);
            const RuleMatcher rm(list_, v.text, why_);
            std::vector<Match> found;
            for (int q = p; q <= v.text.size() && found.empty(); ++q) {
                for (const Rule &rule : b.lines) {
                    found = rm.at(rule, q, true);
                    if (!found.empty())
                        break;
                }
            }
            if (found.empty())
                break;
            const Match m = found.front();
            w = applied(w, edits(v, w, m));
            if (b.once)
                break;
            // After the text written; after an insertion, one place on.
            p = m.start + seenCount(b, m.out) + (m.start == m.end ? 1 : 0);
        }
        return w;
    }

    // Right to left: at each place from the end, the longest match ending
    // there, the block's lines tried in order.
    QString inverse(const Block &b, const QString &word) const
    {
        QString w = word;
        int limit = int(view(b, w).text.size());
        while (why_.isEmpty() && limit >= 0 && w.size() <= longest_) {
            const View v = view(b, w);
            const RuleMatcher rm(list_, v.text, why_);
            std::vector<Match> ending;
            for (int e = limit; e >= 0 && ending.empty(); --e) {
                for (const Rule &rule : b.lines) {
                    for (int s = 0; s <= e; ++s) {
                        for (const Match &m : rm.at(rule, s, false)) {
                            if (m.end == e)
                                ending.push_back(m);
                        }
                    }
                    if (!ending.empty())
                        break;
                }
            }
            if (ending.empty())
                break;
            // The longest; the description's other reading, the elements'
            // own order from the last element back (each longest, or present,
            // first), must agree, as must every way of that span.
            const Match m = ending.front();
            const auto mirrored = [](const Match &a, const Match &c) {
                return std::lexicographical_compare(a.lengths.rbegin(), a.lengths.rend(), c.lengths.rbegin(),
                                                    c.lengths.rend());
            };
            const Match other = *std::max_element(ending.begin(), ending.end(), mirrored);
            if (other.start != m.start || other.out != m.out)
                why_ = QStringLiteral("right to left, the longest match and the elements' order disagree");
            for (const Match &same : ending) {
                if (same.start == m.start && same.out != m.out)
                    why_ = QStringLiteral("right to left, two ways of one span write different texts");
            }
            w = applied(w, edits(v, w, m));
            if (b.once)
                break;
            limit = m.start - (m.start == m.end ? 1 : 0);
        }
        return w;
    }

    const RuleList &list_;
    int longest_;
    mutable QString why_;
};
} // namespace reference
