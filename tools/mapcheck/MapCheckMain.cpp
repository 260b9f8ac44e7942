#include "Fatal.h"
#include "MapCheck.h"
#include "PngFile.h"
#include "PreviewTilemap.h"

#include <cstring>
#include <iostream>

namespace {

const char* const Help =
    "Usage: vexlume-mapcheck FILE...\n"
    "       vexlume-mapcheck --render OUT.png MAP\n"
    "\n"
    "Reads Vexlume map files exactly as the game does and prints what the game\n"
    "will see: the header lines, the tile set path, the tile and map sizes, and\n"
    "the grid's extent and tile numbers. It warns, naming the line, about what\n"
    "makes the game read a map differently from how it was probably meant:\n"
    "carriage returns at line ends, anything but a line feed right after the\n"
    "line-2 number (every later line shifts), fewer grid values than cells, text\n"
    "inside the grid, values after the grid, tile numbers outside the tile set,\n"
    "and a map too small to scroll under the game's 8 x 6 tile camera window.\n"
    "\n"
    "Relative tile set paths are resolved against the current directory, as the\n"
    "game does: run it from the directory that holds share/.\n"
    "\n"
    "With --render it also draws the whole of MAP, every cell as the game draws\n"
    "it, into the PNG picture OUT.png; where the game draws nothing (the tile\n"
    "set's black, tile numbers that show no tile) the picture is transparent.\n"
    "A map the game refuses, or one wider or higher than 16384 pixels, is\n"
    "refused with one line on standard error, and no picture is written.\n"
    "\n"
    "Exit status: 0 when every file is clean, 1 when there was a warning, 2 when\n"
    "a file could not be read. With --render: 0 when the picture was written,\n"
    "1 when it was not.\n";

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
        MapCheck::Check(argv[3], std::cout);
        const PreviewTilemap map(argv[3]);
        const std::string problem = WritePng(picture, map.PixelWidth(), map.PixelHeight(), map.Render());
        if (!problem.empty())
            FailWithLine("Couldn't write '" + picture + "': " + problem + "\n");
        return 0;
    }
    int status = MapCheck::Clean;
    for (int i = 1; i < argc; ++i) {
        const int result = MapCheck::Check(argv[i], std::cout);
        if (result > status)
            status = result;
    }
    return status;
}
