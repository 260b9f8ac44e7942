#ifndef VEXLUME_TEST_GLCONTEXT_H
#define VEXLUME_TEST_GLCONTEXT_H

#include <SDL.h>

#include <vector>

class OpenGLDriver;

// The one OpenGL driver of a test process: SDL and the 1680x1050 GL mode
// are opened on first use (SDL_VIDEODRIVER=x11 on the test X server) and
// stay open until the process ends, as in the game.
namespace glcontext {

OpenGLDriver* Driver();

// The colour of pixel (x, y), with y counted from the top as in the game,
// read from the back buffer of the frame being drawn, as 0xRRGGBB.
Uint32 ReadPixel(int x, int y);

// A block of pixels, row by row from the top, each 0xRRGGBB.
std::vector<Uint32> ReadBlock(int x, int y, int width, int height);

} // namespace glcontext

#endif
