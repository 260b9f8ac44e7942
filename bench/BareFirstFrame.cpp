// The least a program can do to show a first frame in the game's mode: start
// SDL, open the same full-screen 1680x1050x32 OpenGL mode, clear and present.
// Its start-up time is what the game's own is compared with. SDL starts with
// no subsystem named, as in the game, so that the video subsystem comes up
// inside SDL_SetVideoMode in both (naming it in SDL_Init costs about 100 ms
// more here).
#include "Scene.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

int main()
{
    if (SDL_Init(0) != 0) {
        std::fprintf(stderr, "Unable to initialize SDL: %s\n", SDL_GetError());
        return 1;
    }
    if (!SDL_SetVideoMode(scene::ScreenWidth, scene::ScreenHeight, scene::ScreenDepth, SDL_OPENGL | SDL_FULLSCREEN)) {
        std::fprintf(stderr, "Unable to set video mode: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    SDL_Quit();
    return 0;
}
