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

void run(TGIFImage& gif, TGIFOptimizeOptions options) { Optimize(gif, options, rmNetscape, dmNearest, 8); }

TGIFImage* screen(TGIFImage& gif, int w, int h, const std::vector<TColor>& global = {})
{
    gif.Header.Width = w;
    gif.Header.Height = h;
    gif.GlobalColorMap().Assign(GIFColors(global));
    return &gif;
}

TGIFSubImage& frame(TGIFImage& gif, int i) { return *gif.Images.at(static_cast<std::size_t>(i)); }

template <class T>
int countOf(const TGIFSubImage& f)
{
    int n = 0;
    for (const auto& e : f.Extensions)
        n += dynamic_cast<const T*>(e.get()) != nullptr;
    return n;
}

} // namespace

TEST(GIFOptimize, MergeThenCropFoldsARepeatedFrameIntoThePreviousOne)
{
    // The second frame lists the same colours in another order: pixels match by colour.
    TGIFImage gif;
    screen(gif, 3, 2);
    AddFrame(gif, {0, 0, {"012", "210"}, {clRed, clBlue, clLime}, 10});
    AddFrame(gif, {0, 0, {"120", "021"}, {clLime, clRed, clBlue}, 20});
    run(gif, ooMerge);
    TGIFSubImage& second = frame(gif, 1);
    EXPECT_EQ(FrameRows(second), (Rows{"333", "333"}));
    EXPECT_EQ(second.ColorMap.Palette(), (std::vector<TColor>{clLime, clRed, clBlue, clBlack}));
    EXPECT_EQ(second.TransparentIndex(), 3);
    EXPECT_EQ(second.Delay(), 20);
    EXPECT_EQ(FrameRows(frame(gif, 0)), (Rows{"012", "210"}));

    // Crop drops the invisible frame; its time goes to the previous frame, opaque or not.
    run(gif, ooCrop);
    ASSERT_EQ(gif.Count(), 1);
    EXPECT_EQ(frame(gif, 0).Delay(), 30);

    // A transparent first frame takes the delay too; one without graphic control gets one.
    for (bool transparentFirst : {true, false}) {
        TGIFImage g;
        screen(g, 2, 1, {clRed, clBlue, clBlack});
        AddFrame(g, {0, 0, {"02"}, {}, transparentFirst ? 4 : -1, 0, transparentFirst ? 2 : -1});
        AddFrame(g, {0, 0, {"01"}, {}, 6});
        run(g, ooMerge | ooCrop);
        ASSERT_EQ(g.Count(), 2) << "the second frame shows blue where the first is transparent";
        EXPECT_EQ(FrameRows(frame(g, 1)), Rows{"1"});
        EXPECT_EQ(frame(g, 1).Left, 1);

        TGIFImage same;
        screen(same, 2, 1, {clRed, clBlue, clBlack});
        AddFrame(same, {0, 0, {"01"}, {}, transparentFirst ? 4 : -1, 0, transparentFirst ? 2 : -1});
        AddFrame(same, {0, 0, {"01"}, {}, 6});
        run(same, ooMerge | ooCrop);
        ASSERT_EQ(same.Count(), 1);
        EXPECT_EQ(frame(same, 0).Delay(), transparentFirst ? 10 : 6);
    }
}

