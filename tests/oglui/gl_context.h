#pragma once
// A current compatibility-profile context for tests that draw, with an
// offscreen framebuffer of the given size, and GLUT initialised for its fonts.
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <GL/freeglut.h>

#include <memory>

class TestGlContext {
public:
    TestGlContext(int width, int height) : m_appReady(startApplication())
    {
        QSurfaceFormat format;
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setVersion(2, 1);
        format.setDepthBufferSize(24);
        m_context.setFormat(format);
        m_surface.setFormat(format);
        m_surface.create();
        m_ready = m_context.create() && m_context.makeCurrent(&m_surface);
        if (m_ready) {
            m_fbo = std::make_unique<QOpenGLFramebufferObject>(width, height,
                QOpenGLFramebufferObject::CombinedDepthStencil);
            m_fbo->bind();
        }
    }
    ~TestGlContext()
    {
        m_fbo.reset();
        m_context.doneCurrent();
    }
    bool ready() const { return m_ready; }

private:
    // The application must exist before the surface is constructed.
    static bool startApplication()
    {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) {
            new QGuiApplication(argc, argv);
            glutInit(&argc, argv);
        }
        return true;
    }

    bool m_appReady;
    QOpenGLContext m_context;
    QOffscreenSurface m_surface;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    bool m_ready = false;
};
