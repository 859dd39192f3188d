// SPDX-License-Identifier: GPL-3.0-or-later
// quillet-win32-window-bench: the Win32 window's "Preview" of a selected active track,
// from Space until the picture with its elevation profile has been painted, timed on
// the window's own thread: the key's handling and every message it dispatches while
// the worker reads and draws. The same figures as the Qt window's benchmark
// (BM_PreviewOfActiveTrack), without the benchmark library, which is not built for
// Windows. Runs under Wine with a display (Xvfb).
//
//   quillet-win32-window-bench FOLDER [RUNS]
//
// FOLDER holds GARMIN_ATRK.NVM (the benchmark folders' active-track/, written by
// quillet-bench-peak --make). Prints one line per run and then the medians:
//   busy_ms     the window thread's time in all (the figure that counts)
//   longest_ms  the longest the thread was busy in one go
//   opening_ms  the part before the worker took over
//   latency_ms  the wall time until the picture was there

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "preview_window.h"
#include "resource_ids.h"
#include "ui/user_interface.h"

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Start-up shows no message on a sound folder; any message is answered Ok.
class QuietUi : public quillet::UserInterface {
public:
    quillet::Answer showMessage(std::string_view text, std::string_view, quillet::Buttons,
                                quillet::Icon) override {
        std::fprintf(stderr, "message: %.*s\n", static_cast<int>(text.size()), text.data());
        return quillet::Answer::Ok;
    }
    std::optional<std::filesystem::path> askSavePath(const quillet::SaveDialogRequest&) override {
        return std::nullopt;
    }
    std::string applicationName() const override { return "quillet"; }
};

struct Figures {
    double busy = 0;
    double longest = 0;
    double opening = 0;
    double latency = 0;
    std::size_t profilePoints = 0;
};

// The window thread's work, timed: one call or one dispatched message.
class ThreadClock {
public:
    template <typename Work>
    void time(Work&& work) {
        const Clock::time_point from = Clock::now();
        work();
        const double took = milliseconds(Clock::now() - from);
        busy += took;
        longest = std::max(longest, took);
    }
    // Dispatches what is waiting, as the program's message loop does; false when nothing
    // was.
    bool dispatchOne(quillet::win::MainDialog& dialog) {
        MSG message{};
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) == 0) {
            return false;
        }
        time([&] {
            if (!dialog.preTranslate(message) && !IsDialogMessageW(dialog.handle(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        });
        return true;
    }

    double busy = 0;
    double longest = 0;
};

std::optional<Figures> previewOnce(const std::filesystem::path& folder) {
    QuietUi ui;
    auto dialog = quillet::win::openMainDialog(GetModuleHandleW(nullptr), folder, ui);
    if (!dialog) {
        std::fprintf(stderr, "the window did not open on the folder\n");
        return std::nullopt;
    }
    ShowWindow(dialog->handle(), SW_SHOW);
    // The "Tracks" tab, as a click on it chooses it.
    const HWND tabs = dialog->control(IDC_VIEW_TABS);
    TabCtrl_SetCurSel(tabs, 1);
    NMHDR change{tabs, IDC_VIEW_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog->handle(), WM_NOTIFY, IDC_VIEW_TABS, reinterpret_cast<LPARAM>(&change));
    const HWND list = dialog->control(IDC_RECORD_LIST);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    ThreadClock settle;
    while (settle.dispatchOne(*dialog)) {
    }

    ThreadClock clock;
    const Clock::time_point start = Clock::now();
    clock.time([&] { dialog->preTranslate(MSG{list, WM_KEYDOWN, VK_SPACE, 0, 0, {}}); });
    Figures figures;
    figures.opening = clock.busy;
    quillet::win::PreviewWindow* preview = dialog->preview();
    if (preview == nullptr) {
        std::fprintf(stderr, "Space opened no preview\n");
        return std::nullopt;
    }
    // The thread is free while the worker draws: the program's loop would wait.
    for (;;) {
        if (clock.dispatchOne(*dialog)) {
            continue;
        }
        if (!preview->layingOut()) {
            break;
        }
        Sleep(1);
    }
    clock.time([&] { UpdateWindow(preview->handle()); });
    figures.latency = milliseconds(Clock::now() - start);
    figures.busy = clock.busy;
    figures.longest = clock.longest;
    if (preview->scene().profile) {
        figures.profilePoints = preview->scene().profile->line.size();
    }
    return figures;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillet-win32-window-bench FOLDER [RUNS]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;
    const INITCOMMONCONTROLSEX controls{
        .dwSize = sizeof(INITCOMMONCONTROLSEX),
        .dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    std::vector<double> busy, longest, opening, latency;
    std::size_t profilePoints = 0;
    for (int run = 0; run < runs; ++run) {
        const std::optional<Figures> figures = previewOnce(folder);
        if (!figures) {
            return 1;
        }
        std::printf("run %d: busy_ms=%.1f longest_ms=%.1f opening_ms=%.1f latency_ms=%.0f\n",
                    run + 1, figures->busy, figures->longest, figures->opening, figures->latency);
        busy.push_back(figures->busy);
        longest.push_back(figures->longest);
        opening.push_back(figures->opening);
        latency.push_back(figures->latency);
        profilePoints = figures->profilePoints;
    }
    if (profilePoints == 0) {
        std::fprintf(stderr, "the picture has no elevation profile\n");
        return 1;
    }
    std::printf(
        "BM_Win32PreviewOfActiveTrack busy_ms=%.1f longest_ms=%.1f opening_ms=%.1f "
        "latency_ms=%.0f profile_points=%zu (medians of %d)\n",
        median(busy), median(longest), median(opening), median(latency), profilePoints, runs);
    return 0;
}
