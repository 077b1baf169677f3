// BMP files: reading every common variant, writing 8-bit (with palette) and 24-bit.
#pragma once

#include "Bitmap.h"
#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Decodes a whole BMP file: core (12-byte), info, V4 and V5 headers; 1, 4, 8, 16 (5-5-5 or
// bit fields), 24 and 32 bits; RLE4 and RLE8; rows bottom-up or top-down. 1, 4 and 8-bit
// files give an 8-bit bitmap with their colour table, the others a 24-bit bitmap (the alpha
// of 32-bit files is ignored). Pixels an RLE file skips keep palette index 0.
// Throws EInvalidGraphic for malformed, truncated or oversized files.
TBitmap ReadBmp(const std::uint8_t* data, std::size_t size);
TBitmap LoadBmpFile(const std::string& path);
TImageInfo ReadBmpInfo(const std::uint8_t* data, std::size_t size);

// The BMP file of a bitmap: 8-bit bitmaps with their palette, 24-bit ones as they are;
// rows bottom-up, uncompressed.
std::vector<std::uint8_t> EncodeBmp(const TBitmap& bmp);
// Writes the file whole or not at all (throws Exception "Unable to write to <path>").
void SaveBmpFile(const TBitmap& bmp, const std::string& path);
