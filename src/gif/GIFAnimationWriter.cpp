#include "GIFAnimationWriter.h"

#include "LzwDecoder.h"
#include "LzwEncoder.h"
#include "OrderedParallel.h"

#include <algorithm>

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

std::vector<std::uint8_t> frameBytes(const TGIFSubImage& frame)
{
    std::vector<std::uint8_t> bytes;
    TGIFWriter writer(bytes);
    frame.SaveToStream(writer);
    return bytes;
}

} // namespace

TGIFPendingFrame TGIFAnimationWriter::Prepare(std::unique_ptr<TGIFImage> document, bool mergedTable)
{
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
        pending.Bytes = pack(frame);
        frame.ReleaseData();
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
            if (f.Counted) {
                unpack(frame, f.Bytes);
                frame.ColorMap.Clear();
                RemapToMergedTable(frame, merged.Remaps[useOf[static_cast<std::size_t>(i)]],
                                   transparency ? f.Transparent : -1, merged.Transparent);
            } else {
                frame.ColorMap.Clear();
            }
            std::vector<std::uint8_t> bytes = frameBytes(frame);
            f = TGIFPendingFrame(); // written: nothing of it is held any more
            return bytes;
        },
        [&](int, std::vector<std::uint8_t>& bytes) { write(bytes); });
    m_frames.clear();
    write({0x3B});
}
