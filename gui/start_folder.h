// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>

namespace quillet::gui {

// What the window's command line asks for: `quillet [--choose-folder] [FOLDER]`.
struct WindowArguments {
    std::optional<QString> folder;
    // Started from the desktop menu: without a folder, ask for one first.
    bool chooseFolder = false;
    bool help = false;     // --help: show the usage and end
    bool version = false;  // --version: show the version and end
    // Hidden, for the documentation: save a picture of each tab there and end.
    std::optional<QString> screenshotDirectory;
    // Not empty when the command line is wrong: what is wrong with it.
    QString error;
};

inline constexpr const char* kWindowUsage =
    QT_TRANSLATE_NOOP("quillet::gui::WindowArguments",
                      "Usage: quillet [--choose-folder] [FOLDER]\n"
                      "Opens the GPS device files of FOLDER, by default of the working directory.\n"
                      "  --choose-folder  ask for the folder, again until one holds device files\n"
                      "  --help           show this text and end\n"
                      "  --version        show the version and end\n");
inline constexpr const char* kWindowVersion = "quillet 1.0\n";

// kWindowUsage in the person's language.
QString windowUsage();

// The arguments after the program name.
WindowArguments parseWindowArguments(const QStringList& arguments);

// Shows a folder chooser opened at `startIn`; nothing when the person cancels.
using FolderChooser = std::function<std::optional<QString>(const QString& startIn)>;

// The folder to open: the one given, else the chooser's when asked for (opened at the
// last folder used), else the working directory. Nothing when the chooser was cancelled.
std::optional<std::filesystem::path> startFolder(const WindowArguments& arguments,
                                                 const FolderChooser& choose,
                                                 const QString& lastFolder);

// The last folder a window was opened on, kept in the person's settings; empty when
// there is none yet.
QString lastFolder();
void rememberFolder(const std::filesystem::path& folder);

// The window's size and position when it was last closed; empty when there is none.
QByteArray lastWindowGeometry();
void rememberWindowGeometry(const QByteArray& geometry);

}  // namespace quillet::gui
