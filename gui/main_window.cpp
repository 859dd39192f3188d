// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window.h"

#include "history_dialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>
#include <QUrl>

#include "about_box.h"
#include "app/actions.h"
#include "app/delete_command.h"
#include "app/export_everything.h"
#include "app/fill_list.h"
#include "app/list_filter.h"
#include "app/make_gpx_command.h"
#include "app/open_folder.h"
#include "app/startup.h"
#include "app/status_text.h"
#include "app/time_zone_setting.h"
#include "app/window_commands.h"
#include "app_icon.h"
#include "dialog_units.h"
#include "export/gpx_export.h"
#include "preview_window.h"
#include "record_table_model.h"
#include "record_table_view.h"
#include "text/translation.h"
#include "time_zone_menu.h"
#include "views/selection_text.h"
#include "window_actions.h"
#include "window_status.h"

namespace quillet::gui {

namespace {

// Positions of the template, in dialog units.
struct TemplateRect {
    int x, y, width, height;
};
constexpr TemplateRect kClient{0, 0, 359, 200};
constexpr TemplateRect kTabs{7, 21, 171, 45};
constexpr TemplateRect kList{7, 33, 345, 160};
constexpr TemplateRect kMakeGpx{302, 7, 50, 14};
constexpr TemplateRect kDelete{249, 7, 50, 14};
// The filter field, left of the buttons and above the tab headers.
constexpr TemplateRect kFilter{7, 7, 120, 12};
// Rows of the list that stay in view however small the window is made.
constexpr int kMinimumVisibleRows = 3;

QRect toPixels(const TemplateRect& rect, DialogBaseUnits base) {
    return dialogRect(rect.x, rect.y, rect.width, rect.height, base);
}

Rect toRect(const QRect& rect) {
    return Rect{.x = rect.x(), .y = rect.y(), .width = rect.width(), .height = rect.height()};
}

QRect toQRect(const Rect& rect) {
    return QRect(rect.x, rect.y, rect.width, rect.height);
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path toPath(const QString& folder) {
    return std::filesystem::path(QDir::toNativeSeparators(folder).toStdU16String());
}

// The local path of what is dragged onto the window, or nothing.
std::optional<QString> draggedPath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty() ||
        !data->urls().front().isLocalFile()) {
        return std::nullopt;
    }
    return data->urls().front().toLocalFile();
}

bool isEnterOrEsc(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

// The busy cursor for the length of a core call that may read a whole device file.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

MainWindow::MainWindow(std::unique_ptr<AppState> state, UserInterface& ui, QWidget* parent)
    : QWidget(parent), state_(std::move(state)), ui_(ui) {
    setWindowTitle(toQString(kTitleText));
    setWindowIcon(applicationIcon());
    createControls();

    const DialogBaseUnits base = dialogBaseUnits(fontMetrics());
    // The template's client area, with the status bar below it.
    const QRect client = toPixels(kClient, base).adjusted(0, 0, 0, status_->sizeHint().height());
    resize(client.size());
    status_->setGeometry(0, client.height() - status_->sizeHint().height(), client.width(),
                         status_->sizeHint().height());
    geometry_ = captureLayout(Size{.width = client.width(), .height = client.height()},
                              toRect(list_->geometry()), toRect(makeGpx_->geometry()),
                              toRect(delete_->geometry()));
    setMinimumSize(minimumClientSize());

    // Enter and Esc neither close the window nor press a button.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    delete previewWindow_;  // it follows the list, which goes first
    previewWindow_ = nullptr;
    // The list and its model read the record list, which goes with the state before
    // the base class takes the children down.
    delete list_;
    delete model_;
}

void MainWindow::createControls() {
    const DialogBaseUnits base = dialogBaseUnits(fontMetrics());

    // The tab bar first, so that the list lies above it: only the tab headers above
    // the list's top edge show.
    tabs_ = new QTabBar(this);
    tabs_->setExpanding(false);
    for (const std::string& tab : state_->tabs) {
        tabs_->addTab(toQString(translate(tab)));
    }
    tabs_->setCurrentIndex(state_->currentTab);
    tabs_->setGeometry(toPixels(kTabs, base));

    filter_ = new QLineEdit(this);
    filter_->setPlaceholderText(tr("Filter by name (Ctrl+F)"));
    filter_->setClearButtonEnabled(true);
    filter_->setGeometry(toPixels(kFilter, base));
    status_ = new WindowStatus(this);

    model_ = new RecordTableModel(*state_, this);
    list_ = new RecordTableView(this);
    list_->setModel(model_);
    columnCharacterWidth_ = columnCharacterWidth(list_->fontMetrics());
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setCornerButtonEnabled(false);
    list_->setTabKeyNavigation(false);
    list_->setSortingEnabled(false);  // the core sorts
    list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* headings = list_->horizontalHeader();
    headings->setSectionsClickable(true);
    headings->setSectionsMovable(false);
    headings->setHighlightSections(false);
    headings->setStretchLastSection(false);
    headings->setSortIndicatorShown(true);
    headings->setMinimumSectionSize(0);  // zero-wide columns exist and can be dragged open
    headings->setSectionResizeMode(QHeaderView::Interactive);
    list_->setGeometry(toPixels(kList, base));

    makeGpx_ = new QPushButton(tr("Make GPX"), this);
    makeGpx_->setAutoDefault(false);
    makeGpx_->setGeometry(toPixels(kMakeGpx, base));
    delete_ = new QPushButton(tr("Delete"), this);
    delete_->setAutoDefault(false);
    delete_->setGeometry(toPixels(kDelete, base));

    setTabOrder(list_, makeGpx_);
    setTabOrder(makeGpx_, delete_);
    setTabOrder(delete_, tabs_);
    setTabOrder(tabs_, filter_);
    list_->setFocus();

    // The right-click menu and the keys, from the core's table. Space previews in the
    // list only: on a focused button it still presses the button.
    actions_ = new WindowActions(this, list_);
    about_ = actions_->action(Action::About);
    preview_ = actions_->action(Action::Preview);
    history_ = actions_->action(Action::History);
    timeZones_ = new TimeZoneMenu(state_->timeZone, this);
    insertAction(about_, timeZones_->menuAction());
    model_->setHeadingTip([this](int section) {
        return toQString(timeHeadingNote(*state_, static_cast<std::size_t>(section)).value_or(""));
    });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setAcceptDrops(true);

    showNewList();

    connect(tabs_, &QTabBar::currentChanged, this, &MainWindow::onTabChanged);
    connect(headings, &QHeaderView::sectionClicked, this, &MainWindow::onHeadingClicked);
    connect(makeGpx_, &QPushButton::clicked, this, &MainWindow::onMakeGpx);
    connect(delete_, &QPushButton::clicked, this, &MainWindow::onDelete);
    connect(about_, &QAction::triggered, this, &MainWindow::showAbout);
    connect(preview_, &QAction::triggered, this, &MainWindow::showPreview);
    connect(timeZones_, &TimeZoneMenu::zoneChosen, this, &MainWindow::onTimeZoneChosen);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::updatePreview);
    connect(list_, &RecordTableView::copyRequested, this, &MainWindow::copySelection);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::showSelectionHints);
    connect(filter_, &QLineEdit::textChanged, this, &MainWindow::onFilterChanged);
    connectActions();
}

