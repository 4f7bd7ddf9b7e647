// Reading, validating and writing scene files. The camera's part, which
// talks to the viewer, is in scene_camera.cpp.
#include "app/scene_file.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "forest/forest_section.h"
#include "grass/grass_section.h"
#include "ground/ground_section.h"
#include "wind/wind_section.h"
#include "util/atomic_file.h"
#include "util/number.h"
#include "util/xml_attributes.h"

#include <libxml/parser.h>
#include <libxml/valid.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// [SECTION] Attribute helpers

using util::isElement;

void writeBool(xmlNodePtr element, const char* name, bool value)
{
    util::setAttribute(element, name, value ? "true" : "false");
}

// Four decimals: the settings and the rock are written as "%.4f".
void writeNumber(xmlNodePtr element, const char* name, float value) { util::writeFloats(element, name, &value, 1, 4); }

// The library's messages, validation ones included, go to standard error as
// they always did; the first line is kept as the reason shown to the person.
std::string firstMessage, pendingMessage;

void keepMessage(void* stream, const char* format, ...)
{
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? size_t(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    std::fputs(text.c_str(), static_cast<FILE*>(stream));
    if (!firstMessage.empty()) return;
    pendingMessage += text;
    const size_t end = pendingMessage.find('\n');
    if (end != std::string::npos) firstMessage = pendingMessage.substr(0, end);
}

// Gathers the library's messages while it lives.
struct MessageCapture {
    MessageCapture()
    {
        firstMessage.clear();
        pendingMessage.clear();
        xmlSetGenericErrorFunc(stderr, keepMessage);
    }
    ~MessageCapture() { xmlSetGenericErrorFunc(nullptr, nullptr); }
    std::string first() const { return firstMessage.empty() ? pendingMessage : firstMessage; }
};

const char* const DEFINITION = "sceneVelmora.dtd";

// A scene saved outside Scene/ has no definition beside it; the program's
// own then serves, so every scene it saves loads back from where it lies.
// A definition that does stand beside the file is the one used.
void useOwnDefinitionWhenNoneBeside(xmlDocPtr doc, const char* name)
{
    const xmlDtd* declared = doc->intSubset;
    if (!declared || !declared->SystemID || xmlStrcmp(declared->SystemID, BAD_CAST DEFINITION) != 0) return;
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::path(name).parent_path() / DEFINITION, ignored)) return;
    doc->extSubset = xmlParseDTD(nullptr, BAD_CAST "Scene/sceneVelmora.dtd");
}

bool isValid(xmlDocPtr doc)
{
    xmlValidCtxtPtr context = xmlNewValidCtxt();
    if (!context) return false;
    context->userData = stderr;
    context->error = keepMessage;
    context->warning = keepMessage;
    const bool valid = xmlValidateDocument(context, doc) == 1;
    xmlFreeValidCtxt(context);
    return valid;
}

// The compression level of the file, −1 when it is not compressed. This
// libxml2 reports 0 for a plain file and −1 for a compressed one, so the
// file's own header decides: gzip records whether its compressor ran at the
// best (9) or fastest (1) level, otherwise zlib's default (6) was used; xz
// records no level and counts as its default (6).
int compressionLevel(const char* name)
{
    unsigned char head[9] = {};
    FILE* file = std::fopen(name, "rb");
    if (!file) return -1;
    const size_t read = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (read >= 9 && head[0] == 0x1f && head[1] == 0x8b) return head[8] == 2 ? 9 : head[8] == 4 ? 1 : 6;
    if (read >= 6 && std::memcmp(head, "\xfd" "7zXZ\0", 6) == 0) return 6;
    return -1;
}

void printDocumentInfo(const char* name, xmlDocPtr doc)
{
    std::printf("chargement de la scene : %s\n", name);
    if (doc->name) std::printf("name : %s\n", doc->name);
    const int level = compressionLevel(name);
    if (level == -1)
        std::puts("     no compression");
    else
        std::printf("     compression level : %d\n", level);
    std::printf("     XML version : %s\n", doc->version ? reinterpret_cast<const char*>(doc->version) : "");
    if (doc->encoding)
        std::printf("     encoding : %s\n", doc->encoding);
    else
        std::puts("     encoding not specified");
}

} // namespace

// [SECTION] Parameters and rock

namespace {

// The on/off switches a scene file holds, in the file's order after animation_dt.
const struct {
    const char* name;
    bool scene::Switches::*value;
} FILE_SWITCHES[] = {
    {"update_grass_drawing", &scene::Switches::update_grass_drawing},
    {"draw_ground", &scene::Switches::draw_ground},
    {"draw_grass", &scene::Switches::draw_grass},
    {"draw_grass_nodes", &scene::Switches::draw_grass_nodes},
    {"draw_grass_density", &scene::Switches::draw_grass_density},
    {"draw_trees", &scene::Switches::draw_trees},
    {"draw_gust", &scene::Switches::draw_gust},
    {"draw_sky", &scene::Switches::draw_sky},
    // The polygon mode follows at the next frame, where a GL context is current.
    {"draw_wire", &scene::Switches::draw_wire},
    {"look", &scene::Switches::look},
};

} // namespace

void writeParametersSection(xmlNodePtr parent)
{
    const scene::Switches& switches = scene::switches();
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "parameters");
    writeBool(element, "animation", switches.animation);
    writeNumber(element, "animation_dt", switches.animation_dt);
    for (const auto& s : FILE_SWITCHES) writeBool(element, s.name, switches.*s.value);
    writeCameraSection(element);
    writeRockSection(element);
    xmlAddChild(parent, element);
}

