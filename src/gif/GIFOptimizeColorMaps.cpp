// Merging the colour tables of all frames into one sorted global table.
#include "GIFImage.h"
#include "OrderedParallel.h"

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

std::uint32_t rgbKey(TGIFColor c) { return (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue; }
int distance2(TGIFColor a, TGIFColor b)
{
    const int r = a.Red - b.Red, g = a.Green - b.Green, bl = a.Blue - b.Blue;
    return r * r + g * g + bl * bl;
}

} // namespace

bool CountColorUse(TGIFSubImage& frame, const TGIFColorMap& map, std::vector<std::int64_t>& counts)
{
    const int count = map.Count();
    counts.resize(static_cast<std::size_t>(count), 0);
    const int t = frame.TransparentIndex();
    bool sawTransparent = false;
    bool warned = false;
    // Every pixel within the table (the usual case): a plain histogram in four parts, so
    // runs of one index do not wait on each other's stores, added with the same cap.
    std::uint8_t most = 0;
    for (const std::uint8_t p : frame.Data)
        most = std::max(most, p);
    if (frame.Data.empty() || most < count) {
        std::vector<std::uint32_t> parts(4 * 256, 0);
        const std::size_t n = frame.Data.size();
        const std::uint8_t* d = frame.Data.data();
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            ++parts[d[i]];
            ++parts[256 + d[i + 1]];
            ++parts[512 + d[i + 2]];
            ++parts[768 + d[i + 3]];
        }
        for (; i < n; ++i)
            ++parts[d[i]];
        for (int k = 0; k < count; ++k) {
            const std::size_t u = static_cast<std::size_t>(k);
            const std::int64_t seen = std::int64_t(parts[u]) + parts[256 + u] + parts[512 + u] + parts[768 + u];
            if (k == t) {
                sawTransparent = seen > 0;
                continue;
            }
            std::int64_t& c = counts[u];
            if (c < INT_MAX)
                c = std::min<std::int64_t>(c + seen, INT_MAX);
        }
    } else {
        for (std::uint8_t& p : frame.Data) {
            if (p == t) {
                sawTransparent = true;
                continue;
            }
            if (p >= count) {
                if (!warned && frame.Image())
                    frame.Image()->Warning(map, gsWarning, "Color not in color table");
                warned = true;
                p = 0;
            }
            std::int64_t& c = counts[p];
            if (c < INT_MAX)
                ++c;
        }
    }
    if (t >= 0 && !sawTransparent) {
        TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
        gce->SetTransparent(false);
        gce->SetTransparentColorIndex(0);
    }
    return sawTransparent;
}

