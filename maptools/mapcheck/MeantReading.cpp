#include "MeantReading.h"

#include <algorithm>
#include <cctype>

namespace {

struct Line {
    std::string text;
    int number; // in the file
};

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\v\f") == std::string::npos;
}

// Where a whole number that starts the text (after blanks) ends, or npos.
size_t NumberEnd(const std::string& text)
{
    size_t at = text.find_first_not_of(" \t\v\f");
    if (at != std::string::npos && (text[at] == '+' || text[at] == '-'))
        ++at;
    const size_t digits = at == std::string::npos ? at : text.find_first_not_of("0123456789", at);
    if (at == std::string::npos || digits == at)
        return std::string::npos;
    return digits == std::string::npos ? text.size() : digits;
}

bool OnlyNumbers(const std::string& text)
{
    for (size_t at = 0; at < text.size();) {
        const size_t end = NumberEnd(text.substr(at));
        if (end == std::string::npos)
            return IsBlank(text.substr(at));
        at += end;
        if (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
            return false;
    }
    return true;
}

// A line that names a picture the way map makers write a tile set path.
bool NamesPicture(const std::string& text)
{
    std::string name = text.substr(0, text.find_last_not_of(" \t") + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* ending : {".png", ".bmp", ".gif", ".jpg", ".jpeg", ".tga", ".pcx", ".tif", ".tiff", ".webp"}) {
        const std::string end = ending;
        if (name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0)
            return true;
    }
    return false;
}

std::string Lines(int count)
{
    return count == 1 ? "1 line" : std::to_string(count) + " lines";
}

} // namespace

MeantReading::MeantReading(const std::string& file)
{
    std::vector<Line> lines;
    for (size_t start = 0; start < file.size();) {
        const size_t end = std::min(file.find('\n', start), file.size());
        lines.push_back({file.substr(start, end - start), static_cast<int>(lines.size()) + 1});
        start = end + 1;
    }
    if (lines.empty())
        return;

    // The number follows the title after any blank lines, as the game reads it.
    size_t number = 1;
    while (number < lines.size() && IsBlank(lines[number].text))
        ++number;
    // The tile set path is where the format puts it when a picture is named
    // there; else the nearest line after the number that names a picture
    // and is followed by numbers alone (the tile size), as it was probably meant.
    const auto pathAt = [&lines](size_t line) {
        size_t next = line + 1;
        while (next < lines.size() && IsBlank(lines[next].text))
            ++next;
        return line < lines.size() && NamesPicture(lines[line].text) && next < lines.size() &&
               NumberEnd(lines[next].text) != std::string::npos && OnlyNumbers(lines[next].text);
    };
    size_t path = std::string::npos;
    if (pathAt(number + 3))
        path = number + 3;
    for (size_t line = number + 1; path == std::string::npos && line < lines.size() && line <= number + 6; ++line)
        if (pathAt(line))
            path = line;

    size_t header = path == std::string::npos ? std::min(number + 3, lines.size() - 1) : path;
    bool carriageReturns = false;
    for (size_t line = 0; line < lines.size(); ++line) {
        std::string& text = lines[line].text;
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
            carriageReturns = carriageReturns || line <= header;
        }
    }
    if (carriageReturns)
        mends.push_back("no carriage returns at the line ends");

    if (number < lines.size() && NumberEnd(lines[number].text) != std::string::npos) {
        std::string& text = lines[number].text;
        const size_t end = NumberEnd(text);
        if (end < text.size()) {
            text.resize(end);
            mends.push_back("nothing after the number on line " + std::to_string(lines[number].number));
        }
    } else if (path != std::string::npos && number == 1 && NumberEnd(lines[0].text) != std::string::npos) {
        // No title: the number stands first, where the game reads the title.
        findings.Warn(1, "this line holds the number, where the game reads the title: the file has no title "
                         "line, so the game takes the number as the title and looks for it on the next line; add a "
                         "title line above");
        lines.insert(lines.begin(), {"", 1});
        mends.push_back("a title line added above line 1");
        number = 1;
        ++path;
    }

    if (path != std::string::npos && path != number + 3) {
        const int free = static_cast<int>(path - number) - 1;
        const int pathLine = lines[path].number;
        const int gameLine = lines[number].number + 3;
        const std::string what = "this line names the tile set, but the header has " + Lines(free) +
                                 " of free text between the number (line " + std::to_string(lines[number].number) +
                                 ") and it, where the format has 2: the game takes line " + std::to_string(gameLine) +
                                 ", ";
        if (free < 2) {
            findings.Warn(pathLine, what + "after it, as the tile set path; add " +
                                        (free == 1 ? "an empty line" : "2 empty lines") + " before this one");
            lines.insert(lines.begin() + static_cast<long>(path), static_cast<size_t>(2 - free), Line{"", pathLine});
            mends.push_back((free == 1 ? "an empty line" : "2 empty lines") + std::string(" added before line ") +
                            std::to_string(pathLine));
        } else {
            const int first = lines[number + 3].number;
            findings.Warn(pathLine, what + "before it, as the tile set path; remove " + Lines(free - 2) + " of lines " +
                                        std::to_string(lines[number + 1].number) + " to " +
                                        std::to_string(pathLine - 1));
            lines.erase(lines.begin() + static_cast<long>(number + 3), lines.begin() + static_cast<long>(path));
            mends.push_back(free == 3 ? "line " + std::to_string(first) + " left out"
                                      : "lines " + std::to_string(first) + " to " + std::to_string(pathLine - 1) +
                                            " left out");
        }
    }

    for (const Line& line : lines) {
        text += line.text + "\n";
        lineOf.push_back(line.number);
    }
    if (file.back() != '\n')
        text.pop_back();
}
