#include "Fixtures.h"

#include <SDL_image.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
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

ScratchDir::~ScratchDir() { [[maybe_unused]] int status = std::system(("rm -rf '" + path + "'").c_str()); }

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    if (!(out << bytes))
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Picture FromSurface(SDL_Surface* surface)
{
    SDL_Surface* rgb = SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    // A plain copy: the source's colour key and alpha must not blend.
    SDL_SetColorKey(surface, 0, 0);
    SDL_SetAlpha(surface, 0, 255);
    SDL_BlitSurface(surface, nullptr, rgb, nullptr);
    Picture picture{rgb->w, rgb->h, std::vector<Uint32>(size_t(rgb->w) * rgb->h)};
    for (int i = 0; i < rgb->w * rgb->h; ++i)
        picture.rgb[i] = static_cast<Uint32*>(rgb->pixels)[i / rgb->w * rgb->pitch / 4 + i % rgb->w] & 0xFFFFFF;
    SDL_FreeSurface(rgb);
    return picture;
}

Picture LoadPicture(const std::string& path)
{
    SDL_Surface* surface = IMG_Load(path.c_str());
    if (!surface)
        throw std::runtime_error("cannot read " + path + ": " + SDL_GetError());
    Picture picture = FromSurface(surface);
    SDL_FreeSurface(surface);
    return picture;
}

void WritePicture(const std::string& path, int width, int height, const std::function<Uint32(int x, int y)>& rgb)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int i = 0; i < width * height; ++i) {
        const Uint32 colour = rgb(i % width, i / width);
        std::memcpy(static_cast<Uint8*>(surface->pixels) + i / width * surface->pitch + 3 * (i % width), &colour, 3);
    }
    const int saved = SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
    if (saved != 0)
        throw std::runtime_error("cannot save " + path);
}

bool WaitUntil(const std::function<bool()>& done, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

Process::Process(const std::string& program, const std::string& cwd, const std::map<std::string, std::string>& env,
                 const std::vector<std::string>& args)
{
    char outName[] = "/tmp/vexlume-out-XXXXXX";
    char errName[] = "/tmp/vexlume-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    outFile = outName;
    errFile = errName;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL); // a test killed on its time-out leaves no game behind
        setpgid(0, 0);                    // nor does a program killed here leave a game it started
        dup2(outFd, 1);
        dup2(errFd, 2);
        for (const auto& [name, value] : env) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        if (chdir(cwd.c_str()) == 0)
            execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outFd);
    close(errFd);
}

Process::~Process()
{
    Wait(0);
    unlink(outFile.c_str());
    unlink(errFile.c_str());
}

int Process::Wait(double seconds)
{
    int raw = 0;
    if (pid > 0 && !WaitUntil([&] { return waitpid(pid, &raw, WNOHANG) == pid; }, seconds)) {
        kill(-pid, SIGKILL);
        waitpid(pid, &raw, 0);
    }
    if (pid > 0) {
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        endedBy = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    }
    pid = -1;
    return status;
}

void Process::Send(int signal) const
{
    if (pid > 0)
        kill(pid, signal);
}

void Process::SendToGroup(int signal) const
{
    if (pid > 0)
        kill(-pid, signal);
}

std::vector<pid_t> Process::Children() const
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    std::vector<pid_t> children;
    for (pid_t child = 0; in >> child;)
        children.push_back(child);
    return children;
}

RunResult Run(const std::string& program, const std::string& cwd, const std::map<std::string, std::string>& env,
              double seconds, const std::vector<std::string>& args)
{
    Process process(program, cwd, env, args);
    const int status = process.Wait(seconds);
    return {status, process.Out(), process.Err()};
}

} // namespace fixtures
