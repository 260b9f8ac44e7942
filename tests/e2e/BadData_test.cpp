// Damaged or wrong data files in a copy of share/, tried on the real game:
// whatever the damage, the game ends at start with status 1 and its own line
// on standard error, never through a signal and never hanging. The only other
// line allowed is libpng's own report of a damaged PNG ("libpng error: ..."),
// written by the library before the game's line, which it cannot suppress.

#include "GameSession.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <vector>

namespace {

const std::vector<std::string> DataFiles = {"Pellwick.png", "test.map",       "Tiles.png",    "Vexlume.png",
                                            "Skarnel.png",  "formplex12.ttf", "Lullwater.ogg"};

// The start of the game's line for a file that cannot be read at all. A map
// that yields no tile set path makes the tile set load fail with an empty name.
std::string Head(const std::string& file)
{
    if (file == "test.map")
        return "Couldn't load '': ";
    if (file == "formplex12.ttf")
        return "Unable to load TTF font: ";
    if (file == "Lullwater.ogg")
        return "Couldn't load music: ";
    return "Couldn't load 'share/" + file + "': ";
}

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string MapWithSizes(const std::string& sizes, const std::string& tileset = "share/Tiles.png")
{
    return "Vexlume test map\n1\nbad data\nsizes\n" + tileset + "\n" + sizes + "\n";
}

struct Case {
    std::string name;
    std::function<void(const std::string& share)> damage;
    std::string head; // the start of the game's line, or all of it with its line feed
};

void ExpectOneClearLine(const Case& c)
{
    SCOPED_TRACE(c.name);
    fixtures::ScratchDir dir;
    fixtures::CopyShare(dir.Path());
    c.damage(dir / "share");
    const fixtures::RunResult run = fixtures::Run(
        VEXLUME_BINARY, dir.Path(), {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}}, Patience);

    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Vexlume 0.0.6\n");
    ASSERT_FALSE(run.err.empty());
    ASSERT_EQ(run.err.back(), '\n') << run.err;
    std::vector<std::string> lines;
    std::istringstream in(run.err);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const std::string& last = lines.back();
    if (c.head.back() == '\n') {
        EXPECT_EQ(last + "\n", c.head);
    } else {
        EXPECT_EQ(last.substr(0, c.head.size()), c.head) << run.err;
        EXPECT_GT(last.size(), c.head.size()) << "no reason follows: " << run.err;
    }
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_EQ(lines[i].rfind("libpng ", 0), 0u) << "a line that is not the game's: " << lines[i];
    for (const char ch : run.err)
        EXPECT_TRUE(ch == '\n' || (static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F))
            << "a control byte on standard error: " << run.err;
}

} // namespace

TEST(BadData, AnEmptyDataFileEndsTheGameWithItsLine)
{
    for (const std::string& file : DataFiles)
        ExpectOneClearLine({"empty " + file, [&](const std::string& share) { fixtures::WriteFile(share + "/" + file, ""); },
                            Head(file)});
}

// Cut inside its header, a file no longer describes anything. (A map cut
// inside its grid still loads, with the missing cells at 0, and a music or
// font file cut after its headers still opens: those are not failures.)
TEST(BadData, ADataFileCutShortInItsHeaderEndsTheGameWithItsLine)
{
    for (const std::string& file : DataFiles)
        ExpectOneClearLine({"first 64 bytes of " + file,
                            [&](const std::string& share) {
                                const std::string path = share + "/" + file;
                                fixtures::WriteFile(path, fixtures::ReadFile(path).substr(0, 64));
                            },
                            Head(file)});
    // Cut inside its picture data, the PNG decoder reports the damage itself.
    ExpectOneClearLine({"first half of Tiles.png",
                        [](const std::string& share) {
                            const std::string bytes = fixtures::ReadFile(share + "/Tiles.png");
                            fixtures::WriteFile(share + "/Tiles.png", bytes.substr(0, bytes.size() / 2));
                        },
                        Head("Tiles.png")});
}

