#ifndef VEXLUME_STARFIELD_H
#define VEXLUME_STARFIELD_H

#include <vector>

class Graphics;

// Stars streaming out of the screen centre. Each star keeps a fixed offset
// from the centre (its position at depth 255) and a depth that counts down
// by one per Draw from 255 to 1 and wraps, so the field repeats every 255
// frames. A star is one pixel, grey 255 - depth, plotted through a drawing
// target that the caller owns. Construction seeds rand() with the time and
// makes every star; Draw allocates nothing.
class Starfield
{
public:
    // width and height must be at least 1 when count is positive.
    Starfield(Graphics* graphics, int width, int height, int count);

    void Draw();

private:
    Graphics* graphics;
    int width;
    int height;
    int count;
    std::vector<std::vector<int>> stars;
};

#endif
