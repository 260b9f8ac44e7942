#include "Fixtures.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fixtures {

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/vexlume-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

ScratchDir::~ScratchDir()
{
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        // Nothing sensible to do in a destructor; the directory is under /tmp.
    }
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string RegexQuoted(const std::string& text)
{
    std::string quoted;
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos)
            quoted += '\\';
        quoted += c;
    }
    return quoted;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WritePicture(const std::string& path, int width, int height,
                  const std::function<Uint32(int x, int y)>& rgb)
{
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (!surface)
        throw std::runtime_error("cannot make a surface");
    SDL_LockSurface(surface);
    for (int y = 0; y < height; ++y) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            const Uint32 colour = rgb(x, y);
            row[3 * x] = (colour >> 16) & 0xFF;
            row[3 * x + 1] = (colour >> 8) & 0xFF;
            row[3 * x + 2] = colour & 0xFF;
        }
    }
    SDL_UnlockSurface(surface);
    const int saved = SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
    if (saved != 0)
        throw std::runtime_error("cannot save " + path);
}

std::string FirstDifference(const std::vector<Uint32>& block, int width, int height,
                            const std::function<Uint32(int x, int y)>& expected)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Uint32 seen = block[static_cast<size_t>(y) * width + x];
            if (seen != expected(x, y)) {
                std::ostringstream text;
                text << "at (" << x << "," << y << ") saw 0x" << std::hex << seen << ", expected 0x"
                     << expected(x, y);
                return text.str();
            }
        }
    return "";
}

void CopyShare(const std::string& dir)
{
    const std::string command = "cp -r '" VEXLUME_SOURCE_DIR "/share' '" + dir + "/share'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("cannot copy share/");
}

namespace {

std::string Drain(int fd)
{
    std::string bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<size_t>(n));
    return bytes;
}

} // namespace

RunResult Run(const std::string& program, const std::string& cwd,
              const std::map<std::string, std::string>& env, double timeoutSeconds,
              const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // Output goes to files rather than pipes so that a chatty child never
    // blocks while we wait for it.
    char outName[] = "/tmp/vexlume-out-XXXXXX";
    char errName[] = "/tmp/vexlume-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    const pid_t child = fork();
    if (child == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        if (chdir(cwd.c_str()) != 0)
            _exit(127);
        for (const auto& [name, value] : env) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    RunResult result;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(timeoutSeconds * 1000));
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            result.timedOut = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    lseek(outFd, 0, SEEK_SET);
    lseek(errFd, 0, SEEK_SET);
    result.out = Drain(outFd);
    result.err = Drain(errFd);
    close(outFd);
    close(errFd);
    unlink(outName);
    unlink(errName);
    return result;
}

} // namespace fixtures
