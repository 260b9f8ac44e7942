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

Starfield::~Starfield()
{
}

void Starfield::Draw()
{
    for (int i = 0; i < count; ++i) {
        std::vector<int>& star = stars[i];
        if (--star[2] < 1)
            star[2] = 255;
        const int depth = star[2];
        const int sx = star[0] * 255 / depth + width / 2;
        if (sx <= 0)
            continue;
        const int sy = star[1] * 255 / depth + height / 2;
        if (sx < width && sy > 0 && sy < height) {
            const int grey = 255 - depth;
            graphics->PutPixel(sx, sy, grey * 0x010101);
        }
    }
}
