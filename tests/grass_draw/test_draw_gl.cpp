// Texture synthesis and draw passes in an offscreen context, read back.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "grass/grass_drawing.h"
#include "grass/grass_animation.h"
#include "grass/grass_draw.h"
#include "grass/grass_geometry.h"
#include "grass/grass_texture.h"
#include "support/offscreen_gl.h"
#include "util/random.h"

namespace {

/// What the GL sink replaced: each vertex sent to GL as it comes.
struct ImmediateSink : GeometrySink {
    void begin(GrassPrimitive p) override { glBegin(p == GrassPrimitive::QuadStrip ? GL_QUAD_STRIP : GL_QUADS); }
    void vertex(float n, float, float, const float p[3]) override { glNormal3f(0, 0, n); glVertex3fv(p); }
    void end() override { glEnd(); }
};

/// A 4 m square of 1 m patches, 40 blades each, drawn into 128 × 128 pixels.
class GrassGl : public ::testing::Test {
protected:
    OffscreenGl gl{128, 128};
    GrassField field;

    void SetUp() override
    {
        // The context outlives each test's drawing: start from a plain state.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 0);
        util::randomSeed(7);
        const float area[4] = {0, 0, 4, 4};
        field.initField(area, 4, 4, nullptr);
        field.setBladesPerSquareMetre(400);
        field.setHeight(1);
        field.setWidth(0.04f);
    }
    void TearDown() override { releaseGrassTextures(field); }
    /// Level 0 of a texture object as RGBA bytes, and its width.
    static std::vector<unsigned char> textureImage(unsigned name, int* width = nullptr)
    {
        int w = 0, h = 0;
        glBindTexture(GL_TEXTURE_2D, name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<unsigned char> pixels(size_t(w) * h * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        if (width) *width = w;
        return pixels;
    }
    /// Texels of texture `name` with alpha above `threshold` in each quarter of its width.
    static std::vector<int> bandCoverage(unsigned name, int threshold = 0)
    {
        int width = 0;
        const std::vector<unsigned char> rgba = textureImage(name, &width);
        std::vector<int> bands(4, 0);
        for (size_t i = 0; i < rgba.size(); i += 4) bands[(i / 4 % width) / (width / 4)] += rgba[i + 3] > threshold;
        return bands;
    }
    /// Every patch at `lod` and `distance`, blades bent by (wx, wy), seen
    /// straight down with the 4 m square filling the frame, lit from above.
    void drawFromAbove(int16_t lod, float distance, float wx = 0, float wy = 0)
    {
        for (GrassNode& n : field.getNodes()) bendSkeleton(n.skeleton, n.height, wx, wy);
        for (GrassPatch& p : field.getPatches()) {
            p.lod = lod;
            p.distance = distance;
        }
        field.drawing().view.sideX = 1;
        field.drawing().view.sideY = 0;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 4, 0, 4, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        const GLfloat fromAbove[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawField(field);
    }
    /// Pixels of the frame where green leads.
    int greenPixels() const
    {
        const QImage picture = gl.picture();
        int green = 0;
        for (const uchar* p = picture.constBits(); p < picture.constBits() + picture.sizeInBytes(); p += 4)
            green += p[1] > 20 && p[1] > p[0] && p[1] > p[2];
        return green;
    }
};

} // namespace

TEST_F(GrassGl, SynthesisedTexturesAreSoftenedByTheirSettings)
{
    // The side texture's alpha is filtered with a = trunc(10 × softening) taken
    // in double: 0.4 and 0.5 both once, with centre weight 6 − a div 2 = 4;
    // 0.6 and 0.7 (stored as 0.6999…) both twice, with weights 3 and 11 − 6 = 5.
    field.setSizeTexture2D5(256, 32);
    std::vector<std::vector<unsigned char>> side;
    for (float softening : {0.4f, 0.5f, 0.6f, 0.7f}) {
        field.setAntialiasing2D5(softening);
        util::randomSeed(5);
        field.drawing().randomTable.setCursor(0);
        buildTexture2D5(field);
        side.push_back(textureImage(field.drawing().picture2D5.texName));
    }
    EXPECT_TRUE(side[0] == side[1]) << "0.5 filters once";
    EXPECT_TRUE(side[2] == side[3]) << "0.7 counts as 6";
    EXPECT_FALSE(side[1] == side[2]);
    // Blades 0.8 to 1 high, seen side-on, reach the top rows; bright ones are
    // opaque (twice the colour sum held at 255; wrapped, every alpha is even).
    int high = 0, opaque = 0;
    for (size_t i = 3; i < side[1].size(); i += 4) {
        high += i >= 4 * 28 * 256 && side[1][i] > 0;
        opaque += side[1][i] == 255;
    }
    EXPECT_GT(high, 0);
    EXPECT_GT(opaque, 0);
    // From above, clear and opaque texels filtered with weight 10 − trunc(10 × 0.5)
    // = 5: a clear one inside the border with one opaque of its eight
    // neighbours takes 255 / (5 + 8) = 19.
    util::randomSeed(6);
    field.drawing().randomTable.setCursor(0);
    buildTexture2D(field);
    int width = 0;
    const std::vector<unsigned char> above = textureImage(field.drawing().picture2D.texName, &width);
    const int height = int(above.size() / 4) / width;
    int beside = 0;
    for (int y = 1; y + 1 < height; ++y)
        for (int x = 1; x + 1 < width; ++x) beside += above[4 * (y * width + x) + 3] == 19;
    EXPECT_GT(beside, 0);

    Texture blades;
    testing::internal::CaptureStdout();
    const bool refused = !renderGrassTexture2D5(field, blades, 3, 32, 8, 0.7f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error:Texture: erreur dans la construction de la texture 2D5\n");
    EXPECT_TRUE(refused);
    EXPECT_EQ(blades.pixels, nullptr);
}

TEST_F(GrassGl, EachPassDrawsOnlyWhenItsLevelHasARangeAndRestoresTheState)
{
    field.setPolygons3D(4);
    field.setPolygons2D5(1);
    field.setDistance2D5(5);
    field.setDistance2D(10);
    drawFromAbove(LOD_2D, 8);
    EXPECT_EQ(field.getPolygonCount(), 2u * 16);
    EXPECT_EQ(field.drawing().drawOrder.front() % 4, 3) << "looking along +y, the far row first";
    EXPECT_GT(greenPixels(), 128 * 128 / 4);  // the synthesised texture covers the ground
    field.setDistance3D(0);  // no 3D range: nothing drawn
    drawFromAbove(LOD_3D, 1);
    EXPECT_EQ(field.getPolygonCount(), 0u);
    field.setDistance3D(5);  // no range left between 3D and 2.5D
    drawFromAbove(LOD_2D5, 3);
    EXPECT_EQ(field.getPolygonCount(), 0u);
    field.setDistance3D(2);
    drawFromAbove(LOD_2D5, 3);
    EXPECT_EQ(field.getPolygonCount(), 16u * 4);  // trunc((1 − 1/5)·1) + 1 = 1 segment, 4 triangles
    drawFromAbove(LOD_3D_FAR, 1);  // trunc(3·0.5) + 1 + 1 = 3 segments, 40 blades
    EXPECT_EQ(field.getPolygonCount(), 16u * 2 * 3 * 40);
    drawLodColours(field);  // which leaves them out, and has no final + 1 for 3D
    EXPECT_EQ(field.getPolygonCount(), 0u);
    for (GrassPatch& p : field.getPatches()) p.lod = LOD_3D;
    drawLodColours(field);
    EXPECT_EQ(field.getPolygonCount(), 16u * 2 * 2 * 40);

    // Blades bent sideways show from above, unless their patches have no level;
    // far ones slide towards the diagonals (distance 1.66: halfway from 1.32 to 2).
    drawFromAbove(LOD_NONE, 1, 0.8f, 0.3f);
    EXPECT_EQ(greenPixels(), 0);
    drawFromAbove(LOD_3D, 1.66f, 0.8f, 0.3f);
    const QImage near = gl.picture();
    EXPECT_GT(greenPixels(), 200);
    drawFromAbove(LOD_3D_FAR, 1.66f, 0.8f, 0.3f);
    EXPECT_NE(gl.picture(), near);

    // Textured blades: no alpha test, and blending and texturing end with the field.
    field.setTexture3D(true);
    field.loadTexture3D(VELMORA_RUN_DIR "/GrassData/grassBlade.tga");
    drawFromAbove(LOD_3D, 1, 0.8f, 0.3f);
    EXPECT_EQ(std::tuple(glIsEnabled(GL_BLEND), glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_ALPHA_TEST)),
              std::tuple(GLboolean(GL_FALSE), GLboolean(GL_FALSE), GLboolean(GL_FALSE)));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GrassGl, TheSinkDrawsWhatImmediateModeDrawsFilledAndOutlined)
{
    // Lit from above with a normal height per vertex (n, x, y, z): a quad's
    // shading shows the diagonal that split it into triangles.
    const float strip[6][4] = {{0.1f, 0.2f, 0.2f, 0}, {0.9f, 1.8f, 0.4f, 0}, {0.9f, 0.4f, 1.9f, 0},
                               {0.2f, 2.0f, 1.7f, 0}, {0.1f, 0.3f, 3.8f, 0}, {1.0f, 1.9f, 3.5f, 0}};
    const float quad[4][4] = {{0.1f, 2.2f, 0.2f, 0}, {1.0f, 3.9f, 0.5f, 0}, {0.1f, 3.7f, 3.6f, 0}, {0.9f, 2.4f, 3.9f, 0}};
    ImmediateSink immediate;
    drawFromAbove(LOD_NONE, 0);
    for (GLenum mode : {GL_FILL, GL_LINE}) {
        glPolygonMode(GL_FRONT_AND_BACK, mode);
        std::vector<QImage> pictures;
        for (GeometrySink* sink : {static_cast<GeometrySink*>(&immediate), &glGeometrySink()}) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            for (auto [primitive, vertices, count] :
                 {std::tuple{GrassPrimitive::QuadStrip, strip, 6}, std::tuple{GrassPrimitive::Quads, quad, 4}}) {
                sink->begin(primitive);
                for (int k = 0; k < count; ++k) sink->vertex(vertices[k][0], 0, 0, vertices[k] + 1);
                sink->end();
            }
            sink->flush();
            pictures.push_back(gl.picture());
        }
        EXPECT_EQ(pictures[0], pictures[1]) << (mode == GL_FILL ? "filled" : "outlined");
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

TEST_F(GrassGl, TexturesAreBuiltFilledOffTheFrameAndABladePictureSurvivesAFailedLoad)
{
    glClearColor(0.2f, 0.4f, 0.6f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    field.setWidth(0.3f);  // blades wide enough for their outlines to differ from them
    prepareGrassTextures(field);
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), gl.framebuffer());
    EXPECT_NEAR(gl.picture().pixelColor(64, 64).blue(), 153, 2);
    const std::vector<int> bands = bandCoverage(field.drawing().picture2D.texName);
    EXPECT_GT(bands[3], bands[0]);
    const int filled = bandCoverage(field.drawing().picture2D5.texName, 200)[0];
    const std::vector<unsigned char> side = textureImage(field.drawing().picture2D5.texName);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    field.setSeed2D5(3);
    prepareGrassTextures(field);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    EXPECT_GT(bandCoverage(field.drawing().picture2D5.texName, 200)[0], filled * 3 / 4);
    EXPECT_NE(textureImage(field.drawing().picture2D5.texName), side) << "a new seed rebuilds the side texture";

    // No assertion while stdout is captured: a failure would end the test with its message swallowed.
    testing::internal::CaptureStdout();
    field.setAntialiasing3D(0.5f);  // no picture named yet: nothing to reload, no warning
    field.setTexture3DFile(VELMORA_RUN_DIR "/GrassData/grassBlade.tga");
    prepareGrassTextures(field);
    const std::vector<unsigned char> white = textureImage(field.drawing().picture2D.texName);
    field.setTexture3D(true);  // the textures are drawn again with the blade picture
    prepareGrassTextures(field);
    const std::vector<unsigned char> pictured = textureImage(field.drawing().picture2D.texName);
    const unsigned blade = field.drawing().picture3D.texName;
    field.setTexture3DFile("GrassData/missing.tga");
    prepareGrassTextures(field);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Warning:Texture: unable to load map GrassData/missing.tga;\n");
    EXPECT_EQ(field.drawing().picture3D.texName, blade);
    EXPECT_TRUE(glIsTexture(blade));
    EXPECT_NE(pictured, white);
}
