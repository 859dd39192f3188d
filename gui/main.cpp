// quillet: the window over the device files of the working directory.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabBar>
#include <filesystem>
#include <system_error>

#include "app_icon.h"
#include "main_window.h"
#include "qt_user_interface.h"

namespace {

// Hidden option for the documentation: `--screenshot DIR` saves each tab of the window
// as DIR/waypoints.png and DIR/tracks.png and ends the program.
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
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(quillet::gui::applicationIcon());
    const QStringList arguments = QApplication::arguments();
    const bool screenshots = arguments.size() == 3 && arguments[1] == "--screenshot";

    quillet::gui::QtUserInterface ui;
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    auto window = quillet::gui::openMainWindow(directory, ui);
    if (!window) {
        return 0;  // no device file: the reason has been shown
    }
    ui.setParentWidget(window.get());
    if (screenshots) {
        return saveScreenshots(*window, arguments[2]);
    }
    window->show();
    return QApplication::exec();
}
