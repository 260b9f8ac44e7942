#ifndef VEXLUME_DATAFILE_H
#define VEXLUME_DATAFILE_H

#include <string>

// What a data file is, told from the file itself rather than its name: the
// game picks nothing by content (its paths are fixed, and the mixer goes by
// the name's ending), so a modder's file may be anything under any name.
class DataFile
{
public:
    // Why the file cannot be opened for reading, as a few words ("missing",
    // "a directory", ...), or "" when it can be.
    static std::string WhyUnreadable(const std::string& path);

    // The first bytes of the file, at most count; "" when it cannot be read.
    static std::string Head(const std::string& path, size_t count);

    // The kind of picture, font or sound the bytes begin, named for a
    // reader ("a PNG picture", "FLAC audio"), or "" when unknown.
    static std::string Kind(const std::string& head);

    // The tile set path the map file names, read as the game reads it;
    // "" when the file names none.
    static std::string MapTileset(const std::string& map);

    // Whether a PNG holds a tRNS chunk (a transparent colour or palette
    // entries), which the image library may turn into a colour key or an
    // alpha channel of its own. Reads the chunk headers only.
    static bool PngHasTransparency(const std::string& path);
};

#endif
