// Stand-ins that let the game's drawing code run without a screen, for the tests and the map fuzzer.
#ifndef VEXLUME_TEST_FAKES_H
#define VEXLUME_TEST_FAKES_H

#include "Graphics.h"
#include "Image.h"
#include "Scene.h"
#include "Tilemap.h"

#include <array>

// A picture of a given size that loads nothing but remembers what it was asked to.
struct FakeImage : Image {
    FakeImage(int width, int height) : width(width), height(height) {}
    Image* LoadImage(std::string file, int key) override
    {
        loaded = file + " " + std::to_string(key);
        return this;
    }
    Image* LoadSurface(SDL_Surface*, int) override { return this; }
    int Width() override { return width; }
    int Height() override { return height; }
    int width;
    int height;
    std::string loaded;
};

using Blits = std::vector<std::array<int, 6>>;  // region x, y, w, h; screen x, y
using Pixels = std::vector<std::array<int, 3>>; // x, y, colour

// Records what is drawn.
struct Recorder : Graphics {
    void PutPixel(int x, int y, int colour) override { pixels.push_back({x, y, colour}); }
    void PutPixel(int, int, short, short, short) override {}
    int GetPixel(int, int) override { return 0; }
    void Blit(Image*, Image*, Oblong* r, int x, int y) override { blits.push_back({r->x, r->y, r->w, r->h, x, y}); }
    void DrawImage(Image*, int, int) override {}
    Pixels pixels;
    Blits blits;
};

// A tile map with a tile set of a given size and its drawing recorded.
struct TestMap : Tilemap {
    TestMap(int w, int h) : Tilemap(""), set(new FakeImage(w, h))
    {
        graphics = drawn;
        tileset = set;
    }
    // Loads as the game does, with the game's camera window.
    void Load(const std::string& path)
    {
        LoadMap(path);
        LoadTileset(tilesetFile);
        SetCamera(scene::CameraColumns, scene::CameraRows, scene::CameraX, scene::CameraY);
    }
    Recorder* drawn = new Recorder();
    FakeImage* set;
    using Tilemap::tileWidth, Tilemap::tileHeight;
};

#endif
