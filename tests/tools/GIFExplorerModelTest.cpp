// The explorer's model: tree, rows, view flags, dumps, palette grid, colour labels and
// the two printed forms.
#include "ExplorerTestFiles.h"

#include "tools/GIFExplorerModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TGIFImage> Loaded(const Bytes& bytes)
{
    auto gif = std::make_unique<TGIFImage>();
    gif->LoadFromBytes(bytes);
    return gif;
}

std::vector<std::string> Texts(const TGIFExplorerNode& node)
{
    std::vector<std::string> out;
    for (const TGIFExplorerNode& c : node.Children)
        out.push_back(c.Text);
    return out;
}

TGIFPropertyRows Rows(std::initializer_list<std::pair<const char*, const char*>> rows)
{
    TGIFPropertyRows out;
    for (const auto& [c, v] : rows)
        out.emplace_back(c, v);
    return out;
}

} // namespace

TEST(GIFExplorerModel, TreeHoldsEveryBlockKindInFileOrder)
{
    TGIFImage gif;
    gif.LoadFromBytes(EveryBlockKindGif());
    const TGIFExplorerNode root = BuildGIFExplorerTree(gif, "all.gif");
    EXPECT_EQ(root.Text, "all.gif");
    EXPECT_EQ(root.ImageIndex, niDocument);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"Header", "Global Palette", "Image 0", "Image 1"}));
    const TGIFExplorerNode& frame = root.Children[2];
    EXPECT_EQ(Texts(frame), (std::vector<std::string>{"Local Palette", "Netscape Loop Extension", "Graphic Control Extension",
                                                      "Comment Extension", "Text extension", "Application Extension",
                                                      "Unknown extension"}));
    std::vector<int> images;
    for (const TGIFExplorerNode& c : frame.Children)
        images.push_back(c.ImageIndex);
    EXPECT_EQ(images, (std::vector<int>{8, 1, 9, 5, 6, 2, 3}));
    EXPECT_EQ(root.Children[0].ImageIndex, 7);
    EXPECT_EQ(root.Children[1].ImageIndex, 8);
    EXPECT_EQ(frame.ImageIndex, 4);
    // The comment before the trailer is an empty frame of its own.
    EXPECT_EQ(Texts(root.Children[3]), std::vector<std::string>{"Comment Extension"});

    // Each node stands for its block; palettes of two owners are of different classes.
    EXPECT_EQ(GIFNodeItem(gif, root), &gif);
    EXPECT_EQ(GIFNodeItem(gif, frame), gif.Images[0].get());
    EXPECT_EQ(GIFNodeItem(gif, frame.Children[2]), gif.Images[0]->Extensions[1].get());
    EXPECT_STRNE(GIFNodeItem(gif, root.Children[1])->ClassName(), GIFNodeItem(gif, frame.Children[0])->ClassName());

    // Without a global table there is no node for it.
    auto plainp = Loaded(SmallAnimation(2));
    TGIFImage& plain = *plainp;
    plain.Header.ColorMap.Clear();
    EXPECT_EQ(Texts(BuildGIFExplorerTree(plain, "x")), (std::vector<std::string>{"Header", "Image 0", "Image 1"}));
}

