// The LZW compressor against a plain transcription of GIF's LZW: every byte must agree.
#include "gif/GIFImage.h"
#include "gif/LzwEncoder.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// The textbook encoder: a map of strings, the width rule, the clear when the next code
// would pass 4094, bits packed one at a time, then cut into sub-blocks.
std::vector<std::uint8_t> referenceEncode(const TGIFEncodeSource& src)
{
    std::vector<std::uint8_t> bits;
    int bitPos = 0;
    const int clear = 1 << src.BitsPerPixel;
    int width = src.BitsPerPixel + 1, maxCode = (1 << width) - 1, freeCode = clear + 2;
    std::map<std::pair<int, int>, int> table;
    auto put = [&](int code) {
        for (int i = 0; i < width; ++i, ++bitPos) {
            if (bitPos % 8 == 0)
                bits.push_back(0);
            bits.back() |= static_cast<std::uint8_t>(((code >> i) & 1) << (bitPos % 8));
        }
    };
    auto grow = [&] {
        if (freeCode > maxCode) {
            ++width;
            maxCode = width == 12 ? 4096 : (1 << width) - 1;
        }
    };
    std::vector<int> rows;
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (src.Interlaced ? 4 : 1); ++pass)
        for (int y = src.Interlaced ? start[pass] : 0; y < src.Height; y += src.Interlaced ? step[pass] : 1)
            rows.push_back(y);

    put(clear);
    int prefix = -1;
    for (int y : rows)
        for (int x = 0; x < src.Width; ++x) {
            const int c = src.Pixels[y * src.Width + x];
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            const auto found = table.find({prefix, c});
            if (found != table.end()) {
                prefix = found->second;
                continue;
            }
            put(prefix);
            grow();
            if (freeCode > 4094) {
                table.clear();
                freeCode = clear + 2;
                put(clear);
                width = src.BitsPerPixel + 1;
                maxCode = (1 << width) - 1;
            } else {
                table[{prefix, c}] = freeCode++;
            }
            prefix = c;
        }
    if (prefix >= 0) {
        put(prefix);
        grow();
    }
    put(clear + 1);

    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(src.BitsPerPixel)};
    for (std::size_t i = 0; i < bits.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, bits.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), bits.begin() + static_cast<std::ptrdiff_t>(i), bits.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    out.push_back(0);
    return out;
}

std::vector<std::uint8_t> encode(const TGIFEncodeSource& src)
{
    std::vector<std::uint8_t> out;
    TGIFWriter writer(out);
    TLZWEncoder().Compress(writer, src);
    return out;
}

} // namespace

TEST(LzwEncoder, SameBytesAsTheTextbookEncoder)
{
    unsigned state = 7;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    struct TCase {
        const char* Name;
        int Width, Height, Bits;
        bool Interlaced;
        std::function<int(int, int)> Pixel;
    };
    const std::vector<TCase> cases = {
        {"noise over 256 colours, several clears", 300, 200, 8, false, [&](int, int) { return static_cast<int>(next() & 0xFF); }},
        {"flat blocks", 320, 240, 3, false, [](int x, int y) { return (x / 40 + y / 30 * 3) % 8; }},
        {"one colour", 500, 300, 2, false, [](int, int) { return 1; }},
        {"gradient with a little noise", 640, 120, 8, false, [&](int x, int y) { return (x / 3 + y / 2 + static_cast<int>(next() % 5)) & 0xFF; }},
        {"interlaced stripes", 33, 29, 4, true, [](int x, int y) { return (x * 3 + y) % 13; }},
        {"one pixel", 1, 1, 2, false, [](int, int) { return 0; }},
        {"no pixels", 0, 0, 2, false, [](int, int) { return 0; }},
    };
    for (const TCase& c : cases) {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(c.Width) * c.Height);
        for (int y = 0; y < c.Height; ++y)
            for (int x = 0; x < c.Width; ++x)
                pixels[static_cast<std::size_t>(y) * c.Width + x] = static_cast<std::uint8_t>(c.Pixel(x, y));
        TGIFEncodeSource src;
        src.Pixels = pixels.data();
        src.Width = c.Width;
        src.Height = c.Height;
        src.Interlaced = c.Interlaced;
        src.BitsPerPixel = c.Bits;
        src.MaxColor = 1 << c.Bits;
        EXPECT_EQ(encode(src), referenceEncode(src)) << c.Name;
    }
}

TEST(LzwEncoder, PixelsPastTheTableAreRefusedBeforeWriting)
{
    std::vector<std::uint8_t> pixels(100, 2);
    pixels[77] = 5; // a table of 5 colours: 0..4
    TGIFEncodeSource src;
    src.Pixels = pixels.data();
    src.Width = 10;
    src.Height = 10;
    src.BitsPerPixel = 3;
    src.MaxColor = 5;
    std::vector<std::uint8_t> out;
    TGIFWriter writer(out);
    EXPECT_THROW(TLZWEncoder().Compress(writer, src), GIFException);
    EXPECT_TRUE(out.empty());
    pixels[77] = 4;
    EXPECT_NO_THROW(TLZWEncoder().Compress(writer, src));
}
