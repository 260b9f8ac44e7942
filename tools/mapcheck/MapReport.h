#ifndef VEXLUME_MAPREPORT_H
#define VEXLUME_MAPREPORT_H

#include <ostream>
#include <string>
#include <vector>

// The map checker's findings, each tied to the line of the file it is about.
// They are gathered in any order and written in the order of their lines,
// the way a map maker reads the file; findings on one line keep the order
// they were made in.
class MapReport
{
public:
    void Warn(int line, const std::string& text);
    // problem is worded to follow "it", the map.
    void Refused(int line, const std::string& problem);
    // Takes over every finding of other, after those made so far.
    void Append(const MapReport& other);
    bool Warned() const { return !entries.empty(); }
    // One line per finding: "path:line: " and its text.
    void Write(const std::string& path, std::ostream& out);

private:
    struct Entry {
        int line;
        std::string text;
    };
    std::vector<Entry> entries;
};

// A header text as the game holds it, quoted, carriage returns and tabs
// shown as \r and \t.
std::string Shown(const std::string& text);

// A byte named so that a reader can find it: "a space (0x20)", "'x' (0x78)".
std::string ByteName(int byte);

#endif
