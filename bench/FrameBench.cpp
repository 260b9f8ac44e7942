// What one frame of the game costs, part by part, on one video back-end per
// process (--backend=gl or --backend=sdl) at the game's 1680x1050 mode on the
// X server in DISPLAY. Every measurement of the game's classes ("ours") sits
// beside a "bare" replay: the same library calls, in the same order with the
// same arguments, written out here without any of the game's classes, so that
// the ratio of the two is what the classes add around the calls.
//
// OpenGL parts are measured inside the frame bracket (clear ... swap), because
// llvmpipe only rasterises what was queued when the frame is presented; the
// bracket alone is measured as the floor. The SDL software back-end does its
// work inside each call, so its parts are measured on their own and only the
// floor and the whole frame flip.
#include "Image.h"
#include "Oblong.h"
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
#include "Scene.h"
#include "Starfield.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using scene::ScreenHeight;
using scene::ScreenWidth;
using scene::StarCount;
// The star field repeats every 255 frames, so runs that draw stars cover
// whole cycles and ours and the bare replay plot the same stars.
const int StarCycle = 255;
const int PartFrames = 100;
// The field seeds rand() with time(); time() is fixed at link time so that
// the bare replay can make exactly the same stars.
const time_t StarSeed = 1700000000;
using scene::CameraColumns;
using scene::CameraRows;
using scene::CameraX;
using scene::CameraY;
using scene::SecondX;
using scene::SecondY;
const int SpriteX = ScreenWidth / 2 - 16;
const int SpriteY = ScreenHeight / 2 - 16;

} // namespace

extern "C" time_t __wrap_time(time_t* out)
{
    if (out)
        *out = StarSeed;
    return StarSeed;
}

