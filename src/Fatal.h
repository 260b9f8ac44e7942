#ifndef VEXLUME_FATAL_H
#define VEXLUME_FATAL_H

#include <string>

// Every failure in Vexlume is fatal and reported the same way: one line on
// standard error, then exit(1). Destructors do not run on this path; the
// atexit(SDL_Quit) registration still restores the screen.

// Both write control bytes inside the text (a path from a data file may hold
// any) as \xNN, so that a failure is always one line.

// The text with every control byte written as \xNN: how the game, and every
// tool that reports on its data, shows a path or text taken from a file, so
// that it stays on one line and cannot drive the terminal.
std::string Printable(const std::string& text);

// Writes message, then SDL_GetError() and an end of line, and exits with 1.
// If SDL has no error text the stream is put into its failed state instead,
// so nothing after the message is written.
[[noreturn]] void FailWithSDLError(const std::string& message);

// Writes the line as given (which must end in '\n') and exits with 1.
[[noreturn]] void FailWithLine(const std::string& line);

// Writes the line as FailWithLine does, for the one report that is not
// fatal by itself (a map file that cannot be opened), and returns.
void ReportLine(const std::string& line);

// Programs that run the game's loading code without being the game (a fuzzer
// feeding it arbitrary maps, for one) may have failures thrown as
// FatalFailure, carrying the line, instead of ending the process. The game
// never changes this.
struct FatalFailure {
    std::string line;
};
void ThrowOnFatalFailure(bool enabled);

#endif
