#include "CliRunner.h"

#include <gtest/gtest.h>

#include <sstream>

// glyph prints the strokes of one character, an SVG path with --svg, and says so when a
// character has no outline; wrong arguments are usage errors.
TEST(CliGlyph, StrokesSvgAndBadArguments)
{
    TempDir dir;
    CliRun r = RunCli(dir, "glyph O --font Arial --precision 4");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_NE(r.Out.find("# font Liberation Sans, 1024 units per em, precision 4\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("# strokes 2,"), std::string::npos) << r.Out;
    // Every data line: stroke index and four coordinates.
    std::istringstream lines(r.Out);
    std::string line;
    int segments = 0, lastStroke = 0;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream f(line);
        int s, x1, y1, x2, y2;
        ASSERT_TRUE(f >> s >> x1 >> y1 >> x2 >> y2) << line;
        EXPECT_GE(s, lastStroke);
        lastStroke = s;
        ++segments;
    }
    EXPECT_GT(segments, 20);
    EXPECT_EQ(lastStroke, 1);

    r = RunCli(dir, "glyph ' '");
    EXPECT_EQ(r.Exit, 0);
    EXPECT_NE(r.Out.find("# no outline"), std::string::npos);

    // A character the font lacks is refused, not drawn as the font's empty box.
    r = RunCli(dir, "glyph '\xee\x80\x80' --font Arial"); // U+E000, a private use character
    EXPECT_EQ(r.Exit, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("has no character"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("(U+E000)"), std::string::npos) << r.Err;

    r = RunCli(dir, "glyph A --svg");
    EXPECT_EQ(r.Exit, 0);
    EXPECT_EQ(r.Out.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find(" d=\"M"), std::string::npos);

    r = RunCli(dir, "glyph O --precision 0");
    EXPECT_EQ(r.Exit, 2);
    EXPECT_NE(r.Err.find("--precision takes a whole number from 1 to 100"), std::string::npos) << r.Err;
    EXPECT_EQ(RunCli(dir, "glyph OO").Exit, 2);
    EXPECT_EQ(RunCli(dir, "glyph").Exit, 2);
}
