// The driver's slots and signals and the simulation half of the frame; the
// GL half (scene set-up, drawing, sky) is in driver_draw.cpp.
#include "app/driver.h"
#include "app/frame_cost.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "ground/ground.h"
#include "util/random.h"
#include "forest/forest_draw.h"
#include "forest/tree_panel.h"
#include "grass/grass_field.h"
#include "grass/grass_texture.h"
#include "wind/wind.h"
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

MyVelmoraQTDriver* theDriver = nullptr;

namespace {

// A parameter as a dialog integer, truncated. Clamped into the int range
// first: converting a larger value is undefined, and the control is to show
// its own maximum for it.
int dialogInt(double v)
{
    if (v >= double(INT_MAX)) return INT_MAX;
    if (v <= double(INT_MIN)) return INT_MIN;
    return v == v ? static_cast<int>(v) : 0;
}

// A dialog value from a parameter: the quotient by the slot's scale, truncated.
// The slot stored v × scale rounded to a float, so the quotient can land just
// below v (0.15f / 0.01f is 14.99…); plain truncation would send v − 1 back to
// the control, which re-enters the slot and drifts the parameter. A relative
// nudge far below any real fraction of a step absorbs that rounding.
int dialogValue(float parameter, float scale)
{
    const double q = static_cast<double>(parameter) / static_cast<double>(scale);
    return dialogInt(q * (1.0 + 1e-6));
}

// The file chosen in an open-file dialog as an 8-bit name; empty when cancelled.
QByteArray chooseFile(QWidget* parent, const char* caption, const char* directory, const char* filter)
{
    return QFileDialog::getOpenFileName(parent, caption, directory, filter).toLocal8Bit();
}

struct GroundParameters {
    float area[4];
    float maxHeight;
    int quadsNumber;
    std::string heightMap;
    std::string texture;
    float textureRepeat;
};

GroundParameters currentGround()
{
    return {{groundX0(), groundY0(), groundX1(), groundY1()}, groundMaxHeight(), groundQuadsNumber(),
            groundHeightMapFile(), groundTextureFile(), groundTextureRepeat()};
}

void rebuildGround(const GroundParameters& g)
{
    createGround(g.area, g.maxHeight, g.quadsNumber, g.heightMap.c_str(), g.texture.c_str(),
                 g.textureRepeat);
}

GrassField& grass() { return scene::grassField(); }

// Rebuilds the field over the ground with these patch counts and density map.
void rebuildField(int patchesX, int patchesY, const char* densityMap)
{
    const GroundParameters g = currentGround();
    grass().initField(g.area, patchesX, patchesY, densityMap);
}

// A random position on the ground for each record from `first` on, x then y.
void placeRandomly(std::vector<TreeRecord>& records, size_t first)
{
    for (size_t k = first; k < records.size(); ++k) {
        records[k].position2d[0] = groundX0() + util::randomUnit() * groundSizeX();
        records[k].position2d[1] = groundY0() + util::randomUnit() * groundSizeY();
    }
}

// The nine 2.5D texture sizes, in the order of the grass dialog's list.
const int textureWidths[3] = {256, 512, 1024};
const int textureHeights[3] = {32, 64, 128};

} // namespace

// ---------------------------------------------------------------------------
// VelmoraQTDriver: grass, ground, trees, wind
// ---------------------------------------------------------------------------

VelmoraQTDriver::VelmoraQTDriver() : QWidget(nullptr) {}

