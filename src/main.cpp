#include "Game.h"

#include <string>

const char* TITLE = "Vexlume";
const char* RELEASE = "0.0.6";

int main()
{
    Game* game = new Game(std::string(TITLE), std::string(RELEASE));
    delete game;
    return 0;
}
