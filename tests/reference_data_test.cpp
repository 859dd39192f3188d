// SPDX-License-Identifier: GPL-3.0-or-later
// The device folders under tests/data/ are written by quillet-testdata from the field
// values in tools/encoder/reference_folders.cpp; each holds the list text that a fill
// of each of its views gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/fill_list.h"
#include "app/startup.h"
#include "encoder/reference_folders.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "views/list_text.h"
#include "views/waypoint_view.h"

namespace quillet {
namespace {

using testing::FakeUi;
using testing::readFile;

const std::filesystem::path kDataDir = QUILLET_TEST_DATA_DIR;

TEST(ReferenceData, TheCommittedDeviceFilesAreWhatTheEncoderWrites) {
    for (const auto& folder : encoder::referenceFolders()) {
        for (const char* name : {kWaypointFileName, kActiveTrackFileName, kSavedTracksFileName}) {
            const std::filesystem::path path = kDataDir / folder.name / name;
            const auto described =
                std::find_if(folder.files.begin(), folder.files.end(),
                             [&](const auto& file) { return file.name == name; });
            if (described == folder.files.end()) {
                EXPECT_FALSE(std::filesystem::exists(path)) << path;
                continue;
            }
            const std::string expected(described->bytes.begin(), described->bytes.end());
            EXPECT_TRUE(readFile(path) == expected)
                << path << " differs from its description; run quillet-testdata tests/data";
        }
    }
}

TEST(ReferenceData, EveryViewListsItsFolderAsExpected) {
    for (const auto& folder : encoder::referenceFolders()) {
        const std::filesystem::path directory = kDataDir / folder.name;
        FakeUi ui;
        const auto state = startUp(directory, ui);
        ASSERT_NE(state, nullptr) << folder.name;
        // Only the waypoint file that ends before its count says so, once.
        const std::vector<std::string> messages =
            folder.name == "truncated" ? std::vector<std::string>{std::string(kFormatMessage)}
                                       : std::vector<std::string>{};
        EXPECT_EQ(ui.messageTexts(), messages) << folder.name;
        for (int tab = 0; tab < static_cast<int>(state->tabs.size()); ++tab) {
            switchToTab(*state, ui, tab);
            const bool waypoints = currentView(*state) == ViewKind::Waypoints;
            const auto expected =
                directory / (waypoints ? "expected-waypoints.txt" : "expected-tracks.txt");
            ASSERT_TRUE(std::filesystem::exists(expected)) << expected;
            EXPECT_EQ(listingText(state->list), readFile(expected)) << expected;
        }
    }
}

}  // namespace
}  // namespace quillet
