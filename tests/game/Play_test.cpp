// The real game in this process, on the real data files and the test X server, played by a script. Wrapped at link
// time: SDL_PollEvent hands the game the script's keys game frame by game frame; SDL_GetTicks and SDL_Delay keep a
// clock that moves only while the game waits and while it draws (SDL_GL_SwapBuffers adds the frame's drawing time);
// SDL_GL_SwapBuffers also reads each finished frame back for the checks due in it; the music calls are recorded.
#include "Allocations.h"
#include "Fixtures.h"
#include "Game.h"
#include "LiveObjects.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using fixtures::Picture;
using namespace scene;

namespace {

// Restated on purpose, so that a wrong constant in the game is caught: the sprite starts at the screen's centre
// less half its 32-pixel frame, and a game frame lasts at least 40 ms.
const int SpriteX = 824;
const int SpriteY = 509;
const Uint32 FrameTime = 40;
// The rows of the sprite sheet, by the sheet's y over 32.
const int WalkingLeft = 0;
const int WalkingRight = 1;

const int Frames = 161;
std::vector<std::vector<SDL_Event>> inputs(Frames);
std::vector<std::vector<std::function<void()>>> checks(Frames);
// How long each game frame takes to draw, in ms; the game must wait out the rest of its 40 ms.
std::vector<Uint32> drawing(Frames, 15);
std::vector<Uint32> frameStarts(Frames);
std::vector<Uint8> shown(size_t(ScreenWidth) * ScreenHeight * 4);
std::vector<long> allocated(Frames);
// The surfaces and texture names alive as each game frame begins.
std::vector<int> surfacesAlive(Frames);
std::vector<int> texturesAlive(Frames);
bool frameOver = true;
bool frameWrong = false;
int frame = -1; // the game frame under way
size_t delivered = 0;
long allocationsBefore = 0;
// Past its first second, where the counter's once-a-second test would wrap round.
Uint32 now = 10000;
Picture title;
Picture second;
Picture sheet;
Picture map;
std::map<std::string, Picture> counters;

// Each music call with the game frame it came in (-1: before the first), kept without allocating.
std::vector<std::pair<int, const char*>> musicCalls;

// Records a music call with the game frame it came in, then makes it.
template <class Real, class... Arguments> auto PlayedMusic(const char* call, Real real, Arguments... arguments)
{
    musicCalls.push_back({frame, call});
    return real(arguments...);
}

SDL_Event Key(Uint8 type, SDLKey key, SDLMod mod)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    return event;
}

// A key pressed at the start of one game frame and released at the start of another.
void Hold(int from, int to, SDLKey key, SDLMod mod = KMOD_NONE)
{
    inputs[from].push_back(Key(SDL_KEYDOWN, key, mod));
    inputs[to].push_back(Key(SDL_KEYUP, key, KMOD_NONE));
}

// The map composed from its grid and tile set, read here on the file's own terms.
Picture ComposeMap()
{
    std::ifstream in(scene::Map);
    std::string tileset;
    for (int line = 1; line <= 5; ++line)
        std::getline(in, tileset);
    const Picture tiles = fixtures::LoadPicture(tileset);
    int w = 0;
    int h = 0;
    int columns = 0;
    int rows = 0;
    in >> w >> h >> columns >> rows;
    const int setColumns = tiles.width / w;
    Picture composed{columns * w, rows * h, std::vector<Uint32>(size_t(columns) * w * rows * h)};
    int tile = 0;
    for (int i = 0; i < columns * rows && in >> tile; ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Uint32 colour = tiles.At(tile % setColumns * w + x, tile / setColumns * h + y);
                composed.rgb[size_t(i / columns * h + y) * composed.width + i % columns * w + x] = colour;
            }
    return composed;
}

// What a game frame should show: the sprite at (x, y) with a sheet frame of a row, the map scrolled to (mapX, mapY)
// under the camera window, and the counter text or none.
struct Pose {
    int x;
    int y;
    int row;
    int sheetFrame;
    int mapX;
    int mapY;
    const char* counter = nullptr;
};

// What the frame read back shows at (x, y), 0xRRGGBB; OpenGL's rows go up.
Uint32 Shown(int x, int y)
{
    const Uint8* p = &shown[(size_t(ScreenHeight - 1 - y) * ScreenWidth + x) * 4];
    return p[0] << 16 | p[1] << 8 | p[2];
}

struct Expectation {
    long colour; // -1 where only stars may show: grey or black, never white, as the brightest is 0xfefefe
    const char* layer;
};

