#include "Fixtures.h"
#include "SDLDriver.h"
#include "SDLGraphics.h"
#include "SDLImage.h"
#include "SDLScreen.h"

#include <gtest/gtest.h>

namespace {

TEST(SDLDriverMode, OpensTheFullScreen32BitModeWithTheTitle)
{
    SDL_Surface* screen = sdlscreen::Screen();
    EXPECT_EQ(sdlscreen::Width, screen->w);
    EXPECT_EQ(sdlscreen::Height, screen->h);
    EXPECT_EQ(32, screen->format->BitsPerPixel);
    char* title = nullptr;
    char* icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ("Vexlume", title);
    EXPECT_STREQ("Vexlume", icon);
}

TEST(SDLDriverFrame, BeginDrawFillsTheWholeScreenBlack)
{
    sdlscreen::Driver();
    sdlscreen::Fill(0xFFFFFF);
    sdlscreen::Driver()->BeginDraw();
    EXPECT_EQ("", sdlscreen::Mismatches([](int, int) { return 0u; }));
    sdlscreen::Driver()->EndDraw();
}

// SDL refuses to blit onto a locked surface, so a frame that kept the screen
// locked from BeginDraw to EndDraw would lose every picture.
TEST(SDLDriverFrame, PicturesAndPixelsDrawnInAFrameReachTheScreen)
{
    fixtures::ScratchDir dir;
    fixtures::WritePicture(dir / "p.bmp", 8, 8, [](int, int) { return 0x33CC66u; });
    SDLDriver* driver = sdlscreen::Driver();
    SDLImage picture;
    picture.LoadImage(dir / "p.bmp", 0);
    SDLGraphics graphics(sdlscreen::Screen());

    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(testing::Message() << "frame " << frame);
        driver->BeginDraw();
        graphics.PutPixel(5, 5, 0xFF0000);
        graphics.DrawImage(&picture, 100, 100);
        graphics.Blit(&picture, nullptr, nullptr, 200, 100);
        graphics.PutPixel(6, 5, 0x0000FF);
        EXPECT_EQ(0u, sdlscreen::Screen()->locked);
        EXPECT_EQ("", sdlscreen::Mismatches([](int x, int y) -> Uint32 {
                      if (y == 5 && x == 5)
                          return 0xFF0000;
                      if (y == 5 && x == 6)
                          return 0x0000FF;
                      const bool inPicture = y >= 100 && y < 108 && ((x >= 100 && x < 108) || (x >= 200 && x < 208));
                      return inPicture ? 0x33CC66 : 0;
                  }));
        driver->EndDraw();
    }
}

} // namespace