TEST(GIFExplorerModel, RowsOfEachNode)
{
    auto gifp = Loaded(EveryBlockKindGif());
    TGIFImage& gif = *gifp;
    const TGIFExplorerNode root = BuildGIFExplorerTree(gif, "all.gif");
    const TGIFExplorerNode& frame = root.Children[2];
    EXPECT_EQ(GIFNodeRows(gif, root), Rows({{"Filename", "all.gif"}, {"Frames", "2"}, {"Global Palette", "Yes"},
                                            {"ColorResolution", "4 colors"}, {"BitsPerPixel", "2 bits"}}));
    EXPECT_EQ(GIFNodeRows(gif, root.Children[0]),
              Rows({{"Version", "gif89a"}, {"Width", "3"}, {"Height", "2"}, {"BackGroundColor", "1"}, {"AspectRatio", "0"},
                    {"BitsPerPixel", "1 bits"}}));
    EXPECT_EQ(GIFNodeRows(gif, root.Children[1]), Rows({{"Count", "2"}, {"Optimized", "No"}, {"BitsPerPixel", "1 bits"}}));
    EXPECT_EQ(GIFNodeRows(gif, frame), Rows({{"Left", "1"}, {"Top", "1"}, {"Width", "2"}, {"Height", "1"}, {"Interlaced", "Yes"},
                                             {"Extensions", "6"}, {"Local Palette", "Yes"}, {"ColorResolution", "4 colors"},
                                             {"BitsPerPixel", "2 bits"}}));
    EXPECT_EQ(GIFNodeRows(gif, frame.Children[0]), Rows({{"Count", "4"}, {"Optimized", "No"}, {"BitsPerPixel", "2 bits"}}));
    EXPECT_EQ(GIFNodeRows(gif, frame.Children[1]), Rows({{"Loops", "0"}}));
    EXPECT_EQ(GIFNodeRows(gif, frame.Children[2]), Rows({{"Delay", "100 mS"}, {"Transparent", "Yes"}, {"TransparentColor", "1"},
                                                         {"Prompt", "Yes"}, {"Disposal", "Previuos"}}));
    EXPECT_TRUE(GIFNodeRows(gif, frame.Children[3]).empty());
    EXPECT_TRUE(GIFNodeRows(gif, frame.Children[4]).empty());
    EXPECT_EQ(GIFNodeRows(gif, frame.Children[5]), Rows({{"Identifier", "XMP Data"}, {"Authentication", "XMP"}, {"Data Blocks", "1"}}));
    EXPECT_TRUE(GIFNodeRows(gif, frame.Children[6]).empty());
    // The empty frame: no image data, no palette.
    EXPECT_EQ(GIFNodeRows(gif, root.Children[3]),
              Rows({{"Left", "0"}, {"Top", "0"}, {"Width", "0"}, {"Height", "0"}, {"Interlaced", "No"}, {"Extensions", "1"},
                    {"Local Palette", "No"}, {"BitsPerPixel", "1 bits"}}));

    // Version: what the file's signature says, whatever the header's table and aspect
    // ratio would make of it when written.
    const auto version = [](char letter, std::uint8_t packed, std::uint8_t aspect) {
        Bytes b = {'G', 'I', 'F', '8', static_cast<std::uint8_t>(letter), 'a', 1, 0, 1, 0, packed, 0, aspect, 0, 0, 0, 9, 9, 9, 0x3B};
        auto gp = Loaded(b);
        TGIFImage& g = *gp;
        return GIFNodeRows(g, BuildGIFExplorerTree(g, "v").Children[0])[0].second;
    };
    EXPECT_EQ(version('9', 0x80, 0), "gif89a");
    EXPECT_EQ(version('7', 0x80, 0), "gif87a");
    EXPECT_EQ(version('7', 0x88, 49), "gif87a");
    EXPECT_EQ(version('9', 0x88, 49), "gif89a");

    // Disposal names, including the values the format reserves; delays in milliseconds.
    auto* gce = static_cast<TGIFGraphicControlExtension*>(gif.Images[0]->Extensions[1].get());
    const char* names[] = {"None specified", "Do not dispose", "Background", "Previuos", "Reserved (4)", "Reserved (7)"};
    const int methods[] = {0, 1, 2, 3, 4, 7};
    for (int i = 0; i < 6; ++i) {
        gce->SetDisposal(methods[i]);
        EXPECT_EQ(GIFNodeRows(gif, frame.Children[2])[4].second, names[i]);
    }
    gce->SetDelay(65535);
    EXPECT_EQ(GIFNodeRows(gif, frame.Children[2])[0].second, "655350 mS");
}

