// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/record_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace quillet {

namespace {

// A cell holds a C text: whatever follows its first 0 byte is not part of it.
std::string_view cutAtTerminator(std::string_view text) {
    return text.substr(0, text.find('\0'));
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

// Numbers in ascending order, with the texts that hold none before all of them.
int compareNumbers(const std::optional<double>& a, const std::optional<double>& b) {
    if (!a || !b) {
        return a ? 1 : (b ? -1 : 0);
    }
    return *a < *b ? -1 : (*b < *a ? 1 : 0);
}

}  // namespace

std::optional<double> sortNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

void RecordList::addColumn(Column column) {
    columns_.push_back(std::move(column));
}

void RecordList::setColumnWidth(std::size_t position, int width) {
    columns_.at(position).width = width;
}

void RecordList::removeColumn(std::size_t position) {
    if (position >= columns_.size()) {
        return;
    }
    columns_.erase(columns_.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& row : rows_) {
        row.texts.erase(position);
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

// A row gets room for every column at once: a fill sets its texts one column after the
// other.
void RecordList::setText(std::size_t row, std::size_t column, std::string_view text) {
    rows_.at(row).texts.set(column, cutAtTerminator(text), columns_.size());
}

void RecordList::setTexts(std::size_t row, std::span<const std::string_view> texts) {
    rows_.at(row).texts.assign(texts);
}

void RecordList::setTexts(std::size_t row, std::span<const std::uint32_t> ends,
                          std::string_view texts) {
    rows_.at(row).texts.assign(ends, texts);
}

void RecordList::setTextsLike(std::size_t row, std::size_t from, std::size_t column,
                              std::string_view text) {
    rows_.at(row).texts.assignSharing(rows_.at(from).texts, column, cutAtTerminator(text));
}

std::string_view RecordList::text(std::size_t row, std::size_t column, std::size_t maxBytes) const {
    return rows_.at(row).texts.get(column).substr(0, maxBytes);
}

std::int32_t RecordList::itemNumber(std::size_t row) const {
    return rows_.at(row).itemNumber;
}

void RecordList::setTime(std::size_t row, DeviceTime time) {
    rows_.at(row).time = time;
}

DeviceTime RecordList::time(std::size_t row) const {
    return rows_.at(row).time;
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
    const bool numbers = column < columns_.size() && columns_[column].sortKind == SortKind::Number;
    const int order = numbers ? compareNumbers(sortNumber(sortText(a)), sortNumber(sortText(b)))
                              : compareTexts(sortText(a), sortText(b));
    return ascending_ ? order : -order;
}

namespace {

// The position of the first row from the top that carries each row's item number. Item
// numbers within a fill are 1, 2, ... (and 0), so a table indexed by them serves; a
// spread-out set of numbers falls back to a hash map.
std::vector<std::size_t> firstRowsByItemNumber(const std::deque<Row>& rows) {
    const std::size_t count = rows.size();
    std::vector<std::size_t> first(count);
    const auto [low, high] =
        std::minmax_element(rows.begin(), rows.end(),
                            [](const Row& a, const Row& b) { return a.itemNumber < b.itemNumber; });
    const auto span =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(high->itemNumber) - low->itemNumber);
    if (span < 4 * static_cast<std::uint64_t>(count)) {
        constexpr std::size_t kNone = static_cast<std::size_t>(-1);
        std::vector<std::size_t> table(static_cast<std::size_t>(span) + 1, kNone);
        for (std::size_t position = 0; position < count; ++position) {
            auto& slot =
                table[static_cast<std::size_t>(rows[position].itemNumber - low->itemNumber)];
            if (slot == kNone) {
                slot = position;
            }
            first[position] = slot;
        }
    } else {
        std::unordered_map<std::int32_t, std::size_t> table;
        table.reserve(count);
        for (std::size_t position = 0; position < count; ++position) {
            first[position] = table.try_emplace(rows[position].itemNumber, position).first->second;
        }
    }
    return first;
}

// A row's sort text with its first sixteen bytes as two big-endian numbers, zero-padded:
// two texts without 0 bytes order as these numbers do unless they are equal, and then as
// the rest of the texts do. Sixteen bytes tell apart most names, numbers and whole
// calendar dates with their hour.
constexpr std::size_t kPrefixBytes = 16;

struct SortKey {
    std::uint64_t high;
    std::uint64_t low;
    std::string_view text;
    std::size_t position;
};

std::uint64_t bigEndianBytes(std::string_view text, std::size_t from) {
    std::uint64_t value = 0;
    const std::size_t end = std::min<std::size_t>(text.size(), from + 8);
    for (std::size_t i = from; i < end; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(text[i])} << (56 - 8 * (i - from));
    }
    return value;
}

SortKey sortKey(std::string_view text, std::size_t position) {
    return {bigEndianBytes(text, 0), bigEndianBytes(text, 8), text, position};
}

int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.high != b.high) {
        return a.high < b.high ? -1 : 1;
    }
    if (a.low != b.low) {
        return a.low < b.low ? -1 : 1;
    }
    if (a.text.size() <= kPrefixBytes && b.text.size() <= kPrefixBytes) {
        return 0;  // equal prefixes of texts that end within them: equal texts
    }
    return compareTexts(a.text.substr(std::min(a.text.size(), kPrefixBytes)),
                        b.text.substr(std::min(b.text.size(), kPrefixBytes)));
}

