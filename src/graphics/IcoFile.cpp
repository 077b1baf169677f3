#include "IcoFile.h"

#include "ByteOrder.h"
#include "Dib.h"
#include "Exception.h"
#include "FileWrite.h"
#include "PngFile.h"

#include <algorithm>

namespace {

const std::string kWhat = "Icon file";

struct Entry {
    std::size_t offset = 0;
    std::size_t size = 0;
    bool png = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bits = 0;
};

// The directory, with each image's real size and depth taken from its own header (the
// directory's fields are often zero or wrong).
std::vector<Entry> readDirectory(const std::uint8_t* data, std::size_t size)
{
    if (!IsIcoSignature(data, size))
        throw EInvalidGraphic("Not an icon file");
    const int count = ReadLE16(data + 4);
    if (count == 0)
        throw EInvalidGraphic(kWhat + " holds no images");
    if (size < 6 + static_cast<std::size_t>(count) * 16)
        throw EInvalidGraphic(kWhat + " is truncated");
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* d = data + 6 + 16 * i;
        Entry e;
        e.size = ReadLE32(d + 8);
        e.offset = ReadLE32(d + 12);
        if (e.offset > size || e.size > size - e.offset)
            throw EInvalidGraphic(kWhat + " is truncated (image " + std::to_string(i + 1) + " lies past the end)");
        const std::uint8_t* img = data + e.offset;
        if (IsPngSignature(img, e.size)) {
            const TImageInfo info = ReadPngInfo(img, e.size);
            e.png = true;
            e.width = info.Width;
            e.height = info.Height;
            e.bits = info.BitsPerPixel;
        } else {
            if (e.size < 16)
                throw EInvalidGraphic(kWhat + " is truncated");
            e.width = ReadLE32s(img + 4);
            e.height = ReadLE32s(img + 8) / 2; // colour rows and mask rows
            e.bits = ReadLE16(img + 14);
            if (e.width <= 0 || e.height <= 0)
                throw EInvalidGraphic(kWhat + " is corrupt (invalid image size)");
        }
        entries.push_back(e);
    }
    return entries;
}

const Entry& pick(const std::vector<Entry>& entries)
{
    const Entry* best = &entries[0];
    for (const Entry& e : entries) {
        const std::int64_t area = e.width * e.height, bestArea = best->width * best->height;
        if (area > bestArea || (area == bestArea && e.bits > best->bits))
            best = &e;
    }
    return *best;
}

// The mask takes a byte a pixel beside the picture: asked of the memory budget first.
void checkMask(std::size_t pixels)
{
    MemoryBudget::Check(pixels, "the mask of an icon of " + std::to_string(pixels) + " pixels");
}

std::vector<std::uint8_t> maskFromAlpha(const std::vector<std::uint8_t>& alpha)
{
    checkMask(alpha.size());
    std::vector<std::uint8_t> mask(alpha.size());
    for (std::size_t i = 0; i < alpha.size(); ++i)
        mask[i] = alpha[i] < 128 ? 1 : 0;
    return mask;
}

