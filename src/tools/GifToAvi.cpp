#include "GifToAvi.h"

#include "gif/ColorReduction.h"
#include "gif/GIFDraw.h"
#include "platform/avi/AviWriter.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace {

constexpr std::uint32_t kNoKey = 0xFFFFFFFF;

std::uint32_t keyOf(TColor c) { return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

// Exact colour to palette index lookup for one palette: open addressing over 512 slots,
// keys 0x00RRGGBB, never more than 256 entries.
class TPaletteIndex {
public:
    void Assign(const std::vector<TColor>& palette)
    {
        m_keys.fill(kNoKey);
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i)
            Insert(keyOf(palette[i]), static_cast<int>(i));
    }
    // Adds a colour unless it is there (the first of equal colours answers).
    void Insert(std::uint32_t key, int value)
    {
        std::uint32_t s = slot(key);
        while (m_keys[s] != kNoKey && m_keys[s] != key)
            s = (s + 1) & kMask;
        if (m_keys[s] == kNoKey) {
            m_keys[s] = key;
            m_values[s] = static_cast<std::uint8_t>(value);
        }
    }
    // The index of a colour, or -1.
    int Find(std::uint32_t key) const
    {
        for (std::uint32_t s = slot(key);; s = (s + 1) & kMask) {
            if (m_keys[s] == key)
                return m_values[s];
            if (m_keys[s] == kNoKey)
                return -1;
        }
    }

private:
    static constexpr std::uint32_t kMask = 511;
    static std::uint32_t slot(std::uint32_t key) { return (key * 2654435761u) >> 23; }
    std::array<std::uint32_t, 512> m_keys{};
    std::array<std::uint8_t, 512> m_values{};
};

std::uint32_t keyAt(const std::uint8_t* bgr) { return (std::uint32_t(bgr[2]) << 16) | (std::uint32_t(bgr[1]) << 8) | bgr[0]; }

// Writes the pixels of `rect` of the screen as indices of `index` into `out`; false when
// a colour is missing from the palette.
bool mapScreen(const TBitmap& screen, const TRect& rect, const TPaletteIndex& index, TBitmap& out)
{
    std::uint32_t lastKey = kNoKey;
    int lastIndex = 0;
    for (int y = rect.Top; y < rect.Bottom; ++y) {
        const std::uint8_t* src = screen.ScanLine(y) + 3 * rect.Left;
        std::uint8_t* dst = out.ScanLine(y);
        for (int x = rect.Left; x < rect.Right; ++x, src += 3) {
            const std::uint32_t key = keyAt(src);
            if (key != lastKey) {
                lastIndex = index.Find(key);
                if (lastIndex < 0)
                    return false;
                lastKey = key;
            }
            dst[x] = static_cast<std::uint8_t>(lastIndex);
        }
    }
    return true;
}

// The smallest rectangle holding both (an empty one counts as nothing).
TRect unionRect(const TRect& a, const TRect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return Rect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom));
}

// The distinct colours of the screen, up to 257 (more than a palette holds).
std::vector<TColor> screenColors(const TBitmap& screen)
{
    std::vector<TColor> colors;
    TPaletteIndex seen;
    seen.Assign({});
    std::uint32_t lastKey = kNoKey;
    for (int y = 0; y < screen.Height() && colors.size() <= 256; ++y) {
        const std::uint8_t* src = screen.ScanLine(y);
        for (int x = 0; x < screen.Width(); ++x, src += 3) {
            const std::uint32_t key = keyAt(src);
            if (key == lastKey)
                continue;
            lastKey = key;
            if (seen.Find(key) >= 0)
                continue;
            colors.push_back(RGB(src[2], src[1], src[0]));
            if (colors.size() > 256)
                break;
            seen.Insert(key, 0);
        }
    }
    return colors;
}

