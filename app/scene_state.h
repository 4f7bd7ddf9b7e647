#pragma once
/// The animation settings and display switches of the scene, shared by the
/// driver, the viewer and the scene file. One instance per process.

class GrassField;

namespace scene {

/// The scene's one grass field.
GrassField& grassField();


extern bool& animation;            ///< the simulation advances each frame
extern float& animation_dt;        ///< simulation step per frame, seconds
extern bool& update_grass_drawing; ///< the grass view follows the camera each frame
extern bool& refreshGrassOnce;     ///< one more grass view update is due
extern bool& draw_ground;
extern bool& draw_grass;
extern bool& draw_grass_nodes;     ///< grass node skeletons (inspection)
extern bool& draw_grass_density;   ///< grass density (inspection)
extern bool& draw_trees;
extern bool& draw_gust;            ///< outlines of the wind primitives
extern bool& draw_sky;
extern bool& draw_wire;            ///< wire-frame polygons; applied at the start of each frame
extern bool& showGrassTexture2D;   ///< grass 2D texture overlay, copied from the viewer each frame
extern bool& showGrassTexture2D5;  ///< grass 2.5D texture overlay, copied from the viewer each frame
extern bool& look;                 ///< the enhanced look: fog and shade, steady trees, blended grass levels

/// Back to the values the program starts with.
void resetSceneState();

/// Switches the per-frame grass view update; switching it off leaves one more update due.
void setUpdateGrassDrawing(bool on);

/// Sets `animation_dt`, kept within [0, util::SETTING_BOUND].
void setAnimationDt(float dt);

/// Whether this frame updates the grass view; consumes the one pending refresh.
bool takeGrassViewUpdate();

} // namespace scene
