#include "app/rock.h"
#include "ground/ground.h"
#include "util/number.h"
#include <cmath>

namespace rock {

namespace {

RockState rockState;
RockRecord rockRecord;

// Adds one key's direction W with its sign, then saturates each component of
// v at W's, so repeated presses of one key never exceed its direction.
void applyKey(float v[2], const float w[2], float sign)
{
    for (int k = 0; k < 2; ++k) {
        v[k] += sign * w[k];
        if (std::fabs(v[k]) > std::fabs(w[k])) v[k] = sign * w[k];
    }
}

} // namespace

void resetRock()
{
    rockState = RockState{};
    rockRecord = RockRecord{};
}

const RockState& state() { return rockState; }
RockRecord& record() { return rockRecord; }

void placeRock(float x, float y)
{
    float* p = rockState.rockPosition;
    p[0] = x;
    p[1] = y;
    p[2] = groundHeight(x, y);
    placeRockRecord(rockRecord, p);
}

void pressKey(Key key)
{
    switch (key) {
    case Key::Forward: rockState.keyForward = true; break;
    case Key::Backward: rockState.keyBackward = true; break;
    case Key::Left: rockState.keyLeft = true; break;
    case Key::Right: rockState.keyRight = true; break;
    }
}

void setVelocity(float vx, float vy)
{
    rockState.rockVelocity[0] = vx;
    rockState.rockVelocity[1] = vy;
}

// Bounded where the crushing squares distances and the step multiplies them.
void setSpeed(float speed) { rockState.rockSpeed = util::bounded(speed); }
void setSize(float size) { rockState.rockSize = util::bounded(size); }
void setDirect(bool direct) { rockState.direct = direct; }
void setBound(bool bound) { rockState.bound = bound; }
void setCrushingPower(float v) { rockRecord.crushingPower = util::bounded(v); }
void setCrushingPowerExp(float v) { rockRecord.crushingPowerExp = util::bounded(v); }
void setCrushingMysteryParameter(float v) { rockRecord.crushingMysteryParameter = util::bounded(v); }
void setCrushingPropagation(float v) { rockRecord.crushingPropagation = v; }

void stepRock(const float viewDirection[3], float step)
{
    RockState& s = rockState;
    float* v = s.rockVelocity;
    float* p = s.rockPosition;

    if (!s.direct) {
        s.autoClock += step;
        const double t = s.autoClock;
        const float sx = v[0] < 0 ? -1.0f : 1.0f;
        const float sy = v[1] < 0 ? -1.0f : 1.0f;
        v[0] = sx * static_cast<float>(0.5 * std::cos(0.01 * t) + 0.5 * std::cos(0.03 * t));
        v[1] = sy * static_cast<float>(0.5 * std::cos(0.015 * t) + 0.5 * std::cos(0.02 * t));
    } else {
        const float forward[2] = {viewDirection[0], viewDirection[1]};
        const float side[2] = {viewDirection[1], -viewDirection[0]};
        if (s.keyForward) applyKey(v, forward, 1.0f);
        if (s.keyBackward) applyKey(v, forward, -1.0f);
        if (s.keyLeft) applyKey(v, side, -1.0f);
        if (s.keyRight) applyKey(v, side, 1.0f);
        s.keyForward = s.keyBackward = s.keyLeft = s.keyRight = false;
    }

    for (int k = 0; k < 2; ++k)
        if (std::fabs(v[k]) < 0.05f) v[k] = 0;

    const float dx = v[0] * step;
    const float dy = v[1] * step;
    p[0] += dx;
    p[1] += dy;
    // A zero radius would make the angle infinite for good, and the rock
    // would vanish from the drawing even after it got its size back.
    // Kept to one turn, in double: a tiny radius must not overflow the angle.
    if (s.rockSize > 0)
        s.rollAngle = float(std::fmod(s.rollAngle + (std::fabs(dx) + std::fabs(dy)) * 57.3 / s.rockSize, 360.0));

    // The first two tests deliberately use the point with the other coordinate 0.
    if (!isOnGround(p[0], 0)) {
        v[0] = -v[0];
        p[0] -= dx;
    }
    if (!isOnGround(0, p[1])) {
        v[1] = -v[1];
        p[1] -= dy;
    }
    if (!isOnGround(p[0], p[1])) {
        p[0] = groundX0() + 0.5f * groundSizeX();
        p[1] = groundY0() + 0.5f * groundSizeY();
    }

    if (!s.bound) {
        p[2] = groundHeight(p[0], p[1]);
        moveRockRecord(rockRecord, p, true);
    } else {
        p[2] += s.verticalSpeed;
        s.verticalSpeed -= 0.75f * step;
        const float h = groundHeight(p[0], p[1]);
        moveRockRecord(rockRecord, p, true);
        if (p[2] <= h) {
            s.verticalSpeed = 1.0f;
            p[2] = h;
        }
    }
}

} // namespace rock
