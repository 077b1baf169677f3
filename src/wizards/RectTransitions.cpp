// Transitions made of rectangle copies: wipes, curtains, boxes, diagonals, crosses and
// marquees.
#include "Transitions.h"

#include "BlockCopy.h"
#include "graphics/NumberRules.h"

using namespace wizardpixels;

void WipeRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    AssignFrom(W, A);
    // The only wipe that rounds its edge (halves to even).
    const int edge = static_cast<int>(Round(static_cast<double>(w * i) / n));
    CopySame(W, B, TRect(0, 0, edge, h));
}

void WipeLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    AssignFrom(W, A);
    CopySame(W, B, TRect(w - (w * i) / n, 0, w, h));
}

void WipeDown(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, 0, w, (h * i) / n));
}

void WipeUp(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, h - (h * i) / n, w, h));
}

namespace {

// Half sizes and the per-step amounts shared by curtains, boxes and crosses.
struct Halves {
    int w, h, cx, cy, sx, sy;
    Halves(const TBitmap& A, int n)
        : w(A.Width()), h(A.Height()), cx(w / 2), cy(h / 2), sx(cx / n), sy(cy / n) {}
};

} // namespace

void CurtainOpenHoriz(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    AssignFrom(W, A);
    CopySame(W, B, TRect(g.cx - i * g.sx, 0, g.cx + i * g.sx, g.h));
}

void CurtainCloseHoriz(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, 0, i * g.sx, g.h));
    CopySame(W, B, TRect(g.w - i * g.sx, 0, g.w, g.h));
}

void CurtainOpenVert(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, g.cy - i * g.sy, g.w, g.cy + i * g.sy));
}

void CurtainCloseVert(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, 0, g.w, i * g.sy));
    CopySame(W, B, TRect(0, g.h - i * g.sy, g.w, g.h));
}

void BoxOut(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    AssignFrom(W, A);
    CopySame(W, B, TRect(g.cx - i * g.sx, g.cy - i * g.sy, g.cx + i * g.sx, g.cy + i * g.sy));
}

void BoxIn(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    AssignFrom(W, B);
    CopySame(W, A, TRect(i * g.sx, i * g.sy, g.w - i * g.sx, g.h - i * g.sy));
}

void DiagonalDownRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height(), dx = w / n, dy = h / n;
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, 0, w, i * dy));
    CopySame(W, B, TRect(0, i * dy, i * dx, h));
}

void DiagonalDownLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height(), dx = w / n, dy = h / n;
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, 0, w, i * dy));
    CopySame(W, B, TRect(w - i * dx, i * dy, w, h));
}

void DiagonalUpRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height(), dx = w / n, dy = h / n;
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, h - i * dy, w, h));
    CopySame(W, B, TRect(0, 0, i * dx, h - i * dy));
}

void DiagonalUpLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height(), dx = w / n, dy = h / n;
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, h - i * dy, w, h));
    CopySame(W, B, TRect(w - i * dx, 0, w, h - i * dy));
}

void CrossIn(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    const int ex = i * g.sx, ey = i * g.sy;
    AssignFrom(W, A);
    CopySame(W, B, TRect(0, 0, ex, ey));
    CopySame(W, B, TRect(g.w - ex, 0, g.w, ey));
    CopySame(W, B, TRect(0, g.h - ey, ex, g.h));
    CopySame(W, B, TRect(g.w - ex, g.h - ey, g.w, g.h));
}

void CrossOut(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const Halves g(A, n);
    const int ex = i * g.sx, ey = i * g.sy;
    AssignFrom(W, A);
    CopySame(W, B, TRect(g.cx - ex, 0, g.cx + ex, g.h));
    CopySame(W, B, TRect(0, g.cy - ey, g.cx - ex, g.cy + ey));
    CopySame(W, B, TRect(g.cx + ex, g.cy - ey, g.w, g.cy + ey));
}

void MarqueeUp(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    const int d = static_cast<int>(Round((static_cast<double>(i) / n) * h));
    CopyBlock(W, TPoint(0, 0), A, TRect(0, d, w, h));
    CopyBlock(W, TPoint(0, h - d), B, TRect(0, 0, w, d));
}

void MarqueeDown(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    const int d = static_cast<int>(Round((static_cast<double>(i) / n) * h));
    CopyBlock(W, TPoint(0, 0), A, TRect(0, h - d, w, h));
    CopyBlock(W, TPoint(0, d), B, TRect(0, 0, w, h - d));
}

void MarqueeLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    const int d = static_cast<int>(Round((static_cast<double>(i) / n) * w));
    CopyBlock(W, TPoint(0, 0), A, TRect(d, 0, w, h));
    CopyBlock(W, TPoint(w - d, 0), B, TRect(0, 0, d, h));
}

void MarqueeRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W)
{
    const int w = A.Width(), h = A.Height();
    const int d = static_cast<int>(Round((static_cast<double>(i) / n) * w));
    CopyBlock(W, TPoint(0, 0), A, TRect(w - d, 0, w, h));
    CopyBlock(W, TPoint(d, 0), B, TRect(0, 0, w - d, h));
}
