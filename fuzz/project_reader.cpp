// Reads arbitrary bytes as a project file; what comes back is written again and must read
// back the same.
#include "graphics/MemoryBudget.h"
#include "workspace/ProjectFile.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MemoryBudget::SetLimit(std::uint64_t(64) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TProjectLoad load;
    try {
        load = ReadProject(std::vector<std::uint8_t>(data, data + size), "fuzz.anivor");
    } catch (const Exception&) {
        return 0;
    }
    if (load.Project.Document.Count() == 0)
        return 0;
    try {
        const std::vector<std::uint8_t> again = TProjectWriter().Archive(load.Project);
        const TProjectLoad back = ReadProject(again, "again.anivor");
        if (!back.Losses.empty() || back.Project.Document.Count() != load.Project.Document.Count())
            __builtin_trap();
        for (int i = 0; i < back.Project.Document.Count(); ++i)
            if (!(back.Project.Document.Frames[static_cast<std::size_t>(i)].Bitmap()
                  == load.Project.Document.Frames[static_cast<std::size_t>(i)].Bitmap()))
                __builtin_trap();
    } catch (const EOutOfMemory&) {
    }
    return 0;
}
