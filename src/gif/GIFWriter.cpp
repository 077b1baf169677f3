// Writing a document as a GIF file.
#include "GIFImage.h"
#include "LzwEncoder.h"
#include "OrderedParallel.h"

#include <algorithm>

namespace {

// A colour table padded with black up to 2^bits entries.
void writeColorTable(TGIFWriter& writer, const TGIFColorMap& map)
{
    const int entries = 1 << map.BitsPerPixel();
    for (const TGIFColor& c : map.Colors()) {
        writer.WriteByte(c.Red);
        writer.WriteByte(c.Green);
        writer.WriteByte(c.Blue);
    }
    for (int i = map.Count(); i < entries; ++i) {
        writer.WriteByte(0);
        writer.WriteByte(0);
        writer.WriteByte(0);
    }
}

int largestFrameBits(const TGIFImage& image)
{
    int bpp = 0;
    for (const auto& frame : image.Images)
        bpp = std::max(bpp, frame->ColorMap.BitsPerPixel());
    return bpp;
}

} // namespace

void TGIFHeader::SaveToStream(TGIFWriter& writer) const
{
    const TGIFImage* image = Image();
    SaveToStream(writer, image ? image->Version() : Version(), image ? largestFrameBits(*image) : 0);
}

void TGIFHeader::SaveToStream(TGIFWriter& writer, TGIFVersion version, int frameBits) const
{
    writer.WriteString("GIF");
    writer.WriteString(GIFVersionText(version));
    writer.WriteWord(static_cast<std::uint16_t>(Width));
    writer.WriteWord(static_cast<std::uint16_t>(Height));
    const int globalBits = ColorMap.BitsPerPixel();
    std::uint8_t packed = 0;
    if (ColorMap.Count() > 0)
        packed |= 0x80;
    packed |= static_cast<std::uint8_t>((std::max(std::max(globalBits, frameBits) - 1, 0) & 7) << 4);
    if (ColorMap.Count() > 0 && ColorMap.Sorted())
        packed |= 0x08;
    packed |= static_cast<std::uint8_t>(std::max((ColorMap.Count() > 0 ? globalBits : frameBits) - 1, 0) & 7);
    writer.WriteByte(packed);
    writer.WriteByte(BackgroundColorIndex);
    writer.WriteByte(AspectRatio);
    if (packed & 0x80)
        writeColorTable(writer, ColorMap);
}

void TGIFSubImage::SaveToStream(TGIFWriter& writer) const
{
    for (const auto& ext : Extensions)
        ext->SaveToStream(writer);
    if (Empty())
        return;
    saveDescriptor(writer);

    TGIFEncodeSource src;
    src.Pixels = Data.data();
    src.Width = m_width;
    src.Height = m_height;
    src.Interlaced = Interlaced();
    if (ColorMap.Count() > 0) {
        src.BitsPerPixel = std::max(ColorMap.BitsPerPixel(), 2);
        src.MaxColor = ColorMap.Count();
    } else {
        src.BitsPerPixel = std::max(Image() ? Image()->BitsPerPixel() : 0, 2);
        src.MaxColor = 1 << src.BitsPerPixel;
    }
    TLZWEncoder encoder;
    encoder.Compress(writer, src);
}

void TGIFSubImage::SaveToStream(TGIFWriter& writer, const std::vector<std::uint8_t>& imageData) const
{
    for (const auto& ext : Extensions)
        ext->SaveToStream(writer);
    if (m_width == 0 || m_height == 0)
        return;
    saveDescriptor(writer);
    writer.WriteBytes(imageData.data(), imageData.size());
}

void TGIFSubImage::saveDescriptor(TGIFWriter& writer) const
{
    writer.WriteByte(0x2C);
    writer.WriteWord(static_cast<std::uint16_t>(Left));
    writer.WriteWord(static_cast<std::uint16_t>(Top));
    writer.WriteWord(static_cast<std::uint16_t>(m_width));
    writer.WriteWord(static_cast<std::uint16_t>(m_height));
    std::uint8_t packed = PackedFields & 0x58; // interlace and reserved bits
    if (ColorMap.Count() > 0) {
        packed |= 0x80;
        if (ColorMap.Sorted())
            packed |= 0x20;
        packed |= static_cast<std::uint8_t>((ColorMap.BitsPerPixel() - 1) & 7);
    }
    writer.WriteByte(packed);
    if (ColorMap.Count() > 0)
        writeColorTable(writer, ColorMap);
}

void TGIFImage::SaveToStream(std::vector<std::uint8_t>& out) const
{
    Version(); // "Unsupported GIF version" for a document without frames
    // Written in place when `out` starts empty (one copy of the file, not two); otherwise
    // appended once complete. A failure leaves `out` as it was.
    std::vector<std::uint8_t> own;
    std::vector<std::uint8_t>& bytes = out.empty() ? out : own;
    try {
        saveTo(bytes);
    } catch (...) {
        bytes.clear();
        throw;
    }
    if (&bytes != &out)
        out.insert(out.end(), bytes.begin(), bytes.end());
}

void TGIFImage::saveTo(std::vector<std::uint8_t>& bytes) const
{
    TGIFWriter writer(bytes);
    Progress(psStarting, 0, "Saving...");
    Header.SaveToStream(writer);
    // Frames are compressed on every core, each into bytes of its own, and appended in
    // order: the same file as when they are written one after the other. Small documents
    // are not worth starting threads for.
    std::int64_t pixels = 0;
    for (const auto& frame : Images)
        pixels += static_cast<std::int64_t>(frame->Width()) * frame->Height();
    ForEachInOrder(
        Count(), ThreadsForFramePixels(pixels),
        [this](int i) {
            std::vector<std::uint8_t> frameBytes;
            TGIFWriter frameWriter(frameBytes);
            Images[static_cast<std::size_t>(i)]->SaveToStream(frameWriter);
            return frameBytes;
        },
        [&](int i, std::vector<std::uint8_t>& frameBytes) {
            writer.WriteBytes(frameBytes.data(), frameBytes.size());
            Progress(psRunning, (i + 1) * 100 / Count(), "Saving...");
        });
    TGIFTrailer trailer(const_cast<TGIFImage*>(this));
    trailer.SaveToStream(writer);
    Progress(psEnding, 100, "Saving...");
}
