// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Little-endian, unaligned integers as the device files store them.

#include <cstddef>
#include <cstdint>
#include <span>

#include "device/input_stream.h"

namespace quillet::byte_order {

inline std::uint32_t loadLe(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i > 0; --i) {
        value = (value << 8) | bytes[i - 1];
    }
    return value;
}

inline std::uint16_t loadLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(loadLe({p, 2}));
}
inline std::uint32_t loadLe24(const std::uint8_t* p) {
    return loadLe({p, 3});
}
inline std::uint32_t loadLe32(const std::uint8_t* p) {
    return loadLe({p, 4});
}

// Reads sizeof(T) bytes over the little-endian form of `field`: bytes the stream does
// not deliver keep what the field held before.
template <typename T>
void readInto(InputStream& stream, T& field) {
    std::uint8_t bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(field) >> (8 * i));
    }
    stream.read(bytes);
    field = static_cast<T>(loadLe(bytes));
}

// Reads a little-endian field of sizeof(T) bytes; bytes not delivered count as zero.
template <typename T>
T readLe(InputStream& stream) {
    T field = 0;
    readInto(stream, field);
    return field;
}

}  // namespace quillet::byte_order
