// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "ui/user_interface.h"

namespace quillet::cli {

inline constexpr std::string_view kProgramName = "quillet-cli";
inline constexpr std::string_view kMessagePrefix = "quillet-cli: ";

// How a question (a message with OK and Cancel) gets its answer.
enum class Confirmation {
    Assumed,     // --yes: every question is answered OK without being shown
    Ask,         // a terminal: the question is asked, "y" or "yes" in any letter case is OK
    Impossible,  // no terminal and no --yes: every question is answered Cancel
};

// The core's port on the command line: messages go to standard error without their
// caption, the save dialog is answered by the -o FILE of the command line.
class CliUi : public UserInterface {
public:
    CliUi(std::ostream& err, std::istream& in, Confirmation confirmation)
        : err_(err), in_(in), confirmation_(confirmation) {}

    Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                       Icon icon) override;
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) override;
    std::string applicationName() const override { return std::string(kProgramName); }

    void setSavePath(std::filesystem::path path) { savePath_ = std::move(path); }
    // True once a question was answered with Cancel (declined, or no way to ask).
    bool questionDeclined() const { return declined_; }

    // Prints "quillet-cli: " and the text on standard error.
    void report(std::string_view text);

private:
    std::ostream& err_;
    std::istream& in_;
    Confirmation confirmation_;
    std::optional<std::filesystem::path> savePath_;
    bool declined_ = false;
};

}  // namespace quillet::cli
