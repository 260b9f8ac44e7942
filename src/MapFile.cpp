#include "MapFile.h"

#include <cstdint>
#include <new>

namespace {

// White space as the C locale has it.
bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int MapFile::Get()
{
    const int c = in->get();
    if (c == '\n') {
        ++line;
        column = 1;
    } else {
        ++column;
    }
    if (c == '\r' && firstCarriageReturnLine == 0)
        firstCarriageReturnLine = line;
    return c;
}

int MapFile::Peek()
{
    return in->peek();
}

void MapFile::Stopped(Stop why, Item item)
{
    stop = why;
    stopItem = item;
    stopLine = line;
    stopColumn = column;
}

bool MapFile::ReadLine(std::string& text, Item item)
{
    itemLines[item] = line;
    itemColumns[item] = column;
    if (Peek() == std::char_traits<char>::eof()) {
        Stopped(EndOfFile, item);
        return false;
    }
    std::string read;
    for (int c = Get(); c != '\n' && c != std::char_traits<char>::eof(); c = Get())
        read.push_back(static_cast<char>(c));
    text = read;
    return true;
}

bool MapFile::ReadNumber(int& value, Item item)
{
    const int eof = std::char_traits<char>::eof();
    while (IsSpace(Peek()))
        Get();
    if (itemLines[item] == 0) {
        itemLines[item] = line;
        itemColumns[item] = column;
    }
    numberColumn = column;
    const int first = Peek();
    if (first == eof) {
        Stopped(EndOfFile, item);
        return false;
    }
    bool negative = false;
    if (first == '+' || first == '-') {
        negative = first == '-';
        Get();
    }
    if (!IsDigit(Peek())) {
        Stopped(NotANumber, item);
        stopColumn = numberColumn;
        return false;
    }
    // Every digit is consumed, as a stream would, before the range decides.
    long long magnitude = 0;
    bool tooLarge = false;
    while (IsDigit(Peek())) {
        magnitude = magnitude * 10 + (Get() - '0');
        if (magnitude > 1LL + INT32_MAX) {
            tooLarge = true;
            magnitude = 1LL + INT32_MAX;
        }
    }
    const long long number = negative ? -magnitude : magnitude;
    if (tooLarge || number > INT32_MAX || number < INT32_MIN) {
        Stopped(OutOfRange, item);
        stopColumn = numberColumn;
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

// The byte after the line-2 number is skipped whatever it is; only the end
// of the file stops the reading there.
bool MapFile::SkipByte()
{
    skippedByteLine = line;
    skippedByteColumn = column;
    const int c = Get();
    if (c == std::char_traits<char>::eof()) {
        Stopped(EndOfFile, Line3);
        return false;
    }
    skippedByte = c;
    return true;
}

std::string MapFile::GridProblem(int columns, int rows)
{
    if (columns < 1)
        return "";
    if (rows < 0)
        return "has " + std::to_string(rows) + " rows; a map with columns needs at least 0";
    if (static_cast<long long>(columns) * rows > MaxCells)
        return "has " + std::to_string(columns) + "x" + std::to_string(rows) + " tiles, more than the " +
               std::to_string(MaxCells) + " a map may hold";
    if (columns > MaxColumns)
        return "has " + std::to_string(columns) + " columns, more than the " + std::to_string(MaxColumns) +
               " a map may have";
    return "";
}

std::string MapFile::Read(std::istream& stream)
{
    in = &stream;
    line = 1;
    column = 1;

    // Each item is read only when every one before it was.
    (void)(ReadLine(headerLine1, Title) && ReadNumber(headerNumber, HeaderNumber) && SkipByte() &&
           ReadLine(headerLine3, Line3) && ReadLine(headerLine4, Line4) && ReadLine(tilesetFile, TilesetPath) &&
           ReadNumber(tileWidth, TileWidth) && ReadNumber(tileHeight, TileHeight) && ReadNumber(columns, ColumnCount) &&
           ReadNumber(rows, RowCount));

    const std::string problem = GridProblem(columns, rows);
    if (!problem.empty())
        return problem;
    if (columns >= 1) {
        try {
            tiles.assign(static_cast<size_t>(columns), std::vector<int>(static_cast<size_t>(rows), 0));
        } catch (const std::bad_alloc&) {
            return "is too large to hold in memory";
        }
    }
    if (stop != Complete || columns < 1 || rows < 1)
        return "";
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (!ReadNumber(tiles[c][r], Grid))
                return "";
            ++cellsRead;
            gridLastLine = line;
            if (onCell)
                onCell(c, r, tiles[c][r], line);
        }
    }
    return "";
}

std::vector<int> MapFile::TrailingWordLines(std::istream& stream)
{
    in = &stream;
    std::vector<int> lines;
    if (stop != Complete)
        return lines;
    for (;;) {
        while (IsSpace(Peek()))
            Get();
        if (Peek() == std::char_traits<char>::eof())
            return lines;
        lines.push_back(line);
        while (Peek() != std::char_traits<char>::eof() && !IsSpace(Peek()))
            Get();
    }
}
