#pragma once
/// Inspection drawings of the grass field that need no texture. Both need a
/// current GL context and restore the enable state they change.
#include "grass/grass_field.h"

/// One quad per patch at the highest ground around it, green by its density.
void drawDensity(const GrassField& field);
