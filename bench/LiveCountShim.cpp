// Preloaded into the game by tools/longrun.sh to count what it keeps alive that LeakSanitizer cannot see: GL
// texture names (the driver holds their memory, and frees it with the context) and SDL surfaces. Each is counted
// from its making to its release, whichever library makes it, so a surface made inside SDL_image and freed there
// counts for nothing. About once a second, at a buffer swap, the counts go to the file named in
// VEXLUME_COUNTS_FILE as one line: "textures N surfaces M".
#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <set>
#include <string>

namespace {

std::mutex guard;
std::set<const void*> surfaces;
std::set<GLuint> textures;
time_t lastWritten = 0;

template <class Function> Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

SDL_Surface* Made(SDL_Surface* surface)
{
    if (surface) {
        std::lock_guard<std::mutex> lock(guard);
        surfaces.insert(surface);
    }
    return surface;
}

void WriteCounts()
{
    const char* path = std::getenv("VEXLUME_COUNTS_FILE");
    const time_t now = std::time(nullptr);
    if (!path || now == lastWritten)
        return;
    lastWritten = now;
    size_t textureCount = 0;
    size_t surfaceCount = 0;
    {
        std::lock_guard<std::mutex> lock(guard);
        textureCount = textures.size();
        surfaceCount = surfaces.size();
    }
    // Written beside and renamed, so that a reader never sees half a line.
    const std::string temporary = std::string(path) + ".new";
    if (FILE* out = std::fopen(temporary.c_str(), "w")) {
        std::fprintf(out, "textures %zu surfaces %zu\n", textureCount, surfaceCount);
        std::fclose(out);
        std::rename(temporary.c_str(), path);
    }
}

} // namespace

extern "C" {

SDL_Surface* SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 red, Uint32 green, Uint32 blue,
                                  Uint32 alpha)
{
    static auto real =
        Next<SDL_Surface* (*)(Uint32, int, int, int, Uint32, Uint32, Uint32, Uint32)>("SDL_CreateRGBSurface");
    return Made(real(flags, width, height, depth, red, green, blue, alpha));
}

SDL_Surface* SDL_ConvertSurface(SDL_Surface* surface, SDL_PixelFormat* format, Uint32 flags)
{
    static auto real = Next<SDL_Surface* (*)(SDL_Surface*, SDL_PixelFormat*, Uint32)>("SDL_ConvertSurface");
    return Made(real(surface, format, flags));
}

SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface)
{
    static auto real = Next<SDL_Surface* (*)(SDL_Surface*)>("SDL_DisplayFormat");
    return Made(real(surface));
}

SDL_Surface* IMG_Load(const char* file)
{
    static auto real = Next<SDL_Surface* (*)(const char*)>("IMG_Load");
    return Made(real(file));
}

SDL_Surface* TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color colour)
{
    static auto real = Next<SDL_Surface* (*)(TTF_Font*, const char*, SDL_Color)>("TTF_RenderText_Solid");
    return Made(real(font, text, colour));
}

void SDL_FreeSurface(SDL_Surface* surface)
{
    static auto real = Next<void (*)(SDL_Surface*)>("SDL_FreeSurface");
    {
        std::lock_guard<std::mutex> lock(guard);
        surfaces.erase(surface);
    }
    real(surface);
}

void glGenTextures(GLsizei count, GLuint* names)
{
    static auto real = Next<void (*)(GLsizei, GLuint*)>("glGenTextures");
    real(count, names);
    std::lock_guard<std::mutex> lock(guard);
    textures.insert(names, names + count);
}

void glDeleteTextures(GLsizei count, const GLuint* names)
{
    static auto real = Next<void (*)(GLsizei, const GLuint*)>("glDeleteTextures");
    {
        std::lock_guard<std::mutex> lock(guard);
        for (GLsizei i = 0; i < count; ++i)
            textures.erase(names[i]);
    }
    real(count, names);
}

void SDL_GL_SwapBuffers(void)
{
    static auto real = Next<void (*)(void)>("SDL_GL_SwapBuffers");
    real();
    WriteCounts();
}

} // extern "C"
