#ifndef VEXLUME_PLAYERINPUT_H
#define VEXLUME_PLAYERINPUT_H

#include <SDL.h>
#include <SDL_mixer.h>

class Oblong;
class Sprite;

// The main loop's key bindings. Each event acts at once on the sprite, its
// frame rectangle and the music, which the caller owns and keeps alive; what
// the rest of the frame needs (the map's scroll steps, the counter's
// visibility, the request to quit) is left in the public fields.
class PlayerInput
{
public:
    PlayerInput(Sprite* sprite, Oblong* spriteSource, Mix_Music* music);

    void Handle(const SDL_Event& event);

    int horizontalStep = 0;
    int verticalStep = 0;
    bool counterShown = false;
    bool quit = false;

private:
    void KeyDown(const SDL_keysym& key);
    void KeyUp(const SDL_keysym& key);

    Sprite* sprite;
    Oblong* spriteSource;
    Mix_Music* music;
};

#endif
