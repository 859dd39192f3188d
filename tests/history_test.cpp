// SPDX-License-Identifier: GPL-3.0-or-later
// The history of replaced device files: every deletion keeps the file it replaces, a
// restore puts a kept version back with the guarantees of a deletion, and the history
// stays within its bounds without losing what cannot be had elsewhere.

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/delete_command.h"
#include "app/fill_list.h"
#include "app/history_command.h"
#include "app/startup.h"
#include "edit/file_operations.h"
#include "edit/history_store.h"
#include "edit/platform_files.h"
#include "encoder/device_encoder.h"
#include "support/bad_folders.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
namespace enc = encoder;
using testing::FakeUi;
using testing::TempDir;

enc::Bytes waypoints(int first, int count) {
    enc::WaypointFile file;
    for (int i = first; i < first + count; ++i) {
        file.bodies.push_back(enc::encodeWaypointBody(
            {.latitudeCode = i * 1000, .name = "Point " + std::to_string(i)}));
    }
    return enc::encodeWaypointFile(file);
}

enc::Bytes savedTracks(int count) {
    enc::SavedTracksFile file;
    for (int t = 1; t <= count; ++t) {
        enc::SavedTrack track{.name = "Track " + std::to_string(t)};
        track.points.push_back({.latitudeCode = 5000u + t, .timeField = 536544002u});
        file.tracks.push_back(track);
    }
    return enc::encodeSavedTracksFile(file);
}

std::vector<std::uint8_t> bytesOf(const fs::path& path) {
    const std::string text = testing::readFile(path);
    return {text.begin(), text.end()};
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A device folder with one device file, and a history folder of its own elsewhere.
struct KeptFolder {
    TempDir device;
    TempDir history;
    FakeUi ui;
    std::unique_ptr<AppState> state;
    const char* name;

    KeptFolder(const char* deviceName, const enc::Bytes& bytes) : name(deviceName) {
        device.writeFile(deviceName, bytes);
        start();
    }
    void start() {
        state = startUp(device.path(), ui);
        state->historyFolder = history.path();
        if (std::string(name) == kSavedTracksFileName) {
            switchToTab(*state, ui, *state->tracksTab);
        }
    }
    fs::path file() const { return device / name; }

    DeleteResult remove(std::int32_t item, FileOperations& ops) {
        for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
            state->list.setSelected(row, state->list.itemNumber(row) == item);
        }
        return onDelete(*state, ui, ops);
    }
    DeleteResult remove(std::int32_t item) {
        SystemFileOperations ops;
        return remove(item, ops);
    }
    std::vector<FolderVersion> versions() const { return folderHistory(*state); }
};

// Sets an environment variable (or removes it, for nothing) until the end of the scope.
class Variable {
public:
    Variable(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        old_ = old ? std::optional<std::string>(old) : std::nullopt;
        set(value);
    }
    ~Variable() { set(old_ ? old_->c_str() : nullptr); }
    Variable(const Variable&) = delete;
    Variable& operator=(const Variable&) = delete;

private:
    void set(const char* value) {
#ifdef _WIN32
        const std::wstring name(name_, name_ + std::strlen(name_));
        const std::wstring wide = value ? fs::path(value).wstring() : std::wstring();
        SetEnvironmentVariableW(name.c_str(), value ? wide.c_str() : nullptr);
        _putenv_s(name_, value ? value : "");
#else
        value ? ::setenv(name_, value, 1) : ::unsetenv(name_);
#endif
    }
    const char* name_;
    std::optional<std::string> old_;
};

TEST(History, LivesInTheUsersOwnDataFolder) {
    const struct {
        const char* first;  // XDG_DATA_HOME, or LOCALAPPDATA on Windows
        const char* home;
        std::optional<fs::path> folder;
    } cases[] = {
#ifdef _WIN32
        {"C:\\Users\\ann\\AppData\\Local", nullptr,
         fs::path("C:\\Users\\ann\\AppData\\Local\\Quillet\\history")},
        {"AppData", nullptr, std::nullopt},  // not a full path
        {nullptr, nullptr, std::nullopt},
#else
        {"/data", "/home/ann", fs::path("/data/quillet/history")},
        {"data", "/home/ann", fs::path("/home/ann/.local/share/quillet/history")},
        {nullptr, "/home/ann", fs::path("/home/ann/.local/share/quillet/history")},
        {nullptr, nullptr, std::nullopt},
#endif
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        const Variable first("LOCALAPPDATA", c.first);
#else
        const Variable first("XDG_DATA_HOME", c.first);
        const Variable home("HOME", c.home);
#endif
        EXPECT_EQ(platform::historyFolder(), c.folder) << (c.first ? c.first : "(none)");
    }
}

