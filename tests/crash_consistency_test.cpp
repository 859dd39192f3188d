// SPDX-License-Identifier: GPL-3.0-or-later
// A deletion killed at any moment, or meeting a full disk at any file operation, must
// leave the original records complete under the device file's name or under the
// backup's, and the next start must find the folder usable.
//
// The deletion runs in a child process that is killed with SIGKILL: after each number
// of file operations in turn (halfway through a write as well), and at timed moments
// spread over a real deletion. A full disk is simulated in-process: the k-th operation
// fails, a write after storing half of its bytes.
//
// On Windows the child is this test program started again, and it ends itself with
// TerminateProcess at the chosen operation. The kills at timed moments stay POSIX only:
// starting a process there takes longer than a whole deletion.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <string>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "app/history_command.h"
#include "app/startup.h"
#include "edit/file_operations.h"
#include "edit/history_store.h"
#include "encoder/device_encoder.h"
#include "support/bad_folders.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
namespace enc = encoder;
using testing::FakeUi;
using testing::FolderBytes;
using testing::TempDir;

enum class Fault { None, Kill, KillHalfwayThroughWrite, Fail };

// Ends the process at once, as a crash or a kill would: nothing is flushed or closed.
[[noreturn]] void killThisProcess() {
#ifdef _WIN32
    constexpr UINT kKilled = 137;
    TerminateProcess(GetCurrentProcess(), kKilled);
#else
    ::raise(SIGKILL);
#endif
    std::abort();
}

// The system's file operations, with a fault at operation number `at` (1-based).
class FaultyOperations final : public FileOperations {
public:
    FaultyOperations(Fault fault, int at) : fault_(fault), at_(at) {}
    int calls() const { return calls_; }

    std::FILE* openForReading(const fs::path& path) override {
        return strike() ? nullptr : system_.openForReading(path);
    }
    std::FILE* createForWriting(const fs::path& path) override {
        return strike() ? nullptr : system_.createForWriting(path);
    }
    std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) override {
        if (strike()) {
            return std::nullopt;
        }
        return system_.read(file, dest);
    }
    bool write(std::FILE* file, std::span<const std::uint8_t> bytes) override {
        if (++calls_ == at_ && fault_ != Fault::None) {
            // A full disk, or a kill, after half of the bytes were stored.
            system_.write(file, bytes.first(bytes.size() / 2));
            if (fault_ == Fault::Fail) {
                return false;
            }
            std::fflush(file);
            killThisProcess();
        }
        return system_.write(file, bytes);
    }
    bool flushToDisk(std::FILE* file) override { return !strike() && system_.flushToDisk(file); }
    bool close(std::FILE* file) override {
        const bool struck = strike();
        return system_.close(file) && !struck;  // the file is closed either way
    }
    bool removeFile(const fs::path& path) override { return !strike() && system_.removeFile(path); }
    bool renameFile(const fs::path& from, const fs::path& to) override {
        return !strike() && system_.renameFile(from, to);
    }
    bool linkFile(const fs::path& existing, const fs::path& newName) override {
        return !strike() && system_.linkFile(existing, newName);
    }
    std::optional<FileSnapshot> snapshot(const fs::path& path, std::uint32_t count) override {
        if (strike()) {
            return std::nullopt;
        }
        return system_.snapshot(path, count);
    }
    bool syncDirectory(const fs::path& directory) override {
        return !strike() && system_.syncDirectory(directory);
    }

private:
    // True when this operation is to fail; a kill does not return.
    bool strike() {
        if (++calls_ != at_) {
            return false;
        }
        if (fault_ == Fault::Kill || fault_ == Fault::KillHalfwayThroughWrite) {
            killThisProcess();
        }
        return fault_ == Fault::Fail;
    }

    SystemFileOperations system_;
    Fault fault_;
    int at_;
    int calls_ = 0;
};

struct Scenario {
    const char* name;
    bool tracks;  // delete saved tracks rather than waypoints
};

