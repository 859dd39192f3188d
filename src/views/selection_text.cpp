// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/selection_text.h"

#include <string_view>

#include "views/list_text.h"

namespace quillet {

std::string selectedRowsText(const RecordList& list) {
    // The listing holds one line per row: line 0 is the headings, line n + 1 row n.
    const std::string listing = listingText(list);
    const std::string_view all(listing);
    std::string text;
    std::size_t start = 0;
    for (std::size_t line = 0; start < all.size(); ++line) {
        const std::size_t end = all.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
        if (line == 0 || (line - 1 < list.rowCount() && list.isSelected(line - 1))) {
            text += all.substr(start, next - start);
        }
        start = next;
    }
    return text;
}

}  // namespace quillet
