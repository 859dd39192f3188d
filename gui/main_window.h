// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/app_state.h"
#include "app/window_commands.h"
#include "dialog_units.h"
#include "record_table_view.h"
#include "ui/layout_geometry.h"
#include "ui/user_interface.h"

class QAction;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTableView;

namespace quillet::gui {

class PreviewWindow;
class RecordTableModel;
class WindowActions;
class WindowStatus;
class TimeZoneMenu;

// The program's one window: the view tabs, the record list and the two command
// buttons, placed at the positions of the classic dialog template and kept anchored
// by the core's layout rule when the window is resized. Every action is a call into
// the core; the window only mirrors the selection into the record list before a
// command and shows the list again afterwards.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    MainWindow(std::unique_ptr<AppState> state, UserInterface& ui, QWidget* parent = nullptr);
    ~MainWindow() override;

    AppState& state() { return *state_; }
    QTabBar* tabBar() const { return tabs_; }
    QTableView* listView() const { return list_; }
    QPushButton* makeGpxButton() const { return makeGpx_; }
    QPushButton* deleteButton() const { return delete_; }
    QAction* aboutAction() const { return about_; }
    QAction* previewAction() const { return preview_; }
    QLineEdit* filterField() const { return filter_; }
    WindowStatus* statusBar() const { return status_; }
    WindowActions* windowActions() const { return actions_; }
    QAction* historyAction() const { return history_; }
    PreviewWindow* previewWindow() const { return previewWindow_; }
    TimeZoneMenu* timeZoneMenu() const { return timeZones_; }
    const std::optional<LayoutGeometry>& layoutGeometry() const { return geometry_; }

    void showAbout();
    // Opens the "Preview" window, which then follows the selection until it is closed.
    void showPreview();
    // "History…": the stored versions of the folder, to restore one.
    void showHistory();
    // Another folder, through the core's start-up; the window keeps what it showed when
    // the folder holds no device file. True when it opened.
    bool openFolder(const std::filesystem::path& folder);
    // Ctrl+O: asks for the folder first.
    void chooseFolder();
    // F5: the current tab filled again from the files.
    void reload();

signals:
    // A folder opened, at start-up or later: the one to remember.
    void folderOpened(const std::filesystem::path& folder);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    void onTabChanged(int index);
    void onHeadingClicked(int column);
    void onMakeGpx();
    void onExportEverything();
    void onDelete();
    // After a command: the list as the command left it, and its status line.
    void showAfter(const CommandReport& report);
    void onTimeZoneChosen(const TimeZone& zone);
    void updatePreview();
    // Ctrl+C: the selected rows as the listing writes them, onto the clipboard.
    void copySelection();
    void connectActions();
    void onFilterChanged(const QString& text);
    // Ctrl+Tab and Ctrl+Shift+Tab: the next or previous tab, round.
    void stepTab(int step);
    // The tab bar after the tabs changed with the folder.
    void showTabs();
    // The status bar's fields and the actions' states, after the rows or the selection
    // changed.
    void showStatus();

    // The person's selection into the rows' selected flags, and back.
    void mirrorSelection();
    void showSelection();
    // After a fill: new rows and columns with the views' widths.
    void showNewList();
    // After the rows moved or changed in place.
    void showChangedList();
    // The arrow on the heading of the sort column, in the sort's direction.
    void showSortIndicator();
    // "Select rows first" on both buttons while no row is selected.
    void showSelectionHints();
    // Small enough to be made small, large enough for both buttons and a few rows.
    QSize minimumClientSize() const;

    std::unique_ptr<AppState> state_;
    UserInterface& ui_;
    RecordTableModel* model_ = nullptr;
    QTabBar* tabs_ = nullptr;
    RecordTableView* list_ = nullptr;
    QPushButton* makeGpx_ = nullptr;
    QPushButton* delete_ = nullptr;
    QAction* about_ = nullptr;
    QAction* preview_ = nullptr;
    QAction* history_ = nullptr;
    QLineEdit* filter_ = nullptr;
    WindowStatus* status_ = nullptr;
    WindowActions* actions_ = nullptr;
    PreviewWindow* previewWindow_ = nullptr;
    TimeZoneMenu* timeZones_ = nullptr;
    std::optional<LayoutGeometry> geometry_;
    int columnCharacterWidth_ = kClassicCharacterWidth;  // of the list's font
};

// Start-up in the directory: returns the window, or nothing when no device file opened
// (the core has then shown why).
std::unique_ptr<MainWindow> openMainWindow(const std::filesystem::path& directory,
                                           UserInterface& ui);

}  // namespace quillet::gui
