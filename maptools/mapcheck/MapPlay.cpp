#include "MapPlay.h"

#include "DataFile.h"
#include "Fatal.h"
#include "MapReport.h"
#include "Scene.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The game Run started (0 while none runs), and the signal that asked the
// checker to stop (0: none came).
volatile sig_atomic_t gameRunning = 0;
volatile sig_atomic_t stopAsked = 0;

void PassOnToTheGame(int signal)
{
    stopAsked = signal;
    if (gameRunning > 0)
        kill(gameRunning, signal);
}

const int StopSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A checker asked to stop (kill, its terminal closed, Ctrl+C) stops its game
// the same way, waits for it, removes what it made and only then ends, by the
// same signal. Held for the whole of a play, scratch directory included.
class StopWithTheGame
{
public:
    StopWithTheGame()
    {
        struct sigaction passOn = {};
        passOn.sa_handler = PassOnToTheGame;
        sigemptyset(&passOn.sa_mask);
        for (size_t i = 0; i < std::size(StopSignals); ++i)
            sigaction(StopSignals[i], &passOn, &before[i]);
    }
    ~StopWithTheGame()
    {
        for (size_t i = 0; i < std::size(StopSignals); ++i)
            sigaction(StopSignals[i], &before[i], nullptr);
        if (stopAsked) {
            signal(stopAsked, SIG_DFL);
            raise(stopAsked);
        }
    }

private:
    struct sigaction before[std::size(StopSignals)] = {};
};

bool Fail(const std::string& line)
{
    std::cerr << "vexlume-mapcheck: --play: " << Printable(line) << "\n";
    return false;
}

// How many directories the game's working directory must lie below the
// scratch directory so that a relative path climbing out with ".." still
// ends inside it.
int DepthNeeded(const fs::path& relative)
{
    int depth = 0, lowest = 0;
    for (auto part = relative.begin(); part != relative.end() && std::next(part) != relative.end(); ++part) {
        if (*part == "..")
            lowest = std::min(lowest, --depth);
        else if (!part->empty() && *part != ".")
            ++depth;
    }
    return -lowest;
}

// Makes the relative path, seen from directory, lead to target: the
// directories on its way are made, and a link to the game's own file of that
// name is replaced. Never writes through a link into the game's data.
bool PlaceLink(const fs::path& directory, const fs::path& relative, const fs::path& target)
{
    fs::path at = directory;
    for (auto part = relative.begin(); part != relative.end(); ++part) {
        if (part->empty() || *part == ".")
            continue;
        if (*part == "..") {
            at = at.parent_path();
            continue;
        }
        at /= *part;
        if (std::next(part) == relative.end())
            break;
        if (fs::is_symlink(at))
            return Fail("the tile set path " + Shown(relative.string()) + " leads through the game's own " +
                        at.string());
        fs::create_directory(at);
    }
    if (fs::is_symlink(at))
        fs::remove(at);
    if (fs::exists(at))
        return Fail("the tile set path " + Shown(relative.string()) + " names the map itself");
    fs::create_symlink(target, at);
    return true;
}

} // namespace

MapPlay::MapPlay(const std::string& game, const std::string& data) : game(game), data(data)
{
}

void MapPlay::Locate(std::string& gameFound, std::string& dataFound)
{
    std::error_code error;
    const fs::path here = fs::read_symlink("/proc/self/exe", error).parent_path();
    // In a build tree the game lies beside the checker, and the data in the
    // source tree that CMake's cache there names. No path of the build is
    // compiled in, so that the installed checker is the same file whatever
    // directory it was built in.
    const std::string sourceEntry = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    std::string source;
    std::ifstream cache(here / "CMakeCache.txt");
    for (std::string line; std::getline(cache, line);)
        if (line.compare(0, sourceEntry.size(), sourceEntry) == 0)
            source = line.substr(sourceEntry.size());
    if (!source.empty()) {
        gameFound = (here / "vexlume").string();
        dataFound = source;
    } else {
        // Installed: the places are given from the checker's own directory,
        // so that a tree moved to another prefix still works.
        gameFound = (here / VEXLUME_INSTALLED_GAME).lexically_normal().string();
        dataFound = (here / VEXLUME_INSTALLED_DATA).lexically_normal().string();
    }
}

