#include "wordgen/lngconversion.h"

#include "wordgen/worddefinition.h"
#include "wordgen/wordgenmessages.h"

#include <QMap>

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace vordane {

namespace {

qsizetype characterSize(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return 0;
    return text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
}

const QString kEmpty = QStringLiteral("∅");

// A literal of a shape: every character the shapes read as syntax is escaped.
QString shapeLiteral(const QString &text)
{
    static const QString kSpecial = QStringLiteral("(){}|?:,\\ \t∅");
    QString out;
    for (QChar c : text) {
        if (kSpecial.contains(c) || (c >= u'A' && c <= u'Z'))
            out += u'\\';
        out += c;
    }
    return out;
}

QString memberText(const QString &text)
{
    if (text.isEmpty())
        return kEmpty;
    static const QString kSpecial = QStringLiteral(",:\\ \t");
    QString out;
    for (QChar c : text) {
        if (kSpecial.contains(c))
            out += u'\\';
        out += c;
    }
    // A lone capital would name a category, a lone "∅" the empty member.
    if (text == kEmpty || (text.size() == 1 && text.at(0) >= u'A' && text.at(0) <= u'Z'))
        out.prepend(u'\\');
    return out;
}

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

// Members with their repetitions as weights, in order of first appearance.
QString weightedList(const QStringList &items, const std::function<QString(const QString &)> &render)
{
    QStringList order;
    QMap<QString, int> counts;
    for (const QString &item : items) {
        if (!counts.contains(item))
            order.append(item);
        ++counts[item];
    }
    QStringList parts;
    for (const QString &item : order) {
        const int count = counts.value(item);
        parts.append(render(item) + (count > 1 ? QStringLiteral(":%1").arg(count) : QString()));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

LngConversion convertCombinacion(const Combinacion &definition, double minimum, double maximum)
{
    LngConversion conversion;
    namespace msg = messages::wordgen;

    // The class each one-character identifier draws from: the last one that has it.
    std::map<QString, int> panelOf;
    for (int i = 0; i < Combinacion::kPanels; ++i) {
        const QString &identifier = definition.panels[std::size_t(i)].identifier;
        if (!identifier.isEmpty() && characterSize(identifier, 0) == identifier.size())
            panelOf[identifier] = i;
    }
    std::array<QChar, Combinacion::kPanels> letterOf{};
    QString used;
    for (const auto &[identifier, panel] : panelOf) {
        if (identifier.size() == 1 && identifier.at(0) >= u'A' && identifier.at(0) <= u'Z') {
            letterOf[std::size_t(panel)] = identifier.at(0);
            used += identifier.at(0);
        }
    }
    const auto freeLetter = [&]() -> std::optional<QChar> {
        for (char16_t c = u'A'; c <= u'Z'; ++c) {
            if (!used.contains(QChar(c))) {
                used += QChar(c);
                return QChar(c);
            }
        }
        return std::nullopt;
    };
    for (const auto &[identifier, panel] : panelOf) {
        if (letterOf[std::size_t(panel)].isNull()) {
            const std::optional<QChar> letter = freeLetter();
            if (!letter) {
                conversion.outcome = Outcome::failure(msg::cannotConvert(msg::kTooManyCategories));
                return conversion;
            }
            letterOf[std::size_t(panel)] = *letter;
        }
    }

    // Patterns as shapes. A piece is a literal or a class, followed by the
    // characters that repeat it.
    struct Piece {
        int panel = -1; // -1: the literal
        QString literal;
        int repeats = 0;
    };
    std::map<std::pair<int, int>, QChar> repeatedCategory; // (class, repeats) -> its category
    QStringList shapes;
    for (const QString &pattern : definition.patterns) {
        std::vector<Piece> pieces;
        for (qsizetype k = 0; k < pattern.size();) {
            const qsizetype size = characterSize(pattern, k);
            const QString c = pattern.mid(k, size);
            k += size;
            if (c == QLatin1String("'")) {
                const qsizetype next = characterSize(pattern, k);
                pieces.push_back({-1, pattern.mid(k, next), 0});
                k += next;
            } else if (const auto found = panelOf.find(c); found != panelOf.end()) {
                // A class without letters gives an empty piece.
                if (definition.panels[std::size_t(found->second)].letters.isEmpty())
                    pieces.push_back({-1, QString(), 0});
                else
                    pieces.push_back({found->second, QString(), 0});
            } else if (!pieces.empty()) {
                ++pieces.back().repeats;
            }
        }
        QString shape;
        for (const Piece &piece : pieces) {
            if (piece.panel < 0) {
                shape += shapeLiteral(piece.literal.repeated(piece.repeats + 1));
            } else if (piece.repeats == 0) {
                shape += letterOf[std::size_t(piece.panel)];
            } else {
                QChar &letter = repeatedCategory[{piece.panel, piece.repeats}];
                if (letter.isNull()) {
                    const std::optional<QChar> free = freeLetter();
                    if (!free) {
                        conversion.outcome = Outcome::failure(msg::cannotConvert(msg::kTooManyCategories));
                        return conversion;
                    }
                    letter = *free;
                }
                shape += letter;
            }
        }
        shapes.append(shape.isEmpty() ? kEmpty : shape);
    }

    // Syllables: the whole part of the minimum, then e = floor(r * spread) + 1 more.
    const double base = minimum >= 1 ? std::floor(minimum) : 0;
    const double spread = maximum - minimum;
    std::vector<std::pair<double, double>> lengths; // syllables, weight
    if (spread > 0) {
        for (double k = 0; k < std::ceil(spread) && k <= WordDefinition::kMaxSyllables; ++k)
            lengths.emplace_back(base + k + 1, std::min(k + 1, spread) - k);
    } else {
        lengths.emplace_back(spread == 0 ? base + 1 : base, 1);
    }
    if (lengths.back().first > WordDefinition::kMaxSyllables) {
        conversion.outcome = Outcome::failure(msg::cannotConvert(msg::tooManySyllables(WordDefinition::kMaxSyllables)));
        return conversion;
    }

    QStringList lines{QStringLiteral("; Convertida de una combinación (.lng)")};
    for (const auto &[identifier, panel] : panelOf) {
        const Panel &source = definition.panels[std::size_t(panel)];
        if (source.letters.isEmpty())
            continue;
        if (!source.description.trimmed().isEmpty())
            lines.append(QStringLiteral("; ") + source.description.trimmed());
        lines.append(QString(letterOf[std::size_t(panel)]) + QLatin1Char('=')
                     + weightedList(source.letters, memberText));
    }
    for (const auto &[key, letter] : repeatedCategory) {
        QStringList repeated;
        for (const QString &l : definition.panels[std::size_t(key.first)].letters)
            repeated.append(l.repeated(key.second + 1));
        lines.append(QStringLiteral("; %1 repetida").arg(letterOf[std::size_t(key.first)]));
        lines.append(QString(letter) + QLatin1Char('=') + weightedList(repeated, memberText));
    }
    lines.append(QStringLiteral("@formas ")
                 + (shapes.isEmpty() ? kEmpty : weightedList(shapes, [](const QString &s) { return s; })));
    QStringList lengthItems;
    for (const auto &[syllables, weight] : lengths)
        lengthItems.append(QStringLiteral("%1:%2").arg(number(syllables), number(weight)));
    lines.append(QStringLiteral("@longitud ") + lengthItems.join(QStringLiteral(", ")));
    conversion.text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return conversion;
}

} // namespace vordane
