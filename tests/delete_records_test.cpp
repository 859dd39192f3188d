// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/delete_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/fill_list.h"
#include "app/startup.h"
#include "edit/file_operations.h"
#include "edit/rewrite_device_file.h"
#include "encoder/device_encoder.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
namespace enc = encoder;
using testing::FakeUi;
using testing::MessageCall;
using testing::TempDir;
using testing::titledMessage;

const MessageCall kConfirmation =
    titledMessage("Are you shure?", Buttons::OkCancel, Icon::Exclamation);

// ---- Device files

// A waypoint body of the given length whose bytes tell the records apart.
enc::Bytes waypointBody(int number, std::size_t length = 166) {
    enc::WaypointFields fields;
    fields.name = "Point " + std::to_string(number);
    fields.latitudeCode = number * 1000;
    fields.symbol = static_cast<std::uint8_t>(number);
    enc::Bytes body = enc::encodeWaypointBody(fields);
    body.resize(length);
    for (std::size_t i = 166; i < length; ++i) {
        body[i] = static_cast<std::uint8_t>(i * 7 + number);
    }
    return body;
}

enc::WaypointFile waypointFile(std::vector<enc::Bytes> bodies) {
    enc::WaypointFile file;
    file.reserved2 = {0xAB, 0xCD};
    file.accessCount = 0x01020304;
    file.reserved8 = {9, 8, 7, 6};
    file.bodies = std::move(bodies);
    return file;
}

enc::Bytes waypoints(const std::vector<int>& numbers) {
    std::vector<enc::Bytes> bodies;
    for (const int n : numbers) {
        bodies.push_back(waypointBody(n));
    }
    return enc::encodeWaypointFile(waypointFile(std::move(bodies)));
}

enc::SavedTrack savedTrack(int number) {
    enc::SavedTrack track;
    track.name = "Track " + std::to_string(number);
    track.colour = static_cast<std::uint8_t>(number);
    for (int i = 0; i < number; ++i) {
        track.points.push_back({.latitudeCode = static_cast<std::uint32_t>(1000 * number + i),
                                .longitudeCode = 77,
                                .elevationCode = 6240,
                                .timeField = 536544002u + static_cast<std::uint32_t>(i)});
    }
    return track;
}

enc::Bytes savedTracks(const std::vector<int>& numbers) {
    enc::SavedTracksFile file;
    file.header = {5, 0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA};
    for (const int n : numbers) {
        file.tracks.push_back(savedTrack(n));
    }
    return enc::encodeSavedTracksFile(file);
}

enc::Bytes activeTrack() {
    enc::ActiveTrackFile file;
    file.points = {
        {.latitudeCode = 5, .longitudeCode = 6, .elevationCode = 3120, .timeField = 536544010u}};
    return enc::encodeActiveTrackFile(file);
}

enc::Bytes bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return enc::Bytes(std::istreambuf_iterator<char>(in), {});
}

// ---- The two views

struct ViewSetup {
    ViewKind view;
    const char* deviceName;
    const char* temporaryName;
    const char* backupName;
    enc::Bytes (*file)(const std::vector<int>&);
};

const ViewSetup kWaypointSetup{ViewKind::Waypoints, "GARMIN_WPT.NVM", "GARMIN_WPT.NV_",
                               "GARMIN_WPT.BAK", waypoints};
const ViewSetup kTrackSetup{ViewKind::Tracks, "GARMIN_STRK.NVM", "GARMIN_STRK.NV_",
                            "GARMIN_STRK.BAK", savedTracks};
const ViewSetup kBothViews[] = {kWaypointSetup, kTrackSetup};

// A folder with one device file, started up and showing that file's view.
struct Folder {
    TempDir dir;
    FakeUi ui;
    std::unique_ptr<AppState> state;
    ViewSetup setup;

    Folder(const ViewSetup& s, const enc::Bytes& content, bool withActiveTrack = false) : setup(s) {
        enc::writeFile(device(), content);
        if (withActiveTrack) {
            enc::writeFile(dir / "GARMIN_ATRK.NVM", activeTrack());
        }
        start();
    }

    void start() {
        state = startUp(dir.path(), ui);
        if (state != nullptr) {
            ui.calls.clear();
        }
    }

    fs::path device() const { return dir / setup.deviceName; }
    fs::path temporary() const { return dir / setup.temporaryName; }
    fs::path backup() const { return dir / setup.backupName; }

    void select(const std::set<int>& items) {
        for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
            state->list.setSelected(row, items.count(state->list.itemNumber(row)) != 0);
        }
    }

    std::vector<std::int32_t> itemNumbersInListOrder() const {
        std::vector<std::int32_t> items;
        for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
            items.push_back(state->list.itemNumber(row));
        }
        return items;
    }

    DeleteResult remove(const std::set<int>& items) {
        select(items);
        return onDelete(*state, ui);
    }
};

