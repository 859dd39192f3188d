// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>

#include "device/device_files.h"

namespace quillet {

// The device file, or a device file's backup, that writing to `output` would overwrite,
// however the path is spelled (a link, "..", another name of the same file); nothing when
// `output` is none of them.
std::optional<std::filesystem::path> protectedFileAt(const FileSet& files,
                                                     const std::filesystem::path& output);

}  // namespace quillet
