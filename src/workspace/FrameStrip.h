// TFrameStrip: the animation being edited. It holds the document (TStripDocument: frames,
// frame size, next frame number, loop count) and beside it the session: the selection, the
// wizard result list wizlist and the values the run keeps (TStripSession). A plain class:
// no widgets and no prompts. Windows show it through the change notifications; commands
// that ask the user something live in StripCommands.
#pragma once

#include <exception>

#include "StripDocument.h"
#include "graphics/Bitmap.h"
#include "graphics/NumberRules.h"
#include "graphics/Types.h"
#include "platform/Ui.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Largest frame side New Frame accepts. 16384 x 16384 is exactly the bitmap type's limit
// of 2^28 pixels, so any size within it can be allocated.
constexpr int kMaxFrameSide = 16384;

// What changed, so a view repaints only what it must.
enum class TStripChange {
    Frames,    // frames added, removed, reordered or re-laid
    Pixels,    // a frame's picture or transparency changed
    Entries,   // entry texts (delays) changed
    Selection, // item index or selection changed
};

// The values the main window keeps for the whole run: what prompts propose, what new
// frames take, the wizards' settings. Not part of the document.
struct TStripSession {
    int NewFrameWidth = 120;
    int NewFrameHeight = 60;
    int DefaultDelay = 10;
    int WizardFrameCount = 10;
    int RotationAngle = 90;
    bool DefTrans = false; // the check state of Options > Default Transparent
    TFontChoice TextWizardFont{"Arial", 12, 0, clBlack};
    std::vector<std::string> TextWizardText{"Anivor"};
    TColor AccentColor = 255;
    TPoint TextPosition;
};

class TFrameStrip {
public:
    TFrameStrip();

    // --- the document ------------------------------------------------------------------
    // The document as it stands: a copy that shares the frames' pictures.
    const TStripDocument& Document() const { return m_doc; }
    // The strip becomes `document` with `itemIndex` as the item index and no frame
    // selected but that one; views are told everything changed (Open Project, recovery).
    void SetDocument(TStripDocument document, int itemIndex = -1);
    int FrameWidth() const { return m_doc.FrameWidth; }
    int FrameHeight() const { return m_doc.FrameHeight; }
    // The size every frame has. Changing it does not touch the frames: callers set it on
    // an empty strip (the first frame sets it).
    void SetFrameSize(int width, int height);
    int FrameCounter() const { return m_doc.FrameCounter; }
    int LoopCount() const { return m_doc.LoopCount; }
    void SetLoopCount(int loops) { m_doc.LoopCount = loops; }

    // --- the strip -------------------------------------------------------------------
    int Count() const { return m_doc.Count(); }
    bool Empty() const { return m_doc.Frames.empty(); }
    // The frame of list entry i (its "image control"). Throws EInvalidArgument when i is
    // outside the list.
    const TFrameRecord& FindFrameImage(int i) const;
    // Index of the entry with that name, -1 when none.
    int IndexOfName(const std::string& name) const;
    std::string EntryText(int i) const { return FindFrameImage(i).EntryText(); }
    // Delay of entry i in hundredths of a second; 30 when the text is not a number.
    int GetFrameDelay(int i) const;
    // Where frame i sits in the strip: i x (FrameWidth + 5).
    int FrameLeft(int i) const { return i * (m_doc.FrameWidth + 5); }

