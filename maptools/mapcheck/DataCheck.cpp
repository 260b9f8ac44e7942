#include "DataCheck.h"

#include "DataFile.h"
#include "Fatal.h"
#include "Scene.h"
#include "Texels.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

// The game stops with "larger than the largest texture" on a texture side
// beyond its graphics driver's largest: 16384 pixels with Mesa's software
// renderer (llvmpipe, Debian 12, 13 and testing alike), and 4096 with the
// drivers of small boards.
const int SoftwareTexture = 16384;
const int LargeTexture = 4096;

// Larger pictures are described but their pixels are not looked at.
const long long MaxExaminedPixels = 1LL << 26;

// What the counter shows: the prefix, then up to 25 frames a second.
const std::string CounterSample = std::string(scene::CounterPrefix) + "25";
const std::string CounterCharacters = std::string(scene::CounterPrefix) + "0123456789";

std::string Hex(Uint32 colour)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(colour & 0xFFFFFF));
    return text;
}

std::string KeyName(int key)
{
    return (key == scene::MagentaKey ? "magenta (" : key == scene::BlackKey ? "black (" : "(") + Hex(key) + ")";
}

// The findings on one file, written as "name: kind: text" lines, and the
// status they add up to.
class FileReport
{
public:
    FileReport(const std::string& name, std::ostream& out) : name(Printable(name)), out(out) {}

    void Describe(const std::string& text) { out << name << ": " << text << "\n"; }
    void Warn(const std::string& text) { Say(MapCheck::Warned, "warning: " + text); }
    void Stops(const std::string& text) { Say(MapCheck::Unplayable, "error: the game stops on it: " + text); }
    void Unreadable(const std::string& why)
    {
        Say(MapCheck::Unreadable, "error: cannot be read: " + why + "; the game stops at start");
    }
    MapCheck::Status Status() const { return status; }

private:
    void Say(MapCheck::Status weight, const std::string& text)
    {
        out << name << ": " << text << "\n";
        status = std::max(status, weight);
    }

    std::string name;
    std::ostream& out;
    MapCheck::Status status = MapCheck::Clean;
};

// Whether the file can be opened; when not, the report says why.
bool Readable(const std::string& path, FileReport& report)
{
    const std::string why = DataFile::WhyUnreadable(path);
    if (!why.empty())
        report.Unreadable(why);
    return why.empty();
}

// A picture as the game would load it: the file's own pixels, with its own
// transparency, in 0xAARRGGBB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Uint32> argb;
    bool hasAlpha = false;
    bool hasKey = false;
    Uint32 fileKey = 0; // the colour the file marks transparent, 0xRRGGBB
};

bool ReadPicture(SDL_Surface* loaded, Picture& picture)
{
    picture.width = loaded->w;
    picture.height = loaded->h;
    picture.hasAlpha = loaded->format->Amask != 0;
    picture.hasKey = (loaded->flags & SDL_SRCCOLORKEY) != 0;
    if (picture.hasKey) {
        Uint8 r = 0;
        Uint8 g = 0;
        Uint8 b = 0;
        SDL_GetRGB(loaded->format->colorkey, loaded->format, &r, &g, &b);
        picture.fileKey = static_cast<Uint32>(r) << 16 | static_cast<Uint32>(g) << 8 | b;
    }
    // The pixels are looked at only where a copy of them is cheap; the game
    // itself holds pictures of any size it can load.
    if (static_cast<long long>(loaded->w) * loaded->h > MaxExaminedPixels)
        return false;
    // A plain copy: alpha and key are carried over as values, not applied.
    SDL_SetAlpha(loaded, 0, 255);
    SDL_SetColorKey(loaded, 0, 0);
    SDL_Surface* like =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    SDL_Surface* wide = like ? SDL_ConvertSurface(loaded, like->format, SDL_SWSURFACE) : nullptr;
    if (like)
        SDL_FreeSurface(like);
    if (!wide)
        return false;
    picture.argb.resize(static_cast<size_t>(wide->w) * wide->h);
    SDL_LockSurface(wide);
    for (int y = 0; y < wide->h; ++y) {
        const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(wide->pixels) + y * wide->pitch);
        std::copy(row, row + wide->w, picture.argb.begin() + static_cast<long>(y) * wide->w);
    }
    SDL_UnlockSurface(wide);
    SDL_FreeSurface(wide);
    return true;
}