TMergedColorTable MergeColorTables(const std::vector<TColorTableUse>& tables, bool transparency)
{
    // 1. Each table's entries by decreasing count, cut at the first unused entry.
    std::vector<std::vector<THistEntry>> hists(tables.size());
    for (std::size_t h = 0; h < tables.size(); ++h) {
        const TColorTableUse& use = tables[h];
        std::vector<THistEntry>& entries = hists[h];
        entries.resize(use.Colors.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries[i].OldIndex = static_cast<int>(i);
            entries[i].Color = use.Colors[i];
            entries[i].Count = i < use.Counts.size() ? use.Counts[i] : 0;
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const THistEntry& a, const THistEntry& b) { return a.Count > b.Count; });
        const auto firstZero = std::find_if(entries.begin(), entries.end(), [](const THistEntry& e) { return e.Count == 0; });
        entries.erase(firstZero, entries.end());
    }

    // 2. All entries by RGB; equal colours merge into the first of their run.
    std::vector<THistEntry*> all;
    for (auto& entries : hists)
        for (THistEntry& e : entries)
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

    // 3. The most used colours form the new table.
    std::stable_sort(merged.begin(), merged.end(), [](const THistEntry* a, const THistEntry* b) { return a->Count > b->Count; });
    const int limit = transparency ? 255 : 256;
    int kept = 0;
    for (THistEntry* e : merged)
        if (e->Count > 0 && kept < limit)
            e->NewIndex = kept++;
    TMergedColorTable result;
    for (int i = 0; i < kept; ++i)
        result.Colors.push_back(merged[static_cast<std::size_t>(i)]->Color);

    // 4. The others go to the kept colour nearest in RGB (a nearest channel sum could turn
    // red into blue); on equal distance the lower new index.
    for (std::size_t i = static_cast<std::size_t>(kept); i < merged.size(); ++i) {
        THistEntry* e = merged[i];
        if (e->Count == 0)
            continue;
        int best = 0;
        int bestDist = INT_MAX;
        for (int k = 0; k < kept; ++k) {
            const int d = distance2(e->Color, result.Colors[static_cast<std::size_t>(k)]);
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

    // 5. One black entry for the transparent pixels.
    if (transparency) {
        result.Colors.push_back({0, 0, 0});
        result.Transparent = static_cast<int>(result.Colors.size()) - 1;
    }

    // 6. Old index to new index for every table.
    result.Remaps.assign(tables.size(), {});
    for (std::size_t h = 0; h < tables.size(); ++h)
        for (const THistEntry& e : hists[h])
            result.Remaps[h][static_cast<std::size_t>(e.OldIndex)] = static_cast<std::uint8_t>(std::max(e.NewIndex, 0));
    return result;
}

void RemapToMergedTable(TGIFSubImage& frame, const std::array<std::uint8_t, 256>& remap, int oldTransparent,
                        int newTransparent)
{
    const int t = oldTransparent;
    for (std::uint8_t& p : frame.Data)
        p = (p == t) ? static_cast<std::uint8_t>(newTransparent) : remap[p];
    if (t >= 0)
        frame.GraphicControlExtension()->SetTransparentColorIndex(newTransparent);
    frame.Changed();
}

void TGIFImage::OptimizeColorMaps()
{
    auto lock = LockPainters();
    // One histogram per table: the global one's frames share it, a local one has its frame.
    std::vector<const TGIFColorMap*> maps;
    std::vector<std::vector<TGIFSubImage*>> users;
    if (Header.ColorMap.Count() > 0) {
        maps.push_back(&Header.ColorMap);
        users.emplace_back();
        for (auto& f : Images)
            if (!f->Empty() && f->ColorMap.Count() == 0)
                users.back().push_back(f.get());
    }
    for (auto& f : Images)
        if (!f->Empty() && f->ColorMap.Count() > 0) {
            maps.push_back(&f->ColorMap);
            users.push_back({f.get()});
        }

    // Count the pixels; transparent ones only mark the document as using transparency.
    bool usesTransparency = false;
    std::vector<TColorTableUse> uses(maps.size());
    std::vector<std::vector<int>> oldTransparent(maps.size());
    for (std::size_t h = 0; h < maps.size(); ++h) {
        uses[h].Colors = maps[h]->Colors();
        uses[h].Counts.assign(uses[h].Colors.size(), 0);
        for (TGIFSubImage* f : users[h]) {
            const int t = f->TransparentIndex();
            const bool saw = CountColorUse(*f, *maps[h], uses[h].Counts);
            usesTransparency = usesTransparency || saw;
            oldTransparent[h].push_back(saw ? t : -1);
        }
    }
    const TMergedColorTable merged = MergeColorTables(uses, usesTransparency);

    // One sorted global table, no local ones; every frame's pixels remapped through its
    // table's histogram.
    for (auto& f : Images)
        f->ColorMap.Clear();
    Header.ColorMap.Assign(merged.Colors);
    Header.ColorMap.SetSorted(true);
    // Each frame remapped on its own, on every core.
    std::vector<std::pair<std::size_t, std::size_t>> jobs;
    std::int64_t pixels = 0;
    for (std::size_t h = 0; h < maps.size(); ++h)
        for (std::size_t k = 0; k < users[h].size(); ++k) {
            jobs.emplace_back(h, k);
            pixels += static_cast<std::int64_t>(users[h][k]->Width()) * users[h][k]->Height();
        }
    ForEachInOrder(
        static_cast<int>(jobs.size()), ThreadsForFramePixels(pixels),
        [&](int j) {
            const auto [h, k] = jobs[static_cast<std::size_t>(j)];
            RemapToMergedTable(*users[h][k], merged.Remaps[h], usesTransparency ? oldTransparent[h][k] : -1,
                               merged.Transparent);
            return 0;
        },
        [](int, int) {});
}
