#include "common/stringtable.h"

#include <QHashFunctions>

#include <algorithm>
#include <limits>
#include <new>

namespace vordane {

namespace {
constexpr std::size_t kFirstSlots = 1024;
}

QStringView StringTable::at(qsizetype number) const
{
    const Entry &entry = entries_[std::size_t(number)];
    return QStringView(entry.text, qsizetype(entry.length));
}

std::size_t StringTable::slotOf(QStringView text, std::size_t hash) const
{
    // Open addressing with linear probing; the table is at most half full.
    const std::size_t mask = tags_.size() - 1;
    const std::uint8_t tag = tagOf(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint8_t found = tags_[slot];
        if (found == 0)
            return slot;
        if (found != tag)
            continue;
        const Entry &entry = entries_[numbers_[slot]];
        if (entry.length == std::uint32_t(text.size())
            && std::equal(text.utf16(), text.utf16() + text.size(), entry.text))
            return slot;
    }
}

qsizetype StringTable::find(QStringView text) const
{
    if (tags_.empty())
        return -1;
    const std::size_t slot = slotOf(text, qHash(text));
    return tags_[slot] == 0 ? -1 : qsizetype(numbers_[slot]);
}

void StringTable::reserve(qsizetype count)
{
    // Counts beyond what the table can number are left to insert() to refuse.
    if (count <= 0 || std::uint64_t(count) >= std::numeric_limits<std::uint32_t>::max())
        return;
    std::size_t wanted = tags_.empty() ? kFirstSlots : tags_.size();
    while (wanted < 2 * std::size_t(count))
        wanted *= 2;
    if (wanted > tags_.size())
        grow(wanted);
    entries_.reserve(std::size_t(count));
}

std::pair<qsizetype, bool> StringTable::insert(QStringView text)
{
    if (2 * (entries_.size() + 1) > tags_.size())
        grow(tags_.empty() ? kFirstSlots : 2 * tags_.size());
    const std::size_t hash = qHash(text);
    const std::size_t slot = slotOf(text, hash);
    if (tags_[slot] != 0)
        return {qsizetype(numbers_[slot]), false};
    if (entries_.size() >= std::numeric_limits<std::uint32_t>::max() - 1
        || text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    entries_.push_back({arena_.add(text).utf16(), std::uint32_t(text.size())});
    tags_[slot] = tagOf(hash);
    numbers_[slot] = std::uint32_t(entries_.size() - 1);
    return {qsizetype(entries_.size()) - 1, true};
}

void StringTable::grow(std::size_t size)
{
    // The slots keep only a byte of each hash: the texts are hashed again.
    tags_.assign(size, 0);
    numbers_.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t number = 0; number < entries_.size(); ++number) {
        const std::size_t hash = qHash(at(qsizetype(number)));
        std::size_t slot = hash & mask;
        while (tags_[slot] != 0)
            slot = (slot + 1) & mask;
        tags_[slot] = tagOf(hash);
        numbers_[slot] = std::uint32_t(number);
    }
}

} // namespace vordane
