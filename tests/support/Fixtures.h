#ifndef VEXLUME_TEST_FIXTURES_H
#define VEXLUME_TEST_FIXTURES_H

#include "Scene.h"

#include <SDL.h>
#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fixtures {

// A fresh directory under /tmp, removed with all it holds when the object goes.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// Polls until done holds, for at most the given seconds: a busy machine may give the game one frame a second.
bool WaitUntil(const std::function<bool()>& done, double seconds = 30);

// A picture in memory, row by row from the top, each pixel 0xRRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Uint32> rgb;
    Uint32 At(int x, int y) const { return rgb[size_t(y) * width + x]; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};
Picture FromSurface(SDL_Surface* surface);
Picture LoadPicture(const std::string& path);
// Writes a 24-bit BMP whose pixel (x, y) has the colour rgb(x, y).
void WritePicture(const std::string& path, int width, int height, const std::function<Uint32(int x, int y)>& rgb);

// A program started in cwd with env changed (an empty value unsets), its output in files so that it never blocks.
class Process
{
public:
    Process(const std::string& program, const std::string& cwd, const std::map<std::string, std::string>& env,
            const std::vector<std::string>& args = {});
    ~Process();
    // The exit status, or -1 after a signal or when it is killed, with all it started, still running after seconds.
    int Wait(double seconds);
    pid_t Pid() const { return pid; }
    // The signal that ended it (0 when it exited), once Wait has returned.
    int EndedBy() const { return endedBy; }
    // A signal to the program alone, or to its process group as a terminal sends Ctrl+C.
    void Send(int signal) const;
    void SendToGroup(int signal) const;
    // The processes it has started and not yet waited for.
    std::vector<pid_t> Children() const;
    std::string Out() const { return ReadFile(outFile); }
    std::string Err() const { return ReadFile(errFile); }

private:
    pid_t pid = -1;
    int status = -1;
    int endedBy = 0;
    std::string outFile;
    std::string errFile;
};

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};
RunResult Run(const std::string& program, const std::string& cwd, const std::map<std::string, std::string>& env,
              double seconds, const std::vector<std::string>& args = {});

} // namespace fixtures

#endif
