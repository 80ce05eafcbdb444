#include "notation/features.h"

#include "notation/linetext.h"

#include "common/featuremessages.h"
#include "notation/ipatable.h"

#include <QChar>

#include <algorithm>
#include <bit>

namespace vordane::notation {

namespace nmsg = messages::notation;

namespace {

constexpr char32_t kDottedCircle = 0x25CC;

bool isNameCharacter(QChar c)
{
    switch (c.unicode()) {
    case u' ': case u',': case u'[': case u']': case u'(': case u')': case u'+': case u'-': case u'!': case u'$':
    case u'*': case u':': case u'|': case u'#': case u'_': case u'/': case u'>': case u'=': case u'\\': case u'{':
    case u'}': case u'&': case u'?': case u'.':
        return false;
    default:
        return !c.isSpace();
    }
}

bool isName(const QString &name)
{
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), isNameCharacter);
}

// A word of a declaration and where it starts in the line.
struct Token {
    QString text;
    qsizetype unit = 0;
};

// Words separated by spaces and commas.
std::vector<Token> tokens(const QString &line, qsizetype from, qsizetype to)
{
    std::vector<Token> out;
    for (qsizetype i = from; i < to;) {
        if (line.at(i) == u' ' || line.at(i) == u',') {
            ++i;
            continue;
        }
        Token token;
        token.unit = i;
        while (i < to && line.at(i) != u' ' && line.at(i) != u',')
            token.text += line.at(i++);
        out.push_back(token);
    }
    return out;
}

// The directive's name as written and where the rest of the line starts.
QString directive(const QString &line, qsizetype *restAt)
{
    qsizetype start = 0;
    while (start < line.size() && line.at(start) == u' ')
        ++start;
    qsizetype end = start;
    while (end < line.size() && line.at(end) != u' ')
        ++end;
    *restAt = end;
    return line.sliced(start, end - start);
}

// The first ":" not written "\:", -1 for none.
qsizetype colonAt(const QString &line, qsizetype from)
{
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line.at(i) == u'\\')
            ++i;
        else if (line.at(i) == u':')
            return i;
    }
    return -1;
}

enum class Kind { None, Feature, Table, Symbol, Diacritic };

Kind kindOf(const QString &name)
{
    const QString plain = plainName(name);
    if (plain == QStringLiteral("@rasgo"))
        return Kind::Feature;
    if (plain == QStringLiteral("@rasgos"))
        return Kind::Table;
    if (plain == QStringLiteral("@simbolo"))
        return Kind::Symbol;
    if (plain == QStringLiteral("@diacritico"))
        return Kind::Diacritic;
    return Kind::None;
}

} // namespace

std::vector<ValueId> ValueSet::values() const
{
    std::vector<ValueId> out;
    for (std::size_t i = 0; i < kWords; ++i) {
        for (std::uint64_t word = words_[i]; word; word &= word - 1)
            out.push_back(ValueId(i * 64 + std::size_t(std::countr_zero(word))));
    }
    return out;
}

bool isFeatureDirective(const QString &name)
{
    return kindOf(name) != Kind::None;
}

// Reads declarations into a table; the symbols and diacritics get their
// default values and their order when every line has been read.
class FeatureReader {
public:
    FeatureReader(FeatureTable &table, QList<RuleError> &errors)
        : table_(table)
        , errors_(errors)
    {
    }

    void line(qsizetype index, const QString &text, Kind kind, qsizetype restAt, bool fromTable)
    {
        index_ = index;
        text_ = &text;
        fromTable_ = fromTable;
        switch (kind) {
        case Kind::Feature:
            feature(restAt);
            break;
        case Kind::Symbol:
            symbol(restAt);
            break;
        case Kind::Diacritic:
            diacritic(restAt);
            break;
        case Kind::Table:
        case Kind::None:
            break;
        }
    }

    void fail(qsizetype unit, const QString &reason)
    {
        errors_.append({index_, characterPosition(*text_, unit), reason, *text_});
    }

