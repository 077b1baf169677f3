#include "ShapePaint.h"

#include "ShapeGradient.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Scaled sizes are held within this many pixels, so regions and scratch bitmaps stay small
// whatever scale a caller asks for.
constexpr double kMaxScaledSide = 65536;

int roundedSize(int size, double scale) { return static_cast<int>(Round(size * scale)); }

// The target canvas's own drawing state, put back when the shape is done with it: a
// shape stamped onto a picture must not change the pen and brush the user draws with.
class TCanvasStateKeeper {
public:
    explicit TCanvasStateKeeper(TCanvas& canvas)
        : m_canvas(canvas), m_pen(canvas.Pen), m_brush(canvas.Brush), m_font(canvas.Font), m_fill(canvas.PolyFillMode)
    {
    }
    ~TCanvasStateKeeper()
    {
        m_canvas.SetClipRegion(nullptr);
        m_canvas.Pen = m_pen;
        m_canvas.Brush = m_brush;
        m_canvas.Font = m_font;
        m_canvas.PolyFillMode = m_fill;
    }
    TCanvasStateKeeper(const TCanvasStateKeeper&) = delete;
    TCanvasStateKeeper& operator=(const TCanvasStateKeeper&) = delete;

private:
    TCanvas& m_canvas;
    TPen m_pen;
    TBrush m_brush;
    TFont m_font;
    TPolyFillMode m_fill;
};

bool validScale(double s) { return std::isfinite(s) && s > 0; }

} // namespace

TShapeBox PaintShape(const TShapeModel& model, TCanvas& canvas, const TShapeOutput& requested,
                     const std::function<void()>& userDraw)
{
    if (!validScale(requested.ScaleX) || !validScale(requested.ScaleY))
        return {};
    const int W = model.Width(), H = model.Height();
    TShapeOutput out = requested;
    out.ScaleX = std::min(out.ScaleX, kMaxScaledSide / std::max(W, 1));
    out.ScaleY = std::min(out.ScaleY, kMaxScaledSide / std::max(H, 1));

    TCanvasStateKeeper keep(canvas);
    TPen pen = model.Pen;
    pen.Width = std::clamp(pen.Width, 0, kMaxShapePenWidth);
    canvas.Pen = pen;
    canvas.Brush = model.Brush;

    const TShapeBox box = ShapeDrawingBox(model.Shape, W, H, pen.Width, out);
    const TRegion bounds = TRegion::Rect(out.OffsetX, out.OffsetY, out.OffsetX + roundedSize(W, out.ScaleX),
                                         out.OffsetY + roundedSize(H, out.ScaleY));
    const TShapeFigure figure = BuildShapeFigure(model.Shape, box, model.UserPoints(), model.PolyLineMode);
    if (model.Gradient && !figure.clip.empty()) {
        const TRegion clip = ShapeClipRegion(figure).Combined(bounds, TRegion::Op::Intersect);
        TGradientRaster pieces(canvas.Bitmap(), clip, out);
        PaintGradient(pieces, model.Brush.Color(), model.GradientColor, model.FillDirection, W, H);
        // The outline goes over the fill with a clear brush, so holes stay unpainted, and in
        // copy mode, as the fill leaves the pen.
        canvas.Brush.SetStyle(TBrushStyle::bsClear);
        canvas.Pen.Mode = TPenMode::pmCopy;
    }
    canvas.SetClipRegion(&bounds);
    DrawShapeOutline(canvas, figure);
    if (model.byUser) {
        if (userDraw)
            userDraw();
    } else {
        PaintShapeCaption(model, canvas, box, out);
    }
    return box;
}

void PaintSelectionMark(TCanvas& canvas, const TShapeBox& box, const TPen& pen)
{
    canvas.Brush.SetColor(clRed);
    canvas.Brush.SetStyle(TBrushStyle::bsSolid);
    canvas.Pen = pen;
    canvas.Pen.Width = std::clamp(pen.Width, 0, kMaxShapePenWidth);
    canvas.Pen.Color = clBlack;
    const int cx = box.L + box.w / 2, cy = box.T + box.h / 2;
    canvas.Rectangle(cx - 4, cy - 4, cx + 4, cy + 4);
}

