#include "Tilemap.h"

#include "Fatal.h"
#include "Graphics.h"
#include "Image.h"
#include "MapFile.h"
#include "Scene.h"

#include <cstdint>
#include <fstream>
#include <utility>

namespace {

int Saturate(long long value)
{
    const long long limit = 1LL << 30;
    return static_cast<int>(value < -limit ? -limit : value > limit ? limit : value);
}

} // namespace

Tilemap::Tilemap(std::string) : source(0, 0, 0, 0)
{
}

Tilemap::~Tilemap()
{
    delete tileset;
    delete graphics;
}

void Tilemap::Refuse(const std::string& problem) const
{
    FailWithLine("ERROR: Map \"" + mapFile + "\" " + problem + ".\n");
}

bool Tilemap::LoadMap(std::string file)
{
    mapFile = file;
    std::ifstream in(mapFile, std::ios::binary);
    if (!in) {
        ReportLine("ERROR: Couldn't load \"" + mapFile + "\".\n");
        return false;
    }

    MapFile map;
    const std::string problem = map.Read(in);
    if (!problem.empty())
        Refuse(problem);
    headerLine1 = map.headerLine1;
    headerNumber = map.headerNumber;
    headerLine3 = map.headerLine3;
    headerLine4 = map.headerLine4;
    tilesetFile = map.tilesetFile;
    tileWidth = map.tileWidth;
    tileHeight = map.tileHeight;
    mapColumns = map.columns;
    mapRows = map.rows;
    tiles = std::move(map.tiles);
    return true;
}

std::string Tilemap::TilesetProblem(int tileWidth, int tileHeight, int setWidth, int setHeight)
{
    if (tileWidth < 1)
        return "gives a tile width of " + std::to_string(tileWidth) + "; tiles must be at least 1 pixel wide";
    if (tileHeight < 1)
        return "gives a tile height of " + std::to_string(tileHeight) + "; tiles must be at least 1 pixel high";
    if (setWidth / tileWidth < 1)
        return "names a tile set " + std::to_string(setWidth) + " pixels wide, narrower than one " +
               std::to_string(tileWidth) + "-pixel tile";
    if (setHeight / tileHeight < 1)
        return "names a tile set " + std::to_string(setHeight) + " pixels high, lower than one " +
               std::to_string(tileHeight) + "-pixel tile";
    return "";
}

std::string Tilemap::SizeProblem(int tileWidth, int tileHeight, int columns, int rows)
{
    const long long wide = static_cast<long long>(tileWidth) * columns;
    const long long high = static_cast<long long>(tileHeight) * rows;
    // A negative count of columns or rows (refused later, by the camera)
    // must not overflow the pixel sizes either.
    if (wide > INT32_MAX || high > INT32_MAX || wide < INT32_MIN || high < INT32_MIN)
        return "is too large: " + std::to_string(wide) + "x" + std::to_string(high) + " pixels";
    return "";
}

int Tilemap::TileCount(int tileWidth, int tileHeight, int setWidth, int setHeight)
{
    return setWidth / tileWidth * (setHeight / tileHeight);
}

std::string Tilemap::CameraProblem(int mapColumns, int mapRows, int columns, int rows)
{
    // Draw reads one cell beyond the window in each direction, so a map must
    // be at least one tile wider and higher than the window.
    const long long needColumns = static_cast<long long>(columns) + 1;
    const long long needRows = static_cast<long long>(rows) + 1;
    if (mapColumns < needColumns || mapRows < needRows)
        return "has " + std::to_string(mapColumns) + "x" + std::to_string(mapRows) + " tiles; the camera window of " +
               std::to_string(columns) + "x" + std::to_string(rows) + " tiles needs a map of at least " +
               std::to_string(needColumns) + "x" + std::to_string(needRows);
    return "";
}

bool Tilemap::LoadTileset(std::string file)
{
    tileset->LoadImage(file, scene::TilesetKey);
    std::string problem = TilesetProblem(tileWidth, tileHeight, tileset->Width(), tileset->Height());
    if (problem.empty())
        problem = SizeProblem(tileWidth, tileHeight, mapColumns, mapRows);
    if (!problem.empty())
        Refuse(problem);
    tilesetColumns = tileset->Width() / tileWidth;
    tilesetRows = tileset->Height() / tileHeight;
    tileCount = TileCount(tileWidth, tileHeight, tileset->Width(), tileset->Height());
    pixelWidth = tileWidth * mapColumns;
    pixelHeight = tileHeight * mapRows;
    return true;
}

void Tilemap::SetCamera(int columns, int rows, int screenX, int screenY)
{
    cameraX = screenX;
    cameraColumns = columns;
    cameraRows = rows;
    cameraY = screenY;
    const std::string problem = CameraProblem(mapColumns, mapRows, columns, rows);
    if (!problem.empty())
        Refuse(problem);
    maxScrollX = pixelWidth - 1 - columns * tileWidth;
    maxScrollY = pixelHeight - 1 - rows * tileHeight;
}

Oblong Tilemap::TileSource(int tile) const
{
    // Tile numbers are drawn by the same rule whatever their value; absurd
    // ones are held far outside the tile set instead of overflowing.
    return Oblong(Saturate(static_cast<long long>(tile % tilesetColumns) * tileWidth),
                  Saturate(static_cast<long long>(tile / tilesetColumns) * tileHeight), tileWidth, tileHeight);
}

void Tilemap::Draw(Image* target, int offsetX, int offsetY)
{
    // Only a map that was loaded and given a camera it can fill is drawn;
    // the tile size divides the offsets below.
    if (cameraRows < 0 || tileWidth < 1 || tileHeight < 1 || tilesetColumns < 1 || mapColumns < cameraColumns + 1 ||
        mapRows < cameraRows + 1)
        return;
    int sx = offsetX < 0 ? 0 : offsetX;
    if (sx > maxScrollX)
        sx = maxScrollX;
    int sy = offsetY < 0 ? 0 : offsetY;
    if (sy > maxScrollY)
        sy = maxScrollY;
    const int qx = sx / tileWidth;
    const int rx = sx % tileWidth;
    const int qy = sy / tileHeight;
    const int ry = sy % tileHeight;

    const int windowWidth = cameraColumns * tileWidth;
    const int windowHeight = cameraRows * tileHeight;
    for (int j = 0; j <= cameraRows; ++j) {
        for (int i = 0; i <= cameraColumns; ++i) {
            source = TileSource(tiles[qx + i][qy + j]);
            int dx = cameraX - rx + i * tileWidth;
            int dy = cameraY - ry + j * tileHeight;
            if (dx < cameraX) {
                source.x += rx;
                source.w -= rx;
                dx += rx;
            }
            if (dy < cameraY) {
                source.y += ry;
                source.h -= ry;
                dy += ry;
            }
            if (windowWidth <= dx - cameraX + rx)
                source.w = rx;
            if (windowHeight <= dy - cameraY + ry)
                source.h = ry;
            graphics->Blit(tileset, target, &source, dx, dy);
        }
    }
}
