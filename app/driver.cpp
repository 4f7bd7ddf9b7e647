// The driver's slots and signals and the simulation half of the frame; the
// GL half (scene set-up, drawing, sky) is in driver_draw.cpp.
#include "app/driver.h"
#include "app/frame_cost.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "ground/ground.h"
#include "util/random.h"
#ifdef VELMORA_HAS_WIND
#include "wind/wind.h"
#endif
#include <QFileDialog>
#include <cstdio>

MyVelmoraQTDriver* theDriver = nullptr;

namespace {

// A dialog value from a parameter: the quotient by the slot's scale, truncated.
// The slot stored v × scale rounded to a float, so the quotient can land just
// below v (0.15f / 0.01f is 14.99…); plain truncation would send v − 1 back to
// the control, which re-enters the slot and drifts the parameter. A relative
// nudge far below any real fraction of a step absorbs that rounding.
int dialogValue(float parameter, float scale)
{
    const double q = static_cast<double>(parameter) / static_cast<double>(scale);
    return static_cast<int>(q * (1.0 + 1e-6));
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

} // namespace

// ---------------------------------------------------------------------------
// VelmoraQTDriver: grass, ground, trees, wind
// ---------------------------------------------------------------------------

VelmoraQTDriver::VelmoraQTDriver() : QWidget(nullptr) {}

void VelmoraQTDriver::loadQTInterface()
{
    emit setQTGroundSize(static_cast<int>(groundSizeX() * 4));
    emit setQTGroundHeight(dialogValue(groundMaxHeight(), 0.025f));
#ifdef VELMORA_HAS_WIND
    emit setQTBreezeSpeed(dialogValue(windGetBreezeSpeed(), 0.01f));
    emit setQTBreezePower(dialogValue(windGetBreezePower(), 0.1f));
    emit setQTGustSpeed(dialogValue(windGetGustSpeed(), 0.01f));
    emit setQTGustPower(static_cast<int>(windGetGustPower()));
    emit setQTBlastParam(dialogValue(windGetBlastParam(), 0.001f));
    emit setQTBlastPower(static_cast<int>(windGetBlastPower()));
#endif
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

#ifdef VELMORA_HAS_WIND
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
#else
void VelmoraQTDriver::setBreezeSpeed(int) {}
void VelmoraQTDriver::setBreezePower(int) {}
void VelmoraQTDriver::setGustSpeed(int) {}
void VelmoraQTDriver::setGustPower(int) {}
void VelmoraQTDriver::setBlastParam(int) {}
void VelmoraQTDriver::setBlastPower(int) {}
void VelmoraQTDriver::addWindGust() {}
void VelmoraQTDriver::addWindBlast() {}
#endif

// The grass and the forest are wired in when their modules arrive.
void VelmoraQTDriver::setGrassNbPatches1(int) {}
void VelmoraQTDriver::setGrassNbPatches2(int) {}
void VelmoraQTDriver::setGrassNbMaxPerPatche(int) {}
void VelmoraQTDriver::setGrassWidth(int) {}
void VelmoraQTDriver::setGrassHeight(int) {}
void VelmoraQTDriver::setGrassNoisePositions(int) {}
void VelmoraQTDriver::setGrassNoiseNormals(int) {}
void VelmoraQTDriver::setGrassRadius3D(int) {}
void VelmoraQTDriver::setGrassRadius2D5(int) {}
void VelmoraQTDriver::setGrassRadius2D(int) {}
void VelmoraQTDriver::setGrassPolyg3D(int) {}
void VelmoraQTDriver::setGrassPolyg2D5(int) {}
void VelmoraQTDriver::setGrassAjustment2D5Height(bool) {}
void VelmoraQTDriver::setGrassCrushingMaxTime(int) {}
void VelmoraQTDriver::setGrassCrushingDamping(int) {}
void VelmoraQTDriver::loadGrassDensityMap() {}
void VelmoraQTDriver::setGrassTexture3D(bool) {}
void VelmoraQTDriver::loadGrassTexture3D() {}
void VelmoraQTDriver::setGrassAntiAliasingTexture3D(int) {}
void VelmoraQTDriver::regenerateGrassTexture2D5() {}
void VelmoraQTDriver::setGrassAntiAliasingTexture2D5(int) {}
void VelmoraQTDriver::setGrassSizeTexture2D5(int) {}
void VelmoraQTDriver::setTreesNumber(int) {}
void VelmoraQTDriver::setTreesNbPolygonsMax(int) {}
void VelmoraQTDriver::resetTreesPositions() {}
void VelmoraQTDriver::resetTreesForms() {}
void VelmoraQTDriver::loadARB() {}
void VelmoraQTDriver::showTreesInterface(bool) {}

void VelmoraQTDriver::groundChanged()
{
#ifdef VELMORA_HAS_WIND
    const float area[4] = {groundX0(), groundY0(), groundX1(), groundY1()};
    windInit(area, groundMaxHeight());
#endif
}

// ---------------------------------------------------------------------------
// MyVelmoraQTDriver: animation, display switches, scene file, rock
// ---------------------------------------------------------------------------

void MyVelmoraQTDriver::stepScene(const float viewDirection[3])
{
    if (!scene::animation) return;
    const float step = rock::state().rockSpeed * scene::animation_dt;
    rock::stepRock(viewDirection, step);
#ifdef VELMORA_HAS_WIND
    windUpdate(scene::animation_dt);
#endif
}

int MyVelmoraQTDriver::scenePolygonCount() const
{
    return 500;
}

std::string MyVelmoraQTDriver::costText() const
{
    return formatCostText(scene::draw_grass, previousFrameStamp, frameStamp, grassStamp);
}

bool MyVelmoraQTDriver::panelMousePress(int, int) { return false; }
bool MyVelmoraQTDriver::panelMouseRelease(int, int) { return false; }
bool MyVelmoraQTDriver::panelMouseMove(int, int) { return false; }
void MyVelmoraQTDriver::panelViewport(int, int) {}

void MyVelmoraQTDriver::loadScene() {}
void MyVelmoraQTDriver::saveScene() {}

void MyVelmoraQTDriver::loadQTInterface()
{
    VelmoraQTDriver::loadQTInterface();
    const rock::RockState& r = rock::state();
    const RockRecord& record = rock::record();
    emit setQTAnim(scene::animation);
    emit setQTAnimDT(dialogValue(scene::animation_dt, 0.001f));
    emit setQTUpdateGrassDrawing(scene::update_grass_drawing);
    emit setQTGroundDraw(scene::draw_ground);
    emit setQTTreesDraw(scene::draw_trees);
    emit setQTGrassDraw(scene::draw_grass);
    emit setQTGustDraw(scene::draw_gust);
    emit setQTSkyDraw(scene::draw_sky);
    emit setQTGrassDensityDraw(scene::draw_grass_density);
    emit setQTGrassNodesDraw(scene::draw_grass_nodes);
    emit setQTWireDraw(scene::draw_wire);
    emit setQTRockSpeed(dialogValue(r.rockSpeed, 0.01f));
    emit setQTRockSize(dialogValue(r.rockSize, 0.01f));
    emit setQTRockMvtAuto(!r.direct);
    emit setQTRockBound(r.bound);
    emit setQTRockCrushingPower(static_cast<int>(record.crushingPower));
    emit setQTRockCrushingPowerExp(dialogValue(record.crushingPowerExp, 0.01f));
    emit setQTRockCrushingMysteryParameter(dialogValue(record.crushingMysteryParameter, 0.001f));
    emit setQTRockCrushingPropagation(dialogValue(record.crushingPropagation, 0.001f));
}

void MyVelmoraQTDriver::setbuttonQTstart() { emit setQTAnim(scene::animation); }
void MyVelmoraQTDriver::setAnim(bool v) { scene::animation = v; }
void MyVelmoraQTDriver::setAnimDT(int v) { scene::animation_dt = v * 0.001f; }
void MyVelmoraQTDriver::setUpdateGrassDrawing(bool v) { scene::setUpdateGrassDrawing(v); }
void MyVelmoraQTDriver::setGroundDraw(bool v) { scene::draw_ground = v; }
void MyVelmoraQTDriver::setTreesDraw(bool v) { scene::draw_trees = v; }
void MyVelmoraQTDriver::setGrassDraw(bool v) { scene::draw_grass = v; }
void MyVelmoraQTDriver::setGustDraw(bool v) { scene::draw_gust = v; }
void MyVelmoraQTDriver::setSkyDraw(bool v) { scene::draw_sky = v; }
void MyVelmoraQTDriver::setGrassTrajectoryDraw(bool) { std::puts("TODO -> setGrassTrajectoryDraw"); }
void MyVelmoraQTDriver::setGrassDensityDraw(bool v) { scene::draw_grass_density = v; }
void MyVelmoraQTDriver::setGrassNodesDraw(bool v) { scene::draw_grass_nodes = v; }
// The polygon mode itself is set at the start of the next frame, where a GL context is current.
void MyVelmoraQTDriver::setWireDraw(bool v) { scene::draw_wire = v; }
void MyVelmoraQTDriver::setRockSpeed(int v) { rock::setSpeed(v * 0.01f); }
void MyVelmoraQTDriver::setRockSize(int v) { rock::setSize(v * 0.01f); }
void MyVelmoraQTDriver::setRockMvtAuto(bool v) { rock::setDirect(!v); }
void MyVelmoraQTDriver::setRockBound(bool v) { rock::setBound(v); }
void MyVelmoraQTDriver::setRockCrushingPower(int v) { rock::setCrushingPower(static_cast<float>(v)); }
void MyVelmoraQTDriver::setRockCrushingPowerExp(int v) { rock::setCrushingPowerExp(v * 0.01f); }
void MyVelmoraQTDriver::setRockCrushingMysteryParameter(int v) { rock::setCrushingMysteryParameter(v * 0.001f); }
void MyVelmoraQTDriver::setRockCrushingPropagation(int v) { rock::setCrushingPropagation(v * 0.001f); }
