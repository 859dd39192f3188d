// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "edit/file_operations.h"

namespace quillet {

// The framing that the waypoint file and the saved-tracks file share: 12 header bytes
// kept as they are, a 32-bit little-endian record count at offset 12, then the records,
// each a 16-bit little-endian body length L followed by L bytes.
struct FramedFile {
    static constexpr std::size_t kHeaderBytes = 12;
    static constexpr std::size_t kCountBytes = 4;
    static constexpr std::size_t kLengthBytes = 2;

    std::array<std::uint8_t, kHeaderBytes> header{};
    std::uint32_t recordCount = 0;
    std::vector<std::uint8_t> frames;      // the counted records, length words included
    std::vector<std::size_t> frameStarts;  // where record p (1-based) begins: index p - 1
};

enum class ReadStatus {
    Complete,    // everything asked for was read
    Incomplete,  // the file ended first
    Unreadable,  // the system reported a read error
};

// Reads the 12 header bytes and the record count.
ReadStatus readFramedHeader(FileOperations& ops, std::FILE* file, FramedFile& into);

// Reads the records the header counts, each whole whatever its length. Stops at the
// first record the file does not hold completely; memory grows with the bytes that
// were read, not with the count.
ReadStatus readFramedRecords(FileOperations& ops, std::FILE* file, FramedFile& into);

// The first saved track (1-based) whose length word differs from 52 plus the packed
// size of the points it counts; 0 when every record agrees.
std::size_t firstMisframedTrack(const FramedFile& file);

// The file that holds the header, the number of kept records and the kept records in
// file order; keep[p - 1] tells whether record p stays. The records are not copied: the
// file is the head followed by the runs, stretches of `file.frames` of records kept one
// after the other.
struct ComposedFile {
    std::array<std::uint8_t, FramedFile::kHeaderBytes + FramedFile::kCountBytes> head{};
    std::vector<std::span<const std::uint8_t>> runs;
    std::uint32_t kept = 0;   // records the file holds
    std::size_t removed = 0;  // records of `file` left out
};
ComposedFile composeFramedFile(const FramedFile& file, const std::vector<bool>& keep);

}  // namespace quillet
