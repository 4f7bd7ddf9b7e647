#pragma once
/// The wind's element of the scene file.
#include <libxml/tree.h>

/// Appends a "wind" element with the current area, drawing height and
/// settings as the last child of `parent`.
void writeWindSection(xmlNodePtr parent);

/// Reads the first "wind" child of `element`, if any, and applies it: the wind
/// is re-initialised on the read area (every gust and blast deleted, date 0)
/// and the settings are set. Missing attributes keep the current values.
/// Returns false, changing nothing, when there is no "wind" child.
bool readWindSection(xmlNodePtr element);
