#include "ExportAnimation.h"

#include "AnimationOpen.h"
#include "FFmpegWriter.h"
#include "PngFrames.h"
#include "WebPWriter.h"

namespace {

struct TFormatName {
    TExportFormat Format;
    const char* Name;
    const char* Extension;
};
constexpr TFormatName kFormats[] = {
    {TExportFormat::Apng, "apng", ".apng"},       {TExportFormat::WebP, "webp", ".webp"},
    {TExportFormat::Mp4, "mp4", ".mp4"},          {TExportFormat::WebM, "webm", ".webm"},
    {TExportFormat::PngSequence, "sequence", ".png"}, {TExportFormat::SpriteSheet, "sheet", ".png"},
};

} // namespace

std::optional<TExportFormat> ExportFormatOfPath(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    for (const TFormatName& f : kFormats)
        if (ext == f.Extension && ext != ".png")
            return f.Format;
    return std::nullopt;
}

std::optional<TExportFormat> ParseExportFormat(const std::string& name)
{
    for (const TFormatName& f : kFormats)
        if (name == f.Name)
            return f.Format;
    return std::nullopt;
}

std::string ExportFormatName(TExportFormat format)
{
    for (const TFormatName& f : kFormats)
        if (f.Format == format)
            return f.Name;
    return {};
}

std::string ExportExtension(TExportFormat format)
{
    for (const TFormatName& f : kFormats)
        if (f.Format == format)
            return f.Extension;
    return {};
}

TExportPicture::TExportPicture(const TExportAnimation& animation, int i)
{
    const TBitmap& picture = *animation.Frames[static_cast<std::size_t>(i)].Picture;
    m_bitmap = &picture;
    if (picture.PixelFormat() != TPixelFormat::pf24bit || picture.Width() != animation.Width
        || picture.Height() != animation.Height) {
        m_copy = TBitmap(animation.Width, animation.Height);
        m_copy.Fill(clWhite);
        if (picture.PixelFormat() == TPixelFormat::pf24bit) {
            m_copy.CopyRect({0, 0}, picture, {0, 0, picture.Width(), picture.Height()});
        } else {
            TBitmap wide = picture;
            wide.SetPixelFormat(TPixelFormat::pf24bit);
            m_copy.CopyRect({0, 0}, wide, {0, 0, wide.Width(), wide.Height()});
        }
        m_copy.SetTransparent(picture.Transparent());
        m_bitmap = &m_copy;
    }
    if (m_bitmap->Transparent()) {
        const std::uint8_t* p = m_bitmap->ScanLine(m_bitmap->Height() - 1);
        std::copy(p, p + 3, m_key);
    }
}

bool TExportPicture::Masked(int x, int y) const
{
    if (!m_bitmap->Transparent())
        return false;
    const std::uint8_t* p = m_bitmap->ScanLine(y) + 3 * x;
    return p[0] == m_key[0] && p[1] == m_key[1] && p[2] == m_key[2];
}

void TExportPicture::ToRgba(std::uint8_t* rgba, std::ptrdiff_t stride) const
{
    const bool keyed = m_bitmap->Transparent();
    for (int y = 0; y < m_bitmap->Height(); ++y) {
        const std::uint8_t* p = m_bitmap->ScanLine(y);
        std::uint8_t* q = rgba + y * stride;
        for (int x = 0; x < m_bitmap->Width(); ++x, p += 3, q += 4) {
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            q[3] = keyed && p[0] == m_key[0] && p[1] == m_key[1] && p[2] == m_key[2] ? 0 : 255;
        }
    }
}

const TBitmap& TExportPicture::OverWhite()
{
    if (!m_bitmap->Transparent())
        return *m_bitmap;
    if (m_bitmap != &m_copy) {
        m_copy = *m_bitmap;
        m_bitmap = &m_copy;
    }
    for (int y = 0; y < m_copy.Height(); ++y) {
        std::uint8_t* p = m_copy.ScanLine(y);
        for (int x = 0; x < m_copy.Width(); ++x, p += 3)
            if (p[0] == m_key[0] && p[1] == m_key[1] && p[2] == m_key[2])
                p[0] = p[1] = p[2] = 255;
    }
    m_copy.SetTransparent(false);
    return m_copy;
}

void CheckExportAnimation(const TExportAnimation& animation)
{
    if (animation.Frames.empty())
        throw EInvalidArgument("There are no frames to export");
    if (animation.Width <= 0 || animation.Height <= 0)
        throw EInvalidArgument("The frames have no size");
    CheckBitmapSize(animation.Width, animation.Height, "Frame");
    for (const TExportFrame& f : animation.Frames) {
        if (!f.Picture)
            throw EInvalidArgument("A frame has no picture");
        if (f.Delay < 0)
            throw EInvalidArgument("A frame delay is below 0");
    }
}

void ReportExportProgress(const TExportProgress& progress, int done, int total)
{
    if (progress && !progress(done, total))
        throw EExportStopped();
}

void ExportAnimation(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                     const TExportProgress& progress)
{
    CheckExportAnimation(animation);
    if (options.Quality < 0 || options.Quality > 100)
        throw EInvalidArgument("The quality runs from 0 to 100");
    if (options.Columns < 0 || options.Padding < 0)
        throw EInvalidArgument("Columns and padding cannot be below 0");
    switch (options.Format) {
    case TExportFormat::Apng:
    case TExportFormat::Mp4:
    case TExportFormat::WebM:
        WriteFFmpegAnimation(animation, path, options, progress);
        break;
    case TExportFormat::WebP:
        WriteWebPAnimation(animation, path, options, progress);
        break;
    case TExportFormat::PngSequence:
        WritePngSequence(animation, path, progress);
        break;
    case TExportFormat::SpriteSheet:
        WriteSpriteSheet(animation, path, options, progress);
        break;
    }
}
