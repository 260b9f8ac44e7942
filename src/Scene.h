#ifndef VEXLUME_SCENE_H
#define VEXLUME_SCENE_H

// The scene's fixed settings. The game builds its scene from them, and the
// map checker, the fuzzer, the benchmarks and the tests that foretell the
// frame read them here, so that a change to the scene is one line.
namespace scene {

// The one full-screen video mode.
const int ScreenWidth = 1680;
const int ScreenHeight = 1050;
const int ScreenDepth = 32;

// The camera window the tile map scrolls under: 8 x 6 tiles with its
// top-left corner at (520, 400) on the screen.
const int CameraColumns = 8;
const int CameraRows = 6;
const int CameraX = 520;
const int CameraY = 400;

const int StarCount = 5000;

// Where the second picture stands; the first stands at the origin.
const int SecondX = 1250;
const int SecondY = 450;

// The data files, relative to the directory the game is started in.
const char* const TitlePicture = "share/Vexlume.png";
const char* const SecondPicture = "share/Skarnel.png";
const char* const SpriteSheet = "share/Pellwick.png";
const char* const Map = "share/test.map";
const char* const Font = "share/formplex12.ttf";
const char* const Music = "share/Lullwater.ogg";

// The colour each picture's pixels are left out in: black, or magenta for
// the second picture. The map's tile set is keyed black too.
const int BlackKey = 0x000000;
const int MagentaKey = 0xFF00FF;
const int TitleKey = BlackKey;
const int SecondKey = MagentaKey;
const int SpriteKey = BlackKey;
const int TilesetKey = BlackKey;

// The sprite sheet's frames are square; the frames shown while walking left
// are in the row at y 0, those while walking right in the row below.
const int FrameSide = 32;
const int SpriteFramesPerSecond = 4;

// The frames-per-second counter: this text, then the count, in the font at
// this size.
const char* const CounterPrefix = "FPS: ";
const int FontPoints = 28;

} // namespace scene

#endif
