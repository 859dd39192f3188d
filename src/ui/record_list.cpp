#include "ui/record_list.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>
#include <utility>

namespace quillet {

namespace {

// A cell holds a C text: whatever follows its first 0 byte is not part of it.
std::string cutAtTerminator(std::string text) {
    const auto end = text.find('\0');
    if (end != std::string::npos) {
        text.resize(end);
    }
    return text;
}

// Byte-wise order of unsigned values; the terminator takes part, so a prefix is smaller.
int compareTexts(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    const int bytes = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    if (bytes != 0) {
        return bytes < 0 ? -1 : 1;
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

void RecordList::addColumn(Column column) {
    columns_.push_back(std::move(column));
}

void RecordList::removeColumn(std::size_t position) {
    if (position >= columns_.size()) {
        return;
    }
    columns_.erase(columns_.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& row : rows_) {
        if (position < row.texts.size()) {
            row.texts.erase(row.texts.begin() + static_cast<std::ptrdiff_t>(position));
        }
    }
}

void RecordList::removeAllColumns() {
    columns_.clear();
    for (auto& row : rows_) {
        row.texts.clear();
    }
}

void RecordList::removeAllRows() {
    rows_.clear();
}

void RecordList::insertRow() {
    rows_.emplace_front();
}

void RecordList::setItemNumber(std::size_t row, std::int32_t itemNumber) {
    rows_.at(row).itemNumber = itemNumber;
}

void RecordList::setText(std::size_t row, std::size_t column, std::string text) {
    auto& texts = rows_.at(row).texts;
    if (column >= texts.size()) {
        texts.resize(column + 1);
    }
    texts[column] = cutAtTerminator(std::move(text));
}

std::string_view RecordList::text(std::size_t row, std::size_t column, std::size_t maxBytes) const {
    const auto& texts = rows_.at(row).texts;
    if (column >= texts.size()) {
        return {};
    }
    return std::string_view(texts[column]).substr(0, maxBytes);
}

std::int32_t RecordList::itemNumber(std::size_t row) const {
    return rows_.at(row).itemNumber;
}

bool RecordList::isSelected(std::size_t row) const {
    return rows_.at(row).selected;
}

void RecordList::setSelected(std::size_t row, bool selected) {
    rows_.at(row).selected = selected;
}

std::size_t RecordList::selectedCount() const {
    return static_cast<std::size_t>(
        std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return row.selected; }));
}

int RecordList::findByItemNumber(std::int32_t itemNumber) const {
    for (std::size_t position = 0; position < rows_.size(); ++position) {
        if (rows_[position].itemNumber == itemNumber) {
            return static_cast<int>(position);
        }
    }
    return -1;
}

int RecordList::compareRows(std::int32_t a, std::int32_t b, std::size_t column) const {
    // An item number that no row carries reads as the empty text.
    const auto sortText = [&](std::int32_t itemNumber) -> std::string_view {
        const int position = findByItemNumber(itemNumber);
        if (position < 0) {
            return {};
        }
        return text(static_cast<std::size_t>(position), column, kCompareBytes);
    };
    const int order = compareTexts(sortText(a), sortText(b));
    return ascending_ ? order : -order;
}

void RecordList::sortRows(std::size_t column) {
    const std::size_t count = rows_.size();
    if (count < 2) {
        return;
    }
    // compareRows looks a row up by its item number, so every row that shares an item
    // number sorts by the text of the first of them from the top. The keys are taken
    // once, before any row moves, and point into the rows, which stay put until the end.
    std::unordered_map<std::int32_t, std::string_view> firstText;
    firstText.reserve(count);
    std::vector<std::string_view> keys;
    keys.reserve(count);
    for (std::size_t position = 0; position < count; ++position) {
        const auto entry = firstText.try_emplace(rows_[position].itemNumber,
                                                 text(position, column, kCompareBytes));
        keys.push_back(entry.first->second);
    }

    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    const bool ascending = ascending_;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t left, std::size_t right) {
        const int result = compareTexts(keys[left], keys[right]);
        return ascending ? result < 0 : result > 0;
    });

    std::deque<Row> sorted;
    for (const std::size_t position : order) {
        sorted.push_back(std::move(rows_[position]));
    }
    rows_ = std::move(sorted);
}

void RecordList::onColumnClick(std::size_t column) {
    if (static_cast<int>(column) == sortColumn_) {
        ascending_ = !ascending_;
    } else {
        ascending_ = true;
    }
    sortRows(column);
    sortColumn_ = static_cast<int>(column);
}

}  // namespace quillet
