// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

#include "app/app_state.h"
#include "map/map_source.h"
#include "preview/build_scene.h"
#include "preview/preview_scene.h"
#include "preview/preview_selection.h"

template <typename T>
class QFutureWatcher;

namespace quillet::gui {

// The scene of a selection with its track lines drawn into a picture of the window's
// size: drawing a million points takes far longer than laying them out, and a picture
// can be drawn on any thread.
struct PreviewPicture {
    preview::PreviewScene scene;
    QImage tracks;  // transparent but for the lines
};

PreviewPicture drawPicture(const preview::PreviewSelection& selection, QSize size, qreal pixelRatio,
                           const preview::ViewChange& view = {});

class MapTiles;

// The "Preview" window: a separate, non-modal window that paints the core's scene of
// the selected rows. The scene is laid out again for the window's size; the points
// are read only when the selection changes. A large selection is read out of the rows
// taken and laid out on a worker thread, so that the main window stays free; the window shows the
// last scene until the new one is ready. Esc and Ctrl+W close it. A map can be drawn under it
// (chosen with a right-click, remembered), and the wheel, dragging, + and - zoom and pan it; Home
// fits the selection again.
class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Moves the window beside `mainWindow`, off its `list` (the core's placement).
    void placeBeside(const QWidget& mainWindow, const QWidget& list);
    // The rows to show; the points are read out of them on the worker thread when many.
    void showSelection(preview::PreviewRows rows);
    const preview::PreviewScene& scene() const { return picture_.scene; }
    // Whether a scene is being laid out on the worker thread.
    bool layingOut() const;
    // The map under the picture; false when an MBTiles file cannot be read.
    bool setMapSource(const map::MapSource& source);
    MapTiles& mapTiles() const { return *tiles_; }
    const preview::ViewChange& view() const { return view_; }

signals:
    // A scene laid out on the worker thread is shown.
    void sceneReady();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void layOut();
    void takeScene();
    // Zooms by the factor about the point, or the map's centre without one.
    void zoomBy(double factor, std::optional<QPointF> about = std::nullopt);
    void changeView(const preview::ViewChange& view);
    void paintMap(QPainter& painter);

    preview::PreviewRows rows_;
    PreviewPicture picture_;
    QFutureWatcher<PreviewPicture>* worker_ = nullptr;
    bool layOutAgain_ = false;  // the size or selection changed while the worker ran
    MapTiles* tiles_ = nullptr;
    bool mapChosen_ = false;  // the person has picked a map source once
    bool tilePaint_ = false;  // the paint comes from a tile that arrived
    preview::ViewChange view_;
    std::optional<QPointF> dragFrom_;
};

}  // namespace quillet::gui
