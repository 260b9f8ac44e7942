#ifndef VEXLUME_TEST_LIVEOBJECTS_H
#define VEXLUME_TEST_LIVEOBJECTS_H

#include <string>

// A test program that links LiveObjects.cpp, with the calls that make and free SDL surfaces and GL texture names
// wrapped at link time (LIVE in tests/CMakeLists.txt), knows which of them are alive and which function made each.
// LeakSanitizer cannot see a texture name left behind (the driver holds its memory and frees it with the context), nor
// a surface that piles up while the game runs and is freed at the end.
namespace live {

int Surfaces();
int Textures();
// Those alive, a line for each kind made by one call in one function: "2 surfaces from TTF_RenderText_Solid in
// Game::Demo"; "" when none is.
std::string Described();

} // namespace live

#endif
