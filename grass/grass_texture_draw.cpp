// The GL side of the grass textures: blades drawn into an offscreen
// framebuffer and read back, the texture builds, and the pending work of the
// setters.
#define GL_GLEXT_PROTOTYPES
#include "grass/grass_texture.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "grass/grass_animation.h"
#include "grass/grass_draw.h"
#include "grass/grass_geometry.h"
#include "util/random.h"

namespace {

// [SECTION] Offscreen target

/// A framebuffer object of one band's size, bound for drawing and reading,
/// with the projection [0, 1]² and an identity modelview. The framebuffers
/// bound before (the viewer draws into its own) are bound again by `end`.
class Offscreen {
public:
    Offscreen(int width, int height)
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead_);
        glGetIntegerv(GL_READ_BUFFER, &previousReadBuffer_);
        glGenFramebuffers(1, &framebuffer_);
        glGenRenderbuffers(2, renderbuffers_);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers_[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers_[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers_[1]);
        complete_ = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        pushUnitView();
    }
    ~Offscreen()
    {
        popUnitView();
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(previousDraw_));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(previousRead_));
        glReadBuffer(GLenum(previousReadBuffer_));
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteRenderbuffers(2, renderbuffers_);
    }
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;

    /// The target could be made (sizes within the implementation's limits).
    bool complete() const { return complete_; }

private:
    GLint previousDraw_ = 0, previousRead_ = 0, previousReadBuffer_ = GL_BACK;
    GLuint framebuffer_ = 0;
    GLuint renderbuffers_[2] = {0, 0};
    bool complete_ = false;
};

// [SECTION] Synthesis

/// What distinguishes the 2D texture (seen from 45° above) from the 2.5D one (side-on).
struct TextureKind {
    float rotation;
    bool drawsBaseHeight;
    float windScale, windOffset;
    float heightScale, heightOffset;
    bool flushBeforeRead;
    const char* error;
};

const TextureKind kind2D = {-45, true, 1.0f, -0.5f, 0.4f, 1.2f, true,
                            "Error:Texture: erreur dans la construction de la texture 2D"};
const TextureKind kind2D5 = {-90, false, 0.1f, -0.05f, 0.2f, 0.8f, false,
                             "Error:Texture: erreur dans la construction de la texture 2D5"};

bool fail(Texture& texture, const TextureKind& kind)
{
    std::puts(kind.error);
    texture.freeData();
    texture.width = texture.height = 0;
    return false;
}

bool renderGrassTexture(GrassField& field, Texture& texture, int width, int height, int count, float widthScale,
                        const TextureKind& kind)
{
    const int band = width / 4;
    const int unit = textureBladeUnit(count);
    texture.freeData();
    // Sizes come from scene files: refuse what no texture could hold.
    if (band <= 0 || height <= 0 || int64_t(band) * height * 4 > MAX_PICTURE_BYTES) return fail(texture, kind);

    std::vector<std::vector<unsigned char>> bands;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    {
        Offscreen target(band, height);
        if (!target.complete()) {
            glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
            return fail(texture, kind);
        }
        glRotatef(kind.rotation, 1, 0, 0);
        glViewport(0, 0, band, height);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        // The framebuffer starts undefined: clear it whatever the kind.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int level = 1; level <= 4; ++level) {
            const int blades = unit * level;
            for (int b = 0; b < blades; ++b) {
                BladeSkeleton s;
                s.P0[0] = (util::randomUnit() * 0.8f + 0.2f) / blades + float(b) / blades;
                s.P0[1] = 0;
                s.P0[2] = kind.drawsBaseHeight ? util::randomUnit() : 0;
                const float wind = util::randomUnit() * kind.windScale + kind.windOffset;
                const float bladeHeight = util::randomUnit() * kind.heightScale + kind.heightOffset;
                bendSkeleton(s, bladeHeight, wind, 0);
                drawBladeFixed(field, glGeometrySink(), s, 10, m[0], m[4], widthScale);
            }
            glGeometrySink().flush();
            if (kind.flushBeforeRead) glFlush();
            bands.emplace_back(size_t(band) * size_t(height) * 4);
            glReadPixels(0, 0, band, height, GL_RGBA, GL_UNSIGNED_BYTE, bands.back().data());
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
    }
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);

    for (const auto& pixels : bands)
        if (!concatMap(texture, pixels.data(), height, band, true)) return fail(texture, kind);
    const size_t count4 = size_t(texture.width) * size_t(texture.height) * 4;
    for (size_t i = 0; i < count4; i += 4) {
        const int sum = texture.pixels[i] + texture.pixels[i + 1] + texture.pixels[i + 2];
        texture.pixels[i + 3] = &kind == &kind2D ? (sum != 0 ? 255 : 0) : (unsigned char)std::min(255, 2 * sum);
    }
    if (&kind == &kind2D) extendColor(texture, width / 20);
    return texture.pixels != nullptr;
}

