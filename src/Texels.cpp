#include "Texels.h"

#include "Fatal.h"

int Texels::Side(int size)
{
    int side = 1;
    while (side < size && side < (1 << 30))
        side *= 2;
    return side;
}

GLenum Texels::Build(SDL_Surface* surface, int colourKey, int textureWidth, int textureHeight,
                      std::vector<Uint32>& texels)
{
    const SDL_PixelFormat* format = surface->format;
    // The texels are read as whole 32-bit pixels, so any other layout is
    // converted first, keeping the source's red-low or red-high order.
    SDL_Surface* wide = surface;
    if (format->BytesPerPixel != 4) {
        const bool redLow = format->BytesPerPixel == 3 && format->Rmask == 0x000000FF;
        const Uint32 red = redLow ? 0x000000FF : 0x00FF0000;
        const Uint32 blue = redLow ? 0x00FF0000 : 0x000000FF;
        SDL_Surface* like = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, red, 0x0000FF00, blue, 0);
        if (!like)
            FailWithSDLError("Couldn't convert a picture: ");
        wide = SDL_ConvertSurface(surface, like->format, SDL_SWSURFACE);
        SDL_FreeSurface(like);
        if (!wide)
            FailWithSDLError("Couldn't convert a picture: ");
    }
    const Uint32 colourBits = wide->format->Rmask | wide->format->Gmask | wide->format->Bmask;
    const Uint32 key = static_cast<Uint32>(colourKey);
    const int width = wide->w;
    const int height = wide->h;

    texels.assign(static_cast<size_t>(textureWidth) * textureHeight, 0);
    if (SDL_MUSTLOCK(wide))
        SDL_LockSurface(wide);
    const Uint8* bytes = static_cast<const Uint8*>(wide->pixels);
    for (int ty = 0; ty < height && ty < textureHeight; ++ty) {
        const Uint32* row = reinterpret_cast<const Uint32*>(bytes + static_cast<size_t>(ty) * wide->pitch);
        Uint32* out = &texels[static_cast<size_t>(ty) * textureWidth];
        for (int tx = 0; tx < width && tx < textureWidth; ++tx) {
            // The unused top byte of a 32-bit display pixel is not part of
            // its colour, so it neither decides the key nor reaches alpha.
            const Uint32 colour = row[tx] & colourBits;
            out[tx] = colour == key ? 0 : colour | 0xFF000000;
        }
    }
    if (SDL_MUSTLOCK(wide))
        SDL_UnlockSurface(wide);

    const GLenum order = wide->format->Rmask == 0x000000FF ? GL_RGBA : GL_BGRA;
    if (wide != surface)
        SDL_FreeSurface(wide);
    return order;
}
