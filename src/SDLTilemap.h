#ifndef VEXLUME_SDLTILEMAP_H
#define VEXLUME_SDLTILEMAP_H

#include "Tilemap.h"

#include <string>

// A tile map that draws on the SDL software surface. Build it after the video mode
// is set; it loads the map file and the tile set it names.
class SDLTilemap : public Tilemap
{
public:
    explicit SDLTilemap(std::string mapFile);
};

#endif
