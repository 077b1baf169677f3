#include "Dib.h"

#include "ByteOrder.h"
#include "Exception.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

[[noreturn]] void truncated(const std::string& what)
{
    throw EInvalidGraphic(what + " is truncated");
}

[[noreturn]] void corrupt(const std::string& what, const std::string& detail)
{
    throw EInvalidGraphic(what + " is corrupt (" + detail + ")");
}

// One colour channel of a 16- or 32-bit pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        if (!max)
            return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

// Palette indices beyond the colour table show black, as the table is padded to reach them.
void padPalette(TBitmap& bmp, std::vector<TColor> palette, int maxIndex)
{
    if (maxIndex >= static_cast<int>(palette.size()))
        palette.resize(static_cast<std::size_t>(maxIndex) + 1, clBlack);
    bmp.SetPalette(palette);
}

// Walks the RLE commands, handing each pixel to put(x, y, index) (y counts rows from the
// bottom) and clipping at the right edge. Every command consumes input, so the walk ends
// with the data at the latest; it ends early at the end-of-bitmap code or past the top.
template <typename Put>
void walkRle(bool four, int width, int height, const std::uint8_t* data, std::size_t size, const std::string& what,
             Put put)
{
    int x = 0, y = 0;
    std::size_t pos = 0;
    auto pixel = [&](int index) {
        if (x < width)
            put(x++, y, index);
    };
    while (y < height) {
        if (size - pos < 2)
            truncated(what);
        const int count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i)
                pixel(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // move right and up
            if (size - pos < 2)
                truncated(what);
            x = std::min(x + data[pos], width);
            y += data[pos + 1];
            pos += 2;
        } else { // a literal run, padded to a 16-bit boundary
            std::size_t bytes = four ? (static_cast<std::size_t>(value) + 1) / 2 : static_cast<std::size_t>(value);
            bytes += bytes & 1;
            if (size - pos < bytes)
                truncated(what);
            for (int i = 0; i < value && x < width; ++i)
                pixel(four ? ((i & 1) ? data[pos + i / 2] & 0x0F : data[pos + i / 2] >> 4) : data[pos + i]);
            pos += bytes;
        }
    }
}

TBitmap decodeRle(const TDibHeader& h, int width, int height, const std::uint8_t* data, std::size_t size,
                  const std::string& what)
{
    const bool four = h.Compression == kDibRle4;
    // Encoding every pixel takes at least 2 bytes per 255 of them; what the commands skip
    // is left as index 0. A picture far larger than its data could cover is refused, so
    // a few bytes cannot claim hundreds of megabytes.
    const std::int64_t pixels = static_cast<std::int64_t>(width) * height;
    if (pixels > 65536 && pixels / 256 > static_cast<std::int64_t>(size))
        throw EInvalidGraphic(what + " is truncated (too little data for its size)");
    // A first pass without pixels: damaged data fails before the picture is allocated.
    walkRle(four, width, height, data, size, what, [](int, int, int) {});
    TBitmap bmp(width, height, TPixelFormat::pf8bit);
    int maxIndex = 0;
    walkRle(four, width, height, data, size, what, [&](int x, int y, int index) {
        bmp.ScanLine(height - 1 - y)[x] = static_cast<std::uint8_t>(index);
        maxIndex = std::max(maxIndex, index);
    });
    padPalette(bmp, h.Palette, maxIndex);
    return bmp;
}

} // namespace

