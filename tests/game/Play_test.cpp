// The real game in this process, on the real data files and the test X server, played by a script. Wrapped at link
// time: SDL_PollEvent hands the game the script's keys frame by frame; SDL_GetTicks and SDL_Delay keep a clock that
// moves only while the game waits, so every frame is 40 ms long; SDL_GL_SwapBuffers reads each finished frame back for
// the checks due in it; the music's loop counts and the calls that release the scene are recorded.
#include "Allocations.h"
#include "Fixtures.h"
#include "Game.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>

using fixtures::Picture;
using namespace scene;

namespace {

const int SpriteX = ScreenWidth / 2 - 16, SpriteY = ScreenHeight / 2 - 16, Frames = 140;
std::vector<std::vector<SDL_Event>> inputs(Frames);
std::vector<std::vector<std::function<void()>>> checks(Frames);
std::vector<Uint8> shown(size_t(ScreenWidth) * ScreenHeight * 4);
std::vector<long> allocated(Frames);
std::vector<std::string> released;
std::string played; // each Mix_PlayMusic's loop count, short enough to need no allocation
bool recording = false, frameOver = true, frameWrong = false;
int frame = -1, rate = 0, channels = 0; // the mixer's, as is its format
Uint16 format = 0;
size_t delivered = 0;
long allocationsBefore = 0;
// Past its first second, where the counter's once-a-second test would wrap round.
Uint32 now = 10000;
Picture title, second, sheet, map;
std::map<std::string, Picture> counters;

void Record(const char* name)
{
    if (recording)
        released.push_back(name);
}

// A key pressed at the start of one frame and released at the start of another.
void Hold(int from, int to, SDLKey key, SDLMod mod = KMOD_NONE)
{
    SDL_Event event{};
    event.key.keysym = {0, key, mod, 0};
    event.type = event.key.type = SDL_KEYDOWN;
    inputs[from].push_back(event);
    event.type = event.key.type = SDL_KEYUP;
    inputs[to].push_back(event);
}

// The map composed from its grid and tile set, read here on the file's own terms.
Picture ComposeMap()
{
    std::ifstream in(scene::Map);
    std::string line, tileset;
    for (int i = 0; i < 5; ++i)
        std::getline(in, i == 4 ? tileset : line);
    const Picture tiles = fixtures::LoadPicture(tileset);
    int w = 0, h = 0, columns = 0, rows = 0, tile = 0;
    in >> w >> h >> columns >> rows;
    Picture composed{columns * w, rows * h, std::vector<Uint32>(size_t(columns) * w * rows * h)};
    for (int i = 0; i < columns * rows && in >> tile; ++i)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                composed.rgb[size_t(i / columns * h + y) * composed.width + i % columns * w + x] =
                    tiles.At(tile % (tiles.width / w) * w + x, tile / (tiles.width / w) * h + y);
    return composed;
}

struct Pose {
    int x, y, row, index, viewX, viewY;
    const char* counter = nullptr;
};

// What the frame shows at (x, y), from the top layer down; -1 where only stars may show, which are grey or black.
// Only a failure's report asks which scene object that is, so the comparison allocates nothing.
long Expected(const Pose& p, const Picture* counter, int x, int y, std::string* what = nullptr)
{
    const auto shows = [what](long colour, auto name) { return what ? *what = name(), colour : colour; };
    if (counter && counter->Contains(x, y) && counter->At(x, y))
        return shows(0xFFFFFF, [&] { return "the counter text \"" + std::string(p.counter) + '"'; });
    if (x >= p.x && y >= p.y && x < p.x + 32 && y < p.y + 32)
        if (Uint32 c = sheet.At(p.index * 32 + x - p.x, p.row + y - p.y))
            return shows(c, [&] { return "the sprite at frame " + std::to_string(p.index) + " of row " +
                                         std::to_string(p.row / 32); });
    const int mapX = p.viewX + x - CameraX, mapY = p.viewY + y - CameraY;
    if (x >= CameraX && y >= CameraY && x < CameraX + CameraColumns * 32 && y < CameraY + CameraRows * 32)
        if (Uint32 c = map.At(mapX, mapY))
            return shows(c, [&] { return "the map cell (" + std::to_string(mapX / 32) + ", " +
                                         std::to_string(mapY / 32) + ")"; });
    if (x == ScreenWidth / 2 && y == ScreenHeight / 2)
        return shows(0xFF0000, [] { return std::string("the centre pixel"); });
    if (second.Contains(x - SecondX, y - SecondY) && second.At(x - SecondX, y - SecondY) != 0xFF00FF)
        return shows(second.At(x - SecondX, y - SecondY), [] { return std::string("the second picture"); });
    if (title.Contains(x, y) && title.At(x, y))
        return shows(title.At(x, y), [] { return std::string("the title picture"); });
    return shows(-1, [] { return std::string("a star or black"); });
}

void ExpectFrame(int at, Pose pose)
{
    checks[at].push_back([=] {
        if (frameWrong)
            return;
        const Picture* counter = pose.counter ? &counters.at(pose.counter) : nullptr;
        long wrong = 0, firstX = 0, firstY = 0, firstColour = 0;
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x) {
                const Uint8* p = &shown[(size_t(ScreenHeight - 1 - y) * ScreenWidth + x) * 4];
                const long colour = p[0] << 16 | p[1] << 8 | p[2], expected = Expected(pose, counter, x, y);
                if ((expected < 0 ? p[0] != p[1] || p[1] != p[2] : colour != expected) && wrong++ == 0)
                    firstX = x, firstY = y, firstColour = colour;
            }
        if (!(frameWrong = wrong > 0))
            return;
        std::string what;
        const long expected = Expected(pose, counter, firstX, firstY, &what);
        char line[200], colour[20] = "grey";
        if (expected >= 0)
            snprintf(colour, sizeof colour, "0x%06lx", expected);
        snprintf(line, sizeof line, "frame %d: %ld pixels wrong, the first at (%ld,%ld): 0x%06lx where %s shows %s", at,
                 wrong, firstX, firstY, firstColour, what.c_str(), colour);
        ADD_FAILURE() << line << " (later frames not compared)";
    });
}

} // namespace

