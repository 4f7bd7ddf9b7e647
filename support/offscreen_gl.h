#pragma once
/// An offscreen OpenGL context for tests that draw and read their pictures
/// back, as the viewer draws into its own framebuffer object.
#include <QImage>

#include <memory>

class QOpenGLFramebufferObject;

/// A width × height framebuffer object with a depth buffer in the process's
/// one compatibility-profile 2.1 context. The first instance makes the
/// application object (when there is none), calls glutInit and creates the
/// context; those live until the process ends. The framebuffer goes with its
/// instance, so keep instances out of static storage.
class OffscreenGl {
public:
    /// Makes the context current with the new framebuffer bound and the
    /// viewport covering it. Throws std::runtime_error without a context.
    OffscreenGl(int width, int height);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    /// The framebuffer object's GL name.
    unsigned framebuffer() const;
    /// What the bound framebuffer holds, top row first: the RGBA bytes as GL
    /// holds them, taken as premultiplied like QOpenGLFramebufferObject::toImage.
    QImage picture() const;

private:
    int m_width, m_height;
    std::unique_ptr<QOpenGLFramebufferObject> m_target;
};
