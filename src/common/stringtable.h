#pragma once

#include "common/textarena.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace vordane {

// A set of texts numbered in the order they were first inserted, compared
// exactly (case-sensitive). The texts live in an arena and the table holds
// small slots that carry part of each text's hash, so a million short words
// take a few tens of megabytes rather than the hundred or more of a
// QSet<QString>, and a look-up that finds nothing seldom leaves the table.
class StringTable {
public:
    // With `filtered`, a small bit set in front of the slots answers most
    // look-ups of texts that are not there (for tables asked more often
    // than they are filled).
    explicit StringTable(bool filtered = false)
        : filtered_(filtered)
    {
    }

    // Makes room for `count` texts at once, so that the table never grows.
    void reserve(qsizetype count);
    // The number of the text, and whether it was new.
    std::pair<qsizetype, bool> insert(QStringView text);
    // The number of the text, or -1.
    qsizetype find(QStringView text) const;
    bool contains(QStringView text) const { return find(text) >= 0; }
    qsizetype size() const { return qsizetype(entries_.size()); }
    QStringView at(qsizetype number) const;

private:
    struct Entry {
        const char16_t *text;
        std::uint32_t length;
    };
    // A slot: the upper 32 bits of the hash, then the entry number + 1 (0: empty).
    static std::uint64_t slotValue(std::uint32_t hash, std::size_t number)
    {
        return (std::uint64_t(hash) << 32) | std::uint64_t(number + 1);
    }
    std::size_t slotOf(QStringView text, std::size_t hash) const;
    void grow(std::size_t size);
    // A bit per 1/16 slot, set for the texts in the table: a text whose bit
    // is clear is not there, which is known without touching the larger
    // slot array (most look-ups of a program that asks for texts it mostly
    // does not hold end here).
    bool mayHold(std::size_t hash) const
    {
        if (!filtered_)
            return true;
        const std::size_t bit = (hash >> 40) & (filter_.size() * 64 - 1);
        return (filter_[bit / 64] >> (bit % 64)) & 1;
    }
    void mark(std::size_t hash)
    {
        if (!filtered_)
            return;
        const std::size_t bit = (hash >> 40) & (filter_.size() * 64 - 1);
        filter_[bit / 64] |= std::uint64_t(1) << (bit % 64);
    }

    TextArena arena_;
    std::vector<Entry> entries_;
    std::vector<std::uint64_t> slots_;
    std::vector<std::uint64_t> filter_;
    bool filtered_;
};

} // namespace vordane
