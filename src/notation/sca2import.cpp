#include "notation/sca2import.h"

#include "common/messages.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <vector>

namespace vordane {

namespace {

namespace text = messages::sca2;

constexpr char16_t kArrow = u'\u2192';
constexpr char16_t kEllipsis = u'\u2026';
constexpr char16_t kSquared = u'\u00B2';
constexpr int kMaxCaptures = 9;
// As many categories as one part of an extended rule may hold.
constexpr qsizetype kMaxCategories = 256;
constexpr qsizetype kMaxRewritten = 10000;

// Characters the extended notation reads as syntax; a literal one is written
// after "\". ";" and "@" are syntax only at the start of a line, but escaping
// them everywhere costs nothing; a tab is escaped as a space is.
const QString kSyntax = QStringLiteral("[]()*+!.${}&|\\\u2026#_>/?=,; @\t");

const QString kOption = QStringLiteral(" {secuencial}");

// A base character with the combining marks after it: one segment, as the
// extended notation cuts words (a decomposed "á" stays one member).
QStringList segmentsOf(QStringView line)
{
    QStringList segments;
    qsizetype i = 0;
    const auto width = [&](qsizetype at) {
        return line[at].isHighSurrogate() && at + 1 < line.size() && line[at + 1].isLowSurrogate() ? 2 : 1;
    };
    const auto codePoint = [&](qsizetype at) {
        return width(at) == 2 ? QChar::surrogateToUcs4(line[at], line[at + 1]) : char32_t(line[at].unicode());
    };
    while (i < line.size()) {
        qsizetype end = i + width(i);
        while (end < line.size() && QChar::isMark(codePoint(end)))
            end += width(end);
        segments.append(line.sliced(i, end - i).toString());
        i = end;
    }
    return segments;
}

struct Category {
    QStringList members;
    QString name; // how the list names it: a letter A-Z, or empty to write the members out
};

// One element of a rule part.
struct Atom {
    enum class Kind { Literal, Category, Reference, Place, Edge, Ellipsis, Open, Close };
    Kind kind = Kind::Literal;
    QString text; // Literal: one segment
    Category category; // Category
    int capture = 0; // Category: the capture it binds (0: none); Reference: the capture it stands for
};

using Atoms = std::vector<Atom>;

Atom literal(const QString &segment)
{
    return {Atom::Kind::Literal, segment, {}, 0};
}
Atom reference(int capture)
{
    return {Atom::Kind::Reference, {}, {}, capture};
}
Atom mark(Atom::Kind kind)
{
    return {kind, {}, {}, 0};
}

// The state of the whole import: categories and what is written.
class Importer {
public:
    explicit Importer(const QStringList &lines, bool rewriteOnOutput);
    Sca2Import result() { return std::move(result_); }

    // A segment of the original as a literal of the notation.
    QString literalText(const QString &segment) const
    {
        const QChar first = segment.front();
        const bool escape = kSyntax.contains(first) || names_.contains(first);
        return escape ? QLatin1Char('\\') + segment : segment;
    }
    QString literalRun(const QString &text) const
    {
        QString out;
        for (const QString &segment : segmentsOf(text))
            out += literalText(segment);
        return out;
    }
    const Category *category(const QString &segment) const
    {
        const auto found = categories_.constFind(segment);
        return found == categories_.constEnd() ? nullptr : &*found;
    }

private:
    enum class LineKind { Blank, Category, Rewrite, Rule, Other };
    static LineKind kindOf(const QString &line);
    // The line with every rewrite applied; nothing when it grows too long.
    std::optional<QString> rewritten(QString line) const;
    // Each returns why the line is refused, or nothing.
    QString addCategory(const QString &original, const QString &line);
    QString addRewrite(qsizetype number, const QString &original);
    void addRule(qsizetype number, const QString &original, const QString &line);
    void refuse(qsizetype number, const QString &original, const QString &reason);

    struct Rewrite {
        qsizetype number;
        QString original;
        QString from;
        QString to;
    };

    struct CategoryLine {
        QString original;
        QString name;
        Category category;
    };

