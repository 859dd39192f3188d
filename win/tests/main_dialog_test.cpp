// SPDX-License-Identifier: GPL-3.0-or-later
// The native window over the core, created in-process from its template and driven with
// window messages as the list view, the tab control and the buttons send them. Dialogs
// are replaced by the scripted port.

#include <gtest/gtest.h>
#include <windows.h>
// The common controls need the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "encoder/device_encoder.h"
#include "main_dialog.h"
#include "map_tiles.h"
#include "preview_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "text/translation.h"
#include "time_zone_menu.h"
#include "wide_text.h"
#include "win32_user_interface.h"
#include "window_menu.h"

namespace quillet::win {
namespace {

namespace enc = encoder;
using testing::FakeUi;
using testing::TempDir;

// A device folder with three waypoints, two saved tracks and an active track.
void writeDeviceFolder(const std::filesystem::path& folder) {
    enc::WaypointFile waypoints;
    for (const char* name : {"Bravo", "alpha", "Charlie"}) {
        waypoints.bodies.push_back(enc::encodeWaypointBody(
            {.latitudeCode = enc::waypointLatitudeCode(56.7),
             .longitudeCode = enc::waypointLongitudeCode(38.8),
             .name = name,
             .timeWord = enc::waypointTimeWord(enc::deviceTimeOf(2010, 6, 29, 14, 3, 7))}));
    }
    enc::writeFile(folder / "GARMIN_WPT.NVM", enc::encodeWaypointFile(waypoints));
    const enc::PointFields point{.timeField =
                                     enc::trackTimeField(enc::deviceTimeOf(2011, 5, 1, 10, 0, 0))};
    enc::writeFile(folder / "GARMIN_ATRK.NVM", enc::encodeActiveTrackFile({.points = {point}}));
    enc::writeFile(folder / "GARMIN_STRK.NVM",
                   enc::encodeSavedTracksFile({.tracks = {{.name = "Lake", .points = {point}},
                                                          {.name = "Town", .points = {point}}}}));
}

class MainDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool initialised = [] {
            const INITCOMMONCONTROLSEX controls{
                .dwSize = sizeof(INITCOMMONCONTROLSEX),
                .dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
            return InitCommonControlsEx(&controls) != 0;
        }();
        ASSERT_TRUE(initialised);
        writeDeviceFolder(folder.path());
        dialog = openMainDialog(GetModuleHandleW(nullptr), folder.path(), ui);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog->handle(), SW_SHOW);
        SetForegroundWindow(dialog->handle());
    }

    HWND list() const { return dialog->control(IDC_RECORD_LIST); }

    int rowCount() const { return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0)); }

    std::vector<std::string> column(int column) const {
        std::vector<std::string> texts;
        for (int row = 0; row < rowCount(); ++row) {
            wchar_t text[256] = {};
            ListView_GetItemText(list(), row, column, text, 256);
            texts.push_back(toUtf8(text));
        }
        return texts;
    }

    void select(std::initializer_list<int> rows) {
        ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
        for (const int row : rows) {
            ListView_SetItemState(list(), row, LVIS_SELECTED, LVIS_SELECTED);
        }
    }

    void clickHeading(int column) {
        NMLISTVIEW click{};
        click.hdr = {list(), IDC_RECORD_LIST, LVN_COLUMNCLICK};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(dialog->handle(), WM_NOTIFY, IDC_RECORD_LIST,
                     reinterpret_cast<LPARAM>(&click));
    }

    void chooseTab(int index) {
        const HWND tabs = dialog->control(IDC_VIEW_TABS);
        TabCtrl_SetCurSel(tabs, index);
        NMHDR change{tabs, IDC_VIEW_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(dialog->handle(), WM_NOTIFY, IDC_VIEW_TABS, reinterpret_cast<LPARAM>(&change));
    }

    void press(int button) { SendMessageW(dialog->control(button), BM_CLICK, 0, 0); }

    // What the window posted to itself, as its message loop would deliver it.
    static void dispatchPosted() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            DispatchMessageW(&message);
        }
    }

    Rect placeOf(int id) const {
        RECT rect{};
        GetWindowRect(dialog->control(id), &rect);
        MapWindowPoints(nullptr, dialog->handle(), reinterpret_cast<POINT*>(&rect), 2);
        return Rect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }

    TempDir folder;
    FakeUi ui;
    std::unique_ptr<MainDialog> dialog;
};

