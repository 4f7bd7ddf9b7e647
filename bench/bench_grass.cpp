// The grass's per-frame simulation costs: one crushing step while the rock
// rolls across the field, and the wind bend of one node with its wind query.
#include "grass/grass_animation.h"
#include "grass/grass_field.h"
#include "grass/rock_record.h"
#include "ground/ground.h"
#include "wind/wind.h"

#include <benchmark/benchmark.h>

namespace {

const float AREA[4] = {0, 0, 100, 100};
constexpr float DT = 0.05f;      // the animation step
constexpr float ROCK_STEP = 0.05f; // metres per frame at speed 1 with a unit velocity

/// The default field: 60 x 60 patches over a flat 100 m ground.
void buildField(GrassField& field)
{
    createGround(AREA, 0, 400, nullptr, nullptr, 1);
    field.initField(AREA, 60, 60, nullptr);
}

/// Moves the rock one frame along y = 50.3, wrapping from x = 100 back to x = 0.
void rollRock(RockRecord& rock)
{
    float p[3] = {rock.currentPosition[0] + ROCK_STEP, 50.3f, 0};
    if (p[0] > 100) p[0] -= 100;
    moveRockRecord(rock, p, p[0] > rock.currentPosition[0]);
}

void BM_UpdateCrushingRockCrossing(benchmark::State& state)
{
    GrassField field;
    buildField(field);
    RockRecord rock;
    const float start[3] = {0, 50.3f, 0};
    placeRockRecord(rock, start);

    // One untimed crossing: how many points a step touches (their timers restart),
    // and how many are recovering once the trail has built up.
    const int steps = static_cast<int>(100 / ROCK_STEP);
    double touched = 0;
    for (int s = 0; s < steps; ++s) {
        rollRock(rock);
        field.updateCrushing(DT, &rock, 1);
        for (const CrushPoint& c : field.getCrushPoints()) touched += c.crushed && c.remainingTime == c.totalTime;
    }
    int recovering = 0;
    for (const CrushPoint& c : field.getCrushPoints()) recovering += c.crushed;

    for (auto _ : state) {
        rollRock(rock);
        field.updateCrushing(DT, &rock, 1);
    }
    state.counters["touched_per_step"] = touched / steps;
    state.counters["recovering"] = recovering;
    state.counters["crush_points"] = static_cast<double>(field.getCrushPoints().size());
}
BENCHMARK(BM_UpdateCrushingRockCrossing);

/// Wind bend of every node in turn, with the breeze and one gust and one blast alive.
void BM_WindSkeletonPerNode(benchmark::State& state)
{
    GrassField field;
    buildField(field);
    windInit(AREA, 0);
    windAddGust(50, 25);
    windAddBlast(12);
    for (int frame = 0; frame < 40; ++frame) windUpdate(DT);

    size_t k = 0;
    for (auto _ : state) {
        windSkeleton(field.getNodes()[k]);
        benchmark::DoNotOptimize(field.getNodes()[k].skeleton);
        if (++k == field.getNodes().size()) k = 0;
    }
}
BENCHMARK(BM_WindSkeletonPerNode);

} // namespace

BENCHMARK_MAIN();
