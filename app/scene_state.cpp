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

Switches current;

} // namespace

const Switches& switches() { return current; }

void setSwitch(bool Switches::*which, bool on) { current.*which = on; }

void setSwitches(const Switches& values)
{
    current = values;
    setAnimationDt(values.animation_dt);
    setUpdateGrassDrawing(values.update_grass_drawing);
}

void resetSceneState() { current = Switches{}; }

void setUpdateGrassDrawing(bool on)
{
    current.update_grass_drawing = on;
    current.refreshGrassOnce = !on;
}

// Bounded: the step multiplies the rock's speed, and a negative one would run
// the wind's date backwards, which the gusts' lives refuse.
void setAnimationDt(float dt) { current.animation_dt = util::bounded(dt, 0, util::SETTING_BOUND); }

bool takeGrassViewUpdate()
{
    if (current.update_grass_drawing) return true;
    const bool due = current.refreshGrassOnce;
    current.refreshGrassOnce = false;
    return due;
}

} // namespace scene
