#include "Image.h"

#include <SDL_image.h>

Image::~Image()
{
}

SDL_Surface* Image::ReadFile(const std::string& file)
{
    SDL_Surface* loaded = IMG_Load(file.c_str());
    if (!loaded)
        FailWithSDLError("Couldn't load '" + file + "': ");
    return loaded;
}

SDL_Surface* Image::ReadDisplayFormat(const std::string& file)
{
    SDL_Surface* loaded = ReadFile(file);
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    SDL_FreeSurface(loaded);
    if (!converted)
        FailWithSDLError("Couldn't load '" + file + "': ");
    return converted;
}

SDL_Surface* Image::DisplayCopy(SDL_Surface* surface)
{
    SDL_Surface* converted = SDL_DisplayFormat(surface);
    if (!converted)
        FailWithSDLError("Couldn't convert a picture: ");
    return converted;
}
