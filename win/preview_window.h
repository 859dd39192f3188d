#pragma once

#include <windows.h>

#include <future>
#include <memory>

#include "app/app_state.h"
#include "preview/preview_scene.h"
#include "preview/preview_selection.h"

namespace quillet::win {

// The "Preview" window: a separate, non-modal window owned by the main window that paints
// the core's scene of the selected rows with GDI. The scene is laid out again for the
// window's size; the points are read only when the selection changes. A large selection
// is laid out on a worker thread, so that the main window stays free; the window shows
// the last scene until the new one is ready. Closing it (Esc, Ctrl+W) hides it, so that
// it opens again where it was.
class PreviewWindow {
public:
    // The window, created hidden; nothing when the system refuses it.
    static std::unique_ptr<PreviewWindow> create(HINSTANCE instance, HWND owner);
    ~PreviewWindow();
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    HWND handle() const { return window_; }
    bool isOpen() const { return window_ != nullptr && IsWindowVisible(window_) != 0; }
    // Moves the window beside `mainWindow`, off its `list` (the core's placement).
    void placeBeside(HWND mainWindow, HWND list);
    // Shows the window above its owner, leaving the keyboard where it is.
    void open();
    // Whether a scene is being laid out on the worker thread.
    bool layingOut() const { return worker_.valid(); }
    void showSelection(preview::PreviewSelection selection);
    const preview::PreviewScene& scene() const { return scene_; }

private:
    PreviewWindow() = default;
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    double pixelsPerUnit() const;
    void layOut();
    void takeScene();
    void paint();

    HWND window_ = nullptr;
    std::shared_ptr<const preview::PreviewSelection> selection_ =
        std::make_shared<const preview::PreviewSelection>();
    preview::PreviewScene scene_;
    std::future<preview::PreviewScene> worker_;
    bool layOutAgain_ = false;  // the size or selection changed while the worker ran
};

}  // namespace quillet::win
