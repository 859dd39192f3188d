// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/record_list.h"

namespace quillet::cli {

// A closed range of item numbers, first <= last.
struct NumberRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    friend bool operator==(const NumberRange&, const NumberRange&) = default;
};

// A LIST as given on the command line ("1,3,7-9", "9,1-3", "1, 3"): sorted, overlapping and
// adjacent ranges merged, so a number given twice counts once. On a syntax error,
// nothing and the reason in `error`.
std::optional<std::vector<NumberRange>> parseItemList(std::string_view text, std::string& error);

// The numbers of the ranges that no row of the list carries, as merged ranges.
std::vector<NumberRange> missingItemNumbers(const RecordList& list,
                                            const std::vector<NumberRange>& ranges);

// Selects the rows whose item numbers lie in the ranges; other rows keep their flags.
void selectItemNumbers(RecordList& list, const std::vector<NumberRange>& ranges);

// Selects every row.
void selectAllRows(RecordList& list);

// "6", "6, 8-10".
std::string describeRanges(const std::vector<NumberRange>& ranges);

}  // namespace quillet::cli
