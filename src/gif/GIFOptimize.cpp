// The frame optimizer. Passes run in this order: colour tables, clean-up of flags, merge,
// crop, clean-up of blocks. Every pass keeps the pictures a viewer composes with the
// disposal rules: a frame is only changed where the change cannot be seen.
#include "GIFOptimize.h"

#include "OrderedParallel.h"

#include <algorithm>
#include <array>

namespace {

constexpr const char* kProgressText = "Optimizing...";

int disposalOf(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    return gce ? gce->Disposal() : 0;
}

// Restore to background (2) or to previous (3): what the frame leaves behind is not itself.
bool restores(int disposal) { return disposal == 2 || disposal == 3; }

// Frames whose pixel data matches their size; anything else is treated as empty.
bool hasPixels(const TGIFSubImage& frame)
{
    return !frame.Empty() && frame.Data.size() >= static_cast<std::size_t>(frame.Width()) * static_cast<std::size_t>(frame.Height());
}

bool covers(const TRect& outer, const TRect& inner)
{
    return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right && outer.Bottom >= inner.Bottom;
}

bool holdsLoop(const TGIFSubImage& frame)
{
    return std::any_of(frame.Extensions.begin(), frame.Extensions.end(),
                       [](const auto& e) { return dynamic_cast<const TGIFAppExtNSLoop*>(e.get()) != nullptr; });
}

// Index of a colour in a table after the table was rearranged: found again, or appended
// (the table keeps its sorted flag: an unused entry at the end keeps the order by use).
int findOrKeep(TGIFColorMap& map, TGIFColor color)
{
    const int i = map.IndexOf(color);
    if (i >= 0 || map.Count() >= 256)
        return std::max(i, 0);
    const bool sorted = map.Sorted();
    const int added = map.Add(color);
    map.SetSorted(sorted);
    return added;
}

class TOptimizer {
public:
    TOptimizer(TGIFImage& image, TGIFOptimizeOptions options) : m_image(image), m_options(options) {}
    void Run();

private:
    TGIFSubImage& frame(int i) { return *m_image.Images[static_cast<std::size_t>(i)]; }
    bool usesGlobal(const TGIFSubImage& f) const { return &f.ActiveColorMap() == &m_image.GlobalColorMap(); }
    void stepDone();

    void optimizeColorTables();
    void cleanUpFlags();
    void merge();
    void mergeFrame(int i);
    int allocateTransparent(TGIFSubImage& f, TGIFColorMap& map, int i);
    void crop();
    void cropFrame(int i);
    bool canDrop(int i);
    void cleanUpBlocks();

