// anivor-cli gif-info on hand-made files: the printed tree, bad files, usage.
#include "gif/GifBytes.h"
#include "CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

CliRun gifInfo(const TempDir& dir, const std::string& args)
{
    return RunCli(dir, "gif-info " + args);
}


} // namespace

TEST(GifInfoCommand, PrintsTheBlockTree)
{
    TempDir dir;
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, 0x80 | 0x08, 1, 0, 0, 0, 0, 255, 255, 255};
    Append(b, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    Append(b, {0x21, 0xF9, 4, 0x09, 25, 0, 1, 0});
    Append(b, {0x21, 0xFE, 2, 'h', 'i', 0});
    Append(b, GifFrameHead(1, 1, 2, 1, 2, true));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}})));
    Append(b, {0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 1, 7, 0});
    b.push_back(0x3B);
    WriteTestFile(dir.file("a.gif"), b);
    const CliRun r = gifInfo(dir, dir.file("a.gif"));
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out,
              "Header: GIF89a, screen 3 x 2, background 1, aspect ratio 0\n"
              "Global Palette: 2 colors, 1 bits, sorted\n"
              "Image 0: left 1, top 1, width 2, height 1, interlaced yes, local palette 4 colors, 2 bits\n"
              "  Netscape Loop Extension: loops 0 (forever)\n"
              "  Graphic Control Extension: delay 25 (250 ms), disposal 2 (background), transparent yes, "
              "transparent index 1, user input no\n"
              "  Comment Extension: \"hi\"\n"
              "Image 1: no image data\n"
              "  Application Extension: identifier \"XMP Data\", authentication \"XMP\", 1 data blocks\n"
              "Trailer\n");
}

TEST(GifInfoCommand, BadFilesAndUsage)
{
    TempDir dir;
    WriteTestFile(dir.file("bad.gif"), {'n', 'o', 't', ' ', 'a', ' ', 'g', 'i', 'f', '!', '!'});
    CliRun r = gifInfo(dir, dir.file("bad.gif"));
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("Invalid GIF signature"), std::string::npos) << r.Err;
    EXPECT_TRUE(r.Out.empty());

    r = gifInfo(dir, dir.file("missing.gif"));
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Err.find("Unable to read"), std::string::npos) << r.Err;

    // Truncated data: the tree is printed, the warnings go to stderr.
    Bytes t = GifHeader(4, 1);
    Append(t, GifFrameHead(0, 0, 4, 1, 2));
    t.push_back(2);
    t.push_back(9);
    t.push_back(0x0C);
    WriteTestFile(dir.file("cut.gif"), t);
    r = gifInfo(dir, dir.file("cut.gif"));
    EXPECT_EQ(r.Exit, 0);
    EXPECT_NE(r.Err.find("warning: Premature end of data"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("Image 0: left 0, top 0, width 4, height 1"), std::string::npos) << r.Out;

    r = gifInfo(dir, "");
    EXPECT_EQ(r.Exit, 2);
}
