// The reader: files written by giflib, ImageMagick and gifsicle; every extension kind;
// truncated and malformed data.
#include "GifBytes.h"
#include "GifTestData.h"
#include "GiflibHelpers.h"
#include "support/TestSupport.h"

#include "gif/GIFClipboard.h"
#include "gif/GIFImage.h"
#include "gif/GIFInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct Loaded {
    std::vector<std::string> Warnings;
    std::unique_ptr<TGIFImage> Gif = std::make_unique<TGIFImage>();
};

Loaded load(const Bytes& bytes)
{
    Loaded l;
    l.Gif->OnWarning = [w = &l.Warnings](const TGIFObject&, int, const std::string& t) {
        w->push_back(t);
        return true;
    };
    l.Gif->LoadFromBytes(bytes);
    return l;
}

std::string loadError(const Bytes& bytes)
{
    TGIFImage gif;
    try {
        gif.LoadFromBytes(bytes);
    } catch (const GIFException& e) {
        EXPECT_TRUE(gif.Empty());
        return e.what();
    }
    return "";
}

bool contains(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

// Our pixels and colours against giflib's reading of the same bytes.
void expectSameAsGiflib(const Bytes& bytes)
{
    const GLFile ref = GiflibDecode(bytes);
    Loaded ours = load(bytes);
    const TGIFImage& gif = *ours.Gif;
    EXPECT_EQ(gif.Width(), ref.Width);
    EXPECT_EQ(gif.Height(), ref.Height);
    std::vector<const TGIFSubImage*> frames;
    for (const auto& f : gif.Images)
        if (!f->Empty())
            frames.push_back(f.get());
    ASSERT_EQ(frames.size(), ref.Frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const TGIFSubImage& f = *frames[i];
        const GLFrame& r = ref.Frames[i];
        EXPECT_EQ(f.Left, r.Left);
        EXPECT_EQ(f.Top, r.Top);
        EXPECT_EQ(f.Width(), r.Width);
        EXPECT_EQ(f.Height(), r.Height);
        EXPECT_EQ(f.Interlaced(), r.Interlace);
        EXPECT_EQ(f.Data, r.Pixels);
        EXPECT_EQ(f.ActiveColorMap().Colors(), r.Colors);
        EXPECT_EQ(f.TransparentIndex(), r.Transparent);
        EXPECT_EQ(f.Delay(), r.Delay);
    }
}

} // namespace

TEST(GifReader, FilesWrittenByGiflibLoadWithTheSamePixels)
{
    GLFile file;
    file.Width = 50;
    file.Height = 40;
    file.Global = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int i = 0; i < 4; ++i) {
        GLFrame f;
        f.Left = i * 3;
        f.Top = i * 2;
        f.Width = 50 - i * 3;
        f.Height = 40 - i * 2;
        f.Interlace = i % 2 == 1;
        f.LocalTable = i >= 2;
        const int colors = f.LocalTable ? 200 : 4;
        if (f.LocalTable)
            for (int c = 0; c < colors; ++c)
                f.Colors.push_back({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c / 2), 9});
        f.Pixels = PhotoPixels(f.Width, f.Height, colors, static_cast<unsigned>(i + 3));
        f.Transparent = i == 1 ? 2 : -1;
        f.Delay = 5 * i;
        f.Disposal = i % 4;
        file.Frames.push_back(f);
    }
    expectSameAsGiflib(GiflibEncode(file));
}

