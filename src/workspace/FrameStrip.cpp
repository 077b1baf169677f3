#include "FrameStrip.h"

#include "graphics/Exception.h"

#include <algorithm>

TFrameStrip::TFrameStrip() = default;

TFrameRecord& TFrameStrip::FindFrameImage(int i)
{
    if (!validIndex(i))
        throw EInvalidArgument("List index out of bounds (" + std::to_string(i) + ")");
    return m_frames[static_cast<std::size_t>(i)];
}

const TFrameRecord& TFrameStrip::FindFrameImage(int i) const
{
    return const_cast<TFrameStrip*>(this)->FindFrameImage(i);
}

int TFrameStrip::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_frames[static_cast<std::size_t>(i)].Name == name)
            return i;
    return -1;
}

int TFrameStrip::GetFrameDelay(int i) const
{
    return StrToIntDef(FindFrameImage(i).DelayText, 30);
}

void TFrameStrip::SetItemIndex(int i)
{
    if (!validIndex(i))
        i = -1;
    if (i == m_itemIndex)
        return;
    m_itemIndex = i;
    notify(TStripChange::Selection);
}

void TFrameStrip::SetSelected(int i, bool on)
{
    TFrameRecord& f = FindFrameImage(i);
    if (f.Selected == on)
        return;
    f.Selected = on;
    notify(TStripChange::Selection);
}

void TFrameStrip::ClearSelection()
{
    bool changed = false;
    for (TFrameRecord& f : m_frames) {
        changed = changed || f.Selected;
        f.Selected = false;
    }
    if (changed)
        notify(TStripChange::Selection);
}

std::vector<int> TFrameStrip::SelectedIndices() const
{
    std::vector<int> out;
    for (int i = 0; i < Count(); ++i)
        if (m_frames[static_cast<std::size_t>(i)].Selected)
            out.push_back(i);
    return out;
}

int TFrameStrip::SelectedCount() const
{
    return static_cast<int>(std::count_if(m_frames.begin(), m_frames.end(), [](const TFrameRecord& f) { return f.Selected; }));
}

void TFrameStrip::SelectOnly(int i)
{
    if (!validIndex(i))
        return;
    for (int k = 0; k < Count(); ++k)
        m_frames[static_cast<std::size_t>(k)].Selected = (k == i);
    m_itemIndex = i;
    notify(TStripChange::Selection);
}

void TFrameStrip::LoadWorkBitmap(int i)
{
    const TFrameRecord& f = FindFrameImage(i);
    // A palette WorkBitmap (an opened GIF frame leaves one) would squeeze the frame onto
    // its palette: the copy is made at 24 bits.
    if (WorkBitmap.PixelFormat() != TPixelFormat::pf24bit)
        WorkBitmap.SetPixelFormat(TPixelFormat::pf24bit);
    WorkBitmap.CopyRect(TPoint(0, 0), f.Bitmap, TRect(0, 0, FrameWidth, FrameHeight));
}

void TFrameStrip::StoreWorkBitmap(int i)
{
    TFrameRecord& f = FindFrameImage(i);
    // A palette frame would squeeze true-colour work onto its palette: store at 24 bits.
    if (f.Bitmap.PixelFormat() != WorkBitmap.PixelFormat() && WorkBitmap.PixelFormat() == TPixelFormat::pf24bit)
        f.Bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    f.Bitmap.SetSize(FrameWidth, FrameHeight);
    f.Bitmap.CopyRect(TPoint(0, 0), WorkBitmap, TRect(0, 0, FrameWidth, FrameHeight));
    touch(f);
    notify(TStripChange::Pixels);
}

void TFrameStrip::ClearWorkBitmap()
{
    // White whatever palette WorkBitmap had: a fresh 24-bit picture.
    if (WorkBitmap.PixelFormat() != TPixelFormat::pf24bit)
        WorkBitmap = TBitmap();
    WorkBitmap.SetSize(FrameWidth, FrameHeight);
    WorkBitmap.Fill(clWhite);
}

