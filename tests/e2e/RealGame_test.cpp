// The real binary as a player starts it, on the test X server or on a desktop of another size: keys sent through
// XTest, the screen read back from the server, the music heard through SDL's disk audio driver.
#include "Fixtures.h"

// gtest before Xlib, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

using fixtures::Picture;

namespace {

const std::string Source = VEXLUME_SOURCE_DIR;

struct XScreen {
    Display* display = nullptr;
    // A connection that cannot be made at once is tried again, and a test never goes on without one.
    explicit XScreen(const std::string& name = "")
    {
        fixtures::WaitUntil([&] { return (display = XOpenDisplay(name.empty() ? nullptr : name.c_str())) != nullptr; });
        if (!display)
            throw std::runtime_error("cannot connect to the X server " + name);
    }
    ~XScreen() { XCloseDisplay(display); }

    void Key(KeySym key, bool down)
    {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down, CurrentTime);
        XSync(display, False);
    }

    // Whether the process has a window at the top of the screen, by the process id SDL gives each window.
    bool HasWindowOf(pid_t process)
    {
        const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        // A window that goes between the listing and the reading is no failure.
        const XErrorHandler before = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        Window root;
        Window parent;
        Window* children = nullptr;
        unsigned count = 0;
        XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
        bool found = false;
        for (unsigned i = 0; i < count && !found; ++i) {
            Atom type;
            int format;
            unsigned long items = 0;
            unsigned long after;
            unsigned char* data = nullptr;
            XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &data);
            found =
                items == 1 && data && *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(process);
            XFree(data);
        }
        XFree(children);
        XSync(display, False);
        XSetErrorHandler(before);
        return found;
    }

    Picture Grab(int x, int y, int w, int h)
    {
        XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, w, h, AllPlanes, ZPixmap);
        Picture grabbed{w, h, std::vector<Uint32>(size_t(w) * h)};
        for (int i = 0; i < w * h; ++i)
            grabbed.rgb[i] = XGetPixel(image, i % w, i / w) & 0xFFFFFF;
        XDestroyImage(image);
        return grabbed;
    }
};

// Root mean square of the newest 8192 stereo frames written, or -1 while fewer have been.
double Loudness(const std::string& path)
{
    const std::string bytes = fixtures::ReadFile(path);
    const size_t window = 8192 * 4;
    const size_t end = bytes.size() / 4 * 4;
    if (end < window)
        return -1;
    double sum = 0;
    for (size_t i = end - window; i < end; i += 2)
        sum += std::pow(static_cast<Sint16>(Uint8(bytes[i]) | Uint8(bytes[i + 1]) << 8), 2);
    return std::sqrt(sum / (window / 2));
}

