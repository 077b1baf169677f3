#include "FrameStrip.h"

#include "graphics/Exception.h"

#include <algorithm>
#include <atomic>

namespace {

// A frame-size 24-bit copy of the top-left of `picture` (white where it is smaller).
TBitmap frameSized(const TBitmap& picture, int width, int height, TPixelFormat format)
{
    if (picture.Width() == width && picture.Height() == height && picture.PixelFormat() == format) {
        TBitmap copy = picture;
        return copy;
    }
    TBitmap out(width, height, format);
    if (format == TPixelFormat::pf8bit)
        out.SetPalette(picture.Palette());
    else
        out.Fill(clWhite);
    out.CopyRect(TPoint(0, 0), picture, TRect(0, 0, width, height));
    return out;
}

} // namespace

std::uint64_t NewPictureVersion()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

TFrameStrip::TFrameStrip() = default;

void TFrameStrip::SetDocument(TStripDocument document, int itemIndex)
{
    std::vector<bool> selected(document.Frames.size(), false);
    if (itemIndex >= 0 && itemIndex < document.Count())
        selected[static_cast<std::size_t>(itemIndex)] = true;
    RestoreDocument(std::move(document), std::move(selected), itemIndex);
}

void TFrameStrip::SetFrameSize(int width, int height)
{
    m_doc.FrameWidth = width;
    m_doc.FrameHeight = height;
}

const TFrameRecord& TFrameStrip::FindFrameImage(int i) const
{
    if (!validIndex(i))
        throw EInvalidArgument("List index out of bounds (" + std::to_string(i) + ")");
    return m_doc.Frames[static_cast<std::size_t>(i)];
}

int TFrameStrip::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_doc.Frames[static_cast<std::size_t>(i)].Name == name)
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

bool TFrameStrip::IsSelected(int i) const
{
    FindFrameImage(i);
    return m_selected[static_cast<std::size_t>(i)] != 0;
}

void TFrameStrip::SetSelected(int i, bool on)
{
    if (IsSelected(i) == on)
        return;
    m_selected[static_cast<std::size_t>(i)] = on;
    notify(TStripChange::Selection);
}

void TFrameStrip::ClearSelection()
{
    if (std::none_of(m_selected.begin(), m_selected.end(), [](char s) { return s != 0; }))
        return;
    std::fill(m_selected.begin(), m_selected.end(), 0);
    notify(TStripChange::Selection);
}

std::vector<int> TFrameStrip::SelectedIndices() const
{
    std::vector<int> out;
    for (int i = 0; i < Count(); ++i)
        if (m_selected[static_cast<std::size_t>(i)])
            out.push_back(i);
    return out;
}

int TFrameStrip::SelectedCount() const
{
    return static_cast<int>(std::count_if(m_selected.begin(), m_selected.end(), [](char s) { return s != 0; }));
}

void TFrameStrip::SelectOnly(int i)
{
    if (!validIndex(i))
        return;
    std::fill(m_selected.begin(), m_selected.end(), 0);
    m_selected[static_cast<std::size_t>(i)] = 1;
    m_itemIndex = i;
    notify(TStripChange::Selection);
}

TBitmap TFrameStrip::FramePicture(int i) const
{
    const TBitmap& picture = FindFrameImage(i).Bitmap();
    TBitmap copy = frameSized(picture, FrameWidth(), FrameHeight(), TPixelFormat::pf24bit);
    copy.SetTransparent(false);
    return copy;
}

void TFrameStrip::StorePicture(int i, const TBitmap& picture)
{
    const TFrameRecord& f = FindFrameImage(i);
    // A palette frame would squeeze true-colour work onto its palette: store at 24 bits.
    const TPixelFormat format = picture.PixelFormat() == TPixelFormat::pf8bit && f.Bitmap().PixelFormat() == TPixelFormat::pf8bit
                                    ? TPixelFormat::pf8bit
                                    : TPixelFormat::pf24bit;
    TBitmap stored = frameSized(picture, FrameWidth(), FrameHeight(), format);
    stored.SetTransparent(f.Transparent());
    SetPicture(i, std::move(stored));
}

void TFrameStrip::SetPicture(int i, TBitmap picture)
{
    FindFrameImage(i);
    TFrameRecord& f = frame(i);
    f.Picture = std::make_shared<const TBitmap>(std::move(picture));
    f.Version = nextVersion();
    notify(TStripChange::Pixels);
}

TFrameRecord& TFrameStrip::createFrame(int index, const TBitmap* picture, TBitmap* taken)
{
    // The size is checked before anything changes, so a refused frame leaves no trace.
    CheckBitmapSize(FrameWidth(), FrameHeight(), "Frame");
    TBitmap bitmap;
    if (taken) {
        bitmap = std::move(*taken);
        bitmap.SetSize(FrameWidth(), FrameHeight());
    } else if (picture) {
        bitmap = *picture;
        bitmap.SetSize(FrameWidth(), FrameHeight());
    } else {
        bitmap = TBitmap(FrameWidth(), FrameHeight());
        bitmap.Fill(clWhite);
    }
    bitmap.SetTransparent(Session.DefTrans);
    TFrameRecord f;
    f.Name = "Frame" + std::to_string(m_doc.FrameCounter);
    f.DelayText = std::to_string(Session.DefaultDelay);
    f.Picture = std::make_shared<const TBitmap>(std::move(bitmap));
    f.Version = nextVersion();
    ++m_doc.FrameCounter;
    index = std::clamp(index, 0, Count());
    // Keep the item index on the same frame when an entry goes in before it.
    if (m_itemIndex >= index)
        ++m_itemIndex;
    m_selected.insert(m_selected.begin() + index, 0);
    notify(TStripChange::Frames);
    return *m_doc.Frames.insert(m_doc.Frames.begin() + index, std::move(f));
}