TFrameRecord& TFrameStrip::createFrame(int index, const TBitmap* picture, TBitmap* taken)
{
    // The size is checked before anything changes, so a refused frame leaves no trace.
    CheckBitmapSize(FrameWidth, FrameHeight, "Frame");
    TFrameRecord f;
    f.Name = "Frame" + std::to_string(FrameCounter);
    f.DelayText = std::to_string(DefaultDelay);
    if (taken) {
        f.Bitmap = std::move(*taken);
        f.Bitmap.SetSize(FrameWidth, FrameHeight);
    } else if (picture) {
        f.Bitmap = *picture;
        f.Bitmap.SetSize(FrameWidth, FrameHeight);
    } else {
        f.Bitmap = TBitmap(FrameWidth, FrameHeight);
        f.Bitmap.Fill(clWhite);
    }
    f.Bitmap.SetTransparent(DefTrans);
    f.Left = index * (FrameWidth + 5);
    touch(f);
    ++FrameCounter;
    index = std::clamp(index, 0, Count());
    // Keep the item index on the same frame when an entry goes in before it.
    if (m_itemIndex >= index)
        ++m_itemIndex;
    return *m_frames.insert(m_frames.begin() + index, std::move(f));
}

int TFrameStrip::NewFrame()
{
    const int at = (!Empty() && m_itemIndex >= 0) ? m_itemIndex + 1 : Count();
    const TStripUpdate update(*this);
    createFrame(at);
    ClearWorkBitmap();
    StoreWorkBitmap(at);
    SelectOnly(at);
    ArrangeFrames();
    return at;
}

int TFrameStrip::Duplicate()
{
    if (m_itemIndex < 0)
        return -1;
    const int source = m_itemIndex;
    const int at = source + 1;
    const TStripUpdate update(*this);
    LoadWorkBitmap(source);
    createFrame(at);
    StoreWorkBitmap(at);
    ArrangeFrames();
    return at;
}

int TFrameStrip::InsertFrameAfterSelection()
{
    if (m_itemIndex < 0)
        return -1;
    const int at = m_itemIndex + 1;
    const TStripUpdate update(*this);
    createFrame(at);
    StoreWorkBitmap(at);
    m_frames[static_cast<std::size_t>(at)].Selected = true;
    m_itemIndex = at;
    notify(TStripChange::Selection);
    ArrangeFrames();
    return at;
}

int TFrameStrip::Append(const TBitmap& bitmap)
{
    TBitmap copy = bitmap;
    return Append(std::move(copy));
}

int TFrameStrip::Append(TBitmap&& bitmap)
{
    const int at = Count();
    const TStripUpdate update(*this);
    TFrameRecord& f = createFrame(at, nullptr, &bitmap);
    touch(f);
    m_itemIndex = at;
    notify(TStripChange::Frames);
    notify(TStripChange::Selection);
    return at;
}

int TFrameStrip::InsertWizardFrames()
{
    if (m_wizlist.empty() || m_itemIndex < 0)
        return 0;
    const TStripUpdate update(*this);
    int inserted = 0;
    ClearSelection();
    // The list is not emptied, so the command can be repeated. A 24-bit image of the frame
    // size becomes its frame in one copy; others go through WorkBitmap as one frame would.
    for (const TBitmap& image : m_wizlist) {
        if (image.PixelFormat() == TPixelFormat::pf24bit && image.Width() == FrameWidth && image.Height() == FrameHeight) {
            const int at = m_itemIndex + 1;
            TFrameRecord& f = createFrame(at, &image);
            f.Selected = true;
            m_itemIndex = at;
            notify(TStripChange::Selection);
            ++inserted;
        } else {
            WorkBitmap = image;
            if (InsertFrameAfterSelection() >= 0)
                ++inserted;
        }
    }
    // WorkBitmap holds the last image, as after inserting them one by one.
    WorkBitmap = m_wizlist.back();
    ArrangeFrames();
    return inserted;
}

void TFrameStrip::DeleteSelected()
{
    if (SelectedCount() == 0)
        return;
    int before = 0; // surviving entries in front of the item index
    for (int i = 0; i < Count() && i < m_itemIndex; ++i)
        if (!m_frames[static_cast<std::size_t>(i)].Selected)
            ++before;
    std::erase_if(m_frames, [](const TFrameRecord& f) { return f.Selected; });
    if (m_itemIndex >= 0)
        m_itemIndex = Empty() ? -1 : std::min(before, Count() - 1);
    const TStripUpdate update(*this);
    notify(TStripChange::Frames);
    notify(TStripChange::Selection);
    ArrangeFrames();
}

