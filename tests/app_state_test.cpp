// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_state.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/actions.h"
#include "app/fill_list.h"
#include "app/list_filter.h"
#include "app/startup.h"
#include "app/status_text.h"
#include "app/time_zone_setting.h"
#include "preview/build_scene.h"
#include "support/fake_ui.h"
#include "support/gpx_fixtures.h"
#include "text/translation.h"
#include "ui/name_filter.h"
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
    EXPECT_TRUE(ui.calls.empty());
}

struct NameCase {
    std::string filter;  // UTF-8, as typed
    std::string name;    // as the device file holds it
    bool matches;
};

TEST(NameFilter, FindsTheTextInAnyCaseInCodePageAndUtf8Names) {
    // "Мост" in the device code page and in UTF-8; "Ёлка" and "ёлка" in the code page.
    const std::string mostCodePage = "\xCC\xEE\xF1\xF2";
    const std::string mostUtf8 = "\xD0\x9C\xD0\xBE\xD1\x81\xD1\x82";
    const NameCase cases[] = {
        {"", "anything", true},
        {"ALP", "alpha", true},
        {"pha", "ALPHA", true},
        {"lpx", "alpha", false},
        {"\xD0\xBC\xD0\xBE\xD1\x81", mostCodePage, true},          // "мос" finds "Мост"
        {"\xD0\x9C\xD0\x9E\xD0\xA1\xD0\xA2", mostCodePage, true},  // "МОСТ"
        {"\xD0\xBC\xD0\xBE\xD1\x81", mostUtf8, true},
        {"\xD0\xA1\xD0\xA2", mostUtf8, true},             // "СТ"
        {"\xD0\xB0", mostCodePage, false},                // "а"
        {"\xD1\x91\xD0\xBB", "\xA8\xEB\xEA\xE0", true},   // "ёл" finds "Ёлка"
        {"\xD0\x81\xD0\x9B", "\xB8\xEB\xEA\xE0", true},   // "ЁЛ" finds "ёлка"
        {"\xD0\xB5\xD0\xBB", "\xB8\xEB\xEA\xE0", false},  // "е" is not "ё"
        {"a", "\xE0", false},                             // the code page's "а" is no Latin "a"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameFilter(c.filter).matches(c.name), c.matches) << c.filter << " in " << c.name;
    }
}

// Waypoints "Bravo", "alpha", "Charlie", "Delta" and "Echo", rows 0 to 4.
AppState fiveWaypoints() {
    AppState state = testing::waypointState();
    std::vector<testing::WaypointCells> rows;
    for (const char* name : {"Bravo", "alpha", "Charlie", "Delta", "Echo"}) {
        testing::WaypointCells cells;
        cells.name = name;
        rows.push_back(cells);
    }
    testing::setWaypointRows(state.list, rows);
    return state;
}

std::vector<std::string> shownNames(const AppState& state) {
    std::vector<std::string> names;
    for (std::size_t shown = 0; shown < shownRowCount(state); ++shown) {
        names.emplace_back(state.list.text(listRowOf(state, shown), 2));
    }
    return names;
}

TEST(ListFilter, HidesRowsWhichAreNeverSelectedAndSurvivesSortingButNotATabChange) {
    AppState state = fiveWaypoints();
    state.list.setSelected(0, true);  // Bravo
    state.list.setSelected(3, true);  // Delta
    setFilter(state, "A");
    EXPECT_EQ(shownNames(state), (std::vector<std::string>{"Bravo", "alpha", "Charlie", "Delta"}));
    setFilter(state, "ha");
    EXPECT_EQ(shownNames(state), (std::vector<std::string>{"alpha", "Charlie"}));
    EXPECT_EQ(state.list.selectedCount(), 0u);  // the hidden rows lost their selection
    EXPECT_EQ(shownRowOf(state, 2), std::optional<std::size_t>(1));
    EXPECT_EQ(shownRowOf(state, 0), std::nullopt);

    // Ctrl+A takes the shown rows only.
    selectShownRows(state);
    EXPECT_EQ(state.list.selectedCount(), 2u);
    EXPECT_TRUE(state.list.isSelected(1) && state.list.isSelected(2));
    const StatusFields fields = statusFields(state);
    EXPECT_EQ(fields.rows, "2 of 5 rows");
    EXPECT_EQ(fields.selected, "2 selected");

    // By name, descending: the filter stays on the moved rows.
    state.list.onColumnClick(2);
    state.list.onColumnClick(2);
    applyFilter(state);
    EXPECT_EQ(shownNames(state), (std::vector<std::string>{"alpha", "Charlie"}));

    setShownRowSelected(state, 0, false);
    EXPECT_FALSE(isShownRowSelected(state, 0));
    EXPECT_TRUE(isShownRowSelected(state, 1));

    // The name column the views fill: a tab change clears the filter.
    testing::FakeUi ui;
    switchToTab(state, ui, 1);
    EXPECT_TRUE(state.filter.empty());
    EXPECT_FALSE(state.shownRows.has_value());

    clearFilter(state);
    EXPECT_EQ(statusFields(fiveWaypoints()).rows, "5 rows");
}

struct StatusLineCase {
    ViewKind view;
    std::size_t count;
    std::string expected;
};

