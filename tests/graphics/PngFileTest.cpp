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

namespace {

// Hand-made files: every row under a chosen filter (0 none .. 4 Paeth), the compressed
// data split over `parts` IDAT chunks, and extra chunks before or after it.
Bytes filteredPng(int w, int h, int channels, const Bytes& pixels, int parts, const char* before, const char* after)
{
    const std::size_t stride = static_cast<std::size_t>(w) * channels;
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        const int filter = y % 5;
        raw.push_back(static_cast<std::uint8_t>(filter));
        const std::uint8_t* row = pixels.data() + y * stride;
        const std::uint8_t* prior = y > 0 ? row - stride : nullptr;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0;
            const int b = prior ? prior[i] : 0;
            const int c = prior && i >= static_cast<std::size_t>(channels) ? prior[i - channels] : 0;
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predicted[5] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
            raw.push_back(static_cast<std::uint8_t>(row[i] - predicted[filter]));
        }
    }
    Bytes packed(compressBound(static_cast<uLong>(raw.size())));
    uLongf n = packed.size();
    compress(packed.data(), &n, raw.data(), raw.size());
    packed.resize(n);
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    putBE32(ihdr, static_cast<std::uint32_t>(w)), putBE32(ihdr, static_cast<std::uint32_t>(h));
    ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
    chunk(b, "IHDR", ihdr);
    if (before)
        chunk(b, before, {'x'});
    for (int k = 0; k < parts; ++k)
        chunk(b, "IDAT", Bytes(packed.begin() + static_cast<std::ptrdiff_t>(packed.size() * k / parts),
                               packed.begin() + static_cast<std::ptrdiff_t>(packed.size() * (k + 1) / parts)));
    if (after)
        chunk(b, after, {'x'});
    chunk(b, "IEND", {});
    return b;
}

} // namespace

// RGB and RGBA files with every row filter, the data in one chunk or several, read to the
// pixels they were made from, alike whether the quick reader or libpng takes them (a
// chunk after the image data leaves a file to libpng).
TEST(PngFile, EveryFilterDecodesToThePixelsInEitherReader)
{
    const int w = 37, h = 23;
    for (const int channels : {3, 4}) {
        Bytes pixels(static_cast<std::size_t>(w) * h * channels);
        // Few levels in the top half, so that the Paeth predictor's ties come up often.
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const std::size_t v = i * 97 + (i / 7) * 13 + (i % 11) * 29;
            pixels[i] = static_cast<std::uint8_t>(i < pixels.size() / 2 ? (v % 5) * 60 : v & 0xFF);
        }
        for (const int parts : {1, 3})
            for (const char* before : {static_cast<const char*>(nullptr), "gAMA"})
                for (const char* after : {static_cast<const char*>(nullptr), "tEXt"}) {
                    SCOPED_TRACE(std::to_string(channels) + " channels, " + std::to_string(parts) + " parts"
                                 + (before ? ", gAMA" : "") + (after ? ", tEXt after" : ""));
                    const Bytes file = filteredPng(w, h, channels, pixels, parts, before, after);
                    std::vector<std::uint8_t> alpha;
                    const TBitmap kept = ReadPngWithAlpha(file.data(), file.size(), alpha);
                    const TBitmap over = read(file);
                    ASSERT_EQ(kept.Width(), w);
                    ASSERT_EQ(alpha.size(), static_cast<std::size_t>(w) * h);
                    for (int y = 0; y < h; ++y)
                        for (int x = 0; x < w; ++x) {
                            const std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(y) * w + x) * channels;
                            const int a = channels == 4 ? p[3] : 255;
                            const std::uint8_t* k = kept.ScanLine(y) + 3 * x;
                            const std::uint8_t* o = over.ScanLine(y) + 3 * x;
                            ASSERT_EQ((std::vector<int>{k[2], k[1], k[0], alpha[static_cast<std::size_t>(y) * w + x]}),
                                      (std::vector<int>{p[0], p[1], p[2], a}))
                                << x << "," << y;
                            for (int c = 0; c < 3; ++c)
                                ASSERT_EQ(o[2 - c], (p[c] * a + 255 * (255 - a) + 127) / 255) << x << "," << y;
                        }
                }
    }
    // A damaged byte in the last of three IDAT chunks fails its checksum.
    Bytes pixels(static_cast<std::size_t>(w) * h * 3, 0x40);
    Bytes damaged = filteredPng(w, h, 3, pixels, 3, nullptr, nullptr);
    damaged[damaged.size() - 12 - 4 - 6] ^= 0x10;
    EXPECT_NE(failure(damaged).find("CRC"), std::string::npos) << failure(damaged);
}
