// The GL half of the driver: scene set-up, the frame's drawing, the sky.
#include "app/driver.h"
#include "app/part_scope.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "app/sky.h"
#include "forest/forest.h"
#include "grass/grass_debug_draw.h"
#include "grass/grass_field.h"
#include "grass/grass_view.h"
#include "ground/ground.h"
#include "util/random.h"
#include "wind/wind.h"
#include <GL/gl.h>

namespace {

const GLfloat lightAmbient[] = {1, 1, 1, 1};
const GLfloat lightDiffuse[] = {1, 1, 1, 1};
const GLfloat lightSpecularFirst[] = {0, 0, 0, 1};
const GLfloat lightPositionFirst[] = {250, 50, 50, 1};
const GLfloat lightSpecularSecond[] = {1, 1, 1, 1};
const GLfloat materialSpecular[] = {0.3f, 0.4f, 0.3f, 1};
const GLfloat materialShininess = 30;
const GLfloat materialDiffuse[] = {0.2f, 0.2f, 0.2f, 1};
const GLfloat materialAmbient[] = {0.1f, 0.1f, 0.1f, 1};

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

    const float area[4] = {0, 0, 100, 100};
    createGround(area, 5.0f, 400, "GroundData/heightMap1.bmp", "GroundData/ground3.bmp", 8.0f);
    windInit(area, groundMaxHeight());

    GrassField& grass = scene::grassField();
    grass.initField(area, 60, 60, "GrassData/densityMap1.bmp");
    grass.setHeight(2.0f);
    grass.setWidth(0.02f);
    grass.setBladesPerSquareMetre(10);
    grass.setDistance3D(0);
    grass.setDistance2D5(0);
    grass.setDistance2D(0);
    grass.setPolygons3D(3);
    grass.setPolygons2D5(1);

    initForest();
    loadTreeTextures("ForestData/");
    showForestEditor(false);
    setForestEditorViewport(640, 400);
    loadArb("ForestData/arb03.arb");
    TreeRecord trees[10];
    for (TreeRecord& tree : trees) {
        tree.position2d[0] = groundX0() + util::randomUnit() * groundSizeX();
        tree.position2d[1] = groundY0() + util::randomUnit() * groundSizeY();
    }
    setTrees(10, trees);
    randomizeTrees();

    rock::placeRock(groundX0() + 0.5f * groundSizeX(), groundY0() + 0.5f * groundSizeY());
    loadStartScenes();

    loadQTInterface();
    rock::pressKey(rock::Key::Backward);
}

void MyVelmoraQTDriver::stepAndDraw(const float cameraPosition[3], const float viewDirection[3])
{
    stepScene(viewDirection);
    FrameProfile* const profile = frameProfile;

    glPolygonMode(GL_FRONT_AND_BACK, scene::draw_wire ? GL_LINE : GL_FILL);
    {
        PartScope part(profile, FramePart::Fixed);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (scene::draw_sky) {
        PartScope part(profile, FramePart::Sky);
        drawSky();
    }
    if (scene::look) beginFog();

    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecularFirst);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPositionFirst);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);

    if (scene::draw_ground) {
        PartScope part(profile, FramePart::Ground);
        drawGround();
    }

    glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, materialShininess);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, materialAmbient);
    {
        PartScope part(profile, FramePart::Rock);
        rock::drawRock();
    }

    const GLfloat lightPositionSecond[] = {groundSizeX() / 2, groundSizeY() / 2, 1000, 1};
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightSpecularSecond);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPositionSecond);

    previousFrameStamp = frameStamp;
    frameStamp = util::frameNow();
    if (scene::draw_trees) {
        measureForestCost(profile != nullptr);
        setForestSteady(scene::look);
        {
            PartScope part(profile, FramePart::ForestDrawing);
            drawForest(cameraPosition, viewDirection);
        }
        if (profile) {
            // The forest timed its growth and meshes; the rest is its drawing.
            // GL counted each leaf quad once: its second triangle is added.
            const ForestCost& c = forestCost();
            profile->add(FramePart::ForestGrowth, c.growthWall, c.growthCpu);
            profile->add(FramePart::ForestMesh, c.meshWall, c.meshCpu);
            profile->add(FramePart::ForestDrawing, -c.growthWall - c.meshWall, -c.growthCpu - c.meshCpu, c.leafQuads);
        }
    }

    if (scene::draw_grass) {
        GrassField& grass = scene::grassField();
        grass.view.look = scene::look;
        {
            PartScope part(profile, FramePart::GrassView);
            if (scene::animation) grass.updateCrushing(scene::animation_dt, &rock::record(), 1);
            if (scene::takeGrassViewUpdate()) updateView(grass, cameraPosition);
        }
        grassStamp = util::frameNow();
        // GL counts a far patch's quad once: the grass's own count of its triangles is exact.
        PartScope part(profile, FramePart::GrassDrawing, 0);
        if (scene::draw_wire)
            drawLodColours(grass);
        else
            drawField(grass);
        if (profile) profile->add(FramePart::GrassDrawing, 0, 0, grass.getPolygonCount());
        if (scene::draw_grass_nodes) drawNodes(grass);
        if (scene::draw_grass_density) drawDensity(grass);
    }

    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    PartScope part(profile, FramePart::Overlays);
    if (scene::draw_gust) windDraw();
    if (scene::showGrassTexture2D) showTextures(scene::grassField());
    if (scene::showGrassTexture2D5) showTexture2D5(scene::grassField());
    drawForestEditor();
}

void MyVelmoraQTDriver::drawSky()
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
