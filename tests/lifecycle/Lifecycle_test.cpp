// A normal quit, watched from inside the process. The library calls that
// release the scene and shut the libraries down are wrapped at link time and
// recorded in order; the drawing target and the driver are recognised by
// the address their allocation returned. The game runs in the repository
// root on the real data files, under the test X server.
#include "Allocations.h"
#include "Game.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

// Leaked on purpose: SDL_Quit also runs from atexit, after static objects
// may have gone.
std::vector<std::string>& Calls()
{
    static auto* calls = new std::vector<std::string>();
    return *calls;
}

bool recording = false;

void Record(const std::string& call)
{
    if (recording)
        Calls().push_back(call);
}

std::atomic<void*> driverObject{nullptr};
std::atomic<void*> graphicsObject{nullptr};

// Texture names, labelled with the file loaded just before each was made.
std::map<GLuint, std::string>& TextureFiles()
{
    static auto* files = new std::map<GLuint, std::string>();
    return *files;
}
std::string pendingFile;

int polls = 0;

void NoteRelease(void* p)
{
    if (!p)
        return;
    void* expected = p;
    if (graphicsObject.compare_exchange_strong(expected, nullptr))
        Record("delete drawing target");
    expected = p;
    if (driverObject.compare_exchange_strong(expected, nullptr))
        Record("delete driver");
}

} // namespace

extern "C" {

int __real_SDL_PollEvent(SDL_Event* event);
SDL_Surface* __real_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);
int __real_SDL_ShowCursor(int toggle);
SDL_Surface* __real_IMG_Load(const char* file);
void __real_glGenTextures(GLsizei n, GLuint* textures);
void __real_glDeleteTextures(GLsizei n, const GLuint* textures);
void __real_TTF_CloseFont(TTF_Font* font);
void __real_Mix_FreeMusic(Mix_Music* music);
void __real_Mix_FreeChunk(Mix_Chunk* chunk);
void __real_Mix_CloseAudio(void);
void __real_TTF_Quit(void);
void __real_SDL_Quit(void);

// The player closes the window before the first frame.
int __wrap_SDL_PollEvent(SDL_Event* event)
{
    if (++polls > 1)
        return 0;
    event->type = SDL_QUIT;
    return 1;
}

// new OpenGLDriver(...) allocates before its constructor sets the mode.
SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    void* none = nullptr;
    driverObject.compare_exchange_strong(none, allocations::Last());
    return __real_SDL_SetVideoMode(width, height, bpp, flags);
}

// The game hides the cursor right after making its drawing target.
int __wrap_SDL_ShowCursor(int toggle)
{
    void* none = nullptr;
    graphicsObject.compare_exchange_strong(none, allocations::Last());
    return __real_SDL_ShowCursor(toggle);
}

SDL_Surface* __wrap_IMG_Load(const char* file)
{
    pendingFile = file;
    return __real_IMG_Load(file);
}

void __wrap_glGenTextures(GLsizei n, GLuint* textures)
{
    __real_glGenTextures(n, textures);
    for (GLsizei i = 0; i < n; ++i)
        TextureFiles()[textures[i]] = pendingFile.empty() ? "rendered text" : pendingFile;
    pendingFile.clear();
}

void __wrap_glDeleteTextures(GLsizei n, const GLuint* textures)
{
    for (GLsizei i = 0; i < n; ++i) {
        const auto named = TextureFiles().find(textures[i]);
        Record("texture of " + (named == TextureFiles().end() ? std::string("?") : named->second));
    }
    __real_glDeleteTextures(n, textures);
}

void __wrap_TTF_CloseFont(TTF_Font* font)
{
    Record(font ? "TTF_CloseFont" : "TTF_CloseFont(null)");
    __real_TTF_CloseFont(font);
}

void __wrap_Mix_FreeMusic(Mix_Music* music)
{
    Record(music ? "Mix_FreeMusic" : "Mix_FreeMusic(null)");
    __real_Mix_FreeMusic(music);
}

void __wrap_Mix_FreeChunk(Mix_Chunk* chunk)
{
    Record(chunk ? "Mix_FreeChunk" : "Mix_FreeChunk(null)");
    __real_Mix_FreeChunk(chunk);
}

void __wrap_Mix_CloseAudio(void)
{
    Record("Mix_CloseAudio");
    __real_Mix_CloseAudio();
}

void __wrap_TTF_Quit(void)
{
    Record("TTF_Quit");
    __real_TTF_Quit();
}

void __wrap_SDL_Quit(void)
{
    Record("SDL_Quit");
    __real_SDL_Quit();
}

} // extern "C"

namespace {

TEST(Lifecycle, ANormalQuitReleasesTheSceneThenTheDriverThenShutsTheLibrariesDown)
{
    ASSERT_NE(nullptr, std::getenv("DISPLAY")) << "run under the test X server (scripts/test)";
    Calls().reserve(64);
    allocations::onRelease = NoteRelease;

    Game* game = new Game("Vexlume", "0.0.6");
    ASSERT_EQ(2, polls) << "the loop should end after the frame that saw the quit event";
    ASSERT_NE(nullptr, driverObject.load());
    ASSERT_NE(nullptr, graphicsObject.load());
    recording = true;
    delete game;
    recording = false;

    const std::vector<std::string> expected = {
        "delete drawing target",
        "texture of share/Vexlume.png",
        "texture of share/Skarnel.png",
        "texture of share/Pellwick.png", // the sprite's sheet
        "texture of share/Tiles.png",    // the tile map's tile set
        "texture of rendered text",      // the frame counter
        "TTF_CloseFont",
        "Mix_FreeMusic",
        "Mix_FreeChunk(null)", // the sound slot is never filled
        "delete driver",
        "Mix_CloseAudio",
        "TTF_Quit",
        "SDL_Quit",
    };
    EXPECT_EQ(expected, Calls());
}

} // namespace