TIcon readBmpImage(const std::uint8_t* img, std::size_t size)
{
    const TDibHeader h = ReadDibHeader(img, size, 0, kWhat);
    if (h.Compression != kDibRgb && h.Compression != kDibBitfields)
        throw EInvalidGraphic(kWhat + " uses an unsupported compression");
    if (h.Height < 0)
        throw EInvalidGraphic(kWhat + " is corrupt (top-down image)");
    const int w = static_cast<int>(h.Width);
    const int hh = static_cast<int>(h.Height / 2);
    if (hh <= 0)
        throw EInvalidGraphic(kWhat + " is corrupt (invalid image size)");
    const std::uint8_t* pixels = img + h.End;
    const std::size_t available = size - h.End;
    std::vector<std::uint8_t> alpha;
    TIcon icon;
    icon.Image = DecodeDibPixels(h, w, hh, false, pixels, available, kWhat, &alpha);
    icon.Image.SetPixelFormat(TPixelFormat::pf24bit);
    icon.BitsPerPixel = h.BitCount;

    const bool useAlpha = h.BitCount == 32 && std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a; });
    if (useAlpha) {
        icon.Mask = maskFromAlpha(alpha);
        return icon;
    }
    // The AND bitmap follows the colour rows: 1 bit per pixel, rows bottom-up.
    const std::size_t colourBytes = static_cast<std::size_t>(DibStride(w, h.BitCount)) * hh;
    const std::size_t stride = static_cast<std::size_t>(DibStride(w, 1));
    if (available < colourBytes || available - colourBytes < stride * hh)
        throw EInvalidGraphic(kWhat + " is truncated (mask missing)");
    checkMask(static_cast<std::size_t>(w) * hh);
    icon.Mask.assign(static_cast<std::size_t>(w) * hh, 0);
    for (int r = 0; r < hh; ++r) {
        const std::uint8_t* s = pixels + colourBytes + static_cast<std::size_t>(r) * stride;
        std::uint8_t* m = icon.Mask.data() + static_cast<std::size_t>(hh - 1 - r) * w;
        for (int x = 0; x < w; ++x)
            m[x] = (s[x / 8] >> (7 - x % 8)) & 1;
    }
    return icon;
}

} // namespace

bool IsIcoSignature(const std::uint8_t* data, std::size_t size)
{
    return size >= 6 && ReadLE16(data) == 0 && ReadLE16(data + 2) == 1;
}

TIcon ReadIco(const std::uint8_t* data, std::size_t size)
{
    const std::vector<Entry> entries = readDirectory(data, size);
    const Entry& e = pick(entries);
    CheckBitmapSize(e.width, e.height, "Icon image");
    TIcon icon;
    if (e.png) {
        std::vector<std::uint8_t> alpha;
        icon.Image = ReadPngWithAlpha(data + e.offset, e.size, alpha);
        icon.Mask = maskFromAlpha(alpha);
        icon.BitsPerPixel = e.bits;
    } else {
        icon = readBmpImage(data + e.offset, e.size);
    }
    icon.ImageCount = static_cast<int>(entries.size());
    return icon;
}

TIcon LoadIcoFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return ReadIco(bytes.data(), bytes.size());
}

TImageInfo ReadIcoInfo(const std::uint8_t* data, std::size_t size)
{
    const std::vector<Entry> entries = readDirectory(data, size);
    const Entry& e = pick(entries);
    TImageInfo info;
    info.Format = "ICO";
    info.Width = static_cast<int>(e.width);
    info.Height = static_cast<int>(e.height);
    info.BitsPerPixel = e.bits;
    info.ImageCount = static_cast<int>(entries.size());
    return info;
}

void DrawIcon(TBitmap& dest, int x, int y, const TIcon& icon)
{
    const int x0 = std::max(0, -x), y0 = std::max(0, -y);
    const int x1 = std::min(icon.Width(), dest.Width() - x), y1 = std::min(icon.Height(), dest.Height() - y);
    const bool direct = dest.PixelFormat() == TPixelFormat::pf24bit;
    for (int sy = y0; sy < y1; ++sy) {
        const std::uint8_t* s = icon.Image.ScanLine(sy);
        const std::uint8_t* m = icon.Mask.data() + static_cast<std::size_t>(sy) * icon.Width();
        std::uint8_t* d = direct ? dest.ScanLine(y + sy) : nullptr;
        for (int sx = x0; sx < x1; ++sx) {
            if (m[sx])
                continue;
            if (direct) {
                std::uint8_t* p = d + 3 * (x + sx);
                p[0] = s[3 * sx];
                p[1] = s[3 * sx + 1];
                p[2] = s[3 * sx + 2];
            } else {
                dest.SetPixel(x + sx, y + sy, RGB(s[3 * sx + 2], s[3 * sx + 1], s[3 * sx]));
            }
        }
    }
}

void AssignIcon(TBitmap& work, const TIcon& icon)
{
    work.SetSize(icon.Width(), icon.Height());
    DrawIcon(work, 0, 0, icon);
}