TEST(GIFExplorerModel, ApplicationDumpAndCommentText)
{
    auto gifp = Loaded(EveryBlockKindGif());
    TGIFImage& gif = *gifp;
    const TGIFExplorerNode root = BuildGIFExplorerTree(gif, "all.gif");
    const TGIFExplorerNode& frame = root.Children[2];
    // 20 bytes: one full line of 16, one of 4 padded with 36 blanks before the characters
    // (space to "Z" and "a" to "z" as they are, the rest as ".").
    EXPECT_EQ(GIFNodePreviewText(gif, frame.Children[5]),
              (std::vector<std::string>{"Block: 00   Size: 020 bytes", std::string(65, '-'),
                                        "41 6E 69 76 6F 72 5B 31 5D 5F 7B 78 7D 7E 01 FF  Anivor.1...x....",
                                        "61 62 63 64 " + std::string(36, ' ') + " abcd", ""}));
    EXPECT_EQ(GIFNodePreviewText(gif, frame.Children[3]), (std::vector<std::string>{"hi", "there"}));
    // Nodes without a text preview.
    for (int i : {0, 1, 2, 4, 6})
        EXPECT_TRUE(GIFNodePreviewText(gif, frame.Children[static_cast<std::size_t>(i)]).empty()) << i;

    // Several blocks, an empty one and a full line exactly.
    const std::vector<std::uint8_t> sixteen(16, ' '), none;
    const auto lines = GIFDataBlockDump({std::span(sixteen), std::span(none)});
    EXPECT_EQ(lines, (std::vector<std::string>{"Block: 00   Size: 016 bytes", std::string(65, '-'),
                                               "20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20  " + std::string(16, ' '), "",
                                               "Block: 01   Size: 000 bytes", std::string(65, '-'), ""}));

    // Comments: stored line breaks split lines; 8-bit text becomes UTF-8.
    auto* comment = static_cast<TGIFCommentExtension*>(gif.Images[0]->Extensions[2].get());
    comment->Text = {"a\r\nb\nc", "caf\xE9"};
    EXPECT_EQ(GIFNodePreviewText(gif, frame.Children[3]), (std::vector<std::string>{"a", "b", "c", "caf\xC3\xA9"}));
}

TEST(GIFExplorerModel, ViewFlagsOfEachKind)
{
    using K = TGIFNodeKind;
    EXPECT_EQ(kGIFInitialViewFlags, 14u);
    EXPECT_EQ(GIFNodeViewFlags(K::Document, true, true), 0x19u | 0x02 | 0x04);
    EXPECT_EQ(GIFNodeViewFlags(K::Frame, true, true), 0xA8u | 0x02 | 0x04);
    EXPECT_EQ(GIFNodeViewFlags(K::GlobalPalette, true, true), 0xC8u | 0x06);
    EXPECT_EQ(GIFNodeViewFlags(K::LocalPalette, false, true), 0xC8u);
    EXPECT_EQ(GIFNodeViewFlags(K::Comment, true, true), 0x0Eu);
    EXPECT_EQ(GIFNodeViewFlags(K::Application, true, false), 0x02u);
    for (K k : {K::Header, K::GraphicControl, K::Text, K::Loop, K::Unknown}) {
        EXPECT_EQ(GIFNodeViewFlags(k, true, true), 0x02u);
        EXPECT_EQ(GIFNodeViewFlags(k, false, true), 0u);
    }
    EXPECT_EQ(GIFNodeViewFlags(K::Frame, false, false), 0u);
}