    QHash<QString, Category> categories_;
    QString names_; // the letters defined as categories, which a literal must escape
    std::vector<Rewrite> rewrites_;
    std::vector<CategoryLine> categoryLines_;
    QStringList ruleLines_;
    Sca2Import result_;
};

// One sound change, parsed and written out.
class RuleConverter {
public:
    explicit RuleConverter(const Importer &importer)
        : importer_(importer)
    {
    }

    // The lines of the rule (a block when a category of the replacement is
    // shorter than the target's), or nothing with `reason` set.
    std::optional<QStringList> convert(const QStringList &parts, QString &reason);

private:
    enum class Part { Target, Replacement, Context };

    bool parsePattern(const QString &part, Part kind, Atoms &atoms, QString &reason);
    bool parseReplacement(const QString &part, QString &reason);
    bool parseBracket(const QStringList &segments, qsizetype &i, Part kind, Atoms &atoms, QString &reason) const;
    // Binds `atom` to a capture (once) and returns its number.
    int captureOf(Atom &atom)
    {
        if (atom.capture == 0)
            atom.capture = ++captures_;
        return atom.capture;
    }
    // Appends what matches (or writes) `atom` again.
    void repeat(Atom &atom, Atoms &atoms);

    // Members from..to of the target's first category.
    struct Range {
        qsizetype from;
        qsizetype to;
        bool literal; // one member, written as itself
    };

    QString write(const Atoms &atoms, const Range *first) const;
    QString writeCategory(const Category &category, qsizetype from, qsizetype to, bool context) const;
    QString writeReplacement(const Range &range, bool byCapture) const;

