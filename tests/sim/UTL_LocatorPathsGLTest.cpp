#include "sim/UTL_SimCtrlHalvane.h"

#include "gfx/OGL_TextureAtlas.h"
#include "gfx/OGL_TextureFoto.h"
#include "scene/GFX_ConnectionFriends.h"
#include "util/UTL_FotoTextureBoss.h"

#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/WorkingDirectory.h"

#include <GL/gl.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The locators drawn the fast ways (balls as sprites, labels in batches, pictures in atlas
// pages) against the plain way, one locator after the other, over the shipped configuration:
// the same picture within 1.5 % RMSE from several viewpoints, near and far, with a friend
// picked.

namespace
{
constexpr float FrameSeconds = 1.0f / 60.0f;
constexpr double MaxRmse = 0.015;

using Image = std::vector<unsigned char>;

// The root-mean-square difference of two RGBA frames over their colour channels, 0…1.
double Rmse(const Image& a, const Image& b)
{
    double sum = 0.0;
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i)
    {
        if (i % 4 == 3)
            continue;
        const double d = (double(a[i]) - double(b[i])) / 255.0;
        sum += d * d;
        ++count;
    }
    return count ? std::sqrt(sum / double(count)) : 0.0;
}

struct Viewpoint
{
    float heading;
    float pitch;
    float distance;
};
} // namespace

class UTL_LocatorPathsGLTest : public GLTest
{
protected:
    void TearDown() override
    {
        controller.reset();
        workingDirectory.reset();
        GLTest::TearDown();
    }

    void Frame(float seconds = FrameSeconds) { controller->Step(Width, Height, seconds); }

    // Aims the camera and lets the labels settle on their sides, then reads the frame.
    Image FrameAt(const Viewpoint& view)
    {
        for (int i = 0; i < 40; ++i)
        {
            controller->GetCamera()->SetHeading(view.heading);
            controller->GetCamera()->SetPitch(view.pitch);
            controller->GetCamera()->SetDistance(view.distance);
            Frame();
        }
        Image pixels(size_t(Width) * Height * 4);
        glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    // Whether every friend's small picture has come back from the worker.
    bool PicturesArrived()
    {
        for (const std::string& path : squarePictures)
        {
            OGL_TextureFoto* texture = controller->GetPictureWorker()->RequestTexture(path);
            if (!texture || !texture->HasPicture())
                return false;
        }
        return true;
    }

    TempDir pictures;
    std::vector<std::string> squarePictures;
    std::unique_ptr<WorkingDirectory> workingDirectory;
    std::unique_ptr<UTL_SimCtrlHalvane> controller;
};

TEST_F(UTL_LocatorPathsGLTest, TheFastWaysDrawThePlainPicture)
{
    const char* source = std::getenv("HALVANE_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "CTest sets HALVANE_SOURCE_DIR";
    workingDirectory = std::make_unique<WorkingDirectory>(source);
    controller = std::make_unique<UTL_SimCtrlHalvane>();
    controller->Initialize(Width, Height);

    // Pictures of several sizes and patterns (a few odd ones, and one too large for an atlas
    // page); every fifth friend has none and shows the placeholder with its name.
    UTL_FriendCircle& circle = controller->GetCircle();
    circle.SetSelf("0", "User", "", "");
    constexpr int Friends = 30;
    for (int i = 1; i <= Friends; ++i)
    {
        std::string square;
        if (i % 5 != 0)
        {
            const int width = i == 7 ? 37 : i == 11 ? 1100 : 50;
            const int height = i == 7 ? 23 : i == 13 ? 61 : 50;
            square = pictures.Write(
                "friend" + std::to_string(i) + ".tga",
                MakeTgaRgba(width, height,
                            [i, width, height](int x, int y) -> std::array<unsigned char, 4>
                            {
                                return {static_cast<unsigned char>(255 * x / width),
                                        static_cast<unsigned char>(255 * y / height),
                                        static_cast<unsigned char>(i * 37 % 256), 255};
                            }));
            squarePictures.push_back(square);
        }
        circle.AddFriend(std::to_string(i), "Friend " + std::to_string(i), "", square);
    }
    circle.LayoutFriends();
    circle.ConnectSelf();
    for (int i = 2; i <= Friends; i += 3)
        circle.ConnectFriends("1", std::to_string(i), GFX_ConnectionFriends::FriendsDimAlpha,
                              false);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!PicturesArrived() && std::chrono::steady_clock::now() < deadline)
    {
        Frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(PicturesArrived());
    ASSERT_TRUE(controller->SelectFriendById("4"));
    for (int i = 0; i < 30; ++i)
        Frame(0.2f); // the flight to the picked friend ends

    const Viewpoint views[] = {
        {20.0f, 10.0f, 18500.0f},
        {140.0f, 40.0f, 18500.0f},
        {250.0f, -55.0f, 12000.0f},
        {300.0f, 5.0f, 7500.0f}, // near: the balls in front are large and keep the mesh
    };
    GFX_DrawPaths plain = GFX_DrawPaths::Plain();
    GFX_DrawPaths fast = plain;
    fast.ballSprites = true;
    fast.labelBatches = true;

    // Every plain frame first: the fast frames move the pictures into the atlas.
    std::vector<Image> plainFrames;
    controller->SetDrawPaths(plain);
    for (const Viewpoint& view : views)
        plainFrames.push_back(FrameAt(view));
    controller->SetDrawPaths(fast);
    for (size_t i = 0; i < std::size(views); ++i)
    {
        const Image fastFrame = FrameAt(views[i]);
        const double rmse = Rmse(plainFrames[i], fastFrame);
        std::cout << "locators, viewpoint " << i << ": RMSE " << rmse * 100.0 << " %\n";
        EXPECT_LE(rmse, MaxRmse) << "viewpoint " << i;
        // Not the same frame by accident: the plain one differs from the next viewpoint's.
        if (i + 1 < std::size(views))
        {
            EXPECT_GT(Rmse(plainFrames[i], plainFrames[i + 1]), 4 * MaxRmse);
        }
    }

    // The small pictures now live in the atlas without their decoded pixels.
    ASSERT_NE(controller->GetPictureAtlas(), nullptr);
    EXPECT_GE(controller->GetPictureAtlas()->CountPages(), 1);
    for (const std::string& path : squarePictures)
    {
        OGL_TextureFoto* texture = controller->GetPictureWorker()->RequestTexture(path);
        // The picked friend shows its large picture slot (here the placeholder) instead.
        if (path.find("friend4.") != std::string::npos)
            continue;
        // The picture worker keeps none larger than a label shows, so the oversized picture
        // arrives small enough for a page too.
        EXPECT_TRUE(texture->IsInAtlas()) << path;
        EXPECT_FALSE(texture->GetImage()->HasPixels()) << path;
    }

    // And the plain way draws the same picture from the atlas.
    controller->SetDrawPaths(plain);
    const double again = Rmse(plainFrames[0], FrameAt(views[0]));
    std::cout << "plain from the atlas, viewpoint 0: RMSE " << again * 100.0 << " %\n";
    EXPECT_LE(again, MaxRmse);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
