#pragma once

#include <QStringView>

#include <algorithm>
#include <memory>
#include <vector>

namespace vordane {

// Keeps many texts in large blocks: a text stays where it was put (views of
// it stay valid), and memory grows a block at a time instead of doubling and
// copying as one growing array would.
class TextArena {
public:
    // A copy of the text, valid as long as the arena.
    QStringView add(QStringView text)
    {
        const auto size = std::size_t(text.size());
        if (size > left_) {
            const std::size_t block = std::max(size, kBlock);
            blocks_.push_back(std::make_unique<char16_t[]>(block));
            next_ = blocks_.back().get();
            left_ = block;
        }
        char16_t *copy = next_;
        std::copy_n(text.utf16(), size, copy);
        next_ += size;
        left_ -= size;
        return QStringView(copy, qsizetype(size));
    }

private:
    static constexpr std::size_t kBlock = 512 * 1024; // characters
    std::vector<std::unique_ptr<char16_t[]>> blocks_;
    char16_t *next_ = nullptr;
    std::size_t left_ = 0;
};

} // namespace vordane