    const Importer &importer_;
    Atoms target_;
    Atoms replacement_;
    std::vector<Atoms> contexts_; // the environment, then the exception if any
    int captures_ = 0;
};

bool RuleConverter::parseBracket(const QStringList &segments, qsizetype &i, Part kind, Atoms &atoms,
                                 QString &reason) const
{
    Category category;
    for (++i; i < segments.size() && segments.at(i) != u']'; ++i) {
        const QString &member = segments.at(i);
        if (member == u'[' || member == kSquared || member == u'_') {
            reason = text::kBadMember;
            return false;
        }
        if (member == u'#' && kind != Part::Context) {
            reason = text::kEdgeInTarget;
            return false;
        }
        category.members.append(member);
    }
    if (i == segments.size()) {
        reason = text::kUnclosedBracket;
        return false;
    }
    if (category.members.isEmpty()) {
        reason = text::kEmptyBracket;
        return false;
    }
    atoms.push_back({Atom::Kind::Category, {}, category, 0});
    return true;
}

void RuleConverter::repeat(Atom &atom, Atoms &atoms)
{
    if (atom.kind == Atom::Kind::Literal)
        atoms.push_back(atom);
    else if (atom.kind == Atom::Kind::Reference)
        atoms.push_back(reference(atom.capture));
    else
        atoms.push_back(reference(captureOf(atom)));
}

bool RuleConverter::parsePattern(const QString &part, Part kind, Atoms &atoms, QString &reason)
{
    const QStringList segments = segmentsOf(part);
    const bool context = kind == Part::Context;
    int depth = 0;
    int places = 0;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString &segment = segments.at(i);
        const QChar c = segment.size() == 1 ? segment.front() : QChar();
        if (c == u'[') {
            if (!parseBracket(segments, i, kind, atoms, reason))
                return false;
        } else if (c == u']') {
            reason = text::kStrayBracket;
            return false;
        } else if (c == u'(' || c == u')' || c == kEllipsis) {
            if (!context) {
                reason = c == kEllipsis ? text::kEllipsisInTarget : text::kGroupInTarget;
                return false;
            }
            if (c == u'(') {
                ++depth;
                atoms.push_back(mark(Atom::Kind::Open));
            } else if (c == u')') {
                if (depth == 0) {
                    reason = text::kStrayGroup;
                    return false;
                }
                if (atoms.back().kind == Atom::Kind::Open) {
                    reason = text::kEmptyGroup;
                    return false;
                }
                --depth;
                atoms.push_back(mark(Atom::Kind::Close));
            } else {
                atoms.push_back(mark(Atom::Kind::Ellipsis));
            }
        } else if (c == u'#') {
            if (!context) {
                reason = text::kEdgeInTarget;
                return false;
            }
            // Only the outer ends of an environment are word edges.
            if (i != 0 && i != segments.size() - 1) {
                reason = text::kEdgeInside;
                return false;
            }
            atoms.push_back(mark(Atom::Kind::Edge));
        } else if (c == u'_') {
            if (!context) {
                reason = text::kPlaceInTarget;
                return false;
            }
            if (++places > 1) {
                reason = text::kSecondPlace;
                return false;
            }
            if (depth > 0) {
                reason = text::kPlaceInGroup;
                return false;
            }
            atoms.push_back(mark(Atom::Kind::Place));
        } else if (c == kSquared) {
            if (atoms.empty()) {
                reason = text::kNothingToRepeat;
                return false;
            }
            const Atom::Kind previous = atoms.back().kind;
            if (previous == Atom::Kind::Place) {
                // The target matched again right after it.
                if (target_.empty()) {
                    reason = text::kNothingToRepeat;
                    return false;
                }
                for (Atom &atom : target_)
                    repeat(atom, atoms);
            } else if (previous == Atom::Kind::Literal || previous == Atom::Kind::Category
                       || previous == Atom::Kind::Reference) {
                // The vector may grow: repeat a copy, then bind the original.
                Atom &last = atoms.back();
                if (last.kind == Atom::Kind::Category)
                    captureOf(last);
                Atom copy = last;
                repeat(copy, atoms);
            } else {
                reason = text::kNothingToRepeat;
                return false;
            }
        } else if (const Category *category = importer_.category(segment)) {
            atoms.push_back({Atom::Kind::Category, {}, *category, 0});
        } else {
            atoms.push_back(literal(segment));
        }
    }
    if (depth > 0) {
        reason = text::kUnclosedGroup;
        return false;
    }
    return true;
}

bool RuleConverter::parseReplacement(const QString &part, QString &reason)
{
    if (part == QLatin1String("\\\\")) {
        // The target reversed: every category in it is bound to a capture.
        if (target_.empty()) {
            reason = text::kReversalOfNothing;
            return false;
        }
        for (Atom &atom : target_) {
            if (atom.kind == Atom::Kind::Category)
                captureOf(atom);
        }
        for (auto atom = target_.rbegin(); atom != target_.rend(); ++atom)
            repeat(*atom, replacement_);
        return true;
    }
    if (part.contains(QLatin1String("\\\\"))) {
        reason = text::kReversalWithOthers;
        return false;
    }
    const QStringList segments = segmentsOf(part);
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString &segment = segments.at(i);
        const QChar c = segment.size() == 1 ? segment.front() : QChar();
        if (c == u'[') {
            if (!parseBracket(segments, i, Part::Replacement, replacement_, reason))
                return false;
        } else if (c == u']') {
            reason = text::kStrayBracket;
            return false;
        } else if (c == u'(' || c == u')') {
            reason = text::kGroupInTarget;
            return false;
        } else if (c == kEllipsis) {
            reason = text::kEllipsisInTarget;
            return false;
        } else if (c == u'#') {
            reason = text::kEdgeInTarget;
            return false;
        } else if (c == u'_') {
            reason = text::kPlaceInTarget;
            return false;
        } else if (c == kSquared) {
            // The previous character written again (a category: its member again).
            if (replacement_.empty()) {
                reason = text::kNothingToRepeat;
                return false;
            }
            const Atom previous = replacement_.back();
            replacement_.push_back(previous);
        } else if (const Category *category = importer_.category(segment)) {
            replacement_.push_back({Atom::Kind::Category, {}, *category, 0});
        } else {
            replacement_.push_back(literal(segment));
        }
    }
    return true;
}

QString RuleConverter::writeCategory(const Category &category, qsizetype from, qsizetype to, bool context) const
{
    if (!category.name.isEmpty() && from == 0 && to == category.members.size())
        return category.name;
    QStringList members;
    for (qsizetype i = from; i < to; ++i) {
        const QString &member = category.members.at(i);
        // In an environment a "#" member is the word's edge, as in the original.
        members.append(context && member == u'#' ? member : importer_.literalText(member));
    }
    return QLatin1Char('[') + members.join(QLatin1Char(',')) + QLatin1Char(']');
}

