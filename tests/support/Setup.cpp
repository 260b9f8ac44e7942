// Linked into every test program, so that it runs alike from ctest, the repository root or build/: in the source
// tree, where share/ is, with its own SDL drivers; one that needs an X server says so when there is none.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

[[maybe_unused]] static const bool ready = [] {
    setenv("SDL_VIDEODRIVER", VEXLUME_VIDEO, 1), setenv("SDL_AUDIODRIVER", "dummy", 1);
    const bool x11 = std::string(VEXLUME_VIDEO) == "x11";
    Display* display = x11 ? XOpenDisplay(nullptr) : nullptr;
    if (x11 && !display) {
        std::fprintf(stderr, "No X server at DISPLAY=\"%s\": start one: 'Xvfb :99 -screen 0 1680x1050x24 +extension "
                             "GLX & export DISPLAY=:99', or run scripts/test --quick\n", getenv("DISPLAY") ?: "");
        std::exit(1);
    }
    return (display && XCloseDisplay(display)), chdir(VEXLUME_SOURCE_DIR) == 0;
}();
