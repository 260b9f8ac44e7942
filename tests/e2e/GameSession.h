#ifndef VEXLUME_TEST_GAMESESSION_H
#define VEXLUME_TEST_GAMESESSION_H

#include "Scene.h"

#include <SDL.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// The keysym constants (XK_Right, XK_space, ...) without the rest of Xlib,
// whose macros clash with gtest.
#include <X11/keysym.h>

using KeySymbol = unsigned long;

// A picture in memory, row by row from the top, each pixel 0xRRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<Uint32> rgb;

    Uint32 At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

inline bool IsGrey(Uint32 c)
{
    return (c >> 16 & 0xFF) == (c >> 8 & 0xFF) && (c >> 8 & 0xFF) == (c & 0xFF);
}

struct Box {
    int x, y, w, h;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// Where the scene puts things on the screen: its settings, and what the game
// derives from them (the sprite starts centred on the centre pixel; the
// shipped map's tiles are 32 pixels).
namespace layout {
using namespace scene;
const int CentreX = ScreenWidth / 2;
const int CentreY = ScreenHeight / 2;
const int Frame = 32;
const int SpriteX = CentreX - Frame / 2;
const int SpriteY = CentreY - Frame / 2;
const int WindowX = CameraX;
const int WindowY = CameraY;
const int WindowWidth = CameraColumns * 32;
const int WindowHeight = CameraRows * 32;
} // namespace layout

const Box WholeScreen{0, 0, layout::ScreenWidth, layout::ScreenHeight};

// How long a test waits for something it can observe before it gives up.
// Generous, because a busy machine may give the game one frame a second;
// tests wait for what they expect to see, never for a fixed time.
const double Patience = 30;

// Reads a picture file with IMG_Load, as the game does.
Pixels LoadPixels(const std::string& path);
Pixels SurfacePixels(SDL_Surface* surface);

// The real game binary, started in a directory of its own choice on the
// test's X server, driven through XTest and watched through screen grabs.
// The child is killed when the session goes, whatever state it is in.
class GameSession
{
public:
    // diskAudioFile empty: the dummy audio driver; otherwise the disk
    // driver writing the mixer's output into that file.
    explicit GameSession(const std::string& workDir = VEXLUME_SOURCE_DIR, const std::string& diskAudioFile = "");
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // Waits until the game's window is on screen and shows its first
    // frame: the title picture in place.
    bool WaitForScene(double timeoutSeconds = Patience, Pixels* first = nullptr);
    // Polls until the condition holds, while the game runs.
    bool WaitUntil(const std::function<bool()>& condition, double timeoutSeconds);
    // Grabs the area until shown holds for a grab.
    bool WaitFor(const std::function<bool(const Pixels&)>& shown, double timeoutSeconds, Box area = WholeScreen,
                 Pixels* last = nullptr);

    void KeyDown(KeySymbol key);
    void KeyUp(KeySymbol key);
    void Tap(KeySymbol key);
    // What a window manager sends when the player closes the window.
    void RequestClose();

    // A grab of the X screen, at its own size, in which only the area is
    // read; the rest is black. Reading less keeps the grabs quick on a busy
    // machine. The default area is the game's frame, which is the whole
    // screen on the test server.
    Pixels Grab(Box area = WholeScreen);
    // The X screen, which is not the game's size under a scaling desktop.
    Box Screen() const;

    // The exit status; -1 when the game had not ended in time (it is then
    // killed) or ended through a signal.
    int WaitForExit(double timeoutSeconds);
    bool Running();
    std::string ErrorOutput() const;

private:
    struct Connection;
    Connection* x = nullptr;
    pid_t child = -1;
    int exitStatus = -1;
    unsigned long window = 0;
    std::string errorFile;
    std::vector<KeySymbol> held;

    bool WaitForWindow(double timeoutSeconds);
    void Key(KeySymbol key, bool down);
    unsigned long FindWindow();
    void Kill();
};

// What the scene is made of, read independently from share/: the pictures,
// the sprite's frames and the whole map composed from the map file and its
// tile set.
struct SceneArt {
    Pixels title;
    Pixels second;
    Pixels sheet;
    Pixels map;

    static const SceneArt& Get();
};

struct SpriteSighting {
    int x;
    int y;
    int row;     // 0 or 32: the sheet row shown
    int index;   // frame along the row
};

// Every place in the given ranges where a frame of the sheet shows: all its
// non-black pixels equal the screen's there.
std::vector<SpriteSighting> FindSprite(const Pixels& screen, int xMin, int xMax, int yMin, int yMax);

// Every scroll offset in the given ranges at which the camera window shows
// the map, not counting the pixels inside the excluded box.
std::vector<std::pair<int, int>> FindMapView(const Pixels& screen, int xMin, int xMax, int yMin, int yMax,
                                             Box excluded = {0, 0, 0, 0});

#endif