// `first`: the members that the target's first category keeps on this line
// of a block (null: all of them).
QString RuleConverter::write(const Atoms &atoms, const Range *first) const
{
    QString out;
    bool afterCapture = false; // a digit right after "$n" must not read as part of it
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        const Atom &atom = atoms[i];
        bool captured = false;
        switch (atom.kind) {
        case Atom::Kind::Literal: {
            const QString written = importer_.literalText(atom.text);
            out += afterCapture && atom.text.front().isDigit() ? QLatin1Char('\\') + written : written;
            break;
        }
        case Atom::Kind::Category:
            if (i == 0 && first && first->literal) {
                out += importer_.literalText(atom.category.members.at(first->from));
                break;
            }
            if (i == 0 && first)
                out += writeCategory(atom.category, first->from, first->to, false);
            else
                out += writeCategory(atom.category, 0, atom.category.members.size(), true);
            if (atom.capture != 0) {
                out += QLatin1Char('$') + QString::number(atom.capture);
                captured = true;
            }
            break;
        case Atom::Kind::Reference:
            out += QLatin1Char('$') + QString::number(atom.capture);
            captured = true;
            break;
        case Atom::Kind::Place:
            out += QLatin1Char('_');
            break;
        case Atom::Kind::Edge:
            out += QLatin1Char('#');
            break;
        case Atom::Kind::Ellipsis:
            out += kEllipsis;
            break;
        case Atom::Kind::Open:
            out += QLatin1Char('(');
            break;
        case Atom::Kind::Close:
            out += QLatin1Char(')');
            break;
        }
        afterCapture = captured;
    }
    return out;
}

// The replacement for some members of the target's first category: a
// category of the replacement writes its member of the same index, and
// nothing where it has no such member.
QString RuleConverter::writeReplacement(const Range &range, bool byCapture) const
{
    QString out;
    bool afterCapture = false;
    for (const Atom &atom : replacement_) {
        bool captured = atom.kind == Atom::Kind::Reference;
        if (atom.kind == Atom::Kind::Literal) {
            const QString written = importer_.literalText(atom.text);
            out += afterCapture && atom.text.front().isDigit() ? QLatin1Char('\\') + written : written;
        } else if (atom.kind == Atom::Kind::Reference) {
            out += QLatin1Char('$') + QString::number(atom.capture);
        } else if (atom.category.members.size() > range.from) {
            if (range.literal) {
                out += importer_.literalText(atom.category.members.at(range.from));
            } else {
                out += writeCategory(atom.category, range.from, range.to, false);
                if (byCapture) {
                    out += QLatin1Char('$') + QString::number(target_.front().capture);
                    captured = true;
                }
            }
        }
        afterCapture = captured;
    }
    return out;
}

