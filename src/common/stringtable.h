#pragma once

#include "common/textarena.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <utility>
#include <vector>

namespace vordane {

// A set of texts numbered in the order they were first inserted, compared
// exactly (case-sensitive). The texts live in an arena; the table keeps a
// byte of each text's hash in an array of its own, small enough to stay in
// the processor's cache, so that most probes (all of those that find a text
// absent) never reach the larger arrays. A million short words take a few
// tens of megabytes rather than the hundred or more of a QSet<QString>.
class StringTable {
public:
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
    // A slot's byte: 0 when empty, else the high bit and seven bits of the hash.
    static std::uint8_t tagOf(std::size_t hash) { return std::uint8_t(0x80 | ((std::uint64_t(hash) >> 57) & 0x7F)); }
    std::size_t slotOf(QStringView text, std::size_t hash) const;
    void grow(std::size_t size);

    TextArena arena_;
    std::vector<Entry> entries_;
    std::vector<std::uint8_t> tags_;
    std::vector<std::uint32_t> numbers_; // the entry of each occupied slot
};

} // namespace vordane
