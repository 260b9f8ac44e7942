#include "Starfield.h"

#include "Graphics.h"

#include <cstdlib>
#include <ctime>

Starfield::Starfield(Graphics* graphics, int width, int height, int count)
    : graphics(graphics), width(width), height(height), count(count)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    while (static_cast<int>(stars.size()) < count) {
        stars.push_back(std::vector<int>(3, 0));
        std::vector<int>& star = stars.back();
        star[0] = std::rand() % width - width / 2;
        star[1] = std::rand() % height - height / 2;
        star[2] = std::rand() % 255;
    }
}

void Starfield::Draw()
{
    // Locals, because the drawing target's virtual PutPixel could, as far as
    // the compiler knows, change any member between two stars.
    Graphics* const target = graphics;
    const int w = width;
    const int h = height;
    const int centreX = w / 2;
    const int centreY = h / 2;
    std::vector<int>* star = stars.data();
    for (int i = 0; i < count; ++i, ++star) {
        int* const s = star->data();
        if (--s[2] < 1)
            s[2] = 255;
        const int depth = s[2];
        const int sx = s[0] * 255 / depth + centreX;
        if (sx <= 0)
            continue;
        const int sy = s[1] * 255 / depth + centreY;
        if (sx < w && sy > 0 && sy < h) {
            const int grey = 255 - depth;
            target->PutPixel(sx, sy, grey * 0x010101);
        }
    }
}
