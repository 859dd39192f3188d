// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/protected_files.h"

#include <system_error>
#include <vector>

namespace quillet {
namespace {

// A device file and its backup, by the name given and, behind a link, by the real one.
void addWithBackup(std::vector<std::filesystem::path>& into, const std::filesystem::path& file) {
    std::vector<std::filesystem::path> names{file};
    std::error_code error;
    if (std::filesystem::is_symlink(file, error)) {
        if (auto real = std::filesystem::canonical(file, error); !error) {
            names.push_back(std::move(real));
        }
    }
    for (auto& name : names) {
        into.push_back(name);
        into.push_back(std::move(name.replace_extension(".BAK")));
    }
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error) {
        return true;
    }
    // A name that does not exist yet is compared by its spelling, links resolved.
    const auto realA = std::filesystem::weakly_canonical(a, error);
    if (error) {
        return false;
    }
    const auto realB = std::filesystem::weakly_canonical(b, error);
    return !error && realA == realB;
}

}  // namespace

std::optional<std::filesystem::path> protectedFileAt(const FileSet& files,
                                                     const std::filesystem::path& output) {
    std::vector<std::filesystem::path> guarded;
    for (const auto* file : {&files.waypoints, &files.savedTracks, &files.activeTrack}) {
        addWithBackup(guarded, *file);
    }
    for (const auto& file : guarded) {
        if (sameFile(output, file)) {
            return file;
        }
    }
    return std::nullopt;
}

}  // namespace quillet
