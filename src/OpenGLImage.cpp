#include "OpenGLImage.h"

#include "Fatal.h"

#include <iostream>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

OpenGLImage::~OpenGLImage()
{
    if (texture)
        glDeleteTextures(1, &texture);
}

SDL_Surface* OpenGLImage::SDLLoadImage(std::string file, int)
{
    return ReadDisplayFormat(file);
}

Image* OpenGLImage::LoadImage(std::string file, int colourKey)
{
    SDL_Surface* surface = SDLLoadImage(file, colourKey);
    Upload(surface, colourKey, file);
    SDL_FreeSurface(surface);
    return this;
}

Image* OpenGLImage::LoadSurface(SDL_Surface* surface, int colourKey)
{
    SDL_Surface* converted = DisplayCopy(surface);
    Upload(converted, colourKey, "rendered picture");
    SDL_FreeSurface(converted);
    return this;
}

int OpenGLImage::TextureSide(int size)
{
    int side = 1;
    while (side < size && side < (1 << 30))
        side *= 2;
    return side;
}

GLenum OpenGLImage::BuildTexels(SDL_Surface* surface, int colourKey, int textureWidth, int textureHeight,
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

void OpenGLImage::Upload(SDL_Surface* surface, int colourKey, const std::string& name)
{
    width = surface->w;
    height = surface->h;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        std::cerr << "not truecolor\n";
    textureWidth = TextureSide(width);
    textureHeight = TextureSide(height);

    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest > 0 && (textureWidth > largest || textureHeight > largest))
        FailWithLine("Couldn't load '" + name + "': a picture of " + std::to_string(width) + "x" +
                     std::to_string(height) + " pixels is larger than the largest texture, " +
                     std::to_string(largest) + " pixels a side\n");

    format = static_cast<int>(BuildTexels(surface, colourKey, textureWidth, textureHeight, pixels));
    components = 4;

    if (!texture)
        glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, components, textureWidth, textureHeight, 0, static_cast<GLenum>(format),
                 GL_UNSIGNED_BYTE, pixels.data());
    std::vector<Uint32>().swap(pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}
