// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "support/temp_dir.h"
#include "ui/user_interface.h"

namespace quillet::testing {

struct MessageCall {
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    friend bool operator==(const MessageCall&, const MessageCall&) = default;
};

std::ostream& operator<<(std::ostream& out, const MessageCall& call);

// A message box as the program shows its own: the title text as caption.
MessageCall titledMessage(std::string_view text, Buttons buttons, Icon icon);

// The UserInterface port, scripted: every call is recorded in order; message boxes are
// answered from `answers` (Ok once it is empty), save dialogs from `savePaths`
// (cancelled once it is empty).
class FakeUi : public UserInterface {
public:
    using Call = std::variant<MessageCall, SaveDialogRequest>;

    std::deque<Answer> answers;
    std::deque<std::optional<std::filesystem::path>> savePaths;
    std::string name = "quillet";  // what applicationName() returns
    std::vector<Call> calls;

    Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                       Icon icon) override;
    std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) override;
    std::string applicationName() const override { return name; }
    // Recorded as the message it asks; the box is left as `historyBoxes` says (as it
    // was, once that is empty).
    Answer askWithHistoryBox(std::string_view text, std::string_view caption, bool& keep) override;
    std::deque<bool> historyBoxes;
    int historyBoxesShown = 0;

    // The recorded calls of one kind, in order.
    std::vector<MessageCall> messages() const;
    std::vector<std::string> messageTexts() const;
    std::vector<SaveDialogRequest> saveRequests() const;

private:
    // A program that only fakes the person gets a private history too.
    bool privateHistory_ = (usePrivateHistoryHome(), true);
};

}  // namespace quillet::testing
