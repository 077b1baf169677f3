// anivor-cli make and gif-frames: files built from images, decoded by giflib; the frames
// of a GIF written back as BMP files; bad arguments.
#include "gif/GiflibHelpers.h"
#include "graphics/BmpFile.h"
#include "graphics/FileWrite.h"
#include "CliRunner.h"
#include "support/GifPeers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

} // namespace

TEST(MakeCommand, BuildsTheAnimationFromImages)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 20, 0x0000FF), dir.file("a.bmp"));
    SaveBmpFile(SolidBitmap(20, 20, 0xFF0000), dir.file("b.bmp")); // fitted: 10 black columns each side
    const CliRun r = cli(dir, "make -o " + dir.file("anim.gif") + " --delay 25 --loops 70000 --palette netscape --dither nearest "
                                  + dir.file("a.bmp") + " " + dir.file("b.bmp"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Err.find("Frame "), std::string::npos); // no progress line when stderr is not a terminal
    EXPECT_NE(r.Out.find("2 frames, 40 x 20"), std::string::npos) << r.Out;
    const GLFile gl = GiflibDecode(ReadFileBytes(dir.file("anim.gif")));
    ASSERT_EQ(gl.Frames.size(), 2u);
    EXPECT_EQ(gl.Width, 40);
    EXPECT_EQ(gl.Loops, 4464);
    EXPECT_EQ(gl.Frames[0].Delay, 25);
    EXPECT_EQ(gl.Frames[1].Delay, 25);
    EXPECT_EQ(gl.Global[gl.Frames[0].Pixels[0]], Rgb(0x0000FF));
    EXPECT_EQ(gl.Global[gl.Frames[1].Pixels[5 * 40 + 9]], Rgb(0));
    EXPECT_EQ(gl.Global[gl.Frames[1].Pixels[5 * 40 + 10]], Rgb(0xFF0000));

    // Transparent, merged and cropped: still readable by giflib.
    const CliRun t = cli(dir, "make -o " + dir.file("t.gif") + " --transparent --merge --crop " + dir.file("a.bmp") + " "
                                  + dir.file("a.bmp"));
    ASSERT_EQ(t.Exit, 0) << t.Err;
    const GLFile tl = GiflibDecode(ReadFileBytes(dir.file("t.gif")));
    ASSERT_FALSE(tl.Frames.empty());
    EXPECT_GE(tl.Frames[0].Transparent, 0);
    EXPECT_EQ(tl.Loops, 0);

    // Frame palettes: no global table, each frame its own.
    SaveBmpFile(SolidBitmap(40, 20, 0x00FF00), dir.file("c.bmp"));
    const CliRun f = cli(dir, "make --frame-palettes -o " + dir.file("f.gif") + " " + dir.file("a.bmp") + " " + dir.file("c.bmp"));
    ASSERT_EQ(f.Exit, 0) << f.Err;
    const GLFile fl = GiflibDecode(ReadFileBytes(dir.file("f.gif")));
    EXPECT_TRUE(fl.Global.empty());
    ASSERT_EQ(fl.Frames.size(), 2u);
    for (const GLFrame& frame : fl.Frames)
        EXPECT_TRUE(frame.LocalTable);
    EXPECT_EQ(fl.Frames[0].Colors[fl.Frames[0].Pixels[0]], Rgb(0x0000FF));
    EXPECT_EQ(fl.Frames[1].Colors[fl.Frames[1].Pixels[0]], Rgb(0x00FF00));
}