void VelmoraQTDriver::loadQTInterface()
{
    const GrassField& g = grass();
    emit setQTGrassNbPatches1(g.getPatchesX());
    emit setQTGrassNbPatches2(g.getPatchesY());
    emit setQTGrassNbMaxPerPatche(g.getBladesPerSquareMetre());
    emit setQTGrassWidth(dialogValue(g.getWidth(), 0.0001f));
    emit setQTGrassHeight(dialogValue(g.getHeight(), 0.01f));
    emit setQTGrassNoisePositions(dialogValue(g.getNoisePositions(), 0.01f));
    emit setQTGrassNoiseNormals(dialogValue(g.getNoiseNormals(), 0.01f));
    emit setQTGrassRadius3D(dialogInt(g.getDistance3D()));
    emit setQTGrassRadius2D5(dialogInt(g.getDistance2D5()));
    emit setQTGrassRadius2D(dialogInt(g.getDistance2D()));
    emit setQTGrassPolyg3D(g.getPolygons3D());
    emit setQTGrassPolyg2D5(g.getPolygons2D5());
    emit setQTGrassAjustment2D5Height(g.getAjustmentHeight2D5());
    emit setQTGrassCrushingMaxTime(dialogInt(g.getCrushingMaxTime()));
    emit setQTGrassCrushingDamping(dialogValue(g.getCrushingDamping(), 0.1f));
    emit setQTGrassTexture3D(g.getTexture3D());
    emit setQTGrassAntiAliasingTexture3D(dialogValue(g.getAntialiasing3D(), 0.1f));
    emit setQTGrassAntiAliasingTexture2D5(dialogValue(g.getAntialiasing2D5(), 0.1f));
    if (showGrassTextureSize) showGrassTextureSize(grassTextureSizeIndex());

    emit setQTGroundSize(dialogInt(groundSizeX() * 4.0));
    emit setQTGroundHeight(dialogValue(groundMaxHeight(), 0.025f));
    emit setQTTreesNumber(forestTreeCount());
    emit setQTBreezeSpeed(dialogValue(windGetBreezeSpeed(), 0.01f));
    emit setQTBreezePower(dialogValue(windGetBreezePower(), 0.1f));
    emit setQTGustSpeed(dialogValue(windGetGustSpeed(), 0.01f));
    emit setQTGustPower(dialogInt(windGetGustPower()));
    emit setQTBlastParam(dialogValue(windGetBlastParam(), 0.001f));
    emit setQTBlastPower(dialogInt(windGetBlastPower()));
}

void VelmoraQTDriver::loadGroundHeightMap()
{
    const QByteArray name = chooseFile(this, "select bitmap", "GroundData/", "bitmap (*.bmp *.ppm)");
    if (name.isEmpty()) return;
    GroundParameters g = currentGround();
    g.heightMap = name.toStdString();
    rebuildGround(g);
    groundChanged();
}

void VelmoraQTDriver::loadGroundTexture()
{
    const QByteArray name = chooseFile(this, "select bitmap", "GroundData/", "bitmap (*.bmp *.ppm)");
    if (name.isEmpty()) return;
    GroundParameters g = currentGround();
    g.texture = name.toStdString();
    rebuildGround(g);
}

void VelmoraQTDriver::setGroundSize(int v)
{
    GroundParameters g = currentGround();
    g.area[0] = g.area[1] = 0;
    g.area[2] = g.area[3] = v * 0.25f;
    rebuildGround(g);
    groundChanged();
}

void VelmoraQTDriver::setGroundHeight(int v)
{
    GroundParameters g = currentGround();
    g.maxHeight = v * 0.025f;
    rebuildGround(g);
    groundChanged();
}

void VelmoraQTDriver::setBreezeSpeed(int v) { windSetBreezeSpeed(v * 0.01f); }
void VelmoraQTDriver::setBreezePower(int v) { windSetBreezePower(v * 0.1f); }
void VelmoraQTDriver::setGustSpeed(int v) { windSetGustSpeed(v * 0.01f); }
void VelmoraQTDriver::setGustPower(int v) { windSetGustPower(static_cast<float>(v)); }
void VelmoraQTDriver::setBlastParam(int v) { windSetBlastParam(v * 0.001f); }
void VelmoraQTDriver::setBlastPower(int v) { windSetBlastPower(static_cast<float>(v)); }

void VelmoraQTDriver::addWindGust()
{
    const float s = (groundSizeX() + groundSizeY()) * 0.5f;
    const float a = (0.5f + 0.5f * util::randomUnit()) * s;
    const float b = (0.5f + 0.5f * util::randomUnit()) * s;
    windAddGust(b, a);
}

void VelmoraQTDriver::addWindBlast()
{
    const float s = (groundSizeX() + groundSizeY()) * 0.5f * 0.25f;
    windAddBlast((0.5f + 0.5f * util::randomUnit()) * s);
}


void VelmoraQTDriver::setGrassNbPatches1(int v)
{
    rebuildField(v, grass().getPatchesY(), grass().getDensityMapFile());
}

