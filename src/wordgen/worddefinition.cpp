#include "wordgen/worddefinition.h"

#include "common/linereader.h"
#include "transformer/extendedrules.h"
#include "transformer/rulefile.h"
#include "transformer/transformationengine.h"
#include "wordgen/wordgenmessages.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vordane {

namespace msg = messages::wordgen;

namespace {

const QChar kEmptyMark(u'∅');

// A character of a line as the lists read it: escaped ("\c") or not, and
// where it stands (from 1).
struct Char {
    QChar c;
    bool literal = false;
    qsizetype position = 1;

    bool is(char16_t x) const { return !literal && c == x; }
};
using Chars = std::vector<Char>;

QString textOf(const Chars &chars, std::size_t from = 0, std::size_t to = std::size_t(-1))
{
    QString text;
    for (std::size_t i = from; i < std::min(to, chars.size()); ++i)
        text += chars[i].c;
    return text;
}

bool isCategoryName(const Char &c)
{
    return !c.literal && c.c >= u'A' && c.c <= u'Z';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A positive finite number ("5", "0.5").
std::optional<double> positiveNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0 || text.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    return value;
}

std::optional<double> percentage(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value >= 0 && value <= 100) || text.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    return value;
}

// The directive's name, for matching: lower case, without accents.
QString plainName(const QString &name)
{
    QString plain = name.toLower();
    plain.replace(u'í', u'i').replace(u'ú', u'u').replace(u'á', u'a');
    return plain;
}

enum class Falloff { Equal, Percent, Zipf, GuseinZade };

class Parser {
public:
    Parser(const QStringList &lines, const QString &folder)
        : lines_(lines)
        , folder_(folder)
    {
    }

    ParsedWordDefinition run();

private:
    struct Pending {
        qsizetype line;
        qsizetype from; // where the directive's text starts in the line
        double optional; // the chance of "(P)" at that line
        int position = 0;
    };

    void error(qsizetype line, qsizetype position, const QString &reason)
    {
        result_.errors.append(RuleError{line, position, reason, lines_.at(line)});
    }

    // The characters of a line from `from`, unescaped blanks dropped; false
    // (with the error told) for a "\" that ends the line.
    bool lex(qsizetype line, qsizetype from, Chars &chars)
    {
        const QString &text = lines_.at(line);
        for (qsizetype i = from; i < text.size(); ++i) {
            if (text.at(i) == u'\\') {
                if (i + 1 >= text.size()) {
                    error(line, i + 1, msg::kEscapeAtEnd);
                    return false;
                }
                chars.push_back({text.at(i + 1), true, i + 1});
                ++i;
            } else if (!isBlank(text.at(i))) {
                chars.push_back({text.at(i), false, i + 1});
            }
        }
        return true;
    }

    // Cuts at every unescaped comma; each item with where it starts (just
    // after its comma when it is empty).
    struct Item {
        Chars chars;
        qsizetype start;
    };
    static std::vector<Item> splitItems(const Chars &chars, qsizetype from)
    {
        std::vector<Item> items{{{}, chars.empty() ? from + 1 : chars.front().position}};
        for (const Char &c : chars) {
            if (c.is(u','))
                items.push_back({{}, c.position + 1});
            else
                items.back().chars.push_back(c);
        }
        for (Item &item : items) {
            if (!item.chars.empty())
                item.start = item.chars.front().position;
        }
        return items;
    }

    // Takes a ":W" weight off the end of an item; false when it is malformed.
    bool takeWeight(qsizetype line, Chars &item, std::optional<double> &weight)
    {
        const auto colon = std::find_if(item.rbegin(), item.rend(), [](const Char &c) { return c.is(u':'); });
        if (colon == item.rend())
            return true;
        const std::size_t at = std::size_t(item.rend() - colon) - 1;
        weight = positiveNumber(textOf(item, at + 1));
        if (!weight) {
            error(line, item[at].position + 1, msg::kBadWeight);
            return false;
        }
        item.resize(at);
        return true;
    }

    void parseCategory(qsizetype line, qsizetype at);
    void parseDirective(qsizetype line, qsizetype at);
    void parseChanges(qsizetype line, qsizetype from);
    void parseLength(qsizetype line, qsizetype from);
    void parseAlphabet(qsizetype line, qsizetype from);
    void parseShapes(const Pending &pending);
    void parseRejection(const Pending &pending);
    void finish();

