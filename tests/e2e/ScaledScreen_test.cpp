// On a desktop whose screen is not 1680x1050 the window manager fits the
// full-screen window to the screen, and the whole frame is scaled into it
// with its shape kept: black bars fill what is left on two sides.

#include "Desktop.h"
#include "GameSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>

using namespace layout;

namespace {

// Where the frame lands: in a whole-pixel rectangle, the largest of the
// frame's shape that fits (its size rounded down), centred with the spare
// pixels halved, rounding down.
struct Fit {
    Box frame;
    double scaleX, scaleY;

    explicit Fit(const Box& screen)
    {
        const bool wider = long(screen.w) * ScreenHeight > long(screen.h) * ScreenWidth;
        const int w = wider ? screen.h * ScreenWidth / ScreenHeight : screen.w;
        const int h = wider ? screen.h : screen.w * ScreenHeight / ScreenWidth;
        frame = {(screen.w - w) / 2, (screen.h - h) / 2, w, h};
        scaleX = double(w) / ScreenWidth;
        scaleY = double(h) / ScreenHeight;
    }
};

int Channel(Uint32 c, int shift)
{
    return int(c >> shift & 0xFF);
}

// The picture's colour at (u, v) between pixel centres, filtered linearly;
// its see-through colour shows the black behind it.
double Filtered(const Pixels& picture, Uint32 seeThrough, double u, double v, int shift)
{
    const int x = std::min(int(u), picture.width - 2), y = std::min(int(v), picture.height - 2);
    const double fx = u - x, fy = v - y;
    auto at = [&](int px, int py) {
        const Uint32 c = picture.At(px, py);
        return c == seeThrough ? 0.0 : double(Channel(c, shift));
    };
    return (at(x, y) * (1 - fx) + at(x + 1, y) * fx) * (1 - fy) + (at(x, y + 1) * (1 - fx) + at(x + 1, y + 1) * fx) * fy;
}

// The mean difference per channel, out of 255, between the screen and the
// picture drawn at (x, y) of the frame and scaled as the fit says, over the
// screen pixels whose filter reads the picture alone. Stars behind the
// see-through parts add a little.
double Difference(const Pixels& screen, const Fit& fit, const Pixels& picture, Uint32 seeThrough, int x, int y)
{
    double sum = 0;
    long count = 0;
    for (int sy = 0; sy < screen.height; ++sy) {
        const double v = (sy + 0.5 - fit.frame.y) / fit.scaleY - 0.5 - y;
        if (v < 0 || v > picture.height - 1)
            continue;
        for (int sx = 0; sx < screen.width; ++sx) {
            const double u = (sx + 0.5 - fit.frame.x) / fit.scaleX - 0.5 - x;
            if (u < 0 || u > picture.width - 1)
                continue;
            for (int shift : {16, 8, 0})
                sum += std::abs(Filtered(picture, seeThrough, u, v, shift) - Channel(screen.At(sx, sy), shift));
            count += 3;
        }
    }
    return count ? sum / count : 255;
}

// The pixels lit outside the frame, a pixel's margin left for the filter.
int LitBesideFrame(const Pixels& screen, const Fit& fit)
{
    const Box margin{fit.frame.x - 1, fit.frame.y - 1, fit.frame.w + 2, fit.frame.h + 2};
    int lit = 0;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            lit += !margin.Contains(x, y) && screen.At(x, y) != 0;
    return lit;
}

class ScaledScreen : public ::testing::TestWithParam<std::pair<int, int>>
{
};

} // namespace

TEST_P(ScaledScreen, WholeFrameShowsScaledWithItsShapeKeptBetweenBlackBars)
{
    const auto [width, height] = GetParam();
    Desktop desktop(width, height);
    GameSession game;
    const Box screen = game.Screen();
    ASSERT_EQ(screen.w, width);
    ASSERT_EQ(screen.h, height);
    const Fit fit(screen);
    const SceneArt& art = SceneArt::Get();

    double title = 255, second = 255;
    auto inPlace = [&](const Pixels& shown) {
        title = Difference(shown, fit, art.title, 0, 0, 0);
        second = Difference(shown, fit, art.second, 0xFF00FF, SecondX, SecondY);
        // In place they differ by well under 1; a picture one frame pixel
        // out of place differs by 5 or more, a cropped or unscaled frame by
        // tens.
        return title < 4 && second < 4;
    };
    Pixels shown;
    EXPECT_TRUE(game.WaitFor(inPlace, 30, screen, &shown))
        << "the scaled title picture differs by " << title << " and the emblem by " << second << " out of 255; "
        << game.ErrorOutput();
    EXPECT_EQ(LitBesideFrame(shown, fit), 0);
}

INSTANTIATE_TEST_SUITE_P(Desktops, ScaledScreen,
                         ::testing::Values(std::make_pair(1366, 768), std::make_pair(1920, 1080)),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });
