#include "OpenGLImage.h"

#include "Fatal.h"
#include "Texels.h"

#include <iostream>

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

void OpenGLImage::Upload(SDL_Surface* surface, int colourKey, const std::string& name)
{
    width = surface->w;
    height = surface->h;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        std::cerr << "not truecolor\n";
    textureWidth = Texels::Side(width);
    textureHeight = Texels::Side(height);

    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest > 0 && (textureWidth > largest || textureHeight > largest))
        FailWithLine("Couldn't load '" + name + "': a picture of " + std::to_string(width) + "x" +
                     std::to_string(height) + " pixels is larger than the largest texture, " +
                     std::to_string(largest) + " pixels a side\n");

    format = static_cast<int>(Texels::Build(surface, colourKey, textureWidth, textureHeight, pixels));
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
