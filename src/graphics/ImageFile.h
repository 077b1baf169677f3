// Picture files by content: BMP, ICO, PNG and JPEG are read here; GIF files belong to the
// GIF codec and are refused with a pointer to it.
#pragma once

#include "Bitmap.h"
#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>

enum class TImageFormat { Unknown, Bmp, Ico, Png, Jpeg, Gif };

// The format by the file's first bytes; when they match nothing, by the extension of
// `path` (any case). Unknown when neither tells.
TImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size, const std::string& path);

// Decodes a picture file into a bitmap (icons: drawn on a new white bitmap of their size;
// use LoadIcoFile and AssignIcon to draw an icon over existing pixels). Throws
// EInvalidGraphic for unknown formats, GIF files and bad files, Exception when the file
// cannot be read.
TBitmap ReadImage(const std::uint8_t* data, std::size_t size, const std::string& path);
TBitmap LoadImageFile(const std::string& path);

// Format, size and depth from the headers only (GIF: the logical screen).
TImageInfo ReadImageFileInfo(const std::string& path);
