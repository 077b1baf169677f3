// Icon (.ICO) files: the largest image of the file with its transparency mask.
#pragma once

#include "Bitmap.h"
#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TIcon {
    TBitmap Image;                  // 24-bit colours
    std::vector<std::uint8_t> Mask; // Width x Height, rows top-down, 1 = transparent pixel
    int BitsPerPixel = 0;           // of the image used
    int ImageCount = 0;             // images in the file

    int Width() const { return Image.Width(); }
    int Height() const { return Image.Height(); }
    bool IsTransparent(int x, int y) const { return Mask[static_cast<std::size_t>(y) * Width() + x] != 0; }
};

// Reads the largest image of the file (by area; equal sizes: the deeper one). BMP-style
// images of 1, 4, 8, 24 and 32 bits take their mask from the AND bitmap, except 32-bit
// images, where alpha below 128 is transparent (the AND bitmap is used only when every
// alpha byte is zero, as in icons made before alpha existed). PNG-compressed images use
// their alpha the same way. Throws EInvalidGraphic for bad files.
TIcon ReadIco(const std::uint8_t* data, std::size_t size);
TIcon LoadIcoFile(const std::string& path);
// Size and depth of the image ReadIco would pick, and the number of images.
TImageInfo ReadIcoInfo(const std::uint8_t* data, std::size_t size);
bool IsIcoSignature(const std::uint8_t* data, std::size_t size);

// Draws the icon onto `dest` with its top-left corner at (x, y), clipped; transparent
// pixels leave `dest` as it was.
void DrawIcon(TBitmap& dest, int x, int y, const TIcon& icon);
// What importing an icon does to the work bitmap: resized to the icon's size (keeping its
// top-left pixels) and the icon drawn over them at (0, 0).
void AssignIcon(TBitmap& work, const TIcon& icon);
