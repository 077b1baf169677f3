// TCanvas: GDI-style drawing on a TBitmap. Pen, brush and font are state of the canvas;
// primitives use them the way the rest of the program expects:
// - Rectangle, Ellipse, RoundRect, Pie and Chord cover (x1, y1) up to but not including
//   (x2, y2); filled figures include their 1-pixel outline in the pen colour.
// - Pie and Chord run counter-clockwise from the radial through (x3, y3) to the radial
//   through (x4, y4).
// - Lines never draw their last pixel; polygon vertices are inclusive.
// - Not-xor pen mode inverts what it draws over with the pen colour: drawn twice, the
//   picture is back as it was.
// Drawing is aliased (antialiasing off), so results are exact to the pixel.
// An 8-bit bitmap is turned into 24 bits the first time the canvas draws on it.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Types.h"

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPainterPath;
class QPoint;
class QPen;
class QImage;
class TRegion;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmCopy, pmNotXor };
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum class TPolyFillMode { Alternate, Winding };
enum class TFillStyle { fsSurface, fsBorder };

// Layout flags of TCanvas::DrawText.
enum TTextFormat : unsigned {
    dtLeft = 0,
    dtCenter = 1,
    dtRight = 2,
    dtWordBreak = 0x10,  // break lines between words at the rectangle's width
    dtCalcRect = 0x400,  // only measure: the rectangle takes the text's width and height
    dtNoPrefix = 0x800,  // "&" is an ordinary character (it always is here)
};

// Font style flags.
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
    TPenMode Mode = TPenMode::pmCopy;
};

class TBrush {
public:
    TColor Color() const { return m_color; }
    // Setting a colour turns a clear brush solid.
    void SetColor(TColor c)
    {
        m_color = c;
        if (m_style == TBrushStyle::bsClear)
            m_style = TBrushStyle::bsSolid;
    }
    TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle s) { m_style = s; }

private:
    TColor m_color = clWhite;
    TBrushStyle m_style = TBrushStyle::bsSolid;
};

// Screen resolution the point sizes are converted with.
constexpr int kPixelsPerInch = 96;

class TFont {
public:
    std::string Name = "MS Sans Serif";
    TColor Color = clBlack;
    unsigned Style = 0; // TFontStyle flags

    // Size in points; Height in pixels (negative: character height without internal
    // leading). Setting one sets the other.
    int Size() const;
    void SetSize(int points);
    int Height() const { return m_height; }
    void SetHeight(int pixels) { m_height = pixels; }

private:
    int m_height = -11; // 8 points
};

// Font family that stands in for a font name the program uses (Arial and MS Sans
// Serif -> Liberation Sans, Times New Roman -> Liberation Serif, Courier New ->
// Liberation Mono); other names pass through to fontconfig.
std::string MapFontFamily(const std::string& name);

class TCanvas {
public:
    explicit TCanvas(TBitmap& bitmap);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBitmap& Bitmap() { return *m_bitmap; }

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TPoint PenPos;
    TPolyFillMode PolyFillMode = TPolyFillMode::Alternate;

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Brush only, no outline; right and bottom exclusive.
    void FillRect(const TRect& r);
    // Brush-coloured 1-pixel frame.
    void FrameRect(const TRect& r);
    void RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    // Cubic Bézier segments: first point, then three points per segment. A point count
    // that is not 3n + 1 draws nothing.
    void PolyBezier(const std::vector<TPoint>& points);

    // Text with its top-left corner at (x, y); the brush colour is painted behind it when
    // the brush is solid. The pen position is not moved.
    void TextOut(int x, int y, const std::string& text);
    // Text laid out in `rect`: lines end at line breaks (CR, LF or both) and, with
    // dtWordBreak, between words where the rectangle's width is reached; each line is
    // placed left, centred or right. The font colour is used and no background is painted.
    // With dtCalcRect nothing is drawn and the rectangle's right and bottom move to fit
    // the text (the widest line and all lines). Returns the text's height.
    int DrawText(TRect& rect, const std::string& text, unsigned format);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    // Text turned about its top-left corner by `escapement` tenths of a degree
    // counter-clockwise; never paints a background. The font's height is taken as a cell
    // height (its absolute value) and strike-out is not used.
    void TextOutRotated(int x, int y, const std::string& text, int escapement);

