#ifndef VEXLUME_DATACHECK_H
#define VEXLUME_DATACHECK_H

#include "MapCheck.h"

#include <ostream>
#include <string>

// Checks a whole data folder as the game will load it: every file the game
// opens from share/, with the library the game reads it with, and what the
// game then does with it (the colour key each picture gets, transparency it
// ignores, pictures too large for the screen or a texture, a sprite sheet
// smaller than the frames the game cuts from it, a font that draws nothing
// for the counter, music the mixer will not play) and the map with its tile
// set. A modder's files may be anything under the game's names.
class DataCheck
{
public:
    // Checks the files below the working directory, which stands for the
    // folder the game would run in; shown names that folder in the report.
    // The status is the map checker's: the worst file counts.
    static MapCheck::Status Check(const std::string& shown, std::ostream& out);
};

#endif
