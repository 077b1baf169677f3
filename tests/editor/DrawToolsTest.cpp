#include "editor/DrawTools.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::pair<char, TColor>> kLegend{{'.', clWhite}, {'#', clBlack}, {'r', clRed}, {'g', clLime}};

class Tools : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture.Load(SolidBitmap(12, 8, clWhite));
        picture.Canvas().Brush.SetStyle(TBrushStyle::bsClear);
    }
    std::vector<std::string> Rows() const { return RowsFromBitmap(picture.Bitmap(), kLegend); }
    void Drag(TPoint from, TPoint to, bool ctrl = false)
    {
        tools.MouseDown(from.X, from.Y);
        tools.MouseMove((from.X + to.X) / 2, (from.Y + to.Y) / 2);
        tools.MouseMove(to.X, to.Y);
        tools.MouseUp(to.X, to.Y, ctrl);
    }

    TDrawPicture picture;
    TDrawTools tools{picture};
};

} // namespace

// The picture ignores the mouse until a tool is chosen; Pointer disarms and keeps the name.
TEST_F(Tools, IdleArmedDragging)
{
    EXPECT_EQ(tools.State(), TDrawState::Idle);
    Drag({1, 1}, {6, 5});
    EXPECT_EQ(picture.Bitmap(), SolidBitmap(12, 8, clWhite));
    EXPECT_FALSE(picture.CanUndo());

    tools.ChooseTool("rectangle");
    EXPECT_EQ(tools.State(), TDrawState::Armed);
    tools.MouseDown(1, 1);
    EXPECT_EQ(tools.State(), TDrawState::Dragging);
    tools.MouseUp(1, 1, false);
    EXPECT_EQ(tools.State(), TDrawState::Armed);
    tools.Pointer();
    EXPECT_EQ(tools.State(), TDrawState::Idle);
    EXPECT_EQ(tools.ToolName(), "rectangle");
    tools.ChooseTool("spray"); // not a tool: nothing armed
    EXPECT_EQ(tools.State(), TDrawState::Idle);

    // A tool chosen in the middle of a drag ends it: the band comes off, the pen is back
    // to copy mode.
    tools.ChooseTool("ellipse");
    tools.MouseDown(1, 1);
    tools.MouseMove(9, 6);
    tools.ChooseTool("line");
    EXPECT_EQ(tools.State(), TDrawState::Armed);
    EXPECT_EQ(picture.Canvas().Pen.Mode, TPenMode::pmCopy);
    EXPECT_EQ(picture.Bitmap(), SolidBitmap(12, 8, clWhite));
}

// The rubber band is drawn in not-xor mode and taken off at every move; the release draws
// the figure, or with Ctrl keeps the band as it stands (inverted pixels) and no figure.
TEST_F(Tools, RubberBandAndCtrlRelease)
{
    picture.Canvas().Pen.Color = clRed;
    tools.ChooseTool("rectangle");
    tools.MouseDown(1, 1);
    tools.MouseMove(9, 6);
    // Not-xor with red on white: ~(white ^ red) = red.
    EXPECT_EQ(RowsFromBitmap(picture.Bitmap(), kLegend)[1], ".rrrrrrrr...");
    tools.MouseMove(5, 4);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "............",
                          ".rrrr.......",
                          ".r..r.......",
                          ".rrrr.......",
                          "............",
                          "............",
                          "............",
                          "............",
                      }));
    // Released somewhere else: the band follows there first, so nothing stray is left.
    tools.MouseUp(7, 5, false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "............",
                          ".rrrrrr.....",
                          ".r....r.....",
                          ".r....r.....",
                          ".rrrrrr.....",
                          "............",
                          "............",
                          "............",
                      }));
    EXPECT_EQ(picture.Canvas().Pen.Mode, TPenMode::pmCopy);

    // With Ctrl, over black, the band inverts what it crosses and stays so.
    picture.Load(SolidBitmap(12, 8, clBlack));
    picture.Canvas().Pen.Color = clBlack;
    Drag({2, 2}, {6, 5}, true);
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "############",
                          "############",
                          "##....######",
                          "##.##.######",
                          "##....######",
                          "############",
                          "############",
                          "############",
                      }));
    EXPECT_EQ(picture.Canvas().Pen.Mode, TPenMode::pmCopy);
    EXPECT_TRUE(picture.CanUndo());
}

