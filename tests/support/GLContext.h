#ifndef VEXLUME_TEST_GLCONTEXT_H
#define VEXLUME_TEST_GLCONTEXT_H

#include "Fixtures.h"

#include <SDL.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class OpenGLDriver;
class OpenGLImage;

// The one OpenGL driver of a test process: SDL and the game's GL mode
// are opened on first use (SDL_VIDEODRIVER=x11 on the test X server) and
// stay open until the process ends, as in the game.
namespace glcontext {

OpenGLDriver* Driver();

// The colour of pixel (x, y), with y counted from the top as in the game,
// read from the back buffer of the frame being drawn, as 0xRRGGBB.
Uint32 ReadPixel(int x, int y);

// A block of pixels, row by row from the top, each 0xRRGGBB.
std::vector<Uint32> ReadBlock(int x, int y, int width, int height);

// Writes dir/name with the colours rgb(x, y) and loads it with key.
std::unique_ptr<OpenGLImage> LoadPicture(const fixtures::ScratchDir& dir, const std::string& name, int width,
                                         int height, const std::function<Uint32(int, int)>& rgb, int key);

} // namespace glcontext

#endif
