// Feeds arbitrary bytes to the QuickBack presets reader: every line is read as the list
// reads it and applied as a click applies it. A preset that reads whole must draw.
#include "effects/QuickBack.h"
#include "effects/QuickBackPresets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> lines = ParsePresets(data, size);
    for (const std::string& line : lines) {
        TQuickBackSettings s;
        (void)PresetName(line);
        if (ReadPreset(line, s) == TPresetRead::Read) {
            TBitmap b(7, 5);
            GenerateQuickBack(b, s); // throws for settings outside the ranges: a fault here
            // The line written for these settings reads back the same.
            TQuickBackSettings again;
            if (ReadPreset(PresetLine("x", s), again) != TPresetRead::Read || !(again == s))
                __builtin_trap();
        }
    }
    return 0;
}
