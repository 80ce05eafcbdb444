#include "history/mergers.h"

#include "history/historymessages.h"

#include <algorithm>

namespace vordane {

void MergerFinder::evolved(const LexiconEntry &entry, const QString *forms, qsizetype count)
{
    if (entry.shaped && count > 0)
        add(entry, forms[count - 1]);
}

void MergerFinder::add(const LexiconEntry &entry, const QString &final)
{
    const qsizetype index = entries_++;
    auto found = groups_.find(final);
    if (found == groups_.end()) {
        Group &group = groups_[final];
        group.index = index;
        group.first = entry;
        group.first.rest.clear();
        return;
    }
    Group &group = *found;
    group.others.push_back(entry);
    if (group.merged)
        return;
    // Every entry so far shares the first's original or its meaning; two
    // entries differ in both when one differs from the first in both, or
    // one differs in its meaning only and another in its original only.
    const LexiconEntry &first = group.first;
    const bool meanings = hasMeanings(kind_);
    const bool otherOriginal = entry.form != first.form;
    const bool otherMeaning = meanings ? entry.meaning != first.meaning : otherOriginal;
    if ((otherOriginal && otherMeaning) || (otherMeaning && group.otherOriginal)
        || (otherOriginal && group.otherMeaning)) {
        group.merged = true;
        ++merged_;
        return;
    }
    group.otherMeaning = group.otherMeaning || otherMeaning;
    group.otherOriginal = group.otherOriginal || otherOriginal;
}

std::vector<MergerFinder::Merger> MergerFinder::mergers() const
{
    std::vector<std::pair<qsizetype, Merger>> found;
    for (auto it = groups_.cbegin(); it != groups_.cend(); ++it) {
        if (!it->merged)
            continue;
        Merger merger{it.key(), {it->first}};
        merger.entries.insert(merger.entries.end(), it->others.begin(), it->others.end());
        found.emplace_back(it->index, std::move(merger));
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<Merger> result;
    result.reserve(found.size());
    for (auto &item : found)
        result.push_back(std::move(item.second));
    return result;
}

QString MergerFinder::text() const
{
    const std::vector<Merger> all = mergers();
    QString text = messages::history::mergerCount(qsizetype(all.size()))
        + (all.empty() ? QStringLiteral(".\n") : QStringLiteral(":\n"));
    for (const Merger &merger : all) {
        QStringList entries;
        for (const LexiconEntry &entry : merger.entries)
            entries.append(hasMeanings(kind_) ? QStringLiteral("%1 (%2)").arg(entry.meaning, entry.form) : entry.form);
        text += QStringLiteral("  %1 ← %2\n").arg(merger.form, entries.join(QStringLiteral(", ")));
    }
    return text;
}

} // namespace vordane
