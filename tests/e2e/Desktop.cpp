#include "Desktop.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

// Generous: the machine running the tests may be busy with a build.
const auto StartDeadline = std::chrono::seconds(30);

pid_t Start(const char* const argv[], int keptFd = -1)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keptFd)
                close(fd);
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    if (pid < 0)
        throw std::runtime_error("fork failed");
    return pid;
}

// Reaps the program if it has ended, and forgets its id, which the system
// may then give to another process.
bool Ended(pid_t& pid)
{
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == pid)
        pid = -1;
    return pid <= 0;
}

// Both programs end cleanly on SIGTERM; Xvfb then removes its lock file.
void End(pid_t& pid)
{
    if (Ended(pid))
        return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// Xvfb picks a free display number itself and writes it to the descriptor
// once it accepts connections: no race with other servers on the machine.
std::string ReadDisplayNumber(int fd, pid_t& server)
{
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + StartDeadline;
    while (std::chrono::steady_clock::now() < deadline && !Ended(server)) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(fd, &c, 1) != 1)
            break;
        if (c == '\n')
            return number;
        number += c;
    }
    return "";
}

bool HasWindowState(Display* display, Window window)
{
    const Atom state = XInternAtom(display, "WM_STATE", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, window, state, 0, 2, False, state, &type, &format, &count,
                                          &after, &data) == Success &&
                       count > 0;
    if (data)
        XFree(data);
    return found;
}

// Waits until the window manager takes new windows in hand: it sets
// WM_STATE on every window it manages. Having started is not enough: openbox
// names its check window on the root before it manages anything, and a
// window mapped in between is never fitted to the screen (seen on a fresh
// machine, where its first start is slow). So a probe window is mapped,
// given a second, and mapped anew until it is managed.
bool Manages(Display* display, pid_t& manager)
{
    const auto deadline = std::chrono::steady_clock::now() + StartDeadline;
    while (std::chrono::steady_clock::now() < deadline && !Ended(manager)) {
        const Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XMapWindow(display, probe);
        XSync(display, False);
        bool managed = false;
        for (int i = 0; i < 20 && !(managed = HasWindowState(display, probe)); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        XDestroyWindow(display, probe);
        XSync(display, False);
        if (managed)
            return true;
    }
    return false;
}

} // namespace

Desktop::Desktop(int width, int height)
{
    if (const char* display = std::getenv("DISPLAY")) {
        hadDisplay = true;
        previousDisplay = display;
    }
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        throw std::runtime_error("pipe failed");
    const std::string fd = std::to_string(pipeFds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const char* const serverArgs[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                                      "+extension", "GLX", "-nolisten", "tcp", nullptr};
    server = Start(serverArgs, pipeFds[1]);
    close(pipeFds[1]);
    const std::string number = ReadDisplayNumber(pipeFds[0], server);
    close(pipeFds[0]);
    if (number.empty()) {
        Stop();
        throw std::runtime_error("Xvfb did not start at " + screen);
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);

    const char* const managerArgs[] = {"openbox", "--sm-disable", nullptr};
    manager = Start(managerArgs);
    Display* display = XOpenDisplay(nullptr);
    const bool managed = display && Manages(display, manager);
    if (display)
        XCloseDisplay(display);
    if (!managed) {
        Stop();
        throw std::runtime_error("openbox did not start on :" + number);
    }
}

Desktop::~Desktop()
{
    Stop();
}

void Desktop::Stop()
{
    End(manager);
    End(server);
    if (hadDisplay)
        setenv("DISPLAY", previousDisplay.c_str(), 1);
    else
        unsetenv("DISPLAY");
}
