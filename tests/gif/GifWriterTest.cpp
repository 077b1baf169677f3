// The writer: versions, colour tables, exact LZW bytes, giflib interoperability,
// colour-table merging and the painter lock.
#include "GifTestData.h"
#include "GiflibHelpers.h"
#include "support/TestSupport.h"

#include "gif/GIFImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

struct WarningLog {
    std::vector<std::string> Texts;
    void attach(TGIFImage& gif)
    {
        gif.OnWarning = [this](const TGIFObject&, int severity, const std::string& text) {
            EXPECT_EQ(severity, gsWarning);
            Texts.push_back(text);
            return true;
        };
    }
};

} // namespace

TEST(GifWriter, VersionFollowsExtensionsAndSortedTables)
{
    TGIFImage gif;
    EXPECT_THROW(
        {
            try {
                gif.SaveToBytes();
            } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Unsupported GIF version");
                throw;
            }
        },
        GIFException);

    gif.Add(PaletteBitmap(4, 4, {clRed, clBlue}, [](int x, int) { return x & 1; }));
    std::vector<std::uint8_t> bytes = gif.SaveToBytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");

    gif.Images[0]->AddExtension<TGIFGraphicControlExtension>()->SetDelay(7);
    bytes = gif.SaveToBytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    GLFile decoded = GiflibDecode(bytes);
    EXPECT_EQ(decoded.Frames.at(0).Delay, 7);

    // A sorted local table alone makes the frame 89a too.
    gif.Images[0]->Extensions.clear();
    gif.Images[0]->ColorMap.SetSorted(true);
    bytes = gif.SaveToBytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
}

TEST(GifWriter, TablesArePaddedAndCodeSizeFollowsTheirBits)
{
    for (const auto& [colors, tableBits, codeSize] : {std::tuple{5, 3, 3}, std::tuple{2, 1, 2}, std::tuple{1, 1, 2},
                                                      std::tuple{3, 2, 2}, std::tuple{129, 8, 8}}) {
        SCOPED_TRACE(colors);
        TGIFImage gif;
        const std::vector<TColor> pal = DistinctPalette(colors);
        gif.Add(PaletteBitmap(3, 2, pal, [&](int x, int y) { return (x + y) % colors; }));
        const std::vector<std::uint8_t> b = gif.SaveToBytes();
        // Header 6 + screen 7 (no global table) + descriptor 10.
        ASSERT_EQ(b[6 + 7], 0x2C);
        const std::uint8_t packed = b[13 + 9];
        EXPECT_EQ(packed, 0x80 | (tableBits - 1));
        const std::size_t table = 13 + 10;
        const int entries = 1 << tableBits;
        for (int i = colors; i < entries; ++i)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(b[table + 3 * i + c], 0) << "padding entry " << i;
        EXPECT_EQ(b[table + 3 * entries], codeSize);
        // Colour resolution and size bits of the screen follow the largest table.
        EXPECT_EQ(b[10], ((tableBits - 1) << 4) | (tableBits - 1));
        GLFile d = GiflibDecode(b);
        ASSERT_EQ(d.Frames.size(), 1u);
        EXPECT_EQ(d.Frames[0].Pixels, gif.Images[0]->Data);
    }
}

TEST(GifWriter, OnePixelFrameHasExactBytes)
{
    TGIFImage gif;
    gif.Add(PaletteBitmap(1, 1, {clWhite, clBlack}, [](int, int) { return 0; }));
    const std::vector<std::uint8_t> expected = {
        'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x00, 0, 0,        // header, screen, no global table
        0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x80,                           // descriptor, 2-entry local table
        0xFF, 0xFF, 0xFF, 0, 0, 0,                                    // white, black
        2, 2, 0x44, 0x01, 0,                                          // code size 2; clear 4, 0, end 5
        0x3B};
    EXPECT_EQ(gif.SaveToBytes(), expected);
}

