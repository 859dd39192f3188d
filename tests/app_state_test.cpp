#include "app/app_state.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct TabCase {
    std::optional<int> waypointTab;
    std::optional<int> tracksTab;
    int currentTab;
    std::optional<ViewKind> expected;
};

TEST(CurrentView, FollowsTheTabPositionsFixedAtStartUp) {
    const TabCase cases[] = {
        {0, 1, 0, ViewKind::Waypoints},         {0, 1, 1, ViewKind::Tracks},
        {std::nullopt, 0, 0, ViewKind::Tracks}, {0, std::nullopt, 0, ViewKind::Waypoints},
        {0, std::nullopt, 1, std::nullopt},     {std::nullopt, std::nullopt, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        AppState state;
        state.waypointTab = c.waypointTab;
        state.tracksTab = c.tracksTab;
        state.currentTab = c.currentTab;
        EXPECT_EQ(currentView(state), c.expected)
            << c.waypointTab.value_or(-1) << " " << c.tracksTab.value_or(-1) << " " << c.currentTab;
    }
}

TEST(FileSet, ResolvesARelativeFolderOnceSoALaterDirectoryChangeCannotMoveIt) {
    const FileSet files = makeFileSet("device");
    EXPECT_TRUE(files.waypoints.is_absolute());
    EXPECT_EQ(files.waypoints, std::filesystem::current_path() / "device" / "GARMIN_WPT.NVM");
    EXPECT_EQ(files.savedTracks.filename(), "GARMIN_STRK.NVM");
    EXPECT_EQ(files.activeTrack.filename(), "GARMIN_ATRK.NVM");
}

}  // namespace
}  // namespace quillet
