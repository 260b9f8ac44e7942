// Arbitrary bytes as a map file through the game's own Tilemap, with a tile set of a given size and the
// game's camera window, drawn at a few offsets; the last eight bytes also choose a second tile set size
// and one offset. A refusal (one line) is normal; a sanitizer report, trap, hang or stray blit is a fault.
#include "Fakes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

namespace {

void Run(const std::string& path, int setWidth, int setHeight, std::pair<int, int> offset)
{
    using namespace scene;
    try {
        TestMap map(setWidth, setHeight);
        map.Load(path);
        const long long w = map.tileWidth, h = map.tileHeight;
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{-1, -1}, std::pair{INT_MIN, INT_MAX}, offset}) {
            map.drawn->blits.clear();
            map.Draw(nullptr, x, y);
            // Every blit takes part of one tile and lands inside the camera window.
            for (const auto& [sx, sy, sw, sh, dx, dy] : map.drawn->blits)
                if (sw < 0 || sh < 0 || sw > w || sh > h || dx < CameraX || dy < CameraY ||
                    dx - CameraX + sw > CameraColumns * w || dy - CameraY + sh > CameraRows * h)
                    __builtin_trap();
        }
    } catch (const FatalFailure& failure) {
        // A refusal is one line, with no byte that a terminal would act on.
        const std::string& line = failure.line;
        const auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
        if (line.size() < 2 || line.back() != '\n' || std::any_of(line.begin(), line.end() - 1, control))
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ThrowOnFatalFailure(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("map", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        __builtin_trap();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    Run(path, 256, 64, {INT_MAX, INT_MAX});
    if (size >= 8) {
        // Sides of 0 to 4095 pixels, and offsets from the top and the bottom 24 of 32 bits.
        const uint8_t* t = data + size - 8;
        const uint32_t bits = t[4] | t[5] << 8 | t[6] << 16 | static_cast<uint32_t>(t[7]) << 24;
        Run(path, t[0] | (t[1] & 0x0F) << 8, t[2] | (t[3] & 0x0F) << 8,
            {static_cast<int32_t>(bits) / 256, static_cast<int32_t>(bits << 8) / 256});
    }
    return 0;
}
