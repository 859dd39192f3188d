// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/waypoint_view.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <span>
#include <string>

#include "device/code_page.h"
#include "device/device_files.h"
#include "device/device_time.h"
#include "device/input_stream.h"
#include "device/number_text.h"
#include "device/time_zone.h"
#include "device/waypoint_file.h"
#include "text/translation.h"
#include "ui/waypoint_columns.h"
#include "views/view_text.h"

namespace quillet {

namespace {

struct SymbolName {
    std::uint8_t code;
    std::string_view name;
};

// The names column 3 shows, by symbol code. Codes 93 and 102 have none; 84 and 85 are
// overruled by symbolText.
constexpr SymbolName SymbolNames[] = {
    {0, "Medical Facility"},
    {1, "Airport"},
    {2, "Amusement Park"},
    {3, "Anchor"},
    {4, "Seaplane Base"},
    {5, "Ball Park"},
    {6, "Beach"},
    {7, "Building"},
    {8, "Boat Ramp"},
    {9, "Bowling"},
    {10, "Bridge"},
    {11, "Campground"},
    {12, "Car"},
    {13, "Car Repair"},
    {14, "Car Rental"},
    {15, "Church"},
    {16, "Controlled Area"},
    {17, "Crossing"},
    {18, "Dam"},
    {19, "Danger Area"},
    {20, "Hunting Area"},
    {21, "Oil Field"},
    {22, "Diver Down Flag 2"},
    {23, "Diver Down Flag 1"},
    {24, "Bank"},
    {25, "Drinking Water"},
    {26, "Live Theater"},
    {27, "Fast Food"},
    {28, "Fishing Area"},
    {29, "Fitness Center"},
    {30, "Gas Station"},
    {31, "Convenience Store"},
    {32, "Geocache"},
    {33, "Geocache Found"},
    {34, "Glider Area"},
    {35, "Golf Course"},
    {36, "Cemetery"},
    {37, "Horn"},
    {38, "Residence"},
    {39, "Information"},
    {40, "Restaurant"},
    {41, "Levee"},
    {42, "Light"},
    {43, "Lodging"},
    {44, "City (Large)"},
    {45, "Post Office"},
    {46, "City (Medium)"},
    {47, "Mine"},
    {48, "Man Overboard"},
    {49, "Movie Theater"},
    {50, "Bar"},
    {51, "Museum"},
    {52, "Parachute Area"},
    {53, "Park"},
    {54, "Parking Area"},
    {55, "Summit"},
    {56, "Pharmacy"},
    {57, "Telephone"},
    {58, "Picnic Area"},
    {59, "Pizza"},
    {60, "Radio Beacon"},
    {61, "Restricted Area"},
    {62, "Restroom"},
    {63, "RV Park"},
    {64, "Scales"},
    {65, "Scenic Area"},
    {66, "School"},
    {67, "Shower"},
    {68, "Shopping Center"},
    {69, "Skiing Area"},
    {70, "Skull and Crossbones"},
    {71, "City (Small)"},
    {72, "Stadium"},
    {73, "Department Store"},
    {74, "Swimming Area"},
    {75, "Toll Booth"},
    {76, "Trail Head"},
    {77, "Forest"},
    {78, "Truck Stop"},
    {79, "Tunnel"},
    {80, "Short Tower"},
    {81, "Tall Tower"},
    {82, "Ultralight Area"},
    {83, "Buoy, White"},
    {84, "Waypoint"},
    {85, "Waypoint"},
    {86, "Shipwreck"},
    {87, "Zoo"},
    {88, "Contact, Afro"},
    {89, "Contact, Alien"},
    {90, "Contact, Ball Cap"},
    {91, "Contact, Big Ears"},
    {92, "Contact, Biker"},
    {94, "Contact, Bug"},
    {95, "Contact, Cat"},
    {96, "Contact, Clown"},
    {97, "Contact, Dog"},
    {98, "Contact, Dreadlocks"},
    {99, "Contact, Female1"},
    {100, "Contact, Female2"},
    {101, "Contact, Female3"},
    {103, "Contact, Goatee"},
    {104, "Contact, Kung-Fu"},
    {105, "Contact, Panda"},
    {106, "Contact, Pig"},
    {107, "Contact, Pirate"},
    {108, "Contact, Ranger"},
    {109, "Contact, Smiley"},
    {110, "Contact, Spike"},
    {111, "Contact, Sumo"},
    {112, "Block, Blue"},
    {113, "Block, Green"},
    {114, "Block, Red"},
    {115, "Circle, Blue"},
    {116, "Circle, Green"},
    {117, "Circle, Red"},
    {118, "Flag, Green"},
    {119, "Flag, Red"},
    {120, "Flag, Blue"},
    {121, "Pin, Blue"},
    {122, "Pin, Green"},
    {123, "Pin, Red"},
    {124, "Triangle, Blue"},
    {125, "Triangle, Green"},
    {126, "Triangle, Red"},
};
static_assert(std::size(SymbolNames) == 125);

constexpr std::uint8_t kHiddenSymbol = 85;    // shows nothing
constexpr std::uint8_t kNumberedSymbol = 84;  // shows its code
constexpr std::string_view kNumberedSymbolText = "84";

using namespace waypoint_columns;

// The headings are the English keys of sorting and of the command line; a window shows
// them translated.
const Column kColumns[] = {
    {QUILLET_TEXT("Encoding"), Alignment::Center, 0},
    {"#", Alignment::Center, 30, SortKind::Number},
    {QUILLET_TEXT("Name"), Alignment::Left, 200},
    {QUILLET_TEXT("Symbol"), Alignment::Left, 120},
    {QUILLET_TEXT("Latitude"), Alignment::Left, 90, SortKind::Number},
    {QUILLET_TEXT("Longitude"), Alignment::Left, 90, SortKind::Number},
    {QUILLET_TEXT("Elevation"), Alignment::Left, 60, SortKind::Number},
    {QUILLET_TEXT("Universal time"), Alignment::Left, 140},
    {"1", Alignment::Left, 20},
    {"2", Alignment::Left, 20},
    {"3", Alignment::Left, 20},
    {"4", Alignment::Left, 20},
    {"5", Alignment::Left, 20},
    {"6", Alignment::Left, 20},
    {"7", Alignment::Left, 20},
    {"8", Alignment::Left, 20},
    {"9", Alignment::Left, 20},
    {"10", Alignment::Left, 30},
    {"11", Alignment::Left, 30},
    {"12", Alignment::Left, 30},
    {"13", Alignment::Left, 30},
    {"14", Alignment::Left, 30},
    {"15", Alignment::Left, 30},
    {"16", Alignment::Left, 30},
};
static_assert(std::size(kColumns) == kFirstCategory + kCategories);

constexpr std::string_view kUtf8NameText = "UTF";
constexpr std::string_view kCategorySetText = "+";

constexpr std::string_view kLocalTimeHeading = QUILLET_TEXT("Local time");

// The time column is headed "Local time" under any zone but UTC.
void addColumns(RecordList& list, const TimeZone& zone) {
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        Column column = kColumns[i];
        if (i == kTime && !zone.isUtc()) {
            column.heading = kLocalTimeHeading;
        }
        list.addColumn(std::move(column));
    }
}

void storeHeader(ListState& state, const WaypointFileHeader& header) {
    state.fileVersion = header.version;
    state.accessCount = header.accessCount;
    state.recordCount = header.recordCount;
    state.headerFields.fileVersion = std::to_string(header.version);
    state.headerFields.accessCount = signedDecimal(header.accessCount);
    state.headerFields.records = signedDecimal(header.recordCount);
}

// The texts of one row, written one after the other into one buffer with the end of
// each, column by column, so that the row gets them in one allocation and one copy and
// a fill allocates nothing else per row.
class RowTextWriter {
public:
    std::span<const std::uint32_t> ends() const { return ends_; }
    std::string_view texts() const { return {chars_.data(), used_}; }

