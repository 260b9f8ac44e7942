// Both video back-ends held to one behaviour: built with VEXLUME_GL=0 this tests SDL's on the dummy video driver,
// with 1 OpenGL's under GLX; each program reads its whole frame back and compares it pixel for pixel.
#include "Fixtures.h"
#include "LiveObjects.h"
#include "OpenGLDriver.h"
#include "OpenGLGraphics.h"
#include "OpenGLImage.h"
#include "OpenGLSprite.h"
#include "OpenGLTilemap.h"
#include "SDLDriver.h"
#include "SDLGraphics.h"
#include "SDLImage.h"
#include "SDLSprite.h"
#include "SDLTilemap.h"

#include <GL/gl.h>
#include <SDL_image.h>
#include <gtest/gtest.h>
#include <algorithm>

#if !VEXLUME_GL
// Frames the software back-end has shown (OpenGL's are the game test's, which reads each one back at its swap).
static int framesShown = 0;
extern "C" int __real_SDL_Flip(SDL_Surface* screen);
extern "C" int __wrap_SDL_Flip(SDL_Surface* screen)
{
    ++framesShown;
    return __real_SDL_Flip(screen);
}
#endif

// The window system's full-screen toggle, answering as the test says: the drivers only pass on what it did.
static int toggleAnswer = 1;
static int toggles = 0;
extern "C" int __wrap_SDL_WM_ToggleFullScreen(SDL_Surface*)
{
    ++toggles;
    if (!toggleAnswer)
        SDL_SetError("no window manager to ask");
    return toggleAnswer;
}

namespace {

using namespace scene;
constexpr bool GL = VEXLUME_GL;
template <class S, class O> using Pick = std::conditional_t<GL, O, S>;
using Picture = Pick<SDLImage, OpenGLImage>;
using Colours = std::function<Uint32(int x, int y)>;
const int W = ScreenWidth;
const int H = ScreenHeight;
// Behind everything drawn, so that black drawn tells from nothing drawn.
const Uint32 Backdrop = 0x336699;

// The one driver of the process, made as the game makes it, kept to the end.
Pick<SDLDriver, OpenGLDriver>* Video()
{
    static auto* driver = [] {
        SDL_Init(0);
        std::atexit(SDL_Quit);
        return new Pick<SDLDriver, OpenGLDriver>(W, H, ScreenDepth, "Vexlume", true);
    }();
    return driver;
}

// The video surface, with the mode set.
SDL_Surface* Screen()
{
    Video();
    return SDL_GetVideoSurface();
}

Graphics& Target()
{
    static Graphics* target = GL ? static_cast<Graphics*>(new OpenGLGraphics) : new SDLGraphics(Screen());
    return *target;
}

// Starts a frame and covers it with the backdrop.
void BeginOverBackdrop()
{
    Video()->BeginDraw();
    if (GL) {
        glColor3ub(0x33, 0x66, 0x99);
        glRecti(0, 0, W, H);
    } else {
        SDL_FillRect(Screen(), nullptr, Backdrop);
    }
}

// "" when the frame shows want(x, y) everywhere, else what differs.
std::string Differences(const Colours& want)
{
    const Uint32* sdl = static_cast<Uint32*>(SDL_GetVideoSurface()->pixels); // rows of W pixels, 0x00RRGGBB
    std::vector<Uint32> gl(GL ? W * H : 0);
    if (GL)
        glReadPixels(0, 0, W, H, GL_BGRA, GL_UNSIGNED_BYTE, gl.data());
    int count = 0;
    char first[80] = "";
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Uint32 found = (GL ? gl[(H - 1 - y) * W + x] : sdl[y * W + x]) & 0xFFFFFF; // GL rows go up
            if (found != want(x, y) && count++ == 0)
                std::snprintf(first, sizeof first, "(%d, %d) is %06X, not %06X", x, y, found, want(x, y));
        }
    return count ? std::to_string(count) + " pixels differ, first " + first : "";
}

// No pixel black or the backdrop, so every pixel drawn shows.
Uint32 Colour(int x, int y) { return 0x800000u | (x * 16 + 4) << 8 | (y * 16 + 4); }

