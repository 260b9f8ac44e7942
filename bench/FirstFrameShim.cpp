// Preloaded into the game (or the bare start-up program) to see where its
// start-up time goes and when its first frame is presented: the first
// SDL_GL_SwapBuffers or SDL_Flip to return. The launcher puts its monotonic
// clock reading, taken just before it started the program, into
// VEXLUME_LAUNCH_NS; every time below is counted from there. At exit (or right
// after the first frame, with VEXLUME_EXIT_AFTER_FIRST_FRAME set, so that
// start-up can be timed many times over quickly) it writes to
// VEXLUME_FRAME_LOG: the phases of start-up, the processor time all threads
// used until the first frame was presented (which, unlike the elapsed time,
// hardly depends on what else the machine runs), the number of shared libraries
// mapped, the resident memory before and after the mode is set and when the
// first frame begins, the peak, and the frames presented with the time
// between the first and the last.
#include <SDL.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>

namespace {

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + t.tv_nsec / 1e6;
}

double sdlInit = 0;
double modeCalled = 0;
double modeSet = 0;
double firstClear = 0;
double firstSwapCalled = 0;
double firstFrame = 0;
double lastFrame = 0;
long residentBeforeMode = 0;
long residentAfterMode = 0;
long residentAtFirstClear = 0;
long long frames = 0;

int SharedLibraries()
{
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return 0;
    std::set<std::string> names;
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
        const char* path = std::strchr(line, '/');
        if (path && std::strstr(path, ".so"))
            names.insert(path);
    }
    std::fclose(maps);
    return static_cast<int>(names.size());
}

// A field of /proc/self/status in kB: VmRSS now, or VmHWM, the peak so far.
long StatusKilobytes(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    const size_t length = std::strlen(field);
    long value = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            std::sscanf(line + length + 1, "%ld", &value);
            break;
        }
    std::fclose(status);
    return value;
}

// Processor time of every thread of the process so far, user and system.
double ProcessorMilliseconds()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double processorAtFirstFrame = 0;

void WriteLog()
{
    const char* path = std::getenv("VEXLUME_FRAME_LOG");
    const char* launch = std::getenv("VEXLUME_LAUNCH_NS");
    if (!path || !launch || frames == 0)
        return;
    FILE* out = std::fopen(path, "w");
    if (!out)
        return;
    const double start = std::atoll(launch) / 1e6;
    std::fprintf(out, "first_frame_ms %.3f\n", firstFrame - start);
    std::fprintf(out, "processor_to_first_frame_ms %.3f\n", processorAtFirstFrame);
    std::fprintf(out, "to_sdl_init_ms %.3f\n", sdlInit - start);
    std::fprintf(out, "to_mode_set_ms %.3f\n", modeSet - sdlInit);
    std::fprintf(out, "video_mode_ms %.3f\n", modeSet - modeCalled);
    std::fprintf(out, "to_first_clear_ms %.3f\n", firstClear - modeSet);
    std::fprintf(out, "first_draw_ms %.3f\n", firstSwapCalled - firstClear);
    std::fprintf(out, "first_present_ms %.3f\n", firstFrame - firstSwapCalled);
    std::fprintf(out, "libraries %d\n", SharedLibraries());
    std::fprintf(out, "resident_before_mode_kb %ld\n", residentBeforeMode);
    std::fprintf(out, "resident_after_mode_kb %ld\n", residentAfterMode);
    std::fprintf(out, "resident_at_first_clear_kb %ld\n", residentAtFirstClear);
    std::fprintf(out, "peak_kb %ld\n", StatusKilobytes("VmHWM"));
    std::fprintf(out, "frames %lld\n", frames);
    std::fprintf(out, "frames_span_ms %.3f\n", lastFrame - firstFrame);
    std::fclose(out);
}

void Presenting()
{
    if (frames == 0)
        firstSwapCalled = Now();
}

void Presented()
{
    lastFrame = Now();
    if (frames++ == 0) {
        firstFrame = lastFrame;
        processorAtFirstFrame = ProcessorMilliseconds();
        if (std::getenv("VEXLUME_EXIT_AFTER_FIRST_FRAME")) {
            WriteLog();
            _exit(0);
        }
    }
}

__attribute__((destructor)) void AtExit()
{
    WriteLog();
}

template <class Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int SDL_Init(Uint32 flags)
{
    static auto real = Next<int (*)(Uint32)>("SDL_Init");
    if (sdlInit == 0)
        sdlInit = Now();
    return real(flags);
}

extern "C" SDL_Surface* SDL_SetVideoMode(int width, int height, int depth, Uint32 flags)
{
    static auto real = Next<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode");
    residentBeforeMode = StatusKilobytes("VmRSS");
    modeCalled = Now();
    SDL_Surface* screen = real(width, height, depth, flags);
    modeSet = Now();
    residentAfterMode = StatusKilobytes("VmRSS");
    return screen;
}

extern "C" void glClear(unsigned int mask)
{
    static auto real = Next<void (*)(unsigned int)>("glClear");
    if (firstClear == 0) {
        firstClear = Now();
        residentAtFirstClear = StatusKilobytes("VmRSS");
    }
    real(mask);
}

extern "C" int SDL_FillRect(SDL_Surface* surface, SDL_Rect* rect, Uint32 colour)
{
    static auto real = Next<int (*)(SDL_Surface*, SDL_Rect*, Uint32)>("SDL_FillRect");
    if (firstClear == 0 && surface == SDL_GetVideoSurface()) {
        firstClear = Now();
        residentAtFirstClear = StatusKilobytes("VmRSS");
    }
    return real(surface, rect, colour);
}

extern "C" void SDL_GL_SwapBuffers(void)
{
    static auto real = Next<void (*)(void)>("SDL_GL_SwapBuffers");
    Presenting();
    real();
    Presented();
}

extern "C" int SDL_Flip(SDL_Surface* screen)
{
    static auto real = Next<int (*)(SDL_Surface*)>("SDL_Flip");
    Presenting();
    const int result = real(screen);
    Presented();
    return result;
}
