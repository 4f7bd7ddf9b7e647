// The texture manager in a real context: one texture per file name, released on demand.
#include "gl_context.h"
#include "oglui/texture_manager.h"

#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cstdlib>
#include <string>

TEST(TextureManagerGl, makesOneTexturePerNameAndReleasesThem)
{
    TestGlContext gl(16, 16);
    ASSERT_TRUE(gl.ready());
    const std::string a = std::string(::testing::TempDir()) + "oglui_a.tga";
    const std::string b = std::string(::testing::TempDir()) + "oglui_b.tga";
    ASSERT_EQ(0, std::system(("convert -size 3x5 xc:red " + a + " && convert -size 8x8 xc:blue " + b).c_str()));

    const unsigned int idA = oglTextureLoad(a);
    ASSERT_NE(0u, idA);
    EXPECT_TRUE(glIsTexture(idA));
    EXPECT_EQ(idA, oglTextureLoad(a));
    EXPECT_EQ(idA, oglTextureFind(a));
    const unsigned int idB = oglTextureLoad(b);
    EXPECT_NE(idA, idB);
    EXPECT_EQ(0u, oglTextureLoad(a + ".missing"));
    EXPECT_EQ(0u, oglTextureFind(a + ".missing"));

    oglTextureReleaseAll();
    EXPECT_FALSE(glIsTexture(idA));
    EXPECT_EQ(0u, oglTextureFind(a));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}
