// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/history_store.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <system_error>

#include "device/path_text.h"
#include "edit/framed_file.h"
#include "edit/platform_files.h"
#include "text/translation.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEntryFirstLine = "Quillet history version 1";
constexpr std::size_t kIdDigits = 12;
constexpr std::size_t kLargestEntry = 64 * 1024;
constexpr std::string_view kTemporaryEnding = ".tmp";

std::string hexDigits(std::uint64_t value, std::size_t digits) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(digits, '0');
    for (std::size_t i = digits; i-- > 0;) {
        text[i] = kHex[value & 0xF];
        value >>= 4;
    }
    return text;
}

ContentHash hashOfText(std::string_view text) {
    ContentHasher hasher;
    hasher.add(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    return hasher.result();
}

fs::path versionsFolderOf(const fs::path& folder, const fs::path& deviceFile) {
    return folder / "versions" / hexDigits(hashOfText(pathText(deviceFile)).low, 16);
}

fs::path storedFileOf(const fs::path& folder, const ContentHash& hash) {
    return folder / "files" / hashText(hash);
}

std::int64_t microsNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    if (text.empty() || text.size() > 19) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

// One entry file, read and checked field by field; nothing when it is not one.
std::optional<HistoryVersion> readEntry(const fs::path& folder, const fs::path& entryFile) {
    std::ifstream in(entryFile, std::ios::binary);
    std::string text(kLargestEntry, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    std::map<std::string, std::string, std::less<>> fields;
    std::size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            return std::nullopt;  // cut short
        }
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (first) {
            if (line != kEntryFirstLine) {
                return std::nullopt;
            }
            first = false;
            continue;
        }
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) {
            return std::nullopt;
        }
        fields.emplace(std::string(line.substr(0, space)), std::string(line.substr(space + 1)));
    }
    for (const char* name : {"file", "replaced", "hash", "size"}) {
        if (!fields.contains(name)) {
            return std::nullopt;
        }
    }
    const auto replaced = parseNumber(fields.at("replaced"));
    const auto hash = hashFromText(fields.at("hash"));
    const auto size = parseNumber(fields.at("size"));
    const std::string id = entryFile.filename().string();
    if (!replaced || !hash || !size || id.size() != kIdDigits) {
        return std::nullopt;
    }
    HistoryVersion version;
    version.id = id;
    version.deviceFile = pathFromUtf8(fields.at("file"));
    version.replacedMicros = static_cast<std::int64_t>(*replaced);
    version.hash = *hash;
    version.size = *size;
    version.entryFile = entryFile;
    version.storedFile = storedFileOf(folder, *hash);
    return version;
}

void sortNewestFirst(std::vector<HistoryVersion>& versions) {
    std::sort(versions.begin(), versions.end(), [](const auto& a, const auto& b) {
        return a.replacedMicros != b.replacedMicros ? a.replacedMicros > b.replacedMicros
                                                    : a.id > b.id;
    });
}

void readEntriesIn(const fs::path& folder, const fs::path& entries,
                   std::vector<HistoryVersion>& into) {
    std::error_code error;
    for (fs::directory_iterator it(entries, error), end; !error && it != end; it.increment(error)) {
        const fs::path& name = it->path();
        if (name.filename().string().size() != kIdDigits || !it->is_regular_file(error)) {
            continue;
        }
        if (auto version = readEntry(folder, name)) {
            into.push_back(std::move(*version));
        }
    }
}

// A name beside `final` that no other run uses.
fs::path temporaryNameFor(const fs::path& final) {
    static std::mt19937_64 generator{std::random_device{}() ^
                                     static_cast<std::uint64_t>(microsNow())};
    return fs::path(final).concat("." + hexDigits(generator(), 16) + std::string(kTemporaryEnding));
}

