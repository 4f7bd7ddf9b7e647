#include "app/scene_state.h"
#include "grass/grass_field.h"
#include "util/number.h"

namespace scene {

GrassField& grassField()
{
    static GrassField field;
    return field;
}

namespace {

// The values the program starts with; resetSceneState returns to them.
struct Switches {
    bool animation = false;
    float animation_dt = 0.05f;
    bool update_grass_drawing = true;
    bool refreshGrassOnce = false;
    bool draw_ground = true;
    bool draw_grass = false;
    bool draw_grass_nodes = false;
    bool draw_grass_density = false;
    bool draw_trees = false;
    bool draw_gust = false;
    bool draw_sky = false;
    bool draw_wire = false;
    bool showGrassTexture2D = false;
    bool showGrassTexture2D5 = false;
    bool look = false;
};

Switches current;

} // namespace

bool& animation = current.animation;
float& animation_dt = current.animation_dt;
bool& update_grass_drawing = current.update_grass_drawing;
bool& refreshGrassOnce = current.refreshGrassOnce;
bool& draw_ground = current.draw_ground;
bool& draw_grass = current.draw_grass;
bool& draw_grass_nodes = current.draw_grass_nodes;
bool& draw_grass_density = current.draw_grass_density;
bool& draw_trees = current.draw_trees;
bool& draw_gust = current.draw_gust;
bool& draw_sky = current.draw_sky;
bool& draw_wire = current.draw_wire;
bool& showGrassTexture2D = current.showGrassTexture2D;
bool& showGrassTexture2D5 = current.showGrassTexture2D5;
bool& look = current.look;

void resetSceneState() { current = Switches{}; }

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
