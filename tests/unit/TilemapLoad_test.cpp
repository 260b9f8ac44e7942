#include "Tilemap.h"

#include "Fixtures.h"
#include "Recording.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Grid = std::vector<std::vector<int>>;

// A map whose drawing target records and whose tile set is a picture of a
// chosen size, so that loading needs no video mode.
class LoadedMap : public Tilemap
{
public:
    LoadedMap(int tilesetWidth, int tilesetHeight) : Tilemap("")
    {
        graphics = new RecordingGraphics();
        tileset = picture = new FakeImage(tilesetWidth, tilesetHeight);
    }

    FakeImage* picture;
    using Tilemap::headerLine1;
    using Tilemap::headerLine3;
    using Tilemap::headerLine4;
    using Tilemap::headerNumber;
    using Tilemap::mapColumns;
    using Tilemap::mapFile;
    using Tilemap::mapRows;
    using Tilemap::pixelHeight;
    using Tilemap::pixelWidth;
    using Tilemap::tileCount;
    using Tilemap::tileHeight;
    using Tilemap::tiles;
    using Tilemap::tilesetColumns;
    using Tilemap::tilesetFile;
    using Tilemap::tilesetRows;
    using Tilemap::tileWidth;
};

const std::string Header = "Test map\n7\nthird line\nfourth line\ntiles.bmp\n";

class TilemapLoad : public ::testing::Test
{
protected:
    // Writes a map file with the given text and returns its path.
    std::string WriteMap(const std::string& text)
    {
        const std::string path = dir / "test.map";
        fixtures::WriteFile(path, text);
        return path;
    }

    fixtures::ScratchDir dir;
};

// The grid is read value by value, row by row, whatever its layout in
// lines. Reading stops at the first value that is not a 32-bit number: that
// cell and the rest stay 0. Nothing after the last cell is read.
TEST_F(TilemapLoad, GridValuesFillTheCellsRowByRow)
{
    const Grid counting = {{0, 3}, {1, 4}, {2, 5}};
    const std::vector<std::pair<std::string, Grid>> cases = {
        {"3 2\n0 1 2\n3 4 5\n", counting},
        {"3 2 0 1 2 3 4 5", counting},
        {"3\n2\n0\n1\n2\n3\n4\n5\n", counting},
        {"3 2\n\t0\t1\n\n2\n\t3 4\r\n5", counting},
        {"3 2\n7 8 9 4", {{7, 4}, {8, 0}, {9, 0}}},
        {"3 2\n7 8 x 4 5 6", {{7, 0}, {8, 0}, {0, 0}}},
        {"3 2\n7 8 9 4 5 6 7 8 junk", {{7, 4}, {8, 5}, {9, 6}}},
        {"3 2\n-1 999 0 5 -40 16", {{-1, 5}, {999, -40}, {0, 16}}},
        {"3 2\n-2147483648 2147483647 +3 4 5 6", {{-2147483648, 4}, {2147483647, 5}, {3, 6}}},
        {"3 2\n1 2 4294967296 4 5 6", {{1, 0}, {2, 0}, {0, 0}}},
        {"3 2\n1 2 -2147483649 4 5 6", {{1, 0}, {2, 0}, {0, 0}}},
        {"3 2\n", {{0, 0}, {0, 0}, {0, 0}}},
        {"1 3\n5 6 7 8", {{5, 6, 7}}},
        {"3 0\n5 6\n", {{}, {}, {}}},
        {"0 2\n5 6\n", {}},
        {"0 -4\n5 6\n", {}},
        {"-3 2\n5 6\n", {}},
    };
    for (const auto& [sizeAndGrid, expected] : cases) {
        SCOPED_TRACE("size and grid \"" + sizeAndGrid + "\"");
        LoadedMap fresh(256, 64);
        const std::string path = WriteMap(Header + "32 32\n" + sizeAndGrid);
        ASSERT_TRUE(fresh.LoadMap(path));
        EXPECT_EQ(fresh.mapFile, path);
        EXPECT_EQ(fresh.tiles, expected);
    }
}

struct HeaderCase {
    const char* name;
    std::string text;
    std::string line1;
    int number;
    std::string line3;
    std::string line4;
    std::string tilesetFile;
    int tileWidth, tileHeight, columns, rows;
    Grid tiles;
};