MessageCall failure(const std::string& text) {
    return titledMessage(text, Buttons::Ok, Icon::Error);
}

// The texts the person is shown, spelled out.
std::string changedText(const ViewSetup& s) {
    return std::string(s.deviceName) +
           " has changed since the list was filled.\n"
           "The list has been read again; select the records to delete once more.";
}

std::string incompleteText(const ViewSetup& s) {
    return std::string(s.deviceName) +
           " ends before the last of the records it counts.\n"
           "Nothing has been deleted; copy the file from the receiver again.";
}

std::string temporaryLeftText(const ViewSetup& s) {
    return std::string("\nThe temporary file ") + s.temporaryName +
           " could not be removed; delete it.";
}

// ---- Nothing happens

TEST(Delete, WithoutSelectionOrWhenCancelledTouchesNothing) {
    for (const auto& setup : kBothViews) {
        for (const bool selectSome : {false, true}) {
            SCOPED_TRACE(std::string(setup.deviceName) + (selectSome ? " cancel" : " none"));
            const auto original = setup.file({1, 2, 3});
            Folder folder(setup, original);
            folder.ui.answers = {Answer::Cancel};

            const auto result = folder.remove(selectSome ? std::set<int>{2} : std::set<int>{});

            EXPECT_EQ(result.outcome, CommandOutcome::NotRun);
            EXPECT_EQ(folder.ui.messages(), selectSome ? std::vector<MessageCall>{kConfirmation}
                                                       : std::vector<MessageCall>{});
            EXPECT_EQ(bytesOf(folder.device()), original);
            EXPECT_FALSE(fs::exists(folder.temporary()));
            EXPECT_FALSE(fs::exists(folder.backup()));
            EXPECT_EQ(folder.state->list.rowCount(), 3u);
        }
    }
}