    void markTable() { table_.hasTable_ = true; }

    void finish()
    {
        FeatureTable &t = table_;
        t.featureFromTable_ = featureFromTable_;
        t.valueFromTable_ = valueFromTable_;
        // Valued features not given take their default, binary ones "-".
        for (Pending &pending : symbols_) {
            for (const Feature &feature : t.features_) {
                if (!pending.values.intersects(feature.mask) && feature.defaultValue >= 0)
                    pending.values.insert(feature.defaultValue);
            }
        }
        std::stable_partition(symbols_.begin(), symbols_.end(), [](const Pending &p) { return !p.fromTable; });
        for (const Pending &pending : symbols_) {
            if (t.symbolIndex_.contains(pending.text))
                continue; // the table's, overridden by the list
            t.symbolIndex_.insert(pending.text, int(t.symbols_.size()));
            t.symbols_.push_back({pending.text, pending.values, pending.fromTable});
        }
        // The first declared symbol of each value set is the one kept.
        t.firstWithValues_.clear();
        for (int i = int(t.symbols_.size()) - 1; i >= 0; --i)
            t.firstWithValues_.insert(t.symbols_[std::size_t(i)].values, i);
        // The list's diacritics override the table's; the order written
        // stays the table's, then the list's new ones.
        for (const FeatureTable::Diacritic &d : diacritics_) {
            const auto found = t.diacriticIndex_.constFind(d.character);
            if (found != t.diacriticIndex_.constEnd()) {
                t.diacritics_[std::size_t(*found)] = d;
            } else {
                t.diacriticIndex_.insert(d.character, int(t.diacritics_.size()));
                t.diacritics_.push_back(d);
            }
        }
    }

private:
    struct Pending {
        QString text;
        ValueSet values;
        bool fromTable = false;
        qsizetype line = 0;
    };

    void feature(qsizetype restAt)
    {
        const QString &line = *text_;
        FeatureTable &t = table_;
        const qsizetype colon = colonAt(line, restAt);
        const std::vector<Token> head = tokens(line, restAt, colon < 0 ? line.size() : colon);
        if (head.size() != 1) {
            fail(head.size() > 1 ? head[1].unit : restAt, nmsg::kBadFeature);
            return;
        }
        const QString name = head[0].text;
        if (!isName(name)) {
            fail(head[0].unit, nmsg::badName(name));
            return;
        }
        const bool binary = colon < 0;
        std::vector<Token> items;
        if (!binary) {
            items = tokens(line, colon + 1, line.size());
            if (items.empty()) {
                fail(colon + 1, nmsg::kNoValues);
                return;
            }
        }
        FeatureId id = t.featureNames_.value(name, -1);
        if (id >= 0 && t.features_[std::size_t(id)].binary != binary) {
            fail(head[0].unit, nmsg::featureKindDiffers(name, binary));
            return;
        }
        // Check every value before anything is declared.
        std::vector<std::pair<QString, bool>> fresh;
        bool defaultGiven = false;
        for (const Token &item : items) {
            const bool isDefault = item.text.startsWith(u'*');
            const QString value = isDefault ? item.text.mid(1) : item.text;
            if (!isName(value)) {
                fail(item.unit, nmsg::badName(value));
                return;
            }
            if (isDefault && defaultGiven) {
                fail(item.unit, nmsg::twoDefaults(name));
                return;
            }
            defaultGiven = defaultGiven || isDefault;
            const ValueId existing = t.valueNames_.value(value, -1);
            if (existing >= 0 && t.values_[std::size_t(existing)].feature != id) {
                fail(item.unit, nmsg::valueTaken(value, t.features_[std::size_t(t.values_[std::size_t(existing)].feature)].name));
                return;
            }
            if (std::any_of(fresh.begin(), fresh.end(), [&](const auto &f) { return f.first == value; })) {
                fail(item.unit, nmsg::valueTaken(value, name));
                return;
            }
            if (existing < 0)
                fresh.emplace_back(value, isDefault);
        }
        const std::size_t needed = (id < 0 && binary ? 2 : 0) + fresh.size();
        if (t.values_.size() + needed > std::size_t(kMaxValues)) {
            fail(head[0].unit, nmsg::kTooManyValues);
            return;
        }
        if (id < 0) {
            id = FeatureId(t.features_.size());
            t.features_.push_back({name, binary, {}, -1, {}});
            t.featureNames_.insert(name, id);
            const QString plain = plainName(name);
            t.plainFeatures_.insert(plain, t.plainFeatures_.contains(plain) ? -2 : id);
            featureFromTable_.push_back(fromTable_);
            if (binary) {
                addValue(id, QLatin1Char('+') + name);
                addValue(id, QLatin1Char('-') + name);
                t.features_[std::size_t(id)].defaultValue = t.features_[std::size_t(id)].values[1];
            }
        }
        for (const auto &[value, isDefault] : fresh)
            addValue(id, value);
        for (const Token &item : items) {
            if (item.text.startsWith(u'*'))
                t.features_[std::size_t(id)].defaultValue = t.valueNames_.value(item.text.mid(1));
        }
    }

