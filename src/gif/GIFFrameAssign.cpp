// Converting a bitmap into a frame: colour reduction, the colour table and the
// transparency mask.
#include "GIFImage.h"

#include <algorithm>

namespace {

TGIFColor bgrToColor(const std::uint8_t* p) { return {p[2], p[1], p[0]}; }

} // namespace

void TGIFSubImage::Assign(const TBitmap& bitmap)
{
    Clear();
    if (bitmap.Empty())
        return;
    if (bitmap.Width() > 65535 || bitmap.Height() > 65535 || Left + bitmap.Width() > 65535
        || Top + bitmap.Height() > 65535)
        throw GIFException("Image is too large for a GIF file");
    SetSize(bitmap.Width(), bitmap.Height());

    if (TGIFImage* image = Image()) {
        TGIFHeader& h = image->Header;
        if (Left + m_width > h.Width) {
            const bool hadWidth = h.Width != 0;
            h.Width = Left + m_width;
            Warning(gsWarning, "Image width too small for contained frames");
            if (hadWidth)
                Warning(gsWarning, "Image exceeds Logical Screen size");
        }
        if (Top + m_height > h.Height) {
            const bool hadHeight = h.Height != 0;
            h.Height = Top + m_height;
            Warning(gsWarning, "Image height too small for contained frames");
            if (hadHeight)
                Warning(gsWarning, "Image exceeds Logical Screen size");
        }
    }

    if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
        assignPaletteBitmap(bitmap);
    } else {
        const TReduceSettings& reduction = Image() ? Image()->Reduction : kDocumentReduction;
        if (reduction.Palette == rmNone) {
            assignTrueColorBitmap(bitmap);
        } else {
            TProgressFn progress;
            if (Image())
                progress = [img = Image()](int percent) {
                    img->Progress(psRunning, percent, "Converting...");
                    return true;
                };
            const TBitmap reduced = ReduceColors(bitmap, reduction.Palette, reduction.Dither, reduction.Bits, progress);
            if (reduced.Empty()) {
                Clear();
                return;
            }
            if (reduced.PixelFormat() == TPixelFormat::pf8bit)
                assignPaletteBitmap(reduced);
            else
                assignTrueColorBitmap(reduced);
        }
    }
    if (bitmap.Transparent())
        applyMask(bitmap);
    Changed();
}

void TGIFSubImage::assignPaletteBitmap(const TBitmap& bmp)
{
    std::vector<TGIFColor> colors;
    for (TColor c : bmp.Palette())
        colors.push_back(ColorToGIFColor(c));
    ColorMap.Assign(colors);
    for (int y = 0; y < m_height; ++y) {
        std::copy_n(bmp.ScanLine(y), m_width, ScanLine(y));
        if (y % 32 == 0 && Image())
            Image()->Progress(psRunning, static_cast<int>(std::int64_t(y) * 100 / m_height), "Converting...");
    }
}

void TGIFSubImage::assignTrueColorBitmap(const TBitmap& bmp)
{
    // A small cache of the colours seen last saves most table searches.
    TGIFColor cache[8];
    int cacheIndex[8];
    int cacheCount = 0;
    int cacheNext = 0;
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* src = bmp.ScanLine(y);
        std::uint8_t* dst = ScanLine(y);
        for (int x = 0; x < m_width; ++x, src += 3) {
            const TGIFColor c = bgrToColor(src);
            int index = -1;
            for (int k = 0, i = cacheNext; k < cacheCount; ++k) {
                i = (i + 7) % 8;
                if (cache[i] == c) {
                    index = cacheIndex[i];
                    break;
                }
            }
            if (index < 0) {
                index = ColorMap.AddUnique(c);
                cache[cacheNext] = c;
                cacheIndex[cacheNext] = index;
                cacheNext = (cacheNext + 1) % 8;
                cacheCount = std::min(cacheCount + 1, 8);
            }
            dst[x] = static_cast<std::uint8_t>(index);
        }
        if (y % 32 == 0 && Image())
            Image()->Progress(psRunning, static_cast<int>(std::int64_t(y) * 100 / m_height), "Converting...");
    }
}

void TGIFSubImage::applyMask(const TBitmap& source)
{
    if (ColorMap.Count() == 0 || ColorMap.Count() >= 256)
        return;
    ColorMap.Optimize();
    if (ColorMap.Count() >= 256)
        return;
    const int t = ColorMap.Add({0, 0, 0});
    bool any = false;
    // The source's transparent colour is its bottom-left pixel (compare rows of bytes).
    const TColor key = source.TransparentColor();
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* dst = ScanLine(y);
        if (source.PixelFormat() == TPixelFormat::pf24bit) {
            const std::uint8_t* src = source.ScanLine(y);
            const std::uint8_t kb = static_cast<std::uint8_t>(GetBValue(key)), kg = static_cast<std::uint8_t>(GetGValue(key)),
                               kr = static_cast<std::uint8_t>(GetRValue(key));
            for (int x = 0; x < m_width; ++x, src += 3)
                if (src[0] == kb && src[1] == kg && src[2] == kr) {
                    dst[x] = static_cast<std::uint8_t>(t);
                    any = true;
                }
        } else {
            const std::uint8_t* src = source.ScanLine(y);
            const std::vector<TColor>& pal = source.Palette();
            for (int x = 0; x < m_width; ++x) {
                const TColor c = src[x] < pal.size() ? pal[src[x]] : clBlack;
                if (c == key) {
                    dst[x] = static_cast<std::uint8_t>(t);
                    any = true;
                }
            }
        }
    }
    if (!any) {
        ColorMap.Delete(t);
        return;
    }
    auto* gce = AddExtension<TGIFGraphicControlExtension>();
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(t);
}
