#include "main_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "app/time_zone_setting.h"
#include "device/code_page.h"
#include "edit/delete_records.h"
#include "export/gpx_export.h"
#include "preview_window.h"
#include "resource_ids.h"
#include "wide_text.h"

namespace quillet::win {

namespace {

// Sent to itself once the system has scaled the controls to a new DPI.
constexpr UINT kRecaptureGeometry = WM_APP + 1;
// Sent to itself when the selection or the rows changed while the preview is open.
constexpr UINT kUpdatePreview = WM_APP + 2;
constexpr wchar_t kAboutEntry[] = L"&About Quillet...\tF1";

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
        AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, kAboutEntry);
    }

    list_ = control(IDC_RECORD_LIST);
    tabs_ = control(IDC_VIEW_TABS);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
    for (std::size_t index = 0; index < state_->tabs.size(); ++index) {
        std::wstring text = toWide(state_->tabs[index]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    }
    TabCtrl_SetCurSel(tabs_, state_->currentTab);
    headingTip_.attach(list_);
    headingTip_.show(state_->timeZone);
    showNewList();

    captureGeometry();
    // The platform's centring comes after the capture, as in the classic dialog.
    centreOnScreen(window_);
    SetFocus(list_);
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
            }
            // IDOK and IDCANCEL (the hidden buttons, Enter, Esc) never end the window.
            return TRUE;
        case WM_CLOSE:
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
        return true;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
        showAbout();
        return true;
    }
    // Space in the list only: on a focused button it still presses the button.
    if (message.message == WM_KEYDOWN && message.wParam == VK_SPACE && message.hwnd == list_) {
        showPreview();
        return true;
    }
    return false;
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
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_PREVIEW, L"Preview\tSpace");
    appendTimeZoneMenu(menu, state_->timeZone);
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, kAboutEntry);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (chosen == IDM_PREVIEW) {
        showPreview();
    } else if (chosen == IDM_ABOUTBOX) {
        showAbout();
    } else if (isTimeZoneCommand(chosen)) {
        onTimeZoneCommand(chosen);
    }
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
    preview_->showSelection(preview::readSelectedRows(*state_, currentView(*state_)));
}

void MainDialog::onTabChanged(int index) {
    if (index < 0) {
        return;
    }
    {
        const BusyCursor busy;
        quillet::switchToTab(*state_, ui_, index);
    }
    showNewList();
}

void MainDialog::onHeadingClicked(int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= state_->list.columnCount()) {
        return;
    }
    mirrorSelection();
    // The focused row moves with its record.
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
    const std::optional<std::int32_t> focusedItem =
        focused >= 0 && static_cast<std::size_t>(focused) < state_->list.rowCount()
            ? std::optional(state_->list.itemNumber(static_cast<std::size_t>(focused)))
            : std::nullopt;
    {
        const BusyCursor busy;
        state_->list.onColumnClick(static_cast<std::size_t>(column));
    }
    showChangedList();
    showSortIndicator();
    if (focusedItem) {
        const int row = state_->list.findByItemNumber(*focusedItem);
        if (row >= 0) {
            ListView_SetItemState(list_, row, LVIS_FOCUSED, LVIS_FOCUSED);
        }
    }
}

void MainDialog::onMakeGpx() {
    mirrorSelection();
    {
        const BusyCursor busy;
        quillet::onMakeGpx(*state_, ui_);
    }
    showChangedList();
}

void MainDialog::onDelete() {
    mirrorSelection();
    DeleteResult result;
    {
        const BusyCursor busy;
        result = quillet::onDelete(*state_, ui_);
    }
    // The deletion filled the list anew whenever its rows no longer matched the file.
    if (result.listIsStale) {
        showNewList();
    } else {
        showChangedList();
    }
}

void MainDialog::mirrorSelection() {
    RecordList& list = state_->list;
    const auto shown = static_cast<std::size_t>(std::max(ListView_GetItemCount(list_), 0));
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        const bool selected =
            row < shown && ListView_GetItemState(list_, static_cast<int>(row), LVIS_SELECTED) != 0;
        list.setSelected(row, selected);
    }
}

void MainDialog::showSelection() {
    const RecordList& list = state_->list;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        ListView_SetItemState(list_, static_cast<int>(row),
                              list.isSelected(row) ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
}

void MainDialog::showRowTexts() {
    const RecordList& list = state_->list;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        for (std::size_t column = 0; column < list.columnCount(); ++column) {
            std::wstring text = toWide(deviceTextToUtf8(list.text(row, column)));
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
        std::wstring heading = toWide(shown.heading);
        LVCOLUMNW item{};
        item.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        item.fmt = shown.alignment == Alignment::Center ? LVCFMT_CENTER : LVCFMT_LEFT;
        item.cx = shown.width;
        item.pszText = heading.data();
        item.iSubItem = static_cast<int>(column);
        SendMessageW(list_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&item));
    }
    // Every row goes in with an empty first text, so the control's ascending order
    // leaves them in place; the texts follow row by row.
    ListView_SetItemCount(list_, static_cast<int>(list.rowCount()));
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        wchar_t empty[] = L"";
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = empty;
        SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    showRowTexts();
    showSelection();
    showHeaderFields();
    showSortIndicator();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    schedulePreviewUpdate();
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
    if (ListView_GetItemCount(list_) != static_cast<int>(state_->list.rowCount()) ||
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
