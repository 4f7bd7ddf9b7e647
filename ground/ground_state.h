#pragma once
/// The ground module's own access to its state (not for other modules).
#include "ground/ground.h"

/// The one ground, writable.
Ground& groundState();

/// Clears the model side (vertices, pixels, parameters) back to a new ground.
/// The GL objects must already be gone.
void clearGroundModel();
