#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// The texts of one list row, kept together in one block: the end of every text as a
// 32-bit offset, then the texts one after the other. A row costs one allocation, and
// reading its cells touches one stretch of memory, which is what a sort or an export
// over a hundred thousand rows spends its time on.
class RowTexts {
public:
    std::size_t size() const { return count_; }

    // The text of the column; empty for a column beyond the row's texts.
    std::string_view get(std::size_t column) const;

    // Replaces the column's text. A column beyond the row's texts first gives the row
    // `columns` texts (at least column + 1), the new ones empty.
    void set(std::size_t column, std::string_view text, std::size_t columns);

    // Removes the column's text; the texts behind it move one column forward.
    void erase(std::size_t column);
    void clear();

private:
    std::size_t end(std::size_t column) const;
    void setEnd(std::size_t column, std::size_t end);
    void grow(std::size_t count);
    std::size_t textStart() const { return count_ * sizeof(std::uint32_t); }

    std::string block_;
    std::size_t count_ = 0;
};

}  // namespace quillet
