#include "MapReport.h"

#include <algorithm>

void MapReport::Warn(int line, const std::string& text)
{
    entries.push_back({line, "warning: " + text});
}

void MapReport::Refused(int line, const std::string& problem)
{
    entries.push_back({line, "error: the game refuses this map: it " + problem});
}

void MapReport::Append(const MapReport& other)
{
    entries.insert(entries.end(), other.entries.begin(), other.entries.end());
}

void MapReport::Write(const std::string& path, std::ostream& out)
{
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.line < b.line; });
    for (const Entry& entry : entries)
        out << path << ":" << entry.line << ": " << entry.text << "\n";
}

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
