#ifndef VEXLUME_OPENGLSPRITE_H
#define VEXLUME_OPENGLSPRITE_H

#include "Sprite.h"

#include <string>

// A sprite that draws on the OpenGL context. Build it after the video mode
// is set; it loads its sheet with the given colour key.
class OpenGLSprite : public Sprite
{
public:
    OpenGLSprite(std::string sheetFile, int colourKey, int frameRate);
};

#endif