TEST(BadData, AFileOfAnotherKindEndsTheGameWithItsLine)
{
    const std::vector<Case> cases = {
        {"a picture named .ttf",
         [](const std::string& share) {
             fixtures::WriteFile(share + "/formplex12.ttf", fixtures::ReadFile(share + "/Pellwick.png"));
         },
         Head("formplex12.ttf")},
        {"random bytes named .ogg",
         [](const std::string& share) { fixtures::WriteFile(share + "/Lullwater.ogg", RandomBytes(65536, 1)); },
         Head("Lullwater.ogg")},
        {"random bytes named .png",
         [](const std::string& share) { fixtures::WriteFile(share + "/Vexlume.png", RandomBytes(65536, 2)); },
         Head("Vexlume.png")},
    };
    for (const Case& c : cases)
        ExpectOneClearLine(c);
}

TEST(BadData, ABrokenMapEndsTheGameWithOneLine)
{
    const std::string map = "ERROR: Map \"share/test.map\" ";
    const std::vector<Case> cases = {
        {"absurd sizes",
         [](const std::string& share) {
             fixtures::WriteFile(share + "/test.map",
                                 MapWithSizes("2147483647 2147483647 2147483647 2147483647\n1 2 3"));
         },
         map + "has 2147483647x2147483647 tiles, more than the 16777216 a map may hold.\n"},
        // A few bytes once claimed a gigabyte of one-cell columns.
        {"millions of one-cell columns",
         [](const std::string& share) { fixtures::WriteFile(share + "/test.map", MapWithSizes("32 32 16777216 1")); },
         map + "has 16777216 columns, more than the 65536 a map may have.\n"},
        // Negative columns once overflowed the map's width in pixels.
        {"negative columns and huge rows",
         [](const std::string& share) {
             fixtures::WriteFile(share + "/test.map", MapWithSizes("9 7 -2147483648 2147483647"));
         },
         map + "is too large: -19327352832x15032385529 pixels.\n"},
        {"binary garbage",
         [](const std::string& share) { fixtures::WriteFile(share + "/test.map", RandomBytes(4096, 3)); },
         "Couldn't load '"},
        {"no line feed at all",
         [](const std::string& share) {
             std::string bytes = fixtures::ReadFile(share + "/test.map");
             for (char& c : bytes)
                 if (c == '\n')
                     c = ' ';
             fixtures::WriteFile(share + "/test.map", bytes);
         },
         Head("test.map")},
        // Escapes, a bell and a carriage return in the tile set path are
        // written as \xNN, so the line neither breaks nor drives the terminal;
        // the image library's text, which repeats the path, is escaped too.
        {"control bytes in the tile set path",
         [](const std::string& share) {
             fixtures::WriteFile(share + "/test.map", MapWithSizes("32 32 9 7", "share/\x1b[31mTiles\x07.png\r"));
         },
         "Couldn't load 'share/\\x1B[31mTiles\\x07.png\\x0D': "},
    };
    for (const Case& c : cases)
        ExpectOneClearLine(c);
}

// The GL back-end holds every picture in one texture; a picture taller than
// the largest texture (40000 pixels: more than any GL here holds) is refused
// before anything is drawn, whether it is a picture of the scene or the tile
// set.
TEST(BadData, APictureLargerThanTheLargestTextureEndsTheGameWithItsLine)
{
    for (const std::string file : {"Skarnel.png", "Tiles.png"})
        ExpectOneClearLine({file + " of 8x40000",
                            [&](const std::string& share) {
                                fixtures::WritePicture(share + "/" + file, 8, 40000,
                                                       [](int x, int y) { return (x + y) % 7 ? 0x3366CCu : 0xFFFFFFu; });
                            },
                            Head(file) + "a picture of 8x40000 pixels is larger than the largest texture, "});
}
