// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32_user_interface.h"

#include <commdlg.h>

#include <string>
#include <string_view>
#include <vector>

#include "history_dialog.h"
#include "wide_text.h"

namespace quillet::win {

UINT messageBoxStyle(Buttons buttons, Icon icon) {
    UINT style = buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK;
    switch (icon) {
        case Icon::Error:
            style |= MB_ICONERROR;
            break;
        case Icon::Exclamation:
            style |= MB_ICONEXCLAMATION;
            break;
        case Icon::None:
            break;
    }
    return style;
}

// The dialog's file types from "Text (*.a *.b);;Other (*.c)": each text, then its
// patterns separated by ";", each followed by a zero; a second zero ends the list.
std::wstring saveDialogFilter(const SaveDialogRequest& request) {
    std::wstring filter;
    std::string_view rest = request.filter;
    while (!rest.empty()) {
        const std::size_t end = rest.find(";;");
        const std::string_view one = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
        std::string patterns = "*." + request.defaultExtension;
        const std::size_t open = one.find('(');
        const std::size_t close = one.find(')', open);
        if (open != std::string_view::npos && close != std::string_view::npos) {
            patterns = std::string(one.substr(open + 1, close - open - 1));
            for (char& c : patterns) {
                c = c == ' ' ? ';' : c;
            }
        }
        filter += toWide(one);
        filter += L'\0';
        filter += toWide(patterns);
        filter += L'\0';
    }
    filter += L'\0';
    return filter;
}

Answer Win32UserInterface::showMessage(std::string_view text, std::string_view caption,
                                       Buttons buttons, Icon icon) {
    const int pressed = MessageBoxW(owner_, toWide(text).c_str(), toWide(caption).c_str(),
                                    messageBoxStyle(buttons, icon));
    return pressed == IDCANCEL ? Answer::Cancel : Answer::Ok;
}

Answer Win32UserInterface::askWithHistoryBox(std::string_view text, std::string_view caption,
                                             bool& keep) {
    return win::askWithHistoryBox(owner_, text, caption, keep);
}

std::optional<std::filesystem::path> Win32UserInterface::askSavePath(
    const SaveDialogRequest& request) {
    const std::wstring filter = saveDialogFilter(request);
    const std::wstring extension = toWide(request.defaultExtension);
    std::vector<wchar_t> name(32768, L'\0');  // room for the longest path Windows knows
    const std::wstring defaultName = toWide(request.defaultName);
    defaultName.copy(name.data(), name.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrDefExt = extension.c_str();
    // Choosing an existing file asks before it is replaced.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (GetSaveFileNameW(&dialog) == 0) {
        return std::nullopt;
    }
    return std::filesystem::path(name.data());
}

std::string Win32UserInterface::applicationName() const {
    std::vector<wchar_t> file(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
    const std::filesystem::path path(std::wstring(file.data(), length));
    return toUtf8(path.stem().wstring());
}

}  // namespace quillet::win