// Writes the pieces as a new file under a name of its own, flushes it to the disk and
// renames it to `final`; no file is left behind when it fails.
bool writeInPlace(FileOperations& ops, const fs::path& final,
                  std::span<const std::span<const std::uint8_t>> pieces) {
    const fs::path temporary = temporaryNameFor(final);
    std::FILE* file = ops.createForWriting(temporary);
    if (file == nullptr) {
        return false;
    }
    bool written = true;
    for (std::size_t i = 0; written && i < pieces.size(); ++i) {
        written = ops.write(file, pieces[i]);
    }
    written = written && ops.flushToDisk(file);
    written = ops.close(file) && written;
    if (!written || !ops.renameFile(temporary, final)) {
        ops.removeFile(temporary);
        return false;
    }
    ops.syncDirectory(final.parent_path());
    return true;
}

// The hash of a whole file read through `ops`; nothing when it cannot be read.
std::optional<ContentHash> hashOfFile(FileOperations& ops, const fs::path& path,
                                      std::uint64_t& size) {
    std::FILE* file = ops.openForReading(path);
    if (file == nullptr) {
        return std::nullopt;
    }
    ContentHasher hasher;
    std::vector<std::uint8_t> buffer(64 * 1024);
    size = 0;
    for (;;) {
        const auto got = ops.read(file, buffer);
        if (!got) {
            ops.close(file);
            return std::nullopt;
        }
        hasher.add(std::span(buffer).first(*got));
        size += *got;
        if (*got < buffer.size()) {
            break;
        }
    }
    ops.close(file);
    return hasher.result();
}

// A file another run may still be writing is left alone for this long.
constexpr auto kAbandonedAfter = std::chrono::hours(1);

bool abandoned(const fs::directory_entry& entry) {
    std::error_code error;
    const auto written = entry.last_write_time(error);
    return !error && fs::file_time_type::clock::now() - written > kAbandonedAfter;
}

// The bytes of the stored copies. Temporary files a run left when it was stopped are
// removed once they are old.
std::uint64_t storedBytes(FileOperations& ops, const fs::path& folder) {
    std::uint64_t total = 0;
    std::error_code error;
    for (fs::directory_iterator it(folder / "files", error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().filename().string().ends_with(kTemporaryEnding)) {
            if (abandoned(*it)) {
                ops.removeFile(it->path());
            }
            continue;
        }
        std::error_code sizeError;
        const auto size = it->file_size(sizeError);
        total += sizeError ? 0 : size;
    }
    return total;
}

// Removes versions beyond the limits, oldest first. Nothing of this is needed for the
// new version to be kept, so a failure here is let be.
class Trimming {
public:
    Trimming(const HistorySettings& settings, FileOperations& ops, const HistoryVersion& added,
             AfterReplacement after)
        : settings_(settings), ops_(ops), added_(added), after_(after) {}