TEST(GifReader, FilesWrittenByImageMagickAndGifsicleLoadAsGiflibReadsThem)
{
    const bool haveConvert = std::filesystem::exists("/usr/bin/convert");
    const bool haveGifsicle = std::filesystem::exists("/usr/bin/gifsicle");
    if (!haveConvert && !haveGifsicle)
        GTEST_SKIP() << "neither ImageMagick nor gifsicle in /usr/bin";
    TempDir dir;
    std::vector<std::string> files;
    if (haveConvert) {
        const std::string a = dir.file("im-gradient.gif"), b = dir.file("im-anim.gif");
        ASSERT_EQ(std::system(("/usr/bin/convert -size 64x48 gradient:red-blue -colors 100 " + a + " 2>/dev/null").c_str()), 0);
        ASSERT_EQ(std::system(("/usr/bin/convert -delay 20 -size 30x20 xc:red xc:lime plasma:fractal -loop 0 -interlace GIF "
                               + b + " 2>/dev/null").c_str()), 0);
        files.push_back(a);
        files.push_back(b);
    }
    if (haveGifsicle) {
        GLFile src;
        src.Width = 33;
        src.Height = 17;
        GLFrame f;
        f.Width = 33;
        f.Height = 17;
        f.LocalTable = true;
        f.Colors = {{1, 2, 3}, {40, 50, 60}, {200, 100, 0}, {9, 9, 9}, {255, 255, 255}};
        f.Pixels = PhotoPixels(33, 17, 5, 11);
        src.Frames = {f, f};
        src.Frames[1].Pixels = PhotoPixels(33, 17, 5, 12);
        const std::string in = dir.file("giflib.gif"), out = dir.file("gifsicle.gif");
        WriteTestFile(in, GiflibEncode(src));
        ASSERT_EQ(std::system(("/usr/bin/gifsicle --interlace -O2 --loopcount=3 " + in + " -o " + out).c_str()), 0);
        files.push_back(out);
    }
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        expectSameAsGiflib(ReadTestFile(path));
    }
}

TEST(GifReader, SignatureVariantsAndEveryExtensionRoundTrip)
{
    TGIFImage gif;
    gif.Add(PaletteBitmap(5, 3, {clRed, clBlue, clLime}, [](int x, int y) { return (x + y) % 3; }));
    TGIFSubImage& f = *gif.Images[0];
    auto* loop = f.AddExtension<TGIFAppExtNSLoop>();
    loop->SetLoops(7);
    loop->SetBufferSize(0x01020304);
    auto* gce = f.AddExtension<TGIFGraphicControlExtension>();
    gce->SetDelay(300);
    gce->SetDisposal(2);
    gce->SetUserInput(true);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(1);
    auto* comment = f.AddExtension<TGIFCommentExtension>();
    comment->Text = {"hello", std::string(300, 'x')};
    auto* text = f.AddExtension<TGIFTextExtension>();
    text->Block = {12, 1, 0, 2, 0, 40, 0, 10, 0, 8, 10, 1, 0};
    text->Text = {"plain"};
    auto* app = f.AddExtension<TGIFUnknownAppExtension>();
    app->SetIdentification("XMP DataXMP");
    const Bytes small = {1, 2, 3}, full(255, 7);
    app->Blocks.Append(small.data(), small.size());
    app->Blocks.Append(full.data(), full.size());
    const Bytes bytes = gif.SaveToBytes();

    Bytes prefixed = {'J', 'U', 'N', 'K'};
    Append(prefixed, bytes);
    Bytes lower = bytes;
    lower[0] = 'g';
    lower[1] = 'i';
    lower[2] = 'f';
    for (const Bytes& variant : {bytes, prefixed, lower}) {
        Loaded l = load(variant);
        EXPECT_TRUE(l.Warnings.empty());
        ASSERT_EQ(l.Gif->Count(), 1);
        const TGIFSubImage& g = *l.Gif->Images[0];
        EXPECT_EQ(g.Data, f.Data);
        ASSERT_EQ(g.Extensions.size(), 5u);
        const auto* l2 = dynamic_cast<const TGIFAppExtNSLoop*>(g.Extensions[0].get());
        ASSERT_TRUE(l2);
        EXPECT_EQ(l2->Loops(), 7);
        EXPECT_EQ(l2->BufferSize(), 0x01020304u);
        const auto* g2 = g.GraphicControlExtension();
        EXPECT_EQ(g2->Delay(), 300);
        EXPECT_EQ(g2->Disposal(), 2);
        EXPECT_TRUE(g2->UserInput());
        EXPECT_EQ(g.TransparentIndex(), 1);
        // Each data sub-block reads back as one line: the long line comes back in two.
        const auto* c2 = dynamic_cast<const TGIFCommentExtension*>(g.Extensions[2].get());
        ASSERT_TRUE(c2);
        EXPECT_EQ(c2->Text.Lines(), (std::vector<std::string>{"hello", std::string(255, 'x'), std::string(45, 'x')}));
        const auto* t2 = dynamic_cast<const TGIFTextExtension*>(g.Extensions[3].get());
        ASSERT_TRUE(t2);
        EXPECT_EQ(t2->Block, text->Block);
        EXPECT_EQ(t2->GridWidth(), 40);
        EXPECT_EQ(t2->Text, text->Text);
        const auto* a2 = dynamic_cast<const TGIFUnknownAppExtension*>(g.Extensions[4].get());
        ASSERT_TRUE(a2);
        EXPECT_EQ(a2->Identifier(), "XMP Data");
        EXPECT_EQ(a2->Authentication(), "XMP");
        EXPECT_EQ(a2->Blocks, app->Blocks);
        EXPECT_EQ(l.Gif->SaveToBytes(), bytes);
    }
    // giflib agrees on the frame and its graphic control.
    expectSameAsGiflib(bytes);

    // "ANIMEXTS1.0" is a loop extension too.
    Bytes anim = bytes;
    const auto pos = std::search(anim.begin(), anim.end(), std::begin("NETSCAPE2.0"), std::end("NETSCAPE2.0") - 1);
    std::copy_n("ANIMEXTS1.0", 11, pos);
    Loaded l = load(anim);
    EXPECT_TRUE(dynamic_cast<const TGIFAppExtNSLoop*>(l.Gif->Images[0]->Extensions[0].get()));

    // The identifier decides, whatever the block size: a longer block is still the loop
    // extension (and is written back as one).
    Bytes longer = GifHeader(1, 1);
    Append(longer, {0x21, 0xFF, 13, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 9, 9, 3, 1, 4, 0, 0});
    Append(longer, GifFrameHead(0, 0, 1, 1, 1));
    longer.push_back(2);
    Append(longer, SubBlocks(PackCodes({{4, 3}, {1, 3}, {5, 3}})));
    longer.push_back(0x3B);
    Loaded m = load(longer);
    const auto* loopExt = dynamic_cast<const TGIFAppExtNSLoop*>(m.Gif->Images[0]->Extensions.at(0).get());
    ASSERT_TRUE(loopExt);
    EXPECT_EQ(loopExt->Loops(), 4);
    EXPECT_EQ(load(m.Gif->SaveToBytes()).Gif->Images[0]->Data, (std::vector<std::uint8_t>{1}));
}

