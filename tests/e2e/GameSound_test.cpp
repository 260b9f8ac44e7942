// The music, heard through SDL's disk audio driver, which writes the
// mixer's output (signed 16-bit stereo, 22050 frames a second) to a file at
// about the pace of real playback.

#include "GameSession.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

namespace {

// A window of 8192 stereo frames of 16 bits: a fifth to a third of a
// second, whichever rate the driver settled on.
const std::streamoff Window = 8192 * 4;

std::streamoff Written(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<std::streamoff>(in.tellg()) / 4 * 4 : 0;
}

// Root mean square of the newest window of samples, in sample units, or -1
// while less than a window has been written since the given offset.
double NewestLoudness(const std::string& path, std::streamoff since)
{
    const std::streamoff size = Written(path);
    if (size - since < Window)
        return -1;
    std::ifstream in(path, std::ios::binary);
    std::vector<Sint16> samples(static_cast<size_t>(Window / 2));
    in.seekg(size - Window);
    in.read(reinterpret_cast<char*>(samples.data()), Window);
    double sum = 0;
    for (Sint16 s : samples)
        sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

} // namespace

TEST(GameSound, SpaceHaltsAndRestartsTheMusicAndPPausesAndResumesIt)
{
    fixtures::ScratchDir dir;
    const std::string output = dir / "mixer.raw";
    GameSession game(VEXLUME_SOURCE_DIR, output);
    ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();

    // The track is never quiet for long, while halted or paused music
    // leaves the mixer writing zeros. Only samples written after the key
    // count.
    const bool heard = true, silent = false;
    auto after = [&](KeySymbol key, bool loud) {
        const std::streamoff since = Written(output);
        if (key)
            game.Tap(key);
        return game.WaitUntil(
            [&] {
                const double loudness = NewestLoudness(output, since);
                return loud ? loudness > 300 : loudness == 0;
            },
            Patience);
    };

    EXPECT_TRUE(after(0, heard)) << "no music after the start";
    EXPECT_TRUE(after(XK_space, silent)) << "the first Space does not halt the music";
    EXPECT_TRUE(after(XK_space, heard)) << "the second Space does not start it again";
    EXPECT_TRUE(after(XK_p, silent)) << "p does not pause the music";
    EXPECT_TRUE(after(XK_p, heard)) << "the second p does not resume it";
}