namespace {

// The scene objects keep their picture and tile set to themselves; the bare
// replay draws from the very same textures and surfaces, so it reaches them
// through these.
template <class Base>
struct OpenSprite : Base {
    using Base::Base;
    Image* Sheet() { return this->sheet; }
};

template <class Base>
struct OpenTilemap : Base {
    using Base::Base;
    Image* Tileset() { return this->tileset; }
};

// The scene as the game builds it, without audio (nothing here plays).
struct Scene {
    bool gl = true;
    VideoDriver* driver = nullptr;
    Graphics* graphics = nullptr;
    Image* titleImage = nullptr;
    Image* secondImage = nullptr;
    Image* counterImage = nullptr;
    Sprite* sprite = nullptr;
    Image* sheet = nullptr;
    Tilemap* tilemap = nullptr;
    Image* tileset = nullptr;
    Starfield* starfield = nullptr;
    Oblong spriteSource{0, 0, 32, 32};
    SDL_Event event;
};

// A picture as the bare replay sees it: a texture with its sizes, or a
// surface.
struct BarePicture {
    GLuint texture = 0;
    int textureWidth = 0;
    int textureHeight = 0;
    int width = 0;
    int height = 0;
    SDL_Surface* surface = nullptr;
};

struct BareScene {
    SDL_Surface* screen = nullptr;
    std::vector<int> stars; // x, y, depth for each star
    std::vector<int> grid;  // column-major: grid[column * mapRows + row]
    int tileWidth = 0;
    int tileHeight = 0;
    int mapColumns = 0;
    int mapRows = 0;
    int tilesetColumns = 0;
    int maxScrollX = 0;
    int maxScrollY = 0;
    BarePicture title, second, sheet, tiles, counter;
    int spriteX = SpriteX;
    int spriteY = SpriteY;
    int spriteXVelocity = 0;
    int spriteYVelocity = 0;
    int source[4] = {0, 0, 32, 32};
    SDL_Event event;
};

Scene game;
BareScene bare;
int horizontalOffset = 0;
int verticalOffset = 0;

BarePicture Picture(Image* image)
{
    BarePicture p;
    p.width = image->Width();
    p.height = image->Height();
    if (auto* gl = dynamic_cast<OpenGLImage*>(image)) {
        p.texture = gl->Texture();
        p.textureWidth = gl->TextureWidth();
        p.textureHeight = gl->TextureHeight();
    } else {
        p.surface = dynamic_cast<SDLImage*>(image)->Surface();
    }
    return p;
}

// The driver, drawing target and pictures of one back-end, made as the game
// makes them; the target is made once the mode is set.
template <class Driver, class Picture, class SpriteOf, class TilemapOf, class MakeGraphics>
void BuildBackEnd(MakeGraphics makeGraphics)
{
    game.driver = new Driver(ScreenWidth, ScreenHeight, scene::ScreenDepth, "Vexlume", true);
    game.graphics = makeGraphics();
    game.titleImage = new Picture();
    game.secondImage = new Picture();
    game.counterImage = new Picture();
    auto* sprite = new OpenSprite<SpriteOf>(scene::SpriteSheet, 0, 4);
    game.sprite = sprite;
    game.sheet = sprite->Sheet();
    auto* tilemap = new OpenTilemap<TilemapOf>(scene::Map);
    game.tilemap = tilemap;
    game.tileset = tilemap->Tileset();
}

void BuildScene(bool gl)
{
    game.gl = gl;
    if (SDL_Init(0) != 0 || TTF_Init() == -1) {
        std::cerr << "Unable to start SDL: " << SDL_GetError() << "\n";
        std::exit(1);
    }
    std::atexit(SDL_Quit);
    if (gl)
        BuildBackEnd<OpenGLDriver, OpenGLImage, OpenGLSprite, OpenGLTilemap>([] { return new OpenGLGraphics(); });
    else
        BuildBackEnd<SDLDriver, SDLImage, SDLSprite, SDLTilemap>(
            [] { return new SDLGraphics(SDL_GetVideoSurface()); });
    game.driver->ShowMouse(false);
    game.titleImage->LoadImage(scene::TitlePicture, 0);
    game.secondImage->LoadImage(scene::SecondPicture, 0xFF00FF);
    game.sprite->SetPosition(SpriteX, SpriteY);
    game.tilemap->SetCamera(CameraColumns, CameraRows, CameraX, CameraY);

    // The counter as it reads once the game has counted a second at speed.
    TTF_Font* font = TTF_OpenFont(scene::Font, 28);
    if (!font) {
        std::cerr << "Unable to load TTF font: " << SDL_GetError() << "\n";
        std::exit(1);
    }
    SDL_Color white;
    white.r = 255;
    white.g = 255;
    white.b = 255;
    SDL_Surface* text = TTF_RenderText_Solid(font, "FPS: 25", white);
    game.counterImage->LoadSurface(text, 0);
    SDL_FreeSurface(text);
    TTF_CloseFont(font);

    game.starfield = new Starfield(game.graphics, ScreenWidth, ScreenHeight, StarCount);
}

// The bare replay's own copies of the scene's numbers: the stars made with
// the same seed, the grid read from the same map file.
void BuildBareScene()
{
    bare.screen = SDL_GetVideoSurface();
    std::srand(static_cast<unsigned>(StarSeed));
    for (int i = 0; i < StarCount; ++i) {
        bare.stars.push_back(std::rand() % ScreenWidth - ScreenWidth / 2);
        bare.stars.push_back(std::rand() % ScreenHeight - ScreenHeight / 2);
        bare.stars.push_back(std::rand() % 255);
    }

    std::ifstream in(scene::Map, std::ios::binary);
    std::string line;
    int number = 0;
    std::getline(in, line);
    in >> number;
    in.get();
    std::getline(in, line);
    std::getline(in, line);
    std::getline(in, line);
    in >> bare.tileWidth >> bare.tileHeight >> bare.mapColumns >> bare.mapRows;
    bare.grid.assign(static_cast<size_t>(bare.mapColumns) * bare.mapRows, 0);
    for (int r = 0; r < bare.mapRows; ++r)
        for (int c = 0; c < bare.mapColumns; ++c)
            in >> bare.grid[static_cast<size_t>(c) * bare.mapRows + r];
    if (!in) {
        std::cerr << scene::Map << " could not be read for the bare replay\n";
        std::exit(1);
    }

    bare.title = Picture(game.titleImage);
    bare.second = Picture(game.secondImage);
    bare.sheet = Picture(game.sheet);
    bare.tiles = Picture(game.tileset);
    bare.counter = Picture(game.counterImage);
    bare.tilesetColumns = bare.tiles.width / bare.tileWidth;
    bare.maxScrollX = bare.mapColumns * bare.tileWidth - 1 - CameraColumns * bare.tileWidth;
    bare.maxScrollY = bare.mapRows * bare.tileHeight - 1 - CameraRows * bare.tileHeight;
}

// ---- The game's classes ----------------------------------------------------

void OursStars()
{
    game.starfield->Draw();
}

void OursPictures()
{
    game.graphics->DrawImage(game.titleImage, 0, 0);
    game.graphics->DrawImage(game.secondImage, SecondX, SecondY);
}

void OursTilemap()
{
    game.tilemap->Draw(nullptr, horizontalOffset, verticalOffset);
}

void OursSprite()
{
    game.sprite->Move();
    game.sprite->Draw(nullptr, &game.spriteSource, -1, -1);
}

void OursCounter()
{
    game.graphics->Blit(game.counterImage, nullptr, nullptr, 0, 0);
}

// The main loop's frame with the player idle and the counter shown, without
// the pacing delay and the once-a-second counter rebuild.
void OursFrame()
{
    while (SDL_PollEvent(&game.event)) {
    }
    game.driver->BeginDraw();
    game.starfield->Draw();
    game.graphics->DrawImage(game.titleImage, 0, 0);
    game.graphics->DrawImage(game.secondImage, SecondX, SecondY);
    game.graphics->PutPixel(ScreenWidth / 2, ScreenHeight / 2, 0xFF0000);
    game.tilemap->Draw(nullptr, horizontalOffset, verticalOffset);
    game.sprite->Move();
    game.sprite->Draw(nullptr, &game.spriteSource, -1, -1);
    game.graphics->Blit(game.counterImage, nullptr, nullptr, 0, 0);
    game.driver->EndDraw();
}

// ---- Bare OpenGL -----------------------------------------------------------

inline void GLBegin()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

inline void GLEnd()
{
    SDL_GL_SwapBuffers();
}

inline void GLPoint(int x, int y, int r, int g, int b)
{
    glBegin(GL_POINTS);
    glColor3ub(static_cast<GLubyte>(r), static_cast<GLubyte>(g), static_cast<GLubyte>(b));
    glVertex2f(x + 0.5f, y + 0.5f);
    glEnd();
}

// Steps every star and plots the visible ones as the star field does,
// through plot(x, y, grey).
template <class Plot>
inline void BareStars(Plot plot)
{
    int* star = bare.stars.data();
    for (int i = 0; i < StarCount; ++i, star += 3) {
        if (--star[2] < 1)
            star[2] = 255;
        const int depth = star[2];
        const int sx = star[0] * 255 / depth + ScreenWidth / 2;
        if (sx <= 0)
            continue;
        const int sy = star[1] * 255 / depth + ScreenHeight / 2;
        if (sx < ScreenWidth && sy > 0 && sy < ScreenHeight)
            plot(sx, sy, 255 - depth);
    }
}

inline void GLStars()
{
    BareStars([](int x, int y, int grey) { GLPoint(x, y, grey, grey, grey); });
}

inline void GLTextured(const BarePicture& p)
{
    glBindTexture(GL_TEXTURE_2D, p.texture);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
}

inline void GLUntextured()
{
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

inline void GLWhole(const BarePicture& p, int x, int y)
{
    GLTextured(p);
    glBegin(GL_QUADS);
    glTexCoord2i(0, 0);
    glVertex3f(x, y, 0);
    glTexCoord2i(1, 0);
    glVertex3f(x + p.textureWidth, y, 0);
    glTexCoord2i(1, 1);
    glVertex3f(x + p.textureWidth, y + p.textureHeight, 0);
    glTexCoord2i(0, 1);
    glVertex3f(x, y + p.textureHeight, 0);
    GLUntextured();
}

inline void GLRegion(const BarePicture& p, int rx, int ry, int rw, int rh, int x, int y)
{
    GLTextured(p);
    const double tw = p.textureWidth;
    const double th = p.textureHeight;
    const float s0 = static_cast<float>(rx / tw);
    const float t0 = static_cast<float>(ry / th);
    const float s1 = static_cast<float>((static_cast<double>(rx) + rw) / tw);
    const float t1 = static_cast<float>((static_cast<double>(ry) + rh) / th);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex3f(x, y, 0);
    glTexCoord2f(s1, t0);
    glVertex3f(x + rw, y, 0);
    glTexCoord2f(s1, t1);
    glVertex3f(x + rw, y + rh, 0);
    glTexCoord2f(s0, t1);
    glVertex3f(x, y + rh, 0);
    GLUntextured();
}

inline void GLPictures()
{
    GLWhole(bare.title, 0, 0);
    GLWhole(bare.second, SecondX, SecondY);
}

// The camera window: clamp the offsets, then every cell of 7 rows of 9,
// cut at the window's edges.
template <class Cell>
inline void ForEachTile(int offsetX, int offsetY, Cell cell)
{
    int sx = offsetX < 0 ? 0 : offsetX;
    if (sx > bare.maxScrollX)
        sx = bare.maxScrollX;
    int sy = offsetY < 0 ? 0 : offsetY;
    if (sy > bare.maxScrollY)
        sy = bare.maxScrollY;
    const int tw = bare.tileWidth;
    const int th = bare.tileHeight;
    const int qx = sx / tw, rx = sx % tw, qy = sy / th, ry = sy % th;
    for (int j = 0; j <= CameraRows; ++j) {
        for (int i = 0; i <= CameraColumns; ++i) {
            const int t = bare.grid[static_cast<size_t>(qx + i) * bare.mapRows + qy + j];
            int x = (t % bare.tilesetColumns) * tw, y = (t / bare.tilesetColumns) * th, w = tw, h = th;
            int dx = CameraX - rx + i * tw, dy = CameraY - ry + j * th;
            if (dx < CameraX) {
                x += rx;
                w -= rx;
                dx += rx;
            }
            if (dy < CameraY) {
                y += ry;
                h -= ry;
                dy += ry;
            }
            if (CameraColumns * tw <= dx - CameraX + rx)
                w = rx;
            if (CameraRows * th <= dy - CameraY + ry)
                h = ry;
            cell(x, y, w, h, dx, dy);
        }
    }
}

inline void GLTilemap()
{
    ForEachTile(horizontalOffset, verticalOffset,
                [](int x, int y, int w, int h, int dx, int dy) { GLRegion(bare.tiles, x, y, w, h, dx, dy); });
}

// The sprite stands still with its animation off, as it does while the
// player touches no key: the move adds nothing and no frame step is due.
inline void MoveBareSprite()
{
    bare.spriteX += bare.spriteXVelocity;
    bare.spriteY += bare.spriteYVelocity;
}

inline void GLSprite()
{
    MoveBareSprite();
    GLRegion(bare.sheet, bare.source[0], bare.source[1], bare.source[2], bare.source[3], bare.spriteX,
             bare.spriteY);
}

inline void GLCounter()
{
    GLRegion(bare.counter, 0, 0, bare.counter.width, bare.counter.height, 0, 0);
}

void GLFrame()
{
    while (SDL_PollEvent(&bare.event)) {
    }
    GLBegin();
    GLStars();
    GLPictures();
    GLPoint(ScreenWidth / 2, ScreenHeight / 2, 255, 0, 0);
    GLTilemap();
    GLSprite();
    GLCounter();
    GLEnd();
}

// ---- Bare SDL software -----------------------------------------------------

inline void SWBegin()
{
    SDL_FillRect(bare.screen, nullptr, 0);
}

inline void SWEnd()
{
    SDL_Flip(bare.screen);
}

inline void SWStars()
{
    Uint32* pixels = static_cast<Uint32*>(bare.screen->pixels);
    const int w = bare.screen->w;
    BareStars([pixels, w](int x, int y, int grey) { pixels[y * w + x] = static_cast<Uint32>(grey) * 0x010101; });
}

inline void SWBlit(SDL_Surface* surface, SDL_Rect* from, int x, int y)
{
    SDL_Rect to;
    to.x = static_cast<Sint16>(x);
    to.y = static_cast<Sint16>(y);
    to.w = 0;
    to.h = 0;
    SDL_UpperBlit(surface, from, bare.screen, &to);
}

inline void SWRegion(SDL_Surface* surface, int x, int y, int w, int h, int dx, int dy)
{
    SDL_Rect from;
    from.x = static_cast<Sint16>(x);
    from.y = static_cast<Sint16>(y);
    from.w = static_cast<Uint16>(w);
    from.h = static_cast<Uint16>(h);
    SWBlit(surface, &from, dx, dy);
}

inline void SWPictures()
{
    SWBlit(bare.title.surface, nullptr, 0, 0);
    SWBlit(bare.second.surface, nullptr, SecondX, SecondY);
}

// All 63 cells are blitted, the empty ones of the last column and row too;
// the game's software target leaves those out, which the bare replay does not.
inline void SWTilemap()
{
    ForEachTile(horizontalOffset, verticalOffset, [](int x, int y, int w, int h, int dx, int dy) {
        SWRegion(bare.tiles.surface, x, y, w, h, dx, dy);
    });
}

inline void SWSprite()
{
    MoveBareSprite();
    SWRegion(bare.sheet.surface, bare.source[0], bare.source[1], bare.source[2], bare.source[3], bare.spriteX,
             bare.spriteY);
}

inline void SWCounter()
{
    SWRegion(bare.counter.surface, 0, 0, bare.counter.width, bare.counter.height, 0, 0);
}

void SWFrame()
{
    while (SDL_PollEvent(&bare.event)) {
    }
    SWBegin();
    SWStars();
    SWPictures();
    static_cast<Uint32*>(bare.screen->pixels)[(ScreenHeight / 2) * bare.screen->w + ScreenWidth / 2] = 0xFF0000;
    SWTilemap();
    SWSprite();
    SWCounter();
    SWEnd();
}

// ---- Registration ----------------------------------------------------------

struct Cost {
    double wall = 0; // ms
    double cpu = 0;  // ms of this thread's processor time
};

double ThreadCpuMilliseconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Cost Measure(const std::function<void()>& body)
{
    const double cpu = ThreadCpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    body();
    Cost cost;
    cost.wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cost.cpu = ThreadCpuMilliseconds() - cpu;
    return cost;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * (values.size() - 1) + 0.5)];
}

