#ifndef VEXLUME_SDLIMAGE_H
#define VEXLUME_SDLIMAGE_H

#include "Image.h"

#include <SDL.h>

#include <string>

// A picture held as an SDL surface in the display format, with SDL's colour
// key. The key reads red from its low byte and blue from its third (so
// 0xFF0000 keys out blue); a key above 0xFFFFFF sets none. The surface is
// freed with the picture.
class SDLImage : public Image
{
public:
    SDLImage() = default;
    ~SDLImage() override;

    Image* LoadImage(std::string file, int colourKey) override;
    Image* LoadSurface(SDL_Surface* surface, int colourKey) override;
    int Width() override { return width; }
    int Height() override { return height; }

    SDL_Surface* Surface() const { return surface; }
    bool Loaded() const { return surface != nullptr; }

private:
    void Adopt(SDL_Surface* converted, int colourKey);

    SDL_Surface* surface = nullptr;
    int width = 0;
    int height = 0;
};

#endif
