#include "wordgen/wordstatistics.h"

#include <algorithm>

namespace vordane {

namespace {

std::u16string_view viewOf(QStringView text)
{
    return {reinterpret_cast<const char16_t *>(text.data()), std::size_t(text.size())};
}

// Whether a sound begins with a vowel letter (accents and other marks aside).
bool looksLikeVowel(const QString &sound)
{
    static const QString kVowels = QStringLiteral("aeiouyæøœɑɐɒəɛɜɞɘɵɤɯɨʉɪʏʊʌɔɶ");
    if (sound.isEmpty())
        return false;
    QChar first = sound.at(0).toLower();
    const QString decomposed = first.decomposition();
    if (!decomposed.isEmpty())
        first = decomposed.at(0).toLower();
    return kVowels.contains(first);
}

QString percent(double share)
{
    return QString::number(100 * share, 'f', 2).replace(u'.', u',') + QStringLiteral(" %");
}

} // namespace

WordStatistics::WordStatistics(const WordDefinition &definition)
    : expectedLengths_(definition.lengths)
{
    for (const QString &letter : definition.alphabet)
        entryOf(letter);
    for (const WordDefinition::Category &category : definition.categories) {
        for (const WordDefinition::Member &member : category.members) {
            if (!member.text.isEmpty())
                entryOf(member.text);
        }
    }
    for (const WordDefinition::Category &category : definition.categories)
        categoryMembers_.push_back(category.members);
    const WordDefinition::Category *vowels = definition.category(u'V');
    vowelCategory_ = vowels != nullptr;
    for (Entry &entry : entries_) {
        entry.vowel = vowels ? std::any_of(vowels->members.begin(), vowels->members.end(),
                                           [&](const WordDefinition::Member &m) { return m.text == entry.text; })
                             : looksLikeVowel(entry.text);
    }

    // Expected sounds of a syllable at each position, then of a word.
    std::array<std::vector<double>, WordDefinition::kPositions> positions;
    for (int position = 0; position < WordDefinition::kPositions; ++position) {
        const WordDefinition::ShapeList &list = definition.shapesAt(WordDefinition::Position(position));
        double total = 0;
        for (const WordDefinition::Shape &shape : list.shapes)
            total += shape.weight;
        for (const WordDefinition::Shape &shape : list.shapes)
            expect(shape.nodes, shape.weight / total, positions[std::size_t(position)]);
    }
    double lengthTotal = 0;
    for (const WordDefinition::Length &length : expectedLengths_)
        lengthTotal += length.weight;
    std::vector<double> word(entries_.size());
    const auto add = [&](const std::vector<double> &counts, double share) {
        for (std::size_t i = 0; i < counts.size(); ++i)
            word[i] += share * counts[i];
    };
    for (const WordDefinition::Length &length : expectedLengths_) {
        const double share = length.weight / lengthTotal;
        word.resize(entries_.size());
        if (length.syllables == 1) {
            add(positions[WordDefinition::Single], share);
        } else if (length.syllables >= 2) {
            add(positions[WordDefinition::Initial], share);
            add(positions[WordDefinition::Final], share);
            add(positions[WordDefinition::Middle], share * (length.syllables - 2));
        }
    }
    double total = 0;
    for (double count : word)
        total += count;
    for (std::size_t i = 0; i < word.size(); ++i)
        entries_[i].expected = total > 0 ? word[i] / total : 0;
}

std::size_t WordStatistics::entryOf(QStringView text)
{
    if (const auto found = index_.find(viewOf(text)); found != index_.end())
        return found->second;
    Entry entry;
    entry.text = text.toString();
    entry.vowel = vowelCategory_ ? false : looksLikeVowel(entry.text);
    entries_.push_back(std::move(entry));
    // The text's characters stay where they are when the vector grows.
    index_.emplace(viewOf(entries_.back().text), entries_.size() - 1);
    longest_ = std::max(longest_, text.size());
    return entries_.size() - 1;
}

std::size_t WordStatistics::soundAt(QStringView word, qsizetype at, qsizetype &size)
{
    for (qsizetype length = std::min(longest_, word.size() - at); length > 0; --length) {
        if (const auto found = index_.find(viewOf(word.sliced(at, length))); found != index_.end()) {
            size = length;
            return found->second;
        }
    }
    size = word.at(at).isHighSurrogate() && at + 1 < word.size() && word.at(at + 1).isLowSurrogate() ? 2 : 1;
    return entryOf(word.sliced(at, size));
}

void WordStatistics::expectText(const QString &text, double share, std::vector<double> &counts)
{
    for (qsizetype at = 0, size = 0; at < text.size(); at += size) {
        const std::size_t sound = soundAt(text, at, size);
        if (counts.size() <= sound)
            counts.resize(sound + 1);
        counts[sound] += share;
    }
}

void WordStatistics::expect(const std::vector<WordDefinition::Node> &nodes, double share, std::vector<double> &counts)
{
    using Kind = WordDefinition::Node::Kind;
    for (const WordDefinition::Node &node : nodes) {
        switch (node.kind) {
        case Kind::Literal:
            expectText(node.text, share, counts);
            break;
        case Kind::Category: {
            const auto &members = categoryMembers_[std::size_t(node.category)];
            double total = 0;
            for (const WordDefinition::Member &member : members)
                total += member.weight;
            for (const WordDefinition::Member &member : members)
                expectText(member.text, share * member.weight / total, counts);
            break;
        }
        case Kind::Optional:
            expect(node.branches.front(), share * node.probability, counts);
            break;
        case Kind::Choice:
            for (const auto &branch : node.branches)
                expect(branch, share / double(node.branches.size()), counts);
            break;
        }
    }
}

void WordStatistics::add(QStringView word, int syllables)
{
    ++words_;
    ++syllables_[syllables];
    qsizetype characters = 0;
    for (QChar c : word)
        characters += c.isLowSurrogate() ? 0 : 1;
    ++lengths_[int(std::min<qsizetype>(characters, 1 << 30))];
    scratch_.clear();
    for (qsizetype at = 0, size = 0; at < word.size(); at += size) {
        const std::size_t sound = soundAt(word, at, size);
        ++entries_[sound].count;
        scratch_.push_back(sound);
    }
    sounds_ += qsizetype(scratch_.size());
    for (std::size_t i = 0; i < scratch_.size();) {
        std::size_t end = i;
        while (end < scratch_.size() && !entries_[scratch_[end]].vowel)
            ++end;
        if (end - i >= 2) {
            QString cluster;
            for (std::size_t k = i; k < end; ++k)
                cluster += entries_[scratch_[k]].text;
            ++clusters_[cluster];
        }
        i = end + 1;
    }
}

WordStatisticsReport WordStatistics::report(int topClusters) const
{
    WordStatisticsReport report;
    report.words = words_;
    report.sounds = sounds_;
    for (const Entry &entry : entries_) {
        if (entry.count > 0 || entry.expected > 0)
            report.soundShares.push_back(
                {entry.text, entry.expected, sounds_ > 0 ? double(entry.count) / double(sounds_) : 0, entry.count});
    }
    for (auto it = clusters_.cbegin(); it != clusters_.cend(); ++it)
        report.clusters.push_back({it.key(), it.value()});
    std::sort(report.clusters.begin(), report.clusters.end(), [](const auto &a, const auto &b) {
        return a.count != b.count ? a.count > b.count : a.cluster < b.cluster;
    });
    if (qsizetype(report.clusters.size()) > topClusters)
        report.clusters.resize(std::size_t(std::max(0, topClusters)));
    double lengthTotal = 0;
    for (const WordDefinition::Length &length : expectedLengths_)
        lengthTotal += length.weight;
    std::map<int, WordStatisticsReport::Bar> syllables;
    for (const WordDefinition::Length &length : expectedLengths_)
        syllables[length.syllables] = {length.syllables, 0, length.weight / lengthTotal};
    for (const auto &[value, count] : syllables_) {
        syllables[value].value = value;
        syllables[value].count = count;
    }
    for (const auto &[value, bar] : syllables)
        report.syllables.push_back(bar);
    for (const auto &[value, count] : lengths_)
        report.lengths.push_back({value, count, 0});
    return report;
}

QString statisticsText(const WordStatisticsReport &report)
{
    QString text = QStringLiteral("Palabras: %1; sonidos: %2.\n\nSonidos: esperado, observado (veces)\n")
                       .arg(report.words)
                       .arg(report.sounds);
    const auto share = [&](std::int64_t count, std::int64_t of) { return of > 0 ? double(count) / double(of) : 0.0; };
    for (const WordStatisticsReport::Sound &sound : report.soundShares) {
        text += QStringLiteral("  %1 %2 %3 (%4)\n")
                    .arg(sound.sound, -6)
                    .arg(percent(sound.expected), 9)
                    .arg(percent(sound.observed), 9)
                    .arg(sound.count);
    }
    text += QStringLiteral("\nGrupos de consonantes más frecuentes (veces)\n");
    for (const WordStatisticsReport::Cluster &cluster : report.clusters)
        text += QStringLiteral("  %1 %2\n").arg(cluster.cluster, -8).arg(cluster.count);
    text += QStringLiteral("\nSílabas por palabra: esperado, observado (palabras)\n");
    for (const WordStatisticsReport::Bar &bar : report.syllables) {
        text += QStringLiteral("  %1 %2 %3 (%4)\n")
                    .arg(bar.value, 3)
                    .arg(percent(bar.expected), 9)
                    .arg(percent(share(bar.count, report.words)), 9)
                    .arg(bar.count);
    }
    text += QStringLiteral("\nLongitud en caracteres: observado (palabras)\n");
    for (const WordStatisticsReport::Bar &bar : report.lengths)
        text += QStringLiteral("  %1 %2 (%3)\n")
                    .arg(bar.value, 3)
                    .arg(percent(share(bar.count, report.words)), 9)
                    .arg(bar.count);
    return text;
}

} // namespace vordane
