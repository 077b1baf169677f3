#include "DrawPicture.h"

#include "graphics/MemoryBudget.h"

#include <algorithm>
#include <cstring>
#include <utility>

// One step that changed a rectangle of the picture: keeps the other state of its pixels
// and swaps it in and out.
class TDrawPicture::TAreaStep : public TUndoCommand {
public:
    TAreaStep(TDrawPicture& picture, const TRect& area, TUndoBytes saved, std::string name)
        : m_picture(picture), m_area(area), m_saved(std::move(saved)), m_name(std::move(name))
    {
    }
    void Undo() override { m_picture.swapArea(m_area, m_saved); }
    void Redo() override { m_picture.swapArea(m_area, m_saved); }
    std::uint64_t Bytes() const override { return m_saved.Size(); }
    std::string Name() const override { return m_name; }

private:
    TDrawPicture& m_picture;
    TRect m_area;
    TUndoBytes m_saved;
    std::string m_name;
};

// One step that gave the picture another size (from outside: a script): keeps the other
// whole picture.
class TDrawPicture::TPictureStep : public TUndoCommand {
public:
    TPictureStep(TDrawPicture& picture, TBitmap other, std::string name)
        : m_picture(picture), m_other(std::move(other)), m_name(std::move(name))
    {
    }
    void Undo() override { m_picture.swapPicture(m_other); }
    void Redo() override { m_picture.swapPicture(m_other); }
    std::uint64_t Bytes() const override { return MemoryBudget::PictureBytes(m_other.Width(), m_other.Height()); }
    std::string Name() const override { return m_name; }

private:
    TDrawPicture& m_picture;
    TBitmap m_other;
    std::string m_name;
};

TDrawPicture::TDrawPicture() : m_canvas(m_bitmap)
{
}

void TDrawPicture::Changed(const TRect& area)
{
    if (OnChanged)
        OnChanged(area);
}

void TDrawPicture::PictureChanged()
{
    if (m_bitmap.PixelFormat() != TPixelFormat::pf24bit)
        m_bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    ChangedAll();
    Commit("Script");
}

void TDrawPicture::Load(const TBitmap& frame)
{
    m_history.Clear();
    m_copy = TBitmap(); // room for the new picture first
    m_bitmap = frame;
    if (m_bitmap.PixelFormat() != TPixelFormat::pf24bit)
        m_bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    m_bitmap.SetTransparent(false);
    resetCopy();
    ChangedAll();
}

void TDrawPicture::StoreInto(TBitmap& frame) const
{
    if (frame.PixelFormat() != TPixelFormat::pf24bit)
        frame.SetPixelFormat(TPixelFormat::pf24bit);
    frame.CopyRect(TPoint(0, 0), m_bitmap, TRect(0, 0, m_bitmap.Width(), m_bitmap.Height()));
}

bool TDrawPicture::DiffersFrom(const TBitmap& frame) const
{
    const int w = m_bitmap.Width(), h = m_bitmap.Height();
    if (frame.Width() != w || frame.Height() != h)
        return true;
    if (frame.PixelFormat() == TPixelFormat::pf24bit) {
        const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
        for (int y = 0; y < h; ++y)
            if (std::memcmp(m_bitmap.ScanLine(y), frame.ScanLine(y), rowBytes) != 0)
                return true;
        return false;
    }
    // An indexed frame: through its palette, as Load read it.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (m_bitmap.Pixel(x, y) != frame.Pixel(x, y))
                return true;
    return false;
}

void TDrawPicture::resetCopy()
{
    try {
        m_copy = m_bitmap;
        m_undoOn = true;
    } catch (const EOutOfMemory&) {
        m_copy = TBitmap();
        m_undoOn = false;
        m_history.Clear();
    }
}

TRect TDrawPicture::changedArea() const
{
    const int w = m_bitmap.Width(), h = m_bitmap.Height();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    int top = -1, bottom = -1, left = w, right = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* a = m_bitmap.ScanLine(y);
        const std::uint8_t* b = m_copy.ScanLine(y);
        if (std::memcmp(a, b, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        // Only the part of the row not yet known to be changed needs looking at.
        int x = 0;
        while (x < left && std::memcmp(a + 3 * x, b + 3 * x, 3) == 0)
            ++x;
        left = std::min(left, x);
        x = w - 1;
        while (x >= right && std::memcmp(a + 3 * x, b + 3 * x, 3) == 0)
            --x;
        right = std::max(right, x + 1);
    }
    if (top < 0)
        return TRect();
    return TRect(left, top, right, bottom + 1);
}

bool TDrawPicture::Commit(const std::string& name)
{
    if (!m_undoOn)
        return false;
    if (m_copy.Width() != m_bitmap.Width() || m_copy.Height() != m_bitmap.Height()
        || m_copy.PixelFormat() != m_bitmap.PixelFormat()) {
        // The picture was given another size from outside: the whole picture is the step.
        TBitmap old = std::move(m_copy);
        resetCopy();
        if (!m_undoOn)
            return false;
        m_history.Push(std::make_unique<TPictureStep>(*this, std::move(old), name));
        return true;
    }
    const TRect area = changedArea();
    if (area.IsEmpty())
        return false;
    const std::size_t rowBytes = static_cast<std::size_t>(area.Width()) * 3;
    const std::size_t size = rowBytes * static_cast<std::size_t>(area.Height());
    TUndoBytes saved;
    try {
        m_history.MakeRoom(size);
        saved = TUndoBytes(size, "an undo step");
    } catch (const std::exception&) { // EOutOfMemory, or the system had none
        // No room for this step: what came before can no longer be reached either.
        m_history.Clear();
        for (int y = area.Top; y < area.Bottom; ++y)
            std::memcpy(m_copy.ScanLine(y) + 3 * area.Left, m_bitmap.ScanLine(y) + 3 * area.Left, rowBytes);
        return false;
    }
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::uint8_t* copyRow = m_copy.ScanLine(y) + 3 * area.Left;
        std::memcpy(saved.Data() + rowBytes * static_cast<std::size_t>(y - area.Top), copyRow, rowBytes);
        std::memcpy(copyRow, m_bitmap.ScanLine(y) + 3 * area.Left, rowBytes);
    }
    m_history.Push(std::make_unique<TAreaStep>(*this, area, std::move(saved), name));
    return true;
}

void TDrawPicture::Undo()
{
    Commit("Drawing");
    m_history.Undo();
}

void TDrawPicture::Redo()
{
    if (Commit("Drawing"))
        return; // a new change ends what could be redone
    m_history.Redo();
}

void TDrawPicture::swapArea(const TRect& area, TUndoBytes& saved)
{
    const std::size_t rowBytes = static_cast<std::size_t>(area.Width()) * 3;
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::uint8_t* row = m_bitmap.ScanLine(y) + 3 * area.Left;
        std::uint8_t* kept = saved.Data() + rowBytes * static_cast<std::size_t>(y - area.Top);
        std::swap_ranges(row, row + rowBytes, kept);
        std::memcpy(m_copy.ScanLine(y) + 3 * area.Left, row, rowBytes);
    }
    Changed(area);
}

void TDrawPicture::swapPicture(TBitmap& other)
{
    // The copy first: when it is refused, nothing has changed and the step stays.
    TBitmap copy = other;
    std::swap(m_bitmap, other);
    m_copy = std::move(copy);
    ChangedAll();
}
