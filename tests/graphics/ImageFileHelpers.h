// Test files made on the spot: BMP and icon bytes written by hand, PNG and JPEG files
// written by libpng and libjpeg.
#pragma once

#include "graphics/Types.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v);
void Put32(Bytes& b, std::uint32_t v);

// A BMP file: 14-byte file header, then `dib` (info header, masks, palette), then `pixels`.
Bytes BmpFile(const Bytes& dib, const Bytes& pixels);
// A 40-byte info header (or a V5 header of 124 bytes when `v5`), followed by `extra`
// (masks, palette). Height as given (negative for top-down).
Bytes InfoHeader(int width, int height, int bits, std::uint32_t compression = 0, std::uint32_t colorsUsed = 0,
                 bool v5 = false, const std::uint32_t* masks = nullptr);
// Palette entries blue, green, red, 0.
Bytes PaletteBytes(const std::vector<TColor>& colours);

// PNG rows as the file stores them (before filtering), written with libpng.
Bytes EncodePng(int width, int height, int colorType, int bitDepth, const std::vector<Bytes>& rows,
                bool interlaced = false, const std::vector<TColor>& palette = {}, const Bytes& paletteAlpha = {});
// JPEG of `components` 1 (gray), 3 (RGB) or 4 (CMYK) bytes per pixel, rows top-down.
Bytes EncodeJpeg(int width, int height, int components, const Bytes& pixels, int quality = 95,
                 bool progressive = false);
