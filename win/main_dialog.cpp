// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "app/delete_command.h"
#include "app/export_everything.h"
#include "app/fill_list.h"
#include "app/list_filter.h"
#include "app/make_gpx_command.h"
#include "app/open_folder.h"
#include "app/startup.h"
#include "app/status_text.h"
#include "app/time_zone_setting.h"
#include "device/code_page.h"
#include "edit/delete_records.h"
#include "export/gpx_export.h"
#include "folder_chooser.h"
#include "history_dialog.h"
#include "preview_window.h"
#include "resource_ids.h"
#include "text/translation.h"
#include "views/selection_text.h"
#include "wide_text.h"
#include "window_menu.h"

namespace quillet::win {

namespace {

// Sent to itself once the system has scaled the controls to a new DPI.
constexpr UINT kRecaptureGeometry = WM_APP + 1;
// Sent to itself when the selection or the rows changed while the preview is open.
constexpr UINT kUpdatePreview = WM_APP + 2;
// Sent to itself when the selection or the rows changed: the status bar follows.
constexpr UINT kUpdateStatus = WM_APP + 3;
// The widths of the status bar's parts right of the line, in dialog units, wide enough
// for five-digit counts in the longer Russian words.
constexpr int kRowsPartWidth = 80;
constexpr int kSelectedPartWidth = 65;
constexpr int kFolderPartWidth = 130;

// The busy cursor for the length of a core call that may read a whole device file.
class BusyCursor {
public:
    BusyCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~BusyCursor() { SetCursor(previous_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR previous_;
};

Rect clientRectOf(HWND parent, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return Rect{.x = rect.left,
                .y = rect.top,
                .width = rect.right - rect.left,
                .height = rect.bottom - rect.top};
}

void place(HWND control, const Rect& rect) {
    MoveWindow(control, rect.x, rect.y, rect.width, rect.height, TRUE);
}

HICON loadIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLET), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

// The window in the middle of the work area of its monitor.
void centreOnScreen(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor) == 0) {
        return;
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    const RECT& work = monitor.rcWork;
    const int x = work.left + (work.right - work.left - (frame.right - frame.left)) / 2;
    const int y = work.top + (work.bottom - work.top - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window, nullptr, std::max(x, static_cast<int>(work.left)),
                 std::max(y, static_cast<int>(work.top)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool isEnterOrEsc(const MSG& message) {
    return message.message == WM_KEYDOWN &&
           (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE);
}

bool controlKeyDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

bool shiftKeyDown() {
    return GetKeyState(VK_SHIFT) < 0;
}

INT_PTR CALLBACK aboutProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

Size minimumClientSize(const LayoutGeometry& geometry) {
    const int buttons = std::max(geometry.makeGpx.rightGap + geometry.makeGpx.width,
                                 geometry.remove.rightGap + geometry.remove.width);
    return Size{.width = geometry.listLeft + buttons,
                .height = geometry.listTop + geometry.listBottomGap + 2 * geometry.makeGpx.height};
}

MainDialog::MainDialog(HINSTANCE instance, std::unique_ptr<AppState> state, UserInterface& ui,
                       bool endsProgram)
    : instance_(instance), state_(std::move(state)), ui_(ui), endsProgram_(endsProgram) {}

std::unique_ptr<MainDialog> MainDialog::create(HINSTANCE instance, std::unique_ptr<AppState> state,
                                               UserInterface& ui, bool endsProgram) {
    std::unique_ptr<MainDialog> dialog(new MainDialog(instance, std::move(state), ui, endsProgram));
    if (CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, dialogProc,
                           reinterpret_cast<LPARAM>(dialog.get())) == nullptr) {
        return nullptr;
    }
    return dialog;
}

MainDialog::~MainDialog() {
    if (window_ != nullptr && IsWindow(window_)) {
        endsProgram_ = false;
        DestroyWindow(window_);
    }
    if (bigIcon_ != nullptr) {
        DestroyIcon(bigIcon_);
    }
    if (smallIcon_ != nullptr) {
        DestroyIcon(smallIcon_);
    }
}

INT_PTR CALLBACK MainDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<MainDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        dialog->window_ = window;
        dialog->initialise();
        return FALSE;  // the focus was set on the list
    }
    auto* dialog = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;  // messages before WM_INITDIALOG: the platform's default
    }
    return dialog->onMessage(message, wParam, lParam);
}

void MainDialog::initialise() {
    SetWindowTextW(window_, toWide(kTitleText).c_str());
    bigIcon_ = loadIcon(instance_, SM_CXICON, SM_CYICON);
    smallIcon_ = loadIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    if (HMENU menu = GetSystemMenu(window_, FALSE); menu != nullptr) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_HISTORY, toWide(translate("&History…")).c_str());
        AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX,
                    toWide(std::string(translate("&About Quillet...")) + "\tF1").c_str());
    }

    list_ = control(IDC_RECORD_LIST);
    tabs_ = control(IDC_VIEW_TABS);
    filter_ = control(IDC_FILTER);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    SendMessageW(filter_, EM_SETCUEBANNER, TRUE,
                 reinterpret_cast<LPARAM>(toWide(translate("Filter by name (Ctrl+F)")).c_str()));
    showTabs();
    createStatusBar();
    createHints();
    DragAcceptFiles(window_, TRUE);
    headingTip_.attach(list_);
    headingTip_.show(state_->timeZone);
    showNewList();

    captureGeometry();
    // The platform's centring comes after the capture, as in the classic dialog.
    centreOnScreen(window_);
    SetFocus(list_);
}

