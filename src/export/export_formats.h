// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "export/document_writer.h"

namespace quillet {

// One format the export writes.
struct ExportFormat {
    std::string_view name;                         // as the command line takes it
    std::string_view label;                        // as messages name it: "GPX"
    std::span<const std::string_view> extensions;  // the first is the one proposed
    std::string_view filter;                       // the save dialog's file type
    std::unique_ptr<DocumentWriter> (*makeWriter)(GpxWriter& out);
    // True when the format sets its own line ends (CR LF), so that the file is written
    // as binary; the others take the platform's line ends of text files.
    bool ownLineEnds = false;
};

// Every format, GPX first.
std::span<const ExportFormat> exportFormats();
const ExportFormat& gpxFormat();
// The format of that name; nothing for another name.
const ExportFormat* formatNamed(std::string_view name);
// The format a file name's extension names (in any letter case); GPX for another one.
const ExportFormat& formatOfPath(const std::filesystem::path& path);
// The save dialog's file types, GPX first, separated by ";;".
std::string saveDialogFilters();

}  // namespace quillet
