#ifndef VEXLUME_MEANTREADING_H
#define VEXLUME_MEANTREADING_H

#include "MapReport.h"

#include <string>
#include <vector>

// A map file mended where one slip shifts the game's reading of everything
// after it: carriage returns at the line ends (a file saved with Windows
// line ends), anything after the line-2 number, and a header line left out,
// or one too many, before the tile set path. The game reads the file as it
// is; the checker reads the mended text too, so that a map maker learns
// every other mistake in the same round instead of one per round.
class MeantReading
{
public:
    explicit MeantReading(const std::string& file);

    bool Mended() const { return !mends.empty(); }

    std::string text;
    // The line of the file that each line of text, from the first, stands
    // for; an added line stands for the line it was added before.
    std::vector<int> lineOf;
    // What was mended, a few words each, in the order of the file.
    std::vector<std::string> mends;
    // The header lines left out or one too many, which no reading of the
    // file itself names: on the file's lines.
    MapReport findings;
};

#endif
