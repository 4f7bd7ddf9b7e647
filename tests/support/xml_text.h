#pragma once
// Scene sections as text: a document parsed from a string, a node printed back.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string>

namespace test_support {

using XmlDocument = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

/// `text` as a document; holds null when it is not well-formed.
inline XmlDocument parseXml(const std::string& text)
{
    return XmlDocument(xmlReadMemory(text.data(), static_cast<int>(text.size()), "scene.xml", nullptr, 0),
                       xmlFreeDoc);
}

/// `node` and its children as one line of text.
inline std::string xmlText(xmlNodePtr node)
{
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlNodeDump(buffer, node ? node->doc : nullptr, node, 0, 0);
    std::string text = reinterpret_cast<const char*>(xmlBufferContent(buffer));
    xmlBufferFree(buffer);
    return text;
}

} // namespace test_support