bool MapPlay::Find(std::string& gameFound, std::string& dataFound)
{
    Locate(gameFound, dataFound);
    if (access(gameFound.c_str(), X_OK) != 0)
        return Fail("the game is not at " + gameFound);
    if (!fs::is_directory(fs::path(dataFound) / "share"))
        return Fail("the game's data is not at " + dataFound);
    return true;
}

int MapPlay::Play(const std::string& map) const
{
    const StopWithTheGame stop;
    const fs::path tileset = DataFile::MapTileset(map);

    std::error_code error;
    fs::path temporary = fs::temp_directory_path(error);
    if (error)
        temporary = "/tmp";
    std::string scratchName = (temporary / "vexlume-play.XXXXXX").string();
    if (!mkdtemp(scratchName.data())) {
        Fail("cannot make a scratch directory in " + temporary.string());
        return 2;
    }
    const fs::path scratch = scratchName;
    fs::path here = scratch;
    for (int depth = DepthNeeded(tileset); depth > 0; --depth)
        here /= "up";
    bool ready = true;
    try {
        fs::create_directories(here / "share");
        for (const fs::directory_entry& file : fs::directory_iterator(data / "share"))
            if (file.path().filename() != fs::path(scene::Map).filename())
                fs::create_symlink(fs::canonical(file.path()), here / "share" / file.path().filename());
        fs::copy_file(map, here / scene::Map);
        if (tileset.is_relative() && !tileset.empty())
            ready = PlaceLink(here, tileset, fs::canonical(tileset));
    } catch (const fs::filesystem_error& failure) {
        ready = Fail(failure.what());
    }

    int status = 2;
    if (ready) {
        std::cout << "Playing " << Printable(map) << " in place of " << scene::Map << ", in "
                  << Printable(here.string()) << std::endl;
        status = Run(here);
    }
    fs::remove_all(scratch, error);
    return status;
}

int MapPlay::PlayIn(const std::string& directory) const
{
    const StopWithTheGame stop;
    std::cout << "Playing the data in " << Printable(directory) << std::endl;
    return Run(directory);
}

int MapPlay::Run(const fs::path& directory) const
{
    // The stop signals are held back until the game's process is known, so
    // that none comes between the fork and the note of whom to pass it on to.
    sigset_t stops;
    sigset_t unblocked;
    sigemptyset(&stops);
    for (const int stop : StopSignals)
        sigaddset(&stops, stop);
    sigprocmask(SIG_BLOCK, &stops, &unblocked);
    if (stopAsked) {
        sigprocmask(SIG_SETMASK, &unblocked, nullptr);
        return 128 + stopAsked;
    }
    struct sigaction ignore = {};
    struct sigaction oldQuit = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGQUIT, &ignore, &oldQuit);
    const pid_t child = fork();
    if (child == 0) {
        // Until it runs the game, this process would pass a stop on to no one.
        struct sigaction byDefault = {};
        byDefault.sa_handler = SIG_DFL;
        for (const int stop : StopSignals)
            sigaction(stop, &byDefault, nullptr);
        sigaction(SIGQUIT, &oldQuit, nullptr);
        sigprocmask(SIG_SETMASK, &unblocked, nullptr);
        // A checker killed outright (SIGKILL) cannot pass anything on: the
        // game is told by the kernel instead.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (chdir(directory.c_str()) == 0)
            execl(game.c_str(), "vexlume", static_cast<char*>(nullptr));
        std::cerr << "vexlume-mapcheck: --play: cannot start " << Printable(game) << "\n";
        _exit(127);
    }
    gameRunning = child;
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    int status = 2;
    int waited = 0;
    pid_t ended = -1;
    do
        ended = child > 0 ? waitpid(child, &waited, 0) : -1;
    while (ended == -1 && errno == EINTR);
    gameRunning = 0;
    if (ended == child)
        status = WIFEXITED(waited) ? WEXITSTATUS(waited) : 128 + WTERMSIG(waited);
    sigaction(SIGQUIT, &oldQuit, nullptr);
    return status;
}