TDibHeader ReadDibHeader(const std::uint8_t* data, std::size_t size, std::size_t pixelStart, const std::string& what)
{
    TDibHeader h;
    if (size < 4)
        truncated(what);
    h.HeaderSize = ReadLE32(data);
    std::size_t entrySize = 4;
    std::uint32_t colorsUsed = 0;
    if (h.HeaderSize == 12) {
        if (size < 12)
            truncated(what);
        h.Width = ReadLE16(data + 4);
        h.Height = ReadLE16(data + 6);
        h.BitCount = ReadLE16(data + 10);
        entrySize = 3;
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 24)
            throw EInvalidGraphic(what + " has an unsupported number of bits per pixel (" + std::to_string(h.BitCount) + ")");
    } else if (h.HeaderSize >= 16 && h.HeaderSize <= 4096) {
        if (size < h.HeaderSize)
            truncated(what);
        h.Width = ReadLE32s(data + 4);
        h.Height = ReadLE32s(data + 8);
        h.BitCount = ReadLE16(data + 14);
        if (h.HeaderSize >= 20)
            h.Compression = ReadLE32(data + 16);
        if (h.HeaderSize >= 36)
            colorsUsed = ReadLE32(data + 32);
    } else {
        corrupt(what, "unknown header size " + std::to_string(h.HeaderSize));
    }
    h.End = h.HeaderSize;

    // The size limit is checked when the pixels are decoded: the header alone may be
    // described whatever it claims.
    if (h.Width <= 0 || h.Height == 0)
        corrupt(what, "invalid size " + std::to_string(h.Width) + " x " + std::to_string(h.Height));

    // The OS/2 header variants reuse codes 3 and 4 for Huffman and RLE24 coding.
    const bool os2 = h.HeaderSize < 40 || h.HeaderSize == 64;
    const std::uint32_t c = h.Compression;
    if (c == kDibJpeg || c == kDibPng) {
        if (!os2)
            throw EInvalidGraphic(what + " holds embedded JPEG or PNG data, which is not supported");
    }
    const bool ok = (c == kDibRgb && (h.BitCount == 1 || h.BitCount == 4 || h.BitCount == 8 || h.BitCount == 16
                                      || h.BitCount == 24 || h.BitCount == 32))
        || (c == kDibRle8 && h.BitCount == 8) || (c == kDibRle4 && h.BitCount == 4)
        || (!os2 && (c == kDibBitfields || c == kDibAlphaBitfields) && (h.BitCount == 16 || h.BitCount == 32));
    if (!ok)
        throw EInvalidGraphic(what + " uses an unsupported format (" + std::to_string(h.BitCount)
                              + " bits per pixel, compression " + std::to_string(c) + ")");
    if ((c == kDibRle8 || c == kDibRle4) && h.Height < 0)
        corrupt(what, "compressed rows cannot run top to bottom");

    if (c == kDibBitfields || c == kDibAlphaBitfields) {
        const int count = c == kDibAlphaBitfields ? 4 : 3;
        if (h.HeaderSize >= 52) {
            for (int i = 0; i < 3; ++i)
                h.Masks[i] = ReadLE32(data + 40 + 4 * i);
            if (h.HeaderSize >= 56)
                h.Masks[3] = ReadLE32(data + 52);
        } else {
            if (size - h.End < static_cast<std::size_t>(count) * 4)
                truncated(what);
            for (int i = 0; i < count; ++i)
                h.Masks[i] = ReadLE32(data + h.End + 4 * i);
            h.End += static_cast<std::size_t>(count) * 4;
        }
        if (h.BitCount == 16)
            for (std::uint32_t& m : h.Masks)
                m &= 0xFFFF;
    } else if (h.BitCount == 16) {
        h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F;
    } else if (h.BitCount == 32) {
        h.Masks[0] = 0xFF0000, h.Masks[1] = 0xFF00, h.Masks[2] = 0xFF, h.Masks[3] = 0xFF000000;
    }

    if (pixelStart != 0 && pixelStart < h.End)
        corrupt(what, "pixel data starts inside the header");
    if (h.BitCount <= 8) {
        std::size_t n = std::size_t(1) << h.BitCount;
        if (colorsUsed != 0 && colorsUsed < n)
            n = colorsUsed;
        if (pixelStart != 0)
            n = std::min(n, (pixelStart - h.End) / entrySize);
        if (n == 0)
            corrupt(what, "no colour table");
        if ((size - h.End) / entrySize < n)
            truncated(what);
        h.Palette.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t* e = data + h.End + i * entrySize;
            h.Palette.push_back(RGB(e[2], e[1], e[0]));
        }
        h.End += n * entrySize;
    } else if (pixelStart == 0 && colorsUsed > 0 && colorsUsed <= 256) {
        // A colour table in a true-colour image only suggests colours; skip it.
        h.End = std::min(size, h.End + colorsUsed * entrySize);
    }
    return h;
}

