#include "Tilemap.h"

#include "Allocations.h"
#include "Scene.h"
#include "Fixtures.h"
#include "Recording.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

// The scene's proportions: 32-pixel tiles from a tile set 8 tiles wide and
// 2 high, a map of 20 x 15 tiles, a window of 8 x 6 tiles at (520, 400).
const int Tile = 32;
const int WindowX = scene::CameraX, WindowY = scene::CameraY;
const int WindowWidth = scene::CameraColumns * Tile, WindowHeight = scene::CameraRows * Tile;

// Every cell differs from its neighbours, so a blit from a wrong cell shows;
// one cell holds -1, which has no tile of its own.
int CellTile(int c, int r)
{
    return c == 3 && r == 1 ? -1 : (c + 20 * r) % 16;
}

class DrawnMap : public Tilemap
{
public:
    DrawnMap() : Tilemap("")
    {
        graphics = recorder = new RecordingGraphics();
        tileset = picture = new FakeImage(8 * Tile, 2 * Tile);
        // Room for every call of a Draw, so that recording allocates nothing.
        recorder->blits.reserve(1000);
    }

    RecordingGraphics* recorder;
    FakeImage* picture;
    using Tilemap::tilesetFile;
};

using Call = std::tuple<int, int, int, int, int, int>; // source x, y, w, h; screen x, y

class TilemapDraw : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string text = "Drawing\n1\n\n\ntiles.bmp\n32 32\n20 15\n";
        for (int r = 0; r < 15; ++r) {
            for (int c = 0; c < 20; ++c)
                text += std::to_string(CellTile(c, r)) + " ";
            text += "\n";
        }
        fixtures::WriteFile(dir / "draw.map", text);
        ASSERT_TRUE(map.LoadMap(dir / "draw.map"));
        ASSERT_TRUE(map.LoadTileset(map.tilesetFile));
        map.SetCamera(scene::CameraColumns, scene::CameraRows, WindowX, WindowY);
    }

    std::vector<Call> Draw(int offsetX, int offsetY)
    {
        map.recorder->Clear();
        map.Draw(&target, offsetX, offsetY);
        std::vector<Call> calls;
        for (const RecordingGraphics::BlitCall& b : map.recorder->blits) {
            EXPECT_EQ(b.source, map.picture);
            EXPECT_EQ(b.destination, &target);
            EXPECT_TRUE(b.hadRegion);
            calls.emplace_back(b.region.x, b.region.y, b.region.w, b.region.h, b.x, b.y);
        }
        return calls;
    }

    fixtures::ScratchDir dir;
    DrawnMap map;
    FakeImage target{1, 1};
};

// Where tile t's whole rectangle lies in the tile set.
int TileX(int t)
{
    return t % 8 * Tile;
}
int TileY(int t)
{
    return t / 8 * Tile;
}

// The window must show the map moved by the offsets: every screen pixel of
// the window exactly once, each from the map pixel under it, and no blit
// reaching across a tile's edge.
void ExpectWindowShowsMapAt(const std::vector<Call>& calls, int scrollX, int scrollY)
{
    ASSERT_EQ(calls.size(), 63u);
    std::vector<int> covered(WindowWidth * WindowHeight, 0);
    for (const auto& [x, y, w, h, dx, dy] : calls) {
        if (w == 0 || h == 0)
            continue;
        SCOPED_TRACE("blit at (" + std::to_string(dx) + ", " + std::to_string(dy) + ")");
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        ASSERT_GE(dx, WindowX);
        ASSERT_GE(dy, WindowY);
        ASSERT_LE(dx + w, WindowX + WindowWidth);
        ASSERT_LE(dy + h, WindowY + WindowHeight);
        const int mapX = scrollX + dx - WindowX, mapY = scrollY + dy - WindowY;
        const int t = CellTile(mapX / Tile, mapY / Tile);
        EXPECT_EQ(x, TileX(t) + mapX % Tile);
        EXPECT_EQ(y, TileY(t) + mapY % Tile);
        EXPECT_LE(mapX % Tile + w, Tile);
        EXPECT_LE(mapY % Tile + h, Tile);
        for (int py = dy; py < dy + h; ++py)
            for (int px = dx; px < dx + w; ++px)
                ++covered[(py - WindowY) * WindowWidth + (px - WindowX)];
    }
    int wrong = 0;
    for (int n : covered)
        wrong += n != 1;
    EXPECT_EQ(wrong, 0) << "window pixels not shown exactly once";
}