    TGIFImage& m_image;
    TGIFOptimizeOptions m_options;
    int m_steps = 1;
    int m_done = 0;
};

void TOptimizer::stepDone()
{
    ++m_done;
    m_image.Progress(psRunning, static_cast<int>(std::int64_t(m_done) * 100 / m_steps), kProgressText);
}

void TOptimizer::Run()
{
    int passes = 0;
    for (unsigned o : {ooColorMap, ooCleanup, ooMerge, ooCrop, ooCleanup})
        if (m_options & o)
            ++passes;
    m_steps = std::max(1, passes * m_image.Count());
    if (m_options & ooColorMap)
        optimizeColorTables();
    if (m_options & ooCleanup)
        cleanUpFlags();
    if (m_options & ooMerge)
        merge();
    if (m_options & ooCrop)
        crop();
    if (m_options & ooCleanup)
        cleanUpBlocks();
}

// Colour tables -------------------------------------------------------------------------

void TOptimizer::optimizeColorTables()
{
    TGIFColorMap& global = m_image.GlobalColorMap();
    if (global.Count() > 0) {
        // The background index and the plain text colours point into the global table:
        // they follow their colours to the new places.
        std::vector<std::pair<std::uint8_t*, TGIFColor>> refs;
        auto remember = [&](std::uint8_t* index) {
            if (*index < global.Count())
                refs.emplace_back(index, global.Colors()[*index]);
        };
        remember(&m_image.Header.BackgroundColorIndex);
        for (auto& f : m_image.Images)
            for (auto& e : f->Extensions)
                if (auto* text = dynamic_cast<TGIFTextExtension*>(e.get()); text && text->Block.size() >= 13) {
                    remember(&text->Block[11]);
                    remember(&text->Block[12]);
                }
        global.Optimize();
        for (auto& [index, color] : refs)
            *index = static_cast<std::uint8_t>(findOrKeep(global, color));
    }
    // Each local table touches only its own frame: the frames go to every core.
    std::int64_t pixels = 0;
    for (int i = 0; i < m_image.Count(); ++i)
        pixels += static_cast<std::int64_t>(frame(i).Width()) * frame(i).Height();
    ForEachInOrder(
        m_image.Count(), ThreadsForFramePixels(pixels),
        [this](int i) {
            if (frame(i).ColorMap.Count() > 0)
                frame(i).ColorMap.Optimize();
            return 0;
        },
        [this](int, int) { stepDone(); });
}

// Clean-up, first half: flags that say nothing ------------------------------------------

void TOptimizer::cleanUpFlags()
{
    // A transparent index that no pixel uses makes the frame opaque in effect.
    for (auto& f : m_image.Images) {
        if (!f->Transparent())
            continue;
        const int t = f->TransparentIndex();
        if (!hasPixels(*f) || std::find(f->Data.begin(), f->Data.end(), static_cast<std::uint8_t>(t)) == f->Data.end())
            f->GraphicControlExtension()->SetTransparent(false);
    }
    // Restoring an area that the next frame paints over completely is wasted, unless the
    // next frame restores in turn: then the state it goes back to is the restored one.
    for (int i = 0; i < m_image.Count(); ++i) {
        if (i + 1 < m_image.Count()) {
            TGIFSubImage& f = frame(i);
            const TGIFSubImage& next = frame(i + 1);
            TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
            if (gce && restores(gce->Disposal()) && !next.Transparent() && hasPixels(next) && disposalOf(next) != 3
                && covers(next.BoundsRect(), f.BoundsRect()))
                gce->SetDisposal(0);
        }
        stepDone();
    }
}

// Merge -------------------------------------------------------------------------------

void TOptimizer::merge()
{
    // Later passes of a loop start at the frame holding the first loop extension; that
    // frame then follows the last one, so it is not compared with its predecessor.
    int restart = -1;
    for (int i = 0; i < m_image.Count() && restart < 0; ++i)
        if (holdsLoop(frame(i)))
            restart = i;
    for (int i = m_image.Count() - 1; i >= 1; --i) {
        if (i != restart)
            mergeFrame(i);
        stepDone();
    }
    stepDone(); // frame 0 is the reference only
}

void TOptimizer::mergeFrame(int i)
{
    // The reference is the frame whose picture lies under frame i: frames restoring to
    // previous leave nothing behind.
    int j = i - 1;
    while (j > 0 && disposalOf(frame(j)) == 3)
        --j;
    TGIFSubImage& f = frame(i);
    const TGIFSubImage& ref = frame(j);
    if (!hasPixels(f) || !hasPixels(ref) || restores(disposalOf(ref)))
        return;
    const TRect area = IntersectRect(f.BoundsRect(), ref.BoundsRect());
    if (area.IsEmpty())
        return;

    TGIFColorMap& map = f.ActiveColorMap();
    const TGIFColorMap& refMap = ref.ActiveColorMap();
    const bool wasTransparent = f.Transparent();
    int t = f.TransparentIndex();
    // A transparent index outside the table (possible in files) cannot be written as a
    // pixel: such a frame is left as it is.
    if (wasTransparent && t >= map.Count())
        return;
    if (!wasTransparent) {
        const bool room = usesGlobal(f) ? map.Count() >= 1 && map.Count() <= 255 : map.Count() < 256;
        if (!room)
            return;
    }

    // Colour keys: RGB for indices inside a table; indices outside one match only the same
    // index of the same table.
    const bool sameTable = &map == &refMap;
    std::array<std::uint32_t, 256> key{};
    std::array<std::uint32_t, 256> refKey{};
    for (int k = 0; k < 256; ++k) {
        auto rgb = [k](const TGIFColorMap& m, std::uint32_t outside) {
            if (k >= m.Count())
                return outside + static_cast<std::uint32_t>(k);
            const TGIFColor c = m.Colors()[static_cast<std::size_t>(k)];
            return (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
        };
        key[static_cast<std::size_t>(k)] = rgb(map, 0x1000000);
        refKey[static_cast<std::size_t>(k)] = rgb(refMap, sameTable ? 0x1000000 : 0x2000000);
    }

    const int refTransparent = ref.TransparentIndex(); // -1 matches no pixel
    bool changed = false;
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::uint8_t* s = f.ScanLine(y - f.Top) + (area.Left - f.Left);
        const std::uint8_t* q = ref.ScanLine(y - ref.Top) + (area.Left - ref.Left);
        for (int x = 0; x < area.Width(); ++x) {
            if (s[x] == t || q[x] == refTransparent || key[s[x]] != refKey[q[x]])
                continue;
            if (t < 0) {
                t = allocateTransparent(f, map, i);
                if (t < 0)
                    return;
            }
            s[x] = static_cast<std::uint8_t>(t);
            changed = true;
        }
    }
    if (!changed)
        return;
    if (!wasTransparent) {
        TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
        if (!gce)
            gce = f.AddExtension<TGIFGraphicControlExtension>();
        gce->SetTransparent(true);
        gce->SetTransparentColorIndex(t);
    }
    f.Changed();
}

// A transparent index for an opaque frame, chosen before any of its pixels changes.
int TOptimizer::allocateTransparent(TGIFSubImage& f, TGIFColorMap& map, int i)
{
    if (usesGlobal(f)) {
        // Share the transparent index of another frame on the global table, but only one
        // this frame does not show as a colour of its own.
        std::array<bool, 256> used{};
        for (std::uint8_t p : f.Data)
            used[p] = true;
        for (int k = 0; k < m_image.Count(); ++k) {
            const TGIFSubImage& other = frame(k);
            const int t = other.TransparentIndex();
            if (k != i && t >= 0 && t < map.Count() && usesGlobal(other) && !used[static_cast<std::size_t>(t)])
                return t;
        }
    }
    if (map.Count() >= 256)
        return -1;
    return map.Add({0, 0, 0});
}

// Crop --------------------------------------------------------------------------------

void TOptimizer::crop()
{
    for (int i = m_image.Count() - 1; i >= 0; --i) {
        cropFrame(i);
        stepDone();
    }
}

// A frame with nothing visible can go when the picture under it is the previous frame
// itself: that frame then simply stays up for both delays. (An empty previous frame
// writes only its extensions, which readers give to the frame after it.)
bool TOptimizer::canDrop(int i)
{
    return i > 0 && hasPixels(frame(i - 1)) && !restores(disposalOf(frame(i - 1))) && !holdsLoop(frame(i));
}

void TOptimizer::cropFrame(int i)
{
    TGIFSubImage& f = frame(i);
    // Restoring to background clears the frame's whole rectangle: a smaller one would
    // leave old pixels standing.
    if (!hasPixels(f) || !f.Transparent() || disposalOf(f) == 2)
        return;
    const auto t = static_cast<std::uint8_t>(f.TransparentIndex());
    const int w = f.Width();
    const int h = f.Height();

    // Columns first, then the rows within those columns.
    int x0 = w, x1 = -1;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = f.ScanLine(y);
        for (int x = 0; x < x0; ++x)
            if (row[x] != t) {
                x0 = x;
                break;
            }
        for (int x = w - 1; x > x1; --x)
            if (row[x] != t) {
                x1 = x;
                break;
            }
    }
    if (x1 < 0) {
        const int delay = f.Delay();
        if (canDrop(i)) {
            if (delay > 0) {
                TGIFSubImage& prev = frame(i - 1);
                TGIFGraphicControlExtension* gce = prev.GraphicControlExtension();
                if (!gce)
                    gce = prev.AddExtension<TGIFGraphicControlExtension>();
                gce->SetDelay(std::min(gce->Delay() + delay, 65535));
            }
            m_image.Images.erase(m_image.Images.begin() + i);
            return;
        }
        // Kept for its delay (or its loop extension): one transparent pixel.
        x0 = x1 = 0;
    }
    auto visibleRow = [&](int y) {
        const std::uint8_t* row = f.ScanLine(y);
        return std::any_of(row + x0, row + x1 + 1, [t](std::uint8_t p) { return p != t; });
    };
    int y0 = 0, y1 = h - 1;
    while (y0 < y1 && !visibleRow(y0))
        ++y0;
    while (y1 > y0 && !visibleRow(y1))
        --y1;
    const int cw = x1 - x0 + 1;
    const int ch = y1 - y0 + 1;
    if (cw == w && ch == h)
        return;
    std::vector<std::uint8_t> cut(static_cast<std::size_t>(cw) * static_cast<std::size_t>(ch));
    for (int y = 0; y < ch; ++y)
        std::copy_n(f.ScanLine(y0 + y) + x0, cw, cut.data() + static_cast<std::size_t>(y) * cw);
    f.SetSize(cw, ch);
    f.Data = std::move(cut);
    f.Left += x0;
    f.Top += y0;
    f.Changed();
}

