// The frame optimizer on small hand-made documents: merge, crop, clean-up, colour tables,
// odd input, the painter lock and progress.
#include "GIFOptimizeFrames.h"
#include "GifTestData.h"

#include "gif/GIFOptimize.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace {

using Rows = std::vector<std::string>;

std::unique_ptr<TGIFImage> doc(int w, int h, const std::vector<TColor>& global, const std::vector<FramePlan>& frames,
                               TGIFOptimizeOptions options = 0)
{
    auto gif = std::make_unique<TGIFImage>();
    gif->Header.Width = w;
    gif->Header.Height = h;
    gif->GlobalColorMap().Assign(GIFColors(global));
    for (const FramePlan& f : frames)
        AddFrame(*gif, f);
    if (options)
        Optimize(*gif, options, rmNetscape, dmNearest, 8);
    return gif;
}

TGIFSubImage& frame(TGIFImage& gif, int i) { return *gif.Images.at(static_cast<std::size_t>(i)); }
Rows rows(TGIFImage& gif, int i) { return FrameRows(frame(gif, i)); }

} // namespace

TEST(GIFOptimize, MergeThenCropFoldsARepeatedFrameIntoThePreviousOne)
{
    // The second frame lists the same colours in another order: pixels match by colour.
    auto gif = doc(3, 2, {}, {{0, 0, {"012", "210"}, {clRed, clBlue, clLime}, 10}, {0, 0, {"120", "021"}, {clLime, clRed, clBlue}, 20}}, ooMerge);
    EXPECT_EQ(rows(*gif, 1), (Rows{"333", "333"}));
    EXPECT_EQ(frame(*gif, 1).ColorMap.Palette(), (std::vector<TColor>{clLime, clRed, clBlue, clBlack}));
    EXPECT_EQ(frame(*gif, 1).TransparentIndex(), 3);
    EXPECT_EQ(rows(*gif, 0), (Rows{"012", "210"}));
    // Crop drops the invisible frame; its time goes to the previous frame, opaque or not.
    Optimize(*gif, ooCrop, rmNetscape, dmNearest, 8);
    ASSERT_EQ(gif->Count(), 1);
    EXPECT_EQ(frame(*gif, 0).Delay(), 30);
    // A transparent first frame takes it too; one without graphic control gets one.
    for (bool transparentFirst : {true, false}) {
        const FramePlan first{0, 0, {"01"}, {}, transparentFirst ? 4 : -1, 0, transparentFirst ? 2 : -1};
        gif = doc(2, 1, {clRed, clBlue, clBlack}, {first, {0, 0, {"01"}, {}, 6}}, ooMerge | ooCrop);
        ASSERT_EQ(gif->Count(), 1);
        EXPECT_EQ(frame(*gif, 0).Delay(), transparentFirst ? 10 : 6);
    }
    // A huge sum saturates instead of wrapping round.
    gif = doc(1, 1, {clRed, clBlack}, {{0, 0, {"0"}, {}, 60000}, {0, 0, {"1"}, {}, 60000, 0, 1}}, ooCrop);
    EXPECT_EQ(frame(*gif, 0).Delay(), 65535);
}

