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

    // The tile set the game loads for the map file: the path it names, read
    // as the game reads it; "" when it names none, or when the game refuses
    // the map before it loads the tile set (a grid too large to hold).
    static std::string MapTileset(const std::string& map);

    // The widest picture the game can load. SDL 1.2 keeps the length of a
    // picture's row of pixels in 16 bits, and the image library makes every
    // row 4 bytes a pixel, so a wider one is refused with "Out of memory",
    // whatever its format (measured with sdl12-compat 1.2.60, 1.2.68 and 1.2.78).
    static const int WidestPicture = 16383;

    // Why the image library refuses the picture file, told from the file
    // itself in a modder's words: what it is when not a picture, its size
    // against the limit that refuses it, where a PNG is damaged or cut short.
    // "" when the file shows no reason.
    static std::string PictureTrouble(const std::string& path);

    // Whether a PNG holds a tRNS chunk (a transparent colour or palette
    // entries), which the image library may turn into a colour key or an
    // alpha channel of its own. Reads the chunk headers only.
    static bool PngHasTransparency(const std::string& path);
};

#endif
