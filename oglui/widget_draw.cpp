// The one layer of the widgets that talks to GL: immediate mode in an
// orthographic view of 0..1 × 0..1 (y downwards), text in GLUT bitmap fonts.
#include "oglui/widget_paint.h"

#include <GL/freeglut.h>
#include <GL/gl.h>


namespace {

// Set by OGLInterface::draw for the widgets' drawSelf.
int s_viewWidth = 1, s_viewHeight = 1;
bool s_fonts = false;

void* const FONT = GLUT_BITMAP_HELVETICA_12;
constexpr float FONT_ASCENT_PX = 9;  // capital height of the font

void setColor(const OGLColor& c) { glColor4f(c.r, c.g, c.b, c.a); }

void line(float x0, float y0, float x1, float y1)
{
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
}

void quad(const OGLRect& r, unsigned int texture, const OGLColor& tint)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    setColor(tint);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1); glVertex2f(r.x, r.y);
    glTexCoord2f(1, 1); glVertex2f(r.x + r.w, r.y);
    glTexCoord2f(1, 0); glVertex2f(r.x + r.w, r.y + r.h);
    glTexCoord2f(0, 0); glVertex2f(r.x, r.y + r.h);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

unsigned int textureOf(const std::string& branch, const char* name)
{
    const OGLIResourceTexture* t = oglTextureResource(branch, name);
    return t ? t->textureId() : 0;
}

} // namespace

// [SECTION] Helpers

void oglPaintFill(const OGLRect& r, const OGLColor& c)
{
    if (c.a <= 0) return;
    setColor(c);
    glRectf(r.x, r.y, r.x + r.w, r.y + r.h);
}

bool oglPaintPicture(const OGLRect& r, const std::string& branch, const char* name, const OGLColor& tint)
{
    const unsigned int t = textureOf(branch, name);
    if (t) quad(r, t, tint);
    return t != 0;
}

void oglPaintBackground(const OGLRect& r, const std::string& branch, const char* colorName, const char* textureName)
{
    const OGLColor c = oglColorResource(branch, colorName);
    if (!oglPaintPicture(r, branch, textureName, c.a > 0 ? c : OGLColor{1, 1, 1, 1})) oglPaintFill(r, c);
}

void oglPaintFrame(const OGLRect& r, int style)
{
    const OGLColor light{1, 1, 1, 0.55f}, dark{0, 0, 0, 0.7f};
    if (style != OGL_BORDER_IN && style != OGL_BORDER_OUT && style != OGL_BORDER_DARK && style != OGL_BORDER_LIGHT)
        return;
    const OGLColor& topLeft = style == OGL_BORDER_IN || style == OGL_BORDER_DARK ? dark : light;
    const OGLColor& bottomRight = style == OGL_BORDER_OUT || style == OGL_BORDER_DARK ? dark : light;
    // Half a pixel inwards so that the lines fall on the rectangle's own pixels.
    const float hx = 0.5f / s_viewWidth, hy = 0.5f / s_viewHeight;
    const float x0 = r.x + hx, y0 = r.y + hy, x1 = r.x + r.w - hx, y1 = r.y + r.h - hy;
    glBegin(GL_LINES);
    setColor(topLeft);
    line(x0, y0, x1, y0);
    line(x0, y0, x0, y1);
    setColor(bottomRight);
    line(x0, y1, x1, y1);
    line(x1, y0, x1, y1);
    glEnd();
}

float oglPaintTextWidth(const std::string& text)
{
    if (!s_fonts) return 0;
    return float(glutBitmapLength(FONT, reinterpret_cast<const unsigned char*>(text.c_str()))) / s_viewWidth;
}

void oglPaintText(float x, float y, const std::string& text, const OGLColor& c)
{
    if (!s_fonts || text.empty()) return;
    setColor(c);
    glRasterPos2f(x, y + FONT_ASCENT_PX / 2 / s_viewHeight);
    for (const char ch : text) glutBitmapCharacter(FONT, static_cast<unsigned char>(ch));
}

float oglPaintPixelsX(float px) { return px / s_viewWidth; }
float oglPaintPixelsY(float px) { return px / s_viewHeight; }

// [SECTION] Widgets

void OGLWidget::draw() const
{
    if (!m_pShown) return;
    drawSelf();
    for (const auto& child : m_pChildren) child->draw();
}

void OGLWidget::drawSelf() const {}

void OGLLabel::drawSelf() const
{
    const OGLRect r = rect();
    oglPaintFill(r, oglColorResource(branch(), "bgcolor"));
    oglPaintText(r.x, r.y + r.h / 2, m_pText, oglColorResource(branch(), "textcolor"));
}

