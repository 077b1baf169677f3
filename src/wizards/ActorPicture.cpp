#include "ActorPicture.h"

#include "graphics/Exception.h"

#include <algorithm>
#include <cstring>

namespace {

TBitmap at24Bits(const TBitmap& bitmap)
{
    TBitmap image = bitmap;
    image.SetTransparent(false);
    if (image.PixelFormat() != TPixelFormat::pf24bit)
        image.SetPixelFormat(TPixelFormat::pf24bit);
    return image;
}

// The coverage of a picture whose pixels of colour `key` show through.
TBitmap keyedAlpha(const TBitmap& image, TColor key)
{
    TBitmap alpha(image.Width(), image.Height(), TPixelFormat::pf8bit);
    const std::uint8_t kb = static_cast<std::uint8_t>(key >> 16), kg = static_cast<std::uint8_t>(key >> 8),
                       kr = static_cast<std::uint8_t>(key);
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* in = image.ScanLine(y);
        std::uint8_t* out = alpha.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x, in += 3)
            out[x] = (in[0] == kb && in[1] == kg && in[2] == kr) ? 0 : 255;
    }
    return alpha;
}

TBitmap opaqueAlpha(int width, int height)
{
    TBitmap alpha(width, height, TPixelFormat::pf8bit);
    for (int y = 0; y < height; ++y)
        std::memset(alpha.ScanLine(y), 255, static_cast<std::size_t>(width));
    return alpha;
}

} // namespace

TActorPicture::TActorPicture(const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    TBitmap image = at24Bits(bitmap);
    m_alpha = bitmap.Transparent() ? keyedAlpha(image, image.Pixel(0, image.Height() - 1))
                                   : opaqueAlpha(image.Width(), image.Height());
    m_image = std::move(image);
}

TActorPicture::TActorPicture(const TBitmap& colours, const std::uint8_t* alpha)
{
    if (colours.Empty())
        return;
    if (!alpha)
        throw EInvalidArgument("An actor picture needs its alpha bytes");
    TBitmap image = at24Bits(colours);
    TBitmap coverage(image.Width(), image.Height(), TPixelFormat::pf8bit);
    for (int y = 0; y < image.Height(); ++y)
        std::memcpy(coverage.ScanLine(y), alpha + static_cast<std::size_t>(y) * image.Width(),
                    static_cast<std::size_t>(image.Width()));
    m_image = std::move(image);
    m_alpha = std::move(coverage);
}

TActorPicture TActorPicture::KeyedByBottomLeft(const TBitmap& bitmap)
{
    TBitmap keyed = bitmap;
    keyed.SetTransparent(true);
    return TActorPicture(keyed);
}

TRect DrawActorPicture(TBitmap& dest, int x, int y, const TActorPicture& actor)
{
    if (actor.Empty() || dest.Empty() || dest.PixelFormat() != TPixelFormat::pf24bit)
        return {};
    // In 64 bits: a point far outside must not wrap around into the picture.
    const std::int64_t left = std::max<std::int64_t>(x, 0), top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t(x) + actor.Width(), dest.Width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + actor.Height(), dest.Height());
    if (left >= right || top >= bottom)
        return {};
    const int sx = static_cast<int>(left - x), count = static_cast<int>(right - left);
    for (int dy = static_cast<int>(top); dy < bottom; ++dy) {
        const int sy = static_cast<int>(dy - std::int64_t(y));
        const std::uint8_t* src = actor.Image().ScanLine(sy) + 3 * sx;
        const std::uint8_t* a = actor.AlphaLine(sy) + sx;
        std::uint8_t* out = dest.ScanLine(dy) + 3 * left;
        for (int i = 0; i < count; ++i, src += 3, out += 3) {
            const unsigned cover = a[i];
            if (cover == 255) {
                out[0] = src[0];
                out[1] = src[1];
                out[2] = src[2];
            } else if (cover != 0) {
                const unsigned rest = 255 - cover;
                out[0] = static_cast<std::uint8_t>((src[0] * cover + out[0] * rest + 127) / 255);
                out[1] = static_cast<std::uint8_t>((src[1] * cover + out[1] * rest + 127) / 255);
                out[2] = static_cast<std::uint8_t>((src[2] * cover + out[2] * rest + 127) / 255);
            }
        }
    }
    return TRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));
}
