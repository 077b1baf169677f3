// anivor-cli shape, run as a program; pictures read back with Qt's own codecs.
#include "CliRunner.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <sstream>

TEST(ShapeCommand, ListsTheTypesAndDirections)
{
    TempDir dir;
    const CliRun r = RunCli(dir, "shape --list");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    std::istringstream lines(r.Out);
    std::string line;
    int types = 0, directions = 0, section = 0;
    while (std::getline(lines, line)) {
        if (line == "Shape types:")
            section = 1;
        else if (line == "Gradient directions:")
            section = 2;
        else
            (section == 1 ? types : directions) += 1;
    }
    EXPECT_EQ(types, 76);
    EXPECT_EQ(directions, 26);
    EXPECT_NE(r.Out.find("  75 qstUser\n"), std::string::npos);
    EXPECT_NE(r.Out.find("  25 qgdLeftRight\n"), std::string::npos);
}

TEST(ShapeCommand, PaintsOneShapeFillingThePicture)
{
    TempDir dir;
    // Names with or without their prefix, any letter case.
    CliRun r = RunCli(dir, "shape CIRCLE -s 100x40 --brush-color '#0000FF' --pen-width 1 -o '" + dir.file("c.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    QImage img(QString::fromStdString(dir.file("c.bmp")));
    ASSERT_EQ(img.size(), QSize(100, 40));
    EXPECT_EQ(img.pixelColor(50, 20), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(5, 20), QColor(255, 255, 255)); // left of the centred square
    EXPECT_EQ(img.pixelColor(30, 20), QColor(0, 0, 0));      // its outline

    // A gradient, as PNG.
    r = RunCli(dir, "shape qstRectangle -s 10x256 --brush-color '#0000FF' --gradient qgdUp --gradient-color '#FFFFFF' -o '"
                        + dir.file("g.png") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    img = QImage(QString::fromStdString(dir.file("g.png")));
    ASSERT_EQ(img.size(), QSize(10, 256));
    EXPECT_EQ(img.pixelColor(5, 100), QColor(100, 100, 255));

    // Onto a picture: the shape fills it, what it leaves shows through.
    QImage red(30, 20, QImage::Format_RGB888);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(dir.file("red.png"))));
    r = RunCli(dir, "shape ellipse --on '" + dir.file("red.png") + "' --caption Hi --caption-angle 20 --pen-color '#00FF00' -o '"
                        + dir.file("e.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    img = QImage(QString::fromStdString(dir.file("e.bmp")));
    ASSERT_EQ(img.size(), QSize(30, 20));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(0, 10), QColor(0, 255, 0));

    // A user polygon.
    r = RunCli(dir, "shape user -s 11x11 --vector 'tri=0.5,0,1,1,0,1' -o '" + dir.file("u.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    img = QImage(QString::fromStdString(dir.file("u.bmp")));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 255, 255));
    EXPECT_EQ(img.pixelColor(5, 0), QColor(0, 0, 0));
}

// The numbers --list prints stand for the names beside them: the same picture, byte for byte.
TEST(ShapeCommand, TakesTheNumbersTheListShows)
{
    TempDir dir;
    const CliRun list = RunCli(dir, "shape --list");
    ASSERT_NE(list.Out.find("  9 qstTriangleRight\n"), std::string::npos);
    ASSERT_NE(list.Out.find("  8 qgdCircOut\n"), std::string::npos);
    const std::string style = " -s 60x40 --brush-color '#C03010' --gradient-color '#FFFFFF' -o '";
    ASSERT_EQ(RunCli(dir, "shape qstTriangleRight --gradient qgdCircOut" + style + dir.file("n.bmp") + "'").Exit, 0);
    const CliRun r = RunCli(dir, "shape 9 --gradient 8" + style + dir.file("9.bmp") + "'");
    ASSERT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(ReadTextFile(dir.file("9.bmp")), ReadTextFile(dir.file("n.bmp")));
    // Past the last one: refused.
    EXPECT_EQ(RunCli(dir, "shape 76 -s 10x10 -o '" + dir.file("x.bmp") + "'").Exit, 2);
    EXPECT_EQ(RunCli(dir, "shape 0 --gradient 26 -s 10x10 -o '" + dir.file("x.bmp") + "'").Exit, 2);
}

TEST(ShapeCommand, WrongArgumentsAreRefusedWithAMessage)
{
    TempDir dir;
    const std::string out = " -o '" + dir.file("x.bmp") + "'";
    for (const std::string& args :
         {"shape blob -s 10x10" + out, "shape circle -s 0x10" + out, "shape circle -s 10x99999" + out,
          "shape circle -s 10" + out, "shape circle -s 10x10 --brush-color red" + out,
          "shape circle -s 10x10 --gradient sideways" + out, "shape circle -s 10x10 --pen-width -1" + out,
          "shape circle -s 10x10 --vector 'v=1,2,3'" + out, std::string("shape circle -s 10x10"), "shape circle" + out,
          "shape -s 10x10" + out, "shape circle -s 10x10 --brush-style dotted" + out}) {
        const CliRun r = RunCli(dir, args);
        EXPECT_EQ(r.Exit, 2) << args;
        EXPECT_NE(r.Err.find("Usage: anivor-cli shape"), std::string::npos) << args;
    }
    const CliRun r = RunCli(dir, "shape circle --on '" + dir.file("missing.png") + "'" + out);
    EXPECT_EQ(r.Exit, 1);
    EXPECT_FALSE(r.Err.empty());
}
