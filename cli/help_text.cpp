// SPDX-License-Identifier: GPL-3.0-or-later
#include "help_text.h"

#include "text/translation.h"

namespace quillet::cli {
namespace {

// The synopsis and the examples are command lines: they stay as they are in every
// language, under their translated headings.
constexpr std::string_view kSynopsis =
    R"(  quillet-cli [-C DIR] info
  quillet-cli [-C DIR] list   {waypoints|tracks} [--sort HEADING] [--reverse]
                              [--name-contains TEXT] [--time-zone ZONE]
  quillet-cli [-C DIR] export {waypoints|tracks} (--all | --select LIST)
                              [--sort HEADING] [--reverse]
                              [--name-contains TEXT] [--format F] -o FILE
  quillet-cli [-C DIR] export all [--format F] -o FILE
  quillet-cli [-C DIR] delete {waypoints|tracks} --select LIST [--yes]
                              [--no-history]
  quillet-cli [-C DIR] history
  quillet-cli [-C DIR] restore ID [--yes] [--no-history]
  quillet-cli -C history:ID {info|list|export|preview} ...
  quillet-cli [-C DIR] preview {waypoints|tracks} (--all | --select LIST)
                               [--name-contains TEXT] [-o FILE.svg]
                               [--map SOURCE] [--time-zone ZONE]
  quillet-cli --help | --version)";

constexpr std::string_view kExamples =
    R"(  quillet-cli -C /media/gps/Garmin list waypoints --sort Name
  quillet-cli export waypoints --select 1,3,7-9 -o picked.gpx
  quillet-cli export tracks --all --sort "Start Time" -o - | xmllint --format -
  quillet-cli export all -o backup.gpx
  quillet-cli export waypoints --all --format geojson -o -
  quillet-cli delete tracks --select 2 --yes
  quillet-cli history
  quillet-cli -C history:3f2a9c01be77 export waypoints --all -o then.gpx
  quillet-cli preview tracks --select 1-3 -o walks.svg
)";

}  // namespace

