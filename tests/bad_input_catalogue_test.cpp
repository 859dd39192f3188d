// SPDX-License-Identifier: GPL-3.0-or-later
// Every folder of the bad-input catalogue run through the core: start-up, the fill of
// every view, "Make GPX" of every row and "Delete" of the first record. Nothing may
// crash or hang, every message either is one the program has always shown or names
// its file, the expected message comes, every track row describes exactly the points
// and name its export writes, a deletion that must be refused is, and every device
// file survives under its name or its backup's.
//
// Unreadable files and read-only folders mean nothing to root: run as root, those
// cases drop to the unprivileged user "nobody" in a child process first. Cases built to
// exhaust memory run in a child process too, whose peak memory is checked.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "app/make_gpx_command.h"
#include "app/startup.h"
#include "export/gpx_export.h"
#include "support/bad_folders.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "ui/track_columns.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::Access;
using testing::BadFolder;
using testing::FakeUi;
using testing::TempDir;

constexpr uid_t kNobody = 65534;

// The text between `open` and `close` after `from`, or nothing.
std::optional<std::string> between(const std::string& text, std::string_view open,
                                   std::string_view close, std::size_t from = 0) {
    const auto start = text.find(open, from);
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const auto end = text.find(close, start + open.size());
    return text.substr(start + open.size(), end - start - open.size());
}

// Where a track row and the trk its export wrote disagree: the points counted, the first
// and last times, the name. Every row is selected, so the trk elements follow the rows.
std::string trackDisagreements(const RecordList& list, const std::string& document) {
    std::string problems;
    std::size_t at = 0;
    for (std::size_t row = 0; row < list.rowCount(); ++row) {
        const auto trk = between(document, "<trk>", "</trk>", at);
        if (!trk) {
            return "no trk for row " + std::to_string(row) + "; ";
        }
        at = document.find("</trk>", at) + 1;
        std::size_t points = 0;
        std::string first;
        std::string last;
        for (auto p = trk->find("<time>"); p != std::string::npos; p = trk->find("<time>", p + 1)) {
            last = *between(*trk, "<time>", "</time>", p);
            first = points++ == 0 ? last : first;
        }
        const std::string number(list.text(row, track_columns::kNumber));
        if (list.text(row, track_columns::kPoints) != std::to_string(points) ||
            toGpxTime(list.text(row, track_columns::kStart)) != first ||
            toGpxTime(list.text(row, track_columns::kFinish)) != last) {
            problems += "track" + number + " shows other points than its export; ";
        }
        const std::string name(list.text(row, track_columns::kName));
        const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
            return c >= ' ' && c < 0x7F && c != '&' && c != '<' && c != '>';
        });
        if (number != " 0" && plain && between(*trk, "<name>", "</name>") != name) {
            problems += "track" + number + " is named otherwise in its export; ";
        }
    }
    return problems;
}

