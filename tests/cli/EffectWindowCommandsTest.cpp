// anivor-cli backdrop, painter and frame-op: hand-computed pixels, presets, the series as
// an animation read back by giflib, and bad arguments that write nothing.
#include "gif/GiflibHelpers.h"
#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::array<int, 3> Bytes(const TBitmap& b, int x, int y)
{
    const std::uint8_t* p = b.ScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

TBitmap Backdrop(const TempDir& dir, const std::string& args)
{
    std::filesystem::remove(dir.file("bd.bmp"));
    const CliRun r = RunCli(dir, "backdrop " + args + " -o '" + dir.file("bd.bmp") + "'");
    EXPECT_EQ(r.Exit, 0) << args << ": " << r.Err;
    return r.Exit == 0 ? LoadBmpFile(dir.file("bd.bmp")) : TBitmap();
}

} // namespace

TEST(BackdropCommand, PixelsModesOffsetsAndPresets)
{
    TempDir dir;
    const TBitmap prod = Backdrop(dir, "-s 8x6");
    ASSERT_EQ(prod.Width(), 8);
    ASSERT_EQ(prod.Height(), 6);
    EXPECT_EQ(Bytes(prod, 3, 5), (std::array<int, 3>{15, 15, 15}));
    EXPECT_EQ(Bytes(Backdrop(dir, "-s 8x6 --factor 16"), 5, 4), (std::array<int, 3>{4, 4, 4}));
    EXPECT_EQ(Bytes(Backdrop(dir, "-s 4x4 --modes sub,SUB,2"), 0, 1), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(Bytes(Backdrop(dir, "-s 4x4 --modes Inner,inner,17 --offsets 100,0,0"), 2, 0),
              (std::array<int, 3>{100, 0, 0}));

    // A preset of a presets file, by name in any letter case.
    std::ofstream(dir.file("p.txt")) << "Flat=17,17,17,7,8,9,16\nsix=1,2,3,4,5,6\n";
    EXPECT_EQ(Bytes(Backdrop(dir, "-s 4x4 --preset FLAT --presets '" + dir.file("p.txt") + "'"), 1, 2),
              (std::array<int, 3>{9, 10, 11}));
    const CliRun six = RunCli(dir, "backdrop -s 4x4 --preset six --presets '" + dir.file("p.txt") + "' -o '"
                                       + dir.file("x.bmp") + "'");
    EXPECT_EQ(six.Exit, 1);
    EXPECT_NE(six.Err.find("Error in Presets"), std::string::npos) << six.Err;

    // Wrong arguments: usage errors, nothing written.
    for (const char* args : {"-s 0x4", "-s 4x99999", "-s 4", "-s 4x4 --factor 8", "-s 4x4 --modes Plasma,0,0"}) {
        const CliRun r = RunCli(dir, std::string("backdrop ") + args + " -o '" + dir.file("x.bmp") + "'");
        EXPECT_EQ(r.Exit, 2) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.bmp")));
}

TEST(PainterCommand, OneNodeAtAPositionAndTheSeries)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(6, 4, clBlack), dir.file("black.bmp"));
    const std::string in = "'" + dir.file("black.bmp") + "'";

    // Brightness 100: 0 + 100 (255 - 0) div 255 = 100.
    CliRun r = RunCli(dir, "painter brightness 100 " + in + " -o '" + dir.file("b.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(Bytes(LoadBmpFile(dir.file("b.bmp")), 5, 3), (std::array<int, 3>{100, 100, 100}));
    r = RunCli(dir, "painter Wave/NORMAL 30 --turb 20 --cx 1 --cy 1 " + in + " -o '" + dir.file("w.bmp") + "'");
    EXPECT_EQ(r.Exit, 0) << r.Err;

    // Step Up with four frames: 25, 50, 75, 100; Step Down: 75, 50, 25, 0.
    for (const auto& [option, first, last] : {std::tuple{"--step-up", 25, 100}, std::tuple{"--step-down", 75, 0}}) {
        r = RunCli(dir, std::string("painter Brightness ") + option + " -n 4 " + in + " -o '" + dir.file("s.gif") + "'");
        ASSERT_EQ(r.Exit, 0) << r.Err;
        const GLFile gif = GiflibDecode(ReadFileBytes(dir.file("s.gif")));
        ASSERT_EQ(gif.Frames.size(), 4u) << option;
        const auto grey = [&](const GLFrame& f) {
            const std::vector<TGIFColor>& table = f.LocalTable ? f.Colors : gif.Global;
            return static_cast<int>(table[f.Pixels[0]].Red);
        };
        EXPECT_EQ(grey(gif.Frames.front()), first) << option;
        EXPECT_EQ(grey(gif.Frames.back()), last) << option;
        EXPECT_EQ(gif.Frames[0].Delay, 10);
        EXPECT_EQ(gif.Loops, 0);
    }

    for (const char* args : {"Blur 3", "Twist 51", "Twist 10 --cx 7"}) {
        r = RunCli(dir, std::string("painter ") + args + " " + in + " -o '" + dir.file("x.bmp") + "'");
        EXPECT_EQ(r.Exit, 2) << args << ": " << r.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.bmp")));
}

TEST(FrameOpCommand, ScrollsAndOverlays)
{
    TempDir dir;
    const std::vector<std::pair<char, TColor>> legend{{'A', clRed}, {'B', clLime}, {'C', clBlue}, {'k', clBlack}};
    SaveBmpFile(BitmapFromRows({"ABC"}, legend), dir.file("row.bmp"));
    CliRun r = RunCli(dir, "frame-op scroll-left '" + dir.file("row.bmp") + "' -o '" + dir.file("o.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(RowsFromBitmap(LoadBmpFile(dir.file("o.bmp")), legend), std::vector<std::string>{"BCA"});

    SaveBmpFile(BitmapFromRows({"kkk"}, legend), dir.file("black.bmp"));
    r = RunCli(dir, "frame-op 'Overlay 50%' '" + dir.file("black.bmp") + "' '" + dir.file("row.bmp") + "' -o '"
                        + dir.file("o.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(RowsFromBitmap(LoadBmpFile(dir.file("o.bmp")), legend), std::vector<std::string>{"kBk"});

    EXPECT_EQ(RunCli(dir, "frame-op 'Overlay 25%' '" + dir.file("row.bmp") + "' -o '" + dir.file("x.bmp") + "'").Exit, 2);
    EXPECT_EQ(RunCli(dir, "frame-op Sharpen '" + dir.file("row.bmp") + "' -o '" + dir.file("x.bmp") + "'").Exit, 2);
    r = RunCli(dir, "frame-op --list");
    EXPECT_NE(r.Out.find("Overlay 50%"), std::string::npos);
}