// A 12 x 10 picture (a 16 x 16 texture) drawn whole or in part, then pixels: what lies in region and picture shows,
// the region's corner at (x, y).
TEST(Backend, EachFrameShowsThePartOfThePictureAskedForAndThePixels)
{
    Video(); // a picture loads in the mode's format, so the mode comes first
    fixtures::ScratchDir dir;
    fixtures::WritePicture(dir / "p.bmp", 12, 10, Colour);
    Picture picture;
    picture.LoadImage(dir / "p.bmp", 0);
    EXPECT_EQ(picture.Width(), 12) << "the picture's width";
    EXPECT_EQ(picture.Height(), 10) << "the picture's height";
    struct Case {
        Oblong r;
        int x = 300;
        int y = 200;
    };
    const Case cases[] = {{{0, 0, 12, 10}}, {{0, 0, 12, 10}}, {{4, 5, 6, 3}}, {{8, 6, 8, 10}}, {{0, 0, 0, 10}},
                          {{0, 0, -4, 10}}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        Case c = cases[i];
        // A region of negative width draws nothing in software; OpenGL draws its quad mirrored.
        if (GL && c.r.w < 0)
            continue;
        BeginOverBackdrop();
        // The first case draws by DrawImage, the second by a Blit of no region; the destination picture is ignored.
        if (i == 0)
            Target().DrawImage(&picture, c.x, c.y);
        else
            Target().Blit(&picture, &picture, i == 1 ? nullptr : &c.r, c.x, c.y);
        Target().PutPixel(0, 0, 0xFF3456);
        Target().PutPixel(W - 1, H - 1, 0x1FF, -204, 0x7F56); // only the low bytes count
        // Just off the screen's right and bottom edges: nothing is drawn.
        Target().PutPixel(W, 0, 0xFF3456);
        Target().PutPixel(0, H, 0xFF3456);
        EXPECT_EQ(GL ? 0 : 0xFF3456, Target().GetPixel(W - 1, H - 1)) << "the colour read back at the last pixel";
        const Colours want = [&](int x, int y) {
            const int px = c.r.x + x - c.x;
            const int py = c.r.y + y - c.y;
            if ((x == 0 && y == 0) || (x == W - 1 && y == H - 1))
                return 0xFF3456u;
            const bool in = px >= std::max(0, c.r.x) && px < std::min(12, c.r.x + c.r.w) &&
                            py >= std::max(0, c.r.y) && py < std::min(10, c.r.y + c.r.h);
            return in ? Colour(px, py) : Backdrop;
        };
        EXPECT_EQ("", Differences(want)) << "case " << i << ": region " << c.r.x << ", " << c.r.y << ", " << c.r.w
                                         << " x " << c.r.h << " at " << c.x << ", " << c.y;
    }
}

#if !VEXLUME_GL
TEST(Backend, EachFrameDrawnIsShownOnce)
{
    const int before = framesShown;
    Video()->BeginDraw();
    Video()->EndDraw();
    EXPECT_EQ(framesShown - before, 1) << "frames shown by one BeginDraw and EndDraw";
}
#endif

// A key removes exactly the one colour it names, 0x1000000 none; SDL reads red from the key's low byte, so there
// 0xFF0000 names blue. A sprite loads its sheet from a file, LoadSurface copies a surface: both keyed.
TEST(Backend, TheColourKeyLetsTheBackdropThroughOneColourOnly)
{
    Video(); // a picture loads in the mode's format, so the mode comes first
    const Uint32 stripes[] = {0x000000, 0xFF00FF, 0xFF0000, 0x0000FF, 0xFFFFFF, 0x00FF00};
    fixtures::ScratchDir dir;
    fixtures::WritePicture(dir / "s.bmp", 6, 1, [&](int x, int) { return stripes[x]; });
    SDL_Surface* read = IMG_Load((dir / "s.bmp").c_str());
    for (auto [key, removed] : {std::pair(0, 0u), {0xFF00FF, 0xFF00FF}, {0xFF0000, GL ? 0xFF0000 : 0x0000FF},
                                {0xFFFFFF, 0xFFFFFF}, {0x1000000, 1}}) {
        testing::internal::CaptureStderr(); // loading says nothing
        Pick<SDLSprite, OpenGLSprite> sprite(dir / "s.bmp", key, 4);
        Picture copy;
        copy.LoadSurface(read, key);
        EXPECT_EQ("", testing::internal::GetCapturedStderr()) << "what loading said";
#if VEXLUME_GL
        EXPECT_EQ(copy.TextureWidth(), 8) << "the texture's width for 6 pixels";
        EXPECT_EQ(copy.TextureHeight(), 1) << "the texture's height for 1 pixel";
#endif
        BeginOverBackdrop();
        Oblong frame(0, 0, 6, 1);
        sprite.Draw(nullptr, &frame, 10, 20);
        Target().DrawImage(&copy, 10, 21);
        EXPECT_EQ("", Differences([&, removed = removed](int x, int y) {
                      const bool in = x >= 10 && x < 16 && (y == 20 || y == 21);
                      return in && stripes[x - 10] != removed ? stripes[x - 10] : Backdrop;
                  })) << "key " << std::hex << key;
    }
    SDL_FreeSurface(read);
}

