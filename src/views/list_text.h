// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/record_list.h"

namespace quillet {

// The record list as plain text: the column headings, then one line per row in list
// order; cells separated by one TAB, every column included, every cell whole and in
// UTF-8; a TAB, CR or LF inside a cell becomes a blank; every line ends with LF.
std::string listingText(const RecordList& list);

// The same text, handed to `write` piece by piece as it is made (pieces of whole lines,
// a few hundred KiB each), so that a long list never stands in memory twice. Stops at
// the first piece for which `write` returns false, and returns false then.
bool writeListing(const RecordList& list, const std::function<bool(std::string_view)>& write);

}  // namespace quillet
