// SPDX-License-Identifier: GPL-3.0-or-later
// The window over the core, driven as a person would: tabs, headings, keys, resizing,
// the command buttons and the About box. Dialogs are replaced by the scripted port.

#include <sqlite3.h>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "dialog_units.h"
#include "encoder/device_encoder.h"
#include "history_dialog.h"
#include "main_window.h"
#include "map/tile_cache.h"
#include "map_tiles.h"
#include "preview/map_layer.h"
#include "preview_window.h"
#include "qt_user_interface.h"
#include "start_folder.h"
#include "support/fake_ui.h"
#include "text/translation.h"
#include "time_zone_menu.h"
#include "views/list_text.h"
#include "window_language.h"
#include "window_status.h"

using quillet::AppState;
using quillet::gui::HistoryDialog;
using quillet::gui::MainWindow;
using quillet::testing::FakeUi;

namespace {

// Device files without records, as the encoder writes them: enough for their tabs.
void writeEmptyDeviceFile(const QDir& folder, const QString& name) {
    namespace enc = quillet::encoder;
    const std::filesystem::path path = folder.filePath(name).toStdString();
    if (name == "GARMIN_WPT.NVM") {
        enc::writeFile(path, enc::encodeWaypointFile({}));
    } else if (name == "GARMIN_ATRK.NVM") {
        enc::writeFile(path, enc::encodeActiveTrackFile({}));
    } else {
        enc::writeFile(path, enc::encodeSavedTracksFile({}));
    }
}

// A device folder with three waypoints, two saved tracks and an active track.
void writeDeviceFolder(const QDir& folder) {
    namespace enc = quillet::encoder;
    const auto path = [&](const char* name) {
        return std::filesystem::path(folder.filePath(name).toStdString());
    };
    enc::WaypointFile waypoints;
    for (const char* name : {"Bravo", "alpha", "Charlie"}) {
        waypoints.bodies.push_back(enc::encodeWaypointBody(
            {.latitudeCode = enc::waypointLatitudeCode(56.7),
             .longitudeCode = enc::waypointLongitudeCode(38.8),
             .name = name,
             .timeWord = enc::waypointTimeWord(enc::deviceTimeOf(2010, 6, 29, 14, 3, 7))}));
    }
    enc::writeFile(path("GARMIN_WPT.NVM"), enc::encodeWaypointFile(waypoints));

    const enc::PointFields point{.timeField =
                                     enc::trackTimeField(enc::deviceTimeOf(2011, 5, 1, 10, 0, 0))};
    enc::writeFile(path("GARMIN_ATRK.NVM"), enc::encodeActiveTrackFile({.points = {point}}));
    enc::writeFile(path("GARMIN_STRK.NVM"),
                   enc::encodeSavedTracksFile({.tracks = {{.name = "Lake", .points = {point}},
                                                          {.name = "Town", .points = {point}}}}));
}

// 1,200 waypoints with the widest texts their cells can hold: four-digit numbers, far
// western and southern positions, the longest symbol names.
void writeWideWaypoints(const QDir& folder) {
    namespace enc = quillet::encoder;
    enc::WaypointFile waypoints;
    for (int n = 0; n < 1200; ++n) {
        waypoints.bodies.push_back(enc::encodeWaypointBody(
            {.latitudeCode = enc::waypointLatitudeCode(-88.8888888),
             .longitudeCode = enc::waypointLongitudeCode(-178.8888888 + n % 3),
             .symbol = static_cast<std::uint8_t>(n % 2 == 0 ? 25 : 98),
             .elevationCode = 0xFFFE,
             .name = "W",
             .timeWord = enc::waypointTimeWord(enc::deviceTimeOf(2020, 12, 28, 23, 58, 59))}));
    }
    enc::writeFile(std::filesystem::path(folder.filePath("GARMIN_WPT.NVM").toStdString()),
                   enc::encodeWaypointFile(waypoints));
}

// One tab with "Encoding", "#" and "Name" and four rows, built as a view builds them.
std::unique_ptr<AppState> namedRows() {
    auto state = std::make_unique<AppState>();
    state->tabs = {"Way Points"};
    state->waypointTab = 0;
    auto& list = state->list;
    list.addColumn({"Encoding", quillet::Alignment::Center, 0});
    list.addColumn({"#", quillet::Alignment::Center, 30});
    list.addColumn({"Name", quillet::Alignment::Left, 200});
    const char* names[] = {"Bravo", "alpha", "\xCC\xEE\xF1\xEA\xE2\xE0", "Charlie"};
    for (int number = 1; number <= 4; ++number) {
        list.insertRow();
        list.setItemNumber(0, number);
        char text[12];
        std::snprintf(text, sizeof text, "%2i", number);
        list.setText(0, 1, text);
        list.setText(0, 2, names[number - 1]);
    }
    list.sortRows(1);
    return state;
}

QStringList column(const MainWindow& window, int column) {
    QStringList texts;
    const auto* model = window.listView()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts << model->index(row, column).data().toString();
    }
    return texts;
}

QStringList selectedNames(const MainWindow& window) {
    QStringList names;
    for (const QModelIndex& index : window.listView()->selectionModel()->selectedRows(2)) {
        names << index.data().toString();
    }
    names.sort();
    return names;
}