    // Row texts of the record decoded from the buffer, for record number n.
    void write(std::uint64_t n, const WaypointRecord& record, const TimeZone& zone) {
        static_assert(kEncoding == 0 && kNumber == 1 && kName == 2 && kSymbol == 3 &&
                      kLatitude == 4 && kLongitude == 5 && kElevation == 6 && kTime == 7 &&
                      kFirstCategory == 8);
        used_ = 0;
        column_ = 0;
        append(record.nameIsUtf8 ? kUtf8NameText : std::string_view());
        endAt(writeNumber(next(), n));
        if (record.nameIsUtf8) {
            utf8ToDeviceText(record.name, deviceName_);
            append(deviceName_);
        } else {
            append(record.name);
        }
        append(symbolText(record.symbol));
        endAt(writeFixed7(next(), record.latitude));
        endAt(writeFixed7(next(), record.longitude));
        endAt(record.elevation ? writeDecimal(next(), *record.elevation) : next());
        endAt(writeZonedTime(next(), record.time, zone));
        for (int k = 1; k <= kCategories; ++k) {
            append(record.categories[k] ? kCategorySetText : std::string_view());
        }
    }

    // The "#" text of record n alone, for a row that shares the other texts.
    std::string_view numberOnly(std::uint64_t n) {
        char* end = writeNumber(number_.data(), n);
        return {number_.data(), static_cast<std::size_t>(end - number_.data())};
    }

private:
    // "%2llu" of n.
    static char* writeNumber(char* out, std::uint64_t n) {
        char* end = std::to_chars(out, out + kNumberBytes, n).ptr;
        if (end - out == 1) {
            out[1] = out[0];
            out[0] = ' ';
            ++end;
        }
        return end;
    }

