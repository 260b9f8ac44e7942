#include "MapCheck.h"

#include "DataFile.h"
#include "Fatal.h"
#include "MapFile.h"
#include "MapReport.h"
#include "MeantReading.h"
#include "Scene.h"
#include "Tilemap.h"
#include "TiledFormat.h"

#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <vector>

namespace {

const char* const ItemNames[MapFile::ItemEnd] = {"",
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

const std::string ByteOrderMark = "\xEF\xBB\xBF";
const std::string LineEndFix = "convert the file to Unix line ends (dos2unix FILE, or sed -i 's/\\r$//' FILE)";

// Only the first few tile numbers outside the tile set are named one by one.
const int NamedOutsideTiles = 5;

// The numbers written on one line from the grid's start on: grid cells,
// and words after the grid, which the game never reads.
struct GridLine {
    int line = 0;
    long long firstCell = -1; // the index of the line's first cell, or -1 for words after the grid only
    int numbers = 0;
};

// What one reading of a map file found, beyond what MapFile keeps.
struct Findings {
    MapFile map;
    std::string gridProblem; // why the game cannot hold the grid, or ""
    long long lowest = LLONG_MAX;
    long long highest = LLONG_MIN;
    std::vector<GridLine> gridLines;
    // The tile set, read from the working directory as the game reads it.
    bool tilesetSought = false;
    bool tilesetLoaded = false;
    std::string tilesetError; // why it could not be loaded
    // When the path as written cannot be loaded and the path without the
    // blanks or carriage return around it can: that path. The tile numbers
    // are checked against that tile set, as they were probably meant.
    std::string tilesetMeant;
    int setWidth = 0;
    int setHeight = 0;
    std::string tilesetProblem;
    int tileCount = -1;
    int outsideCount = 0;
    MapReport outside; // the tile numbers outside the tile set
};

std::string Plural(long long count, const std::string& noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Cell(long long index, int columns)
{
    return "cell (" + std::to_string(index % columns) + ", " + std::to_string(index / columns) + ")";
}

// Whether the reading got past the item.
bool WasRead(const MapFile& map, MapFile::Item item)
{
    return map.stop == MapFile::Complete || map.stopItem > item;
}

// Where an item stands, or where the reading stopped when it never came;
// numbers are pointed at by their column, as several share a line.
Where ItemAt(const MapFile& map, MapFile::Item item)
{
    if (map.itemLines[item] == 0)
        return {map.stopLine, map.stop == MapFile::EndOfFile ? 0 : map.stopColumn};
    const bool line =
        item == MapFile::Title || item == MapFile::Line3 || item == MapFile::Line4 || item == MapFile::TilesetPath;
    return {map.itemLines[item], line ? 0 : map.itemColumns[item]};
}

std::string Lines(const MapFile& map, MapFile::Item first, MapFile::Item second)
{
    if (!WasRead(map, second))
        return "";
    const int a = map.itemLines[first];
    const int b = map.itemLines[second];
    return a == b ? " (line " + std::to_string(a) + ")"
                  : " (lines " + std::to_string(a) + " and " + std::to_string(b) + ")";
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r") + 1 - first);
}

void CountOnLine(std::vector<GridLine>& lines, int line, long long cell)
{
    if (lines.empty() || lines.back().line != line) {
        lines.push_back(GridLine());
        lines.back().line = line;
        lines.back().firstCell = cell;
    }
    ++lines.back().numbers;
}

void SeekTileset(Findings& f)
{
    f.tilesetSought = true;
    const std::string& path = f.map.tilesetFile;
    SDL_Surface* tileset = path.empty() ? nullptr : IMG_Load(path.c_str());
    f.tilesetLoaded = tileset != nullptr;
    if (!tileset) {
        f.tilesetError = path.empty() ? "the path is empty" : Printable(IMG_GetError());
        const std::string meant = Trimmed(path);
        if (meant.empty() || meant == path || !(tileset = IMG_Load(meant.c_str())))
            return;
        f.tilesetMeant = meant;
    }
    f.setWidth = tileset->w;
    f.setHeight = tileset->h;
    SDL_FreeSurface(tileset);
    f.tilesetProblem = Tilemap::TilesetProblem(f.map.tileWidth, f.map.tileHeight, f.setWidth, f.setHeight);
    if (f.tilesetProblem.empty())
        f.tileCount = Tilemap::TileCount(f.map.tileWidth, f.map.tileHeight, f.setWidth, f.setHeight);
}

// The grid is read once: the header, and so the tile set, is known by the
// time its first cell arrives.
void OnCell(Findings& f, int column, int row, int value, int line)
{
    if (!f.tilesetSought)
        SeekTileset(f);
    CountOnLine(f.gridLines, line, f.map.cellsRead);
    f.lowest = std::min<long long>(f.lowest, value);
    f.highest = std::max<long long>(f.highest, value);
    if (f.tileCount <= 0 || (value >= 0 && value < f.tileCount))
        return;
    if (++f.outsideCount <= NamedOutsideTiles)
        f.outside.Warn({line, f.map.numberColumn}, "tile number " + std::to_string(value) + " at cell (" +
                                                       std::to_string(column) + ", " + std::to_string(row) +
                                                       ") is outside the tile set (0 to " +
                                                       std::to_string(f.tileCount - 1) + ")");
}

std::string Title(const std::string& title)
{
    if (title.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0)
        return Shown(title.substr(ByteOrderMark.size())) + ", after a byte-order mark";
    return Shown(title);
}

void WriteSummary(const std::string& name, const std::string& from, const Findings& f, std::ostream& out)
{
    const MapFile& map = f.map;
    out << Printable(name) << ":\n";
    out << "  line " << map.itemLines[MapFile::Title] << " (title): " << Title(map.headerLine1) << "\n";
    out << "  line " << map.itemLines[MapFile::HeaderNumber] << " (the number): " << map.headerNumber << "\n";
    out << "  line " << map.itemLines[MapFile::Line3] << ": " << Shown(map.headerLine3) << "\n";
    out << "  line " << map.itemLines[MapFile::Line4] << ": " << Shown(map.headerLine4) << "\n";
    out << "  line " << map.itemLines[MapFile::TilesetPath] << " (tile set): " << Shown(map.tilesetFile) << "\n";
    out << "  tiles: " << map.tileWidth << "x" << map.tileHeight << " pixels"
        << Lines(map, MapFile::TileWidth, MapFile::TileHeight) << "\n";
    out << "  map: " << map.columns << "x" << map.rows << " tiles";
    if (Tilemap::SizeProblem(map.tileWidth, map.tileHeight, map.columns, map.rows).empty())
        out << ", " << static_cast<long long>(map.tileWidth) * map.columns << "x"
            << static_cast<long long>(map.tileHeight) * map.rows << " pixels";
    out << Lines(map, MapFile::ColumnCount, MapFile::RowCount) << "\n";
    if (!f.tilesetLoaded && !f.tilesetMeant.empty())
        out << "  tile set: cannot be loaded from " << from << "; without the blanks around it, "
            << Shown(f.tilesetMeant) << " is " << f.setWidth << "x" << f.setHeight << " pixels"
            << (f.tileCount > 0 ? ", " + std::to_string(f.tileCount) + " tiles" : "") << "\n";
    else if (!f.tilesetLoaded)
        out << "  tile set: cannot be loaded from " << from << "\n";
    else if (f.tileCount < 0)
        out << "  tile set: " << f.setWidth << "x" << f.setHeight << " pixels, from " << from << "\n";
    else
        out << "  tile set: " << f.setWidth << "x" << f.setHeight << " pixels, " << f.tileCount << " tiles (0 to "
            << f.tileCount - 1 << "), from " << from << "\n";
    if (map.cellsRead > 0)
        out << "  grid: lines " << map.itemLines[MapFile::Grid] << " to " << map.gridLastLine << ", "
            << map.cellsRead << " of " << static_cast<long long>(map.columns) * map.rows << " cells, tile numbers "
            << f.lowest << " to " << f.highest << "\n";
    else
        out << "  grid: no values read\n";
}

// What stands before the grid and does not read as the format describes it:
// a byte-order mark, blank lines before the number, blanks around the tile
// set's name.
void NoteHeader(const MapFile& map, MapReport& report)
{
    if (map.headerLine1.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0)
        report.Note(1, "the file begins with a UTF-8 byte-order mark (EF BB BF): the game keeps it as the start "
                       "of the title, which nothing shows; save the file without it (as UTF-8 without BOM)");
    const int numberLine = map.itemLines[MapFile::HeaderNumber];
    if (numberLine > 2)
        report.Note(2, Plural(numberLine - 2, "blank line") + " before the number: the game skips " +
                           (numberLine - 2 == 1 ? "it" : "them") + " and reads the number on line " +
                           std::to_string(numberLine) + ", so every later line is read as meant, " +
                           "only further down; remove " + (numberLine - 2 == 1 ? "it" : "them") +
                           " to keep the format's layout");
    std::string path = map.tilesetFile;
    if (!path.empty() && path.back() == '\r')
        path.pop_back();
    if (path.empty())
        return;
    const size_t leading = path.find_first_not_of(" \t");
    const size_t trailing = path.size() - 1 - path.find_last_not_of(" \t");
    const int line = map.itemLines[MapFile::TilesetPath];
    if (leading == std::string::npos)
        report.Warn(line, "the tile set path is only blanks: the game looks for a file of that name");
    else if (leading > 0)
        report.Warn(line, "the tile set path begins with " + Plural(static_cast<long long>(leading), "blank") +
                              ", which the game keeps as part of the file name: remove " +
                              (leading == 1 ? "it" : "them"));
    else if (trailing > 0)
        report.Warn({line, static_cast<int>(path.size() - trailing) + 1},
                    "the tile set path ends with " + Plural(static_cast<long long>(trailing), "blank") +
                        ", which the game keeps as part of the file name: remove " + (trailing == 1 ? "it" : "them"));
}

// Windows line ends: each header line that keeps a carriage return, and the
// line-2 number's skipped byte, which shifts every later line.
void WarnLineEnds(const MapFile& map, MapReport& report)
{
    bool headerCarriageReturn = false;
    const std::pair<MapFile::Item, const std::string*> lines[] = {{MapFile::Title, &map.headerLine1},
                                                                  {MapFile::Line3, &map.headerLine3},
                                                                  {MapFile::Line4, &map.headerLine4},
                                                                  {MapFile::TilesetPath, &map.tilesetFile}};
    for (const auto& [item, text] : lines) {
        if (text->empty() || text->back() != '\r')
            continue;
        const std::string fix = headerCarriageReturn ? "" : "; " + LineEndFix;
        headerCarriageReturn = true;
        report.Warn({map.itemLines[item], static_cast<int>(text->size())},
                    "carriage return at the end of the line: the game keeps it as part of the "
                    "text (the file has Windows line ends)" +
                        fix);
    }
    if (map.skippedByte >= 0 && map.skippedByte != '\n')
        report.Warn({map.skippedByteLine, map.skippedByteColumn},
                    "the number on line " + std::to_string(map.skippedByteLine) + " is followed by " +
                        ByteName(map.skippedByte) +
                        ", not a line feed: that byte is skipped in place of the line end, "
                        "so every later line shifts down by one");
    else if (!headerCarriageReturn && map.firstCarriageReturnLine > 0)
        report.Warn(map.firstCarriageReturnLine,
                    "carriage return at the end of the line (the file has Windows line ends): " + LineEndFix);
}

void WarnStop(const MapFile& map, MapReport& report)
{
    if (map.stop == MapFile::Complete)
        return;
    if (map.stopItem != MapFile::Grid) {
        const std::string why = map.stop == MapFile::EndOfFile    ? "the file ends"
                                : map.stop == MapFile::NotANumber ? "text stands"
                                                                  : "a number beyond 32 bits stands";
        report.Warn({map.stopLine, map.stop == MapFile::EndOfFile ? 0 : map.stopColumn},
                    why + " where " + ItemNames[map.stopItem] +
                        " is due: it and everything after it keep their defaults (empty or 0)");
        return;
    }
    const std::string where = Cell(map.cellsRead, map.columns);
    const std::string rest = ": reading stops there, and that cell and every later one are tile 0";
    // The end of the file is named by the line of the last value.
    if (map.stop == MapFile::EndOfFile)
        report.Warn(map.gridLastLine ? map.gridLastLine : map.stopLine,
                    "the grid has only " + std::to_string(map.cellsRead) + " of " +
                        std::to_string(static_cast<long long>(map.columns) * map.rows) + " values: " + where +
                        " and every later cell are tile 0");
    else if (map.stop == MapFile::NotANumber)
        report.Warn({map.stopLine, map.stopColumn}, "text inside the grid at " + where + rest);
    else
        report.Warn({map.stopLine, map.stopColumn}, "a number beyond 32 bits at " + where + rest);
}

// The most common count of numbers on the grid's lines, when most lines
// share it: the row length the map maker wrote, if the grid is written a
// row to a line. 0 when there is no such count.
int WrittenRowLength(const std::vector<GridLine>& lines)
{
    std::map<int, size_t> frequency;
    for (const GridLine& line : lines)
        ++frequency[line.numbers];
    const auto most = std::max_element(frequency.begin(), frequency.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    if (lines.size() < 2 || most->first < 2 || most->second * 2 <= lines.size())
        return 0;
    return most->first;
}

// The grid is free-form to the game, but map makers write a map row to a
// line: a line of the wrong length, or a header that disagrees with the
// lines, shifts every later cell, which shows as a sheared map.
void WarnRows(const MapFile& map, const std::vector<GridLine>& lines, MapReport& report)
{
    const int written = WrittenRowLength(lines);
    if (written == 0 || map.columns < 2 || map.rows < 1)
        return;
    const long long lineCount = static_cast<long long>(lines.size());
    if (written != map.columns) {
        // A long row may be wrapped over several lines of equal length.
        if (map.columns % written == 0 && lineCount >= static_cast<long long>(map.rows) * (map.columns / written))
            return;
        if (lineCount + 1 < map.rows || lineCount > map.rows + 1)
            return;
        const int by = std::abs(written - map.columns);
        report.Warn(ItemAt(map, MapFile::ColumnCount),
                    "the header gives " + Plural(map.columns, "column") + ", but the grid's lines hold " +
                        std::to_string(written) + " numbers each: the game reads " + std::to_string(map.columns) +
                        " numbers to a row, so each row starts " + Plural(by, "number") +
                        (written > map.columns ? " further along" : " earlier") +
                        " than written and the map is drawn sheared; make the column count " +
                        std::to_string(written) + ", or write " + std::to_string(map.columns) + " numbers a line");
        return;
    }
    const GridLine* lastWithCells = nullptr;
    for (const GridLine& line : lines)
        if (line.firstCell >= 0)
            lastWithCells = &line;
    for (const GridLine& line : lines) {
        if (line.firstCell < 0 || &line == lastWithCells || line.numbers == written)
            continue;
        const int by = std::abs(line.numbers - written);
        const long long row = line.firstCell / written;
        const std::string shift = " and every later cell is shifted " + Plural(by, "place");
        const std::string what =
            line.numbers < written
                ? "so row " + std::to_string(row) + " takes its last " + (by == 1 ? "cell" : Plural(by, "cell")) +
                      " from the next line" + shift + " left"
                : "so its last " + (by == 1 ? "number begins" : Plural(by, "number") + " begin") + " row " +
                      std::to_string(row + 1) + shift + " right";
        report.Warn(line.line, "this line holds " + std::to_string(line.numbers) + " numbers, but a map row has " +
                                   std::to_string(written) + ": the game reads the grid as one run of numbers, " +
                                   what + "; write " + std::to_string(written) + " numbers on every line");
    }
    if (lineCount > map.rows)
        report.Warn(ItemAt(map, MapFile::RowCount),
                    "the header gives " + Plural(map.rows, "row") + ", but the grid has " + std::to_string(lineCount) +
                        " lines of numbers: the game reads the first " + std::to_string(map.rows) +
                        " and never the rest; make the row count " + std::to_string(lineCount));
}

// Each size the game refuses, on the line and column of the number that
// gives it.
void WarnSizes(const Findings& f, MapReport& report)
{
    const MapFile& map = f.map;
    // The tile size is refused once the tile set is loaded, but a tile set
    // that cannot be loaded does not make a tile of no size right.
    if (f.tilesetProblem.empty() && WasRead(map, MapFile::TileHeight)) {
        const std::string tiles = Tilemap::TilesetProblem(map.tileWidth, map.tileHeight, INT_MAX, INT_MAX);
        if (!tiles.empty())
            report.Refused(ItemAt(map, map.tileWidth < 1 ? MapFile::TileWidth : MapFile::TileHeight), tiles);
    }
    if (!f.gridProblem.empty()) {
        const bool rows = map.rows < 0 || map.columns <= MapFile::MaxColumns;
        report.Refused(ItemAt(map, rows ? MapFile::RowCount : MapFile::ColumnCount), f.gridProblem);
        return;
    }
    const std::string size = Tilemap::SizeProblem(map.tileWidth, map.tileHeight, map.columns, map.rows);
    const long long wide = static_cast<long long>(map.tileWidth) * map.columns;
    if (!size.empty())
        report.Refused(ItemAt(map, wide > INT32_MAX || wide < INT32_MIN ? MapFile::ColumnCount : MapFile::RowCount),
                       size);
    const std::string camera = Tilemap::CameraProblem(map.columns, map.rows, scene::CameraColumns, scene::CameraRows);
    if (!camera.empty())
        report.Refused(ItemAt(map, map.columns <= scene::CameraColumns ? MapFile::ColumnCount : MapFile::RowCount),
                       camera);
}

// Reads the map text as the game does, the tile set from the working
// directory, and gathers what the report needs.
void Examine(const std::string& text, Findings& f, std::vector<int>& trailing)
{
    std::istringstream in(text);
    f.map.onCell = [&f](int column, int row, int value, int line) { OnCell(f, column, row, value, line); };
    f.gridProblem = f.map.Read(in);
    trailing = f.map.TrailingWordLines(in);
    for (int line : trailing)
        CountOnLine(f.gridLines, line, -1);
    if (!f.tilesetSought)
        SeekTileset(f);
}

// Every finding of one reading, each on the line it is about.
void Judge(const Findings& f, const std::vector<int>& trailing, const std::string& from, MapReport& report)
{
    const Where tileset = ItemAt(f.map, MapFile::TilesetPath);
    if (!f.tilesetLoaded)
        report.Stops(tileset, "its tile set " + Shown(f.map.tilesetFile) + " cannot be loaded from " + from + ": " +
                                  f.tilesetError);
    if (!f.tilesetProblem.empty()) {
        const bool sized = f.map.tileWidth >= 1 && f.map.tileHeight >= 1;
        report.Refused(sized ? tileset : ItemAt(f.map, f.map.tileWidth < 1 ? MapFile::TileWidth : MapFile::TileHeight),
                       f.tilesetProblem);
    }
    NoteHeader(f.map, report);
    WarnLineEnds(f.map, report);
    WarnStop(f.map, report);
    WarnRows(f.map, f.gridLines, report);
    if (!trailing.empty())
        report.Warn(trailing.front(), "values after the grid: the game never reads them");
    report.Append(f.outside);
    if (f.outsideCount > NamedOutsideTiles)
        report.Warn(f.map.gridLastLine,
                    std::to_string(f.outsideCount - NamedOutsideTiles) + " more tile numbers are outside the tile set");
    WarnSizes(f, report);
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

} // namespace

MapCheck::Status MapCheck::Check(const std::string& path, const std::string& name, const std::string& from,
                                 std::ostream& out)
{
    const std::string tiled = TiledFormat::Recognise(name);
    if (!tiled.empty()) {
        out << tiled << "\n";
        return TiledFile;
    }
    const std::string unreadable = DataFile::WhyUnreadable(path);
    if (!unreadable.empty()) {
        out << Printable(name) << ": cannot be read: " << unreadable << "\n";
        return Unreadable;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Findings f;
    std::vector<int> trailing;
    Examine(text, f, trailing);
    WriteSummary(name, from, f, out);
    MapReport report;
    Judge(f, trailing, from, report);

    // A slip that shifts the game's reading hides every later mistake
    // behind it; the file is read again as it was probably meant, and what
    // that reading finds besides is reported too, marked so.
    const MeantReading meant(text);
    std::string intro;
    int added = 0;
    if (meant.Mended()) {
        report.Append(meant.findings);
        Findings again;
        std::vector<int> trailingAgain;
        Examine(meant.text, again, trailingAgain);
        MapReport second;
        Judge(again, trailingAgain, from, second);
        added = report.AppendReadAsMeant(second, meant.lineOf);
        intro = "read as probably meant, with " + Joined(meant.mends) + ", it has " +
                (added > 0 ? "these mistakes too:" : "no other mistakes");
    }
    report.Write(name, out, intro);
    if (meant.Mended() && added == 0)
        out << Printable(name) << ": " << intro << "\n";
    if (!report.Warned())
        out << "  clean: the game reads this map as written\n";
    return report.Unplayable() ? Unplayable : report.Warned() ? Warned : Clean;
}