// A folder of 60 waypoints, 24 saved tracks and an active track.
void writeFolder(const fs::path& dir) {
    enc::WaypointFile waypoints;
    for (int i = 0; i < 60; ++i) {
        waypoints.bodies.push_back(enc::encodeWaypointBody(
            {.latitudeCode = i * 1000, .name = "Point " + std::to_string(i)}));
    }
    enc::writeFile(dir / kWaypointFileName, enc::encodeWaypointFile(waypoints));
    enc::SavedTracksFile saved;
    for (int t = 0; t < 24; ++t) {
        enc::SavedTrack track{.name = "Track " + std::to_string(t)};
        for (int i = 0; i < t % 13; ++i) {
            track.points.push_back({.latitudeCode = 5000u + i, .timeField = 536544002u + i});
        }
        saved.tracks.push_back(track);
    }
    enc::writeFile(dir / kSavedTracksFileName, enc::encodeSavedTracksFile(saved));
    enc::writeFile(dir / kActiveTrackFileName,
                   enc::encodeActiveTrackFile({.points = {{.timeField = 536544002u}}}));
}

// Starts on the folder and deletes every third record of the scenario's view.
DeleteResult deleteSome(const fs::path& dir, const Scenario& scenario, FileOperations& ops) {
    FakeUi ui;
    auto state = startUp(dir, ui);
    if (scenario.tracks) {
        switchToTab(*state, ui, *state->tracksTab);
    }
    for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
        const std::int32_t item = state->list.itemNumber(row);
        state->list.setSelected(row, item != 0 && item % 3 == 0);
    }
    return onDelete(*state, ui, ops);
}

// How many file operations the scenario's deletion takes when nothing fails.
[[maybe_unused]] int operationCount(const Scenario& scenario) {
    TempDir dir;
    writeFolder(dir.path());
    FaultyOperations counting(Fault::None, 0);
    deleteSome(dir.path(), scenario, counting);
    return counting.calls();
}

// What a kill or a failure left behind, judged; empty when all is well. `observed`
// collects what was seen that is allowed.
std::string judge(const fs::path& dir, const FolderBytes& before, const Scenario& scenario,
                  std::set<std::string>& observed) {
    const FolderBytes after = testing::folderContents(dir);
    const std::string device = scenario.tracks ? kSavedTracksFileName : kWaypointFileName;
    const std::string stem = device.substr(0, device.size() - 3);
    const auto original = before.at(device);
    const bool underOwnName = after.contains(device) && after.at(device) == original;
    const bool underBackup = after.contains(stem + "BAK") && after.at(stem + "BAK") == original;
    if (!underOwnName && !underBackup) {
        return "the original records are under neither name";
    }
    if (after.contains(stem + "NV_")) {
        observed.insert("a temporary file was left behind (the records complete under " +
                        std::string(underOwnName ? "the device file's name" : "the backup's") +
                        ")");
    }
    if (!after.contains(device)) {
        observed.insert("the device file's name was empty, the records under the backup's");
    }

    // The next run starts normally on whatever is left.
    FakeUi ui;
    const auto state = startUp(dir, ui);
    if (state == nullptr) {
        return "the next start failed";
    }
    for (int tab = 0; tab < static_cast<int>(state->tabs.size()); ++tab) {
        switchToTab(*state, ui, tab);
    }
    for (const auto& text : ui.messageTexts()) {
        return "the next start said \"" + text + "\"";
    }
    return "";
}

#ifdef _WIN32
// The job of a child: the folder, the fault, its operation number and the view, handed
// over in the environment.
constexpr const wchar_t* kChildJob = L"QUILLET_CRASH_CHILD";

// Runs one faulty deletion in a child process; true when the child finished, false when
// it was killed.
bool deletionInChild(const fs::path& dir, Fault fault, int at, bool tracks) {
    const std::wstring job = std::to_wstring(static_cast<int>(fault)) + L"|" + std::to_wstring(at) +
                             L"|" + (tracks ? L"1" : L"0") + L"|" + dir.wstring();
    SetEnvironmentVariableW(kChildJob, job.c_str());
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + program +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=CrashChild.DISABLED_RunsOneDeletion";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // no handles: the child's report goes nowhere
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process) != 0;
    SetEnvironmentVariableW(kChildJob, nullptr);
    if (!started) {
        ADD_FAILURE() << "the child did not start";
        return true;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (status == 137) {
        return false;
    }
    EXPECT_EQ(status, 0u);
    return true;
}

