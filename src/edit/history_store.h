// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/file_snapshot.h"
#include "edit/file_operations.h"

namespace quillet {

// Every device file a deletion or a restore replaces is first kept in a history outside
// the device folder. The history's folder holds
//   files/<hash>                   the bytes of a file, once however many versions share them
//   versions/<file key>/<id>       one version: which file, when it was replaced, its hash
// where <hash> is the 32 hex digits of the XXH3-128 hash of the bytes and <file key> the
// first 16 hex digits of the hash of the device file's real path. Each file is written
// under a name of its own, flushed, and then renamed into place.

// One stored version of a device file.
struct HistoryVersion {
    std::string id;                    // 12 hex digits, what the person types
    std::filesystem::path deviceFile;  // the real path of the file it was
    std::int64_t replacedMicros = 0;   // when it was replaced, microseconds since 1970 (UTC)
    ContentHash hash;
    std::uint64_t size = 0;
    std::filesystem::path entryFile;   // the version's own file in the history
    std::filesystem::path storedFile;  // where its bytes are kept
};

// How much the history keeps: the newest versions of each device file up to the count,
// and at most the bytes overall, the oldest going first. The only copy of a version that
// is newer than what the device file now holds is never removed, even beyond the bound.
struct HistoryLimits {
    std::size_t versionsPerFile = 50;
    std::uint64_t totalBytes = std::uint64_t{1} << 30;
};

struct HistorySettings {
    std::filesystem::path folder;
    HistoryLimits limits;
};

// The hash as 32 lower-case hex digits, the high half first; and back.
std::string hashText(const ContentHash& hash);
std::optional<ContentHash> hashFromText(std::string_view text);

// The versions of one device file (its real path), newest first. Entries that cannot be
// read are left out.
std::vector<HistoryVersion> versionsOf(const std::filesystem::path& folder,
                                       const std::filesystem::path& deviceFile);
// Every version in the history, newest first.
std::vector<HistoryVersion> allVersions(const std::filesystem::path& folder);
// The version with this id, of whatever file.
std::optional<HistoryVersion> findVersion(const std::filesystem::path& folder, std::string_view id);

struct RecordResult {
    std::optional<HistoryVersion> version;  // none when it could not be kept
    std::string problem;                    // why not, for a message
};

// What the device file will hold once the version is kept and the file is replaced:
// the hash of the version put back by a restore, nothing for new bytes (a deletion).
struct AfterReplacement {
    std::optional<ContentHash> content;
};

// Keeps the bytes (given in pieces, in file order, hashing to `hash`) as the version of
// `deviceFile` replaced now, then removes what is beyond the limits. The new version is
// complete on the disk when this reports success; it is never removed by the trimming.
RecordResult recordVersion(const HistorySettings& settings, FileOperations& ops,
                           const std::filesystem::path& deviceFile, const ContentHash& hash,
                           std::span<const std::span<const std::uint8_t>> pieces,
                           AfterReplacement after);

// The bytes of a stored version, read whole; nothing when they cannot be read or no
// longer match the version's hash and size.
std::optional<std::vector<std::uint8_t>> readVersionBytes(FileOperations& ops,
                                                          const HistoryVersion& version);

// The record count in the header of a stored version; nothing when it cannot be read.
std::optional<std::uint32_t> recordCountOf(FileOperations& ops, const HistoryVersion& version);

// "2026-12-07 23:55:17" in UTC.
std::string replacedTimeText(std::int64_t micros);

}  // namespace quillet