// What the frame should show at (x, y), from the top layer down.
Expectation Expected(const Pose& p, const Picture* counter, int x, int y)
{
    if (counter && counter->Contains(x, y) && counter->At(x, y))
        return {0xFFFFFF, "the counter text"};
    if (x >= p.x && y >= p.y && x < p.x + 32 && y < p.y + 32) {
        const Uint32 c = sheet.At(p.sheetFrame * 32 + x - p.x, p.row * 32 + y - p.y);
        if (c)
            return {c, "the sprite"};
    }
    const bool inWindow = x >= CameraX && y >= CameraY && x < CameraX + CameraColumns * 32;
    if (inWindow && y < CameraY + CameraRows * 32) {
        const Uint32 c = map.At(p.mapX + x - CameraX, p.mapY + y - CameraY);
        if (c)
            return {c, "the map"};
    }
    if (x == ScreenWidth / 2 && y == ScreenHeight / 2)
        return {0xFF0000, "the centre pixel"};
    if (second.Contains(x - SecondX, y - SecondY) && second.At(x - SecondX, y - SecondY) != 0xFF00FF)
        return {second.At(x - SecondX, y - SecondY), "the second picture"};
    if (title.Contains(x, y) && title.At(x, y))
        return {title.At(x, y), "the title picture"};
    return {-1, "a star or black"};
}