// Lines, ellipses and round rectangles end as their canvas figure; freehand draws as it goes.
TEST_F(Tools, FiguresMatchTheCanvas)
{
    for (const char* tool : {"line", "ellipse", "roundrect"}) {
        picture.Load(SolidBitmap(30, 20, clWhite));
        tools.ChooseTool(tool);
        Drag({2, 3}, {25, 17});
        TBitmap expected = SolidBitmap(30, 20, clWhite);
        TCanvas c(expected);
        c.Brush.SetStyle(TBrushStyle::bsClear);
        if (std::string(tool) == "line") {
            c.MoveTo(2, 3);
            c.LineTo(25, 17);
        } else if (std::string(tool) == "ellipse") {
            c.Ellipse(2, 3, 25, 17);
        } else {
            c.RoundRect(2, 3, 25, 17, 10, 10);
        }
        EXPECT_EQ(picture.Bitmap(), expected) << tool;
    }
    picture.Load(SolidBitmap(12, 8, clWhite));
    tools.ChooseTool("freehand");
    tools.MouseDown(1, 1);
    tools.MouseMove(5, 1);
    tools.MouseMove(5, 4);
    tools.MouseUp(5, 4, false);
    EXPECT_EQ(Rows()[1], ".#####......");
    EXPECT_EQ(Rows()[3], ".....#......");
    EXPECT_EQ(Rows()[4], "............"); // lines leave their last pixel out
    EXPECT_EQ(picture.History().UndoCount(), 1); // the whole stroke is one step
}

// Flood fill and the colour dropper act at the release, with Ctrl too; the dropper hands
// the colour on. Outside the picture neither does anything.
TEST_F(Tools, FloodFillAndPipetteWithCtrl)
{
    picture.Canvas().Pen.Color = clBlack;
    picture.Canvas().Rectangle(0, 0, 5, 5);
    picture.Commit("setup");
    picture.Canvas().Brush.SetColor(clLime);
    tools.ChooseTool("floodfill");
    tools.MouseDown(2, 2);
    tools.MouseUp(2, 2, true);
    EXPECT_EQ(Rows()[2], "#ggg#.......");
    EXPECT_EQ(Rows()[6], "............");
    tools.MouseDown(8, 6);
    tools.MouseUp(8, 6, false);
    EXPECT_EQ(Rows()[6], "gggggggggggg");

    std::vector<TColor> picked;
    tools.OnPipette = [&](TColor c) { picked.push_back(c); };
    tools.ChooseTool("pipet");
    tools.MouseDown(0, 0);
    tools.MouseUp(0, 0, true);
    tools.MouseDown(1, 1);
    tools.MouseUp(40, 1, false);
    EXPECT_EQ(picked, std::vector<TColor>{clBlack});
    EXPECT_EQ(picture.Canvas().Brush.Color(), clBlack);
}

