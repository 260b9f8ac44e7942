#ifndef VEXLUME_VIDEODRIVER_H
#define VEXLUME_VIDEODRIVER_H

// Opens the one full-screen video mode and brackets every frame.
// A concrete driver sets its mode in its constructor, so it must exist
// before any picture is loaded (pictures convert to the display format and,
// for OpenGL, need the context). Every frame is BeginDraw (clears to black),
// drawing through Graphics, EndDraw (presents). The driver is deleted last,
// after every picture and drawing target.
class VideoDriver
{
public:
    virtual ~VideoDriver();

    // Toggles between full screen and a window; a failure is fatal.
    virtual void Fullscreen() = 0;
    virtual void ShowMouse(bool show) = 0;
    virtual void BeginDraw() = 0;
    virtual void EndDraw() = 0;

protected:
    // What both drivers share: the toggle exits on failure, so a return
    // means the mode changed.
    static void ToggleFullScreen();
    static void ShowCursor(bool show);
    [[noreturn]] static void FailVideoMode(int width, int height, int depth);
};

#endif
