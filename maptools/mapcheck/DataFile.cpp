#include "DataFile.h"

#include "Fatal.h"
#include "MapFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
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

unsigned long Number(const std::string& bytes, size_t at, size_t count, bool bigEndian)
{
    unsigned long value = 0;
    for (size_t i = 0; i < count; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + (bigEndian ? i : count - 1 - i)]);
    return value;
}

// The picture's width and height from its header, for the formats whose
// header says so at a fixed place or in a frame marker (JPEG); false when
// the bytes do not tell.
bool PictureSize(const std::string& file, const std::string& kind, unsigned long& width, unsigned long& height)
{
    if (kind == "a PNG picture" && file.size() >= 24) {
        width = BigEndian32(file, 16);
        height = BigEndian32(file, 20);
    } else if (kind == "a GIF picture" && file.size() >= 10) {
        width = Number(file, 6, 2, false);
        height = Number(file, 8, 2, false);
    } else if (kind == "a BMP picture" && file.size() >= 26) {
        width = Number(file, 18, 4, false);
        height = Number(file, 22, 4, false);
        // A negative height stands for rows stored from the top.
        height = height > 0x7FFFFFFFUL ? 0x100000000UL - height : height;
    } else if (kind == "a JPEG picture") {
        for (size_t at = 2; at + 9 <= file.size() && file[at] == '\xFF';) {
            const unsigned char marker = static_cast<unsigned char>(file[at + 1]);
            if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
                height = Number(file, at + 5, 2, true);
                width = Number(file, at + 7, 2, true);
                return true;
            }
            at += 2 + Number(file, at + 2, 2, true);
        }
        return false;
    } else {
        return false;
    }
    return true;
}

// The checksum PNG keeps with each chunk (CRC-32, as zlib's), bit by bit:
// only damaged pictures are read through.
unsigned long Crc32(const char* bytes, size_t count)
{
    unsigned long crc = 0xFFFFFFFFUL;
    for (size_t i = 0; i < count; ++i) {
        crc ^= static_cast<unsigned char>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320UL : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFUL;
}

// Where a PNG's chunks break: the file cut short, a chunk's checksum that
// does not match its bytes, or no end; "" when every chunk is whole.
std::string PngDamage(const std::string& file)
{
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const unsigned long length = BigEndian32(file, at);
        const std::string type = file.substr(at + 4, 4);
        const std::string part = type == "IHDR"   ? "its header"
                                 : type == "IDAT" ? "its image data"
                                 : type == "PLTE" ? "its palette"
                                                  : "a chunk of extra data";
        const std::string name = part + " (chunk " + Printable(type) + " at byte " + std::to_string(at) + ")";
        if (length > file.size() - at - 12)
            return "the file ends inside " + name + ", " + std::to_string(file.size() - at - 8) + " of its " +
                   std::to_string(length) + " bytes there: it was cut short, as by a copy or download that did not "
                   "finish; copy or save it again";
        const unsigned long sum = BigEndian32(file, at + 8 + length);
        if (sum != Crc32(file.data() + at + 4, length + 4))
            return name + " does not match its checksum: the file was damaged after it was saved; save it again";
        if (type == "IEND")
            return "";
        at += 12 + length;
    }
    return "the file ends before the PNG's end chunk (IEND), " + std::to_string(file.size()) +
           " bytes in: it was cut short, as by a copy or download that did not finish; copy or save it again";
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
    return read.Read(in).empty() ? read.tilesetFile : "";
}

std::string DataFile::PictureTrouble(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string kind = Kind(file.substr(0, 64));
    if (kind.empty()) {
        const std::string start = file.substr(0, 32);
        const bool text = std::all_of(start.begin(), start.end(),
                                      [](unsigned char c) { return c >= 0x20 || c == '\n' || c == '\r' || c == '\t'; });
        if (file.empty())
            return "the file is empty";
        return text ? "it is text, not a picture: it begins \"" + Printable(start.substr(0, start.find('\n'))) + "\""
                    : "it is not a picture the image library knows (PNG, JPEG, GIF or BMP, among others)";
    }
    if (kind.find("picture") == std::string::npos)
        return "it is " + kind + ", not a picture";
    unsigned long width = 0;
    unsigned long height = 0;
    if (PictureSize(file, kind, width, height) && width > static_cast<unsigned long>(WidestPicture))
        return "it is " + kind + " of " + std::to_string(width) + "x" + std::to_string(height) +
               " pixels: the game's SDL 1.2 holds pictures at most " + std::to_string(WidestPicture) +
               " pixels wide, and the image library refuses a wider one; make it at most " +
               std::to_string(WidestPicture) + " pixels wide";
    return kind == "a PNG picture" ? PngDamage(file) : "";
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
