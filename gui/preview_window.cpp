// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_window.h"

#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QSettings>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "map_tiles.h"
#include "preview/build_scene.h"
#include "preview/map_layer.h"
#include "preview/window_placement.h"
#include "text/translation.h"

namespace quillet::gui {

namespace {

QSettings previewSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillet"),
                     QStringLiteral("quillet"));
}

const QString kMapKey = QStringLiteral("preview/map");
constexpr double kZoomStep = 2;  // + and -; a wheel notch is a half step

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

// A long line is stroked in pieces of this many points. Qt fills the stroke of one line
// that crosses itself thousands of times very slowly; opaque pieces look the same (their
// round caps meet as round joins), and the dashes go on from one piece to the next.
constexpr qsizetype kPiecePoints = 256;

void strokeInPieces(QPainter& painter, QPen pen, const QPolygonF& line) {
    const bool dashed = pen.style() == Qt::CustomDashLine;
    qreal travelled = 0;  // along the line, in pen widths, for the dashes' phase
    for (qsizetype from = 0; from + 1 < line.size(); from += kPiecePoints) {
        const qsizetype count = std::min(kPiecePoints + 1, line.size() - from);
        if (dashed) {
            pen.setDashOffset(travelled);
            painter.setPen(pen);
            for (qsizetype i = from + 1; i < from + count; ++i) {
                travelled += QLineF(line[i - 1], line[i]).length() / pen.widthF();
            }
        }
        painter.drawPolyline(line.constData() + from, static_cast<int>(count));
    }
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
            if (line.size() == 1) {
                painter.drawPolyline(line);  // a single point: a dot of the caps
            } else {
                strokeInPieces(painter, pen, line);
            }
        }
    }
}

}  // namespace