struct Refusal {
    std::string name;
    std::function<void(const std::string& share)> damage;
    std::string head; // up to the library's reason, or all with the line feed
    std::map<std::string, std::string> env = {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
};

// The tile set that the shipped map names on its fifth line.
std::string TileSet()
{
    std::ifstream in(Source + "/" + scene::Map);
    std::string line;
    for (int i = 0; i < 5; ++i)
        std::getline(in, line);
    return line;
}

std::string CannotLoad(const std::string& path)
{
    return "Couldn't load '" + path + "': ";
}

// In the order the game loads them, with the start of the line that names each.
const std::vector<std::pair<std::string, std::string>> DataFiles = {
    {scene::SpriteSheet, CannotLoad(scene::SpriteSheet)},
    {scene::Map, CannotLoad("")},
    {TileSet(), CannotLoad(TileSet())},
    {scene::TitlePicture, CannotLoad(scene::TitlePicture)},
    {scene::SecondPicture, CannotLoad(scene::SecondPicture)},
    {scene::Font, "Unable to load TTF font: "},
    {scene::Music, "Couldn't load music: "},
};

// Damage that writes the bytes into a file of a copy of the game's directory.
std::function<void(const std::string&)> Writes(const std::string& file, const std::string& bytes)
{
    return [=](const std::string& copy) { fixtures::WriteFile(copy + "/" + file, bytes); };
}

std::vector<Refusal> Refusals()
{
    std::vector<Refusal> all;
    for (size_t first = 0; first < DataFiles.size(); ++first) {
        const auto& [file, head] = DataFiles[first];
        // Only the first missing file in load order is reported.
        const auto removeThoseAfter = [first](const std::string& copy) {
            for (size_t later = first; later < DataFiles.size(); ++later)
                std::remove((copy + "/" + DataFiles[later].first).c_str());
        };
        // The game says first that the map is missing, then that the tile set it did not name cannot be loaded.
        const std::string mapLine = file == scene::Map ? "ERROR: Couldn't load \"" + file + "\".\n" : "";
        all.push_back({"missing " + file + " and those after it", removeThoseAfter, mapLine + head});
        all.push_back({"empty " + file, Writes(file, ""), head});
    }
    const std::string tiles = fixtures::ReadFile(Source + "/" + TileSet());
    auto tall = [](const std::string& copy) {
        const auto stripes = [](int x, int y) { return (x + y) % 7 ? 0x3366CCu : 0u; };
        fixtures::WritePicture(copy + "/" + scene::SecondPicture, 8, 40000, stripes);
    };
    const std::string mode = std::to_string(scene::ScreenWidth) + "x" + std::to_string(scene::ScreenHeight) + "x" +
                             std::to_string(scene::ScreenDepth);
    const std::vector<Refusal> more = {
        {"half of the tile set", Writes(TileSet(), tiles.substr(0, tiles.size() / 2)), DataFiles[2].second},
        // A few bytes once claimed a gigabyte of one-cell columns.
        {"millions of columns", Writes(scene::Map, "M\n1\nA\nB\n" + TileSet() + "\n32 32 16777216 1\n"),
         "ERROR: Map \"" + std::string(scene::Map) + "\" has 16777216 columns, more than the 65536 a map may have.\n"},
        // Control bytes are written as \xNN, so the line neither breaks nor drives the terminal.
        {"control bytes in a path", Writes(scene::Map, "M\n1\nA\nB\nshare/\x1b[31mTiles\x07.png\r\n32 32 9 7\n"),
         "Couldn't load 'share/\\x1B[31mTiles\\x07.png\\x0D': "},
        // The GL back-end keeps each picture in one texture.
        {"a tall picture", tall,
         DataFiles[4].second + "a picture of 8x40000 pixels is larger than the largest texture, "},
        {"an unknown audio driver", [](const std::string&) {}, "Unable to initialize the audio system: ",
         {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "no-such-driver"}}},
        {"video without OpenGL", [](const std::string&) {}, "Unable to set video mode " + mode + ": ",
         {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}}},
    };
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

} // namespace

// On a desktop whose screen is not the game's size the window manager fits the full-screen window to the screen, and
// the frame is scaled into it with its shape kept: 1680x1050 into 1366x768 as 1228x768 between bars of 69.
const int DesktopWidth = 1366;
const int DesktopHeight = 768;
const int ScaledWidth = scene::ScreenWidth * DesktopHeight / scene::ScreenHeight;
const int Bar = (DesktopWidth - ScaledWidth) / 2;

