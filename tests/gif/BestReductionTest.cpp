// The Best method: exact nearest colours against a brute-force search, its error against
// the octree methods on a photo-like and a gradient picture, results that do not depend
// on the number of threads, and palettes that carry over from frame to frame.
#include "gif/BestReduction.h"
#include "gif/NearestColor.h"
#include "gif/ReduceSettings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// Mean squared error per channel of a reduced bitmap against its source.
double meanSquaredError(const TBitmap& source, const TBitmap& reduced)
{
    const std::vector<TColor>& palette = reduced.Palette();
    double sum = 0;
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x) {
            const TColor a = source.Pixel(x, y), b = palette[reduced.ScanLine(y)[x]];
            const double dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b), db = GetBValue(a) - GetBValue(b);
            sum += dr * dr + dg * dg + db * db;
        }
    return sum / (3.0 * source.Width() * source.Height());
}

double psnr(const TBitmap& source, const TBitmap& reduced)
{
    return 10 * std::log10(255.0 * 255.0 / meanSquaredError(source, reduced));
}

// Smooth shapes under fine grain, like a photograph; `shift` moves the picture right.
TBitmap photo(int width, int height, int shift = 0, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(-6, 6);
    TBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = x + shift;
            const int r = static_cast<int>(128 + 60 * std::sin(u / 17.0) + 50 * std::sin(std::hypot(u - 90, y - 60) / 11.0));
            const int g = static_cast<int>(120 + 70 * std::sin(y / 13.0 + 1) + 40 * std::sin((u + y) / 23.0));
            const int bl = static_cast<int>(110 + 80 * std::sin(std::hypot(u - 30, y - 100) / 9.0));
            b.SetPixel(x, y, RGB(std::clamp(r + grain(random), 0, 255), std::clamp(g + grain(random), 0, 255),
                                 std::clamp(bl + grain(random), 0, 255)));
        }
    return b;
}

// Two crossing colour ramps.
TBitmap gradient(int width, int height)
{
    TBitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y, RGB(x * 255 / (width - 1), y * 255 / (height - 1), 255 - (x + y) * 255 / (width + height - 2)));
    return b;
}

} // namespace

TEST(BestReduction, NearestColorIsExactForEveryPalette)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> channel(0, 255);
    // Spread palettes, crowded ones (many entries in a few cells), tiny ones, duplicates.
    for (const auto& [size, spread] : std::vector<std::pair<int, int>>{{256, 255}, {256, 12}, {3, 255}, {40, 40}, {1, 0}}) {
        std::vector<TColor> palette;
        const int base = channel(random) / 2;
        for (int i = 0; i < size; ++i)
            palette.push_back(RGB(std::min(255, base + channel(random) % (spread + 1)), std::min(255, base + channel(random) % (spread + 1)),
                                  std::min(255, base + channel(random) % (spread + 1))));
        palette.push_back(palette.front());
        TNearestColorLookup lookup(palette);
        for (int k = 0; k < 20000; ++k) {
            const int r = channel(random), g = channel(random), b = channel(random);
            int best = 0, bestDistance = 1 << 30;
            for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
                const int dr = GetRValue(palette[i]) - r, dg = GetGValue(palette[i]) - g, db = GetBValue(palette[i]) - b;
                if (dr * dr + dg * dg + db * db < bestDistance) {
                    bestDistance = dr * dr + dg * dg + db * db;
                    best = i;
                }
            }
            ASSERT_EQ(lookup.Nearest(r, g, b), best) << size << " entries, colour " << r << "," << g << "," << b;
        }
    }
}

TEST(BestReduction, BeatsTheOctreeOnPhotoAndGradient)
{
    // Best against the octree methods with the same engine: at least 3 dB on both pictures,
    // and at least 2 dB more without dithering.
    for (const TBitmap& picture : {photo(200, 150), gradient(256, 128)}) {
        for (const TDitherMode dither : {dmFloydSteinberg, dmNearest}) {
            const double best = psnr(picture, ReduceColors(picture, rmBest, dither, 8));
            const double octree = std::max(psnr(picture, ReduceColors(picture, rmQuantize, dither, 8)),
                                            psnr(picture, ReduceColors(picture, rmQuantizeWindows, dither, 8)));
            EXPECT_GT(best, octree + (dither == dmNearest ? 2.0 : 3.0)) << "dither " << dither << ": " << best << " dB against " << octree;
        }
    }
}

