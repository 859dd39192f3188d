// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include "text/translation.h"

namespace quillet {

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Exclamation, Error };
enum class Answer { Ok, Cancel };

struct SaveDialogRequest {
    std::string defaultName;       // "WayPoint.gpx" or "Track.gpx"
    std::string filter;            // "GPS Exchange (*.gpx)"
    std::string defaultExtension;  // "gpx"
    friend bool operator==(const SaveDialogRequest&, const SaveDialogRequest&) = default;
};

// Everything the core needs of the person: message boxes, the save dialog and the
// application's file name. The window, the command line and the tests implement it.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual Answer showMessage(std::string_view text, std::string_view caption, Buttons buttons,
                               Icon icon) = 0;
    // The chosen path, or nothing when the person cancelled.
    virtual std::optional<std::filesystem::path> askSavePath(const SaveDialogRequest& request) = 0;
    // The program file's name without its extension.
    virtual std::string applicationName() const = 0;

    // A question with OK and Cancel and a box, kKeepInHistoryText, that `keep` ticks or
    // not at first and that it tells afterwards. Where no box can be shown, the question
    // is asked alone and `keep` stays.
    virtual Answer askWithHistoryBox(std::string_view text, std::string_view caption, bool& keep) {
        static_cast<void>(keep);
        return showMessage(text, caption, Buttons::OkCancel, Icon::Exclamation);
    }
};

inline constexpr std::string_view kKeepInHistoryText =
    QUILLET_TEXT("Keep the current file in the history");

inline constexpr std::string_view kTitleText = "Quillet  1.0";

}  // namespace quillet
