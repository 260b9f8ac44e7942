#include "OpenGLDriver.h"

#include "Fatal.h"

#include <GL/gl.h>

OpenGLDriver::OpenGLDriver(int width, int height, int depth, std::string title, bool fullscreen)
    : width(width), height(height), depth(depth), title(title), fullscreen(fullscreen)
{
    SetVideoMode(width, height, depth);
    ResizeSurface(width, height);
    InitOpenGL();
    SDL_WM_SetCaption(this->title.c_str(), this->title.c_str());
}

// sdl12-compat scales a full-screen mode into a screen of another size,
// keeping its shape, only when video was started before the mode is set;
// brought up by the mode call itself, the frame is shown unscaled and
// cropped. A video system that cannot start makes the mode call fail,
// which reports it.
void OpenGLDriver::SetVideoMode(int width, int height, int depth)
{
    EndWithTheDisplay();
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    screen = SDL_SetVideoMode(width, height, depth, SDL_OPENGL | SDL_FULLSCREEN);
    if (!screen)
        FailVideoMode(width, height, depth);
}

void OpenGLDriver::ResizeSurface(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void OpenGLDriver::InitOpenGL()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // One check covers the projection set-up as well, which ran just before.
    if (glGetError() != GL_NO_ERROR)
        FailWithLine("Couldn't setup OpenGL\n");
}

void OpenGLDriver::Fullscreen()
{
    ToggleFullScreen();
    fullscreen = !fullscreen;
}

void OpenGLDriver::ShowMouse(bool show)
{
    ShowCursor(show);
}

void OpenGLDriver::BeginDraw()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void OpenGLDriver::EndDraw()
{
    SDL_GL_SwapBuffers();
}