TEST(GIFOptimize, MergeComparesWithThePictureLeftByTheDisposals)
{
    auto three = [](int d0, int d1, int t0 = -1) {
        return doc(2, 1, {clRed, clBlue}, {{0, 0, {"01"}, {}, 5, d0, t0}, {0, 0, {"11"}, {}, 5, d1}, {0, 0, {"01"}, {}, 5}}, ooMerge);
    };
    // Frame 1 restores to previous: frame 2 is compared with frame 0 and gets black (2).
    auto gif = three(0, 3);
    EXPECT_EQ(rows(*gif, 2), Rows{"22"});
    EXPECT_EQ(rows(*gif, 1), Rows{"12"}) << "blue over blue; shares frame 2's new index";
    // Restore to background under frame 2, or nothing left by frames 0 and 1: no merge.
    EXPECT_EQ(rows(*three(0, 2), 2), Rows{"01"});
    gif = three(3, 3);
    EXPECT_EQ(rows(*gif, 2), Rows{"01"});
    EXPECT_EQ(rows(*gif, 1), Rows{"11"});
    // A transparent pixel of the reference shows what lay under it: never merged there.
    EXPECT_EQ(rows(*three(0, 3, 0), 2), Rows{"02"});

    // Offsets: frame 1 covers x 2..4, y 1..3 and overlaps frame 0 at x 2..3, y 1..2.
    gif = doc(5, 4, {}, {{0, 0, {"0120", "1201", "2012"}, {clRed, clBlue, clLime}}, {2, 1, {"120", "000", "111"}, {clLime, clRed, clBlue}}}, ooMerge);
    EXPECT_EQ(rows(*gif, 1), (Rows{"330", "030", "111"}));
    // Frames apart from each other are left alone.
    gif = doc(5, 4, {}, {{0, 0, {"0"}, {clRed}}, {1, 1, {"0"}, {clRed}}}, ooMerge);
    EXPECT_FALSE(frame(*gif, 1).Transparent());

    // A loop starting at frame 1 follows the last frame on later passes: frame 1 stays.
    gif = doc(2, 1, {clRed, clBlue}, {{0, 0, {"01"}}, {0, 0, {"01"}}});
    frame(*gif, 1).AddExtension<TGIFAppExtNSLoop>();
    Optimize(*gif, ooMerge, rmNetscape, dmNearest, 8);
    EXPECT_EQ(rows(*gif, 1), Rows{"01"});
}

TEST(GIFOptimize, MergeFindsATransparentIndexOnlyWhereItIsSafe)
{
    const std::vector<TColor> full = DistinctPalette(256);
    // Opaque with a full local or global table: no room, nothing changes.
    auto gif = doc(3, 1, {}, {{0, 0, {"012"}, full}, {0, 0, {"012"}, full}}, ooMerge);
    EXPECT_FALSE(frame(*gif, 1).Transparent());
    EXPECT_EQ(frame(*gif, 1).ColorMap.Count(), 256);
    gif = doc(2, 1, full, {{0, 0, {"01"}}, {0, 0, {"01"}}}, ooMerge);
    EXPECT_FALSE(frame(*gif, 1).Transparent());
    // Already transparent (index 255, unused so far): merges into that index.
    gif = doc(3, 1, {}, {{0, 0, {"012"}, full}, {0, 0, {"013"}, full, 2, 0, 255}}, ooMerge);
    EXPECT_EQ(frame(*gif, 1).Data, (std::vector<std::uint8_t>{255, 255, 3}));

    // Frame 1 is transparent with global index 2. Frame 3 shares it; frame 2 shows index 2
    // as black, so black is appended to the global table for it instead.
    gif = doc(2, 1, {clRed, clBlue, clBlack},
              {{0, 0, {"01"}, {}, 5}, {0, 0, {"02"}, {}, 5, 0, 2}, {0, 0, {"02"}, {}, 5}, {0, 0, {"01"}, {}, 5}}, ooMerge);
    EXPECT_EQ(rows(*gif, 1), Rows{"22"});
    EXPECT_EQ(rows(*gif, 2), Rows{"32"});
    EXPECT_EQ(frame(*gif, 2).Mask(), (std::vector<std::uint8_t>{1, 0}));
    EXPECT_EQ(rows(*gif, 3), Rows{"21"});
    EXPECT_EQ(frame(*gif, 3).TransparentIndex(), 2);
    EXPECT_EQ(gif->GlobalColorMap().Palette(), (std::vector<TColor>{clRed, clBlue, clBlack, clBlack}));

    // A transparent index past the table (as files may have it) never goes into pixels:
    // the frame would no longer save.
    gif = doc(2, 1, {}, {{0, 0, {"01"}, {clRed, clBlue, clLime}}, {0, 0, {"01"}, {}, 5, 0, 7}});
    frame(*gif, 1).ColorMap.Assign(GIFColors({clRed, clBlue, clLime}));
    Optimize(*gif, ooMerge, rmNetscape, dmNearest, 8);
    EXPECT_EQ(rows(*gif, 1), Rows{"01"});
    EXPECT_NO_THROW(gif->SaveToBytes());
}

