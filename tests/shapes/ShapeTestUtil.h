// Helpers shared by the shape tests.
#pragma once

#include "shapes/ShapeGradient.h"
#include "shapes/ShapePaint.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// A shape of the given figure and size, blue brush, black pen of width 1.
inline TShapeModel MakeShape(TqorShapeType type, int width, int height)
{
    TShapeModel s;
    s.SetSize(width, height);
    s.Shape = type;
    s.Brush.SetColor(clBlue);
    return s;
}

// The shape painted onto a picture of the given size and background.
inline TBitmap PaintOnto(const TShapeModel& shape, int width, int height, TColor background,
                         const TShapeOutput& out = {})
{
    TBitmap b(width, height);
    b.Fill(background);
    TCanvas canvas(b);
    PaintShape(shape, canvas, out);
    return b;
}

// True when pixel x of a 24-bit row has colour c.
inline bool IsColour(const std::uint8_t* row, int x, TColor c)
{
    const std::uint8_t* p = row + 3 * x;
    return p[0] == GetBValue(c) && p[1] == GetGValue(c) && p[2] == GetRValue(c);
}

// Pixels of a colour inside a rectangle (the whole bitmap by default).
inline int CountOf(const TBitmap& b, TColor c, TRect r = TRect(0, 0, 1 << 30, 1 << 30))
{
    int n = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, b.Height()); ++y) {
        const std::uint8_t* row = b.ScanLine(y);
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, b.Width()); ++x)
            n += IsColour(row, x, c);
    }
    return n;
}

// Pixels outside `r` that are not `background`.
inline int InkOutside(const TBitmap& b, const TRect& r, TColor background)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y) {
        const std::uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < b.Width(); ++x)
            n += !IsColour(row, x, background) && !r.Contains(TPoint(x, y));
    }
    return n;
}

// Records the pieces of a gradient fill instead of painting them.
struct TRecordedPiece {
    std::string kind;
    TColor color = 0;
    std::vector<int> v; // coordinates as given
};

class TRecordingPieces : public TGradientPieces {
public:
    std::vector<TRecordedPiece> Pieces;
    int Ends = 0;
    void Begin() override {}
    void SetBrushColor(TColor c) override { m_color = c; }
    void SetPenClear(bool) override {}
    void FillRect(int a, int b, int c, int d) override { add("FillRect", {a, b, c, d}); }
    void Rectangle(int a, int b, int c, int d) override { add("Rectangle", {a, b, c, d}); }
    void Ellipse(int a, int b, int c, int d) override { add("Ellipse", {a, b, c, d}); }
    void RoundRect(int a, int b, int c, int d, int e, int f) override { add("RoundRect", {a, b, c, d, e, f}); }
    void Polygon(const std::vector<TPoint>& p) override
    {
        std::vector<int> v;
        for (const TPoint& q : p) {
            v.push_back(q.X);
            v.push_back(q.Y);
        }
        add("Polygon", v);
    }
    void End() override { ++Ends; }

private:
    void add(const char* kind, std::vector<int> v) { Pieces.push_back({kind, m_color, std::move(v)}); }
    TColor m_color = 0;
};
