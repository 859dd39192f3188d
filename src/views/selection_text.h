// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ui/record_list.h"

namespace quillet {

// The selected rows as the listing writes them: its heading line, then the lines of
// the selected rows in list order. What a copy of the selection puts on the clipboard.
std::string selectedRowsText(const RecordList& list);

}  // namespace quillet
