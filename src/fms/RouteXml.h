// RouteXml: the XML layer of company-route files. Documents are a root element with a flat list
// of child elements, each with attributes in a fixed order; this layer knows nothing of plans.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halvex {

struct XmlElementRecord {
    std::string name;
    // In the DOM's order: the library keeps an element's attributes ordered by name.
    std::vector<std::pair<std::string, std::string>> attributes;
};

struct XmlDocumentRecord {
    std::string root;
    std::vector<XmlElementRecord> children;  // element children of the root, document order
};

// Writes the document UTF-8, pretty printed, without a byte-order mark. The file is written to a
// temporary name beside path and renamed over it only when complete, so a failed save never
// destroys the previous file. False on any failure.
bool WriteXmlDocument(const std::string& path, const XmlDocumentRecord& document);

// Parses the file without loading any DTD or external entity. nullopt when it is missing, larger
// than kMaxRouteFileBytes, not well-formed XML, nested deeper than kMaxRouteDepth or with an
// element of more than kMaxRouteAttributes attributes. The limits are checked in one streaming
// pass over the text before any document is built.
std::optional<XmlDocumentRecord> ReadXmlDocument(const std::string& path);

constexpr long kMaxRouteFileBytes = 8L * 1024 * 1024;
constexpr int kMaxRouteDepth = 64;         // elements within elements, the root counting 1
constexpr int kMaxRouteAttributes = 64;    // a waypoint has ten

}  // namespace halvex
