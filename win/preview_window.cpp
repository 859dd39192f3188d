#include "preview_window.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "preview/build_scene.h"
#include "preview/window_placement.h"
#include "resource_ids.h"
#include "text/translation.h"
#include "wide_text.h"

namespace quillet::win {

namespace {

constexpr wchar_t kWindowClass[] = L"QuilletPreview";
// The first size of the picture, in scene units.
constexpr double kFirstWidth = 640;
constexpr double kFirstHeight = 480;
constexpr COLORREF kWarningInk = RGB(128, 0, 0);
// Posted by the worker thread when its scene is ready.
constexpr UINT kSceneReady = WM_APP + 1;
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

preview::ScreenRect toScreenRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

COLORREF toColorRef(preview::Colour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// Device pixels per scene unit on the window's monitor: its DPI over 96.
double pixelsPerUnitOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi > 0 ? dpi / 96.0 : 1;
}

// A pen, brush or font selected into a device context for a scope, then put back and
// deleted.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object) {
        previous_ = SelectObject(dc, object);
    }
    ~Selected() {
        SelectObject(dc_, previous_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ previous_ = nullptr;
};

// Draws scene units as device pixels, `scale` pixels to the unit.
class ScenePainter {
public:
    ScenePainter(HDC dc, double scale) : dc_(dc), scale_(scale) {}

    int pixels(double units) const { return static_cast<int>(std::lround(units * scale_)); }
    POINT at(preview::ScenePoint point) const { return POINT{pixels(point.x), pixels(point.y)}; }

    HPEN pen(preview::Colour colour, double width, DWORD endCap, bool dashed = false) const {
        const LOGBRUSH brush{BS_SOLID, toColorRef(colour), 0};
        if (dashed) {
            const DWORD dashes[] = {static_cast<DWORD>(std::max(1, pixels(preview::kDashOn))),
                                    static_cast<DWORD>(std::max(1, pixels(preview::kDashOff)))};
            return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_ROUND,
                                static_cast<DWORD>(std::max(1, pixels(width))), &brush, 2, dashes);
        }
        return ExtCreatePen(PS_GEOMETRIC | PS_SOLID | endCap | PS_JOIN_ROUND,
                            static_cast<DWORD>(std::max(1, pixels(width))), &brush, 0, nullptr);
    }
    HFONT font() const {
        LOGFONTW font{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfHeight = -std::max(1, pixels(preview::kTextSize));
        font.lfWidth = 0;
        return CreateFontIndirectW(&font);
    }

    void polyline(const std::vector<preview::ScenePoint>& line) const {
        std::vector<POINT> points;
        points.reserve(line.size());
        for (const preview::ScenePoint& point : line) {
            points.push_back(at(point));
        }
        Polyline(dc_, points.data(), static_cast<int>(points.size()));
    }
    void line(preview::ScenePoint from, preview::ScenePoint to) const {
        const POINT start = at(from);
        const POINT end = at(to);
        MoveToEx(dc_, start.x, start.y, nullptr);
        LineTo(dc_, end.x, end.y);
    }
    // A text whose baseline starts at `at`, or ends there with TA_RIGHT.
    void text(preview::ScenePoint at, const std::wstring& text, UINT align = TA_LEFT) const {
        SetTextAlign(dc_, TA_BASELINE | TA_NOUPDATECP | align);
        const POINT point = this->at(at);
        TextOutW(dc_, point.x, point.y, text.data(), static_cast<int>(text.size()));
    }
    void text(const preview::SceneText& text) const { this->text(text.at, toWide(text.text)); }

private:
    HDC dc_;
    double scale_;
};

// The scene in the order its description gives: background, tracks over their casings,
// waypoints, legend, scale bar, profile and message.
void paintScene(HDC dc, const preview::PreviewScene& scene, const RECT& client, double scale) {
    using namespace preview;
    const ScenePainter painter(dc, scale);
    const HBRUSH background = CreateSolidBrush(toColorRef(kBackground));
    FillRect(dc, &client, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, toColorRef(kInk));
    const Selected font(dc, painter.font());

    for (const SceneTrack& track : scene.tracks) {
        for (const auto& [colour, width] :
             {std::pair{kCasing, kCasingWidth}, std::pair{track.colour, kLineWidth}}) {
            const Selected pen(dc, painter.pen(colour, width, PS_ENDCAP_ROUND,
                                               track.dashed && width == kLineWidth));
            painter.polyline(track.line);
        }
    }

    {
        const Selected pen(dc, painter.pen(kInk, 1, PS_ENDCAP_ROUND));
        const Selected brush(dc, CreateSolidBrush(toColorRef(kInk)));
        for (const SceneWaypoint& waypoint : scene.waypoints) {
            const POINT topLeft =
                painter.at({waypoint.at.x - kWaypointRadius, waypoint.at.y - kWaypointRadius});
            const POINT bottomRight =
                painter.at({waypoint.at.x + kWaypointRadius, waypoint.at.y + kWaypointRadius});
            Ellipse(dc, topLeft.x, topLeft.y, bottomRight.x + 1, bottomRight.y + 1);
            const double gap = waypoint.nameLeft ? -kNameGap : kNameGap;
            painter.text({waypoint.at.x + gap, waypoint.at.y + kNameDrop}, toWide(waypoint.name),
                         waypoint.nameLeft ? TA_RIGHT : TA_LEFT);
        }
    }

    for (const LegendEntry& entry : scene.legend) {
        const double y = entry.text.at.y - kTextSize * kSwatchRise;
        const Selected pen(dc,
                           painter.pen(entry.colour, kCasingWidth, PS_ENDCAP_SQUARE, entry.dashed));
        painter.line({entry.text.at.x - kSwatchFrom, y}, {entry.text.at.x - kSwatchTo, y});
        painter.text(entry.text);
    }

    const Selected ink(dc, painter.pen(kInk, 1, PS_ENDCAP_SQUARE));
    if (scene.scaleBar) {
        const SceneScaleBar& bar = *scene.scaleBar;
        const ScenePoint end{bar.start.x + bar.length, bar.start.y};
        painter.line(bar.start, end);
        painter.line(bar.start, {bar.start.x, bar.start.y - kTickHeight});
        painter.line(end, {end.x, end.y - kTickHeight});
        painter.text({{bar.start.x, bar.start.y - kScaleLabelRise}, bar.label});
    }
    if (scene.profile) {
        const SceneProfile& profile = *scene.profile;
        {
            const Selected white(dc, CreateSolidBrush(RGB(255, 255, 255)));
            const POINT topLeft = painter.at({profile.frame.x, profile.frame.y});
            const POINT bottomRight = painter.at(
                {profile.frame.x + profile.frame.width, profile.frame.y + profile.frame.height});
            Rectangle(dc, topLeft.x, topLeft.y, bottomRight.x + 1, bottomRight.y + 1);
        }
        {
            const Selected pen(dc, painter.pen(kInk, 1.5, PS_ENDCAP_ROUND));
            painter.polyline(profile.line);
        }
        for (const SceneText& label : profile.labels) {
            painter.text(label);
        }
    }
    if (scene.message) {
        painter.text(*scene.message);
    }
}

// Tracks whose device file could not be opened are missing from the picture: their
// files are named at the bottom, one above the other.
void paintUnreadableFiles(HDC dc, const preview::PreviewSelection& selection, double height,
                          double scale) {
    const ScenePainter painter(dc, scale);
    SetTextColor(dc, kWarningInk);
    const Selected font(dc, painter.font());
    double y = height - 8;
    for (const std::filesystem::path& file : selection.unreadableFiles) {
        painter.text({12, y}, toWide(fillIn(translate("Unable to open file {1}"),
                                            {toUtf8(file.wstring())})));
        y -= preview::kTextSize + 4;
    }
}

}  // namespace

std::unique_ptr<PreviewWindow> PreviewWindow::create(HINSTANCE instance, HWND owner) {
    static const ATOM registered = [instance] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLET));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    if (registered == 0) {
        return nullptr;
    }
    const double scale = pixelsPerUnitOf(owner);
    RECT frame{0, 0, static_cast<LONG>(std::lround(kFirstWidth * scale)),
               static_cast<LONG>(std::lround(kFirstHeight * scale))};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    std::unique_ptr<PreviewWindow> preview(new PreviewWindow());
    const std::wstring title = toWide(translate("Preview"));
    if (CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, owner,
                        nullptr, instance, preview.get()) == nullptr) {
        return nullptr;
    }
    return preview;
}

