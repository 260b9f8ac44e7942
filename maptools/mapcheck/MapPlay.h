#ifndef VEXLUME_MAPPLAY_H
#define VEXLUME_MAPPLAY_H

#include <filesystem>
#include <string>

// Plays a map maker's map in the unchanged game, which always loads
// share/test.map from the directory it runs in: a scratch directory is made
// whose share/ links to the game's own data but holds a copy of the map, and
// the tile set the map names is linked where the game will look for it. The
// game's data is never touched, and the scratch directory is removed after.
// A modder's whole data folder is played where it is. A checker told to stop
// while it plays (SIGTERM, SIGHUP, or SIGINT from Ctrl+C) passes the signal
// on to the game, waits for it, removes the scratch directory and then ends
// by the same signal.
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

    // Starts the game in directory, which holds a share/ of its own, waits
    // for it and returns its status as Play does.
    int PlayIn(const std::string& directory) const;

    // Where the game and its data are for this checker: those of the build
    // tree it was built in, or the places the installation gave them, from
    // its own directory. Either may be missing.
    static void Locate(std::string& game, std::string& data);

    // Locate, for a checker that starts the game: false, after a line on
    // standard error, when the game or its data is not there.
    static bool Find(std::string& game, std::string& data);

private:
    int Run(const std::filesystem::path& directory) const;

    std::string game;
    std::filesystem::path data;
};

#endif
