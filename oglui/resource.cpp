#include "oglui/resource.h"
#include "util/text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <strings.h>

namespace {

using util::format;

// Longest branch or resource name, and longest enumeration or file name value.
constexpr size_t MAX_NAME = 255;
constexpr size_t MAX_VALUE = 512;

struct Branch {
    std::string parent;
};

std::map<std::string, Branch> s_branches;
std::map<std::pair<std::string, std::string>, std::unique_ptr<OGLIResource>> s_resources;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string trimmed(const std::string& text, size_t maxLength)
{
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, std::min(end - begin, maxLength));
}

bool onlyBlanks(const char* p)
{
    while (*p && isBlank(*p)) ++p;
    return *p == '\0';
}

void declarationError(const std::string& message)
{
    std::printf("RESOURCE DECLARATION ERROR: %s", message.c_str());
    if (message.empty() || message.back() != '\n') std::printf("\n");
}

// Walks up from `branch` to the first resource of that name and kind that is
// set. The step limit stops on parent cycles, which declarations can make.
const OGLIResource* inherited(const std::string& branch, const std::string& name, OGLIResource::Kind kind)
{
    std::string current = branch;
    for (size_t steps = 0; steps <= s_branches.size() && !current.empty(); ++steps) {
        const auto it = s_resources.find({current, name});
        if (it != s_resources.end() && it->second->kind() == kind && it->second->isSet())
            return it->second.get();
        const auto b = s_branches.find(current);
        if (b == s_branches.end()) break;
        current = b->second.parent;
    }
    return nullptr;
}

} // namespace

// [SECTION] Values

std::string OGLIResourceTexture::parse(const std::string& text)
{
    m_pFile = trimmed(text, MAX_VALUE);
    m_pFailed = false;
    return "";
}

std::string OGLIResourceFloat::parse(const std::string& text)
{
    const std::string value = trimmed(text, std::string::npos);
    if (value.empty()) {
        m_pValue = 0;
        return "";
    }
    char* end = nullptr;
    const float f = std::strtof(value.c_str(), &end);
    if (end == value.c_str() || !onlyBlanks(end) || !std::isfinite(f)) return "floating point value expected\n";
    m_pValue = f;
    return "";
}

std::string OGLIResourceInt::parse(const std::string& text)
{
    const std::string value = trimmed(text, std::string::npos);
    if (value.empty()) {
        m_pValue = 0;
        return "";
    }
    char* end = nullptr;
    errno = 0;
    const long i = std::strtol(value.c_str(), &end, 10);
    if (end == value.c_str() || !onlyBlanks(end) || errno == ERANGE || i < OGLIResourceInt::UNSET || i > 2147483647L)
        return "integer value expected\n";
    m_pValue = int(i);
    return "";
}

std::string OGLIResourceEnum::parse(const std::string& text)
{
    const std::string value = trimmed(text, MAX_VALUE);
    for (const auto& entry : m_pTable) {
        const bool same = m_pIgnoreCase ? strcasecmp(entry.second.c_str(), value.c_str()) == 0 : entry.second == value;
        if (same) {
            m_pValue = entry.first;
            return "";
        }
    }
    return format("%s is not a value of %s.%s\n", value.c_str(), branch().c_str(), name().c_str());
}

std::string OGLIResourceColor::parse(const std::string& text)
{
    const std::string value = trimmed(text, std::string::npos);
    if (value.empty()) {
        m_pValue = {1, 1, 1, 0};
        return "";
    }
    float channels[3] = {0, 0, 0};
    const char* p = value.c_str();
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        const float v = std::strtof(p, &end);
        if (end == p || !std::isfinite(v)) {
            if (i == 0) return "numerical value expected\n";
            break;  // the missing channels stay 0
        }
        // Values above 1 are on the 0 to 255 scale.
        channels[i] = v < 0 ? 0.0f : v <= 1 ? v : std::min(1.0f, std::trunc(v) / 255.0f);
        p = end;
    }
    m_pValue = {channels[0], channels[1], channels[2], 1};
    return "";
}

// [SECTION] Declarations

const OGLIResourceEnum::Table& oglBorderTable()
{
    static const OGLIResourceEnum::Table table = {
        {OGL_BORDER_NONE, "none"}, {OGL_BORDER_IN, "in"}, {OGL_BORDER_OUT, "out"},
        {OGL_BORDER_DARK, "dark"}, {OGL_BORDER_LIGHT, "light"}};
    return table;
}

bool oglDeclareBranch(const std::string& name, const std::string& parent)
{
    if (name.empty()) {
        declarationError("une branche n'a pas de nom");
        return false;
    }
    if (s_branches.count(name)) {
        declarationError("une branche a deja ete define");
        return false;
    }
    s_branches[name] = Branch{parent};
    return true;
}

