// The wind's only OpenGL: outlines of the figures and colours of the primitives.
#include "wind/director.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr float degrees_per_radian = 57.29578f;

// The unit disc, compiled on first use and kept for the run.
GLuint unitDisc()
{
    static GLuint list = 0;
    if (list == 0) {
        list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < 20; ++i) {
            const double a0 = 2 * M_PI * i / 20, a1 = 2 * M_PI * (i + 1) / 20;
            glVertex3d(0, 0, 0);
            glVertex3d(std::cos(a0), std::sin(a0), 0);
            glVertex3d(std::cos(a1), std::sin(a1), 0);
        }
        glEnd();
        glEndList();
    }
    return list;
}

// Outlines: line mode on both faces; polygon, line and matrix state restored after.
void beginOutline()
{
    glPushAttrib(GL_POLYGON_BIT | GL_LINE_BIT | GL_TRANSFORM_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

void endOutline()
{
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// Primitives draw unlit and untextured in their own colour. The colour is put
// back by hand: Mesa loses a pushed current colour when another attribute
// push and pop happens in between (as the outline's does).
void drawInColour(const figure2d& figure, float r, float g, float b)
{
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glPushAttrib(GL_LIGHTING_BIT | GL_TEXTURE_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(r, g, b);
    figure.draw();
    glPopAttrib();
    glColor4fv(colour);
}

} // namespace

void rectangle::draw() const
{
    const float h = windDrawingHeight();
    const float l = half_length_, w = half_width_;
    beginOutline();
    glTranslatef(get_pose().position.x, get_pose().position.y, 0.1f);
    glRotatef(get_pose().angle * degrees_per_radian, 0, 0, 1);
    glBegin(GL_LINES);
    glVertex3f(-l, -w, h); glVertex3f(l, -w, h);
    glVertex3f(l, -w, h);  glVertex3f(l, w, h);
    glVertex3f(l, w, h);   glVertex3f(-l, w, h);
    glVertex3f(-l, w, h);  glVertex3f(-l, -w, h);
    glEnd();
    glLineWidth(2);
    glBegin(GL_LINES);
    glVertex3f(l, 0, h);
    glVertex3f(1.25f * l, 0, h);
    glEnd();
    endOutline();
}

void circle::draw() const
{
    beginOutline();
    glTranslatef(get_pose().position.x, get_pose().position.y, windDrawingHeight());
    glRotatef(get_pose().angle * degrees_per_radian, 0, 0, 1);
    glPushMatrix();
    glScalef(radius_, radius_, 1);
    glCallList(unitDisc());
    glPopMatrix();
    glLineWidth(2);
    glBegin(GL_LINES);
    glVertex3f(radius_, 0, 0);
    glVertex3f(1.25f * radius_, 0, 0);
    glEnd();
    endOutline();
}

void gust_of_wind::draw() const
{
    drawInColour(*shape, 0.3f * intensity, 0.3f * intensity, 0.8f * intensity);
}

void blast_of_air::draw() const
{
    drawInColour(*shape, 0.8f * intensity, 0.3f * intensity, 0.3f * intensity);
}

void breeze::draw() const
{
    drawInColour(*shape, 0.8f * intensity, 0.3f * intensity, 0.3f * intensity);
}
