// Frame access rules, warnings during merging, and the painter lock contract.
#include "GifTestData.h"

#include "gif/GIFImage.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

TEST(GifModel, PixelAccessEmptyFramesAndBadIndices)
{
    TGIFImage gif;
    TGIFSubImage* empty = gif.AddEmptyFrame();
    empty->AddExtension<TGIFCommentExtension>()->Text = {"only a comment"};
    try {
        empty->Pixel(0, 0);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Image is empty");
    }
    gif.Add(PaletteBitmap(2, 2, {clRed, clBlue}, [](int x, int) { return x; }));
    TGIFSubImage& f = *gif.Images[1];
    try {
        f.Pixel(2, 0);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid pixel coordinates");
    }
    // An index past the table is refused by the writer...
    f.SetPixel(1, 1, 5);
    try {
        gif.SaveToBytes();
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color not in color table");
    }
    // ...and mapped to entry 0 with a warning when the tables are merged.
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const TGIFObject&, int, const std::string& t) {
        warnings.push_back(t);
        return true;
    };
    gif.OptimizeColorMaps();
    EXPECT_EQ(warnings, std::vector<std::string>{"Color not in color table"});
    EXPECT_EQ(f.Bitmap().Pixel(1, 1), clRed);
    // The empty frame writes its extension only; the reader attaches it to the next frame.
    const std::vector<std::uint8_t> bytes = gif.SaveToBytes();
    TGIFImage back;
    back.LoadFromBytes(bytes);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.Images[0]->Extensions.size(), 1u);
}

TEST(GifModel, ChangingOperationsStopPaintersWhileHoldingTheLock)
{
    TGIFImage gif;
    gif.Add(PaletteBitmap(2, 1, {clRed, clBlue}, [](int x, int) { return x; }));

    struct Other : TGIFPainterHandle {
        void Stop() override {}
    } other;
    struct Painter : TGIFPainterHandle {
        TGIFImage* doc = nullptr;
        Other* other = nullptr;
        std::thread registrar;
        std::atomic<bool> registered{false};
        bool blockedDuringStop = false;
        int stops = 0;
        void Stop() override
        {
            ++stops;
            // Another thread cannot get at the painter list while we are being stopped.
            registrar = std::thread([this] {
                doc->AddPainter(other);
                registered = true;
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            blockedDuringStop = !registered;
        }
    };
    for (int op = 0; op < 3; ++op) {
        Painter p;
        p.doc = &gif;
        p.other = &other;
        gif.AddPainter(&p);
        if (op == 0)
            gif.OptimizeColorMaps();
        else if (op == 1)
            gif.DeleteFrame(5);
        else
            gif.Clear();
        p.registrar.join();
        EXPECT_EQ(p.stops, 1) << op;
        EXPECT_TRUE(p.blockedDuringStop) << op;
        EXPECT_TRUE(p.registered);
        EXPECT_EQ(gif.PainterCount(), 1); // the late one, not the stopped one
        gif.RemovePainter(&other);
    }
    EXPECT_TRUE(gif.Empty());
}

TEST(GifModel, TrueColorFramesGoThroughTheDocumentsReduction)
{
    // The defaults: Netscape 216 colours, nearest colour.
    TGIFImage gif;
    std::vector<std::string> progress;
    gif.OnProgress = [&](TGIFProgressStage stage, int percent, const std::string& text) {
        progress.push_back(std::to_string(stage) + ":" + std::to_string(percent) + ":" + text);
    };
    TBitmap bmp = SolidBitmap(4, 2, clRed);
    bmp.SetPixel(0, 1, RGB(10, 200, 30)); // bottom-left: the transparent colour
    bmp.SetPixel(3, 1, RGB(10, 200, 30));
    bmp.SetTransparent(true);
    gif.Add(bmp);
    const TGIFSubImage& f = *gif.Images[0];
    EXPECT_TRUE(f.Transparent());
    // Red stays red (cube index 180 before the table was optimised); the masked pixels
    // take the appended black entry.
    EXPECT_EQ(f.ActiveColorMap().ColorValue(f.Pixel(1, 0)), clRed);
    EXPECT_EQ(f.Pixel(0, 1), f.TransparentIndex());
    EXPECT_EQ(f.Pixel(3, 1), f.TransparentIndex());
    EXPECT_EQ(f.ColorMap.Count(), 3); // red, the green's cube colour, black
    EXPECT_NE(std::find(progress.begin(), progress.end(), "1:0:Converting..."), progress.end());
    progress.clear();
    gif.SaveToBytes();
    EXPECT_EQ(progress.front(), "0:0:Saving...");
    EXPECT_EQ(progress.back(), "2:100:Saving...");
}

TEST(GifModel, CopiedDocumentsOwnTheirTables)
{
    auto source = std::make_unique<TGIFImage>();
    source->Add(PaletteBitmap(3, 1, {clRed, clBlue, clLime}, [](int x, int) { return x == 2 ? 1 : 0; }));
    source->OptimizeColorMaps();
    TGIFImage copy;
    copy.Assign(*source);
    source.reset();
    // Optimising the copy's tables reaches the copy's frames, not the freed source.
    copy.Add(PaletteBitmap(2, 1, {clYellow, clBlack}, [](int x, int) { return x; }));
    copy.GlobalColorMap().Optimize();
    copy.Images[1]->ColorMap.Optimize();
    EXPECT_EQ(copy.GlobalColorMap().Palette(), (std::vector<TColor>{clRed, clBlue}));
    EXPECT_EQ(copy.Images[0]->Bitmap().Pixel(2, 0), clBlue);
    EXPECT_EQ(copy.Images[1]->ColorMap.Count(), 2);
}