void select(MainWindow& window, std::initializer_list<int> rows) {
    auto* view = window.listView();
    for (const int row : rows) {
        view->selectionModel()->select(view->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void clickHeading(MainWindow& window, int section) {
    QHeaderView* header = window.listView()->horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

QRect asQRect(const quillet::Rect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

// Russian for as long as it lives, without a Russian locale installed: the core's
// catalogue through gettext (LANGUAGE=ru under C.UTF-8, which glibc always has) and the
// window's and Qt's through the default QLocale. English comes back afterwards.
class RussianLanguage {
public:
    RussianLanguage() : locale_(std::setlocale(LC_ALL, nullptr)) {
        for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            saved_.append({variable, qEnvironmentVariableIsSet(variable), qgetenv(variable)});
            qunsetenv(variable);
        }
        qputenv("LANGUAGE", "ru");
        qputenv("LANG", "C.UTF-8");
        quillet::startTranslations(quillet::catalogueFolder());
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        translations.emplace(quillet::gui::windowLanguage());
    }
    ~RussianLanguage() {
        translations.reset();
        QLocale::setDefault(QLocale::system());
        for (const Saved& variable : saved_) {
            if (variable.set) {
                qputenv(variable.name, variable.value);
            } else {
                qunsetenv(variable.name);
            }
        }
        std::setlocale(LC_ALL, locale_.c_str());
    }
    RussianLanguage(const RussianLanguage&) = delete;
    RussianLanguage& operator=(const RussianLanguage&) = delete;

    std::optional<quillet::gui::WindowTranslations> translations;

private:
    struct Saved {
        const char* name;
        bool set;
        QByteArray value;
    };
    std::string locale_;
    QList<Saved> saved_;
};

}  // namespace

// The test's own folders for the settings and the tile cache.
struct MapFolders {
    QTemporaryDir dir;
    MapFolders() { use(dir); }
    static void use(const QTemporaryDir& dir) {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.filePath("config"));
        qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    }
};

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // No window of these tests reads the person's settings or tile cache: a map chosen
    // there would send requests off this machine.
    void initTestCase() { MapFolders::use(shared_.dir); }
    void startUpDecidesTheTabs_data();
    void startUpDecidesTheTabs();
    void controlsStandWhereTheTemplatePutsThem();
    void resizeAnchorsListAndButtons();
    void columnWidthsFollowTheFontAndHoldTheirTexts();
    void sortIndicatorFollowsTheLastClick();
    void keysWorkAsInAList();
    void copyPutsTheSelectedRowsAsListedOnTheClipboard();
    void folderArgumentDecidesTheFolder();
    void enterAndEscNeitherCloseNorPress();
    void headingClickSortsTheShownRows();
    void sortKeepsTheSelectionWithItsRows();
    void listShowsTheViewsColumnsAndUtf8Texts();
    void commandsSeeTheSelectedRows();
    void aboutOpensFromF1AndTheContextMenu();
    void timeZoneMenuShowsTheTimesInTheChosenZone();
    void tabsShowTheirViews();
    void previewOpensFromSpaceAndFollowsTheSelection();
    void previewDrawsTilesFromAServerThroughTheCache();
    void previewDrawsMbTilesInBothSchemes_data();
    void previewDrawsMbTilesInBothSchemes();
    void makeGpxWritesTheSelectedRows();
    void deleteRemovesTheSelectedRecords();
    void historyRestoresAVersionAndRefillsBothLists();
    void theQuestionCarriesTheHistoryBox();
    void openFilterSelectAllAndDeleteKeepTheHiddenRows();
    void messageBoxesShowCaptionIconAndButtons_data();
    void messageBoxesShowCaptionIconAndButtons();
    void saveDialogOffersTheDefaultNameAndGpxFilter();
    void windowSpeaksThePersonsLanguage();

private:
    MapFolders shared_;
};

void MainWindowTest::startUpDecidesTheTabs_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("tabs");
    const QString wpt = "GARMIN_WPT.NVM", atrk = "GARMIN_ATRK.NVM", strk = "GARMIN_STRK.NVM";
    const QString waypoints = "Way Points", tracks = "Tracks";
    QTest::newRow("none") << QStringList{} << QStringList{};
    QTest::newRow("waypoints") << QStringList{wpt} << QStringList{waypoints};
    QTest::newRow("active track") << QStringList{atrk} << QStringList{tracks};
    QTest::newRow("saved tracks") << QStringList{strk} << QStringList{tracks};
    QTest::newRow("both track files") << QStringList{atrk, strk} << QStringList{tracks};
    QTest::newRow("waypoints, active") << QStringList{wpt, atrk} << QStringList{waypoints, tracks};
    QTest::newRow("waypoints, saved") << QStringList{wpt, strk} << QStringList{waypoints, tracks};
    QTest::newRow("all") << QStringList{wpt, atrk, strk} << QStringList{waypoints, tracks};
}

void MainWindowTest::startUpDecidesTheTabs() {
    QFETCH(QStringList, files);
    QFETCH(QStringList, tabs);
    QTemporaryDir folder;
    for (const QString& file : files) {
        writeEmptyDeviceFile(QDir(folder.path()), file);
    }
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);

    if (tabs.isEmpty()) {
        // No window at all: the core has said why, and the program ends.
        QVERIFY(window == nullptr);
        QCOMPARE(ui.messageTexts(),
                 std::vector<std::string>{"Unable to open any NVM file. Terminated"});
        return;
    }
    QVERIFY(window != nullptr);
    QVERIFY(ui.calls.empty());
    QCOMPARE(window->windowTitle(), QString("Quillet  1.0"));
    QStringList shown;
    for (int index = 0; index < window->tabBar()->count(); ++index) {
        shown << window->tabBar()->tabText(index);
    }
    QCOMPARE(shown, tabs);
    QCOMPARE(window->tabBar()->currentIndex(), 0);

    // Every tab change reaches the core and refills the list for that tab.
    if (tabs.size() == 2) {
        window->tabBar()->setCurrentIndex(1);
        QCOMPARE(window->state().currentTab, 1);
        window->tabBar()->setCurrentIndex(0);
        QCOMPARE(window->state().currentTab, 0);
    }
}

void MainWindowTest::controlsStandWhereTheTemplatePutsThem() {
    // The dialog-unit rule on its own: x * baseX / 4 and y * baseY / 8, rounded.
    const quillet::gui::DialogBaseUnits base{.x = 6, .y = 13};
    QCOMPARE(quillet::gui::dialogRect(7, 33, 345, 160, base), QRect(11, 54, 518, 260));
    QCOMPARE(quillet::gui::dialogSize(359, 200, base), QSize(539, 325));

    FakeUi ui;
    MainWindow window(namedRows(), ui);
    const auto units = quillet::gui::dialogBaseUnits(window.fontMetrics());
    QVERIFY(units.x > 0 && units.y > 0);
    // The template's client area with the status bar below it.
    QCOMPARE(window.size(), quillet::gui::dialogSize(359, 200, units) +
                                QSize(0, window.statusBar()->sizeHint().height()));
    QCOMPARE(window.tabBar()->pos(), quillet::gui::dialogRect(7, 21, 171, 45, units).topLeft());
    QCOMPARE(window.listView()->geometry(), quillet::gui::dialogRect(7, 33, 345, 160, units));
    QCOMPARE(window.makeGpxButton()->geometry(), quillet::gui::dialogRect(302, 7, 50, 14, units));
    QCOMPARE(window.deleteButton()->geometry(), quillet::gui::dialogRect(249, 7, 50, 14, units));
    QCOMPARE(window.makeGpxButton()->text(), QString("Make GPX"));
    QCOMPARE(window.deleteButton()->text(), QString("Delete"));
    QVERIFY(window.layoutGeometry().has_value());
}

void MainWindowTest::resizeAnchorsListAndButtons() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto geometry = *window.layoutGeometry();
    const QRect tabs = window.tabBar()->geometry();

    // Made very small, the window stops at a size that keeps both buttons clear of the
    // tab headers and a few rows in view.
    const QSize smallest = window.minimumSize();
    QVERIFY(smallest.width() < window.width() && smallest.height() < window.height());
    for (const QSize asked : {window.size() + QSize(150, 90), QSize(60, 40)}) {
        const QSize size = asked.expandedTo(smallest);
        window.resize(asked);
        QTRY_COMPARE(window.size(), size);
        const auto expected = quillet::relayout(
            geometry, quillet::Size{.width = size.width(), .height = size.height()});
        QCOMPARE(window.listView()->geometry(), asQRect(expected.list));
        QCOMPARE(window.makeGpxButton()->geometry(), asQRect(expected.makeGpx));
        QCOMPARE(window.deleteButton()->geometry(), asQRect(expected.remove));
        QCOMPARE(window.tabBar()->geometry(), tabs);
    }
    QVERIFY(window.deleteButton()->x() >= tabs.x() + window.tabBar()->sizeHint().width());
    QVERIFY(window.listView()->viewport()->height() >=
            3 * window.listView()->verticalHeader()->defaultSectionSize());
}

