// A complete session of the real game, every key the player has: it ends
// with status 0 and nothing on standard error. Built with the sanitizers, the
// game's own exit runs LeakSanitizer, which would write any leak there and
// change the status, so this is also the whole game's leak check.

#include "GameSession.h"

#include <gtest/gtest.h>

namespace {

void Hold(GameSession& game, KeySymbol key, double seconds)
{
    game.KeyDown(key);
    game.WaitUntil([] { return false; }, seconds);
    game.KeyUp(key);
}

void Pause(GameSession& game, double seconds)
{
    game.WaitUntil([] { return false; }, seconds);
}

} // namespace

TEST(GameLeak, ACompleteSessionWithEveryKeyEndsCleanly)
{
    GameSession game;
    ASSERT_TRUE(game.WaitForScene(30));

    for (KeySymbol arrow : {XK_Right, XK_Down, XK_Left, XK_Up})
        Hold(game, arrow, 0.5);
    game.KeyDown(XK_Shift_L);
    Hold(game, XK_Up, 0.5);
    game.KeyUp(XK_Shift_L);

    game.Tap(XK_space); // the music stops
    game.Tap(XK_space); // and starts again
    game.Tap(XK_p);     // pauses
    game.Tap(XK_p);     // and resumes
    game.Tap(XK_c);     // the counter shows, rebuilt once a second
    Pause(game, 3);
    game.Tap(XK_c);
    Pause(game, 0.5);
    ASSERT_TRUE(game.Running());

    game.Tap(XK_Escape);
    EXPECT_EQ(game.WaitForExit(30), 0);
    EXPECT_EQ(game.ErrorOutput(), "");
}
