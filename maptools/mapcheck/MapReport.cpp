#include "MapReport.h"

#include "Fatal.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace {

const char* const Hex = "0123456789ABCDEF";

} // namespace

void MapReport::Warn(Where where, const std::string& text)
{
    entries.push_back({where, "warning", text, false});
    warned = true;
}

void MapReport::Note(Where where, const std::string& text)
{
    entries.push_back({where, "note", text, false});
}

void MapReport::Refused(Where where, const std::string& problem)
{
    entries.push_back({where, "error", "the game refuses this map: it " + problem, false});
    warned = true;
    unplayable = true;
}

void MapReport::Stops(Where where, const std::string& text)
{
    entries.push_back({where, "error", "the game stops on this map: " + text, false});
    warned = true;
    unplayable = true;
}

void MapReport::Append(const MapReport& other)
{
    entries.insert(entries.end(), other.entries.begin(), other.entries.end());
    warned = warned || other.warned;
    unplayable = unplayable || other.unplayable;
}

int MapReport::AppendReadAsMeant(const MapReport& meant, const std::vector<int>& lineOf)
{
    const size_t before = entries.size();
    std::set<std::tuple<int, int, std::string, std::string>> held;
    for (const Entry& entry : entries)
        held.insert({entry.where.line, entry.where.column, entry.kind, entry.text});
    for (Entry entry : meant.entries) {
        const int line = entry.where.line;
        if (line > 0 && !lineOf.empty())
            entry.where.line = line <= static_cast<int>(lineOf.size())
                                   ? lineOf[static_cast<size_t>(line) - 1]
                                   : lineOf.back() + line - static_cast<int>(lineOf.size());
        if (held.count({entry.where.line, entry.where.column, entry.kind, entry.text}) > 0)
            continue;
        entry.meant = true;
        entries.push_back(entry);
        warned = warned || entry.kind != "note";
        unplayable = unplayable || entry.kind == "error";
    }
    return static_cast<int>(entries.size() - before);
}

void MapReport::Write(const std::string& path, std::ostream& out, const std::string& meantIntro)
{
    // The game's own reading first, then what the reading as meant adds,
    // each in the order of the lines.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.meant != b.meant ? b.meant : a.where.line < b.where.line;
    });
    const std::string shown = Printable(path);
    bool introduced = false;
    for (const Entry& entry : entries) {
        if (entry.meant && !introduced)
            out << shown << ": " << meantIntro << "\n";
        introduced = introduced || entry.meant;
        out << shown << ":";
        if (entry.where.line > 0)
            out << entry.where.line << ":";
        if (entry.where.line > 0 && entry.where.column > 0)
            out << entry.where.column << ":";
        out << " " << entry.kind << ": " << (entry.meant ? "(read as meant) " : "") << entry.text << "\n";
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
