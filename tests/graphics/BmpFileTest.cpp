#include "ImageFileHelpers.h"

#include "graphics/BmpFile.h"
#include "graphics/Exception.h"

#include "support/TestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend = {
    {'k', clBlack}, {'w', clWhite}, {'r', clRed}, {'g', clLime}, {'b', clBlue}, {'y', clYellow}, {'.', RGB(1, 2, 3)}};

TBitmap read(const Bytes& file)
{
    return ReadBmp(file.data(), file.size());
}

std::vector<std::string> rows(const TBitmap& b)
{
    return RowsFromBitmap(b, kLegend);
}

// A picture with a different colour in every pixel.
TBitmap pattern(int w, int h)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB(x * 40 + 1, y * 50 + 2, (x + y) * 7 + 3));
    return b;
}

} // namespace

TEST(BmpFile, RoundTripsBothFormatsWithRowPadding)
{
    TempDir dir;
    for (int w : {1, 2, 3, 5, 6}) {
        // 24 bits: read back by us and by Qt's independent decoder.
        TBitmap b = pattern(w, 3);
        const Bytes file = EncodeBmp(b);
        const std::size_t stride = (w * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + stride * 3) << w;
        for (std::size_t i = w * 3; i < stride; ++i)
            EXPECT_EQ(file[54 + i], 0) << "row padding is written as zeros";
        EXPECT_TRUE(read(file) == b) << w;
        QImage q = QImage::fromData(file.data(), static_cast<int>(file.size()), "BMP");
        ASSERT_FALSE(q.isNull());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(q.pixel(x, y) & 0xFFFFFF, (unsigned)((GetRValue(b.Pixel(x, y)) << 16) | (GetGValue(b.Pixel(x, y)) << 8) | GetBValue(b.Pixel(x, y))));

        // 8 bits with a palette: indices and palette come back as they were.
        TBitmap p(w, 2, TPixelFormat::pf8bit);
        p.SetPalette({clRed, clLime, clBlue});
        for (int x = 0; x < w; ++x)
            p.ScanLine(0)[x] = static_cast<std::uint8_t>(x % 3), p.ScanLine(1)[x] = static_cast<std::uint8_t>((x + 1) % 3);
        const std::string path = dir.file("p.bmp");
        SaveBmpFile(p, path);
        const TBitmap back = LoadBmpFile(path);
        ASSERT_EQ(back.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(back.Palette(), p.Palette());
        EXPECT_TRUE(back == p);
        EXPECT_EQ(QImage(QString::fromStdString(path)).pixel(w - 1, 1) & 0xFFFFFF,
                  (unsigned)(((w % 3) == 0 ? 0xFF0000 : (w % 3) == 1 ? 0x00FF00 : 0x0000FF)));
    }
    // An index beyond the palette still gets a colour-table entry (black).
    TBitmap p(2, 1, TPixelFormat::pf8bit);
    p.SetPalette({clWhite});
    p.ScanLine(0)[1] = 3;
    const TBitmap back = read(EncodeBmp(p));
    EXPECT_EQ(back.Palette().size(), 4u);
    EXPECT_EQ(rows(back), (std::vector<std::string>{"wk"}));
    EXPECT_THROW(EncodeBmp(TBitmap()), EInvalidGraphic);
    EXPECT_THROW(SaveBmpFile(p, dir.file("missing/x.bmp")), Exception);
}

TEST(BmpFile, ReadsPaletteDepthsAndRowOrders)
{
    // 1 bit, 3 x 2, bottom-up: the file's first row is the picture's bottom row.
    Bytes dib = InfoHeader(3, 2, 1);
    Bytes pal = PaletteBytes({clBlack, clWhite});
    dib.insert(dib.end(), pal.begin(), pal.end());
    EXPECT_EQ(rows(read(BmpFile(dib, {0xA0, 0, 0, 0, 0x60, 0, 0, 0}))), (std::vector<std::string>{"kww", "wkw"}));

    // 4 bits, top-down, a colour table shorter than 16 entries.
    dib = InfoHeader(3, -2, 4, 0, 3);
    pal = PaletteBytes({clRed, clLime, clBlue});
    dib.insert(dib.end(), pal.begin(), pal.end());
    TBitmap b = read(BmpFile(dib, {0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0}));
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(rows(b), (std::vector<std::string>{"rgb", "bbg"}));

    // 8 bits with a colour count far beyond 256 in the header: only the table that is there is read.
    dib = InfoHeader(2, 1, 8, 0, 0xFFFFFFFF);
    pal = PaletteBytes({clYellow, clBlue});
    dib.insert(dib.end(), pal.begin(), pal.end());
    EXPECT_EQ(rows(read(BmpFile(dib, {1, 0, 0, 0}))), (std::vector<std::string>{"by"}));

    // The old 12-byte core header with 3-byte palette entries.
    Bytes core;
    Put32(core, 12), Put16(core, 2), Put16(core, 1), Put16(core, 1), Put16(core, 8);
    core.insert(core.end(), {0, 0, 255, 255, 255, 255});
    EXPECT_EQ(rows(read(BmpFile(core, {1, 0, 0, 0}))), (std::vector<std::string>{"wr"}));
}

TEST(BmpFile, ReadsTrueColourDepths)
{
    // 16 bits 5-5-5: 5-bit levels scale to 0..255 (16 -> 132).
    Bytes px;
    Put16(px, 0x7C00), Put16(px, 0x03E0), Put16(px, 0x0010), Put16(px, 0);
    TBitmap b = read(BmpFile(InfoHeader(3, 1, 16), px));
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 0), clLime);
    EXPECT_EQ(b.Pixel(2, 0), RGB(0, 0, 132));

    // 16 bits 5-6-5 with bit fields after the info header.
    const std::uint32_t m565[3] = {0xF800, 0x07E0, 0x001F};
    px.clear();
    Put16(px, 0xF800), Put16(px, 0x0020), Put16(px, 0x001F), Put16(px, 0);
    b = read(BmpFile(InfoHeader(3, 1, 16, 3, 0, false, m565), px));
    EXPECT_EQ(b.Pixel(0, 0), clRed);
    EXPECT_EQ(b.Pixel(1, 0), RGB(0, 4, 0));
    EXPECT_EQ(b.Pixel(2, 0), clBlue);

    // 24 bits, two rows bottom-up with padding.
    b = read(BmpFile(InfoHeader(1, 2, 24), {255, 0, 0, 0, 0, 0, 255, 0}));
    EXPECT_EQ(rows(b), (std::vector<std::string>{"r", "b"}));

    // 32 bits plain (the fourth byte is ignored) and a V5 header with masks in R G B X order.
    b = read(BmpFile(InfoHeader(2, 1, 32), {0, 255, 0, 7, 255, 255, 255, 0}));
    EXPECT_EQ(rows(b), (std::vector<std::string>{"gw"}));
    const std::uint32_t rgbx[4] = {0xFF000000, 0x00FF0000, 0x0000FF00, 0};
    b = read(BmpFile(InfoHeader(2, -1, 32, 3, 0, true, rgbx), {0, 3, 2, 1, 0, 0, 0, 255}));
    EXPECT_EQ(rows(b), (std::vector<std::string>{".r"}));
}

