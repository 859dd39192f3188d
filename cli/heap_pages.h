// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet::cli {

// A listing of a large folder touches tens of megabytes of small blocks, and on Linux
// every first touch of a 4 KiB page is a fault that costs microseconds. Where the C
// library allows it, the heap is reserved in one large step and marked for huge pages,
// so that the same memory takes one fault per 2 MiB. Does nothing elsewhere; a failure
// only leaves the heap as it was.
void preferLargeHeapPages();

}  // namespace quillet::cli
