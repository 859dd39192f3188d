// SPDX-License-Identifier: GPL-3.0-or-later
// Every view of every reference folder, all rows selected, exported with "Make GPX":
// the documents next to the folders, byte for byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/fill_list.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "export/gpx_export.h"
#include "support/fake_ui.h"
#include "support/gpx_fixtures.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using testing::FakeUi;
using testing::TempDir;

const std::filesystem::path kDataDir = QUILLET_TEST_DATA_DIR;

// GPX times are UTC whatever zone the list shows.
TEST(GpxReference, EveryViewOfEveryFolderExportsAsExpected) {
    for (const char* folder : {"basic", "tracks-only", "truncated"}) {
        for (const char* zoneName : {"utc", "Europe/Moscow", "America/New_York"}) {
            const std::optional<TimeZone> zone = TimeZone::fromSetting(zoneName);
            if (!zone) {
                continue;  // a system without the tz database's names
            }
            FakeUi ui;
            auto state = startUp(kDataDir / folder, ui, *zone);
            ASSERT_NE(state, nullptr) << folder;
            for (int tab = 0; tab < static_cast<int>(state->tabs.size()); ++tab) {
                switchToTab(*state, ui, tab);
                testing::selectAll(state->list);
                const bool waypoints = currentView(*state) == ViewKind::Waypoints;
                const auto expected =
                    kDataDir / folder /
                    (waypoints ? "expected-waypoints.gpx" : "expected-tracks.gpx");
                TempDir dir;
                FakeUi exportUi;
                exportUi.savePaths.push_back(dir / "out.gpx");

                EXPECT_EQ(onMakeGpx(*state, exportUi), CommandOutcome::Done) << expected;

                EXPECT_TRUE(exportUi.messages().empty()) << expected;
                ASSERT_TRUE(std::filesystem::exists(expected)) << expected;
                EXPECT_EQ(testing::readTextFile(dir / "out.gpx"), testing::readFile(expected))
                    << expected << " " << zoneName;
                std::string log;
                EXPECT_NE(testing::validatesAgainstSchema(dir / "out.gpx", log), false) << log;
            }
        }
    }
}

}  // namespace
}  // namespace quillet
