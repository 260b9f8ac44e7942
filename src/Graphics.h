#ifndef VEXLUME_GRAPHICS_H
#define VEXLUME_GRAPHICS_H

class Image;
class Oblong;

// A drawing target: single pixels, whole pictures and parts of pictures, in
// screen pixels with the origin at the top-left corner, drawn between the
// driver's BeginDraw and EndDraw. Targets are cheap and several live side by
// side (the game, each sprite and each tile map own one); a target owns
// nothing it is given.
class Graphics
{
public:
    virtual ~Graphics();

    // Colour is 0x00RRGGBB. Callers keep (x, y) on the screen.
    virtual void PutPixel(int x, int y, int colour) = 0;
    // The same; only the low 8 bits of each component count.
    virtual void PutPixel(int x, int y, short r, short g, short b) = 0;
    // The pixel's raw value where the back-end can read the frame back, else
    // 0. The game never calls it.
    virtual int GetPixel(int x, int y) = 0;
    // Draws the part of source inside region (the whole picture when region
    // is null) with the region's top-left corner at (x, y), at its own size,
    // leaving out colour-keyed pixels; a region 0 wide or high draws nothing.
    // source must be a loaded picture of this target's back-end, or the
    // program ends with a line saying which. Past the picture's edges a
    // region shows whatever the back-end's copy of the picture holds there.
    // destination is ignored (drawing always goes to this target's screen),
    // and neither picture nor region is kept or changed.
    virtual void Blit(Image* source, Image* destination, Oblong* region, int x, int y) = 0;
    // Draws the whole picture with its top-left corner at (x, y), with the
    // same demands on it as Blit.
    virtual void DrawImage(Image* image, int x, int y) = 0;
};

#endif
