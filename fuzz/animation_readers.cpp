// Reads arbitrary bytes as an APNG and as an animated WebP: every frame handed over has
// the size the reader announced, within the memory budget.
#include "export/AnimationOpen.h"
#include "graphics/MemoryBudget.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MemoryBudget::SetLimit(std::uint64_t(64) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (auto* read : {&ReadApng, &ReadAnimatedWebP}) {
        int width = -1, height = -1, frames = 0;
        try {
            const TOpenedAnimation a = read(bytes, "fuzz", [&](TBitmap&& picture, int delay, bool) {
                if (width < 0) {
                    width = picture.Width();
                    height = picture.Height();
                }
                if (picture.Width() != width || picture.Height() != height || delay < 0)
                    __builtin_trap();
                ++frames;
            });
            if (a.Frames != frames || (frames > 0 && (a.Width != width || a.Height != height)))
                __builtin_trap();
        } catch (const Exception&) {
        }
    }
    return 0;
}
