#include "ui/row_texts.h"

#include <algorithm>
#include <cstring>

namespace quillet {

namespace {

// Bytes reserved for a row's texts when it gets its columns: a waypoint row's texts
// take about a hundred.
constexpr std::size_t kTypicalTextBytes = 128;

}  // namespace

std::size_t RowTexts::end(std::size_t column) const {
    std::uint32_t value;
    std::memcpy(&value, block_.data() + column * sizeof value, sizeof value);
    return value;
}

void RowTexts::setEnd(std::size_t column, std::size_t end) {
    const auto value = static_cast<std::uint32_t>(end);
    std::memcpy(block_.data() + column * sizeof value, &value, sizeof value);
}

std::string_view RowTexts::get(std::size_t column) const {
    if (column >= count_) {
        return {};
    }
    const std::size_t begin = column == 0 ? 0 : end(column - 1);
    return std::string_view(block_).substr(textStart() + begin, end(column) - begin);
}

// The new texts are empty: their ends are the end of the last text.
void RowTexts::grow(std::size_t count) {
    const std::size_t textBytes = count_ == 0 ? 0 : end(count_ - 1);
    const std::size_t added = count - count_;
    if (count_ == 0) {
        block_.reserve(count * sizeof(std::uint32_t) + kTypicalTextBytes);
    }
    block_.insert(textStart(), added * sizeof(std::uint32_t), '\0');
    count_ = count;
    for (std::size_t column = count_ - added; column < count_; ++column) {
        setEnd(column, textBytes);
    }
}

void RowTexts::set(std::size_t column, std::string_view text, std::size_t columns) {
    if (column >= count_) {
        grow(std::max(column + 1, columns));
    }
    if (text.size() > UINT32_MAX - end(count_ - 1)) {
        text = text.substr(0, UINT32_MAX - end(count_ - 1));  // keeps every end in 32 bits
    }
    const std::size_t begin = column == 0 ? 0 : end(column - 1);
    const std::size_t oldSize = end(column) - begin;
    block_.replace(textStart() + begin, oldSize, text);
    for (std::size_t c = column; c < count_; ++c) {
        setEnd(c, end(c) - oldSize + text.size());
    }
}

void RowTexts::erase(std::size_t column) {
    if (column >= count_) {
        return;
    }
    const std::size_t begin = column == 0 ? 0 : end(column - 1);
    const std::size_t size = end(column) - begin;
    block_.erase(textStart() + begin, size);
    for (std::size_t c = column + 1; c < count_; ++c) {
        setEnd(c - 1, end(c) - size);
    }
    block_.erase((count_ - 1) * sizeof(std::uint32_t), sizeof(std::uint32_t));
    --count_;
}

void RowTexts::clear() {
    block_.clear();
    count_ = 0;
}

}  // namespace quillet
