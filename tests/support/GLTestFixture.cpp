#include "support/GLTestFixture.h"

#include <GL/gl.h>
#include <cstdlib>
#include <ostream>

void GLTest::SetUp()
{
    context = std::make_unique<WGL_Context>(Width, Height);
    if (context->IsValid())
        return;
    const std::string reason = "no headless GL context: " + context->GetError();
    if (std::getenv("HALVANE_REQUIRE_GL"))
        FAIL() << reason;
    else
        GTEST_SKIP() << reason;
}

void GLTest::TearDown()
{
    context.reset();
}

GLTest::Pixel GLTest::ReadPixel(int x, int y)
{
    Pixel pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

bool GLTest::Near(const Pixel& a, const Pixel& b, int tolerance)
{
    for (size_t i = 0; i < a.size(); ++i)
        if (std::abs(int(a[i]) - int(b[i])) > tolerance)
            return false;
    return true;
}

std::ostream& operator<<(std::ostream& out, const GLTest::Pixel& pixel)
{
    return out << "(" << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2]) << ", "
               << int(pixel[3]) << ")";
}
