#ifndef VEXLUME_MAPFILE_H
#define VEXLUME_MAPFILE_H

#include <functional>
#include <istream>
#include <string>
#include <vector>

// Reads the items of a map file the way the game reads them, and remembers
// where each part was found, so that the same code serves the game and a
// checker that tells map makers what the game will see.
//
// The items, in order: a line (every byte up to a line feed, which is
// consumed; carriage returns are kept); a number followed by exactly one
// skipped byte; three more lines, the last being the tile set path; four
// numbers (tile width and height, map columns and rows); then the grid,
// columns x rows numbers row by row from the top. A number is optional
// white space, an optional sign and decimal digits that fit in 32 bits.
// Reading stops at the first item that cannot be read: it and every later
// item keep their defaults (empty, 0).
class MapFile
{
public:
    // Why the reading stopped.
    enum Stop {
        Complete,    // every item and every grid cell was read
        EndOfFile,   // the file ended where an item was due
        NotANumber,  // text stood where a number was due
        OutOfRange   // a number did not fit in 32 bits
    };

    // The items in the order they are read, numbered from 1 as map makers
    // count them.
    enum Item {
        Title = 1,    // line 1, free text
        HeaderNumber, // the number on line 2, then one byte skipped
        Line3,        // free text
        Line4,        // free text
        TilesetPath,  // line 5
        TileWidth,
        TileHeight,
        ColumnCount,
        RowCount,
        Grid,         // ColumnCount x RowCount numbers
        ItemEnd
    };

    // Reads the whole map. Returns an empty string, or the problem that makes
    // the grid impossible to hold (the caller decides what to do with it);
    // in that case the grid is left empty and nothing after the sizes is read.
    std::string Read(std::istream& in);

    // For checkers: the line of every word after the grid, which the game
    // never reads; none when the reading stopped before the grid's end.
    std::vector<int> TrailingWordLines(std::istream& in);

    // The largest grid the game holds, in cells, and in columns: each column
    // is a block of memory of its own, so a few bytes claiming millions of
    // one-cell columns would otherwise cost a gigabyte before a cell is read.
    // A fuzzing build may hold the cell limit lower (VEXLUME_MAP_MAX_CELLS)
    // so that each of its millions of runs stays quick; the rules stay the same.
#ifdef VEXLUME_MAP_MAX_CELLS
    static const long long MaxCells = VEXLUME_MAP_MAX_CELLS;
#else
    static const long long MaxCells = 1LL << 24;
#endif
    static const int MaxColumns = 1 << 16;
    // Whether a grid of these sizes can be held; the problem, or "".
    static std::string GridProblem(int columns, int rows);

    std::string headerLine1;
    int headerNumber = 0;
    std::string headerLine3;
    std::string headerLine4;
    std::string tilesetFile;
    int tileWidth = 0;
    int tileHeight = 0;
    int columns = 0;
    int rows = 0;
    // tiles[column][row]; columns x rows cells when columns is at least 1.
    std::vector<std::vector<int>> tiles;

    // Where things were found; lines and columns (bytes into the line) count from 1.
    int itemLines[ItemEnd] = {};        // where each item starts (numbers: their first digit or sign)
    int itemColumns[ItemEnd] = {};
    int skippedByte = -1;               // the byte after the line-2 number; -1 for none
    int skippedByteLine = 0;
    int skippedByteColumn = 0;
    int firstCarriageReturnLine = 0;    // first line that holds a carriage return
    Stop stop = Complete;
    Item stopItem = Title;              // the item that could not be read, when not Complete
    int stopLine = 0;
    int stopColumn = 0;
    int numberColumn = 0;               // where the last number read, or sought, begins
    long long cellsRead = 0;
    int gridLastLine = 0;               // where the last cell read ends

    // Called for every grid cell read, with its column, row, value and line,
    // when set; the game leaves it empty.
    std::function<void(int column, int row, int value, int line)> onCell;

private:
    int Get();
    int Peek();
    bool ReadLine(std::string& line, Item item);
    bool SkipByte();
    bool ReadNumber(int& value, Item item);
    void Stopped(Stop why, Item item);

    std::istream* in = nullptr;
    int line = 1;
    int column = 1;
};

#endif
