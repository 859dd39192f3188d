// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_ui.h"

#include <istream>
#include <ostream>
#include <string>

#include "confirmation.h"
#include "text/translation.h"

namespace quillet::cli {

void CliUi::report(std::string_view text) {
    err_ << kMessagePrefix << text << '\n' << std::flush;
}

Answer CliUi::showMessage(std::string_view text, std::string_view, Buttons buttons, Icon) {
    if (buttons == Buttons::Ok) {
        report(text);
        return Answer::Ok;
    }
    switch (confirmation_) {
        case Confirmation::Assumed:
            return Answer::Ok;
        case Confirmation::Ask: {
            // The prompt goes out in one write, so that a terminal's echo of an answer
            // typed ahead lands before or after it, never inside it.
            std::string prompt(kMessagePrefix);
            prompt.append(text).append(" [y/N] ");
            err_ << prompt << std::flush;
            std::string answer;
            if (std::getline(in_, answer)) {
                if (!answer.empty() && answer.back() == '\r') {
                    answer.pop_back();
                }
                if (isConfirmingAnswer(answer)) {
                    return Answer::Ok;
                }
            } else {
                err_ << '\n';
            }
            break;
        }
        case Confirmation::Impossible:
            report(
                fillIn(translate("{1} (no terminal to answer on: give --yes to confirm)"), {text}));
            break;
    }
    declined_ = true;
    return Answer::Cancel;
}

std::optional<std::filesystem::path> CliUi::askSavePath(const SaveDialogRequest&) {
    return savePath_;
}

}  // namespace quillet::cli
