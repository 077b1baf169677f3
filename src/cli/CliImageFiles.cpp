// Minimal uncompressed BMP reading and 24-bit BMP writing for the command line. Every
// header value is checked against the file's length before it is used.
#include "CliImageFiles.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"

#include <cstdint>
#include <vector>

namespace {

std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8);
}

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void put16(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

} // namespace

TBitmap ReadCliImage(const std::string& path)
{
    const std::vector<std::uint8_t> f = ReadFileBytes(path);
    const std::string bad = path + " is not a BMP file this program can read";
    if (f.size() < 54 || f[0] != 'B' || f[1] != 'M')
        throw EInvalidGraphic(bad);
    const std::uint32_t dataOffset = u32(f, 10);
    const std::uint32_t headerSize = u32(f, 14);
    if (headerSize < 40 || 14u + headerSize > f.size())
        throw EInvalidGraphic(bad);
    const std::int64_t width = static_cast<std::int32_t>(u32(f, 18));
    const std::int64_t rawHeight = static_cast<std::int32_t>(u32(f, 22));
    const std::uint32_t bits = u16(f, 28);
    const std::uint32_t compression = u32(f, 30);
    std::uint32_t colours = u32(f, 46);
    const bool bottomUp = rawHeight > 0;
    const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (compression != 0 || (bits != 8 && bits != 24 && bits != 32) || width < 0)
        throw EInvalidGraphic(bad);
    CheckBitmapSize(width, height, path.c_str());
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (dataOffset > f.size() || rowBytes * height > static_cast<std::int64_t>(f.size() - dataOffset))
        throw EInvalidGraphic(bad);

    std::vector<TColor> palette;
    if (bits == 8) {
        if (colours == 0 || colours > 256)
            colours = 256;
        const std::size_t at = 14 + headerSize;
        if (at + 4 * static_cast<std::size_t>(colours) > dataOffset)
            throw EInvalidGraphic(bad);
        for (std::uint32_t i = 0; i < colours; ++i)
            palette.push_back(RGB(f[at + 4 * i + 2], f[at + 4 * i + 1], f[at + 4 * i]));
    }
    TBitmap bmp(static_cast<int>(width), static_cast<int>(height));
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* src = f.data() + dataOffset + (bottomUp ? height - 1 - y : y) * rowBytes;
        std::uint8_t* dst = bmp.ScanLine(static_cast<int>(y));
        for (std::int64_t x = 0; x < width; ++x) {
            if (bits == 8) {
                const TColor c = src[x] < palette.size() ? palette[src[x]] : clBlack;
                dst[3 * x] = static_cast<std::uint8_t>(GetBValue(c));
                dst[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
                dst[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(c));
            } else {
                const std::uint8_t* p = src + x * (bits / 8);
                dst[3 * x] = p[0];
                dst[3 * x + 1] = p[1];
                dst[3 * x + 2] = p[2];
            }
        }
    }
    return bmp;
}

void WriteCliBmp(const std::string& path, const TBitmap& bitmap)
{
    TBitmap b = bitmap;
    if (b.PixelFormat() != TPixelFormat::pf24bit)
        b.SetPixelFormat(TPixelFormat::pf24bit);
    const std::uint32_t rowBytes = static_cast<std::uint32_t>(b.RowBytes());
    const std::uint32_t imageSize = rowBytes * static_cast<std::uint32_t>(b.Height());
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(b.Width()));
    put32(out, static_cast<std::uint32_t>(b.Height()));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageSize);
    put32(out, 2835); // 72 dots per inch
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    // Rows bottom-up; the bitmap's rows are already padded to 4 bytes.
    for (int y = b.Height() - 1; y >= 0; --y)
        out.insert(out.end(), b.ScanLine(y), b.ScanLine(y) + rowBytes);
    WriteFileAtomic(path, out);
}
