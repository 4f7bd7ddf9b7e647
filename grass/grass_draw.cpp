// The grass draw passes and inspection overlays.
//
// Index: [SECTION] Camera, [SECTION] Field passes, [SECTION] Inspection
#include "grass/grass_draw.h"
#include "grass/grass_view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

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

/// The diffuse colour of setMaterials with its alpha: fades a patch in or out.
void setDiffuseAlpha(bool textured, float alpha)
{
    const GLfloat textured4[4] = {1, 1, 1, alpha}, plain4[4] = {0.08f, 0.6f, 0, alpha};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, textured ? textured4 : plain4);
}

/// The look's shading of blades and ribbons: a dark base, a light tip, and
/// for blades a brightness of their own. It scales the lighting normal's
/// height, which the grass draws unnormalised, so the lit colour follows.
/// Blades are also widened about their axis, to cover more of the soil.
class ShadedSink final : public GeometrySink {
public:
    /// Blades take their height above their first vertex over `bladeHeight`;
    /// ribbons (bladeHeight 0) take their texture t, which runs up them.
    ShadedSink(GeometrySink& out, float bladeHeight) : out(out), bladeHeight(bladeHeight) {}
    void begin(GrassPrimitive primitive) override
    {
        count = 0;
        out.begin(primitive);
    }
    void vertex(float normalZ, float s, float t, const float p[3]) override
    {
        if (count == 0) {
            baseZ = p[2];
            // A blade's t is its picture row, drawn at random once per blade:
            // its fractions give each blade a lasting brightness of 0.8..1.1.
            tone = bladeHeight > 0 ? 0.8f + 0.3f * (t * 37.0f - std::floor(t * 37.0f)) : 0.95f;
        }
        const float up = bladeHeight > 0 ? std::clamp((p[2] - baseZ) / bladeHeight, 0.0f, 1.0f) : t;
        const float shaded = normalZ * tone * (BASE_SHADE + (TIP_SHADE - BASE_SHADE) * up);
        if (bladeHeight <= 0) {
            out.vertex(shaded, s, t, p);
            return;
        }
        // A blade's strip comes as pairs across it: the left one waits for the right.
        if (count++ % 2 == 0) {
            left = {shaded, s, t, {p[0], p[1], p[2]}};
            return;
        }
        float a[3], b[3];
        for (int k = 0; k < 3; ++k) {
            const float middle = 0.5f * (left.p[k] + p[k]), half = 0.5f * WIDEN * (p[k] - left.p[k]);
            a[k] = middle - half;
            b[k] = middle + half;
        }
        out.vertex(left.normalZ, left.s, left.t, a);
        out.vertex(shaded, s, t, b);
    }
    void end() override { out.end(); }

private:
    static constexpr float BASE_SHADE = 0.35f, TIP_SHADE = 1.15f, WIDEN = 1.8f;
    struct Vertex {
        float normalZ, s, t, p[3];
    };
    GeometrySink& out;
    float bladeHeight;
    int count = 0;
    Vertex left{};
    float baseZ = 0, tone = 1;
};

/// With the look, how far a 2.5D patch's ribbons show: faded in over the band
/// before the 2D boundary, where the 2D carpet under them takes over.
float ribbonAlpha(const GrassSettings& g, float distance)
{
    return std::clamp((g.distance2D5 - distance) / LEVEL_BLEND_BAND, 0.0f, 1.0f);
}

/// Binds a grass picture (all are mipmapped) for modulation; the look filters
/// it trilinearly rather than from the nearest texel of the nearest level.
void bindModulated(const Texture& texture, bool look)
{
    glBindTexture(GL_TEXTURE_2D, texture.texName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, look ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
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
    const bool look = field.view.look;
    GeometrySink& plain = glGeometrySink();
    ShadedSink shadedBlades(plain, g.grassHeight), shadedRibbons(plain, 0);
    GeometrySink& sink = plain;
    patchDrawOrder(field.view.sideX, field.view.sideY, field.patchesX, field.patchesY, field.drawOrder);
    setMaterials(field.texture3D);

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.05f);
    // Multisampled, blade edges are spread over the samples; otherwise no effect.
    glEnable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    glEnable(GL_TEXTURE_2D);

    bindModulated(field.picture2D, look);
    if (g.distance2D5 < g.distance2D)
        for (int index : field.drawOrder) {
            const GrassPatch& p = field.patches[size_t(index)];
            // With the look every level stands on the 2D carpet: no bare
            // soil between near blades, and nothing to pop at the 2D boundary.
            if (p.lod != LOD_2D && !(look && p.lod != LOD_NONE)) continue;
            drawPatch2D(field, sink, p);
            field.polygonCount += 2;
        }
    sink.flush();

    bindModulated(field.picture2D5, look);
    if (g.distance3D < g.distance2D5)
        for (int index : field.drawOrder) {
            GrassPatch& p = field.patches[size_t(index)];
            if (p.lod != LOD_2D5) continue;
            if (look) {
                sink.flush();  // the ribbons held so far keep their own patch's alpha
                setDiffuseAlpha(field.texture3D, ribbonAlpha(g, p.distance));
            }
            field.polygonCount += drawPatch2D5(field, look ? shadedRibbons : sink, p, ribbonSegments(g, p.distance));
        }
    sink.flush();
    if (look) setDiffuseAlpha(field.texture3D, 1);

    if (field.texture3D) {
        glDisable(GL_ALPHA_TEST);
        bindModulated(field.picture3D, look);
    } else {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
    }
    GeometrySink& blades = look ? shadedBlades : sink;
    if (g.distance3D > 0)
        for (int index : field.drawOrder) {
            GrassPatch& p = field.patches[size_t(index)];
            if (p.lod == LOD_3D)
                field.polygonCount += drawPatch3D(field, blades, p, bladeSegments(g, p.distance));
            else if (p.lod == LOD_3D_FAR)
                field.polygonCount += drawPatch3DFar(field, blades, p, bladeSegments(g, p.distance));
        }
    sink.flush();

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
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

void pushUnitView()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void popUnitView()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

namespace {

/// The overlay frame: [0, 1]² orthographic, depth off, cleared, unlit, blended.
void beginOverlay()
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);  // whole pictures even in wire mode
    pushUnitView();
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
}

void endOverlay()
{
    popUnitView();
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
