#include "GLContext.h"
#include "KnownMap.h"
#include "OpenGLDriver.h"
#include "OpenGLTilemap.h"

TEST(OpenGLTilemapPixels, WindowShowsTheMapUnderTheClampedOffsetAndNothingOutsideIt)
{
    fixtures::ScratchDir dir;
    OpenGLTilemap tilemap(knownmap::Write(dir));
    std::vector<Uint32> frame;
    knownmap::ExpectDrawnAtEveryOffset(
        glcontext::Driver(), tilemap, scene::ScreenWidth, scene::ScreenHeight,
        [&] { frame = glcontext::ReadBlock(0, 0, scene::ScreenWidth, scene::ScreenHeight); },
        [&](int x, int y) { return frame[static_cast<size_t>(y) * scene::ScreenWidth + x]; });
}
