#pragma once

#include <string>

#include "ui/record_list.h"

namespace quillet {

// The record list as plain text: the column headings, then one line per row in list
// order; cells separated by one TAB, every column included, every cell whole and in
// UTF-8; a TAB, CR or LF inside a cell becomes a blank; every line ends with LF.
std::string listingText(const RecordList& list);

}  // namespace quillet
