// SPDX-License-Identifier: GPL-3.0-or-later
#include "time_zone_menu.h"

// The common controls need the types of windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/time_zone_setting.h"
#include "text/translation.h"
#include "wide_text.h"

namespace quillet::win {

namespace {

const wchar_t kSettingsKey[] = L"Software\\Quillet";
const wchar_t kTimeZoneValue[] = L"TimeZone";

// The chooser's controls.
constexpr int kSearchId = 100;
constexpr int kZoneListId = 101;

// The "Other…" dialog: a search field over the list of the system's zones.
struct Chooser {
    std::vector<TimeZoneChoice> choices = timeZoneChoices();
    std::string shownName;
    std::optional<std::string> chosen;
    HWND search = nullptr;
    HWND zones = nullptr;

    // The zones whose name or text holds the search text; the shown zone selected.
    void showMatches() {
        wchar_t text[128] = {};
        GetWindowTextW(search, text, 128);
        const std::string part = toUtf8(text);
        SendMessageW(zones, WM_SETREDRAW, FALSE, 0);
        SendMessageW(zones, LB_RESETCONTENT, 0, 0);
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (!zoneMatches(choices[i].name, choices[i].text, part)) {
                continue;
            }
            const std::wstring shown = toWide(choices[i].text);
            const LRESULT at =
                SendMessageW(zones, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
            SendMessageW(zones, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
            if (choices[i].name == shownName || (at == 0 && !part.empty())) {
                SendMessageW(zones, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
            }
        }
        SendMessageW(zones, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(zones, nullptr, TRUE);
    }

    void take() {
        const LRESULT at = SendMessageW(zones, LB_GETCURSEL, 0, 0);
        if (at != LB_ERR) {
            const auto index = static_cast<std::size_t>(SendMessageW(zones, LB_GETITEMDATA, at, 0));
            chosen = choices[index].name;
        }
    }
};

HWND addControl(HWND dialog, const wchar_t* type, const wchar_t* text, DWORD style, int id,
                RECT units) {
    MapDialogRect(dialog, &units);
    HWND control = CreateWindowExW(
        type == std::wstring(L"EDIT") || type == std::wstring(L"LISTBOX") ? WS_EX_CLIENTEDGE : 0,
        type, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, units.left, units.top,
        units.right - units.left, units.bottom - units.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

INT_PTR CALLBACK chooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* chooser = reinterpret_cast<Chooser*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            chooser = reinterpret_cast<Chooser*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetWindowTextW(dialog, toWide(translate(kChooseZoneCaption)).c_str());
            addControl(dialog, L"STATIC", toWide(translate(kChooseZoneFilterText)).c_str(), 0, -1,
                       {7, 7, 200, 17});
            chooser->search =
                addControl(dialog, L"EDIT", L"", ES_AUTOHSCROLL, kSearchId, {7, 18, 200, 32});
            chooser->zones =
                addControl(dialog, L"LISTBOX", L"", WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                           kZoneListId, {7, 36, 200, 190});
            addControl(dialog, L"BUTTON", toWide(translate("OK")).c_str(), BS_DEFPUSHBUTTON, IDOK,
                       {96, 196, 146, 210});
            addControl(dialog, L"BUTTON", toWide(translate("Cancel")).c_str(), BS_PUSHBUTTON,
                       IDCANCEL, {150, 196, 200, 210});
            chooser->showMatches();
            SetFocus(chooser->search);
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kSearchId && HIWORD(wParam) == EN_CHANGE) {
                chooser->showMatches();
            } else if (LOWORD(wParam) == IDOK ||
                       (LOWORD(wParam) == kZoneListId && HIWORD(wParam) == LBN_DBLCLK)) {
                chooser->take();
                EndDialog(dialog, IDOK);
            } else if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

// An empty dialog template in dialog units; the controls are made in WM_INITDIALOG.
struct ChooserTemplate {
    DLGTEMPLATE dialog;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
    WORD pointSize = 8;
    wchar_t font[13] = L"MS Shell Dlg";
};

std::optional<std::string> askForZone(HWND owner, const TimeZone& shown) {
    ChooserTemplate layout{};
    layout.dialog.style =
        DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    layout.dialog.cx = 207;
    layout.dialog.cy = 217;
    Chooser chooser;
    if (shown.kind() == TimeZone::Kind::Named) {
        chooser.shownName = shown.name();
    }
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &layout.dialog, owner, chooserProc,
                            reinterpret_cast<LPARAM>(&chooser));
    return chooser.chosen;
}

}  // namespace

void appendTimeZoneMenu(HMENU menu, const TimeZone& shown) {
    const HMENU zones = CreatePopupMenu();
    const auto add = [&](UINT command, const std::string& text, TimeZone::Kind kind) {
        AppendMenuW(zones, MF_STRING | (shown.kind() == kind ? MF_CHECKED : MF_UNCHECKED), command,
                    toWide(text).c_str());
    };
    add(kUtcZoneCommand, std::string(kUtcZoneText), TimeZone::Kind::Utc);
    add(kComputerZoneCommand, computerZoneText(TimeZone::computer()), TimeZone::Kind::Computer);
    add(kOtherZoneCommand,
        shown.kind() == TimeZone::Kind::Named
            ? fillIn(translate("{1} ({2})"), {translate(kOtherZoneText), shown.name()})
            : translate(kOtherZoneText),
        TimeZone::Kind::Named);
    // Before the last entry (About), or alone in an empty menu.
    const int count = GetMenuItemCount(menu);
    InsertMenuW(menu, count > 0 ? static_cast<UINT>(count - 1) : 0, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(zones), toWide(translate(kTimeZoneMenuText)).c_str());
}

bool isTimeZoneCommand(int command) {
    return command == static_cast<int>(kUtcZoneCommand) ||
           command == static_cast<int>(kComputerZoneCommand) ||
           command == static_cast<int>(kOtherZoneCommand);
}

std::optional<TimeZone> zoneOfCommand(int command, HWND owner, const TimeZone& shown) {
    if (command == static_cast<int>(kUtcZoneCommand)) {
        return TimeZone();
    }
    if (command == static_cast<int>(kComputerZoneCommand)) {
        return TimeZone::computer();
    }
    if (command != static_cast<int>(kOtherZoneCommand)) {
        return std::nullopt;
    }
    const std::optional<std::string> name = askForZone(owner, shown);
    return name ? TimeZone::named(*name) : std::nullopt;
}

TimeZone rememberedTimeZone() {
    wchar_t text[256] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kTimeZoneValue, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        return TimeZone();
    }
    return timeZoneOfSetting(toUtf8(text));
}

void rememberTimeZone(const TimeZone& zone) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;  // not remembered: the choice still holds for this window
    }
    const std::wstring setting = toWide(zone.setting());
    RegSetValueExW(key, kTimeZoneValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(setting.c_str()),
                   static_cast<DWORD>((setting.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

namespace {

// The tooltip's one tool: the whole heading row of the list.
TOOLINFOW headingTool(HWND owner, HWND header, const std::wstring& text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(header);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    return tool;
}

}  // namespace

void HeadingTip::attach(HWND listView) {
    header_ = ListView_GetHeader(listView);
    owner_ = GetParent(listView);
    tip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (tip_ != nullptr && header_ != nullptr) {
        TOOLINFOW added = headingTool(owner_, header_, text_);
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&added));
    }
}

void HeadingTip::show(const TimeZone& zone) {
    text_ = toWide(timeZoneNote(zone));
    if (tip_ != nullptr && header_ != nullptr) {
        TOOLINFOW changed = headingTool(owner_, header_, text_);
        SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&changed));
    }
}

}  // namespace quillet::win
