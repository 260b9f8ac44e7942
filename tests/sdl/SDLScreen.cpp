#include "SDLScreen.h"

#include "Fixtures.h"
#include "SDLDriver.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace sdlscreen {

SDLDriver* Driver()
{
    return fixtures::ProcessDriver<SDLDriver>(Width, Height);
}

SDL_Surface* Screen()
{
    Driver();
    return SDL_GetVideoSurface();
}

Uint32 Colour(int x, int y)
{
    SDL_Surface* screen = Screen();
    const Uint8* row = static_cast<const Uint8*>(screen->pixels) + static_cast<size_t>(y) * screen->pitch;
    const Uint32 pixel = reinterpret_cast<const Uint32*>(row)[x];
    Uint8 r, g, b;
    SDL_GetRGB(pixel, screen->format, &r, &g, &b);
    return static_cast<Uint32>(r) << 16 | g << 8 | b;
}

void Fill(Uint32 rgb)
{
    SDL_Surface* screen = Screen();
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

std::string Mismatches(const std::function<Uint32(int x, int y)>& expected)
{
    int count = 0;
    std::string first;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const Uint32 want = expected(x, y);
            const Uint32 found = Colour(x, y);
            if (found == want || count++ > 0)
                continue;
            char text[96];
            std::snprintf(text, sizeof text, "(%d, %d) is 0x%06X, not 0x%06X", x, y, found, want);
            first = text;
        }
    return count == 0 ? "" : std::to_string(count) + " pixels differ, first " + first;
}

} // namespace sdlscreen