    // Shapes: a sequence up to one of the stop characters.
    bool parseSequence(qsizetype line, const Chars &chars, std::size_t &i, std::vector<WordDefinition::Node> &nodes,
                       double optional, int depth);

    bool seenOnce(qsizetype line, const QString &name, qsizetype &seen)
    {
        if (seen >= 0) {
            error(line, 1 + lines_.at(line).indexOf(u'@'), msg::repeatedDirective(name, seen));
            return false;
        }
        seen = line;
        return true;
    }

    int categoryIndex(QChar name) const
    {
        for (std::size_t i = 0; i < result_.definition.categories.size(); ++i) {
            if (result_.definition.categories[i].name == name)
                return int(i);
        }
        return -1;
    }

    const QStringList &lines_;
    QString folder_;
    ParsedWordDefinition result_;
    Falloff falloff_ = Falloff::Equal;
    double falloffPercent_ = 0;
    double optional_ = 0.5;
    std::vector<Pending> shapeLines_;
    std::vector<Pending> rejectionLines_;
    std::array<qsizetype, WordDefinition::kPositions> shapeSeen_{-1, -1, -1, -1, -1};
    qsizetype lengthLine_ = -1;
    qsizetype alphabetLine_ = -1;
    bool alphabetGiven_ = false;
};

ParsedWordDefinition Parser::run()
{
    for (qsizetype line = 0; line < lines_.size(); ++line) {
        const QString &text = lines_.at(line);
        qsizetype at = 0;
        while (at < text.size() && isBlank(text.at(at)))
            ++at;
        if (at == text.size() || text.at(at) == u';')
            continue;
        if (text.at(at) == u'@') {
            parseDirective(line, at);
            if (result_.definition.changesLine >= 0)
                break; // the rest of the file belongs to the changes
            continue;
        }
        qsizetype next = at + 1;
        while (next < text.size() && isBlank(text.at(next)))
            ++next;
        if (text.at(at) >= u'A' && text.at(at) <= u'Z' && next < text.size() && text.at(next) == u'=') {
            parseCategory(line, at);
            continue;
        }
        error(line, at + 1, msg::kUnknownLine);
    }
    for (const Pending &pending : shapeLines_)
        parseShapes(pending);
    for (const Pending &pending : rejectionLines_)
        parseRejection(pending);
    finish();
    return std::move(result_);
}

void Parser::parseCategory(qsizetype line, qsizetype at)
{
    const QChar name = lines_.at(line).at(at);
    const int existing = categoryIndex(name);
    if (existing >= 0) {
        error(line, at + 1, msg::repeatedCategory(name, result_.definition.categories[std::size_t(existing)].line));
        return;
    }
    Chars chars;
    if (!lex(line, lines_.at(line).indexOf(u'=', at) + 1, chars))
        return;
    if (chars.empty()) {
        error(line, at + 1, msg::kNoMembers);
        return;
    }
    struct Item {
        QString text;
        std::optional<double> weight;
        int rank;
    };
    std::vector<Item> items;
    bool anyWeight = false;
    int rank = 0;
    for (auto &[item, position] : splitItems(chars, 0)) {
        std::optional<double> weight;
        if (!takeWeight(line, item, weight))
            return;
        anyWeight = anyWeight || weight.has_value();
        if (item.empty()) {
            error(line, position, msg::kEmptyMember);
            return;
        }
        if (item.size() == 1 && isCategoryName(item.front())) {
            const int named = categoryIndex(item.front().c);
            if (named < 0) {
                error(line, position, msg::undefinedCategory(item.front().c));
                return;
            }
            for (const WordDefinition::Member &member : result_.definition.categories[std::size_t(named)].members)
                items.push_back({member.text, weight, ++rank});
            continue;
        }
        if (item.size() == 1 && item.front().is(kEmptyMark.unicode())) {
            items.push_back({QString(), weight, ++rank});
            continue;
        }
        items.push_back({textOf(item), weight, ++rank});
    }
    WordDefinition::Category category{name, {}, line};
    const double n = double(items.size());
    for (const Item &item : items) {
        double weight = 1;
        if (anyWeight) {
            weight = item.weight.value_or(1);
        } else {
            const double k = item.rank;
            switch (falloff_) {
            case Falloff::Equal:
                break;
            case Falloff::Percent:
                weight = std::pow(1 - falloffPercent_ / 100, k - 1);
                break;
            case Falloff::Zipf:
                weight = 1 / k;
                break;
            case Falloff::GuseinZade:
                weight = std::log(n + 1) - std::log(k);
                break;
            }
        }
        // Equal members add their weights: repeating a member weighs it.
        const auto same = std::find_if(category.members.begin(), category.members.end(),
                                       [&](const WordDefinition::Member &m) { return m.text == item.text; });
        if (same != category.members.end())
            same->weight += weight;
        else
            category.members.push_back({item.text, weight});
    }
    result_.definition.categories.push_back(std::move(category));
}