// Not a test of its own: the child's side of deletionInChild.
TEST(CrashChild, DISABLED_RunsOneDeletion) {
    const wchar_t* job = _wgetenv(kChildJob);
    ASSERT_NE(job, nullptr);
    int fault = 0;
    int at = 0;
    int tracks = 0;
    int used = 0;
    ASSERT_EQ(swscanf(job, L"%d|%d|%d|%n", &fault, &at, &tracks, &used), 3);
    FaultyOperations ops(static_cast<Fault>(fault), at);
    deleteSome(fs::path(job + used), Scenario{"child", tracks != 0}, ops);
}
#else
// Runs the work in a child process; true when the child finished, false when it was
// killed. `whileRunning` gets the child's id once it waits for the go-ahead.
bool inChild(const std::function<void()>& work,
             const std::function<void(pid_t)>& whileRunning = {}) {
    int ready[2];
    int go[2];
    if (::pipe(ready) != 0 || ::pipe(go) != 0) {
        ADD_FAILURE() << "no pipe";
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        char byte = 'r';
        const bool told = ::write(ready[1], &byte, 1) == 1 && ::read(go[0], &byte, 1) == 1;
        if (told) {
            work();
        }
        ::_exit(told ? 0 : 3);
    }
    char byte = 0;
    const bool childReady = ::read(ready[0], &byte, 1) == 1;
    byte = 'g';
    const bool goSent = childReady && ::write(go[1], &byte, 1) == 1;
    if (goSent && whileRunning) {
        whileRunning(child);
    }
    for (const int fd : {ready[0], ready[1], go[0], go[1]}) {
        ::close(fd);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
        return false;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    return true;
}

#endif

void report(const std::string& what, int survived, int tried,
            const std::set<std::string>& observed) {
    std::cout << "[ figures  ] " << what << ": " << survived << " of " << tried << " survived\n";
    for (const auto& note : observed) {
        std::cout << "[ observed ] " << note << "\n";
    }
}

class CrashConsistency : public ::testing::TestWithParam<Scenario> {};

TEST_P(CrashConsistency, KilledAfterEveryFileOperation) {
    int tried = 0;
    int survived = 0;
    std::set<std::string> observed;
#ifdef _WIN32
    // A process takes long to start there: every operation of the writing end, and a
    // sample of the reads before it.
    const int total = operationCount(GetParam());
    const auto chosen = [total](int k) { return k <= 3 || k > total - 12 || k % 8 == 0; };
#else
    const auto chosen = [](int) { return true; };
#endif
    for (const Fault fault : {Fault::Kill, Fault::KillHalfwayThroughWrite}) {
        for (int k = 1;; ++k) {
            if (!chosen(k)) {
                continue;
            }
            TempDir dir;
            writeFolder(dir.path());
            const FolderBytes before = testing::folderContents(dir.path());
#ifdef _WIN32
            const bool finished = deletionInChild(dir.path(), fault, k, GetParam().tracks);
#else
            const bool finished = inChild([&] {
                FaultyOperations ops(fault, k);
                deleteSome(dir.path(), GetParam(), ops);
            });
#endif
            const std::string problem = judge(dir.path(), before, GetParam(), observed);
            if (finished) {
                EXPECT_EQ(problem, "") << "after the deletion finished";
                break;  // k is past the last operation
            }
            ++tried;
            survived += problem.empty() ? 1 : 0;
            EXPECT_EQ(problem, "") << "killed at operation " << k;
        }
    }
    EXPECT_GT(tried, 10);
    report(std::string(GetParam().name) + ": kills after k file operations", survived, tried,
           observed);
}

#ifndef _WIN32
TEST_P(CrashConsistency, KilledAtTimedMoments) {
    // How long a whole deletion takes here, to spread the kills over it.
    TempDir probe;
    writeFolder(probe.path());
    SystemFileOperations system;
    const auto start = std::chrono::steady_clock::now();
    deleteSome(probe.path(), GetParam(), system);
    const auto span = std::chrono::steady_clock::now() - start;

    constexpr int kMoments = 30;
    int tried = 0;
    int survived = 0;
    std::set<std::string> observed;
    for (int moment = 0; moment < kMoments; ++moment) {
        TempDir dir;
        writeFolder(dir.path());
        const FolderBytes before = testing::folderContents(dir.path());
        const auto delay = span * moment / kMoments;
        inChild(
            [&] {
                SystemFileOperations ops;
                deleteSome(dir.path(), GetParam(), ops);
            },
            [&](pid_t child) {
                const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(delay);
                const timespec pause{static_cast<time_t>(nanos.count() / 1000000000),
                                     static_cast<long>(nanos.count() % 1000000000)};
                ::nanosleep(&pause, nullptr);
                ::kill(child, SIGKILL);
            });
        const std::string problem = judge(dir.path(), before, GetParam(), observed);
        ++tried;
        survived += problem.empty() ? 1 : 0;
        EXPECT_EQ(problem, "") << "killed after " << moment << "/" << kMoments << " of a deletion";
    }
    report(std::string(GetParam().name) + ": kills at timed moments", survived, tried, observed);
}
#endif

TEST_P(CrashConsistency, DiskFullAtEveryFileOperation) {
    int tried = 0;
    int held = 0;
    std::set<std::string> observed;
    for (int k = 1;; ++k) {
        TempDir dir;
        writeFolder(dir.path());
        const FolderBytes before = testing::folderContents(dir.path());
        FaultyOperations ops(Fault::Fail, k);
        const DeleteResult result = deleteSome(dir.path(), GetParam(), ops);
        if (k > ops.calls()) {
            EXPECT_EQ(result.outcome, CommandOutcome::Done);
            break;
        }
        ++tried;
        std::string problem = judge(dir.path(), before, GetParam(), observed);
        const FolderBytes after = testing::folderContents(dir.path());
        for (const auto& [name, bytes] : after) {
            if (name.ends_with(".NV_")) {
                problem += " a temporary file was left after a reported failure;";
            }
        }
        if (result.outcome == CommandOutcome::Done) {
            observed.insert(
                "a failure that was not needed to finish (syncing the folder) "
                "still counts as done");
        }
        held += problem.empty() ? 1 : 0;
        EXPECT_EQ(problem, "") << "operation " << k << " failed";
    }
    EXPECT_GT(tried, 10);
    report(std::string(GetParam().name) + ": a full disk at each file operation", held, tried,
           observed);
}

// The folder as a power cut leaves it: every removal, rename and link reached the disk,
// in order, but of the bytes written only those that were flushed did.
class PowerCutLog final : public FileOperations {
public:
    explicit PowerCutLog(const FolderBytes& start) {
        for (const auto& [name, bytes] : start) {
            events_.push_back({Event::Create, name, "", bytes});
        }
        firstOperation_ = events_.size();
    }
    std::size_t operations() const { return events_.size() - firstOperation_; }

    // What a power cut after the first `k` operations leaves.
    FolderBytes after(std::size_t k) const {
        std::map<std::string, std::size_t> names;     // name -> file
        std::vector<std::vector<std::uint8_t>> kept;  // per file, what reached the disk
        std::vector<std::vector<std::uint8_t>> pending;
        std::map<std::string, std::size_t> opened;  // file opened for writing by name
        for (std::size_t i = 0; i < firstOperation_ + k; ++i) {
            const Event& e = events_[i];
            switch (e.kind) {
                case Event::Create:
                    names[e.name] = opened[e.name] = kept.size();
                    kept.push_back(e.bytes);
                    pending.emplace_back();
                    break;
                case Event::Write:
                    pending[opened.at(e.name)].insert(pending[opened.at(e.name)].end(),
                                                      e.bytes.begin(), e.bytes.end());
                    break;
                case Event::Flush:
                    kept[opened.at(e.name)].insert(kept[opened.at(e.name)].end(),
                                                   pending[opened.at(e.name)].begin(),
                                                   pending[opened.at(e.name)].end());
                    pending[opened.at(e.name)].clear();
                    break;
                case Event::Remove:
                    names.erase(e.name);
                    break;
                case Event::Rename:
                case Event::Link:
                    if (names.contains(e.name)) {
                        names[e.other] = names[e.name];
                        if (e.kind == Event::Rename) {
                            names.erase(e.name);
                        }
                    }
                    break;
            }
        }
        FolderBytes folder;
        for (const auto& [name, file] : names) {
            folder[name] = kept[file];
        }
        return folder;
    }

    std::FILE* openForReading(const fs::path& p) override { return system_.openForReading(p); }
    std::FILE* createForWriting(const fs::path& p) override {
        std::FILE* file = system_.createForWriting(p);
        if (file != nullptr) {
            writing_[file] = p.filename().string();
            events_.push_back({Event::Create, writing_[file], "", {}});
        }
        return file;
    }
    std::optional<std::size_t> read(std::FILE* f, std::span<std::uint8_t> d) override {
        return system_.read(f, d);
    }
    bool write(std::FILE* f, std::span<const std::uint8_t> b) override {
        events_.push_back({Event::Write, writing_.at(f), "", {b.begin(), b.end()}});
        return system_.write(f, b);
    }
    bool flushToDisk(std::FILE* f) override {
        events_.push_back({Event::Flush, writing_.at(f), "", {}});
        return system_.flushToDisk(f);
    }
    bool close(std::FILE* f) override { return system_.close(f); }
    bool removeFile(const fs::path& p) override {
        events_.push_back({Event::Remove, p.filename().string(), "", {}});
        return system_.removeFile(p);
    }
    bool renameFile(const fs::path& from, const fs::path& to) override {
        events_.push_back({Event::Rename, from.filename().string(), to.filename().string(), {}});
        return system_.renameFile(from, to);
    }
    bool linkFile(const fs::path& existing, const fs::path& newName) override {
        const bool linked = system_.linkFile(existing, newName);
        if (linked) {
            events_.push_back(
                {Event::Link, existing.filename().string(), newName.filename().string(), {}});
        }
        return linked;
    }
    std::optional<FileSnapshot> snapshot(const fs::path& p, std::uint32_t count) override {
        return system_.snapshot(p, count);
    }
    bool syncDirectory(const fs::path& d) override { return system_.syncDirectory(d); }

private:
    struct Event {
        enum Kind { Create, Write, Flush, Remove, Rename, Link } kind;
        std::string name;
        std::string other;
        std::vector<std::uint8_t> bytes;
    };
    SystemFileOperations system_;
    std::vector<Event> events_;
    std::size_t firstOperation_ = 0;
    std::map<std::FILE*, std::string> writing_;
};

TEST_P(CrashConsistency, PowerCutAfterEveryFileOperation) {
    TempDir dir;
    writeFolder(dir.path());
    const FolderBytes before = testing::folderContents(dir.path());
    PowerCutLog log(before);
    ASSERT_EQ(deleteSome(dir.path(), GetParam(), log).outcome, CommandOutcome::Done);
    const std::string device = GetParam().tracks ? kSavedTracksFileName : kWaypointFileName;
    const std::string backup = device.substr(0, device.size() - 3) + "BAK";
    const auto original = before.at(device);
    const auto rewritten = testing::folderContents(dir.path()).at(device);

    ASSERT_GT(log.operations(), 5u);
    int held = 0;
    for (std::size_t k = 0; k <= log.operations(); ++k) {
        const FolderBytes left = log.after(k);
        const bool deviceWhole =
            left.contains(device) && (left.at(device) == original || left.at(device) == rewritten);
        const bool inBackup = left.contains(backup) && left.at(backup) == original;
        const bool whole = deviceWhole || (!left.contains(device) && inBackup);
        held += whole ? 1 : 0;
        EXPECT_TRUE(whole) << "power cut after operation " << k << " of " << log.operations();
    }
    report(std::string(GetParam().name) + ": power cuts after k file operations", held,
           static_cast<int>(log.operations()) + 1, {});
}

// A folder whose waypoint file had every third record deleted, with the original kept
// in a history of its own; `original` is that version's id.
struct RestoreFolder {
    TempDir dir;
    TempDir history;
    std::string original;
    std::string deleted;  // the version the deletion of item 2 made, deleted itself next

    RestoreFolder() {
        writeFolder(dir.path());
        for (const std::set<int>& items : {std::set<int>{2}, std::set<int>{20, 21, 22}}) {
            FakeUi ui;
            auto state = start(ui);
            for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
                state->list.setSelected(row, items.contains(state->list.itemNumber(row)));
            }
            const DeleteResult result = onDelete(*state, ui);
            (original.empty() ? original : deleted) = result.historyId;
        }
    }
    std::unique_ptr<AppState> start(FakeUi& ui) const {
        auto state = startUp(dir.path(), ui);
        state->historyFolder = history.path();
        return state;
    }
};

