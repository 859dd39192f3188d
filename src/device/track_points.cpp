// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "device/byte_order.h"
#include "device/track_files.h"

namespace quillet {

namespace tl = track_layout;
using byte_order::loadLe16;
using byte_order::loadLe24;
using byte_order::loadLe32;

namespace {

int decodeElevation(std::uint16_t code, int offset) {
    const int steps = static_cast<int>(code) - offset;
    return static_cast<int>(static_cast<double>(steps) * tl::kElevationFactor);
}

DeviceTime decodeTime(std::uint32_t field) {
    return field - tl::kTimeOffset;
}

}  // namespace

std::uint64_t packedSize(std::uint32_t pointCount) {
    const std::uint64_t rest = pointCount % 8;
    const std::uint64_t lastGroup = rest == 0 ? 0 : rest == 1 ? 12 : 12 * rest + 1;
    return pointCount / 8 * tl::kGroupSize + lastGroup;
}

TrackPoint decodeActivePoint(std::span<const std::uint8_t, 12> body) {
    const std::uint8_t* p = body.data();
    TrackPoint point;
    point.latitude = loadLe24(p + 0) * tl::kActiveLatitudeFactor;
    point.longitude = loadLe24(p + 3) * tl::kLongitudeFactor;
    point.elevation = decodeElevation(loadLe16(p + 6), tl::kActiveElevationOffset);
    point.time = decodeTime(loadLe32(p + 8));
    return point;
}

TrackPoint decodeSavedPoint(std::span<const std::uint8_t, 12> aligned) {
    const std::uint8_t* p = aligned.data();
    TrackPoint point;
    point.latitude = loadLe24(p + 0) * tl::kSavedLatitudeFactor;
    point.longitude = loadLe24(p + 3) * tl::kLongitudeFactor;
    point.time = decodeTime(loadLe32(p + 6));
    point.elevation = decodeElevation(loadLe16(p + 10), tl::kSavedElevationOffset);
    return point;
}

// Point k of a group of eight starts at bit k of the byte the previous point's read
// ended with: that byte is carried over, the next 12 bytes are read after it, and the
// 13-byte window is shifted right by k bits. Point 1 reads 13 bytes itself, since point
// 0 took exactly 12.
std::array<std::uint8_t, 12> PointUnpacker::next(InputStream& stream) {
    if (slot_ == 8) {
        slot_ = 0;
    }
    const std::span<std::uint8_t> window(window_);
    if (slot_ == 0) {
        stream.read(window.first(12));
    } else if (slot_ == 1) {
        stream.read(window.first(13));
        carried_ = window_[12];
    } else {
        window_[0] = carried_;
        stream.read(window.subspan(1, 12));
        carried_ = window_[12];
    }
    if (slot_ > 0) {
        const int shift = slot_;
        for (std::size_t i = 0; i + 1 < window_.size(); ++i) {
            window_[i] =
                static_cast<std::uint8_t>((window_[i] >> shift) | (window_[i + 1] << (8 - shift)));
        }
        window_[12] = static_cast<std::uint8_t>(window_[12] >> shift);
    }
    ++slot_;

    std::array<std::uint8_t, 12> aligned;
    std::copy_n(window_.begin(), aligned.size(), aligned.begin());
    return aligned;
}

}  // namespace quillet
