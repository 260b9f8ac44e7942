// OpenGLDriver on a real GL context: each frame starts from a black screen
// with texturing and blending off, whatever the previous frame left behind.
#include "GLContext.h"
#include "OpenGLDriver.h"
#include "OpenGLGraphics.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(OpenGLDriver, BeginDrawClearsToBlackAndSwitchesTexturingAndBlendingOff)
{
    OpenGLDriver* driver = glcontext::Driver();
    OpenGLGraphics graphics;
    driver->BeginDraw();
    for (int x = 0; x < 1680; x += 7)
        graphics.PutPixel(x, 525, 0xFFFFFF);
    graphics.PutPixel(0, 0, 0x00FF00);
    graphics.PutPixel(1679, 1049, 0x0000FF);
    ASSERT_EQ(0xFFFFFFu, glcontext::ReadPixel(840, 525));
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);

    driver->BeginDraw();

    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    const auto row = glcontext::ReadBlock(0, 525, 1680, 1);
    EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](Uint32 p) { return p == 0; }));
    EXPECT_EQ(0u, glcontext::ReadPixel(0, 0));
    EXPECT_EQ(0u, glcontext::ReadPixel(1679, 1049));
}

} // namespace
