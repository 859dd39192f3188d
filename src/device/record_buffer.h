// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/input_stream.h"

namespace quillet {

// The one buffer into which every length-framed record of a device file is read,
// and the stretches of the headers that are not interpreted. It is never cleared: a
// read overwrites only the bytes it delivers, so a short record shows the bytes that
// earlier reads left behind. The application owns exactly one (AppState).
struct RecordBuffer {
    static constexpr std::size_t kSize = 1004;
    std::array<std::uint8_t, kSize> bytes{};
};

struct RecordRead {
    std::uint16_t length = 0;   // the body length the record declares
    std::size_t delivered = 0;  // body bytes placed in the buffer (at most kSize)
};

// Reads a 16-bit little-endian body length L, then L body bytes into the buffer from
// its first byte. A body longer than the buffer keeps its first kSize bytes and the rest
// is skipped, so the next record is read from where it starts.
RecordRead readRecord(InputStream& stream, RecordBuffer& buffer);

// True once a read from the stream came up short because the file ended.
bool atEndOfFile(const InputStream& stream);

}  // namespace quillet