TEST(GIFOptimize, MergeNeedsRoomOrAnExistingTransparentIndex)
{
    const std::vector<TColor> full = DistinctPalette(256);
    {
        // Opaque frame with a full local table: nothing to allocate, nothing changes.
        TGIFImage gif;
        screen(gif, 3, 1);
        AddFrame(gif, {0, 0, {"012"}, full});
        AddFrame(gif, {0, 0, {"012"}, full});
        run(gif, ooMerge);
        EXPECT_EQ(FrameRows(frame(gif, 1)), Rows{"012"});
        EXPECT_FALSE(frame(gif, 1).Transparent());
        EXPECT_EQ(frame(gif, 1).ColorMap.Count(), 256);
        EXPECT_TRUE(frame(gif, 1).Extensions.empty());
        // Already transparent (index 255, unused so far): merges into that index.
        AddFrame(gif, {0, 0, {"013"}, full, 2, 0, 255});
        run(gif, ooMerge);
        EXPECT_EQ(frame(gif, 2).Data, (std::vector<std::uint8_t>{255, 255, 3}));
        EXPECT_EQ(frame(gif, 2).ColorMap.Count(), 256);
    }
    {
        // Frames on a full global table: no room; on a smaller one black is appended to it.
        TGIFImage gif;
        screen(gif, 2, 1, full);
        AddFrame(gif, {0, 0, {"01"}});
        AddFrame(gif, {0, 0, {"01"}});
        run(gif, ooMerge);
        EXPECT_FALSE(frame(gif, 1).Transparent());
        gif.GlobalColorMap().Assign(GIFColors({clRed, clBlue, clLime, clYellow}));
        run(gif, ooMerge);
        EXPECT_EQ(FrameRows(frame(gif, 1)), Rows{"44"});
        EXPECT_EQ(frame(gif, 1).TransparentIndex(), 4);
        EXPECT_EQ(gif.GlobalColorMap().Count(), 5);
        EXPECT_TRUE(frame(gif, 1).ColorMap.Colors().empty());
    }
}

TEST(GIFOptimize, MergeSharesAGlobalTransparentIndexOnlyWhereItIsNotAColour)
{
    // Frame 1 is transparent with index 2 (black). Frame 3 can use that index; frame 2
    // shows index 2 as black, so it gets a fresh black entry instead.
    TGIFImage gif;
    screen(gif, 2, 1, {clRed, clBlue, clBlack});
    AddFrame(gif, {0, 0, {"01"}, {}, 5});
    AddFrame(gif, {0, 0, {"02"}, {}, 5, 0, 2});
    AddFrame(gif, {0, 0, {"02"}, {}, 5});
    AddFrame(gif, {0, 0, {"01"}, {}, 5});
    run(gif, ooMerge);
    EXPECT_EQ(FrameRows(frame(gif, 1)), Rows{"22"});
    EXPECT_EQ(FrameRows(frame(gif, 2)), Rows{"32"});
    EXPECT_EQ(frame(gif, 2).TransparentIndex(), 3);
    EXPECT_EQ(FrameRows(frame(gif, 3)), Rows{"21"});
    EXPECT_EQ(frame(gif, 3).TransparentIndex(), 2);
    EXPECT_EQ(gif.GlobalColorMap().Palette(), (std::vector<TColor>{clRed, clBlue, clBlack, clBlack}));
    // Frame 2's black pixel is still visible: it is not its transparent index.
    EXPECT_EQ(frame(gif, 2).Mask(), (std::vector<std::uint8_t>{1, 0}));
}

TEST(GIFOptimize, MergeComparesWithThePictureLeftByTheDisposals)
{
    auto build = [](int d0, int d1, bool transparentFirst = false) {
        auto gif = std::make_unique<TGIFImage>();
        screen(*gif, 2, 1, {clRed, clBlue});
        AddFrame(*gif, {0, 0, {"01"}, {}, 5, d0, transparentFirst ? 0 : -1});
        AddFrame(*gif, {0, 0, {"11"}, {}, 5, d1});
        AddFrame(*gif, {0, 0, {"01"}, {}, 5});
        run(*gif, ooMerge);
        return gif;
    };
    // Frame 1 restores to previous: frame 2 is compared with frame 0.
    auto gif = build(0, 3);
    EXPECT_EQ(FrameRows(frame(*gif, 2)), Rows{"22"});
    EXPECT_EQ(FrameRows(frame(*gif, 1)), Rows{"12"}) << "blue over blue; shares frame 2's new index";
    // Frame 1 restores to background: nothing under frame 2 is known.
    gif = build(0, 2);
    EXPECT_EQ(FrameRows(frame(*gif, 2)), Rows{"01"});
    EXPECT_FALSE(frame(*gif, 2).Transparent());
    // Frames 0 and 1 both restore to previous: the reference is frame 0, which leaves nothing.
    gif = build(3, 3);
    EXPECT_EQ(FrameRows(frame(*gif, 2)), Rows{"01"});
    EXPECT_EQ(FrameRows(frame(*gif, 1)), Rows{"11"});
    // A transparent pixel of the reference shows what lay under it: never merged there.
    gif = build(0, 3, true);
    EXPECT_EQ(FrameRows(frame(*gif, 2)), Rows{"02"});
    EXPECT_EQ(frame(*gif, 2).TransparentIndex(), 2);

    // A loop starting at frame 1 follows the last frame on later passes: frame 1 stays.
    TGIFImage loop;
    screen(loop, 2, 1, {clRed, clBlue});
    AddFrame(loop, {0, 0, {"01"}, {}, 5});
    AddFrame(loop, {0, 0, {"01"}, {}, 5})->AddExtension<TGIFAppExtNSLoop>();
    run(loop, ooMerge);
    EXPECT_EQ(FrameRows(frame(loop, 1)), Rows{"01"});
}

