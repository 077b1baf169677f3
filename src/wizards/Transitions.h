// Transition generators: each builds one step image in W from the current frame A and
// the next frame B at step i of n (1 <= i <= n). A and B are 24-bit and of one size; W is
// 24-bit and of that size (the driver sees to it). Generators that do not paint every
// pixel leave W's previous pixels where they do not paint.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Exception.h"

// Raised by Tween for inputs it cannot blend.
class ETweenError : public Exception {
public:
    using Exception::Exception;
};

// Cross-fade: every channel (a * weightA + b * weightB) div (weightA + weightB).
void Tween(const TBitmap& A, int weightA, const TBitmap& B, int weightB, TBitmap& W);

// Rotation about the vertical (H) or horizontal (V) centre line.
void RotateSqueezeH(const TBitmap& A, int i, int n, TBitmap& W);
void RotateExpandH(const TBitmap& B, int i, int n, TBitmap& W);
void RotateSqueezeV(const TBitmap& A, int i, int n, TBitmap& W);
void RotateExpandV(const TBitmap& B, int i, int n, TBitmap& W);

void BlindsDown(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void BlindsRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

void WipeRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void WipeLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void WipeDown(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void WipeUp(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

void CurtainOpenHoriz(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void CurtainCloseHoriz(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void CurtainOpenVert(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void CurtainCloseVert(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

void BoxIn(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void BoxOut(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

void DiagonalDownRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void DiagonalDownLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void DiagonalUpRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void DiagonalUpLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

void CrossIn(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void CrossOut(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

// Shapes composited through a black-on-white mask: B shows inside the shape, A outside,
// and a pure white pixel of B never replaces A.
void CircleOut(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SweepLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SweepRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SweepLeftRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SegmentTop(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SegmentLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SegmentRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void SegmentBottom(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

// Scrolling: W keeps its size; A leaves and B enters (Up, Left) or the reverse (Down, Right).
void MarqueeUp(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void MarqueeDown(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void MarqueeLeft(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
void MarqueeRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);

void CheckerBoardRight(const TBitmap& A, const TBitmap& B, int i, int n, TBitmap& W);
