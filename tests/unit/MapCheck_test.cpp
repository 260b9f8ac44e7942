// vexlume-mapcheck as map makers and modders run it: maps checked line by line, the tile set found where the game
// finds it whatever directory the checker runs in, and whole data folders checked as the game loads them.
#include "Fixtures.h"
#include "PngFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <unistd.h>

namespace {

const std::string Source = VEXLUME_SOURCE_DIR;
const std::string GameDirectory = "from " + Source + " (the game's directory)";

// Ten rows of tile numbers, a map row to a line, as the docs write them; the header takes lines 1 to 6, so grid
// row r stands on line 7 + r.
std::vector<std::string> Rows()
{
    std::vector<std::string> rows;
    for (int r = 0; r < 7; ++r) {
        std::string row;
        for (int c = 0; c < 10; ++c)
            row += std::to_string((r + c) % 16) + (c < 9 ? " " : "");
        rows.push_back(row);
    }
    return rows;
}

std::string Map(const std::vector<std::string>& rows, const std::string& sizes = "32 32 10 7")
{
    std::string text = "Pond\n1\n\n\nshare/Tiles.png\n" + sizes + "\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}

// The checker's status and all it wrote, in out.
using Checked = fixtures::RunResult;

Checked Check(const std::string& cwd, const std::vector<std::string>& args,
              const std::string& program = VEXLUME_MAPCHECK)
{
    Checked run = fixtures::Run(program, cwd, {}, 60, args);
    run.out += run.err;
    return run;
}

// Writes the map as pond.map in a folder of its own and checks it from there, as a map maker would.
Checked CheckText(const std::string& text)
{
    fixtures::ScratchDir dir;
    fixtures::WriteFile(dir / "pond.map", text);
    return Check(dir.Path(), {"pond.map"});
}

#define EXPECT_REPORT(checked, expectedStatus, line)                                                                  \
    do {                                                                                                              \
        EXPECT_EQ((checked).status, expectedStatus) << "the status of this report:\n" << (checked).out;               \
        EXPECT_NE((checked).out.find(line), std::string::npos) << "expected the line\n"                               \
                                                               << (line) << "\nin the report:\n"                      \
                                                               << (checked).out;                                      \
    } while (false)

// The worked example of the docs kept in a folder of its own gets one verdict wherever the checker is started, in
// every mode: the tile set is looked for where the game runs.
TEST(MapCheck, AMapKeptAnywhereGetsOneVerdictInEveryMode)
{
    fixtures::ScratchDir dir;
    fixtures::WriteFile(dir / "pond.map", Map(Rows()));
    const Checked inFolder = Check(dir.Path(), {"pond.map"});
    const Checked fromRoot = Check("/", {dir / "pond.map"});
    EXPECT_REPORT(inFolder, 0, "tile set: 256x64 pixels, 16 tiles (0 to 15), " + GameDirectory + "\n");
    EXPECT_EQ(fromRoot.out, dir / "pond.map" + inFolder.out.substr(std::string("pond.map").size()))
        << "the same map checked from / and from its own folder";
    const Checked rendered = Check(dir.Path(), {"--render", "pond.png", "pond.map"});
    EXPECT_EQ(rendered.status, 0) << rendered.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "pond.png")) << "no picture written into the map's folder";

    // A tile set of one's own is named relative to the directory given with --from.
    fixtures::WritePicture(dir / "mine.bmp", 64, 32, [](int x, int) { return x < 32 ? 0x3366CCu : 0xCC9933u; });
    fixtures::WriteFile(dir / "mine.map", "Mine\n1\n\n\nmine.bmp\n32 32 10 7\n" + Map(Rows()).substr(31));
    EXPECT_REPORT(Check(dir.Path(), {"mine.map"}), 3, "\"mine.bmp\" cannot be loaded " + GameDirectory);
    EXPECT_REPORT(Check("/", {"--from", dir.Path(), dir / "mine.map"}), 1, "(given with --from)");
}