// The positions of the rows in the order of their keys; `order` is -1, 0 or +1 for two
// keys in ascending order. Keys that compare equal keep their order in either direction.
template <typename Key, typename Order>
std::vector<std::size_t> sortedPositions(std::vector<Key> keys, bool ascending, Order order) {
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        const int byKey = order(a, b);
        if (byKey != 0) {
            return ascending ? byKey < 0 : byKey > 0;
        }
        return a.position < b.position;
    });
    std::vector<std::size_t> positions(keys.size());
    std::transform(keys.begin(), keys.end(), positions.begin(),
                   [](const Key& key) { return key.position; });
    return positions;
}

struct NumberKey {
    std::optional<double> value;
    std::size_t position;
};

}  // namespace

void RecordList::sortRows(std::size_t column) {
    const std::size_t count = rows_.size();
    if (count < 2) {
        return;
    }
    // compareRows looks a row up by its item number, so every row that shares an item
    // number sorts by the text of the first of them from the top. The keys are taken
    // once, before any row moves, and point into the rows, which stay put until the end.
    const std::vector<std::size_t> first = firstRowsByItemNumber(rows_);
    std::vector<std::size_t> order;
    if (column < columns_.size() && columns_[column].sortKind == SortKind::Number) {
        std::vector<NumberKey> keys(count);
        for (std::size_t position = 0; position < count; ++position) {
            keys[position] = {sortNumber(text(first[position], column, kCompareBytes)), position};
        }
        order = sortedPositions(std::move(keys), ascending_, [](const auto& a, const auto& b) {
            return compareNumbers(a.value, b.value);
        });
    } else {
        std::vector<SortKey> keys(count);
        for (std::size_t position = 0; position < count; ++position) {
            keys[position] = sortKey(text(first[position], column, kCompareBytes), position);
        }
        order = sortedPositions(std::move(keys), ascending_, compareKeys);
    }

    std::deque<Row> sorted;
    for (const std::size_t position : order) {
        sorted.push_back(std::move(rows_[position]));
    }
    rows_ = std::move(sorted);
}

void RecordList::sortBy(std::size_t column, bool ascending) {
    ascending_ = ascending;
    sortColumn_ = static_cast<int>(column);
    sortRows(column);
}

void RecordList::onColumnClick(std::size_t column) {
    const bool ascending = static_cast<int>(column) == sortColumn_ ? !ascending_ : true;
    sortBy(column, ascending);
}

}  // namespace quillet
