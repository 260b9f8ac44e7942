// The picture that vexlume-mapcheck --render makes of a whole map, held up
// against the game's own tile map drawn on the game's OpenGL back-end.
#include "GLContext.h"
#include "OpenGLDriver.h"
#include "OpenGLTilemap.h"
#include "Scene.h"

#include <GL/gl.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

using scene::CameraColumns;
using scene::CameraRows;
const int WindowX = scene::CameraX, WindowY = scene::CameraY;
// Behind the map, so that what the game leaves undrawn tells from black.
const Uint32 Backdrop = 0x336699;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Uint32> argb;
};

// Renders map with the real program, run without a display, and reads the
// PNG back.
Picture Render(const std::string& map, const fixtures::ScratchDir& dir)
{
    const std::string png = dir / "whole.png";
    const fixtures::RunResult run = fixtures::Run(VEXLUME_MAPCHECK, VEXLUME_SOURCE_DIR,
                                                  {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}}, 30,
                                                  {"--render", png, map});
    EXPECT_EQ(run.status, 0) << run.err;
    Picture picture;
    SDL_Surface* read = IMG_Load(png.c_str());
    SDL_Surface* like = SDL_CreateRGBSurface(0, 1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    SDL_Surface* argb = read && like ? SDL_ConvertSurface(read, like->format, 0) : nullptr;
    if (argb) {
        picture = {argb->w, argb->h, std::vector<Uint32>(static_cast<size_t>(argb->w) * argb->h)};
        for (int y = 0; y < argb->h; ++y)
            std::memcpy(&picture.argb[static_cast<size_t>(y) * argb->w],
                        static_cast<const Uint8*>(argb->pixels) + y * argb->pitch, 4 * static_cast<size_t>(argb->w));
    }
    SDL_FreeSurface(argb);
    SDL_FreeSurface(like);
    SDL_FreeSurface(read);
    return picture;
}

// A 9 x 7 map whose window holds tile numbers below 0 and beyond the 4 x 3
// tile set of 16-pixel tiles, which the texture's padding and wrapping show.
// The numbers stay small enough for GL's float texture coordinates to hit
// their texels exactly. Each tile has its own colour and a black diagonal,
// the colour key.
std::string OutOfSetMap(const fixtures::ScratchDir& dir)
{
    const std::string tileset = dir / "set.bmp";
    fixtures::WritePicture(tileset, 64, 48, [](int x, int y) -> Uint32 {
        if (x % 16 == y % 16)
            return 0;
        return static_cast<Uint32>(40 + 50 * (x / 16)) << 16 | static_cast<Uint32>(40 + 60 * (y / 16)) << 8 |
               static_cast<Uint32>(8 * (x % 16) + y % 16);
    });
    const std::string map = dir / "outside.map";
    fixtures::WriteFile(map, "Outside\n1\nA\nB\n" + tileset + "\n16 16 9 7\n"
                             "-1 -4 -5 12 16 17 100 -100 0\n"
                             "-13 11 -2 13 31 -16 47 48 0\n"
                             "3 -3 7 -7 20 -20 64 -64 0\n"
                                 "0 1 2 3 4 5 6 7 8\n0 1 2 3 4 5 6 7 8\n0 1 2 3 4 5 6 7 8\n0 1 2 3 4 5 6 7 8\n");
    return map;
}

TEST(MapPicture, ShowsWhatTheGamesTileMapDrawsInItsCameraWindow)
{
    fixtures::ScratchDir dir;
    struct Case {
        const char* name;
        std::string map;
        int tile;
    };
    const Case cases[] = {{"the shipped map", "share/test.map", 32}, {"tile numbers outside the set", OutOfSetMap(dir), 16}};
    OpenGLDriver* driver = glcontext::Driver();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture picture = Render(c.map, dir);
        ASSERT_GT(picture.width, CameraColumns * c.tile);
        ASSERT_GT(picture.height, CameraRows * c.tile);

        OpenGLTilemap tilemap(c.map);
        tilemap.SetCamera(CameraColumns, CameraRows, WindowX, WindowY);
        driver->BeginDraw();
        glClearColor(0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
        tilemap.Draw(nullptr, 0, 0);
        const int width = CameraColumns * c.tile, height = CameraRows * c.tile;
        const std::vector<Uint32> frame = glcontext::ReadBlock(WindowX, WindowY, width, height);
        driver->EndDraw();

        // Where the picture is transparent the game must have drawn nothing.
        int differ = 0, opaque = 0;
        std::string first;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Uint32 shown = picture.argb[static_cast<size_t>(y) * picture.width + x];
                opaque += shown >> 24 == 0xFF;
                const Uint32 want = shown >> 24 ? shown & 0xFFFFFF : Backdrop;
                const Uint32 found = frame[static_cast<size_t>(y) * width + x];
                if (found != want && differ++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "(%d, %d) is 0x%06X in the game, 0x%08X in the picture", x,
                                  y, found, shown);
                    first = text;
                }
            }
        EXPECT_EQ(differ, 0) << first;
        EXPECT_GT(opaque, width * height / 2);
    }
}

} // namespace