// Both PutPixel forms, by turns, store the mapped colour in its bytes, lowest first, at every pixel size and on padded
// rows, and GetPixel reads it back; the bytes around are left alone.
TEST(Backend, PixelsLandInTheirBytesAtEveryPixelSize)
{
    const Uint32 masks[][3] = {{0, 0, 0}, {0xF800, 0x07E0, 0x1F}, {0xFF, 0xFF00, 0xFF0000}, {0xFF0000, 0xFF00, 0xFF}};
    for (int bytes = 1; bytes <= 4; ++bytes) {
        // Three rows of three pixels, 16 bytes apart, between a row of guard bytes above and below.
        std::vector<Uint8> memory(16 * 5, 0xAA);
        std::vector<Uint8> want = memory;
        const Uint32* m = masks[bytes - 1];
        SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(&memory[16], 3, 3, 8 * bytes, 16, m[0], m[1], m[2], 0);
        SDLGraphics target(surface);
        for (int i = 0; i < 9; ++i) {
            const int r = (0x37 * i + 9) & 0xFF;
            const int g = 0xC1 - 0x15 * i;
            const int b = 0x5B + 0x13 * i;
            const Uint32 mapped = SDL_MapRGB(surface->format, r, g, b);
            if (i % 2)
                target.PutPixel(i % 3, i / 3, r << 16 | g << 8 | b);
            else
                target.PutPixel(i % 3, i / 3, r + 256, g - 512, b);
            for (int k = 0; k < bytes; ++k)
                want[16 + 16 * (i / 3) + bytes * (i % 3) + k] = mapped >> 8 * k;
            EXPECT_EQ(target.GetPixel(i % 3, i / 3), int(mapped)) << bytes << " bytes a pixel, pixel " << i;
        }
        EXPECT_EQ(memory, want) << "the surface's bytes, " << bytes << " bytes a pixel";
        SDL_FreeSurface(surface);
    }
}

#if VEXLUME_GL
const int Tile = 16;

// Red names the tile, blue the place in it, so a tile misplaced or cut wrong shows. Black, keyed out, lies on a
// diagonal that moves from tile to tile, so that a cell drawn too large shows through the next one's gaps.
Uint32 TileColour(int t, int x, int y) { return (x + t) % Tile == y ? 0 : (t * 3 + 8) << 16 | 0x8000 | (16 * x + y); }

std::string WriteMap(const fixtures::ScratchDir& dir, int setColumns, int setRows, int columns, int rows,
                     const std::function<int(int column, int row)>& tileAt)
{
    fixtures::WritePicture(dir / "set.bmp", setColumns * Tile, setRows * Tile, [=](int x, int y) {
        return TileColour(y / Tile * setColumns + x / Tile, x % Tile, y % Tile);
    });
    std::string text = "Map\n1\nA\nB\n" + dir / "set.bmp" + "\n16 16 " + std::to_string(columns) + " " +
                       std::to_string(rows);
    for (int i = 0; i < rows * columns; ++i)
        text += (i % columns ? " " : "\n") + std::to_string(tileAt(i % columns, i / columns));
    fixtures::WriteFile(dir / "known.map", text + "\n");
    return dir / "known.map";
}

// Draws the map at the offset in a new frame: the camera window must show window(x, y), the rest stay black.
void ExpectWindow(Tilemap& map, int offsetX, int offsetY, const Colours& window)
{
    BeginOverBackdrop();
    // Whatever a frame leaves, the next starts black and untextured; ResizeSurface sets the view anew.
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glViewport(0, 0, 9, 9);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(7, 7, 0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 5, 0);
    Video()->ResizeSurface(W, H);
    Video()->BeginDraw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing left on at the start of a frame";
    EXPECT_FALSE(glIsEnabled(GL_BLEND)) << "blending left on at the start of a frame";
    map.SetCamera(CameraColumns, CameraRows, CameraX, CameraY);
    map.Draw(nullptr, offsetX, offsetY);
    EXPECT_EQ("", Differences([&](int x, int y) {
                  const int wx = x - CameraX;
                  const int wy = y - CameraY;
                  const bool inWindow = wx >= 0 && wy >= 0 && wx < CameraColumns * Tile && wy < CameraRows * Tile;
                  return inWindow ? window(wx, wy) : 0u;
              }));
}