void Parser::parseDirective(qsizetype line, qsizetype at)
{
    const QString &text = lines_.at(line);
    qsizetype end = at + 1;
    while (end < text.size() && !isBlank(text.at(end)))
        ++end;
    const QString written = text.mid(at, end - at);
    const QString name = plainName(written);
    const QString rest = text.mid(end).trimmed();
    qsizetype valueAt = end; // where the directive's value starts, for errors
    while (valueAt < text.size() && isBlank(text.at(valueAt)))
        ++valueAt;
    if (name == QLatin1String("@formas") || name == QLatin1String("@inicial") || name == QLatin1String("@media")
        || name == QLatin1String("@final") || name == QLatin1String("@unica")) {
        const int position = name == QLatin1String("@formas") ? WordDefinition::Any
            : name == QLatin1String("@inicial")               ? WordDefinition::Initial
            : name == QLatin1String("@media")                 ? WordDefinition::Middle
            : name == QLatin1String("@final")                 ? WordDefinition::Final
                                                              : WordDefinition::Single;
        if (seenOnce(line, written, shapeSeen_[std::size_t(position)]))
            shapeLines_.push_back({line, end, optional_, position});
    } else if (name == QLatin1String("@rechazar")) {
        rejectionLines_.push_back({line, end, optional_});
    } else if (name == QLatin1String("@caida")) {
        const QString value = rest.toLower();
        if (value == QLatin1String("0")) {
            falloff_ = Falloff::Equal;
        } else if (value == QLatin1String("zipf")) {
            falloff_ = Falloff::Zipf;
        } else if (value == QLatin1String("gusein-zade")) {
            falloff_ = Falloff::GuseinZade;
        } else if (const std::optional<double> n = percentage(value); n && *n >= 1 && *n <= 99) {
            falloff_ = Falloff::Percent;
            falloffPercent_ = *n;
        } else {
            error(line, valueAt + 1, msg::kBadFalloff);
        }
    } else if (name == QLatin1String("@opcional")) {
        if (const std::optional<double> n = percentage(rest))
            optional_ = *n / 100;
        else
            error(line, valueAt + 1, msg::kBadOptional);
    } else if (name == QLatin1String("@longitud")) {
        if (seenOnce(line, written, lengthLine_))
            parseLength(line, end);
    } else if (name == QLatin1String("@alfabeto")) {
        if (seenOnce(line, written, alphabetLine_))
            parseAlphabet(line, end);
    } else if (name == QLatin1String("@cambios")) {
        parseChanges(line, end);
    } else {
        error(line, at + 1, msg::unknownDirective(written));
    }
}

