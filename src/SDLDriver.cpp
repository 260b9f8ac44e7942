#include "SDLDriver.h"

SDLDriver::SDLDriver(int width, int height, int depth, std::string title, bool fullscreen)
    : width(width), height(height), depth(depth), title(title), fullscreen(fullscreen)
{
    SetVideoMode(width, height, depth);
    SDL_WM_SetCaption(this->title.c_str(), this->title.c_str());
}

// sdl12-compat scales a full-screen mode into a screen of another size,
// keeping its shape, only when video was started before the mode is set;
// brought up by the mode call itself, the frame is shown unscaled and
// cropped. A video system that cannot start makes the mode call fail,
// which reports it.
void SDLDriver::SetVideoMode(int width, int height, int depth)
{
    EndWithTheDisplay();
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    screen = SDL_SetVideoMode(width, height, depth, SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_FULLSCREEN);
    if (!screen)
        FailVideoMode(width, height, depth);
}

void SDLDriver::Fullscreen()
{
    ToggleFullScreen();
    fullscreen = !fullscreen;
}

void SDLDriver::ShowMouse(bool show)
{
    ShowCursor(show);
}

// The screen is not held locked through the frame: SDL refuses to blit onto
// a locked surface, so SDLGraphics locks only around its direct pixel writes.
void SDLDriver::BeginDraw()
{
    SDL_FillRect(screen, nullptr, 0);
}

void SDLDriver::EndDraw()
{
    SDL_Flip(screen);
}
