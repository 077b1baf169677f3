#include "ImageFileHelpers.h"

#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/ImageFile.h"

#include "support/TestSupport.h"

#include <png.h>

#include <random>

#include <gtest/gtest.h>

namespace {

std::string failure(const std::string& path)
{
    try {
        LoadImageFile(path);
    } catch (const EInvalidGraphic& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(ImageFile, ContentDecidesTheFormatBeforeTheExtension)
{
    TempDir dir;
    // A PNG named .bmp still loads as a PNG; a BMP named .jpg as a BMP.
    WriteTestFile(dir.file("png.bmp"), EncodePng(2, 1, PNG_COLOR_TYPE_RGB, 8, {{255, 0, 0, 0, 0, 255}}));
    TBitmap b = LoadImageFile(dir.file("png.bmp"));
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 0), clBlue);
    WriteTestFile(dir.file("bmp.jpg"), EncodeBmp(SolidBitmap(3, 2, clLime)));
    EXPECT_EQ(LoadImageFile(dir.file("bmp.jpg")).Pixel(2, 1), clLime);
    Bytes px(4 * 4 * 3, 128);
    WriteTestFile(dir.file("photo"), EncodeJpeg(4, 4, 3, px));
    EXPECT_EQ(LoadImageFile(dir.file("photo")).Width(), 4);

    // Icons are drawn on white: the transparent pixel shows white.
    Bytes ico;
    Put16(ico, 0), Put16(ico, 1), Put16(ico, 1);
    Bytes img = InfoHeader(1, 2, 24);
    img.insert(img.end(), {0, 0, 0, 0, 0x80, 0, 0, 0});
    Put32(ico, 0), Put16(ico, 1), Put16(ico, 24), Put32(ico, static_cast<std::uint32_t>(img.size())), Put32(ico, 22);
    ico.insert(ico.end(), img.begin(), img.end());
    WriteTestFile(dir.file("a.ico"), ico);
    EXPECT_EQ(LoadImageFile(dir.file("a.ico")).Pixel(0, 0), clWhite);

    // Unrecognised bytes: the extension picks the reader, which names the problem.
    WriteTestFile(dir.file("junk.png"), {1, 2, 3, 4});
    EXPECT_EQ(failure(dir.file("junk.png")), "Not a PNG file");
    WriteTestFile(dir.file("junk.JPEG"), {1, 2, 3, 4});
    EXPECT_EQ(failure(dir.file("junk.JPEG")), "Not a JPEG file");
    WriteTestFile(dir.file("notes.txt"), {1, 2, 3, 4});
    EXPECT_NE(failure(dir.file("notes.txt")).find("Unknown image format"), std::string::npos);
    WriteTestFile(dir.file("anim.gif"), {'G', 'I', 'F', '8', '9', 'a', 5, 0, 3, 0, 0xF2, 0, 0});
    EXPECT_NE(failure(dir.file("anim.gif")).find("GIF reader"), std::string::npos);
    EXPECT_THROW(LoadImageFile(dir.file("missing.bmp")), Exception);

    // Header information for every format.
    const TImageInfo gif = ReadImageFileInfo(dir.file("anim.gif"));
    EXPECT_EQ(gif.Format, "GIF");
    EXPECT_EQ(gif.Width, 5);
    EXPECT_EQ(gif.Height, 3);
    EXPECT_EQ(gif.BitsPerPixel, 3);
    const TImageInfo ico1 = ReadImageFileInfo(dir.file("a.ico"));
    EXPECT_EQ(ico1.Format, "ICO");
    EXPECT_EQ(ico1.ImageCount, 1);
    EXPECT_EQ(ReadImageFileInfo(dir.file("bmp.jpg")).Format, "BMP");
    EXPECT_EQ(ReadImageFileInfo(dir.file("photo")).BitsPerPixel, 24);
    EXPECT_EQ(ReadImageFileInfo(dir.file("png.bmp")).Height, 1);
}

// Damaged copies of valid files of every kind either decode or fail with EInvalidGraphic:
// no other exception, no crash (run under the sanitizers to catch overruns). The size
// fields are left alone: oversized claims have their own tests.
TEST(ImageFile, DamagedFilesFailCleanly)
{
    std::vector<Bytes> samples;
    Bytes pal = PaletteBytes({clRed, clLime, clBlue, clWhite});
    for (std::uint32_t compression : {1u, 2u}) {
        Bytes dib = InfoHeader(6, 4, compression == 1 ? 8 : 4, compression, 4);
        dib.insert(dib.end(), pal.begin(), pal.end());
        samples.push_back(BmpFile(dib, {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 1, 4, 0x23, 0, 4, 1, 2, 3, 0, 0, 1}));
    }
    Bytes dib = InfoHeader(5, 3, 4, 0, 4);
    dib.insert(dib.end(), pal.begin(), pal.end());
    samples.push_back(BmpFile(dib, Bytes(12, 0x31)));
    const std::uint32_t masks[3] = {0xF800, 0x07E0, 0x001F};
    samples.push_back(BmpFile(InfoHeader(3, 3, 16, 3, 0, false, masks), Bytes(24, 0x5A)));
    samples.push_back(EncodeBmp(SolidBitmap(5, 3, clRed)));
    std::vector<Bytes> rows(5, Bytes(20, 0x80));
    const Bytes png = EncodePng(5, 5, PNG_COLOR_TYPE_RGBA, 8, rows, true);
    samples.push_back(png);
    Bytes ico;
    Put16(ico, 0), Put16(ico, 1), Put16(ico, 1), Put32(ico, 0), Put16(ico, 1), Put16(ico, 32);
    Put32(ico, static_cast<std::uint32_t>(png.size())), Put32(ico, 22);
    ico.insert(ico.end(), png.begin(), png.end());
    samples.push_back(ico);
    Bytes px(16 * 16 * 3);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i * 13);
    samples.push_back(EncodeJpeg(16, 16, 3, px, 80, true));

    std::mt19937 rng(1234);
    int decoded = 0, refused = 0;
    for (const Bytes& sample : samples) {
        ASSERT_NO_THROW(ReadImage(sample.data(), sample.size(), "x"));
        for (int round = 0; round < 300; ++round) {
            Bytes damaged = sample;
            const int changes = 1 + static_cast<int>(rng() % 4);
            for (int c = 0; c < changes; ++c)
                damaged[26 + rng() % (damaged.size() - 26)] = static_cast<std::uint8_t>(rng());
            if (rng() % 4 == 0)
                damaged.resize(18 + rng() % (damaged.size() - 18));
            try {
                ReadImage(damaged.data(), damaged.size(), "x");
                ++decoded;
            } catch (const EInvalidGraphic&) {
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(decoded, 0);
}