TEST(GifWriter, LongFramesClearTheTableAndDecodeWithGiflib)
{
    // Noise over 256 colours fills the string table many times; interlaced too.
    for (bool interlaced : {false, true}) {
        TGIFImage gif;
        const std::vector<std::uint8_t> px = PhotoPixels(640, 480, 256, 7);
        std::vector<std::uint8_t> noisy = px;
        unsigned s = 99;
        for (auto& p : noisy) {
            s = s * 69069u + 1;
            p = static_cast<std::uint8_t>(s >> 24);
        }
        gif.Add(PaletteBitmap(640, 480, DistinctPalette(256), [&](int x, int y) { return noisy[static_cast<std::size_t>(y) * 640 + x]; }));
        gif.Images[0]->SetInterlaced(interlaced);
        const std::vector<std::uint8_t> bytes = gif.SaveToBytes();
        GLFile d = GiflibDecode(bytes);
        ASSERT_EQ(d.Frames.size(), 1u);
        EXPECT_EQ(d.Frames[0].Interlace, interlaced);
        EXPECT_EQ(d.Frames[0].Pixels, noisy);

        TGIFImage back;
        back.LoadFromBytes(bytes);
        EXPECT_EQ(back.Images.at(0)->Data, noisy);
    }
}

TEST(GifWriter, EveryDepthTransparencyAndInterlaceDecodeWithGiflib)
{
    for (int bits = 1; bits <= 8; ++bits)
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, interlaced " << interlaced);
            const int colors = (1 << bits) - (bits > 1 ? 1 : 0); // odd counts get padded
            const std::vector<TColor> pal = DistinctPalette(colors);
            const std::vector<std::uint8_t> px = PhotoPixels(37, 23, colors, static_cast<unsigned>(bits));
            TGIFImage gif;
            gif.Add(PaletteBitmap(37, 23, pal, [&](int x, int y) { return px[static_cast<std::size_t>(y) * 37 + x]; }));
            TGIFSubImage& f = *gif.Images[0];
            f.SetInterlaced(interlaced);
            auto* gce = f.AddExtension<TGIFGraphicControlExtension>();
            gce->SetTransparent(true);
            gce->SetTransparentColorIndex(colors - 1);
            gce->SetDelay(bits * 10);
            GLFile d = GiflibDecode(gif.SaveToBytes());
            ASSERT_EQ(d.Frames.size(), 1u);
            const GLFrame& g = d.Frames[0];
            EXPECT_EQ(g.Pixels, px);
            EXPECT_EQ(g.Transparent, colors - 1);
            EXPECT_EQ(g.Delay, bits * 10);
            for (int i = 0; i < colors; ++i)
                EXPECT_EQ(GIFColorToColor(g.Colors.at(static_cast<std::size_t>(i))), pal[static_cast<std::size_t>(i)]);
        }
}

