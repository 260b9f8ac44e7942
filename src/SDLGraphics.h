#ifndef VEXLUME_SDLGRAPHICS_H
#define VEXLUME_SDLGRAPHICS_H

#include "Graphics.h"

#include <SDL.h>

// Draws into one SDL surface (always the video surface in the game), which
// it does not own. Pictures go through SDL_UpperBlit with their colour key;
// pixels are written directly, with the surface locked around the write when
// SDL requires it. Coordinates off the surface are ignored rather than
// written.
class SDLGraphics : public Graphics
{
public:
    explicit SDLGraphics(SDL_Surface* surface);

    // Stores colour unchanged on a 32-bit surface (0x00RRGGBB shows as that
    // colour when the red mask is 0x00FF0000); other depths get it mapped.
    void PutPixel(int x, int y, int colour) override;
    void PutPixel(int x, int y, short r, short g, short b) override;
    // The raw pixel value, 0 off the surface.
    int GetPixel(int x, int y) override;
    // Past the picture there is nothing to show. A position or region corner
    // beyond SDL_Rect's 16 bits draws nothing rather than wrapping round.
    void Blit(Image* source, Image* destination, Oblong* region, int x, int y) override;
    void DrawImage(Image* image, int x, int y) override;

private:
    bool Inside(int x, int y) const;
    void Store(int x, int y, Uint32 pixel);

    SDL_Surface* surface;
};

#endif
