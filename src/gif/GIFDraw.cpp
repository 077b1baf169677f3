#include "GIFDraw.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

TRect clipToScreen(const TBitmap& screen, const TRect& r)
{
    return IntersectRect(r, Rect(0, 0, screen.Width(), screen.Height()));
}

} // namespace

void DrawGIFFrame(TBitmap& screen, const TGIFSubImage& frame, bool transparency)
{
    if (frame.Empty() || screen.Empty())
        return;
    const TRect r = clipToScreen(screen, frame.BoundsRect());
    if (r.IsEmpty())
        return;
    const TGIFColorMap& map = frame.ActiveColorMap();
    // Palette as BGR bytes; indices past the table draw black.
    std::uint8_t lut[256][3] = {};
    for (int i = 0; i < map.Count(); ++i) {
        const TGIFColor c = map.Colors()[static_cast<std::size_t>(i)];
        lut[i][0] = c.Blue;
        lut[i][1] = c.Green;
        lut[i][2] = c.Red;
    }
    const int t = transparency ? frame.TransparentIndex() : -1;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const std::uint8_t* src = frame.ScanLine(y - frame.Top) + (r.Left - frame.Left);
        std::uint8_t* dst = screen.ScanLine(y) + 3 * r.Left;
        for (int x = r.Left; x < r.Right; ++x, ++src, dst += 3) {
            if (*src == t)
                continue;
            dst[0] = lut[*src][0];
            dst[1] = lut[*src][1];
            dst[2] = lut[*src][2];
        }
    }
}

void FillScreenRect(TBitmap& screen, const TRect& rect, TColor color)
{
    const TRect r = clipToScreen(screen, rect);
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint8_t* dst = screen.ScanLine(y) + 3 * r.Left;
        for (int x = r.Left; x < r.Right; ++x, dst += 3) {
            dst[0] = static_cast<std::uint8_t>(GetBValue(color));
            dst[1] = static_cast<std::uint8_t>(GetGValue(color));
            dst[2] = static_cast<std::uint8_t>(GetRValue(color));
        }
    }
}

void CopyScreenRect(TBitmap& dest, const TBitmap& src, const TRect& rect)
{
    const TRect r = IntersectRect(clipToScreen(dest, rect), Rect(0, 0, src.Width(), src.Height()));
    for (int y = r.Top; y < r.Bottom; ++y)
        std::memcpy(dest.ScanLine(y) + 3 * r.Left, src.ScanLine(y) + 3 * r.Left, static_cast<std::size_t>(3) * r.Width());
}

TColor GIFBackgroundColor(const TGIFImage& image)
{
    const TGIFColorMap& global = image.GlobalColorMap();
    if (image.DrawBackgroundColor)
        return *image.DrawBackgroundColor;
    if (global.Count() == 0)
        return clWhite;
    const int index = image.Header.BackgroundColorIndex < global.Count() ? image.Header.BackgroundColorIndex : 0;
    return GIFColorToColor(global.Colors()[static_cast<std::size_t>(index)]);
}

void ComposeGIFFrame(TBitmap& backup, TBitmap& shown, const TBitmap& background, TColor backgroundColor,
                     const TGIFSubImage& frame, bool transparency)
{
    const int disposal = frame.GraphicControlExtension() ? frame.GraphicControlExtension()->Disposal() : 0;
    if (disposal == 3) {
        // Restore to previous: the frame is shown, the state under it is kept.
        shown = backup;
        DrawGIFFrame(shown, frame, transparency);
        return;
    }
    DrawGIFFrame(backup, frame, transparency);
    shown = backup;
    if (disposal == 2) {
        if (transparency && !background.Empty())
            CopyScreenRect(backup, background, frame.BoundsRect());
        else
            FillScreenRect(backup, frame.BoundsRect(), backgroundColor);
    }
}

TPoint GIFScreenSize(const TGIFImage& image)
{
    TPoint size(image.Width(), image.Height());
    for (const auto& f : image.Images) {
        if (image.Width() <= 0)
            size.X = std::max(size.X, f->Left + f->Width());
        if (image.Height() <= 0)
            size.Y = std::max(size.Y, f->Top + f->Height());
    }
    return size;
}

namespace {

// White, or the first colour below it that no table of the document holds. Indices past
// a table draw black, so black counts as held.
TColor holeColor(const TGIFImage& image)
{
    std::unordered_set<TColor> held{clBlack};
    for (const TGIFColor& c : image.GlobalColorMap().Colors())
        held.insert(GIFColorToColor(c));
    for (const auto& frame : image.Images)
        for (const TGIFColor& c : frame->ColorMap.Colors())
            held.insert(GIFColorToColor(c));
    TColor hole = clWhite;
    while (held.count(hole))
        --hole;
    return hole;
}

} // namespace

TGIFComposer::TGIFComposer(const TGIFImage& image) : m_hole(holeColor(image))
{
    const TPoint size = GIFScreenSize(image);
    m_backup = TBitmap(size.X, size.Y, TPixelFormat::pf24bit);
    m_backup.Fill(m_hole);
}

const TBitmap& TGIFComposer::Next(const TGIFSubImage& frame)
{
    // The background is all hole colour: a restore to background fills with it.
    ComposeGIFFrame(m_backup, m_shown, TBitmap(), m_hole, frame, true);
    return m_shown;
}

TBitmap TGIFImage::Bitmap() const
{
    if (Images.empty())
        return TBitmap();
    const TGIFSubImage& first = *Images.front();
    if (first.Left == 0 && first.Top == 0 && first.Width() >= Width() && first.Height() >= Height())
        return first.Bitmap();
    TBitmap screen(Width(), Height(), TPixelFormat::pf24bit);
    DrawGIFFrame(screen, first, (DrawOptions & goTransparent) != 0);
    return screen;
}
