// The arrows move and animate the sprite and scroll the map under the
// camera window; Escape and the window's close request end the game.

#include "GameSession.h"

#include <gtest/gtest.h>

#include <time.h>

#include <chrono>
#include <set>
#include <tuple>
#include <sstream>
#include <thread>

using namespace layout;

namespace {

// Where the sprite and the map's view stand in one frame.
struct Pose {
    int x = 0, y = 0;      // sprite's top-left corner
    int row = 0, index = 0;  // frame shown
    int viewX = 0, viewY = 0;  // map scroll offset shown in the window

    bool operator==(const Pose& o) const
    {
        return x == o.x && y == o.y && row == o.row && index == o.index && viewX == o.viewX && viewY == o.viewY;
    }
};

std::ostream& operator<<(std::ostream& out, const Pose& p)
{
    return out << "sprite (" << p.x << "," << p.y << ") frame " << p.index << " of row " << p.row << ", view ("
               << p.viewX << "," << p.viewY << ")";
}

// Horizontal moves keep the sprite at y 509 and the view at y 0; vertical
// ones keep the sprite at x 824 and the view at x 0.
enum class Axis { Horizontal, Vertical };

Box Band(Axis axis)
{
    return axis == Axis::Horizontal ? Box{0, WindowY, ScreenWidth, WindowHeight}
                                    : Box{WindowX, 0, SpriteX + Frame - WindowX, ScreenHeight};
}

::testing::AssertionResult Observe(const Pixels& screen, Axis axis, Pose& pose)
{
    const bool across = axis == Axis::Horizontal;
    const std::vector<SpriteSighting> sprite = across ? FindSprite(screen, 0, ScreenWidth, SpriteY, SpriteY)
                                                      : FindSprite(screen, SpriteX, SpriteX, 0, ScreenHeight);
    if (sprite.size() != 1)
        return ::testing::AssertionFailure() << "the sprite shows " << sprite.size() << " times";
    const Box covered{sprite[0].x, sprite[0].y, Frame, Frame};
    const auto view = across ? FindMapView(screen, 0, 1 << 20, 0, 0, covered)
                             : FindMapView(screen, 0, 0, 0, 1 << 20, covered);
    if (view.size() != 1)
        return ::testing::AssertionFailure() << "the window matches the map at " << view.size() << " offsets";
    pose = {sprite[0].x, sprite[0].y, sprite[0].row, sprite[0].index, view[0].first, view[0].second};
    return ::testing::AssertionSuccess();
}

using Check = std::function<::testing::AssertionResult(const Pose&)>;

::testing::AssertionResult Holds(bool holds, const Pose& p)
{
    return holds ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "at " << p;
}

// Grabs until a pose satisfies until; stops at the first pose that fails
// the check on the way.
::testing::AssertionResult Follow(GameSession& game, Axis axis, const std::function<bool(const Pose&)>& until,
                                  const Check& check, Pose& last, double timeout = Patience)
{
    ::testing::AssertionResult seen = ::testing::AssertionSuccess();
    const bool reached = game.WaitFor(
        [&](const Pixels& screen) {
            seen = Observe(screen, axis, last);
            if (seen)
                seen = check(last);
            return !seen || until(last);
        },
        timeout, Band(axis));
    if (!seen)
        return seen;
    if (!reached)
        return ::testing::AssertionFailure() << "gave up at " << last;
    return ::testing::AssertionSuccess();
}

// Watches new frames (the stars move in every frame, so a grab that differs
// from the last one is a new frame) until `frames` of them have shown the
// pose and at least `seconds` have passed. With `pose` unset, the first new
// frame sets it, and any change starts the count again: that waits until a
// released key has reached the game, which on a busy machine may take many
// times the 40 ms of a frame. With `pose` set, any change is a failure.
::testing::AssertionResult StillFor(GameSession& game, Axis axis, Pose& pose, bool poseSet, int frames,
                                    double seconds = 0)
{
    const auto start = std::chrono::steady_clock::now();
    const bool strict = poseSet;
    Pixels previous;
    int still = 0;
    ::testing::AssertionResult seen = ::testing::AssertionSuccess();
    const bool done = game.WaitFor(
        [&](const Pixels& screen) {
            if (screen.rgb == previous.rgb)
                return false;
            previous = screen;
            Pose now;
            seen = Observe(screen, axis, now);
            if (seen && strict && !(now == pose))
                seen = ::testing::AssertionFailure() << "moved from " << pose << " to " << now;
            if (!seen)
                return true;
            still = poseSet && now == pose ? still + 1 : 0;
            pose = now;
            poseSet = true;
            return still >= frames &&
                   std::chrono::steady_clock::now() - start >= std::chrono::duration<double>(seconds);
        },
        Patience, Band(axis));
    if (!seen)
        return seen;
    return done ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "never still at " << pose;
}

// The pose once it has stopped changing.
::testing::AssertionResult Settle(GameSession& game, Axis axis, Pose& pose)
{
    return StillFor(game, axis, pose, false, 2);
}

double Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

} // namespace

