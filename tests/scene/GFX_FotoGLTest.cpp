#include "scene/GFX_Foto.h"

#include "util/UTL_FotoTextureBoss.h"

#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TestSceneOwner.h"

#include <GL/gl.h>
#include <chrono>
#include <thread>

using GFX_FotoGLTest = GLTest;

TEST_F(GFX_FotoGLTest, APhotoAppearsOnceTheWorkerHasDecodedIt)
{
    TempDir dir;
    const std::string path = dir.Write("red.tga", MakeTga(16, 16, 255, 0, 0));
    UTL_FotoTextureBoss worker;
    TestSceneOwner owner;
    owner.pictureWorker = &worker;
    GFX_Foto photo(&owner);
    photo.SetPath(path);

    // Pixel-exact 2-D drawing: the interface pass's projection, white, no blending.
    auto drawFrame = [&]
    {
        glViewport(0, 0, Width, Height);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, Width, 0, Height, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glColor3f(1, 1, 1);
        photo.DrawFitted(100, 200, 200, 100);
    };

    drawFrame(); // the first request only queues the picture
    EXPECT_PRED3(Near, ReadPixel(150, 150), (Pixel{0, 0, 0, 255}), 0) << "pending: nothing drawn";

    worker.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!photo.GetTexture() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_NE(photo.GetTexture(), nullptr);

    drawFrame();
    EXPECT_PRED3(Near, ReadPixel(150, 150), (Pixel{255, 0, 0, 255}), 2) << "the picture shows";
    EXPECT_PRED3(Near, ReadPixel(250, 150), (Pixel{0, 0, 0, 255}), 0) << "only inside its rect";
}
