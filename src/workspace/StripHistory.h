// TStripHistory: Undo and Redo for the frame strip. After every change the strip is
// compared with the state last recorded; what differs (frames added, removed or moved,
// pictures, transparency, delays, the frame size) becomes one step of the shared undo
// history. States share their pictures: a frame whose picture did not change is the same
// picture in every state, so a step costs only the pictures it replaced.
//
// Memory: the history keeps a copy of the pictures of the state last recorded (an Undo
// must have them after the strip has changed its own) and the pictures of older states
// that steps still need. All of it is held against the memory budget, and all of it stays
// within MaxBytes (a quarter of the limit by default): older steps go first, and when the
// strip alone is larger than that, Undo pauses (the history is emptied) until it fits.
#pragma once

#include "FrameStrip.h"
#include "platform/UndoHistory.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One frame as a state keeps it.
struct TFrameState {
    std::string Name;
    std::string DelayText;
    std::uint64_t Version = 0;
    bool Selected = false;
    std::shared_ptr<const TBitmap> Picture; // with the frame's transparency flag
};

// The strip as a step takes it back or does it again.
struct TStripState {
    std::vector<TFrameState> Frames;
    int ItemIndex = -1;
    int FrameCounter = 1;
    int FrameWidth = 0;
    int FrameHeight = 0;
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

    // Every picture byte the history holds, the recorded state's included.
    std::uint64_t Bytes() const;
    // The most it may hold; 0 (default) means a quarter of the memory limit in force.
    std::uint64_t MaxBytes() const;
    void SetMaxBytes(std::uint64_t bytes) { m_maxBytes = bytes; }
    int MaxSteps() const { return m_history.MaxSteps(); }
    // False while the strip is too large for the history to keep a copy of it.
    bool Active() const { return m_current != nullptr; }

    // Called after every change of the history (menu states follow it).
    std::function<void()> OnChange;

    // Used by the steps.
    void Apply(const std::shared_ptr<const TStripState>& state);

private:
    std::shared_ptr<const TStripState> capture(const TStripState* previous) const;
    std::uint64_t currentBytes() const;
    void suspend();

    TFrameStrip& m_strip;
    TUndoHistory m_history;
    std::shared_ptr<const TStripState> m_current; // the state last recorded; null: paused
    std::uint64_t m_maxBytes = 0;
};

// Bytes of the pictures of `a` that `b` does not share.
std::uint64_t PicturesOnlyIn(const TStripState& a, const TStripState& b);
