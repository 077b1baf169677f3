// anivor-cli script: a script drawing on a picture file, its errors and its timeout.
#include "CliRunner.h"

#include "graphics/BmpFile.h"

#include <gtest/gtest.h>

TEST(ScriptCommand, DrawsWritesAndReportsErrors)
{
    TempDir dir;
    SaveBmpFile(SolidBitmap(40, 30, clWhite), dir.file("in.bmp"));
    const auto script = [&](const std::string& name, const std::string& text) {
        WriteTestFile(dir.file(name), std::vector<unsigned char>(text.begin(), text.end()));
        return "'" + dir.file(name) + "' '" + dir.file("in.bmp") + "' -o '" + dir.file("out.bmp") + "'";
    };

    CliRun run = RunCli(dir, "script " + script("ok.js", "gfx.PenColor = '#FF0000';\ngfx.Line(0, 3, gfx.Width, 3);\n"));
    ASSERT_EQ(run.Exit, 0) << run.Err;
    TBitmap out = LoadBmpFile(dir.file("out.bmp"));
    EXPECT_EQ(out.Width(), 40);
    const std::uint8_t* bgr = out.ScanLine(3) + 39 * 3;
    EXPECT_EQ(bgr[0] + bgr[1] * 256 + bgr[2] * 65536, 0xFF0000); // red

    run = RunCli(dir, "script " + script("bad.js", "gfx.Line(0, 0, 5, 5);\n  gfx.Line(0, 'abc', 5, 5);\n"));
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("bad.js: Line 2, position 7: Type mismatch\n  gfx.Line(0, 'abc', 5, 5);"), std::string::npos)
        << run.Err;

    run = RunCli(dir, "script " + script("loop.js", "for (;;) {}") + " --timeout 0.2");
    EXPECT_EQ(run.Exit, 1);
    EXPECT_NE(run.Err.find("ran longer than 0.2 seconds"), std::string::npos) << run.Err;

    run = RunCli(dir, "script " + script("x.js", "") + " --timeout never");
    EXPECT_EQ(run.Exit, 2);
    run = RunCli(dir, "script '" + dir.file("x.js") + "' '" + dir.file("in.bmp") + "'");
    EXPECT_EQ(run.Exit, 2);
    run = RunCli(dir, "script '" + dir.file("missing.js") + "' '" + dir.file("in.bmp") + "' -o '" + dir.file("o.bmp") + "'");
    EXPECT_EQ(run.Exit, 1);
}