TEST(GIFOptimize, MergeOfFramesAtOffsetsTouchesOnlyTheOverlap)
{
    TGIFImage gif;
    screen(gif, 5, 4);
    AddFrame(gif, {0, 0, {"0120", "1201", "2012"}, {clRed, clBlue, clLime}});
    // Covers x 2..4, y 1..3; overlap with frame 0 is x 2..3, y 1..2.
    AddFrame(gif, {2, 1, {"120", "000", "111"}, {clLime, clRed, clBlue}});
    run(gif, ooMerge);
    EXPECT_EQ(FrameRows(frame(gif, 1)), (Rows{"330", "030", "111"}));
    EXPECT_EQ(frame(gif, 1).TransparentIndex(), 3);
    EXPECT_EQ(frame(gif, 1).ColorMap.Count(), 4);
    // Frames that do not overlap are left alone.
    frame(gif, 1).Left = 4;
    frame(gif, 1).Top = 3;
    AddFrame(gif, {0, 0, {"0"}, {clRed}});
    run(gif, ooMerge);
    EXPECT_EQ(FrameRows(frame(gif, 2)), Rows{"0"});
    EXPECT_FALSE(frame(gif, 2).Transparent());
}

TEST(GIFOptimize, CropCutsTransparentFramesToTheirVisiblePixels)
{
    TGIFImage gif;
    screen(gif, 120, 120, {clRed, clBlack, clBlue});
    AddFrame(gif, {0, 0, {"00", "02"}, {}, 5});
    // 100 x 100, transparent index 1, one visible pixel at (10, 20): frame 1 at the
    // origin, frame 2 at (3, 4).
    for (int offset : {0, 1}) {
        FrameSpec spec{offset * 3, offset * 4, Rows(100, std::string(100, '1')), {}, 5, 0, 1};
        spec.Rows[20][10] = '0';
        AddFrame(gif, spec);
    }
    // An L of visible pixels: columns 1..3, rows 1..2.
    AddFrame(gif, {7, 9, {"1111", "1011", "1100", "1111"}, {}, 5, 0, 1});
    run(gif, ooCrop);
    ASSERT_EQ(gif.Count(), 4);
    EXPECT_EQ(FrameRows(frame(gif, 0)), (Rows{"00", "02"})) << "opaque frames stay";
    for (int offset : {0, 1}) {
        const TGIFSubImage& f = frame(gif, 1 + offset);
        EXPECT_EQ(f.BoundsRect(), Bounds(10 + offset * 3, 20 + offset * 4, 1, 1));
        EXPECT_EQ(FrameRows(f), Rows{"0"});
        EXPECT_EQ(f.Delay(), 5);
    }
    EXPECT_EQ(frame(gif, 3).BoundsRect(), Bounds(8, 10, 3, 2));
    EXPECT_EQ(FrameRows(frame(gif, 3)), (Rows{"011", "100"}));
}

