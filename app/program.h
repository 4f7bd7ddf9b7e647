#pragma once
/// The end of the program, shared by start-up and the tests that open the
/// windows as start-up does.

/// The end of a run, in the exit order: the dialogs, the scene's display lists
/// and textures (with the viewer's context current), the driver, the viewer.
void closeProgram();
