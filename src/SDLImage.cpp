#include "SDLImage.h"

#include "Fatal.h"

#include <SDL_image.h>

SDLImage::SDLImage()
{
}

SDLImage::~SDLImage()
{
    if (surface)
        SDL_FreeSurface(surface);
}

int SDLImage::Width()
{
    return width;
}

int SDLImage::Height()
{
    return height;
}

Image* SDLImage::LoadImage(std::string file, int colourKey)
{
    SDL_Surface* loaded = IMG_Load(file.c_str());
    if (!loaded)
        FailWithSDLError("Couldn't load '" + file + "': ");
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    if (!converted)
        FailWithSDLError("Couldn't load '" + file + "': ");
    Adopt(converted, colourKey);
    return this;
}

Image* SDLImage::LoadSurface(SDL_Surface* source, int colourKey)
{
    SDL_Surface* converted = SDL_DisplayFormat(source);
    if (!converted)
        FailWithSDLError("Couldn't convert a picture: ");
    Adopt(converted, colourKey);
    return this;
}

void SDLImage::Adopt(SDL_Surface* converted, int colourKey)
{
    if (surface)
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
