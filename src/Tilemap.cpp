#include "Tilemap.h"

#include "Fatal.h"
#include "Graphics.h"
#include "Image.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <new>

namespace {

// Reads one number into value only when it reads cleanly, so that a failed
// item leaves its field at its default (the stream stores 0 or a limit).
bool ReadNumber(std::istream& in, int& value)
{
    int read = 0;
    if (!(in >> read))
        return false;
    value = read;
    return true;
}

bool ReadLine(std::istream& in, std::string& line)
{
    std::string read;
    if (!std::getline(in, read))
        return false;
    line = read;
    return true;
}

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
        std::cerr << "ERROR: Couldn't load \"" << mapFile << "\"." << std::endl;
        return false;
    }

    // Each step runs only while every earlier item was read.
    if (ReadLine(in, headerLine1) && ReadNumber(in, headerNumber)) {
        in.get();
        (void)(ReadLine(in, headerLine3) && ReadLine(in, headerLine4) && ReadLine(in, tilesetFile) &&
               ReadNumber(in, tileWidth) && ReadNumber(in, tileHeight) && ReadNumber(in, mapColumns) &&
               ReadNumber(in, mapRows));
    }

    if (mapColumns >= 1) {
        if (mapRows < 0)
            Refuse("has " + std::to_string(mapRows) + " rows; a map with columns needs at least 0");
        if (static_cast<long long>(mapColumns) * mapRows > MaxCells)
            Refuse("has " + std::to_string(mapColumns) + "x" + std::to_string(mapRows) +
                   " tiles, more than the " + std::to_string(MaxCells) + " a map may hold");
        try {
            tiles.assign(static_cast<size_t>(mapColumns), std::vector<int>(static_cast<size_t>(mapRows), 0));
        } catch (const std::bad_alloc&) {
            Refuse("is too large to hold in memory");
        }
    }
    if (mapColumns >= 1 && mapRows >= 1)
        for (int r = 0; r < mapRows && in; ++r)
            for (int c = 0; c < mapColumns && in; ++c)
                ReadNumber(in, tiles[c][r]);
    return true;
}

bool Tilemap::LoadTileset(std::string file)
{
    tileset->LoadImage(file, 0);
    if (tileWidth < 1)
        Refuse("gives a tile width of " + std::to_string(tileWidth) + "; tiles must be at least 1 pixel wide");
    if (tileHeight < 1)
        Refuse("gives a tile height of " + std::to_string(tileHeight) + "; tiles must be at least 1 pixel high");
    tilesetColumns = tileset->Width() / tileWidth;
    tilesetRows = tileset->Height() / tileHeight;
    if (tilesetColumns < 1)
        Refuse("names a tile set " + std::to_string(tileset->Width()) + " pixels wide, narrower than one " +
               std::to_string(tileWidth) + "-pixel tile");
    if (tilesetRows < 1)
        Refuse("names a tile set " + std::to_string(tileset->Height()) + " pixels high, lower than one " +
               std::to_string(tileHeight) + "-pixel tile");
    tileCount = tilesetRows * tilesetColumns;
    const long long wide = static_cast<long long>(tileWidth) * mapColumns;
    const long long high = static_cast<long long>(tileHeight) * mapRows;
    if (wide > INT32_MAX || high > INT32_MAX)
        Refuse("is too large: " + std::to_string(wide) + "x" + std::to_string(high) + " pixels");
    pixelWidth = static_cast<int>(wide);
    pixelHeight = static_cast<int>(high);
    return true;
}

void Tilemap::SetCamera(int columns, int rows, int screenX, int screenY)
{
    cameraX = screenX;
    cameraColumns = columns;
    cameraRows = rows;
    cameraY = screenY;
    // Draw reads one cell beyond the window in each direction, so a map must
    // be at least one tile wider and higher than the window.
    if (static_cast<long long>(mapColumns) < static_cast<long long>(columns) + 1 ||
        static_cast<long long>(mapRows) < static_cast<long long>(rows) + 1)
        Refuse("has " + std::to_string(mapColumns) + "x" + std::to_string(mapRows) +
               " tiles; the camera window of " + std::to_string(columns) + "x" + std::to_string(rows) +
               " tiles needs a map of at least " + std::to_string(static_cast<long long>(columns) + 1) + "x" +
               std::to_string(static_cast<long long>(rows) + 1));
    maxScrollX = pixelWidth - 1 - columns * tileWidth;
    maxScrollY = pixelHeight - 1 - rows * tileHeight;
}

void Tilemap::Draw(Image* target, int offsetX, int offsetY)
{
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
    if (cameraRows < 0)
        return;
    // Only a map that was loaded and given a camera it can fill is drawn.
    if (tileWidth < 1 || tileHeight < 1 || tilesetColumns < 1 || mapColumns < cameraColumns + 1 ||
        mapRows < cameraRows + 1)
        return;

    const int windowWidth = cameraColumns * tileWidth;
    const int windowHeight = cameraRows * tileHeight;
    for (int j = 0; j <= cameraRows; ++j) {
        for (int i = 0; i <= cameraColumns; ++i) {
            const int t = tiles[qx + i][qy + j];
            // Tile numbers are drawn by the same rule whatever their value;
            // absurd ones are held far outside the tile set instead of
            // overflowing.
            source.x = Saturate(static_cast<long long>(t % tilesetColumns) * tileWidth);
            source.y = Saturate(static_cast<long long>(t / tilesetColumns) * tileHeight);
            source.w = tileWidth;
            source.h = tileHeight;
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
