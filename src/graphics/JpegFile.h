// JPEG files, decoded with libjpeg.
#pragma once

#include "Bitmap.h"
#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>

// Decodes a baseline or progressive JPEG, grayscale or colour, to a 24-bit bitmap. CMYK
// files are refused. A file that ends before its last scan is refused rather than shown
// half grey. Throws EInvalidGraphic for bad files.
TBitmap ReadJpeg(const std::uint8_t* data, std::size_t size);
// Size and depth (8 bits per component) from the frame header.
TImageInfo ReadJpegInfo(const std::uint8_t* data, std::size_t size);
bool IsJpegSignature(const std::uint8_t* data, std::size_t size);
