#ifndef VEXLUME_IMAGE_H
#define VEXLUME_IMAGE_H

#include "Fatal.h"

#include <SDL.h>

#include <string>

// A picture with one transparent colour (the colour key). It is created
// empty, loaded once after the video mode exists, drawn any number of times
// through a Graphics of the same back-end, and deleted by its creator, which
// frees what it holds, before the driver.
class Image
{
public:
    virtual ~Image();

    // Reads the picture file at the path, relative to the working directory;
    // a file that cannot be read ends the program with "Couldn't load
    // '<file>': " and SDL's error. How the picture is held and the key read
    // is the back-end's. Returns this picture; callers need not look.
    virtual Image* LoadImage(std::string file, int colourKey) = 0;
    // The loaded picture's size in pixels; 0 before it is loaded.
    virtual int Width() = 0;
    virtual int Height() = 0;

    // Replaces the picture with a copy of surface (which the caller keeps),
    // for pictures made at run time such as rendered text. It may be called
    // again to replace the picture; surface must not be null.
    virtual Image* LoadSurface(SDL_Surface* surface, int colourKey) = 0;

protected:
    // The loading steps the back-ends share. Each surface returned is the
    // caller's to free; each failure ends the program.

    // IMG_Load alone, failing with the LoadImage message.
    static SDL_Surface* ReadFile(const std::string& file);
    // ReadFile, then converted to the display format, which needs the mode.
    static SDL_Surface* ReadDisplayFormat(const std::string& file);
    // A display-format copy; fails with "Couldn't convert a picture: ".
    static SDL_Surface* DisplayCopy(SDL_Surface* surface);
};

// The checked downcast of the drawing targets: a target draws only loaded
// pictures of its own back-end, and anything else is a programming error
// that ends the program with a line saying which.
template <class Picture>
Picture* NarrowPicture(Image* image)
{
    if (!image)
        FailWithLine("Can't draw a picture: none was given\n");
    Picture* picture = dynamic_cast<Picture*>(image);
    if (!picture)
        FailWithLine("Can't draw a picture: it belongs to the other video back-end\n");
    if (!picture->Loaded())
        FailWithLine("Can't draw a picture: it was never loaded\n");
    return picture;
}

#endif