TEST(GIFOptimize, CropCutsTransparentFramesToTheirVisiblePixels)
{
    // 100 x 100 with one visible pixel at (10, 20), at the origin and at (3, 4); an L of
    // visible pixels in columns 1..3, rows 1..2; an opaque frame.
    std::vector<FramePlan> frames{{0, 0, {"00", "02"}, {}, 5}};
    for (int offset : {0, 1}) {
        frames.push_back({offset * 3, offset * 4, Rows(100, std::string(100, '1')), {}, 5, 0, 1});
        frames.back().Rows[20][10] = '0';
    }
    frames.push_back({7, 9, {"1111", "1011", "1100", "1111"}, {}, 5, 0, 1});
    auto gif = doc(120, 120, {clRed, clBlack, clBlue}, frames, ooCrop);
    ASSERT_EQ(gif->Count(), 4);
    EXPECT_EQ(rows(*gif, 0), (Rows{"00", "02"}));
    EXPECT_EQ(frame(*gif, 1).BoundsRect(), Bounds(10, 20, 1, 1));
    EXPECT_EQ(frame(*gif, 2).BoundsRect(), Bounds(13, 24, 1, 1));
    EXPECT_EQ(rows(*gif, 2), Rows{"0"});
    EXPECT_EQ(frame(*gif, 3).BoundsRect(), Bounds(8, 10, 3, 2));
    EXPECT_EQ(rows(*gif, 3), (Rows{"011", "100"}));

    // Frame 0 shows nothing but holds time and the loop: one transparent pixel stays.
    // Frame 1 restores to background over its whole rectangle: not cropped. Frame 2 shows
    // nothing over the background left by frame 1 (not over frame 1): kept. Frame 3
    // restores to previous: cropping leaves the same state behind.
    gif = doc(4, 1, {clRed, clBlack},
              {{0, 0, {"1111"}, {}, 8, 0, 1}, {0, 0, {"1001"}, {}, 5, 2, 1}, {1, 0, {"111"}, {}, 6, 0, 1}, {0, 0, {"1001"}, {}, 7, 3, 1}});
    frame(*gif, 0).AddExtension<TGIFAppExtNSLoop>();
    Optimize(*gif, ooCrop, rmNetscape, dmNearest, 8);
    ASSERT_EQ(gif->Count(), 4);
    EXPECT_EQ(frame(*gif, 0).BoundsRect(), Bounds(0, 0, 1, 1));
    EXPECT_EQ(frame(*gif, 0).Extensions.size(), 2u);
    EXPECT_EQ(frame(*gif, 1).BoundsRect(), Bounds(0, 0, 4, 1));
    EXPECT_EQ(frame(*gif, 2).BoundsRect(), Bounds(1, 0, 1, 1));
    EXPECT_EQ(frame(*gif, 3).BoundsRect(), Bounds(1, 0, 2, 1));
}