void Parser::parseChanges(qsizetype line, qsizetype from)
{
    WordDefinition &definition = result_.definition;
    definition.changesLine = line;
    const QString file = lines_.at(line).mid(from).trimmed();
    if (file.isEmpty()) {
        // The rest of the file, under the marker and the categories above
        // (in the rules' own notation), so that the rules may name them.
        QStringList categories;
        for (const WordDefinition::Category &category : definition.categories) {
            QStringList members;
            for (const WordDefinition::Member &member : category.members) {
                if (member.text.isEmpty())
                    continue;
                QString text;
                for (QChar c : member.text) {
                    if (!c.isLetterOrNumber() || (member.text.size() == 1 && c >= u'A' && c <= u'Z'))
                        text += u'\\';
                    text += c;
                }
                members.append(text);
            }
            if (!members.isEmpty())
                categories.append(QString(category.name) + u'=' + members.join(u','));
        }
        definition.changeRules = QStringList{kExtendedMarker} + categories + lines_.mid(line + 1);
        auto rules = std::make_shared<RuleSet>(definition.changeRules);
        const auto added = categories.size();
        for (RuleError fault : rules->errors()) {
            // A list index past the categories is the line's own offset from here.
            fault.line = fault.line > added ? fault.line - added + line : line;
            result_.errors.append(fault);
        }
        definition.changes = std::move(rules);
        return;
    }
    const qsizetype position = lines_.at(line).indexOf(file, from) + 1;
    const QString path = QDir(folder_.isEmpty() ? QDir::currentPath() : folder_).filePath(file);
    QStringList rules;
    if (const FileStatus status = readRuleFile(path, rules); !status.ok()) {
        error(line, position, msg::changesFileFailed(status.message()));
        return;
    }
    definition.changeRules = ruleTable(rules);
    auto ruleSet = std::make_shared<RuleSet>(definition.changeRules);
    for (const RuleError &fault : ruleSet->errors()) {
        QString inner = fault.message();
        inner.chop(1);
        error(line, position, msg::changesFileError(file, inner));
    }
    definition.changes = std::move(ruleSet);
}

void Parser::parseLength(qsizetype line, qsizetype from)
{
    Chars chars;
    if (!lex(line, from, chars))
        return;
    const auto bad = [&](qsizetype position) { error(line, position, msg::badLength(WordDefinition::kMaxSyllables)); };
    const auto count = [](const QString &text) -> std::optional<int> {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n < 0 || n > WordDefinition::kMaxSyllables || text.startsWith(u'+'))
            return std::nullopt;
        return n;
    };
    if (chars.empty())
        return bad(from + 1);
    std::vector<WordDefinition::Length> lengths;
    const auto dash = std::find_if(chars.begin(), chars.end(), [](const Char &c) { return c.is(u'-'); });
    if (dash != chars.end()) {
        const auto at = std::size_t(dash - chars.begin());
        const std::optional<int> low = count(textOf(chars, 0, at));
        const std::optional<int> high = count(textOf(chars, at + 1));
        if (!low || !high || *low > *high)
            return bad(chars.front().position);
        for (int n = *low; n <= *high; ++n)
            lengths.push_back({n, 1});
    } else {
        for (auto &[item, position] : splitItems(chars, from)) {
            std::optional<double> weight;
            if (!takeWeight(line, item, weight))
                return;
            const std::optional<int> n = count(textOf(item));
            if (!n)
                return bad(position);
            if (std::any_of(lengths.begin(), lengths.end(), [&](const auto &l) { return l.syllables == *n; })) {
                error(line, position, msg::kRepeatedLength);
                return;
            }
            lengths.push_back({*n, weight.value_or(1)});
        }
    }
    result_.definition.lengths = std::move(lengths);
}

void Parser::parseAlphabet(qsizetype line, qsizetype from)
{
    Chars chars;
    if (!lex(line, from, chars))
        return;
    QStringList alphabet;
    for (const auto &[item, position] : splitItems(chars, from)) {
        if (item.empty()) {
            error(line, position, msg::kEmptyAlphabet);
            return;
        }
        if (!alphabet.contains(textOf(item)))
            alphabet.append(textOf(item));
    }
    result_.definition.alphabet = alphabet;
    alphabetGiven_ = true;
}

