// SPDX-License-Identifier: GPL-3.0-or-later
// quillet.exe: the native window over the device files of a folder, by default the
// working directory.

#include <windows.h>
// The common controls need the types of windows.h.
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <filesystem>
#include <system_error>

#include "app/open_folder.h"
#include "command_line.h"
#include "folder_chooser.h"
#include "main_dialog.h"
#include "settings.h"
#include "text/translation.h"
#include "ui/user_interface.h"
#include "wide_text.h"
#include "win32_user_interface.h"

namespace {

std::vector<std::wstring> commandLineArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    if (LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count); words != nullptr) {
        for (int i = 1; i < count; ++i) {
            arguments.emplace_back(words[i]);
        }
        LocalFree(words);
    }
    return arguments;
}

// Standard output when there is one (a console or a redirection), else a message box.
void answer(const std::string& text, bool error) {
    if (AttachConsole(ATTACH_PARENT_PROCESS) != 0 || GetStdHandle(STD_OUTPUT_HANDLE) != nullptr) {
        const HANDLE out = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
        DWORD written = 0;
        if (out != nullptr && out != INVALID_HANDLE_VALUE &&
            WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0) {
            return;
        }
    }
    MessageBoxW(nullptr, quillet::win::toWide(text).c_str(),
                quillet::win::toWide(quillet::kTitleText).c_str(),
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

// The shell's folder chooser, opened at the last folder used.
std::optional<std::filesystem::path> chooseFolder() {
    return quillet::win::askForFolder(
        nullptr,
        quillet::win::toWide(quillet::translate("Choose the folder of the device files")).c_str(),
        quillet::win::lastFolder().value_or(std::filesystem::path()));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    // The catalogue is compiled in: there is no folder to name.
    quillet::startTranslations(std::filesystem::path());
    const quillet::win::WindowArguments arguments =
        quillet::win::parseWindowArguments(commandLineArguments());
    if (!arguments.error.empty()) {
        answer(
            "quillet: " + arguments.error + "\n" + quillet::translate(quillet::win::kWindowUsage),
            true);
        return 2;
    }
    if (arguments.help || arguments.version) {
        answer(arguments.help ? quillet::translate(quillet::win::kWindowUsage)
                              : quillet::win::kWindowVersion,
               false);
        return 0;
    }

    const INITCOMMONCONTROLSEX controls{
        .dwSize = sizeof(INITCOMMONCONTROLSEX),
        .dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    quillet::win::Win32UserInterface ui;
    std::unique_ptr<quillet::win::MainDialog> dialog;
    std::filesystem::path directory;
    if (arguments.chooseFolder && !arguments.folder) {
        // Asked again after a folder without device files, until one opens or the person
        // cancels.
        auto state = quillet::startUpAskingAgain(
            [&] {
                auto chosen = chooseFolder();
                if (chosen) {
                    directory = *chosen;
                }
                return chosen;
            },
            ui, quillet::win::rememberedTimeZone());
        if (!state) {
            return 0;
        }
        dialog = quillet::win::MainDialog::create(instance, std::move(state), ui, true);
    } else {
        std::error_code error;
        directory = arguments.folder ? std::filesystem::absolute(*arguments.folder, error)
                                     : std::filesystem::current_path(error);
        dialog = quillet::win::openMainDialog(instance, directory, ui);
    }
    if (!dialog) {
        return 0;  // no device file: the reason has been shown
    }
    quillet::win::rememberFolder(directory);
    dialog->onFolderOpened = &quillet::win::rememberFolder;
    dialog->onClosing = &quillet::win::rememberPlacement;
    ui.setOwner(dialog->handle());
    if (const auto placement = quillet::win::lastPlacement()) {
        WINDOWPLACEMENT restored = *placement;
        restored.showCmd = show == SW_SHOWMINIMIZED || show == SW_MINIMIZE ? show : SW_SHOWNORMAL;
        SetWindowPlacement(dialog->handle(), &restored);
    } else {
        ShowWindow(dialog->handle(), show);
    }
    return quillet::win::runMessageLoop(*dialog);
}
