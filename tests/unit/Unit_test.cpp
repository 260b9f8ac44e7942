// The game's parts that need no display: star field, sprite, texels, and maps read, refused, drawn and checked.
#include "Fakes.h"
#include "Fixtures.h"
#include "PreviewTilemap.h"
#include "Sprite.h"
#include "Starfield.h"
#include "Texels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>

// The clock, the random generator and its seed, under the tests' control:
// the game's calls reach these instead (linked with -Wl,--wrap).
extern "C" {
static Uint32 ticks = 0;
static std::vector<int> scripted; // what rand() gives before the real generator takes over
static size_t nextRand = 0;
static unsigned seed = 0;
int __real_rand();
int __wrap_rand() { return nextRand < scripted.size() ? scripted[nextRand++] : __real_rand(); }
void __wrap_srand(unsigned value) { seed = value; }
std::time_t __wrap_time(std::time_t*) { return 1234567; }
Uint32 __wrap_SDL_GetTicks() { return ticks; }
}

namespace {

TEST(Starfield, StarsStreamOutOfTheCentreAndRepeatEvery255Draws)
{
    // On a 100 x 60 screen rand() gives each star x + 50, y + 30 and its depth.
    scripted = {50, 30, 509,                                       // the centre at depth 254
                0, 30, 0, 1, 30, 0, 99, 59, 0, 50, 0, 0, 50, 1, 0, // depth 255: x 0 and y 0 are off, 1 and 99, 59 on
                60, 30, 52, 50, 36, 52,                            // depth 51: onto x 100 and y 60, both off
                49, 29, 17,                                        // (-1, -1) at depth 16, truncated toward the centre
                0, 30, 2, 60, 26, 2,                               // depth 1: far off left or right, then back
                4242};
    Recorder screen;
    Starfield field(&screen, 100, 60, 11);
    EXPECT_EQ(std::rand(), 4242) << "the scripted value after the stars' own";
    EXPECT_EQ(seed, 1234567u) << "the seed, from time()";
    const Pixels first = {{50, 30, 0x020202}, {1, 30, 0}, {99, 59, 0}, {50, 1, 0}, {35, 15, 0xEFEFEF}};
    const Pixels second = {{50, 30, 0x030303}, {1, 30, 0x010101}, {99, 59, 0x010101}, {50, 1, 0x010101},
                           {33, 13, 0xF0F0F0}, {60, 26, 0}};
    // Draws 256 and 257 repeat draws 1 and 2.
    for (int n = 1; n <= 257; ++n) {
        screen.pixels.clear();
        field.Draw();
        if (n % 255 == 1 || n % 255 == 2) {
            EXPECT_EQ(screen.pixels, n % 255 == 1 ? first : second) << "the stars (x, y, colour) of draw " << n;
        }
    }
    screen.pixels.clear();
    for (int count : {0, -5})
        Starfield(&screen, 100, 60, count).Draw();
    EXPECT_EQ(screen.pixels, Pixels()) << "the stars of fields of 0 and -5 stars";
}

struct TestSprite : Sprite {
    TestSprite(int width, int rate) : Sprite("", 0, 0)
    {
        graphics = drawn;
        sheet = new FakeImage(width, 64);
        frameRate = rate;
    }
    Recorder* drawn = new Recorder();
};

// The frame's x after each wait (in ms) and draw; -1 switches the animation off before its draw, -2 on.
std::string Walk(int sheetWidth, int rate, const std::vector<int>& waits)
{
    TestSprite sprite(sheetWidth, rate);
    Oblong frame(0, 0, 32, 32);
    std::string xs;
    sprite.Animate(true);
    for (int wait : waits) {
        if (wait < 0)
            sprite.Animate(wait == -2);
        ticks += std::max(wait, 0);
        sprite.Draw(nullptr, &frame, 0, 0);
        xs += std::to_string(frame.x) + " ";
    }
    return xs;
}

// Each string is the sheet frame's x after each draw.
TEST(Sprite, StepsAFrameOnlyAfterMoreThanAPeriodAndWrapsAtTheSheetsEdge)
{
    EXPECT_EQ(Walk(128, 4, {250, 1, 250, 1, 5000, 0, -1, 1000, -2, 250, 1}), "0 32 32 64 96 96 96 96 96 96 0 ");
    // The frame at 96 reaches past a 100-pixel sheet, but it starts inside.
    EXPECT_EQ(Walk(100, 4, {251, 251, 251, 251, 251}), "32 64 96 0 32 ");
    EXPECT_EQ(Walk(128, 1, {1000, 1}), "0 32 ");
    EXPECT_EQ(Walk(128, 0, {100000}), "0 ");
    // -1 alone stands for the sprite's own coordinate.
    TestSprite sprite(128, 4);
    sprite.SetPosition(7, 9);
    sprite.XVelocity(5);
    sprite.YVelocity(-3);
    sprite.Move();
    Oblong frame(0, 0, 32, 32);
    for (const auto& [x, y] : {std::pair{-1, -1}, std::pair{-2, -1}, std::pair{-1, -2}, std::pair{0, 0}})
        sprite.Draw(nullptr, &frame, x, y);
    const Blits drawnAt = {
        {0, 0, 32, 32, 12, 6},
        {0, 0, 32, 32, -2, 6},
        {0, 0, 32, 32, 12, -2},
        {0, 0, 32, 32, 0, 0},
    };
    EXPECT_EQ(sprite.drawn->blits, drawnAt) << "each blit's region (x, y, w, h) and place on the screen";
}

TEST(Texels, HavePowerOfTwoSidesWithTheKeyAndPaddingTransparent)
{
    const std::pair<int, int> sides[] = {{0, 1}, {3, 4}, {4, 4}, {5, 8}, {1 << 30, 1 << 30}, {INT_MAX, 1 << 30}};
    for (const auto& [size, side] : sides)
        EXPECT_EQ(Texels::Side(size), side) << "the texture's side for a picture's side of " << size;
    // 3 x 2 pixels in 24 bits either way round, and in 32 with padded rows and a spare top byte (no colour, no alpha).
    const Uint32 picture[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0xFF00FF, 0xFFFFFF};
    // Bits a pixel, red and blue masks, the spare byte, the row's length in bytes (0: unpadded), the texels' order.
    const std::tuple<int, Uint32, Uint32, Uint32, int, GLenum> layouts[] = {
        {24, 0xFF, 0xFF0000, 0, 0, GL_RGBA},
        {24, 0xFF0000, 0xFF, 0, 0, GL_BGRA},
        {32, 0xFF0000, 0xFF, 0xAB000000, 16, GL_BGRA},
    };
    for (const auto& [bits, red, blue, spare, pitch, order] : layouts) {
        std::vector<Uint8> memory(32, 0x5A);
        SDL_Surface* s = pitch ? SDL_CreateRGBSurfaceFrom(memory.data(), 3, 2, bits, pitch, red, 0xFF00, blue, 0)
                               : SDL_CreateRGBSurface(0, 3, 2, bits, red, 0xFF00, blue, 0);
        for (int i = 0; i < 6; ++i) {
            const Uint32 c = picture[i];
            const Uint32 value = SDL_MapRGB(s->format, c >> 16, c >> 8 & 0xFF, c & 0xFF) | spare;
            std::memcpy(static_cast<Uint8*>(s->pixels) + i / 3 * s->pitch + i % 3 * bits / 8, &value, bits / 8);
        }
        for (const Uint32 key : {0x000000u, 0xFF00FFu}) {
            std::vector<Uint32> texels;
            EXPECT_EQ(Texels::Build(s, static_cast<int>(key), 4, 4, texels), order);
            for (int i = 0; i < 16; ++i) {
                const Uint32 pixel = i % 4 < 3 && i < 8 ? picture[i / 4 * 3 + i % 4] : key;
                const Uint32 t = texels.at(i);
                const Uint32 argb = order == GL_RGBA ? (t & 0xFF00FF00) | (t & 0xFF) << 16 | (t >> 16 & 0xFF) : t;
                EXPECT_EQ(argb, pixel == key ? 0 : pixel | 0xFF000000) << bits << " bits, key " << key << " at " << i;
            }
        }
        SDL_FreeSurface(s);
    }
}

const std::string Header = "T\n1\n\n\nshare/Tiles.png\n";

// Ends with status 0 and nothing said, or with status 1 after exactly the line.
void ExpectEnd(const std::function<void()>& run, const std::string& line)
{
    EXPECT_EXIT(
        {
            run();
            std::exit(0);
        },
        ::testing::ExitedWithCode(line.empty() ? 0 : 1), ::testing::Eq(line));
}

TEST(TilemapDeathTest, RefusesMapsOutsideTheLimitsWithOneLine)
{
    GTEST_FLAG_SET(death_test_style, "fast"); // the child must see the files made here
    fixtures::ScratchDir dir;
    // Control bytes in a path are shown escaped.
    const std::string map = dir / "m \x01\x7f~";
    const std::string refused = "ERROR: Map \"" + dir / "m \\x01\\x7F~" + "\" ";
    const std::string camera = "; the camera window of 8x6 tiles needs a map of at least 9x7";
    const std::string side = " pixels, more than the 16384 a picture may have on a side";
    const std::tuple<int, int, std::string, std::string> rows[] = { // tile set, sizes, problem
        {256, 64, "32 32 9 7", ""},
        {1, 1, "1 1 9 7", ""},
        {256, 64, "32 32 8 7", "has 8x7 tiles" + camera},
        {256, 64, "32 32 9 6", "has 9x6 tiles" + camera},
        {256, 64, "32 32 9 0", "has 9x0 tiles" + camera},
        {256, 64, "32 32 0 -4", "has 0x-4 tiles" + camera},
        {256, 64, "0 32 9 7", "gives a tile width of 0; tiles must be at least 1 pixel wide"},
        {256, 64, "32 0 9 7", "gives a tile height of 0; tiles must be at least 1 pixel high"},
        {31, 64, "32 32 9 7", "names a tile set 31 pixels wide, narrower than one 32-pixel tile"},
        {256, 31, "32 32 9 7", "names a tile set 31 pixels high, lower than one 32-pixel tile"},
        {256, 64, "32 32 1 -1", "has -1 rows; a map with columns needs at least 0"},
        {256, 64, "1 1 65536 256", ""},
        {256, 64, "1 1 65281 257", "has 65281x257 tiles, more than the 16777216 a map may hold"},
        {256, 64, "1 1 65537 1", "has 65537 columns, more than the 65536 a map may have"},
        {INT_MAX, INT_MAX, "2147483647 2147483647 1 1", "has 1x1 tiles" + camera},
        {INT_MAX, INT_MAX, "1073741824 1073741824 -2 -2", "has -2x-2 tiles" + camera},
        {INT_MAX, INT_MAX, "1073741824 1 2 1", "is too large: 2147483648x1 pixels"},
        {INT_MAX, INT_MAX, "1 1073741824 1 2", "is too large: 1x2147483648 pixels"},
        {INT_MAX, INT_MAX, "1073741824 1 -3 1", "is too large: -3221225472x1 pixels"},
        {INT_MAX, INT_MAX, "1 1073741824 0 -3", "is too large: 0x-3221225472 pixels"},
        {0, 0, "1 1 16384 7", ""},
        {0, 0, "1 1 16385 7", "would make a picture of 16385x7" + side},
        {0, 0, "1 1 9 16385", "would make a picture of 9x16385" + side},
    };
    for (const auto& [setWidth, setHeight, sizes, problem] : rows) {
        fixtures::WriteFile(map, Header + sizes);
        const auto load = [&, setWidth = setWidth, setHeight = setHeight] {
            if (setWidth == 0) { // the map checker's picture, from the real tile set
                PreviewTilemap preview{map};
                return;
            }
            TestMap tiles(setWidth, setHeight);
            tiles.Load(map);
            tiles.Draw(nullptr, 0, 0);
            std::cerr << (tiles.drawn->blits.size() == 63 ? "" : "not all 9x7 cells that the window touches drawn\n");
        };
        ExpectEnd(load, problem.empty() ? "" : refused + problem + ".\n");
    }
    ExpectEnd([&] { PreviewTilemap{dir / "absent\x1b"}; }, "ERROR: Couldn't load \"" + dir / "absent\\x1B" + "\".\n");
    ExpectEnd([] { FailWithLine("no end \x1f\x7f"); }, "no end \\x1F\\x7F");
    SDL_SetError("bad\tone"); // the child inherits it
    ExpectEnd([] { FailWithSDLError("Couldn't \x02: "); }, "Couldn't \\x02: bad\\x09one\n");
}

TEST(Tilemap, DrawsTheWindowOverTheMapMovedByClampedOffsets)
{
    fixtures::ScratchDir dir;
    std::string text = Header + "32 32 20 15\n";
    // Cell (c, r) holds tile c + 20 r, except the last, which is left out and so is tile 0.
    for (int cell = 0; cell < 299; ++cell)
        text += std::to_string(cell) + " \t\v\f\r\n"[cell % 6];
    fixtures::WriteFile(dir / "m", text);
    TestMap map(64, 64); // 2 x 2 tiles
    map.Load(dir / "m");
    EXPECT_EQ(map.set->loaded, "share/Tiles.png 0");
    // The first blit, the last of the first row and the last one. The largest offsets,
    // 383 and 287, leave the map's last pixel column and row unseen.
    const std::tuple<int, int, Blits> rows[] = {
        {0, 0, {{0, 0, 32, 32, 520, 400}, {0, 128, 0, 32, 776, 400}, {0, 2048, 0, 0, 776, 592}}},
        {-5, INT_MIN, {{0, 0, 32, 32, 520, 400}, {0, 128, 0, 32, 776, 400}, {0, 2048, 0, 0, 776, 592}}},
        {16, 0, {{16, 0, 16, 32, 520, 400}, {0, 128, 16, 32, 760, 400}, {0, 2048, 16, 0, 760, 592}}},
        {9999, INT_MAX, {{63, 2751, 1, 1, 520, 400}, {32, 2879, 31, 1, 745, 400}, {0, 0, 31, 31, 745, 561}}},
    };
    for (const auto& [x, y, picked] : rows) {
        map.drawn->blits.clear();
        map.Draw(nullptr, x, y);
        const Blits& b = map.drawn->blits;
        ASSERT_EQ(b.size(), 63u) << "cells drawn at offset " << x << ", " << y;
        EXPECT_EQ(Blits({b.at(0), b.at(8), b.at(62)}), picked)
            << "the first, ninth and last blits' tile-set region (x, y, w, h) and place on the screen at offset " << x
            << ", " << y;
    }
    // Tile numbers far outside the tile set are held a billion pixels away.
    const std::array<int, 3> sources[] = {{INT_MAX, 32, 1 << 30}, {INT_MIN, 0, -(1 << 30)}, {-5, -32, -64}};
    for (const auto& [tile, x, y] : sources)
        EXPECT_EQ(std::pair(map.TileSource(tile).x, map.TileSource(tile).y), std::pair(x, y))
            << "where tile " << tile << " is taken from in the tile set";
    // A window of no rows draws the scrolled-in part of one row; maps never loaded, without tile sets, or loaded
    // again with tiles of no width or height and no tile set to match, nothing.
    TestMap never(64, 64);
    TestMap noTileset(64, 64);
    TestMap noWidth(64, 64);
    TestMap noHeight(64, 64);
    noTileset.LoadMap(dir / "m");
    noTileset.SetCamera(8, 6, 520, 400);
    for (const auto& [again, sizes] : {std::pair(&noWidth, "0 32"), std::pair(&noHeight, "32 0")}) {
        fixtures::WriteFile(dir / sizes, Header + sizes + " 20 15\n");
        again->Load(dir / "m");
        again->LoadMap(dir / sizes);
    }
    map.SetCamera(8, 0, 520, 400);
    map.drawn->blits.clear();
    size_t blits = 0;
    for (TestMap* drawn : {&map, &never, &noTileset, &noWidth, &noHeight}) {
        drawn->Draw(nullptr, 0, 10);
        blits += drawn->drawn->blits.size();
    }
    EXPECT_EQ(blits, 9u) << "cells drawn by the five maps, all by the window of no rows";
    EXPECT_EQ(map.drawn->blits.at(0), (std::array<int, 6>{0, 10, 32, 10, 520, 400}))
        << "the first cell's tile-set region (x, y, w, h) and place on the screen";
}

} // namespace
