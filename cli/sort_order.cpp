// SPDX-License-Identifier: GPL-3.0-or-later
#include "sort_order.h"

namespace quillet::cli {

std::optional<std::size_t> findHeading(const RecordList& list, std::string_view heading) {
    for (std::size_t position = 0; position < list.columnCount(); ++position) {
        if (list.column(position).heading == heading) {
            return position;
        }
    }
    return std::nullopt;
}

std::string quotedHeadings(const RecordList& list) {
    std::string text;
    for (const Column& column : list.columns()) {
        if (!text.empty()) {
            text += ", ";
        }
        text += "\"" + column.heading + "\"";
    }
    return text;
}

void sortByClicks(RecordList& list, std::size_t column, bool ascending) {
    // A click on another column sorts by it ascending; a click on the sort column flips
    // the direction. Right after a fill the rows already stand sorted by the sort
    // column (1) in the current direction, so asking for that needs no click at all.
    if (static_cast<std::size_t>(list.sortColumn()) != column) {
        list.onColumnClick(column);
    }
    if (list.ascending() != ascending) {
        list.onColumnClick(column);
    }
}

}  // namespace quillet::cli