TEST(History, DeleteDeleteRestoreGivesTheOriginalBack) {
    const struct {
        const char* name;
        enc::Bytes bytes;
    } files[] = {{kWaypointFileName, waypoints(1, 9)}, {kSavedTracksFileName, savedTracks(9)}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        KeptFolder setup(file.name, file.bytes);
        ASSERT_EQ(setup.remove(3).outcome, CommandOutcome::Done);
        ASSERT_EQ(setup.remove(7).outcome, CommandOutcome::Done);
        const auto kept = setup.versions();
        ASSERT_EQ(kept.size(), 2u);
        // Newest first: the file without 3 (8 records), then the original (9).
        EXPECT_EQ(kept[0].records, 8u);
        EXPECT_EQ(kept[1].records, 9u);
        EXPECT_EQ(kept[1].fileName, file.name);
        EXPECT_EQ(kept[1].version.size, file.bytes.size());

        const DeleteResult restored = onRestore(*setup.state, setup.ui, kept[1].version.id);
        ASSERT_EQ(restored.outcome, CommandOutcome::Done) << restored.message;
        EXPECT_EQ(bytesOf(setup.file()), file.bytes);
        EXPECT_EQ(setup.state->list.rowCount(), 9u);  // the list was filled anew
        const auto after = setup.versions();
        ASSERT_EQ(after.size(), 3u);
        EXPECT_EQ(after[0].records, 7u);  // the restore kept what it replaced
        EXPECT_EQ(after[0].version.id, restored.historyId);
        const std::string stem = std::string(file.name).substr(0, std::strlen(file.name) - 3);
        EXPECT_EQ(namesIn(setup.device.path()), (std::set<std::string>{file.name, stem + "BAK"}));
    }
}

// Fails every operation on the history folder from the k-th on, as a full disk there.
class FullHistoryDisk final : public FileOperations {
public:
    FullHistoryDisk(fs::path history, int at) : history_(std::move(history)), at_(at) {}
    int calls() const { return calls_; }

    std::FILE* openForReading(const fs::path& p) override { return system_.openForReading(p); }
    std::FILE* createForWriting(const fs::path& p) override {
        if (inHistory(p) && strike()) {
            return nullptr;
        }
        std::FILE* file = system_.createForWriting(p);
        if (inHistory(p)) {
            historyFiles_.insert(file);
        }
        return file;
    }
    std::optional<std::size_t> read(std::FILE* f, std::span<std::uint8_t> d) override {
        return system_.read(f, d);
    }
    bool write(std::FILE* f, std::span<const std::uint8_t> b) override {
        return !(historyFiles_.contains(f) && strike()) && system_.write(f, b);
    }
    bool flushToDisk(std::FILE* f) override {
        return !(historyFiles_.contains(f) && strike()) && system_.flushToDisk(f);
    }
    bool close(std::FILE* f) override {
        const bool struck = historyFiles_.erase(f) > 0 && strike();
        return system_.close(f) && !struck;
    }
    bool removeFile(const fs::path& p) override { return system_.removeFile(p); }
    bool renameFile(const fs::path& from, const fs::path& to) override {
        return !(inHistory(to) && strike()) && system_.renameFile(from, to);
    }
    bool linkFile(const fs::path& e, const fs::path& n) override { return system_.linkFile(e, n); }
    std::optional<FileSnapshot> snapshot(const fs::path& p, std::uint32_t c) override {
        return system_.snapshot(p, c);
    }
    bool syncDirectory(const fs::path& d) override { return system_.syncDirectory(d); }

private:
    bool inHistory(const fs::path& p) const { return p.native().starts_with(history_.native()); }
    bool strike() { return ++calls_ >= at_; }

