#include "Starfield.h"

#include "Allocations.h"
#include "Controls.h"
#include "Recording.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Pixel = RecordingGraphics::Pixel;

const int Width = 1680, Height = 1050;

struct Star {
    int x, y, depth; // depth as made, before the first Draw
};

// rand() values that make the given stars on a 1680 x 1050 screen: each
// star takes x, y and depth from three calls, in that order.
std::vector<int> RandFor(const std::vector<Star>& stars)
{
    std::vector<int> values;
    for (const Star& s : stars) {
        values.push_back(s.x + Width / 2);
        values.push_back(s.y + Height / 2);
        values.push_back(s.depth);
    }
    return values;
}

int Grey(int level)
{
    return level * 0x010101;
}

class StarfieldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        controls::SetTime(1234567);
        screen.pixels.reserve(10000);
    }
    void TearDown() override { controls::Reset(); }

    // The pixels of the next Draw.
    std::vector<Pixel> Draw(Starfield& field)
    {
        screen.Clear();
        field.Draw();
        return screen.pixels;
    }

    RecordingGraphics screen;
};

// Depth falls by one per Draw and wraps from 1 to 255; grey is 255 - depth.
TEST_F(StarfieldTest, TheCentreStarStaysAtTheCentreAtEveryDepth)
{
    controls::ScriptRand(RandFor({{0, 0, 254}}));
    Starfield field(&screen, Width, Height, 1);
    for (int n = 1; n <= 255; ++n) {
        const int depth = n <= 253 ? 254 - n : n == 254 ? 255 : 254;
        SCOPED_TRACE("draw " + std::to_string(n) + ", depth " + std::to_string(depth));
        EXPECT_EQ(Draw(field), (std::vector<Pixel>{{840, 525, Grey(255 - depth)}}));
    }
}

TEST_F(StarfieldTest, AStarLeavesTheScreenAndStartsAgainFarAwayOnItsRay)
{
    controls::ScriptRand(RandFor({{10, -4, 2}}));
    Starfield field(&screen, Width, Height, 1);
    EXPECT_TRUE(Draw(field).empty()) << "at depth 1 it projects to (3390, -495)";
    EXPECT_EQ(Draw(field), (std::vector<Pixel>{{850, 521, Grey(0)}}));
    EXPECT_EQ(Draw(field), (std::vector<Pixel>{{850, 521, Grey(1)}}));
}

TEST_F(StarfieldTest, ProjectionTruncatesTowardZero)
{
    // x -1 at depth 2: -255 / 2 is -127, not -128; likewise for y.
    controls::ScriptRand(RandFor({{-1, -1, 3}, {1, 1, 3}}));
    Starfield field(&screen, Width, Height, 2);
    EXPECT_EQ(Draw(field), (std::vector<Pixel>{{713, 398, Grey(253)}, {967, 652, Grey(253)}}));
}

// Column 0 and row 0 never show a star, nor do positions at the width or
// height; the pixels just inside do.
TEST_F(StarfieldTest, OnlyPixelsStrictlyInsideTheScreenAreDrawn)
{
    const std::vector<Star> stars = {
        {-840, 0, 0},  // depth 255: sx 0
        {0, -525, 0},  // depth 255: sy 0
        {168, 0, 52},  // depth 51: 168 * 5 = 840, sx 1680
        {0, 105, 52},  // depth 51: 105 * 5 = 525, sy 1050
        {-839, 0, 0},  // sx 1
        {0, -524, 0},  // sy 1
        {839, 524, 0}, // (1679, 1049)
        {-100, 0, 2},  // depth 1: sx -24660, off the left
        {0, -100, 2},  // depth 1: sy -24975, off the top
    };
    controls::ScriptRand(RandFor(stars));
    Starfield field(&screen, Width, Height, static_cast<int>(stars.size()));
    EXPECT_EQ(Draw(field), (std::vector<Pixel>{{1, 525, 0}, {840, 1, 0}, {1679, 1049, 0}}));
}

TEST_F(StarfieldTest, TheGeneratorIsSeededWithTheTimeAndNoStarsDrawNothing)
{
    for (int count : {100, 0, -5}) {
        SCOPED_TRACE("count " + std::to_string(count));
        controls::Reset();
        controls::SetTime(987654);
        Starfield field(&screen, Width, Height, count);
        EXPECT_EQ(controls::Seeds(), std::vector<unsigned>{987654u});
        EXPECT_EQ(Draw(field).empty(), count <= 0);
        EXPECT_EQ(Draw(field).empty(), count <= 0);
    }
}

// With the real generator: every star is on screen somewhere within a cycle,
// and the 256th Draw repeats the first exactly.
TEST_F(StarfieldTest, TheFieldRepeatsEvery255Draws)
{
    Starfield field(&screen, Width, Height, 5000);
    const std::vector<Pixel> first = Draw(field);
    ASSERT_FALSE(first.empty());
    for (const Pixel& p : first) {
        ASSERT_GT(p.x, 0);
        ASSERT_LT(p.x, Width);
        ASSERT_GT(p.y, 0);
        ASSERT_LT(p.y, Height);
    }
    const std::vector<Pixel> second = Draw(field);
    EXPECT_NE(second, first);
    for (int n = 3; n <= 255; ++n)
        Draw(field);
    EXPECT_EQ(Draw(field), first);
    EXPECT_EQ(Draw(field), second);
}

TEST_F(StarfieldTest, DrawAllocatesNothing)
{
    Starfield field(&screen, Width, Height, 5000);
    Draw(field);
    screen.Clear();
    const long before = allocations::Count();
    field.Draw();
    EXPECT_EQ(allocations::Count(), before);
    EXPECT_FALSE(screen.pixels.empty());
}

} // namespace
