// Whatever is wrong with the data or the machine, the real game ends at
// start with status 1 and its own one line on standard error, never through
// a signal and never hanging. The only other lines allowed are those written
// before it by the game for a missing map, and by libpng for a damaged PNG.
#include "Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct Refusal {
    std::string name;
    std::function<void(const std::string& share)> damage;
    std::string head; // the game's line up to the library's reason, or whole with its line feed
    std::map<std::string, std::string> env = {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "dummy"}};
};

// In the order the game loads them, with the start of the line that names each.
const std::vector<std::pair<std::string, std::string>> DataFiles = {
    {"Pellwick.png", "Couldn't load 'share/Pellwick.png': "}, {"test.map", "Couldn't load '': "},
    {"Tiles.png", "Couldn't load 'share/Tiles.png': "},       {"Vexlume.png", "Couldn't load 'share/Vexlume.png': "},
    {"Skarnel.png", "Couldn't load 'share/Skarnel.png': "},   {"formplex12.ttf", "Unable to load TTF font: "},
    {"Lullwater.ogg", "Couldn't load music: "}};

std::function<void(const std::string&)> Writes(const std::string& file, const std::string& bytes)
{
    return [=](const std::string& share) { fixtures::WriteFile(share + "/" + file, bytes); };
}

std::string Map(const std::string& sizes, const std::string& tileset = "share/Tiles.png")
{
    return "Vexlume test map\n1\nbad data\nsizes\n" + tileset + "\n" + sizes + "\n";
}

std::vector<Refusal> Refusals()
{
    std::vector<Refusal> all;
    for (size_t first = 0; first < DataFiles.size(); ++first) {
        const auto& [file, head] = DataFiles[first];
        // Only the first missing file in load order is reported.
        all.push_back({"missing " + file + " and those after it",
                       [first](const std::string& share) {
                           for (size_t later = first; later < DataFiles.size(); ++later)
                               std::remove((share + "/" + DataFiles[later].first).c_str());
                       },
                       (file == "test.map" ? "ERROR: Couldn't load \"share/test.map\".\n" : "") + head});
        all.push_back({"empty " + file, Writes(file, ""), head});
    }
    const std::string map = "ERROR: Map \"share/test.map\" ";
    const std::string tiles = fixtures::ReadFile(VEXLUME_SOURCE_DIR "/share/Tiles.png");
    const std::string big = "a picture of 8x40000 pixels is larger than the largest texture, ";
    auto tall = [](const std::string& file) {
        return [=](const std::string& share) {
            fixtures::WritePicture(share + "/" + file, 8, 40000, [](int x, int y) { return (x + y) % 7 ? 0x3366CCu : 0xFFFFFFu; });
        };
    };
    const std::vector<Refusal> more = {
        {"half of Tiles.png", Writes("Tiles.png", tiles.substr(0, tiles.size() / 2)), DataFiles[2].second},
        {"absurd sizes", Writes("test.map", Map("2147483647 2147483647 2147483647 2147483647\n1 2 3")),
         map + "has 2147483647x2147483647 tiles, more than the 16777216 a map may hold.\n"},
        // A few bytes once claimed a gigabyte of one-cell columns.
        {"millions of columns", Writes("test.map", Map("32 32 16777216 1")),
         map + "has 16777216 columns, more than the 65536 a map may have.\n"},
        {"negative columns", Writes("test.map", Map("9 7 -2147483648 2147483647")),
         map + "is too large: -19327352832x15032385529 pixels.\n"},
        // Control bytes are written as \xNN, so the line neither breaks nor drives the terminal.
        {"control bytes in a path", Writes("test.map", Map("32 32 9 7", "share/\x1b[31mTiles\x07.png\r")),
         "Couldn't load 'share/\\x1B[31mTiles\\x07.png\\x0D': "},
        // The GL back-end keeps each picture in one texture.
        {"a tall picture", tall("Skarnel.png"), DataFiles[4].second + big},
        {"a tall tile set", tall("Tiles.png"), DataFiles[2].second + big},
        {"an unknown audio driver", [](const std::string&) {}, "Unable to initialize the audio system: ",
         {{"SDL_VIDEODRIVER", "x11"}, {"SDL_AUDIODRIVER", "no-such-driver"}}},
        {"video without OpenGL", [](const std::string&) {}, "Unable to set video mode 1680x1050x32: ",
         {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}}},
    };
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

} // namespace

TEST(RealGame, RefusesBadDataAndMissingDriversWithOneLineAndStatusOne)
{
    for (const Refusal& refusal : Refusals()) {
        SCOPED_TRACE(refusal.name);
        fixtures::ScratchDir dir;
        fixtures::CopyShare(dir.Path());
        refusal.damage(dir / "share");
        const fixtures::RunResult run = fixtures::Run(VEXLUME_BINARY, dir.Path(), refusal.env, 30);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "Vexlume 0.0.6\n");
        std::string err = run.err;
        while (err.rfind("libpng ", 0) == 0)
            err.erase(0, err.find('\n') + 1);
        ASSERT_EQ(err.substr(0, refusal.head.size()), refusal.head) << run.err;
        const std::string reason = err.substr(refusal.head.size());
        if (refusal.head.back() != '\n')
            EXPECT_TRUE(reason.size() > 1 && reason.find('\n') == reason.size() - 1) << run.err;
        else
            EXPECT_EQ(reason, "");
        for (const char c : run.err)
            EXPECT_TRUE(c == '\n' || (Uint8(c) >= 0x20 && c != 0x7F)) << "a control byte: " << run.err;
    }
}
