#include "BmpFile.h"

#include "ByteOrder.h"
#include "Dib.h"
#include "Exception.h"
#include "FileWrite.h"

#include <algorithm>
#include <cstring>

namespace {

const std::string kWhat = "BMP file";
constexpr std::size_t kFileHeaderSize = 14;

// Checks the file header; returns the offset of the pixel data.
std::size_t readFileHeader(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        throw EInvalidGraphic("Not a BMP file");
    if (size < kFileHeaderSize + 4)
        throw EInvalidGraphic(kWhat + " is truncated");
    const std::uint32_t offBits = ReadLE32(data + 10);
    if (offBits >= size)
        throw EInvalidGraphic(kWhat + " is truncated (pixel data offset " + std::to_string(offBits) + " is past the end)");
    if (offBits < kFileHeaderSize)
        throw EInvalidGraphic(kWhat + " is corrupt (pixel data offset " + std::to_string(offBits) + ")");
    return offBits;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

TBitmap ReadBmp(const std::uint8_t* data, std::size_t size)
{
    const std::size_t offBits = readFileHeader(data, size);
    const TDibHeader h = ReadDibHeader(data + kFileHeaderSize, size - kFileHeaderSize, offBits - kFileHeaderSize, kWhat);
    const bool topDown = h.Height < 0;
    const int height = static_cast<int>(topDown ? -h.Height : h.Height);
    return DecodeDibPixels(h, static_cast<int>(h.Width), height, topDown, data + offBits, size - offBits, kWhat);
}

TBitmap LoadBmpFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    return ReadBmp(bytes.data(), bytes.size());
}

TImageInfo ReadBmpInfo(const std::uint8_t* data, std::size_t size)
{
    const std::size_t offBits = readFileHeader(data, size);
    const TDibHeader h = ReadDibHeader(data + kFileHeaderSize, size - kFileHeaderSize, offBits - kFileHeaderSize, kWhat);
    TImageInfo info;
    info.Format = "BMP";
    info.Width = static_cast<int>(h.Width);
    info.Height = static_cast<int>(h.Height < 0 ? -h.Height : h.Height);
    info.BitsPerPixel = h.BitCount;
    return info;
}

namespace {

// Writes the file through `put(data, size)`: the headers first, then one row at a time,
// so a large picture is never copied whole.
template <typename Put>
void writeBmp(const TBitmap& bmp, Put put)
{
    if (bmp.Empty())
        throw EInvalidGraphic("Cannot save an empty bitmap");
    const bool indexed = bmp.PixelFormat() == TPixelFormat::pf8bit;
    const int w = bmp.Width(), h = bmp.Height();

    // The colour table must reach every index the pixels use.
    std::vector<TColor> palette;
    if (indexed) {
        palette = bmp.Palette();
        int maxIndex = 0;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row = bmp.ScanLine(y);
            maxIndex = std::max(maxIndex, static_cast<int>(*std::max_element(row, row + w)));
        }
        if (static_cast<int>(palette.size()) <= maxIndex)
            palette.resize(static_cast<std::size_t>(maxIndex) + 1, clBlack);
    }
    const int bits = indexed ? 8 : 24;
    const std::size_t stride = static_cast<std::size_t>(DibStride(w, bits));
    const std::size_t rowBytes = static_cast<std::size_t>(w) * (indexed ? 1 : 3);
    const std::size_t offBits = kFileHeaderSize + 40 + palette.size() * 4;
    const std::size_t imageSize = stride * static_cast<std::size_t>(h);
    const std::size_t fileSize = offBits + imageSize;
    if (fileSize > 0xFFFFFFFFu)
        throw EInvalidGraphic("Bitmap is too large for a BMP file");

    std::vector<std::uint8_t> out;
    out.reserve(offBits);
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(fileSize));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(offBits));
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(h));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bits));
    put32(out, 0); // uncompressed
    put32(out, static_cast<std::uint32_t>(imageSize));
    put32(out, 2835); // 72 dots per inch
    put32(out, 2835);
    put32(out, static_cast<std::uint32_t>(palette.size()));
    put32(out, 0);
    for (TColor c : palette) {
        out.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        out.push_back(static_cast<std::uint8_t>(GetGValue(c)));
        out.push_back(static_cast<std::uint8_t>(GetRValue(c)));
        out.push_back(0);
    }
    put(out.data(), out.size());
    // Bottom-up rows; the padding is written as zeros whatever the bitmap holds there.
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = h - 1; y >= 0; --y) {
        std::copy_n(bmp.ScanLine(y), rowBytes, row.data());
        put(row.data(), row.size());
    }
}

} // namespace

std::vector<std::uint8_t> EncodeBmp(const TBitmap& bmp)
{
    std::vector<std::uint8_t> out;
    writeBmp(bmp, [&](const std::uint8_t* p, std::size_t n) {
        if (out.empty())
            out.reserve(n + static_cast<std::size_t>(DibStride(bmp.Width(), bmp.PixelFormat() == TPixelFormat::pf8bit ? 8 : 24)) * bmp.Height());
        out.insert(out.end(), p, p + n);
    });
    return out;
}

void SaveBmpFile(const TBitmap& bmp, const std::string& path)
{
    if (bmp.Empty())
        throw EInvalidGraphic("Cannot save an empty bitmap");
    WriteFileAtomic(path, [&](TFileSink& sink) {
        writeBmp(bmp, [&](const std::uint8_t* p, std::size_t n) { sink.Write(p, n); });
    });
}