TEST(Delete, RefusesTheActiveTrackWhereverItStandsWithoutAskingOrTouching) {
    struct Case {
        std::vector<int> savedTracks;  // none: no saved-tracks file
        std::set<int> selected;
        bool descending;
    };
    const Case cases[] = {
        {{1, 2, 3}, {0}, false},         {{1, 2, 3}, {0}, true}, {{1, 2, 3}, {0, 2}, false},
        {{1, 2, 3}, {0, 1, 2, 3}, true}, {{}, {0}, false},       {{}, {0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.savedTracks.size() << " tracks, " << c.selected.size() << " selected, "
                     << (c.descending ? "descending" : "ascending"));
        TempDir dir;
        enc::writeFile(dir / "GARMIN_ATRK.NVM", activeTrack());
        const auto original = savedTracks(c.savedTracks);
        if (!c.savedTracks.empty()) {
            enc::writeFile(dir / "GARMIN_STRK.NVM", original);
        }
        FakeUi ui;
        ui.name = "quillet-test";
        auto state = startUp(dir.path(), ui);
        ASSERT_NE(state, nullptr);
        if (c.descending) {
            state->list.onColumnClick(1);
        }
        const std::size_t activeRow = c.descending ? state->list.rowCount() - 1 : 0;
        ASSERT_EQ(state->list.itemNumber(activeRow), 0);
        for (std::size_t row = 0; row < state->list.rowCount(); ++row) {
            state->list.setSelected(row, c.selected.count(state->list.itemNumber(row)) != 0);
        }
        ui.calls.clear();

        const auto result = onDelete(*state, ui);

        EXPECT_EQ(result.outcome, CommandOutcome::Refused);
        EXPECT_EQ(ui.messages(),
                  (std::vector<MessageCall>{{"You can not delete the active track!", "quillet-test",
                                             Buttons::Ok, Icon::None}}));
        if (!c.savedTracks.empty()) {
            EXPECT_EQ(bytesOf(dir / "GARMIN_STRK.NVM"), original);
        }
        EXPECT_FALSE(fs::exists(dir / "GARMIN_STRK.NV_"));
        EXPECT_FALSE(fs::exists(dir / "GARMIN_STRK.BAK"));
        EXPECT_EQ(state->list.selectedCount(), c.selected.size());
    }
}

// ---- Deleting

TEST(Delete, KeepsTheUnselectedRecordsInFileOrderWhateverTheListOrder) {
    struct Order {
        const char* name;
        std::vector<std::size_t> clicks;  // column headings clicked before selecting
    };
    const Order orders[] = {{"by number", {}},
                            {"by number descending", {1}},
                            {"by name", {2}},
                            {"by name descending", {2, 2}},
                            {"by the hidden first column", {0}}};
    for (const auto& setup : kBothViews) {
        for (const auto& order : orders) {
            SCOPED_TRACE(std::string(setup.deviceName) + " " + order.name);
            const auto original = setup.file({1, 2, 3, 4, 5, 6});
            Folder folder(setup, original, setup.view == ViewKind::Tracks);
            for (const auto column : order.clicks) {
                folder.state->list.onColumnClick(column);
            }

            const auto result = folder.remove({2, 5});

            EXPECT_EQ(result.outcome, CommandOutcome::Done);
            EXPECT_EQ(result.removed, 2u);
            EXPECT_EQ(result.deviceFile, folder.device());
            EXPECT_EQ(result.backupFile, folder.backup());
            EXPECT_EQ(folder.ui.messages(), std::vector<MessageCall>{kConfirmation});
            const auto rewritten = bytesOf(folder.device());
            EXPECT_EQ(rewritten, setup.file({1, 3, 4, 6}));
            EXPECT_TRUE(std::equal(original.begin(), original.begin() + 12, rewritten.begin()));
            EXPECT_EQ(bytesOf(folder.backup()), original);
            EXPECT_FALSE(fs::exists(folder.temporary()));

            // The list was filled anew from the rewritten file.
            auto items = folder.itemNumbersInListOrder();
            std::sort(items.begin(), items.end());
            const std::vector<std::int32_t> expected =
                setup.view == ViewKind::Tracks ? std::vector<std::int32_t>{0, 1, 2, 3, 4}
                                               : std::vector<std::int32_t>{1, 2, 3, 4};
            EXPECT_EQ(items, expected);
            EXPECT_EQ(folder.state->list.selectedCount(), 0u);
        }
    }
}

TEST(Delete, EveryWaypointLeavesTheHeaderAndACountOfZero) {
    const auto original = waypoints({1, 2, 3});
    Folder folder(kWaypointSetup, original);

    const auto result = folder.remove({1, 2, 3});

    EXPECT_EQ(result.outcome, CommandOutcome::Done);
    EXPECT_EQ(result.removed, 3u);
    enc::Bytes expected(original.begin(), original.begin() + 12);
    expected.insert(expected.end(), {0, 0, 0, 0});
    EXPECT_EQ(bytesOf(folder.device()), expected);
    EXPECT_EQ(folder.state->list.rowCount(), 0u);
}

TEST(Delete, ASecondDeletionReplacesTheBackupOfTheFirst) {
    const auto original = waypoints({1, 2, 3, 4});
    Folder folder(kWaypointSetup, original);
    ASSERT_EQ(folder.remove({1}).outcome, CommandOutcome::Done);
    const auto afterFirst = bytesOf(folder.device());

    ASSERT_EQ(folder.remove({3}).outcome, CommandOutcome::Done);

    EXPECT_EQ(bytesOf(folder.backup()), afterFirst);
    EXPECT_EQ(bytesOf(folder.device()), waypoints({2, 3}));
}

TEST(Delete, CopiesRecordsOfAnyLengthWhole) {
    const std::vector<std::size_t> lengths = {1500, 65535, 166, 0, 1004, 1005};
    std::vector<enc::Bytes> bodies;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        bodies.push_back(waypointBody(static_cast<int>(i + 1), lengths[i]));
    }
    const auto original = enc::encodeWaypointFile(waypointFile(bodies));
    Folder folder(kWaypointSetup, original);

    ASSERT_EQ(folder.remove({3}).outcome, CommandOutcome::Done);

    bodies.erase(bodies.begin() + 2);
    EXPECT_EQ(bytesOf(folder.device()), enc::encodeWaypointFile(waypointFile(bodies)));
    EXPECT_EQ(bytesOf(folder.backup()), original);
}

// ---- Refusals before anything is written