// [SECTION] Build state

/// Blades are drawn unlit and opaque, with the blade picture as it is when
/// the 3D blades use it, and white otherwise.
void beginTextureBuild(const GrassField& field)
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_HINT_BIT | GL_POLYGON_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    // A build may happen in wire mode; the textures must not keep its outlines.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0, 0, 0, 0);
    if (field.texture3D) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, field.picture3D.texName);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    } else {
        glDisable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
    }
}

void endTextureBuild(const GrassField& field)
{
    glPopAttrib();
    if (field.texture3D) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

/// The texture's unit width stands for a patch diagonal, which a ribbon spans.
float textureWidthScale(const GrassField& field)
{
    const float diagonal = std::sqrt(field.patchSizeX * field.patchSizeX + field.patchSizeY * field.patchSizeY);
    return diagonal > 0 ? 1.0f / diagonal : 1.0f;
}

} // namespace

bool renderGrassTexture2D(GrassField& field, Texture& texture, int width, int height, int count, float widthScale)
{
    return renderGrassTexture(field, texture, width, height, count, widthScale, kind2D);
}

bool renderGrassTexture2D5(GrassField& field, Texture& texture, int width, int height, int count, float widthScale)
{
    return renderGrassTexture(field, texture, width, height, count, widthScale, kind2D5);
}

void buildTexture2D(GrassField& field)
{
    beginTextureBuild(field);
    Texture& texture = field.picture2D;
    texture.deleteTexture();
    renderGrassTexture2D(field, texture, 128, 32, field.settings.bladesPerPatch, textureWidthScale(field));
    filterChannel(texture, 3, 10 - int(10 * field.antialiasing2D));
    texture.makeTexture(GL_RGBA, true);
    texture.freeData();
    endTextureBuild(field);
}

void buildTexture2D5(GrassField& field)
{
    beginTextureBuild(field);
    Texture& texture = field.picture2D5;
    texture.deleteTexture();
    renderGrassTexture2D5(field, texture, field.sizeX2D5, field.sizeY2D5, field.settings.bladesPerPatch / 2,
                          textureWidthScale(field));
    extendColor(texture, texture.width / 20);
    // The stored single-precision value times 10 in double: 0.7 gives 6.
    const int a = int(10.0 * double(field.antialiasing2D5));
    if (a != 0) filterChannel(texture, 3, 6 - a / 2);
    if (a > 5) filterChannel(texture, 3, 11 - a);
    texture.makeTexture(GL_RGBA, true);
    texture.freeData();
    endTextureBuild(field);
}

void prepareGrassTextures(GrassField& field)
{
    Texture& blade = field.picture3D;
    if (blade.pixels) {
        blade.deleteTexture();
        blade.makeTexture(GL_RGBA, true);
        blade.freeData();
    }
    if (!field.texturesReady) {
        buildTexture2D(field);
        buildTexture2D5(field);
        field.texturesReady = true;
    } else if (field.texture2D5Stale) {
        buildTexture2D5(field);
    }
    field.texture2D5Stale = false;
}

void releaseGrassTextures(GrassField& field)
{
    field.picture3D.deleteTexture();
    field.picture2D.deleteTexture();
    field.picture2D5.deleteTexture();
}
