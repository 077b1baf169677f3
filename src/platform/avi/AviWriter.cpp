#include "AviWriter.h"

#include "AviHeader.h"

#include "graphics/Exception.h"

#include <algorithm>
#include <cstring>

namespace {

// The fixed layout in front of the frames: RIFF header, the header list (main header,
// one stream list with its stream header and format), the frame list's header.
constexpr std::uint32_t kAvihSize = 56;
constexpr std::uint32_t kStrhSize = 56;
constexpr std::uint32_t kStrfSize = 40 + 256 * 4;
constexpr std::uint32_t kStrlSize = 4 + (8 + kStrhSize) + (8 + kStrfSize);
constexpr std::uint32_t kHdrlSize = 4 + (8 + kAvihSize) + (8 + kStrlSize);
constexpr std::uint64_t kMoviListPos = 12 + 8 + kHdrlSize;
constexpr std::uint64_t kFirstChunkPos = kMoviListPos + 12;
constexpr std::uint32_t kPaletteChangeSize = 4 + 256 * 4;

const std::uint32_t kFrameId = FourCC('0', '0', 'd', 'b');
const std::uint32_t kPaletteId = FourCC('0', '0', 'p', 'c');

std::string tooLarge()
{
    return "The AVI file would be larger than 1 GB, more than a plain AVI file can hold";
}

} // namespace

const std::string& TAviWriter::checkedPath(const std::string& path, int width, int height, std::uint32_t expectedFrames)
{
    if (width < 1 || height < 1 || width > 65535 || height > 65535)
        throw Exception("The AVI frame size " + std::to_string(width) + " x " + std::to_string(height)
                        + " is outside 1 to 65535 pixels");
    const std::uint64_t perFrame = 8 + ImageSize(width, height) + 16;
    if (expectedFrames > (kMaxAviFileBytes - kFirstChunkPos) / perFrame)
        throw Exception(tooLarge());
    return path;
}

std::uint64_t TAviWriter::ImageSize(int width, int height)
{
    return ((static_cast<std::uint64_t>(width) + 3) & ~std::uint64_t(3)) * static_cast<std::uint64_t>(height);
}

TAviWriter::TAviWriter(const std::string& path, int width, int height, std::uint32_t scale, std::uint32_t rate,
                       std::uint32_t expectedFrames)
    : m_file(checkedPath(path, width, height, expectedFrames)),
      m_path(path), m_width(width), m_height(height), m_scale(scale), m_rate(rate),
      m_imageSize(static_cast<std::uint32_t>(ImageSize(width, height)))
{
    // Room for the headers; they are filled in by Finish, when the length is known.
    const std::vector<std::uint8_t> zeros(kFirstChunkPos, 0);
    m_file.Write(zeros.data(), zeros.size());
}

void TAviWriter::chunk(std::uint32_t id, std::uint32_t flags, const std::vector<std::uint8_t>& body)
{
    chunk(id, flags, body.size(), [&] {
        if (!body.empty())
            m_file.Write(body.data(), body.size());
    });
}

void TAviWriter::chunk(std::uint32_t id, std::uint32_t flags, std::size_t bodySize, const std::function<void()>& writeBody)
{
    const std::uint64_t pos = m_file.Size();
    const std::uint64_t padded = bodySize + (bodySize & 1);
    // What the file needs at the end: this chunk, its index entry and the idx1 header.
    if (pos + 8 + padded + m_index.size() + 16 + 8 > kMaxAviFileBytes)
        throw Exception(tooLarge());
    std::uint8_t head[8];
    std::memcpy(head, &id, 4);
    const std::uint32_t size = static_cast<std::uint32_t>(bodySize);
    for (int i = 0; i < 4; ++i)
        head[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    m_file.Write(head, 8);
    writeBody();
    if (bodySize & 1) {
        const std::uint8_t pad = 0;
        m_file.Write(&pad, 1);
    }
    // Index offsets count from the "movi" code of the frame list.
    PutLE32(m_index, id);
    PutLE32(m_index, flags);
    PutLE32(m_index, static_cast<std::uint32_t>(pos - (kMoviListPos + 8)));
    PutLE32(m_index, size);
}

void TAviWriter::writePaletteChange(const std::vector<TColor>& palette)
{
    m_body.clear();
    m_body.push_back(0); // first entry
    m_body.push_back(0); // entries: 0 means 256
    PutLE16(m_body, 0);
    for (int i = 0; i < 256; ++i) {
        const TColor c = i < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(i)] : clBlack;
        m_body.push_back(static_cast<std::uint8_t>(GetRValue(c)));
        m_body.push_back(static_cast<std::uint8_t>(GetGValue(c)));
        m_body.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        m_body.push_back(0);
    }
    chunk(kPaletteId, kAviIndexNoTime, m_body);
}

void TAviWriter::WriteFrame(const TBitmap& frame)
{
    if (frame.PixelFormat() != TPixelFormat::pf8bit || frame.Width() != m_width || frame.Height() != m_height
        || frame.Palette().size() > 256)
        throw EInvalidArgument("An AVI frame must be an 8-bit picture of the stream's size");
    if (m_length == UINT32_MAX)
        throw Exception(tooLarge());
    // Palettes are compared as the file stores them: 256 entries, black beyond the colours.
    std::vector<TColor> palette = frame.Palette();
    palette.resize(256, clBlack);
    if (!m_hasPalette) {
        m_firstPalette = palette;
        m_palette = palette;
        m_hasPalette = true;
    } else if (palette != m_palette) {
        writePaletteChange(palette);
        m_palette = palette;
    }
    // Rows bottom-up, as a device-independent bitmap stores them; the bitmap's rows are
    // padded to 4 bytes as those are, so they are written as they are.
    const std::size_t row = (static_cast<std::size_t>(m_width) + 3) & ~std::size_t(3);
    chunk(kFrameId, kAviIndexKeyFrame, m_imageSize, [&] {
        const std::vector<std::uint8_t> zeros(row - static_cast<std::size_t>(m_width), 0);
        for (int y = m_height - 1; y >= 0; --y) {
            m_file.Write(frame.ScanLine(y), static_cast<std::size_t>(m_width));
            m_file.Write(zeros.data(), zeros.size());
        }
    });
    ++m_length;
}

