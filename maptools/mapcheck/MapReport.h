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
    // What reads as meant but not as the format is written; it leaves the
    // file clean.
    void Note(int line, const std::string& text);
    // Findings that keep the game from playing the map at all: it refuses
    // the map with a line naming it, or stops on something the map names.
    // problem is worded to follow "it", the map.
    void Refused(int line, const std::string& problem);
    void Stops(int line, const std::string& text);
    // Takes over every finding of other, after those made so far.
    void Append(const MapReport& other);
    bool Warned() const { return warned; }
    bool Unplayable() const { return unplayable; }
    // One line per finding: "path:line: " and its text; "path: " for
    // findings about the whole file (line 0). The path is escaped.
    void Write(const std::string& path, std::ostream& out);

private:
    struct Entry {
        int line;
        std::string text;
    };
    std::vector<Entry> entries;
    bool warned = false;
    bool unplayable = false;
};

// A text as the game holds it, escaped as the game's own messages escape it
// and quoted.
std::string Shown(const std::string& text);

// A byte named so that a reader can find it: "a space (0x20)", "'x' (0x78)".
std::string ByteName(int byte);

#endif
