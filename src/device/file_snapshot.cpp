#include "device/file_snapshot.h"

#include <system_error>

namespace quillet {

std::optional<FileSnapshot> takeSnapshot(const std::filesystem::path& path,
                                         std::uint32_t recordCount) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return FileSnapshot{.size = size, .modified = modified, .recordCount = recordCount};
}

}  // namespace quillet
