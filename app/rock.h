#pragma once
/// The rock: a sphere that rolls over the ground, steered by the arrow keys
/// relative to the camera ("direct" mode) or wandering on its own, and that
/// hands the segment it travelled to the grass through its RockRecord.
/// One rock per process, reached through these functions.
#include "grass/rock_record.h"

namespace rock {

/// The rock's state; read it through state(), change it through the functions below.
struct RockState {
    float rockPosition[3] = {0, 0, 0};  ///< x, y, z; z is the ground height or the bouncing height
    float rockVelocity[2] = {0, 0};     ///< ground units per unit of step
    float rollAngle = 0;                ///< accumulated rolling angle, degrees
    float verticalSpeed = 0;            ///< used only when bound is on
    double autoClock = 0;               ///< clock of the automatic course
    float rockSpeed = 1.0f;             ///< multiplies the simulation step
    float rockSize = 1.0f;              ///< sphere radius, metres
    bool direct = true;                 ///< steered by the arrow keys; false = automatic course
    bool bound = false;                 ///< bounce instead of following the ground
    bool keyForward = false, keyBackward = false, keyLeft = false, keyRight = false;  ///< pending arrow-key commands
};

/// An arrow key; the viewer's Up is Forward, Down is Backward.
enum class Key { Forward, Backward, Left, Right };

/// Back to the start values (rock at the origin, record parameters at their defaults).
void resetRock();
/// The current state.
const RockState& state();
/// The record the grass crushes along.
RockRecord& record();

/// Puts the rock at (x, y) on the ground and restarts the crushed segment there.
void placeRock(float x, float y);
/// Leaves a key command pending until the next step in direct mode.
void pressKey(Key key);
/// Replaces the velocity (scene set-up and tests).
void setVelocity(float vx, float vy);

void setSpeed(float speed);     ///< rockSpeed
void setSize(float size);       ///< rockSize
void setDirect(bool direct);    ///< direct
void setBound(bool bound);      ///< bound
void setCrushingPower(float v);              ///< record field crushingPower
void setCrushingPowerExp(float v);           ///< record field crushingPowerExp
void setCrushingMysteryParameter(float v);   ///< record field crushingMysteryParameter
void setCrushingPropagation(float v);        ///< record field crushingPropagation

/// One movement step. viewDirection is the camera's unit viewing direction;
/// step = rockSpeed × animation_dt.
void stepRock(const float viewDirection[3], float step);

/// Draws the sphere, sunk by a tenth of its radius; needs a current GL context.
void drawRock();

} // namespace rock
