#include "MapCheck.h"

#include "MapFile.h"
#include "Tilemap.h"

#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <vector>

namespace {

const char* const ItemNames[] = {"",
                                 "line 1",
                                 "the line-2 number",
                                 "line 3",
                                 "line 4",
                                 "the tile set path",
                                 "the tile width",
                                 "the tile height",
                                 "the column count",
                                 "the row count",
                                 "the grid"};

// Shows a header text as the game holds it, carriage returns included.
std::string Shown(const std::string& text)
{
    std::string shown = "\"";
    for (char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else
            shown += c;
    }
    return shown + "\"";
}

std::string ByteName(int byte)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string name = "0x";
    name += hex[(byte >> 4) & 0xF];
    name += hex[byte & 0xF];
    if (byte == '\r')
        return "a carriage return (" + name + ")";
    if (byte == ' ')
        return "a space (" + name + ")";
    if (byte == '\t')
        return "a tab (" + name + ")";
    if (byte > ' ' && byte < 0x7F)
        return "'" + std::string(1, static_cast<char>(byte)) + "' (" + name + ")";
    return "byte " + name;
}

// Warnings are gathered and written in the order of their lines, the way a
// map maker reads the file.
class Report
{
public:
    void Warn(int line, const std::string& text) { entries.push_back({line, "warning: " + text}); }
    void Refused(int line, const std::string& problem)
    {
        entries.push_back({line, "error: the game refuses this map: it " + problem});
    }
    bool Warned() const { return !entries.empty(); }
    void Write(const std::string& path, std::ostream& out)
    {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.line < b.line; });
        for (const Entry& entry : entries)
            out << path << ":" << entry.line << ": " << entry.text << "\n";
    }

private:
    struct Entry {
        int line;
        std::string text;
    };
    std::vector<Entry> entries;
};

} // namespace

MapCheck::Status MapCheck::Check(const std::string& path, std::ostream& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out << path << ": cannot be read\n";
        return Unreadable;
    }

    MapFile map;
    long long lowest = LLONG_MAX;
    long long highest = LLONG_MIN;
    int outsideCount = 0;
    int tileCount = -1;
    map.onCell = [&](int, int, int value, int) {
        lowest = std::min<long long>(lowest, value);
        highest = std::max<long long>(highest, value);
    };
    Report report;
    const std::string gridProblem = map.Read(in);
    const int trailingLine = map.FindTrailing(in);

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

    // The tile set, read as the game would from the working directory.
    SDL_Surface* tileset = map.tilesetFile.empty() ? nullptr : IMG_Load(map.tilesetFile.c_str());
    if (tileset) {
        const std::string problem = Tilemap::TilesetProblem(map.tileWidth, map.tileHeight, tileset->w, tileset->h);
        out << "  tile set: " << tileset->w << "x" << tileset->h << " pixels";
        if (problem.empty()) {
            const int columns = tileset->w / map.tileWidth;
            tileCount = columns * (tileset->h / map.tileHeight);
            out << ", " << tileCount << " tiles (0 to " << tileCount - 1 << ")";
        }
        out << "\n";
        if (!problem.empty())
            report.Refused(map.itemLines[5], problem);
        SDL_FreeSurface(tileset);
    } else {
        out << "  tile set: cannot be loaded from this directory\n";
    }

    if (map.cellsRead > 0)
        out << "  grid: lines " << map.itemLines[10] << " to " << map.gridLastLine << ", " << map.cellsRead
            << " of " << static_cast<long long>(map.columns) * map.rows << " cells, tile numbers " << lowest
            << " to " << highest << "\n";
    else
        out << "  grid: no values read\n";

    // The traps, in the order a reader meets them in the file.
    bool headerCarriageReturn = false;
    for (int item : {1, 3, 4, 5}) {
        const std::string& text = item == 1   ? map.headerLine1
                                  : item == 3 ? map.headerLine3
                                  : item == 4 ? map.headerLine4
                                              : map.tilesetFile;
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

    if (map.stop != MapFile::Complete) {
        const long long cells = static_cast<long long>(map.columns) * map.rows;
        if (map.stopItem == 10) {
            const long long column = map.cellsRead % map.columns;
            const long long row = map.cellsRead / map.columns;
            const std::string where = "cell (" + std::to_string(column) + ", " + std::to_string(row) + ")";
            // The end of the file is named by the line of the last value.
            if (map.stop == MapFile::EndOfFile)
                report.Warn(map.gridLastLine ? map.gridLastLine : map.stopLine, "the grid has only " + std::to_string(map.cellsRead) + " of " +
                                              std::to_string(cells) + " values: " + where +
                                              " and every later cell are tile 0");
            else if (map.stop == MapFile::NotANumber)
                report.Warn(map.stopLine, "text inside the grid at " + where +
                                              ": reading stops there, and that cell and every later one are tile 0");
            else
                report.Warn(map.stopLine, "a number beyond 32 bits at " + where +
                                              ": reading stops there, and that cell and every later one are tile 0");
        } else {
            const std::string why = map.stop == MapFile::EndOfFile    ? "the file ends"
                                    : map.stop == MapFile::NotANumber ? "text stands"
                                                                      : "a number beyond 32 bits stands";
            report.Warn(map.stopLine, why + " where " + ItemNames[map.stopItem] +
                                          " is due: it and everything after it keep their defaults (empty or 0)");
        }
    }
    if (trailingLine > 0)
        report.Warn(trailingLine, "values after the grid: the game never reads them");

    if (tileCount > 0 && map.cellsRead > 0) {
        // A second pass over the grid, now that the tile count is known, to
        // name the lines of tile numbers outside the tile set.
        std::ifstream again(path, std::ios::binary);
        MapFile lines;
        lines.onCell = [&](int column, int row, int value, int line) {
            if (value >= 0 && value < tileCount)
                return;
            if (++outsideCount <= 5)
                report.Warn(line, "tile number " + std::to_string(value) + " at cell (" + std::to_string(column) +
                                      ", " + std::to_string(row) + ") is outside the tile set (0 to " +
                                      std::to_string(tileCount - 1) + ")");
        };
        lines.Read(again);
        if (outsideCount > 5)
            report.Warn(map.gridLastLine, std::to_string(outsideCount - 5) +
                                              " more tile numbers are outside the tile set");
    }

    const int sizesLine = map.itemLines[8] ? map.itemLines[8] : map.stopLine;
    if (!gridProblem.empty())
        report.Refused(sizesLine, gridProblem);
    else {
        const std::string size = Tilemap::SizeProblem(map.tileWidth, map.tileHeight, map.columns, map.rows);
        if (!size.empty())
            report.Refused(sizesLine, size);
        const std::string camera = Tilemap::CameraProblem(map.columns, map.rows, CameraColumns, CameraRows);
        if (!camera.empty())
            report.Warn(sizesLine, "the map is too small to scroll: it " + camera +
                                                    "; the game refuses it");
    }

    report.Write(path, out);
    if (!report.Warned())
        out << "  clean: the game reads this map as written\n";
    return report.Warned() ? Warned : Clean;
}
