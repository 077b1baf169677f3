#include "workspace/FrameStrip.h"

#include "graphics/Exception.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A strip of `n` white frames of w x h, created the way New Frame does.
TFrameStrip MakeStrip(int n, int w = 20, int h = 10)
{
    TFrameStrip s;
    s.SetFrameSize(w, h);
    for (int i = 0; i < n; ++i)
        s.NewFrame();
    return s;
}

std::vector<std::string> Names(const TFrameStrip& s)
{
    std::vector<std::string> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.FindFrameImage(i).Name);
    return out;
}

std::vector<int> Lefts(const TFrameStrip& s)
{
    std::vector<int> out;
    for (int i = 0; i < s.Count(); ++i)
        out.push_back(s.FrameLeft(i));
    return out;
}

// Marks frame i with a colour of its own in the top-left pixel, to follow it around.
void Mark(TFrameStrip& s, int i, TColor c)
{
    TBitmap picture = s.FindFrameImage(i).Bitmap();
    picture.SetPixel(0, 0, c);
    s.SetPicture(i, picture);
}

} // namespace

TEST(TryParseInt, AcceptsWholeNumbersOnly)
{
    int v = -1;
    EXPECT_TRUE(TryParseInt("42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(TryParseInt(" -7 ", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(TryParseInt("+5", v));
    EXPECT_EQ(v, 5);
    for (const char* bad : {"", "abc", "12abc", "1.5", "+", "-", "99999999999", "1 2"})
        EXPECT_FALSE(TryParseInt(bad, v)) << bad;
    EXPECT_EQ(StrToIntDef("abc", 30), 30);
}

TEST(FrameStrip, NewFramesAreWhiteNamedInSequenceAndLaidOut)
{
    TFrameStrip s;
    s.SetFrameSize(100, 50);
    s.Session.DefaultDelay = 12;
    s.NewFrame();
    ASSERT_EQ(s.Count(), 1);
    EXPECT_EQ(s.EntryText(0), "Frame1=12");
    const TBitmap& b = s.FindFrameImage(0).Bitmap();
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 50);
    EXPECT_EQ(b.Pixel(0, 0), clWhite);
    EXPECT_EQ(b.Pixel(99, 49), clWhite);
    EXPECT_FALSE(b.Transparent());
    EXPECT_EQ(s.ItemIndex(), 0);
    EXPECT_TRUE(s.IsSelected(0));

    // The next one goes right after the selected frame, not at the end.
    s.Session.DefTrans = true;
    s.NewFrame();
    s.SetItemIndex(0);
    s.NewFrame();
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame1", "Frame3", "Frame2"}));
    EXPECT_EQ(Lefts(s), (std::vector<int>{0, 105, 210}));
    EXPECT_EQ(s.ItemIndex(), 1);
    EXPECT_TRUE(s.IsTransparent(1));
    EXPECT_FALSE(s.IsTransparent(0));
    EXPECT_EQ(s.FrameCounter(), 4);
}

TEST(FrameStrip, DuplicateOfLastAndOfMiddleFrame)
{
    TFrameStrip s = MakeStrip(3);
    Mark(s, 2, clRed);
    s.SetDelayText(2, "77");
    s.SetTransparent(2, true);
    s.Session.DefaultDelay = 15;

    // Last frame: appended, DefaultDelay and the DefTrans state, not the source's.
    s.SetItemIndex(2);
    EXPECT_EQ(s.Duplicate(), 3);
    EXPECT_EQ(s.EntryText(3), "Frame4=15");
    EXPECT_EQ(s.FindFrameImage(3).Bitmap().Pixel(0, 0), clRed);
    EXPECT_FALSE(s.IsTransparent(3));
    EXPECT_EQ(s.ItemIndex(), 2);

    // Middle frame: right after it, selection unchanged.
    Mark(s, 1, clBlue);
    s.SelectOnly(1);
    EXPECT_EQ(s.Duplicate(), 2);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame1", "Frame2", "Frame5", "Frame3", "Frame4"}));
    EXPECT_EQ(s.FindFrameImage(2).Bitmap().Pixel(0, 0), clBlue);
    EXPECT_EQ(s.FindFrameImage(3).Bitmap().Pixel(0, 0), clRed);
    EXPECT_EQ(s.ItemIndex(), 1);
    EXPECT_EQ(s.SelectedIndices(), std::vector<int>{1});
    EXPECT_EQ(Lefts(s), (std::vector<int>{0, 25, 50, 75, 100}));

    // Nothing selected: nothing happens.
    s.SetItemIndex(-1);
    EXPECT_EQ(s.Duplicate(), -1);
    EXPECT_EQ(s.Count(), 5);
}

TEST(FrameStrip, DeleteSelectedKeepsCounterAndRelays)
{
    TFrameStrip s = MakeStrip(5);
    s.ClearSelection();
    s.SetSelected(1, true);
    s.SetSelected(3, true);
    s.DeleteSelected();
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame1", "Frame3", "Frame5"}));
    EXPECT_EQ(Lefts(s), (std::vector<int>{0, 25, 50}));
    s.NewFrame();
    EXPECT_EQ(s.FindFrameImage(s.ItemIndex()).Name, "Frame6");

    // Deleting everything leaves no item index; the numbering goes on.
    for (int i = 0; i < s.Count(); ++i)
        s.SetSelected(i, true);
    s.DeleteSelected();
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(s.ItemIndex(), -1);
    EXPECT_EQ(s.FrameCounter(), 7);
    // Clearing an empty strip does nothing, not even the counter reset.
    s.ClearFrames();
    EXPECT_EQ(s.FrameCounter(), 7);
}

TEST(FrameStrip, ClearFramesRestartsNumberingAndKeepsSize)
{
    TFrameStrip s = MakeStrip(3, 30, 40);
    s.ClearFrames();
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(s.FrameCounter(), 1);
    EXPECT_EQ(s.ItemIndex(), -1);
    EXPECT_EQ(s.FrameWidth(), 30);
    EXPECT_EQ(s.FrameHeight(), 40);
    s.NewFrame();
    EXPECT_EQ(s.EntryText(0), "Frame1=10");
}

TEST(FrameStrip, DragMovesEntryAndShiftsTheOthers)
{
    TFrameStrip s = MakeStrip(5);
    s.SelectOnly(0);
    s.MoveFrame(0, 3);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame2", "Frame3", "Frame4", "Frame1", "Frame5"}));
    EXPECT_EQ(s.ItemIndex(), 3); // the dragged frame stays the current one
    EXPECT_TRUE(s.IsSelected(3));
    EXPECT_EQ(Lefts(s), (std::vector<int>{0, 25, 50, 75, 100}));

    // Backwards, and drops outside the list.
    s.MoveFrame(4, 0);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame5", "Frame2", "Frame3", "Frame4", "Frame1"}));
    EXPECT_EQ(s.ItemIndex(), 4);
    s.MoveFrame(0, 5);
    s.MoveFrame(-1, 2);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame5", "Frame2", "Frame3", "Frame4", "Frame1"}));
}

TEST(FrameStrip, DelaysReadAsNumbersOr30)
{
    TFrameStrip s = MakeStrip(2);
    s.SetDelayText(0, "abc");
    s.SetDelayText(1, "25");
    EXPECT_EQ(s.EntryText(0), "Frame1=abc");
    EXPECT_EQ(s.GetFrameDelay(0), 30);
    EXPECT_EQ(s.GetFrameDelay(1), 25);
    s.SetAllDelayTexts("40");
    EXPECT_EQ(s.GetFrameDelay(0), 40);
    EXPECT_THROW(s.GetFrameDelay(2), EInvalidArgument);
}

TEST(FrameStrip, PicturesInAndOutAtTheFrameSize)
{
    TFrameStrip s = MakeStrip(2, 4, 3);
    TBitmap picture = s.FramePicture(1);
    EXPECT_EQ(picture, SolidBitmap(4, 3, clWhite));
    picture.SetPixel(3, 2, clGreen);
    s.StorePicture(1, picture);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(3, 2), clGreen);

    // A bigger picture is cut to the frame on store; a smaller frame picture comes out
    // white beyond its own size.
    TBitmap big = SolidBitmap(6, 6, clBlack);
    big.SetPixel(3, 2, clGreen);
    s.StorePicture(0, big);
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Width(), 4);
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Pixel(3, 2), clGreen);
    s.SetPicture(0, SolidBitmap(2, 2, clBlack));
    EXPECT_EQ(s.FramePicture(0).Pixel(1, 1), clBlack);
    EXPECT_EQ(s.FramePicture(0).Pixel(3, 2), clWhite);

    // A palette frame is stored at 24 bits rather than squeezed onto its palette.
    TBitmap palette = SolidBitmap(4, 3, clWhite);
    palette.SetPixelFormat(TPixelFormat::pf8bit);
    s.SetPicture(0, palette);
    s.StorePicture(0, SolidBitmap(4, 3, RGB(1, 2, 3)));
    EXPECT_EQ(s.FindFrameImage(0).Bitmap().Pixel(1, 1), RGB(1, 2, 3));
    // The transparency flag stays the frame's.
    s.SetTransparent(0, true);
    s.StorePicture(0, SolidBitmap(4, 3, clRed));
    EXPECT_TRUE(s.IsTransparent(0));
}

