#pragma once
/// The "forest" element of the scene file.
#include <libxml/tree.h>

/// Appends a "forest" element (the parameter file name and one "tree" child
/// per tree) to `parent` and returns it.
xmlNodePtr writeForestSection(xmlNodePtr parent);

/// Reads the "forest" element (`element` itself, or else its first child
/// element named "forest"): loads its parameter file and places its trees.
/// False, with nothing changed, when there is no such element.
bool readForestSection(xmlNodePtr element);