TEST(Delete, RefusesAFileThatChangedSinceTheFillAndFillsTheListAnew) {
    struct Case {
        const char* name;
        enc::Bytes (*change)(const ViewSetup&);
        std::size_t rowsAfter;     // saved-track or waypoint rows after the refill
        bool sameTime;             // the modification time is set back to that of the fill
        bool anotherFile = false;  // the bytes go to a new file that takes the name
    };
    const Case cases[] = {
        {"appended byte",
         [](const ViewSetup& s) {
             auto bytes = s.file({1, 2, 3, 4});
             bytes.push_back(0);
             return bytes;
         },
         4, false},
        {"other count",
         [](const ViewSetup& s) {
             return s.file({1, 2, 3});
         },
         3, false},
        {"same size and time, one byte other",
         [](const ViewSetup& s) {
             auto bytes = s.file({1, 2, 3, 4});
             bytes.back() ^= 0xFF;
             return bytes;
         },
         4, true},
        {"same size, count one less",
         [](const ViewSetup& s) {
             auto bytes = s.file({1, 2, 3, 4});
             bytes[12] = 3;
             return bytes;
         },
         3, true},
        {"the same bytes in another file",
         [](const ViewSetup& s) {
             return s.file({1, 2, 3, 4});
         },
         4, true, true},
    };
    for (const auto& setup : kBothViews) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(setup.deviceName) + " " + c.name);
            Folder folder(setup, setup.file({1, 2, 3, 4}));
            const auto filledAt = fs::last_write_time(folder.device());
            const auto changed = c.change(setup);
            if (c.anotherFile) {
                // Written while the old file still exists, so that it cannot reuse its number.
                const fs::path other = folder.device().parent_path() / "other";
                enc::writeFile(other, changed);
                fs::remove(folder.device());
                fs::rename(other, folder.device());
            } else {
                enc::writeFile(folder.device(), changed);
            }
            if (c.sameTime) {
                fs::last_write_time(folder.device(), filledAt);
            }

            const auto result = folder.remove({2});

            EXPECT_EQ(result.outcome, CommandOutcome::Refused);
            EXPECT_EQ(folder.ui.messages(),
                      (std::vector<MessageCall>{kConfirmation, failure(changedText(setup))}));
            EXPECT_EQ(bytesOf(folder.device()), changed);
            EXPECT_FALSE(fs::exists(folder.temporary()));
            EXPECT_FALSE(fs::exists(folder.backup()));
            EXPECT_EQ(folder.state->list.rowCount(), c.rowsAfter);
            EXPECT_EQ(folder.state->list.selectedCount(), 0u);

            // The refill took a new snapshot: the deletion now goes ahead.
            folder.ui.calls.clear();
            EXPECT_EQ(folder.remove({2}).outcome, CommandOutcome::Done);
        }
    }
}

TEST(Delete, RefusesAFileThatEndsBeforeItsCountedRecords) {
    struct Case {
        const char* name;
        enc::Bytes (*file)(const ViewSetup&);
    };
    const Case cases[] = {
        {"count beyond the records",
         [](const ViewSetup& s) {
             auto bytes = s.file({1, 2, 3});
             bytes[12] = 5;
             return bytes;
         }},
        {"last record cut short",
         [](const ViewSetup& s) {
             auto bytes = s.file({1, 2, 3});
             bytes.resize(bytes.size() - 3);
             return bytes;
         }},
        {"cut inside a length word",
         [](const ViewSetup& s) {
             auto bytes = s.file({1, 2});
             bytes.resize(s.file({1}).size() + 1);
             return bytes;
         }},
    };
    for (const auto& setup : kBothViews) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(setup.deviceName) + " " + c.name);
            const auto original = c.file(setup);
            Folder folder(setup, original);
            folder.ui.calls.clear();

            const auto result = folder.remove({1});

            EXPECT_EQ(result.outcome, CommandOutcome::Refused);
            EXPECT_EQ(folder.ui.messages(),
                      (std::vector<MessageCall>{kConfirmation, failure(incompleteText(setup))}));
            EXPECT_EQ(bytesOf(folder.device()), original);
            EXPECT_FALSE(fs::exists(folder.temporary()));
            EXPECT_FALSE(fs::exists(folder.backup()));
        }
    }
}

TEST(Delete, ReportsADeviceFileThatNoLongerOpensWithoutCreatingATemporaryFile) {
    for (const auto& setup : kBothViews) {
        SCOPED_TRACE(setup.deviceName);
        Folder folder(setup, setup.file({1, 2}));
        fs::remove(folder.device());

        const auto result = folder.remove({1});

        EXPECT_EQ(result.outcome, CommandOutcome::Failed);
        EXPECT_EQ(
            folder.ui.messages(),
            (std::vector<MessageCall>{
                kConfirmation, failure(std::string("Unable to open file ") + setup.deviceName)}));
        EXPECT_FALSE(fs::exists(folder.temporary()));
        EXPECT_FALSE(fs::exists(folder.backup()));
    }
}

// Whether the folder's permissions keep this process from creating files in it (they
// do not for a privileged user).
bool permissionsAreEnforced(const fs::path& folder) {
    const auto probe = folder / "probe";
    std::ofstream out(probe);
    const bool created = out.is_open();
    out.close();
    fs::remove(probe);
    return !created;
}

