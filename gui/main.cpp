// quillet: the window over the device files of a folder, by default the working
// directory.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPixmap>
#include <QTabBar>
#include <QTableView>
#include <cstdio>
#include <filesystem>

#include "app_icon.h"
#include "main_window.h"
#include "preview_window.h"
#include "qt_user_interface.h"
#include "start_folder.h"

namespace {

// Hidden option for the documentation: `--screenshot DIR` saves each tab of the window
// as DIR/waypoints.png and DIR/tracks.png, the preview of every track as
// DIR/preview.png, and ends the program.
int saveScreenshots(quillet::gui::MainWindow& window, const QString& directory) {
    window.show();
    QTabBar* tabs = window.tabBar();
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        QApplication::processEvents();
        const QString name = index == 0 && window.state().waypointTab == 0
                                 ? QStringLiteral("waypoints.png")
                                 : QStringLiteral("tracks.png");
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
    }
    return 0;
}

std::optional<QString> chooseFolder(const QString& startIn) {
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr, QStringLiteral("Choose the folder of the device files"), startIn);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(quillet::gui::applicationIcon());
    const quillet::gui::WindowArguments arguments =
        quillet::gui::parseWindowArguments(QApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr, "quillet: %s\n%s", qPrintable(arguments.error),
                     quillet::gui::kWindowUsage);
        return 2;
    }
    if (arguments.help) {
        std::fputs(quillet::gui::kWindowUsage, stdout);
        return 0;
    }
    const auto directory =
        quillet::gui::startFolder(arguments, chooseFolder, quillet::gui::lastFolder());
    if (!directory) {
        return 0;  // the person cancelled the folder chooser
    }

    quillet::gui::QtUserInterface ui;
    auto window = quillet::gui::openMainWindow(*directory, ui);
    if (!window) {
        return 0;  // no device file: the reason has been shown
    }
    ui.setParentWidget(window.get());
    if (arguments.screenshotDirectory) {
        return saveScreenshots(*window, *arguments.screenshotDirectory);
    }
    quillet::gui::rememberFolder(*directory);
    window->show();
    return QApplication::exec();
}
