// Every effects-library operation under its stable name, callable in a uniform way:
// on one bitmap, in place, with numeric arguments in the operation's order. The command
// line, scripting and the effect windows find operations here.
#pragma once

#include "graphics/Bitmap.h"

#include <functional>
#include <string>
#include <vector>

struct TEffectEntry {
    std::string name;                // stable name, e.g. "Contrast", "FilterBlue"
    std::vector<std::string> params; // names of the numeric arguments, in order
    // Applies the operation to `bitmap` (24-bit) in place. Operations that read a source
    // and write a destination read a copy. Missing arguments count as 0.
    std::function<void(TBitmap& bitmap, const std::vector<double>& args)> apply;
};

// Argument i of a catalog call; 0 when it is missing.
double EffectArg(const std::vector<double>& args, std::size_t i);
// Argument i as a whole number: halves to even, kept inside the int range, NaN as 0.
int EffectIntArg(const std::vector<double>& args, std::size_t i);

// Pixel and colour operations.
const std::vector<TEffectEntry>& PixelEffectCatalog();
// Geometric operations and resampling.
const std::vector<TEffectEntry>& GeometricEffectCatalog();
// Both catalogs; letter case of `name` is ignored. nullptr when unknown.
const TEffectEntry* FindEffect(const std::string& name);

// Applies `effect` after asking the memory budget for the scratch most operations take (a
// copy of the picture and one working picture), so a picture too large for it is refused
// before any pixel changes.
void ApplyEffect(const TEffectEntry& effect, TBitmap& bitmap, const std::vector<double>& args);
