// The Vexlume map format in the Tiled map editor, driven through Tiled's own command line with a private extensions
// folder that vexlume-mapcheck --enable-tiled fills: maps open and save back unchanged, what the format cannot hold
// is refused with every reason and nothing written, and a map drawn in Tiled plays as Tiled draws it.
#include "Fixtures.h"
#include "PngFile.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

const std::string Source = VEXLUME_SOURCE_DIR;
const std::string GameTiles = Source + "/share/Tiles.png";

// Tile ids in Tiled's files: 0 is an empty cell, tile n of the first tile set is n + 1, and the top bits flip.
const Uint32 Empty = 0;
const Uint32 FlippedX = 0x80000000u;
const Uint32 Diagonal = 0x20000000u;

std::string Csv(const std::vector<Uint32>& gids, int columns)
{
    std::string csv = "\n";
    for (size_t i = 0; i < gids.size(); ++i)
        csv += std::to_string(gids[i]) + (i + 1 < gids.size() ? "," : "") + ((i + 1) % columns == 0 ? "\n" : "");
    return csv;
}

std::string TileLayer(const std::string& name, const std::vector<Uint32>& gids, int columns = 10)
{
    return "<layer name=\"" + name + "\" width=\"" + std::to_string(columns) + "\" height=\"" +
           std::to_string(gids.size() / columns) + "\"><data encoding=\"csv\">" + Csv(gids, columns) +
           "</data></layer>\n";
}

// Tiled keeps a tile set's transparent colour on its image: trans="RRGGBB".
std::string Tileset(int firstGid, const std::string& name, const std::string& image, const std::string& sizes,
                    const std::string& trans = "")
{
    return "<tileset firstgid=\"" + std::to_string(firstGid) + "\" name=\"" + name + "\" " + sizes + "><image " +
           (trans.empty() ? "" : "trans=\"" + trans + "\" ") + "source=\"" + image + "\"/></tileset>\n";
}

std::string Tmx(const std::string& attributes, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.8\" renderorder=\"right-down\" " + attributes +
           ">\n" + body + "</map>\n";
}

const std::string Ortho10x7 = "orientation=\"orthogonal\" width=\"10\" height=\"7\" tilewidth=\"32\" "
                              "tileheight=\"32\" infinite=\"0\"";
const std::string Tiles32 = "tilewidth=\"32\" tileheight=\"32\"";
const std::string GameTileset = Tileset(1, "Tiles", GameTiles, Tiles32, "000000");

// The numbers of a map file from its line 6 on, and its first five lines, as the game reads them.
struct MapText {
    std::string header;
    std::vector<std::string> numbers;
};

MapText Split(const std::string& text)
{
    MapText map;
    std::istringstream in(text);
    std::string line;
    for (int i = 0; i < 5 && std::getline(in, line); ++i)
        map.header += line + "\n";
    for (std::string number; in >> number;)
        map.numbers.push_back(number);
    return map;
}

struct Rgba {
    int width = 0;
    int height = 0;
    std::vector<Uint32> pixels; // 0xAARRGGBB, every fully transparent pixel 0
};

// A copy in one known layout: the alpha channel copied, not blended (SDL_SetAlpha off), as FromSurface copies.
Rgba LoadRgba(const std::string& path)
{
    Rgba picture;
    SDL_Surface* file = IMG_Load(path.c_str());
    if (!file)
        return picture;
    SDL_Surface* rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, file->w, file->h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    SDL_SetAlpha(file, 0, 255);
    SDL_BlitSurface(file, nullptr, rgba, nullptr);
    picture.width = rgba->w;
    picture.height = rgba->h;
    for (int y = 0; y < rgba->h; ++y) {
        for (int x = 0; x < rgba->w; ++x) {
            const Uint32 pixel = static_cast<Uint32*>(rgba->pixels)[y * rgba->pitch / 4 + x];
            picture.pixels.push_back(pixel >> 24 == 0 ? 0 : pixel);
        }
    }
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(file);
    return picture;
}

