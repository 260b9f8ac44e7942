#ifndef VEXLUME_VIDEODRIVER_H
#define VEXLUME_VIDEODRIVER_H

// Opens the one full-screen video mode and brackets every frame. A concrete
// driver sets its mode and caption in its constructor (a mode that cannot be
// set ends the program), so it must exist before any picture is loaded:
// pictures convert to the display format and, for OpenGL, need the context.
// Its owner deletes it last, after every picture and drawing target; SDL
// itself, not the driver, closes the mode when it shuts down.
class VideoDriver
{
public:
    virtual ~VideoDriver();

    // Toggles between full screen and a window, at any time after
    // construction; a failure ends the program. The game never calls it.
    virtual void Fullscreen() = 0;
    // Shows or hides the mouse cursor over the window, at any time.
    virtual void ShowMouse(bool show) = 0;
    // Starts a frame by clearing the whole screen to black; everything drawn
    // through a Graphics until EndDraw belongs to this frame.
    virtual void BeginDraw() = 0;
    // Presents the frame drawn since BeginDraw. What is drawn after it and
    // before the next BeginDraw is cleared unseen.
    virtual void EndDraw() = 0;

protected:
    // What both drivers share: the toggle exits on failure, so a return
    // means the mode changed.
    static void ToggleFullScreen();
    static void ShowCursor(bool show);
    // Called before the mode is set: on X, a connection to the server that
    // breaks (the server stopped, the desktop session ended) ends the game
    // with one line and status 1.
    static void EndWithTheDisplay();
    [[noreturn]] static void FailVideoMode(int width, int height, int depth);
};

#endif
