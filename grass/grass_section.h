#pragma once
/// The "grass" element of the scene file: every grass parameter as one
/// attribute, written from and applied to the field.
#include <libxml/tree.h>

#include "grass/grass_field.h"

/// Appends a "grass" element with the field's current parameters to `parent`
/// and returns it.
xmlNodePtr writeGrassSection(const GrassField& field, xmlNodePtr parent);
/// Applies the first "grass" child element of `parent` (or `parent` itself
/// when it is one): absent attributes keep their current values, then the
/// field is rebuilt with the result. False, changing nothing, without one.
bool readGrassSection(GrassField& field, xmlNodePtr parent);
