#include "BitmapImage.h"

#include "graphics/MemoryBudget.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// One pixel of a bitmap as a Qt colour, with the transparent colour made clear.
class TQtColors {
public:
    explicit TQtColors(const TBitmap& bitmap) : TQtColors(bitmap, bitmap.Transparent(), bitmap.TransparentColor()) {}
    // With `transparent`, pixels of colour `key` turn clear.
    TQtColors(const TBitmap& bitmap, bool transparent, TColor key)
    {
        m_kb = static_cast<std::uint8_t>(GetBValue(key));
        m_kg = static_cast<std::uint8_t>(GetGValue(key));
        m_kr = static_cast<std::uint8_t>(GetRValue(key));
        m_transparent = transparent;
        if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
            m_lookup.assign(256, qRgb(0, 0, 0));
            const std::vector<TColor>& pal = bitmap.Palette();
            for (std::size_t i = 0; i < pal.size(); ++i)
                m_lookup[i] = transparent && pal[i] == key ? qRgba(0, 0, 0, 0)
                                                           : qRgb(GetRValue(pal[i]), GetGValue(pal[i]), GetBValue(pal[i]));
            if (transparent && pal.size() < 256 && key == clBlack)
                std::fill(m_lookup.begin() + static_cast<long>(pal.size()), m_lookup.end(), qRgba(0, 0, 0, 0));
        }
    }
    QRgb operator()(const std::uint8_t* row, int x) const
    {
        if (!m_lookup.empty())
            return m_lookup[row[x]];
        const std::uint8_t* p = row + 3 * x;
        if (m_transparent && p[0] == m_kb && p[1] == m_kg && p[2] == m_kr)
            return qRgba(0, 0, 0, 0);
        return qRgb(p[2], p[1], p[0]);
    }

private:
    std::vector<QRgb> m_lookup;
    std::uint8_t m_kb = 0, m_kg = 0, m_kr = 0;
    bool m_transparent = false;
};

} // namespace

QImage ScaledImageFromBitmap(const TBitmap& bitmap, int width, int height)
{
    if (bitmap.Empty() || width <= 0 || height <= 0)
        return QImage();
    MemoryBudget::Check(std::uint64_t(width) * height * 4,
                        "showing a " + std::to_string(width) + " x " + std::to_string(height) + " picture");
    const int w = bitmap.Width(), h = bitmap.Height();
    QImage img(width, height, bitmap.Transparent() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull())
        return img;
    const TQtColors color(bitmap);
    std::vector<int> xs(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        xs[static_cast<std::size_t>(x)] = static_cast<int>((2 * std::int64_t(x) + 1) * w / (2 * std::int64_t(width)));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = bitmap.ScanLine(static_cast<int>((2 * std::int64_t(y) + 1) * h / (2 * std::int64_t(height))));
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = color(in, xs[static_cast<std::size_t>(x)]);
    }
    return img;
}

QImage ImageFromBitmap(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return QImage();
    const int w = bitmap.Width(), h = bitmap.Height();
    MemoryBudget::Check(std::uint64_t(w) * h * 4, "showing a " + std::to_string(w) + " x " + std::to_string(h) + " picture");
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
    MemoryBudget::Check(std::uint64_t(w) * h * 4, "showing a " + std::to_string(w) + " x " + std::to_string(h) + " picture");
    QImage img(w, h, QImage::Format_ARGB32);
    if (img.isNull())
        return img;
    const TQtColors color(bitmap, true, key);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = bitmap.ScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = color(in, x);
    }
    return img;
}
