// SPDX-License-Identifier: GPL-3.0-or-later
#include "gpx_check.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace quillet::fuzz {

namespace {

void collect(void* context, const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    static_cast<std::string*>(context)->append(text);
}

bool isNamed(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

// lat and lon of a wpt or trkpt element inside the GPX ranges.
bool inRange(xmlNode* node) {
    const auto attribute = [&](const char* name, double& value) {
        xmlChar* text = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
        if (text == nullptr) {
            return false;
        }
        char* end = nullptr;
        value = std::strtod(reinterpret_cast<const char*>(text), &end);
        const bool whole = end != reinterpret_cast<char*>(text) && *end == '\0';
        xmlFree(text);
        return whole;
    };
    double lat = 0;
    double lon = 0;
    return attribute("lat", lat) && attribute("lon", lon) && lat >= -90 && lat <= 90 &&
           lon >= -180 && lon < 180;
}

bool allInRange(xmlNode* node) {
    for (xmlNode* child = node; child != nullptr; child = child->next) {
        if ((isNamed(child, "wpt") || isNamed(child, "trkpt")) && !inRange(child)) {
            return false;
        }
        if (!allInRange(child->children)) {
            return false;
        }
    }
    return true;
}

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

}  // namespace

GpxContents inspectGpx(std::string_view document) {
    GpxContents contents;
    xmlSetGenericErrorFunc(&contents.error, collect);
    xmlDoc* doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "export.gpx",
                                nullptr, kParseOptions);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    if (doc == nullptr) {
        if (const xmlError* error = xmlGetLastError(); error != nullptr && error->message) {
            contents.error += error->message;
        }
        return contents;
    }
    contents.wellFormed = true;
    xmlNode* root = xmlDocGetRootElement(doc);
    if (root != nullptr && isNamed(root, "gpx")) {
        for (xmlNode* child = root->children; child != nullptr; child = child->next) {
            contents.waypoints += isNamed(child, "wpt") ? 1 : 0;
            contents.tracks += isNamed(child, "trk") ? 1 : 0;
        }
        contents.coordinatesInRange = allInRange(root->children);
    }
    xmlFreeDoc(doc);
    return contents;
}

GpxSchema::GpxSchema(const std::filesystem::path& schemaFile) {
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(schemaFile.c_str());
    schema_ = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (schema_ == nullptr) {
        throw std::runtime_error("cannot load the schema " + schemaFile.string());
    }
}

GpxSchema::~GpxSchema() {
    xmlSchemaFree(static_cast<xmlSchemaPtr>(schema_));
}

std::optional<std::string> GpxSchema::validate(std::string_view document) const {
    std::string errors;
    xmlDoc* doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "export.gpx",
                                nullptr, kParseOptions);
    if (doc == nullptr) {
        return std::string("not well-formed");
    }
    xmlSchemaValidCtxtPtr validator = xmlSchemaNewValidCtxt(static_cast<xmlSchemaPtr>(schema_));
    xmlSchemaSetValidErrors(validator, collect, collect, &errors);
    const int result = xmlSchemaValidateDoc(validator, doc);
    xmlSchemaFreeValidCtxt(validator);
    xmlFreeDoc(doc);
    if (result == 0) {
        return std::nullopt;
    }
    return errors.empty() ? std::string("invalid") : errors;
}

}  // namespace quillet::fuzz