    void addValue(FeatureId feature, const QString &name)
    {
        FeatureTable &t = table_;
        const auto id = ValueId(t.values_.size());
        t.values_.push_back({name, feature});
        valueFromTable_.push_back(fromTable_);
        t.valueNames_.insert(name, id);
        const QString plain = plainName(name);
        t.plainValues_.insert(plain, t.plainValues_.contains(plain) ? -2 : id);
        t.features_[std::size_t(feature)].values.push_back(id);
        t.features_[std::size_t(feature)].mask.insert(id);
    }

    // The values of a declaration's items; false (the fault told) for a
    // name that is none, or two values of one feature.
    bool valuesOf(const std::vector<Token> &items, ValueSet &out)
    {
        const FeatureTable &t = table_;
        std::vector<std::pair<FeatureId, QString>> given;
        for (const Token &item : items) {
            const ValueId value = t.value(item.text);
            if (value < 0) {
                fail(item.unit, nmsg::unknownValue(item.text));
                return false;
            }
            const FeatureId feature = t.values_[std::size_t(value)].feature;
            const auto same = std::find_if(given.begin(), given.end(), [&](const auto &g) { return g.first == feature; });
            if (same != given.end()) {
                fail(item.unit, nmsg::sameFeature(same->second, item.text, t.features_[std::size_t(feature)].name));
                return false;
            }
            given.emplace_back(feature, item.text);
            out.insert(value);
        }
        return true;
    }

    void symbol(qsizetype restAt)
    {
        const QString &line = *text_;
        const qsizetype colon = colonAt(line, restAt);
        QString text;
        qsizetype textAt = -1;
        bool spaced = false;
        for (qsizetype i = restAt; i < (colon < 0 ? line.size() : colon); ++i) {
            if (line.at(i) == u' ') {
                spaced = spaced || !text.isEmpty();
                continue;
            }
            if (textAt < 0)
                textAt = i;
            if (spaced)
                break;
            if (line.at(i) == u'\\' && i + 1 < line.size())
                ++i;
            text += line.at(i);
        }
        if (colon < 0 || text.isEmpty() || spaced) {
            fail(textAt < 0 ? restAt : textAt, nmsg::kBadSymbolFeatures);
            return;
        }
        const std::vector<Token> items = tokens(line, colon + 1, line.size());
        if (items.empty()) {
            fail(colon + 1, nmsg::kNoValues);
            return;
        }
        Pending pending{canonical(text), {}, fromTable_, index_};
        if (!valuesOf(items, pending.values))
            return;
        const auto twice = std::find_if(symbols_.begin(), symbols_.end(), [&](const Pending &p) {
            return p.text == pending.text && p.fromTable == fromTable_;
        });
        if (twice != symbols_.end()) {
            fail(textAt, nmsg::declaredTwice(pending.text, twice->line));
            return;
        }
        symbols_.push_back(pending);
    }

