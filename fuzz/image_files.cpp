// Feeds arbitrary bytes to the BMP, ICO, PNG and JPEG readers: they must either decode or
// throw EInvalidGraphic (or EOutOfMemory for a claim past the memory budget).
#include "graphics/BmpFile.h"
#include "graphics/Exception.h"
#include "graphics/IcoFile.h"
#include "graphics/ImageFile.h"
#include "graphics/JpegFile.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"

#include <cstddef>
#include <cstdint>

// A budget far below libFuzzer's memory limit: claims past it are refused, which is
// one of the answers a reader may give.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MemoryBudget::SetLimit(std::uint64_t(64) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        TBitmap b = ReadImage(data, size, "fuzz");
        // Written files must read back.
        if (!b.Empty() && b.Width() * b.Height() < 4096) {
            const std::vector<std::uint8_t> bmp = EncodeBmp(b);
            ReadBmp(bmp.data(), bmp.size());
        }
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfMemory&) {
    }
    // The header-only readers take the same input whatever its signature.
    try { ReadBmpInfo(data, size); } catch (const EInvalidGraphic&) {}
    try { ReadIcoInfo(data, size); } catch (const EInvalidGraphic&) {}
    try { ReadPngInfo(data, size); } catch (const EInvalidGraphic&) {}
    try { ReadJpegInfo(data, size); } catch (const EInvalidGraphic&) {}
    return 0;
}