TEST(RealGame, OnA1366x768DesktopTheFrameIsScaledBetweenBars)
{
    fixtures::Process server("/usr/bin/Xvfb", "/", {},
                             {"-displayfd", "1", "-screen", "0",
                              std::to_string(DesktopWidth) + "x" + std::to_string(DesktopHeight) + "x24",
                              "+extension", "GLX", "-nolisten", "tcp"});
    ASSERT_TRUE(fixtures::WaitUntil([&] { return server.Out().find('\n') != std::string::npos; })) << "no Xvfb";
    const std::string name = ":" + server.Out().substr(0, server.Out().find('\n'));
    fixtures::Process manager("/usr/bin/openbox", "/", {{"DISPLAY", name}}, {"--sm-disable"});
    XScreen screen(name);
    // A window mapped before openbox manages windows is never fitted: wait
    // until it manages a probe window, mapped again until it does.
    const Window probe = XCreateSimpleWindow(screen.display, DefaultRootWindow(screen.display), 0, 0, 1, 1, 0, 0, 0);
    const Atom state = XInternAtom(screen.display, "WM_STATE", False);
    ASSERT_TRUE(fixtures::WaitUntil([&] {
        XMapWindow(screen.display, probe);
        XSync(screen.display, False);
        Atom type;
        int format;
        unsigned long count = 0;
        unsigned long after;
        unsigned char* data = nullptr;
        XGetWindowProperty(screen.display, probe, state, 0, 2, False, state, &type, &format, &count, &after, &data);
        XFree(data);
        return count > 0;
    })) << "openbox never manages a window";
    XDestroyWindow(screen.display, probe);

    fixtures::Process game(VEXLUME_BINARY, Source,
                           {{"DISPLAY", name}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}});
    const Picture title = fixtures::LoadPicture(Source + "/" + scene::TitlePicture);
    const double scaleX = double(ScaledWidth) / scene::ScreenWidth;
    const double scaleY = double(DesktopHeight) / scene::ScreenHeight;
    double difference = 0;
    double lit = 0;
    EXPECT_TRUE(fixtures::WaitUntil([&] {
        // The mean difference per channel (of 255) from the title scaled linearly, over pixels that read it alone.
        const Picture shown = screen.Grab(0, 0, DesktopWidth, DesktopHeight);
        double sum = 0;
        double count = 0;
        lit = 0;
        for (int sy = 0; sy < DesktopHeight; ++sy)
            for (int sx = 0; sx < DesktopWidth; ++sx) {
                // The edge pixel of each bar may take some of the frame's light.
                lit += (sx < Bar - 1 || sx > Bar + ScaledWidth) && shown.At(sx, sy);
                const double u = (sx + 0.5 - Bar) / scaleX - 0.5;
                const double v = (sy + 0.5) / scaleY - 0.5;
                if (u < 0 || v < 0 || u > title.width - 1 || v > title.height - 1)
                    continue;
                const int x = std::min(int(u), title.width - 2);
                const int y = std::min(int(v), title.height - 2);
                const double fx = u - x;
                const double fy = v - y;
                for (int shift : {16, 8, 0}) {
                    auto at = [&](int dx, int dy) { return double(title.At(x + dx, y + dy) >> shift & 0xFF); };
                    const double expected = (at(0, 0) * (1 - fx) + at(1, 0) * fx) * (1 - fy) +
                                            (at(0, 1) * (1 - fx) + at(1, 1) * fx) * fy;
                    sum += std::abs(expected - double(shown.At(sx, sy) >> shift & 0xFF));
                    count += 1;
                }
            }
        difference = sum / count;
        // In place, well under 1; one pixel out of place, 5 or more.
        return difference < 4 && lit == 0;
    })) << "the title differs by " << difference << " of 255; " << lit << " pixels lit in the bars; " << game.Err();
}

// Whatever is wrong with the data or the machine, the game ends at start with status 1 and its own one line on
// standard error, never through a signal and never hanging. The only other lines allowed are those written before
// it by the game for a missing map, and by libpng for a damaged PNG.
TEST(RealGame, RefusesBadDataAndMissingDriversWithOneLineAndStatusOne)
{
    for (const Refusal& refusal : Refusals()) {
        SCOPED_TRACE(refusal.name);
        fixtures::ScratchDir dir;
        ASSERT_EQ(std::system(("cp -r " + Source + "/share " + dir.Path()).c_str()), 0);
        refusal.damage(dir.Path());
        const fixtures::RunResult run = fixtures::Run(VEXLUME_BINARY, dir.Path(), refusal.env, 30);
        EXPECT_EQ(run.status, 1) << "the exit status; " << run.err;
        EXPECT_EQ(run.out, "Vexlume " VEXLUME_VERSION "\n") << "the banner";
        std::string err = run.err;
        while (err.rfind("libpng ", 0) == 0)
            err.erase(0, err.find('\n') + 1);
        ASSERT_EQ(err.substr(0, refusal.head.size()), refusal.head) << run.err;
        const std::string reason = err.substr(refusal.head.size());
        if (refusal.head.back() != '\n')
            EXPECT_TRUE(reason.size() > 1 && reason.find('\n') == reason.size() - 1) << run.err;
        else
            EXPECT_EQ(reason, "");
        for (const char c : run.err)
            EXPECT_TRUE(c == '\n' || (Uint8(c) >= 0x20 && c != 0x7F)) << "a control byte: " << run.err;
    }
}

