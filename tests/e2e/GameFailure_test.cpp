// A data file that is missing ends the game at start with its
// message on standard error and status 1; only the first problem, in the
// order the files are loaded, is reported.

#include "GameSession.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

struct Failure {
    std::string file;
    std::string before;  // whole lines written ahead of the fatal one
    std::string message; // the fatal line up to the library's own text
};

// In the order in which the game loads them.
const std::vector<Failure> Missing = {
    {"Pellwick.png", "", "Couldn't load 'share/Pellwick.png': "},
    {"test.map", "ERROR: Couldn't load \"share/test.map\".\n", "Couldn't load '': "},
    {"Tiles.png", "", "Couldn't load 'share/Tiles.png': "},
    {"Vexlume.png", "", "Couldn't load 'share/Vexlume.png': "},
    {"Skarnel.png", "", "Couldn't load 'share/Skarnel.png': "},
    {"formplex12.ttf", "", "Unable to load TTF font: "},
    {"Lullwater.ogg", "", "Couldn't load music: "},
};

fixtures::RunResult RunIn(const fixtures::ScratchDir& dir)
{
    return fixtures::Run(VEXLUME_BINARY, dir.Path(), {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}}, Patience);
}

void ExpectFailure(const fixtures::RunResult& run, const Failure& expected)
{
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Vexlume 0.0.6\n");
    const std::string& err = run.err;
    const std::string head = expected.before + expected.message;
    ASSERT_EQ(err.substr(0, head.size()), head) << err;
    // The library's reason follows on the same line, and nothing after it.
    const std::string reason = err.substr(head.size());
    EXPECT_GT(reason.size(), 1u) << err;
    EXPECT_EQ(reason.find('\n'), reason.size() - 1) << err;
}

} // namespace

TEST(GameFailure, TheFirstMissingFileInLoadOrderEndsTheGameWithItsMessage)
{
    // Each case removes one file and every file loaded after it.
    for (size_t first = 0; first < Missing.size(); ++first) {
        SCOPED_TRACE(Missing[first].file);
        fixtures::ScratchDir dir;
        fixtures::CopyShare(dir.Path());
        for (size_t later = first; later < Missing.size(); ++later)
            std::remove((dir / "share/" + Missing[later].file).c_str());
        ExpectFailure(RunIn(dir), Missing[first]);
    }
}