TEST(GifReader, TruncatedDataKeepsTheFillValueAndWarns)
{
    TGIFImage gif;
    const std::vector<std::uint8_t> px = PhotoPixels(60, 40, 16, 5);
    gif.Add(PaletteBitmap(60, 40, DistinctPalette(16), [&](int x, int y) { return px[static_cast<std::size_t>(y) * 60 + x]; }));
    gif.Add(PaletteBitmap(60, 40, DistinctPalette(16), [&](int x, int y) { return px[static_cast<std::size_t>(y) * 60 + x]; }));
    auto* gce = gif.Images[1]->AddExtension<TGIFGraphicControlExtension>();
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(9);
    Bytes bytes = gif.SaveToBytes();
    // Cut the last frame's data in half.
    const std::size_t end = bytes.size();
    const std::size_t firstEnd = end - (end - 13) / 2;
    bytes.resize(firstEnd + (end - firstEnd) / 2);
    Loaded l = load(bytes);
    ASSERT_EQ(l.Gif->Count(), 2);
    EXPECT_EQ(l.Gif->Images[0]->Data, px);
    EXPECT_TRUE(contains(l.Warnings, "Premature end of data") || contains(l.Warnings, "Decoder bit buffer under-run"));
    const std::vector<std::uint8_t>& d = l.Gif->Images[1]->Data;
    ASSERT_EQ(d.size(), px.size());
    EXPECT_EQ(d.back(), 9);
    std::size_t same = 0;
    while (same < d.size() && d[same] == px[same])
        ++same;
    EXPECT_GT(same, 100u);
    for (std::size_t i = same + 1; i < d.size(); ++i)
        ASSERT_EQ(d[i], 9) << i;
}

