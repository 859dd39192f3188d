#include "app/app_state.h"

#include <gtest/gtest.h>

#include "app/fill_list.h"
#include "app/startup.h"
#include "app/time_zone_setting.h"
#include "support/fake_ui.h"
#include "ui/track_columns.h"
#include "ui/waypoint_columns.h"

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

// The zone's wall clock in every time cell, "Local time" over the waypoints' times, and
// the person's selection and sort order as they were; UTC brings the receiver's texts
// back.
TEST(TimeZoneSetting, ChangingTheZoneRewritesTheTimesAndKeepsSelectionAndOrder) {
    const std::optional<TimeZone> moscow = TimeZone::named("Europe/Moscow");
    if (!moscow) {
        GTEST_SKIP() << "the system knows no zone Europe/Moscow";
    }
    using waypoint_columns::kTime;
    testing::FakeUi ui;
    auto state = startUp(std::filesystem::path(QUILLET_TEST_DATA_DIR) / "basic", ui);
    ASSERT_NE(state, nullptr);
    RecordList& list = state->list;
    list.onColumnClick(kTime);
    list.onColumnClick(kTime);  // newest first
    list.setSelected(static_cast<std::size_t>(list.findByItemNumber(6)), true);
    const auto column = [&](std::size_t c) {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < list.rowCount(); ++row) {
            texts.push_back(std::string(list.text(row, c)));
        }
        return texts;
    };
    const std::vector<std::string> moscowTimes = {"2024-01-09  16:37:01 ", "2023-06-15  11:30:05 ",
                                                  "2015-07-02  02:59:59 ", "2010-01-01  03:00:00 ",
                                                  "2008-02-29  15:00:00 ", "2007-01-04  21:48:30 "};

    changeTimeZone(*state, ui, *moscow);

    EXPECT_EQ(list.column(kTime).heading, "Local time");
    EXPECT_EQ(column(kTime), moscowTimes);
    EXPECT_EQ(list.selectedCount(), 1u);
    EXPECT_TRUE(list.isSelected(static_cast<std::size_t>(list.findByItemNumber(6))));
    EXPECT_EQ(list.sortColumn(), static_cast<int>(kTime));
    EXPECT_FALSE(list.ascending());
    EXPECT_EQ(timeZoneNote(state->timeZone), "Times in Europe/Moscow");

    switchToTab(*state, ui, *state->tracksTab);
    const auto row = static_cast<std::size_t>(list.findByItemNumber(3));
    EXPECT_EQ(list.text(row, track_columns::kStart), "2012-02-29  16:00:00 ");
    EXPECT_EQ(list.column(track_columns::kStart).heading, "Start Time");

    switchToTab(*state, ui, *state->waypointTab);
    changeTimeZone(*state, ui, TimeZone());
    EXPECT_EQ(list.column(kTime).heading, "Universal time");
    EXPECT_EQ(list.text(static_cast<std::size_t>(list.findByItemNumber(5)), kTime),
              "2024-01-09  13:37:01 ");
    EXPECT_TRUE(state->waypointUtcTimes.empty());
    EXPECT_TRUE(ui.calls.empty());
}

}  // namespace
}  // namespace quillet
