#include "MapCheck.h"

#include "MapFile.h"
#include "MapReport.h"
#include "Scene.h"
#include "Tilemap.h"

#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>

namespace {

const char* const ItemNames[] = {"", "line 1", "the line-2 number", "line 3", "line 4", "the tile set path",
                                 "the tile width", "the tile height", "the column count", "the row count", "the grid"};

// Only the first few tile numbers outside the tile set are named one by one.
const int NamedOutsideTiles = 5;

// What one reading of a map file found, beyond what MapFile keeps.
struct Findings {
    MapFile map;
    std::string gridProblem; // why the game cannot hold the grid, or ""
    long long lowest = LLONG_MAX;
    long long highest = LLONG_MIN;
    // The tile set, read from the working directory as the game reads it.
    bool tilesetSought = false;
    bool tilesetLoaded = false;
    std::string tilesetError; // why it could not be loaded
    int setWidth = 0;
    int setHeight = 0;
    std::string tilesetProblem;
    int tileCount = -1;
    int outsideCount = 0;
    MapReport outside; // the tile numbers outside the tile set
};

void SeekTileset(Findings& f)
{
    f.tilesetSought = true;
    SDL_Surface* tileset = f.map.tilesetFile.empty() ? nullptr : IMG_Load(f.map.tilesetFile.c_str());
    if (!tileset) {
        f.tilesetError = f.map.tilesetFile.empty() ? "the path is empty" : Escaped(IMG_GetError());
        return;
    }
    f.tilesetLoaded = true;
    f.setWidth = tileset->w;
    f.setHeight = tileset->h;
    SDL_FreeSurface(tileset);
    f.tilesetProblem = Tilemap::TilesetProblem(f.map.tileWidth, f.map.tileHeight, f.setWidth, f.setHeight);
    if (f.tilesetProblem.empty())
        f.tileCount = f.setWidth / f.map.tileWidth * (f.setHeight / f.map.tileHeight);
}

// The grid is read once: the header, and so the tile set, is known by the
// time its first cell arrives.
void OnCell(Findings& f, int column, int row, int value, int line)
{
    if (!f.tilesetSought)
        SeekTileset(f);
    f.lowest = std::min<long long>(f.lowest, value);
    f.highest = std::max<long long>(f.highest, value);
    if (f.tileCount <= 0 || (value >= 0 && value < f.tileCount))
        return;
    if (++f.outsideCount <= NamedOutsideTiles)
        f.outside.Warn(line, "tile number " + std::to_string(value) + " at cell (" + std::to_string(column) + ", " +
                                 std::to_string(row) + ") is outside the tile set (0 to " +
                                 std::to_string(f.tileCount - 1) + ")");
}

// Where relative tile set paths are looked for from, as the game looks.
std::string WorkingDirectory()
{
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? "the current directory" : here.string();
}

void WriteSummary(const std::string& path, const Findings& f, std::ostream& out)
{
    const MapFile& map = f.map;
    out << path << ":\n";
    out << "  line " << map.itemLines[1] << " (title): " << Shown(map.headerLine1) << "\n";
    out << "  the number on line 2: " << map.headerNumber << "\n";
    out << "  line " << map.itemLines[3] << ": " << Shown(map.headerLine3) << "\n";
    out << "  line " << map.itemLines[4] << ": " << Shown(map.headerLine4) << "\n";
    out << "  line " << map.itemLines[5] << " (tile set): " << Shown(map.tilesetFile) << "\n";
    out << "  tiles: " << map.tileWidth << "x" << map.tileHeight << " pixels\n";
    out << "  map: " << map.columns << "x" << map.rows << " tiles";
    if (Tilemap::SizeProblem(map.tileWidth, map.tileHeight, map.columns, map.rows).empty())
        out << ", " << static_cast<long long>(map.tileWidth) * map.columns << "x"
            << static_cast<long long>(map.tileHeight) * map.rows << " pixels";
    out << "\n";
    if (!f.tilesetLoaded)
        out << "  tile set: cannot be loaded from " << WorkingDirectory() << "\n";
    else if (f.tileCount < 0)
        out << "  tile set: " << f.setWidth << "x" << f.setHeight << " pixels\n";
    else
        out << "  tile set: " << f.setWidth << "x" << f.setHeight << " pixels, " << f.tileCount << " tiles (0 to "
            << f.tileCount - 1 << ")\n";
    if (map.cellsRead > 0)
        out << "  grid: lines " << map.itemLines[10] << " to " << map.gridLastLine << ", " << map.cellsRead << " of "
            << static_cast<long long>(map.columns) * map.rows << " cells, tile numbers " << f.lowest << " to "
            << f.highest << "\n";
    else
        out << "  grid: no values read\n";
}

// Windows line ends: each header line that keeps a carriage return, and the
// line-2 number's skipped byte, which shifts every later line.
void WarnLineEnds(const MapFile& map, MapReport& report)
{
    bool headerCarriageReturn = false;
    for (int item : {1, 3, 4, 5}) {
        const std::string& text = item == 1 ? map.headerLine1 : item == 3 ? map.headerLine3
                                  : item == 4 ? map.headerLine4 : map.tilesetFile;
        if (!text.empty() && text.back() == '\r') {
            headerCarriageReturn = true;
            report.Warn(map.itemLines[item], "carriage return at the end of the line: the game keeps it as part "
                                             "of the text (the file has Windows line ends)");
        }
    }
    if (map.skippedByte >= 0 && map.skippedByte != '\n')
        report.Warn(map.skippedByteLine, "the number on line 2 is followed by " + ByteName(map.skippedByte) +
                                             ", not a line feed: that byte is skipped in place of the line end, "
                                             "so every later line shifts down by one");
    else if (!headerCarriageReturn && map.firstCarriageReturnLine > 0)
        report.Warn(map.firstCarriageReturnLine, "carriage return at the end of the line (the file has Windows "
                                                 "line ends)");
}

void WarnStop(const MapFile& map, MapReport& report)
{
    if (map.stop == MapFile::Complete)
        return;
    if (map.stopItem != 10) {
        const std::string why = map.stop == MapFile::EndOfFile    ? "the file ends"
                                : map.stop == MapFile::NotANumber ? "text stands"
                                                                  : "a number beyond 32 bits stands";
        report.Warn(map.stopLine, why + " where " + ItemNames[map.stopItem] +
                                      " is due: it and everything after it keep their defaults (empty or 0)");
        return;
    }
    const std::string where = "cell (" + std::to_string(map.cellsRead % map.columns) + ", " +
                              std::to_string(map.cellsRead / map.columns) + ")";
    const std::string rest = ": reading stops there, and that cell and every later one are tile 0";
    // The end of the file is named by the line of the last value.
    if (map.stop == MapFile::EndOfFile)
        report.Warn(map.gridLastLine ? map.gridLastLine : map.stopLine,
                    "the grid has only " + std::to_string(map.cellsRead) + " of " +
                        std::to_string(static_cast<long long>(map.columns) * map.rows) + " values: " + where +
                        " and every later cell are tile 0");
    else if (map.stop == MapFile::NotANumber)
        report.Warn(map.stopLine, "text inside the grid at " + where + rest);
    else
        report.Warn(map.stopLine, "a number beyond 32 bits at " + where + rest);
}

void WarnSizes(const MapFile& map, const std::string& gridProblem, MapReport& report)
{
    const int sizesLine = map.itemLines[8] ? map.itemLines[8] : map.stopLine;
    if (!gridProblem.empty()) {
        report.Refused(sizesLine, gridProblem);
        return;
    }
    const std::string size = Tilemap::SizeProblem(map.tileWidth, map.tileHeight, map.columns, map.rows);
    if (!size.empty())
        report.Refused(sizesLine, size);
    const std::string camera = Tilemap::CameraProblem(map.columns, map.rows, scene::CameraColumns, scene::CameraRows);
    if (!camera.empty())
        report.Refused(sizesLine, camera);
}

} // namespace