void VelmoraQTDriver::setGrassNbPatches2(int v)
{
    rebuildField(grass().getPatchesX(), v, grass().getDensityMapFile());
}

void VelmoraQTDriver::setGrassNbMaxPerPatche(int v) { grass().setBladesPerSquareMetre(static_cast<int16_t>(v)); }
void VelmoraQTDriver::setGrassWidth(int v) { grass().setWidth(v * 0.0001f); }
void VelmoraQTDriver::setGrassHeight(int v) { grass().setHeight(v * 0.01f); }
void VelmoraQTDriver::setGrassNoisePositions(int v) { grass().setNoisePositions(v * 0.01f); }
void VelmoraQTDriver::setGrassNoiseNormals(int v) { grass().setNoiseNormals(v * 0.01f); }
void VelmoraQTDriver::setGrassRadius3D(int v) { grass().setDistance3D(static_cast<float>(v)); }
void VelmoraQTDriver::setGrassRadius2D5(int v) { grass().setDistance2D5(static_cast<float>(v)); }
void VelmoraQTDriver::setGrassRadius2D(int v) { grass().setDistance2D(static_cast<float>(v)); }
void VelmoraQTDriver::setGrassPolyg3D(int v) { grass().setPolygons3D(static_cast<int16_t>(v)); }
void VelmoraQTDriver::setGrassPolyg2D5(int v) { grass().setPolygons2D5(static_cast<int16_t>(v)); }
void VelmoraQTDriver::setGrassAjustment2D5Height(bool v) { grass().setAjustmentHeight2D5(v); }
void VelmoraQTDriver::setGrassCrushingMaxTime(int v) { grass().setCrushingMaxTime(static_cast<float>(v)); }
void VelmoraQTDriver::setGrassCrushingDamping(int v) { grass().setCrushingDamping(v * 0.1f); }

void VelmoraQTDriver::loadGrassDensityMap()
{
    const QByteArray name = chooseFile(this, "select bitmap", "GrassData/", "bitmap (*.bmp *.ppm)");
    if (name.isEmpty()) return;
    rebuildField(grass().getPatchesX(), grass().getPatchesY(), name.constData());
}

void VelmoraQTDriver::setGrassTexture3D(bool v) { setTexture3D(grass(), v); }

void VelmoraQTDriver::loadGrassTexture3D()
{
    const QByteArray name = chooseFile(this, "select bitmap", "GrassData/", "pixmap (*.bmp *.ppm *.tga)");
    if (name.isEmpty()) return;
    setTexture3DFile(grass(), name.constData());
}

void VelmoraQTDriver::setGrassAntiAliasingTexture3D(int v) { setAntialiasing3D(grass(), v * 0.1f); }
void VelmoraQTDriver::regenerateGrassTexture2D5() { newSeed2D5(grass()); }
void VelmoraQTDriver::setGrassAntiAliasingTexture2D5(int v) { setAntialiasing2D5(grass(), v * 0.1f); }

void VelmoraQTDriver::setGrassSizeTexture2D5(int v)
{
    if (v < 0 || v > 8) return;
    setSizeTexture2D5(grass(), textureWidths[v / 3], textureHeights[v % 3]);
}

int VelmoraQTDriver::grassTextureSizeIndex() const
{
    int i = -1, j = -1;
    for (int k = 0; k < 3; ++k) {
        if (grass().getSizeX2D5() == textureWidths[k]) i = k;
        if (grass().getSizeY2D5() == textureHeights[k]) j = k;
    }
    return i < 0 || j < 0 ? -1 : 3 * i + j;
}

void VelmoraQTDriver::setTreesNumber(int v)
{
    // A negative count from a hand-made dialog value would size a vector by it.
    const int n = std::max<int>(static_cast<int16_t>(v), 0);
    std::vector<TreeRecord> records = getTrees();
    const size_t current = records.size();
    if (current < static_cast<size_t>(n)) {
        records.resize(n);
        placeRandomly(records, current);
    }
    setTrees(n, records.data());
}

void VelmoraQTDriver::setTreesNbPolygonsMax(int v) { setForestPolygonBudget(v); }

void VelmoraQTDriver::resetTreesPositions()
{
    std::vector<TreeRecord> records = getTrees();
    placeRandomly(records, 0);
    setTrees(static_cast<int>(records.size()), records.data());
}

