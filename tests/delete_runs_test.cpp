// SPDX-License-Identifier: GPL-3.0-or-later
// The deletion copies the kept records in runs straight from the bytes it read; the new
// file must hold exactly the header, the new count and the kept records, whatever the
// records' lengths, which records go, and what follows the counted records.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "app/delete_command.h"
#include "app/startup.h"
#include "encoder/device_encoder.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace enc = encoder;

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DeleteRuns, TheNewFileHoldsExactlyTheKeptRecords) {
    std::mt19937 random(31);
    for (int round = 0; round < 40; ++round) {
        testing::TempDir dir;
        // Records of 0 to 400 bytes, now and then a few bytes after the counted ones.
        const std::size_t count = 1 + random() % 30;
        std::vector<enc::Bytes> bodies;
        for (std::size_t i = 0; i < count; ++i) {
            enc::Bytes body(random() % 5 == 0 ? random() % 3 : random() % 400);
            for (auto& byte : body) {
                byte = static_cast<std::uint8_t>(random());
            }
            bodies.push_back(std::move(body));
        }
        enc::WaypointFile file{.accessCount = 77, .bodies = bodies};
        enc::Bytes original = enc::encodeWaypointFile(file);
        const std::size_t trailing = round % 3 == 0 ? 1 + random() % 5 : 0;
        original.insert(original.end(), trailing, 0xEE);
        enc::writeFile(dir / "GARMIN_WPT.NVM", original);

        testing::FakeUi ui;
        auto state = startUp(dir.path(), ui);
        ASSERT_TRUE(state);
        std::set<std::int32_t> removed;
        for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
            if (random() % 3 == 0 || (round % 4 == 0 && row % 2 == 0)) {
                state->list.setSelected(row, true);
                removed.insert(state->list.itemNumber(row));
            }
        }
        if (removed.empty()) {
            continue;
        }
        ASSERT_EQ(onDelete(*state, ui).outcome, CommandOutcome::Done) << "round " << round;

        enc::WaypointFile kept = file;
        kept.bodies.clear();
        for (std::size_t i = 0; i < count; ++i) {
            if (!removed.contains(static_cast<std::int32_t>(i + 1))) {
                kept.bodies.push_back(bodies[i]);
            }
        }
        EXPECT_EQ(bytesOf(dir / "GARMIN_WPT.NVM"), enc::encodeWaypointFile(kept))
            << "round " << round;
        EXPECT_EQ(bytesOf(dir / "GARMIN_WPT.BAK"), original) << "round " << round;
    }
}

}  // namespace
}  // namespace quillet
