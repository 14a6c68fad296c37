#include "gfx/OGL_Texture2D.h"
#include "gfx/OGL_TextureFoto.h"

#include "support/GLTestFixture.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <sstream>
#include <thread>

namespace
{
// A TGA file of width × height whose texel (x, y), y counted from the bottom, has red x·255/(w−1),
// green y·255/(h−1), blue 128 (and alpha 255 at 32 bits), so a pixel's colour tells which
// texel it shows.
std::string RampTga(int width, int height, int bits = 24)
{
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = char(width & 0xff);
    file[13] = char(width >> 8);
    file[14] = char(height & 0xff);
    file[15] = char(height >> 8);
    file[16] = char(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            file += char(128);                                              // blue
            file += char(std::lround(255.0 * y / std::max(height - 1, 1))); // green
            file += char(std::lround(255.0 * x / std::max(width - 1, 1)));  // red
            if (bits == 32)
                file += char(255);
        }
    return file;
}

// A grey SGI file of width × height, plain storage.
std::string GreySgi(int width, int height)
{
    std::string file(512, '\0');
    file[1] = char(0xda);
    file[0] = 1;
    file[3] = 1; // one byte per channel
    file[5] = 2; // dimension
    file[7] = char(width);
    file[9] = char(height);
    file[11] = 1;
    return file + std::string(size_t(width * height), char(200));
}

class OGL_TextureGLTest : public GLTest
{
protected:
    GLint Binding(GLenum query)
    {
        GLint bound = -1;
        glGetIntegerv(query, &bound);
        return bound;
    }

    GLint LevelParameter(GLenum target, int level, GLenum parameter)
    {
        GLint value = -1;
        glGetTexLevelParameteriv(target, level, parameter, &value);
        return value;
    }

    static std::string Show(const Pixel& pixel)
    {
        std::ostringstream out;
        out << pixel;
        return out.str();
    }

    TempDir dir;
};

TEST_F(OGL_TextureGLTest, BindWithoutImageDoesNothingAndTheFirstBindAfterLoadingCreates)
{
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);

    OGL_Texture2D texture;
    texture.Bind();
    EXPECT_EQ(texture.GetName(), 0u);
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_2D), GLint(other)) << "the earlier binding stays";

    // A file that cannot be read leaves a texture without a picture: binding still does nothing.
    EXPECT_FALSE(texture.LoadImage(dir.File("missing.tga")));
    texture.Bind();
    EXPECT_EQ(texture.GetName(), 0u);

    ASSERT_TRUE(texture.LoadImage(dir.Write("ramp.tga", RampTga(5, 3))));
    EXPECT_EQ(texture.GetName(), 0u) << "loading makes no GL object";
    texture.Bind();
    const GLuint name = texture.GetName();
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(glIsTexture(name));
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_2D), GLint(name));

    // Later binds reuse the object.
    glBindTexture(GL_TEXTURE_2D, other);
    texture.Bind();
    EXPECT_EQ(texture.GetName(), name);
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_2D), GLint(name));

    EXPECT_EQ(texture.Delete(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(texture.GetName(), 0u);
    EXPECT_FALSE(glIsTexture(name));
    glDeleteTextures(1, &other);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(OGL_TextureGLTest, FormatsFollowTheImageAndMipmapsAreBuilt)
{
    struct Row
    {
        const char* file;
        std::string bytes;
        GLint internalFormat;
    };
    const Row rows[] = {
        {"rgba.tga", RampTga(6, 4, 32), GL_RGBA8},
        {"rgb.tga", RampTga(6, 4, 24), GL_RGB8},
        {"grey.rgb", GreySgi(6, 4), GL_LUMINANCE},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.file);
        OGL_Texture2D texture;
        ASSERT_TRUE(texture.LoadImage(dir.Write(row.file, row.bytes)));
        EXPECT_EQ(texture.GetInternalFormat(), row.internalFormat);
        texture.Bind();
        EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT), row.internalFormat);
        EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 6);
        EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), 4);
        // The driver built the mipmap chain during the upload.
        EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH), 1);
        texture.Delete();
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(OGL_TextureGLTest, NewImageReachesGLOnlyThroughCreate)
{
    OGL_Texture2D texture;
    texture.SetWrap(GL_CLAMP_TO_EDGE);
    ASSERT_TRUE(texture.LoadImage(dir.Write("a.tga", RampTga(4, 4))));
    texture.Bind();
    ASSERT_TRUE(texture.LoadImage(dir.Write("b.tga", RampTga(8, 2))));
    texture.Bind();
    EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 4) << "bind keeps the object";
    texture.Create();
    EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 8);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);
    texture.Delete();
}

