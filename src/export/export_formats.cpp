// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/export_formats.h"

#include <algorithm>
#include <array>

namespace quillet {

namespace {

constexpr std::array<std::string_view, 1> kGpxExtensions = {"gpx"};
constexpr std::array<std::string_view, 2> kGeoJsonExtensions = {"geojson", "json"};
constexpr std::array<std::string_view, 1> kKmlExtensions = {"kml"};
constexpr std::array<std::string_view, 1> kCsvExtensions = {"csv"};

const std::array<ExportFormat, 4> kFormats = {{
    {"gpx", "GPX", kGpxExtensions, "GPS Exchange (*.gpx)", makeGpxWriter},
    {"geojson", "GeoJSON", kGeoJsonExtensions, "GeoJSON (*.geojson *.json)", makeGeoJsonWriter},
    {"kml", "KML", kKmlExtensions, "KML (*.kml)", makeKmlWriter},
    {"csv", "CSV", kCsvExtensions, "CSV (*.csv)", makeCsvWriter, true},
}};

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

}  // namespace

std::span<const ExportFormat> exportFormats() {
    return kFormats;
}

const ExportFormat& gpxFormat() {
    return kFormats[0];
}

const ExportFormat* formatNamed(std::string_view name) {
    for (const ExportFormat& format : kFormats) {
        if (format.name == name) {
            return &format;
        }
    }
    return nullptr;
}

const ExportFormat& formatOfPath(const std::filesystem::path& path) {
    const std::u8string wide = path.extension().u8string();
    std::string extension = lowerCase(std::string(wide.begin(), wide.end()));
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    for (const ExportFormat& format : kFormats) {
        if (std::find(format.extensions.begin(), format.extensions.end(), extension) !=
            format.extensions.end()) {
            return format;
        }
    }
    return gpxFormat();
}

std::string saveDialogFilters() {
    std::string filters;
    for (const ExportFormat& format : kFormats) {
        if (!filters.empty()) {
            filters += ";;";
        }
        filters += format.filter;
    }
    return filters;
}

}  // namespace quillet