void MainWindowTest::columnWidthsFollowTheFontAndHoldTheirTexts() {
    // The views' widths are for a font whose characters are 6 pixels wide.
    QCOMPARE(quillet::gui::columnWidthInPixels(90, 12), 180);
    QCOMPARE(quillet::gui::columnWidthInPixels(0, 12), 0);
    QCOMPARE(quillet::gui::columnWidthInPixels(30, 7), 35);

    QTemporaryDir folder;
    writeWideWaypoints(QDir(folder.path()));
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    QTableView* view = window->listView();
    QHeaderView* header = view->horizontalHeader();
    const int unit = quillet::gui::columnCharacterWidth(view->fontMetrics());
    QVERIFY(unit >= quillet::gui::dialogBaseUnits(view->fontMetrics()).x);
    QCOMPARE(header->sectionSize(0), 0);
    QCOMPARE(header->sectionSize(3), quillet::gui::columnWidthInPixels(120, unit));
    // Every cell but the names (which may be 124 bytes long) shows whole, inside the
    // margins the view keeps on both sides.
    const QFontMetrics metrics(view->font());
    const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const auto* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        for (int column = 1; column < model->columnCount(); ++column) {
            const QString text = model->index(row, column).data().toString();
            if (column != 2 && !text.isEmpty()) {
                QVERIFY2(metrics.horizontalAdvance(text) + margins <= header->sectionSize(column),
                         qPrintable(text));
            }
        }
    }
    QVERIFY(column(*window, 1).contains("1200"));
}

void MainWindowTest::sortIndicatorFollowsTheLastClick() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QHeaderView* header = window.listView()->horizontalHeader();
    QVERIFY(header->isSortIndicatorShown());
    // After the fill: by "#", ascending.
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeading(window, 2);
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeading(window, 2);
    QCOMPARE(header->sortIndicatorSection(), 2);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // The indicator only shows the core's sort: the rows are those of the core.
    QCOMPARE(column(window, 2).first(), QString::fromUtf8("Москва"));
}

void MainWindowTest::keysWorkAsInAList() {
    FakeUi ui;
    ui.answers = {quillet::Answer::Cancel};
    MainWindow window(namedRows(), ui);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTableView* view = window.listView();
    view->setFocus();
    // No row selected: both buttons say what they need.
    QCOMPARE(window.makeGpxButton()->toolTip(), QString("Select rows first"));
    QCOMPARE(window.deleteButton()->statusTip(), QString("Select rows first"));

    view->setCurrentIndex(view->model()->index(1, 2));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int row;
    } moves[] = {{Qt::Key_End, Qt::NoModifier, 3},
                 {Qt::Key_Home, Qt::NoModifier, 0},
                 {Qt::Key_End, Qt::ControlModifier, 3},
                 {Qt::Key_Home, Qt::ControlModifier, 0}};
    for (const auto& move : moves) {
        QTest::keyClick(view, move.key, move.modifiers);
        QCOMPARE(view->currentIndex().row(), move.row);
        QCOMPARE(view->currentIndex().column(), 2);  // never across the columns
    }

    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 4);
    QCOMPARE(window.deleteButton()->toolTip(), QString());

    // Delete is the Delete button: the question is asked for the selected rows.
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(ui.calls.size(), std::size_t{1});
    QCOMPARE(window.state().list.selectedCount(), std::size_t{4});
}

void MainWindowTest::copyPutsTheSelectedRowsAsListedOnTheClipboard() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    // Nothing selected: nothing copied.
    QTest::keyClick(window.listView(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QString("before"));

    select(window, {3, 1});
    QTest::keyClick(window.listView(), Qt::Key_C, Qt::ControlModifier);
    // The heading line and the rows' lines of the listing, in list order.
    const QStringList listing =
        QString::fromStdString(quillet::listingText(window.state().list)).split('\n');
    QCOMPARE(clipboard->text(), listing[0] + '\n' + listing[2] + '\n' + listing[4] + '\n');
    QCOMPARE(listing[2], QString("\t 2\talpha"));
}

void MainWindowTest::enterAndEscNeitherCloseNorPress() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy makeGpx(window.makeGpxButton(), &QPushButton::clicked);
    QSignalSpy remove(window.deleteButton(), &QPushButton::clicked);
    // Nor do they reach the list, which would take Enter as activating its current row.
    QSignalSpy activated(window.listView(), &QAbstractItemView::activated);
    window.listView()->setCurrentIndex(window.listView()->model()->index(1, 2));

    for (QWidget* focus :
         {static_cast<QWidget*>(window.listView()), static_cast<QWidget*>(window.makeGpxButton()),
          static_cast<QWidget*>(window.deleteButton())}) {
        focus->setFocus();
        for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(focus, key);
        }
    }
    QVERIFY(window.isVisible());
    QCOMPARE(makeGpx.count(), 0);
    QCOMPARE(remove.count(), 0);
    QCOMPARE(activated.count(), 0);
    QVERIFY(ui.calls.empty());
}

void MainWindowTest::headingClickSortsTheShownRows() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString moscow = QString::fromUtf8("Москва");
    QCOMPARE(column(window, 2), (QStringList{"Bravo", "alpha", moscow, "Charlie"}));

    // Byte order: capitals, small letters, then the code page's letters.
    clickHeading(window, 2);
    QCOMPARE(column(window, 2), (QStringList{"Bravo", "Charlie", "alpha", moscow}));
    clickHeading(window, 2);
    QCOMPARE(column(window, 2), (QStringList{moscow, "alpha", "Charlie", "Bravo"}));
    // The number column is a new column now: ascending again.
    clickHeading(window, 1);
    QCOMPARE(column(window, 1), (QStringList{" 1", " 2", " 3", " 4"}));
    clickHeading(window, 1);
    QCOMPARE(column(window, 1), (QStringList{" 4", " 3", " 2", " 1"}));
    QCOMPARE(window.state().list.sortColumn(), 1);
}

void MainWindowTest::sortKeepsTheSelectionWithItsRows() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The person's own width for "Name", and "alpha" and "Charlie" selected.
    window.listView()->horizontalHeader()->resizeSection(2, 120);
    select(window, {1, 3});

    clickHeading(window, 2);
    QCOMPARE(column(window, 2).mid(1, 2), (QStringList{"Charlie", "alpha"}));
    QCOMPARE(selectedNames(window), (QStringList{"Charlie", "alpha"}));
    const auto& list = window.state().list;
    QVERIFY(!list.isSelected(0) && list.isSelected(1) && list.isSelected(2) && !list.isSelected(3));
    QCOMPARE(window.listView()->horizontalHeader()->sectionSize(2), 120);
}

