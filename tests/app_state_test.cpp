#include "app/app_state.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct TabCase {
    int waypointTab;
    int tracksTab;
    int currentTab;
    std::optional<ViewKind> expected;
};

TEST(CurrentView, FollowsTheTabPositionsFixedAtStartUp) {
    const TabCase cases[] = {
        {1, 2, 0, ViewKind::Waypoints}, {1, 2, 1, ViewKind::Tracks}, {0, 1, 0, ViewKind::Tracks},
        {1, 0, 0, ViewKind::Waypoints}, {1, 0, 1, std::nullopt},     {0, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        AppState state;
        state.waypointTabPosition = c.waypointTab;
        state.tracksTabPosition = c.tracksTab;
        state.currentTab = c.currentTab;
        EXPECT_EQ(currentView(state), c.expected)
            << c.waypointTab << " " << c.tracksTab << " " << c.currentTab;
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
