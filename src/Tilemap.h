#ifndef VEXLUME_TILEMAP_H
#define VEXLUME_TILEMAP_H

#include "Oblong.h"

#include <string>
#include <vector>

class Graphics;
class Image;

// A grid of tile numbers read from a text map file, drawn from a tile set
// image through a camera window that stays in place on the screen while a
// scroll offset moves the map under it. MapFile reads the map file.
//
// A back-end subclass builds the drawing target and the tile set image and
// loads the map; SetCamera comes next, then Draw once per frame.
class Tilemap
{
public:
    explicit Tilemap(std::string unused);
    virtual ~Tilemap();

    // False, after a one-line report, when the file cannot be opened.
    bool LoadMap(std::string file);
    // Needs LoadMap to have run and tileset to be set.
    bool LoadTileset(std::string file);

    void SetCamera(int columns, int rows, int screenX, int screenY);
    // Draws the camera window with the offsets clamped to the map.
    void Draw(Image* target, int offsetX, int offsetY);
    // The region of the tile set that a tile number is drawn from, for a
    // loaded map; numbers outside the tile set give regions outside the
    // picture, drawn as Blit draws those. Anything that pictures the map
    // goes through this one rule, so that it shows what the game shows.
    Oblong TileSource(int tile) const;

    // The limits a loaded map must meet, shared with tools that check maps:
    // each returns the problem, worded to follow the map's name, or "".
    static std::string TilesetProblem(int tileWidth, int tileHeight, int setWidth, int setHeight);
    static std::string SizeProblem(int tileWidth, int tileHeight, int columns, int rows);
    static std::string CameraProblem(int mapColumns, int mapRows, int columns, int rows);
    // The number of whole tiles in a tile set of the given size; partial
    // tiles at its right and bottom edges do not count.
    static int TileCount(int tileWidth, int tileHeight, int setWidth, int setHeight);

protected:
    // Ends the program with one line naming the map file and the problem.
    [[noreturn]] void Refuse(const std::string& problem) const;

    std::string mapFile;
    std::string headerLine1;
    int headerNumber = 0;
    std::string headerLine3;
    std::string headerLine4;
    int mapColumns = 0;
    int mapRows = 0;
    std::vector<std::vector<int>> tiles;
    // The region of the cell being drawn, rewritten for each cell by Draw;
    // after a frame it holds the last cell's.
    Oblong source;
    int tileWidth = 0;
    int tileHeight = 0;
    int tilesetColumns = 0;
    int tilesetRows = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    int tileCount = 0;
    int cameraColumns = 0;
    int cameraRows = 0;
    int cameraX = 0;
    int cameraY = 0;
    int maxScrollX = 0;
    int maxScrollY = 0;
    std::string tilesetFile;
    Graphics* graphics = nullptr;
    Image* tileset = nullptr;
};

#endif
