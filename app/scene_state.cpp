#include "app/scene_state.h"
#include "grass/grass_field.h"
#include "util/number.h"

namespace scene {

GrassField& grassField()
{
    static GrassField field;
    return field;
}

bool animation;
float animation_dt;
bool update_grass_drawing;
bool refreshGrassOnce;
bool draw_ground;
bool draw_grass;
bool draw_grass_nodes;
bool draw_grass_density;
bool draw_trees;
bool draw_gust;
bool draw_sky;
bool draw_wire;
bool showGrassTexture2D;
bool showGrassTexture2D5;

void resetSceneState()
{
    animation = false;
    animation_dt = 0.05f;
    update_grass_drawing = true;
    refreshGrassOnce = false;
    draw_ground = true;
    draw_grass = false;
    draw_grass_nodes = false;
    draw_grass_density = false;
    draw_trees = false;
    draw_gust = false;
    draw_sky = false;
    draw_wire = false;
    showGrassTexture2D = false;
    showGrassTexture2D5 = false;
}

namespace {
// Static initialisation of the defaults, before main and before any test.
[[maybe_unused]] const bool initialised = (resetSceneState(), true);
}

void setUpdateGrassDrawing(bool on)
{
    update_grass_drawing = on;
    refreshGrassOnce = !on;
}

// Bounded: the step multiplies the rock's speed, and a negative one would run
// the wind's date backwards, which the gusts' lives refuse.
void setAnimationDt(float dt) { animation_dt = util::bounded(dt, 0, util::SETTING_BOUND); }

bool takeGrassViewUpdate()
{
    if (update_grass_drawing) return true;
    const bool due = refreshGrassOnce;
    refreshGrassOnce = false;
    return due;
}

} // namespace scene
