#ifndef VEXLUME_TEST_DESKTOP_H
#define VEXLUME_TEST_DESKTOP_H

#include <sys/types.h>

#include <string>

// A desktop of a chosen size for the game to meet: Xvfb with GLX at 24 bits
// on a display number no one else uses, with a window manager (openbox) on
// it, since only a window manager fits a full-screen window to the screen.
// DISPLAY names it while it lives; both programs are stopped and DISPLAY
// restored when it goes. Throws when either cannot be started.
class Desktop
{
public:
    Desktop(int width, int height);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

private:
    pid_t server = -1;
    pid_t manager = -1;
    bool hadDisplay = false;
    std::string previousDisplay;

    void Stop();
};

#endif