TEST(GifReader, LzwEdgeCases)
{
    // Codes past the table take the previous string plus its first pixel.
    {
        Bytes b = GifHeader(4, 1);
        Append(b, GifFrameHead(0, 0, 4, 1, 2));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}})));
        b.push_back(0x3B);
        Loaded l = load(b);
        EXPECT_EQ(l.Gif->Images[0]->Data, (std::vector<std::uint8_t>{1, 1, 1, 0}));
        EXPECT_TRUE(l.Warnings.empty());
    }
    // No end code: the data simply runs out.
    {
        // Clear, 3, 2 and two codes 0 from the padding bits of the last byte.
        Bytes b = GifHeader(8, 1);
        Append(b, GifFrameHead(0, 0, 8, 1, 2));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {3, 3}, {2, 3}})));
        b.push_back(0x3B);
        Loaded l = load(b);
        EXPECT_EQ(l.Gif->Images[0]->Data, (std::vector<std::uint8_t>{3, 2, 0, 0, 0, 0, 0, 0}));
        EXPECT_TRUE(contains(l.Warnings, "Decoder bit buffer under-run"));
    }
    // A stale entry that ends up pointing at itself through a chain.
    {
        std::vector<std::pair<int, int>> codes = {{256, 9}, {0, 9}};
        for (int c = 258; c <= 270; ++c)
            codes.push_back({c, 9});
        for (int c : {256, 0, 270, 259, 259, 257})
            codes.push_back({c, 9});
        Bytes b = GifHeader(16, 16);
        Append(b, GifFrameHead(0, 0, 16, 16, 8));
        b.push_back(8);
        Append(b, SubBlocks(PackCodes(codes)));
        Append(b, Bytes(200, 0)); // zeros between blocks are skipped
        b.push_back(0x3B);
        EXPECT_EQ(loadError(b), "Circular decoder table entry");
    }
    // Code size outside what a byte per pixel can hold.
    {
        Bytes b = GifHeader(2, 2);
        Append(b, GifFrameHead(0, 0, 2, 2, 1));
        b.push_back(12);
        Append(b, SubBlocks({0, 0, 0}));
        b.push_back(0x3B);
        EXPECT_EQ(loadError(b), "Invalid LZW code size");
    }
}