TEST(Delete, ReportsATemporaryFileThatCannotBeCreated) {
    for (const auto& setup : kBothViews) {
        for (const bool readOnlyFolder : {false, true}) {
            SCOPED_TRACE(std::string(setup.deviceName) +
                         (readOnlyFolder ? " read-only folder" : " folder in the way"));
            const auto original = setup.file({1, 2});
            Folder folder(setup, original);
            if (readOnlyFolder) {
                fs::permissions(folder.dir.path(), fs::perms::owner_write,
                                fs::perm_options::remove);
                if (!permissionsAreEnforced(folder.dir.path())) {
                    fs::permissions(folder.dir.path(), fs::perms::owner_write,
                                    fs::perm_options::add);
                    continue;  // privileged: the folder stays writable
                }
            } else {
                fs::create_directory(folder.temporary());
            }

            const auto result = folder.remove({1});

            fs::permissions(folder.dir.path(), fs::perms::owner_write, fs::perm_options::add);
            EXPECT_EQ(result.outcome, CommandOutcome::Failed);
            EXPECT_EQ(folder.ui.messages(),
                      (std::vector<MessageCall>{
                          kConfirmation,
                          failure(std::string("Unable to create file ") + setup.temporaryName)}));
            EXPECT_EQ(bytesOf(folder.device()), original);
            EXPECT_FALSE(fs::exists(folder.backup()));
            EXPECT_EQ(fs::is_directory(folder.temporary()), !readOnlyFolder);
        }
    }
}

// ---- Failures of single file operations

// The system's file operations, of which the ones chosen fail: a failing read reports
// an error, a failing write writes half, a failing close still closes, the others do
// nothing. Counts every call.
class FailingFileOperations : public FileOperations {
public:
    int calls = 0;
    std::vector<fs::path> paths;  // every path handed over, in order
    int failAt = 0;               // the call that fails (1-based), 0 for none
    bool andAfter = false;        // every later call fails as well

    std::FILE* openForReading(const fs::path& path) override {
        paths.push_back(path);
        return fails() ? nullptr : system_.openForReading(path);
    }
    std::FILE* createForWriting(const fs::path& path) override {
        paths.push_back(path);
        return fails() ? nullptr : system_.createForWriting(path);
    }
    std::optional<std::size_t> read(std::FILE* file, std::span<std::uint8_t> dest) override {
        if (fails()) {
            return std::nullopt;
        }
        return system_.read(file, dest);
    }
    bool write(std::FILE* file, std::span<const std::uint8_t> bytes) override {
        if (fails()) {
            system_.write(file, bytes.first(bytes.size() / 2));
            return false;
        }
        return system_.write(file, bytes);
    }
    bool flushToDisk(std::FILE* file) override { return !fails() && system_.flushToDisk(file); }
    bool close(std::FILE* file) override {
        const bool failed = fails();
        return system_.close(file) && !failed;
    }
    bool removeFile(const fs::path& path) override {
        paths.push_back(path);
        return !fails() && system_.removeFile(path);
    }
    bool renameFile(const fs::path& from, const fs::path& to) override {
        paths.insert(paths.end(), {from, to});
        return !fails() && system_.renameFile(from, to);
    }
    bool linkFile(const fs::path& existing, const fs::path& newName) override {
        paths.insert(paths.end(), {existing, newName});
        return !fails() && !withoutLinks && system_.linkFile(existing, newName);
    }
    bool withoutLinks = false;  // behave like a file system without hard links
    std::optional<FileSnapshot> snapshot(const fs::path& path, std::uint32_t count) override {
        if (fails()) {
            return std::nullopt;
        }
        return system_.snapshot(path, count);
    }
    bool syncDirectory(const fs::path& directory) override {
        return !fails() && system_.syncDirectory(directory);
    }

private:
    bool fails() {
        ++calls;
        return failAt != 0 && (calls == failAt || (andAfter && calls > failAt));
    }
    SystemFileOperations system_;
};

// Changes the current directory for its lifetime.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const fs::path& path) : previous_(fs::current_path()) {
        fs::current_path(path);
    }
    ~CurrentDirectory() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

