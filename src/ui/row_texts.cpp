// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/row_texts.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace quillet {

// The block: how many rows use it and how many texts it holds, the end of every text,
// then the texts.
struct RowTexts::Block {
    std::uint32_t users;
    std::uint32_t count;

    std::uint32_t* ends() { return reinterpret_cast<std::uint32_t*>(this + 1); }
    const std::uint32_t* ends() const { return reinterpret_cast<const std::uint32_t*>(this + 1); }
    char* texts() { return reinterpret_cast<char*>(ends() + count); }
    const char* texts() const { return reinterpret_cast<const char*>(ends() + count); }
};

// Texts that would take the block beyond 32-bit ends are cut there.
RowTexts::Block* RowTexts::makeBlock(std::span<const std::string_view> texts) {
    if (texts.empty()) {
        return nullptr;
    }
    constexpr std::size_t kMaxTextBytes = std::numeric_limits<std::uint32_t>::max();
    std::size_t textBytes = 0;
    for (const std::string_view text : texts) {
        textBytes += text.size();
    }
    const bool cut = textBytes > kMaxTextBytes;
    textBytes = std::min(textBytes, kMaxTextBytes);
    const std::size_t bytes = sizeof(Block) + texts.size() * sizeof(std::uint32_t) + textBytes;
    auto* block = static_cast<Block*>(::operator new(bytes));
    block->users = 1;
    block->count = static_cast<std::uint32_t>(texts.size());
    std::uint32_t* ends = block->ends();
    char* const start = block->texts();
    char* out = start;
    for (const std::string_view text : texts) {
        const std::size_t size =
            cut ? std::min(text.size(), textBytes - static_cast<std::size_t>(out - start))
                : text.size();
        out = std::copy_n(text.data(), size, out);
        *ends++ = static_cast<std::uint32_t>(out - start);
    }
    return block;
}

RowTexts::RowTexts(const RowTexts& other)
    : block_(other.block_), ownColumn_(other.ownColumn_), ownSize_(other.ownSize_) {
    std::memcpy(own_, other.own_, kOwnBytes);
    if (block_ != nullptr) {
        ++block_->users;
    }
}

RowTexts::RowTexts(RowTexts&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      ownColumn_(std::exchange(other.ownColumn_, kNoOwnColumn)),
      ownSize_(other.ownSize_) {
    std::memcpy(own_, other.own_, kOwnBytes);
}

RowTexts& RowTexts::operator=(const RowTexts& other) {
    if (this != &other) {
        RowTexts copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RowTexts& RowTexts::operator=(RowTexts&& other) noexcept {
    if (this != &other) {
        release();
        block_ = std::exchange(other.block_, nullptr);
        ownColumn_ = std::exchange(other.ownColumn_, kNoOwnColumn);
        ownSize_ = other.ownSize_;
        std::memcpy(own_, other.own_, kOwnBytes);
    }
    return *this;
}

RowTexts::~RowTexts() {
    release();
}

void RowTexts::release() {
    if (block_ != nullptr && --block_->users == 0) {
        ::operator delete(block_);
    }
    block_ = nullptr;
    ownColumn_ = kNoOwnColumn;
}

std::size_t RowTexts::size() const {
    return block_ == nullptr ? 0 : block_->count;
}

std::string_view RowTexts::blockText(std::size_t column) const {
    const std::uint32_t* ends = block_->ends();
    const std::size_t begin = column == 0 ? 0 : ends[column - 1];
    return {block_->texts() + begin, ends[column] - begin};
}

std::string_view RowTexts::get(std::size_t column) const {
    if (column == ownColumn_) {
        return {own_, ownSize_};
    }
    if (column >= size()) {
        return {};
    }
    return blockText(column);
}

std::vector<std::string_view> RowTexts::all(std::size_t columns) const {
    std::vector<std::string_view> texts(std::max(columns, size()));
    for (std::size_t column = 0; column < size(); ++column) {
        texts[column] = get(column);
    }
    return texts;
}

// The new block is made before the old one goes: the texts may lie in it.
void RowTexts::replace(std::span<const std::string_view> texts) {
    Block* block = makeBlock(texts);
    release();
    block_ = block;
}

void RowTexts::set(std::size_t column, std::string_view text, std::size_t columns) {
    std::vector<std::string_view> texts = all(column < size() ? 0 : std::max(column + 1, columns));
    texts[column] = text;
    replace(texts);
}

void RowTexts::assign(std::span<const std::string_view> texts) {
    replace(texts);
}

void RowTexts::assign(std::span<const std::uint32_t> ends, std::string_view texts) {
    if (ends.empty()) {
        release();
        return;
    }
    const std::size_t bytes = sizeof(Block) + ends.size() * sizeof(std::uint32_t) + texts.size();
    auto* block = static_cast<Block*>(::operator new(bytes));
    block->users = 1;
    block->count = static_cast<std::uint32_t>(ends.size());
    std::copy(ends.begin(), ends.end(), block->ends());
    std::copy(texts.begin(), texts.end(), block->texts());
    release();
    block_ = block;
}

void RowTexts::assignSharing(const RowTexts& other, std::size_t column, std::string_view text) {
    const bool shareable = column < other.size() && column < kNoOwnColumn &&
                           text.size() <= kOwnBytes &&
                           (other.ownColumn_ == kNoOwnColumn || other.ownColumn_ == column);
    if (!shareable) {
        std::vector<std::string_view> texts = other.all(column + 1);
        texts[column] = text;
        replace(texts);
        return;
    }
    char own[kOwnBytes]{};
    std::copy(text.begin(), text.end(), own);  // the text may lie in this row
    *this = other;
    ownColumn_ = static_cast<std::uint8_t>(column);
    ownSize_ = static_cast<std::uint8_t>(text.size());
    std::memcpy(own_, own, kOwnBytes);
}

void RowTexts::erase(std::size_t column) {
    if (column >= size()) {
        return;
    }
    std::vector<std::string_view> texts = all();
    texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(column));
    replace(texts);
}

void RowTexts::clear() {
    release();
}

}  // namespace quillet