void MainDialog::createStatusBar() {
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                              instance_, nullptr);
    if (status_ == nullptr) {
        return;
    }
    // The window grows by the status bar, below the template's client area.
    RECT bar{};
    GetWindowRect(status_, &bar);
    RECT frame{};
    GetWindowRect(window_, &frame);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + (bar.bottom - bar.top),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window_, &client);
    placeStatusBar(client.right);
}

void MainDialog::placeStatusBar(int width) {
    if (status_ == nullptr) {
        return;
    }
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT parts{0, 0, kFolderPartWidth, kSelectedPartWidth};
    RECT rowsPart{0, 0, kRowsPartWidth, 0};
    MapDialogRect(window_, &parts);
    MapDialogRect(window_, &rowsPart);
    const int folder = std::max(width - static_cast<int>(parts.right), 0);
    const int selected = std::max(folder - static_cast<int>(parts.bottom), 0);
    const int rows = std::max(selected - static_cast<int>(rowsPart.right), 0);
    int edges[] = {rows, selected, folder, -1};
    SendMessageW(status_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void MainDialog::createHints() {
    hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                             nullptr, instance_, nullptr);
    if (hints_ == nullptr) {
        return;
    }
    for (const int button : {IDC_MAKE_GPX, IDC_DELETE}) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(control(button));
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void MainDialog::showTabs() {
    TabCtrl_DeleteAllItems(tabs_);
    for (std::size_t index = 0; index < state_->tabs.size(); ++index) {
        std::wstring text = toWide(translate(state_->tabs[index]));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    TabCtrl_SetCurSel(tabs_, state_->currentTab);
}

void MainDialog::captureGeometry() {
    recapturePending_ = false;
    RECT client{};
    GetClientRect(window_, &client);
    geometry_ = captureLayout(
        Size{.width = client.right, .height = client.bottom}, clientRectOf(window_, list_),
        clientRectOf(window_, control(IDC_MAKE_GPX)), clientRectOf(window_, control(IDC_DELETE)));
}

INT_PTR MainDialog::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            // Moved to a monitor of another DPI, the dialog's controls are scaled by the
            // system. Sizes in between leave them alone; the geometry is then taken again
            // from where they stand, which keeps the same gaps and anchors.
            geometry_.reset();
            recapturePending_ = true;
            PostMessageW(window_, kRecaptureGeometry, 0, 0);
            return FALSE;
        case kRecaptureGeometry:
            if (recapturePending_ && !IsIconic(window_)) {
                captureGeometry();
            }
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                showAbout();
                return TRUE;
            }
            if ((wParam & 0xFFF0) == IDM_HISTORY) {
                showHistory();
                return TRUE;
            }
            return FALSE;
        case WM_HELP:
            showAbout();
            return TRUE;
        case WM_CONTEXTMENU:
            onContextMenu(lParam);
            return TRUE;
        case kUpdatePreview:
            updatePreview();
            return TRUE;
        case kUpdateStatus:
            showStatus();
            return TRUE;
        case WM_DROPFILES:
            onDropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case WM_PAINT:
            return paintMinimised() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(bigIcon_);
        case WM_SIZE:
            onSize(LOWORD(lParam), HIWORD(lParam));
            return FALSE;
        case WM_GETMINMAXINFO:
            onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return TRUE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam) ? TRUE : FALSE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_MAKE_GPX) {
                onMakeGpx();
            } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_DELETE) {
                onDelete();
            } else if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == IDC_FILTER) {
                onFilterChanged();
            } else if (const auto action = actionOfCommand(LOWORD(wParam));
                       action && HIWORD(wParam) == 0 && lParam == 0) {
                run(*action);
            }
            // IDOK and IDCANCEL (the hidden buttons, Enter, Esc) never end the window.
            return TRUE;
        case WM_CLOSE:
            if (onClosing) {
                onClosing(window_);
            }
            DestroyWindow(window_);
            return TRUE;
        case WM_DESTROY:
            if (endsProgram_) {
                PostQuitMessage(0);
            }
            return FALSE;
        default:
            return FALSE;
    }
}

