#include "Fatal.h"
#include "MapCheck.h"
#include "MapPlay.h"
#include "PngFile.h"
#include "PreviewTilemap.h"

#include <cstring>
#include <iostream>

namespace {

const char* const Help =
    "Usage: vexlume-mapcheck FILE...\n"
    "       vexlume-mapcheck --render OUT.png MAP\n"
    "       vexlume-mapcheck --play MAP\n"
    "\n"
    "Reads Vexlume map files exactly as the game does and prints what the game\n"
    "will see: the header lines, the tile set path, the tile and map sizes, and\n"
    "the grid's extent and tile numbers. It warns, naming the line, about what\n"
    "makes the game read a map differently from how it was probably meant:\n"
    "carriage returns at line ends, anything but a line feed right after the\n"
    "line-2 number (every later line shifts), fewer grid values than cells, text\n"
    "inside the grid, values after the grid, and tile numbers outside the tile\n"
    "set. It reports as an error, naming the line, every reason the game would\n"
    "not play the map: a tile set that cannot be loaded, tiles or a tile set\n"
    "of no size, a map too large to hold, and a map smaller than the game's\n"
    "8 x 6 tile camera window plus one tile.\n"
    "\n"
    "Relative tile set paths are resolved against the current directory, as the\n"
    "game does: run it from the directory that holds share/.\n"
    "\n"
    "With --render it also draws the whole of MAP, every cell as the game draws\n"
    "it, into the PNG picture OUT.png; where the game draws nothing (the tile\n"
    "set's black, tile numbers that show no tile) the picture is transparent.\n"
    "A map with errors, or one wider or higher than 16384 pixels, gets no\n"
    "picture.\n"
    "\n"
    "With --play it checks MAP and, unless it has errors, starts the game with\n"
    "MAP in place of share/test.map and the tile set MAP names, in a scratch\n"
    "directory that links to the game's data, which stays untouched. It waits\n"
    "for the game, removes the scratch directory, and ends with the game's\n"
    "exit status.\n"
    "\n"
    "Exit status: 0 when every file is clean, 1 when there were only warnings\n"
    "(the game plays the map), 2 when a file could not be read, 3 when the game\n"
    "will not play a map: it refuses it or stops on it. With several files the\n"
    "highest counts. With --render: 0 when the picture was written, 1 when it\n"
    "could not be, 2 or 3 as above. With --play: the game's status, or 2 or 3\n"
    "as above when the game was not started.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << Help;
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << Help;
            return 0;
        }
    }
    if (std::strcmp(argv[1], "--render") == 0) {
        if (argc != 4) {
            std::cerr << "Usage: vexlume-mapcheck --render OUT.png MAP\n";
            return 2;
        }
        const std::string picture = argv[2];
        const MapCheck::Status checked = MapCheck::Check(argv[3], std::cout);
        if (checked >= MapCheck::Unreadable)
            return checked;
        const PreviewTilemap map(argv[3]);
        const std::string problem = WritePng(picture, map.PixelWidth(), map.PixelHeight(), map.Render());
        if (!problem.empty())
            FailWithLine("Couldn't write '" + picture + "': " + problem + "\n");
        return 0;
    }
    if (std::strcmp(argv[1], "--play") == 0) {
        if (argc != 3) {
            std::cerr << "Usage: vexlume-mapcheck --play MAP\n";
            return 2;
        }
        std::string game, data;
        if (!MapPlay::Find(game, data))
            return MapCheck::Unreadable;
        const MapPlay play(game, data);
        const std::string map = play.LookFromGame(argv[2]);
        const MapCheck::Status checked = MapCheck::Check(map, std::cout);
        return checked >= MapCheck::Unreadable ? checked : play.Play(map);
    }
    int status = MapCheck::Clean;
    for (int i = 1; i < argc; ++i) {
        const int result = MapCheck::Check(argv[i], std::cout);
        if (result > status)
            status = result;
    }
    return status;
}
