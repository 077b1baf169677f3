// The frame: geometry, pixel access, extensions, copies and its palette bitmap.
#include "GIFImage.h"

#include <algorithm>

void TGIFItem::Warning(int severity, const std::string& message) const
{
    if (m_image)
        m_image->Warning(*this, severity, message);
}

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), ColorMap(this) {}

TGIFSubImage::~TGIFSubImage() = default;

TGIFVersion TGIFSubImage::Version() const
{
    return ColorMap.Sorted() || !Extensions.empty() ? gv89a : gv87a;
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap() const
{
    if (ColorMap.Count() > 0 || !Image() || Image()->GlobalColorMap().Count() == 0)
        return ColorMap;
    return Image()->GlobalColorMap();
}

TGIFColorMap& TGIFSubImage::ActiveColorMap()
{
    return const_cast<TGIFColorMap&>(static_cast<const TGIFSubImage*>(this)->ActiveColorMap());
}

TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const
{
    for (const auto& ext : Extensions)
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(ext.get()))
            return gce;
    return nullptr;
}

bool TGIFSubImage::Transparent() const
{
    const TGIFGraphicControlExtension* gce = GraphicControlExtension();
    return gce && gce->Transparent();
}

int TGIFSubImage::TransparentIndex() const
{
    const TGIFGraphicControlExtension* gce = GraphicControlExtension();
    return gce && gce->Transparent() ? gce->TransparentColorIndex() : -1;
}

int TGIFSubImage::Delay() const
{
    const TGIFGraphicControlExtension* gce = GraphicControlExtension();
    return gce ? gce->Delay() : 0;
}

void TGIFSubImage::DeleteExtension(std::size_t index)
{
    if (index < Extensions.size())
        Extensions.erase(Extensions.begin() + static_cast<std::ptrdiff_t>(index));
    Changed();
}

void TGIFSubImage::SetSize(int width, int height)
{
    if (width < 0 || height < 0 || width > 65535 || height > 65535)
        throw GIFException("Invalid image size");
    CheckBitmapSize(width, height, "GIF frame");
    m_dataReservation.Reserve(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height),
                              "a " + std::to_string(width) + " x " + std::to_string(height) + " GIF frame");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const int w = std::min(width, m_width);
    const int h = std::min(height, m_height);
    for (int y = 0; y < h && !Data.empty(); ++y)
        std::copy_n(ScanLine(y), w, data.data() + static_cast<std::size_t>(y) * width);
    Data = std::move(data);
    m_width = width;
    m_height = height;
    Changed();
}

void TGIFSubImage::ReleaseData()
{
    std::vector<std::uint8_t>().swap(Data);
    m_dataReservation.Release();
    Changed();
}

int TGIFSubImage::Pixel(int x, int y) const
{
    if (Empty())
        throw GIFException("Image is empty");
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        throw GIFException("Invalid pixel coordinates");
    return ScanLine(y)[x];
}

void TGIFSubImage::SetPixel(int x, int y, int index)
{
    if (Empty())
        throw GIFException("Image is empty");
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        throw GIFException("Invalid pixel coordinates");
    ScanLine(y)[x] = static_cast<std::uint8_t>(index);
    Changed();
}

void TGIFSubImage::Clear()
{
    Extensions.clear();
    ColorMap.Clear();
    Data.clear();
    m_dataReservation.Release();
    m_width = m_height = 0;
    PackedFields = 0;
    Changed();
}

void TGIFSubImage::Assign(const TGIFSubImage& other)
{
    if (&other == this)
        return;
    Clear();
    m_dataReservation.Reserve(other.Data.size(), "a copy of a " + std::to_string(other.m_width) + " x "
                                                     + std::to_string(other.m_height) + " GIF frame");
    Left = other.Left;
    Top = other.Top;
    m_width = other.m_width;
    m_height = other.m_height;
    PackedFields = other.PackedFields;
    ColorMap = other.ColorMap;
    Data = other.Data;
    for (const auto& ext : other.Extensions)
        Extensions.push_back(ext->Clone(this));
    Changed();
}

const TBitmap& TGIFSubImage::Bitmap() const
{
    if (m_bitmapValid)
        return m_bitmap;
    if (Image())
        Image()->Progress(psStarting, 0, "Rendering...");
    TBitmap bmp(m_width, m_height, TPixelFormat::pf8bit);
    std::vector<TColor> palette = ActiveColorMap().Palette();
    // Indices past the table (possible in files) read as black, as the padding written.
    int maxIndex = 0;
    for (std::uint8_t p : Data)
        maxIndex = std::max<int>(maxIndex, p);
    if (static_cast<int>(palette.size()) <= maxIndex)
        palette.resize(static_cast<std::size_t>(maxIndex) + 1, clBlack);
    if (palette.empty())
        palette.push_back(clBlack);
    bmp.SetPalette(palette);
    if (!Empty())
        for (int y = 0; y < m_height; ++y)
            std::copy_n(ScanLine(y), m_width, bmp.ScanLine(y));
    bmp.SetTransparent(Transparent());
    m_bitmap = std::move(bmp);
    m_bitmapValid = true;
    if (Image())
        Image()->Progress(psEnding, 100, "Rendering...");
    return m_bitmap;
}

std::vector<std::uint8_t> TGIFSubImage::Mask() const
{
    const int t = TransparentIndex();
    if (t < 0 || Empty())
        return {};
    std::vector<std::uint8_t> mask(Data.size());
    std::transform(Data.begin(), Data.end(), mask.begin(), [t](std::uint8_t p) { return p == t ? 1 : 0; });
    return mask;
}
