#include "TexelImage.h"

#include "Texels.h"

// The game converts to the display format first, which keeps every colour
// and drops any alpha channel; the texel builder drops alpha itself, so the
// picture as loaded gives the same texels.
Image* TexelImage::LoadImage(std::string file, int colourKey)
{
    SDL_Surface* loaded = ReadFile(file);
    LoadSurface(loaded, colourKey);
    SDL_FreeSurface(loaded);
    return this;
}

Image* TexelImage::LoadSurface(SDL_Surface* surface, int colourKey)
{
    width = surface->w;
    height = surface->h;
    textureWidth = Texels::Side(width);
    textureHeight = Texels::Side(height);
    const GLenum order = Texels::Build(surface, colourKey, textureWidth, textureHeight, texels);
    if (order == GL_RGBA) {
        for (Uint32& texel : texels)
            texel = (texel & 0xFF00FF00) | (texel & 0xFF) << 16 | (texel >> 16 & 0xFF);
    }
    return this;
}

Uint32 TexelImage::Texel(long long x, long long y) const
{
    if (texels.empty())
        return 0;
    const long long tx = (x % textureWidth + textureWidth) % textureWidth;
    const long long ty = (y % textureHeight + textureHeight) % textureHeight;
    return texels[static_cast<size_t>(ty * textureWidth + tx)];
}
