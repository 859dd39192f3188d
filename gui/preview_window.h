#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

#include "app/app_state.h"
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

PreviewPicture drawPicture(const preview::PreviewSelection& selection, QSize size,
                           qreal pixelRatio);

// The "Preview" window: a separate, non-modal window that paints the core's scene of
// the selected rows. The scene is laid out again for the window's size; the points
// are read only when the selection changes. A large selection is laid out on a worker
// thread, so that the main window stays free; the window shows the last scene until
// the new one is ready. Esc and Ctrl+W close it.
class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Moves the window beside `mainWindow`, off its `list` (the core's placement).
    void placeBeside(const QWidget& mainWindow, const QWidget& list);
    void showSelection(preview::PreviewSelection selection);
    const preview::PreviewScene& scene() const { return picture_.scene; }
    // Whether a scene is being laid out on the worker thread.
    bool layingOut() const;

signals:
    // A scene laid out on the worker thread is shown.
    void sceneReady();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layOut();
    void takeScene();

    std::shared_ptr<const preview::PreviewSelection> selection_;
    PreviewPicture picture_;
    QFutureWatcher<PreviewPicture>* worker_ = nullptr;
    bool layOutAgain_ = false;  // the size or selection changed while the worker ran
};

}  // namespace quillet::gui
