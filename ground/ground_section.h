#pragma once
/// The "ground" element of the scene file.
#include <libxml/tree.h>

/// Appends a "ground" element describing the current ground to `parent` and
/// returns it. The area is written from the origin: 0 0 sizeX sizeY.
xmlNodePtr writeGroundSection(xmlNodePtr parent);

/// Reads the "ground" element (`element` itself, or else its first child
/// element named "ground") over the current parameters and rebuilds the
/// ground. False, with nothing changed, when there is no such element.
bool readGroundSection(xmlNodePtr element);
