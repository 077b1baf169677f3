// Painting a shape model onto a canvas: the figure (with its gradient clipped to it), then
// the caption, everything held inside the shape's own rectangle on that canvas. The widget
// paints itself this way, and so do PaintOnCanvas, the command line and the icons.
#pragma once

#include "ShapeGeometry.h"
#include "ShapeModel.h"

#include <functional>
#include <string>
#include <vector>

// Colour of the caption's scratch bitmap, left out when the caption is laid onto the
// figure (text in exactly this colour does not show).
constexpr TColor kCaptionKeyColor = RGB(240, 240, 240);

// Pens wider than this are drawn this wide.
constexpr int kMaxShapePenWidth = 65536;

// Paints `model` onto `canvas` at `output`'s offset and scale and returns the drawing
// box it used. Nothing lands outside the shape's rectangle on the canvas, (OffsetX,
// OffsetY) to (OffsetX + round(Width * ScaleX), OffsetY + round(Height * ScaleY)). With
// byUser set `userDraw` (when given) is called instead of drawing the caption. The
// canvas keeps its own pen, brush and font; its clip region is removed. A scale that is
// not a positive number paints nothing.
TShapeBox PaintShape(const TShapeModel& model, TCanvas& canvas, const TShapeOutput& output,
                     const std::function<void()>& userDraw = {});

// The 8 x 8 red mark at the centre of the box, outlined with `pen` in black.
void PaintSelectionMark(TCanvas& canvas, const TShapeBox& box, const TPen& pen);

// The caption as the shape lays it out (scaled font, word-wrapped, centred or rotated).
void PaintShapeCaption(const TShapeModel& model, TCanvas& canvas, const TShapeBox& box, const TShapeOutput& output);

// Breaks text into lines no wider than `width` (as `measure` gives widths) at blanks and
// line ends; a word wider than the line stands alone on its line.
std::vector<std::string> WrapCaptionLines(const std::string& text, int width,
                                          const std::function<int(const std::string&)>& measure);