void OGLButton::drawSelf() const
{
    const OGLRect r = rect();
    oglPaintBackground(r, branch(), "bgcolor", "bgtexture");
    oglPaintFrame(r, oglEnumResource(branch(), m_pPressed ? "pressedborder" : "normalborder"));
    const float shift = m_pPressed ? oglPaintPixelsX(1) : 0;
    oglPaintText(r.x + (r.w - oglPaintTextWidth(m_pCaption)) / 2 + shift, r.y + r.h / 2 + shift, m_pCaption,
                 oglColorResource(branch(), "textcolor"));
}

void OGLCheckButton::drawSelf() const
{
    const OGLRect r = rect();
    oglPaintBackground(r, branch(), "bgcolor", "bgtexture");
    oglPaintFrame(r, oglEnumResource(branch(), isPressed() ? "pressedborder" : "normalborder"));
    const OGLColor ink = oglColorResource(branch(), "textcolor");
    const float side = oglPaintPixelsY(12);
    const OGLRect box{r.x + oglPaintPixelsX(4), r.y + (r.h - side) / 2, oglPaintPixelsX(12), side};
    if (!oglPaintPicture(box, branch(), isChecked() ? "seticon" : "clearicon")) {
        oglPaintFrame(box, OGL_BORDER_IN);
        if (isChecked()) oglPaintFill({box.x + box.w / 4, box.y + box.h / 4, box.w / 2, box.h / 2}, ink);
    }
    oglPaintText(box.x + box.w + oglPaintPixelsX(5), r.y + r.h / 2, caption(), ink);
}

void OGLValueControl::drawSelf() const
{
    const OGLRect r = rect();
    if (oglPaintPicture(r, branch(), "texture")) return;
    oglPaintFill(r, {0.5f, 0.5f, 0.5f, 1});
    oglPaintFrame(r, OGL_BORDER_OUT);
}

void OGLCurveEditor::drawSelf() const
{
    const OGLRect r = rect();
    oglPaintFill(r, oglColorResource(branch(), "bgcolor"));
    glBegin(GL_LINES);
    setColor(oglColorResource(branch(), "horizcolor"));
    for (float f : {0.25f, 0.5f, 0.75f}) line(r.x, r.y + f * r.h, r.x + r.w, r.y + f * r.h);
    setColor(oglColorResource(branch(), "vertcolor"));
    for (float f : {0.25f, 0.5f, 0.75f}) line(r.x + f * r.w, r.y, r.x + f * r.w, r.y + r.h);
    glEnd();
    oglPaintFrame(r, OGL_BORDER_IN);
    oglPaintText(r.x + oglPaintPixelsX(3), r.y + oglPaintPixelsY(8), m_pTitle,
                 oglColorResource("spline_label", "textcolor"));

    const char* colours[2] = {"curveacolor", "curvebcolor"};
    const float px = oglPaintPixelsX(2.5f), py = oglPaintPixelsY(2.5f);
    for (int b = 0; b < 2; ++b) {
        glLineWidth(1.5f);
        setColor(oglColorResource(branch(), colours[b]));
        glBegin(GL_LINE_STRIP);
        for (const OGLCurvePoint& p : m_pLines[b]) glVertex2f(r.x + p.x * r.w, r.y + (1 - p.y) * r.h);
        glEnd();
        glLineWidth(1);
        for (int i = 0; i < 4; ++i) {
            const OGLCurvePoint& p = m_pLines[b][i];
            const bool held = b == m_pDragBound && i == m_pDragIndex;
            const float cx = r.x + p.x * r.w, cy = r.y + (1 - p.y) * r.h, k = held ? 1.6f : 1;
            oglPaintFill({cx - k * px, cy - k * py, 2 * k * px, 2 * k * py}, oglColorResource(branch(), "cursorcolor"));
        }
    }
}

void OGLWindow::drawSelf() const
{
    const OGLRect r = rect();
    oglPaintBackground({r.x, r.y + TITLE_HEIGHT, r.w, r.h - TITLE_HEIGHT}, branch(), "bgcolor", "bgtexture");
    const OGLRect bar{r.x, r.y, r.w, TITLE_HEIGHT};
    oglPaintBackground(bar, branch(), "titlecolor", "titletexture");
    oglPaintText(r.x + oglPaintPixelsX(6), r.y + TITLE_HEIGHT / 2, m_pTitle,
                 oglColorResource(branch(), "titletextcolor"));
    oglPaintFrame(r, oglEnumResource(branch(), "border"));
}

void OGLInterface::draw() const
{
    s_viewWidth = m_pWidth;
    s_viewHeight = m_pHeight;
    // Text needs glutInit; without it freeglut would end the program.
    s_fonts = glutGet(GLUT_INIT_STATE) != 0;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 1, 0, -1, 1);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The picture's own alpha stays as it was: translucent windows must not make the view translucent.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLineWidth(1);

    for (const auto& window : m_pWindows) window->draw();

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