TEST(BmpFile, DecodesRunLengthCoding)
{
    // RLE8, 5 x 3: a run, a literal of 3 (padded), end of line; a delta of (1, 1); a run; end.
    Bytes dib = InfoHeader(5, 3, 8, 1);
    Bytes pal = PaletteBytes({clWhite, clRed, clLime, clBlue});
    dib.insert(dib.end(), pal.begin(), pal.end());
    const Bytes rle8 = {2, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 3, 3, 0, 1};
    EXPECT_EQ(rows(read(BmpFile(dib, rle8))), (std::vector<std::string>{"wbbbw", "wwwww", "rrgbg"}));

    // RLE4, 5 x 2: a run alternating two colours, a literal of 3 nibbles, end of line, end.
    dib = InfoHeader(5, 2, 4, 2);
    dib.insert(dib.end(), pal.begin(), pal.end());
    const Bytes rle4 = {5, 0x12, 0, 0, 0, 3, 0x31, 0x20, 0, 1};
    EXPECT_EQ(rows(read(BmpFile(dib, rle4))), (std::vector<std::string>{"brgww", "rgrgr"}));

    // Runs past the row end are cut; a delta past the top ends the picture without harm.
    dib = InfoHeader(2, 2, 8, 1);
    dib.insert(dib.end(), pal.begin(), pal.end());
    EXPECT_EQ(rows(read(BmpFile(dib, {255, 1, 0, 2, 200, 200}))), (std::vector<std::string>{"ww", "rr"}));
    // Rows complete without an end-of-bitmap marker are accepted.
    EXPECT_EQ(rows(read(BmpFile(dib, {2, 2, 0, 0, 2, 3, 0, 0}))), (std::vector<std::string>{"bb", "gg"}));
}