std::optional<QStringList> RuleConverter::convert(const QStringList &parts, QString &reason)
{
    if (parts.size() < 3) {
        reason = text::kMissingEnvironment;
        return std::nullopt;
    }
    if (parts.size() > 4) {
        reason = text::kTooManyParts;
        return std::nullopt;
    }
    if (!parsePattern(parts.at(0), Part::Target, target_, reason) || !parseReplacement(parts.at(1), reason))
        return std::nullopt;
    if (target_.empty() && replacement_.empty()) {
        reason = text::kNothingToDo;
        return std::nullopt;
    }
    for (qsizetype p = 2; p < parts.size(); ++p) {
        if (p == 3 && parts.at(p).isEmpty())
            break; // a closing "/" with no exception after it
        Atoms context;
        if (!parsePattern(parts.at(p), Part::Context, context, reason))
            return std::nullopt;
        const bool hasPlace = std::any_of(context.begin(), context.end(),
                                          [](const Atom &atom) { return atom.kind == Atom::Kind::Place; });
        if (!hasPlace) {
            reason = p == 2 ? text::kEnvironmentWithoutPlace : text::kExceptionWithoutPlace;
            return std::nullopt;
        }
        contexts_.push_back(std::move(context));
    }
    if (target_.empty() && contexts_.front().size() == 1) {
        reason = text::kInsertionWithoutEnvironment;
        return std::nullopt;
    }

    // Categories of the replacement take the index of the member that the
    // target's first category matched.
    qsizetype mapped = 0;
    std::vector<qsizetype> sizes;
    for (const Atom &atom : replacement_) {
        if (atom.kind == Atom::Kind::Category) {
            ++mapped;
            sizes.push_back(atom.category.members.size());
        }
    }
    if (mapped > kMaxCategories) {
        reason = text::kTooManyCategories;
        return std::nullopt;
    }
    const bool byIndex = mapped > 0;
    if (byIndex && (target_.empty() || target_.front().kind != Atom::Kind::Category)) {
        reason = text::kUnpairedCategory;
        return std::nullopt;
    }
    // One category of the replacement pairs with the target's first by
    // position; otherwise each names it through a capture.
    const bool referenced = byIndex && target_.front().capture != 0;
    const bool byCapture = byIndex && (mapped > 1 || referenced);
    if (byCapture)
        captureOf(target_.front());
    if (captures_ > kMaxCaptures) {
        reason = text::kTooManyCaptures;
        return std::nullopt;
    }

    QString tail;
    if (contexts_.front().size() > 1)
        tail += QLatin1Char('/') + write(contexts_.front(), nullptr);
    if (contexts_.size() > 1)
        tail += QStringLiteral("//") + write(contexts_.back(), nullptr);
    if (!byIndex) {
        const Range none{0, 0, false};
        return QStringList{write(target_, nullptr) + QLatin1Char('>') + writeReplacement(none, false) + tail + kOption};
    }

    // A replacement category shorter than the target's deletes what the
    // surplus members match: the target's members are cut into runs, one
    // line of a block each, at every size below the target's.
    const qsizetype size = target_.front().category.members.size();
    std::vector<qsizetype> cuts{0, size};
    for (const qsizetype s : sizes) {
        if (s < size)
            cuts.push_back(s);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    QStringList lines;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        // A run of one member is written as letters, unless a capture of it is used elsewhere.
        const Range range{cuts[k], cuts[k + 1], cuts[k + 1] - cuts[k] == 1 && !referenced};
        const QString line = write(target_, &range) + QLatin1Char('>') + writeReplacement(range, byCapture) + tail;
        lines.append(k == 0 ? line + kOption : QLatin1Char('&') + line);
    }
    return lines;
}

Importer::LineKind Importer::kindOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return LineKind::Blank;
    if (trimmed.contains(u'/') || trimmed.contains(kArrow))
        return LineKind::Rule;
    const QStringList segments = segmentsOf(trimmed);
    if (segments.size() >= 2 && segments.at(1) == u'=')
        return LineKind::Category;
    if (trimmed.contains(u'|'))
        return LineKind::Rewrite;
    return LineKind::Other;
}

// Rewrites apply to the categories and rules too, so that a rule may name a
// rewritten sequence as the words will hold it.
std::optional<QString> Importer::rewritten(QString line) const
{
    for (const Rewrite &rewrite : rewrites_) {
        // Rewrites that lengthen what they write may chain without end (a|aa, a|aa...).
        if (line.replace(rewrite.from, rewrite.to).size() > kMaxRewritten)
            return std::nullopt;
    }
    return line;
}

void Importer::refuse(qsizetype number, const QString &original, const QString &reason)
{
    result_.problems.append(text::problem(number, original, reason));
    ruleLines_.append(QStringLiteral("; no importada: ") + reason);
    ruleLines_.append(QStringLiteral("; ") + original);
}

QString Importer::addCategory(const QString &original, const QString &line)
{
    const QStringList segments = segmentsOf(line);
    Category category;
    // Spaces among the members are taken for separators, not for members.
    for (const QString &member : segments.mid(2)) {
        if (!member.trimmed().isEmpty())
            category.members.append(member);
    }
    if (category.members.isEmpty())
        return text::kEmptyCategory;
    const QString &name = segments.front();
    const QChar letter = name.front();
    if (name.size() == 1 && letter >= u'A' && letter <= u'Z') {
        category.name = name;
        if (!names_.contains(letter))
            names_ += letter;
    }
    categories_.insert(name, category);
    categoryLines_.push_back({original, name, category});
    return QString();
}

QString Importer::addRewrite(qsizetype number, const QString &original)
{
    const QStringList sides = original.trimmed().split(u'|');
    if (sides.size() != 2 || sides.front().isEmpty())
        return text::kBadRewrite;
    rewrites_.push_back({number, original, sides.front(), sides.back()});
    return QString();
}

