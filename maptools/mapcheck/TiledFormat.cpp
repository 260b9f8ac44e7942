#include "TiledFormat.h"

#include "Fatal.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

int Fail(const std::string& line)
{
    std::cerr << "vexlume-mapcheck: --enable-tiled: " << Printable(line) << "\n";
    return 2;
}

// A path as a shell reads it back: quoted unless every byte is one that
// needs no quoting.
std::string ShellWord(const std::string& text)
{
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',';
    });
    if (plain)
        return text;
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The format's script: in the source tree beside the checker's sources, or
// where the installation put it, in the game's directory.
fs::path FormatScript(const fs::path& data)
{
    for (const char* place : {"maptools/tiled/vexlume.js", "tiled/vexlume.js"}) {
        std::error_code error;
        if (fs::is_regular_file(data / place, error))
            return fs::canonical(data / place, error);
    }
    return {};
}

} // namespace

int TiledFormat::Enable(const std::string& data)
{
    const fs::path script = FormatScript(data);
    if (script.empty())
        return Fail("the format's vexlume.js is not in " + data);
    std::error_code error;
    const fs::path checker = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return Fail("cannot tell where this checker is: " + error.message());
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    fs::path base;
    if (config && *config == '/')
        base = config;
    else if (home && *home)
        base = fs::path(home) / ".config";
    else
        return Fail("neither XDG_CONFIG_HOME nor HOME is set");
    const fs::path folder = base / "tiled" / "extensions" / "vexlume";
    const fs::path link = folder / "vexlume.js";
    fs::create_directories(folder, error);
    if (error)
        return Fail("cannot make " + folder.string() + ": " + error.message());
    if (fs::is_symlink(link, error) || fs::exists(link, error))
        fs::remove(link, error);
    fs::create_symlink(script, link, error);
    if (error)
        return Fail("cannot link " + link.string() + ": " + error.message());
    // Written whole under another name first, so that a Tiled that reads
    // it meanwhile never sees half of it.
    const fs::path places = folder / "places.txt";
    const fs::path part = folder / "places.txt.part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << "checker=" << checker.string() << "\n"
            << "game=" << fs::absolute(data, error).lexically_normal().string() << "\n";
        if (!out.flush())
            return Fail("cannot write " + part.string());
    }
    fs::rename(part, places, error);
    if (error)
        return Fail("cannot write " + places.string() + ": " + error.message());
    std::cout << "The Vexlume map format is enabled for Tiled in " << Printable(folder.string()) << ".\n"
              << "Restart Tiled: File > Open reads Vexlume maps (.map), Save As and Export offer \"Vexlume map\",\n"
              << "and Map > Play in Vexlume (F5) saves, checks and plays the map being edited.\n"
              << "From the command line: tiled --export-map vexlume MAP.tmx MAP.map\n";
    return 0;
}

std::string TiledFormat::Recognise(const std::string& name)
{
    const fs::path path(name);
    std::string ending = path.extension().string();
    std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string shown = Printable(name);
    if (ending == ".tmx" || ending == ".tmj") {
        const std::string target = fs::path(name).replace_extension(".map").string();
        return shown + ": a Tiled map, not a Vexlume map: export it as one with: tiled --export-map vexlume " +
               ShellWord(shown) + " " + ShellWord(Printable(target));
    }
    if (ending == ".tsx" || ending == ".tsj")
        return shown + ": a Tiled tile set, not a Vexlume map: a Vexlume map names its tile set's image (a PNG) on "
                       "line 5; draw a map with this tile set in Tiled and export it with: tiled --export-map "
                       "vexlume MAP.tmx MAP.map";
    return "";
}