TEST(GifWriter, TrueColorBitmapsBuildTablesAndMaskTransparency)
{
    TGIFImage gif;
    gif.Reduction.Palette = rmNone;
    WarningLog log;
    log.attach(gif);
    // Bottom-left is green: every green pixel becomes transparent.
    const TBitmap bmp = BitmapFromRows({"rgbr", "gggb", "grrr"}, {{'r', clRed}, {'g', clLime}, {'b', clBlue}});
    TBitmap transparent = bmp;
    transparent.SetTransparent(true);
    gif.Add(transparent);
    EXPECT_EQ(gif.Width(), 4);
    EXPECT_EQ(gif.Height(), 3);
    EXPECT_EQ(log.Texts, (std::vector<std::string>{"Image width too small for contained frames",
                                                   "Image height too small for contained frames"}));
    const TGIFSubImage& f = *gif.Images[0];
    ASSERT_TRUE(f.Transparent());
    // Optimized by use (red 5, green 5, blue 2: ties keep table order), then black appended.
    const int t = f.TransparentIndex();
    EXPECT_EQ(t, f.ColorMap.Count() - 1);
    EXPECT_EQ(f.ColorMap.Colors().back(), (TGIFColor{0, 0, 0}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool green = bmp.Pixel(x, y) == clLime;
            EXPECT_EQ(f.Pixel(x, y) == t, green) << x << "," << y;
            if (!green) {
                EXPECT_EQ(f.ColorMap.ColorValue(f.Pixel(x, y)), bmp.Pixel(x, y));
            }
        }
    GLFile d = GiflibDecode(gif.SaveToBytes());
    EXPECT_EQ(d.Frames[0].Transparent, t);

    // A second, bigger frame grows the screen and reports that it exceeded it.
    log.Texts.clear();
    gif.Add(SolidBitmap(6, 3, clRed));
    EXPECT_EQ(gif.Width(), 6);
    EXPECT_EQ(log.Texts, (std::vector<std::string>{"Image width too small for contained frames",
                                                   "Image exceeds Logical Screen size"}));

    // No masked pixel (bottom-left colour only) is impossible, but a transparent bitmap
    // whose table is full keeps its pixels and gets no graphic control.
    TBitmap many(16, 16, TPixelFormat::pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            many.SetPixel(x, y, RGB(x * 16, y * 16, 7));
    many.SetTransparent(true);
    TGIFImage full;
    full.Reduction.Palette = rmNone;
    full.Add(many);
    EXPECT_EQ(full.Images[0]->ColorMap.Count(), 256);
    EXPECT_FALSE(full.Images[0]->Transparent());
    many.SetPixel(0, 0, RGB(1, 2, 3));
    many.SetPixel(1, 0, RGB(1, 2, 4));
    TBitmap tooMany = many;
    tooMany.SetSize(17, 16);
    tooMany.SetPixel(16, 5, RGB(9, 9, 9));
    try {
        full.Add(tooMany);
        FAIL() << "257 colours accepted";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
}

TEST(GifWriter, ColorMapOperations)
{
    TGIFImage gif;
    TGIFSubImage* f = gif.AddEmptyFrame();
    TGIFColorMap& map = f->ColorMap;
    WarningLog log;
    log.attach(gif);
    EXPECT_THROW(map.Color(0), GIFException); // empty table
    EXPECT_EQ(map.Add({1, 1, 1}), 0);
    EXPECT_EQ(map.Add({2, 2, 2}), 1);
    EXPECT_EQ(map.Add({1, 1, 1}), 2);
    EXPECT_EQ(map.Capacity(), 32);
    // Unsorted tables are searched from the end, sorted ones from the start.
    EXPECT_EQ(map.IndexOf({1, 1, 1}), 2);
    map.SetSorted(true);
    EXPECT_EQ(map.IndexOf({1, 1, 1}), 0);
    EXPECT_EQ(map.AddUnique({2, 2, 2}), 1);
    EXPECT_EQ(map.IndexOf({9, 9, 9}), -1);
    EXPECT_TRUE(map.Sorted());
    map.Add({3, 3, 3});
    EXPECT_FALSE(map.Sorted());
    EXPECT_EQ(map.Color(7), (TGIFColor{1, 1, 1}));
    EXPECT_EQ(log.Texts, std::vector<std::string>{"Invalid color index"});
    EXPECT_THROW(map.Delete(4), GIFException);
    map.Delete(0);
    EXPECT_EQ(map.Colors().front(), (TGIFColor{2, 2, 2}));
    while (map.Count() < 256)
        map.Add({4, 4, 4});
    EXPECT_EQ(map.Capacity(), 256);
    EXPECT_THROW(map.Add({5, 5, 5}), GIFException);
    EXPECT_EQ(TGIFColorMap::BitsPerPixelFor(0), 0);
    EXPECT_EQ(TGIFColorMap::BitsPerPixelFor(1), 1);
    EXPECT_EQ(TGIFColorMap::BitsPerPixelFor(5), 3);
    EXPECT_EQ(TGIFColorMap::BitsPerPixelFor(256), 8);

    // A transparent index outside the table is refused with a warning and stored as 0.
    TGIFImage g2;
    g2.Add(PaletteBitmap(2, 1, {clRed, clBlue}, [](int x, int) { return x; }));
    WarningLog log2;
    log2.attach(g2);
    auto* gce = g2.Images[0]->AddExtension<TGIFGraphicControlExtension>();
    gce->SetTransparentColorIndex(2);
    EXPECT_EQ(gce->TransparentColorIndex(), 0);
    EXPECT_EQ(log2.Texts, std::vector<std::string>{"Invalid color index"});
}

TEST(GifWriter, OptimizeKeepsTheTransparentIndexOfAFrame)
{
    // Unused entries are dropped and the graphic control follows the remapping, even
    // when no pixel shows the transparent colour.
    TGIFImage gif;
    gif.Add(PaletteBitmap(3, 1, {clRed, clBlue, clLime, clWhite}, [](int x, int) { return x == 2 ? 3 : 1; }));
    auto* gce = gif.Images[0]->AddExtension<TGIFGraphicControlExtension>();
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(2);
    gif.Images[0]->ColorMap.Optimize();
    const TGIFColorMap& map = gif.Images[0]->ColorMap;
    EXPECT_TRUE(map.Sorted());
    ASSERT_EQ(map.Count(), 3);
    EXPECT_EQ(map.ColorValue(0), clBlue);
    EXPECT_EQ(map.ColorValue(gce->TransparentColorIndex()), clLime);
    EXPECT_EQ(gce->TransparentColorIndex(), 1);
    EXPECT_EQ(gif.Images[0]->Data, (std::vector<std::uint8_t>{0, 0, 2}));
    EXPECT_EQ(map.ColorValue(2), clWhite);
}

TEST(GifWriter, OptimizeColorMapsMergesIntoOneSortedGlobalTable)
{
    TGIFImage gif;
    // Frame 0: red x5, blue x3, green x1. Frame 1: blue x4, yellow x2, transparent x3.
    gif.Add(PaletteBitmap(3, 3, {clLime, clRed, clBlue}, [](int x, int y) {
        const int i = y * 3 + x;
        return i < 5 ? 1 : i < 8 ? 2 : 0;
    }));
    gif.Add(PaletteBitmap(3, 3, {clYellow, clBlue, clGray}, [](int x, int y) {
        const int i = y * 3 + x;
        return i < 4 ? 1 : i < 6 ? 0 : 2;
    }));
    auto* gce = gif.Images[1]->AddExtension<TGIFGraphicControlExtension>();
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(2);

    struct FakePainter : TGIFPainterHandle {
        int stops = 0;
        void Stop() override { ++stops; }
    } painter;
    gif.AddPainter(&painter);
    gif.OptimizeColorMaps();
    EXPECT_EQ(painter.stops, 1);
    EXPECT_EQ(gif.PainterCount(), 0);

    // Blue 7, red 5, yellow 2, green 1, then black for transparency.
    const TGIFColorMap& global = gif.GlobalColorMap();
    EXPECT_EQ(global.Palette(), (std::vector<TColor>{clBlue, clRed, clYellow, clLime, clBlack}));
    EXPECT_TRUE(global.Sorted());
    EXPECT_EQ(gif.Images[0]->ColorMap.Count(), 0);
    EXPECT_EQ(gif.Images[1]->ColorMap.Count(), 0);
    EXPECT_EQ(gif.Images[1]->TransparentIndex(), 4);

    const std::vector<std::uint8_t> bytes = gif.SaveToBytes();
    GLFile d = GiflibDecode(bytes);
    EXPECT_TRUE(d.GlobalSorted);
    ASSERT_EQ(d.Global.size(), 8u);
    ASSERT_EQ(d.Frames.size(), 2u);
    for (const GLFrame& f : d.Frames)
        EXPECT_FALSE(f.LocalTable);
    EXPECT_EQ(d.Frames[0].Pixels, (std::vector<std::uint8_t>{1, 1, 1, 1, 1, 0, 0, 0, 3}));
    EXPECT_EQ(d.Frames[1].Pixels, (std::vector<std::uint8_t>{0, 0, 0, 0, 2, 2, 4, 4, 4}));
    EXPECT_EQ(d.Frames[1].Transparent, 4);
}

TEST(GifWriter, OptimizeColorMapsFoldsColoursPastTheLimit)
{
    // 300 distinct colours over two frames: the 44 rarest go to the nearest kept colour.
    TGIFImage gif;
    std::vector<TColor> a, b;
    for (int i = 0; i < 150; ++i) {
        a.push_back(RGB(i, 0, 0));
        b.push_back(RGB(0, i + 1, 200));
    }
    gif.Add(PaletteBitmap(150, 2, a, [](int x, int y) { return y == 0 || x < 100 ? x : 0; }));
    gif.Add(PaletteBitmap(150, 1, b, [](int x, int) { return x; }));
    gif.OptimizeColorMaps();
    // Kept: the 100 colours used twice, then by RGB order all of frame 1 and red 100..105.
    ASSERT_EQ(gif.GlobalColorMap().Count(), 256);
    const TBitmap f0 = gif.Images[0]->Bitmap();
    const TBitmap f1 = gif.Images[1]->Bitmap();
    for (int x = 0; x < 150; ++x) {
        EXPECT_EQ(f1.Palette()[f1.ScanLine(0)[x]], RGB(0, x + 1, 200)) << x;
        EXPECT_EQ(f0.Palette()[f0.ScanLine(0)[x]], x <= 105 ? RGB(x, 0, 0) : RGB(105, 0, 0)) << x;
    }
}

TEST(GifWriter, OptimizeColorMapsFoldsBySquaredRgbDistanceNotChannelSum)
{
    // Frame 0 fills the table: blue and (240, 20, 0) twice each, then 254 greens (0, i, 0).
    // Frame 1 adds pure red once, the rarest colour, so it is folded. Blue has red's
    // channel sum exactly; (240, 20, 0) is red's near neighbour and must take it.
    std::vector<TColor> table{RGB(0, 0, 255), RGB(240, 20, 0)};
    for (int i = 0; i < 254; ++i)
        table.push_back(RGB(0, i, 0));
    TGIFImage gif;
    gif.Add(PaletteBitmap(32, 16, table, [](int x, int y) { return (y * 32 + x) / 2; }));
    gif.Add(PaletteBitmap(2, 1, {RGB(255, 0, 0), RGB(0, 7, 0)}, [](int x, int) { return x; }));
    gif.OptimizeColorMaps();
    ASSERT_EQ(gif.GlobalColorMap().Count(), 256);
    const TBitmap folded = gif.Images[1]->Bitmap();
    EXPECT_EQ(folded.Pixel(0, 0), RGB(240, 20, 0));
    EXPECT_EQ(folded.Pixel(1, 0), RGB(0, 7, 0)); // a kept colour keeps itself
    const TBitmap kept = gif.Images[0]->Bitmap();
    EXPECT_EQ(kept.Pixel(0, 0), RGB(0, 0, 255));
}

TEST(GifWriter, SaveToFileIsAtomic)
{
    TempDir dir;
    TGIFImage gif;
    gif.Add(PaletteBitmap(2, 2, {clRed, clBlue}, [](int x, int) { return x; }));
    const std::string path = dir.file("a.gif");
    gif.SaveToFile(path);
    EXPECT_EQ(ReadTestFile(path), gif.SaveToBytes());
    // An empty document cannot be saved and leaves the old file alone.
    TGIFImage empty;
    EXPECT_THROW(empty.SaveToFile(path), GIFException);
    EXPECT_EQ(ReadTestFile(path), gif.SaveToBytes());
}

TEST(GifWriter, ClearCodeComesWhenTheNextCodeWouldPass4094)
{
    // Walk the codes of a noisy 8-bit frame the way a decoder sizes them.
    TGIFImage gif;
    std::vector<std::uint8_t> noise(200 * 200);
    unsigned s = 5;
    for (auto& p : noise) {
        s = s * 69069u + 1;
        p = static_cast<std::uint8_t>(s >> 24);
    }
    gif.Add(PaletteBitmap(200, 200, DistinctPalette(256), [&](int x, int y) { return noise[static_cast<std::size_t>(y) * 200 + x]; }));
    const std::vector<std::uint8_t> file = gif.SaveToBytes();
    const std::size_t start = 13 + 10 + 256 * 3;
    ASSERT_EQ(file[start], 8);
    std::vector<std::uint8_t> data;
    for (std::size_t p = start + 1; file[p] != 0; p += file[p] + 1)
        data.insert(data.end(), file.begin() + static_cast<std::ptrdiff_t>(p + 1), file.begin() + static_cast<std::ptrdiff_t>(p + 1 + file[p]));
    std::size_t bit = 0;
    int width = 9, freeCode = 258, clears = 0, codesSinceClear = 0;
    std::vector<int> freeAtClear;
    for (;;) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == 256) {
            ++clears;
            freeAtClear.push_back(freeCode);
            width = 9;
            freeCode = 258;
            codesSinceClear = 0;
            continue;
        }
        if (code == 257)
            break;
        if (codesSinceClear++ > 0 && freeCode < 4096 && ++freeCode == (1 << width) && width < 12)
            ++width;
    }
    ASSERT_GE(clears, 3); // the leading clear and at least two table resets
    EXPECT_EQ(freeAtClear[0], 258);
    for (std::size_t i = 1; i < freeAtClear.size(); ++i)
        EXPECT_EQ(freeAtClear[i], 4095) << i;
}
