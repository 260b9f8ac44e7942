#include "Sprite.h"

#include "Controls.h"
#include "Recording.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TestSprite : public Sprite
{
public:
    TestSprite(int sheetWidth, int rate) : Sprite("", -1, -1)
    {
        graphics = recorder = new RecordingGraphics();
        sheet = picture = new FakeImage(sheetWidth, 64);
        frameRate = rate;
    }

    RecordingGraphics* recorder;
    FakeImage* picture;
    using Sprite::frame;
    using Sprite::lastTicks;
    using Sprite::x;
    using Sprite::xVelocity;
    using Sprite::y;
    using Sprite::yVelocity;
};

class SpriteTest : public ::testing::Test
{
protected:
    void SetUp() override { controls::SetTicks(10000); }
    void TearDown() override { controls::Reset(); }

    // Draws after the given wait and says whether the frame stepped.
    bool DrawAfter(TestSprite& sprite, Uint32 wait)
    {
        controls::AdvanceTicks(wait);
        const int before = region.x;
        sprite.Draw(nullptr, &region, -1, -1);
        return region.x != before;
    }

    Oblong region{0, 32, 32, 32};
};

// The step to 96 on the 100-wide sheet is taken because 64 + 32 < 100, even
// though that frame reaches past the sheet's edge.
TEST_F(SpriteTest, FramesWalkAcrossTheSheetAndWrap)
{
    for (int sheetWidth : {128, 100}) {
        SCOPED_TRACE("sheet " + std::to_string(sheetWidth) + " wide");
        TestSprite sprite(sheetWidth, 4);
        region = Oblong(0, 32, 32, 32);
        sprite.Animate(true);
        std::vector<int> xs, frames;
        for (int n = 0; n < 6; ++n) {
            DrawAfter(sprite, 251);
            xs.push_back(region.x);
            frames.push_back(sprite.frame);
        }
        EXPECT_EQ(xs, (std::vector<int>{32, 64, 96, 0, 32, 64}));
        EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 0, 1, 2}));
        EXPECT_EQ((std::vector<int>{region.y, region.w, region.h}), (std::vector<int>{32, 32, 32})) << "only x moves";
    }
}

// At 4 frames a second the period is 250 ms, and a step needs more than it,
// counted from the last step or Animate call.
TEST_F(SpriteTest, AStepNeedsMoreThanOnePeriod)
{
    TestSprite sprite(128, 4);
    sprite.Animate(true);
    EXPECT_FALSE(DrawAfter(sprite, 250));
    EXPECT_TRUE(DrawAfter(sprite, 1));
    EXPECT_FALSE(DrawAfter(sprite, 250));
    EXPECT_TRUE(DrawAfter(sprite, 1));
    // A long gap still gives one step only.
    EXPECT_TRUE(DrawAfter(sprite, 5000));
    EXPECT_EQ(sprite.frame, 3);
    EXPECT_FALSE(DrawAfter(sprite, 0));
    // Animate(true) while on restarts the wait.
    controls::AdvanceTicks(200);
    sprite.Animate(true);
    EXPECT_FALSE(DrawAfter(sprite, 200));
}

TEST_F(SpriteTest, FrameRateZeroNeverSteps)
{
    TestSprite sprite(128, 0);
    sprite.Animate(true);
    for (int n = 0; n < 5; ++n)
        EXPECT_FALSE(DrawAfter(sprite, 100000));
    EXPECT_EQ(sprite.frame, 0);
    EXPECT_EQ(sprite.recorder->blits.size(), 5u);
}