void Importer::addRule(qsizetype number, const QString &original, const QString &line)
{
    QString rule = line;
    const qsizetype arrow = rule.indexOf(kArrow);
    const qsizetype slash = rule.indexOf(u'/');
    if (arrow >= 0 && (slash < 0 || arrow < slash))
        rule[arrow] = u'/';
    QString reason;
    RuleConverter converter(*this);
    const std::optional<QStringList> lines = converter.convert(rule.split(u'/'), reason);
    if (!lines) {
        refuse(number, original, reason);
        return;
    }
    ruleLines_.append(QStringLiteral("; ") + original);
    ruleLines_ += *lines;
    ++result_.rules;
}

Importer::Importer(const QStringList &lines, bool rewriteOnOutput)
{
    // Categories and rewrites hold for every rule, wherever they stand: they
    // are read first, and written before the rules.
    std::vector<LineKind> kinds;
    QStringList refusals(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        kinds.push_back(kindOf(lines.at(i)));
        if (kinds.back() == LineKind::Rewrite)
            refusals[i] = addRewrite(i + 1, lines.at(i));
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (kinds[std::size_t(i)] != LineKind::Category)
            continue;
        const std::optional<QString> line = rewritten(lines.at(i).trimmed());
        refusals[i] = line ? addCategory(lines.at(i), *line) : text::tooLongRewritten(kMaxRewritten);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &original = lines.at(i);
        if (!refusals.at(i).isEmpty()) {
            refuse(i + 1, original, refusals.at(i));
            continue;
        }
        switch (kinds[std::size_t(i)]) {
        case LineKind::Blank:
            ruleLines_.append(QString());
            break;
        case LineKind::Rule:
            if (const std::optional<QString> line = rewritten(original.trimmed()))
                addRule(i + 1, original, *line);
            else
                refuse(i + 1, original, text::tooLongRewritten(kMaxRewritten));
            break;
        case LineKind::Other:
            refuse(i + 1, original, text::kNotALine);
            break;
        case LineKind::Category:
        case LineKind::Rewrite:
            break;
        }
    }

    QStringList &out = result_.lines;
    out.append(QStringLiteral("@ampliada"));
    out.append(QStringLiteral("; Importado de SCA²: cada regla se aplica de izquierda a derecha ({secuencial})."));
    // A letter defined twice ends with its last members before any rule, as
    // in the original.
    for (const CategoryLine &line : categoryLines_) {
        out.append(QStringLiteral("; ") + line.original);
        if (line.category.name.isEmpty()) {
            out.append(QStringLiteral("; (el nombre «%1» no es una letra de la A a la Z: sus miembros se escriben "
                                      "en cada regla)")
                           .arg(line.name));
            continue;
        }
        QStringList members;
        for (const QString &member : line.category.members)
            members.append(literalText(member));
        out.append(line.category.name + QLatin1Char('=') + members.join(QLatin1Char(',')));
    }
    if (!categoryLines_.empty())
        out.append(QString());
    for (const Rewrite &rewrite : rewrites_) {
        out.append(QStringLiteral("; ") + rewrite.original);
        out.append(literalRun(rewrite.from) + QLatin1Char('>') + literalRun(rewrite.to));
        ++result_.rules;
    }
    if (!rewrites_.empty())
        out.append(QString());
    out += ruleLines_;
    if (rewriteOnOutput && !rewrites_.empty()) {
        out.append(QString());
        out.append(QStringLiteral("; De vuelta a la escritura de la entrada, al final."));
        for (auto rewrite = rewrites_.rbegin(); rewrite != rewrites_.rend(); ++rewrite) {
            out.append(QStringLiteral("; ") + rewrite->original);
            if (rewrite->to.isEmpty()) {
                const QString reason = text::backRewriteInsertion(rewrite->from);
                result_.problems.append(text::problem(rewrite->number, rewrite->original, reason));
                out.append(QStringLiteral("; no importada: ") + reason);
                continue;
            }
            out.append(literalRun(rewrite->to) + QLatin1Char('>') + literalRun(rewrite->from));
        }
    }
}

} // namespace

Sca2Import importSca2(const QStringList &lines, bool rewriteOnOutput)
{
    return Importer(lines, rewriteOnOutput).result();
}

} // namespace vordane
