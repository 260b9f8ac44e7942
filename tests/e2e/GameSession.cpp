#include "GameSession.h"

#include <SDL_image.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point After(double seconds)
{
    return Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
}

void Pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// A window may go away between listing it and asking for its name, when a
// game of an earlier test is still being torn down; Xlib's default handler
// would end the test process for that.
int IgnoreXError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

Pixels SurfacePixels(SDL_Surface* surface)
{
    Pixels picture;
    picture.width = surface->w;
    picture.height = surface->h;
    picture.rgb.resize(static_cast<size_t>(surface->w) * surface->h);
    SDL_LockSurface(surface);
    const int bytes = surface->format->BytesPerPixel;
    for (int y = 0; y < surface->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            const Uint8* p = row + x * bytes;
            Uint32 value = 0;
            if (bytes == 1)
                value = *p;
            else if (bytes == 2)
                value = *reinterpret_cast<const Uint16*>(p);
            else if (bytes == 3)
                value = SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[2] | p[1] << 8 | p[0] << 16;
            else
                value = *reinterpret_cast<const Uint32*>(p);
            Uint8 r, g, b;
            SDL_GetRGB(value, surface->format, &r, &g, &b);
            picture.rgb[static_cast<size_t>(y) * surface->w + x] = Uint32(r) << 16 | Uint32(g) << 8 | b;
        }
    }
    SDL_UnlockSurface(surface);
    return picture;
}

Pixels LoadPixels(const std::string& path)
{
    SDL_Surface* surface = IMG_Load(path.c_str());
    if (!surface)
        throw std::runtime_error("cannot read " + path + ": " + SDL_GetError());
    Pixels picture = SurfacePixels(surface);
    SDL_FreeSurface(surface);
    return picture;
}

struct GameSession::Connection {
    Display* display = nullptr;
    Window root = 0;
};

GameSession::GameSession(const std::string& workDir, const std::string& diskAudioFile)
{
    char errName[] = "/tmp/vexlume-e2e-err-XXXXXX";
    const int errFd = mkstemp(errName);
    if (errFd < 0)
        throw std::runtime_error("mkstemp failed");
    errorFile = errName;

    child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(errFd, 2);
        if (chdir(workDir.c_str()) != 0)
            _exit(127);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        if (diskAudioFile.empty()) {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
        } else {
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", diskAudioFile.c_str(), 1);
        }
        execl(VEXLUME_BINARY, VEXLUME_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(errFd);
    if (child < 0)
        throw std::runtime_error("fork failed");

    x = new Connection;
    // A busy server may turn a connection away for a moment.
    const auto deadline = After(5);
    while (!(x->display = XOpenDisplay(nullptr)) && Clock::now() < deadline)
        Pause(100);
    if (!x->display) {
        Kill();
        delete x;
        unlink(errorFile.c_str());
        throw std::runtime_error("cannot open the X display named in DISPLAY");
    }
    x->root = DefaultRootWindow(x->display);
    XSetErrorHandler(IgnoreXError);
}

GameSession::~GameSession()
{
    if (x->display) {
        for (KeySymbol key : std::vector<KeySymbol>(held))
            KeyUp(key);
    }
    Kill();
    if (x->display)
        XCloseDisplay(x->display);
    delete x;
    unlink(errorFile.c_str());
}

void GameSession::Kill()
{
    if (child <= 0)
        return;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    child = -1;
}

bool GameSession::Running()
{
    if (child <= 0)
        return false;
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == 0)
        return true;
    exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    child = -1;
    return false;
}

unsigned long GameSession::FindWindow()
{
    // Only a window of our own child counts: a window of a game from an
    // earlier test may linger for a moment after that game has gone.
    const Atom pidAtom = XInternAtom(x->display, "_NET_WM_PID", False);
    std::vector<Window> pending{x->root};
    while (!pending.empty()) {
        const Window current = pending.back();
        pending.pop_back();
        char* name = nullptr;
        if (XFetchName(x->display, current, &name) && name) {
            const bool titled = std::string(name) == "Vexlume";
            XFree(name);
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (titled && XGetWindowProperty(x->display, current, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                                             &count, &after, &data) == Success) {
                const bool ours = data && count == 1 && static_cast<pid_t>(*reinterpret_cast<long*>(data)) == child;
                if (data)
                    XFree(data);
                if (ours)
                    return current;
            }
        }
        Window rootReturn, parent;
        Window* children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(x->display, current, &rootReturn, &parent, &children, &n)) {
            pending.insert(pending.end(), children, children + n);
            if (children)
                XFree(children);
        }
    }
    return 0;
}

bool GameSession::WaitForWindow(double timeoutSeconds)
{
    const auto deadline = After(timeoutSeconds);
    while (Clock::now() < deadline && Running()) {
        window = FindWindow();
        XWindowAttributes attributes;
        if (window && XGetWindowAttributes(x->display, window, &attributes) && attributes.map_state == IsViewable)
            return true;
        Pause(50);
    }
    return false;
}

