#include "forest/forest.h"
#include "forest/forest_state.h"
#include "forest/tree_panel.h"

#include "ground/ground.h"
#include "util/frame_clock.h"
#include "util/number.h"
#include "util/random.h"
#include "wind/wind.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

Forest& forestState()
{
    static Forest f;
    return f;
}

TreeParameters& treeParameters() { return forestState().parameters; }
const std::string& forestArbFile() { return forestState().arbFile; }
int forestTreeCount() { return forestState().count; }
Vec3 forestTreePosition(int i) { return forestState().positions[i]; }
uint32_t forestTreeSeed(int i) { return forestState().seeds[i]; }
float forestTreeDiameter(int i) { return forestState().diameters[i]; }
float forestTreeLength(int i) { return forestState().lengths[i]; }
void setEditedTree(int i) { forestState().editedTree = i; }
int forestPolygonCount() { return forestState().lastPolygons; }
int forestPolygonBudget() { return treeDetail().polygonBudget; }
void setForestPolygonBudget(int polygons) { treeDetail().polygonBudget = polygons; }
void setForestSteady(bool on) { treeDetail().steady = on; }

static uint32_t randomSeedValue() { return static_cast<uint32_t>(util::randomDraw()); }

/// A size that a tree can grow from: a file or a dialog may give any number.
// Bounded above too: the growth multiplies sizes together.
static float sanePositive(float v) { return std::isfinite(v) && v >= 0.02f ? std::min(v, util::SETTING_BOUND) : 0.02f; }

void initForest()
{
    Forest& f = forestState();
    f.animations[0] = TreeAnimation();
    f.parameters = defaultTreeParameters();
    f.parameters.seed = randomSeedValue();
    f.seeds[0] = f.parameters.seed;
    f.diameters[0] = f.parameters.diameter;
    f.lengths[0] = f.parameters.length;
    buildTreePanel("./ForestInterfaceData/ui.cfg");
    f.count = 0;
    f.editedTree = -1;
    f.sampled = false;
}

void releaseForest()
{
    releaseTreePanel();
    Forest& f = forestState();
    f.count = 0;
    f.editedTree = -1;
    f.sampled = false;
    f.texturePrefix.clear();
    f.texturesPending = false;
    for (unsigned int& name : f.leafTextures) name = 0;
    for (unsigned int& name : f.barkTextures) name = 0;
    f.mesh = TreeMesh();
}

void loadTreeTextures(const std::string& prefix)
{
    Forest& f = forestState();
    f.texturePrefix = prefix;
    f.texturesPending = true;
}

void loadArb(const std::string& fileName)
{
    Forest& f = forestState();
    f.arbFile = fileName;
    std::printf("chargement de %s\n", fileName.c_str());
    loadTreeParameters(f.parameters, fileName);
    takeTreeZeroFromParameters();
    if (TreePanel* panel = treePanel()) panel->refresh();
    randomizeTrees();
}

void randomizeTrees()
{
    forestState().seeds[0] = randomSeedValue();
    rerandomizeTrees(DRAW_ALL);
}

void rerandomizeTrees(int which)
{
    Forest& f = forestState();
    const float d0 = f.diameters[0], l0 = f.lengths[0];
    // 1024 steps over half of tree 0's size, from three quarters of it.
    const auto around = [](float size) { return size * (0.75f + float(util::randomDraw() % 1024) / 2048.0f); };
    for (int i = 1; i < f.count; ++i) {
        if (which & DRAW_DIAMETER) f.diameters[i] = around(d0);
        if (which & DRAW_LENGTH) f.lengths[i] = around(l0);
        if (which & DRAW_SEED) {
            f.seeds[i] = randomSeedValue();
            f.animations[i] = TreeAnimation();
        }
    }
}

void resetTreeSeeds()
{
    Forest& f = forestState();
    for (int i = 0; i < std::max(f.count, 1); ++i) f.seeds[i] = randomSeedValue();
    f.parameters.seed = f.seeds[0];
}

void setTreeZeroDiameter(float diameter)
{
    Forest& f = forestState();
    f.diameters[0] = f.parameters.diameter = sanePositive(diameter);
}