    void run() {
        const auto own = versionsOf(settings_.folder, added_.deviceFile);
        std::uint64_t total = storedBytes(ops_, settings_.folder);
        if (own.size() <= settings_.limits.versionsPerFile &&
            total <= settings_.limits.totalBytes) {
            return;
        }
        const auto all = allVersions(settings_.folder);
        for (const auto& version : all) {
            ++uses_[hashText(version.hash)];
        }
        removeOrphans(total);
        // The count of the file just kept, newest first (the others were trimmed when
        // they were kept).
        std::size_t seen = 0;
        for (const auto& version : all) {
            if (version.deviceFile == added_.deviceFile &&
                ++seen > settings_.limits.versionsPerFile) {
                remove(version, total);
            }
        }
        // Then the oldest of all, until the bytes fit; never the last of a file.
        for (auto it = all.rbegin(); it != all.rend() && total > settings_.limits.totalBytes;
             ++it) {
            if (newestOf(all, *it)) {
                continue;
            }
            remove(*it, total);
        }
    }

private:
    // Stored copies no version names, left by a run that was stopped between the two.
    void removeOrphans(std::uint64_t& total) {
        std::error_code error;
        for (fs::directory_iterator it(settings_.folder / "files", error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            std::error_code sizeError;
            const auto size = it->file_size(sizeError);
            if (hashFromText(name) && !uses_.contains(name) && abandoned(*it) && !sizeError &&
                ops_.removeFile(it->path())) {
                total -= std::min(total, static_cast<std::uint64_t>(size));
            }
        }
    }

    bool newestOf(const std::vector<HistoryVersion>& all, const HistoryVersion& version) {
        for (const auto& other : all) {
            if (other.deviceFile == version.deviceFile && !removed_.contains(other.id)) {
                return other.id == version.id;
            }
        }
        return false;
    }

    void remove(const HistoryVersion& version, std::uint64_t& total) {
        // Nor what a restore is putting back: its only copy until the file is replaced.
        const bool restoring = after_.content && version.hash == *after_.content;
        if (version.id == added_.id || restoring || removed_.contains(version.id) ||
            kept(version)) {
            return;
        }
        if (!ops_.removeFile(version.entryFile)) {
            return;
        }
        removed_.insert(version.id);
        if (--uses_[hashText(version.hash)] == 0 && ops_.removeFile(version.storedFile)) {
            total -= std::min(total, version.size);
        }
    }

    // The only copy of a version newer than what its device file holds is kept.
    bool kept(const HistoryVersion& version) {
        if (uses_[hashText(version.hash)] > 1) {
            return false;
        }
        const auto current = currentContentOf(version.deviceFile);
        if (!current) {
            return false;
        }
        // When the file held what it holds now for the last time before being replaced.
        for (const auto& other : versionsOf(settings_.folder, version.deviceFile)) {
            if (other.hash == *current) {
                return version.replacedMicros > other.replacedMicros;
            }
        }
        return false;
    }

    std::optional<ContentHash> currentContentOf(const fs::path& deviceFile) {
        if (deviceFile == added_.deviceFile) {
            return after_.content;
        }
        const auto found = current_.find(deviceFile);
        if (found != current_.end()) {
            return found->second;
        }
        const auto snapshot = takeSnapshot(deviceFile, 0);
        const auto content = snapshot ? snapshot->content : std::nullopt;
        current_.emplace(deviceFile, content);
        return content;
    }

    const HistorySettings& settings_;
    FileOperations& ops_;
    const HistoryVersion& added_;
    const AfterReplacement after_;
    std::map<std::string, std::size_t> uses_;
    std::set<std::string> removed_;
    std::map<fs::path, std::optional<ContentHash>> current_;
};

}  // namespace

std::string hashText(const ContentHash& hash) {
    return hexDigits(hash.high, 16) + hexDigits(hash.low, 16);
}

std::optional<ContentHash> hashFromText(std::string_view text) {
    if (text.size() != 32) {
        return std::nullopt;
    }
    ContentHash hash;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::uint64_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint64_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint64_t>(c - 'a' + 10);
        } else {
            return std::nullopt;
        }
        std::uint64_t& half = i < 16 ? hash.high : hash.low;
        half = (half << 4) | digit;
    }
    return hash;
}

std::vector<HistoryVersion> versionsOf(const fs::path& folder, const fs::path& deviceFile) {
    std::vector<HistoryVersion> versions;
    readEntriesIn(folder, versionsFolderOf(folder, deviceFile), versions);
    // Two paths could share a key: only this file's versions count.
    std::erase_if(versions, [&](const auto& v) { return v.deviceFile != deviceFile; });
    sortNewestFirst(versions);
    return versions;
}

std::vector<HistoryVersion> allVersions(const fs::path& folder) {
    std::vector<HistoryVersion> versions;
    std::error_code error;
    for (fs::directory_iterator it(folder / "versions", error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_directory(error)) {
            readEntriesIn(folder, it->path(), versions);
        }
    }
    sortNewestFirst(versions);
    return versions;
}

std::optional<HistoryVersion> findVersion(const fs::path& folder, std::string_view id) {
    for (auto& version : allVersions(folder)) {
        if (version.id == id) {
            return std::move(version);
        }
    }
    return std::nullopt;
}

