#include "grass/grass_debug_draw.h"

#include <GL/gl.h>

void drawDensity(const GrassField& field)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    for (const GrassPatch& p : field.getPatches()) {
        glColor3f(0, p.density, 0);
        for (int c : {0, 2, 3, 1}) glVertex3f(p.corners[c]->x, p.corners[c]->y, p.corners[c]->maxGroundZ);
    }
    glEnd();
    glPopAttrib();
}
