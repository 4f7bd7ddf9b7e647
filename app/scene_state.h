#pragma once
/// The animation settings and display switches of the scene, shared by the
/// driver, the viewer and the scene file. One instance per process, read
/// through switches() and changed through the setters below.

class GrassField;

namespace scene {

/// The scene's one grass field.
GrassField& grassField();

/// The switches; the initial values are the ones the program starts with.
struct Switches {
    bool animation = false;            ///< the simulation advances each frame
    float animation_dt = 0.05f;        ///< simulation step per frame, seconds
    bool update_grass_drawing = true;  ///< the grass view follows the camera each frame
    bool refreshGrassOnce = false;     ///< one more grass view update is due
    bool draw_ground = true;
    bool draw_grass = false;
    bool draw_grass_nodes = false;     ///< grass node skeletons (inspection)
    bool draw_grass_density = false;   ///< grass density (inspection)
    bool draw_trees = false;
    bool draw_gust = false;            ///< outlines of the wind primitives
    bool draw_sky = false;
    bool draw_wire = false;            ///< wire-frame polygons; applied at the start of each frame
    bool showGrassTexture2D = false;   ///< grass 2D texture overlay, copied from the viewer each frame
    bool showGrassTexture2D5 = false;  ///< grass 2.5D texture overlay, copied from the viewer each frame
    bool look = false;                 ///< the enhanced look: fog and shade, steady trees, blended grass levels
};

/// The current switches.
const Switches& switches();

/// Sets one on/off switch, for example `setSwitch(&Switches::draw_sky, true)`.
/// update_grass_drawing goes through setUpdateGrassDrawing.
void setSwitch(bool Switches::*which, bool on);

/// Sets every switch as `values` has them, through the setters below.
void setSwitches(const Switches& values);

/// Back to the values the program starts with.
void resetSceneState();

/// Switches the per-frame grass view update; switching it off leaves one more update due.
void setUpdateGrassDrawing(bool on);

/// Sets `animation_dt`, kept within [0, util::SETTING_BOUND].
void setAnimationDt(float dt);

/// Whether this frame updates the grass view; consumes the one pending refresh.
bool takeGrassViewUpdate();

} // namespace scene