TEST(BestReduction, ResultsDoNotDependOnThreads)
{
    std::vector<TBitmap> frames;
    for (int i = 0; i < 9; ++i)
        frames.push_back(photo(96, 64, 5 * i, 11 + i));
    frames.push_back(TBitmap(96, 64, TPixelFormat::pf8bit)); // passes unchanged
    for (const bool onePalette : {false, true}) {
        std::vector<std::vector<TBitmap>> runs;
        for (const int threads : {1, 2, 5}) {
            std::vector<TBitmap> out;
            TReduceSettings s;
            s.Palette = rmBest;
            ReduceFramesInOrder(
                static_cast<int>(frames.size()), [&](int i) { return BorrowedFrame(frames[static_cast<std::size_t>(i)]); }, s,
                [&](int i, TBitmap& b) {
                    EXPECT_EQ(i, static_cast<int>(out.size()));
                    out.push_back(b);
                },
                threads, onePalette);
            runs.push_back(std::move(out));
        }
        for (std::size_t r = 1; r < runs.size(); ++r)
            for (std::size_t i = 0; i < frames.size(); ++i) {
                EXPECT_EQ(runs[r][i].Palette(), runs[0][i].Palette()) << "frame " << i;
                for (int y = 0; y < 64; ++y)
                    ASSERT_TRUE(std::equal(runs[0][i].ScanLine(y), runs[0][i].ScanLine(y) + 96, runs[r][i].ScanLine(y)))
                        << "frame " << i << " row " << y;
            }
        // One palette: every reduced frame has the same table.
        if (onePalette) {
            for (std::size_t i = 1; i + 1 < frames.size(); ++i)
                EXPECT_EQ(runs[0][i].Palette(), runs[0][0].Palette());
        }
        EXPECT_EQ(runs[0].back().PixelFormat(), TPixelFormat::pf8bit);

        // A frame that cannot be read: the frames before it are taken, its error comes at
        // its turn, and the frames after it (waiting for its palette) do not hang.
        for (const int threads : {1, 2, 5}) {
            int taken = 0;
            TReduceSettings s;
            s.Palette = rmBest;
            const std::string error = ThrownMessage([&] {
                ReduceFramesInOrder(
                    static_cast<int>(frames.size()),
                    [&](int i) {
                        if (i == 4)
                            throw EInvalidGraphic("frame 4 is damaged");
                        return BorrowedFrame(frames[static_cast<std::size_t>(i)]);
                    },
                    s, [&](int, TBitmap&) { ++taken; }, threads, onePalette);
            });
            EXPECT_EQ(error, "frame 4 is damaged") << threads << " threads";
            EXPECT_EQ(taken, onePalette ? 0 : 4) << threads << " threads";
        }
    }
}

TEST(BestReduction, PalettesStartFromThePreviousFrame)
{
    // A picture whose right half moves: the left half's pixels keep their colours far more
    // often when each palette starts from the previous frame's than when every frame
    // chooses alone.
    const int w = 160, h = 96;
    std::vector<TBitmap> frames;
    for (int i = 0; i < 6; ++i) {
        TBitmap f = photo(w, h, 0, 5);
        const TBitmap moving = photo(w, h, 9 * i + 40, 6);
        for (int y = 0; y < h; ++y)
            std::copy_n(moving.ScanLine(y) + 3 * (w / 2), 3 * (w / 2), f.ScanLine(y) + 3 * (w / 2));
        frames.push_back(f);
    }
    // A change of more than about four units a channel.
    constexpr int kVisible = 48;
    auto changedOnTheLeft = [&](const std::vector<TBitmap>& reduced) {
        int changed = 0;
        for (std::size_t i = 1; i < reduced.size(); ++i)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w / 2; ++x)
                {
                    const TColor a = reduced[i].Palette()[reduced[i].ScanLine(y)[x]];
                    const TColor b = reduced[i - 1].Palette()[reduced[i - 1].ScanLine(y)[x]];
                    const int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b), db = GetBValue(a) - GetBValue(b);
                    changed += dr * dr + dg * dg + db * db > kVisible;
                }
        return changed;
    };
    std::vector<TBitmap> chained, alone;
    TReduceSettings s;
    s.Palette = rmBest;
    s.Dither = dmNearest;
    ReduceFramesInOrder(
        static_cast<int>(frames.size()), [&](int i) { return BorrowedFrame(frames[static_cast<std::size_t>(i)]); }, s,
        [&](int, TBitmap& b) { chained.push_back(b); });
    for (const TBitmap& f : frames)
        alone.push_back(ReduceColors(f, rmBest, dmNearest, 8));
    const int stayed = changedOnTheLeft(chained), flickered = changedOnTheLeft(alone);
    EXPECT_LT(stayed * 3, flickered) << stayed << " changes chained against " << flickered << " alone";
    // And the chained frames lose little against choosing alone.
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_GT(psnr(frames[i], chained[i]), psnr(frames[i], alone[i]) - 0.5) << "frame " << i;
}