void TAviWriter::SkipFrame()
{
    if (m_length == UINT32_MAX)
        throw Exception(tooLarge());
    chunk(kFrameId, 0, {});
    ++m_length;
}

void TAviWriter::Finish()
{
    // idx1 after the frames.
    std::vector<std::uint8_t> tail;
    PutLE32(tail, FourCC('i', 'd', 'x', '1'));
    PutLE32(tail, static_cast<std::uint32_t>(m_index.size()));
    if (m_file.Size() + tail.size() + m_index.size() > kMaxAviFileBytes)
        throw Exception(tooLarge());
    const std::uint64_t moviEnd = m_file.Size();
    m_file.Write(tail.data(), tail.size());
    m_file.Write(m_index.data(), m_index.size());

    const std::uint32_t microSeconds =
        m_rate ? static_cast<std::uint32_t>(std::min<std::uint64_t>((std::uint64_t(m_scale) * 1000000 + m_rate / 2) / m_rate, UINT32_MAX)) : 0;
    const std::uint32_t bytesPerSecond =
        m_scale ? static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t(m_imageSize) * m_rate / m_scale, UINT32_MAX)) : 0;
    std::vector<std::uint8_t> h;
    PutLE32(h, FourCC('R', 'I', 'F', 'F'));
    PutLE32(h, static_cast<std::uint32_t>(m_file.Size() - 8));
    PutLE32(h, FourCC('A', 'V', 'I', ' '));
    PutLE32(h, FourCC('L', 'I', 'S', 'T'));
    PutLE32(h, kHdrlSize);
    PutLE32(h, FourCC('h', 'd', 'r', 'l'));
    // Main header.
    PutLE32(h, FourCC('a', 'v', 'i', 'h'));
    PutLE32(h, kAvihSize);
    PutLE32(h, microSeconds);
    PutLE32(h, bytesPerSecond);
    PutLE32(h, 0); // padding granularity
    PutLE32(h, kAviHasIndex);
    PutLE32(h, m_length); // total frames
    PutLE32(h, 0);        // initial frames
    PutLE32(h, 1);        // streams
    PutLE32(h, m_imageSize);
    PutLE32(h, static_cast<std::uint32_t>(m_width));
    PutLE32(h, static_cast<std::uint32_t>(m_height));
    for (int i = 0; i < 4; ++i)
        PutLE32(h, 0);
    // The stream list: header and format.
    PutLE32(h, FourCC('L', 'I', 'S', 'T'));
    PutLE32(h, kStrlSize);
    PutLE32(h, FourCC('s', 't', 'r', 'l'));
    PutLE32(h, FourCC('s', 't', 'r', 'h'));
    PutLE32(h, kStrhSize);
    PutLE32(h, FourCC('v', 'i', 'd', 's'));
    PutLE32(h, 0); // handler: uncompressed
    PutLE32(h, 0); // flags
    PutLE16(h, 0); // priority
    PutLE16(h, 0); // language
    PutLE32(h, 0); // initial frames
    PutLE32(h, m_scale);
    PutLE32(h, m_rate);
    PutLE32(h, 0); // start
    PutLE32(h, m_length);
    PutLE32(h, m_imageSize); // suggested buffer size
    PutLE32(h, 0);           // quality
    PutLE32(h, 0);           // sample size
    PutLE16(h, 0);
    PutLE16(h, 0);
    PutLE16(h, static_cast<std::uint32_t>(m_width));
    PutLE16(h, static_cast<std::uint32_t>(m_height));
    PutLE32(h, FourCC('s', 't', 'r', 'f'));
    PutLE32(h, kStrfSize);
    PutLE32(h, 40);
    PutLE32(h, static_cast<std::uint32_t>(m_width));
    PutLE32(h, static_cast<std::uint32_t>(m_height)); // positive: rows bottom-up
    PutLE16(h, 1);                                      // planes
    PutLE16(h, 8);                                      // bits per pixel
    PutLE32(h, 0);                                      // no compression
    PutLE32(h, m_imageSize);
    PutLE32(h, 0);
    PutLE32(h, 0);
    PutLE32(h, 256); // colours used
    PutLE32(h, 0);
    for (int i = 0; i < 256; ++i) {
        const TColor c = m_hasPalette ? m_firstPalette[static_cast<std::size_t>(i)] : clBlack;
        h.push_back(static_cast<std::uint8_t>(GetBValue(c)));
        h.push_back(static_cast<std::uint8_t>(GetGValue(c)));
        h.push_back(static_cast<std::uint8_t>(GetRValue(c)));
        h.push_back(0);
    }
    // The frame list's header.
    PutLE32(h, FourCC('L', 'I', 'S', 'T'));
    PutLE32(h, static_cast<std::uint32_t>(moviEnd - kMoviListPos - 8));
    PutLE32(h, FourCC('m', 'o', 'v', 'i'));
    if (h.size() != kFirstChunkPos)
        throw Exception("Unable to write to " + m_path); // the layout above is fixed; never happens
    m_file.WriteAt(0, h.data(), h.size());
    m_file.Commit();
}