int TFrameStrip::NewFrame()
{
    const int at = (!Empty() && m_itemIndex >= 0) ? m_itemIndex + 1 : Count();
    const TStripUpdate update(*this);
    createFrame(at);
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
    const TBitmap picture = FramePicture(source);
    createFrame(at, &picture);
    ArrangeFrames();
    return at;
}

int TFrameStrip::InsertFrameAfterSelection(const TBitmap& picture)
{
    if (m_itemIndex < 0)
        return -1;
    const int at = m_itemIndex + 1;
    const TStripUpdate update(*this);
    createFrame(at);
    StorePicture(at, picture);
    m_selected[static_cast<std::size_t>(at)] = 1;
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
    createFrame(at, nullptr, &bitmap);
    m_itemIndex = at;
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
    // size becomes its frame in one copy; others are stored as one frame would be.
    for (const TBitmap& image : m_wizlist) {
        if (image.PixelFormat() == TPixelFormat::pf24bit && image.Width() == FrameWidth() && image.Height() == FrameHeight()) {
            const int at = m_itemIndex + 1;
            createFrame(at, &image);
            m_selected[static_cast<std::size_t>(at)] = 1;
            m_itemIndex = at;
            notify(TStripChange::Selection);
            ++inserted;
        } else if (InsertFrameAfterSelection(image) >= 0) {
            ++inserted;
        }
    }
    ArrangeFrames();
    return inserted;
}

void TFrameStrip::DeleteSelected()
{
    if (SelectedCount() == 0)
        return;
    int before = 0; // surviving entries in front of the item index
    for (int i = 0; i < Count() && i < m_itemIndex; ++i)
        if (!m_selected[static_cast<std::size_t>(i)])
            ++before;
    std::vector<TFrameRecord> kept;
    for (int i = 0; i < Count(); ++i)
        if (!m_selected[static_cast<std::size_t>(i)])
            kept.push_back(std::move(frame(i)));
    m_doc.Frames = std::move(kept);
    m_selected.assign(m_doc.Frames.size(), 0);
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
    m_doc.Frames.clear();
    m_selected.clear();
    m_itemIndex = -1;
    m_doc.FrameCounter = 1;
    const TStripUpdate update(*this);
    notify(TStripChange::Frames);
    notify(TStripChange::Selection);
}

void TFrameStrip::ArrangeFrames()
{
    notify(TStripChange::Frames);
}

void TFrameStrip::MoveFrame(int from, int to)
{
    if (!validIndex(from) || !validIndex(to) || from == to)
        return;
    TFrameRecord moved = std::move(frame(from));
    const char selected = m_selected[static_cast<std::size_t>(from)];
    m_doc.Frames.erase(m_doc.Frames.begin() + from);
    m_doc.Frames.insert(m_doc.Frames.begin() + to, std::move(moved));
    m_selected.erase(m_selected.begin() + from);
    m_selected.insert(m_selected.begin() + to, selected);
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
    FindFrameImage(i);
    frame(i).DelayText = text;
    notify(TStripChange::Entries);
}

void TFrameStrip::SetAllDelayTexts(const std::string& text)
{
    if (Empty())
        return;
    for (TFrameRecord& f : m_doc.Frames)
        f.DelayText = text;
    notify(TStripChange::Entries);
}

void TFrameStrip::SetTransparent(int i, bool on)
{
    const TFrameRecord& f = FindFrameImage(i);
    if (f.Transparent() == on) {
        // Nothing to copy; the views are still told, as a toggle always repaints.
        frame(i).Version = nextVersion();
        notify(TStripChange::Pixels);
        return;
    }
    TBitmap picture = f.Bitmap();
    picture.SetTransparent(on);
    SetPicture(i, std::move(picture));
}

void TFrameStrip::RestoreDocument(TStripDocument document, std::vector<bool> selected, int itemIndex)
{
    m_doc = std::move(document);
    m_selected.assign(m_doc.Frames.size(), 0);
    for (std::size_t k = 0; k < selected.size() && k < m_selected.size(); ++k)
        m_selected[k] = selected[k];
    // Versions stay those the pictures had, so views keep what they drew.
    m_itemIndex = validIndex(itemIndex) ? itemIndex : -1;
    const TStripUpdate update(*this);
    notify(TStripChange::Frames);
    notify(TStripChange::Pixels);
    notify(TStripChange::Entries);
    notify(TStripChange::Selection);
}

void TFrameStrip::ResetWizardList()
{
    m_wizlist.clear();
    m_wizWidth = FrameWidth();
    m_wizHeight = FrameHeight();
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
