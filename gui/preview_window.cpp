#include "preview_window.h"

#include <QFutureWatcher>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

#include "preview/build_scene.h"
#include "preview/window_placement.h"

namespace quillet::gui {

namespace {

// Selections of more points than this are laid out on the worker thread; smaller ones
// take a few milliseconds and are laid out at once.
constexpr std::size_t kWorkerPoints = 50'000;

std::size_t pointCount(const preview::PreviewSelection& selection) {
    std::size_t count = selection.waypoints.size();
    for (const preview::PreviewTrack& track : selection.tracks) {
        count += track.points.size();
    }
    return count;
}

QColor toQColor(preview::Colour colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QPointF toQPoint(preview::ScenePoint point) {
    return QPointF(point.x, point.y);
}

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPolygonF toPolygon(const std::vector<preview::ScenePoint>& line) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(line.size()));
    for (const preview::ScenePoint& point : line) {
        polygon << toQPoint(point);
    }
    return polygon;
}

void drawText(QPainter& painter, const preview::SceneText& text) {
    painter.drawText(toQPoint(text.at), toQString(text.text));
}

void paintTracks(QPainter& painter, const preview::PreviewScene& scene) {
    using namespace preview;
    for (const SceneTrack& track : scene.tracks) {
        const QPolygonF line = toPolygon(track.line);
        for (const auto& [colour, width] :
             {std::pair{kCasing, kCasingWidth}, std::pair{track.colour, kLineWidth}}) {
            QPen pen(toQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            if (track.dashed && width == kLineWidth) {
                pen.setCapStyle(Qt::FlatCap);
                pen.setDashPattern({kDashOn / width, kDashOff / width});
            }
            painter.setPen(pen);
            painter.drawPolyline(line);
        }
    }
}

}  // namespace

PreviewPicture drawPicture(const preview::PreviewSelection& selection, QSize size,
                           qreal pixelRatio) {
    PreviewPicture picture{preview::buildScene(selection, size.width(), size.height()), {}};
    picture.tracks = QImage(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    picture.tracks.setDevicePixelRatio(pixelRatio);
    picture.tracks.fill(Qt::transparent);
    QPainter painter(&picture.tracks);
    painter.setRenderHint(QPainter::Antialiasing);
    paintTracks(painter, picture.scene);
    return picture;
}

namespace {

// The scene but its tracks, which come as a picture drawn beforehand.
void paintScene(QPainter& painter, const preview::PreviewScene& scene, const QImage& tracks) {
    using namespace preview;
    painter.fillRect(QRectF(0, 0, scene.width, scene.height), toQColor(kBackground));
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(kTextSize));
    painter.setFont(font);
    painter.drawImage(QPointF(0, 0), tracks);

    painter.setPen(toQColor(kInk));
    for (const SceneWaypoint& waypoint : scene.waypoints) {
        painter.setBrush(toQColor(kInk));
        painter.drawEllipse(toQPoint(waypoint.at), kWaypointRadius, kWaypointRadius);
        const QString name = toQString(waypoint.name);
        const double gap = kNameGap;
        const double x = waypoint.nameLeft
                             ? waypoint.at.x - gap - painter.fontMetrics().horizontalAdvance(name)
                             : waypoint.at.x + gap;
        painter.drawText(QPointF(x, waypoint.at.y + kNameDrop), name);
    }
    painter.setBrush(Qt::NoBrush);

    for (const LegendEntry& entry : scene.legend) {
        const double y = entry.text.at.y - kTextSize * kSwatchRise;
        QPen swatch(toQColor(entry.colour), kCasingWidth, Qt::SolidLine, Qt::FlatCap);
        if (entry.dashed) {
            swatch.setDashPattern({kDashOn / kCasingWidth, kDashOff / kCasingWidth});
        }
        painter.setPen(swatch);
        painter.drawLine(QPointF(entry.text.at.x - kSwatchFrom, y),
                         QPointF(entry.text.at.x - kSwatchTo, y));
        painter.setPen(toQColor(kInk));
        drawText(painter, entry.text);
    }

    painter.setPen(toQColor(kInk));
    if (scene.scaleBar) {
        const SceneScaleBar& bar = *scene.scaleBar;
        const QPointF start = toQPoint(bar.start);
        const QPointF end(bar.start.x + bar.length, bar.start.y);
        painter.drawLine(start, end);
        painter.drawLine(start, start - QPointF(0, kTickHeight));
        painter.drawLine(end, end - QPointF(0, kTickHeight));
        drawText(painter, {{bar.start.x, bar.start.y - kScaleLabelRise}, bar.label});
    }
    if (scene.profile) {
        const SceneProfile& profile = *scene.profile;
        painter.setBrush(Qt::white);
        painter.drawRect(
            QRectF(profile.frame.x, profile.frame.y, profile.frame.width, profile.frame.height));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(toQColor(kInk), 1.5));
        painter.drawPolyline(toPolygon(profile.line));
        painter.setPen(toQColor(kInk));
        for (const SceneText& label : profile.labels) {
            drawText(painter, label);
        }
    }
    if (scene.message) {
        drawText(painter, *scene.message);
    }
}

}  // namespace

