#ifndef VEXLUME_TEST_RECORDING_H
#define VEXLUME_TEST_RECORDING_H

#include "Graphics.h"
#include "Image.h"
#include "Oblong.h"

#include <string>
#include <vector>

// A picture that loads nothing: it reports the size it was given and
// remembers what it was asked to load.
class FakeImage : public Image
{
public:
    FakeImage(int width, int height) : width(width), height(height) {}

    Image* LoadImage(std::string file, int colourKey) override;
    Image* LoadSurface(SDL_Surface* surface, int colourKey) override;
    int Width() override { return width; }
    int Height() override { return height; }

    int width;
    int height;
    std::vector<std::string> loadedFiles;
    std::vector<int> loadedKeys;
};

// A drawing target that records every call instead of drawing.
class RecordingGraphics : public Graphics
{
public:
    struct Pixel {
        int x, y, colour;
        bool operator==(const Pixel& other) const
        {
            return x == other.x && y == other.y && colour == other.colour;
        }
    };
    struct BlitCall {
        Image* source;
        Image* destination;
        bool hadRegion;
        Oblong region; // as it was at the time of the call
        int x, y;
    };

    void PutPixel(int x, int y, int colour) override;
    void PutPixel(int x, int y, short r, short g, short b) override;
    int GetPixel(int x, int y) override;
    void Blit(Image* source, Image* destination, Oblong* region, int x, int y) override;
    void DrawImage(Image* image, int x, int y) override;

    void Clear();

    std::vector<Pixel> pixels;
    std::vector<BlitCall> blits;
    int drawImageCalls = 0;
};

#endif
