#include "VideoDriver.h"

#include "Fatal.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>

namespace {

// Xlib calls this when the connection to the X server breaks. Its own handler
// calls exit(), whose atexit(SDL_Quit) then waits for ever for an answer from
// the server that is gone, spinning at half a core; this one reports what was
// lost and ends the process without the exit handlers, which have nothing
// left to restore.
int DisplayLost(Display* display)
{
    ReportLine(std::string("Lost the display: the connection to the X server ") + DisplayString(display) +
               " is broken\n");
    std::_Exit(1);
}

} // namespace

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

// Xlib has one handler for the whole process, which no display need be open
// for; it is set before SDL opens its connection, so that it covers start-up
// as well. When SDL draws through anything but X, it is never called.
void VideoDriver::EndWithTheDisplay()
{
    XSetIOErrorHandler(DisplayLost);
}

void VideoDriver::FailVideoMode(int width, int height, int depth)
{
    FailWithSDLError("Unable to set video mode " + std::to_string(width) + "x" + std::to_string(height) +
                     "x" + std::to_string(depth) + ": ");
}
