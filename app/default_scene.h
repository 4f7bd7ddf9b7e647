#pragma once

/// Builds the scene the program starts with, before any scene file: the
/// ground, the wind, the grass, ten trees and the rock, from the run folder's
/// pictures and tree file (the working folder). Draws from the process-wide
/// generator for the tree places. Makes no GL call: textures are made at the
/// modules' next draw.
void buildDefaultScene();
