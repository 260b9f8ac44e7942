// Arbitrary bytes through the game's own map loading: the bytes are the map
// file, read by the real Tilemap, which derives its tile set from a picture
// of a given size, sets the game's camera window and draws at a few offsets.
// A refusal (FatalFailure, one line) is a normal outcome; anything else that
// escapes, a sanitizer report, a trap, a hang or running out of memory is a
// fault. The last eight bytes, when there are so many, also choose a second
// tile set size and one of the offsets, so that the map text stays a map.

#include "Fatal.h"
#include "Graphics.h"
#include "Image.h"
#include "Oblong.h"
#include "Scene.h"
#include "Tilemap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using scene::CameraColumns;
using scene::CameraRows;
using scene::CameraX;
using scene::CameraY;

[[noreturn]] void Fault(const char* what)
{
    std::fprintf(stderr, "map_fuzzer: %s\n", what);
    std::abort();
}

// A tile set that loads nothing and reports the size it was made with.
class SizedTileset : public Image
{
public:
    SizedTileset(int width, int height) : width(width), height(height) {}
    Image* LoadImage(std::string, int) override { return this; }
    Image* LoadSurface(SDL_Surface*, int) override { return this; }
    int Width() override { return width; }
    int Height() override { return height; }

private:
    int width;
    int height;
};

// Draws nothing, but holds every blit to what the camera promises: each one
// takes a part of a single tile and lands inside the camera window.
class WindowCheck : public Graphics
{
public:
    int tileWidth = 0;
    int tileHeight = 0;
    int windowWidth = 0;
    int windowHeight = 0;

    void PutPixel(int, int, int) override { Fault("the map drew a pixel"); }
    void PutPixel(int, int, short, short, short) override { Fault("the map drew a pixel"); }
    int GetPixel(int, int) override { return 0; }
    void DrawImage(Image*, int, int) override { Fault("the map drew a whole picture"); }
    void Blit(Image*, Image*, Oblong* region, int x, int y) override
    {
        if (!region)
            Fault("a tile was drawn without a region");
        if (region->w < 0 || region->h < 0 || region->w > tileWidth || region->h > tileHeight)
            Fault("a tile region is larger than a tile");
        if (x < CameraX || y < CameraY || x - CameraX > windowWidth - region->w ||
            y - CameraY > windowHeight - region->h)
            Fault("a tile was drawn outside the camera window");
    }
};

class FuzzedTilemap : public Tilemap
{
public:
    FuzzedTilemap(int setWidth, int setHeight) : Tilemap("")
    {
        check = new WindowCheck();
        graphics = check;
        tileset = new SizedTileset(setWidth, setHeight);
    }

    void Run(const std::string& mapPath, const int offsets[][2], int count)
    {
        LoadMap(mapPath);
        LoadTileset(tilesetFile);
        SetCamera(CameraColumns, CameraRows, CameraX, CameraY);
        check->tileWidth = tileWidth;
        check->tileHeight = tileHeight;
        check->windowWidth = CameraColumns * tileWidth;
        check->windowHeight = CameraRows * tileHeight;
        for (int i = 0; i < count; ++i)
            Draw(nullptr, offsets[i][0], offsets[i][1]);
    }

private:
    WindowCheck* check = nullptr;
};

// A refusal must be one line: text, then a single line feed at its end, and
// no byte that a terminal would act on.
void CheckOneLine(const std::string& line)
{
    if (line.size() < 2 || line.back() != '\n')
        Fault("a refusal does not end in a line feed");
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F)
            Fault("a refusal carries a control byte");
    }
}

std::string MapPath()
{
    static std::string path;
    if (path.empty()) {
        const int fd = memfd_create("map", 0);
        if (fd < 0)
            Fault("memfd_create failed");
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    return path;
}

void WriteMap(const uint8_t* data, size_t size)
{
    const std::string& path = MapPath();
    const int fd = std::atoi(path.c_str() + std::strlen("/proc/self/fd/"));
    if (ftruncate(fd, 0) != 0 || (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
        Fault("could not write the map");
}

int32_t Read32(const uint8_t* p)
{
    uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ThrowOnFatalFailure(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteMap(data, size);

    // The game's own tile set, and one whose size the input chooses.
    int sizes[2][2] = {{256, 64}, {256, 64}};
    int offsets[5][2] = {{0, 0}, {-1, -1}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, {0, 0}};
    if (size >= 8) {
        const uint8_t* tail = data + size - 8;
        sizes[1][0] = tail[0] | (tail[1] & 0x0F) << 8; // 0 to 4095 pixels
        sizes[1][1] = tail[2] | (tail[3] & 0x0F) << 8;
        // Two 24-bit signed offsets from the last four bytes.
        const uint32_t bits = static_cast<uint32_t>(Read32(tail + 4));
        offsets[4][0] = static_cast<int32_t>(bits & 0xFFFFFF00u) / 256;
        offsets[4][1] = static_cast<int32_t>(bits << 8) / 256;
    }

    for (const auto& set : sizes) {
        try {
            FuzzedTilemap map(set[0], set[1]);
            map.Run(MapPath(), offsets, 5);
        } catch (const FatalFailure& failure) {
            CheckOneLine(failure.line);
        }
    }
    return 0;
}
