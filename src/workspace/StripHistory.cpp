#include "StripHistory.h"

#include "graphics/MemoryBudget.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

std::uint64_t pictureBytes(const TBitmap& b)
{
    return static_cast<std::uint64_t>(b.RowBytes()) * static_cast<std::uint64_t>(b.Height()) + b.Palette().size() * 4;
}

// One change of the strip: the state before it and the state after it.
class TStripStep : public TUndoCommand {
public:
    TStripStep(TStripHistory& history, std::shared_ptr<const TStripState> before, std::shared_ptr<const TStripState> after,
               std::string name)
        : m_history(history), m_before(std::move(before)), m_after(std::move(after)), m_name(std::move(name)),
          m_beforeOnly(PicturesOnlyIn(*m_before, *m_after)), m_afterOnly(PicturesOnlyIn(*m_after, *m_before))
    {
    }
    void Undo() override
    {
        m_history.Apply(m_before);
        m_undone = true;
    }
    void Redo() override
    {
        m_history.Apply(m_after);
        m_undone = false;
    }
    // A done step alone keeps the pictures it replaced; an undone one those it would bring back.
    std::uint64_t Bytes() const override { return m_undone ? m_afterOnly : m_beforeOnly; }
    std::string Name() const override { return m_name; }

private:
    TStripHistory& m_history;
    std::shared_ptr<const TStripState> m_before, m_after;
    std::string m_name;
    std::uint64_t m_beforeOnly, m_afterOnly;
    bool m_undone = false;
};

std::uint64_t distinctBytes(const TStripState& s)
{
    std::unordered_set<const TBitmap*> seen;
    std::uint64_t total = 0;
    for (const TFrameState& f : s.Frames)
        if (f.Picture && seen.insert(f.Picture.get()).second)
            total += pictureBytes(*f.Picture);
    return total;
}

} // namespace

std::uint64_t PicturesOnlyIn(const TStripState& a, const TStripState& b)
{
    std::unordered_set<const TBitmap*> inB;
    for (const TFrameState& f : b.Frames)
        inB.insert(f.Picture.get());
    std::unordered_set<const TBitmap*> counted;
    std::uint64_t total = 0;
    for (const TFrameState& f : a.Frames)
        if (f.Picture && !inB.contains(f.Picture.get()) && counted.insert(f.Picture.get()).second)
            total += pictureBytes(*f.Picture);
    return total;
}

TStripHistory::TStripHistory(TFrameStrip& strip, int maxSteps) : m_strip(strip), m_history(maxSteps)
{
    m_history.OnChange = [this] {
        if (OnChange)
            OnChange();
    };
}

std::uint64_t TStripHistory::MaxBytes() const
{
    return m_maxBytes ? m_maxBytes : MemoryBudget::Limit() / 4;
}

std::uint64_t TStripHistory::currentBytes() const
{
    return m_current ? distinctBytes(*m_current) : 0;
}

std::uint64_t TStripHistory::Bytes() const
{
    return currentBytes() + m_history.Bytes();
}

void TStripHistory::Reset()
{
    m_history.Clear();
    m_current.reset();
    Record();
}

void TStripHistory::suspend()
{
    m_current.reset();
    m_history.Clear();
    if (OnChange)
        OnChange();
}

std::shared_ptr<const TStripState> TStripHistory::capture(const TStripState* previous) const
{
    std::unordered_map<std::uint64_t, std::shared_ptr<const TBitmap>> known;
    if (previous)
        for (const TFrameState& f : previous->Frames)
            known.emplace(f.Version, f.Picture);
    auto state = std::make_shared<TStripState>();
    state->ItemIndex = m_strip.ItemIndex();
    state->FrameCounter = m_strip.FrameCounter;
    state->FrameWidth = m_strip.FrameWidth;
    state->FrameHeight = m_strip.FrameHeight;
    state->Frames.reserve(static_cast<std::size_t>(m_strip.Count()));
    for (int i = 0; i < m_strip.Count(); ++i) {
        const TFrameRecord& f = m_strip.FindFrameImage(i);
        TFrameState s{f.Name, f.DelayText, f.Version, f.Selected, nullptr};
        const auto it = known.find(f.Version);
        // Only a picture that changed is copied (the copy reserves its bytes).
        s.Picture = it != known.end() ? it->second : std::make_shared<const TBitmap>(f.Bitmap);
        state->Frames.push_back(std::move(s));
    }
    return state;
}

