// Frame image operations: the Image menu, the toolbar's frame effects and the frame
// popup's hand-overs change the picture of one frame. Each works on a 24-bit copy of the
// frame and makes the result the frame's picture; the frame keeps its transparency flag,
// and the views are told so the list's thumbnail follows. Every operation does nothing for a frame index outside the
// strip (-1: no frame selected).
#pragma once

#include "FrameStrip.h"

#include <string>
#include <vector>

// Image menu.
void BlurFrame(TFrameStrip& strip, int i);          // SplitBlur, amount 2
void FlipFrameLeftRight(TFrameStrip& strip, int i); // FlipRight
void FlipFrameTopDown(TFrameStrip& strip, int i);   // FlipDown
void MirrorFrameRight(TFrameStrip& strip, int i);   // MirrorRight
void MirrorFrameDown(TFrameStrip& strip, int i);    // MirrorDown
void InvertFrame(TFrameStrip& strip, int i);        // Invert
// Circular scroll by one pixel within FrameWidth x FrameHeight: Up moves rows 1..h-1 up
// and row 0 to the bottom, Left moves pixels 1..w-1 left and pixel 0 to the end, and so on.
enum class TScrollDirection { Up, Down, Left, Right };
void ScrollFrame(TFrameStrip& strip, int i, TScrollDirection direction);

// The toolbar's frame effects.
// Rotation by RotationAngle degrees about (width div 2, height div 2); corners the
// rotated picture does not cover keep the frame's pixels.
void RotateFrame(TFrameStrip& strip, int i);
void TraceFrame(TFrameStrip& strip, int i); // Trace, one pass, black
enum class TShadowDirection { UpLeft, UpRight, DownLeft, DownRight };
void ShadowFrame(TFrameStrip& strip, int i, TShadowDirection direction);
// Overlay50 (or Overlay25 when `quarter`) of frame i + 1 over frame i, both taken at
// FrameWidth x FrameHeight; frame i + 1 is unchanged. Nothing on the last frame.
void OverlayNextFrame(TFrameStrip& strip, int i, bool quarter);

// The frame popup's hand-overs.
// Frame i's picture becomes `bitmap` (its size and format); the transparency flag stays.
void ReplaceFrameBitmap(TFrameStrip& strip, int i, const TBitmap& bitmap);
// `path` with its extension replaced by ".bmp" (added when it has none).
std::string BitmapFileName(const std::string& path);
// Writes frame i as a BMP file under BitmapFileName(path), whole or not at all; returns
// the name written ("" when i is outside the strip).
std::string SaveFrameBitmap(const TFrameStrip& strip, int i, const std::string& path);
// "Save As...": the bitmap save dialog ("Bitmap Files|*.bmp", extension "bmp") starting
// in `folder`; the name chosen takes the extension ".bmp" first, and only then, when that
// file exists, the user is asked whether to replace it. Returns the file written ("" on
// Cancel or No).
std::string SaveFrameAsCommand(const TFrameStrip& strip, int i, const std::string& folder);

// The operations above that need nothing but the frame, by name: the window wires its
// commands to them and anivor-cli finds them, by `Name`.
struct TFrameOperation {
    const char* Name; // "Blur", "Scroll Left", "Overlay 50%", ...
    void (*Apply)(TFrameStrip& strip, int i);
};
const std::vector<TFrameOperation>& FrameOperations();
// By name, ignoring letter case, blanks and "-" ("scroll-left" finds "Scroll Left");
// nullptr when none.
const TFrameOperation* FindFrameOperation(const std::string& name);