TEST(MapCheck, ARowOfTheWrongLengthIsReportedOnItsOwnLine)
{
    std::vector<std::string> shortRow = Rows();
    shortRow[3].erase(shortRow[3].rfind(' '));
    const Checked checked = CheckText(Map(shortRow));
    EXPECT_REPORT(checked, 1, "pond.map:10: warning: this line holds 9 numbers, but a map row has 10: the game "
                              "reads the grid as one run of numbers, so row 3 takes its last cell from the next "
                              "line and every later cell is shifted 1 place left");
    EXPECT_REPORT(checked, 1, "pond.map:13: warning: the grid has only 69 of 70 values: cell (9, 6)");

    std::vector<std::string> longRow = Rows();
    longRow[2] += " 3 4";
    EXPECT_REPORT(CheckText(Map(longRow)), 1, "pond.map:9: warning: this line holds 12 numbers, but a map row has "
                                              "10: the game reads the grid as one run of numbers, so its last 2 "
                                              "numbers begin row 3 and every later cell is shifted 2 places right");
}

TEST(MapCheck, AHeaderThatDisagreesWithTheRowsSaysSoWithBothNumbers)
{
    EXPECT_REPORT(CheckText(Map(Rows(), "32 32 9 7")), 1, "pond.map:6:7: warning: the header gives 9 columns, but the "
                                                          "grid's lines hold 10 numbers each");
    std::vector<std::string> eight = Rows();
    eight.push_back(eight[0]);
    EXPECT_REPORT(CheckText(Map(eight)), 1, "pond.map:6:10: warning: the header gives 7 rows, but the grid has 8 "
                                            "lines of numbers");
    // A long row wrapped over two lines of five is written on purpose.
    std::string wrapped = Map({}, "32 32 10 7");
    for (const std::string& row : Rows())
        wrapped += row.substr(0, 9) + "\n" + row.substr(10) + "\n";
    EXPECT_REPORT(CheckText(wrapped), 0, "clean: the game reads this map as written");
}

TEST(MapCheck, WhatEditorsLeaveInTheHeaderIsNamedWithWhatToChange)
{
    const Checked blank = CheckText("Pond\n\n" + Map(Rows()).substr(5));
    EXPECT_REPORT(blank, 0, "line 3 (the number): 1\n");
    EXPECT_REPORT(blank, 0, "pond.map:2: note: 1 blank line before the number: the game skips it");

    const Checked mark = CheckText("\xEF\xBB\xBF" + Map(Rows()));
    EXPECT_REPORT(mark, 0, "line 1 (title): \"Pond\", after a byte-order mark\n");
    EXPECT_REPORT(mark, 0, "pond.map:1: note: the file begins with a UTF-8 byte-order mark");

    std::string blanks = Map(Rows());
    blanks.insert(blanks.find(".png") + 4, "  ");
    const Checked trailing = CheckText(blanks);
    EXPECT_REPORT(trailing, 3, "pond.map:5:16: warning: the tile set path ends with 2 blanks, which the game keeps");

    std::string windows;
    for (const char c : Map(Rows()))
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const Checked crlf = CheckText(windows);
    EXPECT_REPORT(crlf, 3, "pond.map:1:5: warning: carriage return at the end of the line: the game keeps it as part "
                           "of the text (the file has Windows line ends); convert the file to Unix line ends");
    EXPECT_REPORT(crlf, 3, "pond.map:2:2: warning: the number on line 2 is followed by a carriage return (0x0D)");
}

