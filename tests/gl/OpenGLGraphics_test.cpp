// OpenGLGraphics on a real GL context: what pictures, regions and single
// pixels leave in the frame, and how a wrong picture ends the program.
#include "Fixtures.h"
#include "GLContext.h"
#include "Oblong.h"
#include "OpenGLDriver.h"
#include "OpenGLGraphics.h"
#include "OpenGLImage.h"
#include "SDLImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

namespace {

using fixtures::FirstDifference;
using glcontext::LoadPicture;


// A 128x64 sheet of eight 32x32 squares; every pixel differs from its
// neighbours, and no pixel is black (the key).
Uint32 SheetColour(int x, int y)
{
    const int square = (y / 32) * 4 + x / 32;
    return Uint32((square * 30 + 15) << 16 | ((x % 32) * 8) << 8 | ((y % 32) * 8 + 4));
}

TEST(OpenGLGraphics, BlitWithoutARegionDrawsWhatDrawImageDraws)
{
    fixtures::ScratchDir dir;
    const auto rgb = [](int x, int y) { return Uint32(0x400000 | (x * 2) << 8 | (y * 8 + 3)); };
    auto picture = LoadPicture(dir, "p.bmp", 100, 30, rgb, 0);
    OpenGLGraphics graphics;
    const auto expected = [&](int x, int y) { return x >= 2 && x < 102 && y >= 2 && y < 32 ? rgb(x - 2, y - 2) : 0; };

    glcontext::Driver()->BeginDraw();
    graphics.DrawImage(picture.get(), 502, 302);
    const auto drawn = glcontext::ReadBlock(500, 300, 134, 38);

    glcontext::Driver()->BeginDraw();
    graphics.Blit(picture.get(), nullptr, nullptr, 502, 302);
    const auto blitted = glcontext::ReadBlock(500, 300, 134, 38);

    EXPECT_EQ("", FirstDifference(drawn, 134, 38, expected));
    EXPECT_EQ(drawn, blitted);
}

TEST(OpenGLGraphics, ARegionLandsTexelForPixelAtItsOwnSize)
{
    fixtures::ScratchDir dir;
    auto sheet = LoadPicture(dir, "sheet.bmp", 128, 64, SheetColour, 0);
    ASSERT_EQ(128, sheet->TextureWidth());
    ASSERT_EQ(64, sheet->TextureHeight());
    OpenGLGraphics graphics;
    Oblong secondSquare(32, 0, 32, 32);

    glcontext::Driver()->BeginDraw();
    graphics.Blit(sheet.get(), nullptr, &secondSquare, 700, 400);

    // Read a margin of 8 pixels on every side: nothing may show there.
    const auto block = glcontext::ReadBlock(692, 392, 48, 48);
    EXPECT_EQ("", FirstDifference(block, 48, 48, [](int x, int y) {
                  const int dx = x - 8, dy = y - 8;
                  return dx >= 0 && dx < 32 && dy >= 0 && dy < 32 ? SheetColour(32 + dx, dy) : 0;
              }));
}

TEST(OpenGLGraphics, PutPixelLightsExactlyThePixelNamed)
{
    OpenGLGraphics graphics;
    glcontext::Driver()->BeginDraw();
    graphics.PutPixel(840, 525, 0xFF0000);

    const auto block = glcontext::ReadBlock(839, 524, 3, 3);
    EXPECT_EQ("", FirstDifference(block, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0xFF0000u : 0u; }));
}

struct PixelCase {
    int packed;
    short r, g, b;
    Uint32 seen;
};

TEST(OpenGLGraphics, PackedAndSplitColoursGiveTheSamePixel)
{
    // Only the low 8 bits of each component count.
    const PixelCase cases[] = {
        {0xFF0000, 255, 0, 0, 0xFF0000},
        {0x123456, 0x12, 0x34, 0x56, 0x123456},
        {0xFF8040, 256 + 255, 256 + 0x80, -256 + 0x40, 0xFF8040},
    };
    OpenGLGraphics graphics;
    glcontext::Driver()->BeginDraw();
    int x = 100;
    for (const PixelCase& c : cases) {
        graphics.PutPixel(x, 10, c.packed);
        graphics.PutPixel(x, 11, c.r, c.g, c.b);
        EXPECT_EQ(c.seen, glcontext::ReadPixel(x, 10)) << std::hex << "packed 0x" << c.packed;
        EXPECT_EQ(c.seen, glcontext::ReadPixel(x, 11)) << "split " << c.r << "," << c.g << "," << c.b;
        x += 10;
    }
}

enum class WrongPicture { None, OtherBackEnd, NeverLoaded };

struct WrongPictureCase {
    WrongPicture picture;
    bool blit;
    const char* line;
};

std::unique_ptr<Image> MakeWrongPicture(WrongPicture kind)
{
    switch (kind) {
    case WrongPicture::None:
        return nullptr;
    case WrongPicture::OtherBackEnd: {
        auto picture = std::make_unique<SDLImage>();
        SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        picture->LoadSurface(surface, 0);
        SDL_FreeSurface(surface);
        return picture;
    }
    case WrongPicture::NeverLoaded:
        return std::make_unique<OpenGLImage>();
    }
    return nullptr;
}

TEST(OpenGLGraphicsDeathTest, APictureItCannotDrawEndsTheProgramWithOneLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const WrongPictureCase cases[] = {
        {WrongPicture::None, false, "^Can't draw a picture: none was given\n$"},
        {WrongPicture::None, true, "^Can't draw a picture: none was given\n$"},
        {WrongPicture::OtherBackEnd, false, "^Can't draw a picture: it belongs to the other video back-end\n$"},
        {WrongPicture::OtherBackEnd, true, "^Can't draw a picture: it belongs to the other video back-end\n$"},
        {WrongPicture::NeverLoaded, false, "^Can't draw a picture: it was never loaded\n$"},
        {WrongPicture::NeverLoaded, true, "^Can't draw a picture: it was never loaded\n$"},
    };
    for (const WrongPictureCase& c : cases) {
        SCOPED_TRACE(c.blit ? "Blit" : "DrawImage");
        EXPECT_EXIT(
            {
                glcontext::Driver();
                auto picture = MakeWrongPicture(c.picture);
                OpenGLGraphics graphics;
                if (c.blit)
                    graphics.Blit(picture.get(), nullptr, nullptr, 0, 0);
                else
                    graphics.DrawImage(picture.get(), 0, 0);
            },
            ::testing::ExitedWithCode(1), c.line);
    }
}

} // namespace