TEST(GIFOptimize, CropKeepsWhatADisposalOrTheTimingNeeds)
{
    TGIFImage gif;
    screen(gif, 4, 1, {clRed, clBlack});
    // Nothing visible in frame 0: dropping it would lose its time and its loop extension.
    AddFrame(gif, {0, 0, {"1111"}, {}, 8, 0, 1})->AddExtension<TGIFAppExtNSLoop>()->SetLoops(3);
    // Restore to background clears the whole rectangle: not cropped.
    AddFrame(gif, {0, 0, {"1001"}, {}, 5, 2, 1});
    // Nothing visible, but under it lies the background left by frame 1, not frame 1.
    AddFrame(gif, {1, 0, {"111"}, {}, 6, 0, 1});
    // Restore to previous: cropping leaves the same state behind.
    AddFrame(gif, {0, 0, {"1001"}, {}, 7, 3, 1});
    run(gif, ooCrop);
    ASSERT_EQ(gif.Count(), 4);
    EXPECT_EQ(frame(gif, 0).BoundsRect(), Bounds(0, 0, 1, 1));
    EXPECT_EQ(frame(gif, 0).Delay(), 8);
    EXPECT_EQ(countOf<TGIFAppExtNSLoop>(frame(gif, 0)), 1);
    EXPECT_EQ(frame(gif, 1).BoundsRect(), Bounds(0, 0, 4, 1));
    EXPECT_EQ(frame(gif, 2).BoundsRect(), Bounds(1, 0, 1, 1));
    EXPECT_EQ(frame(gif, 2).Delay(), 6);
    EXPECT_EQ(frame(gif, 3).BoundsRect(), Bounds(1, 0, 2, 1));

    // A huge sum of delays saturates instead of wrapping round.
    TGIFImage slow;
    screen(slow, 1, 1, {clRed, clBlack});
    AddFrame(slow, {0, 0, {"0"}, {}, 60000});
    AddFrame(slow, {0, 0, {"1"}, {}, 60000, 0, 1});
    run(slow, ooCrop);
    ASSERT_EQ(slow.Count(), 1);
    EXPECT_EQ(frame(slow, 0).Delay(), 65535);
}

TEST(GIFOptimize, CleanUpOfAOneFrameDocument)
{
    TGIFImage gif;
    screen(gif, 2, 1, {clRed, clBlue});
    TGIFSubImage* f = AddFrame(gif, {0, 0, {"01"}, {}, 50, 2});
    f->AddExtension<TGIFAppExtNSLoop>();
    f->AddExtension<TGIFCommentExtension>()->Text = {"made by hand"};
    f->AddExtension<TGIFTextExtension>()->Text = {"hello"};
    f->AddExtension<TGIFUnknownAppExtension>()->SetIdentification("XMP DataXMP");
    run(gif, ooCleanup);
    ASSERT_EQ(gif.Count(), 1);
    EXPECT_TRUE(frame(gif, 0).Extensions.empty());
    EXPECT_EQ(FrameRows(frame(gif, 0)), Rows{"01"});

    // A transparent index no pixel uses is dropped, and with it the graphic control.
    AddFrame(gif, {0, 0, {"00"}, {}, 5, 0, 1});
    gif.Images.erase(gif.Images.begin());
    run(gif, ooCleanup);
    EXPECT_TRUE(frame(gif, 0).Extensions.empty());
    // A used one stays.
    AddFrame(gif, {0, 0, {"01"}, {}, 5, 0, 1});
    gif.Images.erase(gif.Images.begin());
    run(gif, ooCleanup);
    EXPECT_EQ(frame(gif, 0).TransparentIndex(), 1);
}

