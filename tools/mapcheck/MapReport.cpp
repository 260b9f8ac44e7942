#include "MapReport.h"

#include <algorithm>

namespace {

const char* const Hex = "0123456789ABCDEF";

} // namespace

void MapReport::Warn(int line, const std::string& text)
{
    entries.push_back({line, "warning: " + text});
}

void MapReport::Refused(int line, const std::string& problem)
{
    entries.push_back({line, "error: the game refuses this map: it " + problem});
    unplayable = true;
}

void MapReport::Stops(int line, const std::string& text)
{
    entries.push_back({line, "error: the game stops on this map: " + text});
    unplayable = true;
}

void MapReport::Append(const MapReport& other)
{
    entries.insert(entries.end(), other.entries.begin(), other.entries.end());
    unplayable = unplayable || other.unplayable;
}

void MapReport::Write(const std::string& path, std::ostream& out)
{
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.line < b.line; });
    for (const Entry& entry : entries)
        out << path << ":" << entry.line << ": " << entry.text << "\n";
}

std::string Escaped(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
            shown += std::string("\\x") + Hex[byte >> 4] + Hex[byte & 0xF];
        else
            shown += c;
    }
    return shown;
}

std::string Shown(const std::string& text)
{
    return "\"" + Escaped(text) + "\"";
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