    SystemFileOperations system_;
    fs::path history_;
    int at_;
    int calls_ = 0;
    std::set<std::FILE*> historyFiles_;
};

TEST(History, AFullHistoryDiskRefusesTheDeletionAndChangesNothing) {
    int tried = 0;
    for (int k = 1;; ++k) {
        KeptFolder setup(kWaypointFileName, waypoints(1, 9));
        const auto before = testing::folderContents(setup.device.path());
        FullHistoryDisk ops(setup.history.path(), k);
        const DeleteResult result = setup.remove(3, ops);
        if (k > ops.calls()) {
            EXPECT_EQ(result.outcome, CommandOutcome::Done);
            break;
        }
        ++tried;
        EXPECT_EQ(result.outcome, CommandOutcome::Refused) << "history operation " << k;
        EXPECT_NE(result.message.find("in the history at " + setup.history.path().string()),
                  std::string::npos)
            << result.message;
        EXPECT_EQ(testing::folderContents(setup.device.path()), before);
        EXPECT_TRUE(setup.versions().empty());
        EXPECT_TRUE(fs::is_empty(setup.history / "files")) << "history operation " << k;
    }
    EXPECT_GE(tried, 8);  // two files, each created, written, flushed, closed, renamed
}

TEST(History, WhoDecidesWhetherTheFileIsKept) {
    const struct {
        const char* label;
        bool haveFolder;
        bool boxTicked;
        CommandOutcome outcome;
        std::size_t versions;
    } cases[] = {
        {"kept", true, true, CommandOutcome::Done, 1},
        {"the box unticked", true, false, CommandOutcome::Done, 0},
        {"no folder for the history", false, true, CommandOutcome::Refused, 0},
        {"no folder, the box unticked", false, false, CommandOutcome::Done, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        KeptFolder setup(kWaypointFileName, waypoints(1, 9));
        if (!c.haveFolder) {
            setup.state->historyFolder.reset();
        }
        setup.ui.historyBoxes.push_back(c.boxTicked);
        EXPECT_EQ(setup.remove(3).outcome, c.outcome);
        EXPECT_EQ(setup.ui.historyBoxesShown, 1);
        EXPECT_EQ(allVersions(setup.history.path()).size(), c.versions);
    }
}

TEST(History, ARestoreIsRefusedForADamagedOrForeignVersion) {
    KeptFolder setup(kWaypointFileName, waypoints(1, 9));
    KeptFolder other(kWaypointFileName, waypoints(20, 4));
    other.state->historyFolder = setup.history.path();
    ASSERT_EQ(setup.remove(3).outcome, CommandOutcome::Done);
    ASSERT_EQ(other.remove(1).outcome, CommandOutcome::Done);
    const auto own = versionsOf(setup.history.path(), fs::canonical(setup.file()));
    const auto foreign = versionsOf(setup.history.path(), fs::canonical(other.file()));
    ASSERT_EQ(own.size(), 1u);
    ASSERT_EQ(foreign.size(), 1u);

    // One byte of the stored copy changed.
    {
        std::fstream stored(own[0].storedFile, std::ios::in | std::ios::out | std::ios::binary);
        stored.seekp(20);
        stored.put('\x7f');
    }
    const auto before = testing::folderContents(setup.device.path());
    for (const auto& [id, named] :
         {std::pair{own[0].id, own[0].id},
          std::pair{foreign[0].id, other.file().parent_path().string()},
          std::pair{std::string("000000000000"), std::string("000000000000")}}) {
        setup.ui.calls.clear();
        const DeleteResult result = onRestore(*setup.state, setup.ui, id);
        EXPECT_EQ(result.outcome, CommandOutcome::Refused) << id;
        EXPECT_NE(result.message.find(named), std::string::npos) << result.message;
        EXPECT_NE(result.message.find("Nothing has been restored"), std::string::npos);
        EXPECT_EQ(testing::folderContents(setup.device.path()), before);
    }
    EXPECT_EQ(allVersions(setup.history.path()).size(), 2u);
}

TEST(History, SixtyDeletionsLeaveTheNewestFifty) {
    KeptFolder setup(kWaypointFileName, waypoints(1, 70));
    for (int i = 0; i < 60; ++i) {
        ASSERT_EQ(setup.remove(1).outcome, CommandOutcome::Done) << i;
    }
    // Deletion i kept the file of 70 - i records; the last 50 of them remain.
    std::vector<std::uint32_t> counts;
    for (const auto& shown : setup.versions()) {
        counts.push_back(shown.records.value_or(0));
    }
    std::vector<std::uint32_t> expected;
    for (std::uint32_t records = 11; records <= 60; ++records) {
        expected.push_back(records);
    }
    EXPECT_EQ(counts, expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(setup.history / "files"), {}), 50);
}

