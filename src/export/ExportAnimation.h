// Export of an animation to the formats other programs show: APNG, animated WebP, MP4
// (H.264), WebM (VP9), a numbered PNG sequence and a sprite sheet. The animation comes as
// frames that share their pictures (a strip's document, a GIF opened as frames), so an
// export copies no more than the frame it is converting.
//
// Delays are in hundredths of a second, as the strip keeps them, and stay the time the
// user set: 0 and 1 are written as 0 and 10 ms (browsers show short GIF delays as 10
// hundredths; these formats keep what was asked). Videos need a time for every frame, so
// there a delay of 0 lasts one hundredth.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/Exception.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TExportFrame {
    // The picture with its transparency flag (the transparent colour is its bottom-left
    // pixel's). Any size or format: it is read as its top-left part at the frame size,
    // white where it is smaller.
    std::shared_ptr<const TBitmap> Picture;
    int Delay = 10; // hundredths of a second
    std::string Name;
};

struct TExportAnimation {
    int Width = 0;
    int Height = 0;
    int Loops = 0; // 0: forever
    std::vector<TExportFrame> Frames;
};

enum class TExportFormat { Apng, WebP, Mp4, WebM, PngSequence, SpriteSheet };

struct TExportOptions {
    TExportFormat Format = TExportFormat::Apng;
    // WebP lossy, MP4 and WebM: 0 (smallest) to 100 (best).
    int Quality = 80;
    bool Lossless = true; // WebP
    int Columns = 0;      // sprite sheet; 0: about as many columns as rows
    int Padding = 0;      // sprite sheet: pixels between and around the frames
};

// Frames done so far of `total`; returning false stops the export.
using TExportProgress = std::function<bool(int done, int total)>;

// Raised when the progress callback stops an export: nothing was written.
class EExportStopped : public Exception {
public:
    EExportStopped() : Exception("Export stopped") {}
};

// Writes `animation` to `path` (and for PNG sequences and sprite sheets the files beside
// it, see PngFrames.h). Every file is written whole or not at all; a stopped or failed
// export leaves earlier files as they were. The memory budget is asked before any frame
// is converted. Throws EInvalidArgument for an empty animation or bad options, Exception
// with the encoder's or the system's words otherwise.
void ExportAnimation(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                     const TExportProgress& progress = {});

// The format a file name asks for by its extension (any letter case): .apng, .webp,
// .mp4, .webm; nothing for others (a .png can be an APNG, a sequence or a sheet).
std::optional<TExportFormat> ExportFormatOfPath(const std::string& path);
// "apng", "webp", "mp4", "webm", "sequence", "sheet" and back.
std::optional<TExportFormat> ParseExportFormat(const std::string& name);
std::string ExportFormatName(TExportFormat format);
// The file extension a format's main file takes (".apng", ".webp", ".mp4", ".webm", ".png").
std::string ExportExtension(TExportFormat format);

// --- for the writers --------------------------------------------------------------------

// Frame i at the frame size as 24-bit rows, and whether a pixel shows through.
class TExportPicture {
public:
    TExportPicture(const TExportAnimation& animation, int i);
    const TBitmap& Bitmap() const { return *m_bitmap; }
    bool Transparent() const { return m_bitmap->Transparent(); }
    bool Masked(int x, int y) const;
    // Red, green, blue, alpha (0 or 255), 4 bytes a pixel, rows `stride` bytes apart.
    void ToRgba(std::uint8_t* rgba, std::ptrdiff_t stride) const;

    // The picture with the pixels that show through made white, as on a page (videos
    // have no transparency).
    const TBitmap& OverWhite();

private:
    const TBitmap* m_bitmap;
    TBitmap m_copy; // when the picture is not a 24-bit frame-size one, or once made white
    std::uint8_t m_key[3] = {};
};

// Checks an animation before export (frames, size within the bitmap limit, delays of 0
// or more); throws EInvalidArgument.
void CheckExportAnimation(const TExportAnimation& animation);
// Calls `progress`; throws EExportStopped when it says stop.
void ReportExportProgress(const TExportProgress& progress, int done, int total);