TEST(GIFOptimize, CleanUpOfAnAnimation)
{
    TGIFImage gif;
    screen(gif, 2, 1, {clRed, clBlue});
    TGIFSubImage* f0 = AddFrame(gif, {0, 0, {"01"}, {}, 0});
    f0->AddExtension<TGIFAppExtNSLoop>()->SetLoops(2);
    f0->AddExtension<TGIFCommentExtension>()->Text = {"x"};
    TGIFSubImage* f1 = AddFrame(gif, {0, 0, {"10"}, {}, 5});
    f1->AddExtension<TGIFAppExtNSLoop>();
    AddFrame(gif, {0, 0, {"11"}, {}, 0, 2});                               // covered by frame 3
    AddFrame(gif, {0, 0, {"00"}, {}, 0})->GraphicControlExtension()->SetUserInput(true);
    gif.AddEmptyFrame();                                                     // nothing at all
    AddFrame(gif, {0, 0, {}, {}, 7});                                        // empty, but timed
    run(gif, ooCleanup);
    ASSERT_EQ(gif.Count(), 5);
    EXPECT_EQ(frame(gif, 0).Extensions.size(), 1u);
    EXPECT_EQ(countOf<TGIFAppExtNSLoop>(frame(gif, 0)), 1);
    EXPECT_EQ(frame(gif, 1).Extensions.size(), 1u);
    EXPECT_EQ(frame(gif, 1).Delay(), 5);
    EXPECT_TRUE(frame(gif, 2).Extensions.empty()) << "disposal made 0, then delay 0 and opaque";
    EXPECT_TRUE(frame(gif, 3).GraphicControlExtension()->UserInput());
    EXPECT_TRUE(frame(gif, 4).Empty());
    EXPECT_EQ(frame(gif, 4).Delay(), 7);

    // Restoring stays where the next frame does not simply paint over it.
    for (int variant = 0; variant < 3; ++variant) {
        TGIFImage g;
        screen(g, 2, 1, {clRed, clBlue});
        AddFrame(g, {0, 0, {"01"}, {}, 5, 2});
        if (variant == 0)
            AddFrame(g, {0, 0, {"10"}, {}, 5, 0, 0}); // transparent
        else if (variant == 1)
            AddFrame(g, {1, 0, {"1"}, {}, 5});         // does not cover
        else
            AddFrame(g, {0, 0, {"10"}, {}, 5, 3});     // restores to the state frame 0 leaves
        run(g, ooCleanup);
        EXPECT_EQ(frame(g, 0).GraphicControlExtension()->Disposal(), 2) << variant;
    }
}

TEST(GIFOptimize, ColorTablesAreSortedByUseAndReferencesFollow)
{
    TGIFImage gif;
    screen(gif, 4, 1, {clRed, clBlue, clLime, clYellow});
    gif.Header.BackgroundColorIndex = 2; // lime, used by no pixel
    TGIFSubImage* f0 = AddFrame(gif, {0, 0, {"1113"}});
    auto* text = f0->AddExtension<TGIFTextExtension>();
    text->Block[11] = 1; // blue
    text->Block[12] = 0; // red
    AddFrame(gif, {0, 0, {"3330"}});
    AddFrame(gif, {0, 0, {"2222"}, {clWhite, clBlack, clRed}, 5, 0, 1}); // index 1 unused
    run(gif, ooColorMap);
    const TGIFColorMap& global = gif.GlobalColorMap();
    EXPECT_EQ(global.Palette(), (std::vector<TColor>{clYellow, clBlue, clRed, clLime}));
    EXPECT_TRUE(global.Sorted());
    EXPECT_EQ(gif.Header.BackgroundColorIndex, 3);
    EXPECT_EQ(text->ForegroundColorIndex(), 1);
    EXPECT_EQ(text->BackgroundColorIndex(), 2);
    EXPECT_EQ(FrameRows(frame(gif, 0)), Rows{"1110"});
    EXPECT_EQ(FrameRows(frame(gif, 1)), Rows{"0002"});
    const TGIFSubImage& local = frame(gif, 2);
    EXPECT_EQ(local.ColorMap.Palette(), (std::vector<TColor>{clRed, clBlack}));
    EXPECT_EQ(FrameRows(local), Rows{"0000"});
    EXPECT_EQ(local.TransparentIndex(), 1);
}

