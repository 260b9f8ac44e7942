#include "PlayerInput.h"

#include "Oblong.h"
#include "Scene.h"
#include "Sprite.h"

PlayerInput::PlayerInput(Sprite* sprite, Oblong* spriteSource, Mix_Music* music)
    : sprite(sprite), spriteSource(spriteSource), music(music)
{
}

void PlayerInput::Handle(const SDL_Event& event)
{
    if (event.type == SDL_QUIT)
        quit = true;
    else if (event.type == SDL_KEYDOWN)
        KeyDown(event.key.keysym);
    else if (event.type == SDL_KEYUP)
        KeyUp(event.key.keysym);
}

void PlayerInput::KeyDown(const SDL_keysym& key)
{
    switch (key.sym) {
    case SDLK_ESCAPE:
        quit = true;
        break;
    case SDLK_SPACE:
        if (Mix_PlayingMusic() == 0)
            Mix_PlayMusic(music, -1);
        else
            Mix_HaltMusic();
        break;
    case SDLK_c:
        counterShown = !counterShown;
        break;
    case SDLK_p:
        if (Mix_PausedMusic() == 1)
            Mix_ResumeMusic();
        else
            Mix_PauseMusic();
        break;
    case SDLK_UP:
        sprite->YVelocity(key.mod & (KMOD_LSHIFT | KMOD_RSHIFT) ? -10 : -5);
        verticalStep = -2;
        break;
    case SDLK_DOWN:
        sprite->YVelocity(5);
        verticalStep = 2;
        break;
    case SDLK_RIGHT:
        sprite->XVelocity(5);
        spriteSource->y = scene::FrameSide;
        sprite->Animate(true);
        horizontalStep = 2;
        break;
    case SDLK_LEFT:
        sprite->XVelocity(-5);
        spriteSource->y = 0;
        sprite->Animate(true);
        horizontalStep = -2;
        break;
    default:
        break;
    }
}

void PlayerInput::KeyUp(const SDL_keysym& key)
{
    switch (key.sym) {
    case SDLK_UP:
    case SDLK_DOWN:
        sprite->YVelocity(0);
        verticalStep = 0;
        break;
    case SDLK_RIGHT:
    case SDLK_LEFT:
        sprite->XVelocity(0);
        sprite->Animate(false);
        horizontalStep = 0;
        break;
    default:
        break;
    }
}
