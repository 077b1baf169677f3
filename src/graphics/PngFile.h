// PNG files, decoded with libpng.
#pragma once

#include "Bitmap.h"
#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes any PNG (every colour type and bit depth, interlaced or not) to a 24-bit bitmap.
// Bitmaps have no alpha, so transparent and translucent pixels are composited over white,
// which is how such pictures look on a page. Throws EInvalidGraphic for bad files.
TBitmap ReadPng(const std::uint8_t* data, std::size_t size);
// The same decoding without compositing: the plain colours, and one alpha byte per pixel
// (rows top-down; 255 everywhere for opaque files). Icons use this for their masks.
TBitmap ReadPngWithAlpha(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& alpha);
// Size and depth from the header chunk.
TImageInfo ReadPngInfo(const std::uint8_t* data, std::size_t size);
bool IsPngSignature(const std::uint8_t* data, std::size_t size);