bool oglDeclareResource(std::unique_ptr<OGLIResource> resource)
{
    if (!resource || resource->name().empty() || resource->branch().empty()) {
        declarationError("A resource must have a name and a branch name\n");
        return false;
    }
    auto& slot = s_resources[{resource->branch(), resource->name()}];
    if (slot) {
        declarationError(format("resource %s declared twice for branch %s\n", resource->name().c_str(),
                                resource->branch().c_str()));
        return false;
    }
    bool ok = true;
    if (resource->kind() == OGLIResource::ENUM && static_cast<OGLIResourceEnum&>(*resource).table().empty()) {
        declarationError(format("You forgot to give and enumeration for resource %s.%s", resource->branch().c_str(),
                                resource->name().c_str()));
        ok = false;
    }
    slot = std::move(resource);
    return ok;
}

bool oglCheckResourceDeclarations()
{
    bool ok = true;
    for (const auto& branch : s_branches) {
        if (!branch.second.parent.empty() && !s_branches.count(branch.second.parent)) {
            declarationError(format("%s branch from which %s inherits was never declared\n",
                                    branch.second.parent.c_str(), branch.first.c_str()));
            ok = false;
        }
    }
    std::string reported;
    for (const auto& entry : s_resources) {
        const std::string& branch = entry.first.first;
        if (!s_branches.count(branch) && branch != reported) {
            declarationError(format("resource branch %s has resources but was never declared\n", branch.c_str()));
            reported = branch;
            ok = false;
        }
    }
    return ok;
}

void oglClearResources()
{
    s_branches.clear();
    s_resources.clear();
}

// [SECTION] The resource file

namespace {

// Prints the file's warnings, naming the file before the first one.
class WarningPrinter {
public:
    explicit WarningPrinter(const std::string& fileName) : m_pFile(fileName) {}
    void warn(int line, const std::string& message)
    {
        if (!m_pWarned) std::printf("FILE %s\n", m_pFile.c_str());
        m_pWarned = true;
        std::printf("%4d: WARNING: %s", line, message.c_str());
    }
    void finish() const
    {
        if (m_pWarned) std::printf("END\n");
    }

private:
    std::string m_pFile;
    bool m_pWarned = false;
};

void readLine(const std::string& line, int number, WarningPrinter& printer)
{
    size_t p = 0;
    while (p < line.size() && isBlank(line[p])) ++p;
    if (p == line.size() || line[p] == '#') return;

    size_t end = p;
    while (end < line.size() && line[end] != '.' && !isBlank(line[end])) ++end;
    const std::string branch = line.substr(p, end - p);
    if (branch.size() > MAX_NAME) {
        printer.warn(number, format("no more than 255 characters allowed per class (%s)\n", branch.c_str()));
        return;
    }
    if (end == line.size() || line[end] != '.') {
        printer.warn(number, format("no ressource qualifier after object %s\n", branch.c_str()));
        return;
    }
    if (!s_branches.count(branch)) return;

    p = end + 1;
    end = p;
    while (end < line.size() && !isBlank(line[end]) && line[end] != '!' && line[end] != '.') ++end;
    const std::string name = line.substr(p, end - p);
    if (name.size() > MAX_NAME) {
        printer.warn(number, format("no more than 255 characters allowed per property (%s)\n", name.c_str()));
        return;
    }
    const auto it = s_resources.find({branch, name});
    if (it == s_resources.end()) {
        printer.warn(number, format("%s is not a resource of %s\n", name.c_str(), branch.c_str()));
        return;
    }

    p = end;
    while (p < line.size() && isBlank(line[p])) ++p;
    if (p < line.size() && line[p] == '!') {
        it->second->unset();
        return;
    }
    const std::string warning = it->second->parse(line.substr(p));
    if (!warning.empty()) printer.warn(number, warning);
}

} // namespace

bool loadResourceFile(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        std::printf("WARNING: resource file %s cannot be opened\n", fileName.c_str());
        return false;
    }
    WarningPrinter printer(fileName);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) readLine(line, number, printer);
    printer.finish();
    return true;
}

// [SECTION] Reading values

OGLIResource* oglFindResource(const std::string& branch, const std::string& name)
{
    const auto it = s_resources.find({branch, name});
    return it == s_resources.end() ? nullptr : it->second.get();
}

OGLColor oglColorResource(const std::string& branch, const std::string& name)
{
    const OGLIResource* r = inherited(branch, name, OGLIResource::COLOR);
    return r ? static_cast<const OGLIResourceColor*>(r)->value() : OGLColor{};
}

float oglFloatResource(const std::string& branch, const std::string& name)
{
    const OGLIResource* r = inherited(branch, name, OGLIResource::FLOAT);
    return r ? static_cast<const OGLIResourceFloat*>(r)->value() : 0.0f;
}

int oglIntResource(const std::string& branch, const std::string& name)
{
    const OGLIResource* r = inherited(branch, name, OGLIResource::INT);
    return r ? static_cast<const OGLIResourceInt*>(r)->value() : 0;
}

int oglEnumResource(const std::string& branch, const std::string& name)
{
    const OGLIResource* r = inherited(branch, name, OGLIResource::ENUM);
    return r ? static_cast<const OGLIResourceEnum*>(r)->value() : 0;
}

const OGLIResourceTexture* oglTextureResource(const std::string& branch, const std::string& name)
{
    return static_cast<const OGLIResourceTexture*>(inherited(branch, name, OGLIResource::TEXTURE));
}
