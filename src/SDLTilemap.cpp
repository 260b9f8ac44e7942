#include "SDLTilemap.h"

#include "SDLGraphics.h"
#include "SDLImage.h"

SDLTilemap::SDLTilemap(std::string mapFile) : Tilemap("")
{
    graphics = new SDLGraphics(SDL_GetVideoSurface());
    LoadMap(mapFile);
    tileset = new SDLImage();
    LoadTileset(tilesetFile);
}