void MainWindow::connectActions() {
    const auto on = [&](Action which, auto slot) {
        connect(actions_->action(which), &QAction::triggered, this, slot);
    };
    on(Action::Copy, &MainWindow::copySelection);
    on(Action::MakeGpx, &MainWindow::onMakeGpx);
    on(Action::ExportEverything, &MainWindow::onExportEverything);
    on(Action::Delete, &MainWindow::onDelete);
    on(Action::OpenFolder, &MainWindow::chooseFolder);
    on(Action::Reload, &MainWindow::reload);
    on(Action::History, &MainWindow::showHistory);
    on(Action::Filter, [this] {
        filter_->setFocus(Qt::ShortcutFocusReason);
        filter_->selectAll();
    });
    on(Action::NextTab, [this] { stepTab(1); });
    on(Action::PreviousTab, [this] { stepTab(-1); });
    on(Action::Quit, &QWidget::close);
}

bool MainWindow::openFolder(const std::filesystem::path& folder) {
    {
        const BusyCursor busy;
        if (!quillet::openFolder(*state_, folder, ui_)) {
            return false;
        }
    }
    {
        const QSignalBlocker quiet(filter_);
        filter_->clear();
    }
    showTabs();
    showNewList();
    emit folderOpened(folder);
    return true;
}

void MainWindow::chooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Open Folder"), toQString(statusFields(*state_).folder));
    if (!folder.isEmpty()) {
        openFolder(toPath(folder));
    }
}

void MainWindow::reload() {
    mirrorSelection();
    {
        const BusyCursor busy;
        quillet::reload(*state_, ui_);
    }
    showNewList();
}

