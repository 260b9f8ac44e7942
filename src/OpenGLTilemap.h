#ifndef VEXLUME_OPENGLTILEMAP_H
#define VEXLUME_OPENGLTILEMAP_H

#include "Tilemap.h"

#include <string>

// A tile map that draws on the OpenGL context. Build it after the video mode
// is set; it loads the map file and the tile set it names.
class OpenGLTilemap : public Tilemap
{
public:
    explicit OpenGLTilemap(std::string mapFile);
};

#endif