// Every colour a frame of the document can show: the tables and the background.
std::vector<TColor> documentColors(const TGIFImage& image, TColor background)
{
    std::vector<TColor> colors;
    auto add = [&](TColor c) {
        if (colors.size() <= 256 && std::find(colors.begin(), colors.end(), c) == colors.end())
            colors.push_back(c);
    };
    for (const TGIFColor& c : image.GlobalColorMap().Colors())
        add(GIFColorToColor(c));
    for (const auto& frame : image.Images)
        for (const TGIFColor& c : frame->ColorMap.Colors())
            add(GIFColorToColor(c));
    add(background);
    return colors;
}

} // namespace

std::uint32_t GifAviFrameDuration(const TGIFImage& image)
{
    std::uint32_t duration = 0;
    bool localColors = false;
    for (const auto& frame : image.Images) {
        if (frame->ColorMap.Count() > 0)
            localColors = true;
        if (const TGIFGraphicControlExtension* gce = frame->GraphicControlExtension())
            duration = static_cast<std::uint32_t>(gce->Delay());
        if (localColors && duration > 0)
            break;
    }
    return duration == 0 ? 1 : duration;
}

std::string GifAviFileName(const std::string& gifPath)
{
    return std::filesystem::path(gifPath).replace_extension(".AVI").string();
}

TGifToAviResult WriteGifAsAvi(const TGIFImage& image, const std::string& path, const TGifToAviView& view)
{
    if (image.Empty())
        throw GIFException("The GIF has no frames to write");
    const TPoint screen = GIFScreenSize(image);
    const int width = screen.X, height = screen.Y;
    const int count = image.Count();
    TAviWriter writer(path, width, height, GifAviFrameDuration(image), kGifAviRate, static_cast<std::uint32_t>(count));

    const TColor backgroundColor = GIFBackgroundColor(image);
    TBitmap background(width, height, TPixelFormat::pf24bit);
    background.Fill(backgroundColor);
    TBitmap backup = background, shown;
    TBitmap out(width, height, TPixelFormat::pf8bit);

    // When the tables hold 256 colours or fewer in all, one palette serves every frame
    // and the file has no palette changes; otherwise each frame gets the colours it shows.
    std::vector<TColor> palette = documentColors(image, backgroundColor);
    if (palette.size() > 256)
        palette.clear();
    TPaletteIndex index;
    index.Assign(palette);

    TGifToAviResult result;
    if (view.Begin)
        view.Begin(count);
    const TRect screenRect = Rect(0, 0, width, height);
    // A frame changes the screen only inside its own rectangle and the one the frame
    // before it restored: with the palette unchanged, only that part is mapped again.
    TRect previousRect = screenRect;
    for (int i = 0; i < count; ++i) {
        if (view.Step && !view.Step(i)) {
            result.Aborted = true;
            break;
        }
        const TGIFSubImage& frame = *image.Images[static_cast<std::size_t>(i)];
        if (frame.Empty()) {
            writer.SkipFrame();
            continue;
        }
        ComposeGIFFrame(backup, shown, background, backgroundColor, frame, true);
        const TRect frameRect = IntersectRect(frame.BoundsRect(), screenRect);
        const TRect dirty = IntersectRect(unionRect(previousRect, frameRect), screenRect);
        previousRect = frameRect;
        if (palette.empty() || !mapScreen(shown, dirty, index, out)) {
            std::vector<TColor> colors = screenColors(shown);
            if (colors.size() <= 256) {
                palette = std::move(colors);
                index.Assign(palette);
                mapScreen(shown, screenRect, index, out);
            } else {
                // More colours than one palette holds (local tables drawn over each
                // other): this frame alone is reduced.
                out = ReduceColors(shown, rmQuantize, dmNearest, 8);
                palette = out.Palette();
                index.Assign(palette);
            }
        }
        out.SetPalette(palette);
        writer.WriteFrame(out);
    }
    result.Frames = writer.Length();
    writer.Finish();
    return result;
}
