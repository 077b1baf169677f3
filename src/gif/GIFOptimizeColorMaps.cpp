// Merging the colour tables of all frames into one sorted global table.
#include "GIFImage.h"

#include <algorithm>
#include <climits>

namespace {

struct THistEntry {
    std::int64_t Count = 0;
    int OldIndex = 0;
    int NewIndex = -1;
    TGIFColor Color;
    THistEntry* Rep = nullptr; // the entry this one was merged into
};

struct THistogram {
    const TGIFColorMap* Map = nullptr;
    std::vector<TGIFSubImage*> Frames;
    std::vector<THistEntry> Entries; // indexed by old index until sorted
    std::vector<int> NewIndexOf;     // old index -> new index
};

std::uint32_t rgbKey(TGIFColor c) { return (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue; }
int distance2(TGIFColor a, TGIFColor b)
{
    const int r = a.Red - b.Red, g = a.Green - b.Green, bl = a.Blue - b.Blue;
    return r * r + g * g + bl * bl;
}

} // namespace

void TGIFImage::OptimizeColorMaps()
{
    auto lock = LockPainters();
    std::vector<THistogram> hists;
    if (Header.ColorMap.Count() > 0) {
        THistogram h;
        h.Map = &Header.ColorMap;
        for (auto& f : Images)
            if (!f->Empty() && f->ColorMap.Count() == 0)
                h.Frames.push_back(f.get());
        hists.push_back(std::move(h));
    }
    for (auto& f : Images)
        if (!f->Empty() && f->ColorMap.Count() > 0) {
            THistogram h;
            h.Map = &f->ColorMap;
            h.Frames.push_back(f.get());
            hists.push_back(std::move(h));
        }

    // 1. Count the pixels; transparent ones only mark the document as using transparency.
    bool usesTransparency = false;
    std::vector<int> oldTransparent(Images.size(), -1);
    for (THistogram& h : hists) {
        const int count = h.Map->Count();
        h.Entries.resize(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            h.Entries[static_cast<std::size_t>(i)].OldIndex = i;
            h.Entries[static_cast<std::size_t>(i)].Color = h.Map->Colors()[static_cast<std::size_t>(i)];
        }
        for (TGIFSubImage* f : h.Frames) {
            const int t = f->TransparentIndex();
            bool sawTransparent = false;
            bool warned = false;
            for (std::uint8_t& p : f->Data) {
                if (p == t) {
                    sawTransparent = true;
                    continue;
                }
                if (p >= count) {
                    if (!warned)
                        Warning(*h.Map, gsWarning, "Color not in color table");
                    warned = true;
                    p = 0;
                }
                std::int64_t& c = h.Entries[p].Count;
                if (c < INT_MAX)
                    ++c;
            }
            if (t >= 0 && !sawTransparent) {
                TGIFGraphicControlExtension* gce = f->GraphicControlExtension();
                gce->SetTransparent(false);
                gce->SetTransparentColorIndex(0);
            }
            if (sawTransparent) {
                usesTransparency = true;
                const auto idx = std::find_if(Images.begin(), Images.end(), [f](auto& p) { return p.get() == f; });
                oldTransparent[static_cast<std::size_t>(idx - Images.begin())] = t;
            }
        }
    }

    // 2. Each histogram by decreasing count, cut at the first unused entry.
    for (THistogram& h : hists) {
        std::stable_sort(h.Entries.begin(), h.Entries.end(),
                         [](const THistEntry& a, const THistEntry& b) { return a.Count > b.Count; });
        const auto firstZero = std::find_if(h.Entries.begin(), h.Entries.end(), [](const THistEntry& e) { return e.Count == 0; });
        h.Entries.erase(firstZero, h.Entries.end());
    }

    // 3. All entries by RGB; equal colours merge into the first of their run.
    std::vector<THistEntry*> all;
    for (THistogram& h : hists)
        for (THistEntry& e : h.Entries)
            all.push_back(&e);
    std::stable_sort(all.begin(), all.end(), [](const THistEntry* a, const THistEntry* b) { return rgbKey(a->Color) < rgbKey(b->Color); });
    std::vector<THistEntry*> merged;
    for (THistEntry* e : all) {
        if (!merged.empty() && merged.back()->Color == e->Color) {
            THistEntry* rep = merged.back();
            rep->Count = std::min<std::int64_t>(rep->Count + e->Count, INT_MAX);
            e->Rep = rep;
        } else {
            merged.push_back(e);
        }
    }

    // 4. The most used colours form the new table.
    std::stable_sort(merged.begin(), merged.end(), [](const THistEntry* a, const THistEntry* b) { return a->Count > b->Count; });
    const int limit = usesTransparency ? 255 : 256;
    int kept = 0;
    for (THistEntry* e : merged)
        if (e->Count > 0 && kept < limit)
            e->NewIndex = kept++;
    std::vector<TGIFColor> table;
    for (int i = 0; i < kept; ++i)
        table.push_back(merged[static_cast<std::size_t>(i)]->Color);

    // 5. The others go to the kept colour nearest in RGB (a nearest channel sum could turn
    // red into blue); on equal distance the lower new index.
    for (std::size_t i = static_cast<std::size_t>(kept); i < merged.size(); ++i) {
        THistEntry* e = merged[i];
        if (e->Count == 0)
            continue;
        int best = 0;
        int bestDist = INT_MAX;
        for (int k = 0; k < kept; ++k) {
            const int d = distance2(e->Color, table[static_cast<std::size_t>(k)]);
            if (d < bestDist) {
                bestDist = d;
                best = k;
            }
        }
        e->NewIndex = best;
    }
    for (THistEntry* e : all)
        if (e->Rep)
            e->NewIndex = e->Rep->NewIndex;

    // 6. One black entry for the transparent pixels.
    int newTransparent = -1;
    if (usesTransparency) {
        table.push_back({0, 0, 0});
        newTransparent = static_cast<int>(table.size()) - 1;
    }

    // 7. One sorted global table, no local ones.
    for (auto& f : Images)
        f->ColorMap.Clear();
    Header.ColorMap.Assign(table);
    Header.ColorMap.SetSorted(true);

    // 8. Remap every frame's pixels through its histogram.
    for (THistogram& h : hists) {
        std::vector<std::uint8_t> remap(256, 0);
        for (const THistEntry& e : h.Entries)
            remap[static_cast<std::size_t>(e.OldIndex)] = static_cast<std::uint8_t>(std::max(e.NewIndex, 0));
        for (TGIFSubImage* f : h.Frames) {
            const auto idx = static_cast<std::size_t>(std::find_if(Images.begin(), Images.end(), [f](auto& p) { return p.get() == f; }) - Images.begin());
            const int t = usesTransparency ? oldTransparent[idx] : -1;
            for (std::uint8_t& p : f->Data)
                p = (p == t) ? static_cast<std::uint8_t>(newTransparent) : remap[p];
            if (t >= 0)
                f->GraphicControlExtension()->SetTransparentColorIndex(newTransparent);
            f->Changed();
        }
    }
}
