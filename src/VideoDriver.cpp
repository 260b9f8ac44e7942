#include "VideoDriver.h"

#include "Fatal.h"

#include <SDL.h>

#include <string>

VideoDriver::~VideoDriver()
{
}

void VideoDriver::ToggleFullScreen()
{
    if (SDL_WM_ToggleFullScreen(SDL_GetVideoSurface()) == 0)
        FailWithSDLError("Failed to toggle windowed/fullscreen mode: ");
}

void VideoDriver::ShowCursor(bool show)
{
    SDL_ShowCursor(show ? 1 : 0);
}

void VideoDriver::FailVideoMode(int width, int height, int depth)
{
    FailWithSDLError("Unable to set video mode " + std::to_string(width) + "x" + std::to_string(height) +
                     "x" + std::to_string(depth) + ": ");
}