void MainWindowTest::listShowsTheViewsColumnsAndUtf8Texts() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    QHeaderView* header = window.listView()->horizontalHeader();
    const auto* model = window.listView()->model();
    QCOMPARE(header->count(), 3);
    // The zero-wide column is there, not hidden, and can be dragged open.
    QCOMPARE(header->sectionSize(0), 0);
    QVERIFY(!header->isSectionHidden(0));
    const int unit = quillet::gui::columnCharacterWidth(window.listView()->fontMetrics());
    QCOMPARE(header->sectionSize(1), quillet::gui::columnWidthInPixels(30, unit));
    QCOMPARE(header->sectionSize(2), quillet::gui::columnWidthInPixels(200, unit));
    header->resizeSection(0, 40);
    QCOMPARE(header->sectionSize(0), 40);

    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("#"));
    const auto alignment = [&](const QVariant& value) {
        return value.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)),
             Qt::AlignHCenter);
    QCOMPARE(alignment(model->index(0, 1).data(Qt::TextAlignmentRole)), Qt::AlignHCenter);
    QCOMPARE(alignment(model->index(0, 2).data(Qt::TextAlignmentRole)), Qt::AlignLeft);
    QCOMPARE(model->index(2, 2).data().toString(), QString::fromUtf8("Москва"));
    QVERIFY(!(model->flags(model->index(0, 2)) & Qt::ItemIsEditable));

    // A double click changes nothing.
    auto* view = window.listView();
    const QRect cell = view->visualRect(model->index(1, 2));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(column(window, 2).at(1), QString("alpha"));
    QVERIFY(ui.calls.empty());
}

void MainWindowTest::commandsSeeTheSelectedRows() {
    // The person cancels the save dialog and the confirmation: only the flags count here.
    FakeUi ui;
    ui.answers = {quillet::Answer::Cancel};
    MainWindow window(namedRows(), ui);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto& list = window.state().list;

    select(window, {0, 2});
    QTest::mouseClick(window.makeGpxButton(), Qt::LeftButton);
    QVERIFY(list.isSelected(0) && !list.isSelected(1) && list.isSelected(2) && !list.isSelected(3));

    window.listView()->clearSelection();
    select(window, {3});
    QTest::mouseClick(window.deleteButton(), Qt::LeftButton);
    QVERIFY(!list.isSelected(0) && !list.isSelected(1) && !list.isSelected(2) &&
            list.isSelected(3));
}

void MainWindowTest::aboutOpensFromF1AndTheContextMenu() {
    FakeUi ui;
    MainWindow window(namedRows(), ui);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(window.actions().contains(window.aboutAction()));
    QCOMPARE(window.aboutAction()->text(), QString("&About..."));
    QCOMPARE(window.contextMenuPolicy(), Qt::ActionsContextMenu);

    QString caption;
    QStringList lines;
    const auto closeAbout = [&] {
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box != nullptr);
            caption = box->windowTitle();
            for (const QLabel* label : box->findChildren<QLabel*>()) {
                if (!label->text().isEmpty()) {
                    lines << label->text();
                }
            }
            auto* ok = box->findChild<QPushButton*>();
            QVERIFY(ok != nullptr);
            QCOMPARE(ok->text(), QString("OK"));
            ok->click();
        });
    };

    closeAbout();
    window.listView()->setFocus();
    QTest::keyClick(window.listView(), Qt::Key_F1);
    QCOMPARE(caption, QString("About"));
    QVERIFY(lines.contains("Quillet"));
    QVERIFY(lines.contains("Version 1.0"));
    QCOMPARE(lines.size(), 5);
    // The licence is named, and no line gives an address nobody answers at.
    QVERIFY(lines.contains("GNU General Public License,"));
    for (const QString& line : lines) {
        QVERIFY2(!line.contains('@') && !line.contains("://"), qPrintable(line));
    }

    caption.clear();
    closeAbout();
    window.aboutAction()->trigger();
    QCOMPARE(caption, QString("About"));
    QVERIFY(window.isVisible());
}

void MainWindowTest::tabsShowTheirViews() {
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QHeaderView* header = window->listView()->horizontalHeader();

    QCOMPARE(window->listView()->model()->columnCount(), 24);
    QCOMPARE(column(*window, 1), (QStringList{" 1", " 2", " 3"}));
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "alpha", "Charlie"}));
    QCOMPARE(header->sectionSize(0), 0);
    const int wide = header->sectionSize(2);
    QCOMPARE(wide, quillet::gui::columnWidthInPixels(
                       200, quillet::gui::columnCharacterWidth(window->listView()->fontMetrics())));
    clickHeading(*window, 2);
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "Charlie", "alpha"}));

    // A tab change fills the list anew, with the view's own widths and no selection.
    header->resizeSection(2, 50);
    select(*window, {0});
    window->tabBar()->setCurrentIndex(1);
    QCOMPARE(window->listView()->model()->columnCount(), 6);
    QCOMPARE(column(*window, 1), (QStringList{" 0", " 1", " 2"}));
    QCOMPARE(column(*window, 2), (QStringList{"Active track", "Lake", "Town"}));
    QCOMPARE(header->sectionSize(2), wide);
    QVERIFY(!window->listView()->selectionModel()->hasSelection());
    // The arrow shows the order the new rows are in, not the last click.
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    window->tabBar()->setCurrentIndex(0);
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "alpha", "Charlie"}));
    QVERIFY(ui.calls.empty());
}

void MainWindowTest::previewOpensFromSpaceAndFollowsTheSelection() {
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(window->actions().contains(window->previewAction()));
    QCOMPARE(window->previewAction()->text(), QString("Preview"));

    select(*window, {0});
    window->listView()->setFocus();
    QTest::keyClick(window->listView(), Qt::Key_Space);
    quillet::gui::PreviewWindow* preview = window->previewWindow();
    QVERIFY(preview != nullptr && preview->isVisible() && preview->isWindow());
    QCOMPARE(preview->windowTitle(), QString("Preview"));
    QVERIFY(!window->isHidden() && QApplication::activeModalWidget() == nullptr);
    QCOMPARE(preview->scene().waypoints.size(), 1u);
    QCOMPARE(preview->scene().waypoints[0].name, std::string("Bravo"));

    // While it is open, the picture follows the selection and the tabs.
    select(*window, {1, 2});
    QCOMPARE(preview->scene().waypoints.size(), 3u);
    window->listView()->clearSelection();
    QVERIFY(preview->scene().message.has_value());
    window->tabBar()->setCurrentIndex(1);
    select(*window, {0, 2});
    QCOMPARE(preview->scene().tracks.size(), 2u);
    QCOMPARE(preview->scene().tracks[0].name, std::string("Active Track"));
    QCOMPARE(preview->scene().tracks[1].name, std::string("Town"));
    QVERIFY(preview->scene().tracks[0].dashed && !preview->scene().tracks[1].dashed);
    QVERIFY(ui.calls.empty());

    // It opened off the list; Esc and Ctrl+W close it, and it opens again where it was.
    const QRect list(window->listView()->mapToGlobal(QPoint(0, 0)), window->listView()->size());
    const QRect where = preview->frameGeometry();
    QVERIFY2(!where.intersects(list) ||
                 window->screen()->availableGeometry().width() < list.width() + where.width(),
             "the preview covers the list");
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
        preview->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(preview));
        QTest::keySequence(preview, keys);
        QVERIFY2(!preview->isVisible(), qPrintable(keys.toString()));
        window->showPreview();
        QCOMPARE(preview->frameGeometry().topLeft(), where.topLeft());
    }
}