TEST(StatusText, SaysWhatAnExportAndADeletionDid) {
    const std::filesystem::path file = std::filesystem::path("home") / "ann" / "picked.gpx";
    const std::string shown = file.string();
    const StatusLineCase wrote[] = {
        {ViewKind::Waypoints, 3, "Wrote 3 waypoints to " + shown},
        {ViewKind::Waypoints, 1, "Wrote 1 waypoint to " + shown},
        {ViewKind::Tracks, 2, "Wrote 2 tracks to " + shown},
    };
    for (const auto& c : wrote) {
        EXPECT_EQ(wroteLine(c.view, c.count, file), c.expected);
    }
    // A name that looks like a field of the text stays as it is.
    EXPECT_EQ(wroteLine(ViewKind::Waypoints, 2, "{2}{1}.gpx"), "Wrote 2 waypoints to {2}{1}.gpx");
    DeleteResult result;
    result.removed = 2;
    result.backupFile = std::filesystem::path("device") / "GARMIN_WPT.BAK";
    EXPECT_EQ(deletedLine(ViewKind::Waypoints, result),
              "Deleted 2 waypoints; the old file is kept as GARMIN_WPT.BAK");
    result.removed = 1;
    result.backupFile = std::filesystem::path("device") / "GARMIN_STRK.BAK";
    EXPECT_EQ(deletedLine(ViewKind::Tracks, result),
              "Deleted 1 track; the old file is kept as GARMIN_STRK.BAK");
}

#ifndef _WIN32
// Russian through the built catalogue: LANGUAGE=ru under C.UTF-8, which glibc always has,
// so no Russian locale needs to be installed. English comes back afterwards. (Windows
// chooses the language by the user's UI language instead of these variables.)
class RussianTexts : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            if (const char* value = std::getenv(variable)) {
                saved_.emplace_back(variable, value);
            }
            ::unsetenv(variable);
        }
        ::setenv("LANGUAGE", "ru", 1);
        ::setenv("LANG", "C.UTF-8", 1);
        startTranslations(QUILLET_CATALOGUE_DIR);
    }
    void TearDown() override {
        ::unsetenv("LANGUAGE");
        ::unsetenv("LANG");
        for (const auto& [variable, value] : saved_) {
            ::setenv(variable.c_str(), value.c_str(), 1);
        }
        std::setlocale(LC_ALL, "C");
    }

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(RussianTexts, CountsTakeTheFormOfTheirNumber) {
    const std::pair<std::size_t, std::string> cases[] = {
        {1, "Записана 1 путевая точка в f.gpx"},   {2, "Записаны 2 путевые точки в f.gpx"},
        {5, "Записано 5 путевых точек в f.gpx"},   {11, "Записано 11 путевых точек в f.gpx"},
        {21, "Записана 21 путевая точка в f.gpx"}, {22, "Записаны 22 путевые точки в f.gpx"},
        {25, "Записано 25 путевых точек в f.gpx"}, {111, "Записано 111 путевых точек в f.gpx"},
    };
    for (const auto& [count, expected] : cases) {
        EXPECT_EQ(wroteLine(ViewKind::Waypoints, count, "f.gpx"), expected) << count;
    }
    EXPECT_EQ(menuText(Action::MakeGpx, 0), "&Создать GPX... (Сначала выделите строки)");
}

// The Qt window's start takes every category from the environment, as setlocale(LC_ALL,
// "") does; the numbers the core writes with printf (the preview's lengths, the SVG's
// coordinates) must still have a decimal point, not the Russian comma.
TEST_F(RussianTexts, NumbersStayWrittenWithAPointAfterTheWindowTookTheLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr)
        << "the locale ru_RU.UTF-8 is not installed; scripts/install-deps.sh generates it";
    startTranslations(QUILLET_CATALOGUE_DIR);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 2.5);
    EXPECT_STREQ(text, "2.5");
    EXPECT_EQ(wroteLine(ViewKind::Tracks, 3, "f.gpx"), "Записаны 3 трека в f.gpx");
}

// The preview's own words follow the person's language in a window; the picture written
// out as a document stays English.
TEST_F(RussianTexts, ThePreviewInAWindowSpeaksTheLanguageAndTheDocumentStaysEnglish) {
    preview::PreviewSelection selection;
    for (int i = 0; i < 10; ++i) {
        selection.tracks.push_back({"T", {}, {{45, 7 + i * 0.01, 0, 0}, {45.01, 7, 0, 0}}});
    }
    const auto legendEnd = [&](preview::SceneWording wording) {
        return preview::buildScene(selection, 400, 300, {}, wording).legend.back().text.text;
    };
    EXPECT_EQ(legendEnd(preview::SceneWording::PersonsLanguage), "и ещё 2 трека");
    EXPECT_EQ(legendEnd(preview::SceneWording::English), "and 2 more tracks");
    EXPECT_EQ(
        preview::buildScene({}, 400, 300, {}, preview::SceneWording::PersonsLanguage).message->text,
        "Выделите треки или точки для просмотра");
}
#endif

TEST(Actions, ItemsThatNeedRowsAreGreyAndSaySoWhileNothingIsSelected) {
    const AppState state = fiveWaypoints();
    EXPECT_FALSE(canRun(Action::Delete, state, 0));
    EXPECT_TRUE(canRun(Action::Delete, state, 1));
    EXPECT_TRUE(canRun(Action::OpenFolder, state, 0));
    EXPECT_EQ(menuText(Action::MakeGpx, 0), "&Make GPX... (Select rows first)");
    EXPECT_EQ(menuText(Action::MakeGpx, 2), "&Make GPX...");
    AppState noView;
    EXPECT_FALSE(canRun(Action::Reload, noView, 0));
    EXPECT_TRUE(canRun(Action::About, noView, 0));
}

}  // namespace
}  // namespace quillet
