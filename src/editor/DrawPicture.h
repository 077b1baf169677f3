// TDrawPicture: the picture of the frame editor, its canvas (whose pen, brush and font are
// the editor's, shared with the scripting object) and the undo history of one editing.
//
// Undo keeps a second copy of the picture as it stood after the last recorded step. Commit
// compares the two, keeps the pixels of the changed rectangle as they were, and records
// that as one step; so any drawing, by a tool, a gadget or a script, becomes one step
// without saying in advance what it will touch. When the memory budget cannot hold that
// copy, the editor still works and only Undo is off for this editing.
#pragma once

#include "graphics/Bitmap.h"
#include "graphics/canvas/Canvas.h"
#include "graphics/canvas/PictureTarget.h"
#include "platform/UndoHistory.h"

#include <functional>
#include <string>

class TDrawPicture : public TPictureTarget {
public:
    TDrawPicture();
    TDrawPicture(const TDrawPicture&) = delete;
    TDrawPicture& operator=(const TDrawPicture&) = delete;

    // --- the picture --------------------------------------------------------------------
    TCanvas& Canvas() override { return m_canvas; }
    TBitmap& Picture() override { return m_bitmap; }
    const TBitmap& Bitmap() const { return m_bitmap; }
    int Width() const { return m_bitmap.Width(); }
    int Height() const { return m_bitmap.Height(); }
    // Shows a change made from outside (a script) and records it as one step.
    void PictureChanged() override;

    // Tells the view which area to show again; the picture's size may have changed.
    std::function<void(const TRect& area)> OnChanged;
    void Changed(const TRect& area);
    void ChangedAll() { Changed(TRect(0, 0, Width(), Height())); }

    // --- hand-over with the frame ---------------------------------------------------------
    // The picture always has the frame's size: zoom only changes how the window shows it.
    // The frame's pixels become the picture (24 bits); the undo history starts afresh.
    // Throws EOutOfMemory, keeping the old picture, when the copy does not fit the budget.
    void Load(const TBitmap& frame);
    // Update Frame: the picture's pixels copied into `frame` at (0, 0), as they are.
    void StoreInto(TBitmap& frame) const;
    // Whether Update Frame would change `frame`'s pixels: the picture differs from it
    // (read as 24 bits) or has another size. Drawing not yet recorded counts too.
    bool DiffersFrom(const TBitmap& frame) const;

    // --- undo -----------------------------------------------------------------------------
    // Records everything drawn since the last step as one step named `name`; nothing when
    // no pixel changed. Returns true when a step was recorded.
    bool Commit(const std::string& name);
    void Undo();
    void Redo();
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // False when the memory budget could not hold the copy undo compares against.
    bool UndoAvailable() const { return m_undoOn; }
    TUndoHistory& History() { return m_history; }
    const TUndoHistory& History() const { return m_history; }

private:
    class TAreaStep;
    class TPictureStep;
    friend class TAreaStep;
    friend class TPictureStep;

    // Makes the comparison copy equal to the picture; turns undo off when it cannot.
    void resetCopy();
    // Rectangle of the pixels that differ from the comparison copy (empty when none).
    TRect changedArea() const;
    // Exchanges the pixels of `area` with `saved` (rows of area.Width() x 3 bytes), and
    // brings the comparison copy along.
    void swapArea(const TRect& area, TUndoBytes& saved);
    // Exchanges the whole picture with `other`.
    void swapPicture(TBitmap& other);

    TBitmap m_bitmap;
    TCanvas m_canvas;
    TBitmap m_copy; // the picture as of the last step
    bool m_undoOn = true;
    TUndoHistory m_history;
};
