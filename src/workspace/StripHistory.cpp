#include "StripHistory.h"

#include "graphics/MemoryBudget.h"

#include <algorithm>
#include <set>
#include <tuple>
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
        m_history.Apply(m_before, *m_after);
        m_undone = true;
    }
    void Redo() override
    {
        m_history.Apply(m_after, *m_before);
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

} // namespace

std::uint64_t PicturesOnlyIn(const TStripState& a, const TStripState& b)
{
    std::unordered_set<const TBitmap*> inB;
    for (const TFrameRecord& f : b.Document.Frames)
        inB.insert(f.Picture.get());
    std::unordered_set<const TBitmap*> counted;
    std::uint64_t total = 0;
    for (const TFrameRecord& f : a.Document.Frames)
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

std::uint64_t TStripHistory::Bytes() const
{
    return m_history.Bytes();
}

void TStripHistory::Reset()
{
    m_history.Clear();
    m_current.reset();
    Record();
}

std::shared_ptr<const TStripState> TStripHistory::capture() const
{
    auto state = std::make_shared<TStripState>();
    state->Document = m_strip.Document();
    state->ItemIndex = m_strip.ItemIndex();
    state->Selected.resize(static_cast<std::size_t>(m_strip.Count()));
    for (int i = 0; i < m_strip.Count(); ++i)
        state->Selected[static_cast<std::size_t>(i)] = m_strip.IsSelected(i);
    return state;
}

bool TStripHistory::Record(const std::string& name)
{
    // Cheap test first: most notifications are selection or repaints.
    if (m_current) {
        const TStripDocument& c = m_current->Document;
        const TStripDocument& d = m_strip.Document();
        bool same = c.Frames.size() == d.Frames.size() && c.FrameWidth == d.FrameWidth && c.FrameHeight == d.FrameHeight;
        for (std::size_t i = 0; same && i < d.Frames.size(); ++i)
            same = d.Frames[i].Version == c.Frames[i].Version && d.Frames[i].Name == c.Frames[i].Name
                   && d.Frames[i].DelayText == c.Frames[i].DelayText;
        if (same)
            return false;
    }
    std::shared_ptr<const TStripState> next = capture();
    if (!m_current) {
        // The first state: where Undo stops.
        m_current = std::move(next);
        if (OnChange)
            OnChange();
        return false;
    }
    auto step = std::make_unique<TStripStep>(*this, m_current, next, name);
    m_current = next;
    m_history.SetMaxBytes(std::max<std::uint64_t>(1, MaxBytes()));
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

std::vector<int> ChangedFrames(const TStripState& target, const TStripState& other)
{
    std::set<std::tuple<std::string, std::uint64_t, std::string>> there;
    for (const TFrameRecord& f : other.Document.Frames)
        there.emplace(f.Name, f.Version, f.DelayText);
    std::vector<int> changed;
    for (int i = 0; i < target.Document.Count(); ++i) {
        const TFrameRecord& f = target.Document.Frames[static_cast<std::size_t>(i)];
        if (!there.contains({f.Name, f.Version, f.DelayText}))
            changed.push_back(i);
    }
    return changed;
}

void TStripHistory::Apply(const std::shared_ptr<const TStripState>& state, const TStripState& from)
{
    TStripDocument document = state->Document;
    // The loop count is not part of a step.
    document.LoopCount = m_strip.LoopCount();
    m_current = state;
    // The selection goes to the frames the step changes, so the user sees what came back;
    // after frames went, to the frame now where the first of them was; a step that only
    // moved frames keeps the selection it recorded.
    std::vector<bool> selected = state->Selected;
    int itemIndex = state->ItemIndex;
    std::vector<int> changed = ChangedFrames(*state, from);
    if (const std::vector<int> gone = ChangedFrames(from, *state); changed.empty() && !gone.empty() && document.Count() > 0)
        changed.push_back(std::min(gone.front(), document.Count() - 1));
    if (!changed.empty()) {
        selected.assign(static_cast<std::size_t>(document.Count()), false);
        for (int i : changed)
            selected[static_cast<std::size_t>(i)] = true;
        itemIndex = changed.front();
    }
    m_strip.RestoreDocument(std::move(document), selected, itemIndex);
}
