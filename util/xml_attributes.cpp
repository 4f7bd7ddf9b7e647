#include "util/xml_attributes.h"

#include "util/number.h"
#include "util/text.h"

#include <cstring>

namespace util {

bool isElement(xmlNodePtr node, const char* name)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

xmlNodePtr findSection(xmlNodePtr element, const char* name)
{
    if (!element || isElement(element, name)) return element;
    xmlNodePtr child = element->children;
    while (child && !isElement(child, name)) child = child->next;
    return child;
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

namespace {

// The places an attribute's text goes, by the kind of value.
struct Reader {
    const char* name;
    const std::string& text;
    void operator()(float* value) const { readFloat(name, text.c_str(), *value); }
    void operator()(int* value) const { readInt(name, text.c_str(), *value); }
    void operator()(IntRange range) const { readInt(name, text.c_str(), *range.value, range.low, range.high); }
    void operator()(FloatList list) const { readFloats(name, text.c_str(), list.values, list.count); }
    void operator()(bool* value) const { *value = text == "true"; }
    void operator()(std::string* value) const { *value = text; }
};

} // namespace

void readAttributes(xmlNodePtr element, std::initializer_list<Attribute> attributes)
{
    // In the file's order, which the lines of refused numbers then follow.
    for (xmlAttrPtr a = element->properties; a; a = a->next) {
        const char* name = reinterpret_cast<const char*>(a->name);
        for (const Attribute& attribute : attributes) {
            if (std::strcmp(name, attribute.name) != 0) continue;
            const std::string text = attributeText(element, name);
            std::visit(Reader{name, text}, attribute.value);
        }
    }
}

} // namespace util
