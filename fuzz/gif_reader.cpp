// Loads arbitrary bytes as a GIF; what loads is turned into bitmaps, played and saved again.
#include "gif/GIFImage.h"
#include "gif/GIFPlayback.h"
#include "graphics/MemoryBudget.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A budget far below libFuzzer's memory limit: claims past it are refused, which is
// one of the answers a reader may give.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MemoryBudget::SetLimit(std::uint64_t(64) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TGIFImage gif;
    int warnings = 0;
    gif.OnWarning = [&](const TGIFObject&, int, const std::string&) { return ++warnings < 1000; };
    TGIFReader reader(data, size);
    try {
        gif.LoadFromStream(reader);
    } catch (const GIFException&) {
        return 0;
    } catch (const EOutOfMemory&) {
        return 0;
    }
    try {
        for (const auto& frame : gif.Images)
            (void)frame->Bitmap();
        // The screen-sized pictures only for small screens (large ones are legal but slow).
        if (std::int64_t(gif.Width()) * gif.Height() <= (1 << 16)) {
            (void)gif.Bitmap();
            TGIFPlayback play(gif);
            TGIFPlaybackStep step;
            for (int i = 0; i < 8 && play.Next(step); ++i) {
            }
        }
        std::vector<std::uint8_t> out;
        gif.SaveToStream(out);
        // What we write we must be able to read back.
        TGIFImage again;
        try {
            again.LoadFromBytes(out);
        } catch (const GIFException&) {
            __builtin_trap();
        }
    } catch (const GIFException&) {
    } catch (const EOutOfMemory&) {
    }
    return 0;
}
