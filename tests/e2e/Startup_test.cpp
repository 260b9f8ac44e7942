// Start-up of the real binary: the banner comes first, whatever follows, and
// each start-up failure is one line on standard error and status 1.
#include "Fixtures.h"
#include "GameSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

namespace {

const char* const Banner = "Vexlume 0.0.6\n";

struct FailureCase {
    const char* name;
    std::map<std::string, std::string> env;
    std::string errorStart; // the fixed part of the line, before the library's text
};

class Startup : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(Startup, AFailureIsOneLineOnStandardErrorAndStatusOne)
{
    ASSERT_NE(nullptr, std::getenv("DISPLAY")) << "run under the test X server (scripts/test)";
    const FailureCase c = GetParam();
    // Both fail before the scene loads, so no data files are needed.
    fixtures::ScratchDir dir;

    const fixtures::RunResult run = fixtures::Run(VEXLUME_BINARY, dir.Path(), c.env, Patience);

    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(Banner, run.out);
    EXPECT_EQ(c.errorStart, run.err.substr(0, c.errorStart.size())) << run.err;
    EXPECT_GT(run.err.size(), c.errorStart.size() + 1) << "the library's error text is missing: " << run.err;
    EXPECT_EQ(1, std::count(run.err.begin(), run.err.end(), '\n')) << run.err;
    EXPECT_EQ('\n', run.err.empty() ? '\0' : run.err.back()) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, Startup,
    ::testing::Values(
        FailureCase{"AudioDriverThatDoesNotExist",
                    {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "no-such-audio-driver"}},
                    "Unable to initialize the audio system: "},
        // SDL's dummy video driver has no OpenGL.
        FailureCase{"VideoWithoutOpenGL",
                    {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}},
                    "Unable to set video mode 1680x1050x32: "}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

} // namespace
