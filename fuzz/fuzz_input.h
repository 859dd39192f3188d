// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One fuzz input is one device folder plus a few choices of the person:
//
//   byte 0      which device files exist: bit 0 GARMIN_WPT.NVM, bit 1 GARMIN_STRK.NVM,
//               bit 2 GARMIN_ATRK.NVM
//   byte 1      the list before a command: bits 0-4 a column to sort by (taken modulo the
//               column count), bit 5 sort by it at all, bit 6 click it twice (descending),
//               bit 7 the command runs on the "Tracks" view instead of the first tab
//   bytes 2-9   the selection: the row at list position r is selected when bit (r mod 64)
//               of these eight bytes (little-endian) is set
//   then        the waypoint file and the saved-tracks file, each as a 16-bit
//               little-endian length followed by that many bytes (fewer when the input
//               ends first)
//   the rest    the active-track file
//
// An input shorter than the ten control bytes reads as if padded with zeros.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillet::fuzz {

using Bytes = std::vector<std::uint8_t>;

struct FuzzCase {
    std::optional<Bytes> waypoints;
    std::optional<Bytes> savedTracks;
    std::optional<Bytes> activeTrack;
    std::uint8_t listControl = 0;
    std::uint64_t selection = 0;

    bool sortFirst() const { return (listControl & 0x20) != 0; }
    bool sortDescending() const { return (listControl & 0x40) != 0; }
    std::size_t sortColumn(std::size_t columnCount) const {
        return columnCount == 0 ? 0 : (listControl & 0x1F) % columnCount;
    }
    bool onTracksView() const { return (listControl & 0x80) != 0; }
    bool selects(std::size_t row) const { return ((selection >> (row % 64)) & 1u) != 0; }
};

inline constexpr std::size_t kControlBytes = 10;

FuzzCase parseFuzzInput(std::span<const std::uint8_t> input);

// The inverse, for the seed writer. A file longer than 65,535 bytes cannot be framed
// except as the active-track file.
Bytes encodeFuzzInput(const FuzzCase& fuzzCase);

}  // namespace quillet::fuzz
