#include "GradTextRender.h"

#include "graphics/NumberRules.h"

#include <algorithm>
#include <cmath>

namespace {

// Step i of d from begin to end, each byte on its own.
TColor stepColor(TColor begin, TColor end, int i, int d)
{
    auto channel = [&](int shift) {
        const int b = static_cast<int>((begin >> shift) & 0xFF), e = static_cast<int>((end >> shift) & 0xFF);
        return std::clamp(b + MulDiv(i, e - b, d), 0, 255);
    };
    return static_cast<TColor>(channel(0) | (channel(8) << 8) | (channel(16) << 16));
}

void fill(TCanvas& c, TColor color, int x1, int y1, int x2, int y2)
{
    c.Brush.SetColor(color);
    c.Brush.SetStyle(TBrushStyle::bsSolid);
    c.FillRect(TRect(x1, y1, x2, y2));
}

unsigned layoutFlags(TJustification j)
{
    unsigned f = dtWordBreak | dtNoPrefix;
    if (j == TJustification::jCenter)
        f |= dtCenter;
    else if (j == TJustification::jRight)
        f |= dtRight;
    return f;
}

// Whether a w x h picture with its top-left corner at `at` lies at least in part on the
// canvas's picture.
bool overlaps(TCanvas& canvas, TPoint at, int w, int h)
{
    return w > 0 && h > 0 && at.X < canvas.Bitmap().Width() && at.Y < canvas.Bitmap().Height() && at.X + w > 0
        && at.Y + h > 0;
}

} // namespace

void PaintGradient(TCanvas& c, int w, int h, TGradientStyle style, TColor begin, TColor end)
{
    if (w <= 0 || h <= 0)
        return;
    switch (style) {
    case TGradientStyle::gsHorizontal:
        for (int i = 0; i <= 255; ++i)
            fill(c, stepColor(begin, end, i, 255), MulDiv(i, w, 256), 0, MulDiv(i + 1, w, 256), h);
        break;
    case TGradientStyle::gsVertical:
        for (int i = 0; i <= 255; ++i)
            fill(c, stepColor(begin, end, i, 255), 0, MulDiv(i, h, 256), w, MulDiv(i + 1, h, 256));
        break;
    case TGradientStyle::gsRectangle: {
        // Running sums, as the bands close in from the edges.
        double ax = 0, ay = 0;
        for (int i = 0; i <= 255; ++i) {
            ax += w / 510.0;
            ay += h / 510.0;
            fill(c, stepColor(begin, end, i, 255), static_cast<int>(std::trunc(ax)), static_cast<int>(std::trunc(ay)),
                 static_cast<int>(std::trunc(w + 2 - ax)), static_cast<int>(std::trunc(h + 2 - ay)));
        }
        break;
    }
    case TGradientStyle::gsVertCenter: {
        const int n = h / 2;
        if (n == 0) { // one row: nothing to run from the edges to
            fill(c, end, 0, 0, w, h);
            break;
        }
        // Row i from the top and its mirror h - 1 - i from the bottom.
        for (int i = 0; i <= n; ++i) {
            const TColor col = stepColor(begin, end, i, n);
            fill(c, col, 0, i, w, i + 1);
            fill(c, col, 0, h - i - 1, w, h - i);
        }
        break;
    }
    case TGradientStyle::gsHorizCenter: {
        const int n = w / 2;
        if (n == 0) {
            fill(c, end, 0, 0, w, h);
            break;
        }
        for (int i = 0; i <= n; ++i) {
            const TColor col = stepColor(begin, end, i, n);
            fill(c, col, i, 0, i + 1, h);
            fill(c, col, w - i - 1, 0, w - i, h);
        }
        break;
    }
    }
}

TGradTextLook::TGradTextLook()
{
    Font.Name = "Times New Roman";
    Font.SetSize(18);
    Font.Style = fsBold | fsItalic;
}

std::string JoinGradLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\r';
        text += lines[i];
    }
    return text;
}

std::vector<std::string> SplitGradLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += ch;
        }
    }
    return lines;
}

TBitmap RenderGradText(const TGradTextLook& look, int width)
{
    const std::string text = JoinGradLines(look.Lines);
    const unsigned flags = layoutFlags(look.Justification);
    TBitmap probe(1, 1);
    TCanvas measure(probe);
    measure.Font = look.Font;
    TRect box(0, 0, std::max(1, width), 0);
    measure.DrawText(box, text, flags | dtCalcRect);
    const int w = box.Width(), h = box.Height();
    if (w <= 0 || h <= 0)
        return TBitmap();

    TBitmap colour(w, h);
    TCanvas cc(colour);
    PaintGradient(cc, w, h, look.Style, look.BeginColor, look.EndColor);
    // The mask: the text in the font's colour on white. Whatever is not pure black in it
    // covers the gradient; so black glyphs let the gradient through.
    TBitmap mask(w, h);
    mask.Fill(clWhite);
    TCanvas mc(mask);
    mc.Font = look.Font;
    TRect layout(0, 0, w, h);
    mc.DrawText(layout, text, flags);
    cc.DrawTransparent(0, 0, mask, clBlack);
    return colour;
}

TColor LabelKeyColor(const TFont& font)
{
    return font.Color == clWhite ? clBlack : clWhite;
}

TBitmap RenderLabelText(const TFont& font, const std::string& caption)
{
    TBitmap probe(1, 1);
    TCanvas measure(probe);
    measure.Font = font;
    const int w = measure.TextWidth(caption), h = measure.TextHeight(caption);
    if (w <= 0 || h <= 0)
        return TBitmap();
    const TColor key = LabelKeyColor(font);
    TBitmap bmp(w, h);
    bmp.Fill(key);
    TCanvas c(bmp);
    c.Font = font;
    c.Brush.SetStyle(TBrushStyle::bsClear);
    c.TextOut(0, 0, caption);
    return bmp;
}

bool PaintLabelText(TCanvas& canvas, const TFont& font, const std::string& caption, TPoint at, bool shadow)
{
    TBitmap probe(1, 1);
    TCanvas measure(probe);
    measure.Font = font;
    const int shift = shadow ? 4 : 0;
    if (!overlaps(canvas, at, measure.TextWidth(caption) + shift, measure.TextHeight(caption) + shift))
        return false;
    canvas.Font = font;
    canvas.Brush.SetStyle(TBrushStyle::bsClear);
    if (shadow) {
        canvas.Font.Color = canvas.Brush.Color();
        canvas.TextOut(at.X + 4, at.Y + 4, caption);
        canvas.Font.Color = font.Color;
    }
    canvas.TextOut(at.X, at.Y, caption);
    return true;
}

bool PaintGradText(TCanvas& canvas, const TBitmap& picture, TPoint at)
{
    if (picture.Empty() || !overlaps(canvas, at, picture.Width(), picture.Height()))
        return false;
    canvas.DrawTransparent(at.X, at.Y, picture, clWhite);
    return true;
}
