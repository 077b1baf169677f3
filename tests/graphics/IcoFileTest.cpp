#include "ImageFileHelpers.h"

#include "graphics/Exception.h"
#include "graphics/IcoFile.h"

#include "support/TestSupport.h"

#include <png.h>

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend = {
    {'k', clBlack}, {'w', clWhite}, {'r', clRed}, {'g', clLime}, {'b', clBlue}, {'y', clYellow}, {'a', clAqua}};

// A BMP-style icon image: info header with the doubled height, colour table, colour rows
// and AND rows (both bottom-up, padded).
Bytes iconImage(int w, int h, int bits, const std::vector<TColor>& palette, const Bytes& colour, const Bytes& mask)
{
    Bytes b = InfoHeader(w, 2 * h, bits, 0, static_cast<std::uint32_t>(palette.size()));
    const Bytes pal = PaletteBytes(palette);
    b.insert(b.end(), pal.begin(), pal.end());
    b.insert(b.end(), colour.begin(), colour.end());
    b.insert(b.end(), mask.begin(), mask.end());
    return b;
}

Bytes icoFile(const std::vector<Bytes>& images)
{
    Bytes b;
    Put16(b, 0), Put16(b, 1), Put16(b, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Bytes& img : images) {
        // Size and depth fields left zero: the reader takes them from the image itself.
        Put32(b, 0), Put16(b, 1), Put16(b, 0);
        Put32(b, static_cast<std::uint32_t>(img.size()));
        Put32(b, offset);
        offset += static_cast<std::uint32_t>(img.size());
    }
    for (const Bytes& img : images)
        b.insert(b.end(), img.begin(), img.end());
    return b;
}

// 4 x 4, 24 bits: top rows red/green, bottom rows blue/yellow; the top-left and
// bottom-right pixels are transparent.
Bytes colourIcon24()
{
    Bytes colour;
    auto px = [&](TColor c) { colour.insert(colour.end(), {std::uint8_t(GetBValue(c)), std::uint8_t(GetGValue(c)), std::uint8_t(GetRValue(c))}); };
    for (int r = 0; r < 4; ++r) // bottom-up
        for (int x = 0; x < 4; ++x)
            px(r < 2 ? (x < 2 ? clBlue : clYellow) : (x < 2 ? clRed : clLime));
    const Bytes mask = {0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0};
    return iconImage(4, 4, 24, {}, colour, mask);
}

TIcon read(const Bytes& file)
{
    return ReadIco(file.data(), file.size());
}

std::vector<std::string> maskRows(const TIcon& icon)
{
    std::vector<std::string> rows;
    for (int y = 0; y < icon.Height(); ++y) {
        std::string s;
        for (int x = 0; x < icon.Width(); ++x)
            s += icon.IsTransparent(x, y) ? 'x' : '.';
        rows.push_back(s);
    }
    return rows;
}

} // namespace

TEST(IcoFile, PicksLargestThenDeepestImageWithMask)
{
    const Bytes small4 = iconImage(2, 2, 4, {clAqua}, Bytes(8, 0), Bytes(8, 0));
    const Bytes same8 = iconImage(4, 4, 8, {clAqua}, Bytes(16, 0), Bytes(16, 0));
    const Bytes file = icoFile({small4, same8, colourIcon24()});
    const TIcon icon = read(file);
    EXPECT_EQ(icon.ImageCount, 3);
    EXPECT_EQ(icon.BitsPerPixel, 24);
    EXPECT_EQ(RowsFromBitmap(icon.Image, kLegend), (std::vector<std::string>{"rrgg", "rrgg", "bbyy", "bbyy"}));
    EXPECT_EQ(maskRows(icon), (std::vector<std::string>{"x...", "....", "....", "...x"}));
    const TImageInfo info = ReadIcoInfo(file.data(), file.size());
    EXPECT_EQ(info.Width, 4);
    EXPECT_EQ(info.BitsPerPixel, 24);
    EXPECT_EQ(info.ImageCount, 3);

    // A 1-bit image, 9 pixels wide (two mask bytes per row).
    const Bytes mono = iconImage(9, 1, 1, {clBlack, clWhite}, {0xAA, 0x80, 0, 0}, {0x01, 0x80, 0, 0});
    const TIcon m = read(icoFile({mono}));
    EXPECT_EQ(RowsFromBitmap(m.Image, kLegend), (std::vector<std::string>{"wkwkwkwkw"}));
    EXPECT_EQ(maskRows(m), (std::vector<std::string>{".......xx"}));
}

