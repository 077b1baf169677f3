// Picture files for command-line commands: one place that reads an image file into a
// bitmap and writes a bitmap as a BMP file, so commands need not know the formats.
#pragma once

#include "graphics/Bitmap.h"

#include <string>

// Reads a picture file. Throws Exception with a message naming the file when it cannot be
// read or is not a picture this program understands.
TBitmap ReadCliImage(const std::string& path);
// Writes `bitmap` as a 24-bit BMP file, whole or not at all.
void WriteCliBmp(const std::string& path, const TBitmap& bitmap);
