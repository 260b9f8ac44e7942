#include "Game.h"

#include <string>

const char* TITLE = "Vexlume";
// The build passes the project's version, so that it is written only there.
const char* RELEASE = VEXLUME_VERSION;

int main()
{
    Game* game = new Game(std::string(TITLE), std::string(RELEASE));
    delete game;
    return 0;
}
