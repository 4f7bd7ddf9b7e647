#include "forest/forest_section.h"
#include "forest/forest.h"
#include "util/number.h"
#include "util/text.h"
#include "util/xml_attributes.h"

#include <cstdint>
#include <string>
#include <vector>

using util::attributeText;
using util::isElement;

xmlNodePtr writeForestSection(xmlNodePtr parent)
{
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "forest");
    util::setAttribute(element, "arb", forestArbFile());
    for (const TreeRecord& r : getTrees()) {
        xmlNodePtr tree = xmlNewNode(nullptr, BAD_CAST "tree");
        util::writeFloats(tree, "position2d", r.position2d, 2);
        util::setAttribute(tree, "seed", std::to_string(r.seed));
        util::setAttribute(tree, "relativeDiameter", util::fixedText(r.relativeDiameter));
        util::setAttribute(tree, "relativeLength", util::fixedText(r.relativeLength));
        xmlAddChild(element, tree);
    }
    xmlAddChild(parent, element);
    return element;
}

bool readForestSection(xmlNodePtr element)
{
    element = util::findSection(element, "forest");
    if (!element) return false;

    bool present = false;
    std::string arb = attributeText(element, "arb", &present);
    if (!present) arb = forestArbFile();

    std::vector<TreeRecord> records;
    TreeRecord current; // a missing attribute keeps the previous tree's value
    for (xmlNodePtr node = element->children; node && records.size() < MAX_TREES; node = node->next) {
        if (!isElement(node, "tree")) continue;
        util::readAttributes(node, {{"position2d", util::FloatList{current.position2d, 2}},
                                    {"relativeDiameter", &current.relativeDiameter},
                                    {"relativeLength", &current.relativeLength}});
        const std::string seed = attributeText(node, "seed", &present);
        long long s;
        // Seeds are 32-bit patterns: accept them written signed or unsigned.
        if (present) {
            if (util::integerFromText(seed.c_str(), INT32_MIN, UINT32_MAX, s))
                current.seed = static_cast<int32_t>(static_cast<uint32_t>(s));
            else
                util::reportRefusedNumber("seed", seed.c_str());
        }
        records.push_back(current);
    }
    loadArb(arb);
    setTrees(static_cast<int>(records.size()), records.data());
    return true;
}
