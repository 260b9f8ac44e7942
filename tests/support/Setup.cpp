// In every test program: from anywhere, it runs in the source tree with its own SDL drivers, or names the X server due.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

[[maybe_unused]] static const bool ready = [] {
    setenv("SDL_VIDEODRIVER", VEXLUME_VIDEO, 1), setenv("SDL_AUDIODRIVER", "dummy", 1);
    Display* display = VEXLUME_VIDEO[0] == 'x' ? XOpenDisplay(nullptr) : nullptr; // x11, not dummy
    if (!display && VEXLUME_VIDEO[0] == 'x') {
        std::fprintf(stderr, "No X server at DISPLAY=\"%s\": start one: 'Xvfb :99 -screen 0 1680x1050x24 +extension "
                             "GLX & export DISPLAY=:99', or run scripts/test --quick\n", getenv("DISPLAY") ?: "");
        std::exit(1);
    }
    return (display && XCloseDisplay(display)), chdir(VEXLUME_SOURCE_DIR) == 0;
}();
