// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>
// HDROP, for the folders dropped onto the window.
#include <shellapi.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/actions.h"
#include "app/app_state.h"
#include "app/window_commands.h"
#include "time_zone_menu.h"
#include "ui/layout_geometry.h"
#include "ui/user_interface.h"

namespace quillet::win {

class PreviewWindow;

// The program's one window, built from the dialog template: the view tabs, the record
// list and the two command buttons. Every action is a call into the core; the window
// only mirrors the list view's selection into the record list before a command and
// shows the record list again afterwards.
class MainDialog {
public:
    // The window, created hidden; nothing when the system refuses it. With
    // `endsProgram`, closing the window ends the message loop.
    static std::unique_ptr<MainDialog> create(HINSTANCE instance, std::unique_ptr<AppState> state,
                                              UserInterface& ui, bool endsProgram);
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    HWND handle() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    AppState& state() { return *state_; }
    const std::optional<LayoutGeometry>& layoutGeometry() const { return geometry_; }

    // Looks at a message before it is dispatched; true when the window took it: Enter
    // and Esc are swallowed (Esc in the filter field clears it), and the keys of the
    // core's action table run their actions.
    bool preTranslate(const MSG& message);
    // An action of the right-click menu or of a key, when it can run now.
    void run(Action action);
    // Another folder, through the core's start-up; the window keeps what it showed when
    // the folder holds no device file. True when it opened.
    bool openFolder(const std::filesystem::path& folder);
    // The status bar's parts: 0 the last command's line, 1 the rows shown, 2 the rows
    // selected, 3 the folder.
    std::string statusText(int part) const;
    // What the two buttons say while no row is selected; empty otherwise.
    const std::string& selectionHint() const { return hint_; }

    // Called when a folder opened after start-up, and when the window is closed by the
    // person: the program remembers them.
    std::function<void(const std::filesystem::path&)> onFolderOpened;
    std::function<void(HWND)> onClosing;
    void showAbout();
    // The "Preview" window, open beside this one until closed; it follows the selection.
    void showPreview();
    const PreviewWindow* preview() const { return preview_.get(); }
    PreviewWindow* preview() { return preview_.get(); }
    // "History…": the folder's stored versions, to restore one.
    void showHistory();
    // A Time zone entry of the context menu (kUtcZoneCommand, ...): the list shows its
    // times in that zone, which is remembered.
    void onTimeZoneCommand(int command);
    const HeadingTip& headingTip() const { return headingTip_; }

private:
    MainDialog(HINSTANCE instance, std::unique_ptr<AppState> state, UserInterface& ui,
               bool endsProgram);
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void initialise();
    // The layout geometry, from where the list and the buttons stand now.
    void captureGeometry();
    bool onNotify(const NMHDR& header, LPARAM lParam);
    void onSize(int width, int height);
    void onGetMinMaxInfo(MINMAXINFO& info) const;
    bool paintMinimised();

    void onTabChanged(int index);
    void onHeadingClicked(int column);
    void onMakeGpx();
    void onExportEverything();
    void onDelete();
    void onContextMenu(LPARAM where);
    void onDropFiles(HDROP drop);
    void onFilterChanged();
    // The field emptied after the core cleared the filter, without a filter change.
    void clearFilterField();
    void chooseFolder();
    void reload();
    void copySelection();
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, round.
    void stepTab(int step);
    void showTabs();
    void createStatusBar();
    void createHints();
    void placeStatusBar(int width);
    // After a command: the list as the command left it, and its status line.
    void showAfter(const CommandReport& report);
    // The status bar's counts and the buttons' hints, once the window's changes are done.
    void scheduleStatusUpdate();
    void showStatus();
    // After the selection or the rows changed: the open preview shows them once the
    // window's own changes are done.
    void schedulePreviewUpdate();
    void updatePreview();

    // The person's selection into the rows' selected flags, and back.
    void mirrorSelection();
    void showSelection();
    // After a fill: new rows and columns with the views' widths.
    void showNewList();
    // The shown rows anew, in the same columns (the filter changed).
    void showRows();
    // After the rows moved or changed in place.
    void showChangedList();
    void showRowTexts();
    void showHeaderFields();
    // The arrow on the sort column's heading, pointing the way the rows are sorted.
    void showSortIndicator();

    HINSTANCE instance_;
    std::unique_ptr<AppState> state_;
    UserInterface& ui_;
    bool endsProgram_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND tabs_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::optional<LayoutGeometry> geometry_;
    bool recapturePending_ = false;  // after a DPI change, until the controls are measured
    std::unique_ptr<PreviewWindow> preview_;
    bool previewUpdatePending_ = false;
    HWND filter_ = nullptr;
    HWND status_ = nullptr;
    HWND hints_ = nullptr;
    std::string hint_;
    bool statusUpdatePending_ = false;
    bool quietFilter_ = false;
    HeadingTip headingTip_;
};

// The smallest client area that keeps both buttons inside the window and some of the
// list below them.
Size minimumClientSize(const LayoutGeometry& geometry);

// Runs the window's messages until it is closed; returns the program's exit status.
int runMessageLoop(MainDialog& dialog);

// Start-up in the directory, then the window: nothing when no device file opened (the
// core has then shown why).
std::unique_ptr<MainDialog> openMainDialog(HINSTANCE instance,
                                           const std::filesystem::path& directory,
                                           UserInterface& ui);

}  // namespace quillet::win
