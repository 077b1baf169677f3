#include "platform/UndoHistory.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// A step that changes one number of a list and holds `bytes` against the budget.
class TSetStep : public TUndoCommand {
public:
    TSetStep(std::vector<int>& values, int index, int value, std::size_t bytes = 0)
        : m_values(values), m_index(index), m_other(value), m_bytes(bytes, "a test step")
    {
        Redo();
    }
    void Undo() override { swap(); }
    void Redo() override { swap(); }
    std::uint64_t Bytes() const override { return m_bytes.Size(); }
    std::string Name() const override { return "Set " + std::to_string(m_index); }
    bool failUndo = false;

private:
    void swap()
    {
        if (failUndo)
            throw std::runtime_error("cannot");
        std::swap(m_values[static_cast<std::size_t>(m_index)], m_other);
    }
    std::vector<int>& m_values;
    int m_index;
    int m_other;
    TUndoBytes m_bytes;
};

} // namespace

// Steps undo and redo in order; a new step ends what could be redone; a step that fails
// stays where it was.
TEST(UndoHistory, UndoRedoOrderAndNewStepsEndRedo)
{
    std::vector<int> v{0, 0, 0};
    TUndoHistory h;
    int changes = 0;
    h.OnChange = [&] { ++changes; };
    h.Push(std::make_unique<TSetStep>(v, 0, 1));
    h.Push(std::make_unique<TSetStep>(v, 1, 2));
    h.Push(std::make_unique<TSetStep>(v, 0, 3));
    EXPECT_EQ(v, (std::vector<int>{3, 2, 0}));
    EXPECT_EQ(h.UndoName(), "Set 0");
    h.Undo();
    h.Undo();
    EXPECT_EQ(v, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(h.RedoCount(), 2);
    h.Redo();
    EXPECT_EQ(v, (std::vector<int>{1, 2, 0}));
    h.Push(std::make_unique<TSetStep>(v, 2, 9));
    EXPECT_FALSE(h.CanRedo());
    h.Redo(); // nothing
    EXPECT_EQ(v, (std::vector<int>{1, 2, 9}));
    EXPECT_EQ(changes, 7);

    auto failing = std::make_unique<TSetStep>(v, 2, 5);
    TSetStep* f = failing.get();
    h.Push(std::move(failing));
    f->failUndo = true;
    EXPECT_THROW(h.Undo(), std::runtime_error);
    EXPECT_EQ(h.UndoCount(), 4);
    EXPECT_EQ(h.RedoCount(), 0);
    f->failUndo = false;
    h.Undo();
    EXPECT_EQ(v[2], 9);

    h.Clear();
    EXPECT_FALSE(h.CanUndo());
    h.Undo(); // nothing to undo
}

// The oldest steps go first when the step count or the byte limit is passed; what the
// steps hold is counted against the memory budget and comes back when they go.
TEST(UndoHistory, LimitsDropTheOldestAndMemoryIsCounted)
{
    std::vector<int> v(100, 0);
    TUndoHistory h(50);
    for (int i = 0; i < 60; ++i)
        h.Push(std::make_unique<TSetStep>(v, i, i + 1));
    EXPECT_EQ(h.UndoCount(), 50);
    for (int i = 0; i < 60; ++i)
        h.Undo();
    // Steps 0..9 were dropped: their changes stay.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(v[static_cast<std::size_t>(i)], i + 1) << i;
    EXPECT_EQ(v[10], 0);

    const std::uint64_t before = MemoryBudget::InUse();
    TUndoHistory sized;
    sized.SetMaxBytes(10000);
    for (int i = 0; i < 5; ++i)
        sized.Push(std::make_unique<TSetStep>(v, i, 7, 3000));
    EXPECT_EQ(sized.UndoCount(), 3);
    EXPECT_EQ(sized.Bytes(), 9000u);
    EXPECT_EQ(MemoryBudget::InUse(), before + 9000);

    // New work that needs the memory makes undone steps, then the oldest, give way.
    MemoryBudget::TScopedLimit limit(before + 10000);
    sized.Undo();
    EXPECT_TRUE(sized.MakeRoom(2500));
    EXPECT_EQ(sized.RedoCount(), 0);
    EXPECT_EQ(sized.UndoCount(), 2);
    EXPECT_TRUE(sized.MakeRoom(7000));
    EXPECT_EQ(sized.UndoCount(), 1);
    EXPECT_FALSE(sized.MakeRoom(20000));
    EXPECT_EQ(sized.UndoCount(), 0);
    EXPECT_EQ(MemoryBudget::InUse(), before);
    EXPECT_THROW(TUndoBytes(20000, "a test step"), EOutOfMemory);
}
