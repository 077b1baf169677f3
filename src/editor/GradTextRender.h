// The pictures of the frame editor's two text gadgets, made without any widget: the
// gradient text (text whose glyphs show a two-colour gradient) and the plain text label.
// The gadgets show exactly these pictures, and "Paint" stamps them, so what the user sees
// over the picture is what lands on it.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/canvas/Canvas.h"

#include <string>
#include <vector>

enum class TGradientStyle { gsHorizontal, gsVertical, gsRectangle, gsVertCenter, gsHorizCenter };
enum class TJustification { jLeft, jCenter, jRight };

// Fills (0, 0, width, height) of the canvas with the gradient of `style` from `begin` to
// `end`: 256 bands (horizontal, vertical, rectangle) or one band per row or column from
// both edges to the middle (the two centre styles).
void PaintGradient(TCanvas& canvas, int width, int height, TGradientStyle style, TColor begin, TColor end);

struct TGradTextLook {
    std::vector<std::string> Lines{"GradText"};
    TFont Font;
    TJustification Justification = TJustification::jCenter;
    TGradientStyle Style = TGradientStyle::gsVertical;
    TColor BeginColor = 65535; // yellow
    TColor EndColor = 255;     // red

    TGradTextLook();
};

// The lines joined into one text, each but the last followed by a carriage return.
std::string JoinGradLines(const std::vector<std::string>& lines);
// The text split at line breaks (CR, LF or CR LF).
std::vector<std::string> SplitGradLines(const std::string& text);

// The gradient text laid out word-wrapped in `width` pixels: a picture of the measured
// size where white means "nothing here". With a black font the glyphs show the gradient;
// with any other font colour they show that colour. Empty for an empty text.
TBitmap RenderGradText(const TGradTextLook& look, int width);

// The text label's picture: the caption in the font's colour on LabelKeyColor (white, or
// black for a white font), which stands for "nothing here".
TBitmap RenderLabelText(const TFont& font, const std::string& caption);
TColor LabelKeyColor(const TFont& font);

// "Paint" of the text label with its top-left corner at `at` (picture pixels): the canvas
// takes the font and a clear brush (both stay), and the caption is written there, with
// `shadow` first in the brush colour 4 pixels right and down. A label partly off the
// picture paints the part that lies on it. Returns false, drawing nothing, when no part
// of it lies on the picture.
bool PaintLabelText(TCanvas& canvas, const TFont& font, const std::string& caption, TPoint at, bool shadow);

// "Paint" of the gradient text: its picture at `at` with white left out, the part that
// lies on the picture. Returns whether it painted.
bool PaintGradText(TCanvas& canvas, const TBitmap& picture, TPoint at);
