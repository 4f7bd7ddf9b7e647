#pragma once
/// Attributes of scene-file elements, written and read the same way by every
/// section: numbers through util/number.h and util/text.h.
#include <libxml/tree.h>

#include <initializer_list>
#include <string>
#include <variant>

namespace util {

/// Whether `node` is an element called `name`.
bool isElement(xmlNodePtr node, const char* name);

/// A section of a scene file: `element` itself when it is called `name`,
/// otherwise its first child called so; null when neither.
xmlNodePtr findSection(xmlNodePtr element, const char* name);

/// The attribute's text, "" when absent; `present`, when given, says which.
std::string attributeText(xmlNodePtr element, const char* name, bool* present = nullptr);

/// Adds the attribute `name` with `text` to `element`.
void setAttribute(xmlNodePtr element, const char* name, const std::string& text);

/// Adds the attribute `name`: `count` numbers with `decimals` decimals, blank-separated.
void writeFloats(xmlNodePtr element, const char* name, const float* values, int count, int decimals = 6);

/// Reads up to `count` blank-separated numbers of the attribute `name` into
/// out[0], out[1], …; returns how many were found. A number that does not
/// parse reads as 0; one that is not finite in a float keeps its value and
/// is reported (util/number.h).
int readFloats(xmlNodePtr element, const char* name, float* out, int count);

/// `count` blank-separated numbers in one attribute.
struct FloatList {
    float* values;
    int count;
};

/// An integer kept within [low, high].
struct IntRange {
    int* value;
    int low, high;
};

/// One attribute a section reads, and where its value goes: a number or
/// several (read as readFloat, readInt and readFloats of util/number.h read
/// them), a switch (only the text "true" is true) or the text itself.
struct Attribute {
    const char* name;
    std::variant<float*, int*, IntRange, FloatList, bool*, std::string*> value;
};

/// Reads each of `attributes` that `element` has, in the element's order; an
/// absent one keeps its value.
void readAttributes(xmlNodePtr element, std::initializer_list<Attribute> attributes);

} // namespace util