bool MainDialog::onNotify(const NMHDR& header, LPARAM lParam) {
    if (header.idFrom == IDC_RECORD_LIST && header.code == LVN_COLUMNCLICK) {
        onHeadingClicked(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        return true;
    }
    if (header.idFrom == IDC_RECORD_LIST && header.code == NM_DBLCLK) {
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);  // a double click does nothing
        return true;
    }
    if (header.idFrom == IDC_RECORD_LIST && header.code == LVN_ITEMCHANGED) {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change.uChanged & LVIF_STATE) != 0 &&
            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
            schedulePreviewUpdate();
            scheduleStatusUpdate();
        }
        return false;
    }
    if (header.idFrom == IDC_VIEW_TABS && header.code == TCN_SELCHANGE) {
        onTabChanged(TabCtrl_GetCurSel(tabs_));
        return true;
    }
    return false;
}

void MainDialog::onSize(int width, int height) {
    if (IsIconic(window_)) {
        return;  // minimised: the controls stay where they are
    }
    if (!geometry_) {
        if (recapturePending_) {
            PostMessageW(window_, kRecaptureGeometry, 0, 0);  // a DPI change while minimised
        }
        return;  // still being built: the controls stay where they are
    }
    placeStatusBar(width);
    const WindowLayout layout = relayout(*geometry_, Size{.width = width, .height = height});
    place(list_, layout.list);
    place(control(IDC_MAKE_GPX), layout.makeGpx);
    place(control(IDC_DELETE), layout.remove);
}

void MainDialog::onGetMinMaxInfo(MINMAXINFO& info) const {
    if (!geometry_) {
        return;
    }
    const Size client = minimumClientSize(*geometry_);
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
    info.ptMinTrackSize.x = frame.right - frame.left;
    info.ptMinTrackSize.y = frame.bottom - frame.top;
}

bool MainDialog::paintMinimised() {
    if (!IsIconic(window_)) {
        return false;
    }
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(window_, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, bigIcon_);
    EndPaint(window_, &paint);
    return true;
}

bool MainDialog::preTranslate(const MSG& message) {
    const bool ours = message.hwnd == window_ || IsChild(window_, message.hwnd);
    if (!ours) {
        return false;  // a message box or dialog keeps its own Enter and Esc
    }
    if (isEnterOrEsc(message)) {
        // Esc in the filter field clears it.
        if (message.hwnd == filter_ && message.wParam == VK_ESCAPE) {
            SetWindowTextW(filter_, L"");
        }
        return true;
    }
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    const KeyPlace place = message.hwnd == list_     ? KeyPlace::List
                           : message.hwnd == filter_ ? KeyPlace::Filter
                                                     : KeyPlace::Elsewhere;
    const std::optional<Action> action =
        actionOfKey(message.wParam, controlKeyDown(), shiftKeyDown(), place);
    if (!action) {
        return false;
    }
    run(*action);
    return true;
}

