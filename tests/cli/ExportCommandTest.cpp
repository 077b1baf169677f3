// anivor-cli export: a GIF (its loop count kept), pictures and an exported animation read
// back, each in the format its file name or --format asks for; bad arguments.
#include "CliRunner.h"
#include "graphics/BmpFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(ExportCommand, WritesEachFormatFromGifsPicturesAndAnimations)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 20, 0x0000FF), dir.file("a.bmp"));
    SaveBmpFile(SolidBitmap(40, 20, 0xFF0000), dir.file("b.bmp"));
    ASSERT_EQ(RunCli(dir, "make -o " + dir.file("in.gif") + " --loops 5 --delay 7 " + dir.file("a.bmp") + " " + dir.file("b.bmp")).Exit, 0);

    // A GIF as WebP keeps its loop count and delays; the WebP read back becomes an APNG.
    CliRun r = RunCli(dir, "export " + dir.file("in.gif") + " -o " + dir.file("out.webp") + " --quality 50");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("2 frames, 40 x 20"), std::string::npos) << r.Out;
    ASSERT_EQ(std::system(("webpmux -info '" + dir.file("out.webp") + "' > '" + dir.file("info.txt") + "'").c_str()), 0);
    const std::string webp = ReadTextFile(dir.file("info.txt"));
    EXPECT_NE(webp.find("Loop Count : 5"), std::string::npos) << webp;
    EXPECT_NE(webp.find("lossy"), std::string::npos) << webp;
    r = RunCli(dir, "export " + dir.file("out.webp") + " -o " + dir.file("back.apng"));
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("2 frames, 40 x 20"), std::string::npos) << r.Out;

    // Pictures as a sprite sheet of one column, the delay given.
    r = RunCli(dir, "export " + dir.file("a.bmp") + " " + dir.file("b.bmp") + " -o " + dir.file("sheet.png")
                        + " --format sheet --columns 1 --padding 1 --delay 4");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    const std::string json = ReadTextFile(dir.file("sheet.json"));
    EXPECT_NE(json.find("\"height\": 43"), std::string::npos) << json;
    EXPECT_NE(json.find("\"duration\": 40"), std::string::npos) << json;

    struct Bad {
        std::string Args;
        const char* Says;
    };
    const Bad bad[] = {
        {"export " + dir.file("a.bmp") + " -o " + dir.file("x.png"), "not known by its extension"},
        {"export " + dir.file("a.bmp") + " -o " + dir.file("x.gif"), "not known by its extension"},
        {"export " + dir.file("a.bmp") + " -o " + dir.file("x.png") + " --format gif", "--format takes apng"},
        {"export " + dir.file("a.bmp") + " -o " + dir.file("x.mp4") + " --quality 101", "--quality takes a whole number"},
        {"export -o " + dir.file("x.mp4"), "expected at least one input"},
        {"export " + dir.file("missing.gif") + " -o " + dir.file("x.mp4"), "missing.gif"},
    };
    for (const Bad& b : bad) {
        const CliRun e = RunCli(dir, b.Args);
        EXPECT_NE(e.Exit, 0) << b.Args;
        EXPECT_NE(e.Err.find(b.Says), std::string::npos) << b.Args << ": " << e.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.mp4")));
}
