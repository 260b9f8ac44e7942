#include "OpenGLTilemap.h"

#include "OpenGLGraphics.h"
#include "OpenGLImage.h"

OpenGLTilemap::OpenGLTilemap(std::string mapFile) : Tilemap("")
{
    graphics = new OpenGLGraphics();
    LoadMap(mapFile);
    tileset = new OpenGLImage();
    LoadTileset(tilesetFile);
}