TEST(GifReader, MalformedFilesGiveClearErrors)
{
    EXPECT_EQ(loadError({}), "Invalid GIF signature");
    EXPECT_EQ(loadError({'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0}), "Invalid GIF signature");
    EXPECT_EQ(loadError({'G', 'I', 'F', '8', '9', 'a', 1, 0}), "Premature end of data");
    // Global table flag set, table missing.
    EXPECT_EQ(loadError({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x87, 0, 0, 1, 2}), "Premature end of data");

    // A 65535 x 65535 frame with a few bytes of data: refused before allocating.
    {
        Bytes b = GifHeader(10, 10);
        Append(b, GifFrameHead(0, 0, 65535, 65535, 1));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {0, 3}, {5, 3}})));
        b.push_back(0x3B);
        const std::string e = loadError(b);
        EXPECT_NE(e.find("too large"), std::string::npos) << e;
    }
    // A screen past the bitmap limit, even with a small frame.
    {
        Bytes b = GifHeader(65535, 65535);
        Append(b, GifFrameHead(0, 0, 1, 1, 1));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {0, 3}, {5, 3}})));
        b.push_back(0x3B);
        EXPECT_EQ(loadError(b), "GIF image too large");
    }
    // 16000 x 16000 fits the bitmap limit but not what 10 bytes can decode to.
    {
        Bytes b = GifHeader(16000, 16000);
        Append(b, GifFrameHead(0, 0, 16000, 16000, 1));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {0, 3}, {5, 3}})));
        b.push_back(0x3B);
        EXPECT_EQ(loadError(b), "Image data too short for the frame size");
    }
    // A 0 x 0 frame on a 0 x 0 screen.
    {
        Bytes b = GifHeader(0, 0);
        Append(b, GifFrameHead(0, 0, 0, 0, 1));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {5, 3}})));
        b.push_back(0x3B);
        EXPECT_EQ(loadError(b), "Invalid image size");
    }
    // 0 x 0 on a real screen takes the screen size, with a warning.
    {
        Bytes b = GifHeader(2, 1);
        Append(b, GifFrameHead(0, 0, 0, 0, 1));
        b.push_back(2);
        Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {1, 3}, {5, 3}})));
        b.push_back(0x3B);
        Loaded l = load(b);
        EXPECT_EQ(l.Gif->Images[0]->Width(), 2);
        EXPECT_EQ(l.Gif->Images[0]->Data, (std::vector<std::uint8_t>{1, 1}));
        EXPECT_TRUE(contains(l.Warnings, "Image exceeds Logical Screen size"));
    }
    // Sub-block lengths past the end of the file.
    {
        Bytes b = GifHeader(4, 1);
        Append(b, GifFrameHead(0, 0, 4, 1, 2));
        b.push_back(2);
        const Bytes data = PackCodes({{4, 3}, {2, 3}, {3, 3}});
        b.push_back(200);
        Append(b, data);
        Loaded l = load(b);
        EXPECT_EQ(l.Gif->Images[0]->Data, (std::vector<std::uint8_t>{2, 3, 0, 0}));
        EXPECT_TRUE(contains(l.Warnings, "Premature end of data"));
        Bytes c = GifHeader(4, 1);
        Append(c, {0x21, 0xFE, 90, 'a', 'b'});
        Loaded m = load(c);
        EXPECT_TRUE(contains(m.Warnings, "Premature end of data"));
    }
    // Application extensions with a bad block size or a short loop block.
    {
        Bytes b = GifHeader(1, 1);
        Append(b, {0x21, 0xFF, 5, 1, 2, 3, 4, 5, 0, 0x3B});
        EXPECT_EQ(loadError(b), "Unsupported Application Extension block size");
        Bytes c = GifHeader(1, 1);
        Append(c, {0x21, 0xFF, 11});
        Append(c, Bytes{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 0, 0, 0x3B});
        EXPECT_EQ(loadError(c), "Invalid GIF data");
    }
}

TEST(GifReader, UnknownBlocksAndWarningAbort)
{
    // An unknown extension label is kept and written back; giflib reads it too.
    Bytes b = GifHeader(2, 1);
    Append(b, {0x21, 0xF2, 3, 'a', 'b', 'c', 0});
    Append(b, GifFrameHead(0, 0, 2, 1, 1));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {0, 3}, {5, 3}})));
    b.push_back(0x3B);
    Loaded l = load(b);
    EXPECT_EQ(l.Warnings, std::vector<std::string>{"Unknown extension type"});
    const auto* unknown = dynamic_cast<const TGIFUnknownExtension*>(l.Gif->Images[0]->Extensions.at(0).get());
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->ExtensionType(), 0xF2);
    EXPECT_EQ(unknown->Blocks.Lines(), std::vector<std::string>{"abc"});
    const Bytes again = l.Gif->SaveToBytes();
    expectSameAsGiflib(again);
    EXPECT_NE(std::search(again.begin(), again.end(), b.begin() + 13, b.begin() + 20), again.end());

    // An unknown block type ends the frames; a wrong trailer byte only warns.
    Bytes c = b;
    c.back() = 0x77;
    Loaded m = load(c);
    EXPECT_EQ(m.Gif->Count(), 1);
    EXPECT_TRUE(contains(m.Warnings, "Unknown GIF block type"));
    EXPECT_TRUE(contains(m.Warnings, "Invalid Image trailer"));

    // A warning answered with "stop" aborts the load and leaves the document empty.
    TGIFImage gif;
    gif.Add(SolidBitmap(3, 3, clRed));
    gif.OnWarning = [](const TGIFObject& sender, int severity, const std::string& text) {
        EXPECT_STREQ(sender.ClassName(), "TGIFSubImage");
        EXPECT_EQ(severity, gsWarning);
        EXPECT_EQ(text, "Unknown extension type");
        return false;
    };
    TGIFReader reader(b);
    try {
        gif.LoadFromStream(reader);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "GIF Aborted");
    }
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(reader.Position(), 0u);
}