std::vector<std::string> WrapCaptionLines(const std::string& text, int width,
                                          const std::function<int(const std::string&)>& measure)
{
    std::vector<std::string> lines;
    // Widths of words seen before: long captions repeat their words.
    std::map<std::string, int> widths;
    auto widthOf = [&](const std::string& word) {
        auto it = widths.find(word);
        if (it == widths.end())
            it = widths.emplace(word, word.empty() ? 0 : measure(word)).first;
        return it->second;
    };
    const int space = widthOf(" ");
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r')
            paragraph.pop_back();
        std::string line;
        int lineWidth = 0;
        bool lineEmpty = true;
        std::size_t p = 0;
        while (p <= paragraph.size()) {
            std::size_t q = paragraph.find(' ', p);
            if (q == std::string::npos)
                q = paragraph.size();
            const std::string word = paragraph.substr(p, q - p);
            const int ww = widthOf(word);
            if (lineEmpty) {
                line = word;
                lineWidth = ww;
                lineEmpty = false;
            } else if (lineWidth + space + ww <= width) {
                line += ' ' + word;
                lineWidth += space + ww;
            } else {
                lines.push_back(line);
                line = word;
                lineWidth = ww;
            }
            p = q + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void PaintShapeCaption(const TShapeModel& model, TCanvas& target, const TShapeBox& box, const TShapeOutput& out)
{
    if (model.Caption.empty() || target.Bitmap().Empty())
        return;
    const int bw = roundedSize(model.Width(), out.ScaleX), bh = roundedSize(model.Height(), out.ScaleY);
    if (bw <= 0 || bh <= 0)
        return;
    // The caption is laid out in a bitmap of the shape's scaled size; only the part of it
    // that lands on the target is made.
    const TRect part = IntersectRect(Bounds(out.OffsetX, out.OffsetY, bw, bh),
                                     TRect(0, 0, target.Bitmap().Width(), target.Bitmap().Height()));
    if (part.IsEmpty())
        return;
    const int ox = part.Left - out.OffsetX, oy = part.Top - out.OffsetY;
    TBitmap scratch(part.Width(), part.Height());
    scratch.Fill(kCaptionKeyColor);
    TCanvas c(scratch);
    c.Font = model.Font;
    c.Font.SetHeight(static_cast<int>(Round(std::clamp(model.Font.Height() * out.ScaleY, -4096.0, 4096.0))));
    c.Brush.SetStyle(TBrushStyle::bsClear);
    const std::string& text = model.Caption;
    const int tw = c.TextWidth(text), th = std::max(1, c.TextHeight(text));
    if (model.CaptionAngle == 0) {
        int y = 0;
        for (const std::string& line : WrapCaptionLines(text, bw, [&](const std::string& s) { return c.TextWidth(s); })) {
            if (y - oy >= part.Height())
                break;
            if (y + th > oy && !line.empty()) {
                const int x = model.CaptionCentered ? (bw - c.TextWidth(line)) / 2 : 0;
                c.TextOut(x - ox, y - oy, line);
            }
            y += th;
        }
    } else {
        int x = 0, y = 0;
        if (model.CaptionCentered) {
            x = tw > box.R ? 5 : (bw - tw) / 2;
            y = th > box.B ? 5 : (bh - th) / 2;
        } else {
            x = static_cast<int>(Round(std::clamp(model.CaptionX * out.ScaleX, -1e9, 1e9)));
            y = static_cast<int>(Round(std::clamp(model.CaptionY * out.ScaleY, -1e9, 1e9)));
        }
        const int escapement = static_cast<int>((static_cast<long long>(model.CaptionAngle) % 360) * 10);
        c.TextOutRotated(x - ox, y - oy, text, escapement);
    }
    target.DrawTransparent(part.Left, part.Top, scratch, kCaptionKeyColor);
}