std::string helpText() {
    std::string text;
    text += translate("Usage:");
    text += "\n";
    text += kSynopsis;
    for (const char* section : {
             QUILLET_TEXT(
                 R"(Reads the receiver's device files GARMIN_WPT.NVM (waypoints), GARMIN_ATRK.NVM
(the active track) and GARMIN_STRK.NVM (saved tracks) from one folder, lists
their records, exports chosen rows to GPX 1.1, draws them as an SVG picture
and deletes waypoints or saved tracks, keeping the old file as a backup. It does what the Quillet window does,
with the same texts and the same files written.)"),
             QUILLET_TEXT(R"(Commands:
  info      One line per device file found: its name, then its header values,
            separated by TABs: GARMIN_WPT.NVM  version, access count, records;
            GARMIN_ATRK.NVM  version, points; GARMIN_STRK.NVM  version, tracks.
  list      The record list as the window shows it: a line of column headings,
            then one line per row; cells separated by one TAB, UTF-8 text.
  export    Writes the chosen rows, in list order, as a GPX, GeoJSON, KML or
            CSV document to FILE. "export all" writes every waypoint and
            every track (the active one too) into one document, waypoints
            first, each in "#" order: a backup of the receiver in one file.
  delete    Removes the records of the chosen rows from their device file. The
            old file is kept as GARMIN_WPT.BAK or GARMIN_STRK.BAK, and first
            in the history (see below); when it cannot be kept there, nothing
            is deleted unless --no-history is given.
  history   One line per stored version of the folder's GARMIN_WPT.NVM and
            GARMIN_STRK.NVM, newest first, separated by TABs: its ID, when it
            was replaced (UTC), the file name, its records, its size in bytes.
  restore   Puts the stored version ID back under its device file's name,
            after the question "Are you shure?"; the current file is kept as
            the backup and in the history first, so a restore can be undone.
  preview   Draws the chosen rows as a standalone SVG picture: north up, Web
            Mercator, a metric scale bar; tracks as lines in their colours
            (the active track red) with length and duration, waypoints as
            labelled dots, an elevation profile for a single track. The
            tracks' points are those export writes.)"),
             QUILLET_TEXT(R"(Views:
  waypoints The "Way Points" view: one row per record of GARMIN_WPT.NVM.
  tracks    The "Tracks" view: the active track (number 0) and one row per
            saved track. The active track cannot be deleted.)"),
             QUILLET_TEXT(R"(Options:
  -C, --dir DIR       The folder holding the device files (default: the current
                      directory).
  --time-zone ZONE    Show the times of list and preview in ZONE: utc (the
                      default, the receiver's own times), local (this
                      computer's zone; TZ where it is set) or a zone name such
                      as Europe/Moscow. Under any zone but utc the waypoints'
                      time column is headed "Local time". GPX stays UTC.
  --sort HEADING      Sort by the column with this heading, ascending, exactly as
                      a click on it in the window: byte-wise over the first 99
                      bytes, stable. The heading is written as the view shows it:
                        waypoints: "Encoding" "#" "Name" "Symbol" "Latitude"
                          "Longitude" "Elevation" "Universal time" "1" ... "16"
                        tracks: " " "#" "Name" "Points" "Start Time" "Finish Time"
  --reverse           Sort descending (without --sort: by "#").
  --name-contains TEXT
                      Only the rows whose Name contains TEXT, whatever the case
                      (Latin and Cyrillic letters alike), as the window's filter
                      shows them: list prints them alone, export and preview
                      leave the other rows out of --all and --select.
  --all               Export or preview every row of the view.
  --select LIST       The rows with these item numbers (the "#" column): numbers
                      and ranges separated by commas, in any order, such as
                      1,3,7-9 (blanks around commas are allowed: "1, 3").
                      0 is the active track. A number no row carries is
                      an error and nothing is done.
  --format F          gpx, geojson, kml or csv. Without it the extension of
                      FILE decides (.gpx, .geojson or .json, .kml, .csv);
                      any other extension, and "-", mean GPX.
  -o, --output FILE   The document (export) or SVG (preview) file to write; an
                      existing file is overwritten. "-" writes the document to
                      standard output, as preview does without -o. A relative
                      FILE is taken from the current directory, not from DIR.
  --yes               Answer the question "Are you shure?" with yes. Without it,
                      delete asks on the terminal ("y" or "yes", in any letter
                      case, goes on) and refuses when there is no terminal to
                      ask on.
  --no-history        Delete or restore without keeping the current file in
                      the history.
  -C history:ID       Read the stored version ID as if it were its folder's
                      device file (a folder named so: -C ./history:ID).
  --map SOURCE        A map under the preview: "osm" (OpenStreetMap's tiles), a
                      URL template with {z}, {x} and {y}, or an MBTiles FILE.
                      Online tiles are asked of that server (the area drawn
                      only) and kept in the tile cache; they are embedded in
                      the SVG, which stands alone.
  -h, --help          Show this text.
  --version           Show the version.)"),
             QUILLET_TEXT(
                 R"(Messages go to standard error; standard output carries only the listing, the
document of "export -o -", the picture of preview without -o FILE, the info
lines and the one line that reports a deletion, so they can be piped.)"),
             QUILLET_TEXT(R"(History:
  Every file a deletion or a restore replaces is kept in
  $XDG_DATA_HOME/quillet/history (~/.local/share/quillet/history without it;
  %LOCALAPPDATA%\Quillet\history on Windows): the newest 50 versions of each
  device file and 1 GiB overall, the oldest removed first, but never the only
  copy of a version newer than what the device file holds.)"),
             QUILLET_TEXT(R"(Exit status:
  0  success (warnings alone do not change it)
  1  an operation failed or was refused; the message says why
  2  the command line is wrong)"),
         }) {
        text += "\n\n";
        text += translate(section);
    }
    text += "\n\n";
    text += translate("Examples:");
    text += "\n";
    text += kExamples;
    return text;
}

}  // namespace quillet::cli
