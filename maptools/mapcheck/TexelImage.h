#ifndef VEXLUME_TEXELIMAGE_H
#define VEXLUME_TEXELIMAGE_H

#include "Image.h"

#include <SDL.h>

#include <string>
#include <vector>

// A picture read without a screen into the very texels the OpenGL back-end
// uploads: power-of-two sides, the colour key and the padding transparent.
// It cannot be drawn through a Graphics; tools that show what the game
// draws read it texel by texel instead.
class TexelImage : public Image
{
public:

    Image* LoadImage(std::string file, int colourKey) override;
    Image* LoadSurface(SDL_Surface* surface, int colourKey) override;
    int Width() override { return width; }
    int Height() override { return height; }

    // The colour, 0xAARRGGBB with alpha 0 or 0xFF, that the game's texture
    // shows at picture pixel (x, y). Pixels outside the texture wrap around
    // it, as the texture's default repeat mode does.
    Uint32 Texel(long long x, long long y) const;

private:
    std::vector<Uint32> texels;
    int width = 0;
    int height = 0;
    int textureWidth = 0;
    int textureHeight = 0;
};

#endif
