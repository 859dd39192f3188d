// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/bad_folders.h"

#include <fstream>
#include <iterator>

#include "encoder/device_encoder.h"

namespace quillet::testing {

namespace {

namespace enc = encoder;
using Bytes = enc::Bytes;

constexpr const char* kWpt = "GARMIN_WPT.NVM";
constexpr const char* kStrk = "GARMIN_STRK.NVM";
constexpr const char* kAtrk = "GARMIN_ATRK.NVM";
constexpr const char* kShortHeader = "shorter than its 16-byte header";

enc::WaypointFields waypoint(std::string name, int day) {
    return {
        .latitudeCode = enc::waypointLatitudeCode(56.7 + day * 0.01),
        .longitudeCode = enc::waypointLongitudeCode(38.8 + day * 0.01),
        .symbol = 15,
        .elevationCode = enc::waypointElevationCode(140 + day),
        .name = std::move(name),
        .nameIsUtf8 = day % 2 == 0,
        .categoryBits = 0x8001,
        .timeWord = enc::waypointTimeWord(enc::deviceTimeOf(2010, 6, day, 14, 3, 7)),
    };
}

enc::PointFields point(int i, bool active) {
    return {
        .latitudeCode = enc::trackLatitudeCode(55.0 + i * 0.001, active),
        .longitudeCode = enc::trackLongitudeCode(14.4 + i * 0.001),
        .elevationCode = enc::trackElevationCode(110 + i, active),
        .timeField = enc::trackTimeField(enc::deviceTimeOf(2007, 6, 29, 12, 12, i)),
    };
}

std::vector<enc::PointFields> points(int count, bool active) {
    std::vector<enc::PointFields> result;
    for (int i = 0; i < count; ++i) {
        result.push_back(point(i, active));
    }
    return result;
}

Bytes waypointFile(std::vector<Bytes> bodies, std::optional<std::uint32_t> count = {}) {
    return enc::encodeWaypointFile({.accessCount = 7, .recordCount = count, .bodies = bodies});
}

Bytes twoWaypoints() {
    return waypointFile({enc::encodeWaypointBody(waypoint("Spring", 1)),
                         enc::encodeWaypointBody(waypoint("Bridge", 2))});
}

Bytes twoSavedTracks(std::optional<std::uint16_t> firstLength = {}) {
    enc::SavedTracksFile file;
    file.tracks.push_back(
        {.name = "Morning", .colour = 9, .points = points(3, false), .length = firstLength});
    file.tracks.push_back({.name = "Evening", .colour = 4, .points = points(10, false)});
    return enc::encodeSavedTracksFile(file);
}

Bytes threeActivePoints(std::optional<std::uint32_t> count = {}) {
    return enc::encodeActiveTrackFile({.pointCount = count, .points = points(3, true)});
}

Bytes cut(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

Bytes withCount(Bytes bytes, std::uint32_t count) {
    for (int i = 0; i < 4; ++i) {
        bytes[12 + i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    return bytes;
}

std::string shortName(const char* file) {
    std::string name = file;
    return name.substr(7, name.find('.') - 7);  // "GARMIN_WPT.NVM" -> "WPT"
}

void addHeaderCuts(std::vector<BadFolder>& all) {
    const std::pair<const char*, Bytes> files[] = {
        {kWpt, twoWaypoints()}, {kStrk, twoSavedTracks()}, {kAtrk, threeActivePoints()}};
    for (const auto& [name, bytes] : files) {
        for (std::size_t size = 0; size < 16; ++size) {
            BadFolder folder{.label = shortName(name) + "_header_cut_at_" + std::to_string(size),
                             .files = {{name, cut(bytes, size)}}};
            folder.fillMessage = kShortHeader;
            all.push_back(std::move(folder));
        }
    }
}

// The second record ends inside each of its fields in turn; deleting then must be refused.
void addRecordCuts(std::vector<BadFolder>& all) {
    const Bytes waypoints = twoWaypoints();
    const std::size_t second = 16 + 2 + 166;
    const std::pair<const char*, std::size_t> waypointFields[] = {
        {"length", 1},     {"latitude", 4},  {"longitude", 8}, {"symbol", 10},
        {"elevation", 12}, {"reserved", 13}, {"name", 80},     {"categories", 139},
        {"time", 142},     {"unused", 150},  {"marker", 166},  {"body_end", 167},
    };
    for (const auto& [field, at] : waypointFields) {
        all.push_back({.label = "WPT_ends_inside_" + std::string(field),
                       .files = {{kWpt, cut(waypoints, second + at)}},
                       .fillMessage = "Incorrect file format!",
                       .deletionRefusedFor = kWpt});
    }

    const Bytes saved = twoSavedTracks();
    const std::size_t secondTrack = 16 + 54 + 37;  // three points take 37 bytes
    const std::pair<const char*, std::size_t> trackFields[] = {
        {"length", 1},
        {"point_count", 3},
        {"name", 10},
        {"colour", 50},
        {"reserved", 52},
        {"points", 54},
        {"point_0", 60},
        {"point_1", 70},
        {"point_8", 54 + 97 + 5},
        {"last_point", 54 + 122 - 1},
    };
    for (const auto& [field, at] : trackFields) {
        all.push_back({.label = "STRK_ends_inside_" + std::string(field),
                       .files = {{kStrk, cut(saved, secondTrack + at)}},
                       .deletionRefusedFor = kStrk});
    }

    const Bytes active = threeActivePoints();
    const std::size_t third = 16 + 2 * 14;
    const std::pair<const char*, std::size_t> pointFields[] = {
        {"length", 1}, {"latitude", 3}, {"longitude", 6}, {"elevation", 9}, {"time", 11},
    };
    for (const auto& [field, at] : pointFields) {
        all.push_back({.label = "ATRK_ends_inside_" + std::string(field),
                       .files = {{kAtrk, cut(active, third + at)}}});
    }
}

void addHugeCounts(std::vector<BadFolder>& all) {
    constexpr std::uint32_t kHuge = 0xFFFFFFFF;
    all.push_back({.label = "WPT_huge_count_no_records",
                   .files = {{kWpt, waypointFile({}, kHuge)}},
                   .fillMessage = "Incorrect file format!"});
    all.push_back({.label = "WPT_huge_count_one_record",
                   .files = {{kWpt, withCount(twoWaypoints(), kHuge)}},
                   .fillMessage = "Incorrect file format!",
                   .deletionRefusedFor = kWpt});
    all.push_back({.label = "STRK_huge_count",
                   .files = {{kStrk, withCount(twoSavedTracks(), kHuge)}},
                   .deletionRefusedFor = kStrk});
    all.push_back({.label = "ATRK_huge_count",
                   .files = {{kAtrk, threeActivePoints(kHuge)}, {kStrk, twoSavedTracks()}}});
    enc::SavedTracksFile claims;
    claims.tracks.push_back({.name = "Claims", .points = points(2, false), .pointCount = 0xFFFF});
    // The length word still frames the record: a deletion may go through.
    all.push_back(
        {.label = "STRK_huge_point_count", .files = {{kStrk, enc::encodeSavedTracksFile(claims)}}});
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Files that are small, or small on the disk, and would take every byte of memory
// if each of their records cost a row: two-byte records by the million, and a sparse
// 8 GiB file whose header counts 4,294,967,295 records.
void addMemoryHogs(std::vector<BadFolder>& all) {
    constexpr std::uint32_t kZeroLengthRecords = 3'000'000;
    constexpr std::uintmax_t kSparseSize = std::uintmax_t{8} << 30;
    constexpr std::size_t kPeakMiB = 1024;
    const std::string tooManyWaypoints = "holds more than 1000000 waypoints";

    Bytes zeroLength = waypointFile({}, kZeroLengthRecords);
    zeroLength.resize(zeroLength.size() + 2 * kZeroLengthRecords);
    // Under the sanitizers a million rows cost minutes per command: the sparse waypoint
    // file alone takes the row limit's path there, the normal build runs all three.
    if (!kSanitized) {
        all.push_back({.label = "WPT_3000000_zero_length_records",
                       .files = {{kWpt, zeroLength}},
                       .fillMessage = tooManyWaypoints,
                       .peakMiB = kPeakMiB});
    }

    Bytes sparse = waypointFile({}, 0xFFFFFFFF);
    all.push_back({.label = "WPT_sparse_8_GiB_huge_count",
                   .files = {{kWpt, sparse}},
                   .sparseSizes = {{kWpt, kSparseSize}},
                   .fillMessage = tooManyWaypoints,
                   .peakMiB = kPeakMiB});

    // Every 54 zero bytes read as the header of a saved track without points.
    if (!kSanitized) {
        all.push_back({.label = "STRK_sparse_8_GiB_huge_count",
                       .files = {{kStrk, withCount(cut(twoSavedTracks(), 16), 0xFFFFFFFF)}},
                       .sparseSizes = {{kStrk, kSparseSize}},
                       .fillMessage = "holds more than 1000000 saved tracks",
                       .peakMiB = kPeakMiB});
    }
}

// A first record of every awkward length, followed by a normal one. Such records are
// copied whole by a deletion.
void addRecordLengths(std::vector<BadFolder>& all) {
    for (const std::size_t length : {0u, 1u, 165u, 1004u, 1005u, 65535u}) {
        Bytes odd = enc::encodeWaypointBody(waypoint("Odd", 3));
        odd.resize(length, 0xA5);
        all.push_back(
            {.label = "WPT_record_length_" + std::to_string(length),
             .files = {
                 {kWpt, waypointFile({odd, enc::encodeWaypointBody(waypoint("After", 4))})}}});

        enc::ActiveTrackFile active{.points = points(2, true)};
        Bytes file = enc::encodeActiveTrackFile(active);
        Bytes body = enc::encodeActivePointBody(point(9, true));
        body.resize(length, 0x5A);
        file[12] = 3;
        file.push_back(static_cast<std::uint8_t>(length));
        file.push_back(static_cast<std::uint8_t>(length >> 8));
        file.insert(file.end(), body.begin(), body.end());
        all.push_back(
            {.label = "ATRK_record_length_" + std::to_string(length), .files = {{kAtrk, file}}});
    }
}

void addLyingLengthWords(std::vector<BadFolder>& all) {
    for (const std::uint16_t length : {0, 52, 88, 90, 500, 0xFFFF}) {
        all.push_back({.label = "STRK_length_word_" + std::to_string(length) + "_for_3_points",
                       .files = {{kStrk, twoSavedTracks(length)}}});
    }
}

void addEmptyAndMissing(std::vector<BadFolder>& all) {
    for (const char* name : {kWpt, kStrk, kAtrk}) {
        all.push_back({.label = shortName(name) + "_zero_length",
                       .files = {{name, {}}},
                       .fillMessage = kShortHeader});

        BadFolder directory{.label = shortName(name) + "_is_a_directory",
                            .directories = {name},
                            .fillMessage = "Unable to open any NVM file. Terminated"};
        all.push_back(std::move(directory));

        BadFolder beside{.label = shortName(name) + "_is_a_directory_beside_others",
                         .files = {{kWpt, twoWaypoints()},
                                   {kStrk, twoSavedTracks()},
                                   {kAtrk, threeActivePoints()}},
                         .directories = {name}};
        beside.files.erase(name);
        all.push_back(std::move(beside));

        all.push_back({.label = shortName(name) + "_unreadable",
                       .files = {{name, name == std::string(kWpt)    ? twoWaypoints()
                                        : name == std::string(kStrk) ? twoSavedTracks()
                                                                     : threeActivePoints()}},
                       .access = Access::UnreadableFiles,
                       .fillMessage = "Unable to open any NVM file. Terminated"});
    }
    all.push_back({.label = "all_zero_length",
                   .files = {{kWpt, {}}, {kStrk, {}}, {kAtrk, {}}},
                   .fillMessage = kShortHeader});
    all.push_back({.label = "WPT_in_read_only_folder",
                   .files = {{kWpt, twoWaypoints()}},
                   .access = Access::ReadOnlyFolder,
                   .deletionRefusedFor = kWpt});
    all.push_back({.label = "STRK_in_read_only_folder",
                   .files = {{kStrk, twoSavedTracks()}, {kAtrk, threeActivePoints()}},
                   .access = Access::ReadOnlyFolder,
                   .deletionRefusedFor = kStrk});
}

}  // namespace

std::vector<BadFolder> badFolders() {
    std::vector<BadFolder> all;
    addHeaderCuts(all);
    addRecordCuts(all);
    addHugeCounts(all);
    addRecordLengths(all);
    addMemoryHogs(all);
    addLyingLengthWords(all);
    addEmptyAndMissing(all);
    return all;
}

void PrintTo(const BadFolder& folder, std::ostream* out) {
    *out << folder.label;
}

void writeBadFolder(const BadFolder& folder, const std::filesystem::path& dir) {
    for (const auto& [name, bytes] : folder.files) {
        enc::writeFile(dir / name, bytes);
    }
    for (const auto& [name, size] : folder.sparseSizes) {
        std::filesystem::resize_file(dir / name, size);
    }
    for (const auto& name : folder.directories) {
        std::filesystem::create_directory(dir / name);
    }
}

FolderBytes folderContents(const std::filesystem::path& dir) {
    constexpr std::uintmax_t kWholeFileLimit = 64 << 20;
    constexpr std::size_t kHeadBytes = 64 << 10;
    FolderBytes files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        auto& bytes = files[entry.path().filename().string()];
        const std::uintmax_t size = entry.file_size();
        if (size <= kWholeFileLimit) {
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            continue;
        }
        bytes.resize(kHeadBytes);
        in.read(reinterpret_cast<char*>(bytes.data()), kHeadBytes);
        for (int i = 0; i < 8; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
        }
    }
    return files;
}

std::string lostData(const FolderBytes& before, const FolderBytes& after) {
    std::string problems;
    for (const auto& [name, bytes] : before) {
        if (!name.ends_with(".NVM")) {
            continue;
        }
        const std::string backup = name.substr(0, name.size() - 3) + "BAK";
        const auto own = after.find(name);
        const auto saved = after.find(backup);
        if ((own == after.end() || own->second != bytes) &&
            (saved == after.end() || saved->second != bytes)) {
            problems += name + " is neither under its name nor under " + backup + "; ";
        }
    }
    for (const auto& [name, bytes] : after) {
        if (name.ends_with(".NV_")) {
            problems += name + " was left behind; ";
        }
    }
    return problems;
}

bool isKnownMessage(const std::string& text) {
    static const std::vector<std::string> known = {
        "Unknown version of WPT file",
        "Unknown version of ATRK file",
        "Incorrect file format!\nProbably error in record's number or length",
        "Unable to open any NVM file. Terminated",
        "Are you shure?",
        "You can not delete the active track!",
        "Unable to create GPX File",
    };
    for (const auto& message : known) {
        if (text == message) {
            return true;
        }
    }
    return false;
}

void restrictAccess(const BadFolder& folder, const std::filesystem::path& dir, bool restrict) {
    using std::filesystem::perms;
    if (folder.access == Access::UnreadableFiles) {
        for (const auto& [name, bytes] : folder.files) {
            std::filesystem::permissions(dir / name, restrict ? perms::none : perms(0644));
        }
    } else if (folder.access == Access::ReadOnlyFolder) {
        std::filesystem::permissions(dir, restrict ? perms(0555) : perms(0755));
    }
}

}  // namespace quillet::testing
