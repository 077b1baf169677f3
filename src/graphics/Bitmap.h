// TBitmap: the picture every layer works on. Two pixel formats: 24-bit rows of blue,
// green, red bytes, and 8-bit palette indices. Rows run top to bottom and are padded to a
// multiple of 4 bytes, so a row's bytes can be handed to image libraries as they are.
#pragma once

#include "MemoryBudget.h"
#include "PictureMemory.h"
#include "Types.h"

#include <cstdint>
#include <vector>

enum class TPixelFormat { pf8bit, pf24bit };

// The largest picture the program holds: 2^28 pixels (768 MiB at 24 bits). Anything that
// claims more is refused before memory is touched.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t(1) << 28;

class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);
    // Copies count against the memory budget; a refused copy assignment leaves the
    // target as it was.
    TBitmap(const TBitmap&) = default;
    TBitmap(TBitmap&&) noexcept = default;
    TBitmap& operator=(const TBitmap& other);
    TBitmap& operator=(TBitmap&&) noexcept = default;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return m_width == 0 || m_height == 0; }
    TPixelFormat PixelFormat() const { return m_format; }
    int BytesPerPixel() const { return m_format == TPixelFormat::pf24bit ? 3 : 1; }
    // Bytes from one row to the next (a multiple of 4).
    int RowBytes() const { return m_rowBytes; }

    // Resizes, keeping the overlapping top-left content; new pixels are white (palette
    // index 0 for 8-bit bitmaps). Throws EInvalidGraphic for negative or oversized sizes.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, m_height); }
    void SetHeight(int height) { SetSize(m_width, height); }
    // Converts the pixels. 8 -> 24 looks colours up in the palette. 24 -> 8 keeps every
    // colour exactly when there are at most 256 of them, otherwise maps each pixel to the
    // nearest colour of the 6 x 6 x 6 colour cube.
    void SetPixelFormat(TPixelFormat format);

    std::uint8_t* ScanLine(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_rowBytes; }
    const std::uint8_t* ScanLine(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_rowBytes; }
    std::uint8_t* Bits() { return m_pixels.data(); }
    const std::uint8_t* Bits() const { return m_pixels.data(); }

    // Palette of an 8-bit bitmap (at most 256 entries); empty for 24-bit ones.
    const std::vector<TColor>& Palette() const { return m_palette; }
    void SetPalette(const std::vector<TColor>& palette);

    // Colour of one pixel (palette colour for 8-bit); out-of-range reads give black.
    TColor Pixel(int x, int y) const;
    // Writes one pixel; 8-bit bitmaps take the nearest palette entry. Out of range: ignored.
    void SetPixel(int x, int y, TColor color);

    // Transparency: when set, the transparent colour is the bottom-left pixel's colour.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool on) { m_transparent = on; }
    TColor TransparentColor() const;
    // True for pixels that show through: the bitmap is transparent and the pixel has the
    // transparent colour.
    bool IsMasked(int x, int y) const;

    // Fills every pixel with one colour.
    void Fill(TColor color);
    // Copies the rectangle `srcRect` of `src` to `dest` of this bitmap pixel by pixel,
    // without stretching (the smaller of the two sizes is used), clipped to both bitmaps.
    void CopyRect(TPoint dest, const TBitmap& src, const TRect& srcRect);

    friend bool operator==(const TBitmap& a, const TBitmap& b);

    // Index of the palette entry nearest to `color` (squared RGB distance, first wins).
    static int NearestIndex(const std::vector<TColor>& palette, TColor color);

private:
    void allocate(int width, int height, TPixelFormat format, std::uint8_t fill = 0);

    int m_width = 0;
    int m_height = 0;
    int m_rowBytes = 0;
    TPixelFormat m_format = TPixelFormat::pf24bit;
    bool m_transparent = false;
    // Holds the pixel bytes against the memory budget; declared before the pixels so a
    // refused copy never allocates them.
    TMemoryReservation m_reservation;
    std::vector<std::uint8_t, TPictureAllocator<std::uint8_t>> m_pixels;
    std::vector<TColor> m_palette;
};

// Checks a claimed picture size before anything is allocated; throws EInvalidGraphic
// with `what` in the message when it is negative or larger than kMaxBitmapPixels.
void CheckBitmapSize(std::int64_t width, std::int64_t height, const char* what = "Image");
