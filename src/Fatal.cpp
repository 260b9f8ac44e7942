#include "Fatal.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>

std::string Printable(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

namespace {

bool throwOnFailure = false;

// The line with everything but its final line feed made printable.
std::string PrintableLine(const std::string& line)
{
    if (!line.empty() && line.back() == '\n')
        return Printable(line.substr(0, line.size() - 1)) + "\n";
    return Printable(line);
}

} // namespace

void ThrowOnFatalFailure(bool enabled)
{
    throwOnFailure = enabled;
}

void FailWithSDLError(const std::string& message)
{
    if (throwOnFailure) {
        const char* error = SDL_GetError();
        throw FatalFailure{Printable(message) + Printable(error ? error : "") + "\n"};
    }
    std::cerr << Printable(message);
    const char* error = SDL_GetError();
    if (error)
        std::cerr << Printable(error) << std::endl;
    else
        std::cerr.setstate(std::ios::badbit);
    std::exit(1);
}

void FailWithLine(const std::string& line)
{
    if (throwOnFailure)
        throw FatalFailure{PrintableLine(line)};
    ReportLine(line);
    std::exit(1);
}

void ReportLine(const std::string& line)
{
    std::cerr << PrintableLine(line) << std::flush;
}