void MainWindow::onFilterChanged(const QString& text) {
    mirrorSelection();
    const QByteArray utf8 = text.toUtf8();
    setFilter(*state_, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    // The same columns with fewer or more rows: the widths the person gave them stay.
    QHeaderView* headings = list_->horizontalHeader();
    QList<int> widths;
    for (int column = 0; column < headings->count(); ++column) {
        widths << headings->sectionSize(column);
    }
    model_->reload();
    for (int column = 0; column < widths.size() && column < headings->count(); ++column) {
        headings->resizeSection(column, widths[column]);
    }
    showSortIndicator();
    showSelection();
    updatePreview();
}

void MainWindow::stepTab(int step) {
    const int count = tabs_->count();
    if (count > 1) {
        tabs_->setCurrentIndex((tabs_->currentIndex() + step + count) % count);
    }
}

void MainWindow::showTabs() {
    const QSignalBlocker quiet(tabs_);
    while (tabs_->count() > 0) {
        tabs_->removeTab(0);
    }
    for (const std::string& tab : state_->tabs) {
        tabs_->addTab(toQString(translate(tab)));
    }
    tabs_->setCurrentIndex(state_->currentTab);
}

void MainWindow::showStatus() {
    status_->showFields(statusFields(*state_));
    actions_->update(*state_, state_->list.selectedCount());
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (draggedPath(event->mimeData())) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (const std::optional<QString> path = draggedPath(event->mimeData())) {
        event->acceptProposedAction();
        openFolder(droppedFolder(toPath(*path)));
    }
}

void MainWindow::onTimeZoneChosen(const TimeZone& zone) {
    mirrorSelection();
    {
        const BusyCursor busy;
        changeTimeZone(*state_, ui_, zone);
    }
    rememberTimeZone(zone);
    timeZones_->showZone(zone);
    showChangedList();
    emit model_->headerDataChanged(Qt::Horizontal, 0, model_->columnCount() - 1);
}

void MainWindow::showAbout() {
    AboutBox box(this);
    box.exec();
}

void MainWindow::showPreview() {
    if (previewWindow_ == nullptr) {
        previewWindow_ = new PreviewWindow(this);
        previewWindow_->placeBeside(*this, *list_);
    }
    previewWindow_->show();
    previewWindow_->raise();
    updatePreview();
}

void MainWindow::updatePreview() {
    if (previewWindow_ == nullptr || !previewWindow_->isVisible()) {
        return;
    }
    mirrorSelection();
    const BusyCursor busy;
    previewWindow_->showSelection(preview::takeSelectedRows(*state_, currentView(*state_)));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!geometry_) {
        return;  // still being built: the controls stay where they are
    }
    const WindowLayout layout = relayout(*geometry_, Size{.width = width(), .height = height()});
    list_->setGeometry(toQRect(layout.list));
    makeGpx_->setGeometry(toQRect(layout.makeGpx));
    delete_->setGeometry(toQRect(layout.remove));
    const int statusHeight = status_->sizeHint().height();
    status_->setGeometry(0, height() - statusHeight, width(), statusHeight);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isEnterOrEsc(static_cast<QKeyEvent*>(event)->key())) {
        // Only this window's keys: a message box or dialog keeps its own Enter and Esc.
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            // Esc in the filter field clears it.
            if (widget == filter_ && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                filter_->clear();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::onTabChanged(int index) {
    {
        const BusyCursor busy;
        quillet::switchToTab(*state_, ui_, index);
    }
    // The core cleared the filter with the tab.
    {
        const QSignalBlocker quiet(filter_);
        filter_->clear();
    }
    showNewList();
}

void MainWindow::onHeadingClicked(int column) {
    if (column < 0) {
        return;
    }
    mirrorSelection();
    // The focused row moves with its record.
    const QModelIndex current = list_->currentIndex();
    std::optional<std::size_t> focused;
    {
        const BusyCursor busy;
        focused =
            sortByHeading(*state_, static_cast<std::size_t>(column),
                          current.isValid() ? std::optional(static_cast<std::size_t>(current.row()))
                                            : std::nullopt);
    }
    showChangedList();
    showSortIndicator();
    if (focused) {
        list_->selectionModel()->setCurrentIndex(
            model_->index(static_cast<int>(*focused), current.column()),
            QItemSelectionModel::NoUpdate);
    }
}

void MainWindow::onMakeGpx() {
    mirrorSelection();
    CommandReport report;
    {
        const BusyCursor busy;
        report = makeGpxOfSelection(*state_, ui_);
    }
    showAfter(report);
}

void MainWindow::onExportEverything() {
    const BusyCursor busy;
    exportEverything(*state_, ui_);
}

void MainWindow::onDelete() {
    mirrorSelection();
    CommandReport report;
    {
        const BusyCursor busy;
        report = deleteSelection(*state_, ui_);
    }
    showAfter(report);
}

void MainWindow::showAfter(const CommandReport& report) {
    if (report.change == ListChange::New) {
        showNewList();
    } else {
        showChangedList();
    }
    status_->showLine(report.statusLine);
}

void MainWindow::showHistory() {
    HistoryDialog dialog(
        *state_, ui_,
        [this](const DeleteResult& result) {
            if (result.listIsStale) {
                showNewList();
            }
        },
        this);
    dialog.exec();
}

void MainWindow::copySelection() {
    mirrorSelection();
    if (state_->list.selectedCount() == 0) {
        return;
    }
    QGuiApplication::clipboard()->setText(toQString(selectedRowsText(state_->list)));
}

void MainWindow::showSortIndicator() {
    list_->horizontalHeader()->setSortIndicator(
        state_->list.sortColumn(),
        state_->list.ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void MainWindow::showSelectionHints() {
    const QString hint = list_->selectionModel()->hasSelection()
                             ? QString()
                             : toQString(translate(kSelectRowsFirst));
    for (QPushButton* button : {makeGpx_, delete_}) {
        button->setToolTip(hint);
        button->setStatusTip(hint);
    }
    mirrorSelection();
    showStatus();
}

QSize MainWindow::minimumClientSize() const {
    // The buttons stay right of the tab headers; the list keeps its headings, a few rows
    // and its horizontal scroll bar.
    const int buttonsWidth = width() - delete_->x();
    const int tabsWidth = tabs_->x() + tabs_->sizeHint().width();
    const int listHeight = 2 * list_->frameWidth() +
                           list_->horizontalHeader()->sizeHint().height() +
                           kMinimumVisibleRows * list_->verticalHeader()->defaultSectionSize() +
                           list_->horizontalScrollBar()->sizeHint().height();
    const int bottomGap = height() - (list_->y() + list_->height());
    return QSize(tabsWidth + buttonsWidth, list_->y() + listHeight + bottomGap);
}

void MainWindow::mirrorSelection() {
    clearSelection(*state_);
    const QItemSelection selection = list_->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (row >= 0) {
                setShownRowSelected(*state_, static_cast<std::size_t>(row), true);
            }
        }
    }
}

void MainWindow::showSelection() {
    const int lastColumn = model_->columnCount() - 1;
    QItemSelection selection;
    if (lastColumn >= 0) {
        // One range per run of selected rows.
        const auto rows = static_cast<int>(shownRowCount(*state_));
        int first = -1;
        for (int row = 0; row <= rows; ++row) {
            const bool selected =
                row < rows && isShownRowSelected(*state_, static_cast<std::size_t>(row));
            if (selected && first < 0) {
                first = row;
            } else if (!selected && first >= 0) {
                selection.select(model_->index(first, 0), model_->index(row - 1, lastColumn));
                first = -1;
            }
        }
    }
    list_->selectionModel()->select(
        selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showSelectionHints();
}

void MainWindow::showNewList() {
    model_->reload();
    QHeaderView* headings = list_->horizontalHeader();
    for (std::size_t column = 0; column < state_->list.columnCount(); ++column) {
        headings->resizeSection(
            static_cast<int>(column),
            columnWidthInPixels(state_->list.column(column).width, columnCharacterWidth_));
    }
    showSortIndicator();
    showSelection();
    list_->scrollToTop();
    showStatus();
    updatePreview();
}

void MainWindow::showChangedList() {
    if (model_->rowCount() != static_cast<int>(shownRowCount(*state_)) ||
        model_->columnCount() != static_cast<int>(state_->list.columnCount())) {
        showNewList();
        return;
    }
    model_->refresh();
    showSelection();
}

std::unique_ptr<MainWindow> openMainWindow(const std::filesystem::path& directory,
                                           UserInterface& ui) {
    std::unique_ptr<AppState> state;
    {
        const BusyCursor busy;
        state = startUp(directory, ui, rememberedTimeZone());
    }
    if (!state) {
        return nullptr;
    }
    return std::make_unique<MainWindow>(std::move(state), ui);
}

}  // namespace quillet::gui
