#include "SDLGraphics.h"

#include "Oblong.h"
#include "SDLImage.h"

#include <cstdint>

namespace {

// SDL_Rect keeps positions in 16 bits: a value outside them would wrap the
// picture to the other side of the screen, so such a blit is dropped.
bool FitsRect(int value)
{
    return value >= INT16_MIN && value <= INT16_MAX;
}

// Locks the surface for direct pixel access only where SDL requires it.
class PixelAccess
{
public:
    explicit PixelAccess(SDL_Surface* surface) : surface(surface), locked(SDL_MUSTLOCK(surface))
    {
        if (locked)
            SDL_LockSurface(surface);
    }
    ~PixelAccess()
    {
        if (locked)
            SDL_UnlockSurface(surface);
    }
    PixelAccess(const PixelAccess&) = delete;
    PixelAccess& operator=(const PixelAccess&) = delete;

private:
    SDL_Surface* surface;
    bool locked;
};

} // namespace

SDLGraphics::SDLGraphics(SDL_Surface* surface) : surface(surface)
{
}

bool SDLGraphics::Inside(int x, int y) const
{
    return x >= 0 && y >= 0 && x < surface->w && y < surface->h;
}

void SDLGraphics::Store(int x, int y, Uint32 pixel)
{
    PixelAccess access(surface);
    Uint8* row = static_cast<Uint8*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    switch (surface->format->BytesPerPixel) {
    case 1:
        row[x] = static_cast<Uint8>(pixel);
        break;
    case 2:
        reinterpret_cast<Uint16*>(row)[x] = static_cast<Uint16>(pixel);
        break;
    case 3:
        row[3 * x] = pixel & 0xFF;
        row[3 * x + 1] = (pixel >> 8) & 0xFF;
        row[3 * x + 2] = (pixel >> 16) & 0xFF;
        break;
    case 4:
        reinterpret_cast<Uint32*>(row)[x] = pixel;
        break;
    default:
        break;
    }
}

void SDLGraphics::PutPixel(int x, int y, int colour)
{
    if (!Inside(x, y))
        return;
    // The star field plots thousands of pixels a frame through here, so the
    // game's own case, a 32-bit screen that needs no lock, goes straight in.
    if (surface->format->BytesPerPixel == 4 && !SDL_MUSTLOCK(surface)) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        reinterpret_cast<Uint32*>(row)[x] = static_cast<Uint32>(colour);
        return;
    }
    Uint32 pixel = static_cast<Uint32>(colour);
    if (surface->format->BytesPerPixel != 4)
        pixel = SDL_MapRGB(surface->format, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    Store(x, y, pixel);
}

void SDLGraphics::PutPixel(int x, int y, short r, short g, short b)
{
    if (!Inside(x, y))
        return;
    Store(x, y, SDL_MapRGB(surface->format, r & 0xFF, g & 0xFF, b & 0xFF));
}

int SDLGraphics::GetPixel(int x, int y)
{
    if (!Inside(x, y))
        return 0;
    PixelAccess access(surface);
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    switch (surface->format->BytesPerPixel) {
    case 1:
        return row[x];
    case 2:
        return reinterpret_cast<const Uint16*>(row)[x];
    case 3:
        return row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
    case 4:
        return static_cast<int>(reinterpret_cast<const Uint32*>(row)[x]);
    default:
        return 0;
    }
}

void SDLGraphics::DrawImage(Image* image, int x, int y)
{
    Blit(image, nullptr, nullptr, x, y);
}

void SDLGraphics::Blit(Image* source, Image*, Oblong* region, int x, int y)
{
    SDLImage* picture = NarrowPicture<SDLImage>(source);
    const Oblong whole(0, 0, picture->Width(), picture->Height());
    const Oblong& r = region ? *region : whole;
    if (r.w <= 0 || r.h <= 0 || !FitsRect(x) || !FitsRect(y) || !FitsRect(r.x) || !FitsRect(r.y))
        return;
    SDL_Rect from;
    from.x = static_cast<Sint16>(r.x);
    from.y = static_cast<Sint16>(r.y);
    from.w = static_cast<Uint16>(r.w > UINT16_MAX ? UINT16_MAX : r.w);
    from.h = static_cast<Uint16>(r.h > UINT16_MAX ? UINT16_MAX : r.h);
    SDL_Rect to;
    to.x = static_cast<Sint16>(x);
    to.y = static_cast<Sint16>(y);
    to.w = 0;
    to.h = 0;
    SDL_UpperBlit(picture->Surface(), &from, surface, &to);
}
