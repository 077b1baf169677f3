#include "ImageFileHelpers.h"

#include "graphics/Exception.h"
#include "graphics/JpegFile.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

TBitmap read(const Bytes& file)
{
    return ReadJpeg(file.data(), file.size());
}

std::string failure(const Bytes& file)
{
    try {
        read(file);
    } catch (const EInvalidGraphic& e) {
        return e.what();
    }
    return "no error";
}

void expectNear(TColor got, int r, int g, int b, int tolerance, const char* where)
{
    EXPECT_LE(std::abs(GetRValue(got) - r), tolerance) << where;
    EXPECT_LE(std::abs(GetGValue(got) - g), tolerance) << where;
    EXPECT_LE(std::abs(GetBValue(got) - b), tolerance) << where;
}

// A 32 x 16 picture: a horizontal ramp in red, a vertical one in green, constant blue.
Bytes ramp(int components)
{
    Bytes px;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            if (components == 1) {
                px.push_back(static_cast<std::uint8_t>(x * 8));
            } else {
                px.insert(px.end(), {static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 16), 90});
                if (components == 4)
                    px.push_back(0);
            }
        }
    return px;
}

} // namespace

TEST(JpegFile, DecodesColourAndGray)
{
    // Solid colour: every pixel within a step or two of the original.
    Bytes solid;
    for (int i = 0; i < 16 * 16; ++i)
        solid.insert(solid.end(), {200, 40, 90});
    TBitmap b = read(EncodeJpeg(16, 16, 3, solid));
    ASSERT_EQ(b.Width(), 16);
    ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    for (int y = 0; y < 16; y += 5)
        for (int x = 0; x < 16; x += 5)
            expectNear(b.Pixel(x, y), 200, 40, 90, 3, "solid");

    // Ramps, baseline and progressive: orientation and channel order must hold.
    for (bool progressive : {false, true}) {
        b = read(EncodeJpeg(32, 16, 3, ramp(3), 95, progressive));
        ASSERT_EQ(b.Height(), 16);
        for (int y = 1; y < 16; y += 6)
            for (int x = 1; x < 32; x += 7)
                expectNear(b.Pixel(x, y), x * 8, y * 16, 90, 12, progressive ? "progressive" : "baseline");
    }

    // Grayscale comes out as equal channels.
    b = read(EncodeJpeg(32, 16, 1, ramp(1)));
    for (int x = 2; x < 32; x += 9) {
        const TColor c = b.Pixel(x, 8);
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        EXPECT_EQ(GetRValue(c), GetBValue(c));
        EXPECT_LE(std::abs(GetRValue(c) - x * 8), 8);
    }
    const Bytes gray = EncodeJpeg(32, 16, 1, ramp(1));
    const TImageInfo info = ReadJpegInfo(gray.data(), gray.size());
    EXPECT_EQ(info.Width, 32);
    EXPECT_EQ(info.Height, 16);
    EXPECT_EQ(info.BitsPerPixel, 8);
}

TEST(JpegFile, RejectsBadFiles)
{
    const Bytes good = EncodeJpeg(32, 16, 3, ramp(3), 90);
    ASSERT_NO_THROW(read(good));
    // Cut anywhere before the end-of-image marker: refused, never a half-grey picture.
    for (std::size_t n = 0; n + 2 < good.size(); n += 7)
        EXPECT_NE(failure(Bytes(good.begin(), good.begin() + n)), "no error") << n;
    EXPECT_NE(failure(Bytes(good.begin(), good.begin() + good.size() / 2)).find("JPEG file"), std::string::npos);

    EXPECT_NE(failure(EncodeJpeg(32, 16, 4, ramp(4))).find("CMYK"), std::string::npos);
    EXPECT_EQ(failure({0x89, 'P', 'N', 'G'}), "Not a JPEG file");
    EXPECT_NE(failure({0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 1, 2, 3}), "no error");

    // The frame header claims 32767 x 32767: refused before any allocation.
    Bytes huge = good;
    for (std::size_t i = 2; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0x7F;
            huge[i + 6] = huge[i + 8] = 0xFF;
            break;
        }
    EXPECT_NE(failure(huge).find("too large"), std::string::npos);
    // 8000 x 8000 is allowed, but not from a few hundred bytes of baseline data.
    for (std::size_t i = 2; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0x1F;
            huge[i + 6] = huge[i + 8] = 0x40;
            break;
        }
    EXPECT_NE(failure(huge).find("too little data"), std::string::npos);

    // A progressive file claiming 16000 x 16000 cannot hold a DC code for every block.
    Bytes prog = EncodeJpeg(16, 16, 3, Bytes(16 * 16 * 3, 50), 90, true);
    bool patched = false;
    for (std::size_t i = 2; i + 12 < prog.size() && !patched; ++i)
        if (prog[i] == 0xFF && prog[i + 1] == 0xC2) {
            prog[i + 5] = prog[i + 7] = 0x3E;
            prog[i + 6] = prog[i + 8] = 0x80;
            prog[i + 11] = 0x11; // the first component's sampling factors
            patched = true;
        }
    ASSERT_TRUE(patched);
    EXPECT_NE(failure(prog).find("too little data"), std::string::npos) << failure(prog);

    // The coefficients of a progressive file share the memory budget with the picture.
    const Bytes photo = EncodeJpeg(512, 512, 3, Bytes(512 * 512 * 3, 90), 90, true);
    {
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + (1 << 20));
        try {
            ReadJpeg(photo.data(), photo.size());
            ADD_FAILURE() << "not refused";
        } catch (const EOutOfMemory& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Not enough memory", 0), 0u) << e.what();
        }
    }
    EXPECT_EQ(ReadJpeg(photo.data(), photo.size()).Width(), 512);
}