TEST(IcoFile, AlphaDecidesTransparencyForDeepImages)
{
    // 32 bits: alpha below 128 is transparent; the AND bitmap (all set here) is ignored.
    const Bytes withAlpha = iconImage(2, 1, 32, {}, {0, 0, 255, 127, 255, 0, 0, 128}, {0xC0, 0, 0, 0});
    TIcon icon = read(icoFile({withAlpha}));
    EXPECT_EQ(RowsFromBitmap(icon.Image, kLegend), (std::vector<std::string>{"rb"}));
    EXPECT_EQ(maskRows(icon), (std::vector<std::string>{"x."}));
    // Every alpha byte zero: an old icon, the AND bitmap decides.
    const Bytes noAlpha = iconImage(2, 1, 32, {}, {0, 0, 255, 0, 255, 0, 0, 0}, {0x40, 0, 0, 0});
    EXPECT_EQ(maskRows(read(icoFile({noAlpha}))), (std::vector<std::string>{".x"}));

    // A PNG image, larger than the BMP-style one beside it.
    const Bytes png = EncodePng(3, 1, PNG_COLOR_TYPE_RGBA, 8, {{255, 0, 0, 0, 0, 255, 0, 200, 0, 0, 255, 255}});
    icon = read(icoFile({iconImage(1, 1, 24, {}, {0, 0, 0, 0}, {0, 0, 0, 0}), png}));
    EXPECT_EQ(icon.BitsPerPixel, 32);
    EXPECT_EQ(RowsFromBitmap(icon.Image, kLegend), (std::vector<std::string>{"rgb"}));
    EXPECT_EQ(maskRows(icon), (std::vector<std::string>{"x.."}));
}

TEST(IcoFile, DrawingLeavesMaskedPixelsUntouched)
{
    const TIcon icon = read(icoFile({colourIcon24()}));
    TBitmap dest = SolidBitmap(5, 5, clBlack);
    DrawIcon(dest, 1, 1, icon);
    EXPECT_EQ(RowsFromBitmap(dest, kLegend), (std::vector<std::string>{"kkkkk", "kkrgg", "krrgg", "kbbyy", "kbbyk"}));
    // Clipped at every edge.
    dest = SolidBitmap(3, 3, clBlack);
    DrawIcon(dest, -2, -2, icon);
    DrawIcon(dest, 2, 2, icon);
    EXPECT_EQ(RowsFromBitmap(dest, kLegend), (std::vector<std::string>{"yyk", "ykk", "kkk"}));

    // Import: the work bitmap takes the icon's size and keeps its old pixels under the mask.
    TBitmap work = SolidBitmap(2, 2, clAqua);
    AssignIcon(work, icon);
    EXPECT_EQ(RowsFromBitmap(work, kLegend), (std::vector<std::string>{"argg", "rrgg", "bbyy", "bbyw"}));

    // An 8-bit destination takes the nearest palette colours.
    TBitmap indexed(4, 4, TPixelFormat::pf8bit);
    indexed.SetPalette({clBlack, clRed, clLime, clBlue, clYellow});
    DrawIcon(indexed, 0, 0, icon);
    EXPECT_EQ(RowsFromBitmap(indexed, kLegend), (std::vector<std::string>{"krgg", "rrgg", "bbyy", "bbyk"}));
}

TEST(IcoFile, RejectsBadFiles)
{
    auto fails = [](const Bytes& file) {
        try {
            read(file);
        } catch (const EInvalidGraphic& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    const Bytes good = icoFile({colourIcon24()});
    ASSERT_EQ(fails(good), "no error");
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_NE(fails(Bytes(good.begin(), good.begin() + n)), "no error") << n;

    Bytes bad = good;
    bad[18] = 0xFF; // image offset far past the end
    EXPECT_NE(fails(bad).find("past the end"), std::string::npos);
    EXPECT_NE(fails({0, 0, 1, 0, 0, 0}).find("no images"), std::string::npos);
    EXPECT_EQ(fails({0, 0, 2, 0, 1, 0}), "Not an icon file");
    // The directory says 1 entry, but the image lacks its AND bitmap.
    const Bytes noMask = iconImage(4, 4, 24, {}, Bytes(48, 0), {});
    EXPECT_NE(fails(icoFile({noMask})).find("mask"), std::string::npos);
    // An image header claiming far more than 2^28 pixels.
    EXPECT_NE(fails(icoFile({iconImage(60000, 60000, 24, {}, Bytes(8, 0), {})})).find("too large"), std::string::npos);
    // The size named is the picture's, not the header's doubled height (colour and mask rows).
    const Bytes tall = icoFile({iconImage(16384, 20000, 24, {}, Bytes(8, 0), {})});
    EXPECT_NE(fails(tall).find("(16384 x 20000 pixels"), std::string::npos) << fails(tall);
    const TImageInfo info = ReadIcoInfo(tall.data(), tall.size());
    EXPECT_EQ(info.Height, 20000) << "the headers alone describe any size";
    // A corrupt PNG inside.
    Bytes png = EncodePng(2, 2, PNG_COLOR_TYPE_RGB, 8, {Bytes(6, 1), Bytes(6, 2)});
    png.resize(png.size() - 20);
    EXPECT_NE(fails(icoFile({png})), "no error");
}