PreviewWindow::PreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      selection_(std::make_shared<const preview::PreviewSelection>()),
      worker_(new QFutureWatcher<PreviewPicture>(this)) {
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(640, 480);
    connect(worker_, &QFutureWatcher<PreviewPicture>::finished, this, &PreviewWindow::takeScene);
}

PreviewWindow::~PreviewWindow() {
    worker_->waitForFinished();  // it reads the selection this window holds
}

void PreviewWindow::placeBeside(const QWidget& mainWindow, const QWidget& list) {
    const auto toRect = [](const QRect& r) {
        return preview::ScreenRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    };
    const QRect main = mainWindow.frameGeometry();
    const QRect listArea(list.mapToGlobal(QPoint(0, 0)), list.size());
    const QScreen* screen = mainWindow.screen();
    const QRect work = screen != nullptr ? screen->availableGeometry() : main;
    // This window's frame is not known before it is shown: the main window's is taken.
    const QSize frame = main.size() - mainWindow.geometry().size();
    const preview::ScreenRect place =
        preview::placePreview(toRect(main), toRect(listArea), width() + frame.width(),
                              height() + frame.height(), toRect(work));
    resize(place.width() - frame.width(), place.height() - frame.height());
    move(place.left, place.top);
}

bool PreviewWindow::layingOut() const {
    return worker_->isRunning();
}

void PreviewWindow::showSelection(preview::PreviewSelection selection) {
    selection_ = std::make_shared<const preview::PreviewSelection>(std::move(selection));
    layOut();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    const bool ctrlW = event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier;
    if (event->key() == Qt::Key_Escape || ctrlW) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void PreviewWindow::layOut() {
    if (worker_->isRunning()) {
        layOutAgain_ = true;  // when the running one is done
        return;
    }
    if (pointCount(*selection_) <= kWorkerPoints) {
        picture_ = drawPicture(*selection_, size(), devicePixelRatioF());
        update();
        return;
    }
    layOutAgain_ = false;
    worker_->setFuture(
        QtConcurrent::run([selection = selection_, size = size(), ratio = devicePixelRatioF()] {
            return drawPicture(*selection, size, ratio);
        }));
}

void PreviewWindow::takeScene() {
    picture_ = worker_->result();
    update();
    if (layOutAgain_) {
        layOut();
    } else {
        emit sceneReady();
    }
}

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintScene(painter, picture_.scene, picture_.tracks);
    // Tracks whose device file could not be opened are missing from the picture.
    painter.setPen(Qt::darkRed);
    double y = height() - 8;
    for (const auto& file : selection_->unreadableFiles) {
        painter.drawText(QPointF(12, y),
                         "Unable to open file " + QString::fromStdString(file.string()));
        y -= preview::kTextSize + 4;
    }
}

}  // namespace quillet::gui