// vexlume-mapcheck --play puts a map of one's own, with the tile set it names, in place of the shipped map, leaves
// nothing behind and passes the game's status on; a map or a data folder the game would stop on is not played. The
// game it starts is the real binary: its music is heard, and Escape, through the X server, ends it with status 0.
TEST(RealGame, TheMapCheckerPlaysAMapOfOnesOwnInTheGameWithMusicUntilEscape)
{
    fixtures::ScratchDir dir;
    ASSERT_EQ(std::system(("mkdir " + dir / "tmp " + dir / "art " + dir / "work").c_str()), 0);
    fixtures::WritePicture(dir / "art/tiles.bmp", 64, 32, [](int x, int) { return x < 32 ? 0x3366CCu : 0xCC9933u; });
    std::string map = "Mine\n1\n\n\n../art/tiles.bmp\n32 32 9 7\n";
    for (int cell = 0; cell < 63; ++cell)
        map += "1 ";
    fixtures::WriteFile(dir / "work/m.map", map);
    fixtures::WriteFile(dir / "work/small.map", "Small\n1\n\n\nshare/Tiles.png\n32 32 8 6\n");
    const std::string shipped = fixtures::ReadFile(Source + "/" + scene::Map);
    const std::string audio = dir / "mixer.raw";
    std::map<std::string, std::string> env = {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "disk"}};
    env["SDL_DISKAUDIOFILE"] = audio;
    env["TMPDIR"] = dir / "tmp";
    auto leftBehind = [&] { return std::system(("rmdir " + dir / "tmp && mkdir " + dir / "tmp").c_str()) != 0; };
    // The map's tile set path is relative to the map's own folder, which --from names.
    const std::vector<std::string> playMine = {"--from", ".", "--play", "m.map"};

    fixtures::Process play(VEXLUME_MAPCHECK, dir / "work", env, playMine);
    XScreen screen;
    // The track is never quiet for long.
    EXPECT_TRUE(fixtures::WaitUntil([&] { return Loudness(audio) > 300; })) << "no music; " << play.Err();
    EXPECT_TRUE(fixtures::WaitUntil([&] {
        const Picture window = screen.Grab(scene::CameraX, scene::CameraY, 256, 192);
        return std::count(window.rgb.begin(), window.rgb.end(), 0xCC9933u) == 256 * 192;
    })) << "the map's tile 1 does not fill the camera window; " << play.Out() << play.Err();
    screen.Key(XK_Escape, true);
    // Released too: a key left down reaches the next case's game as a press when its window takes the focus.
    screen.Key(XK_Escape, false);
    EXPECT_EQ(play.Wait(30), 0) << "the game's status after Escape; it said:\n" << play.Err();
    EXPECT_NE(play.Out().find("clean: the game reads this map as written\n"), std::string::npos) << play.Out();
    EXPECT_FALSE(leftBehind()) << "the scratch directory was left in " << dir / "tmp";
    EXPECT_EQ(fixtures::ReadFile(Source + "/" + scene::Map), shipped) << "the shipped map was changed";

    const fixtures::RunResult refused = fixtures::Run(VEXLUME_MAPCHECK, dir / "work", env, 30, {"--play", "small.map"});
    EXPECT_EQ(refused.status, 3) << "expected status 3 for a map smaller than the camera window:\n" << refused.out;
    EXPECT_EQ(refused.out.find("Vexlume " VEXLUME_VERSION), std::string::npos) << "the game started:\n" << refused.out;
    env["SDL_AUDIODRIVER"] = "no-such-driver";
    const fixtures::RunResult failed = fixtures::Run(VEXLUME_MAPCHECK, dir / "work", env, 30, playMine);
    EXPECT_EQ(failed.status, 1) << "expected the game's status 1 for no such sound device:\n" << failed.err;
    EXPECT_EQ(failed.err.rfind("Unable to initialize the audio system: ", 0), 0u) << failed.err;
    EXPECT_FALSE(leftBehind()) << "the scratch directory was left in " << dir / "tmp";

    ASSERT_EQ(std::system(("mkdir " + dir / "data " + dir / "data/share").c_str()), 0);
    const fixtures::RunResult empty = fixtures::Run(VEXLUME_MAPCHECK, dir.Path(), env, 30, {"--play", "data"});
    EXPECT_EQ(empty.status, 2) << "expected status 2 for a folder of missing files:\n" << empty.out;
    EXPECT_EQ(empty.out.find("Vexlume " VEXLUME_VERSION), std::string::npos) << "the game started:\n" << empty.out;
    // A whole folder is played with the player's own sound device, not the one the check used.
    ASSERT_EQ(std::system(("rmdir " + dir / "data/share && ln -s " + Source + "/share " + dir / "data").c_str()), 0);
    const fixtures::RunResult played = fixtures::Run(VEXLUME_MAPCHECK, dir.Path(), env, 30, {"--play", "data"});
    EXPECT_EQ(played.status, 1) << "expected the game's status 1 for no such sound device:\n" << played.err;
    EXPECT_EQ(played.err.rfind("Unable to initialize the audio system: ", 0), 0u) << played.err;
}