    // --- selection -------------------------------------------------------------------
    // The caret entry single-frame commands act on; -1 when none.
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int i);
    bool IsSelected(int i) const;
    void SetSelected(int i, bool on);
    void ClearSelection();
    std::vector<int> SelectedIndices() const;
    int SelectedCount() const;
    // A click on a frame image or list entry: it becomes the item index and the only
    // selected entry.
    void SelectOnly(int i);

    // --- pictures ------------------------------------------------------------------------
    // A 24-bit copy of frame i's picture at the frame size (its top-left part, white where
    // the picture is smaller), transparency flag off.
    TBitmap FramePicture(int i) const;
    // Frame i's picture becomes the top-left FrameWidth x FrameHeight of `picture` (at 24
    // bits unless both are palette pictures), its transparency flag kept.
    void StorePicture(int i, const TBitmap& picture);
    // Frame i's picture becomes `picture` as it is (size, format and transparency flag).
    void SetPicture(int i, TBitmap picture);

    // --- frame creation and removal ---------------------------------------------------
    // New Frame once the size is known: a white frame right after the item index (or
    // appended), which becomes the item index and the selection. Returns its index.
    int NewFrame();
    // A copy of the item index frame right after it, with DefaultDelay and the
    // DefTrans state. Nothing when no frame is selected; returns the new index or -1.
    int Duplicate();
    // `picture` (its top-left frame-size part) as a new frame right after the item index;
    // the new entry is selected and becomes the item index. Nothing (-1) when no item
    // index is set.
    int InsertFrameAfterSelection(const TBitmap& picture);
    // `bitmap` (sized to the frame size) as a new last frame that becomes the item index.
    int Append(const TBitmap& bitmap);
    // The same, taking the pixels of a bitmap of the frame size without a copy.
    int Append(TBitmap&& bitmap);
    // Inserts every image of wizlist after the item index, in order; they end up selected.
    // Nothing when wizlist is empty or no frame is selected. Returns how many were inserted.
    int InsertWizardFrames();
    // Removes every selected frame. FrameCounter is not changed.
    void DeleteSelected();
    // Removes every frame and restarts the numbering; nothing at all when already empty.
    void ClearFrames();
    // Re-lays the strip in list order (the views place entry i at FrameLeft(i)).
    void ArrangeFrames();
    // Drag and drop: the entry `from` moves to `to`, the entries between shift by one.
    // Out-of-range indices do nothing. The moved entry stays the item index.
    void MoveFrame(int from, int to);

    // --- frame properties ---------------------------------------------------------------
    void SetDelayText(int i, const std::string& text);
    void SetAllDelayTexts(const std::string& text);
    bool IsTransparent(int i) const { return FindFrameImage(i).Transparent(); }
    void SetTransparent(int i, bool on);

    // --- undo ---------------------------------------------------------------------------
    // The strip becomes `document` (names, delays, pictures and versions as they were)
    // with `selected` (one flag a frame; missing ones are off) and `itemIndex`, and is
    // laid out again. Versions stay those the frames had, so views keep what they drew.
    void RestoreDocument(TStripDocument document, std::vector<bool> selected, int itemIndex);

    // --- wizard result list -------------------------------------------------------------
    // Empties wizlist and gives it the current frame size.
    void ResetWizardList();
    void AddWizardImage(TBitmap bitmap);
    const std::vector<TBitmap>& WizardImages() const { return m_wizlist; }
    int WizardImageWidth() const { return m_wizWidth; }
    int WizardImageHeight() const { return m_wizHeight; }

    // --- change notifications -------------------------------------------------------------
    using Observer = std::function<void(TStripChange)>;
    int Subscribe(Observer observer);
    void Unsubscribe(int id);
    // Between BeginUpdate and EndUpdate notifications are collected and sent once each.
    void BeginUpdate();
    void EndUpdate();

    // --- the session ------------------------------------------------------------------------
    TStripSession Session;

private:
    // Creates a frame at `index` ("Frame" + FrameCounter, DefaultDelay, DefTrans) with a
    // copy of `picture` sized to the frame size, or without one a white bitmap of the frame
    // size. With `taken` the frame takes its pixels without a copy.
    TFrameRecord& createFrame(int index, const TBitmap* picture = nullptr, TBitmap* taken = nullptr);
    void notify(TStripChange change);
    static std::uint64_t nextVersion() { return NewPictureVersion(); }
    bool validIndex(int i) const { return i >= 0 && i < Count(); }
    TFrameRecord& frame(int i) { return m_doc.Frames[static_cast<std::size_t>(i)]; }

    TStripDocument m_doc;
    std::vector<char> m_selected; // one flag a frame
    int m_itemIndex = -1;
    std::vector<TBitmap> m_wizlist;
    int m_wizWidth = 0;
    int m_wizHeight = 0;

    struct Subscription {
        int Id;
        Observer Fn;
    };
    std::vector<Subscription> m_observers;
    int m_nextObserverId = 1;
    int m_updateLock = 0;
    unsigned m_pending = 0;
};

// Groups the notifications of one change: BeginUpdate now, EndUpdate on every way out.
class TStripUpdate {
public:
    explicit TStripUpdate(TFrameStrip& strip) : m_strip(strip), m_unwinding(std::uncaught_exceptions())
    {
        m_strip.BeginUpdate();
    }
    ~TStripUpdate() noexcept(false)
    {
        try {
            m_strip.EndUpdate();
        } catch (...) {
            // Never let a failing view replace the exception already on its way out.
            if (std::uncaught_exceptions() == m_unwinding)
                throw;
        }
    }
    TStripUpdate(const TStripUpdate&) = delete;
    TStripUpdate& operator=(const TStripUpdate&) = delete;

private:
    TFrameStrip& m_strip;
    int m_unwinding;
};

