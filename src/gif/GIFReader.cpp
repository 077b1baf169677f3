// Reading a GIF file into a document.
#include "GIFImage.h"
#include "LzwDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool isSignature(const std::uint8_t* b)
{
    return std::toupper(b[0]) == 'G' && std::toupper(b[1]) == 'I' && std::toupper(b[2]) == 'F';
}

void readColorTable(TGIFReader& reader, TGIFColorMap& map, int sizeBits)
{
    const int count = 1 << ((sizeBits & 7) + 1);
    std::uint8_t rgb[256 * 3];
    if (!reader.Read(rgb, static_cast<std::size_t>(count) * 3))
        throw EGIFPrematureEnd();
    std::vector<TGIFColor> colors(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        colors[static_cast<std::size_t>(i)] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    map.Assign(colors);
}

} // namespace

void TGIFTrailer::LoadFromStream(TGIFReader& reader)
{
    const int b = reader.ReadByte();
    m_found = b == 0x3B;
    if (b >= 0 && b != 0x3B)
        Warning(gsWarning, "Invalid Image trailer");
}

void TGIFHeader::LoadFromStream(TGIFReader& reader)
{
    Clear();
    const std::size_t start = reader.Position();
    std::uint8_t sig[6];
    bool ok = reader.Read(sig, 6) && isSignature(sig);
    if (!ok) {
        // Some files carry four bytes of something else in front of the signature.
        reader.Seek(start + 4);
        ok = reader.Read(sig, 6) && isSignature(sig);
    }
    if (!ok)
        throw GIFException("Invalid GIF signature");
    FileVersion.assign(reinterpret_cast<const char*>(sig + 3), 3);
    std::uint8_t lsd[7];
    if (!reader.Read(lsd, 7))
        throw EGIFPrematureEnd();
    Width = lsd[0] | (lsd[1] << 8);
    Height = lsd[2] | (lsd[3] << 8);
    PackedFields = lsd[4];
    BackgroundColorIndex = lsd[5];
    AspectRatio = lsd[6];
    if (PackedFields & 0x80) {
        readColorTable(reader, ColorMap, PackedFields & 7);
        ColorMap.SetSorted((PackedFields & 0x08) != 0);
    }
}

void TGIFSubImage::LoadFromStream(TGIFReader& reader)
{
    Clear();
    // Extensions up to the image descriptor or the trailer.
    for (;;) {
        const int b = reader.Peek();
        if (b < 0 || b == 0x2C || b == 0x3B)
            break;
        if (b != 0x21) {
            Warning(gsWarning, "Invalid extension introducer");
            break;
        }
        const std::size_t at = reader.Position();
        reader.ReadByte();
        const int label = reader.ReadByte();
        if (label < 0)
            throw EGIFPrematureEnd();
        std::unique_ptr<TGIFExtension> ext = TGIFExtension::FindExtension(static_cast<std::uint8_t>(label), this, reader);
        if (!ext) {
            // Unknown labels are kept as raw blocks rather than losing the whole file.
            Warning(gsWarning, "Unknown extension type");
            ext = std::make_unique<TGIFUnknownExtension>(this, static_cast<std::uint8_t>(label));
        }
        reader.Seek(at);
        ext->LoadFromStream(reader);
        Extensions.push_back(std::move(ext));
    }
    if (reader.Peek() != 0x2C)
        return; // extensions only: an empty frame

    try {
        std::uint8_t d[10];
        if (!reader.Read(d, 10))
            throw EGIFPrematureEnd();
        Left = d[1] | (d[2] << 8);
        Top = d[3] | (d[4] << 8);
        int width = d[5] | (d[6] << 8);
        int height = d[7] | (d[8] << 8);
        PackedFields = d[9];
        if (width == 0 || height == 0) {
            Warning(gsWarning, "Image exceeds Logical Screen size");
            if (Image()) {
                width = width == 0 ? Image()->Width() : width;
                height = height == 0 ? Image()->Height() : height;
            }
            if (width == 0 || height == 0)
                throw GIFException("Invalid image size");
        }
        if (PackedFields & 0x80) {
            readColorTable(reader, ColorMap, PackedFields & 7);
            ColorMap.SetSorted((PackedFields & 0x20) != 0);
        }
        m_width = width;
        m_height = height;
        loadImageData(reader);
    } catch (const EGIFPrematureEnd&) {
        // Cut before its pixels could be read: the frame keeps only its extensions.
        ColorMap.Clear();
        Data.clear();
        m_dataReservation.Release();
        m_width = m_height = 0;
        Left = Top = 0;
        PackedFields = 0;
        Changed();
        throw;
    }
}

