#include "SDLTilemap.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using ::testing::ExitedWithCode;

// The real map needs a video surface; each death test's child opens SDL's
// dummy mode once for itself.
void OpenDummyVideo()
{
    static bool open = false;
    if (open)
        return;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(0);
    if (!SDL_SetVideoMode(64, 64, 32, SDL_SWSURFACE)) {
        std::fprintf(stderr, "test set-up: no dummy video mode\n");
        std::exit(2);
    }
    open = true;
}

// What the scene does with its map: build it, give it the 8 x 6 window,
// draw it once. Ends the process with status 0 when all of that succeeds.
[[noreturn]] void BuildAndShow(const std::string& mapFile)
{
    OpenDummyVideo();
    SDLTilemap map(mapFile);
    map.SetCamera(8, 6, 0, 0);
    map.Draw(nullptr, 0, 0);
    std::exit(0);
}

class TilemapRefusalDeathTest : public ::testing::Test
{
protected:
    // The child must read the files this process wrote and be compared
    // against their paths; a re-executed child would make its own.
    TilemapRefusalDeathTest() { GTEST_FLAG_SET(death_test_style, "fast"); }

    // A map file naming a tile set picture of the given size, followed by
    // the tile size, the grid size and the grid as the text gives them.
    std::string WriteMap(int tilesetWidth, int tilesetHeight, const std::string& sizesAndGrid)
    {
        const std::string tilesetFile = dir / "tiles.bmp";
        fixtures::WritePicture(tilesetFile, tilesetWidth, tilesetHeight,
                               [](int x, int y) { return static_cast<Uint32>(0x102030 + x + (y << 8)); });
        const std::string mapFile = dir / "test.map";
        fixtures::WriteFile(mapFile, "Refusals\n1\n\n\n" + tilesetFile + "\n" + sizesAndGrid);
        return mapFile;
    }

    std::string Refusal(const std::string& problem) const
    {
        return "ERROR: Map \"" + (dir / "test.map") + "\" " + problem + ".\n";
    }

    fixtures::ScratchDir dir;
};

std::string Cells(int count)
{
    std::string grid;
    for (int i = 0; i < count; ++i)
        grid += std::to_string(i % 16) + " ";
    return grid;
}

TEST_F(TilemapRefusalDeathTest, AMissingMapFileIsNamedBeforeThePictureFailure)
{
    EXPECT_EXIT(BuildAndShow("no/such.map"), ExitedWithCode(1),
                ::testing::MatchesRegex("ERROR: Couldn't load \"no/such\\.map\"\\.\n"
                                        "Couldn't load '': [^\n]*\n"));
}

TEST_F(TilemapRefusalDeathTest, AMapOutsideTheLimitsEndsTheProgramWithOneLine)
{
    struct Case {
        int tilesetWidth, tilesetHeight;
        std::string sizesAndGrid;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {256, 64, "0 32\n9 7\n" + Cells(63), "gives a tile width of 0; tiles must be at least 1 pixel wide"},
        {256, 64, "32 -1\n9 7\n" + Cells(63), "gives a tile height of -1; tiles must be at least 1 pixel high"},
        {31, 64, "32 32\n9 7\n" + Cells(63), "names a tile set 31 pixels wide, narrower than one 32-pixel tile"},
        {256, 20, "32 32\n9 7\n" + Cells(63), "names a tile set 20 pixels high, lower than one 32-pixel tile"},
        {256, 64, "32 32\n9 -2\n", "has -2 rows; a map with columns needs at least 0"},
        {256, 64, "32 32\n100000 100000\n0 1 2\n",
         "has 100000x100000 tiles, more than the 16777216 a map may hold"},
        {256, 64, "32 32\n8 7\n" + Cells(56),
         "has 8x7 tiles; the camera window of 8x6 tiles needs a map of at least 9x7"},
        {256, 64, "32 32\n9 6\n" + Cells(54),
         "has 9x6 tiles; the camera window of 8x6 tiles needs a map of at least 9x7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        const std::string mapFile = WriteMap(c.tilesetWidth, c.tilesetHeight, c.sizesAndGrid);
        EXPECT_EXIT(BuildAndShow(mapFile), ExitedWithCode(1), ::testing::Eq(Refusal(c.problem)));
    }
}

TEST_F(TilemapRefusalDeathTest, AMapWithinTheLimitsIsShownWithoutAWord)
{
    struct Case {
        const char* name;
        int tilesetWidth, tilesetHeight;
        std::string sizesAndGrid;
    };
    const std::vector<Case> cases = {
        {"exactly one tile wider and higher than the window", 256, 64, "32 32\n9 7\n" + Cells(63)},
        {"short of values", 256, 64, "32 32\n20 15\n3 1 4 1 5"},
        {"a tile set of exactly one tile", 32, 32, "32 32\n9 7\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string mapFile = WriteMap(c.tilesetWidth, c.tilesetHeight, c.sizesAndGrid);
        EXPECT_EXIT(BuildAndShow(mapFile), ExitedWithCode(0), ::testing::Eq(""));
    }
}

} // namespace
