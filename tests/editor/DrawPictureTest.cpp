#include "editor/DrawPicture.h"

#include "EditorTestHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

// Update Frame writes the picture's pixels as they are, however often; whether it would
// change the frame follows the pixels, not the history: a drawing undone, or painted over
// with what was there, leaves nothing to write back. An indexed frame is read through its
// palette.
TEST(DrawPicture, UpdateFrameAndWhatItWouldChange)
{
    const TBitmap frame = Pattern(20, 10);
    TBitmap target = frame;
    target.SetTransparent(true);
    TDrawPicture p;
    p.Load(frame);
    for (int i = 0; i < 3; ++i)
        p.StoreInto(target);
    EXPECT_TRUE(target.Transparent());
    target.SetTransparent(false);
    EXPECT_EQ(target, frame);
    EXPECT_FALSE(p.DiffersFrom(frame));

    const TColor was = frame.Pixel(19, 9);
    p.Canvas().SetPixel(19, 9, clRed); // drawn, not yet recorded: counts
    EXPECT_TRUE(p.DiffersFrom(frame));
    p.Commit("dot");
    EXPECT_TRUE(p.DiffersFrom(frame));
    p.Undo();
    EXPECT_FALSE(p.DiffersFrom(frame));
    p.Redo();
    p.Canvas().SetPixel(19, 9, was);
    EXPECT_FALSE(p.DiffersFrom(frame));
    EXPECT_TRUE(p.DiffersFrom(Pattern(20, 11)));

    TBitmap indexed(3, 2, TPixelFormat::pf8bit);
    indexed.SetPixel(1, 1, clBlue);
    p.Load(indexed);
    EXPECT_FALSE(p.DiffersFrom(indexed));
    p.Canvas().SetPixel(0, 0, clBlue);
    EXPECT_TRUE(p.DiffersFrom(indexed));
}

// Every change becomes one step of only the pixels it touched; 60 steps undo and redo
// in order within one editing; loading a frame starts afresh.
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
    EXPECT_GT(repaints, 118);

    // A script that gives the picture another size is one whole-picture step.
    p.Picture().SetSize(10, 10);
    p.PictureChanged();
    p.Undo();
    EXPECT_EQ(p.Width(), 64);
    p.Load(SolidBitmap(8, 8, clWhite));
    EXPECT_FALSE(p.CanUndo());
}

// Without room for the comparison copy only Undo is off; the picture and the drawing go on.
TEST(DrawPicture, MemoryBudgetRefusals)
{
    const std::uint64_t base = MemoryBudget::InUse();
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
        EXPECT_TRUE(tight.DiffersFrom(pattern));
    }
    EXPECT_EQ(MemoryBudget::InUse(), base);
}
