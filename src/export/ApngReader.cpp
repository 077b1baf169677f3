// APNG: a PNG whose animation control chunk (acTL) announces frames, each a frame control
// chunk (fcTL: size, offset, delay, dispose and blend operation) followed by its image
// data (IDAT for a first frame that is also the default image, fdAT after). Each frame's
// data is decoded by libpng as a PNG of its own and composed onto an RGBA canvas.
#include "AnimationOpen.h"

#include "graphics/ByteOrder.h"
#include "graphics/Exception.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

enum : std::uint8_t { kDisposeNone = 0, kDisposeBackground = 1, kDisposePrevious = 2 };
enum : std::uint8_t { kBlendSource = 0, kBlendOver = 1 };

struct TChunk {
    const std::uint8_t* Type;
    const std::uint8_t* Data;
    std::uint32_t Size;
};

struct TFrameControl {
    std::uint32_t Width = 0, Height = 0, X = 0, Y = 0;
    std::uint16_t DelayNum = 0, DelayDen = 0;
    std::uint8_t Dispose = 0, Blend = 0;
};

struct TApngFrame {
    TFrameControl Control;
    std::vector<std::uint8_t> Data; // the zlib stream of its image data
};

class TApngParser {
public:
    TApngParser(const std::vector<std::uint8_t>& bytes, const std::string& name) : m_bytes(bytes), m_name(name) {}

    [[noreturn]] void damaged(const std::string& why) const
    {
        throw EInvalidGraphic(m_name + ": the APNG file is damaged (" + why + ")");
    }

    // Every chunk in order, checked for its bounds and checksum.
    std::vector<TChunk> chunks() const
    {
        if (m_bytes.size() < 8 || std::memcmp(m_bytes.data(), kSignature, 8) != 0)
            throw EInvalidGraphic(m_name + ": not a PNG file");
        std::vector<TChunk> out;
        std::size_t pos = 8;
        while (pos < m_bytes.size()) {
            if (m_bytes.size() - pos < 12)
                damaged("it ends inside a chunk");
            const std::uint32_t size = ReadBE32(m_bytes.data() + pos);
            if (size > 0x7FFFFFFF || size > m_bytes.size() - pos - 12)
                damaged("it ends inside a chunk");
            const std::uint8_t* type = m_bytes.data() + pos + 4;
            const auto crc = static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), type, size + 4));
            if (crc != ReadBE32(type + 4 + size))
                damaged("the " + std::string(reinterpret_cast<const char*>(type), 4) + " chunk fails its checksum");
            out.push_back({type, type + 4, size});
            pos += 12 + size;
            if (std::memcmp(type, "IEND", 4) == 0)
                break;
        }
        return out;
    }

private:
    const std::vector<std::uint8_t>& m_bytes;
    const std::string& m_name;
};

bool is(const TChunk& c, const char* type)
{
    return std::memcmp(c.Type, type, 4) == 0;
}

void putChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data, std::size_t size)
{
    auto be32 = [&](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8)
            out.push_back(static_cast<std::uint8_t>(v >> s));
    };
    be32(static_cast<std::uint32_t>(size));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    be32(static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), out.data() + start, static_cast<uInt>(size + 4))));
}

} // namespace

