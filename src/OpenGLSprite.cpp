#include "OpenGLSprite.h"

#include "OpenGLGraphics.h"
#include "OpenGLImage.h"

OpenGLSprite::OpenGLSprite(std::string sheetFile, int colourKey, int frameRate) : Sprite("", -1, -1)
{
    graphics = new OpenGLGraphics();
    sheet = new OpenGLImage();
    sheet->LoadImage(sheetFile, colourKey);
    this->frameRate = frameRate;
}