extern "C" {
int __real_SDL_PollEvent(SDL_Event* event);
void __real_SDL_GL_SwapBuffers(void);
void __real_glDeleteTextures(GLsizei n, const GLuint* textures);
void __real_TTF_CloseFont(TTF_Font* font);
void __real_Mix_FreeMusic(Mix_Music* music);
void __real_Mix_CloseAudio(void);
void __real_TTF_Quit(void);
void __real_SDL_Quit(void);
int __real_Mix_PlayMusic(Mix_Music* music, int loops);

Uint32 __wrap_SDL_GetTicks(void) { return now; }
void __wrap_SDL_Delay(Uint32 milliseconds) { now += milliseconds; }

int __wrap_SDL_PollEvent(SDL_Event* event)
{
    if (frameOver && ++frame == Frames) {
        std::fprintf(stderr, "the game ran past the end of its script\n");
        std::_Exit(1);
    }
    if (frameOver) {
        if (frame > 0)
            allocated[frame - 1] = allocations::Count() - allocationsBefore;
        allocationsBefore = allocations::Count();
        delivered = frameOver = 0;
    }
    if (delivered < inputs[frame].size()) {
        *event = inputs[frame][delivered++];
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
}

void __wrap_glDeleteTextures(GLsizei n, const GLuint* textures)
{
    Record("texture"), __real_glDeleteTextures(n, textures);
}
void __wrap_TTF_CloseFont(TTF_Font* font) { Record("font"), __real_TTF_CloseFont(font); }
int __wrap_Mix_PlayMusic(Mix_Music* music, int loops)
{
    return played += std::to_string(loops) + " ", __real_Mix_PlayMusic(music, loops);
}
void __wrap_Mix_FreeMusic(Mix_Music* music) { Record("music"), __real_Mix_FreeMusic(music); }
void __wrap_Mix_CloseAudio(void) { Record("Mix_CloseAudio"), __real_Mix_CloseAudio(); }
void __wrap_TTF_Quit(void) { Record("TTF_Quit"), __real_TTF_Quit(); }
void __wrap_SDL_Quit(void) { Record("SDL_Quit"), __real_SDL_Quit(); }
} // extern "C"

TEST(Play, ArrowsMusicCounterAndCloseOverTheWholeScene)
{
    title = fixtures::LoadPicture(TitlePicture), second = fixtures::LoadPicture(SecondPicture);
    sheet = fixtures::LoadPicture(SpriteSheet), map = ComposeMap();
    ASSERT_EQ(TTF_Init(), 0);
    TTF_Font* font = TTF_OpenFont(Font, 28);
    for (const char* text : {"FPS: ", "FPS: 1", "FPS: 25"}) {
        SDL_Surface* surface = TTF_RenderText_Solid(font, text, SDL_Color{255, 255, 255, 0});
        counters[text] = fixtures::FromSurface(surface);
        SDL_FreeSurface(surface);
    }
    TTF_CloseFont(font);
    TTF_Quit();

    // The sprite walks 5 pixels a frame (10 up with Shift) and the map scrolls 2 under the window, never out of the
    // map; only the side arrows animate, a frame on when more than 250 ms have passed, so after every 7 frames.
    ExpectFrame(0, {SpriteX, SpriteY, 0, 0, 0, 0});
    checks[1].push_back([] { EXPECT_TRUE(Mix_PlayingMusic() == 1 && SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE &&
                                         SDL_WasInit(SDL_INIT_EVERYTHING) == (SDL_INIT_VIDEO | SDL_INIT_AUDIO) &&
                                         Mix_QuerySpec(&rate, &format, &channels)); });
    Hold(2, 27, SDLK_RIGHT);
    ExpectFrame(2, {SpriteX + 5, SpriteY, 32, 0, 2, 0});
    ExpectFrame(10, {SpriteX + 45, SpriteY, 32, 1, 18, 0});
    ExpectFrame(26, {SpriteX + 125, SpriteY, 32, 3, 50, 0});
    ExpectFrame(35, {SpriteX + 125, SpriteY, 32, 3, 50, 0});
    Hold(37, 47, SDLK_LEFT);
    ExpectFrame(40, {SpriteX + 105, SpriteY, 0, 3, 42, 0});
    ExpectFrame(47, {SpriteX + 75, SpriteY, 0, 0, 30, 0});
    // Up from the start drives the offset above the map's top, where the view stays until Down brings it back.
    Hold(49, 59, SDLK_UP);
    ExpectFrame(58, {SpriteX + 75, SpriteY - 50, 0, 0, 30, 0});
    Hold(60, 90, SDLK_DOWN);
    ExpectFrame(69, {SpriteX + 75, SpriteY, 0, 0, 30, 0});
    ExpectFrame(79, {SpriteX + 75, SpriteY + 50, 0, 0, 30, 20});
    ExpectFrame(90, {SpriteX + 75, SpriteY + 100, 0, 0, 30, 40});
    Hold(92, 97, SDLK_UP, KMOD_LSHIFT);
    // The counter shows its prefix, at once the first count, then the frames of each later second; c again hides it.
    Hold(99, 99, SDLK_c);
    ExpectFrame(99, {SpriteX + 75, SpriteY + 50, 0, 0, 30, 30, "FPS: "});
    ExpectFrame(124, {SpriteX + 75, SpriteY + 50, 0, 0, 30, 30, "FPS: 1"});
    ExpectFrame(125, {SpriteX + 75, SpriteY + 50, 0, 0, 30, 30, "FPS: 25"});
    Hold(127, 127, SDLK_c);
    ExpectFrame(127, {SpriteX + 75, SpriteY + 50, 0, 0, 30, 30});
    Hold(129, 129, SDLK_SPACE);
    checks[130].push_back([] { EXPECT_EQ(Mix_PlayingMusic(), 0); });
    Hold(131, 131, SDLK_SPACE);
    checks[132].push_back([] { EXPECT_EQ(Mix_PlayingMusic(), 1); });
    Hold(133, 133, SDLK_p);
    checks[134].push_back([] { EXPECT_EQ(Mix_PausedMusic(), 1); });
    Hold(135, 135, SDLK_p);
    checks[136].push_back([] { EXPECT_EQ(Mix_PausedMusic(), 0); });
    inputs[138].push_back(SDL_Event{SDL_QUIT});

    Game* game = new Game("Vexlume", VEXLUME_VERSION);
    EXPECT_EQ(frame, 138) << "the game should end with the frame that saw the close request";
    EXPECT_EQ(played, "-1 -1 ") << "the music's loops at the start and after Space: without end";
    EXPECT_EQ(std::tuple(rate, format, channels), std::tuple(22050, Uint16(AUDIO_S16LSB), 2)) << "the mixer's format";
    for (int f = 0; f < Frames; ++f)
        EXPECT_TRUE(checks[f].empty()) << "frame " << f << " was never shown";
    // No frame past the first three, which may still set up, allocates but the counter's rebuilds (frames 99, 124).
    for (int f = 3; f < 138; ++f)
        EXPECT_TRUE(allocated[f] == 0 || f == 99 || f == 124) << "frame " << f << ": " << allocated[f];

    // The scene (three pictures, the tile set, the counter) goes before the libraries that made it.
    recording = true;
    delete game;
    recording = false;
    EXPECT_EQ(released, std::vector<std::string>({"texture", "texture", "texture", "texture", "texture", "font",
                                                  "music", "Mix_CloseAudio", "TTF_Quit", "SDL_Quit"}));
}
