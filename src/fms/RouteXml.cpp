#include "fms/RouteXml.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/dom/DOMErrorHandler.hpp>
#include <xercesc/framework/LocalFileFormatTarget.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/Wrapper4InputSource.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <memory>

#include <unistd.h>

namespace halvex {

namespace xc = XERCES_CPP_NAMESPACE;

namespace {

// The library is initialised before and terminated after every save and load.
class XercesSession {
public:
    XercesSession() {
        try {
            xc::XMLPlatformUtils::Initialize();
            ok_ = true;
        } catch (const xc::XMLException&) {
            ok_ = false;
        }
    }
    ~XercesSession() {
        if (ok_) xc::XMLPlatformUtils::Terminate();
    }
    XercesSession(const XercesSession&) = delete;
    XercesSession& operator=(const XercesSession&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

// UTF-8 <-> UTF-16 through the library's transcoder.
struct XmlText {
    explicit XmlText(const std::string& utf8)
        : text(xc::TranscodeFromStr(reinterpret_cast<const XMLByte*>(utf8.data()), utf8.size(), "UTF-8").adopt()) {}
    ~XmlText() { xc::XMLString::release(&text); }
    XmlText(const XmlText&) = delete;
    XmlText& operator=(const XmlText&) = delete;
    XMLCh* text;
};

std::string toUtf8(const XMLCh* s) {
    if (!s) return {};
    xc::TranscodeToStr utf8(s, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

// Any warning-free parse is accepted; an error or fatal error fails the load.
class RecordingErrorHandler : public xc::DOMErrorHandler {
public:
    bool handleError(const xc::DOMError& error) override {
        if (error.getSeverity() != xc::DOMError::DOM_SEVERITY_WARNING) failed = true;
        return false;  // stop at the first problem
    }
    bool failed = false;
};

void setFeature(xc::DOMConfiguration* config, const XMLCh* name, bool value) {
    if (config->canSetParameter(name, value)) config->setParameter(name, value);
}

XmlElementRecord readElement(const xc::DOMElement* element) {
    XmlElementRecord record;
    record.name = toUtf8(element->getTagName());
    const xc::DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
        const xc::DOMNode* a = attributes->item(i);
        record.attributes.emplace_back(toUtf8(a->getNodeName()), toUtf8(a->getNodeValue()));
    }
    return record;
}

// The file's bytes, or nothing when it is not a regular file or holds more than maxBytes.
std::optional<std::string> readBounded(const std::string& path, size_t maxBytes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    char chunk[64 * 1024];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > maxBytes) return std::nullopt;  // also a file that grew after it was listed
    }
    if (in.bad()) return std::nullopt;
    return text;
}

// One pass over the markup before the parser sees it: element depth and attributes per start tag
// within the limits. Comments, CDATA, processing instructions and quoted values are stepped over,
// so a document the parser accepts is never over-counted; anything malformed it refuses anyway.
bool withinLimits(std::string_view text) {
    int depth = 0;
    size_t at = 0;
    auto skipPast = [&](std::string_view end) {
        const size_t found = text.find(end, at);
        at = found == std::string_view::npos ? text.size() : found + end.size();
    };
    while ((at = text.find('<', at)) != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        if (rest.starts_with("<!--")) {
            skipPast("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipPast("]]>");
        } else if (rest.starts_with("<?")) {
            skipPast("?>");
        } else if (rest.starts_with("<!")) {
            skipPast(">");  // a doctype: the parser refuses it
        } else if (rest.starts_with("</")) {
            --depth;
            skipPast(">");
        } else {
            int attributes = 0;
            char quote = 0;
            bool empty = false;
            for (++at; at < text.size(); ++at) {
                const char c = text[at];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=') {
                    if (++attributes > kMaxRouteAttributes) return false;
                } else if (c == '>') {
                    empty = text[at - 1] == '/';
                    ++at;
                    break;
                }
            }
            if (!empty && ++depth > kMaxRouteDepth) return false;
        }
    }
    return true;
}

}  // namespace

