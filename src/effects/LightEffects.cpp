// Lighting and edge treatments: spotlight, button bevel and seamless tiling edges.
#include "PixelEffects.h"

#include "PixelLoop.h"
#include "graphics/canvas/Canvas.h"
#include "graphics/NumberRules.h"

#include <algorithm>
#include <cstring>

namespace qorFX {

using namespace detail;

void Spotlight(TBitmap& bitmap, int level, const TRect& rect)
{
    Darkness(bitmap, level);
    if (bitmap.Empty())
        return;
    // The ellipse comes from the canvas so that the spot matches every other ellipse the
    // program draws: a white filled ellipse with a black outline on black.
    TBitmap mask(bitmap.Width(), bitmap.Height());
    mask.Fill(clBlack);
    {
        TCanvas canvas(mask);
        canvas.Pen.Color = clBlack;
        canvas.Pen.Style = TPenStyle::psSolid;
        canvas.Brush.SetColor(clWhite);
        canvas.Brush.SetStyle(TBrushStyle::bsSolid);
        canvas.Ellipse(rect);
    }
    // Drawing the mask with white transparent blackens what is not white in it.
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* m = mask.ScanLine(y);
        std::uint8_t* p = bitmap.ScanLine(y);
        for (int i = 0; i < 3 * w; i += 3)
            if (m[i] != 255 || m[i + 1] != 255 || m[i + 2] != 255)
                p[i] = p[i + 1] = p[i + 2] = 0;
    }
}

void Buttonize(TBitmap& bitmap, int bevel, int amount)
{
    const int byteBevel = bevel & 0xFF;
    if (byteBevel == 0)
        return;
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0)
        return;
    // Wider bands would run past the picture; a bevel reaching the far edge is the widest.
    const int b = std::min({byteBevel, w - 1, h - 1});
    const std::int64_t a = amount;
    const Lut light = MakeLut([a](int c) -> std::int64_t { return c + a * (255 - c) / 255; });
    const Lut dark = MakeLut([a](int c) -> std::int64_t { return c - a * c / 255; });
    auto lighten = [&](std::uint8_t* row, int x) {
        for (int c = 0; c < 3; ++c)
            row[3 * x + c] = light[row[3 * x + c]];
    };
    auto darken = [&](std::uint8_t* row, int x) {
        for (int c = 0; c < 3; ++c)
            row[3 * x + c] = dark[row[3 * x + c]];
    };
    for (int r = 0; r <= b; ++r) {
        std::uint8_t* top = bitmap.ScanLine(r);
        std::uint8_t* bottom = bitmap.ScanLine(h - 1 - r);
        if (w - 1 - r >= r) {
            for (int x = r; x <= w - 1 - r; ++x)
                lighten(top, x);
            for (int x = r; x <= w - 1 - r; ++x)
                darken(bottom, x);
        }
        // Corner pixels are treated twice, as the bevel's look relies on.
        for (int c = 0; c <= r; ++c) {
            lighten(top, c);
            darken(top, w - 1 - c);
            lighten(bottom, c);
            darken(bottom, w - 1 - c);
        }
    }
    if (h - b - 2 >= b + 1) {
        for (int y = b + 1; y <= h - b - 2; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int c = 0; c <= b; ++c) {
                lighten(row, c);
                darken(row, w - 1 - c);
            }
        }
    }
}

void Seamless(TBitmap& bitmap, int divisor)
{
    if (divisor == 0)
        return;
    Ensure24(bitmap);
    const int w = bitmap.Width(), h = bitmap.Height();
    if (w == 0 || h == 0)
        return;
    // The vertical ramp ends at row h div divisor; for a divisor of 1 that row lies past
    // the picture, so the ramp then ends at the last row.
    const int r = std::min(h / divisor, h - 1);
    const int k = w / divisor;
    std::memcpy(bitmap.ScanLine(0), bitmap.ScanLine(h - 1), static_cast<std::size_t>(w) * 3);
    const std::uint8_t* row0 = bitmap.ScanLine(0);
    if (r > 0) {
        const std::uint8_t* rowR = bitmap.ScanLine(r);
        for (int y = 1; y < r; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int i = 0; i < 3 * w; ++i)
                row[i] = ClampToByte(Round(row0[i] + static_cast<double>(rowR[i] - row0[i]) * y / r));
        }
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        std::memcpy(row + 3 * (w - 1), row, 3);
        for (int j = 1; j < k; ++j)
            for (int c = 0; c < 3; ++c) {
                const int ce = row[3 * (w - 1) + c], ck = row[3 * (w - k) + c];
                row[3 * (w - 1 - j) + c] = ClampToByte(Round(ce + static_cast<double>(ck - ce) * j / k));
            }
    }
}

} // namespace qorFX