    void diacritic(qsizetype restAt)
    {
        const QString &line = *text_;
        const qsizetype colon = colonAt(line, restAt);
        QList<uint> characters;
        qsizetype at = -1;
        for (qsizetype i = restAt; i < (colon < 0 ? line.size() : colon); ++i) {
            if (line.at(i) == u' ')
                continue;
            if (at < 0)
                at = i;
            if (line.at(i) == u'\\' && i + 1 < line.size())
                ++i;
            char32_t c = line.at(i).unicode();
            if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(line.at(i), line.at(i + 1));
                ++i;
            }
            // A combining mark may be shown on a dotted circle.
            if (c != kDottedCircle)
                characters.append(c);
        }
        if (colon < 0 || characters.isEmpty()) {
            fail(at < 0 ? restAt : at, nmsg::kBadDiacritic);
            return;
        }
        if (characters.size() > 1) {
            fail(at, nmsg::kDiacriticAlone);
            return;
        }
        const std::vector<Token> items = tokens(line, colon + 1, line.size());
        if (items.empty()) {
            fail(colon + 1, nmsg::kNoValues);
            return;
        }
        FeatureTable::Diacritic d;
        d.character = characters.front();
        d.fromTable = fromTable_;
        if (!valuesOf(items, d.values))
            return;
        for (const ValueId v : d.values.values())
            d.clears.unite(table_.features_[std::size_t(table_.values_[std::size_t(v)].feature)].mask);
        const auto twice = std::find_if(diacritics_.begin(), diacritics_.end(), [&](const FeatureTable::Diacritic &e) {
            return e.character == d.character && e.fromTable == fromTable_;
        });
        if (twice != diacritics_.end()) {
            fail(at, nmsg::declaredTwice(QString::fromUcs4(&d.character, 1), diacriticLines_[std::size_t(twice - diacritics_.begin())]));
            return;
        }
        diacritics_.push_back(d);
        diacriticLines_.push_back(index_);
    }

    std::vector<bool> featureFromTable_;
    std::vector<bool> valueFromTable_;
    FeatureTable &table_;
    QList<RuleError> &errors_;
    qsizetype index_ = 0;
    const QString *text_ = nullptr;
    bool fromTable_ = false;
    std::vector<Pending> symbols_;
    std::vector<FeatureTable::Diacritic> diacritics_;
    std::vector<qsizetype> diacriticLines_;
};

FeatureId FeatureTable::feature(const QString &name) const
{
    const FeatureId exact = featureNames_.value(name, -1);
    if (exact >= 0)
        return exact;
    return std::max(plainFeatures_.value(plainName(name), -1), -1);
}

ValueId FeatureTable::value(const QString &name) const
{
    const ValueId exact = valueNames_.value(name, -1);
    if (exact >= 0)
        return exact;
    return std::max(plainValues_.value(plainName(name), -1), -1);
}

ValueId FeatureTable::valueOf(const ValueSet &set, FeatureId feature) const
{
    for (const ValueId v : features_[std::size_t(feature)].values) {
        if (set.contains(v))
            return v;
    }
    return -1;
}

bool FeatureTable::matrix(const QStringList &items, Matrix &out, QString *reason) const
{
    for (const QString &item : items) {
        const bool negated = item.startsWith(u'!');
        const QString name = negated ? item.mid(1) : item;
        const ValueId v = value(name);
        if (v < 0) {
            if (reason)
                *reason = nmsg::unknownValue(name);
            return false;
        }
        (negated ? out.forbidden : out.required).insert(v);
    }
    return true;
}

void FeatureTable::teach(Segmenter &segmenter) const
{
    for (const Symbol &symbol : symbols_) {
        if (symbol.text.toUcs4().size() > 1)
            segmenter.declare(symbol.text);
    }
    for (const Diacritic &d : diacritics_)
        segmenter.declareDiacritic(d.character);
}