TEST(CrashConsistencyOfRestore, PowerCutAfterEveryFileOperation) {
    RestoreFolder folder;
    const FolderBytes before = testing::folderContents(folder.dir.path());
    FakeUi ui;
    auto state = folder.start(ui);
    PowerCutLog log(before);
    ASSERT_EQ(onRestore(*state, ui, folder.original, log).outcome, CommandOutcome::Done);
    const auto current = before.at(kWaypointFileName);
    const auto restored = testing::folderContents(folder.dir.path()).at(kWaypointFileName);
    ASSERT_NE(current, restored);

    ASSERT_GT(log.operations(), 5u);
    for (std::size_t k = 0; k <= log.operations(); ++k) {
        const FolderBytes left = log.after(k);
        const bool deviceWhole =
            left.contains(kWaypointFileName) &&
            (left.at(kWaypointFileName) == current || left.at(kWaypointFileName) == restored);
        const bool inBackup =
            left.contains(kWaypointBackupName) && left.at(kWaypointBackupName) == current;
        EXPECT_TRUE(deviceWhole || (!left.contains(kWaypointFileName) && inBackup))
            << "power cut after operation " << k << " of " << log.operations();
    }
}

// POSIX only: the two deletions run in children made with fork, and pipes start them
// together.
#ifndef _WIN32
// Two deletions of other records started at the same moment on one folder, in two
// processes, after both filled their lists from the same file.
TEST(ConcurrentDeletions, LeaveOnlyStatesTheirExitStatusesExplain) {
    enum Exit { kDone = 0, kRefused = 1, kFailed = 2, kBroken = 3 };
    const std::set<int> selections[2] = {{2}, {20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}};
    // The waypoint file of writeFolder without the given item numbers.
    const auto without = [](const std::set<int>& items) {
        enc::WaypointFile waypoints;
        for (int i = 0; i < 60; ++i) {
            if (!items.contains(i + 1)) {
                waypoints.bodies.push_back(enc::encodeWaypointBody(
                    {.latitudeCode = i * 1000, .name = "Point " + std::to_string(i)}));
            }
        }
        return enc::encodeWaypointFile(waypoints);
    };
    std::set<int> both = selections[0];
    both.insert(selections[1].begin(), selections[1].end());
    const auto original = without({});
    const enc::Bytes alone[2] = {without(selections[0]), without(selections[1])};
    const auto together = without(both);

    std::map<std::string, int> seen;
    int explained = 0;
    for (int round = 0; round < 24; ++round) {
        TempDir dir;
        writeFolder(dir.path());
        int filled[2];
        int go[2];
        ASSERT_EQ(::pipe(filled), 0);
        ASSERT_EQ(::pipe(go), 0);
        pid_t children[2];
        for (int c = 0; c < 2; ++c) {
            children[c] = ::fork();
            if (children[c] == 0) {
                FakeUi ui;
                auto state = startUp(dir.path(), ui);
                for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
                    state->list.setSelected(row,
                                            selections[c].contains(state->list.itemNumber(row)));
                }
                char byte = 'f';
                if (::write(filled[1], &byte, 1) != 1 || ::read(go[0], &byte, 1) != 1) {
                    ::_exit(kBroken);
                }
                switch (onDelete(*state, ui).outcome) {
                    case CommandOutcome::Done:
                        ::_exit(kDone);
                    case CommandOutcome::Refused:
                        ::_exit(kRefused);
                    case CommandOutcome::Failed:
                        ::_exit(kFailed);
                    case CommandOutcome::NotRun:
                        break;
                }
                ::_exit(kBroken);
            }
        }
        char bytes[2] = {'g', 'g'};
        ASSERT_EQ(::read(filled[0], bytes, 1) + ::read(filled[0], bytes + 1, 1), 2);
        ASSERT_EQ(::write(go[1], "gg", 2), 2);
        int exits[2];
        for (int c = 0; c < 2; ++c) {
            int status = 0;
            ::waitpid(children[c], &status, 0);
            exits[c] = WIFEXITED(status) ? WEXITSTATUS(status) : kBroken;
        }
        for (const int fd : {filled[0], filled[1], go[0], go[1]}) {
            ::close(fd);
        }

        const FolderBytes after = testing::folderContents(dir.path());
        const auto device = after.find(kWaypointFileName);
        const auto backup = after.find("GARMIN_WPT.BAK");
        const bool hasBackup = backup != after.end();
        ASSERT_NE(device, after.end()) << "round " << round;
        EXPECT_FALSE(after.contains("GARMIN_WPT.NV_")) << "round " << round;
        EXPECT_NE(exits[0], kBroken);
        EXPECT_NE(exits[1], kBroken);
        const bool done[2] = {exits[0] == kDone, exits[1] == kDone};
        if (done[0] && done[1]) {
            // One after the other: the second removed its records from the first's file.
            EXPECT_EQ(device->second, together) << "round " << round;
            EXPECT_TRUE(hasBackup && (backup->second == alone[0] || backup->second == alone[1]))
                << "round " << round;
        } else if (done[0] || done[1]) {
            EXPECT_EQ(device->second, alone[done[0] ? 0 : 1]) << "round " << round;
            EXPECT_TRUE(hasBackup && backup->second == original) << "round " << round;
        } else {
            EXPECT_EQ(device->second, original) << "round " << round;
            EXPECT_FALSE(hasBackup) << "round " << round;
        }
        ++seen["exit statuses " + std::to_string(exits[0]) + " and " + std::to_string(exits[1])];
        explained += ::testing::Test::HasFailure() ? 0 : 1;
    }
    std::cout << "[ figures  ] two deletions at once: " << explained
              << " of 24 rounds as their exit statuses explain\n";
    for (const auto& [what, times] : seen) {
        std::cout << "[ observed ] " << what << ": " << times << " of 24 rounds\n";
    }
}

