// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reads a GPX document back with libxml2: is it well-formed, what does it hold, and
// does it validate against the GPX 1.1 schema with the GPX Extensions v3 schema.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::fuzz {

struct GpxContents {
    bool wellFormed = false;
    std::string error;               // the parser's complaint when not well-formed
    std::size_t waypoints = 0;       // wpt children of the gpx element
    std::size_t tracks = 0;          // trk children of the gpx element
    bool coordinatesInRange = true;  // every lat in [-90, 90], every lon in [-180, 180)
};

GpxContents inspectGpx(std::string_view document);

// Loads gpx-gpxx.xsd (and the schemas it imports) from the folder once.
class GpxSchema {
public:
    explicit GpxSchema(const std::filesystem::path& schemaFile);
    ~GpxSchema();
    GpxSchema(const GpxSchema&) = delete;
    GpxSchema& operator=(const GpxSchema&) = delete;

    // Nothing when the document validates, otherwise the validator's messages.
    std::optional<std::string> validate(std::string_view document) const;

private:
    void* schema_ = nullptr;  // xmlSchemaPtr
};

}  // namespace quillet::fuzz
