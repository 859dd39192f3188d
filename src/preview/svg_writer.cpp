// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/svg_writer.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace quillet::preview {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string colourText(Colour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

// Names come from the device: the XML specials are escaped and control bytes, which
// XML 1.0 does not allow, are written as '?'.
std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        }
    }
    return out;
}

std::string pathData(const std::vector<ScenePoint>& line) {
    std::string data;
    data.reserve(line.size() * 14);
    for (std::size_t i = 0; i < line.size(); ++i) {
        data += i == 0 ? "M" : " L";
        data += number(line[i].x);
        data += ' ';
        data += number(line[i].y);
    }
    return data;
}

void text(std::string& out, const SceneText& t, std::string_view attributes = {}) {
    out += "<text x=\"" + number(t.at.x) + "\" y=\"" + number(t.at.y) + "\"";
    if (!attributes.empty()) {
        out += ' ';
        out += attributes;
    }
    out += '>' + escaped(t.text) + "</text>\n";
}

// The active track's dashes.
std::string dashAttributes() {
    return " stroke-dasharray=\"" + number(kDashOn) + ' ' + number(kDashOff) +
           "\" stroke-linecap=\"butt\"";
}

void line(std::string& out, ScenePoint a, ScenePoint b) {
    out += "<line x1=\"" + number(a.x) + "\" y1=\"" + number(a.y) + "\" x2=\"" + number(b.x) +
           "\" y2=\"" + number(b.y) + "\"/>\n";
}

}  // namespace

std::string svgDocument(const PreviewScene& scene) {
    return svgDocument(scene, {}, {});
}