// Transparency the file has and the game does not use: the game converts
// every picture to the screen's format, which has no alpha, and leaves out
// only the pixels of its colour key.
void WarnTransparency(const std::string& path, const Picture& picture, int key, FileReport& report)
{
    const Uint32 keyColour = static_cast<Uint32>(key) & 0xFFFFFF;
    const bool trns = DataFile::PngHasTransparency(path);
    long long shown = 0;
    std::map<Uint32, long long> colours;
    for (const Uint32 pixel : picture.argb) {
        const Uint32 colour = pixel & 0xFFFFFF;
        const bool transparent = (picture.hasAlpha && pixel >> 24 != 0xFF) ||
                                 (picture.hasKey && colour == picture.fileKey);
        if (transparent && colour != keyColour) {
            ++shown;
            ++colours[colour];
        }
    }
    if (shown == 0)
        return;
    const auto most = std::max_element(colours.begin(), colours.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    const std::string source = picture.hasAlpha && trns  ? "its transparency (a tRNS chunk)"
                               : picture.hasAlpha        ? "its alpha channel"
                                                         : "its tRNS chunk, which marks " + Hex(picture.fileKey) +
                                                               " transparent,";
    report.Warn(source + " is not used by the game, which leaves out only its colour key, " + KeyName(key) + ": " +
                std::to_string(shown) + " pixels transparent or see-through in the file are drawn opaque, most of "
                "them " + Hex(most->first) + "; paint them " + Hex(keyColour) + " to hide them");
}

void WarnJpegKey(const std::string& kind, const Picture& picture, int key, FileReport& report)
{
    if (kind != "a JPEG picture")
        return;
    const Uint32 keyColour = static_cast<Uint32>(key) & 0xFFFFFF;
    long long near = 0;
    for (const Uint32 pixel : picture.argb) {
        int distance = 0;
        for (int shift : {0, 8, 16})
            distance = std::max(distance, std::abs(static_cast<int>((pixel >> shift & 0xFF) -
                                                                    (keyColour >> shift & 0xFF))));
        if (distance > 0 && distance <= 12)
            ++near;
    }
    if (near > 0)
        report.Warn(std::to_string(near) + " pixels are nearly but not exactly the colour key " + KeyName(key) +
                    ", as JPEG's compression leaves them: the game draws them; save the picture as PNG");
}

// Loads the picture as the game does and reports what it is and what the
// game will do with its transparency and size. False when it cannot load.
bool CheckPicture(const std::string& path, const std::string& role, int key, FileReport& report, Picture& picture)
{
    if (!Readable(path, report))
        return false;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) {
        report.Stops("Couldn't load '" + path + "': " + Printable(IMG_GetError()));
        const std::string trouble = DataFile::PictureTrouble(path);
        if (!trouble.empty())
            report.Describe(trouble);
        return false;
    }
    const std::string kind = DataFile::Kind(DataFile::Head(path, 64));
    const bool read = ReadPicture(loaded, picture);
    SDL_FreeSurface(loaded);
    report.Describe(role + ": " + (kind.empty() ? "a picture" : kind) + ", " + std::to_string(picture.width) + "x" +
                    std::to_string(picture.height) + " pixels, colour key " + KeyName(key));
    if (!read)
        return true;
    if (kind != "a PNG picture")
        report.Describe("not a PNG, though named .png: the game loads it all the same, by its content");
    WarnTransparency(path, picture, key, report);
    WarnJpegKey(kind, picture, key, report);
    const int side = std::max(Texels::Side(picture.width), Texels::Side(picture.height));
    const int limit = side > SoftwareTexture ? SoftwareTexture : LargeTexture;
    if (side > LargeTexture)
        report.Warn("its texture is " + std::to_string(Texels::Side(picture.width)) + "x" +
                    std::to_string(Texels::Side(picture.height)) + " pixels (each side the next power of two): the "
                    "game stops with \"larger than the largest texture\" where the graphics driver's largest is "
                    "smaller, " + (limit == SoftwareTexture ? "as Mesa's software renderer's " +
                    std::to_string(limit) + " pixels, and " : "as ") + std::to_string(LargeTexture) + " on small "
                    "boards; keep each side at most " + std::to_string(limit));
    return true;
}

