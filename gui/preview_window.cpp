#include "preview_window.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "preview/build_scene.h"

namespace quillet::gui {

namespace {

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

void paintScene(QPainter& painter, const preview::PreviewScene& scene) {
    using namespace preview;
    painter.fillRect(QRectF(0, 0, scene.width, scene.height), toQColor(kBackground));
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(kTextSize));
    painter.setFont(font);

    for (const SceneTrack& track : scene.tracks) {
        const QPolygonF line = toPolygon(track.line);
        for (const auto& [colour, width] :
             {std::pair{kCasing, kCasingWidth}, std::pair{track.colour, kLineWidth}}) {
            painter.setPen(
                QPen(toQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(line);
        }
    }

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
        painter.setPen(QPen(toQColor(entry.colour), kCasingWidth));
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

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(640, 480);
}

void PreviewWindow::showSelection(preview::PreviewSelection selection) {
    selection_ = std::move(selection);
    scene_ = preview::buildScene(selection_, width(), height());
    update();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    scene_ = preview::buildScene(selection_, width(), height());
}

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintScene(painter, scene_);
    // Tracks whose device file could not be opened are missing from the picture.
    painter.setPen(Qt::darkRed);
    double y = height() - 8;
    for (const auto& file : selection_.unreadableFiles) {
        painter.drawText(QPointF(12, y),
                         "Unable to open file " + QString::fromStdString(file.string()));
        y -= preview::kTextSize + 4;
    }
}

}  // namespace quillet::gui
