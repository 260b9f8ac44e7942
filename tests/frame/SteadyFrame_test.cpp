// Once the game is running, a frame allocates no heap memory: everything a
// frame needs was made before the loop began. The one exception is the frame
// in which the once-a-second counter text is rebuilt.
//
// The real game runs in the repository root on the real data files under the
// test X server. SDL_PollEvent is wrapped at link time: the first call after
// a poll that found nothing starts a new frame, and the wrapper plays the
// player (the counter switched on and the right arrow held once the game has
// run for a second, so the sprite animates, the map scrolls and the counter
// is drawn and rebuilt) and closes the window after a fixed number of frames.
// TTF_RenderText_Solid is wrapped to see which frames rebuilt the counter.
// Global operator new counts every allocation made with new, by the game and
// by the standard library on its behalf.
#include "Allocations.h"
#include "Game.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int FramesPlayed = 60;
// The player starts once SDL's clock has passed its first second: before
// that the counter's once-a-second test wraps around and rebuilds the text
// in every frame, which a quick start-up would otherwise run into.
const Uint32 PlayerStartsAfterTicks = 1100;
int playerStartsAt = -1;
// Frames before steadyFrom may still build what the first use of a drawing
// state needs (the GL driver compiles its shaders lazily).
const int SettlingFrames = 3;

struct Frame {
    long allocations;
    bool counterRebuilt;
};

// Filled while the game runs; reserved beforehand so that recording a frame
// does not itself allocate.
std::vector<Frame>& Frames()
{
    static auto* frames = new std::vector<Frame>();
    return *frames;
}

int frame = -1;
long allocationsAtFrameStart = 0;
bool counterRebuilt = false;
bool previousPollFoundNothing = true;
int injectedThisFrame = 0;

void KeyDown(SDL_Event* event, SDLKey key)
{
    event->type = SDL_KEYDOWN;
    event->key.type = SDL_KEYDOWN;
    event->key.state = SDL_PRESSED;
    event->key.keysym.sym = key;
    event->key.keysym.mod = KMOD_NONE;
    event->key.keysym.unicode = 0;
    event->key.keysym.scancode = 0;
}

} // namespace

extern "C" int __real_SDL_PollEvent(SDL_Event* event);
extern "C" SDL_Surface* __real_TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color colour);

extern "C" int __wrap_SDL_PollEvent(SDL_Event* event)
{
    if (previousPollFoundNothing) {
        if (frame >= 0 && Frames().size() < Frames().capacity())
            Frames().push_back({allocations::Count() - allocationsAtFrameStart, counterRebuilt});
        ++frame;
        allocationsAtFrameStart = allocations::Count();
        counterRebuilt = false;
        injectedThisFrame = 0;
    }
    previousPollFoundNothing = false;
    if (playerStartsAt < 0 && frame >= 1 && SDL_GetTicks() >= PlayerStartsAfterTicks)
        playerStartsAt = frame;
    if (frame == playerStartsAt && injectedThisFrame < 2) {
        KeyDown(event, injectedThisFrame++ == 0 ? SDLK_c : SDLK_RIGHT);
        return 1;
    }
    if (playerStartsAt >= 0 && frame == playerStartsAt + FramesPlayed && injectedThisFrame == 0) {
        ++injectedThisFrame;
        event->type = SDL_QUIT;
        return 1;
    }
    const int found = __real_SDL_PollEvent(event);
    previousPollFoundNothing = found == 0;
    return found;
}

extern "C" SDL_Surface* __wrap_TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color colour)
{
    counterRebuilt = true;
    return __real_TTF_RenderText_Solid(font, text, colour);
}

TEST(SteadyFrame, AllocatesNothingButTheCounterRebuild)
{
    // Start-up takes well under a second of frames; room for plenty.
    Frames().reserve(100 + 4 * FramesPlayed);
    delete new Game("Vexlume", "0.0.6");

    const std::vector<Frame>& frames = Frames();
    ASSERT_GE(playerStartsAt, 0) << "the game ended before SDL's clock passed its first second";
    ASSERT_GE(frames.size(), static_cast<size_t>(playerStartsAt + FramesPlayed))
        << "the game ended before the session did";
    const int steadyFrom = playerStartsAt + SettlingFrames;
    int rebuilds = 0;
    int steady = 0;
    std::ostringstream allocating;
    for (size_t i = steadyFrom; i < frames.size(); ++i) {
        if (frames[i].counterRebuilt) {
            ++rebuilds;
            continue;
        }
        ++steady;
        if (frames[i].allocations != 0)
            allocating << " frame " << i << ": " << frames[i].allocations << ";";
    }
    // Frames shown with the counter last 40 ms, so 55 of them span two
    // seconds and at least one rebuild.
    EXPECT_GE(rebuilds, 1) << "the counter was never rebuilt, so its frames were not seen";
    EXPECT_GE(steady, FramesPlayed - SettlingFrames - 5);
    EXPECT_EQ(allocating.str(), "") << "steady frames that allocated (frame: allocations)";
}