// The header is five lines, except that the number of line 2 swallows the
// one byte after it, whatever that byte is.
TEST_F(TilemapLoad, HeaderItemsLandInTheirFields)
{
    const Grid grid = {{0, 3}, {1, 4}, {2, 5}};
    const std::vector<HeaderCase> cases = {
        {"well formed", Header + "32 16\n3 2\n0 1 2\n3 4 5\n",
         "Test map", 7, "third line", "fourth line", "tiles.bmp", 32, 16, 3, 2, grid},
        {"blank lines and spaces before the number",
         "Test map\n\n  \n \t -7\nthird line\nfourth line\ntiles.bmp\n32 16 3 2 0 1 2 3 4 5",
         "Test map", -7, "third line", "fourth line", "tiles.bmp", 32, 16, 3, 2, grid},
        {"a blank after the number shifts the lines",
         "Test map\n7 \nthird line\nfourth line\n48px.bmp\n32 16\n3 2\n0 1 2\n3 4 5\n",
         "Test map", 7, "", "third line", "fourth line", 48, 0, 0, 0, {}},
        {"carriage returns are kept and shift the lines",
         "Test map\r\n7\r\nthird line\r\nfourth line\r\n48px.bmp\r\n32 16\r\n3 2\r\n0 1 2\r\n3 4 5\r\n",
         "Test map\r", 7, "", "third line\r", "fourth line\r", 48, 0, 0, 0, {}},
        {"a file that ends inside line 3", "Test map\n7\nthird",
         "Test map", 7, "third", "", "", 0, 0, 0, 0, {}},
        {"no number on line 2", "Test map\nseven\nthird line\nfourth line\ntiles.bmp\n32 16 3 2 0 1 2 3 4 5",
         "Test map", 0, "", "", "", 0, 0, 0, 0, {}},
        {"an empty file", "", "", 0, "", "", "", 0, 0, 0, 0, {}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedMap fresh(256, 64);
        const std::string path = WriteMap(c.text);
        ASSERT_TRUE(fresh.LoadMap(path));
        EXPECT_EQ(fresh.headerLine1, c.line1);
        EXPECT_EQ(fresh.headerNumber, c.number);
        EXPECT_EQ(fresh.headerLine3, c.line3);
        EXPECT_EQ(fresh.headerLine4, c.line4);
        EXPECT_EQ(fresh.tilesetFile, c.tilesetFile);
        EXPECT_EQ(fresh.tileWidth, c.tileWidth);
        EXPECT_EQ(fresh.tileHeight, c.tileHeight);
        EXPECT_EQ(fresh.mapColumns, c.columns);
        EXPECT_EQ(fresh.mapRows, c.rows);
        EXPECT_EQ(fresh.tiles, c.tiles);
    }
}

TEST_F(TilemapLoad, AMissingFileIsReportedAndChangesNothingElse)
{
    LoadedMap map(256, 64);
    const std::string path = dir / "absent.map";
    ::testing::internal::CaptureStderr();
    const bool loaded = map.LoadMap(path);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(loaded);
    EXPECT_EQ(err, "ERROR: Couldn't load \"" + path + "\".\n");
    EXPECT_EQ(map.mapFile, path);
    EXPECT_EQ(map.headerLine1, "");
    EXPECT_EQ(map.tilesetFile, "");
    EXPECT_EQ(map.mapColumns, 0);
    EXPECT_TRUE(map.tiles.empty());
}

// Partial tiles at the right and bottom edges of the tile set do not count.
TEST_F(TilemapLoad, TilesetSizeGivesTileCountAndMapSizeInPixels)
{
    LoadedMap odd(100, 70);
    ASSERT_TRUE(odd.LoadMap(WriteMap(Header + "32 16\n3 2\n0 1 2\n3 4 5\n")));
    EXPECT_TRUE(odd.LoadTileset(odd.tilesetFile));
    EXPECT_EQ(odd.picture->loadedFiles, std::vector<std::string>{"tiles.bmp"});
    EXPECT_EQ(odd.picture->loadedKeys, std::vector<int>{0});
    EXPECT_EQ(odd.tilesetColumns, 3);
    EXPECT_EQ(odd.tilesetRows, 4);
    EXPECT_EQ(odd.tileCount, 12);
    EXPECT_EQ(odd.pixelWidth, 96);
    EXPECT_EQ(odd.pixelHeight, 32);
}

} // namespace
