#include "Fixtures.h"
#include "SDLGraphics.h"
#include "SDLImage.h"
#include "SDLScreen.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const Uint32 Background = 0x405060;
// One column of each colour that a key may name.
const std::vector<Uint32> Stripes = {0x000000, 0xFF00FF, 0xFF0000, 0x0000FF, 0xFFFFFF, 0x00FF00};

struct KeyCase {
    int key;
    std::set<Uint32> keyedOut;
};

// The SDL back-end reads the key with red in its low byte and blue in its
// third, so only 0, 0xFF00FF and 0xFFFFFF mean what they look like.
const KeyCase KeyCases[] = {
    {0x000000, {0x000000}},
    {0xFF00FF, {0xFF00FF}},
    {0xFF0000, {0x0000FF}},
    {0x0000FF, {0xFF0000}},
    {0xFFFFFF, {0xFFFFFF}},
    {0x1000000, {}},
};

TEST(SDLImageColourKey, KeyedColourShowsTheBackgroundAndEveryOtherIsDrawn)
{
    fixtures::ScratchDir dir;
    const std::string path = dir / "stripes.bmp";
    fixtures::WritePicture(path, static_cast<int>(Stripes.size()), 2,
                           [](int x, int) { return Stripes[static_cast<size_t>(x)]; });
    SDLGraphics graphics(sdlscreen::Screen());
    for (const KeyCase& c : KeyCases) {
        SCOPED_TRACE(testing::Message() << "key 0x" << std::hex << c.key);
        SDLImage picture;
        picture.LoadImage(path, c.key);
        sdlscreen::Fill(Background);
        graphics.DrawImage(&picture, 10, 20);
        for (size_t i = 0; i < Stripes.size(); ++i) {
            const Uint32 expected = c.keyedOut.count(Stripes[i]) ? Background : Stripes[i];
            for (int y = 20; y < 22; ++y)
                EXPECT_EQ(expected, sdlscreen::Colour(10 + static_cast<int>(i), y))
                    << "stripe 0x" << std::hex << Stripes[i];
        }
    }
}

TEST(SDLImageLoad, RecordsThePictureSize)
{
    fixtures::ScratchDir dir;
    fixtures::WritePicture(dir / "p.bmp", 37, 5, [](int, int) { return 0x808080u; });
    SDLImage picture;
    picture.LoadImage(dir / "p.bmp", 0);
    EXPECT_EQ(37, picture.Width());
    EXPECT_EQ(5, picture.Height());
}

TEST(SDLImageLoad, SurfaceIsFreedWithThePicture)
{
    fixtures::ScratchDir dir;
    fixtures::WritePicture(dir / "p.bmp", 4, 4, [](int, int) { return 0x808080u; });
    sdlscreen::Screen();
    SDLImage* picture = new SDLImage();
    picture->LoadImage(dir / "p.bmp", 0);
    SDL_Surface* surface = picture->Surface();
    ASSERT_EQ(1, surface->refcount);
    // Our own reference keeps the surface alive to look at after the picture.
    ++surface->refcount;
    delete picture;
    EXPECT_EQ(1, surface->refcount);
    SDL_FreeSurface(surface);
}

TEST(SDLImageLoadDeathTest, MissingFileNamesThePathAndSDLErrorThenExitsWith1)
{
    fixtures::ScratchDir dir;
    const std::string path = dir / "absent.png";
    sdlscreen::Screen();
    // What SDL says about this file, asked independently of the picture.
    ASSERT_EQ(nullptr, IMG_Load(path.c_str()));
    const std::string error = SDL_GetError();
    ASSERT_FALSE(error.empty());
    SDLImage picture;
    EXPECT_EXIT(picture.LoadImage(path, 0), testing::ExitedWithCode(1),
                "^" + fixtures::RegexQuoted("Couldn't load '" + path + "': " + error) + "\n$");
}

} // namespace