    // fsSurface: fills the area of colour `color` that contains (x, y) (4-connected).
    // fsBorder: fills outward from (x, y) up to pixels of colour `color`.
    void FloodFill(int x, int y, TColor color, TFillStyle style = TFillStyle::fsSurface);

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Dotted inverted rectangle outline; drawing it twice removes it.
    void DrawFocusRect(const TRect& r);

    // Copies `srcRect` of `src` onto `dest`, stretching with the nearest source pixel when
    // the sizes differ.
    void CopyRect(const TRect& dest, const TBitmap& src, const TRect& srcRect);
    // Draws a bitmap at (x, y); a transparent bitmap leaves its transparent colour out.
    void Draw(int x, int y, const TBitmap& bitmap);
    // Stretches a bitmap into `dest` (nearest source pixel).
    void StretchDraw(const TRect& dest, const TBitmap& bitmap);
    // Draws a bitmap at (x, y), skipping exactly the pixels of colour `key`.
    void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor key);

    // Clip region in bitmap coordinates; nullptr removes it.
    void SetClipRegion(const TRegion* region);

    // Paths: between BeginPath and EndPath, MoveTo/LineTo/PolyBezier/Polygon build the path
    // instead of drawing; then stroke and/or fill it.
    void BeginPath();
    void EndPath();
    void StrokePath();
    void FillPath();
    void StrokeAndFillPath();

private:
    struct Impl;

    // Makes the bitmap drawable (24 bits); false when it has no pixels to draw on.
    bool prepareSurface();
    // Antialiasing off, the clip region, and the pen mode when `penMode` is set.
    void setupPainter(QPainter& p, bool penMode) const;
    QPen qtPen() const;
    // Outline and fill of a closed figure given in pixel-centre coordinates.
    void drawFigure(const QPainterPath& centred, bool filled);
    // The path with the pen only (open subpaths stay open).
    void strokeOpen(const QPainterPath& centred);
    // A box too thin to have an inside, drawn as a filled rectangle; false for other boxes.
    bool drawThinBox(int x1, int y1, int x2, int y2);
    // Open line through the points with the pen; the last point is not drawn.
    void drawLines(const std::vector<TPoint>& points);
    bool clipAllows(int x, int y) const;
    void plotPixels(const std::vector<QPoint>& pixels, TColor color, TBrushStyle pattern) const;

    std::unique_ptr<Impl> d;
    TBitmap* m_bitmap;
};

// Regions: rectangles and ellipses exclude their right and bottom bounds; polygons fill by
// the alternate or winding rule.
class TRegion {
public:
    enum class Op { Union, Intersect, Xor, Diff };
    TRegion();
    ~TRegion();
    TRegion(const TRegion&);
    TRegion& operator=(const TRegion&);

    static TRegion Rect(int x1, int y1, int x2, int y2);
    static TRegion Ellipse(int x1, int y1, int x2, int y2);
    static TRegion RoundRect(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight);
    static TRegion Polygon(const std::vector<TPoint>& points, TPolyFillMode mode);
    TRegion Combined(const TRegion& other, Op op) const;
    void Offset(int dx, int dy);
    bool Contains(int x, int y) const;
    bool IsEmpty() const;
    // The region as rectangles that do not overlap, top to bottom and left to right within
    // a band, for loops of our own that work row by row.
    std::vector<TRect> Rects() const;

    struct Impl;
    const Impl& impl() const { return *d; }

private:
    std::unique_ptr<Impl> d;
};
