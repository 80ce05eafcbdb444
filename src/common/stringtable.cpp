#include "common/stringtable.h"

#include <QHashFunctions>

#include <algorithm>
#include <limits>
#include <new>

namespace vordane {

namespace {
constexpr std::size_t kFirstSlots = 1024;

std::uint32_t hashTag(std::size_t hash)
{
    return std::uint32_t(std::uint64_t(hash) >> 32) ^ std::uint32_t(hash);
}
} // namespace

QStringView StringTable::at(qsizetype number) const
{
    const Entry &entry = entries_[std::size_t(number)];
    return QStringView(entry.text, qsizetype(entry.length));
}

std::size_t StringTable::slotOf(QStringView text, std::size_t hash) const
{
    // Open addressing with linear probing; the table is at most half full.
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t tag = hashTag(hash);
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t value = slots_[slot];
        if (value == 0)
            return slot;
        if (std::uint32_t(value >> 32) != tag)
            continue;
        const std::size_t number = std::size_t(std::uint32_t(value)) - 1;
        const Entry &entry = entries_[number];
        if (entry.length == std::uint32_t(text.size())
            && std::equal(text.utf16(), text.utf16() + text.size(), entry.text))
            return slot;
    }
}

qsizetype StringTable::find(QStringView text) const
{
    if (slots_.empty())
        return -1;
    const std::size_t hash = qHash(text);
    if (!mayHold(hash))
        return -1;
    const std::uint64_t value = slots_[slotOf(text, hash)];
    return qsizetype(std::uint32_t(value)) - 1;
}

void StringTable::reserve(qsizetype count)
{
    std::size_t wanted = slots_.empty() ? kFirstSlots : slots_.size();
    while (wanted < 2 * std::size_t(count))
        wanted *= 2;
    if (wanted > slots_.size())
        grow(wanted);
    entries_.reserve(std::size_t(count));
}

std::pair<qsizetype, bool> StringTable::insert(QStringView text)
{
    if (2 * (entries_.size() + 1) > slots_.size())
        grow(slots_.empty() ? kFirstSlots : 2 * slots_.size());
    const std::size_t hash = qHash(text);
    const std::size_t slot = slotOf(text, hash);
    if (slots_[slot] != 0)
        return {qsizetype(std::uint32_t(slots_[slot])) - 1, false};
    if (entries_.size() >= std::numeric_limits<std::uint32_t>::max() - 1
        || text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    entries_.push_back({arena_.add(text).utf16(), std::uint32_t(text.size())});
    slots_[slot] = slotValue(hashTag(hash), entries_.size() - 1);
    mark(hash);
    return {qsizetype(entries_.size()) - 1, true};
}

void StringTable::grow(std::size_t size)
{
    // The slots keep only part of each hash: the texts are hashed again.
    slots_.assign(size, 0);
    if (filtered_)
        filter_.assign(slots_.size() / 4, 0); // 16 bits a slot, 64 bits a word
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t number = 0; number < entries_.size(); ++number) {
        const std::size_t hash = qHash(at(qsizetype(number)));
        std::size_t slot = hash & mask;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask;
        slots_[slot] = slotValue(hashTag(hash), number);
        mark(hash);
    }
}

} // namespace vordane
