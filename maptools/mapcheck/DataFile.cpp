#include "DataFile.h"

#include "MapFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool StartsWith(const std::string& text, const std::string& start, size_t at = 0)
{
    return text.size() >= at + start.size() && text.compare(at, start.size(), start) == 0;
}

unsigned long BigEndian32(const std::string& bytes, size_t at)
{
    unsigned long value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

std::string DataFile::WhyUnreadable(const std::string& path)
{
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0) {
        if (errno == ELOOP)
            return "a loop of symbolic links";
        if (errno == EACCES)
            return "cannot be reached: a directory on its way may not be entered";
        struct stat link = {};
        if (errno == ENOENT && lstat(path.c_str(), &link) == 0)
            return "a symbolic link to a file that is not there";
        if (errno == ENOENT)
            return "missing";
        return std::strerror(errno);
    }
    if (S_ISDIR(status.st_mode))
        return "a directory, not a file";
    // A pipe or a device would keep the game waiting for data.
    if (!S_ISREG(status.st_mode))
        return "not a regular file (a pipe, socket or device)";
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (file < 0)
        return errno == EACCES ? "unreadable: its permissions keep this user out" : std::strerror(errno);
    close(file);
    return "";
}

std::string DataFile::Head(const std::string& path, size_t count)
{
    std::ifstream in(path, std::ios::binary);
    std::string head(count, '\0');
    in.read(&head[0], static_cast<std::streamsize>(count));
    head.resize(in ? count : static_cast<size_t>(in.gcount()));
    return head;
}

std::string DataFile::Kind(const std::string& head)
{
    if (StartsWith(head, "\x89PNG\r\n\x1A\n"))
        return "a PNG picture";
    if (StartsWith(head, "\xFF\xD8\xFF"))
        return "a JPEG picture";
    if (StartsWith(head, "GIF8"))
        return "a GIF picture";
    if (StartsWith(head, "BM"))
        return "a BMP picture";
    if (StartsWith(head, "OggS") && StartsWith(head, "\x01vorbis", 28))
        return "Ogg Vorbis audio";
    if (StartsWith(head, "OggS") && StartsWith(head, "OpusHead", 28))
        return "Ogg Opus audio";
    if (StartsWith(head, "OggS") && StartsWith(head, "\x7F" "FLAC", 28))
        return "Ogg FLAC audio";
    if (StartsWith(head, "OggS"))
        return "an Ogg file that is not Vorbis audio";
    if (StartsWith(head, "fLaC"))
        return "FLAC audio";
    if (StartsWith(head, "RIFF") && StartsWith(head, "WAVE", 8))
        return "WAV audio";
    if (StartsWith(head, "ID3") || (head.size() > 1 && static_cast<unsigned char>(head[0]) == 0xFF &&
                                    (static_cast<unsigned char>(head[1]) & 0xE0) == 0xE0))
        return "MP3 audio";
    if (StartsWith(head, std::string("\0\1\0\0", 4)) || StartsWith(head, "true"))
        return "a TrueType font";
    if (StartsWith(head, "OTTO"))
        return "an OpenType font";
    if (StartsWith(head, "ttcf"))
        return "a font collection";
    if (StartsWith(head, "STARTFONT"))
        return "a BDF bitmap font";
    if (StartsWith(head, "\1fcp"))
        return "a PCF bitmap font";
    if (StartsWith(head, "\x1F\x8B"))
        return "a gzip-compressed file";
    return "";
}

std::string DataFile::MapTileset(const std::string& map)
{
    std::ifstream in(map, std::ios::binary);
    MapFile read;
    read.Read(in);
    return read.tilesetFile;
}

bool DataFile::PngHasTransparency(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(8);
    std::string header(8, '\0');
    // Chunks up to the image data; a damaged length ends the walk.
    while (in.read(&header[0], 8)) {
        const std::string type = header.substr(4);
        if (type == "tRNS")
            return true;
        if (type == "IDAT" || type == "IEND")
            return false;
        in.seekg(static_cast<std::streamoff>(BigEndian32(header, 0)) + 4, std::ios::cur);
    }
    return false;
}
