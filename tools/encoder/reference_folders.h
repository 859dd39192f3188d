// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The small device folders under tests/data/, described by their field values. The
// test-data tool writes them; the tests check that the committed files still equal them.

#include <filesystem>
#include <string>
#include <vector>

#include "encoder/device_encoder.h"

namespace quillet::encoder {

struct ReferenceFile {
    std::string name;  // "GARMIN_WPT.NVM", ...
    Bytes bytes;
};

struct ReferenceFolder {
    std::string name;  // the folder's name under tests/data/
    std::vector<ReferenceFile> files;
};

std::vector<ReferenceFolder> referenceFolders();

// Writes the folder's device files into directory/folder.name, creating it.
void writeReferenceFolder(const std::filesystem::path& directory, const ReferenceFolder& folder);

}  // namespace quillet::encoder