namespace {

// A few hundred metres of track near 56.7 N 38.8 E.
quillet::preview::PreviewSelection mapTrack() {
    quillet::preview::PreviewTrack track{
        .name = "Walk", .colour = {0, 0, 139}, .points = {}, .active = false};
    for (int i = 0; i < 10; ++i) {
        track.points.push_back({56.7 + i * 0.0005, 38.8 + i * 0.0007, 100, 0});
    }
    return {.tracks = {track}, .waypoints = {}, .unreadableFiles = {}};
}

QByteArray solidPng(QColor colour) {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The colour of the picture near its top right corner, where only the map is.
QColor mapColour(quillet::gui::PreviewWindow& preview) {
    const QImage picture = preview.grab().toImage();
    return picture.pixelColor(picture.width() - 5, 5);
}

// A tile server on the loopback address: solid tiles with an ETag, fresh for an hour;
// 500 under /fail, 404 under /missing. Each request is logged as path, User-Agent and
// If-None-Match.
constexpr const char* kTileServer = R"(
import http.server, sys
png = open(sys.argv[1], 'rb').read()
log = open(sys.argv[2], 'a', buffering=1)
class Tiles(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        log.write('%s|%s|%s\n' % (self.path, self.headers.get('User-Agent', ''),
                                  self.headers.get('If-None-Match', '')))
        if self.path.startswith('/fail'):
            self.send_response(500); self.end_headers(); return
        if self.path.startswith('/missing'):
            self.send_response(404); self.end_headers(); return
        if self.headers.get('If-None-Match') == '"t1"':
            self.send_response(304); self.send_header('Cache-Control', 'max-age=3600')
            self.end_headers(); return
        self.send_response(200)
        self.send_header('Content-Type', 'image/png')
        self.send_header('Cache-Control', 'max-age=3600')
        self.send_header('ETag', '"t1"')
        self.send_header('Content-Length', str(len(png)))
        self.end_headers()
        self.wfile.write(png)
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Tiles)
print(server.server_address[1], flush=True)
server.serve_forever()
)";

}  // namespace

