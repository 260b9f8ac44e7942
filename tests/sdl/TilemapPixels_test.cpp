#include "KnownMap.h"
#include "SDLDriver.h"
#include "SDLScreen.h"
#include "SDLTilemap.h"

TEST(SDLTilemapPixels, WindowShowsTheMapUnderTheClampedOffsetAndNothingOutsideIt)
{
    fixtures::ScratchDir dir;
    SDLTilemap tilemap(knownmap::Write(dir));
    knownmap::ExpectDrawnAtEveryOffset(sdlscreen::Driver(), tilemap, sdlscreen::Width, sdlscreen::Height, [] {},
                                       sdlscreen::Colour);
}
