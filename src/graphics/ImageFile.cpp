#include "ImageFile.h"

#include "BmpFile.h"
#include "ByteOrder.h"
#include "Exception.h"
#include "FileWrite.h"
#include "IcoFile.h"
#include "JpegFile.h"
#include "PngFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace {

std::string upperExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext;
}

bool isGif(const std::uint8_t* data, std::size_t size)
{
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

[[noreturn]] void refuseGif()
{
    throw EInvalidGraphic("GIF files are read by the GIF reader, not as single images");
}

} // namespace

TImageFormat DetectImageFormat(const std::uint8_t* data, std::size_t size, const std::string& path)
{
    if (IsPngSignature(data, size))
        return TImageFormat::Png;
    if (IsJpegSignature(data, size))
        return TImageFormat::Jpeg;
    if (isGif(data, size))
        return TImageFormat::Gif;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return TImageFormat::Bmp;
    if (IsIcoSignature(data, size))
        return TImageFormat::Ico;
    const std::string ext = upperExtension(path);
    if (ext == ".BMP")
        return TImageFormat::Bmp;
    if (ext == ".ICO")
        return TImageFormat::Ico;
    if (ext == ".PNG")
        return TImageFormat::Png;
    if (ext == ".JPG" || ext == ".JPEG")
        return TImageFormat::Jpeg;
    if (ext == ".GIF")
        return TImageFormat::Gif;
    return TImageFormat::Unknown;
}

TBitmap ReadImage(const std::uint8_t* data, std::size_t size, const std::string& path)
{
    switch (DetectImageFormat(data, size, path)) {
    case TImageFormat::Bmp:
        return ReadBmp(data, size);
    case TImageFormat::Png:
        return ReadPng(data, size);
    case TImageFormat::Jpeg:
        return ReadJpeg(data, size);
    case TImageFormat::Ico: {
        // Drawn on white: the icon's own picture with its transparent pixels turned white,
        // so no second picture of its size is needed.
        TIcon icon = ReadIco(data, size);
        TBitmap bmp = std::move(icon.Image);
        for (int y = 0; y < bmp.Height(); ++y) {
            std::uint8_t* row = bmp.ScanLine(y);
            const std::uint8_t* mask = icon.Mask.data() + static_cast<std::size_t>(y) * bmp.Width();
            for (int x = 0; x < bmp.Width(); ++x)
                if (mask[x])
                    row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 255;
        }
        return bmp;
    }
    case TImageFormat::Gif:
        refuseGif();
    case TImageFormat::Unknown:
        break;
    }
    throw EInvalidGraphic("Unknown image format: " + path);
}

TBitmap LoadImageFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return ReadImage(bytes.data(), bytes.size(), path);
}

TImageInfo ReadImageFileInfo(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    const std::uint8_t* data = bytes.data();
    const std::size_t size = bytes.size();
    switch (DetectImageFormat(data, size, path)) {
    case TImageFormat::Bmp:
        return ReadBmpInfo(data, size);
    case TImageFormat::Png:
        return ReadPngInfo(data, size);
    case TImageFormat::Jpeg:
        return ReadJpegInfo(data, size);
    case TImageFormat::Ico:
        return ReadIcoInfo(data, size);
    case TImageFormat::Gif: {
        if (size < 13 || !isGif(data, size))
            throw EInvalidGraphic("GIF file is truncated");
        TImageInfo info;
        info.Format = "GIF";
        info.Width = ReadLE16(data + 6);
        info.Height = ReadLE16(data + 8);
        info.BitsPerPixel = (data[10] & 7) + 1;
        return info;
    }
    case TImageFormat::Unknown:
        break;
    }
    throw EInvalidGraphic("Unknown image format: " + path);
}