void MainWindowTest::previewDrawsTilesFromAServerThroughTheCache() {
    if (QStandardPaths::findExecutable("python3").isEmpty()) {
        QSKIP("python3 is not installed");
    }
    MapFolders folders;
    const QColor tileColour(170, 211, 223);
    QFile png(folders.dir.filePath("tile.png"));
    QVERIFY(png.open(QIODevice::WriteOnly) && png.write(solidPng(tileColour)) > 0);
    png.close();
    const QString log = folders.dir.filePath("requests.log");
    QProcess server;
    server.start("python3", {"-c", kTileServer, png.fileName(), log});
    QVERIFY(server.waitForReadyRead(10000));
    const QString port = QString::fromUtf8(server.readLine()).trimmed();
    const auto requests = [&log] {
        QFile file(log);
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    };
    const std::string url = "http://127.0.0.1:" + port.toStdString() + "/{z}/{x}/{y}.png";

    struct Round {
        const char* what;
        std::string url;
        bool tiles;  // the map colour shows
        bool asks;   // requests are sent
        const char* ifNoneMatch;
    };
    const std::vector<Round> rounds = {
        {"first picture", url, true, true, ""},
        {"again while fresh", url, true, false, ""},
        {"stale: conditional", url, true, true, "\"t1\""},
        {"500", "http://127.0.0.1:" + port.toStdString() + "/fail/{z}/{x}/{y}.png", false, true,
         ""},
        {"404", "http://127.0.0.1:" + port.toStdString() + "/missing/{z}/{x}/{y}.png", false, true,
         ""},
        {"no answer", "http://127.0.0.1:9/{z}/{x}/{y}.png", false, true, ""},
    };
    for (const Round& round : rounds) {
        if (std::string(round.what) == "stale: conditional") {
            // Every kept tile made stale: its entry's second line is when it stops being fresh.
            QDirIterator metas(folders.dir.filePath("cache"), {"*.meta"}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (metas.hasNext()) {
                QFile meta(metas.next());
                QVERIFY(meta.open(QIODevice::ReadOnly));
                QStringList lines = QString::fromUtf8(meta.readAll()).split('\n');
                meta.close();
                lines[1] = "0";
                QVERIFY(meta.open(QIODevice::WriteOnly | QIODevice::Truncate));
                meta.write(lines.join('\n').toUtf8());
            }
        }
        const qsizetype before = requests().size();
        quillet::gui::PreviewWindow preview;
        preview.resize(400, 300);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QVERIFY(preview.setMapSource({quillet::map::MapKind::Url, round.url}));
        preview.showSelection(quillet::preview::PreviewRows(mapTrack()));
        preview.grab();  // the first paint asks for the tiles
        if (round.asks) {
            QTRY_VERIFY2(preview.mapTiles().requestsSent() > 0, round.what);
            QTest::qWait(200);
        } else {
            QTest::qWait(300);
            QCOMPARE(requests().size(), before);
            QCOMPARE(preview.mapTiles().requestsSent(), 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(mapColour(preview) == tileColour, round.tiles, 5000);
        // Only tiles in view are asked for, each once.
        QStringList inView;
        for (const auto& tile : quillet::preview::tilesOfScene(preview.scene())) {
            inView << QString("/%1/%2/%3.png").arg(tile.id.zoom).arg(tile.id.x).arg(tile.id.y);
        }
        // (A tile that failed is asked for again on every new picture, as each grab is.)
        QVERIFY(!round.tiles || preview.mapTiles().requestsSent() <= inView.size());
        for (const QString& request : requests().mid(before)) {
            const QStringList fields = request.split('|');
            QVERIFY2(fields.value(1).startsWith("Quillet/"), qPrintable(request));
            QCOMPARE(fields.value(2), QString(round.ifNoneMatch));
            QVERIFY2(inView.contains(fields.value(0).section('/', -3).prepend('/')),
                     qPrintable(request));
        }
        if (qEnvironmentVariableIsSet("QUILLET_MAP_SCREENSHOT") && round.tiles) {
            preview.grab().save(qEnvironmentVariable("QUILLET_MAP_SCREENSHOT"));
        }
    }
    server.kill();
    server.waitForFinished();
}

void MainWindowTest::previewDrawsMbTilesInBothSchemes_data() {
    QTest::addColumn<bool>("xyz");
    QTest::newRow("xyz") << true;
    QTest::newRow("tms") << false;
}

// Tiles at zooms 3 and 4; at 4, the row of the track (row 4 from the north) is green and
// every other red. The preview draws the deepest zoom, the right row in either scheme.
void MainWindowTest::previewDrawsMbTilesInBothSchemes() {
    QFETCH(bool, xyz);
    MapFolders folders;
    const QString path = folders.dir.filePath("set.mbtiles");
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    const std::string schema =
        "CREATE TABLE metadata (name TEXT, value TEXT);"
        "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
        "tile_data BLOB);"
        "INSERT INTO metadata VALUES ('minzoom', '3'), ('maxzoom', '4'), ('format', 'png'), "
        "('attribution', '\u00a9 Test Survey')" +
        std::string(xyz ? ", ('scheme', 'xyz');" : ";");
    QCOMPARE(sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    const QByteArray green = solidPng(QColor(0, 200, 0));
    const QByteArray red = solidPng(QColor(200, 0, 0));
    const QByteArray blue = solidPng(QColor(0, 0, 200));
    sqlite3_stmt* insert = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr),
             SQLITE_OK);
    for (int zoom : {3, 4}) {
        const int count = 1 << zoom;
        for (int x = 0; x < count; ++x) {
            for (int y = 0; y < count; ++y) {  // from the north
                const QByteArray& tile = zoom == 3 ? blue : y == 4 ? green : red;
                sqlite3_bind_int(insert, 1, zoom);
                sqlite3_bind_int(insert, 2, x);
                sqlite3_bind_int(insert, 3, xyz ? y : count - 1 - y);
                sqlite3_bind_blob(insert, 4, tile.constData(), int(tile.size()), SQLITE_STATIC);
                QCOMPARE(sqlite3_step(insert), SQLITE_DONE);
                sqlite3_reset(insert);
            }
        }
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);

    quillet::gui::PreviewWindow preview;
    preview.resize(400, 300);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QVERIFY(preview.setMapSource({quillet::map::MapKind::MbTiles, path.toStdString()}));
    preview.showSelection(quillet::preview::PreviewRows(mapTrack()));
    QCOMPARE(mapColour(preview), QColor(0, 200, 0));
    QCOMPARE(preview.mapTiles().attribution(), QString::fromUtf8("\u00a9 Test Survey"));
    // Remembered: a new window draws the same map.
    quillet::gui::PreviewWindow again;
    QCOMPARE(again.mapTiles().source().kind, quillet::map::MapKind::MbTiles);
    QVERIFY(!preview.setMapSource(
        {quillet::map::MapKind::MbTiles, folders.dir.filePath("none.mbtiles").toStdString()}));
}

void MainWindowTest::makeGpxWritesTheSelectedRows() {
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    const std::filesystem::path output = folder.filePath("out.gpx").toStdString();
    ui.savePaths.push_back(output);
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    select(*window, {1});  // "alpha"
    QTest::mouseClick(window->makeGpxButton(), Qt::LeftButton);

    QCOMPARE(ui.saveRequests().size(), std::size_t{1});
    QCOMPARE(ui.saveRequests()[0].defaultName, std::string("WayPoint.gpx"));
    QFile file(QString::fromStdString(output.string()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray gpx = file.readAll();
    QVERIFY(gpx.contains("<name>alpha</name>"));
    QVERIFY(!gpx.contains("Bravo") && !gpx.contains("Charlie"));
    // The export leaves the list and its selection as they were.
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "alpha", "Charlie"}));
    QCOMPARE(selectedNames(*window), QStringList{"alpha"});

    // A device file picked in the save dialog is refused and stays as it was.
    QFile device(folder.filePath("GARMIN_WPT.NVM"));
    QVERIFY(device.open(QIODevice::ReadOnly));
    const QByteArray before = device.readAll();
    device.close();
    ui.savePaths.push_back(folder.filePath("sub/../GARMIN_WPT.NVM").toStdString());
    QVERIFY(QDir(folder.path()).mkdir("sub"));
    QTest::mouseClick(window->makeGpxButton(), Qt::LeftButton);
    QCOMPARE(ui.messageTexts().size(), std::size_t{1});
    QVERIFY(ui.messageTexts()[0].starts_with("Unable to create GPX File "));
    QVERIFY(device.open(QIODevice::ReadOnly));
    QCOMPARE(device.readAll(), before);
}

void MainWindowTest::deleteRemovesTheSelectedRecords() {
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    select(*window, {1});  // "alpha"
    QTest::mouseClick(window->deleteButton(), Qt::LeftButton);
    QCOMPARE(ui.messageTexts(), std::vector<std::string>{"Are you shure?"});
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "Charlie"}));
    QVERIFY(!window->listView()->selectionModel()->hasSelection());
    QVERIFY(QFile::exists(folder.filePath("GARMIN_WPT.BAK")));

    // The active track is refused and stays selected.
    window->tabBar()->setCurrentIndex(1);
    select(*window, {0});
    QTest::mouseClick(window->deleteButton(), Qt::LeftButton);
    QCOMPARE(ui.messageTexts().back(), std::string("You can not delete the active track!"));
    QCOMPARE(column(*window, 1), (QStringList{" 0", " 1", " 2"}));
    QCOMPARE(selectedNames(*window), QStringList{"Active track"});
}

void MainWindowTest::historyRestoresAVersionAndRefillsBothLists() {
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    select(*window, {1});
    QTest::mouseClick(window->deleteButton(), Qt::LeftButton);
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "Charlie"}));
    QVERIFY(window->actions().contains(window->historyAction()));
    QCOMPARE(window->historyAction()->text(), QString("&History…"));

    int rowsBefore = -1;
    int rowsAfter = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<HistoryDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        rowsBefore = dialog->versionList()->rowCount();
        QVERIFY(!dialog->restoreButton()->isEnabled());
        dialog->versionList()->selectRow(0);
        QTest::mouseClick(dialog->restoreButton(), Qt::LeftButton);
        rowsAfter = dialog->versionList()->rowCount();
        dialog->reject();
    });
    window->historyAction()->trigger();
    QCOMPARE(rowsBefore, 1);
    QCOMPARE(rowsAfter, 2);  // the restore kept the file it replaced
    QCOMPARE(ui.messageTexts(), (std::vector<std::string>{"Are you shure?", "Are you shure?"}));
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "alpha", "Charlie"}));
}

void MainWindowTest::theQuestionCarriesTheHistoryBox() {
    for (const bool untick : {false, true}) {
        QString caption, text, boxText;
        bool ticked = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr && box->checkBox() != nullptr);
            caption = box->windowTitle();
            text = box->text();
            boxText = box->checkBox()->text();
            ticked = box->checkBox()->isChecked();
            if (untick) {
                box->checkBox()->click();
            }
            box->button(QMessageBox::Ok)->click();
        });
        quillet::gui::QtUserInterface ui;
        bool keep = true;
        QCOMPARE(ui.askWithHistoryBox("Are you shure?", "Quillet  1.0", keep), quillet::Answer::Ok);
        QCOMPARE(caption, QString("Quillet  1.0"));
        QCOMPARE(text, QString("Are you shure?"));
        QCOMPARE(boxText, QString("Keep the current file in the history"));
        QVERIFY(ticked);
        QCOMPARE(keep, !untick);
    }
}

