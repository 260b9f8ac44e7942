#include "Image.h"

Image::~Image()
{
}
