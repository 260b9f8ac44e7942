// The real binary as a player starts it: on the test X server (or a desktop
// of its own at another screen size), keys sent through XTest, the screen
// read back from the server, the music heard through SDL's disk audio driver.
#include "Fixtures.h"

// gtest before Xlib, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cmath>

using fixtures::Picture;

namespace {

const char* const Banner = "Vexlume 0.0.6\n";

class XScreen
{
public:
    XScreen() : display(XOpenDisplay(nullptr)) {}
    ~XScreen() { XCloseDisplay(display); }
    int Width() const { return DisplayWidth(display, DefaultScreen(display)); }
    int Height() const { return DisplayHeight(display, DefaultScreen(display)); }

    void Key(KeySym key, bool down)
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down, CurrentTime);
        XSync(display, False);
    }
    void Tap(KeySym key) { Key(key, true), Key(key, false); }

    Picture Grab(int x, int y, int w, int h)
    {
        XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, w, h, AllPlanes, ZPixmap);
        Picture grabbed{w, h, std::vector<Uint32>(size_t(w) * h)};
        for (int row = 0; row < h; ++row)
            for (int column = 0; column < w; ++column)
                grabbed.rgb[size_t(row) * w + column] = XGetPixel(image, column, row) & 0xFFFFFF;
        XDestroyImage(image);
        return grabbed;
    }

private:
    Display* display;
};

// Root mean square of the newest 8192 stereo frames the mixer wrote after
// the given size of the file, or -1 while fewer have been written.
double Loudness(const std::string& path, size_t since)
{
    const std::string bytes = fixtures::ReadFile(path);
    const size_t window = 8192 * 4, end = bytes.size() / 4 * 4;
    if (end < since + window)
        return -1;
    double sum = 0;
    for (size_t i = end - window; i < end; i += 2) {
        const double s = static_cast<Sint16>(Uint8(bytes[i]) | Uint8(bytes[i + 1]) << 8);
        sum += s * s;
    }
    return std::sqrt(sum / (window / 2));
}

} // namespace

TEST(RealGame, ShowsTheSceneWalksPlaysMusicAndQuitsOnEscape)
{
    fixtures::ScratchDir dir;
    const std::string audio = dir / "mixer.raw";
    fixtures::Process game(VEXLUME_BINARY, VEXLUME_SOURCE_DIR, {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "disk"},
                                                                {"SDL_DISKAUDIOFILE", audio}});
    XScreen screen;
    const Picture title = fixtures::LoadPicture(VEXLUME_SOURCE_DIR "/share/Vexlume.png");
    ASSERT_TRUE(fixtures::WaitUntil([&] {
        const Picture shown = screen.Grab(0, 0, title.width, title.height);
        for (size_t i = 0; i < shown.rgb.size(); ++i)
            if (title.rgb[i] && shown.rgb[i] != title.rgb[i])
                return false;
        return true;
    })) << game.Err();

    // The track is never quiet for long; halted or paused, the mixer writes zeros.
    auto heard = [&](KeySym key, bool loud) {
        const size_t since = fixtures::ReadFile(audio).size();
        if (key)
            screen.Tap(key);
        return fixtures::WaitUntil([&] { return loud ? Loudness(audio, since) > 300 : Loudness(audio, since) == 0; });
    };
    EXPECT_TRUE(heard(0, true)) << "no music after the start";
    EXPECT_TRUE(heard(XK_space, false)) << "Space does not halt the music";
    EXPECT_TRUE(heard(XK_space, true)) << "Space does not start it again";
    EXPECT_TRUE(heard(XK_p, false)) << "p does not pause the music";
    EXPECT_TRUE(heard(XK_p, true)) << "p does not resume it";

    // Right walks the sprite, facing right (the sheet's second row), from
    // the centre of the screen.
    const Picture sheet = fixtures::LoadPicture(VEXLUME_SOURCE_DIR "/share/Pellwick.png");
    const int x0 = scene::ScreenWidth / 2 - 16, y0 = scene::ScreenHeight / 2 - 16;
    auto facingRightAt = [&](const Picture& band, int x) {
        for (int frame = 0; frame < sheet.width / 32; ++frame) {
            bool same = true;
            for (int dy = 0; same && dy < 32; ++dy)
                for (int dx = 0; same && dx < 32; ++dx)
                    same = !sheet.At(frame * 32 + dx, 32 + dy) || band.At(x + dx, dy) == sheet.At(frame * 32 + dx, 32 + dy);
            if (same)
                return true;
        }
        return false;
    };
    screen.Key(XK_Right, true);
    EXPECT_TRUE(fixtures::WaitUntil([&] {
        const Picture band = screen.Grab(x0, y0, 400, 32);
        for (int x = 5; x < 400 - 32; ++x)
            if (facingRightAt(band, x))
                return true;
        return false;
    }));
    screen.Key(XK_Right, false);

    screen.Tap(XK_Escape);
    EXPECT_EQ(game.Wait(30), 0) << game.Err();
    EXPECT_EQ(game.Out(), Banner);
}
