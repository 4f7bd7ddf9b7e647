// Drawing the forest: the only forest file that talks to GL.
#define GL_GLEXT_PROTOTYPES
#include "forest/forest_draw.h"
#include "forest/forest_state.h"

#include "oglui/texture_manager.h"
#include "util/frame_clock.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

unsigned int loadSlot(const std::string& prefix, const char* kind, int slot)
{
    char name[600];
    std::snprintf(name, sizeof name, "%s%s%02d.tga", prefix.c_str(), kind, slot);
    const unsigned int id = oglTextureLoad(name);
    if (id == 0) std::printf("Warning:Texture: unable to load map %s;\n", name);
    return id;
}

void loadPendingTextures()
{
    Forest& f = forestState();
    if (!f.texturesPending) return;
    f.texturesPending = false;
    for (int k = 0; k < LEAF_SLOTS; ++k) f.leafTextures[k] = loadSlot(f.texturePrefix, "leaf", k);
    for (int k = 0; k < BARK_SLOTS; ++k) f.barkTextures[k] = loadSlot(f.texturePrefix, "trunc", k);
}

void pointArrays(const MeshVertex* v, bool colours)
{
    glVertexPointer(3, GL_FLOAT, sizeof(MeshVertex), v->position);
    glNormalPointer(GL_FLOAT, sizeof(MeshVertex), v->normal);
    glTexCoordPointer(2, GL_FLOAT, sizeof(MeshVertex), v->uv);
    if (colours) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, sizeof(MeshVertex), v->color);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
    }
}

void bindOrPlain(unsigned int texture, float r, float g, float b)
{
    // A missing picture was reported when loading; draw a plain colour then.
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glColor4f(1, 1, 1, 1);
    } else {
        glDisable(GL_TEXTURE_2D);
        glColor4f(r, g, b, 1);
    }
}

void drawBark(const TreeMesh& mesh, int barkSlot)
{
    if (mesh.bark.empty()) return;
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    bindOrPlain(forestState().barkTextures[std::clamp(barkSlot, 0, BARK_SLOTS - 1)], 0.42f, 0.33f, 0.25f);
    pointArrays(mesh.bark.data(), false);
    // One call for all strips: the renderer's cost per call exceeds that of a small strip.
    glMultiDrawArrays(GL_TRIANGLE_STRIP, mesh.stripFirst.data(), mesh.stripCount.data(),
                      static_cast<GLsizei>(mesh.stripFirst.size()));
}

void drawLeaves(const TreeMesh& mesh)
{
    // Leaves are seen from both sides and cut out of their picture by its
    // alpha times the leaf's opacity, without blending: blended edges write
    // depth with the sky mixed in and show as pale rims over the leaves drawn
    // after them. A fading leaf thus appears by growing out of its outline.
    // No alpha-to-coverage: over the cut it would thin every leaf to its alpha.
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    const unsigned int* textures = forestState().leafTextures;
    for (int slot = 0; slot < LEAF_SLOTS; ++slot) {
        const std::vector<MeshVertex>& quads = mesh.leaves[slot];
        if (quads.empty()) continue;
        const bool textured = textures[slot] != 0;
        bindOrPlain(textures[slot], 0.30f, 0.50f, 0.20f);
        pointArrays(quads.data(), textured);
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size()));
    }
}

void beginTreeDrawing()
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT
                 | GL_POLYGON_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void endTreeDrawing()
{
    glPopClientAttrib();
    glPopAttrib();
}

void drawTreeMesh(const TreeMesh& mesh)
{
    const TreeParameters& p = forestState().parameters;
    drawBark(mesh, p.truncTexture);
    if (p.leaveMode != 0) drawLeaves(mesh);
}

} // namespace

void drawForest(const float position[3], const float direction[3])
{
    beginForestFrame(Vec3{position[0], position[1], position[2]}, Vec3{direction[0], direction[1], direction[2]});
    loadPendingTextures();
    const util::FrameStamp now = util::frameNow();
    const double milliseconds = now.seconds * 1000.0 + now.microseconds / 1000.0;
    beginTreeDrawing();
    for (int i = 0; i < forestTreeCount(); ++i) drawTreeMesh(buildForestMesh(i, milliseconds));
    endTreeDrawing();
    endForestFrame();
}
