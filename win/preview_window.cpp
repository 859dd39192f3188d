// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_window.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "map_tiles.h"
#include "preview/map_layer.h"
#include "preview/window_placement.h"
#include "resource_ids.h"
#include "settings.h"
#include "text/translation.h"
#include "wide_text.h"

namespace quillet::win {

namespace {

constexpr wchar_t kWindowClass[] = L"QuilletPreview";
// The first size of the picture, in scene units.
constexpr double kFirstWidth = 640;
constexpr double kFirstHeight = 480;
constexpr COLORREF kWarningInk = RGB(128, 0, 0);
// Posted by the worker thread when its scene is ready, and by a tile request when its
// answer is in.
constexpr UINT kSceneReady = WM_APP + 1;
constexpr UINT kTileArrived = WM_APP + 2;
constexpr double kZoomStep = 2;  // + and -; a wheel notch is a half step
// The track bitmap's pixels that no line covers; no track colour is this one.
constexpr COLORREF kNoLine = RGB(255, 0, 254);
// The map's menu entries.
enum : UINT { kNoMapCommand = 1, kOsmCommand, kUrlCommand, kMbTilesCommand };

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

// The track lines over their casings.
void paintTracks(HDC dc, const preview::PreviewScene& scene, double scale) {
    using namespace preview;
    const ScenePainter painter(dc, scale);
    for (const SceneTrack& track : scene.tracks) {
        for (const auto& [colour, width] :
             {std::pair{kCasing, kCasingWidth}, std::pair{track.colour, kLineWidth}}) {
            const Selected pen(dc, painter.pen(colour, width, PS_ENDCAP_ROUND,
                                               track.dashed && width == kLineWidth));
            painter.polyline(track.line);
        }
    }
}

// The scene above its tracks, in the order its description gives: waypoints, legend,
// scale bar, profile and message.
void paintOverTracks(HDC dc, const preview::PreviewScene& scene, double scale) {
    using namespace preview;
    const ScenePainter painter(dc, scale);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, toColorRef(kInk));
    const Selected font(dc, painter.font());

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
void paintUnreadableFiles(HDC dc, const preview::PreviewRows& rows, double height, double scale) {
    const ScenePainter painter(dc, scale);
    SetTextColor(dc, kWarningInk);
    const Selected font(dc, painter.font());
    double y = height - 8;
    for (const std::filesystem::path& file : rows.unreadableFiles()) {
        painter.text({12, y}, toWide(fillIn(translate("Unable to open file {1}"),
                                            {toUtf8(file.wstring())})));
        y -= preview::kTextSize + 4;
    }
}

// Frees what a large selection or picture holds (a million points take tens of
// milliseconds to free) on a thread of its own, so that the window's thread goes on.
template <typename T>
void releaseElsewhere(T held) {
    std::thread([held = std::move(held)] {}).detach();
}

// The track lines of the scene in a bitmap of width x height pixels, drawn without a
// window: the worker thread calls it.
PreviewPicture drawPicture(const preview::PreviewSelection& selection, int width, int height,
                           double scale, const preview::ViewChange& view) {
    PreviewPicture picture{preview::buildScene(selection, width / scale, height / scale, view,
                                               preview::SceneWording::PersonsLanguage),
                           nullptr, width, height};
    if (width <= 0 || height <= 0) {
        return picture;
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return picture;
    }
    picture.tracks = std::shared_ptr<void>(bitmap, [](void* b) { DeleteObject(b); });
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    const RECT all{0, 0, width, height};
    const HBRUSH empty = CreateSolidBrush(kNoLine);
    FillRect(dc, &all, empty);
    DeleteObject(empty);
    paintTracks(dc, picture.scene, scale);
    GdiFlush();
    SelectObject(dc, previous);
    DeleteDC(dc);
    return picture;
}

// The text of the custom URL dialog's field, in and out.
struct UrlQuestion {
    std::wstring text;
};

INT_PTR CALLBACK urlDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* question = reinterpret_cast<const UrlQuestion*>(lParam);
            SetWindowTextW(dialog, toWide(translate(map::kCustomUrlText)).c_str());
            SetDlgItemTextW(dialog, IDC_MAP_URL_LABEL,
                            toWide(translate("URL with {z}, {x} and {y}:")).c_str());
            SetDlgItemTextW(dialog, IDC_MAP_URL, question->text.c_str());
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                if (LOWORD(wParam) == IDOK) {
                    auto* question =
                        reinterpret_cast<UrlQuestion*>(GetWindowLongPtrW(dialog, DWLP_USER));
                    const HWND field = GetDlgItem(dialog, IDC_MAP_URL);
                    question->text.assign(static_cast<std::size_t>(GetWindowTextLengthW(field)),
                                          L'\0');
                    GetWindowTextW(field, question->text.data(),
                                   static_cast<int>(question->text.size()) + 1);
                }
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// The URL template asked for in a small dialog; nothing when cancelled.
std::optional<std::string> askUrlTemplate(HWND owner, const std::string& current) {
    UrlQuestion question{toWide(current)};
    if (DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                        MAKEINTRESOURCEW(IDD_MAP_URL), owner, urlDialogProc,
                        reinterpret_cast<LPARAM>(&question)) != IDOK) {
        return std::nullopt;
    }
    return toUtf8(question.text);
}

// An MBTiles file from the open-file dialog; nothing when cancelled.
std::optional<std::string> askMbTilesFile(HWND owner) {
    std::wstring filter = L"MBTiles (*.mbtiles)";
    filter.push_back(L'\0');
    filter += L"*.mbtiles";
    filter.push_back(L'\0');
    filter += toWide(translate("All files")) + L" (*.*)";
    filter.push_back(L'\0');
    filter += L"*.*";
    filter.push_back(L'\0');
    const std::wstring title = toWide(translate(map::kMbTilesText));
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog) == 0) {
        return std::nullopt;
    }
    return toUtf8(name.data());
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
    preview->tiles_ = std::make_unique<MapTiles>(preview->window_, kTileArrived);
    const std::optional<std::string> setting = lastMapSetting();
    preview->mapChosen_ = setting.has_value();
    preview->tiles_->setSource(map::mapSourceOfSetting(setting.value_or(std::string())));
    return preview;
}

