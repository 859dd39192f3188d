#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>

#include "about_box.h"
#include "app/delete_command.h"
#include "app/fill_list.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "app/time_zone_setting.h"
#include "app_icon.h"
#include "dialog_units.h"
#include "export/gpx_export.h"
#include "preview_window.h"
#include "record_table_model.h"
#include "record_table_view.h"
#include "time_zone_menu.h"
#include "views/selection_text.h"

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
// Rows of the list that stay in view however small the window is made.
constexpr int kMinimumVisibleRows = 3;
const QString kSelectRowsHint = QStringLiteral("Select rows first");

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
    const QRect client = toPixels(kClient, base);
    resize(client.size());
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
        tabs_->addTab(toQString(tab));
    }
    tabs_->setCurrentIndex(state_->currentTab);
    tabs_->setGeometry(toPixels(kTabs, base));

    model_ = new RecordTableModel(state_->list, this);
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

    makeGpx_ = new QPushButton(QStringLiteral("Make GPX"), this);
    makeGpx_->setAutoDefault(false);
    makeGpx_->setGeometry(toPixels(kMakeGpx, base));
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    delete_->setAutoDefault(false);
    delete_->setGeometry(toPixels(kDelete, base));

    setTabOrder(list_, makeGpx_);
    setTabOrder(makeGpx_, delete_);
    setTabOrder(delete_, tabs_);
    list_->setFocus();

    about_ = new QAction(QStringLiteral("&About..."), this);
    about_->setShortcut(QKeySequence(Qt::Key_F1));
    about_->setShortcutContext(Qt::WindowShortcut);
    addAction(about_);
    preview_ = new QAction(QStringLiteral("Preview"), this);
    // Space in the list only: on a focused button it still presses the button.
    preview_->setShortcut(QKeySequence(Qt::Key_Space));
    preview_->setShortcutContext(Qt::WidgetShortcut);
    insertAction(about_, preview_);
    list_->addAction(preview_);
    timeZones_ = new TimeZoneMenu(state_->timeZone, this);
    insertAction(about_, timeZones_->menuAction());
    model_->setHeadingTip([this](int section) {
        return toQString(timeHeadingNote(*state_, static_cast<std::size_t>(section)).value_or(""));
    });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    // The Delete key is the Delete button; not an action, so the context menu keeps
    // "About..." alone.
    auto* deleteKey = new QShortcut(QKeySequence::Delete, this);

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
    connect(deleteKey, &QShortcut::activated, this, &MainWindow::onDelete);
    connect(list_, &RecordTableView::copyRequested, this, &MainWindow::copySelection);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::showSelectionHints);
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
    previewWindow_->showSelection(preview::readSelectedRows(*state_, currentView(*state_)));
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
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isEnterOrEsc(static_cast<QKeyEvent*>(event)->key())) {
        // Only this window's keys: a message box or dialog keeps its own Enter and Esc.
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
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
    showNewList();
}

void MainWindow::onHeadingClicked(int column) {
    if (column < 0) {
        return;
    }
    mirrorSelection();
    // The focused row moves with its record.
    const QModelIndex current = list_->currentIndex();
    const std::optional<std::int32_t> currentItem =
        current.isValid() && static_cast<std::size_t>(current.row()) < state_->list.rowCount()
            ? std::optional(state_->list.itemNumber(static_cast<std::size_t>(current.row())))
            : std::nullopt;
    {
        const BusyCursor busy;
        state_->list.onColumnClick(static_cast<std::size_t>(column));
    }
    showChangedList();
    showSortIndicator();
    if (currentItem) {
        const int row = state_->list.findByItemNumber(*currentItem);
        if (row >= 0) {
            list_->selectionModel()->setCurrentIndex(model_->index(row, current.column()),
                                                     QItemSelectionModel::NoUpdate);
        }
    }
}

void MainWindow::onMakeGpx() {
    mirrorSelection();
    {
        const BusyCursor busy;
        quillet::onMakeGpx(*state_, ui_);
    }
    showChangedList();
}

void MainWindow::onDelete() {
    mirrorSelection();
    DeleteResult result;
    {
        const BusyCursor busy;
        result = quillet::onDelete(*state_, ui_);
    }
    // The deletion filled the list anew whenever its rows no longer matched the file.
    if (result.listIsStale) {
        showNewList();
    } else {
        showChangedList();
    }
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
    const QString hint = list_->selectionModel()->hasSelection() ? QString() : kSelectRowsHint;
    for (QPushButton* button : {makeGpx_, delete_}) {
        button->setToolTip(hint);
        button->setStatusTip(hint);
    }
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
    RecordList& list = state_->list;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        list.setSelected(row, false);
    }
    const QItemSelection selection = list_->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (row >= 0 && static_cast<std::size_t>(row) < list.rowCount()) {
                list.setSelected(static_cast<std::size_t>(row), true);
            }
        }
    }
}

void MainWindow::showSelection() {
    const RecordList& list = state_->list;
    const int lastColumn = model_->columnCount() - 1;
    QItemSelection selection;
    if (lastColumn >= 0) {
        // One range per run of selected rows.
        const auto rows = static_cast<int>(list.rowCount());
        int first = -1;
        for (int row = 0; row <= rows; ++row) {
            const bool selected = row < rows && list.isSelected(static_cast<std::size_t>(row));
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
    updatePreview();
}

void MainWindow::showChangedList() {
    if (model_->rowCount() != static_cast<int>(state_->list.rowCount()) ||
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