    char* next() { return chars_.data() + used_; }
    void endAt(char* end) {
        used_ = static_cast<std::size_t>(end - chars_.data());
        ends_[column_++] = static_cast<std::uint32_t>(used_);
    }
    void append(std::string_view text) { endAt(std::copy(text.begin(), text.end(), next())); }

    static constexpr std::size_t kNumberBytes = 20;
    // Two coordinates, the number, elevation and time, the name, the longest symbol name,
    // "UTF" and the categories' marks, with room to spare.
    static constexpr std::size_t kBytes = 2 * kNumberTextMax + 1024;

    std::array<char, kBytes> chars_{};
    std::size_t used_ = 0;
    std::array<std::uint32_t, kFirstCategory + kCategories> ends_{};
    std::size_t column_ = 0;
    std::array<char, kNumberBytes> number_{};
    std::string deviceName_;
};

}  // namespace

std::string_view symbolText(std::uint8_t code) {
    std::string_view text;
    for (const SymbolName& entry : SymbolNames) {
        if (entry.code == code) {
            text = entry.name;
        }
    }
    if (code == kHiddenSymbol) {
        text = {};
    } else if (code == kNumberedSymbol) {
        text = kNumberedSymbolText;
    }
    return text;
}

void fillWaypointView(ListState& state, UserInterface& ui) {
    std::optional<InputStream> stream = InputStream::open(state.files.waypoints);
    if (!stream) {
        state.waypointSnapshot.reset();
        addColumns(state.list, state.timeZone);
        ui.showMessage(fillIn(translate("Unable to open file {1}"), {kWaypointFileName}),
                       kTitleText, Buttons::Ok, Icon::Error);
        return;
    }

    const WaypointFileHeader header = readWaypointHeader(*stream, state.recordBuffer);
    storeHeader(state, header);
    state.waypointSnapshot = takeSnapshot(state.files.waypoints, header.recordCount);
    addColumns(state.list, state.timeZone);

    if (atEndOfFile(*stream)) {
        ui.showMessage(shortHeaderMessage(kWaypointFileName, QUILLET_TEXT("waypoints")), kTitleText,
                       Buttons::Ok, Icon::None);
        return;
    }

    // Records are read while the file holds bytes of them, so the work is bounded by the
    // file's size whatever its header counts. A file that ends before its counted records
    // is reported once, after the last row.
    // A record that delivers no bytes leaves the buffer as the one before left it: its
    // row shares that row's texts, apart from its number.
    bool tooManyRows = false;
    WaypointRecord record;
    RowTextWriter writer;
    const std::uint32_t read =
        forEachHeldRecord(*stream, state.recordBuffer, header.recordCount,
                          [&](std::uint32_t n, const RecordRead& delivered) {
                              if (n > RecordList::kMaxRows) {
                                  tooManyRows = true;
                                  return false;
                              }
                              state.list.insertRow();
                              state.list.setItemNumber(0, static_cast<std::int32_t>(n));
                              if (delivered.delivered == 0 && n > 1) {
                                  state.list.setTextsLike(0, 1, kNumber, writer.numberOnly(n));
                              } else {
                                  decodeWaypoint(state.recordBuffer, record);
                                  writer.write(n, record, state.timeZone);
                                  state.list.setTexts(0, writer.ends(), writer.texts());
                              }
                              state.list.setTime(0, record.time);
                              return true;
                          });
    if (tooManyRows) {
        state.list.removeAllRows();
        ui.showMessage(
            tooManyRowsMessage(kWaypointFileName, header.recordCount, QUILLET_TEXT("waypoints")),
            kTitleText, Buttons::Ok, Icon::None);
        return;
    }
    if (read < header.recordCount || atEndOfFile(*stream)) {
        ui.showMessage(translate(kFormatMessage), kTitleText, Buttons::Ok, Icon::None);
    }
}

}  // namespace quillet
