// The GL half of the driver: scene set-up, the frame's drawing, the sky.
#include "app/default_scene.h"
#include "app/driver.h"
#include "app/part_scope.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "app/sky.h"
#include "forest/forest.h"
#include "forest/forest_draw.h"
#include "forest/tree_panel.h"
#include "grass/grass_debug_draw.h"
#include "grass/grass_draw.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "wind/wind.h"
#include <GL/gl.h>
#include <utility>

namespace {

void lightFromSide()
{
    const GLfloat ambient[] = {1, 1, 1, 1}, diffuse[] = {1, 1, 1, 1}, specular[] = {0, 0, 0, 1};
    const GLfloat position[] = {250, 50, 50, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
}

void setRockMaterial()
{
    const GLfloat specular[] = {0.3f, 0.4f, 0.3f, 1}, diffuse[] = {0.2f, 0.2f, 0.2f, 1};
    const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 30);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
}

void lightFromAbove()
{
    const GLfloat specular[] = {1, 1, 1, 1};
    const GLfloat position[] = {groundSizeX() / 2, groundSizeY() / 2, 1000, 1};
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}

void drawSky()
{
    // The fan shows its vertex colours: no lighting, no texture.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_FAN);
    for (const SkyVertex& v : skyFan(groundSizeX(), groundSizeY(), groundMaxHeight())) {
        glColor3f(v.r, v.g, v.b);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
    glPopAttrib();
}

/// The look's fog: what lies after the sky fades into the sky's rim with the
/// distance, so that the far field and the world's edge meet the horizon.
void beginFog()
{
    const GLfloat colour[4] = {SKY_HORIZON[0], SKY_HORIZON[1], SKY_HORIZON[2], 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, colour);
    glFogf(GL_FOG_START, 10);
    glFogf(GL_FOG_END, 140);
    glHint(GL_FOG_HINT, GL_FASTEST);
    glEnable(GL_FOG);
}

} // namespace

void MyVelmoraQTDriver::initScene()
{
    glClearColor(0.3f, 0.5f, 0.9f, 1.0f);
    glDisable(GL_COLOR_MATERIAL);

    buildDefaultScene();
    loadStartScenes();

    loadQTInterface();
    rock::pressKey(rock::Key::Backward);
}

void MyVelmoraQTDriver::stepAndDraw(const float cameraPosition[3], const float viewDirection[3])
{
    const scene::Switches& on = scene::switches();
    FrameProfile* const profile = frameProfile;
    stepScene(viewDirection);
    glPolygonMode(GL_FRONT_AND_BACK, on.draw_wire ? GL_LINE : GL_FILL);
    measurePart(profile, FramePart::Fixed, [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); });
    if (on.draw_sky) measurePart(profile, FramePart::Sky, drawSky);
    if (on.look) beginFog();
    lightFromSide();
    if (on.draw_ground) measurePart(profile, FramePart::Ground, drawGround);
    setRockMaterial();
    measurePart(profile, FramePart::Rock, rock::drawRock);
    lightFromAbove();
    previousFrameStamp = std::exchange(frameStamp, util::frameNow());
    if (on.draw_trees) drawTrees(cameraPosition, viewDirection);
    if (on.draw_grass) drawGrass(cameraPosition);
}

void MyVelmoraQTDriver::drawOverlays()
{
    const scene::Switches& on = scene::switches();
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    if (on.draw_gust) windDraw();
    if (on.showGrassTexture2D) showTextures(scene::grassField());
    if (on.showGrassTexture2D5) showTexture2D5(scene::grassField());
    drawForestEditor();
}

void MyVelmoraQTDriver::drawTrees(const float cameraPosition[3], const float viewDirection[3])
{
    measureForestCost(frameProfile != nullptr);
    setForestSteady(scene::switches().look);
    PartScope part(frameProfile, FramePart::ForestDrawing);
    drawForest(cameraPosition, viewDirection);
    // The forest timed its growth and meshes itself. GL counted each leaf
    // quad once: its second triangle is added.
    const ForestCost& c = forestCost();
    part.moveOut(FramePart::ForestGrowth, c.growthWall, c.growthCpu);
    part.moveOut(FramePart::ForestMesh, c.meshWall, c.meshCpu);
    part.addTriangles(c.leafQuads);
}

void MyVelmoraQTDriver::drawGrass(const float cameraPosition[3])
{
    const scene::Switches& on = scene::switches();
    GrassField& grass = scene::grassField();
    grass.setLook(on.look);
    measurePart(frameProfile, FramePart::GrassView, [&] {
        if (on.animation) grass.updateCrushing(on.animation_dt, &rock::record(), 1);
        if (scene::takeGrassViewUpdate()) updateView(grass, cameraPosition);
    });
    grassStamp = util::frameNow();
    // GL counts a far patch's quad once: the grass's own count of its triangles is exact.
    PartScope part(frameProfile, FramePart::GrassDrawing, 0);
    if (on.draw_wire)
        drawLodColours(grass);
    else
        drawField(grass);
    part.addTriangles(grass.getPolygonCount());
    if (on.draw_grass_nodes) drawNodes(grass);
    if (on.draw_grass_density) drawDensity(grass);
}
