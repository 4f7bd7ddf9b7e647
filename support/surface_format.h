#pragma once
/// The GL surface every window and context of the program asks for.
#include <QSurfaceFormat>

/// A compatibility-profile 2.1 context (the drawing is immediate mode) with a
/// depth buffer; without vsync, frames are not held to the display's rate.
QSurfaceFormat compatibilityFormat(bool vsync = true);