void TFrameStrip::ClearFrames()
{
    if (Empty())
        return;
    m_frames.clear();
    m_itemIndex = -1;
    FrameCounter = 1;
    const TStripUpdate update(*this);
    notify(TStripChange::Frames);
    notify(TStripChange::Selection);
}

void TFrameStrip::ArrangeFrames()
{
    for (int i = 0; i < Count(); ++i)
        m_frames[static_cast<std::size_t>(i)].Left = i * (FrameWidth + 5);
    notify(TStripChange::Frames);
}

void TFrameStrip::MoveFrame(int from, int to)
{
    if (!validIndex(from) || !validIndex(to) || from == to)
        return;
    TFrameRecord moved = std::move(m_frames[static_cast<std::size_t>(from)]);
    m_frames.erase(m_frames.begin() + from);
    m_frames.insert(m_frames.begin() + to, std::move(moved));
    if (m_itemIndex == from)
        m_itemIndex = to;
    else if (m_itemIndex > from && m_itemIndex <= to)
        --m_itemIndex;
    else if (m_itemIndex < from && m_itemIndex >= to)
        ++m_itemIndex;
    const TStripUpdate update(*this);
    notify(TStripChange::Selection);
    ArrangeFrames();
}

void TFrameStrip::SetDelayText(int i, const std::string& text)
{
    FindFrameImage(i).DelayText = text;
    notify(TStripChange::Entries);
}

void TFrameStrip::SetAllDelayTexts(const std::string& text)
{
    if (Empty())
        return;
    for (TFrameRecord& f : m_frames)
        f.DelayText = text;
    notify(TStripChange::Entries);
}

void TFrameStrip::SetTransparent(int i, bool on)
{
    TFrameRecord& f = FindFrameImage(i);
    f.Bitmap.SetTransparent(on);
    touch(f);
    notify(TStripChange::Pixels);
}

void TFrameStrip::PixelsChanged(int i)
{
    if (!validIndex(i))
        return;
    touch(m_frames[static_cast<std::size_t>(i)]);
    notify(TStripChange::Pixels);
}

std::vector<TFrameRecord> TFrameStrip::ReleaseFrames()
{
    std::vector<TFrameRecord> frames = std::move(m_frames);
    m_frames.clear();
    m_itemIndex = -1;
    return frames;
}

void TFrameStrip::RestoreFrames(std::vector<TFrameRecord> frames, int itemIndex)
{
    m_frames = std::move(frames);
    // Versions stay those the pictures had, so views keep what they drew; new changes
    // still get versions of their own.
    for (const TFrameRecord& f : m_frames)
        m_lastVersion = std::max(m_lastVersion, f.Version);
    m_itemIndex = validIndex(itemIndex) ? itemIndex : -1;
    const TStripUpdate update(*this);
    notify(TStripChange::Pixels);
    notify(TStripChange::Entries);
    notify(TStripChange::Selection);
    ArrangeFrames();
}

void TFrameStrip::ResetWizardList()
{
    m_wizlist.clear();
    m_wizWidth = FrameWidth;
    m_wizHeight = FrameHeight;
}

void TFrameStrip::AddWizardImage(TBitmap bitmap)
{
    m_wizlist.push_back(std::move(bitmap));
}

int TFrameStrip::Subscribe(Observer observer)
{
    const int id = m_nextObserverId++;
    m_observers.push_back({id, std::move(observer)});
    return id;
}

void TFrameStrip::Unsubscribe(int id)
{
    std::erase_if(m_observers, [id](const Subscription& s) { return s.Id == id; });
}

void TFrameStrip::BeginUpdate()
{
    ++m_updateLock;
}

void TFrameStrip::EndUpdate()
{
    if (m_updateLock == 0 || --m_updateLock > 0)
        return;
    const unsigned pending = m_pending;
    m_pending = 0;
    for (TStripChange c : {TStripChange::Frames, TStripChange::Pixels, TStripChange::Entries, TStripChange::Selection})
        if (pending & (1u << static_cast<unsigned>(c)))
            notify(c);
}

void TFrameStrip::notify(TStripChange change)
{
    if (m_updateLock > 0) {
        m_pending |= 1u << static_cast<unsigned>(change);
        return;
    }
    // A copy: an observer may unsubscribe while being told.
    const std::vector<Subscription> observers = m_observers;
    for (const Subscription& s : observers)
        s.Fn(change);
}
