#include "editor/DrawPicture.h"

#include "effects/GeometricEffects.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A picture with something on every pixel, so any resampling shows.
TBitmap Pattern(int w, int h)
{
    TBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB((x * 37 + y * 11) & 0xFF, (x * 5 + y * 71) & 0xFF, (x * y) & 0xFF));
    return b;
}

TBitmap Resampled(const TBitmap& source, int w, int h)
{
    TBitmap d(w, h);
    qorFX::SmoothResize(source, d);
    return d;
}

} // namespace

// Zoom resamples from the frame size, so x2 twice is x2 and x1 after x4 is the frame size;
// Update Frame copies a frame-sized picture unchanged and resamples a zoomed one.
TEST(DrawPicture, ZoomAndUpdateFrame)
{
    const TBitmap frame = Pattern(20, 10);
    TDrawPicture p;
    p.Load(frame);
    p.Zoom(2, 20, 10);
    const TBitmap twice = p.Bitmap();
    EXPECT_EQ(twice, Resampled(frame, 40, 20));
    p.Zoom(2, 20, 10);
    EXPECT_EQ(p.Bitmap(), twice);
    p.Zoom(4, 20, 10);
    EXPECT_EQ(p.Width(), 80);
    p.Zoom(1, 20, 10);
    EXPECT_EQ(p.Width(), 20);
    EXPECT_EQ(p.Bitmap(), Resampled(Resampled(twice, 80, 40), 20, 10));

    // An untouched frame comes back exactly as it went in, however often.
    TBitmap target = frame;
    target.SetTransparent(true);
    p.Load(frame);
    for (int i = 0; i < 3; ++i)
        p.StoreInto(target, 20, 10);
    EXPECT_EQ(target.Width(), 20);
    EXPECT_TRUE(target.Transparent());
    target.SetTransparent(false);
    EXPECT_EQ(target, frame);
    // After x2 the picture is resampled back to the frame size.
    p.Zoom(2, 20, 10);
    p.StoreInto(target, 20, 10);
    EXPECT_EQ(target, Resampled(Resampled(frame, 40, 20), 20, 10));
}

// Every change becomes one step of only the pixels it touched; 60 steps undo and redo
// in order, zoom included, within one editing; loading a frame starts afresh.
TEST(DrawPicture, UndoRedoSteps)
{
    TDrawPicture p;
    int repaints = 0;
    p.OnChanged = [&](const TRect&) { ++repaints; };
    p.Load(SolidBitmap(64, 64, clWhite));
    EXPECT_FALSE(p.Commit("nothing"));
    std::vector<TBitmap> states{p.Bitmap()};
    for (int i = 0; i < 60; ++i) {
        p.Canvas().SetPixel(i, i / 2, RGB(i, 255 - i, 0));
        ASSERT_TRUE(p.Commit("dot"));
        states.push_back(p.Bitmap());
    }
    // A one-pixel change keeps 3 bytes.
    EXPECT_EQ(p.History().Bytes(), 60u * 3);
    p.Zoom(2, 64, 64);
    states.push_back(p.Bitmap());
    EXPECT_EQ(p.History().UndoName(), "Zoom x2");
    for (int i = static_cast<int>(states.size()) - 2; i >= 0; --i) {
        p.Undo();
        ASSERT_EQ(p.Bitmap(), states[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(p.CanUndo());
    for (std::size_t i = 1; i < states.size(); ++i) {
        p.Redo();
        ASSERT_EQ(p.Bitmap(), states[i]) << i;
    }
    // Drawn but not yet recorded (a script): Undo takes that back first.
    p.Undo();
    p.Canvas().SetPixel(0, 0, clRed);
    p.Redo(); // a new change ends what could be redone
    EXPECT_EQ(p.Bitmap().Pixel(0, 0), clRed);
    EXPECT_FALSE(p.CanRedo());
    EXPECT_GT(repaints, 120);

    // A script that gives the picture another size is one whole-picture step.
    p.Picture().SetSize(10, 10);
    p.PictureChanged();
    p.Undo();
    EXPECT_EQ(p.Width(), 64);
    p.Load(SolidBitmap(8, 8, clWhite));
    EXPECT_FALSE(p.CanUndo());
}

// A 16384 x 16384 frame zoomed x4 is refused by the memory budget with the size in the
// message, and the editor goes on as it was (shown here on a smaller picture against a
// limit scaled to match). Without room for the comparison copy only Undo is off.
TEST(DrawPicture, MemoryBudgetRefusals)
{
    const std::uint64_t base = MemoryBudget::InUse();
    TDrawPicture p;
    p.Load(Pattern(256, 256));
    {
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 2 * 1024 * 1024);
        try {
            p.Zoom(4, 256, 256);
            FAIL() << "no refusal";
        } catch (const EOutOfMemory& e) {
            EXPECT_NE(std::string(e.what()).find("a 1024 x 1024 picture needs 3 MB"), std::string::npos) << e.what();
        }
        EXPECT_EQ(p.Width(), 256);
        p.Canvas().SetPixel(1, 1, clRed);
        EXPECT_TRUE(p.Commit("dot"));
        p.Undo();
        EXPECT_EQ(p.Bitmap(), Pattern(256, 256));
    }
    {
        // The real size: refused before anything is allocated.
        TDrawPicture huge;
        EXPECT_THROW(huge.Zoom(4, 16384, 16384), EOutOfMemory);
    }
    {
        const TBitmap pattern = Pattern(256, 256);
        MemoryBudget::TScopedLimit limit(MemoryBudget::InUse() + 300 * 1024);
        TDrawPicture tight;
        tight.Load(pattern); // 192 KB: the picture fits, its copy does not
        EXPECT_FALSE(tight.UndoAvailable());
        tight.Canvas().SetPixel(0, 0, clRed);
        EXPECT_FALSE(tight.Commit("dot"));
        tight.Undo();
        EXPECT_EQ(tight.Bitmap().Pixel(0, 0), clRed);
    }
    p.Load(TBitmap());
    EXPECT_EQ(MemoryBudget::InUse(), base);
}
