#include "DataCheck.h"
#include "Fatal.h"
#include "MapCheck.h"
#include "MapPlay.h"
#include "PngFile.h"
#include "PreviewTilemap.h"
#include "Scene.h"
#include "TiledFormat.h"

#include <filesystem>
#include <iostream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string Camera = std::to_string(scene::CameraColumns) + " x " + std::to_string(scene::CameraRows);

const std::string Help =
    "Usage: vexlume-mapcheck [--from DIR] MAP...\n"
    "       vexlume-mapcheck [--from DIR] --render OUT.png MAP\n"
    "       vexlume-mapcheck [--from DIR] --play MAP\n"
    "       vexlume-mapcheck --data DIR\n"
    "       vexlume-mapcheck --play DIR\n"
    "       vexlume-mapcheck --enable-tiled\n"
    "\n"
    "Reads Vexlume map files exactly as the game does and prints what the game\n"
    "will see: the header lines, the tile set path, the tile and map sizes, and\n"
    "the grid's extent and tile numbers. It warns, naming the line, about what\n"
    "makes the game read a map differently from how it was probably meant:\n"
    "carriage returns at line ends, anything but a line feed right after the\n"
    "line-2 number (every later line shifts), blanks around the tile set's name,\n"
    "a grid line longer or shorter than a map row, a header whose column or row\n"
    "count disagrees with the grid's lines, fewer grid values than cells, text\n"
    "inside the grid, values after the grid, and tile numbers outside the tile\n"
    "set. It reports as an error, naming the line, every reason the game would\n"
    "not play the map: a tile set that cannot be loaded, tiles or a tile set\n"
    "of no size, a map too large to hold, and a map smaller than the game's\n" +
    Camera + " tile camera window plus one tile.\n"
    "Each report names the line, and the column where a number starts, as\n"
    "FILE:LINE:COLUMN:. After a slip that shifts the game's reading of the rest\n"
    "(a byte after the line-2 number, Windows line ends, a header line left out\n"
    "or one too many) it also reads the map as probably meant and reports every\n"
    "other mistake found there, marked (read as meant).\n"
    "\n"
    "The game looks for a map's tile set from the directory it runs in, and so\n"
    "does the checker, in every mode: from the game's own directory (the source\n"
    "tree for a checker built in it, the installed game's data directory for an\n"
    "installed one), or from DIR given with --from. The report says which.\n"
    "\n"
    "With --render it also draws the whole of MAP, every cell as the game draws\n"
    "it, into the PNG picture OUT.png; where the game draws nothing (the tile\n"
    "set's black, tile numbers that show no tile) the picture is transparent.\n"
    "A map with errors, or one wider or higher than 16384 pixels, gets no\n"
    "picture.\n"
    "\n"
    "With --play MAP it checks MAP and, unless it has errors, starts the game\n"
    "with MAP in place of " + std::string(scene::Map) + " and the tile set MAP names, in a scratch\n"
    "directory that links to the game's data, which stays untouched. It waits\n"
    "for the game, removes the scratch directory, and ends with the game's\n"
    "exit status.\n"
    "\n"
    "With --data DIR it checks a whole data folder, DIR holding share/, as the\n"
    "game will load it: for every file the game opens, whether it can be read,\n"
    "whether the game's libraries load it, and what the game will do with it\n"
    "(colour keys, transparency it ignores, pictures too large, a sprite sheet\n"
    "smaller than its frames, a font that draws no counter, music the mixer\n"
    "will not play), and the map with its tile set from DIR. --play DIR checks\n"
    "DIR so and, unless a file cannot be loaded, starts the game in DIR.\n"
    "\n"
    "With --enable-tiled it adds the Vexlume map format to the Tiled map editor\n"
    "for this user, in $XDG_CONFIG_HOME/tiled/extensions (~/.config/tiled/...):\n"
    "Tiled then opens and saves Vexlume maps, and F5 plays the map in the game.\n"
    "A Tiled map given to the checker (.tmx, .tmj) is named as such, with the\n"
    "command that exports it: tiled --export-map vexlume MAP.tmx MAP.map.\n"
    "The guide is tiled.md, in docs/ of the sources and in /usr/share/doc/vexlume\n"
    "installed.\n"
    "\n"
    "Exit status: 0 when every file is clean, 1 when there were only warnings\n"
    "(the game plays the map), 2 when a file could not be read, 3 when the game\n"
    "will not play a map or stops on a file: it refuses it or stops on it. With\n"
    "several files the highest counts. With --render: 0 when the picture was\n"
    "written, 1 when it could not be, 2 or 3 as above. With --play: the game's\n"
    "status, or 2 or 3 as above when the game was not started. Stopped by\n"
    "SIGTERM, SIGHUP or Ctrl+C while it plays, it stops the game the same way,\n"
    "removes what it made for it and ends by the same signal. 4 for a file of\n"
    "the Tiled map editor's own (.tmx, .tmj, .tsx, .tsj) in place of a map.\n";