void TGIFSubImage::loadImageData(TGIFReader& reader)
{
    // Refuse sizes the data cannot possibly fill before touching any memory.
    const std::int64_t pixels = std::int64_t(m_width) * m_height;
    try {
        CheckBitmapSize(m_width, m_height, "GIF frame");
    } catch (const EInvalidGraphic& e) {
        throw GIFException(e.what());
    }
    const int codeSize = reader.Peek();
    if (codeSize < 0)
        throw EGIFPrematureEnd();
    TGIFReader data = reader;
    data.Skip(1);
    const TLZWDataExtent extent = MeasureLZWData(data);
    // Small frames are cheap whatever their data; larger ones must be within reach of it.
    constexpr std::int64_t kAlwaysAllowed = 65536;
    const std::int64_t reach = MaxLZWPixels(extent.Bytes, codeSize >= 1 && codeSize <= 8 ? codeSize : 8);
    if (pixels > std::max(reach, kAlwaysAllowed)) {
        // A frame the end of the file cuts too short to fill is where the file ends.
        if (!extent.Complete)
            throw EGIFPrematureEnd();
        throw GIFException("Image data too short for the frame size");
    }
    TGIFDecodeTarget target;
    target.Width = m_width;
    target.Height = m_height;
    target.Interlaced = Interlaced();
    // Only what can show is kept: a frame reaching past the logical screen is clipped to
    // it as it is read (one that lies wholly outside keeps a single pixel, off the screen).
    const int screenWidth = Image() ? Image()->Header.Width : 0, screenHeight = Image() ? Image()->Header.Height : 0;
    if (screenWidth > 0 && screenHeight > 0 && (Left + m_width > screenWidth || Top + m_height > screenHeight)) {
        Warning(gsWarning, "Image exceeds Logical Screen size");
        const int right = std::min(Left + m_width, screenWidth), bottom = std::min(Top + m_height, screenHeight);
        target.ClipWidth = std::max(right - Left, 0);
        target.ClipHeight = std::max(bottom - Top, 0);
        if (target.ClipWidth == 0 || target.ClipHeight == 0) {
            target.ClipWidth = target.ClipHeight = 0;
            m_width = m_height = 1;
        } else {
            m_width = target.ClipWidth;
            m_height = target.ClipHeight;
        }
    }
    const std::int64_t kept = std::int64_t(m_width) * m_height;
    if (Image())
        Image()->ReservePixels(kept);
    m_dataReservation.Reserve(static_cast<std::uint64_t>(kept),
                              "a " + std::to_string(m_width) + " x " + std::to_string(m_height) + " GIF frame");
    const int t = TransparentIndex();
    Data.assign(static_cast<std::size_t>(kept), static_cast<std::uint8_t>(t >= 0 ? t : 0));
    target.Pixels = Data.data();
    DecodeLZW(reader, target, [this](const char* message) { Warning(gsWarning, message); });
    Changed();
}

void TGIFImage::LoadFromStream(TGIFReader& reader)
{
    auto lock = LockPainters();
    const std::size_t start = reader.Position();
    clearUnlocked();
    m_loading = true;
    try {
        Progress(psStarting, 0, "Loading...");
        Header.LoadFromStream(reader);
        // The screen is what viewers allocate: hold it to the bitmap limit too.
        if (std::int64_t(Header.Width) * Header.Height > kMaxBitmapPixels)
            throw GIFException("GIF image too large");
        const std::size_t size = std::max<std::size_t>(reader.Size(), 1);
        for (;;) {
            while (reader.Peek() == 0)
                reader.ReadByte();
            const int b = reader.Peek();
            if (b < 0) {
                // The file ends where the trailer should be.
                Warning(Header, gsWarning, "Premature end of data");
                break;
            }
            if (b == 0x3B)
                break;
            if (b != 0x21 && b != 0x2C) {
                Warning(Header, gsWarning, "Unknown GIF block type");
                break;
            }
            auto frame = std::make_unique<TGIFSubImage>(this);
            try {
                frame->LoadFromStream(reader);
            } catch (const EGIFPrematureEnd& e) {
                // A cut file keeps every frame complete before the cut, and of the frame
                // it cuts whatever was complete.
                Warning(*frame, gsWarning, e.what());
                if (!frame->Empty() || !frame->Extensions.empty())
                    Images.push_back(std::move(frame));
                reader.Seek(reader.Size());
                break;
            }
            Images.push_back(std::move(frame));
            Progress(psRunning, static_cast<int>(reader.Position() * 100 / size), "Loading...");
        }
        TGIFTrailer trailer(this);
        trailer.LoadFromStream(reader);
        m_missingTrailer = !trailer.Found();
        m_loading = false;
        Progress(psEnding, 100, "Loading...");
    } catch (...) {
        m_loading = false;
        if (!KeepPartialLoad)
            clearUnlocked();
        reader.Seek(start);
        Progress(psEnding, 100, "Loading...");
        throw;
    }
}
