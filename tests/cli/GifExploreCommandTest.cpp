// anivor-cli gif-explore: the explorer's tree as text and as JSON, broken files, usage.
#include "CliRunner.h"
#include "tools/ExplorerTestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

TEST(GifExploreCommand, PrintsTheTreeWithRowsAndTextPreviews)
{
    TempDir dir;
    WriteTestFile(dir.file("all.gif"), EveryBlockKindGif());
    const CliRun r = RunCli(dir, "gif-explore '" + dir.file("all.gif") + "'");
    EXPECT_EQ(r.Exit, 0) << r.Err;
    EXPECT_EQ(r.Out.substr(0, r.Out.find("  + Header")),
              "+ all.gif\n"
              "  Filename: all.gif\n"
              "  Frames: 2\n"
              "  Global Palette: Yes\n"
              "  ColorResolution: 4 colors\n"
              "  BitsPerPixel: 2 bits\n");
    EXPECT_NE(r.Out.find("    + Graphic Control Extension\n"
                         "      Delay: 100 mS\n"
                         "      Transparent: Yes\n"
                         "      TransparentColor: 1\n"
                         "      Prompt: Yes\n"
                         "      Disposal: Previuos\n"
                         "    + Comment Extension\n"
                         "      | hi\n"
                         "      | there\n"
                         "    + Text extension\n"
                         "    + Application Extension\n"
                         "      Identifier: XMP Data\n"
                         "      Authentication: XMP\n"
                         "      Data Blocks: 1\n"
                         "      | Block: 00   Size: 020 bytes\n"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("  + Image 1\n"), std::string::npos);
    // The label nobody knows is a warning on standard error, not a failure.
    EXPECT_NE(r.Err.find("warning: Unknown extension type"), std::string::npos) << r.Err;

    const CliRun j = RunCli(dir, "gif-explore --json '" + dir.file("all.gif") + "'");
    EXPECT_EQ(j.Exit, 0) << j.Err;
    EXPECT_TRUE(j.Err.empty()) << j.Err; // warnings are in the document
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(j.Out));
    ASSERT_TRUE(doc.isObject()) << j.Out;
    EXPECT_TRUE(doc["error"].isNull());
    EXPECT_EQ(doc["warnings"].toArray().size(), 1);
    const QJsonObject tree = doc["tree"].toObject();
    EXPECT_EQ(tree["text"].toString(), "all.gif");
    EXPECT_EQ(tree["children"].toArray().size(), 4);
    EXPECT_EQ(tree["children"][2]["children"][3]["preview"].toArray(), QJsonArray({"hi", "there"}));
}

TEST(GifExploreCommand, BrokenFilesShowWhatWasReadAndUsage)
{
    TempDir dir;
    // The second frame breaks off inside its descriptor: the first is listed, with a warning.
    Bytes b = GifHeader(2, 1);
    Append(b, GifFrameHead(0, 0, 2, 1, 2));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}})));
    Bytes cut = b;
    Append(cut, {0x2C, 0, 0});
    WriteTestFile(dir.file("cut.gif"), cut);
    CliRun r = RunCli(dir, "gif-explore '" + dir.file("cut.gif") + "'");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Out.find("  + Image 0\n"), std::string::npos) << r.Out;
    EXPECT_EQ(r.Out.find("Image 1"), std::string::npos);
    EXPECT_NE(r.Err.find("warning: Premature end of data (image 1)"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("TGIF"), std::string::npos) << r.Err;
    // Cut inside the first frame's picture data: a warning only, still not a whole file.
    Bytes inData = b;
    inData.resize(inData.size() - 2);
    WriteTestFile(dir.file("cut-data.gif"), inData);
    r = RunCli(dir, "gif-explore '" + dir.file("cut-data.gif") + "'");
    EXPECT_EQ(r.Exit, 1) << r.Err;
    EXPECT_NE(r.Out.find("  + Image 0\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Err.find("breaks off"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Err.find("TGIF"), std::string::npos) << r.Err;
    // A frame claiming more than its data holds is an error: what came before is shown.
    Append(b, GifFrameHead(0, 0, 1000, 1000, 2));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {5, 3}})));
    b.push_back(0x3B);
    WriteTestFile(dir.file("broken.gif"), b);
    r = RunCli(dir, "gif-explore '" + dir.file("broken.gif") + "'");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_NE(r.Out.find("  + Image 0\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Err.find("anivor-cli gif-explore: Image data too short for the frame size"), std::string::npos) << r.Err;
    r = RunCli(dir, "gif-explore --json '" + dir.file("broken.gif") + "'");
    EXPECT_EQ(r.Exit, 1);
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out));
    EXPECT_EQ(doc["error"].toString(), "Image data too short for the frame size");
    EXPECT_EQ(doc["tree"]["children"].toArray().size(), 2);

    WriteTestFile(dir.file("bad.gif"), {'n', 'o', 't', ' ', 'a', ' ', 'g', 'i', 'f', '!', '!'});
    r = RunCli(dir, "gif-explore '" + dir.file("bad.gif") + "'");
    EXPECT_EQ(r.Exit, 1);
    EXPECT_TRUE(r.Out.empty()) << r.Out;
    EXPECT_NE(r.Err.find("Invalid GIF signature"), std::string::npos);
    r = RunCli(dir, "gif-explore --json '" + dir.file("bad.gif") + "'");
    doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.Out));
    EXPECT_TRUE(doc["tree"].isNull()) << r.Out;
    EXPECT_EQ(doc["error"].toString(), "Invalid GIF signature");

    EXPECT_EQ(RunCli(dir, "gif-explore").Exit, 2);
    EXPECT_EQ(RunCli(dir, "gif-explore --xml a.gif").Exit, 2);
    EXPECT_EQ(RunCli(dir, "gif-explore a.gif b.gif").Exit, 2);
}