PreviewPicture drawPicture(const preview::PreviewSelection& selection, QSize size, qreal pixelRatio,
                           const preview::ViewChange& view) {
    PreviewPicture picture{preview::buildScene(selection, size.width(), size.height(), view,
                                               preview::SceneWording::PersonsLanguage),
                           {}};
    picture.tracks = QImage(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    picture.tracks.setDevicePixelRatio(pixelRatio);
    picture.tracks.fill(Qt::transparent);
    QPainter painter(&picture.tracks);
    painter.setRenderHint(QPainter::Antialiasing);
    paintTracks(painter, picture.scene);
    return picture;
}

namespace {

// The scene but its background and tracks, which come as a picture drawn beforehand.
void paintScene(QPainter& painter, const preview::PreviewScene& scene, const QImage& tracks) {
    using namespace preview;
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
      worker_(new QFutureWatcher<PreviewPicture>(this)),
      tiles_(new MapTiles(this)) {
    setWindowTitle(tr("Preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(640, 480);
    connect(worker_, &QFutureWatcher<PreviewPicture>::finished, this, &PreviewWindow::takeScene);
    connect(tiles_, &MapTiles::tileArrived, this, [this] {
        tilePaint_ = true;
        update();
    });
    const QSettings settings = previewSettings();
    mapChosen_ = settings.contains(kMapKey);
    tiles_->setSource(map::mapSourceOfSetting(settings.value(kMapKey).toString().toStdString()));
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

void PreviewWindow::showSelection(preview::PreviewRows rows) {
    rows_ = std::move(rows);
    layOut();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    const bool ctrlW = event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier;
    if (event->key() == Qt::Key_Escape || ctrlW) {
        close();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomBy(kZoomStep);
            return;
        case Qt::Key_Minus:
            zoomBy(1 / kZoomStep);
            return;
        case Qt::Key_Home:
            changeView({});
            return;
        default:
            break;
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
    if (!rows_.wantsAWorker()) {
        picture_ = drawPicture(rows_.selection(), size(), devicePixelRatioF(), view_);
        update();
        return;
    }
    layOutAgain_ = false;
    worker_->setFuture(
        QtConcurrent::run([rows = rows_, size = size(), ratio = devicePixelRatioF(), view = view_] {
            return drawPicture(rows.selection(), size, ratio, view);
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

bool PreviewWindow::setMapSource(const map::MapSource& source) {
    const bool read = tiles_->setSource(source);
    mapChosen_ = true;
    previewSettings().setValue(kMapKey, QString::fromStdString(map::settingOf(tiles_->source())));
    update();
    return read;
}

void PreviewWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const map::MapKind current = tiles_->source().kind;
    const auto item = [&](const char* text, map::MapKind kind) {
        QAction* action = menu.addAction(QString::fromUtf8(translate(text)));
        action->setCheckable(true);
        action->setChecked(kind == current);
        return action;
    };
    QAction* none = item(map::kNoMapText, map::MapKind::None);
    QAction* osm = item(map::kOsmText, map::MapKind::OpenStreetMap);
    QAction* url = item(map::kCustomUrlText, map::MapKind::Url);
    QAction* mbtiles = item(map::kMbTilesText, map::MapKind::MbTiles);
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == none) {
        setMapSource({});
    } else if (chosen == osm) {
        setMapSource({map::MapKind::OpenStreetMap, {}});
    } else if (chosen == url) {
        bool ok = false;
        const QString text = QInputDialog::getText(
            this, QString::fromUtf8(translate(map::kCustomUrlText)),
            tr("URL with {z}, {x} and {y}:"), QLineEdit::Normal,
            QString::fromStdString(map::urlTemplateOf(tiles_->source())), &ok);
        if (ok && map::isUrlTemplate(text.toStdString())) {
            setMapSource({map::MapKind::Url, text.toStdString()});
        }
    } else if (chosen == mbtiles) {
        const QString file =
            QFileDialog::getOpenFileName(this, QString::fromUtf8(translate(map::kMbTilesText)),
                                         QString(), tr("MBTiles (*.mbtiles);;All files (*)"));
        if (!file.isEmpty()) {
            setMapSource({map::MapKind::MbTiles, file.toStdString()});
        }
    }
}

void PreviewWindow::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) {
        zoomBy(std::pow(kZoomStep, notches / 2), event->position());
    }
}

void PreviewWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
    }
}

void PreviewWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!dragFrom_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPointF moved = event->position() - *dragFrom_;
    dragFrom_ = event->position();
    changeView({view_.zoom, view_.panX + moved.x(), view_.panY + moved.y()});
}

void PreviewWindow::zoomBy(double factor, std::optional<QPointF> about) {
    if (const auto& frame = picture_.scene.mapFrame) {
        const auto at =
            about ? std::optional(preview::ScenePoint{about->x(), about->y()}) : std::nullopt;
        changeView(preview::zoomedView(view_, *frame, factor, at));
    }
}

void PreviewWindow::changeView(const preview::ViewChange& view) {
    view_ = view;
    layOut();
}

void PreviewWindow::paintMap(QPainter& painter) {
    const preview::PreviewScene& scene = picture_.scene;
    if (tiles_->source().kind == map::MapKind::None || !scene.mapFrame) {
        return;
    }
    const preview::SceneRect& area = scene.mapFrame->area;
    painter.save();
    painter.setClipRect(QRectF(area.x, area.y, area.width, area.height));
    for (const preview::SceneTile& tile :
         preview::tilesOfScene(scene, tiles_->minZoom(), tiles_->maxZoom())) {
        const QImage image = tiles_->tile(tile.id);
        if (!image.isNull()) {
            // On whole pixels, so that neighbours meet without a seam.
            const QPoint from(qRound(tile.at.x), qRound(tile.at.y));
            const QPoint to(qRound(tile.at.x + tile.at.width), qRound(tile.at.y + tile.at.height));
            painter.drawImage(QRect(from, to - QPoint(1, 1)), image);
        }
    }
    painter.restore();
}

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!tilePaint_) {
        tiles_->beginPicture();  // a new picture: tiles that failed are asked for again
    }
    tilePaint_ = false;
    painter.fillRect(rect(), toQColor(preview::kBackground));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paintMap(painter);
    paintScene(painter, picture_.scene, picture_.tracks);
    // The map's credit at the map's bottom right, on a light ground; the hint at first.
    QString credit = tiles_->attribution();
    if (!mapChosen_) {
        credit = QString::fromUtf8(translate(map::kMapHint));
    }
    if (!credit.isEmpty() && picture_.scene.mapFrame) {
        const preview::SceneRect& area = picture_.scene.mapFrame->area;
        const QRectF box =
            painter.boundingRect(QRectF(), Qt::AlignLeft, credit).adjusted(-4, -1, 4, 1);
        const QRectF at(area.x + area.width - box.width(), area.y + area.height - box.height(),
                        box.width(), box.height());
        painter.fillRect(at, QColor(255, 255, 255, 200));
        painter.setPen(toQColor(preview::kInk));
        painter.drawText(at, Qt::AlignCenter, credit);
    }
    // Tracks whose device file could not be opened are missing from the picture.
    painter.setPen(Qt::darkRed);
    double y = height() - 8;
    for (const auto& file : rows_.unreadableFiles()) {
        painter.drawText(QPointF(12, y),
                         tr("Unable to open file %1").arg(QString::fromStdString(file.string())));
        y -= preview::kTextSize + 4;
    }
}

}  // namespace quillet::gui
