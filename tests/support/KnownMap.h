#ifndef VEXLUME_TEST_KNOWNMAP_H
#define VEXLUME_TEST_KNOWNMAP_H

#include "Fixtures.h"
#include "Scene.h"
#include "Tilemap.h"
#include "VideoDriver.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

// A tile map whose every pixel on the screen can be foretold: 20 x 15 tiles
// of 32 pixels, each cell naming a different tile of a 20 x 15 tile set.
// Red and green say which tile a pixel belongs to and are solid over the
// tile; blue says where in the tile it lies, so that a tile cut from the
// wrong side at a window edge shows too. No pixel is black, which the tile
// set's colour key removes. Both back-ends' tile map tests draw it and
// compare the screen against Expected.
namespace knownmap {

// Tile size in pixels; the map's size and the tile set's, in tiles.
const int Tile = 32, Columns = 20, Rows = 15, SetColumns = 20, SetRows = 15;

// The tests set the game's camera window.
const int WindowWidth = scene::CameraColumns * Tile;
const int WindowHeight = scene::CameraRows * Tile;
const int MaxScrollX = Columns * Tile - 1 - WindowWidth;
const int MaxScrollY = Rows * Tile - 1 - WindowHeight;

// A permutation of the 300 tiles, so no two cells show the same colour.
inline int TileAt(int column, int row)
{
    return (7 * (row * Columns + column) + 3) % (SetColumns * SetRows);
}

// The colour of pixel (x, y) of a tile, counted from the tile's corner.
inline Uint32 TileColour(int tile, int x, int y)
{
    const Uint32 r = 16 + 11 * static_cast<Uint32>(tile % SetColumns);
    const Uint32 g = 16 + 15 * static_cast<Uint32>(tile / SetColumns);
    const Uint32 b = static_cast<Uint32>(5 * x + 3 * y) & 0xFF;
    return r << 16 | g << 8 | b;
}

// Writes the tile set and the map into dir; returns the map file's path.
inline std::string Write(const fixtures::ScratchDir& dir)
{
    const std::string tileset = dir / "tiles.bmp";
    fixtures::WritePicture(tileset, SetColumns * Tile, SetRows * Tile,
                           [](int x, int y) {
                               return TileColour(y / Tile * SetColumns + x / Tile, x % Tile, y % Tile);
                           });
    std::string text = "Known map\n1\nthird line\nfourth line\n" + tileset + "\n" + std::to_string(Tile) + " " +
                       std::to_string(Tile) + " " + std::to_string(Columns) + " " + std::to_string(Rows) + "\n";
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c)
            text += std::to_string(TileAt(c, r)) + (c + 1 < Columns ? " " : "\n");
    }
    const std::string map = dir / "known.map";
    fixtures::WriteFile(map, text);
    return map;
}

inline int Clamp(int value, int high)
{
    return value < 0 ? 0 : value > high ? high : value;
}

// The colour of screen pixel (x, y) after BeginDraw and Draw(offsetX,
// offsetY): inside the window, the map pixel under it at the clamped scroll
// offset; black everywhere else.
inline Uint32 Expected(int offsetX, int offsetY, int x, int y)
{
    if (x < scene::CameraX || x >= scene::CameraX + WindowWidth || y < scene::CameraY ||
        y >= scene::CameraY + WindowHeight)
        return 0;
    const int mapX = Clamp(offsetX, MaxScrollX) + x - scene::CameraX;
    const int mapY = Clamp(offsetY, MaxScrollY) + y - scene::CameraY;
    return TileColour(TileAt(mapX / Tile, mapY / Tile), mapX % Tile, mapY % Tile);
}

// Compares a width x height screen, read through colour(x, y) as 0xRRGGBB,
// with Expected; returns "" when every pixel matches, else how many do not
// and the first of them.
inline std::string Mismatches(int offsetX, int offsetY, int width, int height,
                              const std::function<Uint32(int x, int y)>& colour)
{
    int count = 0;
    char first[96] = "";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Uint32 want = Expected(offsetX, offsetY, x, y);
            const Uint32 found = colour(x, y);
            if (found != want && count++ == 0)
                std::snprintf(first, sizeof first, "(%d, %d) is 0x%06X, not 0x%06X", x, y, found, want);
        }
    return count == 0 ? "" : std::to_string(count) + " pixels differ, first " + first;
}

// The scroll offsets the tests draw at: the origin, a part-tile offset, the
// largest offsets, and offsets beyond the map on both sides.
struct Offset {
    int x, y;
};
const Offset Offsets[] = {{0, 0}, {16, 8}, {383, 287}, {-50, 9999}, {95, 250}, {9999, -1}};

// Draws the known map under the game's camera window at every offset, each
// in a frame of its own, and compares the width x height screen with
// Expected: both back-ends must put the same pixels there. readFrame runs
// after the drawing, before colour(x, y) reads the frame as 0xRRGGBB.
inline void ExpectDrawnAtEveryOffset(VideoDriver* driver, Tilemap& tilemap, int width, int height,
                                     const std::function<void()>& readFrame,
                                     const std::function<Uint32(int x, int y)>& colour)
{
    tilemap.SetCamera(scene::CameraColumns, scene::CameraRows, scene::CameraX, scene::CameraY);
    for (const Offset& offset : Offsets) {
        SCOPED_TRACE(testing::Message() << "offset (" << offset.x << ", " << offset.y << ")");
        driver->BeginDraw();
        tilemap.Draw(nullptr, offset.x, offset.y);
        readFrame();
        EXPECT_EQ("", Mismatches(offset.x, offset.y, width, height, colour));
        driver->EndDraw();
    }
}

} // namespace knownmap

#endif
