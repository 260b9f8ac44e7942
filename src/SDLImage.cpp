#include "SDLImage.h"

SDLImage::~SDLImage()
{
    SDL_FreeSurface(surface);
}

Image* SDLImage::LoadImage(std::string file, int colourKey)
{
    Adopt(ReadDisplayFormat(file), colourKey);
    return this;
}

Image* SDLImage::LoadSurface(SDL_Surface* source, int colourKey)
{
    Adopt(DisplayCopy(source), colourKey);
    return this;
}

void SDLImage::Adopt(SDL_Surface* converted, int colourKey)
{
    SDL_FreeSurface(surface);
    surface = converted;
    width = surface->w;
    height = surface->h;
    if (colourKey <= 0xFFFFFF) {
        const Uint32 key = SDL_MapRGB(surface->format, colourKey & 0xFF, (colourKey >> 8) & 0xFF,
                                      (colourKey >> 16) & 0xFF);
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, key);
    }
}