TEST(GIFExplorerModel, PaletteGridAndColourUnderTheMouse)
{
    // 256 entries: 16 x 16; 2: one row of 2; 3: one row of 3; leftover room split in half.
    TGIFPaletteGrid g = LayoutPaletteGrid(256, 330, 170);
    EXPECT_EQ(std::vector<int>({g.Rows, g.Columns, g.CellWidth, g.CellHeight, g.Left, g.Top}),
              std::vector<int>({16, 16, 20, 10, 5, 5}));
    g = LayoutPaletteGrid(2, 101, 50);
    EXPECT_EQ(std::vector<int>({g.Rows, g.Columns, g.CellWidth, g.CellHeight, g.Left, g.Top}),
              std::vector<int>({1, 2, 50, 50, 0, 0}));
    g = LayoutPaletteGrid(3, 100, 40);
    EXPECT_EQ(std::vector<int>({g.Rows, g.Columns, g.CellWidth, g.CellHeight, g.Left, g.Top}),
              std::vector<int>({1, 3, 33, 40, 0, 0}));
    g = LayoutPaletteGrid(5, 100, 100); // 2 rows of 3, the last cell empty
    EXPECT_EQ(std::vector<int>({g.Rows, g.Columns}), std::vector<int>({2, 3}));
    EXPECT_EQ(PaletteGridIndex(g, 5, 0, 0), 0);
    EXPECT_EQ(PaletteGridIndex(g, 5, 65, 49), 1);
    EXPECT_EQ(PaletteGridIndex(g, 5, 40, 60), 4);
    EXPECT_EQ(PaletteGridIndex(g, 5, 80, 60), -1); // past the last entry
    EXPECT_EQ(PaletteGridIndex(g, 5, 99, 0), -1);  // in the leftover margin
    EXPECT_EQ(PaletteGridIndex(LayoutPaletteGrid(256, 330, 170), 256, 4, 4), -1);
    EXPECT_EQ(PaletteGridIndex(LayoutPaletteGrid(0, 100, 100), 0, 1, 1), -1);
    EXPECT_EQ(PaletteGridIndex(LayoutPaletteGrid(4, 1, 1), 4, 0, 0), -1); // cells of 0 pixels

    auto gifp = Loaded(EveryBlockKindGif());

    TGIFImage& gif = *gifp;
    const TGIFColorMap& local = gif.Images[0]->ColorMap; // grays 0..3
    EXPECT_EQ(PaletteColorLabels(local, 3), (TGIFColorLabels{"3", "3", "3", "3", "030303"}));
    EXPECT_EQ(PaletteColorLabels(local, 4), TGIFColorLabels{});
    EXPECT_EQ(PaletteColorLabels(gif.Header.ColorMap, 1), (TGIFColorLabels{"1", "255", "255", "255", "FFFFFF"}));
    const TGIFSubImage& frame = *gif.Images[0];
    EXPECT_EQ(FrameColorLabels(frame, 1, 0), (TGIFColorLabels{"2", "2", "2", "2", "020202"}));
    EXPECT_EQ(FrameColorLabels(frame, 2, 0), TGIFColorLabels{});
    EXPECT_EQ(FrameColorLabels(frame, -1, 0), TGIFColorLabels{});
    EXPECT_EQ(FrameColorLabels(*gif.Images[1], 0, 0), TGIFColorLabels{}); // no image data
    // An index past the table shows black, as the frame is drawn.
    gif.Images[0]->Data[0] = 200;
    EXPECT_EQ(FrameColorLabels(frame, 0, 0), (TGIFColorLabels{"200", "0", "0", "0", "000000"}));
}

TEST(GIFExplorerModel, AnimationMenuAsDrawingOptions)
{
    TGIFAnimationChoice c; // the menu as the window starts
    EXPECT_EQ(GIFExplorerDrawOptions(c), unsigned(goAsync | goTransparent | goAnimate | goLoop));
    c.Threaded = false;
    EXPECT_EQ(GIFExplorerDrawOptions(c) & goAsync, 0u);
    c = TGIFAnimationChoice{false, true, true, true, false, false, true, false, false, false};
    EXPECT_EQ(GIFExplorerDrawOptions(c), unsigned(goAsync | goLoop | goLoopContinously | goClearOnLoop));
}

