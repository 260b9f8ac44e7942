// OpenGLImage on a real GL context: texture sides, transparent padding and
// colour keys, seen in the pixels that a draw leaves in the frame.
#include "Fixtures.h"
#include "GLContext.h"
#include "OpenGLDriver.h"
#include "OpenGLGraphics.h"
#include "OpenGLImage.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>

namespace {

using fixtures::FirstDifference;
using glcontext::LoadPicture;

const Uint32 Blue = 0x0000FF;
const Uint32 Magenta = 0xFF00FF;
const Uint32 Black = 0x000000;
const Uint32 White = 0xFFFFFF;
const Uint32 Green = 0x00FF00;

struct SideCase {
    int width, height;
    int textureWidth, textureHeight;
};

class OpenGLImageSides : public ::testing::TestWithParam<SideCase>
{
};

TEST_P(OpenGLImageSides, TextureSidesAreTheNextPowersOfTwo)
{
    const SideCase c = GetParam();
    fixtures::ScratchDir dir;
    auto picture = LoadPicture(dir, "p.bmp", c.width, c.height, [](int, int) { return White; }, 0);
    EXPECT_EQ(c.width, picture->Width());
    EXPECT_EQ(c.height, picture->Height());
    EXPECT_EQ(c.textureWidth, picture->TextureWidth());
    EXPECT_EQ(c.textureHeight, picture->TextureHeight());
}

INSTANTIATE_TEST_SUITE_P(Sizes, OpenGLImageSides,
                         ::testing::Values(SideCase{64, 64, 64, 64}, SideCase{100, 30, 128, 32},
                                           SideCase{1, 1, 1, 1}, SideCase{65, 3, 128, 4}),
                         [](const ::testing::TestParamInfo<SideCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST(OpenGLImage, PaddingRightOfAndBelowThePictureIsTransparent)
{
    fixtures::ScratchDir dir;
    auto background = LoadPicture(dir, "green.bmp", 256, 64, [](int, int) { return Green; }, 0);
    const auto rgb = [](int x, int y) { return Uint32(0xC00000 | (x * 2) << 8 | (y * 8)); };
    auto picture = LoadPicture(dir, "p.bmp", 100, 30, rgb, 0);
    ASSERT_EQ(128, picture->TextureWidth());
    ASSERT_EQ(32, picture->TextureHeight());

    OpenGLGraphics graphics;
    glcontext::Driver()->BeginDraw();
    graphics.DrawImage(background.get(), 300, 200);
    graphics.DrawImage(picture.get(), 300, 200);

    const auto block = glcontext::ReadBlock(300, 200, 136, 40);
    EXPECT_EQ("", FirstDifference(block, 136, 40, [&](int x, int y) {
                  return x < 100 && y < 30 ? rgb(x, y) : Green;
              }));
}

struct KeyCase {
    int key;
    Uint32 seenWhereBlack;
    Uint32 seenWhereMagenta;
};

class OpenGLImageKeys : public ::testing::TestWithParam<KeyCase>
{
};

TEST_P(OpenGLImageKeys, OnlyTheKeyColourLetsTheBackgroundThrough)
{
    const KeyCase c = GetParam();
    fixtures::ScratchDir dir;
    auto background = LoadPicture(dir, "blue.bmp", 8, 8, [](int, int) { return Blue; }, 0);
    // Columns: black, magenta, white, green.
    const Uint32 columns[] = {Black, Magenta, White, Green};
    auto picture = LoadPicture(dir, "p.bmp", 4, 2, [&](int x, int) { return columns[x]; }, c.key);

    OpenGLGraphics graphics;
    glcontext::Driver()->BeginDraw();
    graphics.DrawImage(background.get(), 40, 40);
    graphics.DrawImage(picture.get(), 40, 40);

    const auto block = glcontext::ReadBlock(40, 40, 4, 2);
    const Uint32 expected[] = {c.seenWhereBlack, c.seenWhereMagenta, White, Green};
    EXPECT_EQ("", FirstDifference(block, 4, 2, [&](int x, int) { return expected[x]; }));
}

INSTANTIATE_TEST_SUITE_P(GameKeys, OpenGLImageKeys,
                         ::testing::Values(KeyCase{0, Blue, Magenta}, KeyCase{0xFF00FF, Black, Blue}),
                         [](const ::testing::TestParamInfo<KeyCase>& info) {
                             return std::string(info.param.key ? "MagentaKey" : "BlackKey");
                         });

TEST(OpenGLImageDeathTest, AMissingFileEndsTheProgramNamingIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fixed path: the death test's child runs this body again, and must
    // ask for the same file.
    const std::string path = "no-such-directory/missing.png";
    ASSERT_EQ(nullptr, IMG_Load(path.c_str()));
    const std::string expected = "Couldn't load '" + path + "': " + SDL_GetError() + "\n";
    EXPECT_EXIT(
        {
            glcontext::Driver();
            OpenGLImage().LoadImage(path, 0);
        },
        ::testing::ExitedWithCode(1), "^" + fixtures::RegexQuoted(expected) + "$");
}

} // namespace