TEST(Delete, KeepsTheTemporaryFileAndTheBackupBesideTheDeviceFile) {
    const auto original = waypoints({1, 2, 3});
    Folder folder(kWaypointSetup, original);
    TempDir elsewhere;
    FailingFileOperations ops;
    {
        CurrentDirectory cd(elsewhere.path());
        folder.select({2});
        ASSERT_EQ(onDelete(*folder.state, folder.ui, ops).outcome, CommandOutcome::Done);
    }
    for (const auto& path : ops.paths) {
        // The history of the replaced file is the one place outside the folder.
        if (!path.native().starts_with(folder.state->historyFolder->native())) {
            EXPECT_EQ(path.parent_path(), folder.dir.path()) << path;
        }
    }
    EXPECT_EQ(bytesOf(folder.backup()), original);
    EXPECT_EQ(bytesOf(folder.device()), waypoints({1, 3}));
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

// Records, after every file operation, whether the device file's name held the whole
// old or the whole new file.
class DeviceNameWatch final : public FileOperations {
public:
    DeviceNameWatch(fs::path device, std::vector<std::uint8_t> before,
                    std::vector<std::uint8_t> after)
        : device_(std::move(device)), before_(std::move(before)), after_(std::move(after)) {}
    int gaps = 0;  // operations after which the name held neither

    std::FILE* openForReading(const fs::path& p) override {
        return watch(system_.openForReading(p));
    }
    std::FILE* createForWriting(const fs::path& p) override {
        return watch(system_.createForWriting(p));
    }
    std::optional<std::size_t> read(std::FILE* f, std::span<std::uint8_t> d) override {
        return watch(system_.read(f, d));
    }
    bool write(std::FILE* f, std::span<const std::uint8_t> b) override {
        return watch(system_.write(f, b));
    }
    bool flushToDisk(std::FILE* f) override { return watch(system_.flushToDisk(f)); }
    bool close(std::FILE* f) override { return watch(system_.close(f)); }
    bool removeFile(const fs::path& p) override { return watch(system_.removeFile(p)); }
    bool renameFile(const fs::path& from, const fs::path& to) override {
        return watch(system_.renameFile(from, to));
    }
    bool linkFile(const fs::path& existing, const fs::path& newName) override {
        return watch(system_.linkFile(existing, newName));
    }
    std::optional<FileSnapshot> snapshot(const fs::path& p, std::uint32_t count) override {
        return watch(system_.snapshot(p, count));
    }
    bool syncDirectory(const fs::path& d) override { return watch(system_.syncDirectory(d)); }

private:
    template <typename T>
    T watch(T result) {
        const bool whole =
            fs::exists(device_) && (bytesOf(device_) == before_ || bytesOf(device_) == after_);
        gaps += whole ? 0 : 1;
        return result;
    }
    SystemFileOperations system_;
    fs::path device_;
    std::vector<std::uint8_t> before_;
    std::vector<std::uint8_t> after_;
};

TEST(Delete, NeverLeavesTheDeviceNameWithoutAWholeFileWhereHardLinksExist) {
    for (const auto& setup : kBothViews) {
        const auto original = setup.file({1, 2, 3});
        Folder folder(setup, original);
        folder.select({2});
        DeviceNameWatch watch(folder.device(), original, setup.file({1, 3}));
        ASSERT_EQ(onDelete(*folder.state, folder.ui, watch).outcome, CommandOutcome::Done);
        EXPECT_EQ(watch.gaps, 0) << setup.deviceName;
        EXPECT_EQ(bytesOf(folder.backup()), original);
    }
}

TEST(Delete, LosesNoRecordWhicheverFileOperationFails) {
    for (const auto& [setup, withoutLinks] :
         {std::pair{kBothViews[0], false}, std::pair{kBothViews[1], false},
          std::pair{kBothViews[0], true}, std::pair{kBothViews[1], true}}) {
        const auto original = setup.file({1, 2, 3, 4});
        const auto rewritten = setup.file({1, 3, 4});
        int operations = 0;
        {
            Folder folder(setup, original);
            folder.select({2});
            FailingFileOperations counting;
            counting.withoutLinks = withoutLinks;
            ASSERT_EQ(onDelete(*folder.state, folder.ui, counting).outcome, CommandOutcome::Done);
            operations = counting.calls;
        }
        for (int k = 1; k <= operations; ++k) {
            for (const bool andAfter : {false, true}) {
                SCOPED_TRACE(::testing::Message()
                             << setup.deviceName << (withoutLinks ? " without hard links" : "")
                             << ": operation " << k << (andAfter ? " and all after it" : "")
                             << " of " << operations << " fails");
                Folder folder(setup, original);
                folder.select({2});
                FailingFileOperations ops;
                ops.withoutLinks = withoutLinks;
                ops.failAt = k;
                ops.andAfter = andAfter;

                const auto result = onDelete(*folder.state, folder.ui, ops);

                const auto shown = folder.ui.messages();
                if (result.outcome == CommandOutcome::Done) {
                    // Harmless: a failure after everything needed was read or renamed.
                    EXPECT_EQ(shown, std::vector<MessageCall>{kConfirmation});
                    EXPECT_EQ(bytesOf(folder.device()), rewritten);
                    EXPECT_EQ(bytesOf(folder.backup()), original);
                } else {
                    ASSERT_EQ(shown.size(), 2u);
                    EXPECT_EQ(shown[1].caption, kTitleText);
                    EXPECT_EQ(shown[1].icon, Icon::Error);
                    const bool inDevice =
                        fs::exists(folder.device()) && bytesOf(folder.device()) == original;
                    const bool inBackup =
                        fs::exists(folder.backup()) && bytesOf(folder.backup()) == original;
                    EXPECT_TRUE(inDevice || inBackup);
                    if (!inDevice) {
                        EXPECT_NE(shown[1].text.find(setup.backupName), std::string::npos);
                    }
                }
                const bool temporaryLeft = fs::exists(folder.temporary());
                const bool temporaryReported =
                    shown.size() == 2 &&
                    shown[1].text.find(temporaryLeftText(setup)) != std::string::npos;
                EXPECT_EQ(temporaryLeft, temporaryReported);
            }
        }
    }
}

// ---- What stands in the folder cannot trick a deletion

// POSIX only: symbolic links, which a Windows account may make only with a privilege.
#ifndef _WIN32
TEST(Delete, NeverWritesThroughWhatAlreadyHasTheTemporaryOrBackupName) {
    enum class Stale { Link, DanglingLink, HardLink, BackupLink };
    for (const auto& setup : kBothViews) {
        for (const Stale stale :
             {Stale::Link, Stale::DanglingLink, Stale::HardLink, Stale::BackupLink}) {
            SCOPED_TRACE(::testing::Message()
                         << setup.deviceName << " case " << static_cast<int>(stale));
            const auto original = setup.file({1, 2, 3});
            Folder folder(setup, original);
            TempDir outside;
            const enc::Bytes precious = {'k', 'e', 'e', 'p'};
            enc::writeFile(outside / "victim", precious);
            switch (stale) {
                case Stale::Link:
                    fs::create_symlink(outside / "victim", folder.temporary());
                    break;
                case Stale::DanglingLink:
                    fs::create_symlink(outside / "created", folder.temporary());
                    break;
                case Stale::HardLink:
                    fs::create_hard_link(outside / "victim", folder.temporary());
                    break;
                case Stale::BackupLink:
                    fs::create_symlink(outside / "victim", folder.backup());
                    break;
            }

            ASSERT_EQ(folder.remove({2}).outcome, CommandOutcome::Done);

            EXPECT_EQ(bytesOf(outside / "victim"), precious);
            EXPECT_FALSE(fs::exists(outside / "created"));
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.device())));
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.backup())));
            EXPECT_EQ(bytesOf(folder.device()), setup.file({1, 3}));
            EXPECT_EQ(bytesOf(folder.backup()), original);
            EXPECT_FALSE(fs::exists(fs::symlink_status(folder.temporary())));
        }
    }
}
#endif