bool TStripHistory::Record(const std::string& name)
{
    // Cheap test first: most notifications are selection or repaints.
    if (m_current) {
        const TStripState& c = *m_current;
        bool same = static_cast<int>(c.Frames.size()) == m_strip.Count() && c.FrameWidth == m_strip.FrameWidth
                    && c.FrameHeight == m_strip.FrameHeight;
        for (int i = 0; same && i < m_strip.Count(); ++i) {
            const TFrameRecord& f = m_strip.FindFrameImage(i);
            const TFrameState& s = c.Frames[static_cast<std::size_t>(i)];
            same = f.Version == s.Version && f.Name == s.Name && f.DelayText == s.DelayText;
        }
        if (same)
            return false;
    }
    // The strip itself must fit in the history's share, or Undo pauses.
    std::uint64_t stripBytes = 0;
    for (int i = 0; i < m_strip.Count(); ++i)
        stripBytes += pictureBytes(m_strip.FindFrameImage(i).Bitmap);
    const std::uint64_t share = MaxBytes();
    if (stripBytes > share) {
        if (m_current || m_history.CanUndo() || m_history.CanRedo())
            suspend();
        return false;
    }
    std::shared_ptr<const TStripState> next;
    try {
        next = capture(m_current.get());
    } catch (const EOutOfMemory&) {
        // Older steps give their memory to the copy, else Undo pauses.
        m_history.MakeRoom(stripBytes);
        try {
            next = capture(m_current.get());
        } catch (const EOutOfMemory&) {
            suspend();
            return false;
        }
    }
    if (!m_current) {
        // The first state (or the first since a pause): where Undo stops.
        m_current = std::move(next);
        if (OnChange)
            OnChange();
        return false;
    }
    auto step = std::make_unique<TStripStep>(*this, m_current, next, name);
    m_current = next;
    const std::uint64_t held = distinctBytes(*next);
    m_history.SetMaxBytes(std::max<std::uint64_t>(1, share > held ? share - held : 1));
    m_history.Push(std::move(step));
    return true;
}

void TStripHistory::Undo()
{
    m_history.Undo();
}

void TStripHistory::Redo()
{
    m_history.Redo();
}

void TStripHistory::Apply(const std::shared_ptr<const TStripState>& state)
{
    std::unordered_map<std::uint64_t, int> live;
    for (int i = 0; i < m_strip.Count(); ++i)
        live.emplace(m_strip.FindFrameImage(i).Version, i);
    // Pictures the strip no longer has are copied first: a refusal changes nothing.
    const std::size_t n = state->Frames.size();
    std::vector<TFrameRecord> frames(n);
    std::vector<int> reuse(n, -1);
    for (std::size_t k = 0; k < n; ++k) {
        const TFrameState& s = state->Frames[k];
        if (const auto it = live.find(s.Version); it != live.end()) {
            reuse[k] = it->second;
            live.erase(it);
        } else {
            frames[k].Bitmap = *s.Picture;
        }
    }
    std::vector<TFrameRecord> old = m_strip.ReleaseFrames();
    for (std::size_t k = 0; k < n; ++k) {
        const TFrameState& s = state->Frames[k];
        TFrameRecord& f = frames[k];
        if (reuse[k] >= 0)
            f = std::move(old[static_cast<std::size_t>(reuse[k])]);
        f.Name = s.Name;
        f.DelayText = s.DelayText;
        f.Version = s.Version;
        f.Selected = s.Selected;
    }
    old.clear();
    m_strip.FrameCounter = state->FrameCounter;
    m_strip.FrameWidth = state->FrameWidth;
    m_strip.FrameHeight = state->FrameHeight;
    m_current = state;
    m_strip.RestoreFrames(std::move(frames), state->ItemIndex);
}
