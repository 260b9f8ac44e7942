#ifndef VEXLUME_OPENGLIMAGE_H
#define VEXLUME_OPENGLIMAGE_H

#include "Image.h"

#include <GL/gl.h>
#include <SDL.h>

#include <string>
#include <vector>

// A picture held as an OpenGL texture with power-of-two sides. Texels are
// 32-bit, in the display format's byte order, with the top byte as alpha:
// the colour key and the padding right of and below the picture are fully
// transparent, everything else opaque. The texture is deleted with the
// picture, which must happen while the driver's GL context exists.
class OpenGLImage : public Image
{
public:
    OpenGLImage() = default;
    ~OpenGLImage() override;

    Image* LoadImage(std::string file, int colourKey) override;
    Image* LoadSurface(SDL_Surface* surface, int colourKey) override;
    int Width() override { return width; }
    int Height() override { return height; }

    // Loads a file in the display format; the caller owns the result.
    SDL_Surface* SDLLoadImage(std::string file, int colourKey);

    GLuint Texture() const { return texture; }
    int TextureWidth() const { return textureWidth; }
    int TextureHeight() const { return textureHeight; }
    bool Loaded() const { return texture != 0; }

private:
    void Upload(SDL_Surface* surface, int colourKey, const std::string& name);

    GLuint texture = 0;
    // The component count and byte order the latest upload handed to GL.
    int components = 0;
    int format = 0;
    int textureWidth = 0;
    int textureHeight = 0;
    int width = 0;
    int height = 0;
    // The latest upload's texels, emptied once GL has its copy.
    std::vector<Uint32> pixels;
};

#endif