TEST(BmpFile, RejectsBadFiles)
{
    auto fails = [](const Bytes& file) {
        try {
            read(file);
        } catch (const EInvalidGraphic& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    // Every truncation of valid files fails cleanly (the 24-bit rows have no padding to lose).
    Bytes dib = InfoHeader(4, 2, 24);
    const Bytes full = BmpFile(dib, Bytes(24, 9));
    Bytes rleDib = InfoHeader(5, 3, 8, 1);
    Bytes pal = PaletteBytes({clWhite, clRed, clLime, clBlue});
    rleDib.insert(rleDib.end(), pal.begin(), pal.end());
    const Bytes rle = BmpFile(rleDib, {2, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 1, 3, 3, 0, 1});
    for (const Bytes* f : {&full, &rle}) {
        ASSERT_NO_THROW(read(*f));
        for (std::size_t n = 0; n < f->size(); ++n)
            EXPECT_NE(fails(Bytes(f->begin(), f->begin() + n)), "no error") << n;
    }
    EXPECT_NE(fails(Bytes(full.begin(), full.end() - 12)).find("truncated"), std::string::npos);

    // Claimed sizes beyond 2^28 pixels are refused before anything is allocated.
    EXPECT_NE(fails(BmpFile(InfoHeader(40000, 40000, 24), Bytes(16, 0))).find("too large"), std::string::npos);
    const auto rleOf = [&](int w, int h, const Bytes& data) {
        Bytes d = InfoHeader(w, h, 8, 1);
        d.insert(d.end(), pal.begin(), pal.end());
        return BmpFile(d, data);
    };
    EXPECT_NE(fails(rleOf(70000, 70000, Bytes(16, 0))).find("too large"), std::string::npos);
    // Run-length data that would leave almost the whole picture to its skips.
    EXPECT_EQ(fails(rleOf(16384, 16384, {0, 1})), "BMP file is truncated (too little data for its size)");
    EXPECT_EQ(read(rleOf(256, 256, {0, 1})).Width(), 256) << "small pictures are cheap whatever their data";

    Bytes bad = full;
    bad[10] = 0xFF; // pixel offset past the end
    EXPECT_NE(fails(bad).find("past the end"), std::string::npos);
    EXPECT_EQ(fails({'X', 'Y', 0, 0}), "Not a BMP file");
    EXPECT_NE(fails(BmpFile(InfoHeader(0, 2, 24), Bytes(8, 0))), "no error");
    EXPECT_NE(fails(BmpFile(InfoHeader(2, 0, 24), Bytes(8, 0))), "no error");
    EXPECT_NE(fails(BmpFile(InfoHeader(2, 2, 7), Bytes(8, 0))).find("unsupported"), std::string::npos);
    EXPECT_NE(fails(BmpFile(InfoHeader(2, 2, 24, 4), Bytes(8, 0))).find("JPEG or PNG"), std::string::npos);
    EXPECT_NE(fails(BmpFile(InfoHeader(2, -2, 8, 1), Bytes(8, 0))), "no error");
    // A palette image without any colour table.
    EXPECT_NE(fails(BmpFile(InfoHeader(2, 1, 8), Bytes(4, 0))).find("colour table"), std::string::npos);
    // RLE literal running past the data, and a delta cut short.
    EXPECT_NE(fails(BmpFile(rleDib, {0, 200, 1, 1})).find("truncated"), std::string::npos);
    EXPECT_NE(fails(BmpFile(rleDib, {0, 2, 1})).find("truncated"), std::string::npos);
    // A large RLE picture whose data breaks off is refused before its memory is taken.
    Bytes bigDib = InfoHeader(16000, 16000, 8, 1);
    bigDib.insert(bigDib.end(), pal.begin(), pal.end());
    EXPECT_NE(fails(BmpFile(bigDib, {0, 0, 0, 0, 5, 1, 0, 9})).find("truncated"), std::string::npos);
}
