#ifndef VEXLUME_SPRITE_H
#define VEXLUME_SPRITE_H

#include <SDL.h>

#include <string>

class Graphics;
class Image;
class Oblong;

// The player's animated figure: a position and a velocity in screen pixels,
// and a sheet of frames side by side. The caller owns the rectangle that
// selects a frame and picks the animation row through its y; while the
// animation is on, Draw slides the rectangle one frame to the right every
// 1000 / frameRate ms and wraps it at the sheet's right edge. Per frame the
// caller sets velocities and animation, then calls Move, then Draw.
class Sprite
{
public:
    Sprite(std::string unused, int unusedKey, int unusedRate);
    virtual ~Sprite();

    void SetPosition(int x, int y);
    void XVelocity(int velocity);
    void YVelocity(int velocity);
    void Move();
    // Switching on, even when already on, restarts the wait for the next
    // step; switching off freezes the frame shown.
    void Animate(bool on);
    // Draws the frame that source selects at (x, y), where -1 stands for the
    // sprite's own coordinate, then steps the animation when a step is due.
    void Draw(Image* target, Oblong* source, int x, int y);

protected:
    int x = 0;
    int y = 0;
    int xVelocity = 0;
    int yVelocity = 0;
    int frame = 0;
    bool animating = false;
    Uint32 lastTicks = 0;
    Image* sheet = nullptr;
    Graphics* graphics = nullptr;
    int frameRate = 0;
};

#endif