bool WriteXmlDocument(const std::string& path, const XmlDocumentRecord& document) {
    namespace fs = std::filesystem;
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    bool written = false;
    {
        XercesSession session;
        if (!session.ok()) return false;
        try {
            XmlText ls("LS");
            xc::DOMImplementation* impl = xc::DOMImplementationRegistry::getDOMImplementation(ls.text);
            XmlText rootName(document.root);
            std::unique_ptr<xc::DOMDocument> doc(impl->createDocument(nullptr, rootName.text, nullptr));
            xc::DOMElement* root = doc->getDocumentElement();
            for (const XmlElementRecord& child : document.children) {
                XmlText name(child.name);
                xc::DOMElement* element = doc->createElement(name.text);
                for (const auto& [key, value] : child.attributes) {
                    XmlText k(key), v(value);
                    element->setAttribute(k.text, v.text);
                }
                root->appendChild(element);
            }
            std::unique_ptr<xc::DOMLSSerializer> writer(static_cast<xc::DOMImplementationLS*>(impl)->createLSSerializer());
            xc::DOMConfiguration* config = writer->getDomConfig();
            setFeature(config, xc::XMLUni::fgDOMWRTSplitCdataSections, false);
            setFeature(config, xc::XMLUni::fgDOMWRTDiscardDefaultContent, true);
            setFeature(config, xc::XMLUni::fgDOMWRTFormatPrettyPrint, true);
            setFeature(config, xc::XMLUni::fgDOMWRTBOM, false);
            std::unique_ptr<xc::DOMLSOutput> output(static_cast<xc::DOMImplementationLS*>(impl)->createLSOutput());
            XmlText encoding("UTF-8");
            output->setEncoding(encoding.text);
            {
                XmlText target(temporary);
                xc::LocalFileFormatTarget file(target.text);
                output->setByteStream(&file);
                written = writer->write(doc.get(), output.get());
                file.flush();
            }
        } catch (...) {  // any library exception: the save failed, the old file stays
            written = false;
        }
    }
    std::error_code ec;
    if (written) {
        fs::rename(temporary, path, ec);
        written = !ec;
    }
    if (!written) fs::remove(temporary, ec);
    return written;
}

std::optional<XmlDocumentRecord> ReadXmlDocument(const std::string& path) {
    const std::optional<std::string> text = readBounded(path, static_cast<size_t>(kMaxRouteFileBytes));
    if (!text || !withinLimits(*text)) return std::nullopt;

    XercesSession session;
    if (!session.ok()) return std::nullopt;
    try {
        XmlText ls("LS");
        auto* impl = static_cast<xc::DOMImplementationLS*>(xc::DOMImplementationRegistry::getDOMImplementation(ls.text));
        std::unique_ptr<xc::DOMLSParser> parser(impl->createLSParser(xc::DOMImplementationLS::MODE_SYNCHRONOUS, nullptr));
        xc::DOMConfiguration* config = parser->getDomConfig();
        // Nothing outside the file is ever fetched: no DTD, no external entities, no doctype.
        setFeature(config, xc::XMLUni::fgXercesLoadExternalDTD, false);
        setFeature(config, xc::XMLUni::fgXercesDisableDefaultEntityResolution, true);
        setFeature(config, xc::XMLUni::fgDOMDisallowDoctype, true);
        setFeature(config, xc::XMLUni::fgDOMEntities, false);
        setFeature(config, xc::XMLUni::fgDOMValidate, false);
        setFeature(config, xc::XMLUni::fgDOMNamespaces, false);
        RecordingErrorHandler errors;
        config->setParameter(xc::XMLUni::fgDOMErrorHandler, static_cast<xc::DOMErrorHandler*>(&errors));
        // The very bytes that were checked: the file may change after it was read.
        xc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text->data()), text->size(), "route");
        xc::Wrapper4InputSource input(&source, false);
        xc::DOMDocument* doc = parser->parse(&input);  // owned by the parser
        if (errors.failed || !doc || !doc->getDocumentElement()) return std::nullopt;
        const xc::DOMElement* root = doc->getDocumentElement();
        XmlDocumentRecord record;
        record.root = toUtf8(root->getTagName());
        for (const xc::DOMNode* n = root->getFirstChild(); n; n = n->getNextSibling())
            if (n->getNodeType() == xc::DOMNode::ELEMENT_NODE)
                record.children.push_back(readElement(static_cast<const xc::DOMElement*>(n)));
        return record;
    } catch (...) {  // malformed input of any kind is a failed load, never a crash
        return std::nullopt;
    }
}

}  // namespace halvex
