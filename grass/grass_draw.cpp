// The grass draw passes and inspection overlays.
//
// Index: [SECTION] Camera, [SECTION] Field passes, [SECTION] Inspection
#include "grass/grass_view.h"

#include <GL/gl.h>

#include "grass/grass_geometry.h"
#include "grass/grass_texture.h"

// [SECTION] Camera

namespace {

void readMatrices(float modelview[16], float projection[16])
{
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
}

} // namespace

void setCamera(GrassField& field, const float position[3])
{
    float modelview[16], projection[16];
    readMatrices(modelview, projection);
    setCameraMatrices(field.view, position, modelview, projection);
}

void updateView(GrassField& field, const float position[3])
{
    float modelview[16], projection[16];
    readMatrices(modelview, projection);
    updateViewMatrices(field, position, modelview, projection);
}

// [SECTION] Field passes

namespace {

void setMaterials(bool textured)
{
    const GLfloat ambientTextured[4] = {0.1f, 0.1f, 0.1f, 1}, ambientPlain[4] = {0, 0.05f, 0, 1};
    const GLfloat diffuseTextured[4] = {1, 1, 1, 1}, diffusePlain[4] = {0.08f, 0.6f, 0, 1};
    const GLfloat specular[4] = {0.8f, 0.8f, 0.8f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, textured ? ambientTextured : ambientPlain);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, textured ? diffuseTextured : diffusePlain);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 5);
}

void bindModulated(const Texture& texture)
{
    glBindTexture(GL_TEXTURE_2D, texture.texName);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

/// Level colouring: plain index order, flat colours, no 3D far patches.
void drawLevelColours(GrassField& field)
{
    const GrassSettings& g = field.settings;
    GeometrySink& sink = glGeometrySink();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    if (g.distance2D5 < g.distance2D) {
        glColor3f(0, 0, 1);
        for (const GrassPatch& p : field.patches)
            if (p.lod == LOD_2D) {
                drawPatch2D(field, sink, p);
                field.polygonCount += 2;
            }
        sink.flush();
    }
    if (g.distance3D < g.distance2D5) {
        glColor3f(1, 0, 1);
        for (GrassPatch& p : field.patches)
            if (p.lod == LOD_2D5) field.polygonCount += drawPatch2D5(field, sink, p, ribbonSegments(g, p.distance));
        sink.flush();
    }
    if (g.distance3D > 0) {
        glColor3f(0, 1, 0.2f);
        for (GrassPatch& p : field.patches)
            if (p.lod == LOD_3D)
                field.polygonCount += drawPatch3D(field, sink, p, bladeSegments(g, p.distance, false));
        sink.flush();
    }
    glEnable(GL_LIGHTING);
}

} // namespace

void drawField(GrassField& field)
{
    field.polygonCount = 0;
    prepareGrassTextures(field);
    if (field.lodColours == 1) {
        drawLevelColours(field);
        return;
    }
    const GrassSettings& g = field.settings;
    GeometrySink& sink = glGeometrySink();
    patchDrawOrder(field.view.sideX, field.view.sideY, field.patchesX, field.patchesY, field.drawOrder);
    setMaterials(field.texture3D);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    glEnable(GL_TEXTURE_2D);

    bindModulated(field.picture2D);
    if (g.distance2D5 < g.distance2D)
        for (int index : field.drawOrder) {
            const GrassPatch& p = field.patches[size_t(index)];
            if (p.lod != LOD_2D) continue;
            drawPatch2D(field, sink, p);
            field.polygonCount += 2;
        }
    sink.flush();

    bindModulated(field.picture2D5);
    if (g.distance3D < g.distance2D5)
        for (int index : field.drawOrder) {
            GrassPatch& p = field.patches[size_t(index)];
            if (p.lod == LOD_2D5) field.polygonCount += drawPatch2D5(field, sink, p, ribbonSegments(g, p.distance));
        }
    sink.flush();

    if (field.texture3D) {
        glDisable(GL_ALPHA_TEST);
        bindModulated(field.picture3D);
    } else {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
    }
    if (g.distance3D > 0)
        for (int index : field.drawOrder) {
            GrassPatch& p = field.patches[size_t(index)];
            if (p.lod == LOD_3D)
                field.polygonCount += drawPatch3D(field, sink, p, bladeSegments(g, p.distance));
            else if (p.lod == LOD_3D_FAR)
                field.polygonCount += drawPatch3DFar(field, sink, p, bladeSegments(g, p.distance));
        }
    sink.flush();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void drawLodColours(GrassField& field)
{
    field.polygonCount = 0;
    field.lodColours = 1;
    drawField(field);
    field.lodColours = 0;
}

// [SECTION] Inspection

void drawNodes(GrassField& field)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    GeometrySink& sink = glGeometrySink();
    glColor3f(1, 0, 0);
    for (const GrassNode& n : field.nodes)
        if (n.active && n.visible) drawBlade(field, sink, n.skeleton, 5);
    sink.flush();
    glColor3f(1, 0.8f, 0);
    for (const CrushPoint& k : field.crushPoints)
        if (k.amount > 0) drawBlade(field, sink, k.skeleton, 5);
    sink.flush();
    glPopAttrib();
}

namespace {

/// The overlay frame: [0, 1]² orthographic, depth off, cleared, unlit, blended.
void beginOverlay()
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // whole pictures even in wire mode
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
}

void endOverlay()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void texturedSquare(const Texture& texture, GLint mode, float x0, float y0, float x1, float y1)
{
    glBindTexture(GL_TEXTURE_2D, texture.texName);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y0);
    glTexCoord2f(0, 1);
    glVertex2f(x0, y1);
    glTexCoord2f(1, 1);
    glVertex2f(x1, y1);
    glTexCoord2f(1, 0);
    glVertex2f(x1, y0);
    glEnd();
}

void redLines(std::initializer_list<float> xs, float y0, float y1)
{
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    for (float x : xs) {
        glVertex2f(x, y0);
        glVertex2f(x, y1);
    }
    glEnd();
}

} // namespace

void showTextures(GrassField& field)
{
    prepareGrassTextures(field);
    beginOverlay();
    texturedSquare(field.picture3D, GL_REPLACE, 0.1f, 0, 0.6f, 0.5f);
    texturedSquare(field.picture2D, GL_REPLACE, 0.5f, 0.5f, 1, 1);
    redLines({0.1f, 0.6f}, 0, 0.5f);
    redLines({0.625f, 0.75f, 0.875f}, 0.5f, 1);
    endOverlay();
}

void showTexture2D5(GrassField& field)
{
    prepareGrassTextures(field);
    beginOverlay();
    texturedSquare(field.picture2D5, GL_MODULATE, 0, 0, 1, 1);
    redLines({0.25f, 0.5f, 0.75f}, 0, 1);
    endOverlay();
}
