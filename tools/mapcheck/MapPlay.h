#ifndef VEXLUME_MAPPLAY_H
#define VEXLUME_MAPPLAY_H

#include <filesystem>
#include <string>

// Plays a map maker's map in the unchanged game, which always loads
// share/test.map from the directory it runs in: a scratch directory is made
// whose share/ links to the game's own data but holds a copy of the map, and
// the tile set the map names is linked where the game will look for it. The
// game's data is never touched, and the scratch directory is removed after.
class MapPlay
{
public:
    // game: the game program; data: the directory holding the game's share/.
    MapPlay(const std::string& game, const std::string& data);

    // Starts the game on map, waits for it and returns its exit status (128
    // plus the signal's number when a signal ended it). The tile set path the
    // map names is taken, as when the map was checked, from the working
    // directory. Failures to prepare are one line on standard error and
    // status 2.
    int Play(const std::string& map) const;

    // The game plays a map in a directory whose share/ holds its data, so a
    // tile set path such as share/Tiles.png that leads nowhere from the
    // working directory may name the game's own: then the working directory
    // becomes the game's data directory, so that the map is checked as the
    // game will play it. Returns the map's path from the working directory.
    std::string LookFromGame(const std::string& map) const;

    // Where the game and its data are for this checker: those of the build
    // tree it was built in, or the places the installation gave them, from
    // its own directory. False, after a line on standard error, when the game
    // is not there.
    static bool Find(std::string& game, std::string& data);

private:
    static std::string TilesetFile(const std::string& map);

    std::string game;
    std::filesystem::path data;
};

#endif
