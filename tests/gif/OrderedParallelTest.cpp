// Work on every core, taken in order: order, failures on either side, and frames reduced
// on several threads exactly as on one.
#include "gif/OrderedParallel.h"
#include "gif/ReduceSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

namespace {

// Uneven work, so later items often finish before earlier ones.
int slowSquare(int i)
{
    std::this_thread::sleep_for(std::chrono::microseconds((i * 7919) % 13 * 100));
    return i * i;
}

// A true-colour picture that differs from frame to frame.
TBitmap framePicture(int frame)
{
    TBitmap b(48, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) {
            std::uint8_t* p = b.ScanLine(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 5 + frame * 11);
            p[1] = static_cast<std::uint8_t>(y * 7 + (x ^ frame) * 3);
            p[2] = static_cast<std::uint8_t>((x + y) * 4 + frame * 23);
        }
    return b;
}

} // namespace

TEST(OrderedParallel, ResultsAreTakenInOrderOnTheCallingThread)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<int> taken;
    ForEachInOrder(60, 4, slowSquare, [&](int i, int& square) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        EXPECT_EQ(square, i * i);
        taken.push_back(i);
    });
    ASSERT_EQ(taken.size(), 60u);
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(taken[static_cast<std::size_t>(i)], i);

    // Nothing to do, and one thread: no surprises either.
    ForEachInOrder(0, 4, slowSquare, [](int, int&) { ADD_FAILURE(); });
    taken.clear();
    ForEachInOrder(3, 1, slowSquare, [&](int i, int&) { taken.push_back(i); });
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2}));
}

TEST(OrderedParallel, AFailureEndsTheRunInOrderAndStopsTheWorkers)
{
    // Work failing at item 17: items 0..16 are taken, then the error comes.
    std::vector<int> taken;
    auto failAt17 = [](int i) {
        if (i == 17)
            throw std::runtime_error("item 17");
        return slowSquare(i);
    };
    try {
        ForEachInOrder(40, 3, failAt17, [&](int i, int&) { taken.push_back(i); });
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "item 17");
    }
    EXPECT_EQ(taken.size(), 17u);

    // The taker failing: the workers stop a few items ahead, never at the end.
    std::atomic<int> started{0};
    auto counted = [&](int i) {
        ++started;
        return slowSquare(i);
    };
    EXPECT_THROW(ForEachInOrder(1000, 3, counted,
                                [](int i, int&) {
                                    if (i == 5)
                                        throw std::logic_error("stop");
                                }),
                 std::logic_error);
    EXPECT_LT(started.load(), 20);
}

TEST(OrderedParallel, FramesReduceTheSameOnOneThreadAndOnMany)
{
    std::vector<TBitmap> frames;
    for (int i = 0; i < 12; ++i)
        frames.push_back(framePicture(i));
    for (const TReduceSettings settings : {TReduceSettings{rmQuantizeWindows, 8, dmFloydSteinberg},
                                           TReduceSettings{rmQuantize, 5, dmStucki},
                                           TReduceSettings{rmNetscape, 8, dmNearest}}) {
        std::vector<TBitmap> one, many;
        auto source = [&](int i) { return BorrowedFrame(frames[static_cast<std::size_t>(i)]); };
        ReduceFramesInOrder(12, source, settings, [&](int, TBitmap& b) { one.push_back(b); }, 1);
        ReduceFramesInOrder(12, source, settings, [&](int, TBitmap& b) { many.push_back(std::move(b)); }, 4);
        ASSERT_EQ(one.size(), 12u);
        ASSERT_EQ(many.size(), 12u);
        for (std::size_t i = 0; i < 12; ++i) {
            EXPECT_EQ(one[i].PixelFormat(), TPixelFormat::pf8bit);
            EXPECT_EQ(one[i].Palette(), many[i].Palette()) << "frame " << i;
            EXPECT_TRUE(one[i] == many[i]) << "frame " << i;
            EXPECT_TRUE(one[i] == ReduceFrame(frames[i], settings)) << "frame " << i;
        }
    }
}
