// The whole scene as the player sees it, read back from the X server and
// compared pixel for pixel with the pictures, sprite sheet and map in share/.

#include "GameSession.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

using namespace layout;

namespace {

// What the frame must show at (x, y), from the topmost layer down; nullopt
// where only the star field shows, which is grey or black.
std::optional<Uint32> Expected(int x, int y, const SpriteSighting& sprite)
{
    const SceneArt& art = SceneArt::Get();
    if (Box{sprite.x, sprite.y, Frame, Frame}.Contains(x, y)) {
        const Uint32 c = art.sheet.At(sprite.index * Frame + x - sprite.x, sprite.row + y - sprite.y);
        if (c != 0)
            return c;
    }
    if (Box{WindowX, WindowY, WindowWidth, WindowHeight}.Contains(x, y)) {
        const Uint32 c = art.map.At(x - WindowX, y - WindowY);
        if (c != 0)
            return c;
    }
    if (x == CentreX && y == CentreY)
        return 0xFF0000;
    if (art.second.Contains(x - SecondX, y - SecondY)) {
        const Uint32 c = art.second.At(x - SecondX, y - SecondY);
        if (c != 0xFF00FF)
            return c;
    }
    if (art.title.Contains(x, y) && art.title.At(x, y) != 0)
        return art.title.At(x, y);
    return std::nullopt;
}

std::string Hex(Uint32 c)
{
    std::ostringstream out;
    out << std::hex << "0x" << c;
    return out.str();
}

// Counts the pixels that differ from the scene with the map at offset
// (0, 0) and the sprite where it was seen, and describes the first few.
std::string Differences(const Pixels& screen, const SpriteSighting& sprite)
{
    int wrong = 0;
    std::ostringstream first;
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < screen.width; ++x) {
            const std::optional<Uint32> expected = Expected(x, y, sprite);
            const Uint32 shown = screen.At(x, y);
            if (expected ? shown == *expected : IsGrey(shown))
                continue;
            if (++wrong <= 5)
                first << " (" << x << "," << y << ") shows " << Hex(shown) << " instead of "
                      << (expected ? Hex(*expected) : "a grey star") << ";";
        }
    }
    return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ:" + first.str();
}

int CountOf(const Pixels& screen, Uint32 colour)
{
    return static_cast<int>(std::count(screen.rgb.begin(), screen.rgb.end(), colour));
}

} // namespace

TEST(GameScene, PicturesMapSpriteAndCentrePixelLieInPlaceOverGreyStars)
{
    GameSession game;
    Pixels screen;
    ASSERT_TRUE(game.WaitForScene(Patience, &screen)) << game.ErrorOutput();

    // At the start the sprite stands on the centre pixel, in the first
    // frame of the row at y 0, and the map shows its top-left corner.
    EXPECT_EQ(Differences(screen, {SpriteX, SpriteY, 0, 0}), "");
    EXPECT_EQ(CountOf(screen, 0xFF00FF), 0) << "magenta is the second picture's see-through colour";

    // Walking up uncovers the centre pixel; the map cannot scroll above its
    // top, so the view stays where it was.
    game.KeyDown(XK_Up);
    std::vector<SpriteSighting> sprite;
    ASSERT_TRUE(game.WaitFor(
        [&](const Pixels& shown) {
            sprite = FindSprite(shown, SpriteX, SpriteX, 0, SpriteY - 2 * Frame);
            return !sprite.empty();
        },
        Patience, {SpriteX, 0, Frame, SpriteY}));
    game.KeyUp(XK_Up);
    screen = game.Grab();
    sprite = FindSprite(screen, SpriteX, SpriteX, 0, SpriteY - 2 * Frame);
    ASSERT_EQ(sprite.size(), 1u);
    EXPECT_EQ(screen.At(CentreX, CentreY), 0xFF0000u);
    EXPECT_EQ(Differences(screen, sprite[0]), "");
}

