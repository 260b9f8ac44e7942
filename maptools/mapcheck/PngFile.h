#ifndef VEXLUME_PNGFILE_H
#define VEXLUME_PNGFILE_H

#include <SDL.h>

#include <string>
#include <vector>

// Writes width x height pixels, 0xAARRGGBB row by row from the top, to path
// as a PNG with an alpha channel. The file appears whole or not at all: it
// is written under a temporary name in the same directory and renamed, so a
// failure part-way leaves neither a broken picture nor the old one damaged.
// Returns "" or why it failed, worded to follow the path.
std::string WritePng(const std::string& path, int width, int height, const std::vector<Uint32>& pixels);

#endif
