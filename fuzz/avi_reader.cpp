// Opens arbitrary bytes as a video (AVI, MOV/MP4, Matroska): the stream header we read
// ourselves, then FFmpeg's demuxing and decoding behind our size checks; the first frames
// are decoded, a later position asked for, and the reader rewound.
#include "graphics/MemoryBudget.h"
#include "platform/avi/AviHeader.h"
#include "platform/avi/VideoReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryBudget::TScopedLimit limit(std::uint64_t(512) << 20);
    (void)ReadAviStreamTiming(data, size);
    try {
        TVideoReader reader(std::vector<std::uint8_t>(data, data + size));
        const TVideoStreamInfo& info = reader.Info();
        // Large pictures are legal but slow to fuzz.
        if (std::int64_t(info.Width) * info.Height > (1 << 20))
            return 0;
        TBitmap frame;
        for (int i = 0; i < 8 && reader.NextFrame(frame); ++i) {
        }
        reader.ReadFrame(info.Timing.Start + 2, frame);
        reader.Rewind();
        (void)reader.NextFrame(frame);
    } catch (const Exception&) {
    }
    return 0;
}
