#include "graphics/BmpFile.h"

#include "CliRunner.h"
#include "support/TestSupport.h"

#include <fstream>
#include <sstream>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace {


std::vector<unsigned char> bmpBytes(const TBitmap& b)
{
    return EncodeBmp(b);
}

} // namespace

TEST(CliImageInfo, PrintsHeaderFacts)
{
    TempDir dir;
    WriteTestFile(dir.file("a.bmp"), bmpBytes(SolidBitmap(7, 3, clRed)));
    CliRun r = RunCli(dir, "image-info '" + dir.file("a.bmp") + "'");
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out, "Format: BMP\nWidth: 7\nHeight: 3\nBits per pixel: 24\n");

    // Icons also tell how many images they hold: two here, the larger one is described.
    std::vector<unsigned char> ico = {0, 0, 1, 0, 2, 0};
    auto entry = [&](std::uint32_t size, std::uint32_t offset) {
        const unsigned char e[16] = {0, 0, 0, 0, 1, 0, 24, 0, (unsigned char)size, 0, 0, 0, (unsigned char)offset, 0, 0, 0};
        ico.insert(ico.end(), e, e + 16);
    };
    auto image = [&](int w) {
        std::vector<unsigned char> h(40, 0);
        h[0] = 40, h[4] = static_cast<unsigned char>(w), h[8] = static_cast<unsigned char>(2 * w), h[12] = 1, h[14] = 24;
        const int rowBytes = (w * 3 + 3) / 4 * 4;
        h.resize(40 + rowBytes * w + 4 * w, 0);
        return h;
    };
    const auto small = image(1), large = image(2);
    entry(static_cast<std::uint32_t>(small.size()), 38);
    entry(static_cast<std::uint32_t>(large.size()), static_cast<std::uint32_t>(38 + small.size()));
    ico.insert(ico.end(), small.begin(), small.end());
    ico.insert(ico.end(), large.begin(), large.end());
    WriteTestFile(dir.file("b.ico"), ico);
    r = RunCli(dir, "image-info '" + dir.file("b.ico") + "'");
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out, "Format: ICO\nWidth: 2\nHeight: 2\nBits per pixel: 24\nImages: 2\n");

    // Failures: a damaged file and a missing one end with 1 and a message, no arguments with 2.
    WriteTestFile(dir.file("bad.bmp"), {'B', 'M', 0, 0});
    r = RunCli(dir, "image-info '" + dir.file("bad.bmp") + "'");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("BMP file is truncated"), std::string::npos) << r.Err;
    r = RunCli(dir, "image-info '" + dir.file("none.png") + "'");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("Unable to read"), std::string::npos) << r.Err;
    EXPECT_EQ(RunCli(dir, "image-info").Exit, 2);
}

TEST(CliConvert, WritesBmpFiles)
{
    TempDir dir;
    TBitmap few = BitmapFromRows({"rgb", "bgr"}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}});
    WriteTestFile(dir.file("few.bmp"), bmpBytes(few));

    CliRun r = RunCli(dir, "convert '" + dir.file("few.bmp") + "' '" + dir.file("out24.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    TBitmap back = LoadBmpFile(dir.file("out24.bmp"));
    EXPECT_EQ(back.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(back == few);

    r = RunCli(dir, "convert --8bit '" + dir.file("few.bmp") + "' '" + dir.file("out8.BMP") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    back = LoadBmpFile(dir.file("out8.BMP"));
    EXPECT_EQ(back.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(back.Palette().size(), 3u);
    back.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_TRUE(back == few);

    // 300 colours do not fit a palette: refused, nothing written.
    TBitmap many(300, 1);
    for (int x = 0; x < 300; ++x)
        many.SetPixel(x, 0, RGB(x % 256, x / 256, 0));
    WriteTestFile(dir.file("many.bmp"), bmpBytes(many));
    r = RunCli(dir, "convert '" + dir.file("many.bmp") + "' '" + dir.file("m8.bmp") + "' --8bit");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("more than 256 colours"), std::string::npos) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("m8.bmp")));

    // Wrong arguments end with 2; an unreadable input with 1 and the target untouched.
    EXPECT_EQ(RunCli(dir, "convert '" + dir.file("few.bmp") + "' '" + dir.file("out.png") + "'").Exit, 2);
    EXPECT_EQ(RunCli(dir, "convert '" + dir.file("few.bmp") + "'").Exit, 2);
    EXPECT_EQ(RunCli(dir, "convert --16bit a.bmp b.bmp").Exit, 2);
    WriteTestFile(dir.file("bad.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0});
    r = RunCli(dir, "convert '" + dir.file("bad.png") + "' '" + dir.file("out24.bmp") + "'");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("PNG file"), std::string::npos) << r.Err;
    EXPECT_TRUE(LoadBmpFile(dir.file("out24.bmp")) == few);
}
