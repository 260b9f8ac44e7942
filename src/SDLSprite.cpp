#include "SDLSprite.h"

#include "SDLGraphics.h"
#include "SDLImage.h"

SDLSprite::SDLSprite(std::string sheetFile, int colourKey, int frameRate) : Sprite("", -1, -1)
{
    graphics = new SDLGraphics(SDL_GetVideoSurface());
    sheet = new SDLImage();
    sheet->LoadImage(sheetFile, colourKey);
    this->frameRate = frameRate;
}