void setTreeZeroLength(float length)
{
    Forest& f = forestState();
    f.lengths[0] = f.parameters.length = sanePositive(length);
}

void giveTreeZeroToParameters()
{
    Forest& f = forestState();
    f.parameters.seed = f.seeds[0];
    f.parameters.diameter = f.diameters[0];
    f.parameters.length = f.lengths[0];
}

void takeTreeZeroFromParameters()
{
    Forest& f = forestState();
    f.seeds[0] = f.parameters.seed;
    setTreeZeroDiameter(f.parameters.diameter);
    setTreeZeroLength(f.parameters.length);
}

void setTrees(int count, const TreeRecord* records)
{
    Forest& f = forestState();
    count = records ? std::clamp(count, 0, MAX_TREES) : 0;
    const float d0 = f.diameters[0], l0 = f.lengths[0];
    for (int i = 0; i < count; ++i) {
        const TreeRecord& r = records[i];
        const float x = std::isfinite(r.position2d[0]) ? util::bounded(r.position2d[0]) : 0.0f;
        const float y = std::isfinite(r.position2d[1]) ? util::bounded(r.position2d[1]) : 0.0f;
        f.positions[i] = Vec3{x, y, groundHeight(x, y)};
        f.seeds[i] = static_cast<uint32_t>(r.seed);
        if (i == 0) continue;
        f.diameters[i] = sanePositive(d0 + r.relativeDiameter);
        f.lengths[i] = sanePositive(l0 + r.relativeLength);
        f.animations[i] = TreeAnimation();
        f.windStrength[i] = 0.0f;
        f.windDirection[i] = Vec3{};
    }
    f.count = count;
}

std::vector<TreeRecord> getTrees()
{
    const Forest& f = forestState();
    std::vector<TreeRecord> records(static_cast<size_t>(f.count));
    for (int i = 0; i < f.count; ++i) {
        TreeRecord& r = records[static_cast<size_t>(i)];
        r.position2d[0] = f.positions[i].x;
        r.position2d[1] = f.positions[i].y;
        r.seed = static_cast<int32_t>(f.seeds[i]);
        r.relativeDiameter = i == 0 ? 0.0f : f.diameters[i] - f.diameters[0];
        r.relativeLength = i == 0 ? 0.0f : f.lengths[i] - f.lengths[0];
    }
    return records;
}

/// The deepest level grown below `b`.
static int deepestLevel(const Branch& b)
{
    int deepest = b.level;
    for (int i = 0; i < b.childCount; ++i)
        if (b.children[i].grown()) deepest = std::max(deepest, deepestLevel(b.children[i]));
    return deepest;
}

static void extendBox(const Branch& b, Vec3 foot, float lo[3], float hi[3])
{
    for (Vec3 q : {b.position - foot, b.tip() - foot}) {
        const float v[3] = {q.x, q.y, q.z};
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], v[k]);
            hi[k] = std::max(hi[k], v[k]);
        }
    }
    for (int i = 0; i < b.childCount; ++i)
        if (b.children[i].grown()) extendBox(b.children[i], foot, lo, hi);
}

void computeSampleStatistics(int samples)
{
    Forest& f = forestState();
    if (samples <= 0) return;
    // Sample trees are grown in full detail, seen from far below, and must not
    // disturb the frame's settings and counts.
    const TreeDetail savedDetail = treeDetail();
    const TreeCounters savedCounters = treeCounters();
    treeDetail().lodThreshold = 0.0f;
    setTreeCamera(Vec3{0, 0, -1.0e4f}, Vec3{0, 0, 1});
    TreeParameters p = f.parameters;
    p.useLodLeaves = 0;
    float sumLo[3] = {0, 0, 0}, sumHi[3] = {0, 0, 0};
    float sumLevels = 0.0f;
    for (int s = 0; s < samples; ++s) {
        p.seed = randomSeedValue();
        const int source = f.count > 0 ? s % f.count : 0;
        p.diameter = f.diameters[source];
        p.length = f.lengths[source];
        const Tree t = growTree(p, Vec3{});
        float lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
        extendBox(*t.trunk, Vec3{}, lo, hi);
        for (int k = 0; k < 3; ++k) {
            sumLo[k] += lo[k];
            sumHi[k] += hi[k];
        }
        sumLevels += static_cast<float>(deepestLevel(*t.trunk));
    }
    for (int k = 0; k < 3; ++k) {
        f.parameters.sampleMin[k] = sumLo[k] / samples;
        f.parameters.sampleMax[k] = sumHi[k] / samples;
    }
    const float size = 2.0f * f.parameters.diameter + 16.0f * sumLevels / samples;
    f.parameters.sampleSize = static_cast<int32_t>(std::min(size, 255.0f));
    treeDetail() = savedDetail;
    treeCounters() = savedCounters;
}

