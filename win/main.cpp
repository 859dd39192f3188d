// quillet.exe: the native window over the device files of the working directory.

#include <windows.h>
// The common controls need the types of windows.h.
#include <commctrl.h>

#include <filesystem>
#include <system_error>

#include "main_dialog.h"
#include "win32_user_interface.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX),
                                        .dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    quillet::win::Win32UserInterface ui;
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    auto dialog = quillet::win::openMainDialog(instance, directory, ui);
    if (!dialog) {
        return 0;  // no device file: the reason has been shown
    }
    ui.setOwner(dialog->handle());
    ShowWindow(dialog->handle(), show);
    return quillet::win::runMessageLoop(*dialog);
}
