#pragma once

#include <QWidget>

#include "app/app_state.h"
#include "preview/preview_scene.h"
#include "preview/preview_selection.h"

namespace quillet::gui {

// The "Preview" window: a separate, non-modal window that paints the core's scene of
// the selected rows. The scene is laid out again for the window's size; the points
// are read only when the selection changes.
class PreviewWindow : public QWidget {
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    void showSelection(preview::PreviewSelection selection);
    const preview::PreviewScene& scene() const { return scene_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    preview::PreviewSelection selection_;
    preview::PreviewScene scene_;
};

}  // namespace quillet::gui
