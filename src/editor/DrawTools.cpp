#include "DrawTools.h"

#include "workspace/FrameStrip.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Tool names and what the undo history calls their steps.
const std::array<std::pair<const char*, const char*>, 9> kTools = {{
    {"line", "Line"},
    {"rectangle", "Rectangle"},
    {"roundrect", "Round Rectangle"},
    {"ellipse", "Ellipse"},
    {"freehand", "Freehand"},
    {"select", "Select"},
    {"paste", "Paste"},
    {"floodfill", "FloodFill"},
    {"pipet", "Color Dropper"},
}};

const char* stepName(const std::string& tool)
{
    for (const auto& [name, step] : kTools)
        if (tool == name)
            return step;
    return "Drawing";
}

bool isFigure(const std::string& tool)
{
    return tool == "line" || tool == "rectangle" || tool == "roundrect" || tool == "ellipse";
}

TRect normalised(TPoint a, TPoint b)
{
    return TRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y));
}

TRect unite(const TRect& a, const TRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom));
}

// Ends a drag on every way out, a failing selection copy included.
class TDragEnd {
public:
    TDragEnd(bool& pressed, TCanvas& canvas) : m_pressed(pressed), m_canvas(canvas) {}
    ~TDragEnd()
    {
        m_pressed = false;
        m_canvas.Pen.Mode = TPenMode::pmCopy;
    }
    TDragEnd(const TDragEnd&) = delete;
    TDragEnd& operator=(const TDragEnd&) = delete;

private:
    bool& m_pressed;
    TCanvas& m_canvas;
};

} // namespace

TDrawTools::TDrawTools(TDrawPicture& picture) : m_picture(picture)
{
}

bool TDrawTools::IsTool(const std::string& name)
{
    return std::any_of(kTools.begin(), kTools.end(), [&](const auto& t) { return name == t.first; });
}

void TDrawTools::ChooseTool(const std::string& name)
{
    if (!IsTool(name))
        return;
    EndDrag();
    m_tool = name;
    m_drawing = true;
}

void TDrawTools::Pointer()
{
    EndDrag();
    m_drawing = false;
}

void TDrawTools::EndDrag()
{
    if (!m_pressed)
        return;
    if (isFigure(m_tool) || m_tool == "select") {
        band(m_last);
        m_picture.Changed(figureArea(m_last));
    }
    CancelDrag();
    m_picture.Commit(stepName(m_tool));
}

TDrawState TDrawTools::State() const
{
    if (!m_drawing)
        return TDrawState::Idle;
    return m_pressed ? TDrawState::Dragging : TDrawState::Armed;
}

TRect TDrawTools::figureArea(TPoint to) const
{
    const int pad = std::max(1, m_picture.Canvas().Pen.Width) + 1;
    const TRect box = normalised(m_start, to);
    return TRect(box.Left - pad, box.Top - pad, box.Right + pad, box.Bottom + pad);
}

void TDrawTools::band(TPoint to)
{
    TCanvas& c = canvas();
    if (m_tool == "select") {
        c.DrawFocusRect(normalised(m_start, to));
        return;
    }
    c.Pen.Mode = TPenMode::pmNotXor;
    if (m_tool == "line") {
        c.MoveTo(m_start.X, m_start.Y);
        c.LineTo(to.X, to.Y);
    } else if (m_tool == "rectangle") {
        c.Rectangle(m_start.X, m_start.Y, to.X, to.Y);
    } else if (m_tool == "roundrect") {
        c.RoundRect(m_start.X, m_start.Y, to.X, to.Y, 10, 10);
    } else if (m_tool == "ellipse") {
        c.Ellipse(m_start.X, m_start.Y, to.X, to.Y);
    }
}

void TDrawTools::MouseDown(int x, int y)
{
    if (!m_drawing)
        return;
    m_start = m_last = TPoint(x, y);
    canvas().MoveTo(x, y);
    m_pressed = true;
}