TEST_F(SpriteTest, AnimationOffFreezesTheFrameAndOnGoesOnFromIt)
{
    TestSprite sprite(128, 4);
    EXPECT_FALSE(DrawAfter(sprite, 1000)) << "a new sprite is not animating";
    sprite.Animate(true);
    DrawAfter(sprite, 251);
    DrawAfter(sprite, 251);
    ASSERT_EQ(region.x, 64);
    sprite.Animate(false);
    for (int n = 0; n < 3; ++n)
        EXPECT_FALSE(DrawAfter(sprite, 1000));
    EXPECT_EQ(region.x, 64);
    EXPECT_EQ(sprite.frame, 2);
    sprite.Animate(true);
    EXPECT_FALSE(DrawAfter(sprite, 250));
    EXPECT_TRUE(DrawAfter(sprite, 1));
    EXPECT_EQ(region.x, 96);
    EXPECT_EQ(sprite.frame, 3);
}

TEST_F(SpriteTest, TheFrameShownIsTheOneBeforeTheStep)
{
    TestSprite sprite(128, 4);
    sprite.Animate(true);
    ASSERT_TRUE(DrawAfter(sprite, 251));
    DrawAfter(sprite, 0);
    const std::vector<RecordingGraphics::BlitCall>& blits = sprite.recorder->blits;
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].region.x, 0);
    EXPECT_EQ(blits[1].region.x, 32);
}

// Only -1 stands for the sprite's own coordinate, each axis on its own.
TEST_F(SpriteTest, MinusOneDrawsAtTheSpritesOwnPosition)
{
    struct Case {
        int argX, argY, drawnX, drawnY;
    };
    const std::vector<Case> cases = {
        {-1, -1, 7, 9}, {-1, 40, 7, 40}, {40, -1, 40, 9}, {-2, -1, -2, 9}, {-1, -2, 7, -2}, {0, 0, 0, 0},
    };
    TestSprite sprite(128, 4);
    sprite.SetPosition(7, 9);
    FakeImage target(1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE("arguments " + std::to_string(c.argX) + ", " + std::to_string(c.argY));
        sprite.recorder->Clear();
        sprite.Draw(&target, &region, c.argX, c.argY);
        ASSERT_EQ(sprite.recorder->blits.size(), 1u);
        const RecordingGraphics::BlitCall& blit = sprite.recorder->blits[0];
        EXPECT_EQ(blit.x, c.drawnX);
        EXPECT_EQ(blit.y, c.drawnY);
        EXPECT_EQ(blit.source, sprite.picture);
        EXPECT_EQ(blit.destination, &target);
        EXPECT_TRUE(blit.hadRegion);
        EXPECT_EQ(blit.region.y, 32);
    }
}

TEST_F(SpriteTest, VelocityIsReplacedAndMoveAddsItWithoutBounds)
{
    TestSprite sprite(128, 4);
    EXPECT_EQ(sprite.x, 0);
    EXPECT_EQ(sprite.y, 0);
    sprite.XVelocity(5);
    sprite.XVelocity(5);
    sprite.YVelocity(-3);
    sprite.Move();
    EXPECT_EQ(sprite.x, 5);
    EXPECT_EQ(sprite.y, -3);

    sprite.SetPosition(2, 10);
    sprite.XVelocity(-5);
    sprite.YVelocity(0);
    sprite.Move();
    EXPECT_EQ(sprite.x, -3);
    EXPECT_EQ(sprite.y, 10);
    sprite.Draw(nullptr, &region, -1, -1);
    EXPECT_EQ(sprite.recorder->blits.back().x, -3);
}

// The tick counter wraps after about 49 days; the wait is still measured
// by the small true difference.
TEST_F(SpriteTest, ATickCounterWrapStillStepsByTheTrueDifference)
{
    TestSprite sprite(128, 4);
    controls::SetTicks(0xFFFFFFF0u);
    sprite.Animate(true);
    EXPECT_FALSE(DrawAfter(sprite, 100)); // reads 0x54
    EXPECT_TRUE(DrawAfter(sprite, 151));  // 251 after Animate
    EXPECT_EQ(sprite.lastTicks, 0xFFFFFFF0u + 251u);
    EXPECT_FALSE(DrawAfter(sprite, 250));
    EXPECT_TRUE(DrawAfter(sprite, 1));
}

} // namespace