std::string imageDataUri(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const bool jpeg = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
                      static_cast<unsigned char>(bytes[1]) == 0xD8;
    std::string uri = jpeg ? "data:image/jpeg;base64," : "data:image/png;base64,";
    uri.reserve(uri.size() + (bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (left > 2) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        uri += kDigits[(group >> 18) & 63];
        uri += kDigits[(group >> 12) & 63];
        uri += left > 1 ? kDigits[(group >> 6) & 63] : '=';
        uri += left > 2 ? kDigits[group & 63] : '=';
    }
    return uri;
}

std::string svgDocument(const PreviewScene& scene, const std::vector<SvgTile>& tiles,
                        const std::string& credit) {
    const std::string width = number(scene.width);
    const std::string height = number(scene.height);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out +=
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" width=\"" +
        width + "\" height=\"" + height + "\" viewBox=\"0 0 " + width + ' ' + height +
        "\" font-family=\"sans-serif\" font-size=\"" + number(kTextSize) + "\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"" + colourText(kBackground) + "\"/>\n";
    if (!tiles.empty() && scene.mapFrame) {
        const SceneRect& area = scene.mapFrame->area;
        out += "<clipPath id=\"map-area\"><rect x=\"" + number(area.x) + "\" y=\"" +
               number(area.y) + "\" width=\"" + number(area.width) + "\" height=\"" +
               number(area.height) + "\"/></clipPath>\n";
        out += "<g class=\"map\" clip-path=\"url(#map-area)\">\n";
        for (const SvgTile& tile : tiles) {
            const std::string uri = imageDataUri(tile.bytes);
            out += "<image x=\"" + number(tile.at.x) + "\" y=\"" + number(tile.at.y) +
                   "\" width=\"" + number(tile.at.width) + "\" height=\"" + number(tile.at.height) +
                   "\" preserveAspectRatio=\"none\" href=\"" + uri + "\" xlink:href=\"" + uri +
                   "\"/>\n";
        }
        out += "</g>\n";
    }

    out +=
        "<g class=\"tracks\" fill=\"none\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
    // Each line is defined once and drawn twice: a darker casing under the track's
    // colour, so that light colours show on the light ground.
    for (std::size_t t = 0; t < scene.tracks.size(); ++t) {
        const SceneTrack& track = scene.tracks[t];
        if (track.line.empty()) {
            continue;
        }
        const std::string id = "track-" + std::to_string(t + 1);
        out += "<g class=\"track\"><title>" + escaped(track.name) + "</title>\n";
        out += "<defs><path id=\"" + id + "\" d=\"" + pathData(track.line) + "\"/></defs>\n";
        for (const auto& [colour, lineWidth] :
             {std::pair{kCasing, kCasingWidth}, std::pair{track.colour, kLineWidth}}) {
            out += "<use href=\"#" + id + "\" xlink:href=\"#" + id + "\" stroke=\"" +
                   colourText(colour) + "\" stroke-width=\"" + number(lineWidth) + '"';
            if (track.dashed && lineWidth == kLineWidth) {
                out += dashAttributes();
            }
            out += "/>\n";
        }
        out += "</g>\n";
    }
    out += "</g>\n";

    out += "<g class=\"waypoints\" fill=\"" + colourText(kInk) + "\">\n";
    for (const SceneWaypoint& waypoint : scene.waypoints) {
        out += "<g class=\"waypoint\"><circle cx=\"" + number(waypoint.at.x) + "\" cy=\"" +
               number(waypoint.at.y) + "\" r=\"" + number(kWaypointRadius) + "\"/>";
        const double gap = kNameGap;
        text(out,
             {{waypoint.at.x + (waypoint.nameLeft ? -gap : gap), waypoint.at.y + kNameDrop},
              waypoint.name},
             waypoint.nameLeft ? "text-anchor=\"end\"" : "");
        out += "</g>\n";
    }
    out += "</g>\n";

    if (!scene.legend.empty()) {
        out += "<g class=\"legend\" xml:space=\"preserve\" fill=\"" + colourText(kInk) + "\">\n";
        for (const LegendEntry& entry : scene.legend) {
            const double y = entry.text.at.y - kTextSize * kSwatchRise;
            out += "<line x1=\"" + number(entry.text.at.x - kSwatchFrom) + "\" y1=\"" + number(y) +
                   "\" x2=\"" + number(entry.text.at.x - kSwatchTo) + "\" y2=\"" + number(y) +
                   "\" stroke=\"" + colourText(entry.colour) + "\" stroke-width=\"" +
                   number(kCasingWidth) + '"' + (entry.dashed ? dashAttributes() : "") + "/>\n";
            text(out, entry.text);
        }
        out += "</g>\n";
    }

    if (scene.scaleBar) {
        const SceneScaleBar& bar = *scene.scaleBar;
        const ScenePoint end{bar.start.x + bar.length, bar.start.y};
        out += "<g class=\"scale\" stroke=\"" + colourText(kInk) + "\" fill=\"" + colourText(kInk) +
               "\">\n";
        line(out, bar.start, end);
        line(out, bar.start, {bar.start.x, bar.start.y - kTickHeight});
        line(out, end, {end.x, end.y - kTickHeight});
        text(out, {{bar.start.x, bar.start.y - kScaleLabelRise}, bar.label}, "stroke=\"none\"");
        out += "</g>\n";
    }

    if (scene.profile) {
        const SceneProfile& profile = *scene.profile;
        out += "<g class=\"profile\">\n<rect x=\"" + number(profile.frame.x) + "\" y=\"" +
               number(profile.frame.y) + "\" width=\"" + number(profile.frame.width) +
               "\" height=\"" + number(profile.frame.height) + "\" fill=\"#ffffff\" stroke=\"" +
               colourText(kInk) + "\"/>\n";
        if (!profile.line.empty()) {
            out += "<path d=\"" + pathData(profile.line) + "\" fill=\"none\" stroke=\"" +
                   colourText(kInk) + "\" stroke-width=\"1.5\"/>\n";
        }
        for (const SceneText& label : profile.labels) {
            text(out, label, "fill=\"" + colourText(kInk) + "\"");
        }
        out += "</g>\n";
    }

    if (scene.message) {
        text(out, *scene.message, "fill=\"" + colourText(kInk) + "\"");
    }
    if (!credit.empty() && scene.mapFrame) {
        const SceneRect& area = scene.mapFrame->area;
        text(out, {{area.x + area.width - 4, area.y + area.height - 4}, credit},
             "text-anchor=\"end\" fill=\"" + colourText(kInk) +
                 "\" stroke=\"#ffffff\" stroke-width=\"3\" paint-order=\"stroke\"");
    }
    out += "</svg>\n";
    return out;
}

}  // namespace quillet::preview