TEST(GIFOptimize, CleanUpDropsBlocksWithoutEffect)
{
    // One frame: loop, comment, text, unknown application and graphic control all go; a
    // transparent index no pixel uses goes first, a used one keeps its graphic control.
    for (int t : {-1, 0, 1}) {
        auto gif = doc(2, 1, {clRed, clBlue}, {{0, 0, {"11"}, {}, 50, 2, t}});
        TGIFSubImage& f = frame(*gif, 0);
        f.AddExtension<TGIFAppExtNSLoop>();
        f.AddExtension<TGIFCommentExtension>()->Text = {"made by hand"};
        f.AddExtension<TGIFTextExtension>()->Text = {"hello"};
        f.AddExtension<TGIFUnknownAppExtension>()->SetIdentification("XMP DataXMP");
        Optimize(*gif, ooCleanup, rmNetscape, dmNearest, 8);
        EXPECT_EQ(f.Extensions.size(), t == 1 ? 1u : 0u) << t;
        EXPECT_EQ(rows(*gif, 0), Rows{"11"});
    }

    // An animation: the loop on frame 0 stays, a second one goes; graphic controls stay
    // for a delay, a user-input flag or a restore that the next frame does not hide.
    auto gif = doc(2, 1, {clRed, clBlue},
                   {{0, 0, {"01"}, {}, 0}, {0, 0, {"10"}, {}, 5}, {0, 0, {"11"}, {}, 0, 2}, {0, 0, {"00"}, {}, 0}, {}, {0, 0, {}, {}, 7}});
    frame(*gif, 0).AddExtension<TGIFAppExtNSLoop>()->SetLoops(2);
    frame(*gif, 0).AddExtension<TGIFCommentExtension>();
    frame(*gif, 1).AddExtension<TGIFAppExtNSLoop>();
    frame(*gif, 3).GraphicControlExtension()->SetUserInput(true);
    Optimize(*gif, ooCleanup, rmNetscape, dmNearest, 8);
    ASSERT_EQ(gif->Count(), 5) << "the empty frame without extensions is gone";
    EXPECT_EQ(frame(*gif, 0).Extensions.size(), 1u);
    EXPECT_EQ(dynamic_cast<TGIFAppExtNSLoop&>(*frame(*gif, 0).Extensions[0]).Loops(), 2);
    EXPECT_EQ(frame(*gif, 1).Extensions.size(), 1u);
    EXPECT_TRUE(frame(*gif, 2).Extensions.empty()) << "disposal made 0 under frame 3, then delay 0";
    EXPECT_EQ(frame(*gif, 3).Extensions.size(), 1u);
    EXPECT_EQ(frame(*gif, 4).Delay(), 7);
    // A restore stays under a transparent frame, one that does not cover it, and one that
    // restores to previous (it would go back to the picture frame 0 leaves).
    for (const FramePlan& next : {FramePlan{0, 0, {"10"}, {}, 5, 0, 0}, FramePlan{1, 0, {"1"}, {}, 5}, FramePlan{0, 0, {"10"}, {}, 5, 3}}) {
        gif = doc(2, 1, {clRed, clBlue}, {{0, 0, {"01"}, {}, 5, 2}, next}, ooCleanup);
        EXPECT_EQ(frame(*gif, 0).GraphicControlExtension()->Disposal(), 2);
    }
}

TEST(GIFOptimize, ColorTablesAreSortedByUseAndReferencesFollow)
{
    auto gif = doc(4, 1, {clRed, clBlue, clLime, clYellow}, {{0, 0, {"1113"}}, {0, 0, {"3330"}}, {0, 0, {"2222"}, {clWhite, clBlack, clRed}, 5, 0, 1}});
    gif->Header.BackgroundColorIndex = 2; // lime, which no pixel uses
    auto* text = frame(*gif, 0).AddExtension<TGIFTextExtension>();
    text->Block[11] = 1; // blue
    text->Block[12] = 0; // red
    Optimize(*gif, ooColorMap, rmNetscape, dmNearest, 8);
    EXPECT_EQ(gif->GlobalColorMap().Palette(), (std::vector<TColor>{clYellow, clBlue, clRed, clLime}));
    EXPECT_TRUE(gif->GlobalColorMap().Sorted());
    EXPECT_EQ(gif->Header.BackgroundColorIndex, 3);
    EXPECT_EQ(text->ForegroundColorIndex(), 1);
    EXPECT_EQ(text->BackgroundColorIndex(), 2);
    EXPECT_EQ(rows(*gif, 0), Rows{"1110"});
    EXPECT_EQ(rows(*gif, 1), Rows{"0002"});
    // The local table keeps its unused transparent entry.
    EXPECT_EQ(frame(*gif, 2).ColorMap.Palette(), (std::vector<TColor>{clRed, clBlack}));
    EXPECT_EQ(rows(*gif, 2), Rows{"0000"});
    EXPECT_EQ(frame(*gif, 2).TransparentIndex(), 1);
}

