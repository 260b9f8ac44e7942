#include "GLContext.h"
#include "KnownMap.h"
#include "OpenGLDriver.h"
#include "OpenGLTilemap.h"

#include <gtest/gtest.h>

namespace {

const int ScreenWidth = 1680;
const int ScreenHeight = 1050;

// The same map and the same expectation as the SDL back-end's test: both
// back-ends must put the same pixels on the screen.
TEST(OpenGLTilemapPixels, WindowShowsTheMapUnderTheClampedOffsetAndNothingOutsideIt)
{
    fixtures::ScratchDir dir;
    const std::string map = knownmap::Write(dir);
    OpenGLDriver* driver = glcontext::Driver();
    OpenGLTilemap tilemap(map);
    tilemap.SetCamera(knownmap::CameraColumns, knownmap::CameraRows, knownmap::WindowX, knownmap::WindowY);
    for (const knownmap::Offset& offset : knownmap::Offsets) {
        SCOPED_TRACE(testing::Message() << "offset (" << offset.x << ", " << offset.y << ")");
        driver->BeginDraw();
        tilemap.Draw(nullptr, offset.x, offset.y);
        const std::vector<Uint32> frame = glcontext::ReadBlock(0, 0, ScreenWidth, ScreenHeight);
        EXPECT_EQ("", knownmap::Mismatches(offset.x, offset.y, ScreenWidth, ScreenHeight, [&](int x, int y) {
                      return frame[static_cast<size_t>(y) * ScreenWidth + x];
                  }));
        driver->EndDraw();
    }
}

} // namespace
