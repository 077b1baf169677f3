#include "Bitmap.h"

#include "Exception.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

void CheckBitmapSize(std::int64_t width, std::int64_t height, const char* what)
{
    if (width < 0 || height < 0)
        throw EInvalidGraphic(std::string(what) + " has a negative size");
    if (width > 0 && height > 0 && width * height > kMaxBitmapPixels)
        throw EInvalidGraphic(std::string(what) + " is too large (" + std::to_string(width) + " x "
                              + std::to_string(height) + " pixels; at most "
                              + std::to_string(kMaxBitmapPixels) + " pixels are supported)");
}

namespace {

int rowBytesFor(int width, TPixelFormat format)
{
    const std::int64_t bits = static_cast<std::int64_t>(width) * (format == TPixelFormat::pf24bit ? 24 : 8);
    return static_cast<int>(((bits + 31) / 32) * 4);
}

std::vector<TColor> cubePalette()
{
    std::vector<TColor> pal;
    pal.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.push_back(RGB(r * 51, g * 51, b * 51));
    return pal;
}

} // namespace

TBitmap::TBitmap(int width, int height, TPixelFormat format)
{
    m_format = format;
    SetSize(width, height);
}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this != &other) {
        TBitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void TBitmap::allocate(int width, int height, TPixelFormat format, std::uint8_t fill)
{
    CheckBitmapSize(width, height, "Bitmap");
    if (width == 0 || height == 0) {
        width = std::max(width, 0);
        height = std::max(height, 0);
    }
    // Asked of the budget before anything changes, so a refusal leaves the bitmap as it was.
    const int rowBytes = rowBytesFor(width, format);
    m_reservation.Reserve(static_cast<std::uint64_t>(rowBytes) * height,
                          "a " + std::to_string(width) + " x " + std::to_string(height) + " picture");
    m_width = width;
    m_height = height;
    m_format = format;
    m_rowBytes = rowBytes;
    m_pixels.assign(static_cast<std::size_t>(m_rowBytes) * height, fill);
}

void TBitmap::SetSize(int width, int height)
{
    if (width == m_width && height == m_height && !m_pixels.empty())
        return;
    CheckBitmapSize(width, height, "Bitmap");
    TBitmap old = std::move(*this);
    try {
        // New 24-bit pixels are white, written once.
        allocate(width, height, old.m_format, old.m_format == TPixelFormat::pf24bit ? 0xFF : 0);
    } catch (...) {
        *this = std::move(old);
        throw;
    }
    m_palette = old.m_palette;
    m_transparent = old.m_transparent;
    const int w = std::min(width, old.m_width);
    const int h = std::min(height, old.m_height);
    if (w > 0)
        for (int y = 0; y < h; ++y)
            std::memcpy(ScanLine(y), old.ScanLine(y), static_cast<std::size_t>(w) * BytesPerPixel());
}

void TBitmap::SetPalette(const std::vector<TColor>& palette)
{
    m_palette.assign(palette.begin(), palette.begin() + std::min<std::size_t>(palette.size(), 256));
}

int TBitmap::NearestIndex(const std::vector<TColor>& palette, TColor color)
{
    int best = 0;
    int bestDist = 0x7FFFFFFF;
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = GetRValue(palette[i]) - r, dg = GetGValue(palette[i]) - g, db = GetBValue(palette[i]) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = static_cast<int>(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == m_format)
        return;
    TBitmap src = std::move(*this);
    try {
        allocate(src.m_width, src.m_height, format);
    } catch (...) {
        *this = std::move(src);
        throw;
    }
    m_transparent = src.m_transparent;
    if (format == TPixelFormat::pf24bit) {
        m_palette.clear();
        for (int y = 0; y < m_height; ++y) {
            const std::uint8_t* s = src.ScanLine(y);
            std::uint8_t* d = ScanLine(y);
            for (int x = 0; x < m_width; ++x) {
                const TColor c = s[x] < src.m_palette.size() ? src.m_palette[s[x]] : clBlack;
                d[3 * x] = static_cast<std::uint8_t>(GetBValue(c));
                d[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(c));
                d[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(c));
            }
        }
        return;
    }
    // 24 -> 8: an exact palette when the colours fit, else the colour cube.
    std::unordered_map<TColor, int> index;
    std::vector<TColor> pal;
    bool exact = true;
    for (int y = 0; y < m_height && exact; ++y) {
        const std::uint8_t* s = src.ScanLine(y);
        for (int x = 0; x < m_width; ++x) {
            const TColor c = RGB(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
            if (index.emplace(c, static_cast<int>(pal.size())).second) {
                if (pal.size() == 256) {
                    exact = false;
                    break;
                }
                pal.push_back(c);
            }
        }
    }
    if (!exact) {
        pal = cubePalette();
        index.clear();
    }
    m_palette = pal;
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* s = src.ScanLine(y);
        std::uint8_t* d = ScanLine(y);
        for (int x = 0; x < m_width; ++x) {
            const TColor c = RGB(s[3 * x + 2], s[3 * x + 1], s[3 * x]);
            if (exact) {
                d[x] = static_cast<std::uint8_t>(index[c]);
            } else {
                // Nearest cube level per channel: levels are 51 apart.
                const int r = (GetRValue(c) + 25) / 51, g = (GetGValue(c) + 25) / 51, b = (GetBValue(c) + 25) / 51;
                d[x] = static_cast<std::uint8_t>(r * 36 + g * 6 + b);
            }
        }
    }
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return clBlack;
    const std::uint8_t* row = ScanLine(y);
    if (m_format == TPixelFormat::pf24bit)
        return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    const std::uint8_t i = row[x];
    return i < m_palette.size() ? m_palette[i] : clBlack;
}

void TBitmap::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    std::uint8_t* row = ScanLine(y);
    if (m_format == TPixelFormat::pf24bit) {
        row[3 * x] = static_cast<std::uint8_t>(GetBValue(color));
        row[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(color));
        row[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(color));
    } else {
        row[x] = static_cast<std::uint8_t>(NearestIndex(m_palette, color));
    }
}