void VelmoraQTDriver::resetTreesForms() { randomizeTrees(); }

void VelmoraQTDriver::loadARB()
{
    const QByteArray name = chooseFile(this, "select arb", "ForestData/", "fichier type d'arbre (*.arb)");
    if (name.isEmpty()) return;
    loadArb(name.toStdString());
}

void VelmoraQTDriver::showTreesInterface(bool v) { showForestEditor(v); }

void VelmoraQTDriver::groundChanged()
{
    const GroundParameters g = currentGround();
    windInit(g.area, g.maxHeight);
    GrassField& grass = scene::grassField();
    grass.initField(g.area, grass.getPatchesX(), grass.getPatchesY(), grass.getDensityMapFile());
    // setTrees stands each tree on the new ground.
    const std::vector<TreeRecord> trees = getTrees();
    setTrees(static_cast<int>(trees.size()), trees.data());
}

// ---------------------------------------------------------------------------
// MyVelmoraQTDriver: animation, display switches, scene file, rock
// ---------------------------------------------------------------------------

void MyVelmoraQTDriver::stepScene(const float viewDirection[3])
{
    const scene::Switches& on = scene::switches();
    if (!on.animation) return;
    const float step = rock::state().rockSpeed * on.animation_dt;
    rock::stepRock(viewDirection, step);
    windUpdate(on.animation_dt);
}

int MyVelmoraQTDriver::scenePolygonCount() const
{
    int count = 500;
    if (scene::switches().draw_trees) count += forestPolygonCount();
    if (scene::switches().draw_grass) count += static_cast<int>(grass().getPolygonCount());
    return count;
}

std::string MyVelmoraQTDriver::costText() const
{
    return formatCostText(scene::switches().draw_grass, previousFrameStamp, frameStamp, grassStamp);
}

// The viewer offers the panel left-button presses and releases only (button 0).
bool MyVelmoraQTDriver::panelMousePress(int x, int y) { return forestMousePress(x, y, 0); }
bool MyVelmoraQTDriver::panelMouseRelease(int x, int y) { return forestMouseRelease(x, y, 0); }
bool MyVelmoraQTDriver::panelMouseMove(int x, int y) { return forestMouseMove(x, y); }
bool MyVelmoraQTDriver::panelKeyPress(int character) { return forestKeyPress(character); }
void MyVelmoraQTDriver::panelViewport(int width, int height) { setForestEditorViewport(width, height); }

void MyVelmoraQTDriver::loadScene()
{
    const QByteArray name = chooseFile(this, "select doc xml", "Scene/", "doc XML (*.xml)");
    if (name.isEmpty()) return;
    std::string reason;
    const bool loaded = loadSceneFile(name.constData(), &reason);
    loadQTInterface();
    if (!loaded) tellFailure("Load Scene", "could not be loaded", name.toStdString(), reason);
}

void MyVelmoraQTDriver::saveScene()
{
    const QByteArray chosen =
        QFileDialog::getSaveFileName(this, "select doc xml", "Scene/", "doc XML (*.xml)").toLocal8Bit();
    if (chosen.isEmpty()) return;
    const std::string name = sceneFileName(chosen.toStdString());
    std::string reason;
    if (!saveSceneFile(name.c_str(), &reason)) tellFailure("Save Scene", "could not be saved", name, reason);
}

void MyVelmoraQTDriver::tellFailure(const char* title, const char* what, const std::string& file,
                                    const std::string& reason)
{
    if (!failuresInWindow) return;
    const QString text = QStringLiteral("The scene %1 %2:\n%3")
                             .arg(QString::fromLocal8Bit(file.c_str()), what, QString::fromLocal8Bit(reason.c_str()));
    QMessageBox::warning(this, title, text);
}

void MyVelmoraQTDriver::loadStartScenes()
{
    loadSceneFile("Scene/init.xml");
    if (!startScene.empty() && !loadSceneFile(startScene.c_str())) {
        std::fprintf(stderr, "velmora: the scene %s could not be loaded\n", startScene.c_str());
        startSceneFailed = true;
    }
    if (startLook) scene::setSwitch(&scene::Switches::look, true);
}

