#include "BitmapImage.h"

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
    QImage img(w, h, QImage::Format_ARGB32);
    const TColor key = bitmap.TransparentColor();
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const TColor c = bitmap.Pixel(x, y);
            out[x] = c == key ? qRgba(0, 0, 0, 0) : qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    return img;
}