// Clean-up, second half: blocks without effect ----------------------------------------

void TOptimizer::cleanUpBlocks()
{
    // The first loop extension of the document is the one viewers follow; it stays.
    const TGIFExtension* loop = nullptr;
    for (auto& f : m_image.Images) {
        for (auto& e : f->Extensions)
            if (dynamic_cast<const TGIFAppExtNSLoop*>(e.get())) {
                loop = e.get();
                break;
            }
        if (loop)
            break;
    }
    for (int i = m_image.Count() - 1; i >= 0; --i) {
        TGIFSubImage& f = frame(i);
        const bool single = m_image.Count() == 1;
        for (std::size_t k = f.Extensions.size(); k-- > 0;) {
            const TGIFExtension* e = f.Extensions[k].get();
            const bool superfluous = dynamic_cast<const TGIFCommentExtension*>(e) || dynamic_cast<const TGIFTextExtension*>(e)
                || dynamic_cast<const TGIFUnknownAppExtension*>(e) || dynamic_cast<const TGIFUnknownExtension*>(e)
                || (dynamic_cast<const TGIFAppExtNSLoop*>(e) && (single || e != loop));
            if (superfluous)
                f.DeleteExtension(k);
        }
        if (TGIFGraphicControlExtension* gce = f.GraphicControlExtension()) {
            if ((gce->Delay() == 0 || single) && !gce->Transparent() && !gce->UserInput() && (single || gce->Disposal() <= 1)) {
                const auto at = std::find_if(f.Extensions.begin(), f.Extensions.end(), [gce](const auto& e) { return e.get() == gce; });
                f.DeleteExtension(static_cast<std::size_t>(at - f.Extensions.begin()));
            }
        }
        if (f.Empty() && f.Extensions.empty())
            m_image.Images.erase(m_image.Images.begin() + i);
        stepDone();
    }
}

} // namespace

void Optimize(TGIFImage& image, TGIFOptimizeOptions options, TColorReduction reduction, TDitherMode /*dither*/, int /*bits*/)
{
    if (image.Empty())
        return;
    if ((options & ooReduceColors) && static_cast<int>(reduction) == kCallerPaletteReduction)
        throw GIFException("Invalid reduction method");
    auto lock = image.LockPainters();
    image.Progress(psStarting, 0, kProgressText);
    try {
        TOptimizer(image, options).Run();
    } catch (...) {
        image.Progress(psEnding, 100, kProgressText);
        throw;
    }
    image.Progress(psEnding, 100, kProgressText);
}
