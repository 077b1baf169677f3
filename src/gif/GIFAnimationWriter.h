// An animation written while its frames are still being made, so that its length costs
// little memory. Frames come in order, each as a document of one frame with its own
// colour table. With a table per frame each is compressed and written at once. With one
// merged table (the table TGIFImage::OptimizeColorMaps makes, and the same file) each
// frame is held with its own table until the last has come: at one byte a pixel while
// those held so take at most the writer's allowance, compressed beyond it (decoding and
// compressing again costs time); then the table is merged and every frame is remapped,
// compressed and written in order.
#pragma once

#include "GIFImage.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// A frame made ready for the writer, on any thread.
struct TGIFPendingFrame {
    std::unique_ptr<TGIFImage> Document; // merged table: the frame
    std::vector<std::uint8_t> Bytes;     // table per frame: the frame as written
    bool Packed = false;                 // merged table: its pixels are held in Bytes, compressed
    std::vector<std::int64_t> Counts;    // merged table: pixels per entry of the frame's table
    bool Counted = false;                // the frame takes part in the merge
    int Transparent = -1;                // merged table: its transparent index when pixels show it
    TGIFVersion Version = gv87a;
    int Width = 0, Height = 0;           // the logical screen the frame needs
    int Bits = 0;                        // table per frame: bits of its table
    TMemoryReservation Held;
};

class TGIFAnimationWriter {
public:
    // Frames held uncompressed for the merged table take at most `rawAllowance` bytes.
    static constexpr std::uint64_t kRawAllowance = std::uint64_t(32) << 20;
    TGIFAnimationWriter(TFileSink& out, bool mergedTable, std::uint64_t rawAllowance = kRawAllowance)
        : m_out(out), m_merged(mergedTable), m_rawAllowance(rawAllowance)
    {
    }

    // Readies the only frame of `frame` for Add (counts, compresses); any thread, several
    // at once. Throws EOutOfMemory when the budget cannot hold what the frame keeps.
    TGIFPendingFrame Prepare(std::unique_ptr<TGIFImage> frame);
    // The next frame, in order, on one thread.
    void Add(TGIFPendingFrame frame);
    // Writes what is held and the trailer; `threads` compress (0: one per core).
    // "Unsupported GIF version" without frames.
    void Finish(int threads = 0);

    int Count() const { return m_count; }
    // Bytes written so far.
    std::uint64_t Size() const { return m_size; }

private:
    void write(const std::vector<std::uint8_t>& bytes);

    TFileSink& m_out;
    bool m_merged;
    std::uint64_t m_rawAllowance;
    std::atomic<std::uint64_t> m_raw{0}; // bytes of the frames held uncompressed
    int m_count = 0;
    std::uint64_t m_size = 0;
    int m_width = 0, m_height = 0;
    int m_bits = 0;
    TGIFVersion m_version = gv87a;
    std::vector<TGIFPendingFrame> m_frames; // merged table: every frame until Finish
};