// Tiled with the format enabled for a private configuration, as a map maker enables it.
class Tiled : public ::testing::Test
{
protected:
    void SetUp() override
    {
        env = {{"XDG_CONFIG_HOME", config.Path()}, {"QT_QPA_PLATFORM", "offscreen"}};
        const fixtures::RunResult enabled = fixtures::Run(VEXLUME_MAPCHECK, work.Path(), env, 60, {"--enable-tiled"});
        ASSERT_EQ(enabled.status, 0) << "vexlume-mapcheck --enable-tiled said:\n" << enabled.out << enabled.err;
    }

    fixtures::RunResult Export(const std::string& format, const std::string& in, const std::string& out)
    {
        return fixtures::Run(VEXLUME_TILED, work.Path(), env, 60, {"--export-map", format, in, out});
    }

    // A refused export: Tiled's failure, every reason on standard error, and no file.
    void ExpectRefused(const std::string& tmx, const std::vector<std::string>& reasons)
    {
        fixtures::WriteFile(work / "refused.tmx", tmx);
        const fixtures::RunResult exported = Export("vexlume", "refused.tmx", "refused.map");
        EXPECT_NE(exported.status, 0) << "Tiled's status for a refused map; it said:\n" << exported.err;
        for (const std::string& reason : reasons)
            EXPECT_NE(exported.err.find(reason), std::string::npos)
                << "expected \"" << reason << "\" among the reasons:\n"
                << exported.err;
        EXPECT_FALSE(std::filesystem::exists(work / "refused.map")) << "a refused map was written";
    }

    fixtures::ScratchDir config;
    fixtures::ScratchDir work;
    std::map<std::string, std::string> env;
};

TEST_F(Tiled, TheShippedMapAndTheDocsExampleOpenAndSaveUnchanged)
{
    const std::string shipped = fixtures::ReadFile(Source + "/share/test.map");
    const fixtures::RunResult direct = Export("vexlume", Source + "/share/test.map", "direct.map");
    EXPECT_EQ(direct.status, 0) << direct.err;
    EXPECT_TRUE(fixtures::ReadFile(work / "direct.map") == shipped) << "share/test.map saved untouched differs";
    // Through Tiled's own format, where the header lines live as map properties.
    const fixtures::RunResult toTmx = Export("tmx", Source + "/share/test.map", "test.tmx");
    EXPECT_EQ(toTmx.status, 0) << toTmx.err;
    const fixtures::RunResult back = Export("vexlume", "test.tmx", "back.map");
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_TRUE(fixtures::ReadFile(work / "back.map") == shipped) << "share/test.map through a TMX file differs";
    EXPECT_NE(fixtures::ReadFile(work / "test.tmx").find("trans=\"000000\""), std::string::npos)
        << "the tile set opened without black as its transparent colour, which the game keys out";

    // The docs' worked example writes its sizes on two lines: the numbers come back, on one.
    std::istringstream docs(fixtures::ReadFile(Source + "/docs/map-format.md"));
    std::string example;
    std::string line;
    while (std::getline(docs, line) && line != "## A worked example") {
    }
    while (std::getline(docs, line) && (example.empty() || !line.empty()))
        if (line.size() > 4)
            example += line.substr(4) + "\n";
    fixtures::WriteFile(work / "meadow.map", example);
    const fixtures::RunResult meadow = Export("vexlume", "meadow.map", "meadow-saved.map");
    EXPECT_EQ(meadow.status, 0) << meadow.err;
    const MapText before = Split(example);
    const MapText after = Split(fixtures::ReadFile(work / "meadow-saved.map"));
    EXPECT_EQ(after.header, before.header) << "the worked example's header lines";
    EXPECT_EQ(after.numbers, before.numbers) << "the worked example's sizes and tile numbers";
    EXPECT_EQ(before.numbers.size(), 74u) << "the worked example read from docs/map-format.md:\n" << example;
}