PreviewWindow::~PreviewWindow() {
    if (worker_.valid()) {
        worker_.wait();  // it reads the selection this window holds
    }
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
}

LRESULT CALLBACK PreviewWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* preview = static_cast<PreviewWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(preview));
        preview->window_ = window;
    }
    auto* preview = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (preview == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        preview->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return preview->onMessage(message, wParam, lParam);
}

LRESULT PreviewWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            layOut();
            return 0;
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: the size the system suggests keeps the
            // picture as large, and the scene is laid out again at the new scale.
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            layOut();
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;  // the painting covers every pixel
        case WM_PAINT:
            paint();
            return 0;
        case WM_CLOSE:
            ShowWindow(window_, SW_HIDE);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE || (wParam == 'W' && GetKeyState(VK_CONTROL) < 0)) {
                ShowWindow(window_, SW_HIDE);
                return 0;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case kSceneReady:
            takeScene();
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void PreviewWindow::open() {
    SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void PreviewWindow::placeBeside(HWND mainWindow, HWND list) {
    RECT main{}, listArea{}, own{};
    GetWindowRect(mainWindow, &main);
    GetWindowRect(list, &listArea);
    GetWindowRect(window_, &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor) == 0) {
        monitor.rcWork = main;
    }
    const preview::ScreenRect place =
        preview::placePreview(toScreenRect(main), toScreenRect(listArea), own.right - own.left,
                              own.bottom - own.top, toScreenRect(monitor.rcWork));
    SetWindowPos(window_, nullptr, place.left, place.top, place.width(), place.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PreviewWindow::showSelection(preview::PreviewSelection selection) {
    selection_ = std::make_shared<const preview::PreviewSelection>(std::move(selection));
    layOut();
}

double PreviewWindow::pixelsPerUnit() const {
    return pixelsPerUnitOf(window_);
}

void PreviewWindow::layOut() {
    if (worker_.valid()) {
        layOutAgain_ = true;  // when the running one is done
        return;
    }
    RECT client{};
    GetClientRect(window_, &client);
    const double scale = pixelsPerUnit();
    const double width = client.right / scale;
    const double height = client.bottom / scale;
    if (pointCount(*selection_) <= kWorkerPoints) {
        scene_ = preview::buildScene(*selection_, width, height);
        InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    layOutAgain_ = false;
    worker_ =
        std::async(std::launch::async, [selection = selection_, width, height, window = window_] {
            preview::PreviewScene scene = preview::buildScene(*selection, width, height);
            PostMessageW(window, kSceneReady, 0, 0);
            return scene;
        });
}

void PreviewWindow::takeScene() {
    if (!worker_.valid()) {
        return;
    }
    scene_ = worker_.get();
    InvalidateRect(window_, nullptr, FALSE);
    if (layOutAgain_) {
        layOut();
    }
}

void PreviewWindow::paint() {
    PAINTSTRUCT paintStruct{};
    const HDC dc = BeginPaint(window_, &paintStruct);
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right > 0 && client.bottom > 0) {
        // Drawn off screen and copied in one go, so that a resize does not flicker.
        const HDC memory = CreateCompatibleDC(dc);
        const HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        const double scale = pixelsPerUnit();
        paintScene(memory, scene_, client, scale);
        paintUnreadableFiles(memory, *selection_, client.bottom / scale, scale);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(window_, &paintStruct);
}

}  // namespace quillet::win