// vexlume-mapcheck --render pictures a map as the game draws it, tile numbers outside the tile set included (OpenGL
// wraps them round the texture, transparent over its padding): the window at offset 0 must match.
TEST(Backend, TheMapCheckersPictureShowsWhatTheGameDraws)
{
    Video(); // a picture loads in the mode's format, so the mode comes first
    fixtures::ScratchDir dir;
    const std::string map = WriteMap(dir, 4, 3, 9, 7, [](int c, int r) { return (c * 7 + r * 11) % 40 - 13; });
    const std::map<std::string, std::string> noDisplay = {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}};
    const std::vector<std::string> args = {"--render", dir / "map.png", map};
    const fixtures::RunResult run = fixtures::Run(VEXLUME_MAPCHECK, VEXLUME_SOURCE_DIR, noDisplay, 30, args);
    ASSERT_EQ(run.status, 0) << "expected the picture written, with status 0; the checker said:\n"
                             << run.out << run.err;
    SDL_Surface* png = IMG_Load((dir / "map.png").c_str());
    ASSERT_EQ(png->format->BytesPerPixel, 4) << "the picture's bytes a pixel: it must have an alpha channel";
    OpenGLTilemap tilemap(map);
    // Where the picture is transparent, the game draws nothing.
    ExpectWindow(tilemap, 0, 0, [&](int x, int y) {
        Uint8 r = 0;
        Uint8 g = 0;
        Uint8 b = 0;
        Uint8 a = 0;
        SDL_GetRGBA(static_cast<Uint32*>(png->pixels)[y * png->pitch / 4 + x], png->format, &r, &g, &b, &a);
        return a ? Uint32(r << 16 | g << 8 | b) : 0u;
    });
    SDL_FreeSurface(png);
}
#endif

// Whatever a back-end loads, and loads again in its place, it releases when deleted: each picture its surface or
// texture, each sprite and tile map those of its own picture.
TEST(Backend, PicturesSpritesAndTileMapsLeaveNothingWhenDeleted)
{
    Video(); // a picture loads in the mode's format, so the mode comes first
    const std::string before = live::Described();
    {
        SDL_Surface* surface = IMG_Load(SpriteSheet);
        Picture picture;
        picture.LoadImage(TitlePicture, TitleKey);
        picture.LoadImage(SecondPicture, SecondKey);
        picture.LoadSurface(surface, 0);
        picture.LoadSurface(surface, 0);
        SDL_FreeSurface(surface);
        Pick<SDLSprite, OpenGLSprite> sprite(SpriteSheet, SpriteKey, SpriteFramesPerSecond);
        Pick<SDLTilemap, OpenGLTilemap> map(scene::Map);
        EXPECT_NE(live::Described(), before) << "a picture, a sprite and a map that hold nothing";
    }
    EXPECT_EQ(live::Described(), before) << "what a picture, a sprite and a map left when deleted";
}

// The driver's full-screen toggle goes on when the window system makes it, and ends the program with one line when
// it cannot.
TEST(BackendDeathTest, AFullScreenToggleThatFailsEndsTheProgramWithOneLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    toggleAnswer = 1;
    const int before = toggles;
    Video()->Fullscreen();
    Video()->Fullscreen();
    EXPECT_EQ(toggles - before, 2) << "the window system's toggles for two calls";
    toggleAnswer = 0;
    EXPECT_EXIT(Video()->Fullscreen(), testing::ExitedWithCode(1),
                testing::Eq("Failed to toggle windowed/fullscreen mode: no window manager to ask\n"));
}

// A picture a target cannot draw or read ends the program with one line and status 1; in any mode one loads silently.
TEST(BackendDeathTest, WhatCannotBeDrawnEndsTheProgramWithOneLine)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string missing = "nowhere/missing.png";
    IMG_Load(missing.c_str());
    const std::string error = SDL_GetError();
    Picture unloaded;
    Pick<OpenGLImage, SDLImage> foreign;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { Target().DrawImage(nullptr, 0, 0); }, "Can't draw a picture: none was given"},
        {[&] { Target().Blit(&unloaded, nullptr, nullptr, 0, 0); }, "Can't draw a picture: it was never loaded"},
        {[&] { Target().DrawImage(&foreign, 0, 0); }, "Can't draw a picture: it belongs to the other video back-end"},
        {[&] { Picture().LoadImage(missing, 0); }, "Couldn't load '" + missing + "': " + error},
        {[] {
             Pick<SDLDriver, OpenGLDriver>(W, 0, 24, "", 1);
             Picture().LoadImage(SpriteSheet, 0);
             FailWithLine("\n");
         },
         ""}};
    for (const auto& [draw, line] : cases)
        EXPECT_EXIT(draw(), testing::ExitedWithCode(1), testing::Eq(line + "\n"));
}

} // namespace
