#ifndef VEXLUME_OBLONG_H
#define VEXLUME_OBLONG_H

// An integer rectangle: the source region of Graphics::Blit, in the
// picture's own pixel coordinates. Owners keep it by value and pass it by
// pointer; the fields are read and written directly.
class Oblong
{
public:
    Oblong(int x, int y, int w, int h);
    ~Oblong();

    int x;
    int y;
    int w;
    int h;
};

#endif