// The map scrolls 2 pixels a frame while the sprite walks 5, from the same
// start, so that as long as the view is inside the map, twice the sprite's
// way equals five times the view's offset.
TEST(GameInput, HorizontalArrowsWalkAndAnimateTheSpriteAndScrollTheMapUntilReleased)
{
    GameSession game;
    ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();
    Pose pose;
    auto inStep = [](const Pose& p) { return Holds((p.x - SpriteX) * 2 == p.viewX * 5, p) << ": out of step"; };

    // Right goes further than Left comes back, so the view never reaches
    // the map's left edge.
    for (const auto& [key, row, sign, distance] : {std::tuple{XK_Right, 32, 1, 200}, std::tuple{XK_Left, 0, -1, 100}}) {
        SCOPED_TRACE(row == 32 ? "right" : "left");
        Pose start;
        ASSERT_TRUE(Settle(game, Axis::Horizontal, start));
        std::set<int> frames;
        game.KeyDown(key);
        const auto walked = Follow(
            game, Axis::Horizontal,
            [&](const Pose& p) { return frames.size() >= 3 && (p.x - start.x) * sign >= distance; },
            [&](const Pose& p) {
                if (p.x == start.x)
                    return inStep(p);
                frames.insert(p.index);
                return p.row != row ? Holds(false, p) << ": wrong row" : inStep(p);
            },
            pose);
        ASSERT_TRUE(walked);
        game.KeyUp(key);

        // Released: the sprite, its frame and the map stay as they are for
        // longer than an animation step takes.
        ASSERT_TRUE(Settle(game, Axis::Horizontal, pose));
        EXPECT_TRUE(StillFor(game, Axis::Horizontal, pose, true, 8, 0.6));
        EXPECT_TRUE(inStep(pose));
    }
}

TEST(GameInput, UpWalksFivePixelsAFrameAndTenWithShiftWhileTheMapScrollsTwo)
{
    GameSession game;
    ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();
    auto unanimated = [](const Pose& p) { return Holds(p.row == 0 && p.index == 0, p) << ": the frame changed"; };

    // Down first, so that the view has room to scroll back up.
    Pose down, up, fast;
    game.KeyDown(XK_Down);
    ASSERT_TRUE(Follow(game, Axis::Vertical, [](const Pose& p) { return p.viewY >= 80; },
                       [](const Pose& p) { return Holds((p.y - SpriteY) * 2 == p.viewY * 5, p) << ": out of step"; },
                       down));
    game.KeyUp(XK_Down);
    ASSERT_TRUE(Settle(game, Axis::Vertical, down));
    EXPECT_TRUE(unanimated(down));

    game.KeyDown(XK_Up);
    ASSERT_TRUE(Follow(game, Axis::Vertical, [&](const Pose& p) { return p.y <= down.y - 30; }, unanimated, up));
    game.KeyUp(XK_Up);
    ASSERT_TRUE(Settle(game, Axis::Vertical, up));
    EXPECT_EQ((down.y - up.y) * 2, (down.viewY - up.viewY) * 5) << down << " then " << up;

    game.KeyDown(XK_Shift_L);
    game.KeyDown(XK_Up);
    ASSERT_TRUE(Follow(game, Axis::Vertical, [&](const Pose& p) { return p.y <= up.y - 60; }, unanimated, fast));
    game.KeyUp(XK_Up);
    game.KeyUp(XK_Shift_L);
    ASSERT_TRUE(Settle(game, Axis::Vertical, fast));
    EXPECT_GT(fast.viewY, 0) << "the view must stay inside the map for the comparison";
    EXPECT_EQ(up.y - fast.y, (up.viewY - fast.viewY) * 5) << up << " then " << fast;
}

// Going up from the start drives the vertical offset below 0 while the view
// stays at the map's top; coming back down, the view stays still until the
// offset is back inside the map, and then scrolls in step again.
TEST(GameInput, TheViewStaysAtTheMapEdgeUntilTheOffsetComesBackInside)
{
    GameSession game;
    ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();
    Pose pose, top;
    auto clampedInStep = [](const Pose& p) {
        return Holds(std::max(p.y - SpriteY, 0) * 2 == p.viewY * 5, p) << ": out of step";
    };

    game.KeyDown(XK_Up);
    ASSERT_TRUE(Follow(game, Axis::Vertical, [](const Pose& p) { return p.y <= SpriteY - 125; }, clampedInStep, top));
    game.KeyUp(XK_Up);
    ASSERT_TRUE(Settle(game, Axis::Vertical, top));

    bool stillWhileWalking = false;
    game.KeyDown(XK_Down);
    const auto back = Follow(
        game, Axis::Vertical, [](const Pose& p) { return p.viewY >= 20; },
        [&](const Pose& p) {
            stillWhileWalking |= p.y > top.y && p.viewY == 0;
            return clampedInStep(p);
        },
        pose);
    ASSERT_TRUE(back);
    game.KeyUp(XK_Down);
    EXPECT_TRUE(stillWhileWalking) << "no frame caught the sprite walking down under a still view";
}

TEST(GameInput, EscapeAndTheWindowsCloseRequestEndTheGameWithStatusZero)
{
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "close request");
        GameSession game;
        ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();
        if (escape)
            game.Tap(XK_Escape);
        else
            game.RequestClose();
        EXPECT_EQ(game.WaitForExit(Patience), 0) << game.ErrorOutput();
    }
}

// Frames are held to 40 ms each, so a held arrow cannot carry the sprite
// further than 5 pixels for each 1/25 s the key was down, give or take the
// frames at either end.
TEST(GameInput, AHeldArrowMovesTheSpriteNoFasterThanTwentyFiveFramesASecond)
{
    GameSession game;
    ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();
    const double pressed = Now();
    game.KeyDown(XK_Right);
    // Three seconds at least, and until the sprite has walked: a busy
    // machine only makes it walk less far in the time.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    std::vector<SpriteSighting> sprite;
    double seconds = 0;
    ASSERT_TRUE(game.WaitFor(
        [&](const Pixels& screen) {
            seconds = Now() - pressed;
            sprite = FindSprite(screen, SpriteX + 1, ScreenWidth, SpriteY, SpriteY);
            return sprite.size() == 1;
        },
        Patience, Band(Axis::Horizontal)));
    game.KeyUp(XK_Right);

    const int walked = sprite[0].x - SpriteX;
    EXPECT_LE(walked, 5 * (25 * seconds + 2)) << "in " << seconds << " s";
}