void MainDialog::run(Action action) {
    if (action != Action::SelectAll) {
        mirrorSelection();
    }
    if (!canRun(action, *state_, state_->list.selectedCount())) {
        return;
    }
    switch (action) {
        case Action::Copy:
            copySelection();
            break;
        case Action::MakeGpx:
            onMakeGpx();
            break;
        case Action::ExportEverything:
            onExportEverything();
            break;
        case Action::Delete:
            onDelete();
            break;
        case Action::Preview:
            showPreview();
            break;
        case Action::OpenFolder:
            chooseFolder();
            break;
        case Action::Reload:
            reload();
            break;
        case Action::About:
            showAbout();
            break;
        case Action::History:
            showHistory();
            break;
        case Action::Filter:
            SetFocus(filter_);
            SendMessageW(filter_, EM_SETSEL, 0, -1);
            break;
        case Action::SelectAll:
            // The list holds the shown rows only.
            ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
            break;
        case Action::NextTab:
            stepTab(1);
            break;
        case Action::PreviousTab:
            stepTab(-1);
            break;
        case Action::Quit:
            SendMessageW(window_, WM_CLOSE, 0, 0);
            break;
    }
}

bool MainDialog::openFolder(const std::filesystem::path& folder) {
    {
        const BusyCursor busy;
        if (!quillet::openFolder(*state_, folder, ui_)) {
            return false;
        }
    }
    showTabs();
    clearFilterField();  // the core cleared the filter with the folder
    showNewList();
    if (onFolderOpened) {
        onFolderOpened(folder);
    }
    return true;
}

void MainDialog::chooseFolder() {
    if (const auto folder = askForFolder(window_, toWide(translate("Open Folder")).c_str(),
                                         state_->files.waypoints.parent_path())) {
        openFolder(*folder);
    }
}

void MainDialog::onDropFiles(HDROP drop) {
    wchar_t path[MAX_PATH] = {};
    const bool named = DragQueryFileW(drop, 0, path, MAX_PATH) != 0;
    DragFinish(drop);
    if (named) {
        openFolder(droppedFolder(std::filesystem::path(path)));
    }
}

void MainDialog::reload() {
    {
        const BusyCursor busy;
        quillet::reload(*state_, ui_);
    }
    showNewList();
}

void MainDialog::clearFilterField() {
    quietFilter_ = true;
    SetWindowTextW(filter_, L"");
    quietFilter_ = false;
}

