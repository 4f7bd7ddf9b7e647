// Drawing the ground: one display list of textured, lit triangle strips.
#include "ground/ground.h"
#include "ground/ground_state.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

void sendVertex(const Ground& g, int c, int r, bool textured)
{
    const int n = g.quadsPerSide;
    const GroundVertex& v = g.vertices[size_t(r) * (n + 1) + c];
    if (textured) glTexCoord2f(float(c) * g.textureRepeat / float(n), float(r) * g.textureRepeat / float(n));
    glNormal3f(v.nx, v.ny, v.nz);
    glVertex3f(v.x, v.y, v.z);
}

void compileGround(Ground& g)
{
    const GLuint list = glGenLists(1);
    if (list == 0) return;
    g.displayList = list;
    const bool textured = g.image.pixels != nullptr;
    if (textured) {
        std::printf("  texture loaded\n");
        g.image.makeTexture(true);
        g.image.freeData();
        glNewList(list, GL_COMPILE);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, g.image.texName);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    } else {
        std::printf("  texture not loaded\n");
        g.image.deleteTexture();  // a texture of an earlier ground is no longer drawn
        glNewList(list, GL_COMPILE);
    }
    const GLfloat ambient[] = {0.3f, 0.3f, 0.3f, 1}, diffuse[] = {1, 1, 1, 1}, specular[] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    const int n = g.quadsPerSide;
    for (int r = 0; r < n; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int c = 0; c <= n; ++c) {
            sendVertex(g, c, r + 1, textured);
            sendVertex(g, c, r, textured);
        }
        glEnd();
    }
    if (textured) glDisable(GL_TEXTURE_2D);
    glEndList();
}

void deleteList(GLuint& list)
{
    if (list == 0) return;
    glDeleteLists(list, 1);
    list = 0;
}

} // namespace

void drawGround()
{
    Ground& g = groundState();
    deleteList(g.staleDisplayList);
    if (!g.created) return;
    // The upload and the list set material, texturing and the bound texture:
    // keep the caller's.
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_TEXTURE_BIT);
    if (g.displayList == 0) compileGround(g);
    if (g.displayList != 0) glCallList(g.displayList);
    glPopAttrib();
}

void releaseGround()
{
    Ground& g = groundState();
    deleteList(g.staleDisplayList);
    deleteList(g.displayList);
    g.image.deleteTexture();
    clearGroundModel();
}