// POSIX only: permission bits, owners and groups (chown), which Windows does not keep.
#ifndef _WIN32
TEST(Delete, KeepsThePermissionsAndWherePermittedTheOwner) {
    const bool privileged = ::geteuid() == 0;
    for (const auto& setup : kBothViews) {
        SCOPED_TRACE(setup.deviceName);
        Folder folder(setup, setup.file({1, 2, 3}));
        fs::permissions(folder.device(), fs::perms::owner_read | fs::perms::owner_write);
        if (privileged) {
            ASSERT_EQ(::chown(folder.device().c_str(), 65534, 65534), 0);
        }
        folder.start();

        ASSERT_EQ(folder.remove({2}).outcome, CommandOutcome::Done);

        struct stat facts {};
        ASSERT_EQ(::stat(folder.device().c_str(), &facts), 0);
        EXPECT_EQ(facts.st_mode & 07777, 0600u);
        if (privileged) {
            EXPECT_EQ(facts.st_uid, 65534u);
            EXPECT_EQ(facts.st_gid, 65534u);
        }
    }
}
#endif

// The system's operations, of which the chosen ones answer as given.
struct AnsweringOperations : FailingFileOperations {
    bool flushFails = false;
    bool lockBusy = false;
    // The flush of the temporary file fails; those of the history go through.
    bool flushToDisk(std::FILE* file) override {
        const bool temporary = paths.back().extension() == ".NV_";
        return !(flushFails && temporary) && FailingFileOperations::flushToDisk(file);
    }
    platform::LockStatus lock(std::FILE* file, std::chrono::milliseconds patience) override {
        return lockBusy ? platform::LockStatus::Busy : FileOperations::lock(file, patience);
    }
};

