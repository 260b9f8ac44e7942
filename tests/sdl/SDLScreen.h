#ifndef VEXLUME_TEST_SDLSCREEN_H
#define VEXLUME_TEST_SDLSCREEN_H

#include <SDL.h>

#include <functional>
#include <string>

class SDLDriver;

// The one SDL driver of the sdl_tests process, on SDL's dummy video driver:
// a real 1680x1050x32 software video surface whose pixels the tests read.
namespace sdlscreen {

const int Width = 1680;
const int Height = 1050;

SDLDriver* Driver();
SDL_Surface* Screen();

// The colour of screen pixel (x, y) as 0xRRGGBB, read from the surface.
Uint32 Colour(int x, int y);
// Fills the whole screen with one colour given as 0xRRGGBB.
void Fill(Uint32 rgb);
// The screen pixels whose colour differs from expected(x, y), as a short
// description ("" when every pixel matches).
std::string Mismatches(const std::function<Uint32(int x, int y)>& expected);

} // namespace sdlscreen

#endif