PreviewWindow::~PreviewWindow() {
    if (worker_.valid()) {
        worker_.wait();  // it reads the selection this window holds
    }
    if (window_ != nullptr && IsWindow(window_)) {
        DestroyWindow(window_);
    }
    tiles_.reset();
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
            switch (wParam) {
                case VK_ESCAPE:
                    ShowWindow(window_, SW_HIDE);
                    return 0;
                case 'W':
                    if (GetKeyState(VK_CONTROL) < 0) {
                        ShowWindow(window_, SW_HIDE);
                        return 0;
                    }
                    break;
                case VK_ADD:
                case VK_OEM_PLUS:  // "=" and "+" share the key
                    zoomBy(kZoomStep);
                    return 0;
                case VK_SUBTRACT:
                case VK_OEM_MINUS:
                    zoomBy(1 / kZoomStep);
                    return 0;
                case VK_HOME:
                    changeView({});
                    return 0;
                default:
                    break;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_MOUSEWHEEL: {
            const double notches = GET_WHEEL_DELTA_WPARAM(wParam) / double(WHEEL_DELTA);
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(window_, &at);
            if (notches != 0) {
                const double scale = pixelsPerUnit();
                zoomBy(std::pow(kZoomStep, notches / 2),
                       preview::ScenePoint{at.x / scale, at.y / scale});
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            dragFrom_ = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            SetCapture(window_);
            return 0;
        case WM_MOUSEMOVE:
            if (dragFrom_ && (wParam & MK_LBUTTON) != 0) {
                const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                const double scale = pixelsPerUnit();
                const double dx = (at.x - dragFrom_->x) / scale;
                const double dy = (at.y - dragFrom_->y) / scale;
                dragFrom_ = at;
                changeView({view_.zoom, view_.panX + dx, view_.panY + dy});
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            dragFrom_.reset();
            if (message == WM_LBUTTONUP) {
                ReleaseCapture();
            }
            return 0;
        case WM_CONTEXTMENU:
            showMapMenu(lParam);
            return 0;
        case kSceneReady:
            takeScene();
            return 0;
        case kTileArrived:
            if (tiles_ && tiles_->takeArrived()) {
                tilePaint_ = true;
                InvalidateRect(window_, nullptr, FALSE);
            }
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

void PreviewWindow::showSelection(preview::PreviewRows rows) {
    auto previous = std::exchange(rows_, std::move(rows));
    layOut();
    releaseElsewhere(std::move(previous));
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
    if (!rows_.wantsAWorker()) {
        picture_ = drawPicture(rows_.selection(), client.right, client.bottom, scale, view_);
        InvalidateRect(window_, nullptr, FALSE);
        return;
    }
    layOutAgain_ = false;
    worker_ =
        std::async(std::launch::async, [rows = rows_, width = client.right, height = client.bottom,
                                        scale, view = view_, window = window_] {
            PreviewPicture picture = drawPicture(rows.selection(), width, height, scale, view);
            PostMessageW(window, kSceneReady, 0, 0);
            return picture;
        });
}

void PreviewWindow::takeScene() {
    if (!worker_.valid()) {
        return;
    }
    releaseElsewhere(std::exchange(picture_, worker_.get()));
    InvalidateRect(window_, nullptr, FALSE);
    if (layOutAgain_) {
        layOut();
    }
}

bool PreviewWindow::setMapSource(const map::MapSource& source) {
    const bool read = tiles_->setSource(source);
    mapChosen_ = true;
    rememberMapSetting(map::settingOf(tiles_->source()));
    InvalidateRect(window_, nullptr, FALSE);
    return read;
}

void PreviewWindow::showMapMenu(LPARAM where) {
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (at.x == -1 && at.y == -1) {  // from the keyboard: at the window's top left
        at = {0, 0};
        ClientToScreen(window_, &at);
    }
    const HMENU menu = CreatePopupMenu();
    const map::MapKind current = tiles_->source().kind;
    for (const auto& [command, text, kind] :
         {std::tuple{kNoMapCommand, map::kNoMapText, map::MapKind::None},
          std::tuple{kOsmCommand, map::kOsmText, map::MapKind::OpenStreetMap},
          std::tuple{kUrlCommand, map::kCustomUrlText, map::MapKind::Url},
          std::tuple{kMbTilesCommand, map::kMbTilesText, map::MapKind::MbTiles}}) {
        AppendMenuW(menu, MF_STRING | (kind == current ? MF_CHECKED : MF_UNCHECKED), command,
                    toWide(translate(text)).c_str());
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
        case kNoMapCommand:
            setMapSource({});
            break;
        case kOsmCommand:
            setMapSource({map::MapKind::OpenStreetMap, {}});
            break;
        case kUrlCommand:
            if (const auto text = askUrlTemplate(window_, map::urlTemplateOf(tiles_->source()));
                text && map::isUrlTemplate(*text)) {
                setMapSource({map::MapKind::Url, *text});
            }
            break;
        case kMbTilesCommand:
            if (const auto file = askMbTilesFile(window_)) {
                setMapSource({map::MapKind::MbTiles, *file});
            }
            break;
        default:
            break;
    }
}

void PreviewWindow::zoomBy(double factor, std::optional<preview::ScenePoint> about) {
    if (const auto& frame = picture_.scene.mapFrame) {
        changeView(preview::zoomedView(view_, *frame, factor, about));
    }
}

void PreviewWindow::changeView(const preview::ViewChange& view) {
    view_ = view;
    layOut();
}

void PreviewWindow::paintMap(HDC dc, double scale) {
    const preview::PreviewScene& scene = picture_.scene;
    if (tiles_->source().kind == map::MapKind::None || !scene.mapFrame) {
        return;
    }
    const preview::SceneRect& area = scene.mapFrame->area;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, static_cast<int>(std::lround(area.x * scale)),
                      static_cast<int>(std::lround(area.y * scale)),
                      static_cast<int>(std::lround((area.x + area.width) * scale)),
                      static_cast<int>(std::lround((area.y + area.height) * scale)));
    // The tiles are drawn near their own size: no smoothing needed, and none spent.
    SetStretchBltMode(dc, COLORONCOLOR);
    for (const preview::SceneTile& tile :
         preview::tilesOfScene(scene, tiles_->minZoom(), tiles_->maxZoom())) {
        const TileImage* image = tiles_->tile(tile.id);
        if (image == nullptr) {
            continue;
        }
        // On whole pixels, so that neighbours meet without a seam.
        const int left = static_cast<int>(std::lround(tile.at.x * scale));
        const int top = static_cast<int>(std::lround(tile.at.y * scale));
        const int right = static_cast<int>(std::lround((tile.at.x + tile.at.width) * scale));
        const int bottom = static_cast<int>(std::lround((tile.at.y + tile.at.height) * scale));
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), image->width, -image->height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        StretchDIBits(dc, left, top, right - left, bottom - top, 0, 0, image->width, image->height,
                      image->pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    RestoreDC(dc, saved);
}

void PreviewWindow::paintCredit(HDC dc, double scale) {
    // The map's credit at the map's bottom right, on a light ground; the hint at first.
    const std::string credit = mapChosen_ ? tiles_->attribution() : translate(map::kMapHint);
    if (credit.empty() || !picture_.scene.mapFrame) {
        return;
    }
    const ScenePainter painter(dc, scale);
    const Selected font(dc, painter.font());
    const std::wstring text = toWide(credit);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const preview::SceneRect& area = picture_.scene.mapFrame->area;
    const int right = static_cast<int>(std::lround((area.x + area.width) * scale));
    const int bottom = static_cast<int>(std::lround((area.y + area.height) * scale));
    const int padX = painter.pixels(4);
    const int padY = painter.pixels(1);
    const RECT box{right - size.cx - 2 * padX, bottom - size.cy - 2 * padY, right, bottom};
    const HBRUSH ground = CreateSolidBrush(RGB(248, 248, 248));
    FillRect(dc, &box, ground);
    DeleteObject(ground);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, toColorRef(preview::kInk));
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    TextOutW(dc, box.left + padX, box.top + padY, text.c_str(), static_cast<int>(text.size()));
}

void PreviewWindow::paintInto(HDC dc, const RECT& client) {
    if (!tilePaint_) {
        tiles_->beginPicture();  // a new picture: tiles that failed are asked for again
    }
    tilePaint_ = false;
    const double scale = pixelsPerUnit();
    const HBRUSH background = CreateSolidBrush(toColorRef(preview::kBackground));
    FillRect(dc, &client, background);
    DeleteObject(background);
    paintMap(dc, scale);
    if (picture_.tracks) {
        const HDC lines = CreateCompatibleDC(dc);
        const HGDIOBJ previous = SelectObject(lines, static_cast<HBITMAP>(picture_.tracks.get()));
        TransparentBlt(dc, 0, 0, picture_.width, picture_.height, lines, 0, 0, picture_.width,
                       picture_.height, kNoLine);
        SelectObject(lines, previous);
        DeleteDC(lines);
    }
    paintOverTracks(dc, picture_.scene, scale);
    paintCredit(dc, scale);
    paintUnreadableFiles(dc, rows_, client.bottom / scale, scale);
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
        paintInto(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(window_, &paintStruct);
}

}  // namespace quillet::win
