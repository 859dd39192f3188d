// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_time.h"
#include "ui/row_texts.h"

namespace quillet {

enum class Alignment { Left = 0, Center = 2 };

// How a sort compares a column's texts: byte-wise, or by the decimal number each holds.
enum class SortKind { Text, Number };

struct Column {
    std::string heading;
    Alignment alignment = Alignment::Left;
    int width = 0;  // pixels
    SortKind sortKind = SortKind::Text;
};

// The time of a row that carries none: a value without a calendar text.
inline constexpr DeviceTime kNoRowTime = 0xFFFFFFFF;

// The value of a number column's text: a decimal number with blanks around it ignored;
// none for an empty text or one that is not a number.
std::optional<double> sortNumber(std::string_view text);

struct Row {
    RowTexts texts;  // one per column, device code page
    std::int32_t itemNumber = 0;
    // The record's own time as the device stores it (UTC), whatever its cell shows: the
    // exports read it here, never back from a text.
    DeviceTime time = kNoRowTime;
    bool selected = false;
};

// The one report-style list both views fill. Rows are tied to their records by their
// item numbers, never by their positions; every new row goes to the top.
class RecordList {
public:
    static constexpr std::size_t kCompareBytes = 99;  // bytes of a text a sort compares
    // The most rows one fill holds: far beyond what any receiver stores, and small enough
    // that a damaged or hostile file cannot take the memory of the machine.
    static constexpr std::size_t kMaxRows = 1'000'000;

    // Columns.
    void addColumn(Column column);
    void removeColumn(std::size_t position);
    void removeAllColumns();
    void setColumnWidth(std::size_t position, int width);
    std::size_t columnCount() const { return columns_.size(); }
    const Column& column(std::size_t position) const { return columns_[position]; }
    const std::vector<Column>& columns() const { return columns_; }

    // Rows.
    void removeAllRows();
    void insertRow();  // a new row 0: item number 0, all texts empty, not selected
    void setItemNumber(std::size_t row, std::int32_t itemNumber);
    void setText(std::size_t row, std::size_t column, std::string_view text);
    // All texts of the row at once, one per column, in one allocation. The texts hold no
    // zero byte (setText cuts a text at its first one; these are taken as they are).
    void setTexts(std::size_t row, std::span<const std::string_view> texts);
    // The same from the texts one after the other (the fill's scratch buffer) and the end
    // of each in them; the ends grow and the last is the size of `texts`.
    void setTexts(std::size_t row, std::span<const std::uint32_t> ends, std::string_view texts);
    // The texts of row `from`, except the column's, which becomes `text`; a short text
    // lets the two rows share the memory of the others.
    void setTextsLike(std::size_t row, std::size_t from, std::size_t column, std::string_view text);
    // The cell text cut to maxBytes (the platform's buffer of maxBytes + 1).
    std::string_view text(std::size_t row, std::size_t column,
                          std::size_t maxBytes = std::string::npos) const;
    std::int32_t itemNumber(std::size_t row) const;
    void setTime(std::size_t row, DeviceTime time);
    DeviceTime time(std::size_t row) const;
    std::size_t rowCount() const { return rows_.size(); }
    const Row& row(std::size_t position) const { return rows_[position]; }

    // Selection: changed by the person alone (front ends and tests).
    bool isSelected(std::size_t row) const;
    void setSelected(std::size_t row, bool selected);
    std::size_t selectedCount() const;

    // Position of the first row from the top carrying the item number; -1 when none.
    int findByItemNumber(std::int32_t itemNumber) const;

    // Sort state: the column of the last heading click and the direction.
    int sortColumn() const { return sortColumn_; }
    bool ascending() const { return ascending_; }

    // -1, 0 or +1 for the rows carrying item numbers a and b, in the current direction:
    // in a number column by the values of their texts, an empty or non-numeric text
    // before every number; in any other column by the first 99 bytes of their texts,
    // byte-wise.
    int compareRows(std::int32_t a, std::int32_t b, std::size_t column) const;
    // Stable sort of the rows by compareRows over the column.
    void sortRows(std::size_t column);
    // Sorts by the column in the direction and makes that the sort state, as the heading
    // arrow shows it.
    void sortBy(std::size_t column, bool ascending);
    // A click on a column heading: the same column flips the direction, another one
    // sorts ascending; then sorts and remembers the column.
    void onColumnClick(std::size_t column);

private:
    std::vector<Column> columns_;
    std::deque<Row> rows_;
    int sortColumn_ = 1;
    bool ascending_ = true;
};

}  // namespace quillet
