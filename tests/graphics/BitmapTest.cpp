#include "graphics/Bitmap.h"
#include "graphics/Exception.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Bitmap, LayoutRowsPaddedToFourBytes)
{
    TBitmap b(5, 3);
    EXPECT_EQ(b.RowBytes(), 16); // 15 bytes padded
    EXPECT_EQ(b.ScanLine(1) - b.ScanLine(0), 16);
    b.SetPixel(1, 2, RGB(10, 20, 30));
    const std::uint8_t* row = b.ScanLine(2);
    EXPECT_EQ(row[3], 30); // blue first
    EXPECT_EQ(row[4], 20);
    EXPECT_EQ(row[5], 10);
    TBitmap p(5, 1, TPixelFormat::pf8bit);
    EXPECT_EQ(p.RowBytes(), 8);
}

TEST(Bitmap, ResizeKeepsContentAndFillsWhite)
{
    TBitmap b(2, 2);
    b.Fill(clRed);
    b.SetSize(3, 3);
    EXPECT_EQ(b.Pixel(1, 1), clRed);
    EXPECT_EQ(b.Pixel(2, 2), clWhite);
    EXPECT_EQ(b.Pixel(2, 0), clWhite);
    b.SetSize(1, 1);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, FormatConversionsRoundTrip)
{
    TBitmap b = BitmapFromRows({"rgb", "wk."}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}, {'w', clWhite}, {'k', clBlack}, {'.', RGB(1, 2, 3)}});
    TBitmap p = b;
    p.SetPixelFormat(TPixelFormat::pf8bit);
    EXPECT_EQ(p.Palette().size(), 6u);
    p.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(p, b);

    // More than 256 colours fall back to the colour cube, nearest level per channel.
    TBitmap many(300, 1);
    for (int x = 0; x < 300; ++x)
        many.SetPixel(x, 0, RGB(x % 256, x / 256 * 100, 7));
    many.SetPixelFormat(TPixelFormat::pf8bit);
    EXPECT_EQ(many.Palette().size(), 216u);
    EXPECT_EQ(many.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(many.Pixel(26, 0), RGB(51, 0, 0));
}

TEST(Bitmap, TransparentColourIsBottomLeftPixel)
{
    TBitmap b = BitmapFromRows({"rg", "br"}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}});
    EXPECT_FALSE(b.IsMasked(0, 1));
    b.SetTransparent(true);
    EXPECT_EQ(b.TransparentColor(), clBlue);
    EXPECT_TRUE(b.IsMasked(0, 1));
    EXPECT_FALSE(b.IsMasked(0, 0));
    TBitmap copy = b;
    EXPECT_TRUE(copy.Transparent());
}

TEST(Bitmap, CopyRectClipsAndConverts)
{
    TBitmap dst = SolidBitmap(4, 4, clWhite);
    TBitmap src = SolidBitmap(3, 3, clRed);
    src.SetPixel(0, 0, clBlue);
    dst.CopyRect(TPoint(-1, -1), src, TRect(0, 0, 3, 3));
    EXPECT_EQ(dst.Pixel(0, 0), clRed);
    EXPECT_EQ(dst.Pixel(1, 1), clRed);
    EXPECT_EQ(dst.Pixel(2, 2), clWhite);
    TBitmap pal(2, 2, TPixelFormat::pf8bit);
    pal.SetPalette({clBlack, clLime});
    pal.SetPixel(1, 1, clLime);
    dst.CopyRect(TPoint(2, 2), pal, TRect(0, 0, 5, 5));
    EXPECT_EQ(dst.Pixel(3, 3), clLime);
    EXPECT_EQ(dst.Pixel(2, 2), clBlack);
    // Copy onto itself with overlap.
    TBitmap strip = BitmapFromRows({"rgbw"}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}, {'w', clWhite}});
    strip.CopyRect(TPoint(1, 0), strip, TRect(0, 0, 3, 1));
    EXPECT_EQ(strip.Pixel(1, 0), clRed);
    EXPECT_EQ(strip.Pixel(2, 0), clLime);
    EXPECT_EQ(strip.Pixel(3, 0), clBlue);
}

TEST(Bitmap, OversizedAndNegativeSizesAreRefused)
{
    EXPECT_THROW(TBitmap(100000, 100000), EInvalidGraphic);
    EXPECT_THROW(TBitmap(-1, 5), EInvalidGraphic);
    TBitmap b(2, 2);
    EXPECT_THROW(b.SetSize(70000, 70000), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 2); // unchanged after the refusal
    EXPECT_NO_THROW(CheckBitmapSize(16384, 16384));
}

#include "graphics/FileWrite.h"

#include <filesystem>
#include <unistd.h>

TEST(FileWrite, WholeOrNothing)
{
    TempDir dir;
    const std::string path = dir.file("a.bin");
    WriteFileAtomic(path, std::string("first"));
    EXPECT_EQ(ReadFileBytes(path).size(), 5u);
    WriteFileAtomic(path, std::string("second!"));
    EXPECT_EQ(ReadFileBytes(path).size(), 7u);
    // A folder that does not exist: clear message, nothing left behind.
    EXPECT_THROW(WriteFileAtomic(dir.file("missing/x.bin"), std::string("x")), Exception);
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_THROW(WriteFileAtomic(path, std::string("third")), Exception);
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadFileBytes(path).size(), 7u);
    }
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
    EXPECT_THROW(ReadFileBytes(dir.file("nope")), Exception);
}
