#include "Fixtures.h"
#include "Oblong.h"
#include "OpenGLImage.h"
#include "SDLGraphics.h"
#include "SDLImage.h"
#include "SDLScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

const Uint32 Background = 0x102030;
const int Side = 16;
const int At = 300, AtY = 200;

// No pixel of it is black or the background, so every drawn pixel shows.
Uint32 PictureColour(int x, int y)
{
    return 0x800000u | static_cast<Uint32>(x * 8 + 4) << 8 | static_cast<Uint32>(y * 8 + 4);
}

class SDLGraphicsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        fixtures::WritePicture(dir / "p.bmp", Side, Side, PictureColour);
        picture.LoadImage(dir / "p.bmp", 0x1000000);
        other.LoadImage(dir / "p.bmp", 0);
        sdlscreen::Fill(Background);
    }

    fixtures::ScratchDir dir;
    SDLGraphics graphics{sdlscreen::Screen()};
    SDLImage picture;
    SDLImage other;
};

// What a blit of `region` with its corner at (At, AtY) must leave at screen
// pixel (x, y): the picture pixel that lands there if it lies both in the
// region and in the picture, the background otherwise.
Uint32 ExpectedBlit(const Oblong& region, int x, int y)
{
    const int px = region.x + x - At;
    const int py = region.y + y - AtY;
    const bool inRegion = px >= region.x && px < region.x + region.w && py >= region.y && py < region.y + region.h;
    const bool inPicture = px >= 0 && px < Side && py >= 0 && py < Side;
    return inRegion && inPicture ? PictureColour(px, py) : Background;
}

const Oblong Whole(0, 0, Side, Side);

enum class How { DrawImage, NullRegion, WithDestination, WithRegion };

struct DrawCase {
    const char* rule;
    How how;
    Oblong region; // what must appear with its corner at (At, AtY)
};

const DrawCase DrawCases[] = {
    {"DrawImage draws the whole picture", How::DrawImage, Whole},
    {"a null region draws the whole picture, as DrawImage does", How::NullRegion, Whole},
    {"a destination picture is ignored: the screen is drawn", How::WithDestination, Whole},
    {"a region inside the picture draws just that part", How::WithRegion, Oblong(4, 5, 8, 6)},
    {"a region past the right and bottom is cut to the picture", How::WithRegion, Oblong(10, 12, 16, 16)},
    {"a region past the left and top is cut to the picture", How::WithRegion, Oblong(-4, -6, 10, 12)},
    {"a region wholly left of the picture draws nothing", How::WithRegion, Oblong(-32, 0, 32, Side)},
    {"a region wholly below the picture draws nothing", How::WithRegion, Oblong(0, Side, Side, 8)},
    {"a region of width 0 draws nothing", How::WithRegion, Oblong(0, 0, 0, Side)},
    {"a region of height 0 draws nothing", How::WithRegion, Oblong(0, 0, Side, 0)},
};

TEST_F(SDLGraphicsTest, BlitDrawsTheRegionCutToThePictureWithItsCornerAtXY)
{
    for (const DrawCase& c : DrawCases) {
        SCOPED_TRACE(c.rule);
        sdlscreen::Fill(Background);
        Oblong region = c.region;
        switch (c.how) {
        case How::DrawImage:
            graphics.DrawImage(&picture, At, AtY);
            break;
        case How::NullRegion:
            graphics.Blit(&picture, nullptr, nullptr, At, AtY);
            break;
        case How::WithDestination:
            graphics.Blit(&picture, &other, nullptr, At, AtY);
            break;
        case How::WithRegion:
            graphics.Blit(&picture, nullptr, &region, At, AtY);
            break;
        }
        EXPECT_EQ("", sdlscreen::Mismatches([&](int x, int y) { return ExpectedBlit(c.region, x, y); }));
    }
}

TEST_F(SDLGraphicsTest, PicturePartlyOffTheScreenIsClipped)
{
    graphics.DrawImage(&picture, -4, sdlscreen::Height - 10);
    EXPECT_EQ("", sdlscreen::Mismatches([](int x, int y) {
                  const int px = x + 4, py = y - (sdlscreen::Height - 10);
                  return px < Side && py >= 0 ? PictureColour(px, py) : Background;
              }));
}