std::optional<FeatureTable::Reading> FeatureTable::read(QStringView segment) const
{
    const auto lookUp = [this](const QString &text) -> std::optional<Reading> {
        const auto exact = symbolIndex_.constFind(text);
        if (exact != symbolIndex_.constEnd())
            return Reading{*exact, symbols_[std::size_t(*exact)].values};
        // The longest declared symbol followed only by diacritics.
        const QList<uint> points = text.toUcs4();
        for (qsizetype k = points.size() - 1; k >= 1; --k) {
            if (!diacriticIndex_.contains(points.at(k)))
                break;
            const auto base = symbolIndex_.constFind(QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), k));
            if (base == symbolIndex_.constEnd())
                continue;
            ValueSet values = symbols_[std::size_t(*base)].values;
            for (qsizetype i = k; i < points.size(); ++i) {
                const Diacritic &d = diacritics_[std::size_t(diacriticIndex_.value(points.at(i)))];
                values.replace(d.clears, d.values);
            }
            return Reading{*base, values};
        }
        return std::nullopt;
    };
    const QString text = segment.toString();
    if (std::optional<Reading> found = lookUp(text))
        return found;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    if (decomposed != text)
        return lookUp(decomposed);
    return std::nullopt;
}

std::optional<ValueSet> FeatureTable::featuresOf(QStringView segment) const
{
    const std::optional<Reading> found = read(segment);
    return found ? std::optional<ValueSet>(found->values) : std::nullopt;
}

int FeatureTable::baseOf(QStringView segment) const
{
    const std::optional<Reading> found = read(segment);
    return found ? found->base : -1;
}

ValueSet FeatureTable::withValues(ValueSet features, std::span<const ValueId> values) const
{
    for (const ValueId v : values) {
        ValueSet one;
        one.insert(v);
        features.replace(features_[std::size_t(values_[std::size_t(v)].feature)].mask, one);
    }
    return features;
}

std::optional<QString> FeatureTable::segmentWith(const ValueSet &features, int preferredBase) const
{
    const auto exact = firstWithValues_.constFind(features);
    if (exact != firstWithValues_.constEnd())
        return symbols_[std::size_t(*exact)].text;
    // A base and diacritics: for each feature the base has otherwise, a
    // declared diacritic that sets it and nothing the target lacks (the
    // list's own before the table's, each in the order declared).
    const auto marksFor = [&](std::size_t b, std::vector<int> &marks) {
        const ValueSet &base = symbols_[b].values;
        marks.clear();
        for (const Feature &feature : features_) {
            ValueId want = -1;
            ValueId have = -1;
            for (const ValueId v : feature.values) {
                want = features.contains(v) ? v : want;
                have = base.contains(v) ? v : have;
            }
            if (want == have)
                continue;
            if (want < 0)
                return false;
            int chosen = -1;
            for (const bool table : {false, true}) {
                for (std::size_t d = 0; d < diacritics_.size() && chosen < 0; ++d) {
                    if (diacritics_[d].fromTable == table && diacritics_[d].values.contains(want)
                        && features.containsAll(diacritics_[d].values))
                        chosen = int(d);
                }
            }
            if (chosen < 0)
                return false;
            if (std::find(marks.begin(), marks.end(), chosen) == marks.end())
                marks.push_back(chosen);
        }
        // Combining marks first (they sit on the letter), then the spacing
        // ones such as "ː", each kind in the order declared.
        std::sort(marks.begin(), marks.end(), [&](int a, int b) {
            const bool aSpacing = !isCombiningMark(diacritics_[std::size_t(a)].character);
            const bool bSpacing = !isCombiningMark(diacritics_[std::size_t(b)].character);
            return aSpacing != bSpacing ? bSpacing : a < b;
        });
        ValueSet made = base;
        for (const int d : marks)
            made.replace(diacritics_[std::size_t(d)].clears, diacritics_[std::size_t(d)].values);
        return made == features;
    };
    // The fewest diacritics; among equals the changed segment's own base,
    // else the first declared.
    int best = -1;
    std::vector<int> bestMarks;
    std::vector<int> marks;
    if (preferredBase >= 0 && std::size_t(preferredBase) < symbols_.size() && marksFor(std::size_t(preferredBase), marks)) {
        best = preferredBase;
        bestMarks = marks;
    }
    for (std::size_t b = 0; b < symbols_.size() && !(best >= 0 && bestMarks.size() <= 1); ++b) {
        if (int(b) == preferredBase || !marksFor(b, marks))
            continue;
        if (best >= 0 && marks.size() >= bestMarks.size())
            continue;
        best = int(b);
        bestMarks = marks;
    }
    if (best < 0)
        return std::nullopt;
    QString text = symbols_[std::size_t(best)].text;
    for (const int d : bestMarks) {
        const char32_t c = diacritics_[std::size_t(d)].character;
        text += QString::fromUcs4(&c, 1);
    }
    return canonical(text);
}

