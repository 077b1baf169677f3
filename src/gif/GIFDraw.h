// Drawing frames onto 24-bit bitmaps of the logical screen.
#pragma once

#include "GIFImage.h"

// Draws `frame` at its place on `screen` (24-bit), clipped to the screen. With
// `transparency`, the transparent pixels of a transparent frame are left untouched.
void DrawGIFFrame(TBitmap& screen, const TGIFSubImage& frame, bool transparency);
// Fills a rectangle of a 24-bit bitmap, clipped.
void FillScreenRect(TBitmap& screen, const TRect& rect, TColor color);
// Copies a rectangle from `src` to the same place of `dest` (same size, 24-bit).
void CopyScreenRect(TBitmap& dest, const TBitmap& src, const TRect& rect);

// The colour under an animation: the document's drawing colour when set, else white for a
// document without a global table, else the global table's background entry.
TColor GIFBackgroundColor(const TGIFImage& image);
// One step of the logical screen while a document plays: `frame` drawn with its disposal
// method. `backup` is the screen as this frame finds it and becomes what the next frame
// finds; `shown` receives the screen as it looks with this frame. `background` (24-bit,
// screen-sized) is what a restore to background brings back when `transparency` is on,
// `backgroundColor` what it fills with otherwise or when `background` is empty.
void ComposeGIFFrame(TBitmap& backup, TBitmap& shown, const TBitmap& background, TColor backgroundColor,
                     const TGIFSubImage& frame, bool transparency);

// The width and height of the logical screen; a header without one (0 wide or high) takes
// the frames' extent.
TPoint GIFScreenSize(const TGIFImage& image);

// The frames of a document as a browser shows them, one after the other: each drawn with
// ComposeGIFFrame onto the logical screen over what the frames before it left, its
// transparent pixels letting that through. Screen pixels that no frame covers, yet or again
// after a restore to background, are holes and hold HoleColor(): white, or when a colour
// table of the document holds white, the first colour below it that none holds. A drawn
// pixel can never have that colour, so a hole is told by its colour alone.
// Holds two screen-sized 24-bit pictures.
class TGIFComposer {
public:
    explicit TGIFComposer(const TGIFImage& image);
    int Width() const { return m_backup.Width(); }
    int Height() const { return m_backup.Height(); }
    TColor HoleColor() const { return m_hole; }
    // The screen once `frame`, the next frame of the document, is drawn.
    const TBitmap& Next(const TGIFSubImage& frame);
    // Whether the pixel at (x, y) of the screen last shown is a hole.
    bool IsHole(int x, int y) const { return m_shown.Pixel(x, y) == m_hole; }

private:
    TColor m_hole;
    TBitmap m_backup;
    TBitmap m_shown;
};
