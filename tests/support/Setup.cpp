// Each test program runs in the source tree with its own SDL drivers, from anywhere; without an X server, it says so.
#include "Fixtures.h"
#include "Scene.h"

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
        // The server resets when the previous program's last connection closes, and refuses connections meanwhile.
        static Display* display = nullptr;
        fixtures::WaitUntil([] { return (display = XOpenDisplay(nullptr)) != nullptr; }, 5);
        const char* name = std::getenv("DISPLAY");
        if (!display) {
            std::fprintf(stderr,
                         "No X server at DISPLAY=\"%s\": start 'Xvfb :99 -screen 0 %dx%dx24 +extension GLX & "
                         "export DISPLAY=:99' or run scripts/test --quick\n",
                         name ? name : "", scene::ScreenWidth, scene::ScreenHeight);
            std::exit(1);
        }
        // Kept open, so that the server does not reset (refusing connections) each time a test's last one closes.
    }
    return chdir(VEXLUME_SOURCE_DIR) == 0;
}
[[maybe_unused]] static const bool ready = ReadyToTest();