TEST(MakeCommand, RefusesBadArgumentsWithoutWriting)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(4, 4, 0), dir.file("a.bmp"));
    WriteTestFile(dir.file("n.txt"), {'x'});
    const std::string out = " -o " + dir.file("x.gif") + " ";
    for (const std::string bad : {"--palette rainbow", "--dither fuzzy", "--bits 9", "--delay x", "--loops -1"})
        EXPECT_EQ(cli(dir, "make" + out + bad + " " + dir.file("a.bmp")).Exit, 2) << bad;
    EXPECT_EQ(cli(dir, "make" + out).Exit, 2);
    EXPECT_EQ(cli(dir, "make " + dir.file("a.bmp")).Exit, 2);
    const CliRun txt = cli(dir, "make" + out + dir.file("a.bmp") + " " + dir.file("n.txt"));
    EXPECT_NE(txt.Exit, 0);
    EXPECT_NE(txt.Err.find("n.txt"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.gif")));
}

TEST(GifFramesCommand, WritesTheFramesOpenMakes)
{
    TempDir dir;
    GLFile file;
    file.Width = 6;
    file.Height = 4;
    file.Global = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 255}};
    auto frame = [](int l, int t, int w, int h, std::uint8_t v, int delay, int tr) {
        GLFrame f;
        f.Left = l;
        f.Top = t;
        f.Width = w;
        f.Height = h;
        f.Pixels.assign(static_cast<std::size_t>(w * h), v);
        f.Delay = delay;
        f.Transparent = tr;
        return f;
    };
    file.Frames = {frame(0, 0, 6, 4, 1, 5, -1), frame(1, 1, 2, 2, 2, 7, -1), frame(0, 0, 6, 4, 2, 15, 2)};
    WriteTestFile(dir.file("in.gif"), GiflibEncode(file));
    std::filesystem::create_directory(dir.path() / "out");
    const CliRun r = cli(dir, "gif-frames " + dir.file("in.gif") + " " + dir.file("out"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    // Composed: the small frame over the first, the see-through third showing the second.
    EXPECT_EQ(r.Out, "Frame1.bmp: 6 x 4, delay 5, transparent no\nFrame2.bmp: 6 x 4, delay 7, transparent no\n"
                     "Frame3.bmp: 6 x 4, delay 15, transparent no\n");
    EXPECT_EQ(LoadBmpFile(dir.file("out/Frame1.bmp")).Pixel(2, 2), TColor(0x0000FF));
    for (const char* name : {"out/Frame2.bmp", "out/Frame3.bmp"}) {
        const TBitmap b = LoadBmpFile(dir.file(name));
        EXPECT_EQ(b.Pixel(2, 2), TColor(0xFF0000)) << name;
        EXPECT_EQ(b.Pixel(0, 0), TColor(0x0000FF)) << name;
    }
    // --raw: the frames as stored, at their own sizes.
    const CliRun raw = cli(dir, "gif-frames --raw " + dir.file("in.gif") + " " + dir.file("raw"));
    ASSERT_EQ(raw.Exit, 0) << raw.Err;
    EXPECT_EQ(raw.Out, "Frame1.bmp: 6 x 4 at 0, 0, delay 5, disposal 0, transparent no\n"
                       "Frame2.bmp: 2 x 2 at 1, 1, delay 7, disposal 0, transparent no\n"
                       "Frame3.bmp: 6 x 4 at 0, 0, delay 15, disposal 0, transparent index 2\n");
    EXPECT_EQ(LoadBmpFile(dir.file("raw/Frame2.bmp")).Width(), 2);

    // A missing folder is made, with its parents; a file in its place is refused, the
    // usage on a line of its own; a bad GIF makes no folder.
    const CliRun made = cli(dir, "gif-frames " + dir.file("in.gif") + " " + dir.file("new/deeper"));
    EXPECT_EQ(made.Exit, 0) << made.Err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("new/deeper/Frame2.bmp")));
    const CliRun onFile = cli(dir, "gif-frames " + dir.file("in.gif") + " " + dir.file("in.gif"));
    EXPECT_EQ(onFile.Exit, 2);
    EXPECT_EQ(onFile.Err, "anivor-cli gif-frames: " + dir.file("in.gif") + " is not a folder\n"
                          "Usage: anivor-cli gif-frames IN.gif|IN.anivor OUTDIR [--raw]\n");
    WriteTestFile(dir.file("bad.gif"), {'G', 'I', 'X'});
    EXPECT_NE(cli(dir, "gif-frames " + dir.file("bad.gif") + " " + dir.file("nothing")).Exit, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("nothing")));
    EXPECT_EQ(cli(dir, "gif-frames --rough " + dir.file("in.gif") + " " + dir.file("out")).Exit, 2);
}

