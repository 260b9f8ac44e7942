#ifndef VEXLUME_TEXELS_H
#define VEXLUME_TEXELS_H

#include <GL/gl.h>
#include <SDL.h>

#include <vector>

#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif

// How a picture becomes the texels of an OpenGL texture. Kept apart from
// OpenGLImage, which uploads them, so that tools which picture what the game
// draws compute the very same texels without a GL context or libGL: only
// GL's enum values are used here.
class Texels
{
public:
    // The smallest power of two not below size (1 for sizes below 1).
    static int Side(int size);

    // Fills texels (textureWidth x textureHeight, row-major) from surface of
    // any pixel size and pitch, and returns the GL upload format that
    // matches their byte order. Pixels equal to colourKey, compared as 32-bit
    // colour values without their unused top byte, become 0; every other
    // pixel becomes opaque, whatever alpha the picture had.
    static GLenum Build(SDL_Surface* surface, int colourKey, int textureWidth, int textureHeight,
                        std::vector<Uint32>& texels);
};

#endif
