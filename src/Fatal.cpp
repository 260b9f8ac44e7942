#include "Fatal.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>

namespace {

bool throwOnFailure = false;

} // namespace

void ThrowOnFatalFailure(bool enabled)
{
    throwOnFailure = enabled;
}

void FailWithSDLError(const std::string& message)
{
    if (throwOnFailure) {
        const char* error = SDL_GetError();
        throw FatalFailure{message + (error ? error : "") + "\n"};
    }
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
    if (throwOnFailure)
        throw FatalFailure{line};
    std::cerr << line << std::flush;
    std::exit(1);
}
