#include "UndoHistory.h"

#include <algorithm>

TUndoBytes::TUndoBytes(std::size_t size, const std::string& what) : m_reservation(size, what)
{
    m_bytes.resize(size);
}

TUndoHistory::TUndoHistory(int maxSteps) : m_maxSteps(std::max(1, maxSteps))
{
}

void TUndoHistory::Push(std::unique_ptr<TUndoCommand> step)
{
    if (!step)
        return;
    m_undone.clear();
    m_done.push_back(std::move(step));
    trim();
    changed();
}

void TUndoHistory::Undo()
{
    if (m_done.empty())
        return;
    m_done.back()->Undo();
    m_undone.push_back(std::move(m_done.back()));
    m_done.pop_back();
    changed();
}

void TUndoHistory::Redo()
{
    if (m_undone.empty())
        return;
    m_undone.back()->Redo();
    m_done.push_back(std::move(m_undone.back()));
    m_undone.pop_back();
    changed();
}

void TUndoHistory::Clear()
{
    if (m_done.empty() && m_undone.empty())
        return;
    m_done.clear();
    m_undone.clear();
    changed();
}

std::uint64_t TUndoHistory::Bytes() const
{
    std::uint64_t total = 0;
    for (const auto& s : m_done)
        total += s->Bytes();
    for (const auto& s : m_undone)
        total += s->Bytes();
    return total;
}

std::uint64_t TUndoHistory::MaxBytes() const
{
    return m_maxBytes ? m_maxBytes : MemoryBudget::Limit() / 4;
}

void TUndoHistory::SetMaxBytes(std::uint64_t bytes)
{
    m_maxBytes = bytes;
    trim();
}

bool TUndoHistory::MakeRoom(std::uint64_t bytes)
{
    auto fits = [bytes] {
        const std::uint64_t limit = MemoryBudget::Limit(), used = MemoryBudget::InUse();
        return bytes <= limit && used <= limit - bytes;
    };
    bool dropped = false;
    while (!fits() && !m_undone.empty()) {
        m_undone.erase(m_undone.begin()); // the step furthest from the present
        dropped = true;
    }
    while (!fits() && !m_done.empty()) {
        m_done.pop_front();
        dropped = true;
    }
    if (dropped)
        changed();
    return fits();
}

void TUndoHistory::trim()
{
    const std::uint64_t maxBytes = MaxBytes();
    std::uint64_t total = Bytes();
    while (!m_done.empty() && (static_cast<int>(m_done.size() + m_undone.size()) > m_maxSteps || total > maxBytes)) {
        total -= m_done.front()->Bytes();
        m_done.pop_front();
    }
}

void TUndoHistory::changed()
{
    if (OnChange)
        OnChange();
}
