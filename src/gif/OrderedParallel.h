// Work spread over every core whose results are taken in order on the calling thread:
// frames are reduced or compressed ahead while the caller appends them one by one, as if
// it had done the work itself. Each item must stand alone, so the results never depend
// on the number of threads.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

// Threads for `requested`: 0 means one per core; always at least 1.
inline int WorkerThreadCount(int requested)
{
    if (requested > 0)
        return std::min(requested, 64);
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Threads for work over the frames of a document of `pixels` pixels: one per core, or
// only the calling thread when the document is too small to be worth starting threads.
inline int ThreadsForFramePixels(std::int64_t pixels)
{
    return pixels >= (std::int64_t(1) << 18) ? 0 : 1;
}

// Runs `work(i)` for i = 0..count-1 on up to `threads` worker threads (0: one per core)
// and `take(i, result)` on the calling thread for 0, 1, 2... in order. Workers run at
// most two items per thread ahead of `take`, so only a few results wait at a time. When
// `work(i)` throws, the call throws that error at i's turn, after the items before it
// were taken; when `take` throws, the workers finish the item they hold and stop. With
// one thread, or when no thread can be started, everything runs on the calling thread.
template <class TWork, class TTake>
void ForEachInOrder(int count, int threads, TWork&& work, TTake&& take)
{
    using TResult = std::decay_t<decltype(work(0))>;
    if (count <= 0)
        return;
    const int n = std::min(WorkerThreadCount(threads), count);
    auto sequential = [&](int from) {
        for (int i = from; i < count; ++i) {
            TResult r = work(i);
            take(i, r);
        }
    };
    if (n <= 1)
        return sequential(0);

    struct TSlot {
        std::optional<TResult> Result;
        std::exception_ptr Error;
        bool Done = false;
    };
    const int window = 2 * n;
    std::vector<TSlot> slots(static_cast<std::size_t>(window)); // item i waits in slot i % window
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;  // the next item a worker takes
    int taken = 0; // items handed to `take`
    bool stop = false;

    auto worker = [&] {
        for (;;) {
            int i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= count || next < taken + window; });
                if (stop || next >= count)
                    return;
                i = next++;
            }
            TSlot slot;
            try {
                slot.Result.emplace(work(i));
            } catch (...) {
                slot.Error = std::current_exception();
            }
            slot.Done = true;
            {
                std::lock_guard lock(mutex);
                slots[static_cast<std::size_t>(i % window)] = std::move(slot);
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> pool;
    // Stops and joins the workers on every way out.
    struct TJoin {
        std::vector<std::thread>& Pool;
        std::mutex& Mutex;
        std::condition_variable& Changed;
        bool& Stop;
        ~TJoin()
        {
            {
                std::lock_guard lock(Mutex);
                Stop = true;
            }
            Changed.notify_all();
            for (std::thread& t : Pool)
                t.join();
        }
    } join{pool, mutex, changed, stop};
    try {
        for (int k = 0; k < n; ++k)
            pool.emplace_back(worker);
    } catch (const std::system_error&) {
        // No more threads to be had: those that started carry the work.
    }
    if (pool.empty())
        return sequential(0);

    for (int i = 0; i < count; ++i) {
        TSlot slot;
        {
            std::unique_lock lock(mutex);
            TSlot& s = slots[static_cast<std::size_t>(i % window)];
            changed.wait(lock, [&] { return s.Done; });
            slot = std::move(s);
            s = TSlot();
        }
        if (slot.Error)
            std::rethrow_exception(slot.Error);
        take(i, *slot.Result);
        {
            std::lock_guard lock(mutex);
            ++taken;
        }
        changed.notify_all();
    }
}
