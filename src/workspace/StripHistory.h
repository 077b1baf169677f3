// TStripHistory: Undo and Redo for the frame strip. After every change the strip's
// document is compared with the state last recorded; what differs (frames added, removed
// or moved, pictures, transparency, delays, the frame size) becomes one step of the shared
// undo history. A state is a copy of the document, whose pictures are shared and never
// changed in place: a frame whose picture did not change is the same picture in the strip
// and in every state, so recording copies no pixels and a step costs only the pictures it
// replaced.
//
// Memory: the pictures only the history still holds (those the strip has replaced or
// removed) are held against the memory budget and stay within MaxBytes (a quarter of the
// limit by default); older steps go first.
#pragma once

#include "FrameStrip.h"
#include "platform/UndoHistory.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The strip as a step takes it back or does it again: the document (the loop count it
// holds is not taken back: Set Loops is no step) and the selection.
struct TStripState {
    TStripDocument Document;
    std::vector<bool> Selected;
    int ItemIndex = -1;
};

class TStripHistory {
public:
    static constexpr int kDefaultSteps = 100;

    explicit TStripHistory(TFrameStrip& strip, int maxSteps = kDefaultSteps);
    TStripHistory(const TStripHistory&) = delete;
    TStripHistory& operator=(const TStripHistory&) = delete;

    // Forgets every step; the strip as it stands is where Undo stops.
    void Reset();
    // After a change: one step from the state last recorded to the strip as it stands,
    // named `name`. Nothing when nothing that counts changed. True when a step was added.
    // Never throws for lack of memory: old steps are dropped, or Undo pauses.
    bool Record(const std::string& name = {});

    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // The strip goes back to the state before the last step / forward again. A step that
    // cannot be applied (no memory for its pictures) leaves the strip as it was and throws.
    void Undo();
    void Redo();
    int UndoCount() const { return m_history.UndoCount(); }
    int RedoCount() const { return m_history.RedoCount(); }
    std::string UndoName() const { return m_history.UndoName(); }
    std::string RedoName() const { return m_history.RedoName(); }

    // The bytes of the pictures the history holds that the strip no longer has.
    std::uint64_t Bytes() const;
    // The most it may hold; 0 (default) means a quarter of the memory limit in force.
    std::uint64_t MaxBytes() const;
    void SetMaxBytes(std::uint64_t bytes) { m_maxBytes = bytes; }
    int MaxSteps() const { return m_history.MaxSteps(); }

    // Called after every change of the history (menu states follow it).
    std::function<void()> OnChange;

    // Used by the steps: the strip takes `state`, coming from `from`. The frames that
    // differ between the two are selected, the first of them the item index (after a
    // removal, the frame now where the first removed one was).
    void Apply(const std::shared_ptr<const TStripState>& state, const TStripState& from);

private:
    std::shared_ptr<const TStripState> capture() const;

    TFrameStrip& m_strip;
    TUndoHistory m_history;
    std::shared_ptr<const TStripState> m_current; // the state last recorded
    std::uint64_t m_maxBytes = 0;
};

// The frames of `target` that `other` does not have as they are (same name, picture and
// delay): the frames a step between the two changes, in order.
std::vector<int> ChangedFrames(const TStripState& target, const TStripState& other);

// Bytes of the pictures of `a` that `b` does not share.
std::uint64_t PicturesOnlyIn(const TStripState& a, const TStripState& b);
