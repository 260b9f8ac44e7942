#ifndef VEXLUME_GAME_H
#define VEXLUME_GAME_H

#include "Oblong.h"
#include "Scene.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <string>

class Graphics;
class Image;
class Sprite;
class Tilemap;
class VideoDriver;

// The whole game runs inside the constructor: banner, SDL, audio, fonts, the
// video back-end, the scene (Create) and the main loop (Demo). It returns
// once the player quits; deleting the game then releases everything
// (Destroy, driver last) and shuts the libraries down. Any failure ends the
// process at once with one line on standard error and status 1.
class Game
{
public:
    Game(std::string title, std::string version);
    ~Game();

    // Both always return true: Create ends the program on any failure, and
    // Destroy has none.
    bool Create();
    void Demo();
    bool Destroy();

private:
    void Start();
    // Makes the counter picture show the latest rendered text.
    void ShowCounterText(SDL_Surface* rendered);

    std::string title;
    std::string version;
    // 0 is the SDL software surface, 1 OpenGL, which the game always uses.
    int driverKind = 1;
    VideoDriver* driver = nullptr;
    Graphics* graphics = nullptr;
    Image* titleImage = nullptr;
    Image* secondImage = nullptr;
    Sprite* sprite = nullptr;
    Tilemap* tilemap = nullptr;
    SDL_Surface* fpsText = nullptr;
    TTF_Font* font = nullptr;
    Mix_Chunk* sound = nullptr;
    Mix_Music* music = nullptr;
    Oblong spriteSource;
    int screenWidth = scene::ScreenWidth;
    int screenHeight = scene::ScreenHeight;
    int screenDepth = scene::ScreenDepth;
    SDL_Event event;
    SDL_Color textColor;
    // The counter text as a picture of the active back-end, rebuilt from
    // fpsText whenever that changes.
    Image* fpsImage = nullptr;
};

#endif