RecordResult recordVersion(const HistorySettings& settings, FileOperations& ops,
                           const fs::path& deviceFile, const ContentHash& hash,
                           std::span<const std::span<const std::uint8_t>> pieces,
                           AfterReplacement after) {
    RecordResult result;
    const fs::path entries = versionsFolderOf(settings.folder, deviceFile);
    if (!platform::createPrivateFolders(settings.folder / "files") ||
        !platform::createPrivateFolders(entries)) {
        result.problem = translate("its folders cannot be created");
        return result;
    }
    std::uint64_t size = 0;
    for (const auto piece : pieces) {
        size += piece.size();
    }

    // The same bytes are kept once; a stored copy that no longer matches is replaced.
    const fs::path stored = storedFileOf(settings.folder, hash);
    std::uint64_t storedSize = 0;
    const auto storedHash = hashOfFile(ops, stored, storedSize);
    if ((!storedHash || *storedHash != hash || storedSize != size) &&
        !writeInPlace(ops, stored, pieces)) {
        result.problem = translate("the copy of the file cannot be written (is the disk full?)");
        return result;
    }

    // Versions of one file never share a time, so that their order is certain.
    const auto earlier = versionsOf(settings.folder, deviceFile);
    std::int64_t replaced = microsNow();
    if (!earlier.empty() && replaced <= earlier.front().replacedMicros) {
        replaced = earlier.front().replacedMicros + 1;
    }
    const std::string device = pathText(deviceFile);
    const std::string text = std::string(kEntryFirstLine) + "\nfile " + device + "\nreplaced " +
                             std::to_string(replaced) + "\nhash " + hashText(hash) + "\nsize " +
                             std::to_string(size) + "\n";
    const ContentHash idHash = hashOfText(text);
    const std::string id = hexDigits(idHash.low, kIdDigits);
    const fs::path entry = entries / id;
    const std::array<std::span<const std::uint8_t>, 1> entryBytes{
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())};
    if (!writeInPlace(ops, entry, entryBytes)) {
        // The copy alone is no version; it stays only when another version uses it.
        if (!storedHash || *storedHash != hash) {
            bool used = false;
            for (const auto& version : allVersions(settings.folder)) {
                used = used || version.hash == hash;
            }
            if (!used) {
                ops.removeFile(stored);
            }
        }
        result.problem =
            translate("the record of the version cannot be written (is the disk full?)");
        return result;
    }
    HistoryVersion version{.id = id,
                           .deviceFile = deviceFile,
                           .replacedMicros = replaced,
                           .hash = hash,
                           .size = size,
                           .entryFile = entry,
                           .storedFile = stored};
    Trimming(settings, ops, version, after).run();
    result.version = std::move(version);
    return result;
}

std::optional<std::vector<std::uint8_t>> readVersionBytes(FileOperations& ops,
                                                          const HistoryVersion& version) {
    if (version.size > kLargestHashedFile) {
        return std::nullopt;
    }
    std::FILE* file = ops.openForReading(version.storedFile);
    if (file == nullptr) {
        return std::nullopt;
    }
    // One byte more than the version holds tells a longer file.
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(version.size) + 1);
    const auto got = ops.read(file, bytes);
    ops.close(file);
    if (!got || *got != version.size) {
        return std::nullopt;
    }
    bytes.resize(*got);
    ContentHasher hasher;
    hasher.add(bytes);
    if (hasher.result() != version.hash) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::uint32_t> recordCountOf(FileOperations& ops, const HistoryVersion& version) {
    std::FILE* file = ops.openForReading(version.storedFile);
    if (file == nullptr) {
        return std::nullopt;
    }
    FramedFile framed;
    const ReadStatus status = readFramedHeader(ops, file, framed);
    ops.close(file);
    if (status != ReadStatus::Complete) {
        return std::nullopt;
    }
    return framed.recordCount;
}

std::string replacedTimeText(std::int64_t micros) {
    using namespace std::chrono;
    const sys_seconds seconds =
        floor<std::chrono::seconds>(sys_time<microseconds>(microseconds(micros)));
    const sys_days day = floor<days>(seconds);
    const year_month_day date(day);
    const hh_mm_ss time(seconds - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

}  // namespace quillet