TEST(MapCheck, TrapsInsideTheGridAndMapsTheGameRefuses)
{
    std::vector<std::string> word = Rows();
    word[2] = "0 1 x 3 4 5 6 7 8 9";
    EXPECT_REPORT(CheckText(Map(word)), 1, "pond.map:9:5: warning: text inside the grid at cell (2, 2)");
    std::vector<std::string> outside = Rows();
    // The lowest number the game reads is a tile number too.
    outside[5] = "0 1 2 3 16 5 6 7 8 -2147483648";
    const Checked outsideChecked = CheckText(Map(outside));
    EXPECT_REPORT(outsideChecked, 1, "pond.map:12:9: warning: tile number 16 at cell (4, 5) is outside the tile set");
    EXPECT_REPORT(outsideChecked, 1, "pond.map:12:20: warning: tile number -2147483648 at cell (9, 5) is outside the "
                                     "tile set (0 to 15)");
    std::string misspelled = Map(Rows());
    misspelled.replace(misspelled.find("Tiles"), 5, "tiles");
    EXPECT_REPORT(CheckText(misspelled), 3, "pond.map:5: error: the game stops on this map: its tile set "
                                            "\"share/tiles.png\" cannot be loaded " + GameDirectory +
                                                ": Couldn't open share/tiles.png");
    const Checked single = CheckText(Map({"5"}, "32 32 1 1"));
    EXPECT_REPORT(single, 3, "grid: lines 7 to 7, 1 of 1 cells, tile numbers 5 to 5\n");
    EXPECT_REPORT(CheckText(Map(Rows(), "32 32 8 6")), 3, "pond.map:6:7: error: the game refuses this map: it has "
                                                          "8x6 tiles; the camera window of 8x6 tiles needs a map "
                                                          "of at least 9x7");
    // A map the game refuses gets no picture.
    fixtures::ScratchDir dir;
    fixtures::WriteFile(dir / "small.map", Map(Rows(), "32 32 8 6"));
    EXPECT_EQ(Check(dir.Path(), {"--render", "small.png", "small.map"}).status, 3) << "a picture of a refused map";
    EXPECT_FALSE(std::filesystem::exists(dir / "small.png")) << "a picture was written of a map the game refuses";
}

