// Feeds arbitrary text to UserVectorString: it must parse or be ignored, and the polygon
// it gives, painted with a gradient at any scale, must stay inside the shape's rectangle.
#include "graphics/NumberRules.h"
#include "shapes/ShapePaint.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the size and the scale, the rest is the string.
    const int side = 1 + data[0] % 24;
    const double scale = 0.25 + (data[1] % 16) * 0.25;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    TShapeModel shape;
    const std::string before = shape.UserVectorString();
    if (!shape.SetUserVectorString(text) && shape.UserVectorString() != before)
        std::abort();
    shape.Shape = TqorShapeType::qstUser;
    shape.SetSize(side, side + 3);
    shape.Gradient = data[1] & 1;
    shape.PolyLineMode = data[0] & 1;
    shape.FillDirection = static_cast<TqorFillDirection>(data[0] % kFillDirectionCount);
    shape.Pen.Width = data[1] % 5;
    const TColor background = RGB(1, 2, 3);
    TBitmap picture(120, 120);
    picture.Fill(background);
    TCanvas canvas(picture);
    PaintShape(shape, canvas, {7, 9, scale, scale});
    const TRect inside = Bounds(7, 9, static_cast<int>(Round(side * scale)), static_cast<int>(Round((side + 3) * scale)));
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (!inside.Contains(TPoint(x, y)) && picture.Pixel(x, y) != background)
                std::abort();
    return 0;
}
