#ifndef VEXLUME_PREVIEWTILEMAP_H
#define VEXLUME_PREVIEWTILEMAP_H

#include "Tilemap.h"

#include <SDL.h>

#include <string>
#include <vector>

class TexelImage;

// A tile map loaded exactly as the game loads it, with no screen: the whole
// map can be pictured at once for map makers, who otherwise see it only
// through the camera window. The tile set is held as the texels the game's
// OpenGL back-end draws from, so every cell, a tile number outside the tile
// set included, shows what it shows in the game.
class PreviewTilemap : public Tilemap
{
public:
    // A larger picture would be too big to be of use or to hold.
    static const int MaxSide = 16384;

    // Ends the program, with the game's own line and status 1, for every map
    // the game refuses (a map too small for the camera window included), and
    // for a map whose picture would exceed MaxSide pixels on a side.
    explicit PreviewTilemap(std::string mapFile);

    int PixelWidth() const { return pixelWidth; }
    int PixelHeight() const { return pixelHeight; }

    // The whole map, row by row from the top, as 0xAARRGGBB pixels; alpha is
    // 0 where the game draws nothing and the stars behind show through.
    std::vector<Uint32> Render() const;

private:
    TexelImage* texels = nullptr; // the tile set, owned as tileset
};

#endif
