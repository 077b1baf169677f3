// An actor picture: a small sprite with its own transparency, drawn over frames by the
// frame editor (stamped) and by the actor wizards (moved). Colours are 24-bit; every pixel
// has a coverage byte: 0 shows what lies under it, 255 covers it, values between blend
// (the soft edges of a PNG with alpha).
#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>

class TActorPicture {
public:
    TActorPicture() = default;
    // A picture as a transparent image control holds a bitmap: when `bitmap` is marked
    // transparent its transparent colour (the bottom-left pixel's) is left out, otherwise
    // every pixel covers. Any pixel format; kept at 24 bits.
    explicit TActorPicture(const TBitmap& bitmap);
    // Colours with one coverage byte per pixel, rows top-down, width x height bytes (the
    // caller's buffer must hold that many). Throws EInvalidArgument without alpha bytes.
    TActorPicture(const TBitmap& colours, const std::uint8_t* alpha);

    // A picture without its pixels of the bottom-left pixel's colour: the rule for files
    // that bring no transparency of their own.
    static TActorPicture KeyedByBottomLeft(const TBitmap& bitmap);

    bool Empty() const { return m_image.Empty(); }
    int Width() const { return m_image.Width(); }
    int Height() const { return m_image.Height(); }
    // The colours (24-bit) and the coverage (an 8-bit bitmap whose bytes are the alpha).
    const TBitmap& Image() const { return m_image; }
    std::uint8_t Alpha(int x, int y) const { return m_alpha.ScanLine(y)[x]; }
    const std::uint8_t* AlphaLine(int y) const { return m_alpha.ScanLine(y); }

private:
    TBitmap m_image;
    TBitmap m_alpha;
};

// Draws `actor` onto a 24-bit `dest` with its top-left corner at (x, y), clipped to dest
// (any position, however far outside, is safe). Returns the rectangle of dest it touched
// (empty when none).
TRect DrawActorPicture(TBitmap& dest, int x, int y, const TActorPicture& actor);
