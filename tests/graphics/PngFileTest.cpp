#include "ImageFileHelpers.h"

#include "graphics/Exception.h"
#include "graphics/PngFile.h"

#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

namespace {

TBitmap read(const Bytes& file)
{
    return ReadPng(file.data(), file.size());
}

std::string failure(const Bytes& file)
{
    try {
        read(file);
    } catch (const EInvalidGraphic& e) {
        return e.what();
    }
    return "no error";
}

void putBE32(Bytes& b, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(static_cast<std::uint8_t>(v >> s));
}

void chunk(Bytes& b, const char* type, const Bytes& data)
{
    putBE32(b, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    putBE32(b, static_cast<std::uint32_t>(crc32(0, b.data() + start, static_cast<uInt>(b.size() - start))));
}

// A well-formed file that claims `w` x `h` RGB pixels but holds one tiny compressed row.
Bytes claimingSize(std::uint32_t w, std::uint32_t h)
{
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    putBE32(ihdr, w), putBE32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    chunk(b, "IHDR", ihdr);
    Bytes raw(4, 0), packed(64);
    uLongf n = packed.size();
    compress(packed.data(), &n, raw.data(), raw.size());
    packed.resize(n);
    chunk(b, "IDAT", packed);
    chunk(b, "IEND", {});
    return b;
}

} // namespace

TEST(PngFile, DecodesColourTypesAndDepths)
{
    // RGB 8 bits, plain and interlaced (9 x 9 exercises every Adam7 pass).
    std::vector<Bytes> rows;
    for (int y = 0; y < 9; ++y) {
        Bytes r;
        for (int x = 0; x < 9; ++x)
            r.insert(r.end(), {static_cast<std::uint8_t>(x * 20), static_cast<std::uint8_t>(y * 25), 77});
        rows.push_back(r);
    }
    for (bool interlaced : {false, true}) {
        const TBitmap b = read(EncodePng(9, 9, PNG_COLOR_TYPE_RGB, 8, rows, interlaced));
        ASSERT_EQ(b.Width(), 9);
        ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(b.Pixel(x, y), RGB(x * 20, y * 25, 77)) << x << "," << y << " interlaced " << interlaced;
    }

    // Palette of 2 bits: four pixels in one byte.
    TBitmap b = read(EncodePng(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {{0x1B}}, false, {clRed, clLime, clBlue, clYellow}));
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 0), clLime);
    EXPECT_EQ(b.Pixel(3, 0), clYellow);
    // Gray 1 bit and gray 16 bits (the high byte counts).
    b = read(EncodePng(3, 1, PNG_COLOR_TYPE_GRAY, 1, {{0xA0}}));
    EXPECT_EQ(b.Pixel(0, 0), clWhite);
    EXPECT_EQ(b.Pixel(1, 0), clBlack);
    b = read(EncodePng(2, 1, PNG_COLOR_TYPE_GRAY, 16, {{0x80, 0xFF, 0x12, 0x00}}));
    EXPECT_EQ(b.Pixel(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(b.Pixel(1, 0), RGB(0x12, 0x12, 0x12));
}

TEST(PngFile, AlphaIsCompositedOverWhiteOrKept)
{
    const Bytes rgba = {200, 100, 50, 128, 10, 20, 30, 0, 10, 20, 30, 255};
    const Bytes file = EncodePng(3, 1, PNG_COLOR_TYPE_RGBA, 8, {rgba});
    const TBitmap b = read(file);
    EXPECT_EQ(b.Pixel(0, 0), RGB(227, 177, 152)); // (c * 128 + 255 * 127) / 255
    EXPECT_EQ(b.Pixel(1, 0), clWhite);
    EXPECT_EQ(b.Pixel(2, 0), RGB(10, 20, 30));

    std::vector<std::uint8_t> alpha;
    const TBitmap raw = ReadPngWithAlpha(file.data(), file.size(), alpha);
    EXPECT_EQ(raw.Pixel(0, 0), RGB(200, 100, 50));
    EXPECT_EQ(alpha, (std::vector<std::uint8_t>{128, 0, 255}));

    // A transparent palette entry, and gray with alpha.
    EXPECT_EQ(read(EncodePng(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1}}, false, {clRed, clBlue}, {0})).Pixel(0, 0), clWhite);
    const TBitmap ga = read(EncodePng(1, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{0, 255}, {0, 0}}, true));
    EXPECT_EQ(ga.Pixel(0, 0), clBlack);
    EXPECT_EQ(ga.Pixel(0, 1), clWhite);
    // An opaque file reports full alpha.
    const Bytes opaque = EncodePng(1, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3}});
    ReadPngWithAlpha(opaque.data(), opaque.size(), alpha);
    EXPECT_EQ(alpha, (std::vector<std::uint8_t>{255}));
}

TEST(PngFile, RejectsBadFiles)
{
    std::vector<Bytes> rows(6, Bytes(18, 0));
    for (int y = 0; y < 6; ++y)
        for (int i = 0; i < 18; ++i)
            rows[y][i] = static_cast<std::uint8_t>(y * 31 + i * 7);
    const Bytes good = EncodePng(6, 6, PNG_COLOR_TYPE_RGB, 8, rows);
    ASSERT_NO_THROW(read(good));
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_NE(failure(Bytes(good.begin(), good.begin() + n)), "no error") << n;
    EXPECT_NE(failure(Bytes(good.begin(), good.end() - 20)).find("PNG file"), std::string::npos);

    // A damaged byte inside the image data fails its checksum.
    Bytes bad = good;
    bad[bad.size() - 20] ^= 0x55;
    EXPECT_NE(failure(bad), "no error");

    // Beyond 2^28 pixels: refused; within the limit but far more than the data can hold:
    // refused before the memory is taken.
    EXPECT_NE(failure(claimingSize(20000, 20000)).find("too large"), std::string::npos);
    EXPECT_NE(failure(claimingSize(16000, 16000)).find("truncated"), std::string::npos);
    EXPECT_EQ(failure(claimingSize(1, 1)), "no error");
    EXPECT_EQ(failure({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}), "Not a PNG file");

    const TImageInfo info = ReadPngInfo(good.data(), good.size());
    EXPECT_EQ(info.Width, 6);
    EXPECT_EQ(info.BitsPerPixel, 24);
    EXPECT_THROW(ReadPngInfo(good.data(), 20), EInvalidGraphic);
}
