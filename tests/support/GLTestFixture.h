#pragma once

#include "gfx/WGL_Context.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

// A fixture for tests that draw: each test gets a fresh headless context (Mesa's llvmpipe
// through EGL) of Width × Height pixels, current on the test's thread. Where no context can be
// made the test is skipped with the reason, unless HALVANE_REQUIRE_GL is set (as the test
// script sets it), in which case it fails: there nothing may skip.
class GLTest : public ::testing::Test
{
public:
    static constexpr int Width = 800;
    static constexpr int Height = 600;

    using Pixel = std::array<uint8_t, 4>;

protected:
    void SetUp() override;
    void TearDown() override;

    // The RGBA bytes of the pixel at (x, y) of the back buffer, y counted from the bottom.
    static Pixel ReadPixel(int x, int y);
    // Whether two pixels agree within `tolerance` per channel.
    static bool Near(const Pixel& a, const Pixel& b, int tolerance = 2);

    std::unique_ptr<WGL_Context> context;
};

// Prints a pixel as "(r, g, b, a)" in failure messages.
std::ostream& operator<<(std::ostream& out, const GLTest::Pixel& pixel);