MapCheck::Status MapCheck::Check(const std::string& path, std::ostream& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out << path << ": cannot be read\n";
        return Unreadable;
    }
    Findings f;
    f.map.onCell = [&f](int column, int row, int value, int line) { OnCell(f, column, row, value, line); };
    f.gridProblem = f.map.Read(in);
    const int trailingLine = f.map.FindTrailing(in);
    if (!f.tilesetSought)
        SeekTileset(f);
    WriteSummary(path, f, out);

    // The traps, in the order a reader meets them in the file.
    MapReport report;
    const int tilesetLine = f.map.itemLines[5] ? f.map.itemLines[5] : f.map.stopLine;
    if (!f.tilesetLoaded)
        report.Stops(tilesetLine, "its tile set " + Shown(f.map.tilesetFile) + " cannot be loaded from " +
                                      WorkingDirectory() + ": " + f.tilesetError);
    if (!f.tilesetProblem.empty())
        report.Refused(tilesetLine, f.tilesetProblem);
    WarnLineEnds(f.map, report);
    WarnStop(f.map, report);
    if (trailingLine > 0)
        report.Warn(trailingLine, "values after the grid: the game never reads them");
    report.Append(f.outside);
    if (f.outsideCount > NamedOutsideTiles)
        report.Warn(f.map.gridLastLine, std::to_string(f.outsideCount - NamedOutsideTiles) +
                                            " more tile numbers are outside the tile set");
    WarnSizes(f.map, f.gridProblem, report);

    report.Write(path, out);
    if (!report.Warned())
        out << "  clean: the game reads this map as written\n";
    return report.Unplayable() ? Unplayable : report.Warned() ? Warned : Clean;
}
