#ifndef VEXLUME_IMAGE_H
#define VEXLUME_IMAGE_H

#include "Fatal.h"

#include <SDL.h>

#include <string>

// A picture with one transparent colour (the colour key). It is created
// empty, loaded once after the video mode exists, drawn any number of times
// through a Graphics of the same back-end, and deleted by its creator before
// the driver. A file that cannot be loaded ends the program.
class Image
{
public:
    virtual ~Image();

    virtual Image* LoadImage(std::string file, int colourKey) = 0;
    virtual int Width() = 0;
    virtual int Height() = 0;

    // Replaces the picture with a copy of surface (which the caller keeps),
    // for pictures made at run time such as rendered text. It may be called
    // again to replace the picture.
    virtual Image* LoadSurface(SDL_Surface* surface, int colourKey) = 0;
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
