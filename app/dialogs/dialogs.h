#pragma once

class MyVelmoraQTDriver;
class FormScene;
class FormGrass;
class FormTrees;
class FormGround;
class FormWind;

/// Creates the five parameter dialogs, connects every control to its driver
/// slot and the driver's setQT signals back to the controls, fills the grass
/// texture size list, places the dialogs and shows them. Call once, after the
/// driver exists and before the viewer is shown.
void assembleDialogs(MyVelmoraQTDriver* driver);

/// Deletes the dialogs in the exit order (scene, grass, ground, trees, wind);
/// safe to call when they were never assembled.
void deleteDialogs();

/// The dialogs while assembled, null otherwise. The dialogs own their controls.
FormScene* sceneDialog();
FormGrass* grassDialog();
FormTrees* treesDialog();
FormGround* groundDialog();
FormWind* windDialog();
