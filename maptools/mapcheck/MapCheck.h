#ifndef VEXLUME_MAPCHECK_H
#define VEXLUME_MAPCHECK_H

#include <ostream>
#include <string>

// Tells a map maker what the game will see in a map file: it reads the file
// with the game's own reader and reports the header, sizes and grid, with a
// warning, naming the line, for every trap of the format that makes the game
// read something other than what was probably meant, and an error for every
// reason the game would not play the map.
class MapCheck
{
public:
    // Ordered by weight: with several files the highest counts.
    // Unplayable: the game refuses the map, stops on it or draws none of it.
    // TiledFile: not a Vexlume map but the Tiled map editor's own file,
    // which is exported as one.
    enum Status { Clean = 0, Warned = 1, Unreadable = 2, Unplayable = 3, TiledFile = 4 };

    // Checks the map file at path, naming it name in the report written to
    // out. The tile set path is looked for from the working directory, as
    // the game looks for it from the directory it runs in; from says which
    // directory that is and why, for the report.
    static Status Check(const std::string& path, const std::string& name, const std::string& from,
                        std::ostream& out);
};

#endif