TEST(FrameStrip, WizardFramesInsertInOrderAfterSelection)
{
    TFrameStrip s = MakeStrip(3, 4, 4);
    s.ResetWizardList();
    // Nothing to insert.
    s.SelectOnly(0);
    EXPECT_EQ(s.InsertWizardFrames(), 0);
    s.AddWizardImage(SolidBitmap(4, 4, clRed));
    s.AddWizardImage(SolidBitmap(4, 4, clBlue));
    s.SetItemIndex(-1);
    EXPECT_EQ(s.InsertWizardFrames(), 0);
    EXPECT_EQ(s.Count(), 3);

    s.SelectOnly(0);
    s.SetSelected(2, true);
    EXPECT_EQ(s.InsertWizardFrames(), 2);
    EXPECT_EQ(Names(s), (std::vector<std::string>{"Frame1", "Frame4", "Frame5", "Frame2", "Frame3"}));
    EXPECT_EQ(s.FindFrameImage(1).Bitmap().Pixel(0, 0), clRed);
    EXPECT_EQ(s.FindFrameImage(2).Bitmap().Pixel(0, 0), clBlue);
    EXPECT_EQ(s.SelectedIndices(), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.ItemIndex(), 2);
    // The list is kept: repeating inserts the same images again after the last one.
    EXPECT_EQ(s.InsertWizardFrames(), 2);
    EXPECT_EQ(s.Count(), 7);
    EXPECT_EQ(s.FindFrameImage(3).Bitmap().Pixel(0, 0), clRed);
    EXPECT_EQ(s.WizardImages().size(), 2u);
}