bool GameSession::WaitForScene(double timeoutSeconds, Pixels* first)
{
    const auto deadline = After(timeoutSeconds);
    if (!WaitForWindow(timeoutSeconds))
        return false;
    const Pixels& title = SceneArt::Get().title;
    auto titleShown = [&](const Pixels& screen) {
        for (int y = 0; y < title.height; ++y)
            for (int px = 0; px < title.width; ++px)
                if (title.At(px, y) != 0 && screen.At(px, y) != title.At(px, y))
                    return false;
        return true;
    };
    const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
    if (!WaitFor(titleShown, std::max(left, 0.5), {0, 0, title.width, title.height}))
        return false;
    if (first)
        *first = Grab();
    return true;
}

bool GameSession::WaitUntil(const std::function<bool()>& condition, double timeoutSeconds)
{
    const auto deadline = After(timeoutSeconds);
    do {
        if (condition())
            return true;
        Pause(20);
    } while (Clock::now() < deadline && Running());
    return false;
}

bool GameSession::WaitFor(const std::function<bool(const Pixels&)>& shown, double timeoutSeconds, Box area,
                          Pixels* last)
{
    return WaitUntil(
        [&] {
            Pixels screen = Grab(area);
            const bool seen = shown(screen);
            if (last)
                *last = std::move(screen);
            return seen;
        },
        timeoutSeconds);
}

void GameSession::Key(KeySymbol key, bool down)
{
    const KeyCode code = XKeysymToKeycode(x->display, key);
    if (code == 0)
        throw std::runtime_error("the X server has no key for keysym " + std::to_string(key));
    XTestFakeKeyEvent(x->display, code, down ? True : False, CurrentTime);
    XSync(x->display, False);
    if (down)
        held.push_back(key);
    else
        held.erase(std::remove(held.begin(), held.end(), key), held.end());
}

void GameSession::KeyDown(KeySymbol key)
{
    Key(key, true);
}

void GameSession::KeyUp(KeySymbol key)
{
    Key(key, false);
}

void GameSession::Tap(KeySymbol key)
{
    KeyDown(key);
    Pause(30);
    KeyUp(key);
}

void GameSession::RequestClose()
{
    if (!window)
        window = FindWindow();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x->display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x->display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x->display, window, False, NoEventMask, &event);
    XSync(x->display, False);
}

Box GameSession::Screen() const
{
    const int number = DefaultScreen(x->display);
    return {0, 0, DisplayWidth(x->display, number), DisplayHeight(x->display, number)};
}

Pixels GameSession::Grab(Box area)
{
    // Asking XGetImage for more than the screen holds fails the request.
    const Box whole = Screen();
    Pixels screen;
    screen.width = whole.w;
    screen.height = whole.h;
    screen.rgb.assign(static_cast<size_t>(screen.width) * screen.height, 0);
    area.w = std::min(area.w, screen.width - std::max(area.x, 0));
    area.h = std::min(area.h, screen.height - std::max(area.y, 0));
    area.x = std::max(area.x, 0);
    area.y = std::max(area.y, 0);
    if (area.w <= 0 || area.h <= 0)
        return screen;
    XImage* image = XGetImage(x->display, x->root, area.x, area.y, area.w, area.h, AllPlanes, ZPixmap);
    if (!image)
        throw std::runtime_error("XGetImage failed");
    if (image->bits_per_pixel != 32 || image->red_mask != 0xFF0000 || image->green_mask != 0xFF00 ||
        image->blue_mask != 0xFF) {
        XDestroyImage(image);
        throw std::runtime_error("the X screen is not 24-bit RGB in 32-bit pixels");
    }
    for (int y = 0; y < area.h; ++y) {
        const char* bytes = image->data + static_cast<size_t>(y) * image->bytes_per_line;
        const Uint32* row = reinterpret_cast<const Uint32*>(bytes);
        Uint32* out = &screen.rgb[static_cast<size_t>(area.y + y) * screen.width + area.x];
        for (int px = 0; px < area.w; ++px)
            out[px] = row[px] & 0xFFFFFF;
    }
    XDestroyImage(image);
    return screen;
}

int GameSession::WaitForExit(double timeoutSeconds)
{
    const auto deadline = After(timeoutSeconds);
    while (Running()) {
        if (Clock::now() > deadline) {
            Kill();
            return -1;
        }
        Pause(20);
    }
    return exitStatus;
}

