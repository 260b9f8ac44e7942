#include "Recording.h"

Image* FakeImage::LoadImage(std::string file, int colourKey)
{
    loadedFiles.push_back(file);
    loadedKeys.push_back(colourKey);
    return this;
}

Image* FakeImage::LoadSurface(SDL_Surface* surface, int colourKey)
{
    width = surface->w;
    height = surface->h;
    loadedKeys.push_back(colourKey);
    return this;
}

void RecordingGraphics::PutPixel(int x, int y, int colour)
{
    pixels.push_back({x, y, colour});
}

void RecordingGraphics::PutPixel(int x, int y, short r, short g, short b)
{
    pixels.push_back({x, y, (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF)});
}

int RecordingGraphics::GetPixel(int, int)
{
    return 0;
}

void RecordingGraphics::Blit(Image* source, Image* destination, Oblong* region, int x, int y)
{
    blits.push_back({source, destination, region != nullptr, region ? *region : Oblong(0, 0, 0, 0), x, y});
}

void RecordingGraphics::DrawImage(Image*, int, int)
{
    ++drawImageCalls;
}

void RecordingGraphics::Clear()
{
    pixels.clear();
    blits.clear();
    drawImageCalls = 0;
}