// Select takes a normalised rectangle whichever way it was dragged; paste puts it at the
// release point; paste before any selection and Ctrl releases draw nothing.
TEST_F(Tools, SelectAndPaste)
{
    tools.ChooseTool("paste");
    Drag({3, 3}, {3, 3});
    EXPECT_EQ(picture.Bitmap(), SolidBitmap(12, 8, clWhite));
    EXPECT_TRUE(tools.SelectionBitmap().Empty());

    picture.Canvas().Pen.Color = clRed;
    picture.Canvas().Rectangle(2, 2, 5, 5);
    picture.Commit("setup");
    const TBitmap before = picture.Bitmap();
    tools.ChooseTool("select");
    // Dragged up and to the left: the band shows while dragging and is gone after.
    tools.MouseDown(5, 5);
    tools.MouseMove(3, 3);
    EXPECT_NE(picture.Bitmap(), before);
    tools.MouseMove(2, 2);
    tools.MouseUp(2, 2, false);
    EXPECT_EQ(picture.Bitmap(), before);
    EXPECT_EQ(tools.SelectionRect(), TRect(2, 2, 5, 5));
    ASSERT_EQ(tools.SelectionBitmap().Width(), 3);
    EXPECT_EQ(RowsFromBitmap(tools.SelectionBitmap(), kLegend), (std::vector<std::string>{"rrr", "r.r", "rrr"}));

    tools.ChooseTool("paste");
    Drag({8, 4}, {8, 4}, true); // Ctrl: nothing
    EXPECT_EQ(picture.Bitmap(), before);
    Drag({8, 4}, {8, 4});
    EXPECT_EQ(Rows(), (std::vector<std::string>{
                          "............",
                          "............",
                          "..rrr.......",
                          "..r.r.......",
                          "..rrr...rrr.",
                          "........r.r.",
                          "........rrr.",
                          "............",
                      }));

    // A selection of no width keeps nothing to paste.
    tools.ChooseTool("select");
    Drag({4, 1}, {4, 6});
    EXPECT_TRUE(tools.SelectionBitmap().Empty());
}

// Erase Frame fills the whole picture with the brush, and always leaves the brush solid;
// Pen Other... takes 1..50 and reads text as 1.
TEST_F(Tools, EraseAndPenWidth)
{
    TCanvas& c = picture.Canvas();
    c.SetPixel(3, 3, clRed);
    picture.Commit("setup");
    const TBitmap before = picture.Bitmap();
    tools.EraseFrame(); // the brush is clear: nothing painted
    EXPECT_EQ(picture.Bitmap(), before);
    EXPECT_EQ(c.Brush.Style(), TBrushStyle::bsSolid);
    c.Brush.SetColor(clLime);
    tools.EraseFrame();
    EXPECT_EQ(picture.Bitmap(), SolidBitmap(12, 8, clLime));

    c.Pen.Width = 3;
    EXPECT_FALSE(tools.PenOther("0"));
    EXPECT_FALSE(tools.PenOther("51"));
    EXPECT_EQ(c.Pen.Width, 3);
    EXPECT_TRUE(tools.PenOther("50"));
    EXPECT_EQ(c.Pen.Width, 50);
    EXPECT_TRUE(tools.PenOther("wide"));
    EXPECT_EQ(c.Pen.Width, 1);
}

// A band drawn and taken off leaves every pixel as it was, whatever the figure, pen width,
// brush colour or style: moving back to the start point shows the untouched picture.
TEST_F(Tools, BandsComeOffExactly)
{
    TBitmap scene(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            scene.SetPixel(x, y, RGB(x * 4, y * 6, (x * y) & 0xFF));
    for (const char* tool : {"rectangle", "ellipse", "roundrect", "line", "select"})
        for (int width : {1, 4})
            for (TBrushStyle style : {TBrushStyle::bsSolid, TBrushStyle::bsClear, TBrushStyle::bsDiagCross}) {
                picture.Load(scene);
                TCanvas& c = picture.Canvas();
                c.Pen.Width = width;
                c.Pen.Color = RGB(200, 30, 90);
                c.Brush.SetColor(RGB(10, 220, 60));
                c.Brush.SetStyle(style);
                tools.ChooseTool(tool);
                tools.MouseDown(5, 4);
                for (TPoint p : {TPoint(30, 20), TPoint(52, 35), TPoint(-10, 50), TPoint(20, 2)})
                    tools.MouseMove(p.X, p.Y);
                EXPECT_NE(picture.Bitmap(), scene) << tool << " " << width;
                tools.MouseMove(5, 4);
                EXPECT_EQ(picture.Bitmap(), scene) << tool << " " << width << " " << int(style);
                tools.MouseUp(5, 4, true);
            }
}