std::string exerciseCore(const BadFolder& folder, const fs::path& dir) {
    std::string problems;
    std::vector<std::string> messages;
    FakeUi ui;
    const auto collect = [&] {
        for (auto& text : ui.messageTexts()) {
            messages.push_back(std::move(text));
        }
        ui.calls.clear();
    };

    const auto state = startUp(dir, ui);
    collect();
    const int tabs = state ? static_cast<int>(state->tabs.size()) : 0;
    for (int tab = 0; tab < tabs; ++tab) {
        switchToTab(*state, ui, tab);
        for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
            state->list.setSelected(row, true);
        }
        const fs::path target = dir / ("export-" + std::to_string(tab) + ".gpx");
        ui.savePaths.assign(1, target);
        if (onMakeGpx(*state, ui) == CommandOutcome::Done) {
            const std::string document = testing::readFile(target);
            if (!document.starts_with("<?xml") || !document.ends_with("</gpx>\n")) {
                problems += "an export wrote an unfinished document; ";
            }
            if (currentView(*state) == ViewKind::Tracks) {
                problems += trackDisagreements(state->list, document);
            }
        }
        collect();
    }
    for (int tab = 0; tab < tabs; ++tab) {
        switchToTab(*state, ui, tab);
        const int row = state->list.findByItemNumber(1);
        const bool waypoints = currentView(*state) == ViewKind::Waypoints;
        const std::string device = waypoints ? kWaypointFileName : kSavedTracksFileName;
        collect();
        if (row < 0) {
            if (folder.deletionRefusedFor == device) {
                problems += "no row for the first record of " + device + "; ";
            }
            continue;
        }
        state->list.setSelected(static_cast<std::size_t>(row), true);
        const DeleteResult result = onDelete(*state, ui);
        const auto shown = ui.messageTexts();
        collect();
        if (folder.deletionRefusedFor == device) {
            bool named = false;
            for (const auto& text : shown) {
                named =
                    named || text.find(device.substr(0, device.size() - 1)) != std::string::npos;
            }
            if (result.outcome == CommandOutcome::Done || !named) {
                problems += "the deletion from " + device + " was not refused with its name; ";
            }
        }
    }

    bool expectedShown = folder.fillMessage.empty();
    for (const auto& text : messages) {
        if (!testing::isKnownMessage(text) && text.find("GARMIN_") == std::string::npos) {
            problems += "a message names no file: \"" + text + "\"; ";
        }
        expectedShown = expectedShown || text.find(folder.fillMessage) != std::string::npos;
    }
    if (!expectedShown) {
        problems += "no message with \"" + folder.fillMessage + "\"; ";
    }
    return problems;
}

// Runs the work in a child process, as the user nobody when asked; nothing when that is
// impossible. `peakKiB` receives the child's peak resident memory.
std::optional<std::string> inChild(const std::function<std::string()>& work, bool asNobody,
                                   long* peakKiB = nullptr) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string report = "\x01";  // could not drop the privileges
        if (!asNobody ||
            (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0)) {
            report = work();
        }
        const ssize_t written = ::write(channel[1], report.data(), report.size());
        ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        report.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (peakKiB != nullptr) {
        *peakKiB = usage.ru_maxrss;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the child process died (status " + std::to_string(status) + ")";
    }
    if (report == "\x01") {
        return std::nullopt;
    }
    return report;
}

class BadInputCatalogue : public ::testing::TestWithParam<BadFolder> {};

TEST_P(BadInputCatalogue, CoreHoldsAndLosesNothing) {
    const BadFolder& folder = GetParam();
    TempDir dir;
    testing::writeBadFolder(folder, dir.path());
    const auto before = testing::folderContents(dir.path());

    testing::restrictAccess(folder, dir.path(), true);
    std::string problems;
    if (folder.peakMiB != 0) {
        long peakKiB = 0;
        problems = inChild([&] { return exerciseCore(folder, dir.path()); }, false, &peakKiB)
                       .value_or("the child process did not start; ");
        if (peakKiB >= static_cast<long>(folder.peakMiB) * 1024) {
            problems += "the core took " + std::to_string(peakKiB / 1024) + " MiB; ";
        }
    } else if (folder.access != Access::Normal && ::geteuid() == 0) {
        const auto report = inChild([&] { return exerciseCore(folder, dir.path()); }, true);
        if (!report) {
            testing::restrictAccess(folder, dir.path(), false);
            GTEST_SKIP() << "running as root and cannot become nobody: access rights hold nothing";
        }
        problems = *report;
    } else {
        problems = exerciseCore(folder, dir.path());
    }
    testing::restrictAccess(folder, dir.path(), false);

    EXPECT_EQ(problems, "");
    EXPECT_EQ(testing::lostData(before, testing::folderContents(dir.path())), "");
}

INSTANTIATE_TEST_SUITE_P(Folders, BadInputCatalogue, ::testing::ValuesIn(testing::badFolders()),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace quillet