int Usage(const std::string& line)
{
    std::cerr << "Usage: " << line << "\n";
    return MapCheck::Unreadable;
}

int Refuse(const std::string& line)
{
    std::cerr << "vexlume-mapcheck: " << Printable(line) << "\n";
    return MapCheck::Unreadable;
}

// The directory a map's tile set is looked for from, as the game looks
// from the directory it runs in, and the words that say which it is.
struct Base {
    fs::path directory;
    std::string said;
};

Base ChooseBase(const std::string& from)
{
    std::error_code error;
    if (!from.empty())
        return {fs::absolute(from, error), Printable(from) + " (given with --from)"};
    std::string game;
    std::string data;
    MapPlay::Locate(game, data);
    if (fs::is_directory(fs::path(data) / "share", error))
        return {data, Printable(data) + " (the game's directory)"};
    const fs::path here = fs::current_path(error);
    return {here, Printable(here.string()) + " (the current directory: no game was found beside this checker)"};
}

int DataMode(const std::string& directory, bool play)
{
    if (!fs::is_directory(fs::path(directory) / "share"))
        return Refuse(directory + " holds no share/ folder of game data");
    std::string game;
    std::string data;
    if (play && !MapPlay::Find(game, data))
        return MapCheck::Unreadable;
    const std::string absolute = fs::absolute(directory).string();
    if (chdir(absolute.c_str()) != 0)
        return Refuse("cannot enter " + directory);
    const MapCheck::Status status = DataCheck::Check(directory, std::cout);
    if (!play || status >= MapCheck::Unreadable)
        return status;
    return MapPlay(game, data).PlayIn(absolute);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << Help;
            return 0;
        }
    }
    std::string from;
    if (!args.empty() && args[0] == "--from") {
        if (args.size() < 2)
            return Usage("vexlume-mapcheck --from DIR MAP...");
        from = args[1];
        args.erase(args.begin(), args.begin() + 2);
        if (!fs::is_directory(from))
            return Refuse("--from: " + from + " is not a directory");
    }
    if (args.empty()) {
        std::cerr << Help;
        return MapCheck::Unreadable;
    }
    const std::string mode = args[0];
    if (mode == "--enable-tiled") {
        if (args.size() != 1 || !from.empty())
            return Usage("vexlume-mapcheck --enable-tiled");
        std::string game;
        std::string data;
        MapPlay::Locate(game, data);
        return TiledFormat::Enable(data);
    }
    if (mode == "--data") {
        if (args.size() != 2 || !from.empty())
            return Usage("vexlume-mapcheck --data DIR");
        return DataMode(args[1], false);
    }
    if (mode == "--play" && args.size() == 2 && fs::is_directory(args[1])) {
        if (!from.empty())
            return Usage("vexlume-mapcheck --play DIR");
        return DataMode(args[1], true);
    }
    if (mode == "--render" && args.size() != 3)
        return Usage("vexlume-mapcheck [--from DIR] --render OUT.png MAP");
    if (mode == "--play" && args.size() != 2)
        return Usage("vexlume-mapcheck [--from DIR] --play MAP");
    std::string game;
    std::string data;
    if (mode == "--play" && !MapPlay::Find(game, data))
        return MapCheck::Unreadable;

    // Every path given is taken from where the checker was started; then the
    // checker moves to the directory the game would run in, so that the
    // tile set, in every mode, is found as the game finds it.
    const Base base = ChooseBase(from);
    std::vector<std::string> absolute;
    std::error_code error;
    for (const std::string& arg : args)
        absolute.push_back(fs::absolute(arg, error).string());
    if (chdir(base.directory.c_str()) != 0)
        return Refuse("cannot enter " + base.directory.string());

    if (mode == "--render") {
        const MapCheck::Status checked = MapCheck::Check(absolute[2], args[2], base.said, std::cout);
        if (checked >= MapCheck::Unreadable)
            return checked;
        const PreviewTilemap map(absolute[2]);
        const std::string problem = WritePng(absolute[1], map.PixelWidth(), map.PixelHeight(), map.Render());
        if (!problem.empty())
            FailWithLine("Couldn't write '" + args[1] + "': " + problem + "\n");
        return MapCheck::Clean;
    }
    if (mode == "--play") {
        const MapCheck::Status checked = MapCheck::Check(absolute[1], args[1], base.said, std::cout);
        return checked >= MapCheck::Unreadable ? checked : MapPlay(game, data).Play(absolute[1]);
    }
    int status = MapCheck::Clean;
    for (size_t i = 0; i < args.size(); ++i)
        status = std::max<int>(status, MapCheck::Check(absolute[i], args[i], base.said, std::cout));
    return status;
}
