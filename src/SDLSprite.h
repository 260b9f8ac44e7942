#ifndef VEXLUME_SDLSPRITE_H
#define VEXLUME_SDLSPRITE_H

#include "Sprite.h"

#include <string>

// A sprite that draws on the SDL software surface. Build it after the video mode
// is set; it loads its sheet with the given colour key.
class SDLSprite : public Sprite
{
public:
    SDLSprite(std::string sheetFile, int colourKey, int frameRate);
};

#endif
