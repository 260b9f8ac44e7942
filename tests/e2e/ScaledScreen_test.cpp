// On a desktop whose screen is not the game's size, the window manager fits
// the full-screen window to the screen and the frame is scaled into it with
// its shape kept, between black bars.
#include "Fixtures.h"

// gtest before Xlib, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cmath>

namespace {

bool Managed(Display* display, Window window)
{
    const Atom state = XInternAtom(display, "WM_STATE", False);
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, state, 0, 2, False, state, &type, &format, &count, &after, &data);
    if (data)
        XFree(data);
    return count > 0;
}

// The mean difference per channel, out of 255, between the screen and the
// title picture scaled into the frame at (left, top) by scale, filtered
// linearly, over the screen pixels that read the picture alone.
double TitleDifference(XImage* screen, const fixtures::Picture& title, int left, int top, double scaleX, double scaleY)
{
    double sum = 0;
    long count = 0;
    for (int sy = top; sy < top + title.height * scaleY; ++sy)
        for (int sx = left; sx < left + title.width * scaleX; ++sx) {
            const double u = (sx + 0.5 - left) / scaleX - 0.5, v = (sy + 0.5 - top) / scaleY - 0.5;
            if (u < 0 || v < 0 || u > title.width - 1 || v > title.height - 1)
                continue;
            const int x = std::min(int(u), title.width - 2), y = std::min(int(v), title.height - 2);
            const double fx = u - x, fy = v - y;
            for (int shift : {16, 8, 0}) {
                auto at = [&](int px, int py) { return double(title.At(px, py) >> shift & 0xFF); };
                const double expected = (at(x, y) * (1 - fx) + at(x + 1, y) * fx) * (1 - fy) +
                                        (at(x, y + 1) * (1 - fx) + at(x + 1, y + 1) * fx) * fy;
                sum += std::abs(expected - double(XGetPixel(screen, sx, sy) >> shift & 0xFF));
                ++count;
            }
        }
    return sum / count;
}

} // namespace

TEST(RealGame, OnA1366x768DesktopTheFrameIsScaledBetweenBars)
{
    fixtures::Process server("/usr/bin/Xvfb", "/", {}, {"-displayfd", "1", "-screen", "0", "1366x768x24", "+extension", "GLX", "-nolisten", "tcp"});
    ASSERT_TRUE(fixtures::WaitUntil([&] { return server.Out().find('\n') != std::string::npos; }));
    const std::string name = ":" + server.Out().substr(0, server.Out().find('\n'));
    fixtures::Process manager("/usr/bin/openbox", "/", {{"DISPLAY", name}}, {"--sm-disable"});
    Display* display = XOpenDisplay(name.c_str());
    ASSERT_NE(display, nullptr);
    // A window mapped before openbox manages windows is never fitted, so wait
    // until it manages one of ours.
    const Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XMapWindow(display, probe);
    XSync(display, False);
    ASSERT_TRUE(fixtures::WaitUntil([&] { return Managed(display, probe) || (XMapWindow(display, probe), XSync(display, False), false); }));
    XDestroyWindow(display, probe);

    fixtures::Process game(VEXLUME_BINARY, VEXLUME_SOURCE_DIR, {{"DISPLAY", name}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}});
    // 1680x1050 fits 1366x768 as 1228x768, centred: bars of 69 pixels on each side.
    const fixtures::Picture title = fixtures::LoadPicture(VEXLUME_SOURCE_DIR "/share/Vexlume.png");
    double difference = 255;
    long lit = 0;
    EXPECT_TRUE(fixtures::WaitUntil([&] {
        XImage* screen = XGetImage(display, DefaultRootWindow(display), 0, 0, 1366, 768, AllPlanes, ZPixmap);
        difference = TitleDifference(screen, title, 69, 0, 1228.0 / 1680, 768.0 / 1050);
        lit = 0;
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1366; ++x)
                lit += (x < 68 || x > 1297) && (XGetPixel(screen, x, y) & 0xFFFFFF);
        XDestroyImage(screen);
        // In place the title differs by well under 1; one pixel out of place, by 5 or more.
        return difference < 4 && lit == 0;
    })) << "the title differs by " << difference << " of 255; " << lit << " pixels lit in the bars; " << game.Err();
    XCloseDisplay(display);
}
