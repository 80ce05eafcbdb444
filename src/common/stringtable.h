#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace vordane {

// A set of texts numbered in the order they were first inserted, compared
// exactly (case-sensitive). The texts live in one arena and the table holds
// small slots, so a million short words take a few tens of megabytes rather
// than the hundred or more of a QSet<QString>.
class StringTable {
public:
    // The number of the text, and whether it was new.
    std::pair<qsizetype, bool> insert(QStringView text);
    // The number of the text, or -1.
    qsizetype find(QStringView text) const;
    bool contains(QStringView text) const { return find(text) >= 0; }
    qsizetype size() const { return qsizetype(entries_.size()); }
    QStringView at(qsizetype number) const;

private:
    struct Entry {
        qsizetype offset;
        qsizetype length;
        std::size_t hash;
    };
    std::size_t slotOf(QStringView text, std::size_t hash) const;
    void grow();

    std::vector<char16_t> arena_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> slots_; // entry number + 1; 0 is an empty slot
};

} // namespace vordane
