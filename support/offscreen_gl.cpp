#include "support/offscreen_gl.h"
#include "support/surface_format.h"

#include <GL/freeglut.h>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <stdexcept>

namespace {

QOffscreenSurface* surface = nullptr;
QOpenGLContext* context = nullptr;

/// Made once and never destroyed: at exit Qt's own globals are gone before
/// ours, and tearing a context down then crashes.
void makeContextCurrent()
{
    if (!context) {
        static int argc = 1;
        static char name[] = "velmora_gl_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
        glutInit(&argc, argv);  // the widget text uses its bitmap fonts
        const QSurfaceFormat format = compatibilityFormat();
        context = new QOpenGLContext;
        context->setFormat(format);
        surface = new QOffscreenSurface;
        surface->setFormat(format);
        surface->create();
        if (!context->create()) throw std::runtime_error("no OpenGL compatibility context");
    }
    if (!context->makeCurrent(surface)) throw std::runtime_error("the OpenGL context cannot be made current");
}

} // namespace

OffscreenGl::OffscreenGl(int width, int height) : m_width(width), m_height(height)
{
    makeContextCurrent();
    m_target = std::make_unique<QOpenGLFramebufferObject>(width, height, QOpenGLFramebufferObject::Depth);
    m_target->bind();
    glViewport(0, 0, width, height);
}

OffscreenGl::~OffscreenGl()
{
    // The framebuffer's GL name belongs to the context, which must be current to free it.
    context->makeCurrent(surface);
    m_target.reset();
}

unsigned OffscreenGl::framebuffer() const { return m_target->handle(); }

QImage OffscreenGl::picture() const
{
    // Premultiplied, as QOpenGLFramebufferObject::toImage takes framebuffer
    // contents, so that pixelColor() reads blended pixels the same way.
    QImage image(m_width, m_height, QImage::Format_RGBA8888_Premultiplied);
    glReadPixels(0, 0, m_width, m_height, GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    return image.mirrored();  // GL's rows run bottom up
}
