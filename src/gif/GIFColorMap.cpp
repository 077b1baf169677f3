#include "GIFColorMap.h"

#include "GIFImage.h"

#include <algorithm>
#include <numeric>

TGIFColor TGIFColorMap::Color(int index) const
{
    if (m_colors.empty())
        throw GIFException("Color table is empty");
    if (index < 0 || index >= Count()) {
        Warning("Invalid color index");
        index = 0;
    }
    return m_colors[static_cast<std::size_t>(index)];
}

int TGIFColorMap::IndexOf(TGIFColor color) const
{
    if (m_sorted) {
        for (int i = 0; i < Count(); ++i)
            if (m_colors[static_cast<std::size_t>(i)] == color)
                return i;
    } else {
        for (int i = Count() - 1; i >= 0; --i)
            if (m_colors[static_cast<std::size_t>(i)] == color)
                return i;
    }
    return -1;
}

void TGIFColorMap::grow(int count)
{
    if (count > m_capacity)
        m_capacity = std::clamp((count + 31) / 32 * 32, 16, 256);
}

int TGIFColorMap::Add(TGIFColor color)
{
    if (Count() >= 256)
        throw GIFException("Color table overflow");
    grow(Count() + 1);
    m_colors.push_back(color);
    m_sorted = false;
    return Count() - 1;
}

int TGIFColorMap::AddUnique(TGIFColor color)
{
    const int i = IndexOf(color);
    return i >= 0 ? i : Add(color);
}

void TGIFColorMap::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw GIFException("Invalid color index");
    m_colors.erase(m_colors.begin() + index);
}

void TGIFColorMap::Clear()
{
    m_colors.clear();
    m_capacity = 0;
    m_sorted = false;
}

void TGIFColorMap::Assign(const std::vector<TGIFColor>& colors)
{
    if (colors.size() > 256)
        throw GIFException("Color table overflow");
    m_colors = colors;
    grow(Count());
    m_sorted = false;
}

int TGIFColorMap::BitsPerPixelFor(int count)
{
    if (count <= 0)
        return 0;
    int b = 1;
    while ((1 << b) < count)
        ++b;
    return b;
}

int TGIFColorMap::BitsPerPixel() const { return BitsPerPixelFor(Count()); }

std::vector<TColor> TGIFColorMap::Palette() const
{
    std::vector<TColor> pal;
    pal.reserve(m_colors.size());
    for (const TGIFColor& c : m_colors)
        pal.push_back(GIFColorToColor(c));
    return pal;
}

void TGIFColorMap::Warning(const char* message) const
{
    if (TGIFImage* image = Image())
        image->Warning(*this, gsWarning, message);
}

void TGIFColorMap::Optimize()
{
    if (Count() <= 1)
        return;
    const std::vector<TGIFSubImage*> users = Users();
    std::vector<std::int64_t> counts(static_cast<std::size_t>(Count()), 0);
    for (const TGIFSubImage* frame : users) {
        for (std::uint8_t p : frame->Data)
            if (p < Count())
                ++counts[p];
        // A transparent index must survive even when no pixel shows it, or the graphic
        // control would point at another colour afterwards.
        const int t = frame->TransparentIndex();
        if (t >= 0 && t < Count() && counts[static_cast<std::size_t>(t)] == 0)
            counts[static_cast<std::size_t>(t)] = 1;
    }
    std::vector<int> order(static_cast<std::size_t>(Count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return counts[a] > counts[b]; });
    std::vector<std::uint8_t> remap(256, 0);
    std::vector<TGIFColor> colors;
    for (int newIndex = 0; newIndex < Count(); ++newIndex) {
        const int old = order[static_cast<std::size_t>(newIndex)];
        if (counts[static_cast<std::size_t>(old)] == 0)
            break;
        remap[static_cast<std::size_t>(old)] = static_cast<std::uint8_t>(newIndex);
        colors.push_back(m_colors[static_cast<std::size_t>(old)]);
    }
    for (TGIFSubImage* frame : users) {
        for (std::uint8_t& p : frame->Data)
            if (p < Count())
                p = remap[p];
        if (TGIFGraphicControlExtension* gce = frame->GraphicControlExtension())
            if (gce->TransparentColorIndex() < Count())
                gce->SetTransparentColorIndex(remap[static_cast<std::size_t>(gce->TransparentColorIndex())]);
        frame->Changed();
    }
    m_colors = std::move(colors);
    m_sorted = true;
}

TGIFImage* TGIFGlobalColorMap::Image() const { return m_header->Image(); }

std::vector<TGIFSubImage*> TGIFGlobalColorMap::Users() const
{
    std::vector<TGIFSubImage*> users;
    if (TGIFImage* image = Image())
        for (auto& frame : image->Images)
            if (!frame->Empty() && frame->ColorMap.Count() == 0)
                users.push_back(frame.get());
    return users;
}

TGIFImage* TGIFLocalColorMap::Image() const { return m_frame->Image(); }

std::vector<TGIFSubImage*> TGIFLocalColorMap::Users() const
{
    if (m_frame->Empty())
        return {};
    return {m_frame};
}
