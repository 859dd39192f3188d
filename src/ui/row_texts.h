// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The texts of one list row, kept together in one block: the end of every text as a
// 32-bit offset, then the texts one after the other. A row costs one allocation, and
// reading its cells touches one stretch of memory, which is what a sort or an export
// over a hundred thousand rows spends its time on.
//
// Blocks are shared: a copy of the texts, or rows that differ in one short text only
// (rows decoded from the same bytes, apart from their number), use one block, and any
// change gives the row a block of its own first. The sharing is not synchronised: the
// rows of one list belong to one thread.
class RowTexts {
public:
    RowTexts() = default;
    RowTexts(const RowTexts& other);
    RowTexts(RowTexts&& other) noexcept;
    RowTexts& operator=(const RowTexts& other);
    RowTexts& operator=(RowTexts&& other) noexcept;
    ~RowTexts();

    std::size_t size() const;

    // The text of the column; empty for a column beyond the row's texts.
    std::string_view get(std::size_t column) const;

    // Replaces the column's text. A column beyond the row's texts first gives the row
    // `columns` texts (at least column + 1), the new ones empty.
    void set(std::size_t column, std::string_view text, std::size_t columns);

    // Replaces all texts with these, one per column.
    void assign(std::span<const std::string_view> texts);
    // The same from the texts one after the other and the end of each in them.
    void assign(std::span<const std::uint32_t> ends, std::string_view texts);

    // The texts of `other` with the column's text replaced. A short text is kept in the
    // row itself and the rest shares the block of `other`.
    void assignSharing(const RowTexts& other, std::size_t column, std::string_view text);

    // Removes the column's text; the texts behind it move one column forward.
    void erase(std::size_t column);
    void clear();

private:
    struct Block;
    static constexpr std::uint8_t kNoOwnColumn = 0xFF;
    static constexpr std::size_t kOwnBytes = 14;

    static Block* makeBlock(std::span<const std::string_view> texts);
    std::string_view blockText(std::size_t column) const;
    // Every text, and room for `columns` of them (at least the row's own count).
    std::vector<std::string_view> all(std::size_t columns = 0) const;
    void replace(std::span<const std::string_view> texts);
    void release();

    Block* block_ = nullptr;
    std::uint8_t ownColumn_ = kNoOwnColumn;  // the column whose text is in own_
    std::uint8_t ownSize_ = 0;
    char own_[kOwnBytes]{};
};

}  // namespace quillet