void MainDialog::onFilterChanged() {
    if (quietFilter_) {
        return;
    }
    const int length = GetWindowTextLengthW(filter_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(filter_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    mirrorSelection();
    setFilter(*state_, toUtf8(text));
    showRows();
}

void MainDialog::copySelection() {
    if (state_->list.selectedCount() == 0 || OpenClipboard(window_) == 0) {
        return;
    }
    const std::wstring text = toWide(selectedRowsText(state_->list));
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes); memory != nullptr) {
        if (void* target = GlobalLock(memory); target != nullptr) {
            std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(target));
            GlobalUnlock(memory);
            EmptyClipboard();
            if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
                GlobalFree(memory);
            }
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void MainDialog::stepTab(int step) {
    const int count = TabCtrl_GetItemCount(tabs_);
    if (count > 1) {
        const int next = (TabCtrl_GetCurSel(tabs_) + step + count) % count;
        TabCtrl_SetCurSel(tabs_, next);
        onTabChanged(next);
    }
}

void MainDialog::scheduleStatusUpdate() {
    if (!statusUpdatePending_) {
        statusUpdatePending_ = PostMessageW(window_, kUpdateStatus, 0, 0) != 0;
    }
}

void MainDialog::showStatus() {
    statusUpdatePending_ = false;
    if (IsWindowEnabled(window_) == 0) {
        return;  // a command's message box is open: its end shows the status
    }
    mirrorSelection();
    const std::size_t selected = state_->list.selectedCount();
    const StatusFields fields = statusFields(*state_);
    if (status_ != nullptr) {
        SendMessageW(status_, SB_SETTEXTW, 1,
                     reinterpret_cast<LPARAM>(toWide(fields.rows).c_str()));
        SendMessageW(status_, SB_SETTEXTW, 2,
                     reinterpret_cast<LPARAM>(toWide(fields.selected).c_str()));
        SendMessageW(status_, SB_SETTEXTW, 3,
                     reinterpret_cast<LPARAM>(toWide(fields.folder).c_str()));
    }
    hint_ = selected == 0 ? translate(kSelectRowsFirst) : std::string();
    if (hints_ != nullptr) {
        const std::wstring text = toWide(hint_);
        for (const int button : {IDC_MAKE_GPX, IDC_DELETE}) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = window_;
            tool.uId = reinterpret_cast<UINT_PTR>(control(button));
            tool.lpszText = const_cast<wchar_t*>(text.c_str());
            SendMessageW(hints_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

std::string MainDialog::statusText(int part) const {
    if (status_ == nullptr) {
        return {};
    }
    const auto length = LOWORD(SendMessageW(status_, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(status_, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return toUtf8(text);
}

void MainDialog::showAfter(const CommandReport& report) {
    if (report.change == ListChange::New) {
        showNewList();
    } else {
        showChangedList();
    }
    if (!report.statusLine.empty() && status_ != nullptr) {
        SendMessageW(status_, SB_SETTEXTW, 0,
                     reinterpret_cast<LPARAM>(toWide(report.statusLine).c_str()));
    }
    showStatus();
}

void MainDialog::showAbout() {
    DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_ABOUT), window_, aboutProc, 0);
}

void MainDialog::onContextMenu(LPARAM where) {
    POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the list's corner
        at = POINT{0, 0};
        ClientToScreen(list_, &at);
    }
    mirrorSelection();
    const HMENU menu = createContextMenu(*state_, state_->list.selectedCount());
    appendTimeZoneMenu(menu, state_->timeZone);
    const auto chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (const std::optional<Action> action = actionOfCommand(chosen)) {
        run(*action);
    } else if (isTimeZoneCommand(static_cast<int>(chosen))) {
        onTimeZoneCommand(static_cast<int>(chosen));
    }
}

void MainDialog::showHistory() {
    showHistoryDialog(instance_, window_, *state_, ui_, [this](const DeleteResult& result) {
        if (result.listIsStale) {
            showNewList();
        }
    });
}

void MainDialog::onTimeZoneCommand(int command) {
    const std::optional<TimeZone> zone = zoneOfCommand(command, window_, state_->timeZone);
    if (!zone) {
        return;
    }
    mirrorSelection();
    {
        const BusyCursor busy;
        changeTimeZone(*state_, ui_, *zone);
    }
    rememberTimeZone(*zone);
    headingTip_.show(*zone);
    showNewList();
}

void MainDialog::showPreview() {
    if (!preview_) {
        preview_ = PreviewWindow::create(instance_, window_);
        if (preview_) {
            preview_->placeBeside(window_, list_);
        }
    }
    if (preview_) {
        preview_->open();
        updatePreview();
    }
}

void MainDialog::schedulePreviewUpdate() {
    if (preview_ && preview_->isOpen() && !previewUpdatePending_) {
        previewUpdatePending_ = PostMessageW(window_, kUpdatePreview, 0, 0) != 0;
    }
}

void MainDialog::updatePreview() {
    previewUpdatePending_ = false;
    // A message box or the save dialog of a command disables the window: the core is in
    // the middle of that command and its files are not to be read now.
    if (!preview_ || !preview_->isOpen() || IsWindowEnabled(window_) == 0) {
        return;
    }
    mirrorSelection();
    const BusyCursor busy;
    preview_->showSelection(preview::takeSelectedRows(*state_, currentView(*state_)));
}

void MainDialog::onTabChanged(int index) {
    if (index < 0) {
        return;
    }
    {
        const BusyCursor busy;
        quillet::switchToTab(*state_, ui_, index);
    }
    // The core cleared the filter with the tab.
    clearFilterField();
    showNewList();
}

void MainDialog::onHeadingClicked(int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= state_->list.columnCount()) {
        return;
    }
    mirrorSelection();
    // The focused row moves with its record.
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    std::optional<std::size_t> moved;
    {
        const BusyCursor busy;
        moved = sortByHeading(
            *state_, static_cast<std::size_t>(column),
            focused >= 0 ? std::optional(static_cast<std::size_t>(focused)) : std::nullopt);
    }
    showChangedList();
    showSortIndicator();
    if (moved) {
        ListView_SetItemState(list_, static_cast<int>(*moved), LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

void MainDialog::onMakeGpx() {
    mirrorSelection();
    CommandReport report;
    {
        const BusyCursor busy;
        report = makeGpxOfSelection(*state_, ui_);
    }
    showAfter(report);
}

void MainDialog::onExportEverything() {
    const BusyCursor busy;
    exportEverything(*state_, ui_);
}

void MainDialog::onDelete() {
    mirrorSelection();
    CommandReport report;
    {
        const BusyCursor busy;
        report = deleteSelection(*state_, ui_);
    }
    showAfter(report);
}

void MainDialog::mirrorSelection() {
    clearSelection(*state_);
    const auto items = static_cast<std::size_t>(std::max(ListView_GetItemCount(list_), 0));
    const std::size_t shown = std::min(items, shownRowCount(*state_));
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
         row >= 0 && static_cast<std::size_t>(row) < shown;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
        setShownRowSelected(*state_, static_cast<std::size_t>(row), true);
    }
}

void MainDialog::showSelection() {
    const std::size_t shown = shownRowCount(*state_);
    for (std::size_t row = 0; row < shown; ++row) {
        ListView_SetItemState(list_, static_cast<int>(row),
                              isShownRowSelected(*state_, row) ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

void MainDialog::showRowTexts() {
    const RecordList& list = state_->list;
    const std::size_t shown = shownRowCount(*state_);
    for (std::size_t row = 0; row < shown; ++row) {
        const std::size_t listRow = listRowOf(*state_, row);
        for (std::size_t column = 0; column < list.columnCount(); ++column) {
            std::wstring text = toWide(deviceTextToUtf8(list.text(listRow, column)));
            ListView_SetItemText(list_, static_cast<int>(row), static_cast<int>(column),
                                 text.data());
        }
    }
}

void MainDialog::showHeaderFields() {
    SetDlgItemInt(window_, IDC_FILE_VERSION, state_->fileVersion, FALSE);
    SetDlgItemInt(window_, IDC_ACCESS_COUNT, state_->accessCount, FALSE);
    SetDlgItemInt(window_, IDC_RECORD_COUNT, state_->recordCount, FALSE);
}

void MainDialog::showNewList() {
    const RecordList& list = state_->list;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    while (ListView_DeleteColumn(list_, 0)) {
    }
    for (std::size_t column = 0; column < list.columnCount(); ++column) {
        const Column& shown = list.column(column);
        std::wstring heading = toWide(translate(shown.heading));
        LVCOLUMNW item{};
        item.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        item.fmt = shown.alignment == Alignment::Center ? LVCFMT_CENTER : LVCFMT_LEFT;
        item.cx = shown.width;
        item.pszText = heading.data();
        item.iSubItem = static_cast<int>(column);
        SendMessageW(list_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    }
    showRows();
    showHeaderFields();
    showSortIndicator();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void MainDialog::showRows() {
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list_);
    // Every row goes in with an empty first text, so the control's ascending order
    // leaves them in place; the texts follow row by row.
    const std::size_t shown = shownRowCount(*state_);
    ListView_SetItemCount(list_, static_cast<int>(shown));
    for (std::size_t row = 0; row < shown; ++row) {
        wchar_t empty[] = L"";
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = empty;
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    showRowTexts();
    showSelection();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    schedulePreviewUpdate();
    showStatus();
}

void MainDialog::showSortIndicator() {
    const HWND header = ListView_GetHeader(list_);
    const int columns = Header_GetItemCount(header);
    for (int column = 0; column < columns; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (column == state_->list.sortColumn()) {
            item.fmt |= state_->list.ascending() ? HDF_SORTUP : HDF_SORTDOWN;
        }
        SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void MainDialog::showChangedList() {
    const HWND header = ListView_GetHeader(list_);
    if (ListView_GetItemCount(list_) != static_cast<int>(shownRowCount(*state_)) ||
        Header_GetItemCount(header) != static_cast<int>(state_->list.columnCount())) {
        showNewList();
        return;
    }
    showRowTexts();
    showSelection();
    showHeaderFields();
}

int runMessageLoop(MainDialog& dialog) {
    MSG message{};
    int status = 0;
    while ((status = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (dialog.preTranslate(message) || IsDialogMessageW(dialog.handle(), &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return status < 0 ? 1 : static_cast<int>(message.wParam);
}

std::unique_ptr<MainDialog> openMainDialog(HINSTANCE instance,
                                           const std::filesystem::path& directory,
                                           UserInterface& ui) {
    std::unique_ptr<AppState> state;
    {
        const BusyCursor busy;
        state = startUp(directory, ui, rememberedTimeZone());
    }
    if (!state) {
        return nullptr;
    }
    return MainDialog::create(instance, std::move(state), ui, true);
}

}  // namespace quillet::win