std::string At(int x, int y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

std::string SheetFrame(int sheetFrame, int row)
{
    const char* name = row == WalkingRight ? " (walking right)" : " (walking left)";
    return "sheet frame " + std::to_string(sheetFrame) + " of row " + std::to_string(row) + name;
}

// Where the frame shows a frame of the sprite sheet, nearest to where it should; false when nowhere within 150
// pixels. Only a failure's report asks, so it may take its time.
bool FindSprite(const Pose& expected, Pose& found)
{
    long nearest = -1;
    for (int row = 0; row < sheet.height / 32; ++row)
        for (int sheetFrame = 0; sheetFrame < sheet.width / 32; ++sheetFrame)
            for (int y = expected.y - 150; y <= expected.y + 150; ++y)
                for (int x = expected.x - 150; x <= expected.x + 150; ++x) {
                    bool matches = x >= 0 && y >= 0 && x + 32 <= ScreenWidth && y + 32 <= ScreenHeight;
                    for (int i = 0; matches && i < 32 * 32; ++i) {
                        const Uint32 c = sheet.At(sheetFrame * 32 + i % 32, row * 32 + i / 32);
                        matches = !c || Shown(x + i % 32, y + i / 32) == c;
                    }
                    const long distance = std::labs(x - expected.x) + std::labs(y - expected.y);
                    if (matches && (nearest < 0 || distance < nearest)) {
                        nearest = distance;
                        found.x = x;
                        found.y = y;
                        found.row = row;
                        found.sheetFrame = sheetFrame;
                    }
                }
    return nearest >= 0;
}

// What is wrong with a game frame, in the scene's words: where the sprite is and which sheet frame it shows, and
// what should show at the first wrong pixel.
std::string Report(int at, const Pose& pose, long wrong, int x, int y)
{
    std::ostringstream report;
    report << "game frame " << at << ": " << wrong << " pixels wrong.\n  The sprite should show "
           << SheetFrame(pose.sheetFrame, pose.row) << " at " << At(pose.x, pose.y);
    Pose found = pose;
    if (!FindSprite(pose, found))
        report << ", but no sheet frame shows within 150 pixels.";
    else if (found.x != pose.x || found.y != pose.y || found.row != pose.row || found.sheetFrame != pose.sheetFrame)
        report << ", but shows " << SheetFrame(found.sheetFrame, found.row) << " at " << At(found.x, found.y) << ".";
    else
        report << ", and does.";
    const Picture* counter = pose.counter ? &counters.at(pose.counter) : nullptr;
    const Expectation expected = Expected(pose, counter, x, y);
    std::string layer = expected.layer;
    if (layer == "the map")
        layer += " cell " + At((pose.mapX + x - CameraX) / 32, (pose.mapY + y - CameraY) / 32);
    if (layer == "the counter text")
        layer += " \"" + std::string(pose.counter) + '"';
    char colour[32] = "a grey that is not white";
    if (expected.colour >= 0)
        std::snprintf(colour, sizeof colour, "0x%06lx", expected.colour);
    char pixel[16];
    std::snprintf(pixel, sizeof pixel, "0x%06x", Shown(x, y));
    report << "\n  The first wrong pixel, at " << At(x, y) << ", shows " << pixel << " where " << layer
           << " should show " << colour << ". Later game frames are not compared.";
    return report.str();
}

// Compares the whole of a game frame with the scene composed from the data files. After the first wrong frame the
// later ones are not compared: one fault would fail them all. A failure is reported at the line that expects it.
void ExpectFrame(int at, Pose pose, int line = __builtin_LINE())
{
    checks[at].push_back([=] {
        if (frameWrong)
            return;
        const Picture* counter = pose.counter ? &counters.at(pose.counter) : nullptr;
        long wrong = 0;
        int firstX = 0;
        int firstY = 0;
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x) {
                const long expected = Expected(pose, counter, x, y).colour;
                const Uint32 colour = Shown(x, y);
                const bool grey = (colour >> 16) == (colour >> 8 & 0xFF) && (colour >> 8 & 0xFF) == (colour & 0xFF);
                const bool right = expected < 0 ? grey && colour != 0xFFFFFF : colour == Uint32(expected);
                if (!right && wrong++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        frameWrong = wrong > 0;
        if (frameWrong)
            ADD_FAILURE_AT(__FILE__, line) << Report(at, pose, wrong, firstX, firstY);
    });
}

std::string MusicLog()
{
    std::string log;
    for (const auto& [at, call] : musicCalls)
        log += "game frame " + std::to_string(at) + ": " + call + "\n";
    return log;
}

} // namespace

extern "C" {
int __real_SDL_PollEvent(SDL_Event* event);
void __real_SDL_GL_SwapBuffers(void);
int __real_Mix_PlayMusic(Mix_Music* music, int loops);
int __real_Mix_HaltMusic(void);
void __real_Mix_PauseMusic(void);
void __real_Mix_ResumeMusic(void);

Uint32 __wrap_SDL_GetTicks(void) { return now; }
void __wrap_SDL_Delay(Uint32 milliseconds) { now += milliseconds; }

int __wrap_SDL_PollEvent(SDL_Event* event)
{
    if (frameOver) {
        ++frame;
        if (frame == Frames) {
            std::fprintf(stderr, "the game ran past the end of its script\n");
            std::_Exit(1);
        }
        if (frame > 0)
            allocated[frame - 1] = allocations::Count() - allocationsBefore;
        allocationsBefore = allocations::Count();
        frameStarts[frame] = now;
        surfacesAlive[frame] = live::Surfaces();
        texturesAlive[frame] = live::Textures();
        delivered = 0;
        frameOver = false;
    }
    if (delivered < inputs[frame].size()) {
        *event = inputs[frame][delivered];
        ++delivered;
        return 1;
    }
    frameOver = !__real_SDL_PollEvent(event);
    return !frameOver;
}

void __wrap_SDL_GL_SwapBuffers(void)
{
    if (!checks[frame].empty()) {
        // What the checks allocate (a failure's report) is not the frame's.
        const long before = allocations::Count();
        glReadPixels(0, 0, ScreenWidth, ScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, shown.data());
        for (const auto& check : checks[frame])
            check();
        checks[frame].clear();
        allocationsBefore += allocations::Count() - before;
    }
    __real_SDL_GL_SwapBuffers();
    now += drawing[frame];
}

int __wrap_Mix_PlayMusic(Mix_Music* music, int loops)
{
    const char* call = loops == -1 ? "Mix_PlayMusic(music, -1)" : "Mix_PlayMusic(music, loops other than -1)";
    return PlayedMusic(call, __real_Mix_PlayMusic, music, loops);
}
int __wrap_Mix_HaltMusic(void) { return PlayedMusic("Mix_HaltMusic()", __real_Mix_HaltMusic); }
void __wrap_Mix_PauseMusic(void) { PlayedMusic("Mix_PauseMusic()", __real_Mix_PauseMusic); }
void __wrap_Mix_ResumeMusic(void) { PlayedMusic("Mix_ResumeMusic()", __real_Mix_ResumeMusic); }
} // extern "C"

TEST(Play, ArrowsMusicCounterAndCloseOverTheWholeScene)
{
    title = fixtures::LoadPicture(TitlePicture);
    second = fixtures::LoadPicture(SecondPicture);
    sheet = fixtures::LoadPicture(SpriteSheet);
    map = ComposeMap();
    ASSERT_EQ(TTF_Init(), 0);
    TTF_Font* font = TTF_OpenFont(Font, 28);
    for (const char* text : {"FPS: ", "FPS: 1", "FPS: 25", "FPS: 3"}) {
        SDL_Surface* surface = TTF_RenderText_Solid(font, text, SDL_Color{255, 255, 255, 0});
        counters[text] = fixtures::FromSurface(surface);
        SDL_FreeSurface(surface);
    }
    TTF_CloseFont(font);
    TTF_Quit();
    musicCalls.reserve(100);

    // A slow game frame is followed at once by the next; those that draw in 40 ms or less are held to 40 ms.
    drawing[1] = 70;
    drawing[3] = 40;
    drawing[4] = 39;
    // Restated on purpose: the sprite walks 5 pixels a game frame and the map scrolls 2 under the window, never out
    // of the map; only the side arrows animate, a sheet frame on when more than 250 ms have passed, so after every 7
    // game frames.
    ExpectFrame(0, {SpriteX, SpriteY, WalkingLeft, 0, 0, 0});
    Hold(2, 27, SDLK_RIGHT);
    ExpectFrame(2, {SpriteX + 5, SpriteY, WalkingRight, 0, 2, 0});
    ExpectFrame(10, {SpriteX + 45, SpriteY, WalkingRight, 1, 18, 0});
    ExpectFrame(26, {SpriteX + 125, SpriteY, WalkingRight, 3, 50, 0});
    ExpectFrame(35, {SpriteX + 125, SpriteY, WalkingRight, 3, 50, 0});
    Hold(37, 47, SDLK_LEFT);
    ExpectFrame(40, {SpriteX + 105, SpriteY, WalkingLeft, 3, 42, 0});
    ExpectFrame(47, {SpriteX + 75, SpriteY, WalkingLeft, 0, 30, 0});
    // Up from the start drives the offset above the map's top, where the view stays until Down brings it back.
    Hold(49, 59, SDLK_UP);
    ExpectFrame(58, {SpriteX + 75, SpriteY - 50, WalkingLeft, 0, 30, 0});
    Hold(60, 90, SDLK_DOWN);
    ExpectFrame(69, {SpriteX + 75, SpriteY, WalkingLeft, 0, 30, 0});
    ExpectFrame(79, {SpriteX + 75, SpriteY + 50, WalkingLeft, 0, 30, 20});
    ExpectFrame(90, {SpriteX + 75, SpriteY + 100, WalkingLeft, 0, 30, 40});
    // Shift doubles the climb, not the map's scroll.
    Hold(92, 97, SDLK_UP, KMOD_LSHIFT);
    // The counter shows its prefix, at once the first count, then the game frames of each later second.
    Hold(99, 99, SDLK_c);
    ExpectFrame(99, {SpriteX + 75, SpriteY + 50, WalkingLeft, 0, 30, 30, "FPS: "});
    ExpectFrame(124, {SpriteX + 75, SpriteY + 50, WalkingLeft, 0, 30, 30, "FPS: 1"});
    ExpectFrame(125, {SpriteX + 75, SpriteY + 50, WalkingLeft, 0, 30, 30, "FPS: 25"});
    Hold(127, 127, SDLK_c);
    ExpectFrame(127, {SpriteX + 75, SpriteY + 50, WalkingLeft, 0, 30, 30});
    Hold(129, 129, SDLK_SPACE);
    Hold(131, 131, SDLK_SPACE);
    Hold(133, 133, SDLK_p);
    Hold(135, 135, SDLK_p);
    // Either Shift with Num Lock on; Num Lock alone is no Shift.
    Hold(138, 140, SDLK_UP, SDLMod(KMOD_RSHIFT | KMOD_NUM));
    ExpectFrame(140, {SpriteX + 75, SpriteY + 30, WalkingLeft, 0, 30, 26});
    Hold(142, 144, SDLK_UP, KMOD_NUM);
    ExpectFrame(144, {SpriteX + 75, SpriteY + 20, WalkingLeft, 0, 30, 22});
    // Shift let go of before Up: the climb keeps the speed it started with.
    inputs[146].push_back(Key(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT));
    Hold(146, 149, SDLK_UP, KMOD_LSHIFT);
    inputs[147].push_back(Key(SDL_KEYUP, SDLK_LSHIFT, KMOD_NONE));
    ExpectFrame(149, {SpriteX + 75, SpriteY - 10, WalkingLeft, 0, 30, 16});
    // While the sprite walks, keys and events the game does not bind, and the key-ups of those that act on the way
    // down, change nothing.
    Hold(150, 154, SDLK_RIGHT);
    for (SDLKey key : {SDLK_q, SDLK_RETURN, SDLK_f, SDLK_a, SDLK_RSHIFT})
        Hold(151, 151, key);
    for (SDLKey key : {SDLK_SPACE, SDLK_p, SDLK_c, SDLK_ESCAPE})
        inputs[151].push_back(Key(SDL_KEYUP, key, KMOD_NONE));
    inputs[151].push_back(SDL_Event{SDL_MOUSEBUTTONDOWN});
    inputs[151].push_back(SDL_Event{SDL_VIDEOEXPOSE});
    ExpectFrame(154, {SpriteX + 95, SpriteY - 10, WalkingRight, 0, 38, 16});
    // Shown again a second or more after its last update, the counter is updated at once with the count it was left
    // at, 2, plus one, and then not again for a second.
    Hold(156, 156, SDLK_c);
    ExpectFrame(156, {SpriteX + 95, SpriteY - 10, WalkingRight, 0, 38, 16, "FPS: 25"});
    ExpectFrame(157, {SpriteX + 95, SpriteY - 10, WalkingRight, 0, 38, 16, "FPS: 3"});
    ExpectFrame(158, {SpriteX + 95, SpriteY - 10, WalkingRight, 0, 38, 16, "FPS: 3"});
    // The window's close request.
    inputs[160].push_back(SDL_Event{SDL_QUIT});

    Game* game = new Game("Vexlume", VEXLUME_VERSION);
    EXPECT_EQ(frame, 160) << "the game should end with the game frame that saw the close request";
    for (int f = 0; f < Frames; ++f)
        EXPECT_TRUE(checks[f].empty()) << "game frame " << f << " was never shown";
    for (int f = 0; f + 1 < Frames; ++f) {
        const Uint32 lasted = frameStarts[f + 1] - frameStarts[f];
        const Uint32 expected = std::max(FrameTime, drawing[f]);
        if (lasted != expected) {
            ADD_FAILURE() << "game frame " << f << " drew in " << drawing[f] << " ms and lasted " << lasted
                          << " ms; it should have lasted " << expected << " ms. Later game frames are not timed.";
            break;
        }
    }
    // The music plays on without end from the start; Space halts and restarts it, p pauses and resumes it.
    EXPECT_EQ(MusicLog(), "game frame -1: Mix_PlayMusic(music, -1)\n"
                          "game frame 129: Mix_HaltMusic()\n"
                          "game frame 131: Mix_PlayMusic(music, -1)\n"
                          "game frame 133: Mix_PauseMusic()\n"
                          "game frame 135: Mix_ResumeMusic()\n")
        << "the music calls, with the game frame each came in (-1: before the first)";
    EXPECT_EQ(Mix_PlayingMusic(), 1) << "the music should play on to the end";
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    EXPECT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1) << "the audio device should be open";
    EXPECT_EQ(rate, 22050) << "the mixer's rate";
    EXPECT_EQ(format, AUDIO_S16LSB) << "the mixer's sample format";
    EXPECT_EQ(channels, 2) << "the mixer's channels";
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "the mouse cursor should be hidden";
    const Uint32 started = SDL_INIT_VIDEO | SDL_INIT_AUDIO;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), started) << "SDL's subsystems: video and audio alone";
    // No game frame past the first three, which may still set up, allocates but the counter's rebuilds.
    for (int f = 3; f < Frames - 1; ++f) {
        const bool rebuilds = f == 99 || f == 124 || f == 156;
        if (!rebuilds) {
            EXPECT_EQ(allocated[f], 0) << "allocations in game frame " << f;
        }
    }
    // The counter's text is rebuilt three times and its picture with it; nothing piles up from game frame to frame,
    // and nothing is left once the game is deleted.
    for (int f = 3; f < Frames; ++f) {
        if (surfacesAlive[f] != surfacesAlive[2] || texturesAlive[f] != texturesAlive[2]) {
            ADD_FAILURE() << "game frame " << f << " began with " << surfacesAlive[f] << " surfaces and "
                          << texturesAlive[f] << " textures alive, game frame 2 with " << surfacesAlive[2] << " and "
                          << texturesAlive[2] << "; alive at the end:\n"
                          << live::Described();
            break;
        }
    }
    delete game;
    EXPECT_EQ(live::Described(), "") << "what the game left after Destroy";
}
