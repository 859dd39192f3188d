// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_line.h"

#include "wide_text.h"

namespace quillet::win {

WindowArguments parseWindowArguments(const std::vector<std::wstring>& arguments) {
    WindowArguments parsed;
    for (const std::wstring& argument : arguments) {
        if (argument == L"--choose-folder") {
            parsed.chooseFolder = true;
        } else if (argument == L"--help" || argument == L"-h" || argument == L"/?") {
            parsed.help = true;
        } else if (argument == L"--version") {
            parsed.version = true;
        } else if (argument.size() > 1 && argument[0] == L'-') {
            parsed.error = fillIn(translate("unknown option \"{1}\""), {toUtf8(argument)});
        } else if (parsed.folder) {
            parsed.error = translate("give one folder only");
        } else {
            parsed.folder = std::filesystem::path(argument);
        }
    }
    return parsed;
}

}  // namespace quillet::win