// The trimming itself, on small bounds: versions A, B, C of one file, then D.
TEST(History, TrimmingKeepsTheOnlyCopiesOfVersionsNewerThanTheFile) {
    const std::array<enc::Bytes, 4> contents{waypoints(1, 3), waypoints(1, 2), waypoints(1, 1),
                                             waypoints(5, 5)};
    std::array<ContentHash, 4> hashes;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        ContentHasher hasher;
        hasher.add(contents[i]);
        hashes[i] = hasher.result();
    }
    const std::uint64_t cAndD = contents[2].size() + contents[3].size();
    const struct {
        const char* label;
        HistoryLimits limits;
        std::optional<std::size_t> restored;  // D is recorded by the restore of this one
        std::vector<std::size_t> left;        // newest first
    } cases[] = {
        // B and C are newer than A: while the file holds A again, they stay, and so
        // does A, which the restore is putting back.
        {"a deletion, two per file", {2, 1 << 20}, std::nullopt, {3, 2}},
        {"the restore of A, two per file", {2, 1 << 20}, 0, {3, 2, 1, 0}},
        {"the restore of C, two per file", {2, 1 << 20}, 2, {3, 2}},
        {"a deletion, bytes of C and D", {50, cAndD}, std::nullopt, {3, 2}},
        {"the restore of B, bytes of C and D", {50, cAndD}, 1, {3, 2, 1}},
        {"the restore of A, bytes of D", {50, contents[3].size()}, 0, {3, 2, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir history;
        SystemFileOperations ops;
        const fs::path device = history / "device" / kWaypointFileName;
        std::vector<std::string> ids;
        for (std::size_t i = 0; i < contents.size(); ++i) {
            const HistorySettings settings{history.path(),
                                           i + 1 < contents.size() ? HistoryLimits{} : c.limits};
            const std::array<std::span<const std::uint8_t>, 1> pieces{contents[i]};
            const AfterReplacement after{c.restored && i + 1 == contents.size()
                                             ? std::optional(hashes[*c.restored])
                                             : std::nullopt};
            const RecordResult kept =
                recordVersion(settings, ops, device, hashes[i], pieces, after);
            ASSERT_TRUE(kept.version) << kept.problem;
            ids.push_back(kept.version->id);
        }
        std::vector<std::size_t> left;
        for (const auto& version : versionsOf(history.path(), device)) {
            left.push_back(static_cast<std::size_t>(std::find(ids.begin(), ids.end(), version.id) -
                                                    ids.begin()));
            EXPECT_TRUE(readVersionBytes(ops, version)) << version.id;
        }
        EXPECT_EQ(left, c.left);
    }
}

TEST(History, TheSameBytesAreStoredOnce) {
    KeptFolder setup(kWaypointFileName, waypoints(1, 9));
    ASSERT_EQ(setup.remove(3).outcome, CommandOutcome::Done);
    const auto first = setup.versions();
    ASSERT_EQ(onRestore(*setup.state, setup.ui, first[0].version.id).outcome, CommandOutcome::Done);
    // Deleting 3 again keeps the original's bytes a second time, under the same copy.
    ASSERT_EQ(setup.remove(3).outcome, CommandOutcome::Done);
    const auto versions = setup.versions();
    ASSERT_EQ(versions.size(), 3u);
    EXPECT_EQ(versions[0].version.storedFile, versions[2].version.storedFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(setup.history / "files"), {}), 2);
}

}  // namespace
}  // namespace quillet