TEST(Delete, RefusesOrFailsWithNothingChanged) {
    struct Case {
        const char* name;
        bool readOnly;
        bool lockBusy;
        bool flushFails;
        CommandOutcome outcome;
        std::string text;
        bool tooLargeToHash = false;
    };
    const Case cases[] = {
        {"filled from a file too large to hash", false, false, false, CommandOutcome::Refused,
         "GARMIN_WPT.NVM is larger than 256 MiB, far more than a receiver holds.\n"
         "Nothing has been deleted; copy the file from the receiver again.",
         true},
        {"read-only", true, false, false, CommandOutcome::Refused,
         "GARMIN_WPT.NVM is read-only.\nNothing has been deleted; make the file writable if "
         "records are to be deleted from it."},
        {"another deletion holds the lock", false, true, false, CommandOutcome::Refused,
         "GARMIN_WPT.NVM is being changed by another deletion.\n"
         "Nothing has been deleted; try again when it has finished."},
        {"the flush to disk fails", false, false, true, CommandOutcome::Failed,
         "Unable to write file GARMIN_WPT.NV_.\n"
         "Nothing has been deleted; make room on the disk and try again."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto original = waypoints({1, 2, 3});
        Folder folder(kWaypointSetup, original);
        if (c.readOnly) {
            fs::permissions(folder.device(),
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        const auto permissions = fs::status(folder.device()).permissions();
        AnsweringOperations ops;
        ops.lockBusy = c.lockBusy;
        ops.flushFails = c.flushFails;
        if (c.tooLargeToHash) {
            folder.state->waypointSnapshot->content.reset();
        }
        folder.select({2});

        const auto result = onDelete(*folder.state, folder.ui, ops);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(folder.ui.messages(), (std::vector<MessageCall>{kConfirmation, failure(c.text)}));
        EXPECT_EQ(bytesOf(folder.device()), original);
        EXPECT_EQ(fs::status(folder.device()).permissions(), permissions);
        EXPECT_FALSE(fs::exists(folder.temporary()));
        EXPECT_FALSE(fs::exists(folder.backup()));
    }
}

// POSIX only: symbolic links, which a Windows account may make only with a privilege.
#ifndef _WIN32
TEST(Delete, RewritesTheFileALinkedDeviceFileNamesAndKeepsTheLink) {
    for (const auto& setup : kBothViews) {
        SCOPED_TRACE(setup.deviceName);
        const auto original = setup.file({1, 2, 3});
        Folder folder(setup, original);
        TempDir elsewhere;
        const fs::path real = fs::canonical(elsewhere.path()) / "stored";
        fs::rename(folder.device(), real);
        fs::create_symlink(real, folder.device());
        folder.start();

        const auto result = folder.remove({2});

        EXPECT_EQ(result.outcome, CommandOutcome::Done);
        EXPECT_EQ(result.deviceFile, real);
        EXPECT_EQ(result.backupFile, real.parent_path() / setup.backupName);
        EXPECT_TRUE(fs::is_symlink(folder.device()));
        EXPECT_EQ(fs::read_symlink(folder.device()), real);
        EXPECT_EQ(bytesOf(real), setup.file({1, 3}));
        EXPECT_EQ(bytesOf(real.parent_path() / setup.backupName), original);
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder.backup())));
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder.temporary())));
        EXPECT_FALSE(fs::exists(real.parent_path() / setup.temporaryName));

        // A failure names the real paths.
        fs::create_directory(real.parent_path() / setup.temporaryName);
        folder.ui.calls.clear();
        EXPECT_EQ(folder.remove({1}).outcome, CommandOutcome::Failed);
        EXPECT_EQ(
            folder.ui.messages(),
            (std::vector<MessageCall>{
                kConfirmation, failure("Unable to create file " +
                                       (real.parent_path() / setup.temporaryName).string())}));
    }
}
#endif

#ifdef _WIN32
// The new file is only ever made under a free name, and the lock keeps a second deletion
// off the device file until the first one closes it.
TEST(WindowsPlatformFiles, CreateOnlyAFreeNameAndLockTheDeviceFileOnce) {
    TempDir dir;
    const auto left = dir.writeFile("GARMIN_WPT.NV_", std::string_view("left over"));
    EXPECT_EQ(platform::createExclusive(left), nullptr);
    EXPECT_EQ(fs::file_size(left), 9u);

    std::FILE* first = platform::openForReading(left);
    std::FILE* second = platform::openForReading(left);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(platform::lockExclusive(first, std::chrono::milliseconds(0)),
              platform::LockStatus::Locked);
    EXPECT_EQ(platform::lockExclusive(second, std::chrono::milliseconds(30)),
              platform::LockStatus::Busy);
    EXPECT_TRUE(platform::close(first));
    EXPECT_EQ(platform::lockExclusive(second, std::chrono::milliseconds(0)),
              platform::LockStatus::Locked);
    EXPECT_TRUE(platform::close(second));
}
#endif

}  // namespace
}  // namespace quillet