TEST(GIFOptimize, EmptyOddAndRefusedInput)
{
    struct FakePainter : TGIFPainterHandle {
        int stops = 0;
        void Stop() override { ++stops; }
    } painter;
    const auto callerPalette = static_cast<TColorReduction>(kCallerPaletteReduction);

    // An empty document: nothing happens, not even for the refused reduction method.
    TGIFImage none;
    none.AddPainter(&painter);
    Optimize(none, 0x1F, callerPalette, dmNearest, 8);
    EXPECT_EQ(painter.stops, 0);

    // The caller's palette cannot be reduced to: refused before anything changes. Any
    // other method: that option changes nothing.
    auto gif = doc(2, 1, {clRed, clBlue}, {{0, 0, {"01"}, {}, 5}, {0, 0, {"01"}, {}, 5}});
    try {
        Optimize(*gif, ooMerge | ooCrop | ooReduceColors, callerPalette, dmNearest, 8);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid reduction method");
    }
    Optimize(*gif, ooReduceColors, rmQuantize, dmFloydSteinberg, 3);
    EXPECT_EQ(gif->Count(), 2);
    EXPECT_FALSE(frame(*gif, 1).Transparent());

    // 0 x 0 frames, a frame 0 wide and 5 high, a frame whose data is shorter than its size,
    // frames of other sizes: every option runs without touching bad data.
    gif = doc(6, 6, {clRed, clBlue},
              {{}, {0, 0, {"0101", "1010"}, {}, 5}, {}, {2, 1, {"010", "101", "010"}, {}, 5}, {0, 0, {"000", "000", "000"}, {}, 5, 0, 0},
               {0, 0, Rows(6, "111111"), {}, 5}, {}});
    frame(*gif, 2).SetSize(0, 5);
    frame(*gif, 4).Data.resize(2);
    frame(*gif, 6).AddExtension<TGIFCommentExtension>();
    Optimize(*gif, ooCrop | ooMerge | ooCleanup | ooColorMap, rmNetscape, dmNearest, 8);
    // The empty frames are gone. Blue is used most: red and blue swap places. The frame at
    // (2, 1) followed the 0 x 5 frame: nothing to compare with, so it stays.
    ASSERT_EQ(gif->Count(), 4);
    EXPECT_EQ(gif->GlobalColorMap().Palette(), (std::vector<TColor>{clBlue, clRed}));
    EXPECT_EQ(rows(*gif, 0), (Rows{"1010", "0101"}));
    EXPECT_EQ(rows(*gif, 1), (Rows{"101", "010", "101"}));
    EXPECT_EQ(frame(*gif, 2).Data.size(), 2u);
    EXPECT_EQ(frame(*gif, 3).BoundsRect(), Bounds(0, 0, 6, 6));
}

TEST(GIFOptimize, StopsPaintersHoldsTheLockAndReportsProgress)
{
    auto gif = doc(2, 1, {clRed, clBlue}, {{0, 0, {"00"}, {}, 5}, {0, 0, {"01"}, {}, 5}, {0, 0, {"00"}, {}, 5}});
    struct FakePainter : TGIFPainterHandle {
        int stops = 0;
        void Stop() override { ++stops; }
    } painter;
    gif->AddPainter(&painter);
    std::vector<std::pair<TGIFProgressStage, int>> reports;
    std::future<int> blocked;
    bool lockHeld = false;
    gif->OnProgress = [&](TGIFProgressStage stage, int percent, const std::string& text) {
        EXPECT_EQ(text, "Optimizing...");
        reports.emplace_back(stage, percent);
        if (stage == psRunning && !blocked.valid()) {
            // Another thread asking for the painter list must wait until the run is over.
            blocked = std::async(std::launch::async, [&gif] { return gif->PainterCount(); });
            lockHeld = blocked.wait_for(std::chrono::milliseconds(100)) == std::future_status::timeout;
        }
    };
    Optimize(*gif, ooCrop | ooMerge | ooCleanup | ooColorMap, rmNetscape, dmNearest, 8);
    EXPECT_EQ(painter.stops, 1);
    EXPECT_TRUE(lockHeld);
    EXPECT_EQ(blocked.get(), 0);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(reports.back(), std::make_pair(psEnding, 100));
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1].second, reports[i].second);
}
