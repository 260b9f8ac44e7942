// The map checker reads with the game's own reader, so these cases pin what
// it tells a map maker: the line of each trap and the exit status.
#include "Fixtures.h"
#include "MapCheck.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// A clean 9 x 7 map on the shipped tile set (16 tiles), with the grid rows
// given; the header takes lines 1 to 6, so grid row r is on line 7 + r.
std::string Map(const std::string& grid, const std::string& header = "Meadow\n1\nA\nB\nshare/Tiles.png\n32 32 9 7\n")
{
    return header + grid;
}

std::string Rows(int count, const std::string& row = "0 1 2 3 4 5 6 7 8\n")
{
    std::string rows;
    for (int i = 0; i < count; ++i)
        rows += row;
    return rows;
}

struct Checked {
    MapCheck::Status status;
    std::string report;
};

Checked Check(const fixtures::ScratchDir& dir, const std::string& content)
{
    const std::string path = dir / "m.map";
    fixtures::WriteFile(path, content);
    std::ostringstream out;
    const MapCheck::Status status = MapCheck::Check(path, out);
    return {status, out.str()};
}

int Warnings(const std::string& report)
{
    int count = 0;
    for (size_t at = report.find(": warning: "); at != std::string::npos; at = report.find(": warning: ", at + 1))
        ++count;
    return count;
}

TEST(MapCheck, TheShippedMapIsClean)
{
    std::ostringstream out;
    EXPECT_EQ(MapCheck::Check("share/test.map", out), MapCheck::Clean) << out.str();
    EXPECT_NE(out.str().find("map: 40x30 tiles, 1280x960 pixels"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("1200 of 1200 cells, tile numbers 0 to 15"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("(tile set): \"share/Tiles.png\""), std::string::npos) << out.str();
}

TEST(MapCheck, EachTrapIsNamedWithItsLine)
{
    struct Case {
        const char* name;
        std::string content;
        const char* expected; // the warning's line and the start of its text
    };
    const Case cases[] = {
        {"carriage returns", Map(Rows(7), "Meadow\r\n1\nA\nB\nshare/Tiles.png\n32 32 9 7\n"),
         "m.map:1: warning: carriage return at the end of the line"},
        {"a blank after the line-2 number", Map(Rows(7), "Meadow\n1 \nA\nB\nshare/Tiles.png\n32 32 9 7\n"),
         "m.map:2: warning: the number on line 2 is followed by a space (0x20)"},
        {"fewer values than cells", Map(Rows(3)), "m.map:9: warning: the grid has only 27 of 63 values"},
        {"text inside the grid", Map(Rows(4) + "0 1 x 3 4 5 6 7 8\n" + Rows(2)),
         "m.map:11: warning: text inside the grid at cell (2, 4)"},
        {"values after the grid", Map(Rows(7) + "\n\n5\n"), "m.map:16: warning: values after the grid"},
        {"tile numbers outside the tile set", Map(Rows(5) + "0 1 2 16 4 5 6 7 8\n" + Rows(1)),
         "m.map:12: warning: tile number 16 at cell (3, 5) is outside the tile set (0 to 15)"},
        {"a map too small to scroll", "M\n1\nA\nB\nshare/Tiles.png\n32 32 8 7\n" + Rows(7, "0 1 2 3 4 5 6 7\n"),
         "m.map:6: warning: the map is too small to scroll"},
        {"a tile width the game refuses", Map(Rows(7), "M\n1\nA\nB\nshare/Tiles.png\n0 32 9 7\n"),
         "m.map:5: error: the game refuses this map: it gives a tile width of 0"},
    };
    for (const Case& c : cases) {
        fixtures::ScratchDir dir;
        const Checked checked = Check(dir, c.content);
        EXPECT_EQ(checked.status, MapCheck::Warned) << c.name;
        EXPECT_NE(checked.report.find(c.expected), std::string::npos) << c.name << "\n" << checked.report;
    }
}

TEST(MapCheck, WindowsLineEndsWarnOncePerShiftedLine)
{
    fixtures::ScratchDir dir;
    std::string crlf;
    for (char c : Map(Rows(7)))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const Checked checked = Check(dir, crlf);
    EXPECT_EQ(checked.status, MapCheck::Warned);
    // Line 1's carriage return, the shift at line 2, and lines 3 and 4 read
    // as the tile set path and the line before it; the tile width is then
    // sought in the text of line 5.
    for (const char* expected :
         {"m.map:1: warning: carriage return", "m.map:2: warning: the number on line 2 is followed by a carriage return",
          "m.map:3: warning: carriage return", "m.map:4: warning: carriage return",
          "m.map:5: warning: text stands where the tile width is due"})
        EXPECT_NE(checked.report.find(expected), std::string::npos) << expected << "\n" << checked.report;
}

TEST(MapCheck, ACleanMapHasNoWarnings)
{
    fixtures::ScratchDir dir;
    const Checked checked = Check(dir, Map(Rows(7)));
    EXPECT_EQ(checked.status, MapCheck::Clean) << checked.report;
    EXPECT_EQ(Warnings(checked.report), 0);
}

TEST(MapCheck, TheProgramsStatusIsTheWorstOfItsFiles)
{
    fixtures::ScratchDir dir;
    fixtures::WriteFile(dir / "short.map", Map(Rows(2)));
    const std::map<std::string, std::string> env;
    const std::string root = VEXLUME_SOURCE_DIR;

    EXPECT_EQ(fixtures::Run(VEXLUME_MAPCHECK, root, env, 10, {"share/test.map"}).status, 0);
    EXPECT_EQ(fixtures::Run(VEXLUME_MAPCHECK, root, env, 10, {"share/test.map", dir / "short.map"}).status, 1);
    const fixtures::RunResult missing =
        fixtures::Run(VEXLUME_MAPCHECK, root, env, 10, {dir / "short.map", dir / "missing.map"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("missing.map: cannot be read"), std::string::npos) << missing.out;

    const fixtures::RunResult help = fixtures::Run(VEXLUME_MAPCHECK, root, env, 10, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: vexlume-mapcheck FILE..."), std::string::npos);
}

} // namespace
