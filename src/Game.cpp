#include "Game.h"

#include "Fatal.h"
#include "OpenGLDriver.h"
#include "OpenGLGraphics.h"
#include "OpenGLImage.h"
#include "OpenGLSprite.h"
#include "OpenGLTilemap.h"
#include "PlayerInput.h"
#include "SDLDriver.h"
#include "SDLGraphics.h"
#include "SDLImage.h"
#include "SDLSprite.h"
#include "SDLTilemap.h"
#include "Starfield.h"

#include <cstdlib>
#include <iostream>

namespace {

const Uint32 FrameMilliseconds = 40;

} // namespace

Game::Game(std::string title, std::string version) : title(title), version(version), spriteSource(0, 0, 0, 0)
{
    Start();
    Create();
    Demo();
}

void Game::Start()
{
    std::cout << title << " " << version << std::endl;

    if (SDL_Init(0) != 0)
        FailWithSDLError("Unable to initialize SDL: ");
    std::atexit(SDL_Quit);
    if (Mix_OpenAudio(22050, 0x8010, 2, 2048) == -1)
        FailWithSDLError("Unable to initialize the audio system: ");
    if (TTF_Init() == -1)
        FailWithSDLError("Unable to initialize TTF: ");

    if (driverKind == 0) {
        driver = new SDLDriver(screenWidth, screenHeight, screenDepth, title, true);
        graphics = new SDLGraphics(SDL_GetVideoSurface());
    } else {
        driver = new OpenGLDriver(screenWidth, screenHeight, screenDepth, title, true);
        graphics = new OpenGLGraphics();
    }
    driver->ShowMouse(false);
}

Game::~Game()
{
    Destroy();
    Mix_CloseAudio();
    TTF_Quit();
    SDL_Quit();
}

bool Game::Create()
{
    if (driverKind == 0) {
        titleImage = new SDLImage();
        secondImage = new SDLImage();
        sprite = new SDLSprite(scene::SpriteSheet, scene::SpriteKey, scene::SpriteFramesPerSecond);
        tilemap = new SDLTilemap(scene::Map);
    } else {
        titleImage = new OpenGLImage();
        secondImage = new OpenGLImage();
        sprite = new OpenGLSprite(scene::SpriteSheet, scene::SpriteKey, scene::SpriteFramesPerSecond);
        tilemap = new OpenGLTilemap(scene::Map);
    }
    titleImage->LoadImage(scene::TitlePicture, scene::TitleKey);
    secondImage->LoadImage(scene::SecondPicture, scene::SecondKey);
    sprite->SetPosition(screenWidth / 2 - scene::FrameSide / 2, screenHeight / 2 - scene::FrameSide / 2);

    font = TTF_OpenFont(scene::Font, scene::FontPoints);
    if (!font)
        FailWithSDLError("Unable to load TTF font: ");
    textColor.r = 255;
    textColor.g = 255;
    textColor.b = 255;
    sound = nullptr;
    music = Mix_LoadMUS(scene::Music);
    if (!music)
        FailWithSDLError("Couldn't load music: ");
    return true;
}

void Game::ShowCounterText(SDL_Surface* rendered)
{
    // A failed rendering keeps the previous text on screen.
    if (!rendered)
        return;
    SDL_FreeSurface(fpsText);
    fpsText = rendered;
    // The text is rendered on black, which the colour key leaves out.
    fpsImage->LoadSurface(fpsText, 0);
}

void Game::Demo()
{
    tilemap->SetCamera(scene::CameraColumns, scene::CameraRows, scene::CameraX, scene::CameraY);
    if (Mix_PlayMusic(music, -1) == -1)
        FailWithSDLError("Can't play music: ");
    Uint32 frameStart = SDL_GetTicks();
    if (driverKind == 0)
        fpsImage = new SDLImage();
    else
        fpsImage = new OpenGLImage();
    ShowCounterText(TTF_RenderText_Solid(font, scene::CounterPrefix, textColor));
    Starfield* starfield = new Starfield(graphics, screenWidth, screenHeight, scene::StarCount);

    spriteSource = Oblong(0, 0, scene::FrameSide, scene::FrameSide);
    PlayerInput input(sprite, &spriteSource, music);
    Uint32 lastCounterUpdate = frameStart;
    int horizontalOffset = 0;
    int verticalOffset = 0;
    int frameCount = 0;

    while (!input.quit) {
        while (SDL_PollEvent(&event))
            input.Handle(event);

        driver->BeginDraw();
        starfield->Draw();
        graphics->DrawImage(titleImage, 0, 0);
        graphics->DrawImage(secondImage, scene::SecondX, scene::SecondY);
        graphics->PutPixel(screenWidth / 2, screenHeight / 2, 0xFF0000);
        verticalOffset += input.verticalStep;
        horizontalOffset += input.horizontalStep;
        tilemap->Draw(nullptr, horizontalOffset, verticalOffset);
        sprite->Move();
        sprite->Draw(nullptr, &spriteSource, -1, -1);
        if (input.counterShown && fpsText)
            graphics->Blit(fpsImage, nullptr, nullptr, 0, 0);
        driver->EndDraw();

        const Uint32 elapsed = SDL_GetTicks() - frameStart;
        if (elapsed < FrameMilliseconds)
            SDL_Delay(FrameMilliseconds - elapsed);
        frameStart = SDL_GetTicks();

        if (input.counterShown) {
            ++frameCount;
            if (SDL_GetTicks() - 1000 >= lastCounterUpdate) {
                lastCounterUpdate = SDL_GetTicks();
                const std::string text = scene::CounterPrefix + std::to_string(frameCount);
                ShowCounterText(TTF_RenderText_Solid(font, text.c_str(), textColor));
                frameCount = 0;
            }
        }
    }
    delete starfield;
}

bool Game::Destroy()
{
    delete graphics;
    graphics = nullptr;
    delete titleImage;
    titleImage = nullptr;
    delete secondImage;
    secondImage = nullptr;
    delete sprite;
    sprite = nullptr;
    delete tilemap;
    tilemap = nullptr;
    delete fpsImage;
    fpsImage = nullptr;
    SDL_FreeSurface(fpsText);
    fpsText = nullptr;
    TTF_CloseFont(font);
    font = nullptr;
    Mix_FreeMusic(music);
    music = nullptr;
    Mix_FreeChunk(sound);
    sound = nullptr;
    delete driver;
    driver = nullptr;
    return true;
}