TEST(GIFExplorerModel, PrintedTreeAndJson)
{
    auto gifp = Loaded(EveryBlockKindGif());
    TGIFImage& gif = *gifp;
    const TGIFExplorerNode root = BuildGIFExplorerTree(gif, "all.gif");
    const std::string text = GIFExplorerText(gif, root);
    EXPECT_EQ(text.substr(0, text.find("  + Global Palette")),
              "+ all.gif\n"
              "  Filename: all.gif\n"
              "  Frames: 2\n"
              "  Global Palette: Yes\n"
              "  ColorResolution: 4 colors\n"
              "  BitsPerPixel: 2 bits\n"
              "  + Header\n"
              "    Version: gif89a\n"
              "    Width: 3\n"
              "    Height: 2\n"
              "    BackGroundColor: 1\n"
              "    AspectRatio: 0\n"
              "    BitsPerPixel: 1 bits\n");
    EXPECT_NE(text.find("    + Comment Extension\n      | hi\n      | there\n    + Text extension\n"), std::string::npos) << text;
    EXPECT_NE(text.find("      | 61 62 63 64 "), std::string::npos);

    const std::string json = GIFExplorerJson(gif, &root, "dir/all \"1\".gif", {"Premature end of data"}, "");
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
    const QJsonObject top = doc.object();
    EXPECT_EQ(top["file"].toString(), "dir/all \"1\".gif");
    EXPECT_TRUE(top["error"].isNull());
    EXPECT_EQ(top["warnings"].toArray().at(0).toString(), "Premature end of data");
    const QJsonObject tree = top["tree"].toObject();
    EXPECT_EQ(tree["text"].toString(), "all.gif");
    const QJsonObject frame = tree["children"].toArray().at(2).toObject();
    EXPECT_EQ(frame["text"].toString(), "Image 0");
    const QJsonObject gce = frame["children"].toArray().at(2).toObject();
    EXPECT_EQ(gce["image"].toInt(), 9);
    EXPECT_EQ(gce["rows"].toArray().at(0).toObject()["value"].toString(), "100 mS");
    const QJsonArray dump = frame["children"].toArray().at(5).toObject()["preview"].toArray();
    EXPECT_EQ(dump.at(3).toString().toStdString(), "61 62 63 64 " + std::string(36, ' ') + " abcd");
    // Control bytes and 8-bit text stay valid JSON.
    static_cast<TGIFCommentExtension*>(gif.Images[0]->Extensions[2].get())->Text = {std::string("a\x01\xFFz", 4)};
    const QJsonDocument odd = QJsonDocument::fromJson(QByteArray::fromStdString(GIFExplorerJson(gif, &root, "f", {}, "Bad")));
    EXPECT_EQ(odd["error"].toString(), "Bad");
    EXPECT_EQ(odd["tree"]["children"][2]["children"][3]["preview"][0].toString(), QString::fromUtf8("a\x01\xC3\xBFz"));
}

TEST(GIFExplorerModel, LoadKeepsWhatWasReadBeforeAnError)
{
    Bytes b = GifHeader(2, 1);
    Append(b, GifFrameHead(0, 0, 2, 1, 2));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {2, 3}, {5, 3}})));
    // A second frame cut off inside its image descriptor: a cut file loads with a warning.
    Bytes cut = b;
    Append(cut, {0x2C, 0, 0, 0});
    TGIFImage gif;
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const TGIFObject&, int, const std::string& text) {
        warnings.push_back(text);
        return true;
    };
    std::exception_ptr failure = GIFExplorerLoad(gif, [&] { gif.LoadFromBytes(cut); });
    EXPECT_FALSE(failure);
    EXPECT_EQ(gif.Count(), 1);
    EXPECT_EQ(warnings, std::vector<std::string>{"Premature end of data"});
    // A second frame that claims far more pixels than its data holds is an error: the
    // first frame is still shown.
    Bytes broken = b;
    Append(broken, GifFrameHead(0, 0, 1000, 1000, 2));
    broken.push_back(2);
    Append(broken, SubBlocks(PackCodes({{4, 3}, {1, 3}, {5, 3}})));
    broken.push_back(0x3B);
    failure = GIFExplorerLoad(gif, [&] { gif.LoadFromBytes(broken); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(gif.Count(), 1);
    EXPECT_FALSE(gif.KeepPartialLoad);
    try {
        std::rethrow_exception(failure);
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Image data too short for the frame size");
    }
    b.push_back(0x3B);
    // Without a header nothing is kept, not even the last document.
    failure = GIFExplorerLoad(gif, [&] { gif.LoadFromBytes({'G', 'I', 'F'}); });
    EXPECT_TRUE(failure);
    EXPECT_TRUE(gif.Empty());
    EXPECT_TRUE(gif.Header.FileVersion.empty());
    // A good file loads whole and reports nothing.
    EXPECT_FALSE(GIFExplorerLoad(gif, [&] { gif.LoadFromBytes(b); }));
    EXPECT_EQ(gif.Count(), 1);
    EXPECT_EQ(gif.Images[0]->Pixel(1, 0), 2);
}