namespace {

struct Text {
    std::string text;
    Pixels pixels;
};

// The counter texts the game may show, rendered here as the game renders
// them: the font at 28 points, solid white.
std::vector<Text> CounterTexts()
{
    EXPECT_EQ(TTF_Init(), 0);
    TTF_Font* font = TTF_OpenFont(VEXLUME_SOURCE_DIR "/share/formplex12.ttf", 28);
    EXPECT_NE(font, nullptr) << SDL_GetError();
    std::vector<Text> texts;
    if (!font)
        return texts;
    for (int n = -1; n <= 60; ++n) {
        const std::string text = n < 0 ? "FPS: " : "FPS: " + std::to_string(n);
        SDL_Surface* surface = TTF_RenderText_Solid(font, text.c_str(), SDL_Color{255, 255, 255, 0});
        texts.push_back({text, SurfacePixels(surface)});
        SDL_FreeSurface(surface);
    }
    TTF_CloseFont(font);
    return texts;
}

// The text whose white pixels are exactly the white pixels at the top-left
// corner, where the title picture lies under the counter; "" for none.
std::string TextShown(const Pixels& screen, const std::vector<Text>& texts)
{
    int width = 0, height = 0;
    for (const Text& t : texts) {
        width = std::max(width, t.pixels.width);
        height = std::max(height, t.pixels.height);
    }
    const Pixels& title = SceneArt::Get().title;
    auto whiteIn = [](const Pixels& p, int x, int y) { return p.Contains(x, y) && p.At(x, y) == 0xFFFFFF; };
    std::vector<bool> white(static_cast<size_t>(width) * height);
    bool any = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (whiteIn(screen, x, y) && !whiteIn(title, x, y))
                any = white[static_cast<size_t>(y) * width + x] = true;
    if (!any)
        return "";
    for (const Text& t : texts) {
        bool same = true;
        for (int y = 0; same && y < height; ++y)
            for (int x = 0; same && x < width; ++x)
                same = white[static_cast<size_t>(y) * width + x] == (whiteIn(t.pixels, x, y) && !whiteIn(title, x, y));
        if (same)
            return t.text;
    }
    return "something else";
}

} // namespace

TEST(GameScene, CounterShowsItsPrefixThenFramesOfTheLastSecondAndHidesAgain)
{
    const std::vector<Text> texts = CounterTexts();
    ASSERT_FALSE(texts.empty());
    GameSession game;
    ASSERT_TRUE(game.WaitForScene()) << game.ErrorOutput();
    Box corner{0, 0, 0, 0};
    for (const Text& t : texts) {
        corner.w = std::max(corner.w, t.pixels.width);
        corner.h = std::max(corner.h, t.pixels.height);
    }
    std::string shown;
    auto read = [&](const Pixels& screen) { return !(shown = TextShown(screen, texts)).empty(); };
    ASSERT_EQ(shown = TextShown(game.Grab(corner), texts), "");

    // The bare prefix shows until the first count is due, a second after
    // the loop began, or at once while SDL's clock is below 1000 ms; which
    // of the two the first grab catches depends on the machine's speed.
    game.Tap(XK_c);
    ASSERT_TRUE(game.WaitFor(read, Patience, corner));
    if (shown == "FPS: ") {
        ASSERT_TRUE(game.WaitFor([&](const Pixels& screen) { return read(screen) && shown != "FPS: "; }, Patience, corner));
    }
    ASSERT_EQ(shown.rfind("FPS: ", 0), 0u) << shown;
    const int frames = std::stoi(shown.substr(5));
    EXPECT_GE(frames, 1);
    EXPECT_LE(frames, 25) << "at most 25 frames a second";

    // The counts of the next seconds, over whole seconds.
    std::set<std::string> later;
    game.WaitFor([&](const Pixels& screen) { return read(screen), later.insert(shown), false; }, 2.5, corner);
    for (const std::string& text : later) {
        ASSERT_EQ(text.rfind("FPS: ", 0), 0u) << text;
        EXPECT_LE(std::stoi(text.substr(5)), 25) << text;
    }

    game.Tap(XK_c);
    EXPECT_TRUE(game.WaitFor([&](const Pixels& screen) { return !read(screen); }, Patience, corner))
        << "still shows " << shown;
}