// One measured iteration runs ours and the bare replay once each, taking
// turns at going first, so that both see the same load from the rest of the
// machine; the ratio of each pair is kept as well as both times. Wall time is
// what a frame costs; the calling thread's processor time leaves out
// llvmpipe's rasteriser threads and the time the thread waits, so it shows
// what the classes add around the calls even when the machine is busy.
void RegisterPair(const std::string& name, int iterations, std::function<void()> ours,
                  std::function<void()> plain)
{
    benchmark::RegisterBenchmark(name.c_str(),
                                 [ours, plain](benchmark::State& state) {
                                     std::vector<double> oursWall, bareWall, wallRatios;
                                     std::vector<double> oursCpu, bareCpu, cpuRatios;
                                     bool oursFirst = true;
                                     for (auto _ : state) {
                                         Cost o, b;
                                         if (oursFirst) {
                                             o = Measure(ours);
                                             b = Measure(plain);
                                         } else {
                                             b = Measure(plain);
                                             o = Measure(ours);
                                         }
                                         oursFirst = !oursFirst;
                                         oursWall.push_back(o.wall);
                                         bareWall.push_back(b.wall);
                                         wallRatios.push_back(o.wall / b.wall);
                                         oursCpu.push_back(o.cpu);
                                         bareCpu.push_back(b.cpu);
                                         cpuRatios.push_back(o.cpu / b.cpu);
                                     }
                                     state.counters["ours_ms"] = Median(oursWall);
                                     state.counters["bare_ms"] = Median(bareWall);
                                     state.counters["ratio"] = Median(wallRatios);
                                     state.counters["ratio_q1"] = Quantile(wallRatios, 0.25);
                                     state.counters["ratio_q3"] = Quantile(wallRatios, 0.75);
                                     state.counters["ours_cpu_ms"] = Median(oursCpu);
                                     state.counters["bare_cpu_ms"] = Median(bareCpu);
                                     state.counters["cpu_ratio"] = Median(cpuRatios);
                                 })
        ->Iterations(iterations)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

using Part = void (*)();
// Makes a part into one measured run.
using Wrap = std::function<std::function<void()>(Part)>;

// The bare replay's frame bracket and parts on one back-end.
struct BareParts {
    Part begin, end, stars, pictures, tilemap, sprite, counter, frame;
};

// Registers the floor (the frame bracket alone), each part and the whole
// frame, ours and bare.
void RegisterParts(const std::string& backEnd, int floorIterations, const BareParts& b, Wrap oursWrap, Wrap bareWrap)
{
    RegisterPair(
        backEnd + ".floor", floorIterations,
        [] {
            game.driver->BeginDraw();
            game.driver->EndDraw();
        },
        [b] {
            b.begin();
            b.end();
        });
    RegisterPair(backEnd + ".stars", StarCycle, oursWrap(OursStars), bareWrap(b.stars));
    RegisterPair(backEnd + ".pictures", PartFrames, oursWrap(OursPictures), bareWrap(b.pictures));
    RegisterPair(backEnd + ".tilemap", PartFrames, oursWrap(OursTilemap), bareWrap(b.tilemap));
    RegisterPair(backEnd + ".sprite", PartFrames, oursWrap(OursSprite), bareWrap(b.sprite));
    RegisterPair(backEnd + ".counter", PartFrames, oursWrap(OursCounter), bareWrap(b.counter));
    RegisterPair(backEnd + ".frame", StarCycle, OursFrame, b.frame);
}

// A GL part on its own is only drawn when its frame is presented, so it runs
// inside the bracket, ours in the driver's and bare in the bare one.
void RegisterGL()
{
    auto ours = [](Part part) -> std::function<void()> {
        return [part] {
            game.driver->BeginDraw();
            part();
            game.driver->EndDraw();
        };
    };
    auto plain = [](Part part) -> std::function<void()> {
        return [part] {
            GLBegin();
            part();
            GLEnd();
        };
    };
    const BareParts gl{GLBegin, GLEnd, GLStars, GLPictures, GLTilemap, GLSprite, GLCounter, GLFrame};
    RegisterParts("gl", PartFrames, gl, ours, plain);
}

// Software parts are complete when their calls return, so they are measured
// without the bracket, each ten times over per measured run so that reading
// the clock does not count.
void RegisterSDL()
{
    auto times = [](Part part) -> std::function<void()> {
        return [part] {
            for (int i = 0; i < 10; ++i)
                part();
        };
    };
    const BareParts sw{SWBegin, SWEnd, SWStars, SWPictures, SWTilemap, SWSprite, SWCounter, SWFrame};
    RegisterParts("sdl", PartFrames / 2, sw, times, times);
}

} // namespace

int main(int argc, char** argv)
{
    bool gl = true;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--backend=sdl") == 0)
            gl = false;
        else if (std::strcmp(argv[i], "--backend=gl") == 0)
            gl = true;
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    if (chdir(VEXLUME_SOURCE_DIR) != 0) {
        std::cerr << "Cannot enter " << VEXLUME_SOURCE_DIR << "\n";
        return 1;
    }
    BuildScene(gl);
    BuildBareScene();
    if (!gl && SDL_MUSTLOCK(bare.screen)) {
        std::cerr << "The software screen needs locking; the bare replay does not lock it\n";
        return 1;
    }

    // First frames compile llvmpipe's shaders for each state; neither side
    // should pay for that inside a measurement.
    for (int i = 0; i < 5; ++i) {
        OursFrame();
        if (gl)
            GLFrame();
        else
            SWFrame();
    }
    if (gl)
        RegisterGL();
    else
        RegisterSDL();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
