// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fake_ui.h"

namespace quillet::testing {

std::ostream& operator<<(std::ostream& out, const MessageCall& call) {
    return out << "{\"" << call.text << "\", \"" << call.caption << "\", buttons "
               << static_cast<int>(call.buttons) << ", icon " << static_cast<int>(call.icon) << "}";
}

MessageCall titledMessage(std::string_view text, Buttons buttons, Icon icon) {
    return MessageCall{std::string(text), std::string(kTitleText), buttons, icon};
}

Answer FakeUi::showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                           Icon icon) {
    calls.emplace_back(MessageCall{std::string(text), std::string(caption), buttons, icon});
    if (answers.empty()) {
        return Answer::Ok;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

Answer FakeUi::askWithHistoryBox(std::string_view text, std::string_view caption, bool& keep) {
    ++historyBoxesShown;
    if (!historyBoxes.empty()) {
        keep = historyBoxes.front();
        historyBoxes.pop_front();
    }
    return showMessage(text, caption, Buttons::OkCancel, Icon::Exclamation);
}

std::optional<std::filesystem::path> FakeUi::askSavePath(const SaveDialogRequest& request) {
    calls.emplace_back(request);
    if (savePaths.empty()) {
        return std::nullopt;
    }
    auto path = savePaths.front();
    savePaths.pop_front();
    return path;
}

std::vector<MessageCall> FakeUi::messages() const {
    std::vector<MessageCall> result;
    for (const auto& call : calls) {
        if (const auto* message = std::get_if<MessageCall>(&call)) {
            result.push_back(*message);
        }
    }
    return result;
}

std::vector<std::string> FakeUi::messageTexts() const {
    std::vector<std::string> result;
    for (const auto& message : messages()) {
        result.push_back(message.text);
    }
    return result;
}

std::vector<SaveDialogRequest> FakeUi::saveRequests() const {
    std::vector<SaveDialogRequest> result;
    for (const auto& call : calls) {
        if (const auto* request = std::get_if<SaveDialogRequest>(&call)) {
            result.push_back(*request);
        }
    }
    return result;
}

}  // namespace quillet::testing
