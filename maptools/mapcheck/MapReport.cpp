#include "MapReport.h"

#include "Fatal.h"

#include <algorithm>

namespace {

const char* const Hex = "0123456789ABCDEF";

} // namespace

void MapReport::Warn(int line, const std::string& text)
{
    entries.push_back({line, "warning: " + text});
    warned = true;
}

void MapReport::Note(int line, const std::string& text)
{
    entries.push_back({line, "note: " + text});
}

void MapReport::Refused(int line, const std::string& problem)
{
    entries.push_back({line, "error: the game refuses this map: it " + problem});
    warned = true;
    unplayable = true;
}

void MapReport::Stops(int line, const std::string& text)
{
    entries.push_back({line, "error: the game stops on this map: " + text});
    warned = true;
    unplayable = true;
}

void MapReport::Append(const MapReport& other)
{
    entries.insert(entries.end(), other.entries.begin(), other.entries.end());
    warned = warned || other.warned;
    unplayable = unplayable || other.unplayable;
}

void MapReport::Write(const std::string& path, std::ostream& out)
{
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.line < b.line; });
    const std::string shown = Printable(path);
    for (const Entry& entry : entries) {
        if (entry.line > 0)
            out << shown << ":" << entry.line << ": " << entry.text << "\n";
        else
            out << shown << ": " << entry.text << "\n";
    }
}

std::string Shown(const std::string& text)
{
    return "\"" + Printable(text) + "\"";
}

std::string ByteName(int byte)
{
    std::string name = "0x";
    name += Hex[(byte >> 4) & 0xF];
    name += Hex[byte & 0xF];
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
