#include <cmath>

#include "grass/grass_field.h"

namespace {

float dot3(const float a[3], const float b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

float distance3(const float a[3], const float b[3])
{
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return std::sqrt(dot3(d, d));
}

/// Foot of `x` on the line through `p` along `pq` (|pq| > 0).
void footOnLine(const float x[3], const float p[3], const float pq[3], float foot[3])
{
    const float xp[3] = {x[0] - p[0], x[1] - p[1], x[2] - p[2]};
    const float t = dot3(xp, pq) / dot3(pq, pq);
    for (int k = 0; k < 3; ++k) foot[k] = p[k] + pq[k] * t;
}

float sign(float v)
{
    return static_cast<float>((v > 0) - (v < 0));
}

} // namespace

void GrassField::updateCrushing(float dt, RockRecord* rocks, int rockCount)
{
    for (CrushPoint& c : crushPoints) {
        if (!c.exists || !c.crushed) continue;
        c.remainingTime -= dt;
        if (c.remainingTime < 0) {
            c.remainingTime = 0;
            c.crushed = 0;
        }
        // A zero recovery time (crushingMaxTime 0) or a finished recovery ends
        // at amount 0, rather than 0/0 or 0^0 reaching the skeletons.
        const float ratio = c.totalTime > 0 ? c.remainingTime / c.totalTime : 0;
        c.amount = ratio > 0 ? c.initialAmount * std::pow(ratio, settings.crushingDamping) : 0;
    }

    for (int r = 0; r < rockCount; ++r) {
        RockRecord& rock = rocks[r];
        float* prev = rock.previousPosition;
        const float* cur = rock.currentPosition;
        if (prev[0] == cur[0] && prev[1] == cur[1] && prev[2] == cur[2]) continue;

        // The cell index truncates toward zero; comparing before converting
        // keeps far-off positions from overflowing the integer.
        const float cellX = (prev[0] - area[0]) / (0.5f * patchSizeX);
        const float cellY = (prev[1] - area[1]) / (0.5f * patchSizeY);
        if (cellX > -1 && cellX < 2 * patchesX && cellY > -1 && cellY < 2 * patchesY) {
            const int ci = static_cast<int>(cellX);
            const int cj = static_cast<int>(cellY);
            float direction[2] = {cur[0] - prev[0], cur[1] - prev[1]};
            const float length = std::hypot(direction[0], direction[1]);
            if (length > 0) {
                direction[0] /= length;
                direction[1] /= length;
            }
            const float side[2] = {direction[1], -direction[0]};
            const float from[3] = {prev[0], prev[1], prev[2]};
            crushAt(ci, cj, -1, 0, 0, -1, from, cur, direction, side, rock);
            crushAt(ci + 1, cj, +1, 0, 0, -1, from, cur, direction, side, rock);
            crushAt(ci, cj + 1, -1, 0, 0, +1, from, cur, direction, side, rock);
            crushAt(ci + 1, cj + 1, +1, 0, 0, +1, from, cur, direction, side, rock);
        }
        // Also when the rock was off the grass: otherwise, once it has left, it
        // would never crush again when it comes back.
        for (int k = 0; k < 3; ++k) prev[k] = cur[k];
    }
}

void GrassField::crushAt(int i, int j, int sx, int sy, int tx, int ty, const float from[3], const float to[3],
                         const float direction[2], const float side[2], const RockRecord& rock)
{
    // Walks the row from (i, j) along (sx, sy) away from the path, then, from
    // every row point strong enough to spread, the column along (tx, ty);
    // columns go from the row's far end back, as a depth-first recursion would.
    // Each walk stops after the first point not above the threshold.
    auto inGrid = [this](int a, int b) { return a >= 0 && a <= 2 * patchesX && b >= 0 && b <= 2 * patchesY; };
    const float threshold = rock.crushingPropagation;

    int spreading = 0;
    for (int a = i, b = j; inGrid(a, b); a += sx, b += sy) {
        if (!(crushOne(crushPoint(a, b), from, to, direction, side, rock) > threshold)) break;
        ++spreading;
    }
    for (int n = spreading - 1; n >= 0; --n) {
        for (int a = i + n * sx + tx, b = j + n * sy + ty; inGrid(a, b); a += tx, b += ty) {
            if (!(crushOne(crushPoint(a, b), from, to, direction, side, rock) > threshold)) break;
        }
    }
}

float GrassField::crushOne(CrushPoint& point, const float from[3], const float to[3], const float direction[2],
                           const float side[2], const RockRecord& rock)
{
    const float path[3] = {to[0] - from[0], to[1] - from[1], to[2] - from[2]};
    float x[3] = {point.x, point.y, point.z};
    float foot[3];
    footOnLine(x, from, path, foot);
    float dist = distance3(x, foot);
    const float spread = std::fmin(1.0f, rock.crushingMysteryParameter * dist);

    // Strength: how close the point is to the segment, falling off with the
    // square of its distance to the path line.
    float strength = 0;
    if (dist == 0) {
        // On the line: judge it from a point just beside it.
        x[1] += 0.01f;
        footOnLine(x, from, path, foot);
        dist = distance3(x, foot);
    }
    if (dist != 0) {
        const float r1 = distance3(from, foot) / distance3(from, x);
        const float r2 = distance3(to, foot) / distance3(to, x);
        const float e = dot3(foot, path);
        if (e > dot3(to, path))
            strength = (r1 - r2) / 2;
        else if (e < dot3(from, path))
            strength = (r2 - r1) / 2;
        else
            strength = (r1 + r2) / 2;
        strength /= dist * dist;
    }

    if (point.exists) {
        point.crushed = 1;
        // A point pushed hard keeps its direction against a push the other way.
        if (point.amount <= 100 || point.dirX * direction[0] + point.dirY * direction[1] >= 0) {
            const float kept = point.initialAmount != 0 ? point.amount / point.initialAmount : 0;
            point.dirX = kept * point.dirX + (1 - spread) * strength * direction[0];
            point.dirY = kept * point.dirY + (1 - spread) * strength * direction[1];
            const float s = sign((point.x - from[0]) * side[0] + (point.y - from[1]) * side[1]);
            point.dirX += s * spread * strength * side[0];
            point.dirY += s * spread * strength * side[1];
        }
        point.amount += rock.crushingPower * strength;
        point.initialAmount = point.amount;
        point.totalTime = point.remainingTime = (point.amount * 0.0001f + 0.75f) * settings.crushingMaxTime;
    }
    return strength;
}
