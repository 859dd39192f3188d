// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the reference device folders of tests/data/ and the list texts that a fill of
// each view gives for them:
//   quillet-testdata DIR    (DIR is usually tests/data)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "app/fill_list.h"
#include "app/startup.h"
#include "encoder/reference_folders.h"
#include "ui/user_interface.h"
#include "views/list_text.h"

namespace {

// Answers every question with OK and reports the messages on standard error.
class ReportingUi : public quillet::UserInterface {
public:
    quillet::Answer showMessage(std::string_view text, std::string_view, quillet::Buttons,
                                quillet::Icon) override {
        std::cerr << "  message: " << text << '\n';
        return quillet::Answer::Ok;
    }
    std::optional<std::filesystem::path> askSavePath(const quillet::SaveDialogRequest&) override {
        return std::nullopt;
    }
    std::string applicationName() const override { return "quillet-testdata"; }
};

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// The list text of every view the folder offers, in the order of its tabs.
void writeExpectedTexts(const std::filesystem::path& folder) {
    ReportingUi ui;
    std::unique_ptr<quillet::AppState> state = quillet::startUp(folder, ui);
    if (!state) {
        return;
    }
    for (int tab = 0; tab < static_cast<int>(state->tabs.size()); ++tab) {
        quillet::switchToTab(*state, ui, tab);
        const auto view = quillet::currentView(*state);
        if (!view) {
            continue;
        }
        const char* name = *view == quillet::ViewKind::Waypoints ? "expected-waypoints.txt"
                                                                 : "expected-tracks.txt";
        writeText(folder / name, quillet::listingText(state->list));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: quillet-testdata DIR\n", stderr);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    for (const auto& folder : quillet::encoder::referenceFolders()) {
        std::cerr << folder.name << '\n';
        quillet::encoder::writeReferenceFolder(directory, folder);
        writeExpectedTexts(directory / folder.name);
    }
    return 0;
}
