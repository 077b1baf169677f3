// The clipboard format "GIF Image": a whole GIF file in one block of bytes. The glue to
// the desktop clipboard lives above this library.
#pragma once

#include "GIFImage.h"

#include <string>
#include <vector>

inline constexpr const char* kGIFClipboardFormat = "GIF Image";
// How the picture-format registry knows GIF documents.
inline constexpr const char* kGIFFileExtension = "GIF";
inline constexpr const char* kGIFFileDescription = "GIF Image";

// The bytes put on the clipboard under "GIF Image".
std::vector<std::uint8_t> GIFClipboardData(const TGIFImage& image);
// Loads clipboard data of `format`; anything but "GIF Image" fails with
// "Unsupported clipboard format" (bitmaps are assigned with TGIFImage::Assign).
void LoadGIFClipboardData(TGIFImage& image, const std::string& format, const std::vector<std::uint8_t>& data);
