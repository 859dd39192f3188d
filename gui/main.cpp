// SPDX-License-Identifier: GPL-3.0-or-later
// quillet: the window over the device files of a folder, by default the working
// directory.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QTabBar>
#include <QTableView>
#include <cstdio>
#include <filesystem>

#include "app/open_folder.h"
#include "app_icon.h"
#include "main_window.h"
#include "map/map_source.h"
#include "preview_window.h"
#include "qt_user_interface.h"
#include "start_folder.h"
#include "text/translation.h"
#include "time_zone_menu.h"
#include "window_language.h"

namespace {

// Hidden option for the documentation: `--screenshot DIR` saves each tab of the window
// as DIR/waypoints.png (filtered by name) and DIR/tracks.png, the preview of every track as
// DIR/preview.png, and ends the program. With QUILLET_SCREENSHOT_MAP set to a map
// setting ("url:http://127.0.0.1:PORT/{z}/{x}/{y}.png" of a loopback server), the
// preview over that map is saved as DIR/preview-map.png as well.
int saveScreenshots(quillet::gui::MainWindow& window, const QString& directory) {
    window.show();
    QTabBar* tabs = window.tabBar();
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        const bool waypoints = index == 0 && window.state().waypointTab == 0;
        if (waypoints) {
            // The filter in use, with the rows it shows selected.
            window.filterField()->setText(QStringLiteral("монастырь"));
            window.listView()->selectAll();
        }
        QApplication::processEvents();
        const QString name =
            waypoints ? QStringLiteral("waypoints.png") : QStringLiteral("tracks.png");
        if (!window.grab().save(QDir(directory).filePath(name))) {
            return 1;
        }
    }
    if (const std::optional<int> tracks = window.state().tracksTab) {
        tabs->setCurrentIndex(*tracks);
        window.listView()->selectAll();
        window.showPreview();
        QApplication::processEvents();
        if (!window.previewWindow()->grab().save(QDir(directory).filePath("preview.png"))) {
            return 1;
        }
        if (const QByteArray setting = qgetenv("QUILLET_SCREENSHOT_MAP"); !setting.isEmpty()) {
            window.previewWindow()->setMapSource(
                quillet::map::mapSourceOfSetting(setting.toStdString()));
            window.previewWindow()->update();
            // The tiles come from the server while the events run.
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < 3000) {
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            }
            if (!window.previewWindow()->grab().save(QDir(directory).filePath("preview-map.png"))) {
                return 1;
            }
        }
    }
    return 0;
}

std::optional<QString> chooseFolder(const QString& startIn) {
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr,
        QCoreApplication::translate("quillet::gui::WindowArguments",
                                    "Choose the folder of the device files"),
        startIn);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    quillet::startTranslations(quillet::catalogueFolder());
    const quillet::gui::WindowTranslations translations(quillet::gui::windowLanguage());
    QApplication::setWindowIcon(quillet::gui::applicationIcon());
    const quillet::gui::WindowArguments arguments =
        quillet::gui::parseWindowArguments(QApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "quillet: %s\n%s", qPrintable(arguments.error),
                     qPrintable(quillet::gui::windowUsage()));
        return 2;
    }
    if (arguments.help || arguments.version) {
        std::fputs(
            arguments.help ? qPrintable(quillet::gui::windowUsage()) : quillet::gui::kWindowVersion,
            stdout);
        return 0;
    }

    quillet::gui::QtUserInterface ui;
    std::unique_ptr<quillet::gui::MainWindow> window;
    std::filesystem::path directory;
    if (arguments.chooseFolder && !arguments.folder) {
        // Asked again after a folder without device files, until one opens or the person
        // cancels.
        const auto ask = [&]() -> std::optional<std::filesystem::path> {
            auto chosen =
                quillet::gui::startFolder(arguments, chooseFolder, quillet::gui::lastFolder());
            if (chosen) {
                directory = *chosen;
            }
            return chosen;
        };
        auto state = quillet::startUpAskingAgain(ask, ui, quillet::gui::rememberedTimeZone());
        if (!state) {
            return 0;  // the person cancelled the folder chooser
        }
        window = std::make_unique<quillet::gui::MainWindow>(std::move(state), ui);
    } else {
        const auto chosen =
            quillet::gui::startFolder(arguments, chooseFolder, quillet::gui::lastFolder());
        if (!chosen) {
            return 0;
        }
        directory = *chosen;
        window = quillet::gui::openMainWindow(directory, ui);
        if (!window) {
            return 0;  // no device file: the reason has been shown
        }
    }
    ui.setParentWidget(window.get());
    if (arguments.screenshotDirectory) {
        return saveScreenshots(*window, *arguments.screenshotDirectory);
    }
    quillet::gui::rememberFolder(directory);
    QObject::connect(window.get(), &quillet::gui::MainWindow::folderOpened,
                     &quillet::gui::rememberFolder);
    window->restoreGeometry(quillet::gui::lastWindowGeometry());
    window->show();
    const int status = QApplication::exec();
    quillet::gui::rememberWindowGeometry(window->saveGeometry());
    return status;
}
