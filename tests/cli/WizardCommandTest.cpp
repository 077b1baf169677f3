// anivor-cli wizard: the preview animation of one kind between two pictures, read back
// by giflib; kinds by number and by menu path; text options; bad arguments write nothing.
#include "gif/GiflibHelpers.h"
#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

CliRun cli(const TempDir& dir, const std::string& args)
{
    return RunCli(dir, args);
}


TGIFColor Rgb(TColor c) { return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((c >> 16) & 0xFF)}; }

constexpr TColor kRed = 0x0000FF;
constexpr TColor kBlue = 0xFF0000;
constexpr TColor kWhite = 0xFFFFFF;

} // namespace

TEST(WizardCommand, WritesThePreviewOfOneKind)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 20, kRed), dir.file("a.bmp"));
    SaveBmpFile(SolidBitmap(20, 20, kBlue), dir.file("b.bmp")); // fitted: 10 black columns each side

    // Transition, n = 4: four frames, delay 10, forever; the last is B as fitted.
    const CliRun r = cli(dir, "wizard 0 " + dir.file("a.bmp") + " " + dir.file("b.bmp") + " -n 4 -o " + dir.file("t.gif"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("4 frames, 40 x 20"), std::string::npos) << r.Out;
    const GLFile gl = GiflibDecode(ReadFileBytes(dir.file("t.gif")));
    ASSERT_EQ(gl.Frames.size(), 4u);
    EXPECT_EQ(gl.Width, 40);
    EXPECT_EQ(gl.Height, 20);
    EXPECT_EQ(gl.Loops, 0);
    for (const GLFrame& f : gl.Frames) {
        EXPECT_EQ(f.Delay, 10);
        EXPECT_EQ(f.Transparent, -1);
    }
    EXPECT_EQ(gl.Global[gl.Frames[3].Pixels[5 * 40 + 9]], Rgb(0));
    EXPECT_EQ(gl.Global[gl.Frames[3].Pixels[5 * 40 + 10]], Rgb(kBlue));
    EXPECT_EQ(gl.Global[gl.Frames[3].Pixels[5 * 40 + 29]], Rgb(kBlue));

    // A two-pass kind by its menu path (any letter case): 2n frames, n = 10 by default.
    const CliRun m = cli(dir, "wizard marquee/up-down " + dir.file("a.bmp") + " " + dir.file("b.bmp") + " -o "
                                  + dir.file("m.gif"));
    ASSERT_EQ(m.Exit, 0) << m.Err;
    EXPECT_EQ(GiflibDecode(ReadFileBytes(dir.file("m.gif"))).Frames.size(), 20u);
}

TEST(WizardCommand, TextOptionsReachTheTextKinds)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(60, 24, kWhite), dir.file("w.bmp"));
    const std::string pictures = " " + dir.file("w.bmp") + " " + dir.file("w.bmp");
    ASSERT_EQ(cli(dir, "wizard Text/Lines" + pictures + " -n 4 --text '' -o " + dir.file("none.gif")).Exit, 0);
    ASSERT_EQ(cli(dir, "wizard Text/Lines" + pictures + " -n 4 --text W -o " + dir.file("small.gif")).Exit, 0);
    ASSERT_EQ(cli(dir, "wizard Text/Lines" + pictures + " -n 4 --text W --size 20 --font 'Courier New' -o "
                           + dir.file("large.gif"))
                  .Exit,
              0);
    auto inked = [&](const std::string& file) {
        const GLFile gl = GiflibDecode(ReadFileBytes(dir.file(file)));
        EXPECT_EQ(gl.Frames.size(), 4u) << file;
        int count = 0;
        for (std::uint8_t p : gl.Frames.back().Pixels)
            count += !(gl.Global[p] == Rgb(kWhite));
        return count;
    };
    const int none = inked("none.gif"), small = inked("small.gif"), large = inked("large.gif");
    EXPECT_EQ(none, 0); // an empty line draws nothing
    EXPECT_GT(small, 0);
    EXPECT_GT(large, small);
}

TEST(WizardCommand, RefusesBadArgumentsWithoutWriting)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(8, 8, kRed), dir.file("a.bmp"));
    WriteTestFile(dir.file("junk.png"), {'n', 'o', 't'});
    const std::string ab = " " + dir.file("a.bmp") + " " + dir.file("a.bmp");
    const std::string out = " -o " + dir.file("x.gif");
    EXPECT_EQ(cli(dir, "wizard 105" + ab + out).Exit, 2);
    EXPECT_EQ(cli(dir, "wizard Wipe/Sideways" + ab + out).Exit, 2);
    EXPECT_EQ(cli(dir, "wizard 0" + ab + out + " -n 3").Exit, 2);
    EXPECT_EQ(cli(dir, "wizard 0" + ab + out + " -n 51").Exit, 2);
    EXPECT_EQ(cli(dir, "wizard 0" + ab + out + " --size x").Exit, 2);
    EXPECT_EQ(cli(dir, "wizard 0" + ab).Exit, 2);
    EXPECT_EQ(cli(dir, "wizard 0 " + dir.file("a.bmp") + out).Exit, 2);
    const CliRun bad = cli(dir, "wizard 0 " + dir.file("a.bmp") + " " + dir.file("junk.png") + out);
    EXPECT_EQ(bad.Exit, 1);
    EXPECT_FALSE(bad.Err.empty());
    const CliRun missing = cli(dir, "wizard 0 " + dir.file("a.bmp") + " " + dir.file("gone.bmp") + out);
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.gif")));
}