TEST(FrameStrip, AppendFitsTheFrameSize)
{
    TFrameStrip s = MakeStrip(1, 5, 5);
    s.SetItemIndex(-1);
    const int i = s.Append(SolidBitmap(8, 2, clRed));
    EXPECT_EQ(i, 1);
    EXPECT_EQ(s.ItemIndex(), 1);
    const TBitmap& b = s.FindFrameImage(1).Bitmap();
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_EQ(b.Pixel(4, 1), clRed);
}

TEST(FrameStrip, ImpossibleFrameSizeIsRefusedWithoutTrace)
{
    TFrameStrip s;
    s.SetFrameSize(100000, 100000);
    EXPECT_THROW(s.NewFrame(), EInvalidGraphic);
    EXPECT_TRUE(s.Empty());
    EXPECT_EQ(s.FrameCounter(), 1);
}

TEST(FrameStrip, VersionsChangeWithThePicture)
{
    TFrameStrip s = MakeStrip(2);
    const std::uint64_t v0 = s.FindFrameImage(0).Version, v1 = s.FindFrameImage(1).Version;
    EXPECT_NE(v0, v1);
    s.SetDelayText(0, "20");
    s.MoveFrame(0, 1);
    EXPECT_EQ(s.FindFrameImage(1).Version, v0);
    s.SetTransparent(1, true);
    const std::uint64_t v2 = s.FindFrameImage(1).Version;
    EXPECT_GT(v2, v1);
    s.StorePicture(1, s.FramePicture(1));
    s.SetPicture(0, s.FindFrameImage(0).Bitmap());
    EXPECT_GT(s.FindFrameImage(1).Version, v2);
    EXPECT_NE(s.FindFrameImage(0).Version, v1);
    // A cleared strip starts its names again but never its versions.
    s.ClearFrames();
    s.NewFrame();
    EXPECT_GT(s.FindFrameImage(0).Version, v2);
}

TEST(FrameStrip, ObserversHearChangesOncePerUpdate)
{
    TFrameStrip s = MakeStrip(2);
    int frames = 0, selection = 0, entries = 0;
    const int id = s.Subscribe([&](TStripChange c) {
        frames += c == TStripChange::Frames;
        selection += c == TStripChange::Selection;
        entries += c == TStripChange::Entries;
    });
    s.NewFrame();
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(selection, 1);
    s.SetDelayText(0, "20");
    EXPECT_EQ(entries, 1);
    s.Unsubscribe(id);
    s.ClearFrames();
    EXPECT_EQ(frames, 1);
}

// Copies share their pictures: a change of one frame never shows in another, nor in a
// document taken before it.
TEST(FrameStrip, PicturesAreSharedAndNeverChangedInPlace)
{
    TFrameStrip s = MakeStrip(1, 4, 3);
    TBitmap picture(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.SetPixel(x, y, RGB(x * 60 + 7, y * 90 + 3, 200 - x * y * 10));
    s.SetPicture(0, picture);
    const TStripDocument before = s.Document();
    EXPECT_EQ(before.Frames[0].Picture.get(), s.FindFrameImage(0).Picture.get());
    s.SelectOnly(0);
    ASSERT_EQ(s.Duplicate(), 1);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap(), picture);
    s.SetPicture(0, SolidBitmap(4, 3, clBlack));
    EXPECT_EQ(before.Frames[0].Bitmap(), picture);
    EXPECT_EQ(s.FindFrameImage(1).Bitmap(), picture);
    EXPECT_NE(s.FindFrameImage(0).Bitmap(), picture);
    // The document comes back whole.
    s.SetDocument(before, 0);
    EXPECT_EQ(s.Count(), 1);
    EXPECT_EQ(s.FindFrameImage(0).Bitmap(), picture);
    EXPECT_EQ(s.ItemIndex(), 0);
    EXPECT_TRUE(s.IsSelected(0));
}
