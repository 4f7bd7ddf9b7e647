#include "forest/forest_section.h"
#include "forest/forest.h"
#include "forest/number_text.h"
#include "util/number.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

bool isElement(xmlNodePtr node, const char* name)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, BAD_CAST name) == 0;
}

/// The attribute's text, or an empty string when absent; `present` says which.
std::string attribute(xmlNodePtr node, const char* name, bool& present)
{
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    present = value != nullptr;
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

} // namespace

xmlNodePtr writeForestSection(xmlNodePtr parent)
{
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "forest");
    xmlNewProp(element, BAD_CAST "arb", BAD_CAST forestArbFile().c_str());
    for (const TreeRecord& r : getTrees()) {
        xmlNodePtr tree = xmlNewNode(nullptr, BAD_CAST "tree");
        const std::string position = fixedText(r.position2d[0]) + " " + fixedText(r.position2d[1]);
        xmlNewProp(tree, BAD_CAST "position2d", BAD_CAST position.c_str());
        xmlNewProp(tree, BAD_CAST "seed", BAD_CAST std::to_string(r.seed).c_str());
        xmlNewProp(tree, BAD_CAST "relativeDiameter", BAD_CAST fixedText(r.relativeDiameter).c_str());
        xmlNewProp(tree, BAD_CAST "relativeLength", BAD_CAST fixedText(r.relativeLength).c_str());
        xmlAddChild(element, tree);
    }
    xmlAddChild(parent, element);
    return element;
}

bool readForestSection(xmlNodePtr element)
{
    if (element && !isElement(element, "forest")) {
        xmlNodePtr child = element->children;
        while (child && !isElement(child, "forest")) child = child->next;
        element = child;
    }
    if (!element) return false;

    bool present = false;
    std::string arb = attribute(element, "arb", present);
    if (!present) arb = forestArbFile();

    std::vector<TreeRecord> records;
    TreeRecord current; // a missing attribute keeps the previous tree's value
    for (xmlNodePtr node = element->children; node && records.size() < MAX_TREES; node = node->next) {
        if (!isElement(node, "tree")) continue;
        const std::string position = attribute(node, "position2d", present);
        if (present) util::readFloats("position2d", position.c_str(), current.position2d, 2);
        const std::string seed = attribute(node, "seed", present);
        long long s;
        // Seeds are 32-bit patterns: accept them written signed or unsigned.
        if (present) {
            if (util::integerFromText(seed.c_str(), INT32_MIN, UINT32_MAX, s))
                current.seed = static_cast<int32_t>(static_cast<uint32_t>(s));
            else
                util::reportRefusedNumber("seed", seed.c_str());
        }
        const std::string diameter = attribute(node, "relativeDiameter", present);
        if (present) util::readFloat("relativeDiameter", diameter.c_str(), current.relativeDiameter);
        const std::string length = attribute(node, "relativeLength", present);
        if (present) util::readFloat("relativeLength", length.c_str(), current.relativeLength);
        records.push_back(current);
    }
    loadArb(arb);
    setTrees(static_cast<int>(records.size()), records.data());
    return true;
}
