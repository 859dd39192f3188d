#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quillet {

// A device file as a fill saw it, so that a deletion can tell whether the records it
// is about to rewrite are still the ones the list was filled from.
struct FileSnapshot {
    std::uint64_t size = 0;
    std::filesystem::file_time_type modified;
    std::uint32_t recordCount = 0;
    friend bool operator==(const FileSnapshot&, const FileSnapshot&) = default;
};

std::optional<FileSnapshot> takeSnapshot(const std::filesystem::path& path,
                                         std::uint32_t recordCount);

}  // namespace quillet
