#ifndef VEXLUME_GRAPHICS_H
#define VEXLUME_GRAPHICS_H

class Image;
class Oblong;

// A drawing target: single pixels, whole pictures and parts of pictures, in
// screen pixels with the origin at the top-left corner. A target accepts only
// pictures of its own back-end, loaded; anything else ends the program with a
// clear message. Targets are cheap and several live side by side (the game,
// each sprite and each tile map own one).
class Graphics
{
public:
    virtual ~Graphics();

    // Colour is 0x00RRGGBB. Callers keep x and y on the screen.
    virtual void PutPixel(int x, int y, int colour) = 0;
    // Only the low 8 bits of each component count.
    virtual void PutPixel(int x, int y, short r, short g, short b) = 0;
    virtual int GetPixel(int x, int y) = 0;
    // Draws the part of source inside region (the whole picture when region
    // is null) with the region's top-left corner at (x, y), at its own size.
    // destination is accepted for the callers' sake and ignored: drawing
    // always goes to the screen. Colour-keyed pixels are not drawn.
    virtual void Blit(Image* source, Image* destination, Oblong* region, int x, int y) = 0;
    virtual void DrawImage(Image* image, int x, int y) = 0;
};

#endif
