// anivor-cli project, and the commands that read an animation taking a project as input:
// pictures come back exact, delays and loop counts travel, and a job with an input that
// cannot be read writes nothing.
#include "gif/GiflibHelpers.h"
#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "graphics/PngFile.h"
#include "CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// 256 x 256 with 65,536 colours: a GIF could not keep it, a project must.
TBitmap AllColours()
{
    TBitmap b(256, 256, TPixelFormat::pf24bit);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            b.SetPixel(x, y, static_cast<TColor>(x | (y << 8) | (((x ^ y) & 0xFF) << 16)));
    return b;
}

} // namespace

TEST(ProjectCommand, BuildsProjectsThatEveryAnimationReaderTakes)
{
    TempDir dir;
    const TBitmap photo = AllColours();
    SavePngFile(photo, dir.file("photo.png"));
    SaveBmpFile(SolidBitmap(256, 256, clRed), dir.file("red.bmp"));
    SaveBmpFile(SolidBitmap(256, 256, clBlue), dir.file("blue.bmp"));
    ASSERT_EQ(RunCli(dir, "make -o " + dir.file("two.gif") + " --delay 7 " + dir.file("red.bmp") + " " + dir.file("blue.bmp"))
                  .Exit,
              0);

    // Photo first (its size is the frame size), then the GIF's two frames with their delay.
    const CliRun made = RunCli(dir, "project -o " + dir.file("p.anivor") + " --delay 250 --loops 3 " + dir.file("photo.png")
                                        + " " + dir.file("two.gif"));
    ASSERT_EQ(made.Exit, 0) << made.Err;
    EXPECT_NE(made.Out.find("3 frames, 256 x 256"), std::string::npos) << made.Out;

    // gif-frames writes the project's frames: the photo exactly, delays as kept.
    const CliRun frames = RunCli(dir, "gif-frames " + dir.file("p.anivor") + " " + dir.file("frames"));
    ASSERT_EQ(frames.Exit, 0) << frames.Err;
    EXPECT_NE(frames.Out.find("Frame1.bmp: 256 x 256, delay 250"), std::string::npos) << frames.Out;
    EXPECT_NE(frames.Out.find("Frame3.bmp: 256 x 256, delay 7"), std::string::npos) << frames.Out;
    EXPECT_TRUE(LoadBmpFile(dir.file("frames/Frame1.bmp")) == photo);
    EXPECT_EQ(LoadBmpFile(dir.file("frames/Frame3.bmp")).Pixel(10, 10), clBlue);

    // make: the project's delays, and its loop count since the command line gives none;
    // a loop count given wins.
    for (const auto& [extra, loops] : {std::pair<std::string, int>{"", 3}, {"--loops 9 ", 9}}) {
        const CliRun gif = RunCli(dir, "make -o " + dir.file("p.gif") + " " + extra + dir.file("p.anivor"));
        ASSERT_EQ(gif.Exit, 0) << gif.Err;
        const GLFile gl = GiflibDecode(ReadFileBytes(dir.file("p.gif")));
        ASSERT_EQ(gl.Frames.size(), 3u);
        EXPECT_EQ(gl.Loops, loops);
        EXPECT_EQ(gl.Frames[0].Delay, 250);
        EXPECT_EQ(gl.Frames[2].Delay, 7);
    }

    // gif2avi assembles the project first; a project given to project again keeps it all.
    const CliRun avi = RunCli(dir, "gif2avi " + dir.file("p.anivor") + " -o " + dir.file("p.avi"));
    EXPECT_EQ(avi.Exit, 0) << avi.Err;
    EXPECT_NE(avi.Out.find("3 frames, 256 x 256"), std::string::npos) << avi.Out;
    ASSERT_EQ(RunCli(dir, "project -o " + dir.file("q.anivor") + " " + dir.file("p.anivor")).Exit, 0);
    ASSERT_EQ(RunCli(dir, "gif-frames " + dir.file("q.anivor") + " " + dir.file("again")).Exit, 0);
    EXPECT_TRUE(LoadBmpFile(dir.file("again/Frame1.bmp")) == photo);

    // An input that cannot be read refuses the whole job: nothing is written.
    WriteTestFile(dir.file("cut.anivor"), {'P', 'K', 3, 4, 0});
    WriteTestFile(dir.file("notes.txt"), {'h', 'i'});
    for (const std::string& bad : {dir.file("cut.anivor"), dir.file("notes.txt")}) {
        const CliRun r = RunCli(dir, "project -o " + dir.file("none.anivor") + " " + dir.file("photo.png") + " " + bad);
        EXPECT_EQ(r.Exit, 1) << bad;
        EXPECT_NE(r.Err.find(bad), std::string::npos) << r.Err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("none.anivor")));
    }
}