// Seven mistakes of seven kinds, the first of which shifts the game's reading of all the others: the checker says what
// the game does, then reads the map as meant, and each mistake is reported in the one run on its own line.
TEST(MapCheck, EveryMistakeIsReportedInOneRoundOnItsOwnLine)
{
    const Checked checked = CheckText("Pond\n"
                                      "1 \n"
                                      "dug by hand\r\n"
                                      "\n"
                                      "share/Tiles.png\t\n"
                                      "32 32 10 6\n"
                                      "0 1 2 3 4 5 6 7 8 9\n"
                                      "0 1 2 3 4 5 6 7 8\n"
                                      "0 1 2 3 4 5 6 7 8 9\n"
                                      "0 1 2 3 4 5 16 7 8 9\n"
                                      "0 1 2 3 x 5 6 7 8 9\n"
                                      "0 1 2 3 4 5 6 7 8 9\n");
    const std::vector<std::string> lines = {
        "pond.map:2:2: warning: the number on line 2 is followed by a space (0x20)",
        "pond.map:3:12: warning: carriage return at the end of the line",
        "pond.map: read as probably meant, with no carriage returns at the line ends and nothing after the number on "
        "line 2, it has these mistakes too:",
        "pond.map:5:16: warning: (read as meant) the tile set path ends with 1 blank",
        "pond.map:6:10: error: (read as meant) the game refuses this map: it has 10x6 tiles",
        "pond.map:8: warning: (read as meant) this line holds 9 numbers, but a map row has 10",
        "pond.map:10:13: warning: (read as meant) tile number 16 at cell (5, 3) is outside the tile set",
        "pond.map:11:9: warning: (read as meant) text inside the grid at cell (3, 4)"};
    for (const std::string& line : lines)
        EXPECT_REPORT(checked, 3, "\n" + line);

    // A header line left out before the tile set path: the grid's mistakes are found all the same.
    std::vector<std::string> outside = Rows();
    outside[1] = "0 1 2 3 4 5 6 7 8 16";
    const Checked missing = CheckText(Map(outside).erase(7, 1));
    EXPECT_REPORT(missing, 3, "\npond.map:4: warning: this line names the tile set, but the header has 1 line of free "
                              "text between the number (line 2) and it, where the format has 2");
    EXPECT_REPORT(missing, 3, "\npond.map:7:19: warning: (read as meant) tile number 16 at cell (9, 1)");
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The examples of docs/map-format.md are the checker's own words: each block of "$ " commands runs in a folder holding
// the worked example as meadow.map, and every line shown after them must come in that order in what they print
// ("..." stands for lines left out, and at the end of a line for the library's words, which differ between releases).
TEST(MapCheck, TheDocsExamplesAreWhatTheCheckerSays)
{
    std::vector<std::vector<std::string>> blocks(1);
    std::istringstream docs(fixtures::ReadFile(Source + "/docs/map-format.md"));
    for (std::string line; std::getline(docs, line);) {
        if (line.rfind("    ", 0) == 0)
            blocks.back().push_back(line.substr(4));
        else if (!blocks.back().empty())
            blocks.emplace_back();
    }
    fixtures::ScratchDir dir;
    std::string meadow;
    for (const std::string& line : blocks.front())
        meadow += line + "\n";
    fixtures::WriteFile(dir / "meadow.map", meadow);
    int examples = 0;
    for (const std::vector<std::string>& block : blocks) {
        // --play starts the game, which the e2e tests play.
        const auto plays = [](const std::string& line) { return line.find("--play") != std::string::npos; };
        if (block.empty() || block.front().rfind("$ ", 0) != 0 || std::any_of(block.begin(), block.end(), plays))
            continue;
        std::string script;
        size_t shown = 0;
        for (; shown < block.size() && block[shown].rfind("$ ", 0) == 0; ++shown)
            script += Replaced(block[shown].substr(2), "build/vexlume-mapcheck", VEXLUME_MAPCHECK) + "\n";
        const std::string out = "\n" + fixtures::Run("/bin/bash", dir.Path(), {}, 60, {"-c", script}).out;
        size_t at = 0;
        for (; shown < block.size(); ++shown) {
            const std::string line = Replaced(block[shown], "/home/me/vexlume", Source);
            if (line == "...")
                continue;
            const bool cut = line.size() > 3 && line.compare(line.size() - 3, 3, "...") == 0;
            const size_t found = out.find("\n" + (cut ? line.substr(0, line.size() - 3) : line + "\n"), at);
            ASSERT_NE(found, std::string::npos) << "the docs show, after\n" << script << "the line\n" << line
                                                << "\nwhich the checker does not say there; it says:" << out;
            at = found + 1;
        }
        ++examples;
    }
    EXPECT_EQ(examples, 4) << "examples of the checker found in docs/map-format.md";
}

// A data folder whose share/ links to the shipped files, one of which a test replaces.
class DataFolder
{
public:
    DataFolder()
    {
        std::filesystem::create_directory(dir / "share");
        for (const auto& file : std::filesystem::directory_iterator(Source + "/share"))
            std::filesystem::create_symlink(file.path(), dir / "share/" + file.path().filename().string());
    }
    std::string Replace(const std::string& name)
    {
        std::filesystem::remove(dir / "share/" + name);
        return dir / "share/" + name;
    }
    Checked Check() const { return ::Check("/", {"--data", dir.Path()}); }
    const std::string& Path() const { return dir.Path(); }

private:
    fixtures::ScratchDir dir;
};

// A bitmap font whose only glyph for the counter's characters is blank: it opens, but draws nothing.
const char* const BlankBitmapFont = "STARTFONT 2.1\n"
                                    "FONT -vexlume-blank-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
                                    "SIZE 8 75 75\n"
                                    "FONTBOUNDINGBOX 8 8 0 0\n"
                                    "CHARS 1\n"
                                    "STARTCHAR blank\n"
                                    "ENCODING 1\n"
                                    "DWIDTH 8 0\n"
                                    "BBX 8 1 0 0\n"
                                    "BITMAP\n"
                                    "00\n"
                                    "ENDCHAR\n"
                                    "ENDFONT\n";

TEST(DataCheck, TheShippedDataIsCleanAndEachBrokenFileIsNamedWithWhatTheGameDoes)
{
    const Checked shipped = DataFolder().Check();
    EXPECT_EQ(shipped.status, 0) << shipped.out;
    EXPECT_NE(shipped.out.find(": clean: the game loads every file as it is\n"), std::string::npos) << shipped.out;
    EXPECT_NE(shipped.out.find("colour key magenta (0xFF00FF)"), std::string::npos) << shipped.out;

    DataFolder emptyMap;
    fixtures::WriteFile(emptyMap.Replace("test.map"), "");
    EXPECT_REPORT(emptyMap.Check(), 3, "share/test.map:1: error: the game stops on this map: its tile set \"\"");
    EXPECT_REPORT(emptyMap.Check(), 3, "the game stops at start on " + emptyMap.Path() + "/share/test.map");

    DataFolder alpha;
    const std::vector<Uint32> seeThrough = {0xFF102030, 0x00FFFFFF, 0x80FFFFFF, 0x00000000};
    EXPECT_EQ(WritePng(alpha.Replace("Vexlume.png"), 2, 2, seeThrough), "");
    EXPECT_REPORT(alpha.Check(), 1, "share/Vexlume.png: warning: its alpha channel is not used by the game, which "
                                    "leaves out only its colour key, black (0x000000): 2 pixels transparent or "
                                    "see-through in the file are drawn opaque, most of them 0xFFFFFF");

    DataFolder tinySheet;
    EXPECT_EQ(WritePng(tinySheet.Replace("Pellwick.png"), 1, 1, {0xFF336699}), "");
    EXPECT_REPORT(tinySheet.Check(), 1, "share/Pellwick.png: warning: smaller than one 32x32 frame");

    DataFolder bitmapFont;
    fixtures::WriteFile(bitmapFont.Replace("formplex12.ttf"), BlankBitmapFont);
    EXPECT_REPORT(bitmapFont.Check(), 1, "share/formplex12.ttf: warning: draws nothing for the counter's text");

    // A picture the image library refuses is told from the file, beside the library's words.
    DataFolder wide;
    EXPECT_EQ(WritePng(wide.Replace("Skarnel.png"), 16400, 64, std::vector<Uint32>(16400 * 64, 0xFF336699)), "");
    const Checked wideChecked = wide.Check();
    EXPECT_REPORT(wideChecked, 3, "share/Skarnel.png: error: the game stops on it: Couldn't load 'share/Skarnel.png': "
                                  "Out of memory\n");
    EXPECT_REPORT(wideChecked, 3, "share/Skarnel.png: it is a PNG picture of 16400x64 pixels: the game's SDL 1.2 "
                                  "holds pictures at most 16383 pixels wide");
    DataFolder cut;
    const std::string second = fixtures::ReadFile(Source + "/" + scene::SecondPicture);
    fixtures::WriteFile(cut.Replace("Skarnel.png"), second.substr(0, second.size() / 2));
    EXPECT_REPORT(cut.Check(), 3, "share/Skarnel.png: the file ends inside its image data (chunk IDAT at byte ");
    // The game loads the tile set before it judges the map, and names the tile set when it stops on it.
    DataFolder text;
    fixtures::WriteFile(text.Replace("Tiles.png"), "just some text\n");
    const Checked textChecked = text.Check();
    EXPECT_REPORT(textChecked, 3, "share/Tiles.png: it is text, not a picture: it begins \"just some text\"");
    EXPECT_REPORT(textChecked, 3, "the game stops at start on " + text.Path() + "/share/Tiles.png, the first");

    DataFolder flac;
    fixtures::WriteFile(flac.Replace("Lullwater.ogg"), "fLaC" + std::string(60, '\0'));
    EXPECT_REPORT(flac.Check(), 3, "share/Lullwater.ogg: error: the game stops on it: Couldn't load music: ");
    EXPECT_REPORT(flac.Check(), 3, "share/Lullwater.ogg: it is FLAC audio: the mixer reads a file whose name ends");
}

// Read permissions hold only for users other than root, so a root test run checks as nobody.
TEST(DataCheck, AFileThisUserMayNotReadIsSaidToBeUnreadable)
{
    DataFolder folder;
    const std::string font = folder.Replace("formplex12.ttf");
    fixtures::WriteFile(font, "not a font");
    ASSERT_EQ(chmod(font.c_str(), 0), 0);
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
    std::vector<std::string> args = {"--data", folder.Path()};
    std::string program = VEXLUME_MAPCHECK;
    if (geteuid() == 0) {
        args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", program});
        program = "/usr/bin/setpriv";
    }
    EXPECT_REPORT(Check("/", args, program), 2,
                  "share/formplex12.ttf: error: cannot be read: unreadable: its permissions keep this user out; the "
                  "game stops at start");
}

} // namespace