// The actor kinds draw the --actor picture: Actor/Path at the --path points while they last,
// Actor/Right from --text-position; a bad actor or path writes nothing.
TEST(WizardCommand, ActorKindsDrawTheActor)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 20, kWhite), dir.file("a.bmp"));
    // A 4 x 3 red actor whose bottom-left pixel is white: that pixel stays out.
    TBitmap actor = SolidBitmap(4, 3, kRed);
    actor.SetPixel(0, 2, kWhite);
    actor.SetPixel(1, 2, kWhite);
    SaveBmpFile(actor, dir.file("actor.bmp"));
    // Blue with a black bottom-left pixel (a solid actor would key itself out whole).
    TBitmap blue = SolidBitmap(4, 3, kBlue);
    blue.SetPixel(0, 2, 0);
    SaveBmpFile(blue, dir.file("blue.bmp"));
    const std::string ab = " " + dir.file("a.bmp") + " " + dir.file("a.bmp");

    const CliRun r = cli(dir, "wizard Actor/Path" + ab + " --actor " + dir.file("actor.bmp")
                                  + " --path '2,3;30,10; 36,17' -n 10 -o " + dir.file("p.gif"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    const GLFile gl = GiflibDecode(ReadFileBytes(dir.file("p.gif")));
    ASSERT_EQ(gl.Frames.size(), 10u);
    auto at = [&](int frame, int x, int y) { return gl.Global[gl.Frames[static_cast<std::size_t>(frame)].Pixels[y * 40 + x]]; };
    EXPECT_EQ(at(0, 2, 3), Rgb(kRed));
    EXPECT_EQ(at(0, 5, 4), Rgb(kRed));
    EXPECT_EQ(at(0, 2, 5), Rgb(kWhite)); // the actor's own white, left out
    EXPECT_EQ(at(0, 4, 5), Rgb(kRed));
    EXPECT_EQ(at(0, 6, 3), Rgb(kWhite));
    EXPECT_EQ(at(1, 30, 10), Rgb(kRed));
    EXPECT_EQ(at(1, 2, 3), Rgb(kWhite));
    EXPECT_EQ(at(2, 39, 18), Rgb(kRed)); // clipped at the frame's edge
    for (int f = 3; f < 10; ++f)
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(at(f, x, y), Rgb(kWhite)) << f;

    // Actor/Right from (0, 0): step i at x = 4i; the last step lies outside the frame.
    const CliRun right = cli(dir, "wizard 94" + ab + " --actor " + dir.file("blue.bmp")
                                      + " --text-position 0,0 -n 10 -o " + dir.file("r.gif"));
    ASSERT_EQ(right.Exit, 0) << right.Err;
    const GLFile rl = GiflibDecode(ReadFileBytes(dir.file("r.gif")));
    ASSERT_EQ(rl.Frames.size(), 10u);
    auto rat = [&](int frame, int x, int y) { return rl.Global[rl.Frames[static_cast<std::size_t>(frame)].Pixels[y * 40 + x]]; };
    EXPECT_EQ(rat(0, 4, 0), Rgb(kBlue));
    EXPECT_EQ(rat(0, 3, 0), Rgb(kWhite));
    EXPECT_EQ(rat(8, 36, 1), Rgb(kBlue));
    EXPECT_EQ(rat(9, 39, 0), Rgb(kWhite));

    // A path of 100 000 points from a file, far outside the frame: the wizard clips.
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += (i % 2 ? "-2147483648,5\n" : "2147483647,-7\n");
    WriteFileAtomic(dir.file("path.txt"), many);
    const CliRun far = cli(dir, "wizard Actor/Path" + ab + " --actor " + dir.file("actor.bmp") + " --path @"
                                    + dir.file("path.txt") + " -n 4 -o " + dir.file("far.gif"));
    ASSERT_EQ(far.Exit, 0) << far.Err;
    EXPECT_EQ(GiflibDecode(ReadFileBytes(dir.file("far.gif"))).Frames.size(), 4u);

    // Bad input: a corrupt actor, a broken path, a position without a comma.
    WriteTestFile(dir.file("bad.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 7});
    const CliRun bad = cli(dir, "wizard 94" + ab + " --actor " + dir.file("bad.png") + " -o " + dir.file("x.gif"));
    EXPECT_EQ(bad.Exit, 1);
    EXPECT_NE(bad.Err.find("bad.png: "), std::string::npos) << bad.Err;
    EXPECT_EQ(cli(dir, "wizard 98" + ab + " --actor " + dir.file("actor.bmp") + " --path '1,2;3' -o " + dir.file("x.gif")).Exit, 2);
    EXPECT_EQ(cli(dir, "wizard 94" + ab + " --text-position 5 -o " + dir.file("x.gif")).Exit, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.gif")));
}
