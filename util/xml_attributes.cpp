#include "util/xml_attributes.h"

#include "util/number.h"
#include "util/text.h"

namespace util {

bool isElement(xmlNodePtr node, const char* name)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

std::string attributeText(xmlNodePtr element, const char* name, bool* present)
{
    xmlChar* value = xmlGetProp(element, BAD_CAST name);
    if (present) *present = value != nullptr;
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

void setAttribute(xmlNodePtr element, const char* name, const std::string& text)
{
    xmlNewProp(element, BAD_CAST name, BAD_CAST text.c_str());
}

void writeFloats(xmlNodePtr element, const char* name, const float* values, int count, int decimals)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += ' ';
        text += fixedText(values[i], decimals);
    }
    setAttribute(element, name, text);
}

int readFloats(xmlNodePtr element, const char* name, float* out, int count)
{
    return readFloats(name, attributeText(element, name).c_str(), out, count);
}

} // namespace util