// Warnings alone: the game plays the map, but not as written.
TEST_F(Tiled, AMapTheGameReadsOtherwiseIsNotOpenedAndTheCheckerSaysWhy)
{
    fixtures::WriteFile(work / "longer.map", fixtures::ReadFile(Source + "/share/test.map") + "5 5\n");
    const fixtures::RunResult opened = Export("vexlume", "longer.map", "out.map");
    EXPECT_NE(opened.status, 0) << "Tiled's status opening a map the game reads otherwise";
    EXPECT_NE(opened.err.find("longer.map:37: warning: values after the grid: the game never reads them"),
              std::string::npos)
        << "the checker's words, expected on standard error:\n"
        << opened.err;
    EXPECT_NE(opened.err.find("longer.map: not opened: the game would not read it as written (vexlume-mapcheck "
                              "status 1)"),
              std::string::npos)
        << opened.err;
    EXPECT_FALSE(std::filesystem::exists(work / "out.map")) << "a map that was not opened was saved";
}

TEST_F(Tiled, EveryCellTheFormatCannotHoldIsNamedByColumnAndRow)
{
    std::vector<Uint32> cells(70, 1);
    cells[2] = Empty;
    cells[3] = Empty;
    cells[4] = Empty;
    cells[10 + 5] = 1 | FlippedX;
    cells[20 + 6] = 1 | Diagonal;
    cells[30 + 7] = 17;
    const std::string second = Tileset(17, "Title", Source + "/share/Vexlume.png", Tiles32);
    const std::string objects = "<objectgroup name=\"Notes\"/>\n";
    ExpectRefused(Tmx(Ortho10x7, GameTileset + second + TileLayer("Ground", cells) + objects),
                  {"refused.map: cannot be saved as a Vexlume map: cells (2, 0) to (4, 0) are empty",
                   "cell (5, 1) holds a flipped or rotated tile", "cell (6, 2) holds a flipped or rotated tile",
                   "cell (7, 3) uses the second tile set Title", "the map uses 2 tile sets (Tiles, Title)",
                   "refused.map: note: left out, as the game draws one tile layer only: Notes",
                   "refused.map: not saved: 5 things the Vexlume format cannot hold"});
}

TEST_F(Tiled, MapsAndTileSetsOfOtherShapesAreRefusedWithEveryReason)
{
    std::filesystem::copy_file(GameTiles, work / "outside.png");
    const std::string isometric = "orientation=\"isometric\" width=\"10\" height=\"7\" tilewidth=\"32\" "
                                  "tileheight=\"32\" infinite=\"0\"";
    const std::string spaced =
        Tileset(1, "Spaced", work / "outside.png", "tilewidth=\"16\" tileheight=\"16\" margin=\"1\" spacing=\"1\"");
    const std::vector<Uint32> cells(70, 1);
    const std::string header = "<properties><property name=\"line 2 (number)\" value=\"one\"/>"
                               "<property name=\"line 3\" value=\"two&#10;lines\"/></properties>\n";
    ExpectRefused(Tmx(isometric, header + spaced + TileLayer("Ground", cells) + TileLayer("Trees", cells)),
                  {"the map property \"line 2 (number)\" is \"one\", but the game reads a whole number there",
                   "the map property \"line 3\" holds a line break", "the map is not orthogonal",
                   "the map has 2 tile layers, but the game reads one", "has a margin of 1 and a spacing of 1 pixels",
                   "the tile set's tiles are 16x16 pixels but the map's are 32x32",
                   "the tile set image " + work / "outside.png" + " lies outside the game's directory " + Source});

    const std::string infinite = "orientation=\"orthogonal\" width=\"10\" height=\"7\" tilewidth=\"32\" "
                                 "tileheight=\"32\" infinite=\"1\"";
    const std::string collection = "<tileset firstgid=\"1\" name=\"Pictures\" tilewidth=\"32\" tileheight=\"32\">"
                                   "<tile id=\"0\"><image width=\"32\" height=\"32\" source=\"" +
                                   GameTiles + "\"/></tile></tileset>\n";
    const std::string chunk = "<layer name=\"Ground\" width=\"16\" height=\"16\"><data encoding=\"csv\">"
                              "<chunk x=\"0\" y=\"0\" width=\"16\" height=\"16\">" +
                              Csv(std::vector<Uint32>(256, 1), 16) + "</chunk></data></layer>\n";
    ExpectRefused(Tmx(infinite, collection + chunk),
                  {"the map is infinite", "the tile set Pictures is a collection of images, one per tile"});
}