void TDrawTools::MouseMove(int x, int y)
{
    if (!m_drawing || !m_pressed)
        return;
    const TPoint to(x, y);
    if (isFigure(m_tool) || m_tool == "select") {
        band(m_last); // removes the band drawn last
        band(to);
        const TRect area = unite(figureArea(m_last), figureArea(to));
        m_last = to;
        m_picture.Changed(area);
    } else if (m_tool == "freehand") {
        TCanvas& c = canvas();
        c.Pen.Mode = TPenMode::pmCopy;
        const TPoint from = c.PenPos;
        c.LineTo(x, y);
        const int pad = std::max(1, c.Pen.Width) + 1;
        const TRect seg = normalised(from, to);
        m_picture.Changed(TRect(seg.Left - pad, seg.Top - pad, seg.Right + pad, seg.Bottom + pad));
    }
}

void TDrawTools::MouseUp(int x, int y, bool ctrl)
{
    if (!m_drawing || !m_pressed)
        return;
    {
        TDragEnd end(m_pressed, canvas());
        finish(x, y, ctrl);
    }
    m_picture.Commit(stepName(m_tool));
}

void TDrawTools::CancelDrag()
{
    if (!m_pressed)
        return;
    m_pressed = false;
    canvas().Pen.Mode = TPenMode::pmCopy;
}

void TDrawTools::finish(int x, int y, bool ctrl)
{
    TCanvas& c = canvas();
    const TPoint to(x, y);
    // A release away from the last move point first moves the band there, so the band
    // that is removed (or kept, with Ctrl) is the one on the picture.
    if ((isFigure(m_tool) || m_tool == "select") && !(to == m_last))
        MouseMove(x, y);

    if (isFigure(m_tool)) {
        if (ctrl)
            return;
        band(m_last); // removes the band; the figure takes its place
        c.Pen.Mode = TPenMode::pmCopy;
        if (m_tool == "line") {
            c.MoveTo(m_start.X, m_start.Y);
            c.LineTo(x, y);
        } else if (m_tool == "rectangle") {
            c.Rectangle(m_start.X, m_start.Y, x, y);
        } else if (m_tool == "roundrect") {
            c.RoundRect(m_start.X, m_start.Y, x, y, 10, 10);
        } else {
            c.Ellipse(m_start.X, m_start.Y, x, y);
        }
        m_picture.Changed(figureArea(to));
    } else if (m_tool == "select") {
        if (ctrl)
            return;
        band(m_last);
        m_picture.Changed(figureArea(to));
        const TRect r = normalised(m_start, to);
        TBitmap pixels(r.Width(), r.Height());
        pixels.CopyRect(TPoint(0, 0), m_picture.Bitmap(), r);
        m_selectionBitmap = std::move(pixels);
        m_selection = r;
    } else if (m_tool == "paste") {
        if (ctrl || m_selectionBitmap.Empty())
            return;
        c.Draw(x, y, m_selectionBitmap);
        m_picture.Changed(Bounds(x, y, m_selectionBitmap.Width(), m_selectionBitmap.Height()));
    } else if (m_tool == "floodfill") {
        if (!TRect(0, 0, m_picture.Width(), m_picture.Height()).Contains(to))
            return;
        c.FloodFill(x, y, c.Pixel(x, y), TFillStyle::fsSurface);
        m_picture.ChangedAll();
    } else if (m_tool == "pipet") {
        if (!TRect(0, 0, m_picture.Width(), m_picture.Height()).Contains(to))
            return;
        c.Brush.SetColor(c.Pixel(x, y));
        if (OnPipette)
            OnPipette(c.Brush.Color());
    }
}

void TDrawTools::EraseFrame()
{
    TCanvas& c = canvas();
    c.FillRect(TRect(0, 0, m_picture.Width(), m_picture.Height()));
    c.Brush.SetStyle(TBrushStyle::bsSolid);
    m_picture.ChangedAll();
    m_picture.Commit("Erase Frame");
}

bool TDrawTools::PenOther(const std::string& answer)
{
    const int width = StrToIntDef(answer, 1);
    if (width < 1 || width > 50)
        return false;
    canvas().Pen.Width = width;
    return true;
}
