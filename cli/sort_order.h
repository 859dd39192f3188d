// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ui/record_list.h"

namespace quillet::cli {

// The position of the column whose heading is exactly `heading`.
std::optional<std::size_t> findHeading(const RecordList& list, std::string_view heading);

// The headings of the list, each quoted, separated by ", ".
std::string quotedHeadings(const RecordList& list);

// Brings the list into the order that clicks on the column's heading give: by that
// column, ascending or descending. Uses the clicks themselves, so the order is the
// window's own, stable from the order before.
void sortByClicks(RecordList& list, std::size_t column, bool ascending);

}  // namespace quillet::cli
