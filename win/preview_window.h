#pragma once

#include <windows.h>

#include <memory>

#include "app/app_state.h"
#include "preview/preview_scene.h"
#include "preview/preview_selection.h"

namespace quillet::win {

// The "Preview" window: a separate, non-modal window owned by the main window that paints
// the core's scene of the selected rows with GDI. The scene is laid out again for the
// window's size; the points are read only when the selection changes. Closing it hides
// it, so that it opens again where it was.
class PreviewWindow {
public:
    // The window, created hidden; nothing when the system refuses it.
    static std::unique_ptr<PreviewWindow> create(HINSTANCE instance, HWND owner);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    HWND handle() const { return window_; }
    bool isOpen() const { return window_ != nullptr && IsWindowVisible(window_) != 0; }
    // Shows the window above its owner, leaving the keyboard where it is.
    void open();
    void showSelection(preview::PreviewSelection selection);
    const preview::PreviewScene& scene() const { return scene_; }

private:
    PreviewWindow() = default;
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    double pixelsPerUnit() const;
    void layOut();
    void paint();

    HWND window_ = nullptr;
    preview::PreviewSelection selection_;
    preview::PreviewScene scene_;
};

}  // namespace quillet::win
