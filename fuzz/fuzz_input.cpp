// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz_input.h"

#include <algorithm>
#include <stdexcept>

namespace quillet::fuzz {

namespace {

constexpr std::uint8_t kHasWaypoints = 0x01;
constexpr std::uint8_t kHasSavedTracks = 0x02;
constexpr std::uint8_t kHasActiveTrack = 0x04;

// Takes a 16-bit length and up to that many bytes from the front of `rest`.
Bytes takeFramed(std::span<const std::uint8_t>& rest) {
    std::size_t length = 0;
    if (rest.size() >= 2) {
        length = static_cast<std::size_t>(rest[0] | (rest[1] << 8));
        rest = rest.subspan(2);
    } else {
        rest = {};
    }
    const std::size_t taken = std::min(length, rest.size());
    Bytes bytes(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(taken));
    rest = rest.subspan(taken);
    return bytes;
}

void putFramed(Bytes& out, const std::optional<Bytes>& file) {
    const std::size_t size = file ? file->size() : 0;
    if (size > 0xFFFF) {
        throw std::invalid_argument("a framed device file is at most 65535 bytes");
    }
    out.push_back(static_cast<std::uint8_t>(size));
    out.push_back(static_cast<std::uint8_t>(size >> 8));
    if (file) {
        out.insert(out.end(), file->begin(), file->end());
    }
}

}  // namespace

FuzzCase parseFuzzInput(std::span<const std::uint8_t> input) {
    std::array<std::uint8_t, kControlBytes> control{};
    const std::size_t controlSize = std::min(input.size(), kControlBytes);
    std::copy_n(input.begin(), controlSize, control.begin());
    auto rest = input.subspan(controlSize);

    FuzzCase result;
    result.listControl = control[1];
    for (std::size_t i = 0; i < 8; ++i) {
        result.selection |= static_cast<std::uint64_t>(control[2 + i]) << (8 * i);
    }
    Bytes waypoints = takeFramed(rest);
    Bytes savedTracks = takeFramed(rest);
    Bytes activeTrack(rest.begin(), rest.end());
    if ((control[0] & kHasWaypoints) != 0) {
        result.waypoints = std::move(waypoints);
    }
    if ((control[0] & kHasSavedTracks) != 0) {
        result.savedTracks = std::move(savedTracks);
    }
    if ((control[0] & kHasActiveTrack) != 0) {
        result.activeTrack = std::move(activeTrack);
    }
    return result;
}

Bytes encodeFuzzInput(const FuzzCase& fuzzCase) {
    Bytes out;
    out.push_back(static_cast<std::uint8_t>((fuzzCase.waypoints ? kHasWaypoints : 0) |
                                            (fuzzCase.savedTracks ? kHasSavedTracks : 0) |
                                            (fuzzCase.activeTrack ? kHasActiveTrack : 0)));
    out.push_back(fuzzCase.listControl);
    for (std::size_t i = 0; i < 8; ++i) {
        out.push_back(static_cast<std::uint8_t>(fuzzCase.selection >> (8 * i)));
    }
    putFramed(out, fuzzCase.waypoints);
    putFramed(out, fuzzCase.savedTracks);
    if (fuzzCase.activeTrack) {
        out.insert(out.end(), fuzzCase.activeTrack->begin(), fuzzCase.activeTrack->end());
    }
    return out;
}

}  // namespace quillet::fuzz