TBitmap DecodeDibPixels(const TDibHeader& h, int width, int height, bool topDown, const std::uint8_t* pixels,
                        std::size_t size, const std::string& what, std::vector<std::uint8_t>* alpha)
{
    CheckBitmapSize(width, height, what.c_str());
    if (width <= 0 || height <= 0)
        corrupt(what, "empty image");
    if (h.Compression == kDibRle8 || h.Compression == kDibRle4)
        return decodeRle(h, width, height, pixels, size, what);

    const int bpp = h.BitCount;
    const std::int64_t stride = DibStride(width, bpp);
    const std::int64_t needed = stride * (height - 1) + (static_cast<std::int64_t>(width) * bpp + 7) / 8;
    if (static_cast<std::uint64_t>(needed) > size)
        truncated(what);

    TBitmap bmp(width, height, bpp <= 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    if (alpha && bpp == 32)
        alpha->assign(static_cast<std::size_t>(width) * height, 255);
    int maxIndex = 0;
    const Channel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]), alphaCh(h.Masks[3]);
    const bool plain32 = h.Masks[0] == 0xFF0000 && h.Masks[1] == 0xFF00 && h.Masks[2] == 0xFF;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r;
        const std::uint8_t* s = pixels + static_cast<std::size_t>(r) * static_cast<std::size_t>(stride);
        std::uint8_t* d = bmp.ScanLine(y);
        switch (bpp) {
        case 8:
            std::memcpy(d, s, static_cast<std::size_t>(width));
            {
                std::uint8_t m = 0;
                for (int x = 0; x < width; ++x)
                    m = std::max(m, d[x]);
                maxIndex = std::max(maxIndex, static_cast<int>(m));
            }
            break;
        case 1:
        case 4: {
            const int perByte = 8 / bpp;
            const int mask = (1 << bpp) - 1;
            for (int x = 0; x < width; ++x) {
                const int shift = 8 - bpp * (x % perByte + 1);
                const int index = (s[x / perByte] >> shift) & mask;
                d[x] = static_cast<std::uint8_t>(index);
                maxIndex = std::max(maxIndex, index);
            }
            break;
        }
        case 16:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = ReadLE16(s + 2 * x);
                d[3 * x] = blue(p);
                d[3 * x + 1] = green(p);
                d[3 * x + 2] = red(p);
            }
            break;
        case 24:
            std::memcpy(d, s, static_cast<std::size_t>(width) * 3);
            break;
        case 32:
            for (int x = 0; x < width; ++x) {
                if (plain32) {
                    d[3 * x] = s[4 * x];
                    d[3 * x + 1] = s[4 * x + 1];
                    d[3 * x + 2] = s[4 * x + 2];
                } else {
                    const std::uint32_t p = ReadLE32(s + 4 * x);
                    d[3 * x] = blue(p);
                    d[3 * x + 1] = green(p);
                    d[3 * x + 2] = red(p);
                }
            }
            if (alpha && h.Masks[3]) {
                std::uint8_t* a = alpha->data() + static_cast<std::size_t>(y) * width;
                for (int x = 0; x < width; ++x)
                    a[x] = alphaCh(ReadLE32(s + 4 * x));
            }
            break;
        }
    }
    if (bpp <= 8)
        padPalette(bmp, h.Palette, maxIndex);
    return bmp;
}
