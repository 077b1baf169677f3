#include "GIFAnimationWriter.h"

#include "LzwDecoder.h"
#include "LzwEncoder.h"
#include "OrderedParallel.h"

#include <algorithm>
#include <array>

namespace {

// What a held frame costs besides its bytes: the frame object, its table and extensions.
constexpr std::uint64_t kFrameOverhead = 2048;

TGIFSubImage& onlyFrame(TGIFImage& document) { return *document.Images.front(); }

// The frame's pixels as LZW data of its own table's width.
std::vector<std::uint8_t> pack(const TGIFSubImage& frame)
{
    std::vector<std::uint8_t> bytes;
    TGIFWriter writer(bytes);
    TGIFEncodeSource source;
    source.Pixels = frame.Data.data();
    source.Width = frame.Width();
    source.Height = frame.Height();
    source.BitsPerPixel = std::max(frame.ColorMap.BitsPerPixel(), 2);
    source.MaxColor = 256;
    TLZWEncoder().Compress(writer, source);
    return bytes;
}

void unpack(TGIFSubImage& frame, const std::vector<std::uint8_t>& bytes)
{
    frame.SetSize(frame.Width(), frame.Height());
    TGIFReader reader(bytes);
    TGIFDecodeTarget target;
    target.Pixels = frame.Data.data();
    target.Width = frame.Width();
    target.Height = frame.Height();
    DecodeLZW(reader, target, [](const char* warning) { throw GIFException(warning); });
}

// LZW data with every pixel p written as map[p], made from the data of the pixels
// themselves without decoding them, when that is the same: when `map` gives the pixels a
// frame shows different values, the codes find the same strings, in the same order,
// under the same numbers, so only the codes of single pixels change, each keeping its
// width. The widths follow TLZWEncoder's rules. False for data it did not write.
bool recode(const std::vector<std::uint8_t>& packed, const std::array<std::uint8_t, 256>& map,
            std::vector<std::uint8_t>& out)
{
    if (packed.empty() || packed[0] < 2 || packed[0] > 8)
        return false;
    std::vector<std::uint8_t> data;
    data.reserve(packed.size() + 4);
    std::size_t pos = 1;
    while (pos < packed.size() && packed[pos] != 0) {
        const std::size_t n = packed[pos];
        if (pos + 1 + n > packed.size())
            return false;
        data.insert(data.end(), packed.begin() + static_cast<std::ptrdiff_t>(pos) + 1,
                    packed.begin() + static_cast<std::ptrdiff_t>(pos + 1 + n));
        pos += 1 + n;
    }
    if (pos + 1 != packed.size())
        return false;
    const std::uint64_t totalBits = std::uint64_t(data.size()) * 8;
    data.resize(data.size() + 4, 0);

    const int initBits = packed[0] + 1;
    const std::uint32_t clearCode = 1u << packed[0];
    const std::uint32_t endCode = clearCode + 1;
    int bits = initBits;
    std::uint32_t maxCode = (1u << bits) - 1;
    std::uint32_t freeCode = clearCode + 2;
    std::uint64_t at = 0;
    for (;;) {
        if (at + static_cast<std::uint64_t>(bits) > totalBits)
            return false;
        std::uint8_t* p = data.data() + (at >> 3);
        const int shift = static_cast<int>(at & 7);
        std::uint32_t word = p[0] | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
        const std::uint32_t mask = ((1u << bits) - 1) << shift;
        const std::uint32_t code = (word & mask) >> shift;
        at += static_cast<std::uint64_t>(bits);
        if (code < clearCode) {
            word = (word & ~mask) | (std::uint32_t(map[code]) << shift);
            p[0] = static_cast<std::uint8_t>(word);
            p[1] = static_cast<std::uint8_t>(word >> 8);
            p[2] = static_cast<std::uint8_t>(word >> 16);
            p[3] = static_cast<std::uint8_t>(word >> 24);
        } else if (code == endCode) {
            break;
        } else if (code == clearCode) {
            bits = initBits;
            maxCode = (1u << bits) - 1;
            freeCode = clearCode + 2;
            continue;
        }
        // Every code but the clear and end codes adds a string, as the encoder counts.
        if (freeCode > maxCode) {
            ++bits;
            maxCode = bits == 12 ? 4096 : (1u << bits) - 1;
        }
        if (freeCode <= 4094)
            ++freeCode;
    }
    // The sub-blocks as they were, with the new bytes.
    out.assign(packed.begin(), packed.end());
    std::size_t from = 0;
    for (pos = 1; out[pos] != 0; pos += 1 + out[pos]) {
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(from), out[pos], out.begin() + static_cast<std::ptrdiff_t>(pos) + 1);
        from += out[pos];
    }
    return true;
}

