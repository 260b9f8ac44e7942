#ifndef VEXLUME_MAPREPORT_H
#define VEXLUME_MAPREPORT_H

#include <ostream>
#include <string>
#include <vector>

// Where in a map file a finding is: a line, and the column (the byte of the
// line, from 1) where pointing at one helps; 0 for none.
struct Where {
    Where(int line = 0, int column = 0) : line(line), column(column) {}
    int line;
    int column;
};

// The map checker's findings, each tied to the line of the file it is about.
// They are gathered in any order and written in the order of their lines,
// the way a map maker reads the file; findings on one line keep the order
// they were made in.
class MapReport
{
public:
    void Warn(Where where, const std::string& text);
    // What reads as meant but not as the format is written; it leaves the
    // file clean.
    void Note(Where where, const std::string& text);
    // Findings that keep the game from playing the map at all: it refuses
    // the map with a line naming it, or stops on something the map names.
    // problem is worded to follow "it", the map.
    void Refused(Where where, const std::string& problem);
    void Stops(Where where, const std::string& text);
    // Takes over every finding of other, after those made so far.
    void Append(const MapReport& other);
    // Takes over the findings of a second reading of the file, made as its
    // maker probably meant it, that this report does not already hold:
    // each marked as found on that reading, its line moved by lineOf (the
    // line in this file of a line of the mended one). How many were new.
    int AppendReadAsMeant(const MapReport& meant, const std::vector<int>& lineOf);
    bool Warned() const { return warned; }
    bool Unplayable() const { return unplayable; }
    // One line per finding: "path:line: " (or "path:line:column: ") and its
    // text; "path: " for findings about the whole file (line 0). The path
    // is escaped. The findings of the reading as meant follow the others,
    // after a line "path: " and meantIntro.
    void Write(const std::string& path, std::ostream& out, const std::string& meantIntro = "");

private:
    struct Entry {
        Where where;
        std::string kind; // "warning", "note" or "error"
        std::string text;
        bool meant;
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