QString FeatureTable::describe(const ValueSet &set, bool all) const
{
    QStringList names;
    for (const Feature &feature : features_) {
        for (const ValueId v : feature.values) {
            if (set.contains(v) && (all || v != feature.defaultValue))
                names.append(values_[std::size_t(v)].name);
        }
    }
    return names.join(u' ');
}

QStringList FeatureTable::declarations(bool table) const
{
    QStringList out;
    for (FeatureId f = 0; f < FeatureId(features_.size()); ++f) {
        const Feature &feature = features_[std::size_t(f)];
        if (feature.binary) {
            if (featureFromTable_[std::size_t(f)] == table)
                out.append(QStringLiteral("@rasgo %1").arg(feature.name));
            continue;
        }
        QStringList names;
        for (const ValueId v : feature.values) {
            if (valueFromTable_[std::size_t(v)] == table)
                names.append((v == feature.defaultValue ? QStringLiteral("*") : QString()) + values_[std::size_t(v)].name);
        }
        if (!names.isEmpty())
            out.append(QStringLiteral("@rasgo %1: %2").arg(feature.name, names.join(QStringLiteral(", "))));
    }
    for (const Diacritic &d : diacritics_) {
        if (d.fromTable != table)
            continue;
        QString shown = QString::fromUcs4(&d.character, 1);
        if (isCombiningMark(d.character))
            shown.prepend(QChar(char16_t(kDottedCircle)));
        out.append(QStringLiteral("@diacrítico %1: %2").arg(shown, describe(d.values, true)));
    }
    for (const Symbol &symbol : symbols_) {
        if (symbol.fromTable != table)
            continue;
        QString shown = symbol.text;
        shown.replace(u'\\', QStringLiteral("\\\\")).replace(u':', QStringLiteral("\\:"));
        // A symbol with only default values is written with them all.
        const QString values = describe(symbol.values);
        out.append(QStringLiteral("@símbolo %1: %2").arg(shown, values.isEmpty() ? describe(symbol.values, true) : values));
    }
    return out;
}

FeatureTable readFeatures(const QStringList &lines, QList<RuleError> &errors)
{
    FeatureTable table;
    FeatureReader reader(table, errors);
    struct Line {
        qsizetype index;
        Kind kind;
        qsizetype restAt;
    };
    std::vector<Line> found;
    bool ipa = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        qsizetype restAt = 0;
        const QString name = directive(lines.at(i), &restAt);
        if (!name.startsWith(u'@'))
            continue;
        const Kind kind = kindOf(name);
        if (kind == Kind::Table) {
            const QStringList words = lines.at(i).mid(restAt).split(u' ', Qt::SkipEmptyParts);
            if (words.size() != 1 || plainName(words.front()) != QStringLiteral("ipa")) {
                QString text = lines.at(i);
                errors.append({i, characterPosition(text, restAt + 1), nmsg::kBadTable, text});
                continue;
            }
            ipa = true;
        } else if (kind != Kind::None) {
            found.push_back({i, kind, restAt});
        }
    }
    if (ipa) {
        // The built-in table, read as declarations of its own.
        reader.markTable();
        const QStringList &ipaLines = ipaTableLines();
        for (qsizetype i = 0; i < ipaLines.size(); ++i) {
            qsizetype restAt = 0;
            const Kind kind = kindOf(directive(ipaLines.at(i), &restAt));
            if (kind == Kind::Feature)
                reader.line(-1 - i, ipaLines.at(i), kind, restAt, true);
        }
        for (qsizetype i = 0; i < ipaLines.size(); ++i) {
            qsizetype restAt = 0;
            const Kind kind = kindOf(directive(ipaLines.at(i), &restAt));
            if (kind != Kind::Feature)
                reader.line(-1 - i, ipaLines.at(i), kind, restAt, true);
        }
    }
    for (const Line &line : found) {
        if (line.kind == Kind::Feature)
            reader.line(line.index, lines.at(line.index), line.kind, line.restAt, false);
    }
    for (const Line &line : found) {
        if (line.kind != Kind::Feature)
            reader.line(line.index, lines.at(line.index), line.kind, line.restAt, false);
    }
    reader.finish();
    return table;
}