TEST_F(OGL_TextureGLTest, PictureLoadedOnAnotherThreadIsUploadedAtTheFirstBind)
{
    OGL_TextureFoto foto;
    EXPECT_EQ(foto.GetMode(), OGL_TextureFoto::NonPowerOfTwo) << "llvmpipe offers NPOT";
    const std::string path = dir.Write("worker.tga", RampTga(30, 20));
    std::thread worker([&] { foto.LoadImage(path); });
    worker.join();
    EXPECT_EQ(foto.GetPath(), path);
    EXPECT_EQ(foto.GetName(), 0u);
    foto.Bind();
    ASSERT_NE(foto.GetName(), 0u);
    EXPECT_EQ(LevelParameter(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 30);
    foto.Delete();
}

// Draws 300 × 200 pictures on the 100 × 100 square (100…200, 100…200) of a window-sized
// orthographic view and reads the pixels back, in each texture mode.
class OGL_TextureFotoGLTest : public OGL_TextureGLTest,
                              public ::testing::WithParamInterface<OGL_TextureFoto::Mode>
{
protected:
    void SetUp() override
    {
        OGL_TextureGLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        glViewport(0, 0, Width, Height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, Width, 0, Height, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        foto = std::make_unique<OGL_TextureFoto>(GetParam());
        foto->SetWrap(GL_CLAMP_TO_EDGE);
        ASSERT_TRUE(foto->LoadImage(dir.Write("p.tga", RampTga(300, 200))));
    }

    void TearDown() override
    {
        if (foto)
            foto->Delete();
        OGL_TextureGLTest::TearDown();
    }

    // The colour of texel (x, y) of the ramp, at fractional positions.
    static Pixel Texel(double x, double y)
    {
        return {uint8_t(std::lround(255.0 * x / 299)), uint8_t(std::lround(255.0 * y / 199)), 128,
                255};
    }

    // The texel a pixel centre shows when the picture's s from s0 to s1 and t from t0 to t1 are
    // spread over the screen rectangle.
    static Pixel Expected(double pixelX, double pixelY, double left, double right, double bottom,
                          double top, double s0, double s1, double t0, double t1)
    {
        const double s = s0 + (pixelX + 0.5 - left) / (right - left) * (s1 - s0);
        const double t = t0 + (pixelY + 0.5 - bottom) / (top - bottom) * (t1 - t0);
        return Texel(s * 300 - 0.5, t * 200 - 0.5);
    }

    std::unique_ptr<OGL_TextureFoto> foto;
};

TEST_P(OGL_TextureFotoGLTest, FilledShowsTheMiddleOfTheWideSide)
{
    foto->DrawFilled(100, 200, 200, 100);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // s runs from 1/6 to 5/6 across the square, t over the whole height.
    for (int x : {110, 150, 190})
        for (int y : {110, 150, 190})
        {
            const Pixel want = Expected(x, y, 100, 200, 100, 200, 1.0 / 6, 5.0 / 6, 0, 1);
            EXPECT_TRUE(Near(ReadPixel(x, y), want, 4))
                << "at " << x << ", " << y << ": " << Show(ReadPixel(x, y)) << " want "
                << Show(want);
        }
    // Nothing outside the square.
    const Pixel black{0, 0, 0, 255};
    for (auto [x, y] : {std::pair{99, 150}, {200, 150}, {150, 99}, {150, 200}})
        EXPECT_EQ(ReadPixel(x, y), black) << "at " << x << ", " << y;
    // The drawing leaves lighting on and this texture's target off.
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(foto->GetTarget()));
}

TEST_P(OGL_TextureFotoGLTest, FittedShowsTheWholePictureCentred)
{
    foto->DrawFitted(100, 200, 200, 100);
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // A 100 × 66.7 quad from y = 116.7 to 183.3, the whole picture on it.
    const double bottom = 150 - 100.0 / 3, top = 150 + 100.0 / 3;
    for (int x : {102, 150, 197})
        for (int y : {119, 150, 181})
        {
            const Pixel want = Expected(x, y, 100, 200, bottom, top, 0, 1, 0, 1);
            EXPECT_TRUE(Near(ReadPixel(x, y), want, 4))
                << "at " << x << ", " << y << ": " << Show(ReadPixel(x, y)) << " want "
                << Show(want);
        }
    const Pixel black{0, 0, 0, 255};
    for (int y : {105, 115, 185, 195})
        EXPECT_EQ(ReadPixel(150, y), black) << "above or below the quad at y " << y;
}

TEST_P(OGL_TextureFotoGLTest, PictureThatFailedToLoadDrawsNothing)
{
    ASSERT_FALSE(foto->LoadImage(dir.File("missing.jpg")));
    foto->DrawFilled(100, 200, 200, 100);
    foto->DrawFitted(100, 200, 200, 100);
    foto->DrawQuad({100, 100, 0}, {200, 100, 0}, {200, 200, 0}, {100, 200, 0});
    EXPECT_EQ(ReadPixel(150, 150), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(foto->GetName(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, OGL_TextureFotoGLTest,
                         ::testing::Values(OGL_TextureFoto::NonPowerOfTwo,
                                           OGL_TextureFoto::Rectangle),
                         [](const auto& info) {
                             return info.param == OGL_TextureFoto::Rectangle ? "Rectangle"
                                                                             : "NonPowerOfTwo";
                         });
} // namespace
