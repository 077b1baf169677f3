// TFrameStrip: the animation as an ordered strip of frames, plus the values the main
// window keeps for the whole run (frame size, delays, loop count, wizard settings, the
// shared WorkBitmap and the wizard result list wizlist). A plain class: no widgets and no
// prompts. Windows show it through the change notifications; commands that ask the user
// something live in StripCommands.
#pragma once

#include <exception>

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

// One frame: the list entry (name "=" delay text) and its picture. The bitmap's
// transparency flag is the frame's transparency flag.
struct TFrameRecord {
    std::string Name;      // "Frame" + counter at creation, never reused within a strip
    std::string DelayText; // as typed; reads as 30 when it is not a whole number
    TBitmap Bitmap;
    int Left = 0;          // position in the strip: only a display of the order
    bool Selected = false;
    // Changes whenever the picture or its transparency changes; unique within the run, so
    // views can keep what they drew from it until it changes.
    std::uint64_t Version = 0;

    std::string EntryText() const { return Name + "=" + DelayText; }
};

// What changed, so a view repaints only what it must.
enum class TStripChange {
    Frames,    // frames added, removed, reordered or re-laid
    Pixels,    // a frame's picture or transparency changed
    Entries,   // entry texts (delays) changed
    Selection, // item index or selection changed
};


class TFrameStrip {
public:
    TFrameStrip();

    // --- the strip -------------------------------------------------------------------
    int Count() const { return static_cast<int>(m_frames.size()); }
    bool Empty() const { return m_frames.empty(); }
    // The frame of list entry i (its "image control"). Throws EInvalidArgument when i is
    // outside the list.
    TFrameRecord& FindFrameImage(int i);
    const TFrameRecord& FindFrameImage(int i) const;
    // Index of the entry with that name, -1 when none.
    int IndexOfName(const std::string& name) const;
    std::string EntryText(int i) const { return FindFrameImage(i).EntryText(); }
    // Delay of entry i in hundredths of a second; 30 when the text is not a number.
    int GetFrameDelay(int i) const;

    // --- selection -------------------------------------------------------------------
    // The caret entry single-frame commands act on; -1 when none.
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int i);
    bool IsSelected(int i) const { return FindFrameImage(i).Selected; }
    void SetSelected(int i, bool on);
    void ClearSelection();
    std::vector<int> SelectedIndices() const;
    int SelectedCount() const;
    // A click on a frame image or list entry: it becomes the item index and the only
    // selected entry.
    void SelectOnly(int i);

    // --- WorkBitmap --------------------------------------------------------------------
    // Copies (0, 0, FrameWidth, FrameHeight) of frame i into WorkBitmap (which keeps its
    // size and becomes 24-bit if it was not, so the copy is exact).
    void LoadWorkBitmap(int i);
    // Sizes frame i to FrameWidth x FrameHeight and copies WorkBitmap's top-left part in.
    void StoreWorkBitmap(int i);
    // WorkBitmap := FrameWidth x FrameHeight, 24-bit, white.
    void ClearWorkBitmap();

    // --- frame creation and removal ---------------------------------------------------
    // New Frame once the size is known: a white frame right after the item index (or
    // appended), which becomes the item index and the selection. Returns its index.
    int NewFrame();
    // A copy of the item index frame right after it, with DefaultDelay and the
    // DefTrans state. Nothing when no frame is selected; returns the new index or -1.
    int Duplicate();
    // WorkBitmap as a new frame right after the item index; the new entry is selected
    // and becomes the item index. Nothing (-1) when no item index is set.
    int InsertFrameAfterSelection();
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
    // Re-lays the strip in list order: entry i at i x (FrameWidth + 5).
    void ArrangeFrames();
    // Drag and drop: the entry `from` moves to `to`, the entries between shift by one.
    // Out-of-range indices do nothing. The moved entry stays the item index.
    void MoveFrame(int from, int to);

    // --- frame properties ---------------------------------------------------------------
    void SetDelayText(int i, const std::string& text);
    void SetAllDelayTexts(const std::string& text);
    bool IsTransparent(int i) const { return FindFrameImage(i).Bitmap.Transparent(); }
    void SetTransparent(int i, bool on);
    // Tells the views that frame i's pixels were changed in place.
    void PixelsChanged(int i);

    // --- undo ---------------------------------------------------------------------------
    // Hands every frame record out, the strip left empty and nothing told to the views;
    // RestoreFrames follows at once (Undo and Redo reuse the pictures that did not change).
    std::vector<TFrameRecord> ReleaseFrames();
    // The strip becomes `frames` (names, delays, pictures and versions as they were) with
    // `itemIndex` as the item index, and is laid out again.
    void RestoreFrames(std::vector<TFrameRecord> frames, int itemIndex);

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

    // --- values kept for the whole run -------------------------------------------------
    int FrameCounter = 1;
    int FrameWidth = 0;
    int FrameHeight = 0;
    int NewFrameWidth = 120;
    int NewFrameHeight = 60;
    int DefaultDelay = 10;
    int LoopCount = 0;
    int WizardFrameCount = 10;
    int RotationAngle = 90;
    bool DefTrans = false; // the check state of Options > Default Transparent
    TFontChoice TextWizardFont{"Arial", 12, 0, clBlack};
    std::vector<std::string> TextWizardText{"Anivor"};
    TColor AccentColor = 255;
    TPoint TextPosition;
    TPoint PopupPoint;
    TBitmap WorkBitmap;
    std::string LastOpenedFile;

private:
    // Creates a frame at `index` ("Frame" + FrameCounter, DefaultDelay, DefTrans) with a
    // copy of `picture` sized to the frame size, or without one a white bitmap of the frame
    // size that the caller fills (a picture to be stored is not preceded by a blank).
    // A new frame with a copy of `picture`, the pixels of `taken`, or a white page.
    TFrameRecord& createFrame(int index, const TBitmap* picture = nullptr, TBitmap* taken = nullptr);
    void notify(TStripChange change);
    void touch(TFrameRecord& frame) { frame.Version = ++m_lastVersion; }
    bool validIndex(int i) const { return i >= 0 && i < Count(); }

    std::vector<TFrameRecord> m_frames;
    int m_itemIndex = -1;
    std::uint64_t m_lastVersion = 0;
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