void MyVelmoraQTDriver::loadQTInterface()
{
    VelmoraQTDriver::loadQTInterface();
    const rock::RockState& r = rock::state();
    const RockRecord& record = rock::record();
    const scene::Switches& on = scene::switches();
    emit setQTAnim(on.animation);
    emit setQTAnimDT(dialogValue(on.animation_dt, 0.001f));
    emit setQTUpdateGrassDrawing(on.update_grass_drawing);
    emit setQTGroundDraw(on.draw_ground);
    emit setQTTreesDraw(on.draw_trees);
    emit setQTGrassDraw(on.draw_grass);
    emit setQTGustDraw(on.draw_gust);
    emit setQTSkyDraw(on.draw_sky);
    emit setQTGrassDensityDraw(on.draw_grass_density);
    emit setQTGrassNodesDraw(on.draw_grass_nodes);
    emit setQTWireDraw(on.draw_wire);
    emit setQTRockSpeed(dialogValue(r.rockSpeed, 0.01f));
    emit setQTRockSize(dialogValue(r.rockSize, 0.01f));
    emit setQTRockMvtAuto(!r.direct);
    emit setQTRockBound(r.bound);
    emit setQTRockCrushingPower(dialogInt(record.crushingPower));
    emit setQTRockCrushingPowerExp(dialogValue(record.crushingPowerExp, 0.01f));
    emit setQTRockCrushingMysteryParameter(dialogValue(record.crushingMysteryParameter, 0.001f));
    emit setQTRockCrushingPropagation(dialogValue(record.crushingPropagation, 0.001f));
}

void MyVelmoraQTDriver::setbuttonQTstart() { emit setQTAnim(scene::switches().animation); }
void MyVelmoraQTDriver::setAnim(bool v) { scene::setSwitch(&scene::Switches::animation, v); }
void MyVelmoraQTDriver::setAnimDT(int v) { scene::setAnimationDt(v * 0.001f); }
void MyVelmoraQTDriver::setUpdateGrassDrawing(bool v) { scene::setUpdateGrassDrawing(v); }
void MyVelmoraQTDriver::setGroundDraw(bool v) { scene::setSwitch(&scene::Switches::draw_ground, v); }
void MyVelmoraQTDriver::setTreesDraw(bool v) { scene::setSwitch(&scene::Switches::draw_trees, v); }
void MyVelmoraQTDriver::setGrassDraw(bool v) { scene::setSwitch(&scene::Switches::draw_grass, v); }
void MyVelmoraQTDriver::setGustDraw(bool v) { scene::setSwitch(&scene::Switches::draw_gust, v); }
void MyVelmoraQTDriver::setSkyDraw(bool v) { scene::setSwitch(&scene::Switches::draw_sky, v); }
void MyVelmoraQTDriver::setGrassTrajectoryDraw(bool) { std::puts("TODO -> setGrassTrajectoryDraw"); }
void MyVelmoraQTDriver::setGrassDensityDraw(bool v) { scene::setSwitch(&scene::Switches::draw_grass_density, v); }
void MyVelmoraQTDriver::setGrassNodesDraw(bool v) { scene::setSwitch(&scene::Switches::draw_grass_nodes, v); }
// The polygon mode itself is set at the start of the next frame, where a GL context is current.
void MyVelmoraQTDriver::setWireDraw(bool v) { scene::setSwitch(&scene::Switches::draw_wire, v); }
void MyVelmoraQTDriver::setRockSpeed(int v) { rock::setSpeed(v * 0.01f); }
void MyVelmoraQTDriver::setRockSize(int v) { rock::setSize(v * 0.01f); }
void MyVelmoraQTDriver::setRockMvtAuto(bool v) { rock::setDirect(!v); }
void MyVelmoraQTDriver::setRockBound(bool v) { rock::setBound(v); }
void MyVelmoraQTDriver::setRockCrushingPower(int v) { rock::setCrushingPower(static_cast<float>(v)); }
void MyVelmoraQTDriver::setRockCrushingPowerExp(int v) { rock::setCrushingPowerExp(v * 0.01f); }
void MyVelmoraQTDriver::setRockCrushingMysteryParameter(int v) { rock::setCrushingMysteryParameter(v * 0.001f); }
void MyVelmoraQTDriver::setRockCrushingPropagation(int v) { rock::setCrushingPropagation(v * 0.001f); }