bool Parser::parseSequence(qsizetype line, const Chars &chars, std::size_t &i, std::vector<WordDefinition::Node> &nodes,
                           double optional, int depth)
{
    using Node = WordDefinition::Node;
    const auto literal = [&](QChar c) {
        if (nodes.empty() || nodes.back().kind != Node::Kind::Literal)
            nodes.push_back(Node{});
        nodes.back().text += c;
    };
    while (i < chars.size()) {
        const Char &c = chars[i];
        if (c.is(u',') || c.is(u':')) {
            if (depth == 0)
                return true;
            if (c.is(u',')) {
                error(line, c.position, msg::kCommaInGroup);
                return false;
            }
        }
        if (c.is(u')') || c.is(u'}') || c.is(u'|')) {
            if (depth == 0) {
                error(line, c.position, msg::unexpected(c.c));
                return false;
            }
            return true;
        }
        if (c.is(u'?')) {
            error(line, c.position, msg::unexpected(c.c));
            return false;
        }
        if (c.is(u'(')) {
            Node node{Node::Kind::Optional, {}, -1, optional, {{}}};
            ++i;
            if (!parseSequence(line, chars, i, node.branches.front(), optional, depth + 1))
                return false;
            if (i >= chars.size() || !chars[i].is(u')')) {
                error(line, c.position, msg::unclosed(u'(', u')'));
                return false;
            }
            ++i;
            if (i < chars.size() && chars[i].is(u'?')) {
                const std::size_t start = ++i;
                while (i < chars.size() && !chars[i].literal && (chars[i].c.isDigit() || chars[i].c == u'.'))
                    ++i;
                const std::optional<double> chance = percentage(textOf(chars, start, i));
                if (!chance) {
                    error(line, chars[start - 1].position, msg::kBadChance);
                    return false;
                }
                node.probability = *chance / 100;
            }
            nodes.push_back(std::move(node));
            continue;
        }
        if (c.is(u'{')) {
            Node node{Node::Kind::Choice, {}, -1, 0, {}};
            ++i;
            while (true) {
                node.branches.emplace_back();
                if (!parseSequence(line, chars, i, node.branches.back(), optional, depth + 1))
                    return false;
                if (i < chars.size() && chars[i].is(u'|')) {
                    ++i;
                    continue;
                }
                break;
            }
            if (i >= chars.size() || !chars[i].is(u'}')) {
                error(line, c.position, msg::unclosed(u'{', u'}'));
                return false;
            }
            ++i;
            nodes.push_back(std::move(node));
            continue;
        }
        if (isCategoryName(c)) {
            const int index = categoryIndex(c.c);
            if (index < 0) {
                error(line, c.position, msg::undefinedCategory(c.c));
                return false;
            }
            nodes.push_back(Node{Node::Kind::Category, {}, index, 0, {}});
        } else if (!c.is(kEmptyMark.unicode())) {
            literal(c.c);
        }
        ++i;
    }
    return true;
}

void Parser::parseShapes(const Pending &pending)
{
    Chars chars;
    if (!lex(pending.line, pending.from, chars))
        return;
    WordDefinition::ShapeList list;
    list.line = pending.line;
    std::size_t i = 0;
    while (i <= chars.size()) {
        const std::size_t start = i;
        WordDefinition::Shape shape;
        if (!parseSequence(pending.line, chars, i, shape.nodes, pending.optional, 0))
            return;
        if (i == start) {
            error(pending.line, i < chars.size() ? chars[i].position : lines_.at(pending.line).size() + 1,
                  chars.empty() ? msg::kNoShapes : msg::kEmptyShape);
            return;
        }
        shape.text =
            lines_.at(pending.line).mid(chars[start].position - 1, chars[i - 1].position - chars[start].position + 1);
        if (i < chars.size() && chars[i].is(u':')) {
            const std::size_t from = ++i;
            while (i < chars.size() && !chars[i].is(u','))
                ++i;
            const std::optional<double> weight = positiveNumber(textOf(chars, from, i));
            if (!weight) {
                error(pending.line, chars[from - 1].position + 1, msg::kBadWeight);
                return;
            }
            shape.weight = *weight;
        }
        list.shapes.push_back(std::move(shape));
        if (i >= chars.size())
            break;
        ++i; // the comma
        if (i == chars.size()) {
            error(pending.line, chars.back().position, msg::kEmptyShape);
            return;
        }
    }
    result_.definition.shapes[std::size_t(pending.position)] = std::move(list);
}