// A picture drawn whole at (x, y): what of it reaches past the screen.
void WarnOffScreen(const Picture& picture, int x, int y, FileReport& report)
{
    const int wide = scene::ScreenWidth - x;
    const int high = scene::ScreenHeight - y;
    if (picture.width <= wide && picture.height <= high)
        return;
    report.Warn("drawn at (" + std::to_string(x) + ", " + std::to_string(y) + ") on the " +
                std::to_string(scene::ScreenWidth) + "x" + std::to_string(scene::ScreenHeight) +
                " screen, it is cut to its top-left " + std::to_string(std::min(picture.width, wide)) + "x" +
                std::to_string(std::min(picture.height, high)) + " pixels");
}

void CheckSpriteSheet(const Picture& sheet, FileReport& report)
{
    const int side = scene::FrameSide;
    const std::string frame = std::to_string(side) + "x" + std::to_string(side);
    if (sheet.width < side || sheet.height < side) {
        report.Warn("smaller than one " + frame + " frame: the game still draws " + frame + " frames, which "
                    "repeat the picture across them (the software renderer draws only the picture itself)");
        return;
    }
    if (sheet.height < 2 * side)
        report.Warn("has no second row of frames (it is " + std::to_string(sheet.height) + " pixels high, not " +
                    std::to_string(2 * side) + "): walking right shows the first row again, the texture "
                    "repeating below the picture");
    const int frames = (sheet.width + side - 1) / side;
    std::string text = std::to_string(frames) + " frames a row, walking left in the row at y 0 and right in the row "
                       "at y " + std::to_string(side);
    if (sheet.width % side != 0)
        text += "; the last frame is only " + std::to_string(sheet.width % side) + " pixels wide";
    report.Describe(text);
}

void CheckFont(FileReport& report)
{
    if (!Readable(scene::Font, report))
        return;
    const std::string kind = DataFile::Kind(DataFile::Head(scene::Font, 64));
    TTF_Font* font = TTF_OpenFont(scene::Font, scene::FontPoints);
    if (!font) {
        report.Stops("Unable to load TTF font: " + Printable(TTF_GetError()) +
                     (kind.empty() ? "" : " (the file is " + kind + ")"));
        return;
    }
    const SDL_Color white = {255, 255, 255, 0};
    SDL_Surface* text = TTF_RenderText_Solid(font, CounterSample.c_str(), white);
    long long lit = 0;
    if (text) {
        SDL_LockSurface(text);
        for (int y = 0; y < text->h; ++y)
            for (int x = 0; x < text->w; ++x)
                lit += static_cast<const Uint8*>(text->pixels)[y * text->pitch + x] != 0;
        SDL_UnlockSurface(text);
    }
    report.Describe("the font, at " + std::to_string(scene::FontPoints) + " points: " +
                    (kind.empty() ? "a font" : kind) + "; the counter's text \"" + CounterSample + "\" is " +
                    (text ? std::to_string(text->w) + "x" + std::to_string(text->h) + " pixels" : "not drawn"));
    if (lit == 0)
        report.Warn("draws nothing for the counter's text \"" + CounterSample + "\": the c key shows an empty "
                    "counter; use a TrueType or OpenType font with outlines for these characters");
    std::string missing;
    for (const char c : CounterCharacters)
        if (c != ' ' && !TTF_GlyphIsProvided(font, static_cast<Uint16>(c)) && missing.find(c) == std::string::npos)
            missing += c;
    if (lit > 0 && !missing.empty())
        report.Warn("has no glyph for \"" + missing + "\": the counter shows the font's stand-in for them");
    if (lit > 0 && (kind == "a BDF bitmap font" || kind == "a PCF bitmap font" || kind == "a gzip-compressed file"))
        report.Warn("a bitmap font keeps the size its glyphs were drawn at, whatever the game's " +
                    std::to_string(scene::FontPoints) + " points: the counter's text is " + std::to_string(text->h) +
                    " pixels high");
    if (text)
        SDL_FreeSurface(text);
    TTF_CloseFont(font);
}

