// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/byte_order.h"
#include "device/track_files.h"

namespace quillet {

ActiveTrackHeader ActiveTrackReader::readHeader() {
    ActiveTrackHeader header;
    header.version = byte_order::readLe<std::uint16_t>(stream_);     // offset 0
    stream_.read(std::span(buffer_.bytes).first(10));                // offset 2
    header.pointCount = byte_order::readLe<std::uint32_t>(stream_);  // offset 12
    return header;
}

TrackPoint ActiveTrackReader::readPoint() {
    readRecord(stream_, buffer_);
    return decodeActivePoint(std::span<const std::uint8_t>(buffer_.bytes).first<12>());
}

}  // namespace quillet