TEST_F(MainDialogTest, ShowsTheTemplateAndTheWaypointRows) {
    wchar_t title[64] = {};
    GetWindowTextW(dialog->handle(), title, 64);
    EXPECT_EQ(toUtf8(title), std::string(kTitleText));
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(column(2), (std::vector<std::string>{"Bravo", "alpha", "Charlie"}));
    EXPECT_NE(ListView_GetExtendedListViewStyle(list()) & LVS_EX_FULLROWSELECT, 0u);
    EXPECT_EQ(GetWindowLongW(list(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    for (const int hidden :
         {IDOK, IDCANCEL, IDC_FILE_VERSION, IDC_ACCESS_COUNT, IDC_RECORD_COUNT}) {
        EXPECT_FALSE(IsWindowVisible(dialog->control(hidden))) << hidden;
    }
    BOOL read = FALSE;
    EXPECT_EQ(GetDlgItemInt(dialog->handle(), IDC_RECORD_COUNT, &read, FALSE), 3u);
    EXPECT_EQ(TabCtrl_GetItemCount(dialog->control(IDC_VIEW_TABS)), 2);
    const HMENU menu = GetSystemMenu(dialog->handle(), FALSE);
    EXPECT_NE(GetMenuState(menu, IDM_ABOUTBOX, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(MainDialogTest, HeadingClicksSortAndKeepTheSelectionWithItsRows) {
    select({1});  // "alpha"
    clickHeading(2);
    EXPECT_EQ(column(2), (std::vector<std::string>{"Bravo", "Charlie", "alpha"}));  // bytes
    clickHeading(2);
    EXPECT_EQ(column(2), (std::vector<std::string>{"alpha", "Charlie", "Bravo"}));
    EXPECT_NE(ListView_GetItemState(list(), 0, LVIS_SELECTED), 0u);
    EXPECT_EQ(ListView_GetSelectedCount(list()), 1u);
}

TEST_F(MainDialogTest, ResizingFollowsTheLayoutGeometryAboveTheMinimumSize) {
    ASSERT_TRUE(dialog->layoutGeometry().has_value());
    const LayoutGeometry geometry = *dialog->layoutGeometry();
    RECT window{};
    GetWindowRect(dialog->handle(), &window);
    SetWindowPos(dialog->handle(), nullptr, 0, 0, window.right - window.left + 120,
                 window.bottom - window.top + 80, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(dialog->handle(), &client);
    const WindowLayout expected = relayout(geometry, Size{client.right, client.bottom});
    EXPECT_EQ(placeOf(IDC_RECORD_LIST), expected.list);
    EXPECT_EQ(placeOf(IDC_MAKE_GPX), expected.makeGpx);
    EXPECT_EQ(placeOf(IDC_DELETE), expected.remove);

    // A WM_SIZE of its own lays the controls out for the size it names.
    SendMessageW(dialog->handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 300));
    EXPECT_EQ(placeOf(IDC_MAKE_GPX), relayout(geometry, Size{500, 300}).makeGpx);

    // The smallest window still holds both buttons.
    MINMAXINFO limits{};
    SendMessageW(dialog->handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    SetWindowPos(dialog->handle(), nullptr, 0, 0, limits.ptMinTrackSize.x, limits.ptMinTrackSize.y,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GE(placeOf(IDC_DELETE).x, geometry.listLeft);
    EXPECT_GE(placeOf(IDC_MAKE_GPX).x, placeOf(IDC_DELETE).x);
    EXPECT_GT(placeOf(IDC_RECORD_LIST).height, 0);
}

TEST_F(MainDialogTest, EnterAndEscNeitherCloseNorPress) {
    for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        const MSG message{list(), WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(dialog->preTranslate(message)) << key;
    }
    // What reaches the dialog as OK or Cancel leaves it open.
    SendMessageW(dialog->handle(), WM_COMMAND, IDOK, 0);
    SendMessageW(dialog->handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindow(dialog->handle()));
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(MainDialogTest, MakeGpxWritesTheSelectedRowsInTextMode) {
    const std::filesystem::path output = folder / "out.gpx";
    ui.savePaths.push_back(output);
    select({1});  // "alpha"
    press(IDC_MAKE_GPX);
    ASSERT_EQ(ui.saveRequests().size(), 1u);
    EXPECT_EQ(ui.saveRequests()[0].defaultName, "WayPoint.gpx");
    const std::string gpx = testing::readFile(output);
    EXPECT_NE(gpx.find("<name>alpha</name>\r\n"), std::string::npos) << gpx;
    EXPECT_EQ(gpx.find("Bravo"), std::string::npos);
    EXPECT_EQ(column(2), (std::vector<std::string>{"Bravo", "alpha", "Charlie"}));
    EXPECT_EQ(ListView_GetSelectedCount(list()), 1u);
}

TEST_F(MainDialogTest, DeleteRemovesTheSelectedRecordsAndTabsShowTheirViews) {
    select({1});  // "alpha"
    press(IDC_DELETE);
    EXPECT_EQ(ui.messageTexts(), std::vector<std::string>{"Are you shure?"});
    EXPECT_EQ(column(2), (std::vector<std::string>{"Bravo", "Charlie"}));
    EXPECT_EQ(ListView_GetSelectedCount(list()), 0u);
    EXPECT_TRUE(std::filesystem::exists(folder / "GARMIN_WPT.BAK"));

    chooseTab(1);
    EXPECT_EQ(column(1), (std::vector<std::string>{" 0", " 1", " 2"}));
    select({0});  // the active track is refused and stays selected
    press(IDC_DELETE);
    EXPECT_EQ(ui.messageTexts().back(), "You can not delete the active track!");
    EXPECT_EQ(ListView_GetSelectedCount(list()), 1u);
}

// Runs `work` on the modal dialog the next call opens, from a timer its message loop
// dispatches.
std::function<void(HWND)> g_onModal;
void CALLBACK atModal(HWND, UINT, UINT_PTR timer, DWORD) {
    // The dialog open on this thread: the enabled one (its owner is disabled).
    HWND modal = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            wchar_t type[16] = {};
            GetClassNameW(window, type, 16);
            if (IsWindowEnabled(window) && std::wstring(type) == L"#32770") {
                *reinterpret_cast<HWND*>(found) = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&modal));
    if (modal == nullptr) {
        return;  // not shown yet: the timer comes again
    }
    KillTimer(nullptr, timer);
    auto work = std::move(g_onModal);
    g_onModal = nullptr;
    if (work) {
        work(modal);
    }
}
void whenModal(std::function<void(HWND)> work) {
    g_onModal = std::move(work);
    SetTimer(nullptr, 0, 50, atModal);
}

std::wstring textOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

TEST_F(MainDialogTest, HistoryFromTheSystemMenuRestoresAndRefillsBothLists) {
    select({1});
    press(IDC_DELETE);
    ASSERT_EQ(column(2), (std::vector<std::string>{"Bravo", "Charlie"}));
    int before = -1;
    int after = -1;
    std::wstring caption;
    whenModal([&](HWND history) {
        caption = textOf(history);
        const HWND versions = GetDlgItem(history, IDC_HISTORY_LIST);
        before = ListView_GetItemCount(versions);
        ListView_SetItemState(versions, 0, LVIS_SELECTED, LVIS_SELECTED);
        SendMessageW(history, WM_COMMAND, IDC_RESTORE, 0);
        after = ListView_GetItemCount(versions);
        SendMessageW(history, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageW(dialog->handle(), WM_SYSCOMMAND, IDM_HISTORY, 0);
    EXPECT_EQ(caption, L"History");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 2);  // the restore kept the file it replaced
    EXPECT_EQ(ui.messageTexts(), (std::vector<std::string>{"Are you shure?", "Are you shure?"}));
    EXPECT_EQ(column(2), (std::vector<std::string>{"Bravo", "alpha", "Charlie"}));
}

TEST(Win32UserInterface, TheQuestionCarriesTheHistoryBox) {
    for (const bool untick : {false, true}) {
        std::wstring caption, text, box;
        bool ticked = false;
        whenModal([&](HWND question) {
            caption = textOf(question);
            text = textOf(GetDlgItem(question, IDC_QUESTION_TEXT));
            box = textOf(GetDlgItem(question, IDC_KEEP_HISTORY));
            ticked = IsDlgButtonChecked(question, IDC_KEEP_HISTORY) == BST_CHECKED;
            if (untick) {
                SendDlgItemMessageW(question, IDC_KEEP_HISTORY, BM_CLICK, 0, 0);
            }
            SendMessageW(question, WM_COMMAND, IDOK, 0);
        });
        Win32UserInterface ui;
        bool keep = true;
        EXPECT_EQ(ui.askWithHistoryBox("Are you shure?", "Quillet  1.0", keep), Answer::Ok);
        EXPECT_EQ(caption, L"Quillet  1.0");
        EXPECT_EQ(text, L"Are you shure?");
        EXPECT_EQ(box, L"Keep the current file in the history");
        EXPECT_TRUE(ticked);
        EXPECT_EQ(keep, !untick);
    }
}

TEST_F(MainDialogTest, SpaceOpensThePreviewAndItFollowsTheSelection) {
    chooseTab(1);
    select({1});
    EXPECT_TRUE(dialog->preTranslate(MSG{list(), WM_KEYDOWN, VK_SPACE, 0, 0, {}}));
    ASSERT_NE(dialog->preview(), nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog->preview()->handle()));
    const preview::PreviewScene& scene = dialog->preview()->scene();
    EXPECT_EQ(scene.tracks.size(), 1u);

    select({0, 1, 2});
    dispatchPosted();
    EXPECT_EQ(scene.tracks.size(), 3u);

    chooseTab(0);  // a new list with nothing selected
    dispatchPosted();
    EXPECT_TRUE(scene.tracks.empty());
    EXPECT_TRUE(scene.message.has_value());
    select({0, 2});
    dispatchPosted();
    EXPECT_EQ(scene.waypoints.size(), 2u);
}

// The preview over a map from the loopback tile server that scripts/test-windows.sh
// starts (tests/support/tile_server.py, its folder in QUILLET_TILE_SERVER; every tile it
// serves is one green): the tiles are asked for with the program's User-Agent, arrive
// while the window's thread runs on, and are painted under the track.
TEST_F(MainDialogTest, ThePreviewPaintsTheTilesOfAServerUnderTheTrack) {
    const wchar_t* server = _wgetenv(L"QUILLET_TILE_SERVER");
    if (server == nullptr || *server == L'\0') {
        GTEST_SKIP() << "no tile server (QUILLET_TILE_SERVER)";
    }
    const std::filesystem::path served(server);
    const auto readText = [](const std::filesystem::path& file) {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    };
    const std::string port = readText(served / "port");
    ASSERT_FALSE(port.empty());
    // The tiles are kept in a cache of this test's own.
    TempDir cache;
    const std::wstring oldLocal = _wgetenv(L"LOCALAPPDATA") ? _wgetenv(L"LOCALAPPDATA") : L"";
    _wputenv_s(L"LOCALAPPDATA", cache.path().wstring().c_str());
    TempDir lake;
    enc::SavedTracksFile saved;
    saved.tracks.push_back({.name = "Lake", .points = {}});
    for (const double longitude : {38.80, 38.81, 38.83}) {
        saved.tracks.back().points.push_back(
            {.latitudeCode = enc::trackLatitudeCode(56.7 + (longitude - 38.8) / 4, false),
             .longitudeCode = enc::trackLongitudeCode(longitude)});
    }
    enc::writeFile(lake / "GARMIN_STRK.NVM", enc::encodeSavedTracksFile(saved));
    ASSERT_TRUE(dialog->openFolder(lake.path()));
    select({0});
    EXPECT_TRUE(dialog->preTranslate(MSG{list(), WM_KEYDOWN, VK_SPACE, 0, 0, {}}));
    PreviewWindow* preview = dialog->preview();
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(preview->setMapSource(
        {map::MapKind::Url, "http://127.0.0.1:" + port + "/{z}/{x}/{y}.png"}));
    EXPECT_EQ(lastMapSetting(), "url:http://127.0.0.1:" + port + "/{z}/{x}/{y}.png");

    RECT client{};
    GetClientRect(preview->handle(), &client);
    const HDC screen = GetDC(nullptr);
    const HDC picture = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ previous = SelectObject(picture, bitmap);
    preview->paintInto(picture, client);  // asks for the tiles in view
    // Two requests at a time: each answer sends the next, until every tile is in.
    const MapTiles& tiles = preview->tiles();
    EXPECT_EQ(tiles.requestsSent(), 2);
    for (int i = 0; i < 400 && tiles.tilesArrived() < tiles.requestsSent(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        dispatchPosted();
        EXPECT_LE(tiles.requestsSent() - tiles.tilesArrived(), 2);
    }
    EXPECT_GT(tiles.tilesArrived(), 2);
    EXPECT_EQ(tiles.tilesArrived(), tiles.requestsSent());
    preview->paintInto(picture, client);

    const preview::PreviewScene& scene = preview->scene();
    ASSERT_TRUE(scene.mapFrame.has_value());
    ASSERT_EQ(scene.tracks.size(), 1u);
    const double scale = GetDpiForWindow(preview->handle()) / 96.0;
    const preview::SceneRect& area = scene.mapFrame->area;
    const COLORREF green = RGB(0, 200, 0);
    int pixels = 0;
    int greens = 0;
    for (int y = int(area.y * scale) + 1; y < int((area.y + area.height) * scale) - 1; y += 3) {
        for (int x = int(area.x * scale) + 1; x < int((area.x + area.width) * scale) - 1; x += 3) {
            ++pixels;
            greens += GetPixel(picture, x, y) == green ? 1 : 0;
        }
    }
    EXPECT_GT(greens, pixels * 3 / 4) << greens << " of " << pixels;
    const preview::ScenePoint middle = scene.tracks[0].line[1];
    EXPECT_NE(GetPixel(picture, int(middle.x * scale), int(middle.y * scale)), green);
    SelectObject(picture, previous);
    DeleteObject(bitmap);
    DeleteDC(picture);

    const std::string log = readText(served / "requests.log");
    EXPECT_NE(log.find(".png|Quillet/"), std::string::npos) << log;
    _wputenv_s(L"LOCALAPPDATA", oldLocal.c_str());
    // The next start is a first one again.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Quillet", L"PreviewMap");
}

// The context menu's Time zone entries: the time column is headed "Local time" under
// the computer's zone, the heading's tooltip names the zone, and the choice is kept in
// the registry for the next start.
TEST_F(MainDialogTest, TheTimeZoneEntriesRewriteTheTimesAndAreRemembered) {
    const auto heading = [&](int column) {
        wchar_t text[64] = {};
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(list(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
        return toUtf8(text);
    };
    const auto tip = [&] {
        wchar_t text[128] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = dialog->handle();
        tool.uId = reinterpret_cast<UINT_PTR>(ListView_GetHeader(list()));
        tool.lpszText = text;
        SendMessageW(dialog->headingTip().handle(), TTM_GETTEXTW, 128,
                     reinterpret_cast<LPARAM>(&tool));
        return toUtf8(text);
    };
    EXPECT_EQ(heading(7), "Universal time");
    EXPECT_EQ(tip(), "Times in UTC");
    select({1});

    dialog->onTimeZoneCommand(static_cast<int>(kComputerZoneCommand));
    EXPECT_EQ(heading(7), "Local time");
    EXPECT_EQ(tip(), "Times in " + TimeZone::computer().name());
    EXPECT_EQ(ListView_GetSelectedCount(list()), 1u);
    EXPECT_EQ(rememberedTimeZone().kind(), TimeZone::Kind::Computer);

    dialog->onTimeZoneCommand(static_cast<int>(kUtcZoneCommand));
    EXPECT_EQ(heading(7), "Universal time");
    EXPECT_EQ(column(7)[0], "2010-06-29  14:03:07 ");
    EXPECT_TRUE(rememberedTimeZone().isUtc());
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(MainDialogTest, OpenFilterSelectAllAndDeleteKeepTheHiddenRows) {
    // A folder without device files is named, and the window stays as it was.
    TempDir empty;
    EXPECT_FALSE(dialog->openFolder(empty.path()));
    EXPECT_EQ(ui.messageTexts(),
              std::vector<std::string>{"Unable to open any NVM file. Terminated\n" +
                                       toUtf8(empty.path().wstring())});
    EXPECT_EQ(rowCount(), 3);
    TempDir other;
    writeDeviceFolder(other.path());
    ASSERT_TRUE(dialog->openFolder(other.path()));
    EXPECT_EQ(dialog->statusText(3), toUtf8(other.path().wstring()));

    // Ctrl+F, then the text: the rows whose Name holds it, in any case.
    EXPECT_TRUE(dialog->preTranslate(MSG{list(), WM_KEYDOWN, VK_F5, 0, 0, {}}));
    dialog->run(Action::Filter);
    EXPECT_EQ(GetFocus(), dialog->control(IDC_FILTER));
    SetWindowTextW(dialog->control(IDC_FILTER), L"HA");
    EXPECT_EQ(column(2), (std::vector<std::string>{"alpha", "Charlie"}));
    EXPECT_EQ(dialog->statusText(1), "2 of 3 rows");
    EXPECT_EQ(dialog->selectionHint(), "Select rows first");

    // Ctrl+A takes the shown rows only; Delete removes them and the filter stays.
    dialog->run(Action::SelectAll);
    dispatchPosted();
    EXPECT_EQ(dialog->statusText(2), "2 selected");
    EXPECT_EQ(dialog->selectionHint(), "");
    press(IDC_DELETE);
    EXPECT_EQ(ui.messageTexts().back(), "Are you shure?");
    EXPECT_EQ(dialog->state().list.rowCount(), 1u);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(dialog->statusText(0), "Deleted 2 waypoints; the old file is kept as GARMIN_WPT.BAK");

    // Esc in the field clears it: the hidden row survived.
    EXPECT_TRUE(
        dialog->preTranslate(MSG{dialog->control(IDC_FILTER), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}}));
    EXPECT_EQ(column(2), std::vector<std::string>{"Bravo"});

    // The next tab clears the filter.
    SetWindowTextW(dialog->control(IDC_FILTER), L"x");
    dialog->run(Action::NextTab);
    EXPECT_EQ(TabCtrl_GetCurSel(dialog->control(IDC_VIEW_TABS)), 1);
    EXPECT_EQ(GetWindowTextLengthW(dialog->control(IDC_FILTER)), 0);
    EXPECT_EQ(rowCount(), 3);
}

// With a Russian UI language (under Wine, LC_ALL=ru_RU.UTF-8), the buttons come from the
// Russian dialog and the tabs and the system menu from the compiled-in catalogue. The
// catalogue stays chosen for the rest of the process, so this case runs on its own.
TEST_F(MainDialogTest, ARussianUiLanguageShowsTheWindowInRussian) {
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) != LANG_RUSSIAN) {
        GTEST_SKIP() << "the UI language is not Russian";
    }
    startTranslations(std::filesystem::path());
    dialog = openMainDialog(GetModuleHandleW(nullptr), folder.path(), ui);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(dialog->control(IDC_MAKE_GPX)), L"Создать GPX");
    EXPECT_EQ(textOf(dialog->control(IDC_DELETE)), L"Удалить");
    const HWND tabs = dialog->control(IDC_VIEW_TABS);
    std::vector<std::wstring> titles;
    for (int tab = 0; tab < TabCtrl_GetItemCount(tabs); ++tab) {
        wchar_t title[64] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = 64;
        TabCtrl_GetItem(tabs, tab, &item);
        titles.emplace_back(title);
    }
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Путевые точки", L"Треки"}));
    wchar_t entry[64] = {};
    GetMenuStringW(GetSystemMenu(dialog->handle(), FALSE), IDM_HISTORY, entry, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(entry), L"&История…");
    EXPECT_EQ(textOf(dialog->handle()), L"Quillet  1.0");
}

TEST(WindowMenu, KeysAndItemsComeFromTheActionTable) {
    EXPECT_EQ(actionOfKey('O', true, false, KeyPlace::Elsewhere), Action::OpenFolder);
    EXPECT_EQ(actionOfKey(VK_TAB, true, true, KeyPlace::List), Action::PreviousTab);
    EXPECT_EQ(actionOfKey('C', true, false, KeyPlace::Filter),
              std::nullopt);  // the field's copy
    EXPECT_EQ(actionOfKey(VK_DELETE, false, false, KeyPlace::List), Action::Delete);
    EXPECT_EQ(actionOfKey(VK_DELETE, false, false, KeyPlace::Elsewhere), Action::Delete);
    EXPECT_EQ(actionOfKey(VK_DELETE, false, false, KeyPlace::Filter), std::nullopt);
    EXPECT_EQ(actionOfKey(VK_SPACE, false, false, KeyPlace::Elsewhere), std::nullopt);
    AppState state;
    state.waypointTab = 0;
    const HMENU menu = createContextMenu(state, 0);
    wchar_t text[64] = {};
    GetMenuStringW(menu, commandOf(Action::Delete), text, 64, MF_BYCOMMAND);
    EXPECT_EQ(toUtf8(text), "&Delete (Select rows first)\tDel");
    EXPECT_NE(GetMenuState(menu, commandOf(Action::Delete), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, commandOf(Action::OpenFolder), MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuItemCount(menu), 9);  // Copy ... About, with Export Everything and History
    DestroyMenu(menu);
    EXPECT_EQ(actionOfCommand(commandOf(Action::Reload)), Action::Reload);
}

// The About box names the licence, and no line gives an address nobody answers at.
TEST(AboutBox, NamesTheLicenceAndNoAddress) {
    const HWND about = CreateDialogParamW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), nullptr,
        [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0);
    ASSERT_NE(about, nullptr);
    std::vector<std::string> lines;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        lines.push_back(toUtf8(text));
    }
    DestroyWindow(about);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "GNU General Public License,"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "version 3 or later"), lines.end());
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find('@'), std::string::npos) << line;
        EXPECT_EQ(line.find("://"), std::string::npos) << line;
    }
}

TEST(Win32UserInterface, MessageBoxStylesAndTheSaveFilter) {
    EXPECT_EQ(messageBoxStyle(Buttons::Ok, Icon::None), static_cast<UINT>(MB_OK));
    EXPECT_EQ(messageBoxStyle(Buttons::Ok, Icon::Error), static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(messageBoxStyle(Buttons::OkCancel, Icon::Exclamation),
              static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    const SaveDialogRequest request{"Track.gpx", "GPS Exchange (*.gpx)", "gpx"};
    EXPECT_EQ(saveDialogFilter(request), std::wstring(L"GPS Exchange (*.gpx)\0*.gpx\0\0", 28));
}

}  // namespace
}  // namespace quillet::win