std::vector<std::uint8_t> frameBytes(const TGIFSubImage& frame)
{
    std::vector<std::uint8_t> bytes;
    TGIFWriter writer(bytes);
    frame.SaveToStream(writer);
    return bytes;
}

} // namespace

TGIFPendingFrame TGIFAnimationWriter::Prepare(std::unique_ptr<TGIFImage> document)
{
    const bool mergedTable = m_merged;
    TGIFPendingFrame pending;
    TGIFSubImage& frame = onlyFrame(*document);
    pending.Width = document->Header.Width;
    pending.Height = document->Header.Height;
    if (!mergedTable) {
        // Sorted by use, unused entries dropped, and written as it will stand in the file.
        frame.ColorMap.Optimize();
        pending.Version = frame.Version();
        pending.Bits = frame.ColorMap.BitsPerPixel();
        pending.Bytes = frameBytes(frame);
        pending.Held.Reserve(pending.Bytes.size() + kFrameOverhead, "a compressed GIF frame");
        return pending;
    }
    // Its local table goes into the merged one: no table of its own is left in the file.
    pending.Version = frame.Extensions.empty() ? gv87a : gv89a;
    if (!frame.Empty() && frame.ColorMap.Count() > 0) {
        pending.Counted = true;
        pending.Counts.assign(static_cast<std::size_t>(frame.ColorMap.Count()), 0);
        const int t = frame.TransparentIndex();
        if (CountColorUse(frame, frame.ColorMap, pending.Counts))
            pending.Transparent = t;
        const std::uint64_t size = frame.Data.size();
        if (m_raw.fetch_add(size) + size > m_rawAllowance) {
            m_raw.fetch_sub(size);
            pending.Bytes = pack(frame);
            pending.Packed = true;
            frame.ReleaseData();
        }
    }
    pending.Held.Reserve(pending.Bytes.size() + kFrameOverhead, "a compressed GIF frame");
    pending.Document = std::move(document);
    return pending;
}

void TGIFAnimationWriter::write(const std::vector<std::uint8_t>& bytes)
{
    m_out.Write(bytes);
    m_size += bytes.size();
}

void TGIFAnimationWriter::Add(TGIFPendingFrame frame)
{
    m_width = std::max(m_width, frame.Width);
    m_height = std::max(m_height, frame.Height);
    m_version = std::max(m_version, frame.Version);
    ++m_count;
    if (m_merged) {
        m_frames.push_back(std::move(frame));
        return;
    }
    // The header waits for the largest table; its place is kept.
    if (m_count == 1)
        write(std::vector<std::uint8_t>(13, 0));
    m_bits = std::max(m_bits, frame.Bits);
    write(frame.Bytes);
}

