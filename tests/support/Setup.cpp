// Linked into every test program, so that it runs the same from ctest, the
// repository root or build/: in the source tree, where share/ is, with the
// program's own SDL drivers; and one that needs an X server says so in one
// line when there is none.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[maybe_unused]] const bool ready = [] {
    if (chdir(VEXLUME_SOURCE_DIR) != 0)
        std::perror(VEXLUME_SOURCE_DIR), std::exit(1);
    setenv("SDL_VIDEODRIVER", VEXLUME_VIDEO, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Display* display = std::strcmp(VEXLUME_VIDEO, "x11") ? nullptr : XOpenDisplay(nullptr);
    if (!std::strcmp(VEXLUME_VIDEO, "x11") && !display) {
        std::fprintf(stderr, "No X server at DISPLAY=\"%s\": start one with 'Xvfb :99 -screen 0 1680x1050x24 "
                             "+extension GLX & export DISPLAY=:99', or run scripts/test --quick\n",
                     getenv("DISPLAY") ? getenv("DISPLAY") : "");
        std::exit(1);
    }
    if (display)
        XCloseDisplay(display);
    return true;
}();

} // namespace
