#include "sim/UTL_SimCtrlHalvane.h"

#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_LocationHolder.h"
#include "util/UTL_FotoTextureBoss.h"

#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"

#include <GL/gl.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

// The main scene with the shipped configuration (dots, balls and labels all drawn), checked for
// what a still frame shows and for every change that must make the next frame draw the globe.

namespace
{
constexpr float FrameSeconds = 1.0f / 60.0f;
// More than a sliding label needs to settle, a few times over.
constexpr int SettleFrames = 300;

using Image = std::vector<uint8_t>;

Image ReadFrame(int width, int height)
{
    Image pixels(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

size_t CountDifferent(const Image& a, const Image& b)
{
    size_t different = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); i += 4)
        different += std::equal(&a[i], &a[i] + 4, &b[i]) ? 0 : 1;
    return different;
}
} // namespace

class UTL_StillSceneGLTest : public GLTest
{
protected:
    void TearDown() override
    {
        controller.reset();
        if (!saved.empty())
            std::filesystem::current_path(saved);
        GLTest::TearDown();
    }

    // A fresh controller over the shipped configuration, with a user, eight friends, the lines
    // from the user and a few between friends.
    void Start()
    {
        controller.reset();
        const char* source = std::getenv("HALVANE_SOURCE_DIR");
        ASSERT_NE(source, nullptr) << "CTest sets HALVANE_SOURCE_DIR";
        if (saved.empty())
            saved = std::filesystem::current_path();
        std::filesystem::current_path(source);
        controller = std::make_unique<UTL_SimCtrlHalvane>();
        controller->Initialize(Width, Height);
        UTL_FriendCircle& circle = controller->GetCircle();
        circle.SetSelf("0", "User", "", "");
        for (int i = 1; i <= 8; ++i)
            circle.AddFriend(std::to_string(i), "Friend " + std::to_string(i), "", "");
        circle.LayoutFriends();
        circle.ConnectSelf();
        for (int i = 2; i <= 8; i += 2)
            circle.ConnectFriends("1", std::to_string(i), GFX_ConnectionFriends::FriendsDimAlpha,
                                  false);
    }

    void Frame()
    {
        shownBefore = controller->GetStillScene().CountShown();
        controller->Step(width, height, FrameSeconds);
    }
    // Whether the last frame showed the kept pass instead of drawing the globe.
    bool LastFrameStill() const { return controller->GetStillScene().CountShown() > shownBefore; }
    // Steps frames until one shows the kept pass; false when none did.
    bool SettleUntilStill()
    {
        for (int i = 0; i < SettleFrames; ++i)
        {
            Frame();
            if (LastFrameStill())
                return true;
        }
        return false;
    }

    std::unique_ptr<UTL_SimCtrlHalvane> controller;
    long long shownBefore = 0;
    std::filesystem::path saved;
    int width = Width;
    int height = Height;
};

TEST_F(UTL_StillSceneGLTest, AStillFrameShowsExactlyWhatDrawingTheSceneAgainShows)
{
    Start();
    ASSERT_TRUE(controller->SelectFriendById("2"));
    // A glide, then labels sliding to their new sides: the still frame comes only after both.
    ASSERT_TRUE(SettleUntilStill());
    const Image still = ReadFrame(Width, Height);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    GFX_DrawPaths paths = controller->GetDrawPaths();
    paths.reuseStillScene = false;
    controller->SetDrawPaths(paths);
    std::vector<float> sides;
    for (const auto& holder : controller->GetCircle().GetHolders())
        sides.insert(sides.end(), {holder->GetLabelSideUp(), holder->GetLabelSideRight()});
    Frame();
    ASSERT_FALSE(LastFrameStill());
    const Image drawn = ReadFrame(Width, Height);
    EXPECT_EQ(CountDifferent(still, drawn), 0u) << "of " << Width * Height << " pixels";
    // The pass it stood for had come to rest: drawing it again moved no label.
    size_t i = 0;
    for (const auto& holder : controller->GetCircle().GetHolders())
    {
        EXPECT_EQ(holder->GetLabelSideUp(), sides[i++]);
        EXPECT_EQ(holder->GetLabelSideRight(), sides[i++]);
    }

    // Reuse on again, the same picture comes back from the copy.
    paths.reuseStillScene = true;
    controller->SetDrawPaths(paths);
    ASSERT_TRUE(SettleUntilStill());
    EXPECT_EQ(CountDifferent(ReadFrame(Width, Height), drawn), 0u);
}

