// Each test program runs in the source tree with its own SDL drivers, from anywhere; without an X server, it says so.
#include <X11/Xlib.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static bool ReadyToTest()
{
    setenv("SDL_VIDEODRIVER", VEXLUME_VIDEO, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (std::strcmp(VEXLUME_VIDEO, "x11") == 0) {
        static Display* const display = XOpenDisplay(nullptr);
        const char* name = std::getenv("DISPLAY");
        if (!display) {
            std::fprintf(stderr, "No X server at DISPLAY=\"%s\": start 'Xvfb :99 -screen 0 1680x1050x24 +extension "
                                 "GLX & export DISPLAY=:99' or run scripts/test --quick\n", name ? name : "");
            std::exit(1);
        }
        // Kept open: the last client leaving makes the server reset, and the test's next connection would race it.
    }
    return chdir(VEXLUME_SOURCE_DIR) == 0;
}
[[maybe_unused]] static const bool ready = ReadyToTest();
