// The forest's per-frame costs at 780 × 580 under the software renderer:
// growing, meshing and drawing one tree seen near and far, the default stand
// of ten trees from the start camera, and the polygon count the regulation
// settles on for several budgets. Counters: polygons and branches per tree.
#include "app/default_scene.h"
#include "forest/forest_draw.h"
#include "forest/tree_mesh.h"
#include "util/random.h"

#include <benchmark/benchmark.h>

#include "support/offscreen_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

const float START_EYE[3] = {15, 0, 10};
const float START_AT[3] = {15, 50, 0};

/// The 780 × 580 frame and the default forest, made once.
struct Scene {
    OffscreenGl gl{780, 580};

    Scene()
    {
        if (chdir(VELMORA_RUN_DIR) != 0) std::perror(VELMORA_RUN_DIR);
        util::randomSeed(1);
        buildDefaultScene();
    }
};

Scene& scene()
{
    // Never destroyed: at exit Qt's own globals are gone before ours.
    static Scene& s = *new Scene;
    return s;
}

void loadCamera(const float eye[3], const float at[3])
{
    glViewport(0, 0, 780, 580);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 780.0 / 580.0, 0.2, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], at[0], at[1], at[2], 0, 0, 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
}

void frameFrom(const float eye[3], const float at[3])
{
    loadCamera(eye, at);
    const float dir[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
    drawForest(eye, dir);
}

/// One tree (tree 0 alone) grown, meshed and drawn from `range` metres.
void BM_OneTree(benchmark::State& state)
{
    scene();
    const Vec3 foot = forestTreePosition(0);
    const float range = static_cast<float>(state.range(0));
    const float eye[3] = {foot.x - range, foot.y, foot.z + 5};
    const float at[3] = {foot.x, foot.y, foot.z + 5};
    std::vector<TreeRecord> all = getTrees();
    setTrees(1, all.data());
    for (int i = 0; i < 30; ++i) frameFrom(eye, at); // let the regulation settle
    glFinish();
    int polygons = 0, branches = 0;
    for (auto _ : state) {
        frameFrom(eye, at);
        glFinish();
        polygons = forestPolygonCount();
        branches = treeCounters().branches;
    }
    setTrees(static_cast<int>(all.size()), all.data());
    state.counters["polygons"] = polygons;
    state.counters["branches"] = branches;
}
BENCHMARK(BM_OneTree)->Arg(15)->Arg(80)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The default stand from the start camera; time and polygons per tree.
void BM_DefaultForest(benchmark::State& state)
{
    scene();
    setForestPolygonBudget(10000);
    for (int i = 0; i < 30; ++i) frameFrom(START_EYE, START_AT);
    glFinish(); // the queued frames must not count in the first timed one
    int polygons = 0;
    for (auto _ : state) {
        frameFrom(START_EYE, START_AT);
        glFinish();
        polygons = forestPolygonCount();
    }
    const int trees = forestTreeCount();
    // Seconds per tree, shown with an SI prefix ("3.1m" is 3.1 ms).
    state.counters["s_per_tree"] = benchmark::Counter(
        trees, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["polygons_per_tree"] = static_cast<double>(polygons) / trees;
}
BENCHMARK(BM_DefaultForest)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The polygon count the regulation settles on for a budget.
void BM_RegulatedPolygons(benchmark::State& state)
{
    scene();
    setForestPolygonBudget(static_cast<int>(state.range(0)));
    for (int i = 0; i < 100; ++i) frameFrom(START_EYE, START_AT);
    glFinish();
    int polygons = 0;
    for (auto _ : state) {
        frameFrom(START_EYE, START_AT);
        glFinish();
        polygons = forestPolygonCount();
    }
    state.counters["polygons"] = polygons;
    setForestPolygonBudget(10000);
}
BENCHMARK(BM_RegulatedPolygons)->Arg(5000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
