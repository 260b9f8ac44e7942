#include "Oblong.h"

Oblong::Oblong(int x, int y, int w, int h) : x(x), y(y), w(w), h(h)
{
}

Oblong::~Oblong()
{
}