// SDL_Rect holds positions in 16 bits; each of these would wrap onto the
// screen at (At, AtY) or show the picture if it were narrowed blindly.
TEST_F(SDLGraphicsTest, PositionsBeyondSixteenBitsDrawNothingRatherThanWrap)
{
    struct Case {
        int x, y;
        Oblong region;
    };
    const Case cases[] = {
        {At + 65536, AtY, Whole},
        {At, AtY + 65536, Whole},
        {At - 65536, AtY, Whole},
        {At, AtY - 65536, Whole},
        {At, AtY, Oblong(65536, 0, Side, Side)},
        {At, AtY, Oblong(0, -65536, Side, Side)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "at (" << c.x << ", " << c.y << ") region x " << c.region.x << " y "
                                        << c.region.y);
        Oblong region = c.region;
        graphics.Blit(&picture, nullptr, &region, c.x, c.y);
        EXPECT_EQ("", sdlscreen::Mismatches([](int, int) { return Background; }));
    }
}

TEST_F(SDLGraphicsTest, GetPixelReturnsWhatPutPixelStoredAndNothingElseChanges)
{
    struct Point {
        int x, y, colour;
    };
    const Point points[] = {
        {0, 0, 0x123456},
        {sdlscreen::Width - 1, 0, 0xFEDCBA},
        {0, sdlscreen::Height - 1, 0x00FF00},
        {sdlscreen::Width - 1, sdlscreen::Height - 1, 0x0000FF},
        {840, 525, 0xFF0000},
    };
    for (const Point& p : points) {
        SCOPED_TRACE(testing::Message() << "(" << p.x << ", " << p.y << ")");
        sdlscreen::Fill(Background);
        graphics.PutPixel(p.x, p.y, p.colour);
        EXPECT_EQ(p.colour, graphics.GetPixel(p.x, p.y));
        EXPECT_EQ("", sdlscreen::Mismatches([&](int x, int y) {
                      return x == p.x && y == p.y ? static_cast<Uint32>(p.colour) : Background;
                  }));
    }
}

TEST_F(SDLGraphicsTest, ComponentsGiveThePackedColourAndOnlyTheirLowBytesCount)
{
    const SDL_PixelFormat* format = sdlscreen::Screen()->format;
    ASSERT_EQ(32, format->BitsPerPixel);
    ASSERT_EQ(0x00FF0000u, format->Rmask);

    struct Case {
        short r, g, b;
        int packed;
    };
    const Case cases[] = {
        {255, 0, 0, 0xFF0000},
        {0x1FF, 0x100, 0x7F80, 0xFF0080},
        {-1, -256, 0x1234, 0xFF0034},
        {0x12, 0x34, 0x56, 0x123456},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "(" << c.r << ", " << c.g << ", " << c.b << ")");
        graphics.PutPixel(10, 10, c.packed);
        graphics.PutPixel(11, 10, c.r, c.g, c.b);
        EXPECT_EQ(c.packed, graphics.GetPixel(10, 10));
        EXPECT_EQ(graphics.GetPixel(10, 10), graphics.GetPixel(11, 10));
        EXPECT_EQ(static_cast<Uint32>(c.packed), sdlscreen::Colour(11, 10));
    }
}

// Targets the game never uses, built here with rows padded past the pixels,
// so that a write that ignores the pitch or the pixel size lands in the
// wrong bytes.
struct DepthCase {
    int depth;
    Uint32 rmask, gmask, bmask;
    std::function<Uint32(int r, int g, int b)> pack;
};

const DepthCase DepthCases[] = {
    {16, 0xF800, 0x07E0, 0x001F, [](int r, int g, int b) { return Uint32((r >> 3) << 11 | (g >> 2) << 5 | b >> 3); }},
    {24, 0xFF0000, 0x00FF00, 0x0000FF, [](int r, int g, int b) { return Uint32(r << 16 | g << 8 | b); }},
    {32, 0xFF0000, 0x00FF00, 0x0000FF, [](int r, int g, int b) { return Uint32(r << 16 | g << 8 | b); }},
};

const Uint8 Untouched = 0xAA;
const int Small = 3;

int R(int x) { return 0x20 + 0x40 * x; }
int G(int y) { return 0x10 + 0x50 * y; }
const int B = 0xC8;

// One guard row before and after the surface's rows catches a write that
// strays off the surface instead of letting it corrupt the heap.
struct PaddedSurface {
    explicit PaddedSurface(const DepthCase& c)
    {
        const int bytes = c.depth / 8;
        // SDL pads 16- and 24-bit rows of 3 pixels to 4 bytes; 32-bit rows we pad ourselves.
        pitch = (Small * bytes + 3) / 4 * 4 + (bytes == 4 ? 4 : 0);
        memory.assign(static_cast<size_t>(pitch) * (Small + 2), Untouched);
        surface = SDL_CreateRGBSurfaceFrom(memory.data() + pitch, Small, Small, c.depth, pitch, c.rmask, c.gmask,
                                           c.bmask, 0);
    }
    ~PaddedSurface() { SDL_FreeSurface(surface); }

