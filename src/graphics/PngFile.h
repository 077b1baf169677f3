// PNG files, decoded and encoded with libpng.
#pragma once

#include "Bitmap.h"
#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes any PNG (every colour type and bit depth, interlaced or not) to a 24-bit bitmap.
// Bitmaps have no alpha, so transparent and translucent pixels are composited over white,
// which is how such pictures look on a page. Throws EInvalidGraphic for bad files.
TBitmap ReadPng(const std::uint8_t* data, std::size_t size);
// The same decoding without compositing: the plain colours, and one alpha byte per pixel
// (rows top-down; 255 everywhere for opaque files). Icons use this for their masks.
TBitmap ReadPngWithAlpha(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& alpha);
// As ReadPng, but an opaque palette file keeps its palette: an 8-bit bitmap with the
// file's colours (a project's palette frames come back as they were saved).
TBitmap ReadPngKeepingPalette(const std::uint8_t* data, std::size_t size);
// Encodes a 24-bit bitmap as an RGB PNG and an 8-bit one as a palette PNG, losslessly, at
// zlib `level` (0..9; 1 is fast and what projects use). Throws EInvalidGraphic for an
// empty bitmap.
std::vector<std::uint8_t> WritePng(const TBitmap& bitmap, int level = 6);
// Encodes rows of red, green, blue and alpha bytes (4 a pixel, no padding) as an RGBA PNG.
std::vector<std::uint8_t> WritePngRgba(const std::uint8_t* rgba, int width, int height, int level = 6);
void SavePngFile(const TBitmap& bitmap, const std::string& path, int level = 6);
// Size and depth from the header chunk.
TImageInfo ReadPngInfo(const std::uint8_t* data, std::size_t size);
bool IsPngSignature(const std::uint8_t* data, std::size_t size);