TEST(GifReader, FramesAsBitmapsAndClipboardBytes)
{
    TGIFImage gif;
    gif.Add(PaletteBitmap(4, 3, {clRed, clBlue, clLime}, [](int x, int y) { return (x + y) % 3; }));
    gif.Add(PaletteBitmap(2, 2, {clYellow, clBlack}, [](int x, int) { return x; }));
    gif.Images[1]->Left = 1;
    gif.Images[1]->Top = 1;
    auto* gce = gif.Images[1]->AddExtension<TGIFGraphicControlExtension>();
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(1);

    const Bytes clip = GIFClipboardData(gif);
    EXPECT_EQ(clip, gif.SaveToBytes());
    TGIFImage pasted;
    LoadGIFClipboardData(pasted, kGIFClipboardFormat, clip);
    ASSERT_EQ(pasted.Count(), 2);
    try {
        LoadGIFClipboardData(pasted, "image/png", clip);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Unsupported clipboard format");
    }

    const TBitmap& b1 = pasted.Images[1]->Bitmap();
    EXPECT_EQ(b1.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(b1.Width(), 2);
    EXPECT_TRUE(b1.Transparent());
    EXPECT_EQ(b1.Pixel(0, 1), clYellow);
    EXPECT_EQ(pasted.Images[1]->Mask(), (std::vector<std::uint8_t>{0, 1, 0, 1}));
    // The first frame covers the screen: the document's bitmap is that frame.
    const TBitmap doc = pasted.Bitmap();
    EXPECT_EQ(doc.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(doc.Pixel(1, 0), clBlue);
    // A first frame smaller than the screen is drawn onto a white screen-sized bitmap.
    TGIFImage small;
    small.Add(*pasted.Images[1]);
    small.Header.Width = 4;
    small.Header.Height = 3;
    const TBitmap composed = small.Bitmap();
    EXPECT_EQ(RowsFromBitmap(composed, {{'w', clWhite}, {'y', clYellow}}),
              (std::vector<std::string>{"wwww", "wyww", "wyww"}));
}

// A file cut anywhere after its header loads: the frames complete before the cut are
// kept as they were, the cut is reported once, and a longer cut never gives fewer frames.
TEST(GifReader, EveryCutKeepsTheFramesBeforeIt)
{
    TGIFImage gif;
    const std::vector<std::uint8_t> px = PhotoPixels(20, 10, 8, 3);
    const auto photo = [&](int x, int y) { return px[static_cast<std::size_t>(y) * 20 + x]; };
    gif.Add(PaletteBitmap(20, 10, DistinctPalette(8), photo));
    gif.Images[0]->AddExtension<TGIFAppExtNSLoop>()->SetLoops(3);
    gif.Images[0]->AddExtension<TGIFGraphicControlExtension>()->SetDelay(5);
    gif.Add(PaletteBitmap(20, 10, DistinctPalette(8), [&](int x, int y) { return photo(19 - x, y); }));
    gif.Images[1]->AddExtension<TGIFCommentExtension>()->Text = {"second"};
    // Large and flat: its data is far smaller than its pixels, so a short cut cannot fill it.
    gif.Add(PaletteBitmap(300, 300, DistinctPalette(4), [](int x, int) { return x < 150 ? 1 : 2; }));
    const Bytes full = gif.SaveToBytes();
    const Loaded whole = load(full);
    ASSERT_EQ(whole.Gif->Count(), 3);
    EXPECT_TRUE(whole.Warnings.empty());
    EXPECT_FALSE(whole.Gif->MissingTrailer());

    const std::size_t header = 13 + (full[10] & 0x80 ? 3u << ((full[10] & 7) + 1) : 0u);
    int lastCount = 0, lastPictures = 0;
    for (std::size_t cut = header; cut < full.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Loaded l = load(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
        const TGIFImage& g = *l.Gif;
        int pictures = 0;
        for (int i = 0; i < g.Count(); ++i) {
            const TGIFSubImage& f = *g.Images[static_cast<std::size_t>(i)];
            if (f.Empty())
                continue;
            ++pictures;
            EXPECT_EQ(f.Width(), whole.Gif->Images[static_cast<std::size_t>(i)]->Width());
            if (i + 1 < g.Count())
                EXPECT_EQ(f.Data, whole.Gif->Images[static_cast<std::size_t>(i)]->Data);
        }
        EXPECT_GE(g.Count(), lastCount);
        EXPECT_GE(pictures, lastPictures);
        lastCount = g.Count();
        lastPictures = pictures;
        EXPECT_EQ(std::count(l.Warnings.begin(), l.Warnings.end(), "Premature end of data"), 1);
        EXPECT_TRUE(g.MissingTrailer());
    }
    // Cut in the last frame's data: the two before it are whole.
    EXPECT_EQ(lastCount, 3);
    EXPECT_EQ(lastPictures, 3);
    const Bytes head = {0x2C, 0, 0, 0, 0, 0x2C, 0x01, 0x2C, 0x01};
    const auto third = std::search(full.begin(), full.end(), head.begin(), head.end());
    ASSERT_NE(third, full.end());
    // Descriptor, local table of 4 colours, code size, 100 bytes of data.
    const Loaded cutEarly = load(Bytes(full.begin(), third + 10 + 12 + 1 + 100));
    // Too little of the large frame is there to fill it, and it has no extensions to keep.
    ASSERT_EQ(cutEarly.Gif->Count(), 2);
    EXPECT_EQ(cutEarly.Gif->Images[1]->Data, whole.Gif->Images[1]->Data);
    EXPECT_TRUE(GIFBlockTreeText(*cutEarly.Gif).ends_with("\nNo trailer\n"));
}

// Extensions of tiny sub-blocks cost their size in the file, not a buffer per block, and
// are written back byte for byte.
TEST(GifReader, ExtensionsOfTinySubBlocksStayCompact)
{
    Bytes b = GifHeader(1, 1);
    const int blocks = 200000;
    Append(b, {0x21, 0xFE});
    for (int i = 0; i < blocks; ++i)
        Append(b, {1, static_cast<std::uint8_t>('a' + i % 26)});
    b.push_back(0);
    Append(b, {0x21, 0xF7});
    for (int i = 0; i < blocks; ++i)
        Append(b, {1, 7});
    b.push_back(0);
    Append(b, GifFrameHead(0, 0, 1, 1, 1));
    b.push_back(2);
    Append(b, SubBlocks(PackCodes({{4, 3}, {1, 3}, {5, 3}})));
    b.push_back(0x3B);
    const Loaded l = load(b);
    ASSERT_EQ(l.Gif->Count(), 1);
    const auto& exts = l.Gif->Images[0]->Extensions;
    const auto* comment = dynamic_cast<const TGIFCommentExtension*>(exts.at(0).get());
    const auto* unknown = dynamic_cast<const TGIFUnknownExtension*>(exts.at(1).get());
    ASSERT_TRUE(comment && unknown);
    EXPECT_EQ(comment->Text.Count(), static_cast<std::size_t>(blocks));
    EXPECT_EQ(comment->Text.Raw().capacity(), 2u * blocks);
    EXPECT_EQ(comment->Text.Joined().substr(0, 4), "abcd");
    EXPECT_EQ(unknown->Blocks.Count(), static_cast<std::size_t>(blocks));
    EXPECT_EQ(l.Gif->SaveToBytes(), b);
}

// Decoded frames hold their bytes against the memory budget.
TEST(GifReader, DecodedFramesCountAgainstTheMemoryBudget)
{
    TGIFImage gif;
    gif.Add(PaletteBitmap(400, 300, DistinctPalette(4), [](int x, int y) { return (x / 50 + y / 50) % 4; }));
    const Bytes bytes = gif.SaveToBytes();
    gif.Clear();
    MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 100000);
    TGIFImage again;
    try {
        again.LoadFromBytes(bytes);
        FAIL() << "not refused";
    } catch (const EOutOfMemory& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Not enough memory: a 400 x 300 GIF frame needs 117 KB", 0), 0u) << e.what();
    }
    EXPECT_TRUE(again.Empty());
}