void Parser::parseRejection(const Pending &pending)
{
    const QString &text = lines_.at(pending.line);
    qsizetype from = pending.from;
    while (from < text.size() && isBlank(text.at(from)))
        ++from;
    qsizetype to = text.size();
    while (to > from && isBlank(text.at(to - 1)))
        --to;
    if (from == to) {
        error(pending.line, from + 1, msg::kEmptyRejection);
        return;
    }
    // "{X}" naming a category becomes a group of its members, longest first
    // so that the group takes what the category's longest member would.
    QString pattern;
    std::vector<qsizetype> origin; // the line position each character of the pattern comes from
    for (qsizetype i = from; i < to; ++i) {
        if (text.at(i) == u'\\' && i + 1 < to) {
            pattern += text.mid(i, 2);
            origin.insert(origin.end(), {i + 1, i + 2});
            ++i;
            continue;
        }
        if (text.at(i) == u'{' && i + 2 < to && text.at(i + 2) == u'}' && text.at(i + 1) >= u'A'
            && text.at(i + 1) <= u'Z') {
            const int index = categoryIndex(text.at(i + 1));
            if (index < 0) {
                error(pending.line, i + 2, msg::undefinedCategory(text.at(i + 1)));
                return;
            }
            QStringList members;
            for (const WordDefinition::Member &member : result_.definition.categories[std::size_t(index)].members)
                members.append(QRegularExpression::escape(member.text));
            std::stable_sort(members.begin(), members.end(),
                             [](const QString &a, const QString &b) { return a.size() > b.size(); });
            const QString group = QStringLiteral("(?:%1)").arg(members.join(u'|'));
            pattern += group;
            origin.insert(origin.end(), std::size_t(group.size()), i + 1);
            i += 2;
            continue;
        }
        pattern += text.at(i);
        origin.push_back(i + 1);
    }
    const QRegularExpression expression(pattern);
    if (!expression.isValid()) {
        const qsizetype offset = expression.patternErrorOffset();
        const qsizetype position = offset >= 0 && offset < qsizetype(origin.size()) ? origin[std::size_t(offset)] : to;
        error(pending.line, position, msg::badRejection(expression.errorString()));
        return;
    }
    result_.definition.rejections.push_back({text.mid(from, to - from), pattern, pending.line});
}

void Parser::finish()
{
    WordDefinition &definition = result_.definition;
    if (definition.lengths.empty()) {
        for (int n = 1; n <= 3; ++n)
            definition.lengths.push_back({n, 1});
    }
    if (!alphabetGiven_) {
        for (const WordDefinition::Category &category : definition.categories) {
            for (const WordDefinition::Member &member : category.members) {
                if (!member.text.isEmpty() && !definition.alphabet.contains(member.text))
                    definition.alphabet.append(member.text);
            }
        }
    }
    if (!result_.errors.isEmpty())
        return;
    // Every syllable the lengths can ask for needs shapes.
    const auto needs = [&](int position, const QString &name) {
        if (definition.shapes[std::size_t(position)].line >= 0 || definition.shapes[WordDefinition::Any].line >= 0)
            return;
        const qsizetype line = lengthLine_ >= 0 ? lengthLine_ : std::max<qsizetype>(0, lines_.size() - 1);
        if (lines_.isEmpty())
            result_.errors.append(RuleError{0, 1, msg::missingShapes(name), QString()});
        else
            error(line, 1, msg::missingShapes(name));
    };
    int longest = 0;
    bool single = false;
    for (const WordDefinition::Length &length : definition.lengths) {
        longest = std::max(longest, length.syllables);
        single = single || length.syllables == 1;
    }
    if (single)
        needs(WordDefinition::Single, QStringLiteral("@única"));
    if (longest >= 2) {
        needs(WordDefinition::Initial, QStringLiteral("@inicial"));
        needs(WordDefinition::Final, QStringLiteral("@final"));
    }
    if (longest >= 3)
        needs(WordDefinition::Middle, QStringLiteral("@media"));
}

} // namespace

const WordDefinition::Category *WordDefinition::category(QChar name) const
{
    for (const Category &c : categories) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const WordDefinition::ShapeList &WordDefinition::shapesAt(Position position) const
{
    return shapes[std::size_t(position)].line >= 0 ? shapes[std::size_t(position)] : shapes[Any];
}

QString ParsedWordDefinition::message() const
{
    QStringList texts;
    for (const RuleError &error : errors)
        texts.append(error.message());
    return texts.join(u'\n');
}

ParsedWordDefinition parseWordDefinition(const QStringList &lines, const QString &folder)
{
    return Parser(lines, folder).run();
}

ParsedWordDefinition parseWordDefinitionText(const QString &text, const QString &folder)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    QStringList lines = unified.split(u'\n');
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast(); // a final line end adds no line
    return parseWordDefinition(lines, folder);
}

FileStatus readWordDefinitionFile(const QString &path, QStringList &lines)
{
    LineReader reader(path);
    if (const FileStatus status = reader.open(); !status.ok())
        return status;
    QStringList read;
    while (!reader.atEnd())
        read.append(reader.readLine());
    if (!reader.status().ok())
        return reader.status();
    lines = std::move(read);
    return FileStatus::success();
}

} // namespace vordane