void beginForestFrame(Vec3 cameraPosition, Vec3 cameraDirection)
{
    Forest& f = forestState();
    if (!f.sampled) {
        computeSampleStatistics(3);
        f.sampled = true;
    }
    setTreeCamera(cameraPosition, cameraDirection);
    regulateTreeDetail();
    if (f.costMeasured) f.cost = ForestCost();
}

Tree growForestTree(int i, double nowMilliseconds)
{
    Forest& f = forestState();
    TreeParameters& p = f.parameters;
    p.seed = f.seeds[i];
    p.diameter = f.diameters[i];
    p.length = f.lengths[i];
    Tree tree = growTree(p, f.positions[i]);

    float power = 0.0f, dx = 0.0f, dy = 0.0f;
    windGetInfluence(f.positions[i].x, f.positions[i].y, 0.0f, 0.0f, 0.0f, power, dx, dy);
    if (treeDetail().steady && f.animations[i].lastMilliseconds < 0.0) {
        // Steady crowns: a tree's first frame takes the wind as it is rather
        // than bending from still towards it over some sixty frames.
        f.windStrength[i] = 0.001f * power;
        f.windDirection[i] = Vec3{dx, dy, 0.0f};
    } else {
        f.windStrength[i] = 0.95f * f.windStrength[i] + 0.05f * (0.001f * power);
        f.windDirection[i] = f.windDirection[i] * 0.95f + Vec3{dx, dy, 0.0f} * 0.05f;
    }

    tree.edited = i == f.editedTree;
    // The edited tree stands still so that it can be shaped.
    if (!tree.edited)
        animateTree(tree, p, f.animations[i], f.windStrength[i], f.windDirection[i], nowMilliseconds);
    return tree;
}

namespace {

/// Adds the time since `start` to `wall` and `cpu`; `start` becomes now.
void lap(util::ProcessTime& start, double& wall, double& cpu)
{
    const util::ProcessTime now = util::ProcessTime::now();
    wall += now.wall - start.wall;
    cpu += now.cpu - start.cpu;
    start = now;
}

} // namespace

const TreeMesh& buildForestMesh(int i, double nowMilliseconds)
{
    Forest& f = forestState();
    const bool measured = f.costMeasured;
    util::ProcessTime start;
    if (measured) start = util::ProcessTime::now();
    const Tree tree = growForestTree(i, nowMilliseconds);
    if (measured) lap(start, f.cost.growthWall, f.cost.growthCpu);
    buildTreeMesh(tree, f.parameters, f.positions[i], f.mesh);
    if (measured) lap(start, f.cost.meshWall, f.cost.meshCpu);
    if (measured && f.parameters.leaveMode != 0)
        for (const std::vector<MeshVertex>& quads : f.mesh.leaves) f.cost.leafQuads += static_cast<long>(quads.size() / 4);
    return f.mesh;
}

void endForestFrame()
{
    Forest& f = forestState();
    f.lastPolygons = treeCounters().polygons;
    if (TreePanel* panel = treePanel()) panel->update(treeCounters().branches, f.lastPolygons, std::time(nullptr));
}

void measureForestCost(bool measured) { forestState().costMeasured = measured; }
const ForestCost& forestCost() { return forestState().cost; }
