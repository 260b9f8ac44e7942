#ifndef VEXLUME_OPENGLDRIVER_H
#define VEXLUME_OPENGLDRIVER_H

#include "VideoDriver.h"

#include <SDL.h>

#include <string>

// The OpenGL driver: a full-screen OpenGL mode with a projection of one unit
// per pixel, origin top-left and y downwards. It keeps blending and texturing
// off between picture draws; every picture draw switches them on and off
// again. The GL context lives until SDL shuts down, after the driver.
class OpenGLDriver : public VideoDriver
{
public:
    OpenGLDriver(int width, int height, int depth, std::string title, bool fullscreen);

    void Fullscreen() override;
    void ShowMouse(bool show) override;
    void BeginDraw() override;
    void EndDraw() override;

    void SetVideoMode(int width, int height, int depth);
    void ResizeSurface(int width, int height);
    void InitOpenGL();

private:
    int width;
    int height;
    int depth;
    std::string title;
    bool fullscreen;
    SDL_Surface* screen = nullptr;
};

#endif
