// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The naive procedures, done literally, as yardsticks for the real ones. They live
// here only; nothing in the program uses them.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "ui/record_list.h"

namespace quillet::bench {

// A sort as the platform's list control does it with a comparison callback that finds
// both rows by their item numbers: a linear search per row per comparison, then the
// texts copied into 100-byte buffers and compared byte-wise. Returns the item numbers
// in their sorted order (the rows themselves are not moved).
std::vector<std::int32_t> naiveSortOrder(const RecordList& list, std::size_t column,
                                         bool ascending);

// The deletion's copy loop as first written: for every record of the file, every row of
// the list is examined. Copies the kept records of `device` into `temporary` and then
// replaces the device file by it, keeping `backup`. Returns the records kept.
std::size_t naiveRewrite(const std::filesystem::path& device,
                         const std::filesystem::path& temporary,
                         const std::filesystem::path& backup, const RecordList& list,
                         std::uint32_t recordCount);

// The track export as first written: for every selected saved track the saved-tracks
// file is opened and every point of every track decoded until the walk has passed them
// all; the selected track's points are written with fprintf. Writes only the `trk`
// elements (no document frame) into `output`; returns the bytes written.
std::uintmax_t naiveTrackExport(const std::filesystem::path& savedTracks,
                                const std::vector<std::uint32_t>& trackNumbers,
                                const std::filesystem::path& output);

}  // namespace quillet::bench