SegmentFeatures::SegmentFeatures(const FeatureTable &table, const Segmenter &segmenter)
    : table_(table)
    , segmenter_(segmenter)
{
}

int SegmentFeatures::lookUp(QStringView text)
{
    const std::optional<FeatureTable::Reading> found = table_.read(text);
    if (!found)
        return -1;
    found_.push_back(*found);
    return int(found_.size()) - 1;
}

const ValueSet *SegmentFeatures::of(SegmentId id, const LocalSegments &local)
{
    const int index = reading(id, local);
    return index < 0 ? nullptr : &found_[std::size_t(index)].values;
}

int SegmentFeatures::baseOf(SegmentId id, const LocalSegments &local)
{
    const int index = reading(id, local);
    return index < 0 ? -1 : found_[std::size_t(index)].base;
}

SegmentId SegmentFeatures::baseId(SegmentId id, const LocalSegments &local)
{
    const int index = reading(id, local);
    if (index < 0)
        return -1;
    if (baseIds_.size() < found_.size())
        baseIds_.resize(found_.size(), -2);
    SegmentId &base = baseIds_[std::size_t(index)];
    if (base == -2) {
        // The symbol as a word would be cut: one segment the rules know.
        std::vector<SegmentId> ids;
        LocalSegments none;
        segmenter_.cutWord(table_.symbols()[std::size_t(found_[std::size_t(index)].base)].text, ids, none);
        base = ids.size() == 1 && none.texts.empty() ? ids.front() : -1;
    }
    return base;
}

int SegmentFeatures::reading(SegmentId id, const LocalSegments &local)
{
    int index = -1;
    if (id >= 0 && id < kSmall) {
        if (small_.empty())
            small_.assign(std::size_t(kSmall), -2);
        int &slot = small_[std::size_t(id)];
        if (slot == -2)
            slot = lookUp(segmenter_.text(id));
        index = slot;
    } else if (id < kFirstCompound || std::size_t(id - kFirstCompound) < segmenter_.compoundCount()) {
        const auto found = ids_.constFind(id);
        if (found != ids_.constEnd()) {
            index = *found;
        } else {
            index = lookUp(segmenter_.text(id));
            ids_.insert(id, index);
        }
    } else {
        // Compounds of words are numbered afresh for each word: known by text.
        QString text;
        segmenter_.append(id, local, text);
        const auto found = texts_.constFind(text);
        if (found != texts_.constEnd()) {
            index = *found;
        } else {
            index = lookUp(text);
            texts_.insert(text, index);
        }
    }
    return index;
}

const std::optional<QString> &SegmentFeatures::segmentWith(const ValueSet &features, int preferredBase)
{
    const std::pair<ValueSet, int> key{features, preferredBase};
    auto found = made_.find(key);
    if (found == made_.end())
        found = made_.insert(key, table_.segmentWith(features, preferredBase));
    return *found;
}

} // namespace vordane::notation