void MainWindowTest::openFilterSelectAllAndDeleteKeepTheHiddenRows() {
    QTemporaryDir first;
    writeEmptyDeviceFile(QDir(first.path()), "GARMIN_STRK.NVM");
    QTemporaryDir device;
    writeDeviceFolder(QDir(device.path()));
    QTemporaryDir empty;
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(first.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    // A folder without device files is named, and the window stays as it was.
    QVERIFY(!window->openFolder(empty.path().toStdString()));
    QCOMPARE(ui.messageTexts(),
             std::vector<std::string>{"Unable to open any NVM file. Terminated\n" +
                                      QDir::toNativeSeparators(empty.path()).toStdString()});
    QCOMPARE(window->tabBar()->count(), 1);
    QVERIFY(window->openFolder(device.path().toStdString()));
    QCOMPARE(window->tabBar()->count(), 2);
    QCOMPARE(column(*window, 2), (QStringList{"Bravo", "alpha", "Charlie"}));
    QCOMPARE(window->statusBar()->folder(), QDir::toNativeSeparators(device.path()));

    // Ctrl+F, then the text: the rows whose Name holds it, in any case.
    QTest::keyClick(window->listView(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), window->filterField());
    QTest::keyClicks(window->filterField(), "HA");
    QCOMPARE(column(*window, 2), (QStringList{"alpha", "Charlie"}));
    QCOMPARE(window->statusBar()->rows(), QString("2 of 3 rows"));

    // Ctrl+A takes the shown rows only; Delete removes them and the filter stays.
    window->listView()->setFocus();
    QTest::keyClick(window->listView(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(window->statusBar()->selected(), QString("2 selected"));
    QTest::keyClick(window->listView(), Qt::Key_Delete);
    QCOMPARE(ui.messageTexts().back(), std::string("Are you shure?"));
    QCOMPARE(window->state().list.rowCount(), std::size_t{1});
    QCOMPARE(column(*window, 2), QStringList{});
    QCOMPARE(window->statusBar()->line(),
             QString("Deleted 2 waypoints; the old file is kept as GARMIN_WPT.BAK"));

    // Esc in the field clears it: the hidden row survived.
    QTest::keyClick(window->filterField(), Qt::Key_Escape);
    QCOMPARE(window->filterField()->text(), QString());
    QCOMPARE(column(*window, 2), QStringList{"Bravo"});
    QCOMPARE(window->statusBar()->rows(), QString("1 row"));

    // Ctrl+Tab goes to the next tab and clears the filter; F5 fills it again.
    window->filterField()->setText("x");
    QTest::keyClick(window->listView(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(window->tabBar()->currentIndex(), 1);
    QCOMPARE(window->filterField()->text(), QString());
    QTest::keyClick(window->listView(), Qt::Key_F5);
    QCOMPARE(column(*window, 2).size(), 3);
}

void MainWindowTest::messageBoxesShowCaptionIconAndButtons_data() {
    QTest::addColumn<quillet::Buttons>("buttons");
    QTest::addColumn<quillet::Icon>("icon");
    QTest::addColumn<QMessageBox::Icon>("boxIcon");
    QTest::addColumn<QMessageBox::StandardButton>("press");
    QTest::addColumn<quillet::Answer>("answer");
    using quillet::Answer;
    using quillet::Buttons;
    using quillet::Icon;
    QTest::newRow("error, OK") << Buttons::Ok << Icon::Error << QMessageBox::Critical
                               << QMessageBox::Ok << Answer::Ok;
    QTest::newRow("no icon, OK") << Buttons::Ok << Icon::None << QMessageBox::NoIcon
                                 << QMessageBox::Ok << Answer::Ok;
    QTest::newRow("question, OK") << Buttons::OkCancel << Icon::Exclamation << QMessageBox::Warning
                                  << QMessageBox::Ok << Answer::Ok;
    QTest::newRow("question, Cancel")
        << Buttons::OkCancel << Icon::Exclamation << QMessageBox::Warning << QMessageBox::Cancel
        << Answer::Cancel;
}

void MainWindowTest::messageBoxesShowCaptionIconAndButtons() {
    QFETCH(quillet::Buttons, buttons);
    QFETCH(quillet::Icon, icon);
    QFETCH(QMessageBox::Icon, boxIcon);
    QFETCH(QMessageBox::StandardButton, press);
    QFETCH(quillet::Answer, answer);

    QMessageBox::StandardButtons shownButtons;
    QString caption, text;
    QMessageBox::Icon shownIcon = QMessageBox::Information;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        caption = box->windowTitle();
        text = box->text();
        shownIcon = box->icon();
        shownButtons = box->standardButtons();
        box->button(press)->click();
    });
    quillet::gui::QtUserInterface ui;
    const auto result = ui.showMessage("Are you shure?", "Quillet  1.0", buttons, icon);

    QCOMPARE(result, answer);
    QCOMPARE(caption, QString("Quillet  1.0"));
    QCOMPARE(text, QString("Are you shure?"));
    QCOMPARE(shownIcon, boxIcon);
    QCOMPARE(shownButtons, buttons == quillet::Buttons::Ok
                               ? QMessageBox::StandardButtons(QMessageBox::Ok)
                               : QMessageBox::Ok | QMessageBox::Cancel);
}

void MainWindowTest::saveDialogOffersTheDefaultNameAndGpxFilter() {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    quillet::gui::QtUserInterface ui;
    const quillet::SaveDialogRequest request{"WayPoint.gpx", "GPS Exchange (*.gpx)", "gpx"};

    for (const bool accept : {false, true}) {
        QStringList filters;
        QString suffix;
        bool saving = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            saving = dialog->acceptMode() == QFileDialog::AcceptSave;
            if (accept) {
                static_cast<QDialog*>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        const auto path = ui.askSavePath(request);

        QCOMPARE(filters, QStringList{"GPS Exchange (*.gpx)"});
        QCOMPARE(suffix, QString("gpx"));
        QVERIFY(saving);
        if (accept) {
            QVERIFY(path.has_value());
            QCOMPARE(QString::fromStdString(path->string()), folder.filePath("WayPoint.gpx"));
        } else {
            QVERIFY(!path.has_value());
        }
    }
    QDir::setCurrent(previous);
}

void MainWindowTest::folderArgumentDecidesTheFolder() {
    using quillet::gui::parseWindowArguments;
    const auto parsed = parseWindowArguments({"--choose-folder", "/media/gps"});
    QVERIFY(parsed.chooseFolder && parsed.error.isEmpty());
    QCOMPARE(parsed.folder.value_or(""), QString("/media/gps"));
    QVERIFY(!parseWindowArguments({}).folder);
    QVERIFY(parseWindowArguments({"--help"}).help);
    QVERIFY(parseWindowArguments({"a", "b"}).error.startsWith("give one folder only"));
    QVERIFY(parseWindowArguments({"--bogus"}).error.startsWith("unknown option \"--bogus\""));

    QStringList askedAt;
    std::optional<QString> answer;
    const auto choose = [&](const QString& startIn) {
        askedAt << startIn;
        return answer;
    };
    QTemporaryDir last;
    const QString lastFolder = last.path();
    const auto startFolder = [&](const QStringList& arguments) {
        return quillet::gui::startFolder(parseWindowArguments(arguments), choose, lastFolder);
    };
    // A folder given wins, made absolute; without one and without --choose-folder the
    // working directory is used, as before.
    QCOMPARE(*startFolder({"--choose-folder", "/media/gps"}), std::filesystem::path("/media/gps"));
    QCOMPARE(*startFolder({"gps"}), std::filesystem::current_path() / "gps");
    QCOMPARE(*startFolder({}), std::filesystem::current_path());
    QVERIFY(askedAt.isEmpty());
    // From the desktop menu: the chooser opens at the last folder; cancelled, nothing.
    QVERIFY(!startFolder({"--choose-folder"}));
    answer = "/media/other";
    QCOMPARE(*startFolder({"--choose-folder"}), std::filesystem::path("/media/other"));
    QCOMPARE(askedAt, (QStringList{lastFolder, lastFolder}));

    // The last folder is kept in the person's settings.
    QStandardPaths::setTestModeEnabled(true);
    quillet::gui::rememberFolder(lastFolder.toStdString());
    QCOMPARE(quillet::gui::lastFolder(), lastFolder);
    QStandardPaths::setTestModeEnabled(false);
}

// Other… filters the system's zones as the person types; the choice rewrites the times,
// heads the column "Local time", names the zone in the heading's tooltip, keeps the
// selection and is remembered; UTC brings the receiver's times back.
void MainWindowTest::timeZoneMenuShowsTheTimesInTheChosenZone() {
    if (!quillet::TimeZone::named("Asia/Novosibirsk")) {
        QSKIP("the system knows no zone Asia/Novosibirsk");
    }
    QStandardPaths::setTestModeEnabled(true);
    quillet::gui::rememberTimeZone(quillet::TimeZone());
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
    QVERIFY(window != nullptr);
    window->show();
    quillet::gui::TimeZoneMenu* menu = window->timeZoneMenu();
    QVERIFY(window->actions().contains(menu->menuAction()));
    QVERIFY(menu->utcAction()->isChecked());
    const auto* model = window->listView()->model();
    QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QString("Universal time"));
    QCOMPARE(column(*window, 7).first(), QString("2010-06-29  14:03:07 "));
    select(*window, {1});

    int shownZones = -1;
    QTimer::singleShot(0, [&] {
        auto* chooser = qobject_cast<quillet::gui::ZoneChooser*>(QApplication::activeModalWidget());
        QVERIFY(chooser != nullptr);
        QTest::keyClicks(chooser->searchField(), "novosib");
        shownZones = 0;
        for (int i = 0; i < chooser->zoneList()->count(); ++i) {
            shownZones += chooser->zoneList()->item(i)->isHidden() ? 0 : 1;
        }
        chooser->accept();
    });
    menu->otherAction()->trigger();

    QCOMPARE(shownZones, 1);
    QVERIFY(menu->otherAction()->isChecked());
    QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QString("Local time"));
    QCOMPARE(model->headerData(7, Qt::Horizontal, Qt::ToolTipRole).toString(),
             QString("Times in Asia/Novosibirsk"));
    QVERIFY(!model->headerData(2, Qt::Horizontal, Qt::ToolTipRole).isValid());
    QCOMPARE(column(*window, 7), QStringList(3, "2010-06-29  21:03:07 "));
    QCOMPARE(window->listView()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(quillet::gui::rememberedTimeZone().name(), std::string("Asia/Novosibirsk"));

    menu->utcAction()->trigger();
    QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QString("Universal time"));
    QCOMPARE(column(*window, 7).first(), QString("2010-06-29  14:03:07 "));
    QVERIFY(quillet::gui::rememberedTimeZone().isUtc());
    QVERIFY(ui.calls.empty());
    QStandardPaths::setTestModeEnabled(false);
}

void MainWindowTest::windowSpeaksThePersonsLanguage() {
    QTemporaryDir folder;
    writeDeviceFolder(QDir(folder.path()));
    FakeUi ui;
    {
        const RussianLanguage russian;
        QVERIFY(russian.translations->windowTextsLoaded());
        QVERIFY(russian.translations->qtTextsLoaded());
        auto window = quillet::gui::openMainWindow(folder.path().toStdString(), ui);
        QVERIFY(window != nullptr);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        // The window's own texts, and those it gets from the core: tabs, headings,
        // menu items, the status bar.
        const QTabBar* tabs = window->tabBar();
        QCOMPARE((QStringList{tabs->tabText(0), tabs->tabText(1)}),
                 (QStringList{"Путевые точки", "Треки"}));
        QPushButton* buttons[] = {window->makeGpxButton(), window->deleteButton()};
        QCOMPARE(buttons[0]->text(), QString("Создать GPX"));
        QCOMPARE(buttons[1]->text(), QString("Удалить"));
        for (const QPushButton* button : buttons) {
            QCOMPARE(button->toolTip(), QString("Сначала выделите строки"));
            // The longer words still fit the template's buttons.
            QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                     qPrintable(button->text()));
        }
        QCOMPARE(window->filterField()->placeholderText(), QString("Фильтр по имени (Ctrl+F)"));
        const auto* model = window->listView()->model();
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QString("Имя"));
        QCOMPARE(window->aboutAction()->text(), QString("О про&грамме..."));
        QCOMPARE(window->timeZoneMenu()->title(), QString("Часовой пояс"));
        QCOMPARE(window->statusBar()->rows(), QString("3 строки"));
        // The data stays as it is.
        QCOMPARE(column(*window, 2), (QStringList{"Bravo", "alpha", "Charlie"}));

        // Qt's own standard buttons, in a message box of the core.
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            for (const QAbstractButton* button : box->buttons()) {
                shown << button->text();
            }
            box->button(QMessageBox::Cancel)->click();
        });
        quillet::gui::QtUserInterface boxes;
        boxes.showMessage("Are you shure?", "Quillet  1.0", quillet::Buttons::OkCancel,
                          quillet::Icon::Exclamation);
        shown.sort();
        QCOMPARE(shown, (QStringList{"OK", "Отмена"}));
    }
    // Without a language in the messages' locale the window stays English.
    const std::string messages = std::setlocale(LC_MESSAGES, nullptr);
    std::setlocale(LC_MESSAGES, "C");
    QCOMPARE(quillet::gui::windowLanguage().language(), QLocale::C);
    {
        MainWindow english(namedRows(), ui);
        QCOMPARE(english.makeGpxButton()->text(), QString("Make GPX"));
        QCOMPARE(english.tabBar()->tabText(0), QString("Way Points"));
    }
    std::setlocale(LC_MESSAGES, messages.c_str());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
