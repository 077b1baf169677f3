// The document: options, frame list, callbacks and the painter list.
#include "GIFImage.h"

#include "graphics/FileWrite.h"

#include <algorithm>

TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), ColorMap(this) {}

TGIFVersion TGIFHeader::Version() const
{
    return (ColorMap.Count() > 0 && ColorMap.Sorted()) || AspectRatio != 0 ? gv89a : gv87a;
}

void TGIFHeader::Clear()
{
    Width = Height = 0;
    PackedFields = BackgroundColorIndex = AspectRatio = 0;
    ColorMap.Clear();
    FileVersion.clear();
}

void TGIFHeader::Assign(const TGIFHeader& other)
{
    Width = other.Width;
    Height = other.Height;
    PackedFields = other.PackedFields;
    BackgroundColorIndex = other.BackgroundColorIndex;
    AspectRatio = other.AspectRatio;
    ColorMap = other.ColorMap;
    FileVersion = other.FileVersion;
}

TGIFImage::TGIFImage() : Header(this) {}

TGIFImage::~TGIFImage()
{
    auto lock = LockPainters();
    Images.clear();
}

void TGIFImage::SetAnimationSpeed(int percent) { m_animationSpeed = std::clamp(percent, 0, 1000); }

TGIFVersion TGIFImage::Version() const
{
    if (Images.empty())
        throw GIFException("Unsupported GIF version");
    if (Header.Version() == gv89a)
        return gv89a;
    for (const auto& frame : Images)
        if (frame->Version() == gv89a)
            return gv89a;
    return gv87a;
}

int TGIFImage::BitsPerPixel() const
{
    int bpp = Header.ColorMap.BitsPerPixel();
    for (const auto& frame : Images)
        bpp = std::max(bpp, frame->ColorMap.BitsPerPixel());
    return bpp;
}

int TGIFImage::ColorResolution() const
{
    int r = Header.ColorResolution();
    for (const auto& frame : Images)
        r = std::max(r, frame->ColorResolution());
    return r;
}

int TGIFImage::Add(const TBitmap& bitmap)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(bitmap);
    Images.push_back(std::move(frame));
    return Count() - 1;
}

int TGIFImage::Add(const TGIFSubImage& source)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    Images.push_back(std::move(frame));
    return Count() - 1;
}

TGIFSubImage* TGIFImage::AddEmptyFrame()
{
    Images.push_back(std::make_unique<TGIFSubImage>(this));
    return Images.back().get();
}

void TGIFImage::DeleteFrame(int index)
{
    auto lock = LockPainters();
    if (index >= 0 && index < Count())
        Images.erase(Images.begin() + index);
}

void TGIFImage::clearUnlocked()
{
    Images.clear();
    Header.Clear();
    m_loadedPixels = 0;
    m_missingTrailer = false;
    m_cutWarned = false;
}

void TGIFImage::Clear()
{
    auto lock = LockPainters();
    clearUnlocked();
}

void TGIFImage::Assign(const TGIFImage& other)
{
    if (&other == this)
        return;
    auto lock = LockPainters();
    clearUnlocked();
    Header.Assign(other.Header);
    for (const auto& frame : other.Images)
        Add(*frame);
    DrawBackgroundColor = other.DrawBackgroundColor;
}

void TGIFImage::Assign(const TBitmap& bitmap)
{
    Clear();
    Add(bitmap);
}

void TGIFImage::Warning(const TGIFObject& sender, int severity, const std::string& message) const
{
    if (m_loading && message == "Premature end of data") {
        if (m_cutWarned)
            return;
        m_cutWarned = true;
    }
    if (OnWarning && !OnWarning(sender, severity, message))
        throw GIFException("GIF Aborted");
}

void TGIFImage::Progress(TGIFProgressStage stage, int percent, const std::string& message) const
{
    if (OnProgress)
        OnProgress(stage, std::clamp(percent, 0, 100), message);
}

void TGIFImage::AddPainter(TGIFPainterHandle* painter)
{
    std::lock_guard lock(m_painterLock);
    if (std::find(m_painters.begin(), m_painters.end(), painter) == m_painters.end())
        m_painters.push_back(painter);
}

void TGIFImage::RemovePainter(TGIFPainterHandle* painter)
{
    std::lock_guard lock(m_painterLock);
    m_painters.erase(std::remove(m_painters.begin(), m_painters.end(), painter), m_painters.end());
}

std::unique_lock<std::recursive_mutex> TGIFImage::LockPainters()
{
    std::unique_lock lock(m_painterLock);
    std::vector<TGIFPainterHandle*> running;
    running.swap(m_painters);
    for (TGIFPainterHandle* p : running)
        p->Stop();
    return lock;
}

int TGIFImage::PainterCount() const
{
    std::lock_guard lock(m_painterLock);
    return static_cast<int>(m_painters.size());
}

void TGIFImage::ReservePixels(std::int64_t count)
{
    m_loadedPixels += count;
    if (m_loadedPixels > kMaxGIFDocumentPixels)
        throw GIFException("GIF image too large");
}

std::vector<std::uint8_t> TGIFImage::SaveToBytes() const
{
    std::vector<std::uint8_t> out;
    SaveToStream(out);
    return out;
}

void TGIFImage::SaveToFile(const std::string& path) const
{
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    WriteFileAtomic(path, bytes);
}

void TGIFImage::LoadFromBytes(const std::vector<std::uint8_t>& bytes)
{
    TGIFReader reader(bytes);
    LoadFromStream(reader);
}

void TGIFImage::LoadFromFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    LoadFromBytes(bytes);
}