// Two restores of different versions started together from lists filled from the same
// file: one puts its version back, the other finds the file changed.
TEST(ConcurrentRestores, PutBackOneVersionAndRefuseTheOther) {
    for (int round = 0; round < 8; ++round) {
        RestoreFolder folder;
        const auto current = testing::readFile(folder.dir / kWaypointFileName);
        const std::string ids[2] = {folder.original, folder.deleted};
        std::string bytesOf[2];
        for (int c = 0; c < 2; ++c) {
            const auto version = findVersion(folder.history.path(), ids[c]);
            ASSERT_TRUE(version);
            bytesOf[c] = testing::readFile(version->storedFile);
        }
        int filled[2];
        int go[2];
        ASSERT_EQ(::pipe(filled), 0);
        ASSERT_EQ(::pipe(go), 0);
        pid_t children[2];
        for (int c = 0; c < 2; ++c) {
            children[c] = ::fork();
            if (children[c] == 0) {
                FakeUi ui;
                auto state = folder.start(ui);
                char byte = 'f';
                if (::write(filled[1], &byte, 1) != 1 || ::read(go[0], &byte, 1) != 1) {
                    ::_exit(3);
                }
                const auto outcome = onRestore(*state, ui, ids[c]).outcome;
                ::_exit(outcome == CommandOutcome::Done ? 0 : 1);
            }
        }
        char bytes[2];
        ASSERT_EQ(::read(filled[0], bytes, 1) + ::read(filled[0], bytes + 1, 1), 2);
        ASSERT_EQ(::write(go[1], "gg", 2), 2);
        int done = 0;
        int which = -1;
        for (int c = 0; c < 2; ++c) {
            int status = 0;
            ::waitpid(children[c], &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << "round " << round;
            if (WEXITSTATUS(status) == 0) {
                ++done;
                which = c;
            }
        }
        for (const int fd : {filled[0], filled[1], go[0], go[1]}) {
            ::close(fd);
        }
        ASSERT_EQ(done, 1) << "round " << round;
        EXPECT_EQ(testing::readFile(folder.dir / kWaypointFileName), bytesOf[which]);
        EXPECT_EQ(testing::readFile(folder.dir / kWaypointBackupName), current);
        EXPECT_FALSE(fs::exists(folder.dir / kWaypointTemporaryName));
        EXPECT_EQ(allVersions(folder.history.path()).size(), 3u) << "round " << round;
    }
}
#endif

INSTANTIATE_TEST_SUITE_P(Views, CrashConsistency,
                         ::testing::Values(Scenario{"waypoints", false},
                                           Scenario{"saved tracks", true}),
                         [](const auto& info) {
                             return info.param.tracks ? "SavedTracks" : "Waypoints";
                         });

}  // namespace
}  // namespace quillet
