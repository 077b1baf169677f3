// The optimizer must not change what an animation shows. Many generated documents are
// written before and after optimisation, decoded with giflib and composed frame by frame
// with the disposal rules by a small composer of our own; the pictures and how long each
// stays up must be the same.
#include "GIFOptimizeFrames.h"
#include "GifTestData.h"
#include "GiflibHelpers.h"
#include "support/TestSupport.h"

#include "gif/GIFOptimize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>

namespace {

// Not a 24-bit colour: what lies under the animation can never be confused with a pixel.
constexpr std::uint32_t kBackground = 0x1000000;

struct Shown {
    std::vector<std::uint32_t> Picture;
    int Delay = 0;
    friend bool operator==(const Shown&, const Shown&) = default;
};

// Every picture shown, in order; a picture repeated by the next frame is one longer showing.
std::vector<Shown> Compose(const GLFile& file)
{
    const int w = file.Width, h = file.Height;
    std::vector<std::uint32_t> screen(static_cast<std::size_t>(w) * h, kBackground);
    std::vector<Shown> shown;
    for (const GLFrame& f : file.Frames) {
        const std::vector<std::uint32_t> before = screen;
        for (int y = 0; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x) {
                const int sx = f.Left + x, sy = f.Top + y;
                const int p = f.Pixels[static_cast<std::size_t>(y) * f.Width + x];
                if (sx >= w || sy >= h || p == f.Transparent)
                    continue;
                const TGIFColor c = p < static_cast<int>(f.Colors.size()) ? f.Colors[static_cast<std::size_t>(p)] : TGIFColor{};
                screen[static_cast<std::size_t>(sy) * w + sx] = (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
            }
        if (!shown.empty() && shown.back().Picture == screen)
            shown.back().Delay += f.Delay;
        else
            shown.push_back({screen, f.Delay});
        if (f.Disposal == 2) {
            for (int y = f.Top; y < std::min(f.Top + f.Height, h); ++y)
                for (int x = f.Left; x < std::min(f.Left + f.Width, w); ++x)
                    screen[static_cast<std::size_t>(y) * w + x] = kBackground;
        } else if (f.Disposal == 3) {
            screen = before;
        }
    }
    return shown;
}

class Generator {
public:
    explicit Generator(unsigned seed) : m_rng(seed) {}
    int Next(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Next(100) < percent; }

    // A table holding some of the base colours in random order; now and then filled up to
    // 256 entries, so that nothing can be appended.
    std::vector<TColor> Table()
    {
        std::vector<TColor> t = kBase;
        std::shuffle(t.begin(), t.end(), m_rng);
        t.resize(static_cast<std::size_t>(2 + Next(static_cast<int>(kBase.size()) - 1)));
        if (Chance(12))
            for (int i = 0; t.size() < 256; ++i)
                t.push_back(RGB(i, 3, 200));
        return t;
    }

    // Frames built directly: offsets, local and global tables, every disposal method,
    // transparency, loop and comment extensions. Pixels often repeat the colour drawn
    // there last, so that there is much to merge.
    std::unique_ptr<TGIFImage> Raw()
    {
        auto gif = std::make_unique<TGIFImage>();
        const int w = 2 + Next(8), h = 1 + Next(8);
        gif->Header.Width = w;
        gif->Header.Height = h;
        if (Chance(60))
            gif->GlobalColorMap().Assign(GIFColors(Table()));
        std::vector<TColor> last(static_cast<std::size_t>(w) * h, clBlack);
        const int frames = 2 + Next(6);
        bool looped = false;
        for (int i = 0; i < frames; ++i) {
            FramePlan s;
            const int fw = 1 + Next(w), fh = 1 + Next(h);
            const bool whole = Chance(40);
            s.Left = whole ? 0 : Next(w - fw + 1);
            s.Top = whole ? 0 : Next(h - fh + 1);
            if (whole)
                s.Rows.assign(static_cast<std::size_t>(h), std::string(static_cast<std::size_t>(w), '0'));
            else
                s.Rows.assign(static_cast<std::size_t>(fh), std::string(static_cast<std::size_t>(fw), '0'));
            if (gif->GlobalColorMap().Count() == 0 || Chance(40))
                s.Table = Table();
            const std::vector<TColor> table = s.Table.empty() ? gif->GlobalColorMap().Palette() : s.Table;
            const int colors = std::min<int>(static_cast<int>(table.size()), 36);
            std::vector<int> data;
            for (std::size_t y = 0; y < s.Rows.size(); ++y)
                for (std::size_t x = 0; x < s.Rows[y].size(); ++x) {
                    TColor& under = last[(s.Top + y) * static_cast<std::size_t>(w) + s.Left + x];
                    const auto found = std::find(table.begin(), table.begin() + colors, under);
                    const int index = found != table.begin() + colors && Chance(70) ? static_cast<int>(found - table.begin()) : Next(colors);
                    s.Rows[y][x] = CharOfIndex(index);
                    under = table[static_cast<std::size_t>(index)];
                    data.push_back(index);
                }
            if (Chance(35))
                s.Transparent = Chance(70) ? data[static_cast<std::size_t>(Next(static_cast<int>(data.size())))] : Next(colors);
            static const int kDisposals[] = {0, 0, 0, 1, 2, 3};
            s.Disposal = kDisposals[Next(6)];
            s.Delay = Chance(85) ? Next(30) : -1;
            if (s.Delay < 0 && (s.Disposal || s.Transparent >= 0))
                s.Delay = 0;
            TGIFSubImage* f = AddFrame(*gif, s);
            // At most one loop extension: viewers differ on which of several counts.
            if (!looped && ((i == 0 && Chance(50)) || Chance(5))) {
                f->AddExtension<TGIFAppExtNSLoop>()->SetLoops(Next(3));
                looped = true;
            }
            if (Chance(10))
                f->AddExtension<TGIFCommentExtension>()->Text = {"frame"};
        }
        return gif;
    }

    // Frames the way the application assembles them: whole-screen bitmaps of a few colours
    // that change a little from frame to frame, some transparent (the bottom-left colour),
    // each with its delay, a loop extension, and usually one merged global table.
    std::unique_ptr<TGIFImage> Assembled()
    {
        auto gif = std::make_unique<TGIFImage>();
        const int w = 3 + Next(10), h = 3 + Next(10);
        std::vector<int> picture(static_cast<std::size_t>(w) * h, 0);
        const int frames = 2 + Next(6);
        for (int i = 0; i < frames; ++i) {
            if (i > 0 && Chance(75)) {
                const int rw = 1 + Next(w), rh = 1 + Next(h), rx = Next(w - rw + 1), ry = Next(h - rh + 1);
                const int c = Next(static_cast<int>(kBase.size()));
                for (int y = ry; y < ry + rh; ++y)
                    for (int x = rx; x < rx + rw; ++x)
                        picture[static_cast<std::size_t>(y) * w + x] = c;
            }
            TBitmap bmp = PaletteBitmap(w, h, kBase, [&](int x, int y) { return picture[static_cast<std::size_t>(y) * w + x]; });
            bmp.SetTransparent(Chance(30));
            TGIFSubImage& f = *gif->Images[static_cast<std::size_t>(gif->Add(bmp))];
            TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
            if (!gce)
                gce = f.AddExtension<TGIFGraphicControlExtension>();
            gce->SetDelay(1 + Next(20));
            if (i == 0)
                f.AddExtension<TGIFAppExtNSLoop>();
        }
        if (Chance(80))
            gif->OptimizeColorMaps();
        return gif;
    }

private:
    inline static const std::vector<TColor> kBase = {clRed, clBlue, clLime, clYellow, clWhite, clBlack};
    std::mt19937 m_rng;
};

// A single picture has no timing: only the picture is compared then.
void ExpectSameAnimation(const GLFile& before, const GLFile& after, const std::string& what)
{
    const std::vector<Shown> a = Compose(before);
    const std::vector<Shown> b = Compose(after);
    ASSERT_EQ(a.size(), b.size()) << what;
    if (a.size() == 1) {
        EXPECT_EQ(a[0].Picture, b[0].Picture) << what;
        return;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].Picture, b[i].Picture) << what << ", picture " << i;
        EXPECT_EQ(a[i].Delay, b[i].Delay) << what << ", picture " << i;
    }
    EXPECT_EQ(before.Loops, after.Loops) << what;
}

