// Device-independent bitmaps: the header, colour table and pixel rows shared by BMP files
// and the BMP-style images inside icon files.
#pragma once

#include "Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum : std::uint32_t {
    kDibRgb = 0,
    kDibRle8 = 1,
    kDibRle4 = 2,
    kDibBitfields = 3,
    kDibJpeg = 4,
    kDibPng = 5,
    kDibAlphaBitfields = 6,
};

struct TDibHeader {
    std::uint32_t HeaderSize = 0;
    std::int64_t Width = 0;
    std::int64_t Height = 0; // as stored: negative means rows run top to bottom
    int BitCount = 0;
    std::uint32_t Compression = kDibRgb;
    std::uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha (16 and 32 bits)
    std::vector<TColor> Palette;           // 1, 4 and 8 bits
    std::size_t End = 0;                   // offset just past header, masks and colour table
};

// Parses the info header (12-byte core, 40-byte info, V4, V5 and the in-between sizes),
// the bit masks and the colour table at `data`. `pixelStart` is where the pixels begin,
// relative to `data`, when the container says so (0: right after the colour table); it
// bounds the colour table. `what` names the file in messages ("BMP file").
// Throws EInvalidGraphic for anything malformed or unsupported.
TDibHeader ReadDibHeader(const std::uint8_t* data, std::size_t size, std::size_t pixelStart, const std::string& what);

// Decodes `height` rows of `width` pixels from `pixels` (rows bottom-up unless `topDown`).
// 1, 4 and 8 bits give an 8-bit bitmap with the colour table, the rest 24-bit.
// When `alpha` is given and the image has 32 bits, it receives one alpha byte per pixel
// (rows top-down).
TBitmap DecodeDibPixels(const TDibHeader& header, int width, int height, bool topDown, const std::uint8_t* pixels,
                        std::size_t size, const std::string& what, std::vector<std::uint8_t>* alpha = nullptr);

// Bytes of one uncompressed row, padded to 4.
constexpr std::int64_t DibStride(std::int64_t width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}