TOpenedAnimation ReadApng(const std::vector<std::uint8_t>& bytes, const std::string& name, const TOpenedFrameFn& take)
{
    const TApngParser parser(bytes, name);
    const std::vector<TChunk> chunks = parser.chunks();
    if (chunks.empty() || !is(chunks[0], "IHDR") || chunks[0].Size != 13)
        parser.damaged("no header chunk");
    const std::uint8_t* ihdr = chunks[0].Data;
    const std::uint32_t width = ReadBE32(ihdr), height = ReadBE32(ihdr + 4);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        parser.damaged("invalid size");
    CheckBitmapSize(width, height, "APNG picture");

    // The chunks every frame's own PNG repeats, the animation control and the frames.
    std::vector<const TChunk*> shared;
    std::optional<std::uint32_t> plays;
    std::vector<TApngFrame> frames;
    bool seenData = false, ended = false;
    std::uint32_t sequence = 0;
    auto nextSequence = [&](const TChunk& c) {
        if (c.Size < 4)
            parser.damaged("a frame chunk is too short");
        if (ReadBE32(c.Data) != sequence)
            parser.damaged("frame chunks out of order");
        ++sequence;
    };
    for (std::size_t i = 1; i < chunks.size(); ++i) {
        const TChunk& c = chunks[i];
        if (is(c, "IEND")) {
            ended = true;
        } else if (is(c, "acTL")) {
            if (c.Size != 8 || seenData)
                parser.damaged("a misplaced animation control chunk");
            plays = ReadBE32(c.Data + 4);
        } else if (is(c, "fcTL")) {
            nextSequence(c);
            if (c.Size != 26)
                parser.damaged("a frame control chunk of the wrong size");
            TFrameControl f;
            f.Width = ReadBE32(c.Data + 4);
            f.Height = ReadBE32(c.Data + 8);
            f.X = ReadBE32(c.Data + 12);
            f.Y = ReadBE32(c.Data + 16);
            f.DelayNum = static_cast<std::uint16_t>(c.Data[20] << 8 | c.Data[21]);
            f.DelayDen = static_cast<std::uint16_t>(c.Data[22] << 8 | c.Data[23]);
            f.Dispose = c.Data[24];
            f.Blend = c.Data[25];
            const std::string which = "frame " + std::to_string(frames.size() + 1);
            if (f.Width == 0 || f.Height == 0 || f.X > width || f.Y > height || f.Width > width - f.X
                || f.Height > height - f.Y)
                parser.damaged(which + " lies outside the picture");
            if (f.Dispose > kDisposePrevious || f.Blend > kBlendOver)
                parser.damaged(which + " has an unknown dispose or blend operation");
            if (!seenData && (f.X != 0 || f.Y != 0 || f.Width != width || f.Height != height))
                parser.damaged("the first frame does not cover the picture");
            frames.push_back({f, {}});
        } else if (is(c, "IDAT")) {
            seenData = true;
            // The default image is the first frame only when a frame control comes before it.
            if (frames.size() == 1 && sequence == 1)
                frames[0].Data.insert(frames[0].Data.end(), c.Data, c.Data + c.Size);
        } else if (is(c, "fdAT")) {
            nextSequence(c);
            if (frames.empty() || !seenData)
                parser.damaged("frame data without a frame control chunk");
            frames.back().Data.insert(frames.back().Data.end(), c.Data + 4, c.Data + c.Size);
        } else if (!seenData && (is(c, "PLTE") || is(c, "tRNS"))) {
            shared.push_back(&c);
        }
    }
    if (!plays)
        throw EInvalidGraphic(name + ": not an animated PNG (no animation control chunk)");
    if (!ended)
        parser.damaged("it ends before its end chunk");
    frames.erase(std::remove_if(frames.begin(), frames.end(), [](const TApngFrame& f) { return f.Data.empty(); }),
                 frames.end());
    if (frames.empty())
        parser.damaged("no frame holds image data");

    // The frames the strip will hold, the canvas, its saved copy and a decoded frame.
    const auto count = static_cast<std::int64_t>(frames.size());
    MemoryBudget::Check(MemoryBudget::PictureBytes(width, height, count) + MemoryBudget::PictureBytes(width, height, 4, 4),
                        "opening " + std::to_string(count) + " frames of " + std::to_string(width) + " x "
                            + std::to_string(height) + " from " + name);
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> canvas(stride * height, 0), saved;
    TDelayClock clock(1.0);
    TOpenedAnimation result{static_cast<int>(width), static_cast<int>(height), static_cast<int>(std::min<std::uint32_t>(*plays, 65535)), 0};
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const TFrameControl& f = frames[k].Control;
        // The frame as a PNG of its own, decoded by libpng.
        std::vector<std::uint8_t> png(kSignature, kSignature + 8);
        std::uint8_t header[13];
        std::memcpy(header, ihdr, 13);
        for (int s = 0; s < 4; ++s) {
            header[s] = static_cast<std::uint8_t>(f.Width >> (24 - 8 * s));
            header[4 + s] = static_cast<std::uint8_t>(f.Height >> (24 - 8 * s));
        }
        putChunk(png, "IHDR", header, 13);
        for (const TChunk* c : shared)
            putChunk(png, reinterpret_cast<const char*>(c->Type), c->Data, c->Size);
        putChunk(png, "IDAT", frames[k].Data.data(), frames[k].Data.size());
        putChunk(png, "IEND", nullptr, 0);
        std::vector<std::uint8_t> alpha;
        TBitmap part;
        try {
            part = ReadPngWithAlpha(png.data(), png.size(), alpha);
        } catch (const EOutOfMemory&) {
            throw;
        } catch (const Exception& e) {
            parser.damaged("frame " + std::to_string(k + 1) + ": " + e.what());
        }
        std::vector<std::uint8_t>().swap(png);

        const std::uint8_t dispose = k == 0 && f.Dispose == kDisposePrevious ? std::uint8_t{kDisposeBackground} : f.Dispose;
        if (dispose == kDisposePrevious)
            saved = canvas;
        for (std::uint32_t y = 0; y < f.Height; ++y) {
            const std::uint8_t* p = part.ScanLine(static_cast<int>(y));
            const std::uint8_t* a = alpha.data() + static_cast<std::size_t>(y) * f.Width;
            std::uint8_t* q = canvas.data() + (f.Y + y) * stride + static_cast<std::size_t>(f.X) * 4;
            for (std::uint32_t x = 0; x < f.Width; ++x, p += 3, q += 4) {
                const int sa = a[x];
                if (f.Blend == kBlendSource || sa == 255 || q[3] == 0) {
                    q[0] = p[2];
                    q[1] = p[1];
                    q[2] = p[0];
                    q[3] = static_cast<std::uint8_t>(sa);
                } else if (sa > 0) {
                    // Source over destination, in straight alpha.
                    const int da = q[3] * (255 - sa) / 255;
                    const int oa = sa + da;
                    for (int c = 0; c < 3; ++c)
                        q[c] = static_cast<std::uint8_t>((p[2 - c] * sa + q[c] * da + oa / 2) / oa);
                    q[3] = static_cast<std::uint8_t>(oa);
                }
            }
        }
        bool transparent = false;
        TBitmap frame = FrameFromRgba(canvas.data(), static_cast<int>(width), static_cast<int>(height), transparent);
        const double seconds = static_cast<double>(f.DelayNum) / (f.DelayDen == 0 ? 100 : f.DelayDen);
        take(std::move(frame), clock.Next(seconds), transparent);
        ++result.Frames;

        if (dispose == kDisposeBackground) {
            for (std::uint32_t y = 0; y < f.Height; ++y)
                std::memset(canvas.data() + (f.Y + y) * stride + static_cast<std::size_t>(f.X) * 4, 0,
                            static_cast<std::size_t>(f.Width) * 4);
        } else if (dispose == kDisposePrevious) {
            canvas.swap(saved);
        }
    }
    return result;
}
