// SPDX-License-Identifier: GPL-3.0-or-later
// A file-backed stream reads in blocks of its own; it must deliver exactly what a stream
// over the same bytes in memory delivers, for any mix of small and large reads and skips.

#include "device/input_stream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "support/temp_dir.h"

namespace quillet {
namespace {

TEST(InputStream, FileAndMemoryDeliverTheSameForAnyReadsAndSkips) {
    testing::TempDir dir;
    std::mt19937_64 random(5);
    for (const std::size_t size : {0u, 1u, 100u, 65'535u, 65'536u, 65'537u, 300'001u}) {
        std::vector<std::uint8_t> bytes(size);
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        const auto path = dir.writeFile("data.bin", bytes);
        // Read beforehand as a whole, up to a size.
        ASSERT_EQ(*readFileBytes(path, size), bytes);
        EXPECT_EQ(readFileBytes(path, size - 1) != nullptr, size == 0);
        for (int round = 0; round < 20; ++round) {
            auto file = InputStream::open(path);
            ASSERT_TRUE(file.has_value());
            InputStream memory = InputStream::fromBytes(bytes);
            ASSERT_EQ(file->size(), memory.size());
            for (int step = 0; step < 400 && !memory.atEnd(); ++step) {
                const auto pick = random() % 100;
                // Mostly the short reads of records and points, now and then a read or a
                // skip across whole blocks.
                const std::size_t amount = pick < 3    ? 70'000 + random() % 70'000
                                           : pick < 10 ? random() % 30'000
                                                       : random() % 40;
                if (random() % 3 == 0) {
                    ASSERT_EQ(file->skip(amount), memory.skip(amount));
                } else {
                    std::vector<std::uint8_t> fromFile(amount, 0xAA);
                    std::vector<std::uint8_t> fromMemory(amount, 0xAA);
                    ASSERT_EQ(file->read(fromFile), memory.read(fromMemory));
                    ASSERT_EQ(fromFile, fromMemory);
                }
                ASSERT_EQ(file->position(), memory.position());
                ASSERT_EQ(file->remaining(), memory.remaining());
                ASSERT_EQ(file->atEnd(), memory.atEnd());
            }
        }
    }
}

TEST(InputStream, AMovedStreamGoesOnWhereItWas) {
    testing::TempDir dir;
    std::vector<std::uint8_t> bytes(200'000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    auto stream = InputStream::open(dir.writeFile("data.bin", bytes));
    ASSERT_TRUE(stream.has_value());
    std::vector<std::uint8_t> first(10);
    stream->read(first);
    InputStream moved = std::move(*stream);
    std::vector<std::uint8_t> next(10);
    ASSERT_EQ(moved.read(next), 10u);
    EXPECT_EQ(next, std::vector<std::uint8_t>(bytes.begin() + 10, bytes.begin() + 20));
}

}  // namespace
}  // namespace quillet
