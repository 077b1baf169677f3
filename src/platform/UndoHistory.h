// TUndoHistory: one history of undoable steps, shared by every place that offers Undo and
// Redo (the frame editor's picture, the frame strip). A step is a command object that
// knows how to take itself back and do itself again; the history only orders them.
//
// Memory: a step keeps what it needs to swap its change in and out (pixels, mostly), and
// holds those bytes against the program's memory budget while it lives (TUndoBytes, or a
// TBitmap, which reserves its own pixels). The history keeps at most MaxSteps steps and at
// most MaxBytes of them, dropping the oldest first, and MakeRoom drops old steps when new
// work needs the memory they hold.
#pragma once

#include "graphics/MemoryBudget.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TUndoCommand {
public:
    virtual ~TUndoCommand() = default;
    // Takes the step back. Called only when the step is the last one done.
    virtual void Undo() = 0;
    // Does the step again. Called only right after its Undo (or a Redo of the step before).
    virtual void Redo() = 0;
    // Bytes the step keeps alive for its Undo and Redo.
    virtual std::uint64_t Bytes() const = 0;
    // What the step did, for menu texts ("Rectangle", "Erase Frame").
    virtual std::string Name() const { return {}; }
};

// A byte buffer held against the memory budget, for steps that keep raw pixels.
class TUndoBytes {
public:
    TUndoBytes() = default;
    // Throws EOutOfMemory (holding nothing) when the budget cannot take `size` more.
    TUndoBytes(std::size_t size, const std::string& what);
    std::uint8_t* Data() { return m_bytes.data(); }
    const std::uint8_t* Data() const { return m_bytes.data(); }
    std::size_t Size() const { return m_bytes.size(); }

private:
    TMemoryReservation m_reservation; // before the bytes: a refusal allocates nothing
    std::vector<std::uint8_t> m_bytes;
};

class TUndoHistory {
public:
    static constexpr int kDefaultSteps = 100;

    explicit TUndoHistory(int maxSteps = kDefaultSteps);
    TUndoHistory(const TUndoHistory&) = delete;
    TUndoHistory& operator=(const TUndoHistory&) = delete;

    // Records a step that has just been done. The steps that were undone are dropped (a
    // new change ends what could be redone); then the oldest steps go until the limits hold.
    void Push(std::unique_ptr<TUndoCommand> step);

    bool CanUndo() const { return !m_done.empty(); }
    bool CanRedo() const { return !m_undone.empty(); }
    // Take back the last step / do the last undone step again; nothing when there is none.
    // A step that throws stays where it was.
    void Undo();
    void Redo();
    // Forgets every step.
    void Clear();

    int UndoCount() const { return static_cast<int>(m_done.size()); }
    int RedoCount() const { return static_cast<int>(m_undone.size()); }
    std::string UndoName() const { return m_done.empty() ? std::string() : m_done.back()->Name(); }
    std::string RedoName() const { return m_undone.empty() ? std::string() : m_undone.back()->Name(); }
    // Bytes the steps hold, done and undone.
    std::uint64_t Bytes() const;

    int MaxSteps() const { return m_maxSteps; }
    // The most the steps may hold; 0 (the default) means a quarter of the memory limit in
    // force, so undo never takes the memory that the pictures themselves need.
    std::uint64_t MaxBytes() const;
    void SetMaxBytes(std::uint64_t bytes);

    // Before new work of `bytes`: drops undone steps, then the oldest done steps, until
    // the memory budget can take `bytes` more. True when it can.
    bool MakeRoom(std::uint64_t bytes);

    // Called after every change of the history (menu states follow it).
    std::function<void()> OnChange;

private:
    void trim();
    void changed();

    int m_maxSteps;
    std::uint64_t m_maxBytes = 0;
    std::deque<std::unique_ptr<TUndoCommand>> m_done;   // oldest first
    std::vector<std::unique_ptr<TUndoCommand>> m_undone; // next to redo last
};