std::string GameSession::ErrorOutput() const
{
    std::ifstream in(errorFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

// Reads the map file on its own terms: a text line, a number line, two
// text lines, the tile set's path, then tile size, map size and the grid
// row by row.
Pixels ComposeMap(const std::string& dir)
{
    std::ifstream in(dir + "/share/test.map");
    std::string line;
    std::getline(in, line);
    std::getline(in, line);
    std::getline(in, line);
    std::getline(in, line);
    std::string tilesetPath;
    std::getline(in, tilesetPath);
    int tileWidth = 0, tileHeight = 0, columns = 0, rows = 0;
    in >> tileWidth >> tileHeight >> columns >> rows;
    if (!in || tileWidth < 1 || tileHeight < 1 || columns < 1 || rows < 1)
        throw std::runtime_error("cannot read share/test.map");
    const Pixels tiles = LoadPixels(dir + "/" + tilesetPath);
    const int perRow = tiles.width / tileWidth;

    Pixels map;
    map.width = columns * tileWidth;
    map.height = rows * tileHeight;
    map.rgb.resize(static_cast<size_t>(map.width) * map.height);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            int tile = 0;
            if (!(in >> tile))
                throw std::runtime_error("share/test.map ends inside its grid");
            const int tx = tile % perRow * tileWidth;
            const int ty = tile / perRow * tileHeight;
            for (int y = 0; y < tileHeight; ++y)
                for (int px = 0; px < tileWidth; ++px)
                    map.rgb[static_cast<size_t>(r * tileHeight + y) * map.width + c * tileWidth + px] =
                        tiles.At(tx + px, ty + y);
        }
    }
    return map;
}

struct FramePoints {
    int row;
    int index;
    std::vector<std::pair<int, Uint32>> points;  // offset dy * 32 + dx, colour
};

const std::vector<FramePoints>& SheetFrames()
{
    static const std::vector<FramePoints> frames = [] {
        const Pixels& sheet = SceneArt::Get().sheet;
        std::vector<FramePoints> all;
        for (int row = 0; row + layout::Frame <= sheet.height; row += layout::Frame) {
            for (int index = 0; (index + 1) * layout::Frame <= sheet.width; ++index) {
                FramePoints frame{row, index, {}};
                for (int dy = 0; dy < layout::Frame; ++dy)
                    for (int dx = 0; dx < layout::Frame; ++dx) {
                        const Uint32 c = sheet.At(index * layout::Frame + dx, row + dy);
                        if (c != 0)
                            frame.points.emplace_back(dy * layout::Frame + dx, c);
                    }
                // The middle of the figure first: a wrong place fails fast.
                std::rotate(frame.points.begin(), frame.points.begin() + frame.points.size() / 2,
                            frame.points.end());
                all.push_back(frame);
            }
        }
        return all;
    }();
    return frames;
}

} // namespace

const SceneArt& SceneArt::Get()
{
    static const SceneArt art = [] {
        const std::string dir = VEXLUME_SOURCE_DIR;
        SceneArt loaded;
        loaded.title = LoadPixels(dir + "/share/Vexlume.png");
        loaded.second = LoadPixels(dir + "/share/Skarnel.png");
        loaded.sheet = LoadPixels(dir + "/share/Pellwick.png");
        loaded.map = ComposeMap(dir);
        return loaded;
    }();
    return art;
}

std::vector<SpriteSighting> FindSprite(const Pixels& screen, int xMin, int xMax, int yMin, int yMax)
{
    std::vector<SpriteSighting> found;
    xMin = std::max(xMin, 0);
    yMin = std::max(yMin, 0);
    xMax = std::min(xMax, screen.width - layout::Frame);
    yMax = std::min(yMax, screen.height - layout::Frame);
    for (const FramePoints& frame : SheetFrames()) {
        for (int y = yMin; y <= yMax; ++y) {
            for (int px = xMin; px <= xMax; ++px) {
                const bool matches = std::all_of(frame.points.begin(), frame.points.end(), [&](const auto& p) {
                    return screen.At(px + p.first % layout::Frame, y + p.first / layout::Frame) == p.second;
                });
                if (matches && !frame.points.empty())
                    found.push_back({px, y, frame.row, frame.index});
            }
        }
    }
    return found;
}

std::vector<std::pair<int, int>> FindMapView(const Pixels& screen, int xMin, int xMax, int yMin, int yMax,
                                             Box excluded)
{
    using namespace layout;
    const Pixels& map = SceneArt::Get().map;
    xMin = std::max(xMin, 0);
    yMin = std::max(yMin, 0);
    xMax = std::min(xMax, map.width - 1 - WindowWidth);
    yMax = std::min(yMax, map.height - 1 - WindowHeight);

    // Black in the tile set is see-through, so stars may show there.
    auto agrees = [&](int ox, int oy, int i, int j) {
        const int sx = WindowX + i, sy = WindowY + j;
        if (excluded.Contains(sx, sy))
            return true;
        const Uint32 expected = map.At(ox + i, oy + j);
        const Uint32 shown = screen.At(sx, sy);
        return expected == 0 ? IsGrey(shown) : shown == expected;
    };
    std::vector<std::pair<int, int>> found;
    for (int oy = yMin; oy <= yMax; ++oy) {
        for (int ox = xMin; ox <= xMax; ++ox) {
            bool same = true;
            // A coarse look first, then every pixel.
            for (int j = 0; same && j < WindowHeight; j += 23)
                for (int i = 0; same && i < WindowWidth; i += 17)
                    same = agrees(ox, oy, i, j);
            for (int j = 0; same && j < WindowHeight; ++j)
                for (int i = 0; same && i < WindowWidth; ++i)
                    same = agrees(ox, oy, i, j);
            if (same)
                found.emplace_back(ox, oy);
        }
    }
    return found;
}