TColor TBitmap::TransparentColor() const
{
    return Pixel(0, m_height - 1);
}

bool TBitmap::IsMasked(int x, int y) const
{
    return m_transparent && !Empty() && Pixel(x, y) == TransparentColor();
}

void TBitmap::Fill(TColor color)
{
    if (Empty())
        return;
    if (m_format == TPixelFormat::pf8bit) {
        const int i = NearestIndex(m_palette, color);
        std::fill(m_pixels.begin(), m_pixels.end(), static_cast<std::uint8_t>(i));
        return;
    }
    std::uint8_t* row0 = ScanLine(0);
    for (int x = 0; x < m_width; ++x) {
        row0[3 * x] = static_cast<std::uint8_t>(GetBValue(color));
        row0[3 * x + 1] = static_cast<std::uint8_t>(GetGValue(color));
        row0[3 * x + 2] = static_cast<std::uint8_t>(GetRValue(color));
    }
    for (int y = 1; y < m_height; ++y)
        std::memcpy(ScanLine(y), row0, static_cast<std::size_t>(m_rowBytes));
}

void TBitmap::CopyRect(TPoint dest, const TBitmap& src, const TRect& srcRect)
{
    if (&src == this) {
        const TBitmap copy = src;
        CopyRect(dest, copy, srcRect);
        return;
    }
    int sx = srcRect.Left, sy = srcRect.Top;
    int w = srcRect.Width(), h = srcRect.Height();
    int dx = dest.X, dy = dest.Y;
    // Clip against the source.
    if (sx < 0) { dx -= sx; w += sx; sx = 0; }
    if (sy < 0) { dy -= sy; h += sy; sy = 0; }
    w = std::min(w, src.m_width - sx);
    h = std::min(h, src.m_height - sy);
    // Clip against this bitmap.
    if (dx < 0) { sx -= dx; w += dx; dx = 0; }
    if (dy < 0) { sy -= dy; h += dy; dy = 0; }
    w = std::min(w, m_width - dx);
    h = std::min(h, m_height - dy);
    if (w <= 0 || h <= 0)
        return;
    if (src.m_format == m_format && (m_format == TPixelFormat::pf24bit || src.m_palette == m_palette)) {
        const int bpp = BytesPerPixel();
        for (int y = 0; y < h; ++y)
            std::memmove(ScanLine(dy + y) + dx * bpp, src.ScanLine(sy + y) + sx * bpp, static_cast<std::size_t>(w) * bpp);
        return;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(dx + x, dy + y, src.Pixel(sx + x, sy + y));
}

bool operator==(const TBitmap& a, const TBitmap& b)
{
    if (a.m_width != b.m_width || a.m_height != b.m_height || a.m_format != b.m_format
        || a.m_transparent != b.m_transparent)
        return false;
    for (int y = 0; y < a.m_height; ++y)
        for (int x = 0; x < a.m_width; ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}
