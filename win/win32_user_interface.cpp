#include "win32_user_interface.h"

#include <commdlg.h>

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

std::wstring saveDialogFilter(const SaveDialogRequest& request) {
    std::wstring filter = toWide(request.filter);
    filter += L'\0';
    filter += L"*." + toWide(request.defaultExtension);
    filter += L'\0';
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
