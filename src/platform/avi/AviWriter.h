// TAviWriter: an uncompressed AVI file of 8-bit frames with their palettes, one video
// stream, written as a plain RIFF AVI (hdrl, strl, movi, idx1). The stream format carries
// the first frame's palette; a frame whose palette differs from the one in force is
// preceded by a palette change, so every frame keeps its own colours. The file goes to a
// temporary file beside the target and replaces it in Finish(); a writer destroyed before
// that leaves the target as it was.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/FileWrite.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A plain RIFF AVI stays below 1 GB; larger files need extensions many players lack.
constexpr std::uint64_t kMaxAviFileBytes = std::uint64_t(1) << 30;

class TAviWriter {
public:
    // A stream of `width` x `height` frames lasting `scale` / `rate` seconds each.
    // `expectedFrames` lets a file that cannot fit be refused before anything is written.
    // Throws Exception for sizes outside 1..65535 or beyond the 1 GB of a plain AVI file.
    TAviWriter(const std::string& path, int width, int height, std::uint32_t scale, std::uint32_t rate,
               std::uint32_t expectedFrames);

    // Appends an 8-bit frame of the stream's size (its palette holds at most 256 colours).
    void WriteFrame(const TBitmap& frame);
    // Leaves the next position without data: players keep showing the frame before it.
    void SkipFrame();
    // Positions written so far (frames and skipped ones).
    std::uint32_t Length() const { return m_length; }
    // Writes the index and the headers and puts the file in place.
    void Finish();

    // Bytes of one frame's pixel data: rows of `width` bytes padded to 4, `height` rows.
    static std::uint64_t ImageSize(int width, int height);

private:
    // Refuses what cannot be written before the temporary file is made.
    static const std::string& checkedPath(const std::string& path, int width, int height, std::uint32_t expectedFrames);
    void chunk(std::uint32_t id, std::uint32_t flags, const std::vector<std::uint8_t>& body);
    void chunk(std::uint32_t id, std::uint32_t flags, std::size_t bodySize, const std::function<void()>& writeBody);
    void writePaletteChange(const std::vector<TColor>& palette);

    TAtomicFile m_file;
    std::string m_path;
    int m_width;
    int m_height;
    std::uint32_t m_scale;
    std::uint32_t m_rate;
    std::uint32_t m_imageSize;
    std::uint32_t m_length = 0;
    bool m_hasPalette = false;
    std::vector<TColor> m_firstPalette;
    std::vector<TColor> m_palette; // the palette in force
    std::vector<std::uint8_t> m_index;
    std::vector<std::uint8_t> m_body; // reused for palette changes
};