const TGIFOptimizeOptions kOptionSets[] = {ooCrop, ooMerge, ooCleanup, ooColorMap, ooMerge | ooCrop,
                                           ooCrop | ooMerge | ooCleanup | ooColorMap};

} // namespace

TEST(GIFOptimizeRoundTrip, GeneratedDocumentsShowTheSamePictures)
{
    // Merge and crop, as the main window runs them, also go through a real file that our
    // own reader must read back byte for byte; they must make the assembled ones smaller.
    Generator gen(20261209);
    TempDir dir;
    std::size_t bytesBefore = 0, bytesAfter = 0;
    for (int n = 0; n < 400; ++n) {
        const bool assembled = n % 2 == 1;
        std::unique_ptr<TGIFImage> source = assembled ? gen.Assembled() : gen.Raw();
        const std::vector<std::uint8_t> original = source->SaveToBytes();
        const GLFile before = GiflibDecode(original);
        for (TGIFOptimizeOptions options : kOptionSets) {
            TGIFImage gif;
            gif.Assign(*source);
            Optimize(gif, options, rmNetscape, dmNearest, 8);
            const std::string what = "document " + std::to_string(n) + ", options " + std::to_string(options);
            std::vector<std::uint8_t> bytes;
            if (assembled && options == (ooMerge | ooCrop)) {
                gif.SaveToFile(dir.file("anim.gif"));
                bytes = ReadTestFile(dir.file("anim.gif"));
                TGIFImage back;
                back.LoadFromFile(dir.file("anim.gif"));
                EXPECT_EQ(back.SaveToBytes(), bytes) << what;
                bytesBefore += original.size();
                bytesAfter += bytes.size();
            } else {
                ASSERT_NO_THROW(bytes = gif.SaveToBytes()) << what;
            }
            GLFile after;
            ASSERT_NO_THROW(after = GiflibDecode(bytes)) << what;
            ExpectSameAnimation(before, after, what);
            if (HasFailure())
                return;
        }
    }
    EXPECT_LT(bytesAfter, bytesBefore * 4 / 5);
    std::printf("merge + crop of 200 assembled animations: %zu -> %zu bytes\n", bytesBefore, bytesAfter);
}