void CheckMusic(FileReport& report)
{
    if (!Readable(scene::Music, report))
        return;
    const std::string kind = DataFile::Kind(DataFile::Head(scene::Music, 64));
    Mix_Music* music = Mix_LoadMUS(scene::Music);
    if (!music) {
        report.Stops("Couldn't load music: " + Printable(Mix_GetError()));
        if (kind != "Ogg Vorbis audio")
            report.Describe("it is " + (kind.empty() ? std::string("not audio the checker knows") : kind) +
                            ": the mixer reads a file whose name ends in .ogg as Ogg Vorbis alone; convert it "
                            "(oggenc, from vorbis-tools, takes WAV and FLAC)");
        return;
    }
    report.Describe("the music: " + (kind.empty() ? std::string("audio") : kind) + ", which the mixer loads");
    Mix_FreeMusic(music);
}

} // namespace

MapCheck::Status DataCheck::Check(const std::string& shown, std::ostream& out)
{
    const std::string folder = shown.empty() || shown == "." ? "" : shown + "/";
    MapCheck::Status worst = MapCheck::Clean;
    std::string stopsOn; // the first file, in the game's loading order, that ends it
    auto add = [&](const std::string& file, MapCheck::Status status) {
        worst = std::max(worst, status);
        if (status >= MapCheck::Unreadable && stopsOn.empty())
            stopsOn = file;
    };

    // The sound and font libraries, opened as the game opens them but on
    // no sound device, so that the music is loaded as the game loads it.
    // The player's own choice of device is put back for a game started after.
    const char* const playerDriver = std::getenv("SDL_AUDIODRIVER");
    const std::string audioDriver = playerDriver ? playerDriver : "";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const bool audio = SDL_Init(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 2048) == 0;
    TTF_Init();

    // In the order the game loads them.
    Picture picture;
    {
        FileReport report(folder + scene::SpriteSheet, out);
        if (CheckPicture(scene::SpriteSheet, "the sprite sheet", scene::SpriteKey, report, picture))
            CheckSpriteSheet(picture, report);
        add(scene::SpriteSheet, report.Status());
    }
    const std::string tileset = DataFile::MapTileset(scene::Map);
    // The game loads the tile set before it judges the map's sizes, so a
    // tile set it cannot load is the file its message names.
    SDL_Surface* tiles = tileset.empty() ? nullptr : IMG_Load(tileset.c_str());
    if (tiles)
        SDL_FreeSurface(tiles);
    add(tileset.empty() || tiles ? scene::Map : tileset,
        MapCheck::Check(scene::Map, folder + scene::Map, Printable(shown) + " (the folder checked)", out));
    if (!tileset.empty() && DataFile::WhyUnreadable(tileset).empty()) {
        FileReport report(folder + tileset, out);
        CheckPicture(tileset, "the map's tile set", scene::TilesetKey, report, picture);
        add(tileset, report.Status());
    }
    const std::pair<const char*, int> whole[] = {{scene::TitlePicture, 0}, {scene::SecondPicture, 1}};
    for (const auto& [file, second] : whole) {
        FileReport report(folder + file, out);
        const int x = second ? scene::SecondX : 0;
        const int y = second ? scene::SecondY : 0;
        const std::string role = std::string(second ? "the second picture" : "the title picture") + ", at (" +
                                 std::to_string(x) + ", " + std::to_string(y) + ")";
        if (CheckPicture(file, role, second ? scene::SecondKey : scene::TitleKey, report, picture))
            WarnOffScreen(picture, x, y, report);
        add(file, report.Status());
    }
    {
        FileReport report(folder + scene::Font, out);
        CheckFont(report);
        add(scene::Font, report.Status());
    }
    {
        FileReport report(folder + scene::Music, out);
        if (audio) {
            CheckMusic(report);
        } else {
            report.Describe("not checked: the sound library could not be started: " + Printable(SDL_GetError()));
        }
        add(scene::Music, report.Status());
    }
    TTF_Quit();
    if (audio)
        Mix_CloseAudio();
    SDL_Quit();
    if (playerDriver)
        setenv("SDL_AUDIODRIVER", audioDriver.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");

    const std::string name = Printable(shown);
    if (!stopsOn.empty())
        out << name << ": the game stops at start on " << Printable(folder + stopsOn)
            << ", the first of these files it cannot load\n";
    else if (worst == MapCheck::Warned)
        out << name << ": the game plays with these files, as the warnings say\n";
    else
        out << name << ": clean: the game loads every file as it is\n";
    return worst;
}
