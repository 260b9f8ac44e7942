#ifndef VEXLUME_SDLDRIVER_H
#define VEXLUME_SDLDRIVER_H

#include "VideoDriver.h"

#include <SDL.h>

#include <string>

// The software driver: a full-screen, double-buffered SDL video surface,
// filled black at the start of a frame and flipped at its end. Drawing goes
// straight into the video surface through SDLGraphics.
class SDLDriver : public VideoDriver
{
public:
    SDLDriver(int width, int height, int depth, std::string title, bool fullscreen);

    void Fullscreen() override;
    void ShowMouse(bool show) override;
    void BeginDraw() override;
    void EndDraw() override;

    void SetVideoMode(int width, int height, int depth);

private:
    int width;
    int height;
    int depth;
    std::string title;
    bool fullscreen;
    SDL_Surface* screen = nullptr;
};

#endif