// The frames gif-frames writes are those ImageMagick's -coalesce shows: of an animation
// gifsicle -O3 cut down, and of the program's own AVI to GIF result (cropped, merged frames).
TEST(GifFramesCommand, WritesTheFramesImageMagickCoalesces)
{
    if (!HaveProgram("gifsicle") || !HaveProgram("convert"))
        GTEST_SKIP() << "gifsicle or ImageMagick's convert is missing";
    TempDir dir;
    WriteTestFile(dir.file("made.gif"), DisposalTestGif());
    Gifsicle("-O3 '" + dir.file("made.gif") + "' -o '" + dir.file("optimised.gif") + "'");
    MakeVideo(dir.file("clip.avi"), "-c:v rawvideo -pix_fmt bgr24", 48, 32, "25", 30);
    ASSERT_EQ(cli(dir, "avi2gif " + dir.file("clip.avi") + " -o " + dir.file("clip.gif")).Exit, 0);
    struct Case {
        std::string Gif;
        int Frames, Width, Height;
    };
    for (const Case& c : {Case{"optimised.gif", 10, 64, 48}, Case{"clip.gif", 30, 48, 32}}) {
        SCOPED_TRACE(c.Gif);
        const std::string out = dir.file(c.Gif + ".frames");
        const CliRun r = cli(dir, "gif-frames " + dir.file(c.Gif) + " " + out);
        ASSERT_EQ(r.Exit, 0) << r.Err;
        const auto coalesced = CoalesceWithImageMagick(dir, dir.file(c.Gif), c.Width, c.Height);
        ASSERT_EQ(coalesced.size(), static_cast<std::size_t>(c.Frames));
        std::istringstream lines(r.Out);
        std::string line;
        for (int i = 0; i < c.Frames; ++i) {
            ASSERT_TRUE(std::getline(lines, line));
            const TBitmap frame = LoadBmpFile(out + "/Frame" + std::to_string(i + 1) + ".bmp");
            EXPECT_EQ(CompareWithCoalesced(frame, line.ends_with("transparent yes"), coalesced[static_cast<std::size_t>(i)]), "")
                << line;
        }
        EXPECT_FALSE(std::getline(lines, line)) << line;
    }
}

TEST(MakeCommand, FramesWhoseColorsFitAreWrittenExactly)
{
    // 170 colours in pairs a few units apart, so that both colours of a pair share a cell
    // of the lookup's cache (pure red and its neighbour (249, 0, 6) among them).
    std::vector<TColor> colors{RGB(255, 0, 0), RGB(249, 0, 6)};
    for (int i = 0; colors.size() < 170; ++i) {
        const TColor c = RGB((i * 37 + 11) % 248, (i * 91 + 5) % 248, (i * 53 + 3) % 248);
        const TColor near = RGB(GetRValue(c) + 1 + i % 5, GetGValue(c) + 2, GetBValue(c) + 3 - i % 3);
        for (const TColor k : {c, near})
            if (std::find(colors.begin(), colors.end(), k) == colors.end() && colors.size() < 170)
                colors.push_back(k);
    }
    TempDir dir;
    TBitmap picture(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            picture.SetPixel(x, y, colors[static_cast<std::size_t>((x * 7 + y * 13) % 170)]);
    SaveBmpFile(picture, dir.file("p.bmp"));
    for (const std::string method : {"optimized", "optimized-windows", "best"})
        for (const std::string mode : {"", "--frame-palettes ", "--dither nearest ", "--dither stucki "}) {
            const std::string what = method + " " + mode;
            const CliRun r = cli(dir, "make " + mode + "--palette " + method + " -o " + dir.file("p.gif") + " "
                                          + dir.file("p.bmp") + " " + dir.file("p.bmp"));
            ASSERT_EQ(r.Exit, 0) << what << r.Err;
            const GLFile gl = GiflibDecode(ReadFileBytes(dir.file("p.gif")));
            ASSERT_EQ(gl.Frames.size(), 2u) << what;
            for (const GLFrame& f : gl.Frames) {
                int wrong = 0;
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 60; ++x)
                        wrong += f.Colors[f.Pixels[static_cast<std::size_t>(y * 60 + x)]] != Rgb(picture.Pixel(x, y));
                EXPECT_EQ(wrong, 0) << what;
            }
        }
}
