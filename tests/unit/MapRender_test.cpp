// vexlume-mapcheck --render, run as a map maker runs it, on a machine with
// no display: what it refuses, and that a refusal leaves no file behind.
#include "Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string Header(const std::string& sizes)
{
    return "Render\n1\nA\nB\nshare/Tiles.png\n" + sizes + "\n";
}

TEST(MapRender, RefusesWithOneLineAndWritesNothingOrWritesTheWholePicture)
{
    fixtures::ScratchDir maps;
    fixtures::ScratchDir out;
    enum Says { Nothing, Refusal, MapMissing, WriteFails };
    struct Case {
        const char* name;
        std::string map;     // content; none means no file at all
        std::string picture; // where to write, within out
        Says says;           // what the one line on standard error is
        std::string problem; // for a refusal: the problem, after the map's path
    };
    const Case cases[] = {
        {"too small for the camera", Header("32 32 4 3"), "a.png", Refusal,
         "has 4x3 tiles; the camera window of 8x6 tiles needs a map of at least 9x7"},
        {"no tile width", Header("0 32 9 7"), "a.png", Refusal,
         "gives a tile width of 0; tiles must be at least 1 pixel wide"},
        {"missing", "", "a.png", MapMissing, ""},
        // Grid values left out are tile 0, which the game accepts.
        {"as wide as a picture may be", Header("1 1 16384 7"), "a.png", Nothing, ""},
        {"wider than a picture may be", Header("1 1 16385 7"), "a.png", Refusal,
         "would make a picture of 16385x7 pixels, more than the 16384 a picture may have on a side"},
        {"higher than a picture may be", Header("1 1 9 16385"), "a.png", Refusal,
         "would make a picture of 9x16385 pixels, more than the 16384 a picture may have on a side"},
        {"into a missing directory", Header("32 32 9 7"), "none/a.png", WriteFails, ""},
    };
    const std::map<std::string, std::string> noDisplay = {{"DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string map = maps / (std::string(c.name) + ".map");
        if (!c.map.empty())
            fixtures::WriteFile(map, c.map);
        const std::string picture = out / c.picture;
        const fixtures::RunResult run =
            fixtures::Run(VEXLUME_MAPCHECK, VEXLUME_SOURCE_DIR, noDisplay, 30, {"--render", picture, map});

        const std::string error = c.says == Refusal      ? "ERROR: Map \"" + map + "\" " + c.problem + ".\n"
                                  : c.says == MapMissing ? "ERROR: Couldn't load \"" + map + "\".\n"
                                  : c.says == WriteFails ? "Couldn't write '" + picture + "': No such file or directory\n"
                                                         : "";
        EXPECT_EQ(run.err, error);
        const bool written = c.says == Nothing;
        EXPECT_EQ(run.status, written ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(picture), written);
        // No temporary file is left beside the picture either.
        namespace fs = std::filesystem;
        EXPECT_EQ(std::distance(fs::directory_iterator(out.Path()), fs::directory_iterator()), written ? 1 : 0);
        fs::remove(picture);
    }
}

} // namespace
