#include "Fatal.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>

void FailWithSDLError(const std::string& message)
{
    std::cerr << message;
    const char* error = SDL_GetError();
    if (error)
        std::cerr << error << std::endl;
    else
        std::cerr.setstate(std::ios::badbit);
    std::exit(1);
}

void FailWithLine(const std::string& line)
{
    std::cerr << line << std::flush;
    std::exit(1);
}
