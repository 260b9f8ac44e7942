#include "LiveObjects.h"

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <cxxabi.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <tuple>

namespace {

// A fixed table, so that counting allocates nothing: the game test checks that a steady frame does not.
struct Record {
    bool texture = false;
    uintptr_t object = 0;
    const char* call = nullptr;
    const void* caller = nullptr;
};
Record records[4096];

void Made(bool texture, uintptr_t object, const char* call, const void* caller)
{
    for (Record& record : records)
        if (!record.object) {
            record = {texture, object, call, caller};
            return;
        }
    std::fprintf(stderr, "LiveObjects: more than %zu objects alive\n", std::size(records));
    std::abort();
}

void Freed(bool texture, uintptr_t object)
{
    for (Record& record : records)
        if (record.object == object && record.texture == texture)
            record = {};
}

// A surface's address is kept inverted: LeakSanitizer reads this table as it reads all memory, and would take the
// address for a pointer that keeps a lost surface alive.
uintptr_t Hidden(SDL_Surface* surface)
{
    return ~reinterpret_cast<uintptr_t>(surface);
}

SDL_Surface* Surface(SDL_Surface* surface, const char* call, const void* caller)
{
    if (surface)
        Made(false, Hidden(surface), call, caller);
    return surface;
}

int Count(bool texture)
{
    int count = 0;
    for (const Record& record : records)
        count += record.object && record.texture == texture;
    return count;
}

// The function the address lies in, by the program's exported symbols.
std::string FunctionAt(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_sname)
        return "an unnamed function";
    int status = 0;
    char* plain = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
    std::string name = status == 0 ? plain : info.dli_sname;
    std::free(plain);
    return name.substr(0, name.find('('));
}

} // namespace

namespace live {

int Surfaces()
{
    return Count(false);
}

int Textures()
{
    return Count(true);
}

std::string Described()
{
    std::map<std::tuple<bool, std::string, std::string>, int> kinds;
    for (const Record& record : records)
        if (record.object)
            ++kinds[{record.texture, record.call, FunctionAt(record.caller)}];
    std::string lines;
    for (const auto& [kind, count] : kinds) {
        const auto& [texture, call, function] = kind;
        const char* noun = texture ? (count == 1 ? " texture" : " textures") : (count == 1 ? " surface" : " surfaces");
        lines += std::to_string(count) + noun + " from " + call + " in " + function + "\n";
    }
    return lines;
}

} // namespace live

extern "C" {
SDL_Surface* __real_IMG_Load(const char* file);
SDL_Surface* __real_SDL_DisplayFormat(SDL_Surface* surface);
SDL_Surface* __real_SDL_ConvertSurface(SDL_Surface* surface, SDL_PixelFormat* format, Uint32 flags);
SDL_Surface* __real_SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 red, Uint32 green,
                                         Uint32 blue, Uint32 alpha);
SDL_Surface* __real_TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color colour);
void __real_SDL_FreeSurface(SDL_Surface* surface);
void __real_glGenTextures(GLsizei count, GLuint* names);
void __real_glDeleteTextures(GLsizei count, const GLuint* names);

SDL_Surface* __wrap_IMG_Load(const char* file)
{
    return Surface(__real_IMG_Load(file), "IMG_Load", __builtin_return_address(0));
}

SDL_Surface* __wrap_SDL_DisplayFormat(SDL_Surface* surface)
{
    return Surface(__real_SDL_DisplayFormat(surface), "SDL_DisplayFormat", __builtin_return_address(0));
}

SDL_Surface* __wrap_SDL_ConvertSurface(SDL_Surface* surface, SDL_PixelFormat* format, Uint32 flags)
{
    return Surface(__real_SDL_ConvertSurface(surface, format, flags), "SDL_ConvertSurface",
                   __builtin_return_address(0));
}

SDL_Surface* __wrap_SDL_CreateRGBSurface(Uint32 flags, int width, int height, int depth, Uint32 red, Uint32 green,
                                         Uint32 blue, Uint32 alpha)
{
    return Surface(__real_SDL_CreateRGBSurface(flags, width, height, depth, red, green, blue, alpha),
                   "SDL_CreateRGBSurface", __builtin_return_address(0));
}

SDL_Surface* __wrap_TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color colour)
{
    return Surface(__real_TTF_RenderText_Solid(font, text, colour), "TTF_RenderText_Solid",
                   __builtin_return_address(0));
}

void __wrap_SDL_FreeSurface(SDL_Surface* surface)
{
    if (surface)
        Freed(false, Hidden(surface));
    __real_SDL_FreeSurface(surface);
}

void __wrap_glGenTextures(GLsizei count, GLuint* names)
{
    __real_glGenTextures(count, names);
    for (GLsizei i = 0; i < count; ++i)
        Made(true, names[i], "glGenTextures", __builtin_return_address(0));
}

void __wrap_glDeleteTextures(GLsizei count, const GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i)
        Freed(true, names[i]);
    __real_glDeleteTextures(count, names);
}
} // extern "C"