// A map drawn in Tiled on a tile set of its own, kept in the game's directory: exported, the checker passes it and
// draws it as Tiled draws it, black keyed out as the game keys it out of tiles.
TEST_F(Tiled, AMapDrawnOnATileSetOfItsOwnPlaysAsTiledDrawsIt)
{
    fixtures::ScratchDir game;
    std::filesystem::create_directory(game / "share");
    std::vector<Uint32> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 96; ++x)
            pixels.push_back(x % 32 < 4 ? 0xFF000000u : 0xFF000000u | (x / 32 * 0x50 + 0x30) << 16 | (y * 7) << 8);
    ASSERT_EQ(WritePng(game / "share/own.png", 96, 32, pixels), "");
    fixtures::WriteFile(config / "tiled/extensions/vexlume/places.txt",
                        "checker=" + std::string(VEXLUME_MAPCHECK) + "\ngame=" + game.Path() + "\n");
    std::vector<Uint32> cells;
    for (int i = 0; i < 70; ++i)
        cells.push_back(i * 7 % 3 + 1);
    const std::string own = Tileset(1, "Own", game / "share/own.png", Tiles32, "000000");
    fixtures::WriteFile(work / "own.tmx", Tmx(Ortho10x7, own + TileLayer("Ground", cells)));

    const fixtures::RunResult named = fixtures::Run(VEXLUME_MAPCHECK, work.Path(), env, 60, {"own.tmx"});
    EXPECT_EQ(named.status, 4) << "the checker's status for a Tiled map:\n" << named.out;
    EXPECT_NE(named.out.find("own.tmx: a Tiled map, not a Vexlume map: export it as one with: tiled --export-map "
                             "vexlume own.tmx own.map"),
              std::string::npos)
        << named.out;
    const fixtures::RunResult exported = Export("vexlume", "own.tmx", "own.map");
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(Split(fixtures::ReadFile(work / "own.map")).header, "own\n1\nmade in Tiled\n"
                                                                  "tiles 32x32, 10 columns, 7 rows\nshare/own.png\n");
    const fixtures::RunResult checked = fixtures::Run(VEXLUME_MAPCHECK, work.Path(), env, 60,
                                                      {"--from", game.Path(), "--render", "own.png", "own.map"});
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_NE(checked.out.find("clean: the game reads this map as written"), std::string::npos) << checked.out;
    const fixtures::RunResult drawn =
        fixtures::Run(VEXLUME_TMXRASTERIZER, work.Path(), env, 60, {"--no-smoothing", "own.tmx", "tiled.png"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;

    const Rgba ours = LoadRgba(work / "own.png");
    const Rgba tileds = LoadRgba(work / "tiled.png");
    ASSERT_EQ(ours.width, 320) << "the checker's picture";
    ASSERT_EQ(ours.height, 224) << "the checker's picture";
    ASSERT_EQ(tileds.width, ours.width) << "tmxrasterizer's picture";
    ASSERT_EQ(tileds.height, ours.height) << "tmxrasterizer's picture";
    int differing = 0;
    int transparent = 0;
    for (size_t i = 0; i < ours.pixels.size(); ++i) {
        differing += ours.pixels[i] != tileds.pixels[i];
        transparent += ours.pixels[i] == 0;
    }
    EXPECT_EQ(differing, 0) << "pixels where the checker's picture and tmxrasterizer's differ";
    EXPECT_EQ(transparent, 70 * 4 * 32) << "transparent pixels: the black stripe of each tile";

    // Tiled's transparent colour is not the game's: saved, with a note of what the player sees.
    std::string magenta = fixtures::ReadFile(work / "own.tmx");
    magenta.replace(magenta.find("trans=\"000000\""), 14, "trans=\"ff00ff\"");
    fixtures::WriteFile(work / "magenta.tmx", magenta);
    const fixtures::RunResult noted = Export("vexlume", "magenta.tmx", "magenta.map");
    EXPECT_EQ(noted.status, 0) << noted.err;
    EXPECT_NE(noted.err.find("magenta.map: note: the tile set's transparent colour is #ff00ff, but the game keys out "
                             "pure black (0, 0, 0) in tiles"),
              std::string::npos)
        << noted.err;
    EXPECT_TRUE(std::filesystem::exists(work / "magenta.map")) << "a map with a note was not saved";
}

} // namespace
