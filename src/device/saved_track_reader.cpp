// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "device/byte_order.h"
#include "device/track_files.h"

namespace quillet {

namespace tl = track_layout;

std::uint32_t SavedTrackReader::readHeader() {
    stream_.read(std::span(buffer_.bytes).first(12));   // offset 0
    return byte_order::readLe<std::uint32_t>(stream_);  // offset 12
}

TrackHeader SavedTrackReader::readTrackHeader() {
    const std::span<std::uint8_t> scratch(buffer_.bytes);
    byte_order::readInto(stream_, header_.length);      // offset 0
    byte_order::readInto(stream_, header_.pointCount);  // offset 2
    stream_.read(scratch.first(1));                     // offset 4
    stream_.read(nameField_);                           // offset 5
    stream_.read(scratch.first(16));                    // offset 34
    byte_order::readInto(stream_, header_.colour);      // offset 50
    stream_.read(scratch.first(3));                     // offset 51

    const auto nameEnd = std::find(nameField_.begin(), nameField_.end(), std::uint8_t{0});
    header_.name.assign(nameField_.begin(), nameEnd);

    unpacker_ = PointUnpacker{};
    pointsRead_ = 0;
    return header_;
}

TrackPoint SavedTrackReader::readPoint() {
    const auto aligned = unpacker_.next(stream_);
    ++pointsRead_;
    return decodeSavedPoint(aligned);
}

// The points read so far took exactly the packed size of that many points.
void SavedTrackReader::skipRemainingPoints() {
    const std::uint32_t total = header_.pointCount;
    const std::uint32_t done = std::min(pointsRead_, total);
    stream_.skip(packedSize(total) - packedSize(done));
    pointsRead_ = std::max(pointsRead_, total);
}

}  // namespace quillet