    int pitch;
    std::vector<Uint8> memory;
    SDL_Surface* surface;
};

std::vector<Uint8> ExpectedBytes(const DepthCase& c, int pitch)
{
    const int bytes = c.depth / 8;
    std::vector<Uint8> expected(static_cast<size_t>(pitch) * (Small + 2), Untouched);
    for (int y = 0; y < Small; ++y)
        for (int x = 0; x < Small; ++x) {
            const Uint32 value = c.pack(R(x), G(y), B);
            for (int i = 0; i < bytes; ++i)
                expected[static_cast<size_t>((y + 1) * pitch + x * bytes + i)] = (value >> (8 * i)) & 0xFF;
        }
    return expected;
}

TEST(SDLGraphicsDepths, PixelsLandInTheirRowsAtTheSurfacesPixelSize)
{
    for (const DepthCase& c : DepthCases) {
        for (bool components : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.depth << " bits, " << (components ? "r, g, b" : "packed"));
            PaddedSurface target(c);
            ASSERT_NE(nullptr, target.surface);
            ASSERT_EQ(target.pitch, target.surface->pitch);
            ASSERT_GT(target.pitch, Small * c.depth / 8);
            SDLGraphics graphics(target.surface);
            for (int y = 0; y < Small; ++y)
                for (int x = 0; x < Small; ++x) {
                    if (components)
                        graphics.PutPixel(x, y, short(R(x)), short(G(y)), short(B));
                    else
                        graphics.PutPixel(x, y, R(x) << 16 | G(y) << 8 | B);
                }
            EXPECT_EQ(ExpectedBytes(c, target.pitch), target.memory);
            for (int y = 0; y < Small; ++y)
                for (int x = 0; x < Small; ++x)
                    EXPECT_EQ(static_cast<int>(c.pack(R(x), G(y), B)), graphics.GetPixel(x, y))
                        << "(" << x << ", " << y << ")";
        }
    }
}

TEST(SDLGraphicsDepths, CoordinatesOffTheSurfaceWriteNothingAndReadZero)
{
    const int outside[][2] = {{-1, 0}, {0, -1}, {Small, 0}, {0, Small}, {Small, Small}, {-1, Small}};
    for (const DepthCase& c : DepthCases) {
        SCOPED_TRACE(testing::Message() << c.depth << " bits");
        PaddedSurface target(c);
        ASSERT_NE(nullptr, target.surface);
        std::fill(target.memory.begin(), target.memory.end(), 0x55);
        const std::vector<Uint8> before = target.memory;
        SDLGraphics graphics(target.surface);
        for (const auto& p : outside) {
            graphics.PutPixel(p[0], p[1], 0xFFFFFF);
            graphics.PutPixel(p[0], p[1], 255, 255, 255);
            EXPECT_EQ(0, graphics.GetPixel(p[0], p[1])) << "(" << p[0] << ", " << p[1] << ")";
        }
        EXPECT_EQ(before, target.memory);
    }
}

struct WrongPicture {
    const char* rule;
    std::function<void(Graphics&)> draw;
};

const WrongPicture WrongPictures[] = {
    {"Blit of no picture", [](Graphics& g) { g.Blit(nullptr, nullptr, nullptr, 0, 0); }},
    {"DrawImage of no picture", [](Graphics& g) { g.DrawImage(nullptr, 0, 0); }},
    {"Blit of an unloaded picture",
     [](Graphics& g) {
         SDLImage empty;
         g.Blit(&empty, nullptr, nullptr, 0, 0);
     }},
    {"DrawImage of an unloaded picture",
     [](Graphics& g) {
         SDLImage empty;
         g.DrawImage(&empty, 0, 0);
     }},
    {"Blit of an OpenGL picture",
     [](Graphics& g) {
         OpenGLImage foreign;
         Oblong region(0, 0, 1, 1);
         g.Blit(&foreign, nullptr, &region, 0, 0);
     }},
    {"DrawImage of an OpenGL picture",
     [](Graphics& g) {
         OpenGLImage foreign;
         g.DrawImage(&foreign, 0, 0);
     }},
};

TEST(SDLGraphicsDeathTest, AWrongPictureEndsTheProgramWithOneLineAndStatus1)
{
    SDLGraphics graphics(sdlscreen::Screen());
    for (const WrongPicture& c : WrongPictures) {
        SCOPED_TRACE(c.rule);
        EXPECT_EXIT(c.draw(graphics), testing::ExitedWithCode(1), "^[^\n]+\n$");
    }
}

} // namespace
