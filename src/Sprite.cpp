#include "Sprite.h"

#include "Graphics.h"
#include "Image.h"
#include "Oblong.h"

Sprite::Sprite(std::string, int, int)
{
}

Sprite::~Sprite()
{
    delete sheet;
    delete graphics;
}

void Sprite::SetPosition(int x, int y)
{
    this->x = x;
    this->y = y;
}

void Sprite::XVelocity(int velocity)
{
    xVelocity = velocity;
}

void Sprite::YVelocity(int velocity)
{
    yVelocity = velocity;
}

void Sprite::Move()
{
    x += xVelocity;
    y += yVelocity;
}

void Sprite::Animate(bool on)
{
    lastTicks = SDL_GetTicks();
    animating = on;
}

void Sprite::Draw(Image* target, Oblong* source, int x, int y)
{
    const int drawX = x == -1 ? this->x : x;
    const int drawY = y == -1 ? this->y : y;
    graphics->Blit(sheet, target, source, drawX, drawY);
    if (!animating || frameRate == 0)
        return;
    // Signed, so that a wrap of the tick counter still gives the small true
    // difference.
    const Sint32 elapsed = static_cast<Sint32>(SDL_GetTicks() - lastTicks);
    const int period = 1000 / frameRate;
    if (elapsed <= period)
        return;
    lastTicks = SDL_GetTicks();
    if (source->x + source->w < sheet->Width()) {
        source->x += source->w;
        ++frame;
    } else {
        source->x = 0;
        frame = 0;
    }
}
