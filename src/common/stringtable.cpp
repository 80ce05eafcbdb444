#include "common/stringtable.h"

#include <QHashFunctions>

#include <limits>
#include <new>

namespace vordane {

namespace {
constexpr std::size_t kFirstSlots = 1024;
}

QStringView StringTable::at(qsizetype number) const
{
    const Entry &entry = entries_[std::size_t(number)];
    return QStringView(arena_.data() + entry.offset, entry.length);
}

std::size_t StringTable::slotOf(QStringView text, std::size_t hash) const
{
    // Open addressing with linear probing; the table is at most half full.
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t number = slots_[slot];
        if (number == 0)
            return slot;
        const Entry &entry = entries_[number - 1];
        if (entry.hash == hash && at(number - 1) == text)
            return slot;
    }
}

qsizetype StringTable::find(QStringView text) const
{
    if (slots_.empty())
        return -1;
    const std::uint32_t number = slots_[slotOf(text, qHash(text))];
    return qsizetype(number) - 1;
}

std::pair<qsizetype, bool> StringTable::insert(QStringView text)
{
    if (2 * (entries_.size() + 1) > slots_.size())
        grow();
    const std::size_t hash = qHash(text);
    const std::size_t slot = slotOf(text, hash);
    if (slots_[slot] != 0)
        return {qsizetype(slots_[slot]) - 1, false};
    if (entries_.size() >= std::numeric_limits<std::uint32_t>::max() - 1)
        throw std::bad_alloc();
    entries_.push_back({qsizetype(arena_.size()), text.size(), hash});
    arena_.insert(arena_.end(), text.utf16(), text.utf16() + text.size());
    slots_[slot] = std::uint32_t(entries_.size());
    return {qsizetype(entries_.size()) - 1, true};
}

void StringTable::grow()
{
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(old.empty() ? kFirstSlots : 2 * old.size(), 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t number = 0; number < entries_.size(); ++number) {
        std::size_t slot = entries_[number].hash & mask;
        while (slots_[slot] != 0)
            slot = (slot + 1) & mask;
        slots_[slot] = std::uint32_t(number + 1);
    }
}

} // namespace vordane
