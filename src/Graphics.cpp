#include "Graphics.h"

Graphics::~Graphics()
{
}
