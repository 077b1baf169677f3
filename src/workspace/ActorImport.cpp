#include "ActorImport.h"

#include "gif/GIFImage.h"
#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/IcoFile.h"
#include "graphics/ImageFile.h"
#include "graphics/JpegFile.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

// An actor made from a GIF frame holds its picture at 24 bits and, while it is made, the
// frame's palette picture, a copy of it, its mask and its alpha: asked of the budget first.
void checkActorMemory(int width, int height)
{
    MemoryBudget::Check(MemoryBudget::PictureBytes(width, height) + MemoryBudget::PictureBytes(width, height, 5, 1),
                        "an actor of " + std::to_string(width) + " x " + std::to_string(height) + " pixels");
}

// A picture whose coverage is all 255 brings no transparency: the bottom-left rule holds.
TActorPicture withAlphaOrKeyed(const TBitmap& colours, const std::vector<std::uint8_t>& alpha)
{
    if (std::all_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a == 255; }))
        return TActorPicture::KeyedByBottomLeft(colours);
    return TActorPicture(colours, alpha.data());
}

TActorPicture decode(const std::uint8_t* data, std::size_t size, const std::string& path)
{
    switch (DetectImageFormat(data, size, path)) {
    case TImageFormat::Png: {
        std::vector<std::uint8_t> alpha;
        const TBitmap colours = ReadPngWithAlpha(data, size, alpha);
        return withAlphaOrKeyed(colours, alpha);
    }
    case TImageFormat::Ico: {
        const TIcon icon = ReadIco(data, size);
        std::vector<std::uint8_t> alpha(icon.Mask.size());
        std::transform(icon.Mask.begin(), icon.Mask.end(), alpha.begin(),
                       [](std::uint8_t masked) { return masked ? 0 : 255; });
        return withAlphaOrKeyed(icon.Image, alpha);
    }
    case TImageFormat::Gif: {
        TGIFImage gif;
        gif.LoadFromBytes(std::vector<std::uint8_t>(data, data + size));
        if (gif.Empty())
            throw EInvalidGraphic("The GIF file has no image");
        // The first image at its own size, its transparent index showing through.
        const TGIFSubImage& first = *gif.Images.front();
        if (first.Empty())
            return {};
        checkActorMemory(first.Width(), first.Height());
        const std::vector<std::uint8_t> mask = first.Mask();
        if (mask.empty())
            return TActorPicture::KeyedByBottomLeft(first.Bitmap());
        std::vector<std::uint8_t> alpha(mask.size());
        std::transform(mask.begin(), mask.end(), alpha.begin(), [](std::uint8_t masked) { return masked ? 0 : 255; });
        return TActorPicture(first.Bitmap(), alpha.data());
    }
    case TImageFormat::Bmp: return TActorPicture::KeyedByBottomLeft(ReadBmp(data, size));
    case TImageFormat::Jpeg: return TActorPicture::KeyedByBottomLeft(ReadJpeg(data, size));
    case TImageFormat::Unknown: break;
    }
    throw EInvalidGraphic("This is not a picture Anivor can read (BMP, ICO, PNG, JPEG or GIF)");
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

} // namespace

TActorPicture ReadActorPicture(const std::uint8_t* data, std::size_t size, const std::string& path)
{
    TActorPicture picture;
    try {
        picture = decode(data, size, path);
    } catch (const EInvalidGraphic& e) { // also the GIF reader's GIFException
        throw EInvalidGraphic(fileName(path) + ": " + e.what());
    }
    if (picture.Empty())
        throw EInvalidGraphic(fileName(path) + ": the picture has no pixels");
    return picture;
}

TActorPicture LoadActorPicture(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Exception("Unable to read " + path);
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return ReadActorPicture(bytes.data(), bytes.size(), path);
}
