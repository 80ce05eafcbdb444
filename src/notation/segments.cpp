#include "notation/segments.h"

#include "notation/linetext.h"

#include <QChar>

#include <algorithm>

namespace vordane::notation {

bool isCombiningMark(char32_t c)
{
    if (c < 0x300)
        return false;
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

QString canonical(const QString &text)
{
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x300; });
    return plain ? text : text.normalized(QString::NormalizationForm_C);
}

void Segmenter::declare(const QString &symbol)
{
    const QString text = canonical(symbol);
    if (text.isEmpty())
        return;
    qsizetype units = 0;
    std::vector<QString> &list = symbols_[codePointAt(text, 0, &units)];
    if (std::find(list.begin(), list.end(), text) != list.end())
        return;
    list.push_back(text);
    if (text.at(0).unicode() < kQuick)
        quick_[text.at(0).unicode()] |= kStartsSymbol;
    if (text.size() > 1 && text.at(1).unicode() < kQuick)
        quick_[text.at(1).unicode()] |= kSecondOfSymbol;
    std::stable_sort(list.begin(), list.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
}

void Segmenter::declareDiacritic(char32_t c)
{
    diacritics_.insert(c, true);
    if (c < kQuick)
        quick_[c] |= kJoins;
}

qsizetype Segmenter::segmentLength(QStringView text, qsizetype at) const
{
    qsizetype units = 0;
    const char32_t first = codePointAt(text, at, &units);
    qsizetype length = units;
    if (!symbols_.isEmpty() && (first >= kQuick || (quick_[first] & kStartsSymbol)) && mayBeginSymbol(text, at)) {
        const auto found = symbols_.constFind(first);
        if (found != symbols_.constEnd()) {
            for (const QString &symbol : *found) {
                if (text.sliced(at).startsWith(symbol)) {
                    length = symbol.size();
                    break;
                }
            }
        }
    }
    // The combining marks and declared diacritics that follow belong to the
    // segment; not to a dot, which may be a syllable boundary ("ke.ˈko").
    if (first == U'.')
        return length;
    while (at + length < text.size()) {
        const char16_t unit = text.at(at + length).unicode();
        if (unit < kQuick) {
            if (!(quick_[unit] & kJoins) && !isCombiningMark(unit))
                break;
            ++length;
            continue;
        }
        qsizetype markUnits = 0;
        const char32_t next = codePointAt(text, at + length, &markUnits);
        if (!isCombiningMark(next) && !diacritics_.contains(next))
            break;
        length += markUnits;
    }
    return length;
}

SegmentId Segmenter::known(QStringView segment) const
{
    const auto found = ids_.find(textKey(segment));
    return found == ids_.end() ? -1 : found->second;
}

std::vector<SegmentId> Segmenter::cutRuleText(QStringView text)
{
    std::vector<SegmentId> ids;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length = segmentLength(text, at);
        const QStringView segment = text.sliced(at, length);
        qsizetype units = 0;
        const char32_t first = codePointAt(segment, 0, &units);
        if (units == length) {
            ids.push_back(SegmentId(first));
        } else {
            SegmentId id = known(segment);
            if (id < 0) {
                id = kFirstCompound + SegmentId(compounds_.size());
                compounds_.push_back(segment.toString());
                ids_.emplace(std::u16string(textKey(segment)), id);
            }
            ids.push_back(id);
        }
        at += length;
    }
    return ids;
}

void Segmenter::cutWord(QStringView text, std::vector<SegmentId> &ids, LocalSegments &local,
                        std::vector<qsizetype> *ends) const
{
    ids.clear();
    if (ends)
        ends->clear();
    // Combining marks among the characters below kQuick.
    static const std::array<bool, kQuick> marks = [] {
        std::array<bool, kQuick> table{};
        for (char32_t c = 0; c < kQuick; ++c)
            table[c] = isCombiningMark(c);
        return table;
    }();
    const auto joins = [&](char16_t c) { return c >= kQuick || marks[c] || (quick_[c] & kJoins); };
    for (qsizetype at = 0; at < text.size();) {
        // The common case: a character that begins no declared symbol, not
        // followed by a mark or diacritic, is a segment alone.
        const char16_t c = text.at(at).unicode();
        if (c < kQuick && !((quick_[c] & kStartsSymbol) && mayBeginSymbol(text, at))
            && (at + 1 == text.size() || !joins(text.at(at + 1).unicode()))) {
            ids.push_back(SegmentId(c));
            ++at;
            if (ends)
                ends->push_back(at);
            continue;
        }
        const qsizetype length = segmentLength(text, at);
        const QStringView segment = text.sliced(at, length);
        qsizetype units = 0;
        const char32_t first = codePointAt(segment, 0, &units);
        SegmentId id = SegmentId(first);
        if (units != length) {
            id = known(segment);
            if (id < 0) {
                const auto found = local.ids.find(textKey(segment));
                if (found != local.ids.end()) {
                    id = found->second;
                } else {
                    id = kFirstCompound + SegmentId(compounds_.size() + local.texts.size());
                    local.texts.push_back(segment.toString());
                    local.ids.emplace(std::u16string(textKey(segment)), id);
                }
            }
        }
        ids.push_back(id);
        at += length;
        if (ends)
            ends->push_back(at);
    }
}

void Segmenter::append(SegmentId id, const LocalSegments &local, QString &to) const
{
    if (id < 0x10000) {
        to.append(QChar(char16_t(id)));
        return;
    }
    if (id < kFirstCompound) {
        to.append(QChar::highSurrogate(char32_t(id)));
        to.append(QChar::lowSurrogate(char32_t(id)));
        return;
    }
    const auto index = std::size_t(id - kFirstCompound);
    to.append(index < compounds_.size() ? compounds_[index] : local.texts[index - compounds_.size()]);
}

QString Segmenter::text(SegmentId id) const
{
    QString out;
    append(id, LocalSegments(), out);
    return out;
}

} // namespace vordane::notation