TEST(GIFOptimize, EmptyOddAndRefusedInput)
{
    struct FakePainter : TGIFPainterHandle {
        int stops = 0;
        void Stop() override { ++stops; }
    } painter;

    // An empty document: nothing happens, not even for the refused reduction method.
    TGIFImage none;
    none.AddPainter(&painter);
    Optimize(none, 0x1F, static_cast<TColorReduction>(kCallerPaletteReduction), dmNearest, 8);
    EXPECT_EQ(painter.stops, 0);
    EXPECT_TRUE(none.Empty());

    // The caller's palette cannot be reduced to: refused before anything changes.
    TGIFImage gif;
    screen(gif, 2, 1, {clRed, clBlue});
    AddFrame(gif, {0, 0, {"01"}, {}, 5});
    AddFrame(gif, {0, 0, {"01"}, {}, 5});
    try {
        Optimize(gif, ooMerge | ooCrop | ooReduceColors, static_cast<TColorReduction>(kCallerPaletteReduction), dmNearest, 8);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid reduction method");
    }
    EXPECT_EQ(gif.Count(), 2);
    EXPECT_EQ(FrameRows(frame(gif, 1)), Rows{"01"});
    // Any other method: the option changes nothing.
    Optimize(gif, ooReduceColors, rmQuantize, dmFloydSteinberg, 3);
    EXPECT_EQ(gif.Count(), 2);
    EXPECT_EQ(FrameRows(frame(gif, 1)), Rows{"01"});
    EXPECT_FALSE(frame(gif, 1).Transparent());

    // 0 x 0 frames, a frame 0 wide but 5 high, frames of other sizes and a frame whose
    // pixel data is shorter than its size: every option runs without touching bad data.
    TGIFImage odd;
    screen(odd, 6, 6, {clRed, clBlue});
    odd.AddEmptyFrame();
    AddFrame(odd, {0, 0, {"0101", "1010"}, {}, 5});
    odd.AddEmptyFrame()->SetSize(0, 5);
    AddFrame(odd, {2, 1, {"010", "101", "010"}, {}, 5});
    TGIFSubImage* shortData = AddFrame(odd, {0, 0, {"000", "000", "000"}, {}, 5, 0, 0});
    shortData->Data.resize(2);
    AddFrame(odd, {0, 0, Rows(6, "111111"), {}, 5});
    odd.AddEmptyFrame()->AddExtension<TGIFCommentExtension>();
    Optimize(odd, ooCrop | ooMerge | ooCleanup | ooColorMap, rmNetscape, dmNearest, 8);
    // The extension-less empty frames and the comment-only one are gone. Blue is used
    // most, so red and blue swap places in the global table.
    ASSERT_EQ(odd.Count(), 4);
    EXPECT_EQ(gif.GlobalColorMap().Count(), 2);
    EXPECT_EQ(odd.GlobalColorMap().Palette(), (std::vector<TColor>{clBlue, clRed}));
    EXPECT_EQ(FrameRows(frame(odd, 0)), (Rows{"1010", "0101"}));
    // The frame at (2, 1) followed the 0 x 5 frame: nothing to compare with, so it stays.
    EXPECT_EQ(FrameRows(frame(odd, 1)), (Rows{"101", "010", "101"}));
    EXPECT_EQ(frame(odd, 2).Data.size(), 2u);
    EXPECT_EQ(frame(odd, 3).BoundsRect(), Bounds(0, 0, 6, 6));
}

TEST(GIFOptimize, StopsPaintersHoldsTheLockAndReportsProgress)
{
    TGIFImage gif;
    screen(gif, 2, 1, {clRed, clBlue});
    for (int i = 0; i < 4; ++i)
        AddFrame(gif, {0, 0, {i % 2 ? "01" : "00"}, {}, 5});
    struct FakePainter : TGIFPainterHandle {
        int stops = 0;
        void Stop() override { ++stops; }
    } painter;
    gif.AddPainter(&painter);

    std::vector<std::pair<TGIFProgressStage, int>> reports;
    std::future<int> blocked;
    bool lockHeld = false;
    gif.OnProgress = [&](TGIFProgressStage stage, int percent, const std::string& text) {
        EXPECT_EQ(text, "Optimizing...");
        reports.emplace_back(stage, percent);
        if (stage == psRunning && !blocked.valid()) {
            // Another thread asking for the painter list must wait until the run is over.
            blocked = std::async(std::launch::async, [&gif] { return gif.PainterCount(); });
            lockHeld = blocked.wait_for(std::chrono::milliseconds(100)) == std::future_status::timeout;
        }
    };
    run(gif, ooCrop | ooMerge | ooCleanup | ooColorMap);
    EXPECT_EQ(painter.stops, 1);
    EXPECT_TRUE(lockHeld);
    EXPECT_EQ(blocked.get(), 0);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(reports.back(), std::make_pair(psEnding, 100));
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1].second, reports[i].second);
}