void TGIFAnimationWriter::Finish(int threads)
{
    if (m_count == 0)
        throw GIFException("Unsupported GIF version");
    TGIFHeader header(nullptr);
    header.Width = m_width;
    header.Height = m_height;
    if (!m_merged) {
        std::vector<std::uint8_t> bytes;
        TGIFWriter writer(bytes);
        header.SaveToStream(writer, std::max(m_version, header.Version()), m_bits);
        m_out.WriteAt(0, bytes.data(), bytes.size());
        write({0x3B});
        return;
    }

    std::vector<TColorTableUse> uses;
    std::vector<std::size_t> useOf(m_frames.size(), 0);
    bool transparency = false;
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        TGIFPendingFrame& f = m_frames[i];
        if (!f.Counted)
            continue;
        useOf[i] = uses.size();
        uses.push_back({onlyFrame(*f.Document).ColorMap.Colors(), std::move(f.Counts)});
        transparency = transparency || f.Transparent >= 0;
    }
    const TMergedColorTable merged = MergeColorTables(uses, transparency);
    // Each frame's pixel map; when it keeps the pixels the frame shows apart and the
    // merged table needs codes of the width the frame was packed with, the packed data
    // is rewritten instead of decoded and compressed again.
    const int bits = std::max(TGIFColorMap::BitsPerPixelFor(static_cast<int>(merged.Colors.size())), 2);
    struct TFrameMap {
        std::array<std::uint8_t, 256> Map{};
        bool Recode = false;
    };
    std::vector<TFrameMap> maps(m_frames.size());
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        const TGIFPendingFrame& f = m_frames[i];
        if (!f.Counted)
            continue;
        const std::vector<std::int64_t>& counts = uses[useOf[i]].Counts;
        const int t = transparency ? f.Transparent : -1;
        TFrameMap& m = maps[i];
        m.Map = merged.Remaps[useOf[i]];
        if (t >= 0)
            m.Map[static_cast<std::size_t>(t)] = static_cast<std::uint8_t>(merged.Transparent);
        std::array<bool, 256> shown{};
        m.Recode = f.Packed && f.Bytes[0] == bits;
        for (std::size_t k = 0; k < 256 && m.Recode; ++k) {
            if (static_cast<int>(k) != t && (k >= counts.size() || counts[k] == 0))
                continue;
            m.Recode = !shown[m.Map[k]];
            shown[m.Map[k]] = true;
        }
    }
    uses.clear();
    header.ColorMap.Assign(merged.Colors);
    header.ColorMap.SetSorted(true);
    {
        std::vector<std::uint8_t> bytes;
        TGIFWriter writer(bytes);
        header.SaveToStream(writer, std::max(m_version, header.Version()), 0);
        write(bytes);
    }
    ForEachInOrder(
        static_cast<int>(m_frames.size()), threads,
        [&](int i) {
            TGIFPendingFrame& f = m_frames[static_cast<std::size_t>(i)];
            TGIFImage& document = *f.Document;
            TGIFSubImage& frame = onlyFrame(document);
            document.Header.ColorMap.Assign(merged.Colors);
            document.Header.ColorMap.SetSorted(true);
            frame.ColorMap.Clear();
            std::vector<std::uint8_t> bytes;
            std::vector<std::uint8_t> recoded;
            const TFrameMap& m = maps[static_cast<std::size_t>(i)];
            if (f.Counted && m.Recode && recode(f.Bytes, m.Map, recoded)) {
                if (transparency && f.Transparent >= 0)
                    frame.GraphicControlExtension()->SetTransparentColorIndex(merged.Transparent);
                TGIFWriter writer(bytes);
                frame.SaveToStream(writer, recoded);
            } else {
                if (f.Counted) {
                    if (f.Packed)
                        unpack(frame, f.Bytes);
                    RemapToMergedTable(frame, merged.Remaps[useOf[static_cast<std::size_t>(i)]],
                                       transparency ? f.Transparent : -1, merged.Transparent);
                }
                bytes = frameBytes(frame);
            }
            f = TGIFPendingFrame(); // written: nothing of it is held any more
            return bytes;
        },
        [&](int, std::vector<std::uint8_t>& bytes) { write(bytes); });
    m_frames.clear();
    write({0x3B});
}