// A game whose X server stops (the desktop session ends, the server is killed) ends at once with one line naming
// what was lost and status 1, instead of drawing on into nothing.
TEST(RealGame, EndsWithOneLineWhenItsXServerStops)
{
    fixtures::Process server(
        "/usr/bin/Xvfb", "/", {},
        {"-displayfd", "1", "-screen", "0", "1680x1050x24", "+extension", "GLX", "-nolisten", "tcp"});
    ASSERT_TRUE(fixtures::WaitUntil([&] { return server.Out().find('\n') != std::string::npos; })) << "no Xvfb";
    const std::string name = ":" + server.Out().substr(0, server.Out().find('\n'));
    fixtures::Process game(VEXLUME_BINARY, Source,
                           {{"DISPLAY", name}, {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}});
    {
        // Closed before the server stops, which this process would not survive either.
        XScreen screen(name);
        ASSERT_TRUE(fixtures::WaitUntil([&] { return screen.HasWindowOf(game.Pid()); }))
            << "the game's window never showed; " << game.Err();
    }
    server.Send(SIGTERM);
    EXPECT_EQ(game.Wait(30), 1) << "the game's status once its X server stopped; it said:\n" << game.Err();
    EXPECT_EQ(game.Err(), "Lost the display: the connection to the X server " + name + " is broken\n");
}

// However a map maker stops a checker that plays (kill, the terminal closed, Ctrl+C, which the terminal sends to its
// whole process group), the game gets the same signal and ends, and the checker removes its scratch directory and
// then ends by that signal.
TEST(RealGame, TheMapCheckerStoppedStopsItsGameAndLeavesNothing)
{
    fixtures::ScratchDir dir;
    const std::map<std::string, std::string> env = {
        {"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}, {"TMPDIR", dir.Path()}};
    XScreen screen;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        fixtures::Process play(VEXLUME_MAPCHECK, Source, env, {"--play", scene::Map});
        std::vector<pid_t> games;
        ASSERT_TRUE(fixtures::WaitUntil([&] { return !(games = play.Children()).empty(); }))
            << "the checker started no game; it said:\n"
            << play.Out() << play.Err();
        // Stopped while it plays, not while it starts.
        EXPECT_TRUE(fixtures::WaitUntil([&] { return screen.HasWindowOf(games[0]); })) << "no game window";
        if (signal == SIGINT)
            play.SendToGroup(signal);
        else
            play.Send(signal);
        play.Wait(30);
        EXPECT_EQ(play.EndedBy(), signal) << "the signal that ended the checker; it said:\n" << play.Err();
        const bool gameEnded = fixtures::WaitUntil([&] { return kill(games[0], 0) != 0; }, 10);
        EXPECT_TRUE(gameEnded) << "the game was left running";
        if (!gameEnded)
            kill(games[0], SIGKILL);
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "the scratch directory was left in " << dir.Path();
        for (const auto& left : std::filesystem::directory_iterator(dir.Path()))
            std::filesystem::remove_all(left.path());
    }
}
