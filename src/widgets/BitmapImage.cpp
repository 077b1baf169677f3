#include "BitmapImage.h"

#include <algorithm>
#include <vector>

QImage ImageFromBitmap(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return QImage();
    const int w = bitmap.Width(), h = bitmap.Height();
    if (!bitmap.Transparent()) {
        if (bitmap.PixelFormat() == TPixelFormat::pf24bit)
            return QImage(bitmap.Bits(), w, h, bitmap.RowBytes(), QImage::Format_BGR888).copy();
        QImage img(bitmap.Bits(), w, h, bitmap.RowBytes(), QImage::Format_Indexed8);
        QList<QRgb> table;
        for (TColor c : bitmap.Palette())
            table.push_back(qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        while (table.size() < 256)
            table.push_back(qRgb(0, 0, 0));
        img.setColorTable(table);
        return img.convertToFormat(QImage::Format_RGB32);
    }
    return ImageFromBitmapKeyed(bitmap, bitmap.TransparentColor());
}

QImage ImageFromBitmapKeyed(const TBitmap& bitmap, TColor key)
{
    if (bitmap.Empty())
        return QImage();
    const int w = bitmap.Width(), h = bitmap.Height();
    QImage img(w, h, QImage::Format_ARGB32);
    if (img.isNull())
        return img;
    // Palette colours once, as Qt values; the key colour's entries turn clear.
    std::vector<QRgb> lookup;
    if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
        lookup.assign(256, qRgb(0, 0, 0));
        const std::vector<TColor>& pal = bitmap.Palette();
        for (std::size_t i = 0; i < pal.size(); ++i)
            lookup[i] = pal[i] == key ? qRgba(0, 0, 0, 0) : qRgb(GetRValue(pal[i]), GetGValue(pal[i]), GetBValue(pal[i]));
        if (pal.size() < 256 && key == clBlack)
            std::fill(lookup.begin() + static_cast<long>(pal.size()), lookup.end(), qRgba(0, 0, 0, 0));
    }
    const std::uint8_t kb = static_cast<std::uint8_t>(GetBValue(key));
    const std::uint8_t kg = static_cast<std::uint8_t>(GetGValue(key));
    const std::uint8_t kr = static_cast<std::uint8_t>(GetRValue(key));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = bitmap.ScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        if (!lookup.empty()) {
            for (int x = 0; x < w; ++x)
                out[x] = lookup[in[x]];
            continue;
        }
        for (int x = 0; x < w; ++x, in += 3)
            out[x] = (in[0] == kb && in[1] == kg && in[2] == kr) ? qRgba(0, 0, 0, 0) : qRgb(in[2], in[1], in[0]);
    }
    return img;
}
