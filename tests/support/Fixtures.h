#ifndef VEXLUME_TEST_FIXTURES_H
#define VEXLUME_TEST_FIXTURES_H

#include "Scene.h"

#include <SDL.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace fixtures {

// A fresh directory under /tmp, removed with everything in it when the
// object goes.
class ScratchDir
{
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// The text as a regular expression that matches it and nothing else, for
// death tests that compare a whole message.
std::string RegexQuoted(const std::string& text);

// Writes a 24-bit BMP (which IMG_Load reads) whose pixel (x, y) has the
// colour rgb(x, y), given as 0xRRGGBB.
void WritePicture(const std::string& path, int width, int height,
                  const std::function<Uint32(int x, int y)>& rgb);

// "" when block (width x height pixels, row by row, 0xRRGGBB) matches
// expected(x, y) everywhere, otherwise the first pixel that differs.
std::string FirstDifference(const std::vector<Uint32>& block, int width, int height,
                            const std::function<Uint32(int x, int y)>& expected);

// Copies the game's share/ directory into dir/share.
void CopyShare(const std::string& dir);

struct RunResult {
    int status = -1;   // exit status, or -1 when killed by a signal
    int signal = 0;    // the signal that ended it, or 0
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs program with args in directory cwd with the environment changed by
// env (an empty value unsets the variable), and waits for it at most
// timeoutSeconds before killing it.
RunResult Run(const std::string& program, const std::string& cwd,
              const std::map<std::string, std::string>& env, double timeoutSeconds,
              const std::vector<std::string>& args = {});

// The one driver of a test process, made as the game makes it: SDL started
// with no subsystem named and shut down at exit, the mode set by the driver
// on first use and kept until the process ends.
template <class Driver>
Driver* ProcessDriver(int width, int height)
{
    static Driver* driver = [=] {
        if (SDL_Init(0) != 0)
            throw std::runtime_error(SDL_GetError());
        std::atexit(SDL_Quit);
        return new Driver(width, height, scene::ScreenDepth, "Vexlume", true);
    }();
    return driver;
}

} // namespace fixtures

#endif
