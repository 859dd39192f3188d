// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string_view>

#include "export/export_records.h"
#include "export/gpx_numbers.h"
#include "export/gpx_writer.h"

namespace quillet {

// One export format's writer: it takes the records in the sink's order and puts the
// document into the buffer, the document's start when it is made.
class DocumentWriter : public RecordSink {
public:
    // The end of the document.
    virtual void finish() = 0;
};

// Escapes a UTF-8 text for XML as the GPX names are: "&", "<" and ">" as entities, the
// control characters as "?".
void putXmlText(GpxWriter& out, std::string_view utf8);

// Writes one value as "%9.7f" does.
void putFixed7(GpxWriter& out, double value);
void putInt(GpxWriter& out, int value);
// Writes the time as "YYYY-MM-DDThh:mm:ssZ" and returns true, or nothing and false for a
// time without calendar text.
bool putIsoTime(GpxWriter& out, GpxTimeFormatter& times, DeviceTime time);

std::unique_ptr<DocumentWriter> makeGpxWriter(GpxWriter& out);
std::unique_ptr<DocumentWriter> makeGeoJsonWriter(GpxWriter& out);
std::unique_ptr<DocumentWriter> makeKmlWriter(GpxWriter& out);
std::unique_ptr<DocumentWriter> makeCsvWriter(GpxWriter& out);

}  // namespace quillet