TEST_F(TilemapDraw, TheWindowShowsTheMapMovedByTheOffsets)
{
    const std::vector<std::pair<int, int>> offsets = {
        {0, 0}, {16, 0}, {0, 16}, {1, 31}, {31, 1}, {32, 32}, {200, 100}, {382, 286}, {383, 287}};
    for (const auto& [x, y] : offsets) {
        SCOPED_TRACE("offsets " + std::to_string(x) + ", " + std::to_string(y));
        ExpectWindowShowsMapAt(Draw(x, y), x, y);
    }
}

TEST_F(TilemapDraw, OffsetsAreClampedToTheMap)
{
    const std::vector<std::vector<int>> cases = {
        // offset x, offset y, drawn as x, drawn as y
        {-50, -7, 0, 0},      {-1, 0, 0, 0},      {384, 288, 383, 287}, {1000, 5000, 383, 287},
        {-5, 300, 0, 287},    {400, -1, 383, 0},  {-2147483647 - 1, 2147483647, 0, 287},
    };
    for (const std::vector<int>& c : cases) {
        SCOPED_TRACE("offsets " + std::to_string(c[0]) + ", " + std::to_string(c[1]));
        EXPECT_EQ(Draw(c[0], c[1]), Draw(c[2], c[3]));
    }
    // 383 and 287 themselves are reached: the largest offsets are no smaller.
    EXPECT_NE(Draw(383, 0), Draw(382, 0));
    EXPECT_NE(Draw(0, 287), Draw(0, 286));
}

TEST_F(TilemapDraw, AtOffsetZeroWholeTilesFillTheWindowAndTheExtraCellsShowNothing)
{
    const std::vector<Call> calls = Draw(0, 0);
    ASSERT_EQ(calls.size(), 63u);
    for (int j = 0; j <= 6; ++j) {
        for (int i = 0; i <= 8; ++i) {
            SCOPED_TRACE("cell " + std::to_string(i) + ", " + std::to_string(j));
            const int t = CellTile(i, j);
            const int w = i < 8 ? Tile : 0, h = j < 6 ? Tile : 0;
            EXPECT_EQ(calls[j * 9 + i], Call(TileX(t), TileY(t), w, h, WindowX + Tile * i, WindowY + Tile * j));
        }
    }
    // Tile numbers pick tiles row by row; -1 lies one tile left of the set.
    EXPECT_EQ(calls[2 * 9 + 2], Call(64, 32, 32, 32, 584, 464));
    EXPECT_EQ(calls[1 * 9 + 3], Call(-32, 0, 32, 32, 616, 432));
}

// A scrolled window cuts the first and last cells of each row and column;
// the largest offsets leave the map's last pixel column and row unseen.
TEST_F(TilemapDraw, ScrollingCutsTheCellsAtTheWindowEdges)
{
    std::vector<Call> calls = Draw(16, 0);
    ASSERT_EQ(calls.size(), 63u);
    int t = CellTile(0, 0);
    EXPECT_EQ(calls[0], Call(TileX(t) + 16, TileY(t), 16, 32, 520, 400));
    t = CellTile(1, 0);
    EXPECT_EQ(calls[1], Call(TileX(t), TileY(t), 32, 32, 536, 400));
    t = CellTile(8, 0);
    EXPECT_EQ(calls[8], Call(TileX(t), TileY(t), 16, 32, 760, 400));

    calls = Draw(383, 287);
    ASSERT_EQ(calls.size(), 63u);
    t = CellTile(11, 8);
    EXPECT_EQ(calls.front(), Call(TileX(t) + 31, TileY(t) + 31, 1, 1, 520, 400));
    t = CellTile(19, 14);
    EXPECT_EQ(calls.back(), Call(TileX(t), TileY(t), 31, 31, 745, 561));
}

TEST_F(TilemapDraw, AWindowOfNegativeSizeDrawsNothing)
{
    map.SetCamera(-1, 6, WindowX, WindowY);
    EXPECT_TRUE(Draw(0, 0).empty());
    map.SetCamera(8, -1, WindowX, WindowY);
    EXPECT_TRUE(Draw(0, 0).empty());
}

TEST(TilemapDrawUnloaded, AMapNeverLoadedDrawsNothing)
{
    DrawnMap never;
    never.Draw(nullptr, 10, 10);
    EXPECT_TRUE(never.recorder->blits.empty());
}

TEST_F(TilemapDraw, DrawAllocatesNothing)
{
    map.Draw(&target, 16, 16);
    map.recorder->Clear();
    const long before = allocations::Count();
    map.Draw(&target, 100, 50);
    EXPECT_EQ(allocations::Count(), before);
    EXPECT_EQ(map.recorder->blits.size(), 63u);
}

} // namespace
