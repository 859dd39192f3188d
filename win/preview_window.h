// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <future>
#include <memory>
#include <optional>

#include "app/app_state.h"
#include "map/map_source.h"
#include "preview/build_scene.h"
#include "preview/preview_scene.h"
#include "preview/preview_selection.h"

namespace quillet::win {

class MapTiles;

// The scene laid out for a size and view, and its track lines drawn beforehand into a
// bitmap of the window's pixels (the rest keeps a key colour, left out when it is copied
// over the map).
struct PreviewPicture {
    preview::PreviewScene scene;
    std::shared_ptr<void> tracks;  // the HBITMAP, deleted with its last holder
    int width = 0;
    int height = 0;
};

// The "Preview" window: a separate, non-modal window owned by the main window that paints
// the core's scene of the selected rows with GDI, over the tiles of the map chosen from
// its right-click menu. The scene is laid out again for the window's size and the
// person's zoom and pan (wheel, dragging, + and -, Home for the fit); the points are
// read only when the selection changes. A large selection is read out of the rows
// taken, laid out and its lines drawn on a worker thread, so that the main window stays
// free; the window shows the last picture until the new one is ready. Closing it (Esc, Ctrl+W)
// hides it, so that it opens again where it was.
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
    // The rows to show; the points are read out of them on the worker thread when many.
    void showSelection(preview::PreviewRows rows);
    const preview::PreviewScene& scene() const { return picture_.scene; }

    // The map under the tracks, remembered for the next start; false (and None) when an
    // MBTiles file cannot be read.
    bool setMapSource(const map::MapSource& source);
    const MapTiles& tiles() const { return *tiles_; }
    // The zoom and pan from the fit; the default view is the fit.
    void changeView(const preview::ViewChange& view);
    // Paints the whole picture into `dc`, as WM_PAINT does.
    void paintInto(HDC dc, const RECT& client);

private:
    PreviewWindow() = default;
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    double pixelsPerUnit() const;
    void layOut();
    void takeScene();
    void paint();
    void paintMap(HDC dc, double scale);
    void paintCredit(HDC dc, double scale);
    void showMapMenu(LPARAM where);
    // The view `factor` times as large about `about` (scene units; the zoom centre when
    // not given).
    void zoomBy(double factor, std::optional<preview::ScenePoint> about = std::nullopt);

    HWND window_ = nullptr;
    preview::PreviewRows rows_;
    PreviewPicture picture_;
    std::future<PreviewPicture> worker_;
    bool layOutAgain_ = false;  // the size, view or selection changed while the worker ran
    preview::ViewChange view_;
    std::optional<POINT> dragFrom_;
    std::unique_ptr<MapTiles> tiles_;
    bool mapChosen_ = false;  // else the hint where to choose one
    bool tilePaint_ = false;  // the next paint is for tiles that arrived
};

}  // namespace quillet::win
