#ifndef VEXLUME_OPENGLGRAPHICS_H
#define VEXLUME_OPENGLGRAPHICS_H

#include "Graphics.h"

// Draws with OpenGL immediate mode in the driver's pixel projection:
// pictures as textured, blended quads, pixels as points. It holds nothing,
// so any number may exist; they all draw into the current GL context.
class OpenGLGraphics : public Graphics
{
public:
    OpenGLGraphics() = default;

    void PutPixel(int x, int y, int colour) override;
    void PutPixel(int x, int y, short r, short g, short b) override;
    // The frame is not read back: always 0.
    int GetPixel(int x, int y) override;
    // A region is drawn whole: over the texture's padding it is transparent,
    // and beyond the texture it repeats it (GL's default wrap).
    void Blit(Image* source, Image* destination, Oblong* region, int x, int y) override;
    void DrawImage(Image* image, int x, int y) override;
};

#endif
