// Arbitrary bytes as a route file: whatever is read can be written back and reads the same.
#include <cstdint>
#include <cstdlib>

#include <xercesc/util/PlatformUtils.hpp>

#include "ScratchFolder.h"
#include "fms/RouteXml.h"

namespace {

struct Fixture {
    // The library initialises and terminates Xerces around every read and write; one outer
    // initialisation keeps its tables alive between inputs (the calls nest by count).
    Fixture() { xercesc::XMLPlatformUtils::Initialize(); }
    ~Fixture() { xercesc::XMLPlatformUtils::Terminate(); }
    halvex::fuzz::ScratchFolder folder{"route-xml-fuzz"};
};

bool sameDocument(const halvex::XmlDocumentRecord& a, const halvex::XmlDocumentRecord& b) {
    if (a.root != b.root || a.children.size() != b.children.size()) return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (a.children[i].name != b.children[i].name || a.children[i].attributes != b.children[i].attributes) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    const std::string path = fixture.folder.write("route.xml", data, size).string();
    const auto doc = halvex::ReadXmlDocument(path);
    if (!doc) return 0;
    const std::string again = (fixture.folder.path() / "again.xml").string();
    if (!halvex::WriteXmlDocument(again, *doc)) return 0;
    const auto reread = halvex::ReadXmlDocument(again);
    if (!reread || !sameDocument(*doc, *reread)) std::abort();
    return 0;
}
