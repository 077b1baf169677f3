// anivor-cli effect, run as a program on files made and read back with Qt's own codecs.
#include "support/TestSupport.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs anivor-cli with the arguments; returns its exit code, its error output in `err`.
int RunCli(const TempDir& dir, const std::vector<std::string>& args, std::string* err = nullptr)
{
    std::string cmd = Quote(ANIVOR_CLI_PATH);
    for (const std::string& a : args)
        cmd += " " + Quote(a);
    cmd += " >" + Quote(dir.file("stdout.txt")) + " 2>" + Quote(dir.file("stderr.txt"));
    const int status = std::system(cmd.c_str());
    if (err) {
        std::ifstream in(dir.file("stderr.txt"));
        std::stringstream ss;
        ss << in.rdbuf();
        *err = ss.str();
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string MakeInput(const TempDir& dir, const char* format = "BMP")
{
    QImage img(3, 2, QImage::Format_RGB888);
    img.setPixelColor(0, 0, QColor(200, 100, 50));
    img.setPixelColor(1, 0, QColor(0, 0, 255));
    img.setPixelColor(2, 0, QColor(0, 0, 200));
    img.setPixelColor(0, 1, QColor(255, 255, 255));
    img.setPixelColor(1, 1, QColor(0, 0, 0));
    img.setPixelColor(2, 1, QColor(10, 20, 1));
    const std::string path = dir.file(std::string("in.") + format);
    EXPECT_TRUE(img.save(QString::fromStdString(path), format));
    return path;
}

} // namespace

TEST(EffectCommand, AppliesTheNamedEffectWithItsValues)
{
    TempDir dir;
    const std::string in = MakeInput(dir);
    const std::string out = dir.file("out.bmp");

    ASSERT_EQ(RunCli(dir, {"effect", "INVERT", in, out}), 0);
    QImage result(QString::fromStdString(out));
    ASSERT_EQ(result.width(), 3);
    ASSERT_EQ(result.height(), 2);
    EXPECT_EQ(result.pixelColor(0, 0), QColor(55, 155, 205));
    EXPECT_EQ(result.pixelColor(2, 1), QColor(245, 235, 254));

    // FilterBlue 0 255: blue 255 and 0 -> 0, blue 1..254 -> 255; red and green cleared.
    ASSERT_EQ(RunCli(dir, {"effect", "filterblue", "0", "255", in, out}), 0);
    result.load(QString::fromStdString(out));
    EXPECT_EQ(result.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(result.pixelColor(1, 0), QColor(0, 0, 0));
    EXPECT_EQ(result.pixelColor(2, 0), QColor(0, 0, 255));
    EXPECT_EQ(result.pixelColor(2, 1), QColor(0, 0, 255));

    ASSERT_EQ(RunCli(dir, {"effect", "darkness", "100", MakeInput(dir, "PNG"), out}), 0);
    result.load(QString::fromStdString(out));
    EXPECT_EQ(result.pixelColor(0, 0), QColor(122, 61, 31)); // 200-78, 100-39, 50-19
}

TEST(EffectCommand, RefusesBadArgumentsAndBadFilesWithoutWriting)
{
    TempDir dir;
    const std::string in = MakeInput(dir);
    const std::string out = dir.file("out.bmp");
    std::string err;
    EXPECT_EQ(RunCli(dir, {"effect", "sparkle", in, out}, &err), 2);
    EXPECT_NE(err.find("unknown effect 'sparkle'"), std::string::npos) << err;
    EXPECT_EQ(RunCli(dir, {"effect", "darkness", "lots", in, out}, &err), 2);
    EXPECT_NE(err.find("not a number"), std::string::npos) << err;
    EXPECT_EQ(RunCli(dir, {"effect", "darkness", "1", "2", in, out}, &err), 2);
    EXPECT_EQ(RunCli(dir, {"effect", "darkness", in}, &err), 2);

    EXPECT_EQ(RunCli(dir, {"effect", "invert", dir.file("missing.bmp"), out}, &err), 1);
    WriteTestFile(dir.file("junk.bmp"), {'B', 'M', 1, 2, 3});
    EXPECT_EQ(RunCli(dir, {"effect", "invert", dir.file("junk.bmp"), out}, &err), 1);
    // A header claiming a huge picture is refused before anything is allocated.
    std::vector<unsigned char> huge(60, 0);
    huge[0] = 'B', huge[1] = 'M', huge[10] = 54, huge[14] = 40;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0; // width 65535
    huge[22] = 0xFF, huge[23] = 0xFF;               // height 65535
    huge[26] = 1, huge[28] = 24;
    WriteTestFile(dir.file("huge.bmp"), huge);
    EXPECT_EQ(RunCli(dir, {"effect", "invert", dir.file("huge.bmp"), out}, &err), 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    EXPECT_EQ(RunCli(dir, {"effect", "--list"}), 0);
}