bool readParametersSection(xmlNodePtr element)
{
    scene::Switches switches = scene::switches();
    util::readAttributes(element, {{"animation", &switches.animation}, {"animation_dt", &switches.animation_dt}});
    for (const auto& s : FILE_SWITCHES) util::readAttributes(element, {{s.name, &(switches.*s.value)}});

    for (xmlNodePtr child = element->children; child; child = child->next) {
        if (isElement(child, "camera"))
            readCameraSection(child);
        else if (isElement(child, "rock"))
            readRockSection(child);
    }

    scene::setSwitches(switches);
    return true;
}

void writeRockSection(xmlNodePtr parent)
{
    const rock::RockState& r = rock::state();
    const RockRecord& record = rock::record();
    xmlNodePtr element = xmlNewNode(nullptr, BAD_CAST "rock");
    util::writeFloats(element, "position", r.rockPosition, 2, 4);
    writeBool(element, "direct", r.direct);
    writeBool(element, "bound", r.bound);
    writeNumber(element, "speed", r.rockSpeed);
    writeNumber(element, "size", r.rockSize);
    writeNumber(element, "crushing_power", record.crushingPower);
    writeNumber(element, "crushing_power_exp", record.crushingPowerExp);
    writeNumber(element, "crushing_mystery_parameter", record.crushingMysteryParameter);
    writeNumber(element, "crushing_propagation", record.crushingPropagation);
    xmlAddChild(parent, element);
}

void readRockSection(xmlNodePtr element)
{
    const rock::RockState& r = rock::state();
    const RockRecord& record = rock::record();
    float position[2] = {r.rockPosition[0], r.rockPosition[1]};
    bool direct = r.direct, bound = r.bound;
    float speed = r.rockSpeed, size = r.rockSize;
    float power = record.crushingPower, powerExp = record.crushingPowerExp;
    float mystery = record.crushingMysteryParameter, propagation = record.crushingPropagation;

    util::readAttributes(element, {{"position", util::FloatList{position, 2}},
                                   {"direct", &direct},
                                   {"bound", &bound},
                                   {"speed", &speed},
                                   {"size", &size},
                                   {"crushing_power", &power},
                                   {"crushing_power_exp", &powerExp},
                                   {"crushing_mystery_parameter", &mystery},
                                   {"crushing_propagation", &propagation}});

    rock::setDirect(direct);
    rock::setBound(bound);
    rock::setSpeed(speed);
    rock::setSize(size);
    rock::setCrushingPower(power);
    rock::setCrushingPowerExp(powerExp);
    rock::setCrushingMysteryParameter(mystery);
    rock::setCrushingPropagation(propagation);
    // Last, so that the stored positions use the new crushing exponent.
    rock::placeRock(position[0], position[1]);
}

// [SECTION] Module sections

void writeModuleSections(xmlNodePtr parent)
{
    xmlNodePtr velmora = xmlNewNode(nullptr, BAD_CAST "velmora");
    writeGroundSection(velmora);
    writeWindSection(velmora);
    writeGrassSection(scene::grassField(), velmora);
    writeForestSection(velmora);
    xmlAddChild(parent, velmora);
}

bool readModuleSections(xmlNodePtr root)
{
    xmlNodePtr velmora = util::findSection(root, "velmora");
    if (!velmora) return false;
    // The ground first, so that everything placed on it takes the new heights.
    const bool ground = readGroundSection(velmora);
    const bool wind = readWindSection(velmora);
    const bool grass = readGrassSection(scene::grassField(), velmora);
    const bool forest = readForestSection(velmora);
    return ground && wind && grass && forest;
}

// [SECTION] Files

bool saveSceneFile(const char* name, std::string* reason)
{
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    xmlNodePtr root = xmlNewNode(nullptr, BAD_CAST "scene");
    xmlDocSetRootElement(doc, root);
    writeParametersSection(root);
    writeModuleSections(root);
    xmlCreateIntSubset(doc, BAD_CAST "scene", nullptr, BAD_CAST DEFINITION);

    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &text, &size, "UTF-8", 1);
    xmlFreeDoc(doc);

    // Written beside the old file and renamed over it, so a failed save keeps it.
    std::string error = "the document could not be made";
    const bool saved = text && util::writeFileAtomically(name, std::string(reinterpret_cast<const char*>(text), size), error);
    xmlFree(text);
    if (!saved) std::printf("sauvegarde de la scene impossible : %s (%s)\n", name, error.c_str());
    if (!saved && reason) *reason = error;
    return saved;
}

bool loadSceneFile(const char* name, std::string* reason)
{
    if (!name) return false;
    MessageCapture messages;
    const auto fail = [&](const char* why) {
        if (reason) *reason = messages.first().empty() ? why : messages.first();
        return false;
    };
    xmlDocPtr doc = xmlParseFile(name);
    if (!doc) return fail("the file could not be read");

    printDocumentInfo(name, doc);
    useOwnDefinitionWhenNoneBeside(doc, name);
    if (!isValid(doc)) {
        xmlFreeDoc(doc);
        return fail("the document is not valid");
    }

    xmlNodePtr root = xmlDocGetRootElement(doc);
    const bool modules = readModuleSections(root);
    xmlNodePtr parameters = util::findSection(root, "parameters");
    if (parameters) readParametersSection(parameters);
    xmlFreeDoc(doc);
    if (!modules) return fail("a module section (ground, wind, grass or forest) is missing");
    if (!parameters) return fail("the \"parameters\" element is missing");
    return true;
}

std::string sceneFileName(const std::string& chosen)
{
    return chosen.find(".xml") == std::string::npos ? chosen + ".xml" : chosen;
}