TEST_F(UTL_StillSceneGLTest, EveryChangeOfTheGlobeDrawsTheNextFrame)
{
    struct Change
    {
        const char* what;
        std::function<void(UTL_SimCtrlHalvane&, int& width, int& height)> make;
    };
    const Change changes[] = {
        {"the camera turns", [](UTL_SimCtrlHalvane& c, int&, int&) { c.TurnCamera(0.5f, 0.0f); }},
        {"the camera tilts", [](UTL_SimCtrlHalvane& c, int&, int&) { c.TurnCamera(0.0f, 0.5f); }},
        {"the window narrows", [](UTL_SimCtrlHalvane&, int& w, int&) { w -= 40; }},
        {"the window gets lower", [](UTL_SimCtrlHalvane&, int&, int& h) { h -= 30; }},
        {"a friend is selected",
         [](UTL_SimCtrlHalvane& c, int&, int&) { c.SelectFriendById("5"); }},
        {"the camera glides to a locator",
         [](UTL_SimCtrlHalvane& c, int&, int&) { c.FlyTo(c.GetCircle().GetHolders()[3].get()); }},
        {"a friendship arrives",
         [](UTL_SimCtrlHalvane& c, int&, int&) {
             c.GetCircle().ConnectFriends("3", "7", GFX_ConnectionFriends::FriendsDimAlpha, false);
         }},
        {"a line lights up", [](UTL_SimCtrlHalvane& c, int&, int&)
         { c.GetCircle().GetConnections().back()->SetHighlighted(true); }},
        {"a friend arrives",
         [](UTL_SimCtrlHalvane& c, int&, int&)
         {
             c.GetCircle().AddFriend("9", "Friend 9", "", "");
             c.GetCircle().LayoutFriends();
         }},
        {"people get colours",
         [](UTL_SimCtrlHalvane& c, int&, int&) {
             c.GetCircle().SetPersonColors({{"4", GFX_Vector3(1.0f, 0.0f, 0.0f)}});
         }},
        {"the dots are drawn another way",
         [](UTL_SimCtrlHalvane& c, int&, int&)
         {
             GFX_DrawPaths paths = c.GetDrawPaths();
             paths.dotRibbons = !paths.dotRibbons;
             c.SetDrawPaths(paths);
         }},
        {"the circle is emptied", [](UTL_SimCtrlHalvane& c, int&, int&) { c.ClearCircle(); }},
    };
    for (const Change& change : changes)
    {
        SCOPED_TRACE(change.what);
        width = Width;
        height = Height;
        Start();
        ASSERT_TRUE(SettleUntilStill());
        change.make(*controller, width, height);
        Frame();
        EXPECT_FALSE(LastFrameStill());
        // ... and once the change has played out, frames are still again.
        EXPECT_TRUE(SettleUntilStill());
    }
}

TEST_F(UTL_StillSceneGLTest, APictureThatArrivesWhileTheSceneIsStillIsShown)
{
    TempDir pictures;
    const std::string path = pictures.Write("ann.tga", MakeTga(32, 32, 255, 0, 0));
    Start();
    controller->GetCircle().AddFriend("10", "Ann", path, path);
    controller->GetCircle().LayoutFriends();
    Frame(); // the label asks for its picture
    UTL_FotoTextureBoss& worker = *controller->GetPictureWorker();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (worker.CountPending() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(worker.CountPending(), 0u);
    Frame();
    EXPECT_FALSE(LastFrameStill());
    ASSERT_TRUE(SettleUntilStill());

    // The still frame carries the picture: it matches a frame drawn in full.
    const Image still = ReadFrame(Width, Height);
    GFX_DrawPaths paths = controller->GetDrawPaths();
    paths.reuseStillScene = false;
    controller->SetDrawPaths(paths);
    Frame();
    EXPECT_EQ(CountDifferent(still, ReadFrame(Width, Height)), 0u);
}

TEST_F(UTL_StillSceneGLTest, WithoutReuseEveryFrameDrawsTheGlobe)
{
    Start();
    GFX_DrawPaths paths = controller->GetDrawPaths();
    paths.reuseStillScene = false;
    controller->SetDrawPaths(paths);
    for (int i = 0; i < 20; ++i)
    {
        Frame();
        ASSERT_FALSE(LastFrameStill()) << "frame " << i;
    }
    EXPECT_EQ(controller->GetStillScene().CountShown(), 0);
}
