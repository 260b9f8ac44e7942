#include "KnownMap.h"
#include "SDLDriver.h"
#include "SDLScreen.h"
#include "SDLTilemap.h"

#include <gtest/gtest.h>

namespace {

TEST(SDLTilemapPixels, WindowShowsTheMapUnderTheClampedOffsetAndNothingOutsideIt)
{
    fixtures::ScratchDir dir;
    const std::string map = knownmap::Write(dir);
    SDLDriver* driver = sdlscreen::Driver();
    SDLTilemap tilemap(map);
    tilemap.SetCamera(knownmap::CameraColumns, knownmap::CameraRows, knownmap::WindowX, knownmap::WindowY);
    for (const knownmap::Offset& offset : knownmap::Offsets) {
        SCOPED_TRACE(testing::Message() << "offset (" << offset.x << ", " << offset.y << ")");
        driver->BeginDraw();
        tilemap.Draw(nullptr, offset.x, offset.y);
        EXPECT_EQ("", knownmap::Mismatches(offset.x, offset.y, sdlscreen::Width, sdlscreen::Height, sdlscreen::Colour));
        driver->EndDraw();
    }
}

} // namespace
